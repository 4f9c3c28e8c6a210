// The panel's save and the service stand-in's reader meet: stand-in loads the default file,
// the panel edits the block and saves, the stand-in reloads on WM_SERVICE_RELOADCONFIG and holds
// the edits.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "config/block_access.h"
#include "config/service_protocol.h"
#include "config/win/config_store.h"
#include "fallback_texts.h"
#include "platform/block_kernel.h"
#include "platform/profile_source.h"
#include "processes.h"
#include "win_test_files.h"

#define SCRIBO_WIDEN2(x) L##x
#define SCRIBO_WIDEN(x) SCRIBO_WIDEN2(x)
#define SCRIBO_SOURCE_DIR_W SCRIBO_WIDEN(SCRIBO_SOURCE_DIR)

namespace platform {
namespace {

using namespace scribo;
using namespace scribo::win;

using testsupport::FallbackTexts;

class Recorder : public UserFeedback {
public:
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void traceSaveFailure() override {}
    std::vector<std::u16string> messages;
};

TEST(ConfigRoundTrip, StandInReloadsWhatThePanelSaved) {
    testsupport::TestFolder dir;
    const std::u16string config = toU16(dir.file(L"scribo.xml"));
    ASSERT_TRUE(CopyFileW(wz(programDirectory() + u"\\xml\\scribo.xml"), wz(config), FALSE));
    ASSERT_EQ(testsupport::listenWindow(), nullptr) << "another stand-in is running";
    const std::string demo = testsupport::readFile(toWide(programDirectory() + u"\\demo.profile"));
    testsupport::ServiceSim service(dir, demo, toWide(config));
    ASSERT_TRUE(service.started());
    SharedBlockLink link;
    ASSERT_EQ(link.attach(), AttachResult::Attached);
    SharedBlock& block = *link.block();

    DeviceRecord* pad = lookupRecord(block, u"PID_0374");
    DeviceRecord* large = lookupRecord(block, u"PID_0375");
    DeviceRecord* display = lookupRecord(block, u"PID_0390");
    ASSERT_TRUE(pad && large && display);
    EXPECT_EQ(pad->windowsInk, 1);  // from the default file, not the profile

    auto edit = [&](int step) {
        pad->penButton1Index = 6 + step;
        storeField(pad->penButton1Descriptor, step ? u"" : u"1|[Ctrl + Z]|90|44|2");
        pad->rotation = 1 + step;
        pad->apps[0].keyFunc[7] = 2 + step;
        storeField(pad->apps[0].keyDescriptor[7], step ? u"x" : u"1|[F5]|116|63|0");
        pad->apps[0].ringFunc[0][1] = 2 + step;
        storeField(pad->apps[0].ringTextC[0][1], u"Size");
        storeField(pad->apps[0].ringTextA[0][1], u"1|[[]|219|26|0");
        storeField(pad->apps[0].ringTextB[0][1], u"1|[]]|221|27|0");
        large->trackPadId = static_cast<int16_t>(3 - step);
        large->mouseMode = 1 - step;
        large->apps[0].ringFunc[1][4] = 1 - step;
        display->displayCalib[0] = step ? 1.0f : 0.95f;
        display->screenArea = {1920 + step, 0, 3840, 1080};
    };
    edit(0);
    FallbackTexts keys;
    Recorder feedback;
    ConfigStore store(config, TIniFile(keys, u"x.ini"), feedback);
    store.saveAllDevices(block, {u"PID_0374", u"PID_0375", u"PID_0390"});
    EXPECT_TRUE(feedback.messages.empty());
    // What MSXML wrote, byte for byte, against a file checked in once and read by eye: the
    // default tree with exactly these edits. The reload below goes through the same walk as the
    // save, so only this comparison catches a value written to the wrong element or attribute.
    const std::string saved = testsupport::readFile(toWide(config));
    const std::string expected =
        testsupport::readFile(L"Z:" SCRIBO_SOURCE_DIR_W L"/tests/win/data/roundtrip-saved.xml");
    ASSERT_FALSE(expected.empty()) << "tests/win/data/roundtrip-saved.xml is missing";
    if (saved != expected) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const std::wstring actual = std::wstring(temp) + L"roundtrip-saved.actual.xml";
        CopyFileW(wz(config), actual.c_str(), FALSE);
        ADD_FAILURE()
            << "the saved file differs from tests/win/data/roundtrip-saved.xml; it is kept as "
            << std::string(actual.begin(), actual.end());
    }

    edit(1);  // values the reload must overwrite
    testsupport::sendOrFail(testsupport::listenWindow(), WM_SERVICE_RELOADCONFIG, 0, 0);

    EXPECT_EQ(pad->penButton1Index, 6);
    EXPECT_EQ(readField(pad->penButton1Descriptor), u"1|[Ctrl + Z]|90|44|2");
    EXPECT_EQ(pad->rotation, 1);
    EXPECT_EQ(pad->apps[0].keyFunc[7], 2);
    EXPECT_EQ(readField(pad->apps[0].keyDescriptor[7]), u"1|[F5]|116|63|0");
    EXPECT_EQ(pad->apps[0].ringFunc[0][1], 2);
    EXPECT_EQ(readField(pad->apps[0].ringTextB[0][1]), u"1|[]]|221|27|0");
    EXPECT_EQ(large->trackPadId, 3);
    EXPECT_EQ(large->mouseMode, 1);
    EXPECT_EQ(large->apps[0].ringFunc[1][4], 1);
    EXPECT_FLOAT_EQ(display->displayCalib[0], 0.95f);
    EXPECT_EQ(display->screenArea.left, 1920);

    // A device arriving later gets its saved settings too.
    testsupport::simCommand("arrive 0x0A31");
    DeviceRecord* remote = lookupRecord(block, u"PID_0A31");
    ASSERT_TRUE(remote);
    EXPECT_EQ(remote->mouseSpeed, 5);

    const std::string log = service.log();
    EXPECT_NE(log.find("config loaded 3 of 3 devices"), std::string::npos) << log;
    EXPECT_NE(log.find("notify 0x421"), std::string::npos) << log;  // the reload is reported
}

}  // namespace
}  // namespace platform
