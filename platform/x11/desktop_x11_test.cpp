// The X11 desktop against a real X server with a real window manager: scripts/with-xvfb.sh runs
// this program on a private Xvfb display managed by openbox. Every effect is read back through
// a second, independent connection to the server, as another program would see it.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/test_application.h"
#include "platform/system/recording_process_runner.h"
#include "platform/x11/desktop.h"
#include "platform/x11/x_observer.h"

#define XK_MISCELLANY
#include <X11/keysymdef.h>

namespace vok::x11 {
namespace {

using test::Observer;
using test::WaitFor;

using test::TestWindow;

class DesktopX11Test : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: run through with-xvfb.sh";
    vok::test::EnsureApplication();
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    desktop_ = CreateDesktop();
    ASSERT_TRUE(desktop_->Available());
  }

  // A shown window the window manager has taken on.
  std::unique_ptr<TestWindow> ShowWindow(const QString& title,
                                         QRect geometry = {100, 100, 300, 200}) {
    auto window = std::make_unique<TestWindow>();
    window->setWindowTitle(title);
    window->setGeometry(geometry);
    window->show();
    WindowId id = desktop_->IdOf(window.get());
    EXPECT_TRUE(WaitFor([&] { return observer_.IsClient(id) && observer_.IsViewable(id); }))
        << title.toStdString();
    return window;
  }

  // Position of `id` in the desktop's z-order list, topmost 0; -1 when absent.
  int ZIndex(WindowId id) const {
    std::vector<TopLevelWindow> windows = desktop_->TopLevelWindows();
    for (size_t i = 0; i < windows.size(); ++i) {
      if (windows[i].id == id) return int(i);
    }
    return -1;
  }

  std::optional<TopLevelWindow> Find(WindowId id) const {
    for (const TopLevelWindow& window : desktop_->TopLevelWindows()) {
      if (window.id == id) return window;
    }
    return std::nullopt;
  }

  Observer observer_;
  std::unique_ptr<Desktop> desktop_;
};

// ---- Docking ----

class DockEdgeTest : public DesktopX11Test, public testing::WithParamInterface<DockEdge> {};

TEST_P(DockEdgeTest, DockReservesItsThicknessAtTheEdgeUntilReleased) {
  const DockEdge edge = GetParam();
  const int kThickness = 30;
  const std::vector<uint32_t> before = observer_.WorkArea();
  ASSERT_EQ(before, (std::vector<uint32_t>{0, 0, 1024, 768}));

  int y = edge == DockEdge::kTop ? 0 : 768 - kThickness;
  auto bar = ShowWindow("bar", QRect(0, y, 1024, kThickness));
  WindowId id = desktop_->IdOf(bar.get());
  ASSERT_TRUE(desktop_->SetAbove(bar.get(), true));
  ASSERT_TRUE(
      WaitFor([&] { return observer_.HasAtom(id, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); }));

  // The manager takes the window back as a dock, and keeps it above.
  ASSERT_TRUE(desktop_->SetDockType(bar.get(), true));
  EXPECT_TRUE(WaitFor([&] {
    return observer_.Property(id, "_NET_WM_WINDOW_TYPE") ==
           std::vector<uint32_t>{observer_.Atom("_NET_WM_WINDOW_TYPE_DOCK")};
  }));
  EXPECT_TRUE(WaitFor([&] {
    return observer_.IsClient(id) && observer_.IsViewable(id) &&
           observer_.HasAtom(id, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE");
  }));
  EXPECT_TRUE(bar->isVisible());

  ASSERT_TRUE(desktop_->SetStrut(bar.get(), edge, kThickness));
  std::vector<uint32_t> reserved =
      edge == DockEdge::kTop
          ? std::vector<uint32_t>{0, uint32_t(kThickness), 1024, 768 - kThickness}
          : std::vector<uint32_t>{0, 0, 1024, 768 - kThickness};
  EXPECT_TRUE(WaitFor([&] { return observer_.WorkArea() == reserved; }))
      << "work area " << testing::PrintToString(observer_.WorkArea());
  RECT area = desktop_->WorkArea();
  EXPECT_EQ(area.left, LONG(reserved[0]));
  EXPECT_EQ(area.top, LONG(reserved[1]));
  EXPECT_EQ(area.right, LONG(reserved[0] + reserved[2]));
  EXPECT_EQ(area.bottom, LONG(reserved[1] + reserved[3]));
  std::vector<uint32_t> partial = observer_.Property(id, "_NET_WM_STRUT_PARTIAL");
  ASSERT_EQ(partial.size(), 12u);
  size_t side = edge == DockEdge::kTop ? 2 : 3;
  EXPECT_EQ(partial[side], uint32_t(kThickness));
  EXPECT_EQ(partial[8 + 2 * (side - 2)], 0u);         // start x
  EXPECT_EQ(partial[8 + 2 * (side - 2) + 1], 1023u);  // end x

  ASSERT_TRUE(desktop_->SetStrut(bar.get(), edge, 0));
  EXPECT_TRUE(WaitFor([&] { return observer_.WorkArea() == before; }));
  EXPECT_TRUE(observer_.Property(id, "_NET_WM_STRUT_PARTIAL").empty());
  EXPECT_TRUE(observer_.Property(id, "_NET_WM_STRUT").empty());

  ASSERT_TRUE(desktop_->SetDockType(bar.get(), false));
  const std::vector<uint32_t> tool{observer_.Atom("_NET_WM_WINDOW_TYPE_UTILITY"),
                                   observer_.Atom("_NET_WM_WINDOW_TYPE_NORMAL")};
  EXPECT_TRUE(WaitFor([&] { return observer_.Property(id, "_NET_WM_WINDOW_TYPE") == tool; }));
  EXPECT_TRUE(WaitFor([&] { return observer_.IsClient(id) && observer_.IsViewable(id); }));
}

INSTANTIATE_TEST_SUITE_P(Edges, DockEdgeTest, testing::Values(DockEdge::kBottom, DockEdge::kTop),
                         [](const auto& info) {
                           return info.param == DockEdge::kTop ? "Top" : "Bottom";
                         });

TEST_F(DesktopX11Test, AboveIsSetOnMappedAndOnUnmappedWindows) {
  auto shown = ShowWindow("shown");
  WindowId shownId = desktop_->IdOf(shown.get());
  ASSERT_TRUE(desktop_->SetAbove(shown.get(), true));
  EXPECT_TRUE(
      WaitFor([&] { return observer_.HasAtom(shownId, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); }));
  ASSERT_TRUE(desktop_->SetAbove(shown.get(), false));
  EXPECT_TRUE(
      WaitFor([&] { return !observer_.HasAtom(shownId, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); }));

  // Not mapped yet: the property itself, which the manager reads when the window appears.
  TestWindow hidden;
  hidden.setWindowTitle("hidden");
  WindowId hiddenId = desktop_->IdOf(&hidden);
  ASSERT_TRUE(desktop_->SetAbove(&hidden, true));
  EXPECT_TRUE(
      WaitFor([&] { return observer_.HasAtom(hiddenId, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"); }));
  hidden.show();
  EXPECT_TRUE(WaitFor([&] {
    return observer_.IsClient(hiddenId) &&
           observer_.HasAtom(hiddenId, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE");
  }));
}

// ---- Other windows ----

TEST_F(DesktopX11Test, TopLevelWindowsComeTopmostFirstWithTheirTitles) {
  auto one = ShowWindow("alpha one");
  auto two = ShowWindow(QString::fromUtf8("alpha two \u00e9t\u00e9"));
  WindowId oneId = desktop_->IdOf(one.get());
  WindowId twoId = desktop_->IdOf(two.get());

  ASSERT_TRUE(desktop_->Activate(twoId));
  EXPECT_TRUE(WaitFor([&] { return ZIndex(twoId) >= 0 && ZIndex(twoId) < ZIndex(oneId); }));
  ASSERT_TRUE(desktop_->Activate(oneId));
  EXPECT_TRUE(WaitFor([&] {
    return ZIndex(oneId) >= 0 && ZIndex(oneId) < ZIndex(twoId) && desktop_->ActiveWindow() == oneId;
  }));
  EXPECT_EQ(ZIndex(oneId), 0);
  EXPECT_EQ(Find(oneId)->title, "alpha one");
  EXPECT_EQ(Find(twoId)->title, "alpha two \xc3\xa9t\xc3\xa9");
}

TEST_F(DesktopX11Test, TitleFallsBackToLatin1WindowName) {
  xcb_window_t legacy = observer_.MapWindowWithLegacyName("caf\xe9 au lait");
  EXPECT_TRUE(WaitFor([&] { return Find(legacy).has_value(); }));
  std::optional<TopLevelWindow> found = Find(legacy);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->title, "caf\xc3\xa9 au lait");
  observer_.DestroyWindow(legacy);
}

TEST_F(DesktopX11Test, WindowRequestsActOnTheWindowAskedForOnly) {
  auto one = ShowWindow("alpha one");
  auto two = ShowWindow("alpha two");
  WindowId oneId = desktop_->IdOf(one.get());
  WindowId twoId = desktop_->IdOf(two.get());
  auto minimized = [&](WindowId id) {
    std::optional<TopLevelWindow> window = Find(id);
    return window && window->minimized;
  };

  ASSERT_TRUE(desktop_->Minimize(twoId));
  EXPECT_TRUE(WaitFor([&] { return minimized(twoId); }));
  EXPECT_FALSE(minimized(oneId));
  ASSERT_TRUE(desktop_->Restore(twoId));
  EXPECT_TRUE(WaitFor([&] { return !minimized(twoId) && observer_.IsViewable(twoId); }));

  ASSERT_TRUE(desktop_->Maximize(oneId));
  EXPECT_TRUE(WaitFor([&] {
    return observer_.HasAtom(oneId, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT") &&
           observer_.HasAtom(oneId, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_HORZ");
  }));
  EXPECT_FALSE(observer_.HasAtom(twoId, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT"));
  ASSERT_TRUE(desktop_->Restore(oneId));
  EXPECT_TRUE(WaitFor(
      [&] { return !observer_.HasAtom(oneId, "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT"); }));

  ASSERT_TRUE(desktop_->Close(oneId));
  EXPECT_TRUE(WaitFor([&] { return one->closed && !observer_.IsClient(oneId); }));
  EXPECT_FALSE(two->closed);
  EXPECT_TRUE(observer_.IsClient(twoId));
}

TEST_F(DesktopX11Test, RequestsForWindowsThatAreNoClientsFail) {
  auto window = ShowWindow("alpha");
  for (WindowId id : {WindowId(0), WindowId(observer_.root()), WindowId(0x7ffffff)}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(desktop_->Activate(id));
    EXPECT_FALSE(desktop_->Minimize(id));
    EXPECT_FALSE(desktop_->Restore(id));
    EXPECT_FALSE(desktop_->Maximize(id));
    EXPECT_FALSE(desktop_->Close(id));
    EXPECT_FALSE(desktop_->KeyboardMove(id));
    EXPECT_FALSE(desktop_->KeyboardSize(id));
  }
  EXPECT_FALSE(window->closed);
}

// In a keyboard move or size the manager holds the keyboard until the move ends.
TEST_F(DesktopX11Test, KeyboardMoveAndSizeStartTheManagersKeyboardMode) {
  auto window = ShowWindow("alpha");
  auto marker = ShowWindow("marker");
  WindowId id = desktop_->IdOf(window.get());
  WindowId markerId = desktop_->IdOf(marker.get());
  auto markerAbove = [&] {
    return observer_.HasAtom(markerId, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE");
  };
  for (auto request : {&Desktop::KeyboardMove, &Desktop::KeyboardSize}) {
    ASSERT_FALSE(observer_.KeyboardHeldByOther());
    ASSERT_TRUE((desktop_.get()->*request)(id));
    // Probing the keyboard before the manager took it would make its grab fail. The manager
    // handles requests in order: once a later one shows, the move has begun.
    bool above = !markerAbove();
    ASSERT_TRUE(desktop_->SetAbove(marker.get(), above));
    ASSERT_TRUE(WaitFor([&] { return markerAbove() == above; }));
    EXPECT_TRUE(observer_.KeyboardHeldByOther());
    observer_.SendToRoot(id, "_NET_WM_MOVERESIZE", {0, 0, 11 /* cancel */, 0, 2});
    EXPECT_TRUE(WaitFor([&] { return !observer_.KeyboardHeldByOther(); }));
  }
}

TEST_F(DesktopX11Test, ShowDesktopSwitchesTheManagersShowingDesktopMode) {
  auto window = ShowWindow("alpha");
  ASSERT_TRUE(desktop_->ShowDesktop(true));
  EXPECT_TRUE(WaitFor([&] {
    return observer_.Property(observer_.root(), "_NET_SHOWING_DESKTOP") == std::vector<uint32_t>{1};
  }));
  ASSERT_TRUE(desktop_->ShowDesktop(false));
  EXPECT_TRUE(WaitFor([&] {
    return observer_.Property(observer_.root(), "_NET_SHOWING_DESKTOP") == std::vector<uint32_t>{0};
  }));
}

// ---- Hot key ----

// Xvfb's keyboard map: NumLock is Mod2, Alt is Mod1.
constexpr uint16_t kNumLock = XCB_MOD_MASK_2;

xcb_key_press_event_t KeyPress(xcb_window_t root, xcb_keycode_t keycode, uint16_t state) {
  xcb_key_press_event_t event{};
  event.response_type = XCB_KEY_PRESS;
  event.detail = keycode;
  event.root = root;
  event.event = root;
  event.state = state;
  return event;
}

// Hands an event to the application's native event filters, as Qt does with what the server
// sends; true when a filter took it.
bool Deliver(xcb_key_press_event_t event) {
  qintptr result = 0;
  return QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &event,
                                                                 &result);
}

TEST_F(DesktopX11Test, HotKeyGrabHoldsTheCombinationAndReportsPresses) {
  xcb_keycode_t f11 = observer_.KeycodeOf(XK_F11);
  ASSERT_NE(f11, 0);
  const uint16_t ctrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
  int presses = 0;
  ASSERT_TRUE(desktop_->GrabHotKey(0x7A, kHotKeyCtrl | kHotKeyShift, [&] { ++presses; }));

  for (uint16_t locks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), kNumLock}) {
    EXPECT_FALSE(observer_.GrabKey(f11, ctrlShift | locks)) << "locks " << locks;
  }
  EXPECT_TRUE(observer_.GrabKey(f11, XCB_MOD_MASK_CONTROL));  // another combination is free
  observer_.UngrabKey(f11, XCB_MOD_MASK_CONTROL);

  // Presses with NumLock or CapsLock on count; other modifiers or keys do not.
  EXPECT_TRUE(Deliver(KeyPress(observer_.root(), f11, ctrlShift | kNumLock)));
  EXPECT_TRUE(Deliver(KeyPress(observer_.root(), f11, ctrlShift | XCB_MOD_MASK_LOCK)));
  EXPECT_FALSE(Deliver(KeyPress(observer_.root(), f11, XCB_MOD_MASK_CONTROL)));
  EXPECT_FALSE(Deliver(KeyPress(observer_.root(), xcb_keycode_t(f11 + 1), ctrlShift)));
  EXPECT_TRUE(WaitFor([&] { return presses == 2; }));

  // A press still queued when the key is released calls nothing.
  EXPECT_TRUE(Deliver(KeyPress(observer_.root(), f11, ctrlShift)));
  desktop_->UngrabHotKey();
  QCoreApplication::processEvents();
  EXPECT_EQ(presses, 2);
  EXPECT_FALSE(Deliver(KeyPress(observer_.root(), f11, ctrlShift)));
  EXPECT_TRUE(observer_.GrabKey(f11, ctrlShift | kNumLock));
  observer_.UngrabKey(f11, ctrlShift | kNumLock);
}

TEST_F(DesktopX11Test, HotKeyHeldElsewhereOrWithoutAKeyIsNotGrabbedAtAll) {
  EXPECT_FALSE(desktop_->GrabHotKey(0, kHotKeyCtrl, [] {}));
  EXPECT_FALSE(desktop_->GrabHotKey(0xFF, kHotKeyCtrl, [] {}));

  xcb_keycode_t f12 = observer_.KeycodeOf(XK_F12);
  ASSERT_NE(f12, 0);
  const uint16_t alt = XCB_MOD_MASK_1;
  // The other program holds only the NumLock variant of Alt+F12.
  ASSERT_TRUE(observer_.GrabKey(f12, alt | kNumLock));
  EXPECT_FALSE(desktop_->GrabHotKey(0x7B, kHotKeyAlt, [] {}));
  // Whatever part of the combination the desktop got was given back.
  EXPECT_TRUE(observer_.GrabKey(f12, alt));
  EXPECT_TRUE(observer_.GrabKey(f12, alt | XCB_MOD_MASK_LOCK));
  EXPECT_FALSE(Deliver(KeyPress(observer_.root(), f12, alt)));
  for (uint16_t locks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), kNumLock}) {
    observer_.UngrabKey(f12, alt | locks);
  }
}

// ---- Screen saver ----

TEST_F(DesktopX11Test, ScreenSaverStartsThroughTheProcessRunner) {
  sys::test::RecordingProcessRunner runner;
  sys::ScopedProcessRunner scoped(&runner);
  EXPECT_FALSE(desktop_->StartScreenSaver());  // not installed
  runner.installed = {"xdg-screensaver"};
  EXPECT_TRUE(desktop_->StartScreenSaver());
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_TRUE(runner.calls[1].detached);
  EXPECT_EQ(runner.calls[1].argv, (std::vector<std::string>{"xdg-screensaver", "activate"}));
}

}  // namespace
}  // namespace vok::x11
