#include "config/win/config_transfer.h"

#include <commdlg.h>
#include <shlobj.h>

#include "config/config_reader.h"
#include "config/service_protocol.h"
#include "config/transfer_rules.h"
#include "platform/file_dialog.h"
#include "platform/service_link.h"
#include "platform/wide.h"

namespace scribo::win {

using namespace platform;

namespace {

std::tm systemLocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_s(&local, &now) != 0) local = std::tm{};
    return local;
}

std::u16string folderOf(const std::u16string& path) {
    const auto slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? u"" : path.substr(0, slash);
}

}  // namespace

std::optional<std::u16string> CommonFileDialogs::chooseExportTarget(
    HWND owner, const std::u16string& suggestedName) {
    FileDialogOptions options;
    options.owner = owner;
    options.filter = L"*.scfg\0*.scfg\0";
    options.defaultExtension = L"scfg";
    options.suggestedName = suggestedName;
    options.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    return chooseFileToSave(options);
}

std::optional<std::u16string> CommonFileDialogs::chooseImportSource(HWND owner) {
    FileDialogOptions options;
    options.owner = owner;
    options.filter = L"scribo config(*.scfg)\0*.scfg\0";
    options.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    return chooseFileToOpen(options);
}

ConfigTransfer::ConfigTransfer(std::u16string configPath, HWND owner, ConfigStore* store,
                               TransferHooks hooks)
    : path_(std::move(configPath)),
      owner_(owner),
      store_(store),
      hooks_(std::move(hooks)),
      boxes_(owner) {}

TransferResult ConfigTransfer::exportConfig() {
    const std::tm now = hooks_.localNow ? hooks_.localNow() : systemLocalNow();
    FileChooser& chooser = hooks_.chooser ? *hooks_.chooser : dialogs_;
    const auto target = chooser.chooseExportTarget(owner_, scribo::suggestedExportName(now));
    if (!target) return TransferResult::Cancelled;
    if (path_.empty() || !CopyFileW(wz(path_), wz(*target), FALSE)) {
        feedback().showMessage(scribo::kExportFailedText);
        return TransferResult::Failed;
    }
    return TransferResult::Done;
}

TransferResult ConfigTransfer::importConfig() {
    FileChooser& chooser = hooks_.chooser ? *hooks_.chooser : dialogs_;
    const auto source = chooser.chooseImportSource(owner_);
    if (!source) return TransferResult::Cancelled;
    if (path_.empty()) {
        feedback().showMessage(scribo::kImportFailedText);
        return TransferResult::Failed;
    }
    // The copy lands next to the configuration file first and replaces it only once it is
    // complete and holds a configuration tree, so a failed or wrong import changes nothing.
    const std::u16string folder = folderOf(path_);
    if (!folder.empty()) SHCreateDirectoryExW(nullptr, wz(folder), nullptr);
    const std::u16string temp = path_ + u".import";
    if (!CopyFileW(wz(*source), wz(temp), FALSE)) {
        DeleteFileW(wz(temp));
        feedback().showMessage(scribo::kImportFailedText);
        return TransferResult::Failed;
    }
    bool valid = false;
    if (auto doc = factory_.createDocument())
        valid = doc->load(temp) && scribo::isConfigurationTree(*doc);
    if (!valid) {
        DeleteFileW(wz(temp));
        feedback().showMessage(scribo::kImportFailedText);
        return TransferResult::Refused;
    }
    if (!MoveFileExW(wz(temp), wz(path_), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(wz(temp));
        feedback().showMessage(scribo::kImportFailedText);
        return TransferResult::Failed;
    }
    if (store_ != nullptr) store_->forgetDocument();
    // Looked up right before the send; a service without its window is simply not told.
    sendToService(scribo::WM_SERVICE_RELOADCONFIG, 0, 0);
    return TransferResult::Done;
}

void ConfigTransfer::onImportExportMessage(WPARAM which) {
    if (which == 1)
        exportConfig();
    else if (which == 2)
        importConfig();
}

}  // namespace scribo::win
