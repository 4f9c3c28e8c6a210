// Geometry of the pressure curve editor: where the three point controls sit for a stored curve,
// the curve stored from their positions, which drags are accepted, the Soft/Hard trackbar, and
// the live pressure meter's number and bar. Portable: rectangles are client pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/block_access.h"
#include "config/geometry.h"
#include "config/shared_block.h"

namespace scribo {

// pressureCurve[0..3]: start x, middle x, middle y (1 = top), end x; fractions of the box.
using PressureCurve = std::array<float, 4>;
inline constexpr PressureCurve kDefaultCurve{0.0f, 0.5f, 0.5f, 1.0f};
inline constexpr int kDefaultTrackbarPosition = 5;

struct CurvePoints {
    Rect32 start{}, middle{}, end{};
};

// Point controls for a curve: each home rectangle moved by the curve's offsets within a box of
// boxWidth x boxHeight pixels.
CurvePoints placeCurvePoints(const PressureCurve& curve, const CurvePoints& home, int32_t boxWidth,
                             int32_t boxHeight);

// The four values stored when a drag ends; nullopt for a box too small to divide by.
std::optional<PressureCurve> curveFromPoints(const CurvePoints& points, const Rect32& box);

enum class CurvePoint { None, Start, Middle, End };
// The point under the cursor, tested in the order start, middle, end (left/top inclusive).
CurvePoint hitCurvePoint(const CurvePoints& points, Point32 cursor);
// The dragged point's new rectangle, or nullopt when the move is rejected (no redraw then).
std::optional<Rect32> dragCurvePoint(CurvePoint which, Point32 cursor, const CurvePoints& points,
                                     const Rect32& box);

// A point moved with the keyboard by (dx, dy): the same move as a drag of its top-left corner
// (start and end only move sideways). A step that the drag rules reject is shortened until it
// fits, so a large step still reaches the limit; nullopt when not even one pixel fits.
std::optional<Rect32> keyMoveCurvePoint(CurvePoint which, int32_t dx, int32_t dy,
                                        const CurvePoints& points, const Rect32& box);
// The point the keyboard moves next: start, middle, end and round again (or backwards).
CurvePoint nextCurvePoint(CurvePoint current, bool backwards);

// The cubic Bezier drawn through the points: from, two equal control points, to.
struct CurveBezier {
    Point32 from, control, to;
};
CurveBezier curveBezier(const CurvePoints& points);

// Soft/Hard trackbar (1 = Soft ... 9 = Hard): the curve it sets, and the position shown for a
// stored curve (trunc(c1 x 10) in single precision, within 1..9).
inline constexpr int kHardnessSoftest = 1;
inline constexpr int kHardnessHardest = 9;
PressureCurve curveForTrackbar(int position);
int trackbarPosition(float middleX);

// The number shown for a raw pressure: display mode 1 divides by 4, mode 2 shows it as it is,
// any other mode keeps the previous number.
int32_t shownPressure(int32_t displayMode, uint32_t rawPressure, int32_t previous);
// Filled length of the bar: barWidth x pressure / maxPressure, never longer than the bar; nullopt
// when maxPressure is 0 (the bar is cleared but never filled).
std::optional<uint32_t> pressureBarFill(uint32_t barWidth, uint32_t pressure, uint32_t maxPressure);

// The four values written together under the block lock, so the service never reads a mix of an
// old and a new curve.
void writePressureCurve(DeviceRecord& rec, const PressureCurve& curve, BlockLock& lock);
PressureCurve readPressureCurve(const DeviceRecord& rec);

}  // namespace scribo
