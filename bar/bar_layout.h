// The bar window's geometry as pure functions: where the grip, the tool strip, the panel
// toolbar and the panels go, how wide the bar may become, where it sits when docked or
// auto-hidden, which saved rectangle a position belongs to, and what a point of the window
// does (move, size, nothing). No widgets here, so every rule is tested without a display.
//
// Rectangles are RECTs (right and bottom exclusive). "Client" rectangles are in the window's
// own coordinates (the frame included, as Qt places child widgets); screen rectangles are in
// the coordinates of the primary screen.
#pragma once

#include "bar/bar_host.h"
#include "common/vok_types.h"

namespace vok::bar {

constexpr int kGripWidth = 16;
// The drawn frame around the client area (the counterpart of a sizing frame).
constexpr int kFrameWidth = 3;
// A thin 3-D edge; auto-hidden docked bars keep 3 edges of themselves on screen.
constexpr int kEdgeWidth = 2;
constexpr int kHiddenDockedStrip = 3 * kEdgeWidth;
// The sizing bands at the left and right window edges of a floating bar.
constexpr int kSizingBand = 2 * kFrameWidth;
// A panel toolbar button.
constexpr int kPanelButtonWidth = 22;
constexpr int kPanelButtonHeight = 21;
// Room the panels get beyond the panel toolbar when the bar is as narrow as it may be.
constexpr int kMinimumPanelRoom = 90;

// Panel command identifiers handed to CreatePanels.
constexpr LONG kFirstPanelId = 130;
constexpr LONG kLastPanelId = 134;

struct BarLayout {
  RECT grip{};
  RECT toolStrip{};     // control 101: minimise to tray, close
  RECT panelToolbar{};  // control 129; all-zero without a panel bar
  LONG panelLeft = 0;   // the horizontal extent the panels may use (BroadcastA)
  LONG panelRight = 0;
};

// The layout of a client rectangle with `panelCount` panels; `hasPanelBar` false when the
// container offers no panels at all (the panel toolbar then has no room).
BarLayout ComputeLayout(const RECT& client, int panelCount, bool hasPanelBar);

// The narrowest the bar may be: the panel toolbar width plus room for the panels.
int MinimumWidth(const BarLayout& layout);

enum class SizingEdge {
  kNone,
  kLeft,
  kRight,
  kTop,
  kBottom,
  kTopLeft,
  kTopRight,
  kBottomLeft,
  kBottomRight
};

// The rectangle a sizing drag ends in: `proposed` with the width kept at least `minimumWidth`
// and the height kept at `height`; the dragged edge (or corner) gives way, the opposite edges
// stay where `proposed` has them. A docked bar passes its docked width as the minimum.
RECT ApplySizingRule(const RECT& proposed, SizingEdge dragged, int minimumWidth, int height);

// Where a docked bar of height `height` stands on a screen of `screenWidth` x `screenHeight`:
// the full width at the top or bottom edge, shifted one pixel outwards so that the outer frame
// line is off screen.
RECT DockedWindowRect(x11::DockEdge edge, int screenWidth, int screenHeight, int height);
// The thickness a docked bar reserves from the work area.
int ReservedThickness(bool autoHide, int height);

// The strip of a docked bar that stays on screen while it is auto-hidden, cut from its window
// rectangle at the screen edge.
RECT HiddenDockedRect(const RECT& window, x11::DockEdge edge);
// The strip of a floating bar that stays visible while it is auto-hidden: the frame and the
// grip at the left end (`hideToLeft`) or at the right end.
RECT HiddenFloatingRect(const RECT& window, int nonClientWidth, bool hideToLeft);

// The rectangle a saved position is moved to: a rectangle whose top lies at or below the screen
// bottom is pulled up to end at the bottom; one entirely beyond the left or right screen edge is
// pulled back in. An empty rectangle (none recorded) is returned unchanged.
RECT PullIntoScreen(const RECT& saved, int screenWidth, int screenHeight);

// The settings' rectangle that records the position of a bar in this state.
RECT& RecordedRect(UiSettings& settings, bool hidden, bool docked);

// What a point of the window does. `point` is in window coordinates.
enum class HitZone { kClient, kCaption, kLeftBorder, kRightBorder, kNowhere };
HitZone HitTest(POINT point, int windowWidth, int windowHeight, const RECT& client,
                const RECT& grip, bool docked, bool hidden);

inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace vok::bar
