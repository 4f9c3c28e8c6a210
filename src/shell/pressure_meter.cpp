#include "shell/pressure_meter.h"

#include "shell/pressure_curve.h"

namespace scribo {

MeterUpdate updatePressureMeter(PressureMeter& meter, int32_t barWidth, uint32_t pressure,
                                bool cursorInWindow) {
    meter.shownValue = shownPressure(meter.displayMode, pressure, meter.shownValue);
    MeterUpdate u;
    if (cursorInWindow) {
        meter.barDrawn = true;
        u.action = MeterAction::Draw;
        u.fill = pressureBarFill(barWidth > 0 ? static_cast<uint32_t>(barWidth) : 0, pressure,
                                 meter.maxPressure)
                     .value_or(0);
        u.text = meter.shownValue;
    } else if (meter.barDrawn) {
        meter.barDrawn = false;
        u.action = MeterAction::Clear;
        u.text = 0;
    }
    return u;
}

}  // namespace scribo
