// vokPPShellExec: the "Filters" page of the options frame. It lists the shell-execution
// engine's filters (the first edited object answering IvokEngineShellExecProp) and lets the
// user add, copy, edit, remove and reorder them, and choose the list's view.
//
// Edits change the live filter items at once; which filters the engine's list holds, their
// order and the registered filter commands change only at Apply. Rows removed since the last
// Apply wait in a removed list, so their names may be given to new filters before Apply.
//
// Child widgets carry object names: "filterList" (details view), "filterIconView" (the other
// views), "viewToolbar" with "largeIconsButton", "smallIconsButton", "listButton",
// "detailsButton", and "addNewButton", "editButton", "addCopyButton", "removeButton",
// "upButton", "downButton".
#pragma once

#include <QPointer>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "common/property_page_base.h"
#include "common/shell_exec_ifaces.h"

class QButtonGroup;
class QListView;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

class vokPPShellExec final : public vok::PropertyPageBase {
 public:
  // Most filters the page lists.
  static constexpr int kMaxFilters = 1500;

  vokPPShellExec();
  ~vokPPShellExec() override;

  // Fills the rows once the page has its size, so the column widths fit the list.
  HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, const RECT* pRect, BOOL bModal) override;

  // The actions of the page's buttons.
  void AddNew();
  void AddCopy();
  void Edit();
  void Remove();
  void MoveUp() { MoveSelected(-1); }
  void MoveDown() { MoveSelected(+1); }
  // Makes `view` (kViewLargeIcons .. kViewDetails) the list's view and the engine's
  // ListViewType.
  void ChooseView(LONG view);

  // Whether the Filter Properties dialog must refuse `name`: free when a removed row had it,
  // taken when another row has it (letter case ignored) or the container knows it as a
  // command.
  bool IsNameTaken(const std::string& name) const;

 protected:
  QWidget* CreatePage(QWidget* parent) override;
  HRESULT ApplyChanges() override;
  void ObjectsChanged() override;
  void PageDestroyed() override;

 private:
  QWidget* BuildPage(QWidget* parent);
  QWidget* BuildViewToolbar();
  void FillRows();
  void SetColumnWidths();
  void ShowView(LONG view);
  void UpdateButtons();
  void AddItem(ComPtr<IUnknown> item);
  void MoveSelected(int delta);
  void SelectRow(int index);
  QTreeWidgetItem* SelectedRow() const;
  // The selected row when it shows an item the page holds; else null, after telling the user
  // (silently while the page is not shown).
  QTreeWidgetItem* RowToActOn();
  IUnknown* ItemOf(const QTreeWidgetItem* row) const;
  void WriteColumns(QTreeWidgetItem* row, IUnknown* item);
  void Warn(UINT textId);
  void ReleaseRows();

  ComPtr<IvokEngineShellExecProp> engine_;
  ComPtr<IvokFastList> live_;
  ComPtr<IvokFastListItemIteratorCtl> filler_;
  // Items removed from the rows since the last Apply.
  std::vector<ComPtr<IvokFastListItem>> removed_;
  // One reference to every item a row shows or showed, by the pointer the row stores.
  std::unordered_map<IUnknown*, ComPtr<IUnknown>> held_;
  LONG view_ = kViewDetails;

  QPointer<QTreeWidget> tree_;
  QPointer<QListView> icons_;
  QPointer<QStackedWidget> stack_;
  QPointer<QButtonGroup> views_;
  QPointer<QPushButton> addNew_;
  QPointer<QPushButton> edit_;
  QPointer<QPushButton> addCopy_;
  QPointer<QPushButton> remove_;
  QPointer<QPushButton> up_;
  QPointer<QPushButton> down_;
};
