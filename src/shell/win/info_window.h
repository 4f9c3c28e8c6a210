// The on-screen info strip: a borderless, top-most, never-activated layered window at the bottom
// of a monitor that shows one line of text for five ticks of its timer. Texts come from the main
// window directly or from any process by WM_COPYDATA; the text is rendered once per text. The
// window answers WM_GETTEXT with the text it shows, so a screen reader can read it.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "mapping/win/info_strip.h"
#include "platform/handles.h"
#include "shell/info_text.h"

class CWndShowInfo : public scribo::win::InfoStrip {
public:
    CWndShowInfo() = default;
    ~CWndShowInfo() override;
    CWndShowInfo(const CWndShowInfo&) = delete;
    CWndShowInfo& operator=(const CWndShowInfo&) = delete;

    // Creates the hidden window over the bottom 40 pixels of the primary monitor's work area.
    // GDI+ must be started. False when the window could not be created.
    bool create(HINSTANCE instance);

    // Replaces the text (empty: none) and renders it; timer and visibility are left alone.
    void setText(std::u16string_view text);
    // Shows a text for five ticks of intervalMs (0 keeps the current interval), without
    // activating the window.
    void showText(std::u16string_view text, unsigned intervalMs) override;
    void setInterval(unsigned intervalMs) override;
    // Puts the strip over the bottom 40 pixels of a monitor rectangle and renders again.
    void moveTo(const RECT& monitor) override;
    void setFontSize(int px);
    void setTextColour(uint32_t argb);
    void hide();

    HWND hwnd() const { return hwnd_.get(); }
    const std::u16string& text() const { return text_; }

    static constexpr int kStripHeight = 40;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    LRESULT handleMessage(UINT msg, WPARAM w, LPARAM l);
    void onCopyData(const COPYDATASTRUCT* data);
    void startTicking();
    void render();
    void drawText(Gdiplus::Graphics& g, const Gdiplus::FontFamily& fam, float w, float h) const;
    const Gdiplus::FontFamily* family();

    std::u16string text_;
    scribo::InfoTicker ticker_;
    float fontPx_ = 18.0f;
    uint32_t textColour_ = 0xFF000000;
    std::unique_ptr<Gdiplus::FontFamily> family_;
    platform::UniqueMemoryDc surface_;
    platform::UniqueWindow hwnd_;
};
