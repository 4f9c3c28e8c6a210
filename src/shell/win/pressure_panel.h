// The pressure group of the main window: the curve editor (three points dragged in the curve box,
// the Soft/Hard trackbar, the hidden reset button) over the current device's pressure curve, and
// how the live pressure number is shown.
#pragma once

#include <windows.h>

#include "config/block_access.h"
#include "config/shared_block.h"
#include "platform/keyboard_host.h"
#include "shell/pressure_curve.h"
#include "shell/pressure_meter.h"

class PressurePanel {
public:
    PressurePanel(HWND dialog, scribo::BlockLock& lock) : dialog_(dialog), lock_(lock) {}

    void initTrackbar();
    // The points' template positions are their home positions; taken once per main window.
    void takeHomePositions();
    // The window moved to a screen with other dots per inch and its controls were scaled: the
    // home positions scale with them and the points go to the record's curve again.
    void onDpiChanged(int oldDpi, int newDpi, scribo::DeviceRecord* rec, bool remoteOnly);
    // Takes the device's pressure display mode and puts the trackbar where its curve lies.
    void load(const scribo::DeviceRecord& rec);
    int displayMode() const { return meter_.displayMode; }

    // Live pressure: the maximum of the context's pressure axis (0: bar never filled), and one
    // packet's raw pressure with whether the cursor is over the main window.
    void setMaxPressure(uint32_t maxPressure) { meter_.maxPressure = maxPressure; }
    void onPacket(uint32_t pressure, bool cursorInWindow);
    // Owner drawing of the bar: background and, while the pen is over the window, the fill.
    void drawBar(HDC dc, const RECT& bar) const;

    // Moves the three points to the record's curve. With only the remote connected the curve is
    // first set to the default.
    void placePoints(scribo::DeviceRecord* rec, bool remoteOnly);
    // Default curve, points at home (the hidden button).
    void reset(scribo::DeviceRecord* rec);
    // The record got its defaults (restore defaults): points at home, the trackbar at its middle.
    void showDefaults();

    bool onCommand(int id, int code, scribo::DeviceRecord* rec);
    bool onVScroll(HWND bar, scribo::DeviceRecord* rec);

    // Mouse on the main window, client coordinates. onMouseMove returns false when a drag move
    // was rejected: the main window then ends the message there.
    void onButtonDown(POINT client);
    bool onMouseMove(POINT client);
    void onButtonUp(scribo::DeviceRecord* rec);
    bool dragging() const { return dragged_ != scribo::CurvePoint::None; }

    // Keyboard: the curve box is a tab stop named `name`; Space chooses the
    // point (Shift+Space the one before), the arrows move it as a drag of the same distance
    // would, Shift for a large step.
    void attachKeyboard(std::wstring_view name, platform::KeyboardHost::KeyHandler onKey);
    bool onKey(UINT virtualKey, scribo::DeviceRecord* rec);
    scribo::CurvePoint keyPoint() const { return keyPoint_; }

    // Owner drawing of the curve box: box, red points, blue Bezier curve.
    void draw(HDC dc, const RECT& box) const;
    // Client rectangles of the box and the points (for tests of the layout and for drawing).
    scribo::Rect32 boxRect() const;
    scribo::CurvePoints points() const;

private:
    void rescaleHomePositions(int oldDpi, int newDpi);
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    scribo::Rect32 clientRect(int id) const;
    void movePoints(const scribo::CurvePoints& p);
    void movePoint(int id, const scribo::Rect32& r);
    void redrawBox();
    int pointId(scribo::CurvePoint p) const;
    void drawKeyFocus(HDC dc, const scribo::Rect32& box) const;

    HWND dialog_;
    scribo::BlockLock& lock_;
    scribo::PressureMeter meter_;  // display mode 1 until a device is loaded
    uint32_t barFill_ = 0;         // filled pixels of the bar while barDrawn
    scribo::CurvePoints home_{};
    bool homeTaken_ = false;
    scribo::CurvePoint dragged_ = scribo::CurvePoint::None;
    // The keyboard's point (the last one dragged, or chosen with Space).
    scribo::CurvePoint keyPoint_ = scribo::CurvePoint::Middle;
    platform::KeyboardHost keyboard_;
};
