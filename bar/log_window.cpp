#include "bar/log_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/class_ids.h"
#include "platform/com/runtime.h"

// The icons are compiled into this static library; a resource initialiser must be named
// outside any namespace, and naming it keeps the linker from dropping it.
static void InitLogResources() { Q_INIT_RESOURCE(log_icons); }

namespace vok::bar {

namespace {

// Margins and gaps of the window, in pixels.
constexpr int kMargin = 6;
constexpr int kButtonGap = 4;
constexpr int kTabGap = 5;
// The window's first size, in dialog units (a quarter of the average character width, an
// eighth of the line height), so that it scales with the font.
constexpr int kWidthUnits = 360;
constexpr int kHeightUnits = 210;

QPushButton* AddButton(QHBoxLayout* row, const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(name);
  row->addWidget(button);
  return button;
}

}  // namespace

QList<QIcon> LogWindow::EntryImages() {
  static const bool resourcesReady = (InitLogResources(), true);
  (void)resourcesReady;
  return {
      QIcon::fromTheme("text-x-generic", QIcon(":/vokbar/log/plain.xpm")),
      QIcon::fromTheme("dialog-error", QIcon(":/vokbar/log/error.xpm")),
      QIcon::fromTheme("dialog-information", QIcon(":/vokbar/log/information.xpm")),
  };
}

LogWindow::LogWindow(IvokFastList* list, QWidget* owner) : QDialog(owner), list_(list) {
  setWindowTitle("Quillo Log");
  setSizeGripEnabled(true);

  listView_ = new QTreeWidget;
  listView_->setObjectName("listView");
  listView_->setColumnCount(1);
  listView_->setHeaderHidden(true);
  listView_->setRootIsDecorated(false);
  listView_->setUniformRowHeights(true);
  listView_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView_->setIconSize(QSize(16, 16));
  listView_->header()->setStretchLastSection(true);  // the one column spans the view
  listView_->setProperty(kIteratorCtlImagesProperty, QVariant::fromValue(EntryImages()));

  textView_ = new QPlainTextEdit;
  textView_->setObjectName("textView");
  textView_->setReadOnly(true);
  textView_->setLineWrapMode(QPlainTextEdit::NoWrap);

  tabs_ = new QTabWidget;
  tabs_->setObjectName("tabs");
  tabs_->addTab(listView_, "List View");
  tabs_->addTab(textView_, "Text View");

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(kButtonGap);
  buttons->addStretch();
  QPushButton* clear = AddButton(buttons, "C&lear", "clearButton");
  QPushButton* close = AddButton(buttons, "&Close", "closeButton");
  close->setDefault(true);
  connect(clear, &QPushButton::clicked, this, [this] { ClearLog(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(kTabGap);
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);

  QFontMetrics metrics(font());
  resize(kWidthUnits * metrics.averageCharWidth() / 4, kHeightUnits * metrics.height() / 8);
}

HRESULT LogWindow::Fill() {
  listView_->clear();
  if (list_) {
    ComPtr<IvokFastListItemIteratorCtl> filler;
    HRESULT hr =
        CoCreateInstance(vok::clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_INPROC_SERVER,
                         IvokFastListItemIteratorCtl::kIID, filler.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    filler->Init(listView_, kIteratorCtlListView);
    hr = list_->Iterate(filler.Get());
    if (FAILED(hr)) return hr;
  }
  BuildTextView();
  tabs_->setCurrentIndex(0);
  SelectLastRow();
  return S_OK;
}

void LogWindow::BuildTextView() {
  QString text;
  for (int row = 0; row < listView_->topLevelItemCount(); ++row)
    text += listView_->topLevelItem(row)->text(0) + '\n';
  textView_->setPlainText(text);
}

void LogWindow::SelectLastRow() {
  int rows = listView_->topLevelItemCount();
  if (rows == 0) return;
  QTreeWidgetItem* last = listView_->topLevelItem(rows - 1);
  listView_->clearSelection();
  listView_->setCurrentItem(last);
  last->setSelected(true);
  listView_->scrollToItem(last);
}

void LogWindow::ClearLog() {
  if (list_) list_->Clear();
  listView_->clear();
  textView_->clear();
}

}  // namespace vok::bar
