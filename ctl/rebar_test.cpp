#include "ctl/rebar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>
#include <memory>
#include <vector>

#include "ctl/ctl_test_support.h"
#include "platform/ui/command_event.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/fake_cursor_device.h"

namespace vok::test {
namespace {

constexpr UINT kDir = 203, kBox = 201, kBar = 136;
constexpr UINT kFirstTracker = 127, kBandMoved = 142;
constexpr int kColSpace = 4, kMargin = 2, kHostWidth = 400;

// A host window that records the command messages it receives.
class Host : public QWidget {
 public:
  std::vector<int> commands;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == ui::CommandEvent::Type()) {
      commands.push_back(static_cast<ui::CommandEvent*>(e)->id());
      return true;
    }
    return QWidget::event(e);
  }
};

using ui::FakeCursor;

// Host coordinates of a control, which may sit inside a frame of the host.
QRect InHost(QWidget* w, QWidget* host) { return QRect(w->mapTo(host, QPoint(0, 0)), w->size()); }

class RebarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  void SetUp() override {
    host_ = std::make_unique<Host>();
    host_->resize(kHostWidth, 40);
    dir_ = MakeControl(host_.get(), kDir, 80, 20);
    box_ = MakeControl(host_.get(), kBox, 100, 24);
    // The toolbar sits in a frame: the layout must place it in host coordinates all the same.
    auto* frame = new QWidget(host_.get());
    frame->setGeometry(10, 5, kHostWidth, 30);
    bar_ = MakeControl(frame, kBar, 40, 20);
    host_->show();

    ASSERT_EQ(S_OK, CreateObject<vokRebar>(nullptr, IvokRebar::kIID,
                                           rebar_.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, rebar_->SetParameters(host_.get(), 0, 0, kMargin, kMargin, 2, kColSpace, 2,
                                          kFirstTracker, kBandMoved));
    ASSERT_EQ(S_OK, rebar_->AddRow());
    for (UINT id : {kDir, kBox, kBar}) ASSERT_EQ(S_OK, rebar_->AddCtl(0, id));
    ASSERT_EQ(S_OK, rebar_->InitRebar());
    ASSERT_EQ(S_OK, rebar_->Format());
  }

  void TearDown() override {
    rebar_ = nullptr;
    host_.reset();
    EXPECT_EQ(0, ModuleCount().load()) << "objects of the library still alive";
  }

  static QWidget* MakeControl(QWidget* parent, UINT id, int w, int h) {
    auto* control = new QWidget(parent);
    control->resize(w, h);
    ui::SetDialogItemId(control, static_cast<int>(id));
    return control;
  }

  QWidget* Tracker(int i) { return ui::DialogItem(host_.get(), kFirstTracker + i); }
  QPoint Global(QPoint p) { return host_->mapToGlobal(p); }
  // Presses the left button at the centre of tracker i and lets the host report the move.
  void PressOnTracker(int i) {
    cursor_.pos = Global(Tracker(i)->geometry().center());
    cursor_.buttons = Qt::LeftButton;
    ASSERT_EQ(S_OK, rebar_->OnMouseMove(0, POINT{0, 0}));
  }
  BOOL Tick(UINT id = vokRebar::kDragTimerId, HRESULT expected = S_OK) {
    BOOL finished = -1;
    EXPECT_EQ(expected, rebar_->OnTimer(id, &finished));
    return finished;
  }

  std::unique_ptr<Host> host_;
  QWidget *dir_ = nullptr, *box_ = nullptr, *bar_ = nullptr;
  ComPtr<IvokRebar> rebar_;
  FakeCursor cursor_;
  ui::ScopedCursorDevice scopedCursor_{cursor_};
};

TEST_F(RebarTest, LaysOutTheRowWithTrackersBetweenNeighbours) {
  EXPECT_EQ(QRect(kMargin, 2, 80, 20), dir_->geometry());
  for (auto [i, left, right] : {std::tuple{0, dir_, box_}, std::tuple{1, box_, bar_}}) {
    QWidget* tracker = Tracker(i);
    ASSERT_TRUE(tracker);
    EXPECT_FALSE(tracker->isHidden()) << i;
    EXPECT_EQ(InHost(left, host_.get()).right() + 1 + kColSpace, tracker->x()) << i;
    EXPECT_EQ(tracker->geometry().right() + 1 + kColSpace, InHost(right, host_.get()).x()) << i;
    EXPECT_EQ(24, tracker->height()) << "trackers are as tall as the row";
  }
  EXPECT_EQ(100, box_->width());
  EXPECT_EQ(kHostWidth - kMargin, InHost(bar_, host_.get()).right() + 1) << "last stretches";
}

TEST_F(RebarTest, LaterLayoutHidesTrackersNoLongerUsed) {
  delete box_;
  ASSERT_EQ(S_OK, rebar_->Format());
  EXPECT_FALSE(Tracker(0)->isHidden());
  EXPECT_TRUE(Tracker(1)->isHidden());
  EXPECT_EQ(Tracker(0)->geometry().right() + 1 + kColSpace, InHost(bar_, host_.get()).x());

  delete bar_;
  ASSERT_EQ(S_OK, rebar_->Format());
  EXPECT_TRUE(Tracker(0)->isHidden());
  EXPECT_EQ(QRect(kMargin, 0, kHostWidth - 2 * kMargin, 20), dir_->geometry());
}

TEST_F(RebarTest, RefusesMissingRowsAndMissingHost) {
  EXPECT_EQ(E_FAIL, rebar_->AddCtl(1, kBox));
  EXPECT_EQ(E_FAIL, rebar_->AddCtl(-1, kBox));
  ComPtr<IvokRebar> fresh;
  ASSERT_EQ(S_OK,
            CreateObject<vokRebar>(nullptr, IvokRebar::kIID, fresh.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(E_UNEXPECTED, fresh->Format());
  EXPECT_EQ(E_UNEXPECTED, fresh->InitRebar());
}

TEST_F(RebarTest, DragStartsOnlyWithTheButtonDownNearATracker) {
  struct Case {
    QPoint offset;  // from the tracker's top-left corner
    Qt::MouseButtons buttons;
    bool starts;
  };
  const int w = Tracker(0)->width(), h = Tracker(0)->height();
  const Case cases[] = {
      {{w / 2, h / 2}, Qt::NoButton, false},  {{w / 2, h / 2}, Qt::RightButton, false},
      {{-4, 0}, Qt::LeftButton, true},        {{-5, 0}, Qt::LeftButton, false},
      {{w + 3, h - 1}, Qt::LeftButton, true}, {{w + 4, 0}, Qt::LeftButton, false},
      {{0, -2}, Qt::LeftButton, true},        {{0, -3}, Qt::LeftButton, false},
      {{0, h + 1}, Qt::LeftButton, true},     {{0, h + 2}, Qt::LeftButton, false},
  };
  for (const Case& c : cases) {
    cursor_.pos = Global(Tracker(0)->pos() + c.offset);
    cursor_.buttons = c.buttons;
    EXPECT_EQ(S_OK, rebar_->OnMouseMove(0, POINT{0, 0}));
    EXPECT_EQ(c.starts ? 0 : 1, Tick(7, S_FALSE))
        << c.offset.x() << "," << c.offset.y() << " buttons " << c.buttons.toInt();
    cursor_.buttons = Qt::NoButton;
    Tick();  // ends a drag that started
  }
}

TEST_F(RebarTest, LeftPressOnTheTrackerItselfStartsADrag) {
  QWidget* tracker = Tracker(1);
  const QPoint local(1, 1);
  cursor_.pos = tracker->mapToGlobal(local);
  cursor_.buttons = Qt::LeftButton;
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(cursor_.pos), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(tracker, &press);
  EXPECT_TRUE(press.isAccepted());
  EXPECT_EQ(0, Tick(7, S_FALSE));
}

TEST_F(RebarTest, DragMovesWidthAndReleaseLaysOutAndTellsTheHost) {
  PressOnTracker(0);
  EXPECT_EQ(0, Tick(7, S_FALSE)) << "another timer leaves the drag running";

  const QRect dir = dir_->geometry(), box = box_->geometry();
  const int trackerX = Tracker(0)->x();
  cursor_.pos.rx() -= 10;
  EXPECT_EQ(0, Tick());
  EXPECT_EQ(dir.adjusted(0, 0, -10, 0), dir_->geometry());
  EXPECT_EQ(box.adjusted(-10, 0, 0, 0), box_->geometry());
  EXPECT_EQ(trackerX - 10, Tracker(0)->x());
  EXPECT_EQ(Global(QPoint(trackerX - 10, 0)).x(), cursor_.pos.x()) << "cursor follows tracker";

  // Travel that would take the tracker onto the left neighbour's left edge: nothing moves.
  const QRect dirBefore = dir_->geometry();
  cursor_.pos.rx() -= trackerX;
  EXPECT_EQ(0, Tick());
  EXPECT_EQ(dirBefore, dir_->geometry());
  EXPECT_EQ(trackerX - 10, Tracker(0)->x());
  EXPECT_TRUE(host_->commands.empty());

  cursor_.buttons = Qt::NoButton;
  EXPECT_EQ(1, Tick());
  EXPECT_EQ(std::vector<int>{kBandMoved}, host_->commands);
  // The new width survives the layout that follows; the last control still reaches the margin.
  EXPECT_EQ(70, dir_->width());
  EXPECT_EQ(110, box_->width());
  EXPECT_EQ(kHostWidth - kMargin, InHost(bar_, host_.get()).right() + 1);
  ASSERT_EQ(S_OK, rebar_->Format());
  EXPECT_EQ(70, dir_->width());
  EXPECT_EQ(110, box_->width());

  EXPECT_EQ(1, Tick());
  EXPECT_EQ(1, Tick(9, S_FALSE));
  EXPECT_EQ(1u, host_->commands.size()) << "an idle timer tick sends nothing";
}

TEST_F(RebarTest, OwnTimerEndsTheDragOnceTheButtonIsUp) {
  PressOnTracker(1);
  cursor_.buttons = Qt::NoButton;
  QElapsedTimer clock;
  clock.start();
  while (host_->commands.empty() && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(std::vector<int>{kBandMoved}, host_->commands);
  EXPECT_EQ(1, Tick());
}

TEST_F(RebarTest, ReleasingTheLayoutRemovesItsTrackers) {
  PressOnTracker(0);
  rebar_ = nullptr;
  EXPECT_FALSE(ui::DialogItem(host_.get(), kFirstTracker));
  EXPECT_FALSE(ui::DialogItem(host_.get(), kFirstTracker + 1));
}

}  // namespace
}  // namespace vok::test
