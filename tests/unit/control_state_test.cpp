#include "shell/control_state.h"

#include <gtest/gtest.h>

#include <string>

namespace scribo {
namespace {

std::string show(const std::optional<bool>& v) { return v ? (*v ? "yes" : "no") : "-"; }

// Each row: the inputs that differ from a tablet in absolute mode on monitor entry 1 with
// express keys, and the state of every role ("-" leaves the control as it is).
TEST(ControlState, EveryRoleFromTheStateOfThePanel) {
    using R = ControlRole;
    const ControlInputs tablet{true, 0, 0, 1, 0, 3, 1, false, false};
    struct Row {
        const char* name;
        ControlInputs in;
        R role;
        const char* shown;
        const char* enabled;
    };
    auto with = [&](auto change) {
        ControlInputs in = tablet;
        change(in);
        return in;
    };
    const auto relative = with([](ControlInputs& i) { i.mouseMode = 1; });
    const auto desktop = with([](ControlInputs& i) { i.monitorSelection = 0; });
    const auto display = with([](ControlInputs& i) { i.deviceKind = 1; });
    const auto displayXp = with([](ControlInputs& i) { i.deviceKind = 1, i.xpMode = true; });
    const auto noRecord = with([](ControlInputs& i) { i.hasRecord = false; });
    const auto bare = with([](ControlInputs& i) { i.hasExpressKeys = 0, i.hasRing = 0; });
    const auto ringOnly = with([](ControlInputs& i) { i.hasExpressKeys = 0, i.hasRing = 1; });
    const auto oddFlags = with([](ControlInputs& i) { i.hasExpressKeys = 2, i.hasRing = 0; });
    const auto oddKind = with([](ControlInputs& i) { i.deviceKind = 3; });
    const auto onePen = with([](ControlInputs& i) { i.penModel = 2; });
    const auto remote = with([](ControlInputs& i) { i.remoteListed = true; });
    const Row rows[] = {
        {"tablet", tablet, R::TabletOnly, "yes", "-"},
        {"tablet", tablet, R::TabletFields, "-", "yes"},
        {"tablet", tablet, R::SetScreenArea, "-", "yes"},
        {"tablet", tablet, R::AbsoluteOnly, "-", "yes"},
        {"tablet", tablet, R::Speed, "-", "no"},
        {"tablet", tablet, R::Calibrate, "no", "yes"},
        {"tablet", tablet, R::DisplaySetting, "no", "-"},
        {"tablet", tablet, R::QuickSetting, "yes", "yes"},
        {"tablet", tablet, R::UpperPenButton, "yes", "-"},
        {"tablet", tablet, R::RemoteButton, "no", "-"},
        {"relative", relative, R::SetScreenArea, "-", "no"},
        {"relative", relative, R::AbsoluteOnly, "-", "no"},
        {"relative", relative, R::Calibrate, "no", "no"},
        {"relative", relative, R::Speed, "-", "yes"},
        {"whole desktop", desktop, R::SetScreenArea, "-", "no"},
        {"whole desktop", desktop, R::AbsoluteOnly, "-", "yes"},
        {"pen display", display, R::TabletOnly, "no", "-"},
        {"pen display", display, R::TabletFields, "-", "no"},
        {"pen display", display, R::Calibrate, "yes", "yes"},
        {"pen display", display, R::DisplaySetting, "yes", "-"},
        {"pen display", display, R::QuickSetting, "yes", "yes"},
        {"pen display, old system", displayXp, R::DisplaySetting, "no", "-"},
        {"no record", noRecord, R::QuickSetting, "-", "no"},
        {"no record", noRecord, R::TabletOnly, "-", "-"},
        {"no record", noRecord, R::SetScreenArea, "-", "-"},
        {"no keys, no ring", bare, R::QuickSetting, "no", "yes"},
        {"ring only", ringOnly, R::QuickSetting, "yes", "yes"},
        {"flags neither 0 nor 1", oddFlags, R::QuickSetting, "-", "yes"},
        {"another kind", oddKind, R::TabletOnly, "-", "-"},
        {"another kind", oddKind, R::Calibrate, "-", "yes"},
        {"one-button pen", onePen, R::UpperPenButton, "no", "-"},
        {"remote listed", remote, R::RemoteButton, "yes", "-"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const ControlState s = stateOf(controlStates(r.in), r.role);
        EXPECT_EQ(show(s.shown), r.shown) << static_cast<int>(r.role);
        EXPECT_EQ(show(s.enabled), r.enabled) << static_cast<int>(r.role);
    }
}

}  // namespace
}  // namespace scribo
