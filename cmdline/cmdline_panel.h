// The command-line panel: the part of the bar the user types into. One row, laid out by the
// band layout (vokRebar, created by class identifier): the read-only current-directory field,
// the command box (an editable combo box whose list is the command history) and a toolbar
// with Back, Forward, Up, Browse, Favorites and Command Browser. While the user types, the
// panel completes the word at the end of the line and shows quick help for the command word.
//
// The panel shows and edits the state its host keeps (CmdLinePanelData: text, history,
// navigator, saved positions), so a panel made later, or none at all, sees the same text.
// Ownership: the host outlives the panel (the engine deletes the panel before it goes); the
// panel is a child widget of its parent and owns its controls, its quick-help window and its
// band layout. Enter and Escape in the command box belong to the bar, which runs the line
// through the container; the box never files lines into its list by itself.
#pragma once

#include <QWidget>
#include <map>
#include <optional>
#include <string>

#include "cmdline/engine_cmd_line_panel_data.h"
#include "cmdline/smart_completion.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "platform/ui/accelerator_hook.h"

class QAction;
class QComboBox;
class QLineEdit;
class QToolBar;
class QToolButton;

namespace vok::cmdline {

class QuickHelpWindow;

// Dialog items and commands of the panel.
enum PanelCommand : int {
  kPanelFirstTracker = 127,  // and 128: the band layout's trackers
  kPanelToolbar = 136,
  kPanelBack = 137,
  kPanelForward = 138,
  kPanelUp = 139,
  kPanelBackMenu = 140,  // the history menus of Back, Forward and Up
  kPanelForwardMenu = 141,
  kPanelBandMoved = 142,
  kPanelBrowseForFolder = 146,
  kPanelUpMenu = 147,
  kPanelCommandBox = 201,
  kPanelDirectoryField = 203,
  kPanelBrowse = 239,
  kPanelFavorites = 265,
  kPanelCommandBrowser = 266,
  kPanelBrowseForFile = 400,
  // Posted (vok::ui::CommandEvent through QCoreApplication::postEvent) by a script site when
  // its script has ended; the panel then tells its host outside the site's own call chain.
  kPanelScriptFinished = 1127,
};

// First command id handed out for the entries of the favorites menu.
inline constexpr LONG kFavoritesMenuFirstId = 1000;

enum class NavigationStep { kBack, kForward, kUp };

// The host's settings as the panel uses them.
struct PanelOptions {
  bool useQuickHelp = true;
  CompletionSwitches completion;
  bool favoritesButton = true;      // the hint level offers favorites
  bool applySavedPositions = true;  // the panel flag that applies the saved rectangles
};

// What the panel needs from the engine that owns it.
class CmdLinePanelHost {
 public:
  virtual CmdLinePanelData& PanelData() = 0;
  virtual PanelOptions Options() = 0;
  // The engine container (borrowed); null when there is none.
  virtual IvokEngineContainer* Container() = 0;
  // Goes `count` steps (0: the navigator's history menu) and reports what went wrong.
  virtual void Navigate(NavigationStep step, LONG count) = 0;
  // Each leaves its result in the panel data (text or current directory).
  virtual void BrowseForFile() = 0;
  virtual void BrowseForFolder() = 0;
  virtual void BrowseForCommand() = 0;
  virtual void OnScriptFinished() = 0;

 protected:
  ~CmdLinePanelHost() = default;
};

class CmdLinePanel final : public QWidget {
 public:
  // Builds the controls, the band layout and the key table; shows the host's directory, text
  // and history and, when asked, the saved positions. `host` must outlive the panel.
  CmdLinePanel(CmdLinePanelHost& host, QWidget* parent);
  ~CmdLinePanel() override;

  // Shows the current directory and enables Back, Forward and Up by the navigator's
  // histories; lays the row out again.
  void Refresh();
  // Refills the command box's list from the history, newest first; the text stays.
  void RefillHistory();
  // Moves the three controls to the saved rectangles (those that are not empty) and lays the
  // row out again.
  void ApplySavedPositions();
  // Shows (focusing the command box) or hides the panel.
  void ShowPanel(bool show);
  void HideQuickHelp();
  bool QuickHelpShown() const;
  // Before the host takes the line: quick help goes and the next edit counts from empty.
  void PrepareForTaking();
  // Gives the navigator the place of the history menu of `step`: below its button.
  void PlaceHistoryMenu(NavigationStep step);
  // Runs a toolbar, menu or key command (the PanelCommand values).
  void RunCommand(int command);

  QComboBox* CommandBox() const { return commandBox_; }
  QLineEdit* DirectoryField() const { return directoryField_; }
  QToolBar* Toolbar() const { return toolbar_; }
  // The toolbar entry of `command`; null when the panel has none.
  QAction* Action(int command) const;
  const QuickHelpWindow* QuickHelp() const { return quickHelp_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void CreateControls();
  void CreateToolbar();
  QAction* AddButton(int command, const QIcon& icon, int historyMenu);
  void CreateBandLayout();
  void FormatRow();
  void GiveSpareWidthToCommandBox();
  void OnDataChanged(CmdLinePanelData::Change change);
  // Stops the command box's notifications before the controls go.
  void DisconnectCommandBox();
  void OnBoxTextChanged();
  void OnTextEdited();
  void OnEntryActivated(int index);
  void OnListShown(bool shown);
  void CompleteTyped(const std::string& typed);
  void ShowQuickHelpFor(const std::string& text);
  void ReadPositions();
  void NavigateBy(int command);
  void PopUpBrowseMenu();
  void PopUpFavorites();
  void BrowseForCommand();
  QPoint BelowButton(int command) const;
  std::string BoxText() const;
  void SetBoxText(const std::string& text);

  CmdLinePanelHost& host_;
  QLineEdit* directoryField_ = nullptr;
  QComboBox* commandBox_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::map<int, QAction*> actions_;
  QuickHelpWindow* quickHelp_ = nullptr;
  ComPtr<IvokRebar> rebar_;
  std::optional<ui::AcceleratorRegistration> previousKeys_;
  size_t previousLength_ = 0;  // bytes of the text at the last edit
  bool listClosed_ = true;
  bool showingData_ = false;  // the box is being set from the host's data
};

}  // namespace vok::cmdline
