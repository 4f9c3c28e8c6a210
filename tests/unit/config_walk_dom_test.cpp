// Golden-tree tests of the positional walk that writes a device into the configuration file.
#include <gtest/gtest.h>

#include "config/config_writer.h"
#include "config_fixtures.h"
#include "pugi_xml.h"

namespace scribo {
namespace {

using testing::canonicalXml;
using testing::emptySettings;
using testing::makeRecord;
using testing::PugiDocument;
using testing::repeat;

class RecordingFeedback : public UserFeedback {
public:
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void traceSaveFailure() override { ++traces; }
    std::vector<std::u16string> messages;
    int traces = 0;
};

struct Written {
    WalkResult result;
    std::string tree;
};

Written write(const std::string& input, DeviceRecord& rec, RecordingFeedback* fb = nullptr) {
    PugiDocument doc;
    EXPECT_TRUE(doc.loadText(input));
    RecordingFeedback local;
    auto device = findDeviceElement(doc, readField(rec.deviceId));
    EXPECT_TRUE(device != nullptr);
    if (!device) return {WalkResult::MissingElement, ""};
    const WalkResult r = writeDevice(doc, *device, rec, fb ? *fb : local);
    return {r, doc.toText()};
}

TEST(ConfigWalk, WritesPenScreenAndTabletValuesAtTheirPositions) {
    auto rec = makeRecord(u"PID_0374");
    rec->penButton1Index = 5;
    storeField(rec->penButton1Descriptor, u"1|[Ctrl + Z]|90|44|2");
    rec->penButton2Index = 2;
    storeField(rec->penButton2Descriptor, u"1|[B]|66|48|0");
    const float curve[4] = {0.1f, 0.5f, 0.25f, 1.0f};
    std::copy(curve, curve + 4, rec->pressureCurve);
    rec->monitorIndex = 2;
    rec->screenArea = {1920, -10, 3840, 1070};
    rec->tabletAreaX = 10, rec->tabletAreaY = 20, rec->tabletAreaW = 300, rec->tabletAreaH = 400;
    rec->rotation = 3;
    rec->windowsInk = 1;
    rec->mouseMode = 1;
    rec->mouseSpeed = 7;

    // Names other than the device's are never looked at; the device is matched ignoring case;
    // children after the known ones and other devices stay as they are.
    const std::string input =
        "<Config><PID_0001><I/><S/></PID_0001><pid_0374 a='1'><Info model='x'/>"
        "<Settings><Pen><Lower SelectID='0'/>"
        "<Upper SelectID='9'><pen-SecondBtnZdy>old</pen-SecondBtnZdy></Upper>"
        "<P0/><P1/><P2/><P3/></Pen><Screen><L/><T/><W/><H/></Screen>"
        "<Tablet><Area><X/><Y/><W/><H/></Area><Mode><Rot/><Ink/><Mouse/><Tips/></Mode></Tablet>"
        "</Settings><Extra keep='1'>untouched</Extra></pid_0374></Config>";
    const std::string expected =
        "<Config><PID_0001><I/><S/></PID_0001><pid_0374 a='1'><Info model='x'/>"
        "<Settings><Pen><Lower SelectID='5'><pen-FirstBtnZdy>1|[Ctrl + Z]|90|44|2</pen-FirstBtnZdy>"
        "</Lower><Upper SelectID='2'/>"
        "<P0>0.100000</P0><P1>0.500000</P1><P2>0.250000</P2><P3>1.000000</P3></Pen>"
        "<Screen SelectID='2'><L>1920</L><T>-10</T><W>1920</W><H>1080</H></Screen>"
        "<Tablet><Area><X>10</X><Y>20</Y><W>300</W><H>400</H></Area><Mode><Rot>3</Rot>"
        "<Ink IsChecked='True'/><Mouse IsChecked='True' Speed='7'/><Tips IsChecked='False'/>"
        "</Mode></Tablet></Settings><Extra keep='1'>untouched</Extra></pid_0374></Config>";

    const Written w = write(input, *rec);
    EXPECT_EQ(w.result, WalkResult::Done);
    EXPECT_EQ(w.tree, canonicalXml(expected));
    // A fixed function keeps no descriptor: the whole field is cleared in the record.
    for (char16_t c : rec->penButton2Descriptor) ASSERT_EQ(c, u'\0');
    EXPECT_EQ(readField(rec->penButton1Descriptor), u"1|[Ctrl + Z]|90|44|2");
}

TEST(ConfigWalk, PenCustomChildIsCreatedThenReplacedInPlaceThenRemoved) {
    auto rec = makeRecord(u"PID_0374");
    rec->penButton2Index = 5;
    storeField(rec->penButton2Descriptor, u"0|notepad.exe");
    PugiDocument doc;
    ASSERT_TRUE(
        doc.loadText("<C><PID_0374><I/><S><Pen><Lo/><Up/></Pen>"
                     "<Sc/><T><A/></T></S></PID_0374></C>"));
    RecordingFeedback fb;
    auto save = [&] {
        auto device = findDeviceElement(doc, u"PID_0374");
        EXPECT_EQ(writeDevice(doc, *device, *rec, fb), WalkResult::Done);
        return doc.toText();
    };
    auto upper = [](const std::string& inner) {
        return canonicalXml("<C><PID_0374><I/><S><Pen><Lo SelectID='0'/><Up SelectID='5'>" + inner +
                            "</Up></Pen><Sc SelectID='0'/><T><A/></T></S></PID_0374></C>");
    };
    EXPECT_EQ(save(), upper("<pen-SecondBtnZdy>0|notepad.exe</pen-SecondBtnZdy>"));
    storeField(rec->penButton2Descriptor, u"0|calc.exe");
    EXPECT_EQ(save(), upper("<pen-SecondBtnZdy>0|calc.exe</pen-SecondBtnZdy>"));
    storeField(rec->penButton2Descriptor, u"");  // custom choice without a descriptor
    EXPECT_EQ(save(), upper(""));
    EXPECT_TRUE(fb.messages.empty());
}

// An express-key device: keys 3 and 7 of 10 are missing; the file has two application
// elements, the first with one element per existing key, the second with too few.
TEST(ConfigWalk, KeysRingsAndApplicationsFollowTheCursorRule) {
    auto rec = makeRecord(u"PID_0375");
    rec->hasExpressKeys = 1;
    rec->hasRing = 1;
    rec->ringCount = 1;
    rec->keyCount = 10;
    for (int i = 0; i < 10; ++i) rec->keyPresent[i] = (i == 3 || i == 7) ? 0 : 1;
    rec->expressKeysDisabled = 1;
    AppEntry& others = rec->apps[0];
    for (int i = 0; i < 10; ++i) {
        others.keyFunc[i] = i;
        storeField(others.keyDescriptor[i], u"k" + formatNumber(i));
    }
    const int choices[5] = {2, 0, 1, 2, 0};
    std::copy(choices, choices + 5, others.ringFunc[0]);
    storeField(others.ringTextC[0][0], u"Zoom");
    storeField(others.ringTextA[0][0], u"1|[Ctrl + -]|189|12|2");
    storeField(others.ringTextB[0][0], u"1|[Ctrl + =]|187|13|2");
    storeField(others.ringTextC[0][1], u"not written for choice 0");
    storeField(others.ringTextC[0][3], u"Brush");
    storeField(others.ringTextB[0][3], u"1|[]]|221|27|0");
    AppEntry& last = rec->apps[10];
    storeField(last.appName, u"notepad");
    storeField(last.appPath, u"C:\\Windows\\notepad.exe");
    for (int i = 0; i < 10; ++i) {
        last.keyFunc[i] = 100 + i;
        storeField(last.keyDescriptor[i], u"r" + formatNumber(i));
    }
    last.ringFunc[0][4] = 1;

    const std::string input =
        "<C><PID_0375><I/>" + emptySettings() +
        "<EK><Opt><Off/><Res/><TP TrackPadId='9'/></Opt><Apps>"
        "<App><Path/><Keys>" +
        repeat("<K/>", 8) + "</Keys><Ring>" + repeat("<F/>", 5) +
        "</Ring></App><App><Path/><Keys><K/><K/><K/></Keys><Ring><F/><F/></Ring></App>"
        "</Apps></EK></PID_0375></C>";
    const Written w = write(input, *rec);
    ASSERT_EQ(w.result, WalkResult::Done);

    const std::string ek =
        "<EK><Opt><Off IsChecked='True'/><Res/><TP TrackPadId='9'/></Opt><Apps>"
        "<App name=''><Path/><Keys>"
        "<K SelectID='0'>k0</K><K SelectID='1'>k1</K><K SelectID='2'>k2</K><K SelectID='4'>k4</K>"
        "<K SelectID='5'>k5</K><K SelectID='6'>k6</K><K SelectID='8'>k8</K><K SelectID='9'>k9</K>"
        "</Keys><Ring><F SelectID='2'>Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + =]|187|13|2</F>"
        "<F SelectID='0'/><F SelectID='1'/><F SelectID='2'>Brush;;1|[]]|221|27|0</F>"
        "<F SelectID='0'/></Ring></App>"
        // Entries 1..10 all land in the last element; entry 10 is written last.
        "<App name='notepad'><Path>C:\\Windows\\notepad.exe</Path><Keys>"
        "<K SelectID='100'>r0</K><K SelectID='101'>r1</K><K SelectID='109'>r9</K></Keys>"
        "<Ring><F SelectID='0'/><F SelectID='1'/></Ring></App></Apps></EK>";
    const std::string tree = w.tree;
    const std::string want = canonicalXml(
        "<C><PID_0375><I/>" +
        std::string(
            "<Settings><Pen><Lower SelectID='0'/><Upper SelectID='0'/><P0>0.000000</P0>"
            "<P1>0.000000</P1><P2>0.000000</P2><P3>0.000000</P3></Pen><Screen SelectID='0'>"
            "<L>0</L><T>0</T><W>0</W><H>0</H></Screen><Tablet><Area><X>0</X><Y>0</Y><W>0</W>"
            "<H>0</H></Area><Mode><Rot>0</Rot><Ink IsChecked='False'/>"
            "<Mouse IsChecked='False' Speed='0'/><Tips IsChecked='False'/></Mode></Tablet>"
            "</Settings>") +
        ek + "</PID_0375></C>");
    EXPECT_EQ(tree, want);
}

TEST(ConfigWalk, TrackPadIdAndSecondRingAreWrittenOnlyForTwoRingsWithTrackPad) {
    auto rec = makeRecord(u"PID_0375");
    rec->hasExpressKeys = 1;
    rec->hasRing = 1;
    rec->ringCount = 2;
    rec->hasTrackPad = 1;
    rec->trackPadId = 3;
    // One application element and one function element per ring: entry 10 and function 4 are
    // written last.
    rec->apps[10].ringFunc[1][4] = 1;
    const std::string input =
        "<C><PID_0375><I/><S/><EK><Opt><Off/><Res/><TP/></Opt><Apps><App>"
        "<Path/><Keys/><R1><F/></R1><R2><F/></R2></App></Apps></EK>"
        "</PID_0375></C>";
    const Written w = write(input, *rec);
    ASSERT_EQ(w.result, WalkResult::Done);
    EXPECT_EQ(w.tree, canonicalXml("<C><PID_0375><I/><S/><EK><Opt><Off IsChecked='False'/><Res/>"
                                   "<TP TrackPadId='3'/></Opt><Apps><App name=''><Path/><Keys/>"
                                   "<R1><F SelectID='0'/></R1><R2><F SelectID='1'/></R2></App>"
                                   "</Apps></EK></PID_0375></C>"));
}

TEST(ConfigWalk, CalibrationGoesToChildThreeOrFourDependingOnExpressKeys) {
    const std::string keys = "<EK><Opt><Off/></Opt><Apps><App><Path/><Keys/></App></Apps></EK>";
    const std::string keysWritten =
        "<EK><Opt><Off IsChecked='False'/></Opt><Apps><App "
        "name=''><Path/><Keys/></App></Apps></EK>";
    const std::string blank = "<Cal><a/><b/><c/><d/></Cal>";
    const std::string calib = "<Cal><a>1.0000</a><b>1.2500</b><c>0.5000</c><d>0.1235</d></Cal>";
    struct Case {
        int expressKeys;
        std::string input, expected;
    };
    const Case cases[] = {
        {0, blank + blank, calib + blank},
        {1, keys + blank, keysWritten + calib},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expressKeys);
        auto rec = makeRecord(u"PID_0390", 1);
        rec->hasExpressKeys = c.expressKeys;
        const float factors[4] = {1.0f, 1.25f, 0.5f, 0.123456f};
        std::copy(factors, factors + 4, rec->displayCalib);
        const Written w = write("<C><PID_0390><I/><S/>" + c.input + "</PID_0390></C>", *rec);
        EXPECT_EQ(w.result, WalkResult::Done);
        EXPECT_EQ(w.tree, canonicalXml("<C><PID_0390><I/><S/>" + c.expected + "</PID_0390></C>"));
    }
}

TEST(ConfigWalk, OptionalElementsMayBeAbsent) {
    struct Case {
        const char* what;
        std::string settings;
        int32_t DeviceRecord::*marker;  // a value written after the absent element
    };
    const Case cases[] = {
        {"no pen group", "<S/>", nullptr},
        {"no lower button", "<S><Pen/><Scr/><Tab><A/></Tab></S>", &DeviceRecord::monitorIndex},
        {"no curve", "<S><Pen><L/><U/></Pen><Scr/><Tab><A/></Tab></S>",
         &DeviceRecord::monitorIndex},
        {"no last curve value", "<S><Pen><L/><U/><a/><b/><c/></Pen><Scr/><Tab><A/></Tab></S>",
         &DeviceRecord::monitorIndex},
        {"no screen values", "<S><Pen/><Scr/><Tab><A><X/><Y/><W/><H/></A></Tab></S>",
         &DeviceRecord::tabletAreaW},
        {"no screen height", "<S><Pen/><Scr><a/><b/><c/></Scr><Tab><A><X/><Y/><W/></A></Tab></S>",
         &DeviceRecord::tabletAreaW},
        {"no mode", "<S><Pen/><Scr/><Tab><A/></Tab></S>", &DeviceRecord::monitorIndex},
        {"no rotation", "<S><Pen/><Scr/><Tab><A/><M/></Tab></S>", &DeviceRecord::monitorIndex},
        {"no tips", "<S><Pen/><Scr/><Tab><A/><M><R/><I/><Mo/></M></Tab></S>",
         &DeviceRecord::mouseSpeed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rec = makeRecord(u"PID_0374");
        if (c.marker) {
            rec.get()->*c.marker = 4242;
        }
        const Written w = write("<C><PID_0374><I/>" + c.settings + "</PID_0374></C>", *rec);
        EXPECT_EQ(w.result, WalkResult::Done);
        if (c.marker) {
            EXPECT_NE(w.tree.find("4242"), std::string::npos) << w.tree;
        }
    }
}

TEST(ConfigWalk, RequiredElementMissingStopsTheWalk) {
    const std::string keys = "<EK><Opt><Off/></Opt><Apps><App><Path/><Keys/><R/></App></Apps></EK>";
    struct Case {
        const char* what;
        std::string device;
        int kind;
        int expressKeys;
    };
    const Case cases[] = {
        {"no settings", "<I/>", 0, 0},
        {"no upper button", "<I/><S><Pen><L/></Pen><Scr/><Tab><A/></Tab></S>", 0, 0},
        {"curve cut short", "<I/><S><Pen><L/><U/><a/><b/></Pen><Scr/><Tab><A/></Tab></S>", 0, 0},
        {"no screen group", "<I/><S><Pen/></S>", 0, 0},
        {"screen without top", "<I/><S><Pen/><Scr><a/></Scr><Tab><A/></Tab></S>", 0, 0},
        {"no tablet group", "<I/><S><Pen/><Scr/></S>", 0, 0},
        {"no area", "<I/><S><Pen/><Scr/><Tab/></S>", 0, 0},
        {"area without width", "<I/><S><Pen/><Scr/><Tab><A><X/><Y/></A></Tab></S>", 0, 0},
        {"mode without ink", "<I/><S><Pen/><Scr/><Tab><A/><M><R/></M></Tab></S>", 0, 0},
        {"no express-key element", "<I/><S/>", 0, 1},
        {"no application element", "<I/><S/><EK><Opt><Off/></Opt><Apps/></EK>", 0, 1},
        {"no ring element",
         "<I/><S/><EK><Opt><Off/></Opt><Apps><App><Path/><Keys/></App></Apps></EK>", 0, 1},
        {"no calibration", "<I/><S/>" + keys, 1, 1},
        {"calibration cut short", "<I/><S/>" + keys + "<Cal><a/><b/><c/></Cal>", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rec = makeRecord(u"PID_0374", c.kind);
        rec->hasExpressKeys = c.expressKeys;
        rec->hasRing = 1;
        EXPECT_EQ(write("<C><PID_0374>" + c.device + "</PID_0374></C>", *rec).result,
                  WalkResult::MissingElement);
    }
}

// A DOM whose setters fail, to show each error has its own message and the walk goes on.
class FailingNode : public XmlNode {
public:
    explicit FailingNode(std::unique_ptr<XmlNode> inner) : inner_(std::move(inner)) {}
    static std::unique_ptr<XmlNode> wrap(std::unique_ptr<XmlNode> n) {
        return n ? std::make_unique<FailingNode>(std::move(n)) : nullptr;
    }
    std::unique_ptr<XmlNode> firstChild() const override { return wrap(inner_->firstChild()); }
    std::unique_ptr<XmlNode> nextSibling() const override { return wrap(inner_->nextSibling()); }
    std::u16string name() const override { return inner_->name(); }
    bool setAttribute(std::u16string_view n, std::u16string_view v) override {
        return n != u"SelectID" && inner_->setAttribute(n, v);
    }
    bool setText(std::u16string_view) override { return false; }
    bool append(XmlNode&) override { return true; }
    bool remove(XmlNode& c) override { return inner_->remove(c); }
    std::optional<std::u16string> attribute(std::u16string_view n) const override {
        return inner_->attribute(n);
    }
    std::u16string text() const override { return inner_->text(); }

private:
    std::unique_ptr<XmlNode> inner_;
};

class FailingDocument : public PugiDocument {
public:
    std::unique_ptr<XmlNode> documentElement() const override {
        return FailingNode::wrap(PugiDocument::documentElement());
    }
    std::unique_ptr<XmlNode> createElement(std::u16string_view) override { return nullptr; }
};

TEST(ConfigWalk, SettingErrorsAreReportedAndTheWalkGoesOn) {
    auto rec = makeRecord(u"PID_0374");
    rec->penButton1Index = 4;
    storeField(rec->penButton1Descriptor, u"2|3");
    rec->mouseMode = 1;
    FailingDocument doc;
    ASSERT_TRUE(doc.loadText("<C><PID_0374><I/>" + emptySettings() + "</PID_0374></C>"));
    RecordingFeedback fb;
    auto device = findDeviceElement(doc, u"PID_0374");
    EXPECT_EQ(writeDevice(doc, *device, *rec, fb), WalkResult::Done);
    auto count = [&](const char16_t* text) {
        return std::count(fb.messages.begin(), fb.messages.end(), std::u16string(text));
    };
    EXPECT_EQ(count(kCreateNodeErrorText), 1);       // lower button's custom element
    EXPECT_EQ(count(kModifyAttributeErrorText), 3);  // SelectID of both buttons and screen
    EXPECT_EQ(count(kModifyNodeErrorText), 13);      // every text position of the settings
    // Attributes other than SelectID still arrive, after all those errors.
    EXPECT_NE(doc.toText().find("IsChecked=\"True\" Speed=\"0\""), std::string::npos);
}

}  // namespace
}  // namespace scribo
