#include "cmdline/directory_commands.h"

#include <gtest/gtest.h>

#include <climits>

namespace vok::cmdline {
namespace {

struct StepCase {
  const char* name;
  std::optional<std::string> argument;
  LONG expected;
};

class StepCountTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepCountTest, ReadsTheStepCount) {
  EXPECT_EQ(GetParam().expected, StepCountFromArgument(GetParam().argument));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepCountTest,
    testing::Values(StepCase{"NoArgument", std::nullopt, 1}, StepCase{"Menu", "m", 0},
                    StepCase{"MenuUpperCase", "M", 0}, StepCase{"Zero", "0", -1},
                    StepCase{"Negative", "-3", -1}, StepCase{"Three", "3", 3},
                    StepCase{"Plus", "+2", 2}, StepCase{"TrailingText", "5abc", 5},
                    StepCase{"NoDigits", "abc", -1}, StepCase{"MenuWord", "menu", -1},
                    StepCase{"Empty", "", -1}, StepCase{"Huge", "99999999999", INT32_MAX}),
    [](const testing::TestParamInfo<StepCase>& info) { return info.param.name; });

TEST(QtNameFilterTest, RewritesPatternLists) {
  EXPECT_EQ("Programs (*.exe *.com *.bat)", QtNameFilter("Programs (*.exe;*.com;*.bat)"));
  EXPECT_EQ("All files (*)", QtNameFilter("All files (*.*)"));
  EXPECT_EQ("Docs (*.txt *.rtf)", QtNameFilter("Docs (*.txt;;*.rtf;)"));
  EXPECT_EQ("No patterns", QtNameFilter("No patterns"));
}

}  // namespace
}  // namespace vok::cmdline
