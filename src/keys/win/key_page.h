// The key pages: one function list per express key of the application entry shown, with the
// label of its assignment under it, and the device's key layout picture. The three pages differ
// in their number of keys and layout only.
#pragma once

#include <array>
#include <string>

#include "keys/win/express_page.h"

namespace scribo::win {

struct KeyPageLayout {
    int templateId;
    int keys;             // key lists in the template
    const int* labelIds;  // the label under each list, at least `keys` of them
};

class KeyPageWindow : public ExpressPage {
public:
    KeyPageWindow(const PageContext& ctx, const KeyPageLayout& layout)
        : ExpressPage(ctx), layout_(layout) {}

    bool create(HWND tab, const RECT& area) {
        return ExpressPage::create(layout_.templateId, tab, area);
    }
    void loadForEntry(int entry) override;
    int entry() const { return entry_; }

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void init();
    bool keyShown(int key) const;
    int keysOnPage() const;
    void pushLabels() const;
    void onSelection(int key);
    void onDefault();

    KeyPageLayout layout_;
    int entry_ = 0;  // application entry shown, 0 = "Others"
    std::array<std::u16string, kMaxKeys> labels_;
};

class CDlgTabPageKey : public KeyPageWindow {
public:
    explicit CDlgTabPageKey(const PageContext& ctx);
};
class CDlgTabPageKey_16 : public KeyPageWindow {
public:
    explicit CDlgTabPageKey_16(const PageContext& ctx);
};
class CDlgTabPageKey_20 : public KeyPageWindow {
public:
    explicit CDlgTabPageKey_20(const PageContext& ctx);
};

}  // namespace scribo::win
