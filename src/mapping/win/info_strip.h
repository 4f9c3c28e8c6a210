// The on-screen info strip as the windows that show texts in it see it. The main window owns the
// one strip and hands it to the mapping panel and the selection overlay; other processes reach
// the same window by its class and WM_COPYDATA.
#pragma once

#include <windows.h>

#include <string_view>

namespace scribo::win {

class InfoStrip {
public:
    virtual ~InfoStrip() = default;
    // Shows a text for five ticks of intervalMs without taking the activation.
    virtual void showText(std::u16string_view text, unsigned intervalMs) = 0;
    // A new tick interval, the timer started again; the text and its visibility stay.
    virtual void setInterval(unsigned intervalMs) = 0;
    // Puts the strip over the bottom of a monitor rectangle (virtual-screen pixels) and renders
    // it again; an empty rectangle leaves it where it is.
    virtual void moveTo(const RECT& monitor) = 0;

    // Where the strip goes for monitor list entry `selection`: the mapped monitor, or the first
    // monitor when the whole desktop (entry 0) is mapped.
    static int monitorEntryFor(int selection) { return selection <= 0 ? 1 : selection; }
};

}  // namespace scribo::win
