#include "platform/x11/virtual_keys.h"

#include <gtest/gtest.h>

#include <Qt>
#include <cstdio>
#include <string>

#define XK_MISCELLANY
#define XK_LATIN1
#define XK_XKB_KEYS
#include <X11/keysymdef.h>

namespace vok::x11 {
namespace {

struct KeyCase {
  uint8_t virtualKey;
  Keysym keysym;
  QtKey qt;
};

// One or two codes of every group, including both ends of each range.
const KeyCase kKeys[] = {
    {0x08, XK_BackSpace, {Qt::Key_Backspace}},
    {0x09, XK_Tab, {Qt::Key_Tab}},
    {0x0D, XK_Return, {Qt::Key_Return}},
    {0x13, XK_Pause, {Qt::Key_Pause}},
    {0x1B, XK_Escape, {Qt::Key_Escape}},
    {0x20, XK_space, {Qt::Key_Space}},
    {0x21, XK_Prior, {Qt::Key_PageUp}},
    {0x22, XK_Next, {Qt::Key_PageDown}},
    {0x23, XK_End, {Qt::Key_End}},
    {0x24, XK_Home, {Qt::Key_Home}},
    {0x25, XK_Left, {Qt::Key_Left}},
    {0x26, XK_Up, {Qt::Key_Up}},
    {0x27, XK_Right, {Qt::Key_Right}},
    {0x28, XK_Down, {Qt::Key_Down}},
    {0x2D, XK_Insert, {Qt::Key_Insert}},
    {0x2E, XK_Delete, {Qt::Key_Delete}},
    {0x30, XK_0, {Qt::Key_0}},
    {0x39, XK_9, {Qt::Key_9}},
    {0x41, XK_a, {Qt::Key_A}},
    {0x5A, XK_z, {Qt::Key_Z}},
    {0x60, XK_KP_0, {Qt::Key_0, true}},
    {0x69, XK_KP_9, {Qt::Key_9, true}},
    {0x70, XK_F1, {Qt::Key_F1}},
    {0x7B, XK_F12, {Qt::Key_F12}},
    {0x87, XK_F24, {Qt::Key_F24}},
    {0xBA, XK_semicolon, {Qt::Key_Semicolon}},
    {0xBB, XK_equal, {Qt::Key_Equal}},
    {0xBC, XK_comma, {Qt::Key_Comma}},
    {0xBD, XK_minus, {Qt::Key_Minus}},
    {0xBE, XK_period, {Qt::Key_Period}},
    {0xBF, XK_slash, {Qt::Key_Slash}},
    {0xC0, XK_grave, {Qt::Key_QuoteLeft}},
    {0xDB, XK_bracketleft, {Qt::Key_BracketLeft}},
    {0xDC, XK_backslash, {Qt::Key_Backslash}},
    {0xDD, XK_bracketright, {Qt::Key_BracketRight}},
    {0xDE, XK_apostrophe, {Qt::Key_Apostrophe}},
};

class VirtualKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyTest, ConvertsBothWays) {
  const KeyCase& key = GetParam();
  EXPECT_EQ(KeysymFromVirtualKey(key.virtualKey), key.keysym);
  EXPECT_EQ(VirtualKeyFromKeysym(key.keysym), key.virtualKey);
  QtKey qt = QtKeyFromVirtualKey(key.virtualKey);
  EXPECT_EQ(qt.key, key.qt.key);
  EXPECT_EQ(qt.keypad, key.qt.keypad);
  EXPECT_EQ(VirtualKeyFromQtKey(key.qt), key.virtualKey);
}

INSTANTIATE_TEST_SUITE_P(StoredCodes, VirtualKeyTest, testing::ValuesIn(kKeys),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                           char name[16];
                           std::snprintf(name, sizeof(name), "Code%02X", info.param.virtualKey);
                           return std::string(name);
                         });

// Every code of the ranges maps to a key and back to itself: a gap or an off-by-one in a range
// shows here even where the table above has no sample.
TEST(VirtualKeys, EveryStoredCodeRoundTrips) {
  const std::pair<int, int> ranges[] = {{0x21, 0x28}, {0x30, 0x39}, {0x41, 0x5A}, {0x60, 0x69},
                                        {0x70, 0x87}, {0xBA, 0xC0}, {0xDB, 0xDE}};
  for (auto [first, last] : ranges) {
    for (int code = first; code <= last; ++code) {
      SCOPED_TRACE(code);
      Keysym keysym = KeysymFromVirtualKey(uint8_t(code));
      ASSERT_NE(keysym, 0u);
      EXPECT_EQ(VirtualKeyFromKeysym(keysym), code);
      EXPECT_EQ(VirtualKeyFromQtKey(QtKeyFromVirtualKey(uint8_t(code))), code);
    }
  }
}

TEST(VirtualKeys, CodesOutsideTheListNameNoKey) {
  for (int code : {0x00, 0x01, 0x0C, 0x10, 0x11, 0x12, 0x14, 0x29, 0x2F, 0x3A,
                   0x40, 0x5B, 0x6A, 0x6F, 0x88, 0xB9, 0xC1, 0xDA, 0xDF, 0xFF}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(KeysymFromVirtualKey(uint8_t(code)), 0u);
    EXPECT_EQ(QtKeyFromVirtualKey(uint8_t(code)).key, 0);
  }
}

// What the same physical key reports in another state names the same stored key; the
// keypad's operator keys have codes the bar does not store and must not pass for the main
// keyboard's keys of the same character.
TEST(VirtualKeys, OtherStatesOfAKeyGiveItsCode) {
  const std::pair<Keysym, int> keysyms[] = {{XK_A, 0x41},
                                            {XK_Z, 0x5A},
                                            {XK_exclam, 0x31},
                                            {XK_parenright, 0x30},
                                            {XK_colon, 0xBA},
                                            {XK_asciitilde, 0xC0},
                                            {XK_quotedbl, 0xDE},
                                            {XK_bar, 0xDC},
                                            {XK_ISO_Left_Tab, 0x09},
                                            {XK_KP_Enter, 0x0D},
                                            {XK_KP_Insert, 0x2D},
                                            {XK_KP_Delete, 0x2E},
                                            {XK_KP_Prior, 0x21},
                                            {XK_KP_Subtract, 0},
                                            {XK_KP_Add, 0},
                                            {XK_KP_Decimal, 0},
                                            {0, 0}};
  for (auto [keysym, code] : keysyms) {
    EXPECT_EQ(VirtualKeyFromKeysym(keysym), code) << "keysym " << keysym;
  }
  const std::pair<QtKey, int> qtKeys[] = {{{Qt::Key_Exclam}, 0x31},
                                          {{Qt::Key_ParenRight}, 0x30},
                                          {{Qt::Key_Colon}, 0xBA},
                                          {{Qt::Key_Question}, 0xBF},
                                          {{Qt::Key_BraceRight}, 0xDD},
                                          {{Qt::Key_Backtab}, 0x09},
                                          {{Qt::Key_Enter, true}, 0x0D},
                                          {{Qt::Key_Insert, true}, 0x2D},
                                          {{Qt::Key_PageDown, true}, 0x22},
                                          {{Qt::Key_Minus, true}, 0},
                                          {{Qt::Key_Plus, true}, 0},
                                          {{Qt::Key_Asterisk, true}, 0},
                                          {{Qt::Key_Period, true}, 0},
                                          {{Qt::Key_Shift}, 0},
                                          {{0}, 0}};
  for (auto [qt, code] : qtKeys) {
    EXPECT_EQ(VirtualKeyFromQtKey(qt), code) << "key " << qt.key << " keypad " << qt.keypad;
  }
}

}  // namespace
}  // namespace vok::x11
