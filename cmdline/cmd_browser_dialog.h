// The "Command Browser" dialog: every engine's commands as a tree, a wildcard search through
// it with a remembered list of search texts, the selected command's texts, and the resulting
// command line that the caller receives.
//
// The buttons' actions are public so that they can be driven without exec().
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "common/engine_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vok::cmdline {

class CmdBrowserDialog final : public QDialog {
 public:
  // `container` (borrowed for the call) fills the tree and describes commands through
  // IvokCommandInfo; without that interface the tree stays empty. `history` may be null (no
  // remembered search texts); the dialog keeps a reference to it while it lives.
  CmdBrowserDialog(IUnknown* container, IvokFastList* history, QWidget* parent = nullptr);

  // The command confirmed by accept() (cut to 511 bytes and trimmed); empty before.
  const std::string& resultCommand() const { return result_; }

  // "Find Next": files the trimmed find text in the history, then selects the next node after
  // the selected one (display order, no wrap-around) whose text matches it as a wildcard
  // pattern, or tells the user that there is none.
  void FindNext();
  // "Copy From Command Tree": the selected command's text becomes the resulting command.
  void CopyFromTree();
  // "Use The Resulting Command".
  void accept() override;

  QTreeWidget* tree() const { return tree_; }
  QComboBox* findBox() const { return findBox_; }
  QLineEdit* resultEdit() const { return resultEdit_; }
  QLabel* descriptionText() const { return description_; }
  QLabel* definitionText() const { return definition_; }
  QPushButton* copyButton() const { return copyButton_; }

 private:
  void BuildLayout();
  void FillTree();
  void FillFindHistory();
  void ShowSelection();
  // Command nodes carry item data 1; group nodes 0.
  static bool IsCommand(const QTreeWidgetItem* item);
  // The selected node, or null.
  QTreeWidgetItem* SelectedItem() const;
  // Every node depth-first: children before the next sibling.
  std::vector<QTreeWidgetItem*> ItemsInDisplayOrder() const;

  ComPtr<IvokCommandInfo> info_;
  ComPtr<IvokFastList> history_;
  std::string result_;

  QTreeWidget* tree_ = nullptr;
  QComboBox* findBox_ = nullptr;
  QLineEdit* resultEdit_ = nullptr;
  QLabel* description_ = nullptr;
  QLabel* definition_ = nullptr;
  QPushButton* copyButton_ = nullptr;
};

}  // namespace vok::cmdline
