// Without an X11 display (here Qt's offscreen platform) the desktop says it is not available
// and refuses every request instead of pretending to carry it out.
#include <gtest/gtest.h>

#include <QWidget>

#include "common/test_application.h"
#include "platform/system/recording_process_runner.h"
#include "platform/x11/desktop.h"

namespace vok::x11 {
namespace {

TEST(DesktopWithoutX11, IsNotAvailableAndRefusesEveryRequest) {
  test::EnsureApplication();
  ASSERT_NE(QGuiApplication::platformName(), "xcb");
  sys::test::RecordingProcessRunner runner;
  runner.installed = {"xdg-screensaver"};
  sys::ScopedProcessRunner scopedRunner(&runner);

  std::unique_ptr<Desktop> desktop = CreateDesktop();
  ASSERT_NE(desktop, nullptr);
  EXPECT_FALSE(desktop->Available());

  QWidget window;
  EXPECT_FALSE(desktop->SetDockType(&window, true));
  EXPECT_FALSE(desktop->SetStrut(&window, DockEdge::kBottom, 20));
  EXPECT_FALSE(desktop->SetAbove(&window, true));
  RECT area = desktop->WorkArea();
  EXPECT_EQ(area.right - area.left, 0);
  EXPECT_EQ(area.bottom - area.top, 0);
  EXPECT_TRUE(desktop->TopLevelWindows().empty());
  EXPECT_EQ(desktop->ActiveWindow(), 0u);
  EXPECT_EQ(desktop->IdOf(&window), 0u);
  for (auto request :
       {&Desktop::Activate, &Desktop::Minimize, &Desktop::Restore, &Desktop::Maximize,
        &Desktop::Close, &Desktop::KeyboardMove, &Desktop::KeyboardSize}) {
    EXPECT_FALSE((desktop.get()->*request)(1));
  }
  EXPECT_FALSE(desktop->ShowDesktop(true));
  bool pressed = false;
  EXPECT_FALSE(desktop->GrabHotKey(0x41, kHotKeyCtrl, [&] { pressed = true; }));
  desktop->UngrabHotKey();
  EXPECT_FALSE(desktop->StartScreenSaver());
  EXPECT_TRUE(runner.calls.empty());
}

}  // namespace
}  // namespace vok::x11
