#include "mapping/monitor_commands.h"

namespace scribo {

MonitorCommand MonitorCommand::setVcp(uint8_t code, uint32_t value) {
    MonitorCommand c;
    c.op = MonitorOp::SetVcp;
    c.code = code;
    c.value = value;
    return c;
}

MonitorCommand MonitorCommand::brightness(uint32_t value) {
    MonitorCommand c;
    c.op = MonitorOp::SetBrightness;
    c.value = value;
    return c;
}

MonitorCommand MonitorCommand::contrast(uint32_t value) {
    MonitorCommand c;
    c.op = MonitorOp::SetContrast;
    c.value = value;
    return c;
}

MonitorCommand MonitorCommand::restore(const DisplayModeChange& upright, uint32_t token) {
    MonitorCommand c;
    c.op = MonitorOp::Restore;
    c.display = upright;
    c.notifyToken = token;
    return c;
}

MonitorCommand MonitorCommand::rotate(const DisplayModeChange& change) {
    MonitorCommand c;
    c.op = MonitorOp::Rotate;
    c.display = change;
    return c;
}

MonitorCommand MonitorCommand::save() {
    MonitorCommand c;
    c.op = MonitorOp::Save;
    return c;
}

MonitorCommand MonitorCommand::read(uint32_t token) {
    MonitorCommand c;
    c.op = MonitorOp::Read;
    c.notifyToken = token;
    return c;
}

MonitorCommand MonitorCommand::notify(uint32_t token) {
    MonitorCommand c;
    c.op = MonitorOp::Notify;
    c.notifyToken = token;
    return c;
}

bool supersedes(const MonitorCommand& newer, const MonitorCommand& older) {
    if (newer.op != older.op || newer.notifyToken != 0 || older.notifyToken != 0) return false;
    switch (newer.op) {
        case MonitorOp::SetBrightness:
        case MonitorOp::SetContrast:
            return true;
        case MonitorOp::SetVcp:
            // Restoring factory defaults is an action, not a value: never merged.
            return newer.code == older.code && newer.code != kVcpRestoreFactoryDefaults;
        default:
            return false;
    }
}

void MonitorCommandQueue::push(const MonitorCommand& cmd) {
    if (!pending_.empty() && supersedes(cmd, pending_.back()))
        pending_.back() = cmd;
    else
        pending_.push_back(cmd);
}

std::optional<MonitorCommand> MonitorCommandQueue::pop() {
    if (pending_.empty()) return std::nullopt;
    MonitorCommand c = pending_.front();
    pending_.pop_front();
    return c;
}

int runMonitorCommand(const MonitorCommand& cmd, MonitorPort& port, const PauseFn& pause,
                      MonitorReadings* readings) {
    switch (cmd.op) {
        case MonitorOp::Read: {
            MonitorReadings r;
            r.temperatureOk = port.readColourTemperature(r.temperature);
            r.gainsRead = readsGains(r.temperatureOk, r.temperature);
            if (r.gainsRead)
                for (int g = 0; g < 3; ++g) r.gainOk[g] = port.readGain(g, r.gains[g]);
            r.brightnessOk = port.readBrightness(r.brightness);
            r.contrastOk = port.readContrast(r.contrast);
            if (readings != nullptr) *readings = r;
            return 0;
        }
        case MonitorOp::SetVcp:
            port.setVcp(cmd.code, cmd.value);
            return kPauseAfterSet;
        case MonitorOp::SetBrightness:
            port.setBrightness(cmd.value);
            return kPauseAfterSet;
        case MonitorOp::SetContrast:
            port.setContrast(cmd.value);
            return kPauseAfterSet;
        case MonitorOp::Restore:
            port.setVcp(kVcpRestoreFactoryDefaults, kRestoreFactoryValue);
            port.changeDisplayMode(cmd.display);
            // The monitor resets itself and the display changes mode: give both time before
            // the gains are set to neutral.
            if (!pause(kPauseInRestore) || !pause(kPauseInRestore)) return 0;
            port.setVcp(kVcpRedGain, kRestoredGain);
            port.setVcp(kVcpGreenGain, kRestoredGain);
            port.setVcp(kVcpBlueGain, kRestoredGain);
            return kPauseAfterSet;
        case MonitorOp::Rotate:
            port.changeDisplayMode(cmd.display);
            return kPauseAfterRotation;
        case MonitorOp::Save:
            port.save();
            return 0;
        case MonitorOp::Notify:
            return 0;
    }
    return 0;
}

}  // namespace scribo
