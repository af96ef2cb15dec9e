// "Application Context Folder": edits one context folder of the options page (the title
// pattern, the folder with a browse button, match case and whole title only).
#pragma once

#include <QDialog>
#include <optional>

#include "bar/bar_host.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vok::bar {

class ContextFolderDialog final : public QDialog {
 public:
  explicit ContextFolderDialog(const ContextFolder& record, QWidget* parent = nullptr);

  // Runs the dialog through the prompter; the edited record, or nullopt when cancelled.
  static std::optional<ContextFolder> Edit(const ContextFolder& record, QWidget* parent);

  // The record as the fields show it.
  ContextFolder record() const;

  // The "..." button: the folder browser, starting at the typed folder; a chosen folder
  // replaces the field's text.
  void Browse();

  QLineEdit* titleEdit() const { return title_; }
  QLineEdit* folderEdit() const { return folder_; }
  QPushButton* browseButton() const { return browse_; }
  QCheckBox* matchCaseBox() const { return matchCase_; }
  QCheckBox* wholeTitleBox() const { return wholeTitle_; }

 private:
  QLineEdit* title_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QPushButton* browse_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QCheckBox* wholeTitle_ = nullptr;
};

}  // namespace vok::bar
