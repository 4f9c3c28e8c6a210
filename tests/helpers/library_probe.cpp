// Looks a library up by the name given, in a fresh process whose library search the panel's
// start-up restriction has narrowed (unless "--unrestricted" follows the name). Exit code 1 when
// the library was loaded, 0 when it was not, 2 on a wrong command line.
#include <windows.h>

#include <string>

#include "platform/library_search.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    if (argc < 3 || std::wstring(argv[2]) != L"--unrestricted") platform::restrictLibrarySearch();
    return LoadLibraryW(argv[1]) != nullptr ? 1 : 0;
}
