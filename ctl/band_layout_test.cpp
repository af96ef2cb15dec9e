#include "ctl/band_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace vok::ctl {
namespace {

// Margins 2, row space 2, column space 4, trackers 10 wide: one tracker takes 18 pixels.
const BandSpacing kSpacing{0, 0, 2, 2, 2, 4, 10};
constexpr int kWidth = 300;
constexpr UINT kFirst = 127;

BandEntry C(int w, int h) { return {true, w, h}; }
const BandEntry kAbsent{};

struct LayoutCase {
  std::string name;
  std::vector<std::vector<BandEntry>> rows;
  int trackerCount;
  std::vector<PlacedControl> controls;
  std::vector<PlacedTracker> trackers;
  int height;
};

class LayoutBandsTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutBandsTest, PlacesControlsAndTrackers) {
  const LayoutCase& c = GetParam();
  const BandLayout layout = LayoutBands(c.rows, kWidth, kSpacing, kFirst, c.trackerCount);
  EXPECT_EQ(c.controls, layout.controls);
  EXPECT_EQ(c.trackers, layout.trackers);
  EXPECT_EQ(c.height, layout.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutBandsTest,
    testing::Values(
        LayoutCase{"SingleControlSpansMarginToMargin",
                   {{C(50, 20)}},
                   2,
                   {{0, 0, {2, 0, 296, 20}}},
                   {},
                   22},
        LayoutCase{"AbsentRowTakesOnlyRowSpace",
                   {{kAbsent, kAbsent}, {C(50, 20)}},
                   2,
                   {{1, 0, {2, 2, 296, 20}}},
                   {},
                   24},
        LayoutCase{"AbsentEntryBetweenNeighboursIsSkipped",
                   {{C(50, 20), kAbsent, C(60, 20)}},
                   2,
                   {{0, 0, {2, 0, 50, 20}}, {0, 2, {70, 0, 228, 20}}},
                   {{kFirst, 0, 0, 2, {56, 0, 10, 20}}},
                   22},
        LayoutCase{"MiddleControlKeepsItsWidth",
                   {{C(200, 20), C(50, 20), C(30, 20)}},
                   2,
                   {{0, 0, {2, 0, 200, 20}}, {0, 1, {220, 0, 50, 20}}, {0, 2, {288, 0, 10, 20}}},
                   {{kFirst, 0, 0, 1, {206, 0, 10, 20}}, {kFirst + 1, 0, 1, 2, {274, 0, 10, 20}}},
                   22},
        // The second control would reach into the last tracker's room: it is cut at 280.
        LayoutCase{"WideControlIsCutBeforeTrackerRoom",
                   {{C(240, 20), C(50, 20), C(30, 20)}},
                   2,
                   {{0, 0, {2, 0, 240, 20}}, {0, 1, {260, 0, 20, 20}}, {0, 2, {298, 0, 0, 20}}},
                   {{kFirst, 0, 0, 1, {246, 0, 10, 20}}, {kFirst + 1, 0, 1, 2, {284, 0, 10, 20}}},
                   22},
        LayoutCase{"TrackerIdsRunOnAcrossRows",
                   {{C(50, 20), C(60, 20)}, {C(40, 10), C(30, 10)}},
                   2,
                   {{0, 0, {2, 0, 50, 20}},
                    {0, 1, {70, 0, 228, 20}},
                    {1, 0, {2, 22, 40, 10}},
                    {1, 1, {60, 22, 238, 10}}},
                   {{kFirst, 0, 0, 1, {56, 0, 10, 20}}, {kFirst + 1, 1, 0, 1, {46, 22, 10, 10}}},
                   34},
        // Gaps beyond the trackers created keep their room but get no tracker.
        LayoutCase{"MissingTrackersKeepTheirRoom",
                   {{C(200, 20), C(50, 20), C(30, 20)}},
                   1,
                   {{0, 0, {2, 0, 200, 20}}, {0, 1, {220, 0, 50, 20}}, {0, 2, {288, 0, 10, 20}}},
                   {{kFirst, 0, 0, 1, {206, 0, 10, 20}}},
                   22}),
    [](const auto& info) { return info.param.name; });

TEST(LayoutBandsTest, TopAndBottomSpaceFrameTheRows) {
  BandSpacing spacing = kSpacing;
  spacing.top = 7;
  spacing.bottom = 3;
  const BandLayout layout = LayoutBands({{C(50, 20)}}, kWidth, spacing, kFirst, 0);
  ASSERT_EQ(1u, layout.controls.size());
  EXPECT_EQ(7, layout.controls[0].box.y);
  EXPECT_EQ(7 + 20 + 2 + 3, layout.height);
}

// Left neighbour 2..52, tracker 56..66, right neighbour 70..298.
const DragBoxes kStart{{2, 0, 50, 20}, {56, 0, 10, 20}, {70, 0, 228, 20}};
constexpr int kLeftLimit = 2, kRightLimit = 298, kColSpace = 4;

struct DragCase {
  std::string name;
  int shift;
  std::optional<DragBoxes> expected;
};

class StepDragTest : public testing::TestWithParam<DragCase> {};

TEST_P(StepDragTest, MovesWidthBetweenNeighbours) {
  const DragCase& c = GetParam();
  const auto next = StepDrag(kStart, c.shift, kLeftLimit, kRightLimit, kColSpace);
  ASSERT_EQ(c.expected.has_value(), next.has_value());
  if (!next) return;
  EXPECT_EQ(c.expected->left, next->left);
  EXPECT_EQ(c.expected->tracker, next->tracker);
  EXPECT_EQ(c.expected->right, next->right);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, StepDragTest,
    testing::Values(
        DragCase{"Left", 10, DragBoxes{{2, 0, 40, 20}, {46, 0, 10, 20}, {60, 0, 238, 20}}},
        DragCase{"Right", -10, DragBoxes{{2, 0, 60, 20}, {66, 0, 10, 20}, {80, 0, 218, 20}}},
        DragCase{"ReachingLeftLimit", 54, std::nullopt},
        // Just inside the limit the left neighbour shrinks to nothing, never below.
        DragCase{"JustInsideLeftLimit", 53,
                 DragBoxes{{2, 0, 0, 20}, {3, 0, 10, 20}, {17, 0, 281, 20}}},
        DragCase{"ReachingRightLimit", -232, std::nullopt},
        // The right neighbour cannot follow past its own right edge: it stays.
        DragCase{"JustInsideRightLimit", -231,
                 DragBoxes{{2, 0, 281, 20}, {287, 0, 10, 20}, {70, 0, 228, 20}}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vok::ctl
