#include "bar/bar_layout.h"

namespace vok::bar {
namespace {

// Geometry of the controls in the layout table.
constexpr int kToolStripWidth = 35;  // two 17-pixel buttons and a 1-pixel gap to the frame
constexpr int kToolStripHeight = 15;
constexpr int kGap = 3;

LONG Width(const RECT& r) { return r.right - r.left; }

bool DragsLeft(SizingEdge edge) {
  return edge == SizingEdge::kLeft || edge == SizingEdge::kTopLeft ||
         edge == SizingEdge::kBottomLeft;
}

bool DragsTop(SizingEdge edge) {
  return edge == SizingEdge::kTop || edge == SizingEdge::kTopLeft || edge == SizingEdge::kTopRight;
}

RECT Offset(RECT r, LONG dx, LONG dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

BarLayout ComputeLayout(const RECT& client, int panelCount, bool hasPanelBar) {
  BarLayout layout;
  const LONG height = client.bottom - client.top;
  layout.grip = RECT{client.left, client.top, client.left + kGripWidth, client.bottom};

  RECT& strip = layout.toolStrip;
  strip.left = client.right - kToolStripWidth;
  strip.right = client.right - 1;
  strip.top = client.top + (height - 16) / 2;
  strip.bottom = strip.top + kToolStripHeight;

  LONG panelsStart = layout.grip.right;
  if (hasPanelBar) {
    RECT& toolbar = layout.panelToolbar;
    toolbar.left = layout.grip.right + kGap;
    toolbar.right = panelCount * kPanelButtonWidth + layout.grip.right + 6;
    toolbar.top = client.top + (height - kPanelButtonHeight) / 2;
    // Both controls are centred on the same line: the toolbar is 5 pixels taller.
    toolbar.bottom = strip.top + 20;
    panelsStart = toolbar.right;
  }
  layout.panelLeft = panelsStart + kGap;
  layout.panelRight = strip.left - kGap;
  return layout;
}

int MinimumWidth(const BarLayout& layout) { return Width(layout.panelToolbar) + kMinimumPanelRoom; }

RECT ApplySizingRule(const RECT& proposed, SizingEdge dragged, int minimumWidth, int height) {
  RECT r = proposed;
  if (Width(r) < minimumWidth) {
    if (DragsLeft(dragged)) {
      r.left = r.right - minimumWidth;
    } else {
      r.right = r.left + minimumWidth;
    }
  }
  if (DragsTop(dragged)) {
    r.top = r.bottom - height;
  } else {
    r.bottom = r.top + height;
  }
  return r;
}

RECT DockedWindowRect(x11::DockEdge edge, int screenWidth, int screenHeight, int height) {
  if (edge == x11::DockEdge::kTop) return RECT{0, -1, screenWidth, height - 1};
  return RECT{0, screenHeight - height + 1, screenWidth, screenHeight + 1};
}

int ReservedThickness(bool autoHide, int height) { return autoHide ? kHiddenDockedStrip : height; }

RECT HiddenDockedRect(const RECT& window, x11::DockEdge edge) {
  RECT r = window;
  if (edge == x11::DockEdge::kTop) {
    r.bottom = r.top + kHiddenDockedStrip;
  } else {
    r.top = r.bottom - kHiddenDockedStrip;
  }
  return r;
}

RECT HiddenFloatingRect(const RECT& window, int nonClientWidth, bool hideToLeft) {
  RECT r = window;
  const int visible = nonClientWidth + kGripWidth;
  if (hideToLeft) {
    r.right = r.left + visible;
  } else {
    r.left = r.right - visible;
  }
  return r;
}

RECT PullIntoScreen(const RECT& saved, int screenWidth, int screenHeight) {
  if (IsEmpty(saved)) return saved;
  RECT r = saved;
  if (r.top >= screenHeight) r = Offset(r, 0, screenHeight - r.bottom);
  // A position saved on a wider screen must not leave the bar out of reach.
  if (r.left >= screenWidth) r = Offset(r, screenWidth - r.right, 0);
  if (r.right <= 0) r = Offset(r, -r.left, 0);
  return r;
}

RECT& RecordedRect(UiSettings& settings, bool hidden, bool docked) {
  if (hidden) return settings.hiddenRect;
  return docked ? settings.dockedRect : settings.floatingRect;
}

HitZone HitTest(POINT point, int windowWidth, int windowHeight, const RECT& client,
                const RECT& grip, bool docked, bool hidden) {
  if (docked && hidden) return HitZone::kClient;
  if (point.x < 0 || point.y < 0 || point.x >= windowWidth || point.y >= windowHeight)
    return HitZone::kNowhere;
  if (point.x < kSizingBand) return docked ? HitZone::kNowhere : HitZone::kLeftBorder;
  if (point.x >= windowWidth - kSizingBand)
    return docked ? HitZone::kNowhere : HitZone::kRightBorder;
  if (Contains(grip, point)) return docked ? HitZone::kClient : HitZone::kCaption;
  // The frame above and below the client area never sizes: the height is fixed.
  return Contains(client, point) ? HitZone::kClient : HitZone::kNowhere;
}

}  // namespace vok::bar
