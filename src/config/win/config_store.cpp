#include "config/win/config_store.h"

#include <shlobj.h>

#include <cstdio>

#include "config/block_access.h"
#include "platform/handles.h"
#include "platform/profile_source.h"
#include "platform/shell.h"
#include "platform/wide.h"

namespace scribo::win {

using namespace platform;

void MessageBoxFeedback::showMessage(std::u16string_view text) {
    const std::u16string s(text);
    MessageBoxW(owner_, wz(s), kMessageCaption, MB_OK);
}

void MessageBoxFeedback::traceSaveFailure() {
    const DWORD error = GetLastError();
    char line[64];
    std::snprintf(line, sizeof line, "SaveXML failed:error %lu\n",
                  static_cast<unsigned long>(error));
    OutputDebugStringA(line);  // a GUI program has no standard output
}

bool Win32FileReplacer::replace(const std::u16string& from, const std::u16string& to) {
    // A file the user made read-only stays as it is (not every file system refuses the move).
    const DWORD attributes = GetFileAttributesW(wz(to));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return MoveFileExW(wz(from), wz(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32FileReplacer::remove(const std::u16string& path) {
    const DWORD error = GetLastError();  // keep the failure's code for the trace line
    DeleteFileW(wz(path));
    SetLastError(error);
}

bool Win32FileReplacer::copy(const std::u16string& from, const std::u16string& to) {
    const DWORD error = GetLastError();  // a missing backup source is not the save's failure
    const bool ok = CopyFileW(wz(from), wz(to), FALSE) != 0;
    // The copy is ours to move and remove later, even when the user made the original
    // read-only.
    if (ok) {
        const DWORD attributes = GetFileAttributesW(wz(to));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
            SetFileAttributesW(wz(to), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    SetLastError(error);
    return ok;
}

namespace {

std::u16string roamingFolder() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE, &token)) return u"";
    UniqueHandle owned(token);
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, token, SHGFP_TYPE_CURRENT, path)))
        return u"";
    return toU16(path);
}

}  // namespace

std::u16string configurationFilePath() {
    const unsigned major = windowsMajorVersion();
    return scribo::configurationFilePath(major, major == 5 ? programDirectory() : u"",
                                         major == 5 ? u"" : roamingFolder());
}

ConfigStore::ConfigStore(std::u16string path, scribo::TIniFile language, HWND owner)
    : boxes_(owner), saver_(std::move(path), factory_, files_, boxes_, std::move(language)) {}

ConfigStore::ConfigStore(std::u16string path, scribo::TIniFile language,
                         scribo::UserFeedback& feedback)
    : saver_(std::move(path), factory_, files_, feedback, std::move(language)) {}

scribo::SaveOutcome ConfigStore::saveDeviceConfig(scribo::SharedBlock& block,
                                                  std::u16string_view deviceId) {
    return saver_.saveDeviceConfig(deviceId, scribo::lookupRecord(block, deviceId));
}

}  // namespace scribo::win
