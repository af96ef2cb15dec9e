// The "Alias Properties" dialog: edits the name, description and definition of an alias item.
// OK checks, in order, that the name is not empty, that it is not taken and that the
// definition is not blank; a failed check shows its message and keeps the dialog open, and the
// item is changed only when every check passed.
#pragma once

#include <QDialog>

#include "cmdline/dialog_support.h"
#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vok::cmdline {

struct AliasDialogOptions {
  // The item is already in the list: keeping its name (in any letter case) is no conflict.
  bool editsExisting = false;
  // Whether another command already uses a name; null: no name is taken.
  NameTakenFn isNameTaken;
  // Source of "Insert Command" (borrowed for the dialog's life); null disables the button.
  IvokCmdBrowser* browser = nullptr;
};

class AliasPropertiesDialog final : public QDialog {
 public:
  // `item` offers IvokFastListItem and IvokFastListItemAlias; the dialog holds a reference
  // while it lives.
  AliasPropertiesDialog(IUnknown* item, AliasDialogOptions options, QWidget* parent = nullptr);

  // Runs the dialog through the prompter; true when the user confirmed, and the item then
  // holds the new values. False at once for an item without the alias interfaces.
  static bool Edit(IUnknown* item, AliasDialogOptions options, QWidget* parent);

  // The insert buttons: the text goes to the caret of the definition.
  void InsertCommand();
  void InsertFileName();
  void InsertPath();
  // OK: the checks, then the item is updated and the dialog closes.
  void accept() override;

  QLineEdit* nameEdit() const { return name_; }
  QLineEdit* descriptionEdit() const { return description_; }
  QPlainTextEdit* definitionEdit() const { return definition_; }
  QLabel* hintText() const { return hint_; }
  QPushButton* insertCommandButton() const { return insertCommand_; }

 private:
  void BuildLayout();
  void LoadFields();
  void InsertAtCaret(const std::string& text);

  ComPtr<IvokFastListItem> keyed_;
  ComPtr<IvokFastListItemAlias> alias_;
  AliasDialogOptions options_;
  std::string originalName_;

  QLineEdit* name_ = nullptr;
  QLineEdit* description_ = nullptr;
  QPlainTextEdit* definition_ = nullptr;
  QLabel* hint_ = nullptr;
  QPushButton* insertCommand_ = nullptr;
};

}  // namespace vok::cmdline
