#include "config/config_writer.h"

#include <algorithm>
#include <cstring>

#include "config/block_access.h"

namespace scribo {

namespace {

// Puts the record's values into the elements the walk hands out.
class WriteVisitor : public PositionVisitor {
public:
    WriteVisitor(XmlDocument& doc, UserFeedback& feedback) : doc_(doc), feedback_(feedback) {}

    void number(XmlNode* at, std::u16string_view attribute, int32_t& field) override {
        put(at, attribute, formatNumber(field));
    }
    void number16(XmlNode* at, std::u16string_view attribute, int16_t& field) override {
        put(at, attribute, formatNumber(field));
    }
    void onOff(XmlNode* at, std::u16string_view attribute, int32_t& field) override {
        put(at, attribute, formatOnOff(field));
    }
    void decimal(XmlNode* at, float& field, int decimals) override {
        put(at, u"", formatDecimal(field, decimals));
    }
    void text(XmlNode* at, std::u16string_view attribute, char16_t* field,
              std::size_t width) override {
        put(at, attribute, readField(field, width));
    }
    void extent(XmlNode* at, const int32_t& origin, int32_t& extent) override {
        put(at, u"", formatNumber(static_cast<long long>(extent) - origin));
    }
    void ringText(XmlNode* at, AppEntry& e, int r, int g) override {
        std::u16string value;
        if (e.ringFunc[r][g] == 2)
            value = readField(e.ringTextC[r][g]) + u";" + readField(e.ringTextA[r][g]) + u";" +
                    readField(e.ringTextB[r][g]);
        put(at, u"", value);
    }
    void penCustom(XmlNode& button, int32_t index, char16_t (&descriptor)[kDescriptorUnits],
                   std::u16string_view elementName) override {
        std::unique_ptr<XmlNode> custom = button.firstChild();
        if (index < 4) {
            // Fixed functions carry no descriptor: drop it from the file and the record.
            if (custom) button.remove(*custom);
            std::fill(std::begin(descriptor), std::end(descriptor), u'\0');
            return;
        }
        const std::u16string value = readField(descriptor);
        if (value.empty()) {
            if (custom) button.remove(*custom);
            return;
        }
        if (custom) {
            if (!custom->setText(value)) feedback_.showMessage(kModifyNodeErrorText);
            return;
        }
        std::unique_ptr<XmlNode> created = doc_.createElement(elementName);
        if (!created) {
            feedback_.showMessage(kCreateNodeErrorText);
            return;
        }
        if (!created->setText(value)) feedback_.showMessage(kModifyNodeErrorText);
        if (!button.append(*created)) feedback_.showMessage(kCreateNodeErrorText);
    }
    bool revisitsLastElement() const override { return true; }

private:
    void put(XmlNode* at, std::u16string_view attribute, const std::u16string& value) {
        if (at == nullptr) return;  // no element at this position: skipped without notice
        if (attribute.empty()) {
            if (!at->setText(value)) feedback_.showMessage(kModifyNodeErrorText);
        } else if (!at->setAttribute(attribute, value)) {
            feedback_.showMessage(kModifyAttributeErrorText);
        }
    }

    XmlDocument& doc_;
    UserFeedback& feedback_;
};

}  // namespace

std::u16string temporaryPathFor(const std::u16string& path) { return path + u".tmp"; }

std::u16string backupPathFor(const std::u16string& path, int n) {
    return path + u".bak" + char16_t(u'0' + n);
}

std::u16string previousPathFor(const std::u16string& path) { return path + u".prev"; }

void rotateBackups(FileReplacer& files, const std::u16string& path,
                   const std::u16string& previous) {
    files.remove(backupPathFor(path, kBackupCount));
    for (int n = kBackupCount - 1; n >= 1; --n)
        files.replace(backupPathFor(path, n), backupPathFor(path, n + 1));
    if (!files.replace(previous, backupPathFor(path, 1))) files.remove(previous);
}

bool saveAtomically(XmlDocument& doc, FileReplacer& files, const std::u16string& path,
                    bool backup) {
    const std::u16string temp = temporaryPathFor(path);
    if (!doc.save(temp)) {
        files.remove(temp);
        return false;
    }
    // The file about to be replaced is set aside first and becomes the first backup only once
    // the new file is in: a save that fails at any step leaves every backup as it was.
    const std::u16string previous = previousPathFor(path);
    const bool kept = backup && files.copy(path, previous);
    if (!files.replace(temp, path)) {
        files.remove(temp);
        if (kept) files.remove(previous);
        return false;
    }
    if (kept) rotateBackups(files, path, previous);
    return true;
}

WalkResult writeDevice(XmlDocument& doc, XmlNode& device, DeviceRecord& rec,
                       UserFeedback& feedback) {
    WriteVisitor writer(doc, feedback);
    return walkDevice(device, rec, writer);
}

SaveOutcome ConfigSaver::saveDeviceConfig(std::u16string_view deviceId, DeviceRecord* record) {
    backupDue_ = true;
    return saveDevice(deviceId, record);
}

SaveOutcome ConfigSaver::saveDevice(std::u16string_view deviceId, DeviceRecord* record) {
    if (record == nullptr) return SaveOutcome::NoRecord;
    if (!doc_) {
        doc_ = factory_.createDocument();
        if (!doc_) {
            feedback_.showMessage(language_.readText(u"Dialog_Main", u"Main.MsgError0"));
            return SaveOutcome::CreateFailed;
        }
    }
    if (!loaded_) {
        // Tried again at every save until it works: the user may restore the file meanwhile.
        if (path_.empty() || !doc_->load(path_)) {
            feedback_.showMessage(language_.readText(u"Dialog_Main", u"Main.MsgError3"));
            return SaveOutcome::LoadFailed;
        }
        loaded_ = true;
    }
    std::unique_ptr<XmlNode> device = findDeviceElement(*doc_, deviceId);
    if (!device) return SaveOutcome::DeviceNotFound;
    if (writeDevice(*doc_, *device, *record, feedback_) != WalkResult::Done ||
        !saveAtomically(*doc_, files_, path_, backupDue_)) {
        feedback_.traceSaveFailure();
        feedback_.showMessage(kSaveFailedText);
        return SaveOutcome::SaveFailed;
    }
    backupDue_ = false;
    return SaveOutcome::Saved;
}

void ConfigSaver::saveAllDevices(SharedBlock& block, const std::vector<std::u16string>& ids) {
    backupDue_ = true;
    for (const std::u16string& id : ids) {
        const SaveOutcome r = saveDevice(id, lookupRecord(block, id));
        if (r == SaveOutcome::LoadFailed || r == SaveOutcome::CreateFailed) return;
    }
}

std::u16string configurationFilePath(unsigned majorVersion, std::u16string_view programDir,
                                     std::u16string_view roamingDir) {
    if (majorVersion == 5)
        return programDir.empty() ? u"" : std::u16string(programDir) + u"\\xml\\scribo.xml";
    return roamingDir.empty() ? u"" : std::u16string(roamingDir) + u"\\Scribo\\xml\\scribo.xml";
}

}  // namespace scribo
