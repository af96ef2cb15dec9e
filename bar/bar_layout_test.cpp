#include "bar/bar_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace vok::bar {
namespace {

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(BarLayout, PlacesEveryElementAndLimitsTheWidth) {
  struct Case {
    RECT client;
    int panels;
    bool hasPanelBar;
    RECT grip, toolStrip, toolbar;
    LONG panelLeft, panelRight;
    int minimumWidth;
  } cases[] = {
      {{0, 0, 500, 30}, 2, true, {0, 0, 16, 30}, {465, 7, 499, 22}, {19, 4, 66, 27}, 69, 462, 137},
      // A framed client area: the vertical centring counts from the client top.
      {{3, 3, 403, 32}, 1, true, {3, 3, 19, 32}, {368, 9, 402, 24}, {22, 7, 47, 29}, 50, 365, 115},
      {{0, 0, 300, 24}, 0, false, {0, 0, 16, 24}, {265, 4, 299, 19}, {0, 0, 0, 0}, 19, 262, 90},
      {{0, 0, 300, 24}, 0, true, {0, 0, 16, 24}, {265, 4, 299, 19}, {19, 1, 22, 24}, 25, 262, 93},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Str(c.client) + " panels " + std::to_string(c.panels));
    const BarLayout layout = ComputeLayout(c.client, c.panels, c.hasPanelBar);
    EXPECT_EQ(Str(layout.grip), Str(c.grip));
    EXPECT_EQ(Str(layout.toolStrip), Str(c.toolStrip));
    EXPECT_EQ(Str(layout.panelToolbar), Str(c.toolbar));
    EXPECT_EQ(layout.panelLeft, c.panelLeft);
    EXPECT_EQ(layout.panelRight, c.panelRight);
    EXPECT_EQ(MinimumWidth(layout), c.minimumWidth);
  }
}

TEST(BarLayout, SizingKeepsAMinimumWidthAndTheHeightOnTheDraggedSide) {
  struct Case {
    RECT proposed;
    SizingEdge edge;
    RECT expected;
  } cases[] = {
      {{100, 50, 150, 80}, SizingEdge::kRight, {100, 50, 300, 80}},
      {{100, 50, 150, 80}, SizingEdge::kBottomLeft, {-50, 50, 150, 80}},
      {{100, 40, 400, 90}, SizingEdge::kTopLeft, {100, 60, 400, 90}},
      {{100, 40, 400, 90}, SizingEdge::kBottomRight, {100, 40, 400, 70}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Str(ApplySizingRule(c.proposed, c.edge, 200, 30)), Str(c.expected));
}

TEST(BarLayout, DockedAndHiddenPlaces) {
  using x11::DockEdge;
  struct Case {
    DockEdge edge;
    bool autoHide;
    RECT window;
    int reserved;
    RECT strip;
  } cases[] = {
      {DockEdge::kBottom, false, {0, 739, 1024, 769}, 30, {0, 763, 1024, 769}},
      {DockEdge::kBottom, true, {0, 739, 1024, 769}, 6, {0, 763, 1024, 769}},
      {DockEdge::kTop, true, {0, -1, 1024, 29}, 6, {0, -1, 1024, 5}},
  };
  for (const Case& c : cases) {
    const RECT window = DockedWindowRect(c.edge, 1024, 768, 30);
    EXPECT_EQ(Str(window), Str(c.window));
    EXPECT_EQ(ReservedThickness(c.autoHide, 30), c.reserved);
    EXPECT_EQ(Str(HiddenDockedRect(window, c.edge)), Str(c.strip));
  }
  const RECT floating{100, 200, 600, 230};
  EXPECT_EQ(Str(HiddenFloatingRect(floating, 6, true)), Str(RECT{100, 200, 122, 230}));
  EXPECT_EQ(Str(HiddenFloatingRect(floating, 6, false)), Str(RECT{578, 200, 600, 230}));
}

TEST(BarLayout, SavedRectanglesArePulledBackOntoTheScreen) {
  struct Case {
    RECT saved, expected;
  } cases[] = {
      {{10, 800, 510, 830}, {10, 738, 510, 768}},       // below the screen
      {{10, 768, 510, 798}, {10, 738, 510, 768}},       // top exactly at the bottom edge
      {{10, 760, 510, 790}, {10, 760, 510, 790}},       // partly visible: left alone
      {{1100, 100, 1600, 130}, {524, 100, 1024, 130}},  // beyond the right edge
      {{-600, 100, -100, 130}, {0, 100, 500, 130}},     // beyond the left edge
      {{0, 0, 0, 0}, {0, 0, 0, 0}},                     // none recorded
  };
  for (const Case& c : cases)
    EXPECT_EQ(Str(PullIntoScreen(c.saved, 1024, 768)), Str(c.expected)) << Str(c.saved);
}

TEST(BarLayout, HitZonesFollowTheDockedAndHiddenState) {
  struct Case {
    POINT point;
    bool docked, hidden;
    HitZone expected;
  } cases[] = {
      {{1, 10}, false, false, HitZone::kLeftBorder},
      {{5, 10}, false, false, HitZone::kLeftBorder},  // the band reaches into the client area
      {{396, 10}, false, false, HitZone::kRightBorder},
      {{10, 10}, false, false, HitZone::kCaption},
      {{100, 10}, false, false, HitZone::kClient},
      {{100, 1}, false, false, HitZone::kNowhere},  // the top frame never sizes
      {{1, 10}, true, false, HitZone::kNowhere},
      {{10, 10}, true, false, HitZone::kClient},
      {{1, 10}, true, true, HitZone::kClient},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HitTest(c.point, 400, 35, {3, 3, 397, 32}, {3, 3, 19, 32}, c.docked, c.hidden),
              c.expected)
        << c.point.x << "," << c.point.y << " docked " << c.docked << " hidden " << c.hidden;
  }
}

}  // namespace
}  // namespace vok::bar
