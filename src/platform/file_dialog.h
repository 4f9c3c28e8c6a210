// The system's open and save file dialogs, the one way the panel shows them. Every dialog keeps
// the process's current directory where it was (OFN_NOCHANGEDIR): a folder the user browsed to,
// such as a removable drive or a download folder, never becomes the current directory, which a
// library search or a relative path would otherwise pick up.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

namespace platform {

struct FileDialogOptions {
    HWND owner = nullptr;
    const wchar_t* filter = nullptr;            // pairs of texts, ending in an empty text
    const wchar_t* defaultExtension = nullptr;  // added to a name typed without one
    std::u16string suggestedName;               // shown in the name box at first
    DWORD flags = 0;                            // OFN_ options besides the ones always set
};

// The chosen file's full path, or nullopt when the user cancelled (or the dialog failed).
std::optional<std::u16string> chooseFileToOpen(const FileDialogOptions& options);
std::optional<std::u16string> chooseFileToSave(const FileDialogOptions& options);

}  // namespace platform
