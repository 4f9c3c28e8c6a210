// Saving the configuration file from the main window: MSXML document, atomic replacement of
// the file, message boxes for failures.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/config_writer.h"
#include "config/language.h"
#include "platform/msxml_document.h"

namespace scribo::win {

// Fixed caption of the configuration messages.
inline constexpr wchar_t kMessageCaption[] = L"Scribo";

// Message boxes owned by a window, and the save trace line on standard output.
class MessageBoxFeedback : public scribo::UserFeedback {
public:
    explicit MessageBoxFeedback(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void showMessage(std::u16string_view text) override;
    void traceSaveFailure() override;  // "SaveXML failed:error <GetLastError()>"

private:
    HWND owner_;
};

// Moves a finished temporary file over the configuration file.
class Win32FileReplacer : public scribo::FileReplacer {
public:
    bool replace(const std::u16string& from, const std::u16string& to) override;
    void remove(const std::u16string& path) override;
    bool copy(const std::u16string& from, const std::u16string& to) override;
};

// The configuration file path for this system and user: "<program dir>\xml\scribo.xml" on
// major version 5, else "<roaming application data>\Scribo\xml\scribo.xml" resolved with the
// process token; "" when the token or the folder cannot be had.
std::u16string configurationFilePath();

// One per main window. saveAllDevices is what OK, message 0x41D and command 3 run.
class ConfigStore {
public:
    // Failures are shown in message boxes owned by `owner`.
    ConfigStore(std::u16string path, scribo::TIniFile language, HWND owner);
    // Failures go to `feedback` instead (tests).
    ConfigStore(std::u16string path, scribo::TIniFile language, scribo::UserFeedback& feedback);
    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    // Writes every listed device (ids in the order of the device list) into the file.
    void saveAllDevices(scribo::SharedBlock& block, const std::vector<std::u16string>& deviceIds) {
        saver_.saveAllDevices(block, deviceIds);
    }
    scribo::SaveOutcome saveDeviceConfig(scribo::SharedBlock& block, std::u16string_view deviceId);
    // The next save loads the file again (called after an import replaced it).
    void forgetDocument() { saver_.forgetDocument(); }
    void setOwner(HWND owner) { boxes_.setOwner(owner); }
    const std::u16string& path() const { return saver_.path(); }

private:
    // Declared before the saver: the factory's COM initialisation outlives the document.
    platform::MsxmlFactory factory_;
    Win32FileReplacer files_;
    MessageBoxFeedback boxes_;
    scribo::ConfigSaver saver_;
};

}  // namespace scribo::win
