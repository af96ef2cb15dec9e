// The virtual-key codes the bar stores for its hot key, and their X keysyms and Qt keys.
//
// Stored codes: 0x08 Backspace, 0x09 Tab, 0x0D Return, 0x13 Pause, 0x1B Escape, 0x20 Space,
// 0x21-0x28 PageUp, PageDown, End, Home, Left, Up, Right, Down, 0x2D Insert, 0x2E Delete,
// 0x30-0x39 digits, 0x41-0x5A letters, 0x60-0x69 numeric-keypad digits, 0x70-0x87 F1-F24, and
// the punctuation keys of a US keyboard 0xBA-0xC0 (; = , - . / `) and 0xDB-0xDE ([ \ ] ').
//
// Each code has one keysym and one Qt key it converts to. The other direction also accepts
// what the same physical key reports in other states: upper-case letter keysyms, the shifted
// characters of the digit and punctuation keys ("!" is the 1 key), the keypad keys without
// NumLock (keypad Insert is Insert) and keypad Enter, as the hot-key setting names a key, not
// a character. The keypad's operator keys (+ - * / .) are keys the bar does not store: they
// give no code rather than passing for the main keyboard's keys of the same character.
#pragma once

#include <cstdint>

namespace vok::x11 {

using Keysym = uint32_t;

// A Qt key (a Qt::Key value) and whether it comes from the numeric keypad
// (Qt::KeypadModifier), which is what tells the keypad digits from the others.
struct QtKey {
  int key = 0;
  bool keypad = false;
};

// The keysym of a stored code; 0 when the code names no key.
Keysym KeysymFromVirtualKey(uint8_t virtualKey);
// The stored code of a keysym; 0 when the keysym is none of the keys above.
uint8_t VirtualKeyFromKeysym(Keysym keysym);

// The Qt key of a stored code; key 0 when the code names no key.
QtKey QtKeyFromVirtualKey(uint8_t virtualKey);
// The stored code of a key event's key; 0 when it is none of the keys above.
uint8_t VirtualKeyFromQtKey(QtKey key);

}  // namespace vok::x11
