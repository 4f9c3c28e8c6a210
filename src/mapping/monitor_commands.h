// The commands the display adjustment dialog sends to a pen display's monitor, the queue they
// wait in, and how one command is carried out. A monitor answers DDC/CI commands slowly and
// needs a pause after each one, so the dialog hands its commands to a worker in order; while a
// slider is dragged only its latest position is worth sending. Portable: the monitor and the
// clock are behind small interfaces.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "mapping/display_adjust.h"

namespace scribo {

inline constexpr uint8_t kVcpRestoreFactoryDefaults = 0x04;
inline constexpr uint8_t kVcpColourPreset = 0x14;
inline constexpr uint8_t kVcpRedGain = 0x16;
inline constexpr uint8_t kVcpGreenGain = 0x18;
inline constexpr uint8_t kVcpBlueGain = 0x1A;
inline constexpr uint32_t kRestoreFactoryValue = 16;
inline constexpr uint32_t kRestoredGain = 50;

// Pauses towards the monitor, in milliseconds.
inline constexpr int kPauseAfterSet = 100;
inline constexpr int kPauseInRestore = 200;
inline constexpr int kPauseAfterRotation = 500;

enum class MonitorOp {
    SetVcp,         // code, value
    SetBrightness,  // value
    SetContrast,    // value
    Restore,        // factory defaults, the display upright (display), then neutral gains
    Rotate,         // display
    Save,           // the monitor stores its current settings
    Read,           // the current values, for the dialog to show
    Notify,         // no monitor work: tells the window that everything before it is done
};

struct MonitorCommand {
    MonitorOp op = MonitorOp::Notify;
    uint8_t code = 0;
    uint32_t value = 0;
    DisplayModeChange display;
    // Non-zero: the window is told when this command is done, with this token.
    uint32_t notifyToken = 0;

    static MonitorCommand setVcp(uint8_t code, uint32_t value);
    static MonitorCommand brightness(uint32_t value);
    static MonitorCommand contrast(uint32_t value);
    static MonitorCommand restore(const DisplayModeChange& upright, uint32_t token);
    static MonitorCommand rotate(const DisplayModeChange& change);
    static MonitorCommand save();
    static MonitorCommand read(uint32_t token);
    static MonitorCommand notify(uint32_t token);
};

// True when a newer command makes an older pending one pointless: both set the same value
// (a slider, a gain, the preset) and nothing else lies between them.
bool supersedes(const MonitorCommand& newer, const MonitorCommand& older);

// Commands waiting for the worker, oldest first. A set that supersedes the newest pending one
// replaces it in place, so a drag leaves one command behind, with the latest position.
class MonitorCommandQueue {
public:
    void push(const MonitorCommand& cmd);
    std::optional<MonitorCommand> pop();
    const MonitorCommand* front() const { return pending_.empty() ? nullptr : &pending_.front(); }
    void clear() { pending_.clear(); }
    bool empty() const { return pending_.empty(); }
    std::size_t size() const { return pending_.size(); }

private:
    std::deque<MonitorCommand> pending_;
};

// What a Read finds: the colour temperature, the three gains (read only when the temperature is
// unknown, the USER preset), brightness and contrast; each with whether the monitor answered.
struct MonitorReadings {
    bool temperatureOk = false;
    int temperature = 0;  // the system's MC_COLOR_TEMPERATURE value
    bool gainsRead = false;
    std::array<bool, 3> gainOk{};
    std::array<MonitorReading, 3> gains{};  // red, green, blue
    bool brightnessOk = false, contrastOk = false;
    MonitorReading brightness, contrast;
};

// What the worker needs of the monitor. Failures of the set calls are the monitor's business: the
// dialog ignores them, as it has nothing better to offer than the value it shows.
class MonitorPort {
public:
    virtual ~MonitorPort() = default;
    virtual bool readColourTemperature(int& reported) = 0;
    virtual bool readGain(int gain, MonitorReading& reading) = 0;  // 0 red, 1 green, 2 blue
    virtual bool readBrightness(MonitorReading& reading) = 0;
    virtual bool readContrast(MonitorReading& reading) = 0;
    virtual void setVcp(uint8_t code, uint32_t value) = 0;
    virtual void setBrightness(uint32_t value) = 0;
    virtual void setContrast(uint32_t value) = 0;
    virtual void save() = 0;
    // Display settings of the monitor's display: the mode record and flags of `change`.
    virtual void changeDisplayMode(const DisplayModeChange& change) = 0;
};

// Waits `ms`; false when the wait was cut short because the work is being abandoned.
using PauseFn = std::function<bool(int ms)>;

// Carries out one command on the monitor, with the pauses inside it (Restore spaces its steps).
// Returns the pause the monitor needs before the next command; a command cut short by `pause`
// leaves its remaining steps undone. A Read puts what it found into `readings`.
int runMonitorCommand(const MonitorCommand& cmd, MonitorPort& port, const PauseFn& pause,
                      MonitorReadings* readings = nullptr);

// A notification only reports progress: it need not wait for the monitor's pause.
inline bool talksToMonitor(const MonitorCommand& cmd) { return cmd.op != MonitorOp::Notify; }

}  // namespace scribo
