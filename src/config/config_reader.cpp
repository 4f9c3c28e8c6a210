#include "config/config_reader.h"

#include <optional>

#include "config/block_access.h"

namespace scribo {

namespace {

void storeCut(char16_t* field, std::size_t width, std::u16string text) {
    if (text.size() >= width) text.resize(width - 1);
    storeField(field, width, text);
}

class ReadVisitor : public PositionVisitor {
public:
    void number(XmlNode* at, std::u16string_view attribute, int32_t& field) override {
        if (auto v = value(at, attribute)) parseNumber(*v, field);
    }
    void number16(XmlNode* at, std::u16string_view attribute, int16_t& field) override {
        int32_t n = 0;
        auto v = value(at, attribute);
        if (v && parseNumber(*v, n) && n >= INT16_MIN && n <= INT16_MAX)
            field = static_cast<int16_t>(n);
    }
    void onOff(XmlNode* at, std::u16string_view attribute, int32_t& field) override {
        if (auto v = value(at, attribute)) parseOnOff(*v, field);
    }
    void decimal(XmlNode* at, float& field, int) override {
        if (auto v = value(at, u"")) parseDecimal(*v, field);
    }
    void text(XmlNode* at, std::u16string_view attribute, char16_t* field,
              std::size_t width) override {
        if (auto v = value(at, attribute)) storeCut(field, width, std::move(*v));
    }
    void extent(XmlNode* at, const int32_t& origin, int32_t& extent) override {
        int32_t size = 0;
        auto v = value(at, u"");
        if (!v || !parseNumber(*v, size)) return;
        const long long end = static_cast<long long>(origin) + size;
        if (end >= INT32_MIN && end <= INT32_MAX) extent = static_cast<int32_t>(end);
    }
    void ringText(XmlNode* at, AppEntry& e, int r, int g) override {
        if (at == nullptr || e.ringFunc[r][g] != 2) return;
        std::u16string name, left, right;
        splitRingText(at->text(), name, left, right);
        storeCut(e.ringTextC[r][g], kDescriptorUnits, name);
        storeCut(e.ringTextA[r][g], kDescriptorUnits, left);
        storeCut(e.ringTextB[r][g], kDescriptorUnits, right);
    }
    void penCustom(XmlNode& button, int32_t index, char16_t (&descriptor)[kDescriptorUnits],
                   std::u16string_view) override {
        std::unique_ptr<XmlNode> custom = button.firstChild();
        storeCut(descriptor, kDescriptorUnits, index >= 4 && custom ? custom->text() : u"");
    }
    bool revisitsLastElement() const override { return false; }

private:
    static std::optional<std::u16string> value(XmlNode* at, std::u16string_view attribute) {
        if (at == nullptr) return std::nullopt;
        if (attribute.empty()) return at->text();
        return at->attribute(attribute);
    }
};

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool looksLikeDeviceId(std::u16string_view name) {
    if (name.size() != 8 || !equalsIgnoringCase(name.substr(0, 4), u"PID_")) return false;
    for (char16_t c : name.substr(4))
        if (!isHexDigit(c)) return false;
    return true;
}

// A key function descriptor starts with its kind digit and a "|" (or is empty).
bool startsDescriptor(std::u16string_view rest) {
    return rest.empty() ||
           (rest.size() >= 2 && rest[0] >= u'0' && rest[0] <= u'9' && rest[1] == u'|');
}

}  // namespace

WalkResult readDevice(XmlNode& device, DeviceRecord& rec) {
    ReadVisitor reader;
    const WalkResult result = walkDevice(device, rec, reader);
    // The file keeps no in-use flag: an application entry is in use when it has a name, and
    // entry 0 (all other programs) always is.
    for (int i = 0; i < kAppEntryCount; ++i)
        rec.apps[i].inUse = (i == 0 || rec.apps[i].appName[0] != u'\0') ? 1 : 0;
    return result;
}

BlockLoadSummary readBlock(const XmlDocument& doc, SharedBlock& block) {
    BlockLoadSummary s;
    for (DeviceRecord& rec : block.devices) {
        if (rec.connected == 0) continue;
        ++s.devices;
        std::unique_ptr<XmlNode> device = findDeviceElement(doc, readField(rec.deviceId));
        if (!device)
            ++s.missing;
        else if (readDevice(*device, rec) == WalkResult::Done)
            ++s.loaded;
        else
            ++s.broken;
    }
    return s;
}

bool isConfigurationTree(const XmlDocument& doc) {
    std::unique_ptr<XmlNode> root = doc.documentElement();
    if (!root) return false;
    for (std::unique_ptr<XmlNode> c = root->firstChild(); c; c = c->nextSibling()) {
        if (!looksLikeDeviceId(c->name())) continue;
        std::unique_ptr<XmlNode> info = c->firstChild();
        if (info && info->nextSibling()) return true;
    }
    return false;
}

void splitRingText(std::u16string_view text, std::u16string& name, std::u16string& left,
                   std::u16string& right) {
    name.clear();
    left.clear();
    right.clear();
    const std::size_t first = text.find(u';');
    if (first == std::u16string_view::npos) {
        name = std::u16string(text);
        return;
    }
    name = std::u16string(text.substr(0, first));
    const std::u16string_view rest = text.substr(first + 1);
    for (std::size_t i = rest.find(u';'); i != std::u16string_view::npos;
         i = rest.find(u';', i + 1)) {
        if (startsDescriptor(rest.substr(i + 1))) {
            left = std::u16string(rest.substr(0, i));
            right = std::u16string(rest.substr(i + 1));
            return;
        }
    }
    left = std::u16string(rest);
}

}  // namespace scribo
