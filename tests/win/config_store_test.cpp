// Saving through MSXML on a real file system: failures and the atomic replacement.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "config/block_access.h"
#include "config/win/config_store.h"
#include "config_fixtures.h"
#include "store_doubles.h"
#include "win_test_files.h"

namespace scribo::win {

using namespace platform;
namespace {

using scribo::SaveOutcome;

using testsupport::KeyAsText;
using testsupport::Recorder;

class ConfigStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int s = 0; s < 2; ++s) {
            scribo::storeField(block_->devices[s].deviceId, s == 0 ? u"PID_0374" : u"PID_0375");
            block_->devices[s].connected = 1;
            block_->devices[s].monitorIndex = 40 + s;
        }
    }
    std::unique_ptr<ConfigStore> store() {
        return std::make_unique<ConfigStore>(path_, scribo::TIniFile(source_, u"x.ini"), feedback_);
    }
    void writeConfig() {
        const std::string device = "<I/>" + scribo::testing::emptySettings();
        writeText(path_, "<?xml version=\"1.0\"?><Scribo><PID_0374>" + device +
                             "</PID_0374><PID_0375>" + device + "</PID_0375></Scribo>");
    }

    TempFolder dir_;
    std::u16string path_ = dir_.file(u"scribo.xml");
    std::unique_ptr<scribo::SharedBlock> block_ = std::make_unique<scribo::SharedBlock>();
    KeyAsText source_;
    Recorder feedback_;
};

TEST_F(ConfigStoreTest, MissingFileThenRestoredFile) {
    auto s = store();
    s->saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{u"Main.MsgError3"});
    EXPECT_FALSE(fileExists(path_));

    writeConfig();
    feedback_.messages.clear();
    s->saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_TRUE(feedback_.messages.empty());
    const std::string saved = readText(path_);
    EXPECT_NE(saved.find("SelectID=\"40\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("SelectID=\"41\""), std::string::npos);
    EXPECT_FALSE(fileExists(path_ + u".tmp"));
}

TEST_F(ConfigStoreTest, FailedWriteOrReplaceLeavesTheOldFileWhole) {
    writeConfig();
    auto s = store();
    ASSERT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::Saved);
    const std::string good = readText(path_);
    block_->devices[0].monitorIndex = 99;

    {  // The temporary file cannot be written (held open by another program).
        HANDLE held =
            CreateFileW(wz(path_ + u".tmp"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::SaveFailed);
        CloseHandle(held);
        EXPECT_EQ(readText(path_), good);
    }
    {  // The finished file cannot replace the old one (open without delete sharing).
        HANDLE held = CreateFileW(wz(path_), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::SaveFailed);
        CloseHandle(held);
        EXPECT_EQ(readText(path_), good);
        EXPECT_FALSE(fileExists(path_ + u".tmp"));
    }
    {  // The file was made read-only: it is not replaced, and not reported as saved.
        ASSERT_TRUE(SetFileAttributesW(wz(path_), FILE_ATTRIBUTE_READONLY));
        EXPECT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::SaveFailed);
        SetFileAttributesW(wz(path_), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(readText(path_), good);
        EXPECT_FALSE(fileExists(path_ + u".tmp"));
    }
    EXPECT_EQ(feedback_.messages,
              (std::vector<std::u16string>{scribo::kSaveFailedText, scribo::kSaveFailedText,
                                           scribo::kSaveFailedText}));
    EXPECT_EQ(feedback_.traces, 3);
    ASSERT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::Saved);
    EXPECT_NE(readText(path_).find("SelectID=\"99\""), std::string::npos);
}

// The user made the file read-only: saves fail, and however many fail, the backups of the last
// good saves stay as they were and nothing is left beside them.
TEST_F(ConfigStoreTest, SavesOntoAReadOnlyFileKeepTheBackups) {
    writeConfig();
    auto s = store();
    auto backups = [&] {
        std::vector<std::string> b;
        for (int n = 1; n <= scribo::kBackupCount; ++n)
            b.push_back(readText(scribo::backupPathFor(path_, n)));
        return b;
    };
    for (int n = 0; n < scribo::kBackupCount; ++n) {
        block_->devices[0].monitorIndex = 50 + n;
        ASSERT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::Saved);
    }
    const std::vector<std::string> good = backups();
    EXPECT_NE(good[0], good[1]);
    EXPECT_NE(good[1], good[2]);
    EXPECT_NE(good[0], good[2]);
    const std::string current = readText(path_);

    ASSERT_TRUE(SetFileAttributesW(wz(path_), FILE_ATTRIBUTE_READONLY));
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        block_->devices[0].monitorIndex = 60 + n;
        EXPECT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::SaveFailed);
        EXPECT_EQ(backups(), good);
        EXPECT_EQ(readText(path_), current);
        EXPECT_FALSE(fileExists(path_ + u".tmp"));
        EXPECT_FALSE(fileExists(scribo::previousPathFor(path_)));
    }
    SetFileAttributesW(wz(path_), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(s->saveDeviceConfig(*block_, u"PID_0374"), SaveOutcome::Saved);
    EXPECT_EQ(backups(), (std::vector<std::string>{current, good[0], good[1]}));
}

TEST(ConfigPathWin, RoamingFolderOnThisSystem) {
    const std::u16string p = configurationFilePath();
    const std::u16string tail = u"\\Scribo\\xml\\scribo.xml";
    ASSERT_GT(p.size(), tail.size() + 3);
    EXPECT_EQ(p.substr(p.size() - tail.size()), tail);
    EXPECT_EQ(p.substr(1, 2), u":\\");
}

}  // namespace
}  // namespace scribo::win
