// The "Favorite Properties" dialog: edits the shortcut, description, definition and (folders
// only) the explorer-tree choice of a favorite item, with a browse button suited to its type.
// OK checks, in order, that the shortcut is not empty, that it is not taken and that the
// definition is not blank; a failed check shows its message and keeps the dialog open, and the
// item is changed only when every check passed.
#pragma once

#include <QDialog>

#include "cmdline/dialog_support.h"
#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vok::cmdline {

struct FavoriteDialogOptions {
  // The item is already in the list: keeping its name (in any letter case) is no conflict.
  // A new link favorite with an empty definition starts with "http://".
  bool editsExisting = false;
  // Whether another command already uses a name; null: no name is taken.
  NameTakenFn isNameTaken;
};

class FavoritePropertiesDialog final : public QDialog {
 public:
  // `item` offers IvokFastListItem and IvokFastListItemFavorite; its data word is the type.
  // The dialog holds a reference while it lives.
  FavoritePropertiesDialog(IUnknown* item, FavoriteDialogOptions options,
                           QWidget* parent = nullptr);

  // Runs the dialog through the prompter; true when the user confirmed, and the item then
  // holds the new values. False at once for an item without the favorite interfaces.
  static bool Edit(IUnknown* item, FavoriteDialogOptions options, QWidget* parent);

  // The ". . ." button: a folder, file or program chosen through the prompter replaces the
  // definition. Links and other favorites have nothing to browse.
  void Browse();
  // OK: the checks, then the item is updated and the dialog closes.
  void accept() override;

  QLineEdit* shortcutEdit() const { return shortcut_; }
  QCheckBox* treeCheck() const { return tree_; }
  QLineEdit* descriptionEdit() const { return description_; }
  QLineEdit* definitionEdit() const { return definition_; }
  QPushButton* browseButton() const { return browse_; }

 private:
  void BuildLayout();
  void LoadFields();

  ComPtr<IvokFastListItem> keyed_;
  ComPtr<IvokFastListItemFavorite> favorite_;
  FavoriteDialogOptions options_;
  ULONG type_ = kFavoriteFile;
  std::string originalName_;

  QLineEdit* shortcut_ = nullptr;
  QCheckBox* tree_ = nullptr;
  QLineEdit* description_ = nullptr;
  QLineEdit* definition_ = nullptr;
  QPushButton* browse_ = nullptr;
};

}  // namespace vok::cmdline
