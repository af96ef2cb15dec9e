#include "bar/window_operation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/fake_desktop.h"

namespace vok::bar {
namespace {

// The engine's tests cover each operation; these cover the matching itself.
TEST(WindowOperation, FirstWindowInZOrderWhoseTitleContainsThePartInAnyCase) {
  x11::FakeDesktop desktop;
  desktop.windows = {
      {11, "Terminal", false}, {12, "ΣΥΣΤΗΜΑ Monitor", true}, {13, "Another monitor", false}};
  struct {
    const char* part;
    WindowOperation operation;
    WindowOperationResult result;
    std::vector<std::string> calls;
  } cases[] = {
      {"συστημα",
       WindowOperation::kMove,
       WindowOperationResult::kDone,
       {"restore 12", "activate 12", "move 12"}},
      {"MONITOR",
       WindowOperation::kClose,
       WindowOperationResult::kDone,
       {"activate 12", "close 12"}},
      {"calculator", WindowOperation::kMinimize, WindowOperationResult::kNotFound, {}},
  };
  for (const auto& c : cases) {
    desktop.calls.clear();
    EXPECT_EQ(RunWindowOperation(desktop, c.operation, c.part), c.result) << c.part;
    EXPECT_EQ(desktop.calls, c.calls) << c.part;
  }

  desktop.available = false;
  desktop.calls.clear();
  EXPECT_EQ(RunWindowOperation(desktop, WindowOperation::kClose, "term"),
            WindowOperationResult::kDesktopUnavailable);
  EXPECT_TRUE(desktop.calls.empty());
}

}  // namespace
}  // namespace vok::bar
