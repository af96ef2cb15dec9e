#include "ctl/band_layout.h"

#include <algorithm>

namespace vok::ctl {
namespace {

struct RowCursor {
  UINT nextTracker;
  UINT trackerEnd;
};

// Lays out one row at `y` and returns its height.
int LayoutRow(const std::vector<BandEntry>& row, size_t rowIndex, int y, int clientWidth,
              const BandSpacing& s, RowCursor& trackers, BandLayout& out) {
  std::vector<size_t> present;
  int height = 0;
  for (size_t i = 0; i < row.size(); ++i) {
    if (!row[i].present) continue;
    present.push_back(i);
    height = std::max(height, row[i].height);
  }
  if (present.empty()) return 0;

  const int n = static_cast<int>(present.size());
  const int step = s.trackerWidth + 2 * s.colSpace;
  int x = s.left;
  // The right edge this control may reach while leaving room for the trackers after it.
  int limit = clientWidth - s.right - (n - 1) * step;
  for (int k = 1; k <= n; ++k) {
    const size_t index = present[k - 1];
    const BandEntry& entry = row[index];
    int width = entry.width;
    const int room = limit - x;
    if (room < width) {
      width = room;
    } else if (k > 1) {
      width += step;
    }
    if (k == n) width = room;
    if (k > 1) {
      // Trackers beyond those created keep their room but are not placed.
      if (trackers.nextTracker < trackers.trackerEnd) {
        out.trackers.push_back({trackers.nextTracker,
                                rowIndex,
                                present[k - 2],
                                index,
                                {x + s.colSpace, y, s.trackerWidth, height}});
      }
      ++trackers.nextTracker;
      width -= step;
      x += step;
    }
    out.controls.push_back(
        {rowIndex, index, {x, y + (height - entry.height) / 2, std::max(width, 0), entry.height}});
    limit += step;
    x += width;
  }
  return height;
}

}  // namespace

BandLayout LayoutBands(const std::vector<std::vector<BandEntry>>& rows, int clientWidth,
                       const BandSpacing& spacing, UINT firstTracker, int trackerCount) {
  BandLayout out;
  RowCursor trackers{firstTracker, firstTracker + static_cast<UINT>(std::max(trackerCount, 0))};
  int y = spacing.top;
  for (size_t r = 0; r < rows.size(); ++r) {
    y += LayoutRow(rows[r], r, y, clientWidth, spacing, trackers, out);
    y += spacing.rowSpace;
  }
  out.height = y + spacing.bottom;
  return out;
}

std::optional<DragBoxes> StepDrag(const DragBoxes& now, int shift, int leftLimit, int rightLimit,
                                  int colSpace) {
  if (shift == 0) return std::nullopt;
  DragBoxes next = now;
  next.tracker.x = now.tracker.x - shift;
  if (next.tracker.x <= leftLimit || next.tracker.right() >= rightLimit) return std::nullopt;

  next.left.width = std::max(now.left.width - shift, 0);
  const int rightEdge = now.right.right();
  const int newRightX = std::min(now.right.x - shift, rightLimit);
  if (newRightX - colSpace >= next.tracker.right()) {
    next.right.x = newRightX;
    next.right.width = rightEdge - newRightX;
  }
  return next;
}

}  // namespace vok::ctl
