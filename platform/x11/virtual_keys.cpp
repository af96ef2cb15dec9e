#include "platform/x11/virtual_keys.h"

#include <Qt>
#include <vector>

#define XK_MISCELLANY
#define XK_LATIN1
#define XK_XKB_KEYS
#include <X11/keysymdef.h>

namespace vok::x11 {
namespace {

struct KeyEntry {
  uint8_t virtualKey;
  Keysym keysym;
  QtKey qt;
};

// Other keysyms or Qt keys the same physical key reports (see the header).
struct KeysymAlias {
  Keysym keysym;
  uint8_t virtualKey;
};
struct QtAlias {
  QtKey qt;
  uint8_t virtualKey;
};

std::vector<KeyEntry> BuildKeys() {
  std::vector<KeyEntry> keys = {
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
  for (int i = 0; i < 10; ++i) {
    keys.push_back({uint8_t(0x30 + i), Keysym(XK_0 + i), {Qt::Key_0 + i}});
    keys.push_back({uint8_t(0x60 + i), Keysym(XK_KP_0 + i), {Qt::Key_0 + i, true}});
  }
  // Letters: the unshifted keysym is the lower-case one; Qt names the key by its capital.
  for (int i = 0; i < 26; ++i) {
    keys.push_back({uint8_t(0x41 + i), Keysym(XK_a + i), {Qt::Key_A + i}});
  }
  for (int i = 0; i < 24; ++i) {
    keys.push_back({uint8_t(0x70 + i), Keysym(XK_F1 + i), {Qt::Key_F1 + i}});
  }
  return keys;
}

const std::vector<KeyEntry>& Keys() {
  static const std::vector<KeyEntry> keys = BuildKeys();
  return keys;
}

// The shifted characters of the digit row and the punctuation keys on a US keyboard; keysyms
// of printable Latin-1 characters equal their code points, as do Qt's keys for them.
struct ShiftedCharacter {
  char character;
  uint8_t virtualKey;
};
constexpr ShiftedCharacter kShifted[] = {
    {')', 0x30}, {'!', 0x31}, {'@', 0x32}, {'#', 0x33}, {'$', 0x34}, {'%', 0x35}, {'^', 0x36},
    {'&', 0x37}, {'*', 0x38}, {'(', 0x39}, {':', 0xBA}, {'+', 0xBB}, {'<', 0xBC}, {'_', 0xBD},
    {'>', 0xBE}, {'?', 0xBF}, {'~', 0xC0}, {'{', 0xDB}, {'|', 0xDC}, {'}', 0xDD}, {'"', 0xDE},
};

std::vector<KeysymAlias> BuildKeysymAliases() {
  std::vector<KeysymAlias> aliases = {
      {XK_ISO_Left_Tab, 0x09}, {XK_KP_Enter, 0x0D}, {XK_KP_Space, 0x20}, {XK_KP_Prior, 0x21},
      {XK_KP_Next, 0x22},      {XK_KP_End, 0x23},   {XK_KP_Home, 0x24},  {XK_KP_Left, 0x25},
      {XK_KP_Up, 0x26},        {XK_KP_Right, 0x27}, {XK_KP_Down, 0x28},  {XK_KP_Insert, 0x2D},
      {XK_KP_Delete, 0x2E},
  };
  for (int i = 0; i < 26; ++i) aliases.push_back({Keysym(XK_A + i), uint8_t(0x41 + i)});
  for (const ShiftedCharacter& shifted : kShifted) {
    aliases.push_back({Keysym(static_cast<unsigned char>(shifted.character)), shifted.virtualKey});
  }
  return aliases;
}

std::vector<QtAlias> BuildQtAliases() {
  std::vector<QtAlias> aliases = {
      {{Qt::Key_Backtab}, 0x09},
      {{Qt::Key_Enter, true}, 0x0D},
      {{Qt::Key_Enter}, 0x0D},
  };
  for (const ShiftedCharacter& shifted : kShifted) {
    aliases.push_back({{static_cast<unsigned char>(shifted.character)}, shifted.virtualKey});
  }
  return aliases;
}

}  // namespace

Keysym KeysymFromVirtualKey(uint8_t virtualKey) {
  for (const KeyEntry& entry : Keys()) {
    if (entry.virtualKey == virtualKey) return entry.keysym;
  }
  return 0;
}

uint8_t VirtualKeyFromKeysym(Keysym keysym) {
  if (keysym == 0) return 0;
  for (const KeyEntry& entry : Keys()) {
    if (entry.keysym == keysym) return entry.virtualKey;
  }
  static const std::vector<KeysymAlias> aliases = BuildKeysymAliases();
  for (const KeysymAlias& alias : aliases) {
    if (alias.keysym == keysym) return alias.virtualKey;
  }
  return 0;
}

QtKey QtKeyFromVirtualKey(uint8_t virtualKey) {
  for (const KeyEntry& entry : Keys()) {
    if (entry.virtualKey == virtualKey) return entry.qt;
  }
  return {};
}

uint8_t VirtualKeyFromQtKey(QtKey key) {
  if (key.key == 0) return 0;
  for (const KeyEntry& entry : Keys()) {
    if (entry.qt.key == key.key && entry.qt.keypad == key.keypad) return entry.virtualKey;
  }
  static const std::vector<QtAlias> aliases = BuildQtAliases();
  for (const QtAlias& alias : aliases) {
    if (alias.qt.key == key.key && alias.qt.keypad == key.keypad) return alias.virtualKey;
  }
  // Without NumLock the keypad reports the editing and cursor keys (keypad 0 is Insert); its
  // operator keys have codes of their own that the bar does not store, so they give none.
  if (key.keypad) {
    for (const KeyEntry& entry : Keys()) {
      if (entry.qt.key == key.key && entry.virtualKey < 0x30) return entry.virtualKey;
    }
  }
  return 0;
}

}  // namespace vok::x11
