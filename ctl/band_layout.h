// The arithmetic of the band layout, without widgets: where the controls of each row and the
// trackers between them go, and how one drag tick moves width between two neighbours.
// Rectangles are in host client coordinates; right and bottom are exclusive.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "common/vok_types.h"

namespace vok::ctl {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  bool operator==(const Box&) const = default;
};

struct BandSpacing {
  int top = 0, bottom = 0;  // above the first row, below the last
  int left = 2, right = 2;  // margins
  int rowSpace = 2;         // between rows
  int colSpace = 4;         // on each side of a tracker
  int trackerWidth = 10;
};

// One entry of a row as the host has it now: a control that is missing (identifier 0 or no
// such child window) takes no room.
struct BandEntry {
  bool present = false;
  int width = 0, height = 0;
};

struct PlacedControl {
  size_t row = 0, index = 0;  // index in the row's list of entries
  Box box;
  bool operator==(const PlacedControl&) const = default;
};

// A tracker between two present neighbours; `left` and `right` index the row's list.
struct PlacedTracker {
  UINT id = 0;
  size_t row = 0, left = 0, right = 0;
  Box box;
  bool operator==(const PlacedTracker&) const = default;
};

struct BandLayout {
  std::vector<PlacedControl> controls;
  std::vector<PlacedTracker> trackers;
  int height = 0;  // the bottom of the last row plus the bottom space
};

// Lays the rows out in a client area `clientWidth` wide. Each row is as tall as its tallest
// present control, controls are centred vertically in it and keep their width unless that
// cuts into the room the following trackers need; the last control of a row stretches to the
// right margin. Gaps are numbered from `firstTracker` across all rows; only the first
// `trackerCount` gaps get a tracker (the others keep their room but cannot be dragged).
BandLayout LayoutBands(const std::vector<std::vector<BandEntry>>& rows, int clientWidth,
                       const BandSpacing& spacing, UINT firstTracker, int trackerCount);

// The three boxes a drag moves.
struct DragBoxes {
  Box left, tracker, right;
  bool operator==(const DragBoxes&) const = default;
};

// One drag tick moving the tracker left by `shift` pixels (negative: right). Nothing moves
// (nullopt) when the tracker would reach `leftLimit` or `rightLimit`. The left neighbour keeps
// its position and changes width (never below 0); the right neighbour keeps its right edge and
// follows the tracker while it stays `colSpace` clear of it.
std::optional<DragBoxes> StepDrag(const DragBoxes& now, int shift, int leftLimit, int rightLimit,
                                  int colSpace);

}  // namespace vok::ctl
