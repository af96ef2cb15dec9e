#include "bar/hot_key_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QVBoxLayout>

#include "bar/resources/bar_strings.h"
#include "platform/ui/prompter.h"
#include "platform/x11/desktop.h"
#include "platform/x11/virtual_keys.h"

namespace vok::bar {
namespace {

uint8_t ModifierBits(Qt::KeyboardModifiers modifiers) {
  uint8_t bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= x11::kHotKeyShift;
  if (modifiers & Qt::ControlModifier) bits |= x11::kHotKeyCtrl;
  if (modifiers & Qt::AltModifier) bits |= x11::kHotKeyAlt;
  return bits;
}

bool IsPlainKey(const QKeyEvent& event, Qt::Key key) {
  const Qt::KeyboardModifiers held =
      event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  return event.key() == key && held == Qt::NoModifier;
}

}  // namespace

std::optional<HotKey> HotKeyFromKeyPress(int qtKey, Qt::KeyboardModifiers modifiers) {
  const uint8_t code = x11::VirtualKeyFromQtKey({qtKey, (modifiers & Qt::KeypadModifier) != 0});
  if (code == 0) return std::nullopt;
  uint8_t bits = ModifierBits(modifiers);
  // A hot key nobody could type by accident: it needs Ctrl or Alt.
  if ((bits & (x11::kHotKeyCtrl | x11::kHotKeyAlt)) == 0) bits = x11::kHotKeyCtrl | x11::kHotKeyAlt;
  return HotKey{code, bits};
}

QString HotKeyText(HotKey key) {
  const x11::QtKey qt = x11::QtKeyFromVirtualKey(key.code);
  if (qt.key == 0) return {};
  int combination = qt.key;
  if (qt.keypad) combination |= Qt::KeypadModifier;
  if (key.modifiers & x11::kHotKeyShift) combination |= Qt::ShiftModifier;
  if (key.modifiers & x11::kHotKeyCtrl) combination |= Qt::ControlModifier;
  if (key.modifiers & x11::kHotKeyAlt) combination |= Qt::AltModifier;
  return QKeySequence(combination).toString(QKeySequence::PortableText);
}

// ---------------------------------------------------------------------------------------------
// HotKeyEdit

HotKeyEdit::HotKeyEdit(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QStringLiteral("hotKeyEdit"));
  // The text follows the key; the user never types into it.
  setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
}

void HotKeyEdit::setHotKey(HotKey key) {
  key_ = key;
  setText(HotKeyText(key));
}

bool HotKeyEdit::event(QEvent* event) {
  // Combinations with Ctrl or Alt are the field's, not the dialog's mnemonics or shortcuts.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
      event->accept();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void HotKeyEdit::keyPressEvent(QKeyEvent* event) {
  if (IsPlainKey(*event, Qt::Key_Escape) || IsPlainKey(*event, Qt::Key_Return) ||
      IsPlainKey(*event, Qt::Key_Enter)) {
    event->ignore();  // the dialog's Cancel and OK
    return;
  }
  event->accept();
  HotKey key;
  if (IsPlainKey(*event, Qt::Key_Backspace) || IsPlainKey(*event, Qt::Key_Delete)) {
    key = HotKey{};
  } else if (std::optional<HotKey> pressed = HotKeyFromKeyPress(event->key(), event->modifiers())) {
    key = *pressed;
  } else {
    return;  // a modifier on its own: wait for the key
  }
  if (key == key_) return;
  setHotKey(key);
  if (changed_) changed_();
}

// ---------------------------------------------------------------------------------------------
// HotKeyDialog

HotKeyDialog::HotKeyDialog(HotKey initial, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("hotKeyDialog"));
  setWindowTitle(QString::fromStdString(BarString(kIdsSetHotKeyCaption)));
  auto* text = new QLabel(QString::fromStdString(BarString(kIdsSetHotKeyText)));
  text->setWordWrap(true);
  edit_ = new HotKeyEdit;
  edit_->setHotKey(initial);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  edit_->setFocus();
}

std::optional<HotKey> HotKeyDialog::Choose(HotKey initial, QWidget* parent) {
  HotKeyDialog dialog(initial, parent);
  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.edit()->hotKey();
}

}  // namespace vok::bar
