// The ring page: the five function groups of one ring for the application entry shown. In its
// trackpad form (second ring of a device with a trackpad) it also sets the device's trackpad
// mode, and the groups are only editable in the user-setting mode.
#pragma once

#include <array>
#include <string>

#include "keys/ring_lights.h"
#include "keys/win/express_page.h"

namespace scribo::win {

class CDlgTabPageWheel : public ExpressPage {
public:
    CDlgTabPageWheel(const PageContext& ctx, int ring, bool trackPadForm)
        : ExpressPage(ctx), ring_(ring), trackPadForm_(trackPadForm) {}

    bool create(HWND tab, const RECT& area);
    void loadForEntry(int entry) override;
    int entry() const { return entry_; }

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void init();
    void showView(const RingPageView& view);
    void enableGroups(bool enabled) const;
    void onGroup(int group);
    void onTrackPadMode();
    void onDefault();

    int ring_;
    bool trackPadForm_;
    int entry_ = 0;
    std::array<std::u16string, kRingFunctions> labels_;
};

}  // namespace scribo::win
