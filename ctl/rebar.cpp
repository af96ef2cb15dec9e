#include "ctl/rebar.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <new>

#include "ctl/rebar_tracker.h"
#include "platform/ui/command_event.h"
#include "platform/ui/cursor_device.h"
#include "platform/ui/dialog_items.h"

using vok::ctl::BandEntry;
using vok::ctl::Box;
using vok::ctl::DragBoxes;
using vok::ctl::RebarTracker;

namespace {

int EdgeThickness() {
  const int frame = qApp ? QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  return frame > 0 ? frame : 2;
}

// Controls may sit inside a frame of the host; the layout works in host coordinates.
Box BoxInHost(const QWidget* widget, const QWidget* host) {
  QPoint origin = widget->pos();
  if (QWidget* parent = widget->parentWidget(); parent != host)
    origin = parent->mapTo(host, origin);
  return {origin.x(), origin.y(), widget->width(), widget->height()};
}

void SetBoxInHost(QWidget* widget, const QWidget* host, const Box& box) {
  QPoint origin(box.x, box.y);
  if (QWidget* parent = widget->parentWidget(); parent != host)
    origin = parent->mapFrom(host, origin);
  widget->setGeometry(origin.x(), origin.y(), box.width, box.height);
}

}  // namespace

vokRebar::vokRebar() : edge_(EdgeThickness()) {
  spacing_.trackerWidth = 5 * edge_;
  timer_.setInterval(kDragTimerPeriodMs);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { OnTimer(kDragTimerId, nullptr); });
}

vokRebar::~vokRebar() {
  // The trackers call back into this object; they must not outlive it.
  DestroyTrackers();
}

HRESULT vokRebar::SetParameters(HWND hwndWnd, int nTopOffset, int nBotOffset, int nLftOffset,
                                int nRgtOffset, int nRowSpace, int nColSpace, int nCtlNumber,
                                UINT uFstTrackID, UINT uBandMovedID) {
  timer_.stop();
  drag_ = {};
  DestroyTrackers();
  host_ = hwndWnd;
  spacing_.top = nTopOffset;
  spacing_.bottom = nBotOffset;
  spacing_.left = nLftOffset;
  spacing_.right = nRgtOffset;
  spacing_.rowSpace = nRowSpace;
  spacing_.colSpace = nColSpace;
  trackerNumber_ = std::clamp(nCtlNumber, 0, kMaxTrackers);
  firstTracker_ = uFstTrackID;
  bandMovedId_ = uBandMovedID;
  return S_OK;
}

HRESULT vokRebar::AddRow() {
  try {
    rows_.emplace_back();
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT vokRebar::AddCtl(int nRowIdx, UINT uID) {
  if (nRowIdx < 0 || static_cast<size_t>(nRowIdx) >= rows_.size()) return E_FAIL;
  try {
    rows_[nRowIdx].push_back(uID);
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
  return S_OK;
}

QWidget* vokRebar::Control(size_t row, size_t index) const {
  if (row >= rows_.size() || index >= rows_[row].size()) return nullptr;
  return vok::ui::DialogItem(host_, static_cast<int>(rows_[row][index]));
}

HRESULT vokRebar::Format() {
  if (!host_) return E_UNEXPECTED;
  for (const auto& [id, placed] : inUse_)
    if (RebarTracker* tracker = trackers_[id - firstTracker_]) tracker->hide();
  inUse_.clear();

  std::vector<std::vector<BandEntry>> entries(rows_.size());
  for (size_t r = 0; r < rows_.size(); ++r) {
    for (size_t i = 0; i < rows_[r].size(); ++i) {
      BandEntry& entry = entries[r].emplace_back();
      if (QWidget* control = Control(r, i)) entry = {true, control->width(), control->height()};
    }
  }
  const vok::ctl::BandLayout layout = LayoutBands(entries, host_->width(), spacing_, firstTracker_,
                                                  static_cast<int>(trackers_.size()));

  for (const auto& placed : layout.controls)
    SetBoxInHost(Control(placed.row, placed.index), host_, placed.box);
  for (const auto& placed : layout.trackers) {
    RebarTracker* tracker = trackers_[placed.id - firstTracker_];
    if (!tracker) continue;  // deleted by the host
    tracker->setGeometry(placed.box.x, placed.box.y, placed.box.width, placed.box.height);
    tracker->show();
    inUse_[placed.id] = placed;
  }
  return S_OK;
}

void vokRebar::DestroyTrackers() {
  for (const QPointer<RebarTracker>& tracker : trackers_) delete tracker.data();
  trackers_.clear();
  inUse_.clear();
}

HRESULT vokRebar::InitRebar() {
  if (!host_) return E_UNEXPECTED;
  DestroyTrackers();
  for (int i = 0; i < trackerNumber_; ++i) {
    auto* tracker = new RebarTracker(host_, edge_, [this] { TryStartDrag(); });
    tracker->setGeometry(0, 0, 10, 20);
    vok::ui::SetDialogItemId(tracker, static_cast<int>(firstTracker_ + i));
    trackers_.emplace_back(tracker);
  }
  return S_OK;
}

HRESULT vokRebar::OnMouseMove(UINT, POINT) {
  TryStartDrag();
  return S_OK;
}

void vokRebar::TryStartDrag() {
  if (drag_.active || !host_) return;
  vok::ui::CursorDevice& cursor = vok::ui::CurrentCursorDevice();
  if (!(cursor.Buttons() & Qt::LeftButton)) return;
  const QPoint pos = cursor.Position();
  for (const auto& [id, placed] : inUse_) {
    RebarTracker* tracker = trackers_[id - firstTracker_];
    if (!tracker) continue;
    QRect hot(host_->mapToGlobal(tracker->pos()), tracker->size());
    if (!hot.adjusted(-4, -2, 4, 2).contains(pos)) continue;
    QWidget* left = Control(placed.row, placed.left);
    QWidget* right = Control(placed.row, placed.right);
    if (!left || !right) return;  // a neighbour went away since the last layout
    drag_ = {
        true, pos, tracker, left, right, BoxInHost(left, host_).x, BoxInHost(right, host_).right()};
    timer_.start();
    return;
  }
}

void vokRebar::StepDragOnce() {
  vok::ui::CursorDevice& cursor = vok::ui::CurrentCursorDevice();
  const QPoint pos = cursor.Position();
  QWidget* tracker = drag_.tracker;
  const DragBoxes now{BoxInHost(drag_.left, host_), BoxInHost(tracker, host_),
                      BoxInHost(drag_.right, host_)};
  const auto next =
      StepDrag(now, drag_.last.x() - pos.x(), drag_.leftLimit, drag_.rightLimit, spacing_.colSpace);
  if (!next) return;
  SetBoxInHost(drag_.left, host_, next->left);
  if (next->right != now.right) SetBoxInHost(drag_.right, host_, next->right);
  tracker->move(next->tracker.x, next->tracker.y);
  // Keep the cursor on the tracker's left edge, so a limit that stopped the tracker also holds
  // the pointer back.
  const QPoint moved(host_->mapToGlobal(QPoint(next->tracker.x, 0)).x(), pos.y());
  cursor.MoveTo(moved);
  drag_.last = moved;
}

void vokRebar::FinishDrag() {
  timer_.stop();
  drag_ = {};
  if (!host_) return;
  Format();
  host_->update();
  vok::ui::SendCommand(host_, static_cast<int>(bandMovedId_));
}

void vokRebar::AdvanceDrag() {
  const bool partsAlive = host_ && drag_.tracker && drag_.left && drag_.right;
  if (partsAlive && (vok::ui::CurrentCursorDevice().Buttons() & Qt::LeftButton)) {
    StepDragOnce();
  } else {
    FinishDrag();
  }
}

HRESULT vokRebar::OnTimer(UINT nIDEvent, BOOL* pbFinishedMoving) {
  // The host may drop its layout while handling the band-moved command.
  ComPtr<IvokRebar> keepAlive(this);
  const bool ours = nIDEvent == kDragTimerId;
  if (ours && drag_.active) AdvanceDrag();
  if (pbFinishedMoving) *pbFinishedMoving = drag_.active ? 0 : 1;
  return ours ? S_OK : S_FALSE;
}
