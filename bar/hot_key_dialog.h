// The bar's hot key as the options page edits it: the key-capture field, the text it shows
// ("Ctrl+Alt+Q") and the "Set Hot Key" dialog.
//
// A hot key must hold Ctrl or Alt: a key pressed alone or with Shift only becomes
// Ctrl+Alt+key. Keys are stored as virtual-key codes (platform/x11/virtual_keys.h) with the
// modifier bits x11::kHotKeyShift, kHotKeyCtrl and kHotKeyAlt.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <optional>

class QKeyEvent;

namespace vok::bar {

struct HotKey {
  uint8_t code = 0;  // virtual-key code, 0 = none
  uint8_t modifiers = 0;
  bool operator==(const HotKey&) const = default;
};

// The hot key a key press makes, with the Ctrl or Alt rule applied; nullopt when `qtKey` is
// no key the bar can store (a modifier alone, a key without a virtual-key code).
std::optional<HotKey> HotKeyFromKeyPress(int qtKey, Qt::KeyboardModifiers modifiers);

// "Ctrl+Alt+Q", "Shift+Ctrl+F5"...; "" for no key.
QString HotKeyText(HotKey key);

// A field that shows a hot key and takes the next key combination pressed in it. Tab and
// Shift+Tab move the focus; Escape and Return alone are left to the dialog; Backspace or
// Delete alone clear the key.
class HotKeyEdit final : public QLineEdit {
 public:
  explicit HotKeyEdit(QWidget* parent = nullptr);

  HotKey hotKey() const { return key_; }
  void setHotKey(HotKey key);
  // Called after the user changed the key.
  void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  HotKey key_;
  std::function<void()> changed_;
};

// "Set Hot Key": the field preset with a key, the explaining text, OK and Cancel.
class HotKeyDialog final : public QDialog {
 public:
  explicit HotKeyDialog(HotKey initial, QWidget* parent = nullptr);

  // Runs the dialog through the prompter; the key chosen, or nullopt when cancelled.
  static std::optional<HotKey> Choose(HotKey initial, QWidget* parent);

  HotKeyEdit* edit() const { return edit_; }

 private:
  HotKeyEdit* edit_ = nullptr;
};

}  // namespace vok::bar
