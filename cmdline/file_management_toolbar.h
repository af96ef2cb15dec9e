// The File Management window's toolbar and the command numbers of the window: Back, Forward
// and Up (each with a history menu reached by its menu arrow or a right click), Refresh,
// Browse for folder, and the four views as one exclusive check group. Tooltips are the
// command-line library's strings with the button's command as id.
#pragma once

#include <QPoint>
#include <QToolBar>
#include <functional>
#include <map>

class QAction;
class QIcon;
class QToolButton;

namespace vok::cmdline {

// Commands of the File Management window: buttons, toolbar entries and keys.
enum FileManagementCommand : int {
  kFmLargeIcons = 119,
  kFmSmallIcons = 120,
  kFmDetails = 121,
  kFmList = 122,
  kFmBack = 137,
  kFmForward = 138,
  kFmUp = 139,
  kFmBackMenu = 140,
  kFmForwardMenu = 141,
  kFmUpMenu = 147,
  kFmCopy = 202,
  kFmMove = 203,
  kFmRename = 207,
  kFmProperties = 208,
  kFmSelect = 210,
  kFmShowFolders = 211,
  kFmDeselect = 212,
  kFmDelete = 216,
  kFmBrowseForFolder = 400,
  kFmRefresh = 401,
  kFmCopyToClipboard = 32768,
};

class FileManagementToolbar final : public QToolBar {
 public:
  // `run` receives the command of every entry, and kFmBackMenu, kFmForwardMenu or kFmUpMenu
  // when the history menu of Back, Forward or Up is asked for. It must outlive the toolbar.
  explicit FileManagementToolbar(std::function<void(int command)> run, QWidget* parent = nullptr);

  // The entry of `command` (one of the ten buttons' commands); null for another number.
  QAction* Action(int command) const;
  void SetCommandEnabled(int command, bool enabled);
  // Checks the view entry of `command` (kFmLargeIcons .. kFmList); the others are unchecked.
  void CheckView(int command);
  // Where the history menu of `menuCommand` opens: the bottom-left corner of its button, in
  // screen coordinates.
  QPoint MenuPosition(int menuCommand) const;

 private:
  QAction* AddEntry(int command, const char* name, const QIcon& icon);
  void AddHistoryButton(int command, int menuCommand, const char* name, const QIcon& icon);

  std::function<void(int)> run_;
  std::map<int, QAction*> actions_;
  std::map<int, QToolButton*> historyButtons_;  // by menu command
};

}  // namespace vok::cmdline
