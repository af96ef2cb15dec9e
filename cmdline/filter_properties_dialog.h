// The "Filter Properties" dialog: edits the shortcut, description and definition of a filter
// item. OK checks, in order, that the shortcut is not blank, that it is not taken and that the
// definition is not blank; a failed check shows its message (caption "Filters") and keeps the
// dialog open, and the item is changed only when every check passed.
#pragma once

#include <QDialog>
#include <string>

#include "cmdline/dialog_support.h"
#include "common/fast_list_ifaces.h"
#include "common/shell_exec_ifaces.h"
#include "platform/com/com_ptr.h"

class QLineEdit;

namespace vok::cmdline {

struct FilterDialogOptions {
  // The item is already listed: keeping its shortcut (in any letter case) is no conflict.
  bool editsExisting = false;
  // Whether a shortcut is taken; null: none is.
  NameTakenFn isNameTaken;
};

class FilterPropertiesDialog final : public QDialog {
 public:
  // `item` offers IvokFastListItem and IvokFastListItemFilter; the dialog holds a reference
  // while it lives.
  FilterPropertiesDialog(IUnknown* item, FilterDialogOptions options, QWidget* parent = nullptr);

  // Runs the dialog through the prompter; true when the user confirmed, and the item then
  // holds the new values. False at once for an item without the filter interfaces.
  static bool Edit(IUnknown* item, FilterDialogOptions options, QWidget* parent);

  // OK: the checks, then the item is updated and the dialog closes.
  void accept() override;

  QLineEdit* shortcutEdit() const { return shortcut_; }
  QLineEdit* descriptionEdit() const { return description_; }
  QLineEdit* definitionEdit() const { return definition_; }

 private:
  void BuildLayout();
  void LoadFields();

  ComPtr<IvokFastListItem> keyed_;
  ComPtr<IvokFastListItemFilter> filter_;
  FilterDialogOptions options_;
  std::string originalKey_;

  QLineEdit* shortcut_ = nullptr;
  QLineEdit* description_ = nullptr;
  QLineEdit* definition_ = nullptr;
};

}  // namespace vok::cmdline
