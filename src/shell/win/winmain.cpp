#include <windows.h>

#include "platform/library_search.h"
#include "shell/win/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    platform::restrictLibrarySearch();
    return CQX_ScriboApp().run(instance);
}
