#include <windows.h>

#include "shell/win/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return CQX_ScriboApp().run(instance);
}
