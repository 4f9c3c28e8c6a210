// The Setting dialog of a user-defined ring group: its name and the keystrokes for turning left
// (KL) and right (KR), recorded from the keyboard while the box has the focus. Starts empty.
#pragma once

#include "config/language.h"
#include "keys/descriptors.h"
#include "platform/dialog.h"

namespace scribo::win {

class CDlgSetWheel : public platform::Dialog {
public:
    explicit CDlgSetWheel(const TIniFile& lang) : lang_(lang) {}
    ~CDlgSetWheel() override { destroy(); }

    // After OK: the name typed and both keystrokes.
    const RingGroupSetting& result() const { return result_; }

    bool preTranslateMessage(MSG& msg) override;

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    const TIniFile& lang_;
    RingGroupSetting result_;
};

}  // namespace scribo::win
