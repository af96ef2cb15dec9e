#include "tools/fast_list_item_iterator_ctl.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>
#include <optional>
#include <string>

namespace {

// Text buffers handed to items hold kFastListKeySize bytes. They start zeroed and their last
// byte is forced to zero afterwards, so an item that forgets the terminator cannot make us read
// past the buffer.
struct TextBuffer {
  char bytes[kFastListKeySize] = {};
  QString Text() {
    bytes[sizeof bytes - 1] = '\0';
    return QString::fromUtf8(bytes);
  }
};

std::optional<QString> DisplayText(IUnknown* item) {
  if (ComPtr<IvokFastListItemText> text = QueryAs<IvokFastListItemText>(item)) {
    TextBuffer buffer;
    if (SUCCEEDED(text->GetText(buffer.bytes))) return buffer.Text();
  }
  return std::nullopt;
}

std::optional<QString> KeyText(IUnknown* item) {
  if (ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item)) {
    TextBuffer buffer;
    ULONG size = sizeof buffer.bytes;
    if (SUCCEEDED(keyed->GetStrKey(buffer.bytes, &size))) return buffer.Text();
  }
  return std::nullopt;
}

// The text of a list-box, combo or menu entry: the display text before the key.
std::optional<QString> EntryText(IUnknown* item) {
  std::optional<QString> text = DisplayText(item);
  return text ? text : KeyText(item);
}

QVariant IdentityData(IUnknown* item) {
  return QVariant::fromValue(reinterpret_cast<quintptr>(item));
}

QIcon ImageOf(const QTreeWidget* tree, int image) {
  if (image < 0) return {};
  const auto images = tree->property(kIteratorCtlImagesProperty).value<QList<QIcon>>();
  return image < images.size() ? images[image] : QIcon();
}

}  // namespace

HRESULT STDMETHODCALLTYPE vokFastListItemIteratorCtl::Init(HWND hwnd, LONG lType) {
  target_ = hwnd;
  type_ = lType;
  nextMenuId_ = 1;
  return S_OK;
}

QListWidget* vokFastListItemIteratorCtl::ListBox() const {
  return type_ == kIteratorCtlListBox ? qobject_cast<QListWidget*>(target_.data()) : nullptr;
}

QComboBox* vokFastListItemIteratorCtl::ComboBox() const {
  return type_ == kIteratorCtlComboBox ? qobject_cast<QComboBox*>(target_.data()) : nullptr;
}

QTreeWidget* vokFastListItemIteratorCtl::ListView() const {
  return type_ == kIteratorCtlListView ? qobject_cast<QTreeWidget*>(target_.data()) : nullptr;
}

QMenu* vokFastListItemIteratorCtl::Menu() const {
  return type_ == kIteratorCtlMenu ? qobject_cast<QMenu*>(target_.data()) : nullptr;
}

HRESULT STDMETHODCALLTYPE vokFastListItemIteratorCtl::Begin() {
  if (QListWidget* list = ListBox()) {
    list->clear();
  } else if (QComboBox* combo = ComboBox()) {
    combo->clear();
  } else if (QTreeWidget* tree = ListView()) {
    tree->clear();
  } else if (Menu()) {
    nextMenuId_ = 1;  // a menu keeps what its owner put in it before
  } else {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemIteratorCtl::Item(IUnknown* pUnk) {
  if (!pUnk) return E_POINTER;
  if (QTreeWidget* tree = ListView()) return AddListViewRow(tree, pUnk);

  QListWidget* list = ListBox();
  QComboBox* combo = ComboBox();
  QMenu* menu = Menu();
  if (!list && !combo && !menu) return E_FAIL;
  std::optional<QString> text = EntryText(pUnk);
  if (!text) return E_FAIL;

  if (list) {
    auto* entry = new QListWidgetItem(*text, list);
    entry->setData(kIteratorCtlItemRole, IdentityData(pUnk));
  } else if (combo) {
    combo->addItem(*text, IdentityData(pUnk));
  } else {
    // Entry texts are data (paths, commands): a '&' in them is shown, not taken as a mnemonic.
    menu->addAction(QString(*text).replace('&', QStringLiteral("&&")))->setData(nextMenuId_++);
  }
  return S_OK;
}

HRESULT vokFastListItemIteratorCtl::AddListViewRow(QTreeWidget* tree, IUnknown* item) {
  int image = -1;
  LONG columns = 1;
  QString first;
  ComPtr<IvokFastListItemColumns> columned = QueryAs<IvokFastListItemColumns>(item);
  if (columned) {
    LONG reported = -1;
    if (SUCCEEDED(columned->GetImage(&reported))) image = reported;
    if (FAILED(columned->GetColumnCount(&columns))) columns = 1;
    TextBuffer buffer;
    if (SUCCEEDED(columned->GetColumnText(0, buffer.bytes))) first = buffer.Text();
  } else {
    std::optional<QString> key = KeyText(item);
    if (!key) return E_FAIL;
    first = *key;
  }

  // Appended at the end, so rows stand in visiting order.
  auto* row = new QTreeWidgetItem(tree);
  row->setText(0, first);
  row->setData(0, kIteratorCtlItemRole, IdentityData(item));
  row->setData(0, kIteratorCtlImageRole, image);
  if (QIcon icon = ImageOf(tree, image); !icon.isNull()) row->setIcon(0, icon);
  // Sub-items exist only for the columns the view has; a wild count costs nothing.
  const LONG shown = std::min<LONG>(columns, tree->columnCount());
  for (LONG column = 1; columned && column < shown; ++column) {
    TextBuffer buffer;
    if (SUCCEEDED(columned->GetColumnText(column, buffer.bytes)))
      row->setText(static_cast<int>(column), buffer.Text());
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemIteratorCtl::End() {
  if (QTreeWidget* tree = ListView(); tree && tree->topLevelItemCount() > 0)
    tree->topLevelItem(0)->setSelected(true);
  return S_OK;
}
