// The bar window and the window operations with the X11 desktop against a real X server with a
// real window manager: scripts/with-xvfb.sh runs this program on a private 1024x768 Xvfb
// display managed by openbox. What the bar did is read back through a second connection.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bar/bar_host.h"
#include "bar/bar_test_fakes.h"
#include "bar/bar_window.h"
#include "bar/window_operation.h"
#include "common/test_application.h"
#include "platform/x11/desktop.h"
#include "platform/x11/x_observer.h"

namespace vok::bar {
namespace {

using x11::test::Observer;
using x11::test::RootGeometry;
using x11::test::WaitFor;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
const std::vector<uint32_t> kFullWorkArea{0, 0, kScreenWidth, kScreenHeight};

std::string Describe(const std::optional<RootGeometry>& g) {
  if (!g) return "no window";
  return std::to_string(g->x) + "," + std::to_string(g->y) + " " + std::to_string(g->width) + "x" +
         std::to_string(g->height);
}

// The application around the bar, with the real desktop; program operations do nothing.
class DisplayBarHost final : public BarHost {
 public:
  explicit DisplayBarHost(x11::Desktop& desktop) : desktop_(desktop) {}

  UiSettings settings;
  bool changed = false;
  BarWindowControl* window = nullptr;

  UiSettings& Settings() override { return settings; }
  bool SettingsChanged() const override { return changed; }
  void SetSettingsChanged(bool value) override { changed = value; }
  BarWindowControl* Window() override { return window; }
  x11::Desktop& Desktop() override { return desktop_; }
  IvokLog* Log() override { return nullptr; }
  bool Exit() override { return false; }
  bool AskToSaveChanges() override { return true; }
  bool OpenDataFileWithDialog() override { return false; }
  bool SaveDataFile() override { return false; }
  bool SaveDataFileAs() override { return false; }
  std::vector<std::string> RecentFileList() const override { return {}; }
  bool OpenRecentFile(size_t) override { return false; }
  void ShowOptions() override {}
  void OpenHelp(const std::string&) override {}
  void OpenHomePage() override {}

 private:
  x11::Desktop& desktop_;
};

class BarDisplayTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: run through with-xvfb.sh";
    test::EnsureApplication();
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    desktop_ = x11::CreateDesktop();
    ASSERT_TRUE(desktop_->Available());
    host_ = std::make_unique<DisplayBarHost>(*desktop_);
    // The manager may still be giving back the strip of the previous test's bar.
    ASSERT_TRUE(WaitFor([&] { return observer_.WorkArea() == kFullWorkArea; }));
  }
  void TearDown() override { bar_.reset(); }

  // Initialises the bar under the host's settings and shows it, as the program does at start.
  BarWindow& ShowBar(IUnknown* container = nullptr) {
    bar_ = std::make_unique<BarWindow>(*host_, container, true);
    host_->window = bar_.get();
    bar_->SetTrayAvailability([] { return false; });  // Xvfb has no tray
    bar_->Initialize();
    bar_->show();
    barId_ = desktop_->IdOf(bar_.get());
    EXPECT_TRUE(
        WaitFor([&] { return observer_.IsClient(barId_) && observer_.IsViewable(barId_); }));
    return *bar_;
  }

  // Waits until the bar's window stands at `expected` (root coordinates).
  void ExpectBarAt(const RootGeometry& expected) {
    EXPECT_TRUE(WaitFor([&] { return observer_.GeometryOf(barId_) == expected; }))
        << "bar at " << Describe(observer_.GeometryOf(barId_)) << ", expected "
        << Describe(expected);
  }

  void ExpectWorkArea(const std::vector<uint32_t>& expected) {
    EXPECT_TRUE(WaitFor([&] { return observer_.WorkArea() == expected; }))
        << "work area " << testing::PrintToString(observer_.WorkArea()) << ", expected "
        << testing::PrintToString(expected);
  }

  Observer observer_;
  std::unique_ptr<x11::Desktop> desktop_;
  std::unique_ptr<DisplayBarHost> host_;
  std::unique_ptr<BarWindow> bar_;  // destroyed before the host and the desktop
  x11::WindowId barId_ = 0;
};

// ---- Docking ----

class BarDockTest : public BarDisplayTest, public testing::WithParamInterface<x11::DockEdge> {};

TEST_P(BarDockTest, DockingReservesTheBarsHeightAtItsEdgeUntilUndocked) {
  const bool top = GetParam() == x11::DockEdge::kTop;
  host_->settings.dockEdge = top ? 0 : 1;
  BarWindow& bar = ShowBar();
  const int height = bar.InitialHeight();
  ASSERT_GT(height, 0);

  bar.RunCommand(kCmdDock);
  ASSERT_TRUE(bar.Docked());
  ExpectWorkArea(top ? std::vector<uint32_t>{0, uint32_t(height), kScreenWidth,
                                             uint32_t(kScreenHeight - height)}
                     : std::vector<uint32_t>{0, 0, kScreenWidth, uint32_t(kScreenHeight - height)});
  // The full screen width at the edge; the outer frame line lies one pixel off screen.
  ExpectBarAt(top ? RootGeometry{0, -1, kScreenWidth, height}
                  : RootGeometry{0, kScreenHeight - height + 1, kScreenWidth, height});
  // The reservation spans the bar's width, not the width it had floating.
  const std::vector<uint32_t> partial = observer_.Property(barId_, "_NET_WM_STRUT_PARTIAL");
  ASSERT_EQ(partial.size(), 12u);
  const size_t extent = top ? 8 : 10;
  EXPECT_EQ(partial[extent], 0u);
  EXPECT_EQ(partial[extent + 1], uint32_t(kScreenWidth - 1));

  bar.RunCommand(kCmdDock);
  ASSERT_FALSE(bar.Docked());
  ExpectWorkArea(kFullWorkArea);
  EXPECT_TRUE(WaitFor([&] { return observer_.IsClient(barId_) && observer_.IsViewable(barId_); }));
}

INSTANTIATE_TEST_SUITE_P(Edges, BarDockTest,
                         testing::Values(x11::DockEdge::kTop, x11::DockEdge::kBottom),
                         [](const auto& info) {
                           return info.param == x11::DockEdge::kTop ? "Top" : "Bottom";
                         });

// Docked and auto-hidden at the bottom from the start: only the strip is reserved and shown;
// coming out of hiding shows the whole bar over the windows and keeps the reservation.
TEST_F(BarDisplayTest, AutoHiddenDockReservesAndShowsOnlyItsStrip) {
  host_->settings.docked = true;
  host_->settings.dockEdge = 1;
  host_->settings.autoHide = true;
  BarWindow& bar = ShowBar();
  ASSERT_TRUE(bar.Docked());
  ASSERT_TRUE(bar.AutoHidden());

  const std::vector<uint32_t> reserved{0, 0, kScreenWidth, kScreenHeight - kHiddenDockedStrip};
  ExpectWorkArea(reserved);
  ExpectBarAt(
      RootGeometry{0, kScreenHeight - kHiddenDockedStrip + 1, kScreenWidth, kHiddenDockedStrip});

  bar.LeaveAutoHide();
  ASSERT_FALSE(bar.AutoHidden());
  const int height = bar.InitialHeight();
  ExpectBarAt(RootGeometry{0, kScreenHeight - height + 1, kScreenWidth, height});
  EXPECT_EQ(observer_.WorkArea(), reserved);
}

// ---- Window operations ----

class WindowOperationDisplayTest : public BarDisplayTest {
 protected:
  std::unique_ptr<x11::test::TestWindow> ShowWindow(const char* title) {
    auto window = std::make_unique<x11::test::TestWindow>();
    window->setWindowTitle(QString::fromUtf8(title));
    window->setGeometry(100, 100, 300, 200);
    window->show();
    const x11::WindowId id = desktop_->IdOf(window.get());
    EXPECT_TRUE(WaitFor([&] { return observer_.IsClient(id) && observer_.IsViewable(id); }))
        << title;
    return window;
  }

  // The ids in the manager's stacking order, topmost first.
  std::vector<x11::WindowId> Stacking() const {
    std::vector<uint32_t> stacking =
        observer_.Property(observer_.root(), "_NET_CLIENT_LIST_STACKING");
    return {stacking.rbegin(), stacking.rend()};
  }
};

TEST_F(WindowOperationDisplayTest, OperationsActOnlyOnTheTopmostWindowWhoseTitleMatches) {
  auto two = ShowWindow("alpha two");
  auto one = ShowWindow("Alpha One");
  auto beta = ShowWindow("Beta");
  const x11::WindowId oneId = desktop_->IdOf(one.get());
  const x11::WindowId twoId = desktop_->IdOf(two.get());
  const x11::WindowId betaId = desktop_->IdOf(beta.get());
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<x11::WindowId> order = Stacking();
    return order.size() >= 3 && order[0] == betaId && order[1] == oneId && order[2] == twoId;
  })) << "the windows did not stack in the order they were shown";

  EXPECT_EQ(RunWindowOperation(*desktop_, WindowOperation::kMinimize, "alpha"),
            WindowOperationResult::kDone);
  EXPECT_TRUE(WaitFor([&] { return observer_.IsMinimized(oneId); }));

  EXPECT_EQ(RunWindowOperation(*desktop_, WindowOperation::kClose, "beta"),
            WindowOperationResult::kDone);
  EXPECT_TRUE(WaitFor([&] { return beta->closed && !observer_.IsClient(betaId); }));

  // The manager handles requests in order: a stray one for another window would show by now.
  EXPECT_FALSE(observer_.IsMinimized(twoId));
  EXPECT_TRUE(observer_.IsViewable(twoId));
  EXPECT_FALSE(one->closed);
  EXPECT_FALSE(two->closed);

  EXPECT_EQ(RunWindowOperation(*desktop_, WindowOperation::kClose, "gamma"),
            WindowOperationResult::kNotFound);
  QCoreApplication::processEvents();
  EXPECT_FALSE(one->closed);
  EXPECT_FALSE(two->closed);
  EXPECT_TRUE(observer_.IsClient(oneId));
  EXPECT_TRUE(observer_.IsClient(twoId));
}

// ---- Context folders ----

using ContextFolderDisplayTest = WindowOperationDisplayTest;

TEST_F(ContextFolderDisplayTest, ActivatingAMatchingWindowChangesTheBarsDirectory) {
  QTemporaryDir folder;
  host_->settings.contextFolders = {{"spreadsheet", folder.path().toStdString(), false, false}};
  ComPtr<fakes::FakeContainer> container(new fakes::FakeContainer);
  ShowBar(container->Identity());
  auto other = ShowWindow("Notes");
  auto sheet = ShowWindow("Budget - Spreadsheet");
  const std::vector<std::string> expected{"chdir " + folder.path().toStdString() + " 1"};

  ASSERT_TRUE(desktop_->Activate(desktop_->IdOf(sheet.get())));
  EXPECT_TRUE(WaitFor([&] { return container->commandLine->calls == expected; }))
      << testing::PrintToString(container->commandLine->calls);
  // Staying on the window changes nothing more (three ticks); coming back to it from another
  // window does.
  EXPECT_FALSE(WaitFor([&] { return container->commandLine->calls.size() > 1; },
                       std::chrono::milliseconds(3 * kBarTimerMs)));
  ASSERT_TRUE(desktop_->Activate(desktop_->IdOf(other.get())));
  ASSERT_TRUE(WaitFor([&] { return desktop_->ActiveWindow() == desktop_->IdOf(other.get()); }));
  WaitFor([] { return false; }, std::chrono::milliseconds(2 * kBarTimerMs));  // a tick sees it
  ASSERT_TRUE(desktop_->Activate(desktop_->IdOf(sheet.get())));
  EXPECT_TRUE(WaitFor([&] { return container->commandLine->calls.size() == 2; }));
}

}  // namespace
}  // namespace vok::bar
