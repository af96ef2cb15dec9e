#include "cmdline/pp_shell_exec.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "cmdline/cmdline_icons.h"
#include "cmdline/dialog_support.h"
#include "cmdline/fast_list_item_filter.h"
#include "cmdline/filter_properties_dialog.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/container_ifaces.h"
#include "common/engine_ifaces.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

using vok::LoadStringResource;
using vok::cmdline::ItemKey;
using vok::cmdline::kCmdLineResources;
using vok::cmdline::kIdsCaptionFilters;
using vok::cmdline::kIdsColumnDefinition;
using vok::cmdline::kIdsColumnDescription;
using vok::cmdline::kIdsColumnShortcut;
using vok::cmdline::kIdsConfirmDelete;
using vok::cmdline::kIdsDetails;
using vok::cmdline::kIdsLargeIcons;
using vok::cmdline::kIdsList;
using vok::cmdline::kIdsNoItemSelected;
using vok::cmdline::kIdsShellExecDocString;
using vok::cmdline::kIdsShellExecHelpFile;
using vok::cmdline::kIdsSmallIcons;
using vok::cmdline::kIdsTooManyItems;
using vok::cmdline::LoadUiString;

namespace {

// The page's size: 290 x 180 dialog units.
vok::PropertyPageInfo PageInfo() {
  vok::PropertyPageInfo info;
  info.titleId = kIdsCaptionFilters;
  info.docStringId = kIdsShellExecDocString;
  info.helpFileId = kIdsShellExecHelpFile;
  info.size = vok::DialogUnitsToPixels(290, 180);
  return info;
}

struct ViewButton {
  LONG view;
  UINT tipId;  // also the button's command id
  const char* objectName;
};

// In toolbar order.
const ViewButton kViewButtons[] = {
    {kViewLargeIcons, kIdsLargeIcons, "largeIconsButton"},
    {kViewSmallIcons, kIdsSmallIcons, "smallIconsButton"},
    {kViewList, kIdsList, "listButton"},
    {kViewDetails, kIdsDetails, "detailsButton"},
};

bool ViewCanReorder(LONG view) { return view == kViewList || view == kViewDetails; }

}  // namespace

vokPPShellExec::vokPPShellExec() : PropertyPageBase(&kCmdLineResources, PageInfo()) {}

vokPPShellExec::~vokPPShellExec() { DestroyPage(); }

void vokPPShellExec::ObjectsChanged() {
  engine_ = nullptr;
  live_ = nullptr;
  for (const ComPtr<IUnknown>& object : objects()) {
    if ((engine_ = QueryAs<IvokEngineShellExecProp>(object.Get()))) break;
  }
  if (!engine_) return;
  ComPtr<IUnknown> list;
  if (SUCCEEDED(engine_->get_FilterList(list.ReleaseAndGetAddressOf())))
    live_ = QueryAs<IvokFastList>(list.Get());
}

QWidget* vokPPShellExec::CreatePage(QWidget* parent) {
  if (!engine_ || !live_) return nullptr;
  if (FAILED(CoCreateInstance(vok::clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_INPROC_SERVER,
                              IvokFastListItemIteratorCtl::kIID,
                              filler_.ReleaseAndGetVoidAddressOf())))
    return nullptr;
  QWidget* page = BuildPage(parent);
  FillRows();
  LONG view = kViewDetails;
  engine_->get_ListViewType(0, &view);
  ShowView(view);
  return page;
}

HRESULT STDMETHODCALLTYPE vokPPShellExec::Activate(HWND hWndParent, const RECT* pRect,
                                                   BOOL bModal) {
  HRESULT hr = PropertyPageBase::Activate(hWndParent, pRect, bModal);
  if (SUCCEEDED(hr)) {
    page()->layout()->activate();
    SetColumnWidths();
  }
  return hr;
}

QWidget* vokPPShellExec::BuildPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(QStringLiteral("filtersPage"));

  tree_ = new QTreeWidget;
  tree_->setObjectName(QStringLiteral("filterList"));
  tree_->setColumnCount(3);
  tree_->setHeaderLabels({LoadUiString(kIdsColumnShortcut), LoadUiString(kIdsColumnDefinition),
                          LoadUiString(kIdsColumnDescription)});
  tree_->setRootIsDecorated(false);
  tree_->setUniformRowHeights(true);
  tree_->setAllColumnsShowFocus(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setIconSize(QSize(16, 16));
  const QIcon filterIcon = vok::cmdline::ThemeIcon("view-filter", "filter.xpm");
  // Every row shows image 0; the iterator control picks it from this list.
  tree_->setProperty(kIteratorCtlImagesProperty, QVariant::fromValue(QList<QIcon>{filterIcon}));

  // The icon and list views show the same rows and share the selection.
  icons_ = new QListView;
  icons_->setObjectName(QStringLiteral("filterIconView"));
  icons_->setModel(tree_->model());
  icons_->setSelectionModel(tree_->selectionModel());
  icons_->setSelectionMode(QAbstractItemView::SingleSelection);
  icons_->setMovement(QListView::Static);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setWrapping(true);

  stack_ = new QStackedWidget;
  stack_->setObjectName(QStringLiteral("filterViews"));
  // The icon view goes first, so it is destroyed before the tree that owns the rows.
  stack_->addWidget(icons_);
  stack_->addWidget(tree_);

  auto* label = new QLabel(QStringLiteral("&Filters:"));
  label->setBuddy(tree_);
  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addStretch(1);
  top->addWidget(BuildViewToolbar());

  auto* listColumn = new QVBoxLayout;
  listColumn->addLayout(top);
  listColumn->addWidget(stack_, 1);

  auto makeButton = [](const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
  };
  addNew_ = makeButton("&Add New", "addNewButton");
  edit_ = makeButton("&Edit", "editButton");
  addCopy_ = makeButton("Add &Copy", "addCopyButton");
  remove_ = makeButton("&Remove", "removeButton");
  up_ = makeButton("&Up", "upButton");
  down_ = makeButton("&Down", "downButton");
  auto* buttons = new QVBoxLayout;
  buttons->addSpacing(label->sizeHint().height());
  for (QPushButton* button :
       {addNew_.data(), edit_.data(), addCopy_.data(), remove_.data(), up_.data(), down_.data()})
    buttons->addWidget(button);
  buttons->addStretch(1);

  auto* layout = new QHBoxLayout(page);
  layout->addLayout(listColumn, 1);
  layout->addLayout(buttons);

  QObject::connect(addNew_, &QPushButton::clicked, page, [this] { AddNew(); });
  QObject::connect(edit_, &QPushButton::clicked, page, [this] { Edit(); });
  QObject::connect(addCopy_, &QPushButton::clicked, page, [this] { AddCopy(); });
  QObject::connect(remove_, &QPushButton::clicked, page, [this] { Remove(); });
  QObject::connect(up_, &QPushButton::clicked, page, [this] { MoveUp(); });
  QObject::connect(down_, &QPushButton::clicked, page, [this] { MoveDown(); });
  QObject::connect(tree_, &QTreeWidget::itemDoubleClicked, page, [this] { Edit(); });
  QObject::connect(icons_, &QListView::doubleClicked, page, [this] { Edit(); });
  return page;
}

QWidget* vokPPShellExec::BuildViewToolbar() {
  auto* toolbar = new QWidget;
  toolbar->setObjectName(QStringLiteral("viewToolbar"));
  auto* layout = new QHBoxLayout(toolbar);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  views_ = new QButtonGroup(toolbar);
  views_->setExclusive(true);
  for (const ViewButton& entry : kViewButtons) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(entry.objectName));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setIcon(vok::cmdline::ViewIcon(entry.view));
    button->setIconSize(QSize(16, 15));
    button->setToolTip(LoadUiString(entry.tipId));
    views_->addButton(button, entry.view);
    layout->addWidget(button);
  }
  QObject::connect(views_, &QButtonGroup::idClicked, toolbar,
                   [this](int view) { ChooseView(view); });
  return toolbar;
}

void vokPPShellExec::FillRows() {
  filler_->Init(tree_, kIteratorCtlListView);
  live_->Iterate(filler_.Get());
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    auto* item = reinterpret_cast<IUnknown*>(
        tree_->topLevelItem(i)->data(0, kIteratorCtlItemRole).value<quintptr>());
    // The rows keep their items alive when Apply empties the live list.
    if (item) held_.try_emplace(item, item);
  }
}

void vokPPShellExec::SetColumnWidths() {
  // The client width without a vertical scroll bar, split 1 : 2 : 2 with the remainder
  // going to the shortcut.
  const int extent = tree_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree_);
  const int width = std::max(0, stack_->width() - 2 * tree_->frameWidth() - extent);
  tree_->setColumnWidth(0, width / 5 + width % 5);
  tree_->setColumnWidth(1, 2 * (width / 5));
  tree_->setColumnWidth(2, 2 * (width / 5));
}

void vokPPShellExec::ShowView(LONG view) {
  if (view < kViewLargeIcons || view > kViewDetails) view = kViewDetails;
  view_ = view;
  if (QAbstractButton* button = views_->button(view)) button->setChecked(true);
  if (view == kViewDetails) {
    stack_->setCurrentWidget(tree_);
  } else {
    const bool large = view == kViewLargeIcons;
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    icons_->setFlow(view == kViewList ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setMovement(QListView::Static);
    stack_->setCurrentWidget(icons_);
  }
  UpdateButtons();
}

void vokPPShellExec::ChooseView(LONG view) {
  if (!tree_ || !engine_) return;
  engine_->put_ListViewType(0, view);
  ShowView(view);
}

void vokPPShellExec::UpdateButtons() {
  const int rows = tree_->topLevelItemCount();
  for (QPushButton* button : {edit_.data(), remove_.data(), addCopy_.data()})
    button->setEnabled(rows > 0);
  const bool reorder = ViewCanReorder(view_) && rows > 1;
  up_->setEnabled(reorder);
  down_->setEnabled(reorder);
}

QTreeWidgetItem* vokPPShellExec::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

QTreeWidgetItem* vokPPShellExec::RowToActOn() {
  if (!tree_) return nullptr;
  QTreeWidgetItem* row = SelectedRow();
  if (row && ItemOf(row)) return row;
  Warn(kIdsNoItemSelected);
  return nullptr;
}

IUnknown* vokPPShellExec::ItemOf(const QTreeWidgetItem* row) const {
  auto* item = reinterpret_cast<IUnknown*>(row->data(0, kIteratorCtlItemRole).value<quintptr>());
  // Only items the page holds are trusted: a row never outlives its reference.
  auto held = held_.find(item);
  return held == held_.end() ? nullptr : held->second.Get();
}

void vokPPShellExec::SelectRow(int index) {
  QTreeWidgetItem* row = tree_->topLevelItem(index);
  if (!row) return;
  tree_->setCurrentItem(row);
  if (stack_->currentWidget() == icons_) {
    icons_->scrollTo(icons_->model()->index(index, 0));
    icons_->setFocus();
  } else {
    tree_->scrollToItem(row);
    tree_->setFocus();
  }
}

void vokPPShellExec::Warn(UINT textId) {
  vok::cmdline::WarnUser(page(), textId, kIdsCaptionFilters);
}

bool vokPPShellExec::IsNameTaken(const std::string& name) const {
  for (const ComPtr<IvokFastListItem>& removed : removed_) {
    if (vok::EqualsNoCase(ItemKey(removed.Get()), name)) return false;
  }
  for (int i = 0; tree_ && i < tree_->topLevelItemCount(); ++i) {
    if (IUnknown* item = ItemOf(tree_->topLevelItem(i));
        item && vok::EqualsNoCase(ItemKey(item), name))
      return true;
  }
  ComPtr<IvokEngine> engine = QueryAs<IvokEngine>(engine_.Get());
  IUnknown* container = nullptr;  // lent by the engine: no reference
  if (!engine || FAILED(engine->GetEngineContainer(&container))) return false;
  ComPtr<IvokEngineContainer> commands = QueryAs<IvokEngineContainer>(container);
  return commands && commands->IsCommandRegistered(name.c_str()) == S_OK;
}

void vokPPShellExec::AddItem(ComPtr<IUnknown> item) {
  if (tree_->topLevelItemCount() >= kMaxFilters) {
    Warn(kIdsTooManyItems);
    return;
  }
  vok::cmdline::FilterDialogOptions options;
  options.isNameTaken = [this](const std::string& name) { return IsNameTaken(name); };
  if (!vok::cmdline::FilterPropertiesDialog::Edit(item.Get(), options, page())) return;
  IUnknown* key = item.Get();
  held_.try_emplace(key, std::move(item));
  filler_->Item(key);
  UpdateButtons();
  SelectRow(tree_->topLevelItemCount() - 1);
  SetDirty(true);
}

void vokPPShellExec::AddNew() {
  if (!tree_) return;
  ComPtr<IUnknown> item;
  if (FAILED(vok::CreateObject<vokFastListItemFilter>(nullptr, IID_IUnknown,
                                                      item.ReleaseAndGetVoidAddressOf())))
    return;
  AddItem(std::move(item));
}

void vokPPShellExec::AddCopy() {
  QTreeWidgetItem* row = RowToActOn();
  ComPtr<IvokFastListItem> original = QueryAs<IvokFastListItem>(row ? ItemOf(row) : nullptr);
  ComPtr<IUnknown> copy;
  if (!original || FAILED(original->Clone(copy.ReleaseAndGetAddressOf()))) return;
  AddItem(std::move(copy));
}

void vokPPShellExec::WriteColumns(QTreeWidgetItem* row, IUnknown* item) {
  ComPtr<IvokFastListItemColumns> columns = QueryAs<IvokFastListItemColumns>(item);
  if (!columns) return;
  for (int column = 0; column < tree_->columnCount(); ++column) {
    char text[kItemTextSize] = {};
    if (SUCCEEDED(columns->GetColumnText(column, text)))
      row->setText(column, QString::fromUtf8(text));
  }
}

void vokPPShellExec::Edit() {
  QTreeWidgetItem* row = RowToActOn();
  if (!row) return;
  IUnknown* item = ItemOf(row);
  vok::cmdline::FilterDialogOptions options;
  options.editsExisting = true;
  options.isNameTaken = [this](const std::string& name) { return IsNameTaken(name); };
  if (!vok::cmdline::FilterPropertiesDialog::Edit(item, options, page())) return;
  WriteColumns(row, item);
  SetDirty(true);
}

void vokPPShellExec::Remove() {
  QTreeWidgetItem* row = RowToActOn();
  if (!row) return;
  vok::ui::Message question;
  question.owner = page();
  question.text = LoadStringResource(&kCmdLineResources, kIdsConfirmDelete);
  question.caption = LoadStringResource(&kCmdLineResources, kIdsCaptionFilters);
  question.icon = vok::ui::Icon::kQuestion;
  question.buttons = vok::ui::Buttons::kYesNo;
  if (vok::ui::Ask(question) != vok::ui::Answer::kYes) return;

  removed_.push_back(QueryAs<IvokFastListItem>(ItemOf(row)));
  const int index = tree_->indexOfTopLevelItem(row);
  delete tree_->takeTopLevelItem(index);
  UpdateButtons();
  const int rows = tree_->topLevelItemCount();
  if (rows > 0) {
    SelectRow(std::min(index, rows - 1));
  } else {
    addNew_->setFocus();
  }
  SetDirty(true);
}

void vokPPShellExec::MoveSelected(int delta) {
  QTreeWidgetItem* row = RowToActOn();
  if (!row) return;
  const int index = tree_->indexOfTopLevelItem(row);
  const int target = index + delta;
  if (target < 0 || target >= tree_->topLevelItemCount()) return;
  tree_->insertTopLevelItem(target, tree_->takeTopLevelItem(index));
  SelectRow(target);
  SetDirty(true);
}

HRESULT vokPPShellExec::ApplyChanges() {
  if (!engine_ || !live_) return E_UNEXPECTED;
  ComPtr<IvokEngineCmdTable> table;
  HRESULT hr =
      engine_->QueryInterface(IvokEngineCmdTable::kIID, table.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  if (!tree_) return S_OK;  // never shown: nothing changed

  // The page holds every row's item, so emptying the list releases nothing still shown.
  live_->Clear();
  removed_.clear();
  table->RemoveItemCommands();
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    ComPtr<IUnknown> item(ItemOf(tree_->topLevelItem(i)));
    // The list takes over the reference only when it stores the item.
    if (item && live_->Add(item.Get(), 0) == S_OK) item.Detach();
  }
  table->RegisterItemCommands();
  // Filter indices have changed.
  engine_->put_LastFilter(-1);
  return S_OK;
}

void vokPPShellExec::PageDestroyed() { ReleaseRows(); }

void vokPPShellExec::ReleaseRows() {
  // Rows are deleted with the page; the items they showed are released after them.
  if (tree_) tree_->clear();
  removed_.clear();
  held_.clear();
  filler_ = nullptr;
}
