// A stand-in for a user's program in the express-key tests: it only runs until it is ended (at
// most a minute), so the program selection can list it and the application list can add it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Sleep(60000);
    return 0;
}
