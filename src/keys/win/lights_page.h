// The lights page: brightness of the ring light and the tablet light in three steps, sent to the
// service at once and kept in the record when the service took it.
#pragma once

#include "keys/win/express_page.h"

namespace scribo::win {

class CDlgTabPageControl : public ExpressPage {
public:
    explicit CDlgTabPageControl(const PageContext& ctx) : ExpressPage(ctx) {}
    bool create(HWND tab, const RECT& area);

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void init();
    void onSlider(HWND bar);
};

}  // namespace scribo::win
