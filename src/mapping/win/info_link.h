// The mapping tools' line to the on-screen info window, through the window's own protocol: the
// window is found by its class each time (it may not exist yet, or any more), its tick interval
// set with WM_INFO_SETINTERVAL and a text handed over by WM_COPYDATA. When it is not found the
// texts are simply not shown.
#pragma once

#include <windows.h>

#include <string_view>

namespace scribo::win {

HWND findInfoWindow();
void setInfoInterval(unsigned milliseconds);
// Sets the interval, then shows the text.
void showInfoText(std::u16string_view text, unsigned milliseconds);
// The info window sits on the bottom 40 pixels of `monitor`.
void moveInfoWindow(const RECT& monitor);

}  // namespace scribo::win
