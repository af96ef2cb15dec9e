#include "bar/hot_key_dialog.h"

#include <gtest/gtest.h>

#include <ostream>

#include "platform/x11/desktop.h"

namespace vok::bar {
namespace {

constexpr uint8_t kCtrlAlt = x11::kHotKeyCtrl | x11::kHotKeyAlt;

struct PressCase {
  const char* name;
  int key;
  Qt::KeyboardModifiers modifiers;
  std::optional<HotKey> expected;
};
void PrintTo(const PressCase& c, std::ostream* out) { *out << c.name; }

class HotKeyPressTest : public testing::TestWithParam<PressCase> {};

TEST_P(HotKeyPressTest, NeedsCtrlOrAlt) {
  const PressCase& c = GetParam();
  EXPECT_EQ(HotKeyFromKeyPress(c.key, c.modifiers), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HotKeyPressTest,
    testing::Values(
        PressCase{"KeyAloneGetsCtrlAlt", Qt::Key_Q, Qt::NoModifier, HotKey{0x51, kCtrlAlt}},
        PressCase{"ShiftOnlyBecomesCtrlAlt", Qt::Key_Q, Qt::ShiftModifier, HotKey{0x51, kCtrlAlt}},
        PressCase{"CtrlIsKept", Qt::Key_F5, Qt::ControlModifier, HotKey{0x74, x11::kHotKeyCtrl}},
        PressCase{"ShiftWithAltIsKept", Qt::Key_End, Qt::ShiftModifier | Qt::AltModifier,
                  HotKey{0x23, x11::kHotKeyShift | x11::kHotKeyAlt}},
        // The shifted 1 key reports "!"; the key is what is stored.
        PressCase{"ShiftedDigitIsItsKey", Qt::Key_Exclam, Qt::ShiftModifier | Qt::ControlModifier,
                  HotKey{0x31, x11::kHotKeyShift | x11::kHotKeyCtrl}},
        PressCase{"KeypadDigit", Qt::Key_5, Qt::KeypadModifier | Qt::AltModifier,
                  HotKey{0x65, x11::kHotKeyAlt}},
        PressCase{"ModifierAloneIsNoKey", Qt::Key_Control, Qt::ControlModifier, std::nullopt},
        PressCase{"UnstorableKeyIsNoKey", Qt::Key_VolumeUp, Qt::ControlModifier, std::nullopt}),
    [](const testing::TestParamInfo<PressCase>& info) { return info.param.name; });

TEST(HotKeyTextTest, NamesTheCombination) {
  EXPECT_EQ(HotKeyText({0x51, kCtrlAlt}).toStdString(), "Ctrl+Alt+Q");
  EXPECT_EQ(HotKeyText({0x74, x11::kHotKeyShift | x11::kHotKeyCtrl}).toStdString(),
            "Ctrl+Shift+F5");
  EXPECT_EQ(HotKeyText({}).toStdString(), "");
}

}  // namespace
}  // namespace vok::bar
