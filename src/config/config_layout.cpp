#include "config/config_layout.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "config/block_access.h"
#include "config/service_protocol.h"

namespace scribo {

namespace {

using NodePtr = std::unique_ptr<XmlNode>;

// Walks the children of one element as a cursor: each entry gets the next element; once the
// elements run out the cursor stays on the last one (or hands out none, for the reader).
class Cursor {
public:
    Cursor(NodePtr first, bool revisit) : node_(std::move(first)), revisit_(revisit) {}
    bool empty() const { return node_ == nullptr; }
    XmlNode* current() const { return stuck_ && !revisit_ ? nullptr : node_.get(); }
    void advance() {
        if (node_ == nullptr || stuck_) return;
        if (NodePtr next = node_->nextSibling())
            node_ = std::move(next);
        else
            stuck_ = true;
    }

private:
    NodePtr node_;
    bool revisit_;
    bool stuck_ = false;
};

NodePtr firstOf(const XmlNode* n) { return n != nullptr ? n->firstChild() : nullptr; }
NodePtr nextOf(const XmlNode* n) { return n != nullptr ? n->nextSibling() : nullptr; }

class DeviceWalk {
public:
    DeviceWalk(DeviceRecord& rec, PositionVisitor& v) : rec_(rec), v_(v) {}

    bool device(XmlNode& device) {
        NodePtr info = device.firstChild();  // device information, never written
        NodePtr settings = nextOf(info.get());
        if (!settings || !this->settings(*settings)) return false;
        NodePtr last = std::move(settings);
        if (rec_.hasExpressKeys == 1 && rec_.deviceKind >= 0) {
            NodePtr keys = last->nextSibling();
            if (!keys || !expressKeys(*keys)) return false;
            last = std::move(keys);
        }
        if (rec_.deviceKind == kDeviceKindPenDisplay) {
            NodePtr calib = last->nextSibling();
            if (!calib) return false;
            NodePtr c = calib->firstChild();
            for (int i = 0; i < 4; ++i) {
                if (!c) return false;
                v_.decimal(c.get(), rec_.displayCalib[i], 4);
                if (i < 3) c = c->nextSibling();
            }
        }
        return true;
    }

private:
    bool settings(XmlNode& settings) {
        NodePtr pen = settings.firstChild();
        if (!pen) return true;  // no pen group: pen, screen and tablet groups are all skipped
        if (!penGroup(*pen)) return false;
        NodePtr screen = pen->nextSibling();
        if (!screen || !screenGroup(*screen)) return false;
        NodePtr tablet = screen->nextSibling();
        return tablet && tabletGroup(*tablet);
    }

    bool penGroup(XmlNode& pen) {
        NodePtr lower = pen.firstChild();
        if (!lower) return true;  // the whole pen group is skipped
        penButton(*lower, rec_.penButton1Index, rec_.penButton1Descriptor, kLowerPenCustomElement);
        NodePtr upper = lower->nextSibling();
        if (!upper) return false;
        penButton(*upper, rec_.penButton2Index, rec_.penButton2Descriptor, kUpperPenCustomElement);
        NodePtr c = upper->nextSibling();
        if (!c) return true;  // no curve elements
        for (int i = 0; i < 4; ++i) {
            v_.decimal(c.get(), rec_.pressureCurve[i], 6);
            if (i == 3) break;
            c = c->nextSibling();
            if (!c && i < 2) return false;  // only the last curve element may be absent
        }
        return true;
    }

    void penButton(XmlNode& button, int32_t& index, char16_t (&descriptor)[kDescriptorUnits],
                   const char16_t* name) {
        v_.number(&button, u"SelectID", index);
        v_.penCustom(button, index, descriptor, name);
    }

    bool screenGroup(XmlNode& screen) {
        v_.number(&screen, u"SelectID", rec_.monitorIndex);
        NodePtr left = screen.firstChild();
        if (!left) return true;
        Rect32& r = rec_.screenArea;
        v_.number(left.get(), u"", r.left);
        NodePtr top = left->nextSibling();
        if (!top) return false;
        v_.number(top.get(), u"", r.top);
        NodePtr width = top->nextSibling();
        if (!width) return false;
        v_.extent(width.get(), r.left, r.right);
        v_.extent(nextOf(width.get()).get(), r.top, r.bottom);  // height may be absent
        return true;
    }

    bool tabletGroup(XmlNode& tablet) {
        NodePtr area = tablet.firstChild();
        if (!area) return false;
        if (NodePtr x = area->firstChild()) {
            v_.number(x.get(), u"", rec_.tabletAreaX);
            NodePtr y = x->nextSibling();
            if (!y) return false;
            v_.number(y.get(), u"", rec_.tabletAreaY);
            NodePtr w = y->nextSibling();
            if (!w) return false;
            v_.number(w.get(), u"", rec_.tabletAreaW);
            v_.number(nextOf(w.get()).get(), u"", rec_.tabletAreaH);  // may be absent
        }
        NodePtr mode = area->nextSibling();
        if (!mode) return true;
        NodePtr rotation = mode->firstChild();
        if (!rotation) return true;
        v_.number(rotation.get(), u"", rec_.rotation);
        NodePtr ink = rotation->nextSibling();
        if (!ink) return false;
        v_.onOff(ink.get(), u"IsChecked", rec_.windowsInk);
        NodePtr mouse = ink->nextSibling();
        if (!mouse) return false;
        v_.onOff(mouse.get(), u"IsChecked", rec_.mouseMode);
        v_.number(mouse.get(), u"Speed", rec_.mouseSpeed);
        v_.onOff(nextOf(mouse.get()).get(), u"IsChecked", rec_.expressKeyTipsOff);  // may be absent
        return true;
    }

    bool expressKeys(XmlNode& keys) {
        NodePtr options = keys.firstChild();
        if (!options) return false;
        NodePtr disabled = options->firstChild();
        if (!disabled) return false;
        v_.onOff(disabled.get(), u"IsChecked", rec_.expressKeysDisabled);
        if (rec_.hasRing == 1 && rec_.ringCount == 2 && rec_.hasTrackPad != 0) {
            NodePtr reserved = disabled->nextSibling();
            if (!reserved) return false;
            v_.number16(nextOf(reserved.get()).get(), u"TrackPadId", rec_.trackPadId);
        }
        NodePtr apps = options->nextSibling();
        if (!apps) return false;
        Cursor app(apps->firstChild(), v_.revisitsLastElement());
        if (app.empty()) return false;
        for (AppEntry& entry : rec_.apps) {
            if (XmlNode* a = app.current()) {
                if (!application(*a, entry)) return false;
            }
            app.advance();
        }
        return true;
    }

    bool application(XmlNode& app, AppEntry& entry) {
        v_.text(&app, u"name", entry.appName, kAppTextUnits);
        NodePtr path = app.firstChild();
        if (!path) return false;
        v_.text(path.get(), u"", entry.appPath, kAppTextUnits);
        NodePtr keys = path->nextSibling();
        if (!keys) return false;
        Cursor key(keys->firstChild(), v_.revisitsLastElement());
        const int count = boundedKeyCount(rec_);
        for (int i = 0; i < count; ++i) {
            if (rec_.keyPresent[i] != 1) continue;  // a missing key uses up no element
            v_.number(key.current(), u"SelectID", entry.keyFunc[i]);
            v_.text(key.current(), u"", entry.keyDescriptor[i], kDescriptorUnits);
            key.advance();
        }
        if (rec_.hasRing != 1) return true;
        NodePtr ring = keys->nextSibling();
        if (!ring) return false;
        ringFunctions(*ring, entry, 0);
        if (rec_.ringCount != 2) return true;
        NodePtr second = ring->nextSibling();
        if (!second) return false;
        ringFunctions(*second, entry, 1);
        return true;
    }

    void ringFunctions(XmlNode& ring, AppEntry& entry, int r) {
        Cursor fn(ring.firstChild(), v_.revisitsLastElement());
        for (int g = 0; g < kRingFunctions; ++g) {
            v_.number(fn.current(), u"SelectID", entry.ringFunc[r][g]);
            v_.ringText(fn.current(), entry, r, g);
            fn.advance();
        }
    }

    DeviceRecord& rec_;
    PositionVisitor& v_;
};

}  // namespace

WalkResult walkDevice(XmlNode& device, DeviceRecord& rec, PositionVisitor& visitor) {
    return DeviceWalk(rec, visitor).device(device) ? WalkResult::Done : WalkResult::MissingElement;
}

std::unique_ptr<XmlNode> findDeviceElement(const XmlDocument& doc, std::u16string_view deviceId) {
    NodePtr root = doc.documentElement();
    for (NodePtr c = firstOf(root.get()); c; c = c->nextSibling())
        if (equalsIgnoringCase(c->name(), deviceId)) return c;
    return nullptr;
}

std::u16string formatNumber(long long value) {
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

std::u16string formatDecimal(float value, int decimals) {
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(value));
    if (n < 0) return u"";
    const std::string s(buf, static_cast<std::size_t>(n) < sizeof buf ? n : sizeof buf - 1);
    return std::u16string(s.begin(), s.end());
}

std::u16string formatOnOff(int32_t value) { return value != 0 ? u"True" : u"False"; }

namespace {

// ASCII copy of a value text without surrounding blanks; false when it holds anything else.
bool asciiValue(std::u16string_view text, std::string& out) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    if (text.empty() || text.size() > 64) return false;
    out.clear();
    for (char16_t c : text) {
        if (c >= 0x80) return false;
        out.push_back(static_cast<char>(c));
    }
    return true;
}

}  // namespace

bool parseNumber(std::u16string_view text, int32_t& out) {
    std::string s;
    if (!asciiValue(text, s)) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end != s.c_str() + s.size() || v < std::numeric_limits<int32_t>::min() ||
        v > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

bool parseDecimal(std::u16string_view text, float& out) {
    std::string s;
    if (!asciiValue(text, s)) return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v) || std::fabs(v) > 1e30) return false;
    out = static_cast<float>(v);
    return true;
}

bool parseOnOff(std::u16string_view text, int32_t& out) {
    if (equalsIgnoringCase(text, u"True")) {
        out = 1;
        return true;
    }
    if (equalsIgnoringCase(text, u"False")) {
        out = 0;
        return true;
    }
    return false;
}

}  // namespace scribo
