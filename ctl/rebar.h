// vokRebar: lays out child controls of a host window in rows and lets the user move width
// between two neighbours of a row by dragging the tracker between them. Created by class
// identifier (vok::clsid::kRebar).
//
// The host owns its controls; the layout finds them by dialog-item identifier
// (vok::ui::DialogItem, direct or nested children) and owns only its tracker windows (children
// of the host, deleted with the layout or with the host, whichever goes first) and its tables.
// Calling order: SetParameters, AddRow/AddCtl, InitRebar, Format on every resize of the host,
// OnMouseMove for the host's mouse moves, OnTimer for the host's timer events.
//
// Tracker width: 5 times the 3-D edge thickness, read once at creation as the style's frame
// width (QStyle::PM_DefaultFrameWidth), or 2 pixels when the style reports none or no
// application exists yet.
//
// A drag is polled, not event driven: it starts when the left button is down with the cursor
// over a tracker in use (grown by 4 pixels left and right and 2 up and down), then a 10 ms
// timer of the layout runs the timer-2 path: each tick moves the tracker and its neighbours by
// the cursor's horizontal travel, and once the button is up the rows are laid out again and the
// host receives vok::ui::CommandEvent with the band-moved identifier. The cursor is read and
// moved through vok::ui::CurrentCursorDevice().
//
// Single-threaded (the host's thread); trackers and the timer need a QApplication.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <vector>

#include "common/cmdline_ifaces.h"
#include "common/vok_object.h"
#include "ctl/band_layout.h"

namespace vok::ctl {
class RebarTracker;
}

class vokRebar final : public vok::ObjectRoot<IvokRebar> {
 public:
  static constexpr int kMaxTrackers = 5;
  static constexpr UINT kDragTimerId = 2;
  static constexpr int kDragTimerPeriodMs = 10;

  vokRebar();
  ~vokRebar() override;

  // IvokRebar
  // Stores the values; nCtlNumber is kept within 0..kMaxTrackers. Trackers made for earlier
  // parameters are deleted (InitRebar makes them again) and a drag in progress ends.
  HRESULT STDMETHODCALLTYPE SetParameters(HWND hwndWnd, int nTopOffset, int nBotOffset,
                                          int nLftOffset, int nRgtOffset, int nRowSpace,
                                          int nColSpace, int nCtlNumber, UINT uFstTrackID,
                                          UINT uBandMovedID) override;
  HRESULT STDMETHODCALLTYPE AddRow() override;
  HRESULT STDMETHODCALLTYPE AddCtl(int nRowIdx, UINT uID) override;
  // E_UNEXPECTED without a host window; S_OK otherwise.
  HRESULT STDMETHODCALLTYPE Format() override;
  // Creates the hidden trackers (replacing earlier ones); E_UNEXPECTED without a host window.
  HRESULT STDMETHODCALLTYPE InitRebar() override;
  HRESULT STDMETHODCALLTYPE OnMouseMove(UINT nFlags, POINT point) override;
  // Timer 2 while no drag is in progress does nothing (S_OK).
  HRESULT STDMETHODCALLTYPE OnTimer(UINT nIDEvent, BOOL* pbFinishedMoving) override;

  int trackerWidth() const { return spacing_.trackerWidth; }
  bool dragging() const { return drag_.active; }

 private:
  struct Drag {
    bool active = false;
    QPoint last;  // screen coordinates
    QPointer<QWidget> tracker, left, right;
    int leftLimit = 0, rightLimit = 0;  // host client coordinates
  };

  void DestroyTrackers();
  // Starts a drag when the left button is down over a tracker in use and none is running.
  void TryStartDrag();
  // While the button is down: one step; once it is up (or a part is gone): the end of the drag.
  void AdvanceDrag();
  void StepDragOnce();
  void FinishDrag();
  QWidget* Control(size_t row, size_t index) const;

  QPointer<QWidget> host_;
  vok::ctl::BandSpacing spacing_;
  int edge_ = 2;
  int trackerNumber_ = 0;
  UINT firstTracker_ = 0;
  UINT bandMovedId_ = 0;
  std::vector<std::vector<UINT>> rows_;
  std::vector<QPointer<vok::ctl::RebarTracker>> trackers_;  // tracker i has firstTracker_ + i
  std::map<UINT, vok::ctl::PlacedTracker> inUse_;           // by the last layout pass
  Drag drag_;
  QTimer timer_;
};
