// Where each setting of a device lives in the configuration tree. The tree is positional: only
// the place of an element among its siblings counts, never its name (except the device elements
// and the two pen custom-function elements). The panel's writer and the service's reader both
// run walkDevice with their own visitor, so the two sides cannot disagree on a position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "config/shared_block.h"
#include "config/xml_tree.h"

namespace scribo {

inline constexpr const char16_t* kLowerPenCustomElement = u"pen-FirstBtnZdy";
inline constexpr const char16_t* kUpperPenCustomElement = u"pen-SecondBtnZdy";

// Receives every value position of a device element in walk order. `at` is null when the
// position holds no element (an optional element that is absent, or a surplus entry the reader
// does not revisit); values at such positions are skipped. An empty `attribute` means the
// element's text.
class PositionVisitor {
public:
    virtual ~PositionVisitor() = default;

    virtual void number(XmlNode* at, std::u16string_view attribute, int32_t& field) = 0;    // "%d"
    virtual void number16(XmlNode* at, std::u16string_view attribute, int16_t& field) = 0;  // "%d"
    virtual void onOff(XmlNode* at, std::u16string_view attribute,
                       int32_t& field) = 0;                             // True/False
    virtual void decimal(XmlNode* at, float& field, int decimals) = 0;  // "%.*f" text
    virtual void text(XmlNode* at, std::u16string_view attribute, char16_t* field,
                      std::size_t width) = 0;
    // Text of `extent` minus `origin` (screen width and height); the reader sets extent back.
    virtual void extent(XmlNode* at, const int32_t& origin, int32_t& extent) = 0;
    // "name;left;right" of a user-defined ring function (choice 2), "" otherwise.
    virtual void ringText(XmlNode* at, AppEntry& entry, int ring, int function) = 0;
    // The custom-function child of a pen button element, after its "SelectID" was visited.
    virtual void penCustom(XmlNode& button, int32_t index, char16_t (&descriptor)[kDescriptorUnits],
                           std::u16string_view elementName) = 0;

    // Whether a cursor that ran out of elements hands out its last element again. The writer
    // does (surplus keys, ring functions and applications land in the last element); the reader
    // does not, so surplus entries keep their values instead of copying the last one.
    virtual bool revisitsLastElement() const = 0;
};

enum class WalkResult {
    Done,
    MissingElement,  // a required element is absent; the walk stopped there
};

// Walks one device element with the device facts (hasExpressKeys, deviceKind, hasRing,
// ringCount, hasTrackPad, keyCount, keyPresent) of `rec` deciding which parts exist.
WalkResult walkDevice(XmlNode& device, DeviceRecord& rec, PositionVisitor& visitor);

// First child element of the document element whose name equals `deviceId` ignoring case.
std::unique_ptr<XmlNode> findDeviceElement(const XmlDocument& doc, std::u16string_view deviceId);

// Value texts of the file.
std::u16string formatNumber(long long value);
std::u16string formatDecimal(float value, int decimals);
std::u16string formatOnOff(int32_t value);
// Parsers for the reader: false (and the field untouched) on anything that is not a value.
bool parseNumber(std::u16string_view text, int32_t& out);
bool parseDecimal(std::u16string_view text, float& out);
bool parseOnOff(std::u16string_view text, int32_t& out);

}  // namespace scribo
