// The service's reader against the panel's writer, and the default configuration file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config_fixtures.h"
#include "device_profile.h"
#include "pugi_xml.h"

namespace scribo {
namespace {

using testing::fromUtf8;
using testing::makeRecord;
using testing::PugiDocument;

class NoFeedback : public UserFeedback {
public:
    void showMessage(std::u16string_view text) override { ADD_FAILURE() << testing::toUtf8(text); }
    void traceSaveFailure() override {}
};

sim::DeviceProfile demoProfile() {
    std::ifstream in(SCRIBO_SOURCE_DIR "/tools/service-sim/demo.profile");
    std::stringstream text;
    text << in.rdbuf();
    auto profile = sim::parseProfile(text.str());
    EXPECT_TRUE(profile.errors.empty());
    return profile;
}

PugiDocument defaultFile() {
    PugiDocument doc;
    EXPECT_TRUE(doc.load(fromUtf8(SCRIBO_SOURCE_DIR "/resources/xml/scribo.xml")));
    return doc;
}

// Counts positions that hold no element.
class AbsenceCounter : public PositionVisitor {
public:
    int absent = 0;
    void number(XmlNode* at, std::u16string_view, int32_t&) override { see(at); }
    void number16(XmlNode* at, std::u16string_view, int16_t&) override { see(at); }
    void onOff(XmlNode* at, std::u16string_view, int32_t&) override { see(at); }
    void decimal(XmlNode* at, float&, int) override { see(at); }
    void text(XmlNode* at, std::u16string_view, char16_t*, std::size_t) override { see(at); }
    void extent(XmlNode* at, const int32_t&, int32_t&) override { see(at); }
    void ringText(XmlNode* at, AppEntry&, int, int) override { see(at); }
    void penCustom(XmlNode&, int32_t, char16_t (&)[kDescriptorUnits],
                   std::u16string_view) override {}
    bool revisitsLastElement() const override { return false; }

private:
    void see(XmlNode* at) { absent += at == nullptr; }
};

// Offset of the first byte where two records differ, -1 when they are equal.
long firstDifference(const DeviceRecord& a, const DeviceRecord& b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof(DeviceRecord); ++i)
        if (pa[i] != pb[i]) return static_cast<long>(i);
    return -1;
}

TEST(DefaultConfigFile, HoldsACompleteTreeForEveryDemoDevice) {
    const auto profile = demoProfile();
    PugiDocument doc = defaultFile();
    ASSERT_TRUE(isConfigurationTree(doc));
    ASSERT_EQ(profile.devices.size(), 4u);
    for (const auto& device : profile.devices) {
        const std::u16string id = readField(device->deviceId);
        SCOPED_TRACE(testing::toUtf8(id));
        auto element = findDeviceElement(doc, id);
        ASSERT_TRUE(element);
        auto rec = std::make_unique<DeviceRecord>(*device);
        AbsenceCounter counter;
        EXPECT_EQ(walkDevice(*element, *rec, counter), WalkResult::Done);
        EXPECT_EQ(counter.absent, 0);  // every optional element is there, one per key
    }
}

TEST(ConfigReader, ReadsBackWhatThePanelWrote) {
    const auto profile = demoProfile();
    for (const auto& device : profile.devices) {
        const std::u16string id = readField(device->deviceId);
        SCOPED_TRACE(testing::toUtf8(id));
        auto edited = std::make_unique<DeviceRecord>(*device);
        edited->penButton1Index = 6;
        storeField(edited->penButton1Descriptor, u"1|[Ctrl + Z]|90|44|2");
        edited->penButton2Index = 0;
        edited->pressureCurve[1] = 0.375f;
        edited->monitorIndex = 1;
        edited->screenArea = {-1920, 100, 0, 1180};
        edited->tabletAreaX = 100, edited->tabletAreaW = 9000;
        edited->rotation = 2;
        edited->mouseMode = 1;
        edited->mouseSpeed = 9;
        edited->expressKeyTipsOff = 1;
        edited->expressKeysDisabled = 1;
        const bool padWithTrackPad = device->hasTrackPad != 0 && device->ringCount == 2;
        if (padWithTrackPad) edited->trackPadId = 3;  // kept in the file for these only
        if (device->deviceKind == 1) edited->displayCalib[0] = 0.9876f;  // pen displays only
        AppEntry& app = edited->apps[3];
        app.inUse = 1;
        storeField(app.appName, u"Zeichnen \u00e9\u4e2d");  // beyond ASCII on purpose
        storeField(app.appPath, u"C:\\Programme\\zeichnen.exe");
        app.keyFunc[edited->keyCount - 1] = 2;
        storeField(app.keyDescriptor[edited->keyCount - 1], u"1|[;]|186|39|0");
        if (device->hasRing == 1) {  // devices without a ring keep no ring settings
            app.ringFunc[0][2] = 2;
            storeField(app.ringTextC[0][2], u"Semicolons");
            storeField(app.ringTextA[0][2], u"1|[;]|186|39|0");
            storeField(app.ringTextB[0][2], u"1|[Shift + ;]|186|39|1");
        }

        PugiDocument doc = defaultFile();
        NoFeedback fb;
        ASSERT_EQ(writeDevice(doc, *findDeviceElement(doc, id), *edited, fb), WalkResult::Done);
        PugiDocument reloaded;
        ASSERT_TRUE(reloaded.loadText(doc.toText()));
        auto read = std::make_unique<DeviceRecord>(*device);  // the service's facts only
        ASSERT_EQ(readDevice(*findDeviceElement(reloaded, id), *read), WalkResult::Done);

        EXPECT_EQ(read->penButton1Index, 6);
        EXPECT_EQ(readField(read->penButton1Descriptor), u"1|[Ctrl + Z]|90|44|2");
        EXPECT_EQ(read->screenArea.left, -1920);
        EXPECT_EQ(read->screenArea.bottom, 1180);
        EXPECT_EQ(read->tabletAreaW, 9000);
        EXPECT_EQ(read->mouseMode, 1);
        EXPECT_EQ(read->mouseSpeed, 9);
        EXPECT_FLOAT_EQ(read->pressureCurve[1], 0.375f);
        // Everything the panel writes comes back: the whole record is equal byte for byte.
        EXPECT_EQ(firstDifference(*read, *edited), -1);
        EXPECT_EQ(readField(read->apps[3].appName), u"Zeichnen \u00e9\u4e2d");
    }
}

TEST(ConfigReader, KeepsFieldsForAbsentOrMalformedValuesAndCutsLongTexts) {
    auto rec = makeRecord(u"PID_0374");
    rec->hasExpressKeys = 1;
    rec->keyCount = 2;
    rec->keyPresent[0] = rec->keyPresent[1] = 1;
    rec->monitorIndex = 5;
    rec->rotation = 1;
    rec->mouseMode = 1;
    rec->apps[10].keyFunc[1] = 77;
    const std::string longName(300, 'n');
    PugiDocument doc;
    ASSERT_TRUE(
        doc.loadText("<C><PID_0374><I/><S><Pen/><Sc SelectID='5x'/><T><A/><M><R>99999999999</R><I/>"
                     "<Mo IsChecked='maybe' Speed=' 3 '/></M></T></S><EK><Opt><O/></Opt><Apps>"
                     "<App name='" +
                     longName +
                     "'><P/><K><K SelectID='4'/></K></App></Apps></EK>"
                     "</PID_0374></C>"));
    ASSERT_EQ(readDevice(*findDeviceElement(doc, u"PID_0374"), *rec), WalkResult::Done);
    EXPECT_EQ(rec->monitorIndex, 5);  // "5x"
    EXPECT_EQ(rec->rotation, 1);      // out of range
    EXPECT_EQ(rec->mouseMode, 1);     // "maybe"
    EXPECT_EQ(rec->mouseSpeed, 3);
    EXPECT_EQ(readField(rec->apps[0].appName).size(), kAppTextUnits - 1u);
    EXPECT_EQ(rec->apps[0].keyFunc[0], 4);
    EXPECT_EQ(rec->apps[0].keyFunc[1], 0);    // no element of its own: not read
    EXPECT_EQ(rec->apps[10].keyFunc[1], 77);  // surplus entries keep their values
}

TEST(ConfigReader, RecognisesConfigurationTrees) {
    const std::pair<const char*, bool> cases[] = {
        {"<Scribo><PID_0374><Info/><Settings/></PID_0374></Scribo>", true},
        {"<x><Other/><pid_0a31><i/><s/></pid_0a31></x>", true},
        {"<Scribo/>", false},
        {"<Scribo><Device><Info/><Settings/></Device></Scribo>", false},
        {"<Scribo><PID_0374><Info/></PID_0374></Scribo>", false},
        {"<Scribo><PID_03G4><Info/><Settings/></PID_03G4></Scribo>", false},
        {"not xml at all", false},
    };
    for (const auto& [xml, expected] : cases) {
        SCOPED_TRACE(xml);
        PugiDocument doc;
        doc.loadText(xml);
        EXPECT_EQ(isConfigurationTree(doc), expected);
    }
}

}  // namespace
}  // namespace scribo
