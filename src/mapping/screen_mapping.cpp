#include "mapping/screen_mapping.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "config/safe_math.h"

namespace scribo {

bool operator==(const Area& a, const Area& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

namespace {

int64_t width(const Rect32& r) { return int64_t{r.right} - r.left; }
int64_t height(const Rect32& r) { return int64_t{r.bottom} - r.top; }

// a * b / c with the product in 64 bits and truncation toward zero; c is non-zero. Operands are
// differences of 32-bit values (below 2^33); a product beyond 64 bits only arises from values no
// real screen or tablet has, and its quotient is far outside 32 bits either way, so it is
// replaced by a bound that still saturates the same way and keeps later sums from overflowing.
int64_t mulDiv(int64_t a, int64_t b, int64_t c) {
    constexpr int64_t kBound = int64_t{1} << 40;
    const bool negative = ((a < 0) != (b < 0)) != (c < 0);
    const uint64_t ua = a < 0 ? 0 - static_cast<uint64_t>(a) : static_cast<uint64_t>(a);
    const uint64_t ub = b < 0 ? 0 - static_cast<uint64_t>(b) : static_cast<uint64_t>(b);
    if (ua != 0 && ub > static_cast<uint64_t>(INT64_MAX) / ua) return negative ? -kBound : kBound;
    return std::clamp(a * b / c, -kBound, kBound);
}

Rect32 rectOfArea(const Area& a) {
    return {a.x, a.y, saturate32(int64_t{a.x} + a.w), saturate32(int64_t{a.y} + a.h)};
}

}  // namespace

Size32 effectiveSize(int rotation, int32_t tabletMaxX, int32_t tabletMaxY, bool penDisplay) {
    if (!penDisplay && (rotation == 1 || rotation == 3)) return {tabletMaxY, tabletMaxX};
    return {tabletMaxX, tabletMaxY};
}

std::optional<Rect32> tabletAreaToPreview(const Area& a, Size32 eff, const Rect32& t) {
    if (eff.w == 0 || eff.h == 0) return std::nullopt;
    const int64_t tw = width(t), th = height(t);
    const int64_t left = t.left + mulDiv(tw, a.x, eff.w);
    const int64_t top = t.top + mulDiv(th, a.y, eff.h);
    return Rect32{saturate32(left), saturate32(top), saturate32(left + mulDiv(tw, a.w, eff.w)),
                  saturate32(top + mulDiv(th, a.h, eff.h))};
}

std::optional<Area> previewToTabletArea(const Rect32& r, Size32 eff, const Rect32& t) {
    const int64_t tw = width(t), th = height(t);
    if (tw == 0 || th == 0) return std::nullopt;
    return Area{saturate32(mulDiv(int64_t{r.left} - t.left, eff.w, tw)),
                saturate32(mulDiv(int64_t{r.top} - t.top, eff.h, th)),
                saturate32(mulDiv(width(r), eff.w, tw)), saturate32(mulDiv(height(r), eff.h, th))};
}

std::optional<Rect32> screenAreaToPreview(const Area& f, const Rect32& m, const Rect32& p) {
    const int64_t mw = width(m), mh = height(m);
    if (mw == 0 || mh == 0) return std::nullopt;
    const int64_t pw = width(p), ph = height(p);
    const int64_t left = p.left + mulDiv(pw, int64_t{f.x} - m.left, mw);
    const int64_t top = p.top + mulDiv(ph, int64_t{f.y} - m.top, mh);
    return Rect32{saturate32(left), saturate32(top), saturate32(left + mulDiv(pw, f.w, mw)),
                  saturate32(top + mulDiv(ph, f.h, mh))};
}

std::optional<Area> previewToScreenArea(const Rect32& r, const Rect32& m, const Rect32& p) {
    const int64_t pw = width(p), ph = height(p);
    if (pw == 0 || ph == 0) return std::nullopt;
    const int64_t mw = width(m), mh = height(m);
    return Area{saturate32(m.left + mulDiv(int64_t{r.left} - p.left, mw, pw)),
                saturate32(m.top + mulDiv(int64_t{r.top} - p.top, mh, ph)),
                saturate32(mulDiv(width(r), mw, pw)), saturate32(mulDiv(height(r), mh, ph))};
}

Rect32 clampToBounds(const Rect32& rect, const Rect32& bounds) {
    int64_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const int64_t bl = bounds.left, bt = bounds.top, br = bounds.right, bb = bounds.bottom;
    if (t < bt && b > bt) t = bt;
    if (t > bb) {
        t = t + (bb - b);
        b = bb;
    }
    if (b > bb && t < bb) b = bb;
    if (b < bt) {
        b = std::llabs(b - t) + bt;
        t = bt;
    }
    if (r > br && l < br) r = br;
    if (l > br) {
        l = l + (br - r);
        r = br;
    }
    if (l < bl && r > bl) l = bl;
    if (r < bl) {
        r = r + (bl - l);
        l = bl;
    }
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return {saturate32(l), saturate32(t), saturate32(r), saturate32(b)};
}

Area fullArea(Size32 eff) { return {0, 0, eff.w, eff.h}; }

std::optional<Area> screenPortion(Size32 eff, const Rect32& m) {
    const int64_t mw = width(m), mh = height(m);
    if (mw <= 0 || mh <= 0 || eff.w <= 0 || eff.h <= 0) return std::nullopt;
    const float g = static_cast<float>(mw) / static_cast<float>(mh);
    const float q = static_cast<float>(eff.w) / static_cast<float>(eff.h);
    Area a;
    if (q > g) {
        a.h = eff.h;
        a.y = 0;
        const float w = static_cast<float>(eff.h) * g;
        a.w = truncToInt32(w);
        a.x = saturate32((int64_t{eff.w} - a.w) / 2);
    } else {
        a.w = eff.w;
        a.x = 0;
        const float h = static_cast<float>(eff.w) / g;
        a.h = truncToInt32(h);
        a.y = saturate32((int64_t{eff.h} - a.h) / 2);
    }
    return a;
}

std::optional<Area> nativeToRotated(const Area& n, int rotation, Size32 eff) {
    const int64_t ew = eff.w, eh = eff.h;
    switch (rotation) {
        case 0:
            return n;
        case 1:
            return Area{saturate32(ew - n.h - n.y), n.x, n.h, n.w};
        case 2:
            return Area{saturate32(ew - n.w - n.x), saturate32(eh - n.h - n.y), n.w, n.h};
        case 3:
            return Area{n.y, saturate32(eh - n.w - n.x), n.h, n.w};
        default:
            return std::nullopt;
    }
}

Area setTabletAreaField(Area a, Size32 eff, AreaField field, int32_t v) {
    switch (field) {
        case AreaField::X:
            a.x = v;
            if (int64_t{a.x} + a.w > eff.w) a.x = saturate32(int64_t{eff.w} - a.w);
            break;
        case AreaField::Y:
            a.y = v;
            if (int64_t{a.y} + a.h > eff.h) a.y = saturate32(int64_t{eff.h} - a.h);
            break;
        case AreaField::W:
            a.w = v;
            if (int64_t{a.x} + a.w > eff.w) a.w = saturate32(int64_t{eff.w} - a.x);
            break;
        case AreaField::H:
            a.h = v;
            if (int64_t{a.y} + a.h > eff.h) a.h = saturate32(int64_t{eff.h} - a.y);
            break;
    }
    return a;
}

Rect32 placeTabletPreview(const float f[4], int32_t cx, int32_t cy) {
    const float x = static_cast<float>(cx), y = static_cast<float>(cy);
    return {truncToInt32(x * f[0]), truncToInt32(y * f[1]), truncToInt32(x * f[2]),
            truncToInt32(y * f[3])};
}

int32_t parseAreaFieldText(std::u16string_view text) {
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') break;
        value = std::min<int64_t>(value * 10 + (c - u'0'), INT32_MAX);
    }
    return static_cast<int32_t>(value);
}

std::optional<ThumbnailCopy> thumbnailCopy(const Rect32& monitor, const Rect32& desktop,
                                           int32_t pictureWidth, int32_t pictureHeight) {
    const int64_t mw = width(monitor), mh = height(monitor);
    if (mw <= 0 || mh <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return std::nullopt;
    const Rect32 seen{std::max(monitor.left, desktop.left), std::max(monitor.top, desktop.top),
                      std::min(monitor.right, desktop.right),
                      std::min(monitor.bottom, desktop.bottom)};
    if (seen.left >= seen.right || seen.top >= seen.bottom) return std::nullopt;
    // Picture pixel = (desktop pixel - monitor origin) * picture size / monitor size; every value
    // lies within 0..picture size, so the narrowing below cannot lose anything.
    const auto x = [&](int32_t v) {
        return static_cast<int32_t>(mulDiv(int64_t{v} - monitor.left, pictureWidth, mw));
    };
    const auto y = [&](int32_t v) {
        return static_cast<int32_t>(mulDiv(int64_t{v} - monitor.top, pictureHeight, mh));
    };
    const Rect32 target{x(seen.left), y(seen.top), x(seen.right), y(seen.bottom)};
    if (target.left >= target.right || target.top >= target.bottom) return std::nullopt;
    return ThumbnailCopy{seen, target};
}

const Rect32* monitorAt(const SharedBlock& block, int index) {
    return isValidMonitorIndex(index) ? &block.monitorRects[index] : nullptr;
}

Area areaOfRect(const Rect32& r) {
    return {r.left, r.top, saturate32(width(r)), saturate32(height(r))};
}

// ---- ScreenMapping ------------------------------------------------------------------------------

void ScreenMapping::setClientSize(int32_t cx, int32_t cy) {
    if (cx != 0 || cy != 0) client_ = {cx, cy};
}

void ScreenMapping::updateTabletTracker() {
    if (auto r = tabletAreaToPreview(tabletArea_, eff_, tabletPreviewRect_))
        tabletTrackerRect_ = *r;
}

void ScreenMapping::writeTabletArea(DeviceRecord& rec, BlockLock& lock) const {
    writeLocked(lock, [&] {
        rec.tabletAreaX = tabletArea_.x;
        rec.tabletAreaY = tabletArea_.y;
        rec.tabletAreaW = tabletArea_.w;
        rec.tabletAreaH = tabletArea_.h;
    });
}

void ScreenMapping::writeScreenArea(DeviceRecord& rec, BlockLock& lock) const {
    const Rect32 r = rectOfArea(screenFields_);
    writeLocked(lock, [&] { rec.screenArea = r; });
}

void ScreenMapping::setRotation(int rotation, int32_t tabletMaxX, int32_t tabletMaxY) {
    rotation_ = rotation;
    if (kind_ == kKindTablet || kind_ == kKindPenDisplay)
        eff_ = effectiveSize(rotation, tabletMaxX, tabletMaxY, penDisplay());
    tabletArea_ = fullArea(eff_);
}

bool ScreenMapping::refreshTabletPreview(const DeviceRecord& rec) {
    if (!isValidRotation(rotation_)) return false;
    tabletPreviewRect_ = placeTabletPreview(rec.previewLayout[rotation_], client_.w, client_.h);
    updateTabletTracker();
    return true;
}

void ScreenMapping::loadDeviceMapping(DeviceRecord& rec, int systemMonitorCount,
                                      const MonitorTable& monitors, BlockLock& lock) {
    tabletArea_ = {rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH};
    if (tabletArea_.w == 0) tabletArea_.w = rec.tabletMaxX;
    if (tabletArea_.h == 0) tabletArea_.h = rec.tabletMaxY;
    rotation_ = rec.rotation;
    kind_ = rec.deviceKind;
    relative_ = rec.mouseMode != 0;
    if (kind_ == kKindTablet || kind_ == kKindPenDisplay)
        eff_ = effectiveSize(rotation_, rec.tabletMaxX, rec.tabletMaxY, penDisplay());
    refreshTabletPreview(rec);

    const int index = rec.monitorIndex;
    if (index < 1 || index > systemMonitorCount || !isValidMonitorIndex(index)) {
        writeLocked(lock, [&] { rec.monitorIndex = 0; });
        selection_ = 0;
        screenFields_ = areaOfRect(monitors[0]);
        return;
    }
    selection_ = index;
    screenFields_ = areaOfRect(rec.screenArea);
    if (auto r = screenAreaToPreview(screenFields_, monitors[index], screenPreviewRect_))
        screenTrackerRect_ = *r;
}

bool ScreenMapping::selectMonitor(int index, DeviceRecord& rec, const MonitorTable& monitors,
                                  BlockLock& lock) {
    if (!isValidMonitorIndex(index)) return false;
    selection_ = index;
    screenFields_ = areaOfRect(monitors[index]);
    const Rect32 m = monitors[index];
    writeLocked(lock, [&] {
        rec.monitorIndex = index;
        rec.screenArea = m;
    });
    screenTrackerRect_ = screenPreviewRect_;
    return true;
}

bool ScreenMapping::followMonitor(int index, const MonitorTable& monitors) {
    if (!isValidMonitorIndex(index)) return false;
    selection_ = index;
    screenFields_ = areaOfRect(monitors[index]);
    screenTrackerRect_ = screenPreviewRect_;
    return true;
}

void ScreenMapping::applySelectedRegion(const Rect32& region, DeviceRecord& rec,
                                        const MonitorTable& monitors, BlockLock& lock) {
    screenFields_ = areaOfRect(region);
    writeLocked(lock, [&] { rec.screenArea = region; });
    if (!isValidMonitorIndex(selection_)) return;
    if (auto r = screenAreaToPreview(screenFields_, monitors[selection_], screenPreviewRect_))
        screenTrackerRect_ = *r;
}

void ScreenMapping::finishScreenDrag(const Rect32& dragged, DeviceRecord& rec,
                                     const MonitorTable& monitors, BlockLock& lock) {
    screenTrackerRect_ = clampToBounds(dragged, screenPreviewRect_);
    if (!isValidMonitorIndex(selection_)) return;
    if (auto f = previewToScreenArea(screenTrackerRect_, monitors[selection_], screenPreviewRect_))
        screenFields_ = *f;
    writeScreenArea(rec, lock);
}

void ScreenMapping::finishTabletDrag(const Rect32& dragged, DeviceRecord& rec, BlockLock& lock) {
    tabletTrackerRect_ = clampToBounds(dragged, tabletPreviewRect_);
    if (auto a = previewToTabletArea(tabletTrackerRect_, eff_, tabletPreviewRect_))
        tabletArea_ = *a;
    writeTabletArea(rec, lock);
}

void ScreenMapping::chooseFullArea(DeviceRecord& rec, BlockLock& lock) {
    tabletArea_ = fullArea(eff_);
    writeTabletArea(rec, lock);
    tabletTrackerRect_ = tabletPreviewRect_;
}

void ScreenMapping::chooseScreenPortion(DeviceRecord& rec, const MonitorTable& monitors,
                                        BlockLock& lock) {
    if (!isValidMonitorIndex(selection_)) return;
    if (auto a = screenPortion(eff_, monitors[selection_])) tabletArea_ = *a;
    writeTabletArea(rec, lock);
    updateTabletTracker();
}

bool ScreenMapping::writeRotation(int rotation, DeviceRecord& rec, BlockLock& lock) {
    if (!isValidRotation(rotation)) return false;
    writeLocked(lock, [&] { rec.rotation = rotation; });
    setRotation(rotation, rec.tabletMaxX, rec.tabletMaxY);
    return true;
}

void ScreenMapping::writeRotatedFullArea(DeviceRecord& rec, BlockLock& lock) {
    writeTabletArea(rec, lock);
    refreshTabletPreview(rec);
}

bool ScreenMapping::chooseRotation(int rotation, DeviceRecord& rec, BlockLock& lock) {
    if (!writeRotation(rotation, rec, lock)) return false;
    writeRotatedFullArea(rec, lock);
    return true;
}

void ScreenMapping::typeTabletAreaField(AreaField field, int32_t value, DeviceRecord& rec,
                                        BlockLock& lock) {
    tabletArea_ = setTabletAreaField(tabletArea_, eff_, field, value);
    updateTabletTracker();
    writeTabletArea(rec, lock);
}

void ScreenMapping::applyNativeArea(DeviceRecord& rec, BlockLock& lock) {
    const Area native{rec.tabletAreaX, rec.tabletAreaY, rec.tabletAreaW, rec.tabletAreaH};
    if (auto a = nativeToRotated(native, rotation_, eff_)) tabletArea_ = *a;
    writeTabletArea(rec, lock);
    updateTabletTracker();
}

void ScreenMapping::showMappingDefaults(const DeviceRecord& rec, const MonitorTable& monitors) {
    selection_ = 1;
    screenFields_ = areaOfRect(monitors[1]);
    screenTrackerRect_ = screenPreviewRect_;
    rotation_ = 0;
    relative_ = false;
    eff_ = {rec.tabletMaxX, rec.tabletMaxY};
    tabletArea_ = fullArea(eff_);
    tabletTrackerRect_ = tabletPreviewRect_;
}

}  // namespace scribo
