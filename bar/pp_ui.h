// vokPPUI: the "General" page of the options frame. It edits the bar's settings (docking,
// auto-hide, save on exit, always on top, auto-minimize, the tray icon, URL extraction on
// drop, the hot key and the context folders) through the host of the user-interface engine,
// when one of the edited objects is that engine (it answers IvokBarWindow).
//
// The controls carry the dialog-item ids of the table below (vok::ui::DialogItem finds them);
// the page keeps its own copy of the hot key and of the context folders until Apply, which
// copies every setting back, marks the settings changed and makes the bar window follow them.
//
//   1076 Dock            1057 Top     1022 Bottom  (enabled while Dock is checked)
//   1058 Auto hide       1004 Left    1005 Right   (enabled while Auto hide is checked)
//   1011 / 1012 / 1013   save on exit 0 / 1 / 2
//   1059 Always on top   1037 Auto-minimize (enabled while Dock is not checked)
//   1024 tray icon       1035 extract URL on drop
//   1016 Set Hot Key     1015 the current key (disabled)
//   1030 context-folder list; 201 New, 202 Edit, 216 Remove (Edit and Remove need a row)
#pragma once

#include <QPointer>
#include <vector>

#include "bar/bar_host.h"
#include "bar/hot_key_dialog.h"
#include "common/property_page_base.h"

class QAbstractButton;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Dialog-item ids of the page's controls.
namespace vok::bar::ppui {
constexpr int kDock = 1076;
constexpr int kDockTop = 1057;
constexpr int kDockBottom = 1022;
constexpr int kAutoHide = 1058;
constexpr int kHideLeft = 1004;
constexpr int kHideRight = 1005;
constexpr int kSaveWithoutAsking = 1011;
constexpr int kAskBeforeSaving = 1012;
constexpr int kExitWithoutSaving = 1013;
constexpr int kAlwaysOnTop = 1059;
constexpr int kAutoMinimize = 1037;
constexpr int kTrayIconAlways = 1024;
constexpr int kExtractUrl = 1035;
constexpr int kSetHotKey = 1016;
constexpr int kHotKeyField = 1015;
constexpr int kContextFolders = 1030;
constexpr int kNew = 201;
constexpr int kEdit = 202;
constexpr int kRemove = 216;
// The help page the page's Help opens.
inline constexpr char kHelpPage[] = "qdxhelp.htm";
}  // namespace vok::bar::ppui

class vokPPUI final : public vok::PropertyPageBase {
 public:
  vokPPUI();
  ~vokPPUI() override;

  // Opens the help page through the host; E_UNEXPECTED without one.
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) override;

  // The actions of the page's buttons and of a double click on a row.
  void ChooseHotKey();
  void NewFolder();
  void EditFolder(QTreeWidgetItem* row);
  void RemoveFolder();

 protected:
  // Null (no page) unless an edited object is the user-interface engine and it has a host.
  QWidget* CreatePage(QWidget* parent) override;
  HRESULT ApplyChanges() override;
  void ObjectsChanged() override;
  void PageDestroyed() override;

 private:
  QWidget* BuildPage(QWidget* parent);
  QWidget* BuildFolderList();
  void Fill(const vok::bar::UiSettings& settings);
  void ConnectChanges();
  void UpdateEnabling();
  void Changed();
  void AppendRow(const vok::bar::ContextFolder& record);
  void ShowRecord(QTreeWidgetItem* row, const vok::bar::ContextFolder& record);
  void SelectRow(int index);
  QAbstractButton* Button(int id) const;
  bool Checked(int id) const;

  vok::bar::BarHost* host_ = nullptr;
  vok::bar::HotKey hotKey_;
  // The rows' records, in row order.
  std::vector<vok::bar::ContextFolder> folders_;
  // The page's widget (also while CreatePage builds it, before page() knows it).
  QPointer<QWidget> root_;
  QPointer<QTreeWidget> list_;
  QPointer<QPushButton> new_;
  QPointer<vok::bar::HotKeyEdit> hotKeyField_;
};
