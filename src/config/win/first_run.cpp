#include "config/win/first_run.h"

#include <windows.h>

#include "platform/profile_source.h"
#include "platform/wide.h"

namespace scribo::win {

using namespace platform;

namespace {

// Creates every missing folder of `dir`, parents first.
bool createFolders(const std::u16string& dir) {
    if (dir.empty()) return false;
    const DWORD attributes = GetFileAttributesW(wz(dir));
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const auto slash = dir.find_last_of(u"\\/");
    if (slash != std::u16string::npos && slash > 0 && dir[slash - 1] != u':' &&
        !createFolders(dir.substr(0, slash)))
        return false;
    return CreateDirectoryW(wz(dir), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

FirstRunResult provideUserConfiguration(const std::u16string& userFile,
                                        const std::u16string& defaultFile) {
    if (userFile.empty()) return FirstRunResult::Failed;
    if (fileExists(userFile)) return FirstRunResult::Present;
    if (!fileExists(defaultFile)) return FirstRunResult::Failed;
    const auto slash = userFile.find_last_of(u"\\/");
    if (slash == std::u16string::npos || !createFolders(userFile.substr(0, slash)))
        return FirstRunResult::Failed;

    // Copied under a temporary name and then moved without replacing: a file another start
    // put there in the meantime is kept, and a half-copied file never has the real name.
    const std::u16string temporary = userFile + u".new";
    if (!CopyFileW(wz(defaultFile), wz(temporary), FALSE)) return FirstRunResult::Failed;
    if (!MoveFileExW(wz(temporary), wz(userFile), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(wz(temporary));
        return fileExists(userFile) ? FirstRunResult::Present : FirstRunResult::Failed;
    }
    return FirstRunResult::Copied;
}

std::u16string defaultConfigurationFile() { return programDirectory() + u"\\xml\\scribo.xml"; }

}  // namespace scribo::win
