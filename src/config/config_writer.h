// The panel's side of the configuration file: writes the block's values of each listed device
// into the positional tree and saves the file without ever leaving it half written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_layout.h"
#include "config/language.h"
#include "config/shared_block.h"
#include "config/xml_tree.h"

namespace scribo {

// Fixed texts of the save path (not from the language file).
inline constexpr const char16_t* kSaveFailedText = u"SaveXML failed.";
inline constexpr const char16_t* kModifyAttributeErrorText = u"ModifyAttribute error!";
inline constexpr const char16_t* kModifyNodeErrorText = u"MotifyNode error!";
inline constexpr const char16_t* kCreateNodeErrorText = u"CreateNode error!";

// What the user and the diagnostic output are told.
class UserFeedback {
public:
    virtual ~UserFeedback() = default;
    virtual void showMessage(std::u16string_view text) = 0;  // a message box
    // The trace line "SaveXML failed:error <code>" with the system's last error code.
    virtual void traceSaveFailure() = 0;
};

// The file operations of an atomic save and its backups.
class FileReplacer {
public:
    virtual ~FileReplacer() = default;
    // Moves `from` over `to` in one step (same folder); false when `to` is left as it was.
    virtual bool replace(const std::u16string& from, const std::u16string& to) = 0;
    virtual void remove(const std::u16string& path) = 0;
    // Copies `from` over `to`; false when it could not (no source, say).
    virtual bool copy(const std::u16string& from, const std::u16string& to) = 0;
};

// Name of the file a save writes first, next to the configuration file.
std::u16string temporaryPathFor(const std::u16string& path);

// The last good configuration files are kept beside the current one: "<path>.bak1" is the file
// as it was before the last save, up to "<path>.bak3".
inline constexpr int kBackupCount = 3;
std::u16string backupPathFor(const std::u16string& path, int n);
// Where a save keeps the file it replaces until the replacement has succeeded.
std::u16string previousPathFor(const std::u16string& path);
// Shifts the backups by one (the oldest goes) and moves `previous`, the file as it was before
// the save that just succeeded, to the first. Best effort: a backup that cannot be made never
// fails the save.
void rotateBackups(FileReplacer& files, const std::u16string& path, const std::u16string& previous);

// Writes the whole document to the temporary file and moves it over `path` only when that
// write succeeded; on failure the old file is untouched and the temporary file is gone. With
// `backup` the backups are rotated once the new file has replaced the old one; a failed save
// changes no backup.
bool saveAtomically(XmlDocument& doc, FileReplacer& files, const std::u16string& path,
                    bool backup = false);

// Writes the values of `rec` into `device` (an element of `doc`). Setting errors are reported
// through `feedback` and the walk goes on; the pen-button descriptors of choices below 4 are
// cleared in the record, as the file keeps no descriptor for them.
WalkResult writeDevice(XmlDocument& doc, XmlNode& device, DeviceRecord& rec,
                       UserFeedback& feedback);

enum class SaveOutcome {
    Saved,
    NoRecord,        // the list entry has no record in the block: nothing to write
    CreateFailed,    // the DOM could not be created ("Main.MsgError0")
    LoadFailed,      // the file could not be loaded ("Main.MsgError3")
    DeviceNotFound,  // no element for the device: nothing saved, no message
    SaveFailed,      // a required element is missing or the file could not be written
};

// The configuration file as the main window keeps it: the document is created and loaded at
// the first save and reused by every later save until the owner goes.
class ConfigSaver {
public:
    ConfigSaver(std::u16string path, XmlDocumentFactory& factory, FileReplacer& files,
                UserFeedback& feedback, TIniFile language)
        : path_(std::move(path)),
          factory_(factory),
          files_(files),
          feedback_(feedback),
          language_(std::move(language)) {}

    // Writes one device into the document and saves the whole file (one backup rotation).
    SaveOutcome saveDeviceConfig(std::u16string_view deviceId, DeviceRecord* record);

    // saveDeviceConfig for every listed device id in list order, with one backup rotation for
    // the whole call (the first backup is the file as the user last saved it). An id without a
    // record is skipped silently. When the file cannot be loaded the message is shown once and the
    // remaining devices are not tried: there is no tree to write them into.
    void saveAllDevices(SharedBlock& block, const std::vector<std::u16string>& deviceIds);

    // Forget the loaded tree so the next save loads the file again (after an import replaced
    // the file, the imported tree is the one to keep).
    void forgetDocument() {
        doc_.reset();
        loaded_ = false;
    }

    const std::u16string& path() const { return path_; }

private:
    SaveOutcome saveDevice(std::u16string_view deviceId, DeviceRecord* record);

    std::u16string path_;
    XmlDocumentFactory& factory_;
    FileReplacer& files_;
    UserFeedback& feedback_;
    TIniFile language_;
    std::unique_ptr<XmlDocument> doc_;
    bool loaded_ = false;
    bool backupDue_ = false;  // the next successful write rotates the backups first
};

// Path of the configuration file: "<programDir>\xml\scribo.xml" when the system's major
// version is 5, else "<roamingDir>\Scribo\xml\scribo.xml"; "" when that folder is unknown.
std::u16string configurationFilePath(unsigned majorVersion, std::u16string_view programDir,
                                     std::u16string_view roamingDir);

}  // namespace scribo
