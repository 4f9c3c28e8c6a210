#include "config_load.h"

#include <windows.h>
#include <shlobj.h>

std::string loadConfigurationIntoBlock(scribo::SharedBlock&, const std::wstring& path) {
    // The reader of the XML tree comes with the configuration-file work; until then the block
    // keeps the values of the device profile.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? "no configuration file"
                                                 : "configuration file present, not read";
}

std::wstring defaultConfigurationPath() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData))) return L"";
    return std::wstring(appData) + L"\\Scribo\\xml\\scribo.xml";
}
