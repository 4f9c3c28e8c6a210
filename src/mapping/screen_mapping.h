// The mapping of a tablet area onto a screen area and the conversions between device units,
// virtual-screen pixels and preview pixels. Pure logic: the mapping panel reads controls, calls
// these operations, and draws the rectangles they leave behind. Portable: no <windows.h>.
//
// Arithmetic: conversions multiply before they divide and divide with truncation toward zero.
// Products are formed in 64 bits and results saturate to 32 bits, so the results equal those of
// 32-bit arithmetic wherever that does not overflow. A conversion whose divisor is zero (empty
// monitor entry, empty preview, device without a tablet size) has no result: the pure functions
// return std::nullopt and the members keep the target's previous value.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "config/block_access.h"
#include "config/geometry.h"
#include "config/shared_block.h"

namespace scribo {

// X, Y, W, H: a tablet area in device units, or the screen fields in virtual-screen pixels.
struct Area {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

bool operator==(const Area& a, const Area& b);
inline bool operator!=(const Area& a, const Area& b) { return !(a == b); }

using MonitorTable = Rect32[kMonitorRectCount];

enum DeviceKind : int32_t { kKindTablet = 0, kKindPenDisplay = 1 };
enum class AreaField { X, Y, W, H };

// ---- pure conversions ------------------------------------------------------------------------

// Whole tablet in the rotated frame. A pen display keeps (maxX, maxY) at every rotation; a tablet
// swaps them at rotations 1 and 3. A rotation outside 0..3 counts as unrotated.
Size32 effectiveSize(int rotation, int32_t tabletMaxX, int32_t tabletMaxY, bool penDisplay);

std::optional<Rect32> tabletAreaToPreview(const Area& area, Size32 eff, const Rect32& preview);
std::optional<Area> previewToTabletArea(const Rect32& rect, Size32 eff, const Rect32& preview);
std::optional<Rect32> screenAreaToPreview(const Area& fields, const Rect32& monitor,
                                          const Rect32& preview);
std::optional<Area> previewToScreenArea(const Rect32& rect, const Rect32& monitor,
                                        const Rect32& preview);

// Brings a dragged rectangle back into `bounds`: cut where it crosses an edge, moved back (size
// kept) where it lies wholly beyond one, normalised so that left <= right and top <= bottom.
Rect32 clampToBounds(const Rect32& rect, const Rect32& bounds);

Area fullArea(Size32 eff);
// Largest area with the monitor's aspect ratio, centred, computed in single precision; nullopt
// for an empty monitor entry or a tablet without size.
std::optional<Area> screenPortion(Size32 eff, const Rect32& monitor);
// An area the service measured in the tablet's own frame, turned into the rotated frame;
// nullopt for a rotation outside 0..3.
std::optional<Area> nativeToRotated(const Area& native, int rotation, Size32 eff);
// A typed value for one field; only the upper bound (the effective size) is enforced.
Area setTabletAreaField(Area area, Size32 eff, AreaField field, int32_t value);
// Rectangle of the tablet preview control: the layout fractions times the client size.
Rect32 placeTabletPreview(const float layout[4], int32_t clientWidth, int32_t clientHeight);

// The text of a tablet-area field as a value: its leading digits (the fields take digits only,
// but a paste can bring anything), saturated at INT32_MAX; an empty field, or one that does not
// start with a digit, reads 0.
int32_t parseAreaFieldText(std::u16string_view text);

// Which part of the desktop a monitor thumbnail copies and where it lands. The monitor entry
// comes from the service and may lie partly or wholly off the desktop; only the part on it is
// copied, into the matching part of a `width` x `height` picture of the whole entry (the rest
// stays blank). nullopt when the entry is empty, misses the desktop, the picture is empty, or the
// visible part is thinner than one picture pixel.
struct ThumbnailCopy {
    Rect32 source;  // desktop pixels
    Rect32 target;  // picture pixels, inside 0..width x 0..height
};
std::optional<ThumbnailCopy> thumbnailCopy(const Rect32& monitor, const Rect32& desktop,
                                           int32_t width, int32_t height);

// Rectangle of one monitor table entry (0 = whole desktop), nullptr outside 0..9.
const Rect32* monitorAt(const SharedBlock& block, int index);
// (left, top, width, height) of a rectangle.
Area areaOfRect(const Rect32& r);

// ---- the mapping state of the selected device -----------------------------------------------

// Block writes go through writeLocked (grouped writes under the block mutex). The window code
// reads the control rectangles, calls one operation per user action, then repaints from the
// accessors. Every operation that takes a record writes the fields it names and nothing else.
class ScreenMapping {
public:
    // The main window's client size; a resize to (0, 0) (minimising) is ignored.
    void setClientSize(int32_t cx, int32_t cy);
    // The screen preview control's rectangle; set before loading a device or after the monitor
    // selection changed, ahead of any screen conversion.
    void setScreenPreviewRect(const Rect32& r) { screenPreviewRect_ = r; }

    // Rebuilds the whole state from the record. A stored monitorIndex outside
    // 1..systemMonitorCount (or outside the table) falls back to 0 and is written back.
    void loadDeviceMapping(DeviceRecord& rec, int systemMonitorCount, const MonitorTable& monitors,
                           BlockLock& lock);

    // Moves the tablet preview for the current rotation (tabletPreviewRect changes; the window
    // moves control 1259 there), then recomputes the tablet tracker. Returns false when the
    // record's layout cannot be used (rotation outside 0..3): nothing changes then.
    bool refreshTabletPreview(const DeviceRecord& rec);

    // Monitor list choice: screen fields, tracker = whole preview; monitorIndex and screenArea
    // written together. An index outside 0..9 is ignored (returns false).
    bool selectMonitor(int index, DeviceRecord& rec, const MonitorTable& monitors, BlockLock& lock);
    // The service changed the monitor table or switched the mapped monitor: selection, screen
    // fields (the whole entry) and the tracker (the whole preview) follow entry `index`; the record
    // is not written. An index outside 0..9 is ignored (returns false).
    bool followMonitor(int index, const MonitorTable& monitors);
    // A rectangle chosen on the selection overlay; monitorIndex is not changed.
    void applySelectedRegion(const Rect32& region, DeviceRecord& rec, const MonitorTable& monitors,
                             BlockLock& lock);
    // End of a tracker drag: the clamped rectangle becomes the tracker, the converted area is
    // written (screenArea, or tabletAreaX..H).
    void finishScreenDrag(const Rect32& dragged, DeviceRecord& rec, const MonitorTable& monitors,
                          BlockLock& lock);
    void finishTabletDrag(const Rect32& dragged, DeviceRecord& rec, BlockLock& lock);

    // Full Area and Screen Portion buttons: new area, tracker, area written.
    void chooseFullArea(DeviceRecord& rec, BlockLock& lock);
    void chooseScreenPortion(DeviceRecord& rec, const MonitorTable& monitors, BlockLock& lock);
    // Rotation radio (also when the rotation is already set): rotation written, the area reset to
    // the whole rotated tablet and written, preview moved. The window sends the trackpad message
    // afterwards, outside the lock. A rotation outside 0..3 is ignored (returns false).
    bool chooseRotation(int rotation, DeviceRecord& rec, BlockLock& lock);
    // The same in its two locked steps, for the window that sends the trackpad message between
    // them: the rotation (state follows: effective size, full area), then the area and preview.
    bool writeRotation(int rotation, DeviceRecord& rec, BlockLock& lock);
    void writeRotatedFullArea(DeviceRecord& rec, BlockLock& lock);
    // A typed tablet-area value: bounded, tracker recomputed, area written.
    void typeTabletAreaField(AreaField field, int32_t value, DeviceRecord& rec, BlockLock& lock);
    // The service finished pen positioning: the area it stored in the tablet's own frame is turned
    // into the rotated frame and written back.
    void applyNativeArea(DeviceRecord& rec, BlockLock& lock);
    // After the record got its defaults (restoreDeviceDefaults): the state shows them, on the
    // first monitor with the whole tablet.
    void showMappingDefaults(const DeviceRecord& rec, const MonitorTable& monitors);

    // State-only operations, as the arithmetic defines them.
    void setRotation(int rotation, int32_t tabletMaxX, int32_t tabletMaxY);
    void setTabletArea(const Area& a) { tabletArea_ = a; }

    const Area& tabletArea() const { return tabletArea_; }
    Size32 effective() const { return eff_; }
    int rotation() const { return rotation_; }
    const Area& screenFields() const { return screenFields_; }
    int selection() const { return selection_; }
    bool penDisplay() const { return kind_ == kKindPenDisplay; }
    bool relative() const { return relative_; }
    bool editable() const { return !penDisplay() && !relative_; }
    const Rect32& screenPreviewRect() const { return screenPreviewRect_; }
    const Rect32& tabletPreviewRect() const { return tabletPreviewRect_; }
    const Rect32& screenTrackerRect() const { return screenTrackerRect_; }
    const Rect32& tabletTrackerRect() const { return tabletTrackerRect_; }
    Size32 clientSize() const { return client_; }

private:
    void updateTabletTracker();
    void writeTabletArea(DeviceRecord& rec, BlockLock& lock) const;
    void writeScreenArea(DeviceRecord& rec, BlockLock& lock) const;

    Area tabletArea_;
    Size32 eff_;
    int rotation_ = 0;
    Area screenFields_;
    int selection_ = 0;
    int32_t kind_ = kKindTablet;
    bool relative_ = false;
    Rect32 screenPreviewRect_{};
    Rect32 tabletPreviewRect_{};
    Rect32 screenTrackerRect_{};
    Rect32 tabletTrackerRect_{};
    Size32 client_;
};

}  // namespace scribo
