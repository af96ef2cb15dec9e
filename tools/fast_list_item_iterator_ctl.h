// vokFastListItemIteratorCtl: a ready-made visitor for IvokFastList::Iterate/ReverseIterate that
// fills a Qt control with one entry per item. Begin empties the control, Item adds an entry,
// End finishes (a list view gets its first row selected).
//
// Targets, by the type given to Init (constants in common/fast_list_ifaces.h):
//   kIteratorCtlListBox  (0) QListWidget   one QListWidgetItem per item
//   kIteratorCtlComboBox (1) QComboBox     one combo entry per item
//   kIteratorCtlListView (2) QTreeWidget   one top-level row per item; the columns come from
//                                          IvokFastListItemColumns, else the key in column 0
//   kIteratorCtlMenu     (3) QMenu         not emptied: one QAction per item appended, with
//                                          QAction::data() = 1, 2, 3 ... in visiting order;
//                                          a '&' in the text is doubled, so it shows as is
// The menu travels in the HWND argument: QMenu derives from QWidget, so the caller passes the
// QMenu* as it is and the control casts it back with qobject_cast.
//
// Entry data: every list-box, combo and list-view entry holds the item's identity pointer as
// quintptr under kIteratorCtlItemRole (Qt::UserRole). It carries no reference: it is valid only
// while the list holds the item. A list-view row also keeps its image index (int, -1 = none)
// under kIteratorCtlImageRole (Qt::UserRole + 1) of column 0; when the owner has set the
// tree's dynamic property kIteratorCtlImagesProperty to a QList<QIcon>, the row's icon is the
// entry at that index.
//
// Texts: for list boxes, combos and menus the item's IvokFastListItemText text is preferred,
// then its key; an item offering neither (or failing both reads) makes Item return E_FAIL,
// which ends the walk. Texts are UTF-8.
//
// The target is watched, not owned: once it is destroyed every call fails with E_FAIL. A
// target whose class does not match the type fails the same way.
#pragma once

#include <QPointer>
#include <QWidget>

#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class QComboBox;
class QListWidget;
class QMenu;
class QTreeWidget;

class vokFastListItemIteratorCtl final : public vok::ObjectRoot<IvokFastListItemIteratorCtl> {
 public:
  // IvokFastListItemIterator
  // E_FAIL for an unknown type or a missing or mismatched target.
  HRESULT STDMETHODCALLTYPE Begin() override;
  HRESULT STDMETHODCALLTYPE End() override;
  HRESULT STDMETHODCALLTYPE Item(IUnknown* pUnk) override;

  // IvokFastListItemIteratorCtl: stores the target and its type; S_OK.
  HRESULT STDMETHODCALLTYPE Init(HWND hwnd, LONG lType) override;

 private:
  QListWidget* ListBox() const;
  QComboBox* ComboBox() const;
  QTreeWidget* ListView() const;
  QMenu* Menu() const;

  HRESULT AddListViewRow(QTreeWidget* tree, IUnknown* item);

  QPointer<QWidget> target_;
  LONG type_ = -1;
  int nextMenuId_ = 1;
};
