#include "cmdline/cmd_browser_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "cmdline/cmd_browser_search.h"
#include "cmdline/dialog_support.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "platform/com/runtime.h"

namespace vok::cmdline {
namespace {

// Room of each command-information buffer (the engines copy at most 126 bytes).
constexpr size_t kInfoRoom = 128;
// Asks the engines for the bare definition of user commands: the syntax text stands alone
// here, while quick help shows it after the name.
constexpr LONG kBareDefinition = 1;

void CollectDepthFirst(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>* out) {
  out->push_back(item);
  for (int i = 0; i < item->childCount(); ++i) CollectDepthFirst(item->child(i), out);
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

CmdBrowserDialog::CmdBrowserDialog(IUnknown* container, IvokFastList* history, QWidget* parent)
    : QDialog(parent), info_(QueryAs<IvokCommandInfo>(container)), history_(history) {
  BuildLayout();
  FillTree();
  FillFindHistory();
  ShowSelection();
}

void CmdBrowserDialog::BuildLayout() {
  setWindowTitle(LoadUiString(kIdsCaptionCmdBrowser));

  tree_ = new QTreeWidget;
  tree_->setHeaderHidden(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  findBox_ = new QComboBox;
  findBox_->setEditable(true);
  findBox_->setInsertPolicy(QComboBox::NoInsert);
  auto* findButton = new QPushButton(QStringLiteral("&Find Next"));
  description_ = new QLabel;
  definition_ = new QLabel;
  for (QLabel* text : {description_, definition_}) {
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  resultEdit_ = new QLineEdit;
  copyButton_ = new QPushButton(QStringLiteral("&Copy From Command Tree"));
  auto* useButton = new QPushButton(QStringLiteral("&Use The Resulting Command"));
  useButton->setDefault(true);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));

  auto* findRow = new QHBoxLayout;
  findRow->addWidget(findBox_, 1);
  findRow->addWidget(findButton);

  auto* selected = new QGroupBox(QStringLiteral("Selected Commad"));
  auto* selectedLayout = new QVBoxLayout(selected);
  selectedLayout->addWidget(new QLabel(QStringLiteral(" Description:")));
  selectedLayout->addWidget(description_);
  selectedLayout->addWidget(
      new QLabel(QStringLiteral(" Attributes/Definition (partial for bigger scripts):")));
  selectedLayout->addWidget(definition_);

  auto* resultRow = new QHBoxLayout;
  resultRow->addWidget(resultEdit_, 1);
  resultRow->addWidget(copyButton_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(useButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuddyLabel(QStringLiteral("Co&mmand Tree:"), tree_));
  layout->addWidget(tree_, 1);
  layout->addWidget(
      BuddyLabel(QStringLiteral("Find &what -- wild card characters (*?) are allowed:"), findBox_));
  layout->addLayout(findRow);
  layout->addWidget(selected);
  layout->addWidget(BuddyLabel(QStringLiteral("&Resulting Command:"), resultEdit_));
  layout->addLayout(resultRow);
  layout->addLayout(buttons);

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelection(); });
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { ShowSelection(); });
  connect(findButton, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(copyButton_, &QPushButton::clicked, this, [this] { CopyFromTree(); });
  connect(useButton, &QPushButton::clicked, this, [this] { accept(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

void CmdBrowserDialog::FillTree() {
  if (info_) info_->FillCommandTree(tree_);
}

void CmdBrowserDialog::FillFindHistory() {
  if (!history_) return;
  // The filler empties the box, edit text included; the typed text goes back afterwards.
  const QString typed = findBox_->currentText();
  ComPtr<IvokFastListItemIteratorCtl> filler;
  if (SUCCEEDED(CoCreateInstance(clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_INPROC_SERVER,
                                 IvokFastListItemIteratorCtl::kIID,
                                 filler.ReleaseAndGetVoidAddressOf())) &&
      SUCCEEDED(filler->Init(findBox_, 1))) {
    history_->ReverseIterate(filler.Get());  // newest first
  }
  findBox_->setCurrentIndex(-1);
  findBox_->setEditText(typed);
}

bool CmdBrowserDialog::IsCommand(const QTreeWidgetItem* item) {
  return item && item->data(0, Qt::UserRole).toInt() == 1;
}

QTreeWidgetItem* CmdBrowserDialog::SelectedItem() const {
  // Focus alone makes a node current without selecting it; only a selected node counts.
  QTreeWidgetItem* item = tree_->currentItem();
  return item && item->isSelected() ? item : nullptr;
}

void CmdBrowserDialog::ShowSelection() {
  QTreeWidgetItem* item = SelectedItem();
  bool command = IsCommand(item);
  copyButton_->setEnabled(command);
  description_->clear();
  definition_->clear();
  if (!command || !info_) return;
  char name[kInfoRoom] = {};
  char syntax[kInfoRoom] = {};
  char description[kInfoRoom] = {};
  LONG index = 0;
  const std::string word = ToStdString(item->text(0));
  if (info_->GetCommandInfo(word.c_str(), name, syntax, description, &index, kBareDefinition) !=
      S_OK)
    return;
  description_->setText(ToQString(description));
  definition_->setText(ToQString(syntax));
}

std::vector<QTreeWidgetItem*> CmdBrowserDialog::ItemsInDisplayOrder() const {
  std::vector<QTreeWidgetItem*> items;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i)
    CollectDepthFirst(tree_->topLevelItem(i), &items);
  return items;
}

void CmdBrowserDialog::FindNext() {
  const std::string text = CutAndTrim(ToStdString(findBox_->currentText()), kCmdBrowserTextBytes);
  if (!text.empty() && history_) {
    RememberSearchText(history_.Get(), text);
    FillFindHistory();
  }
  findBox_->setEditText(ToQString(text));

  const std::vector<QTreeWidgetItem*> items = ItemsInDisplayOrder();
  std::vector<std::string> texts;
  texts.reserve(items.size());
  for (QTreeWidgetItem* item : items) texts.push_back(ToStdString(item->text(0)));
  std::optional<size_t> current;
  if (QTreeWidgetItem* selected = SelectedItem()) {
    auto at = std::find(items.begin(), items.end(), selected);
    if (at != items.end()) current = static_cast<size_t>(at - items.begin());
  }
  std::optional<size_t> match = FindNextMatch(texts, current, text);
  if (!match) {
    WarnUser(this, kIdsNoOtherMatch, kIdsCaptionCmdBrowser);
    return;
  }
  QTreeWidgetItem* found = items[*match];
  for (QTreeWidgetItem* parent = found->parent(); parent; parent = parent->parent())
    parent->setExpanded(true);
  tree_->setCurrentItem(found);
  tree_->scrollToItem(found);
}

void CmdBrowserDialog::CopyFromTree() {
  QTreeWidgetItem* item = SelectedItem();
  if (IsCommand(item)) resultEdit_->setText(item->text(0));
}

void CmdBrowserDialog::accept() {
  result_ = CutAndTrim(ToStdString(resultEdit_->text()), kCmdBrowserTextBytes);
  QDialog::accept();
}

}  // namespace vok::cmdline
