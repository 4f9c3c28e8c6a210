// Export and import of the configuration file (buttons 1106/1109, message 0x422).
#pragma once

#include <windows.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "config/config_writer.h"
#include "config/win/config_store.h"
#include "platform/msxml_document.h"

namespace scribo::win {

// The two file dialogs; replaced in tests.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Target of an export (the suggestion is a bare name; the extension is added), or none.
    virtual std::optional<std::u16string> chooseExportTarget(
        HWND owner, const std::u16string& suggestedName) = 0;
    // File to import, or none when cancelled.
    virtual std::optional<std::u16string> chooseImportSource(HWND owner) = 0;
};

// The system's open and save dialogs. Export asks before overwriting an existing file and
// accepts a new name; import only accepts a file that exists.
class CommonFileDialogs : public FileChooser {
public:
    std::optional<std::u16string> chooseExportTarget(HWND owner,
                                                     const std::u16string& suggestedName) override;
    std::optional<std::u16string> chooseImportSource(HWND owner) override;
};

enum class TransferResult {
    Done,
    Cancelled,
    Failed,   // a copy failed; the message was shown
    Refused,  // import of a file that is not a configuration tree; nothing changed
};

// What tests replace; the defaults are the shipped behaviour.
struct TransferHooks {
    FileChooser* chooser = nullptr;            // null: the common dialogs
    std::function<std::tm()> localNow;         // empty: the system clock, local time
    scribo::UserFeedback* feedback = nullptr;  // null: message boxes owned by the window
};

class ConfigTransfer {
public:
    // `store` (may be null) is told to load the file afresh after an import, so the next save
    // keeps the imported tree instead of writing the old one back.
    ConfigTransfer(std::u16string configPath, HWND owner, ConfigStore* store,
                   TransferHooks hooks = TransferHooks());

    // Copies the configuration file on disk to a file the user names.
    TransferResult exportConfig();
    // Replaces the configuration file with a file the user picks, then asks the service to
    // reload it (0x420 to its listen window, when that window exists).
    TransferResult importConfig();
    // Message 0x422: wParam 1 = export, 2 = import, anything else is ignored.
    void onImportExportMessage(WPARAM which);
    // Owner of the dialogs and message boxes (once the main window exists).
    void setOwner(HWND owner) {
        owner_ = owner;
        boxes_.setOwner(owner);
    }

private:
    scribo::UserFeedback& feedback() { return hooks_.feedback ? *hooks_.feedback : boxes_; }

    std::u16string path_;
    HWND owner_;
    ConfigStore* store_;
    TransferHooks hooks_;
    CommonFileDialogs dialogs_;
    MessageBoxFeedback boxes_;
    platform::MsxmlFactory factory_;
};

}  // namespace scribo::win
