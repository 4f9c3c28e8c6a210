#include "platform/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/wide.h"

namespace platform {

namespace {

constexpr DWORD kNameUnits = 32768;  // long paths fit; a path too long for its use is refused there
constexpr DWORD kAlwaysSet = OFN_EXPLORER | OFN_NOCHANGEDIR;

std::optional<std::u16string> run(const FileDialogOptions& options, bool save) {
    std::vector<wchar_t> name(kNameUnits, L'\0');
    std::copy_n(options.suggestedName.begin(),
                std::min<std::size_t>(options.suggestedName.size(), kNameUnits - 1), name.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = options.owner;
    ofn.lpstrFilter = options.filter;
    ofn.lpstrDefExt = options.defaultExtension;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = kNameUnits;
    ofn.Flags = options.flags | kAlwaysSet;
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return std::nullopt;
    return toU16(name.data());
}

}  // namespace

std::optional<std::u16string> chooseFileToOpen(const FileDialogOptions& options) {
    return run(options, false);
}

std::optional<std::u16string> chooseFileToSave(const FileDialogOptions& options) {
    return run(options, true);
}

}  // namespace platform
