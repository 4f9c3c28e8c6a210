#include "mapping/monitor_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scribo {
namespace {

// Records every monitor call with the time it was made on a clock that only pauses advance.
class RecordingPort : public MonitorPort {
public:
    std::vector<std::string> calls;
    int now = 0;
    // What the reads answer; a reading the monitor fails leaves its record as it was.
    int temperature = 3;
    bool temperatureOk = true, othersOk = true;
    MonitorReading answer{0, 70, 100};
    bool readColourTemperature(int& reported) override {
        add("read temperature", 0, 0);
        if (temperatureOk) reported = temperature;
        return temperatureOk;
    }
    bool readGain(int gain, MonitorReading& r) override { return read("read gain", gain, r); }
    bool readBrightness(MonitorReading& r) override { return read("read brightness", 0, r); }
    bool readContrast(MonitorReading& r) override { return read("read contrast", 0, r); }
    void setVcp(uint8_t code, uint32_t value) override { add("vcp", code, value); }
    void setBrightness(uint32_t value) override { add("brightness", 0, value); }
    void setContrast(uint32_t value) override { add("contrast", 0, value); }
    void save() override { add("save", 0, 0); }
    void changeDisplayMode(const DisplayModeChange& change) override {
        uint8_t m[kDisplayModeBytes];
        std::copy(change.mode.begin(), change.mode.end(), m);
        const DisplayModeSize d = readDisplayMode(m);
        calls.push_back("@" + std::to_string(now) + " mode " + std::to_string(d.width) + "x" +
                        std::to_string(d.height) + " o" + std::to_string(d.orientation));
    }

private:
    bool read(const char* what, int code, MonitorReading& r) {
        add(what, code, 0);
        if (othersOk) r = answer;
        return othersOk;
    }
    void add(const char* what, int code, uint32_t value) {
        calls.push_back("@" + std::to_string(now) + " " + what + " " + std::to_string(code) + "=" +
                        std::to_string(value));
    }
};

DisplayModeChange modeOf(uint32_t width, uint32_t height, uint32_t orientation) {
    uint8_t m[kDisplayModeBytes] = {};
    const auto put = [&](std::size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) m[off + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(kDmPelsWidthOffset, width);
    put(kDmPelsHeightOffset, height);
    put(kDmOrientationOffset, orientation);
    DisplayModeChange out;
    std::copy(std::begin(m), std::end(m), out.mode.begin());
    return out;
}

std::vector<uint32_t> values(MonitorCommandQueue& q) {
    std::vector<uint32_t> v;
    while (auto c = q.pop()) v.push_back(c->value);
    return v;
}

TEST(MonitorCommandQueue, ADragLeavesOnlyItsLatestPositionPending) {
    MonitorCommandQueue q;
    for (uint32_t v = 10; v <= 90; v += 10) q.push(MonitorCommand::brightness(v));
    EXPECT_EQ(values(q), std::vector<uint32_t>{90});

    // Each gain is its own value; the order of different controls is kept.
    q.push(MonitorCommand::setVcp(kVcpRedGain, 1));
    q.push(MonitorCommand::setVcp(kVcpRedGain, 2));
    q.push(MonitorCommand::setVcp(kVcpGreenGain, 3));
    q.push(MonitorCommand::setVcp(kVcpRedGain, 4));
    EXPECT_EQ(values(q), (std::vector<uint32_t>{2, 3, 4}));
}

TEST(MonitorCommandQueue, NothingIsMergedAcrossAnotherCommandOrAnAction) {
    const DisplayModeChange mode = modeOf(1920, 1080, 0);
    MonitorCommandQueue q;
    q.push(MonitorCommand::contrast(20));
    q.push(MonitorCommand::rotate(mode));
    q.push(MonitorCommand::contrast(30));  // after the rotation: both contrasts are sent
    q.push(MonitorCommand::setVcp(kVcpRestoreFactoryDefaults, 16));
    q.push(MonitorCommand::setVcp(kVcpRestoreFactoryDefaults, 16));
    q.push(MonitorCommand::restore(mode, 7));
    q.push(MonitorCommand::restore(mode, 7));
    q.push(MonitorCommand::notify(1));
    q.push(MonitorCommand::notify(1));
    std::vector<MonitorOp> ops;
    while (auto c = q.pop()) ops.push_back(c->op);
    EXPECT_EQ(ops, (std::vector<MonitorOp>{
                       MonitorOp::SetContrast, MonitorOp::Rotate, MonitorOp::SetContrast,
                       MonitorOp::SetVcp, MonitorOp::SetVcp, MonitorOp::Restore, MonitorOp::Restore,
                       MonitorOp::Notify, MonitorOp::Notify}));
}

TEST(RunMonitorCommand, RestoreResetsTurnsUprightThenNeutralGainsAfterItsPauses) {
    RecordingPort port;
    const PauseFn pause = [&](int ms) {
        port.now += ms;
        return true;
    };
    const int after =
        runMonitorCommand(MonitorCommand::restore(modeOf(1080, 1920, 0), 1), port, pause);
    EXPECT_EQ(port.calls,
              (std::vector<std::string>{"@0 vcp 4=16", "@0 mode 1080x1920 o0", "@400 vcp 22=50",
                                        "@400 vcp 24=50", "@400 vcp 26=50"}));
    EXPECT_EQ(after, kPauseAfterSet);

    const struct {
        MonitorCommand cmd;
        const char* call;
        int pauseAfter;
    } cases[] = {
        {MonitorCommand::setVcp(kVcpColourPreset, 11), "@0 vcp 20=11", 100},
        {MonitorCommand::brightness(70), "@0 brightness 0=70", 100},
        {MonitorCommand::contrast(35), "@0 contrast 0=35", 100},
        {MonitorCommand::rotate(modeOf(1080, 1920, 1)), "@0 mode 1080x1920 o1", 500},
        {MonitorCommand::save(), "@0 save 0=0", 0},
    };
    for (const auto& c : cases) {
        RecordingPort p;
        EXPECT_EQ(runMonitorCommand(c.cmd, p, pause), c.pauseAfter) << c.call;
        EXPECT_EQ(p.calls, std::vector<std::string>{c.call});
    }
}

TEST(RunMonitorCommand, AnAbandonedRestoreStopsAtItsPause) {
    RecordingPort port;
    runMonitorCommand(MonitorCommand::restore(modeOf(1920, 1080, 0), 1), port,
                      [](int) { return false; });
    EXPECT_EQ(port.calls.size(), 2u);  // reset and mode; the gains are not sent
    RecordingPort idle;
    EXPECT_EQ(runMonitorCommand(MonitorCommand::notify(3), idle, [](int) { return true; }), 0);
    EXPECT_TRUE(idle.calls.empty());
    EXPECT_FALSE(talksToMonitor(MonitorCommand::notify(3)));
}

// Opening the dialog reads the monitor on the worker: the gains only for the USER preset (an
// unknown temperature), and every failure is reported for the dialog's fallbacks.
TEST(RunMonitorCommand, ReadFindsTheValuesTheDialogShows) {
    const PauseFn pause = [](int) { return true; };
    struct Case {
        const char* what;
        bool temperatureOk;
        int temperature;
        bool othersOk;
        std::vector<std::string> calls;
    } cases[] = {
        {"6500 K",
         true,
         3,
         true,
         {"@0 read temperature 0=0", "@0 read brightness 0=0", "@0 read contrast 0=0"}},
        {"unknown: USER, with gains",
         true,
         0,
         true,
         {"@0 read temperature 0=0", "@0 read gain 0=0", "@0 read gain 1=0", "@0 read gain 2=0",
          "@0 read brightness 0=0", "@0 read contrast 0=0"}},
        {"no answer",
         false,
         0,
         false,
         {"@0 read temperature 0=0", "@0 read brightness 0=0", "@0 read contrast 0=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPort port;
        port.temperatureOk = c.temperatureOk;
        port.temperature = c.temperature;
        port.othersOk = c.othersOk;
        MonitorReadings r;
        EXPECT_EQ(runMonitorCommand(MonitorCommand::read(5), port, pause, &r), 0);
        EXPECT_EQ(port.calls, c.calls);
        EXPECT_EQ(r.temperatureOk, c.temperatureOk);
        EXPECT_EQ(r.gainsRead, c.temperatureOk && c.temperature == 0);
        EXPECT_EQ(r.brightnessOk, c.othersOk);
        EXPECT_EQ(r.contrastOk, c.othersOk);
        if (c.othersOk) {
            EXPECT_EQ(r.brightness.current, 70u);
        }
        if (r.gainsRead) {
            EXPECT_TRUE(r.gainOk[0] && r.gainOk[1] && r.gainOk[2]);
        }
    }
    EXPECT_TRUE(talksToMonitor(MonitorCommand::read(5)));
}

}  // namespace
}  // namespace scribo
