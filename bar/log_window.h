// The modal "Quillo Log" window: a "List View" tab with one row per entry (icon by entry type)
// and a "Text View" tab with the same texts one per line, plus "C&lear" and "&Close".
//
// The rows are filled by the tools library's iterator control, created by class identifier,
// so the program does not link that library. The last row is selected and scrolled into view
// when the window opens. Clear empties the log's own list as well as both views.
//
// Child object names, for the program's tests and styling: "tabs", "listView", "textView",
// "clearButton", "closeButton".
#pragma once

#include <QDialog>
#include <QList>

#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

class QIcon;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace vok::bar {

class LogWindow final : public QDialog {
 public:
  // `list` holds the entries and may be null (the window then opens empty); the window keeps a
  // reference while it lives. `owner` may be null.
  LogWindow(IvokFastList* list, QWidget* owner);

  // Fills the list view from the list and builds the text view; the iterator control's creation
  // status when it cannot be had.
  HRESULT Fill();

  // The images of the entry types, by image index (plain, error, information): theme icons with
  // built-in fallbacks.
  static QList<QIcon> EntryImages();

 private:
  void BuildTextView();
  void SelectLastRow();
  void ClearLog();

  ComPtr<IvokFastList> list_;
  QTabWidget* tabs_;
  QTreeWidget* listView_;
  QPlainTextEdit* textView_;
};

}  // namespace vok::bar
