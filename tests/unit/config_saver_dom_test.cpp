// saveAllDevices over real files: the document's life, every failure path, the atomic write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "config/config_writer.h"
#include "config_fixtures.h"
#include "pugi_xml.h"

namespace scribo {
namespace {

namespace fs = std::filesystem;
using testing::emptySettings;

class OneTextSource : public ProfileSource {
public:
    std::u16string readString(std::u16string_view, std::u16string_view section,
                              std::u16string_view key, std::u16string_view fallback) override {
        if (section == u"Dialog_Main" && key == u"Main.MsgError3") return u"Cannot load the file";
        return std::u16string(fallback);
    }
    int readInt(std::u16string_view, std::u16string_view, std::u16string_view, int f) override {
        return f;
    }
};

class Feedback : public UserFeedback {
public:
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void traceSaveFailure() override { ++traces; }
    std::vector<std::u16string> messages;
    int traces = 0;
};

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

const std::string kDevice = "<I/>" + emptySettings();

class ConfigSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("scribo-saver-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "scribo.xml";
        for (int s = 0; s < 3; ++s) {
            const char16_t* ids[] = {u"PID_0374", u"PID_0375", u"PID_0390"};
            storeField(block_->devices[s].deviceId, ids[s]);
            block_->devices[s].connected = 1;
            block_->devices[s].monitorIndex = 70 + s;
        }
    }
    void TearDown() override { fs::remove_all(dir_); }

    ConfigSaver saver() {
        return ConfigSaver(testing::fromUtf8(file_.string()), factory_, files_, feedback_,
                           TIniFile(source_, u"English.ini"));
    }
    void writeConfig(const std::string& devices) {
        writeAll(file_, "<?xml version=\"1.0\"?><Scribo>" + devices + "</Scribo>");
    }

    fs::path dir_, file_;
    std::unique_ptr<SharedBlock> block_ = std::make_unique<SharedBlock>();
    testing::PugiFactory factory_;
    testing::NativeFiles files_;
    Feedback feedback_;
    OneTextSource source_;
};

TEST_F(ConfigSaverTest, MissingFileIsReportedOnceAndLoadedAtTheNextSaveOnceRestored) {
    ConfigSaver s = saver();
    s.saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{u"Cannot load the file"});
    EXPECT_EQ(feedback_.traces, 0);
    EXPECT_FALSE(fs::exists(file_));

    writeConfig("<PID_0374>" + kDevice + "</PID_0374><PID_0375>" + kDevice + "</PID_0375>");
    feedback_.messages.clear();
    s.saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_TRUE(feedback_.messages.empty());
    const std::string saved = readAll(file_);
    EXPECT_NE(saved.find("SelectID=\"70\""), std::string::npos);
    EXPECT_NE(saved.find("SelectID=\"71\""), std::string::npos);
    EXPECT_EQ(factory_.created, 1);
}

TEST_F(ConfigSaverTest, DomThatCannotBeCreatedIsReportedAndTriedAgain) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374>");
    factory_.failCreate = true;
    ConfigSaver s = saver();
    s.saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_EQ(feedback_.messages,
              std::vector<std::u16string>{u"Main.MsgError0"});  // key as default
    factory_.failCreate = false;
    s.saveAllDevices(*block_, {u"PID_0374"});
    EXPECT_NE(readAll(file_).find("SelectID=\"70\""), std::string::npos);
}

TEST_F(ConfigSaverTest, EntriesWithoutRecordOrElementAreSkippedSilently) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374>");
    ConfigSaver s = saver();
    EXPECT_EQ(s.saveDeviceConfig(u"PID_FFFF", nullptr), SaveOutcome::NoRecord);
    s.saveAllDevices(*block_, {u"PID_FFFF", u"PID_0390", u"PID_0374"});
    EXPECT_TRUE(feedback_.messages.empty());
    EXPECT_NE(readAll(file_).find("SelectID=\"70\""), std::string::npos);
}

TEST_F(ConfigSaverTest, RequiredElementMissingLeavesTheFileUntouchedAndOthersAreStillSaved) {
    writeConfig("<PID_0374><I/><S><Pen/></S></PID_0374><PID_0375>" + kDevice + "</PID_0375>");
    const std::string before = readAll(file_);
    ConfigSaver s = saver();
    EXPECT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::SaveFailed);
    EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{kSaveFailedText});
    EXPECT_EQ(feedback_.traces, 1);
    EXPECT_EQ(readAll(file_), before);

    s.saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
    EXPECT_EQ(feedback_.traces, 2);
    EXPECT_NE(readAll(file_).find("SelectID=\"71\""), std::string::npos);
}

TEST_F(ConfigSaverTest, WriteFailingMidwayKeepsTheOldFileWhole) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374>");
    ConfigSaver s = saver();
    ASSERT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::Saved);
    const std::string good = readAll(file_);

    factory_.last->failSaveAfter(good.size() / 2);
    block_->devices[0].monitorIndex = 99;
    EXPECT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::SaveFailed);
    EXPECT_EQ(feedback_.messages, std::vector<std::u16string>{kSaveFailedText});
    EXPECT_EQ(readAll(file_), good);
    EXPECT_FALSE(fs::exists(testing::toUtf8(temporaryPathFor(testing::fromUtf8(file_.string())))));
    // Only the file and the backup of the good save before it: no temporary file, no new backup.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// Each save (one per user action, whatever the number of devices) keeps the file as it was
// before; three generations, the oldest dropped; a failed save rotates nothing.
TEST_F(ConfigSaverTest, BackupsKeepTheLastGoodFiles) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374><PID_0375>" + kDevice + "</PID_0375>");
    const std::u16string path = testing::fromUtf8(file_.string());
    auto backup = [&](int n) { return fs::path(testing::toUtf8(backupPathFor(path, n))); };
    std::vector<std::string> generations{readAll(file_)};
    ConfigSaver s = saver();
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        block_->devices[0].monitorIndex = 10 + round;
        s.saveAllDevices(*block_, {u"PID_0374", u"PID_0375"});
        ASSERT_TRUE(feedback_.messages.empty());
        generations.push_back(readAll(file_));
        for (int n = 1; n <= kBackupCount; ++n) {
            const int g = static_cast<int>(generations.size()) - 1 - n;
            if (g >= 0)
                EXPECT_EQ(readAll(backup(n)), generations[static_cast<size_t>(g)])
                    << "backup " << n;
            else
                EXPECT_FALSE(fs::exists(backup(n))) << "backup " << n;
        }
    }
    EXPECT_FALSE(fs::exists(backup(kBackupCount + 1)));

    factory_.last->failSaveAfter(10);
    const std::string first = readAll(backup(1));
    EXPECT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::SaveFailed);
    EXPECT_EQ(readAll(backup(1)), first);
    EXPECT_EQ(readAll(file_), generations.back());
}

// Moves onto one path fail, as onto a file that is read-only or held open by another program.
class RefusingFiles : public testing::NativeFiles {
public:
    bool replace(const std::u16string& from, const std::u16string& to) override {
        return to != refuseOnto && NativeFiles::replace(from, to);
    }
    std::u16string refuseOnto;
};

// A failed save, whichever step fails and however often in a row, changes no backup; the next
// good save rotates from where the last good one left off.
TEST_F(ConfigSaverTest, FailedSavesChangeNoBackup) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374>");
    const std::u16string path = testing::fromUtf8(file_.string());
    auto backups = [&] {
        std::vector<std::string> b;
        for (int n = 1; n <= kBackupCount; ++n)
            b.push_back(readAll(testing::toUtf8(backupPathFor(path, n))));
        return b;
    };
    RefusingFiles files;
    ConfigSaver s(path, factory_, files, feedback_, TIniFile(source_, u"English.ini"));
    int value = 10;
    for (int n = 0; n < kBackupCount; ++n) {
        block_->devices[0].monitorIndex = value++;
        ASSERT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::Saved);
    }
    const std::vector<std::string> good = backups();
    ASSERT_NE(good[0], good[1]);
    ASSERT_NE(good[1], good[2]);
    ASSERT_NE(good[0], good[2]);

    const struct {
        const char* what;
        bool failWrite, failReplace;
        int times;
    } cases[] = {{"temporary file not written", true, false, 1},
                 {"replacement refused", false, true, 1},
                 {"replacement refused three times in a row", false, true, 3},
                 {"write and replacement failing in turn", true, true, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string current = readAll(file_);
        const std::vector<std::string> before = backups();
        for (int i = 0; i < c.times; ++i) {
            const bool write = c.failWrite && (!c.failReplace || i % 2 == 0);
            factory_.last->failSaveAfter(write ? 10 : std::numeric_limits<std::size_t>::max());
            files.refuseOnto = write ? u"" : path;
            block_->devices[0].monitorIndex = value++;
            EXPECT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]),
                      SaveOutcome::SaveFailed);
            EXPECT_EQ(backups(), before) << "after failure " << i + 1;
            EXPECT_EQ(readAll(file_), current);
            // The file and its three backups: nothing set aside or half written is left.
            EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
        }
        factory_.last->failSaveAfter(std::numeric_limits<std::size_t>::max());
        files.refuseOnto.clear();
        ASSERT_EQ(s.saveDeviceConfig(u"PID_0374", &block_->devices[0]), SaveOutcome::Saved);
        EXPECT_EQ(backups(), (std::vector<std::string>{current, before[0], before[1]}));
    }
}

TEST_F(ConfigSaverTest, LoadedTreeIsKeptUntilForgotten) {
    writeConfig("<PID_0374>" + kDevice + "</PID_0374>");
    ConfigSaver s = saver();
    s.saveDeviceConfig(u"PID_0374", &block_->devices[0]);
    // Another tree put in place (an import): the kept tree wins until the saver forgets it.
    writeConfig("<PID_0374>" + kDevice + "<Imported/></PID_0374>");
    s.saveDeviceConfig(u"PID_0374", &block_->devices[0]);
    EXPECT_EQ(readAll(file_).find("Imported"), std::string::npos);

    writeConfig("<PID_0374>" + kDevice + "<Imported/></PID_0374>");
    s.forgetDocument();
    s.saveDeviceConfig(u"PID_0374", &block_->devices[0]);
    const std::string saved = readAll(file_);
    EXPECT_NE(saved.find("Imported"), std::string::npos);
    EXPECT_NE(saved.find("SelectID=\"70\""), std::string::npos);
}

}  // namespace
}  // namespace scribo
