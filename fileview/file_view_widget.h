// The window of the file view: the details view (a tree view with the four columns) and the
// icon, small-icon and list views (one list view in different modes), stacked, sharing one
// model and one selection. In-place renaming of a name goes through a delegate that reports
// when the editor opens and closes.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "common/vok_types.h"

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QTreeView;

namespace vok::fileview {

class FileViewModel;
class NameEditDelegate;

// Column widths of the details view for a client width `clientWidth`: with u = width / 15
// and r = width % 15, Name r + 6u, Size 2u, Type 4u, Modified 3u.
std::array<int, 4> ColumnWidths(int clientWidth);

// What the window reports to its owner, on the user-interface thread. Every callback must be
// set.
struct FileViewEvents {
  std::function<void()> open;                      // a row was double-clicked
  std::function<void(const QPoint&)> contextMenu;  // right click, at this screen point
  std::function<void(int)> headerClicked;          // the column whose header was clicked
  std::function<void()> renameBegins;              // an in-place editor opened
  std::function<void()> renameEnds;                // ... and closed, in every case
  // The name of row `row` was edited to `name` (called after the editor has closed).
  std::function<void(int row, const std::string& name)> renamed;
};

class FileViewWidget final : public QWidget {
 public:
  // `model` and `selection` are not owned and must outlive the widget.
  FileViewWidget(QWidget* parent, FileViewModel* model, QItemSelectionModel* selection,
                 FileViewEvents events);
  ~FileViewWidget() override;

  // kListStyle* of common/shell_exec_ifaces.h; false for another value.
  bool SetViewStyle(LONG style);
  LONG ViewStyle() const { return style_; }
  // Sets the details view's column widths from the window's width.
  void InitColumns();
  void ShowSortIndicator(int column, bool descending);
  void FocusList();
  // Opens the in-place editor on the name of row `row`; false when it could not open.
  bool EditName(int row);

  QAbstractItemView* CurrentView() const;
  QTreeView* DetailsView() const { return details_; }
  QListView* IconsView() const { return icons_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetUpView(QAbstractItemView* view, NameEditDelegate* delegate,
                 QItemSelectionModel* selection);

  FileViewModel* model_;
  FileViewEvents events_;
  QStackedWidget* stack_;
  QTreeView* details_;
  QListView* icons_;
  // One per view: a delegate's editor signals reach every view it serves.
  NameEditDelegate* detailsDelegate_;
  NameEditDelegate* iconsDelegate_;
  LONG style_;
};

}  // namespace vok::fileview
