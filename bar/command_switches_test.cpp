#include "bar/command_switches.h"

#include <gtest/gtest.h>

namespace vok::bar {
namespace {

struct SwitchCase {
  const char* line;
  Switch expected;
};
void PrintTo(const SwitchCase& c, std::ostream* out) { *out << '"' << c.line << '"'; }

class CommandSwitchesTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(CommandSwitchesTest, FindsTheSwitchThatEndsTheLine) {
  EXPECT_EQ(GetParam().expected, FindSwitch(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandSwitchesTest,
    testing::Values(SwitchCase{"", Switch::kNone}, SwitchCase{"RegServer", Switch::kNone},
                    SwitchCase{"/RegServer", Switch::kRegServer},
                    SwitchCase{"-regserver", Switch::kRegServer},
                    SwitchCase{"/UNREGSERVER", Switch::kUnregServer},
                    SwitchCase{"-UnregServer", Switch::kUnregServer},
                    // The whole rest of the line is compared: anything after the word fails.
                    SwitchCase{"/RegServer extra", Switch::kNone},
                    SwitchCase{"/RegServer ", Switch::kNone}, SwitchCase{"/Reg", Switch::kNone},
                    // A later mark is tried when an earlier one does not match.
                    SwitchCase{"file.qdx -RegServer", Switch::kRegServer},
                    SwitchCase{"-x /UnregServer", Switch::kUnregServer},
                    SwitchCase{"--RegServer", Switch::kRegServer},
                    SwitchCase{"/home/me/-RegServer", Switch::kRegServer},
                    SwitchCase{"-RegServer/", Switch::kNone}));

TEST(JoinArgumentsTest, JoinsEverythingAfterTheProgramWithBlanks) {
  const char* const none[] = {"quillo"};
  EXPECT_EQ("", JoinArguments(1, none));
  const char* const some[] = {"quillo", "/RegServer", "a b"};
  EXPECT_EQ("/RegServer a b", JoinArguments(3, some));
}

}  // namespace
}  // namespace vok::bar
