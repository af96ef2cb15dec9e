#include "fileview/file_view_widget.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QStackedWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <utility>

#include "common/shell_exec_ifaces.h"
#include "fileview/file_view_model.h"

namespace vok::fileview {

// Reports the opening and closing of the in-place name editor and hands the edited name to
// the owner once the editor is gone, so that a message about a failed rename never appears
// while the editor still holds the focus. The model itself is never written.
class NameEditDelegate final : public QStyledItemDelegate {
 public:
  // `events` belongs to `owner`.
  NameEditDelegate(QWidget* owner, const FileViewEvents* events)
      : QStyledItemDelegate(owner), owner_(owner), events_(events) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor && !editing_) {
      editing_ = true;
      events_->renameBegins();
    }
    return editor;
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      pendingRow_ = QPersistentModelIndex(index);
      pendingName_ = line->text().toStdString();
    }
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    QStyledItemDelegate::destroyEditor(editor, index);
    Finish(true);
  }

  bool IsEditing() const { return editing_; }

  // Ends an open edit: the owner hears of the close and, when `rename` is set and a name was
  // committed, of the new name.
  void Finish(bool rename) const {
    if (!editing_) return;
    editing_ = false;
    QPersistentModelIndex row = std::exchange(pendingRow_, QPersistentModelIndex());
    std::string name = std::exchange(pendingName_, std::string());
    events_->renameEnds();
    if (!rename || !row.isValid()) return;
    const FileViewEvents* events = events_;
    QMetaObject::invokeMethod(
        owner_,
        [events, row, name] {
          if (row.isValid()) events->renamed(row.row(), name);
        },
        Qt::QueuedConnection);
  }

 private:
  QWidget* owner_;
  const FileViewEvents* events_;
  mutable bool editing_ = false;
  mutable QPersistentModelIndex pendingRow_;
  mutable std::string pendingName_;
};

std::array<int, 4> ColumnWidths(int clientWidth) {
  const int width = std::max(clientWidth, 0);
  const int u = width / 15;
  const int r = width % 15;
  return {r + 6 * u, 2 * u, 4 * u, 3 * u};
}

FileViewWidget::FileViewWidget(QWidget* parent, FileViewModel* model,
                               QItemSelectionModel* selection, FileViewEvents events)
    : QWidget(parent),
      model_(model),
      events_(std::move(events)),
      stack_(new QStackedWidget(this)),
      details_(new QTreeView),
      icons_(new QListView),
      detailsDelegate_(new NameEditDelegate(this, &events_)),
      iconsDelegate_(new NameEditDelegate(this, &events_)),
      style_(kListStyleDetails) {
  setObjectName(QStringLiteral("fileView"));
  details_->setObjectName(QStringLiteral("details"));
  icons_->setObjectName(QStringLiteral("icons"));
  stack_->addWidget(details_);
  stack_->addWidget(icons_);

  details_->setModel(model);
  details_->setRootIsDecorated(false);
  details_->setItemsExpandable(false);
  details_->setUniformRowHeights(true);
  details_->setAllColumnsShowFocus(true);
  QHeaderView* header = details_->header();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setStretchLastSection(false);
  connect(header, &QHeaderView::sectionClicked, this,
          [this](int column) { events_.headerClicked(column); });

  icons_->setModel(model);
  icons_->setModelColumn(FileViewModel::kNameColumn);
  // Positions are computed in batches and every item gets the size of the first, so a list
  // of 100,000 entries opens at once.
  icons_->setUniformItemSizes(true);
  icons_->setLayoutMode(QListView::Batched);
  icons_->setBatchSize(1000);

  SetUpView(details_, detailsDelegate_, selection);
  SetUpView(icons_, iconsDelegate_, selection);
  stack_->setCurrentWidget(details_);
}

FileViewWidget::~FileViewWidget() {
  // An editor still open when the window goes: the owner hears the close before the events go.
  detailsDelegate_->Finish(false);
  iconsDelegate_->Finish(false);
}

void FileViewWidget::SetUpView(QAbstractItemView* view, NameEditDelegate* delegate,
                               QItemSelectionModel* selection) {
  view->setSelectionModel(selection);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::EditKeyPressed);
  view->setItemDelegate(delegate);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  // The handlers run after the view's own event handling, so that they may refill the model.
  connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
    const QPoint global = view->viewport()->mapToGlobal(pos);
    QMetaObject::invokeMethod(
        this, [this, global] { events_.contextMenu(global); }, Qt::QueuedConnection);
  });
  connect(view, &QAbstractItemView::doubleClicked, this, [this] {
    QMetaObject::invokeMethod(
        this, [this] { events_.open(); }, Qt::QueuedConnection);
  });
}

bool FileViewWidget::SetViewStyle(LONG style) {
  switch (style) {
    case kListStyleDetails:
      stack_->setCurrentWidget(details_);
      break;
    case kListStyleIcons:
      icons_->setViewMode(QListView::IconMode);
      icons_->setIconSize(QSize(32, 32));
      icons_->setMovement(QListView::Static);
      icons_->setWordWrap(true);
      stack_->setCurrentWidget(icons_);
      break;
    case kListStyleSmallIcons:
    case kListStyleList:
      icons_->setViewMode(QListView::ListMode);
      icons_->setIconSize(QSize(16, 16));
      icons_->setFlow(style == kListStyleList ? QListView::TopToBottom : QListView::LeftToRight);
      icons_->setWrapping(true);
      icons_->setWordWrap(false);
      stack_->setCurrentWidget(icons_);
      break;
    default:
      return false;
  }
  style_ = style;
  return true;
}

void FileViewWidget::InitColumns() {
  const int scrollBar =
      details_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, details_);
  const std::array<int, 4> widths = ColumnWidths(width() - 2 * details_->frameWidth() - scrollBar);
  for (int column = 0; column < static_cast<int>(widths.size()); ++column)
    details_->setColumnWidth(column, widths[column]);
}

void FileViewWidget::ShowSortIndicator(int column, bool descending) {
  details_->header()->setSortIndicator(column,
                                       descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void FileViewWidget::FocusList() { CurrentView()->setFocus(); }

bool FileViewWidget::EditName(int row) {
  QAbstractItemView* view = CurrentView();
  const QModelIndex name = model_->index(row, FileViewModel::kNameColumn);
  if (!name.isValid()) return false;
  view->scrollTo(name);
  view->selectionModel()->setCurrentIndex(name, QItemSelectionModel::NoUpdate);
  view->edit(name);
  return (view == details_ ? detailsDelegate_ : iconsDelegate_)->IsEditing();
}

QAbstractItemView* FileViewWidget::CurrentView() const {
  return stack_->currentWidget() == details_ ? static_cast<QAbstractItemView*>(details_) : icons_;
}

void FileViewWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  stack_->setGeometry(rect());
}

}  // namespace vok::fileview
