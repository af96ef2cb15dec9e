#include "cmdline/file_management_toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

#include "cmdline/cmdline_icons.h"
#include "cmdline/dialog_support.h"
#include "cmdline/history_button.h"
#include "common/shell_exec_ifaces.h"

namespace vok::cmdline {
namespace {

// The toolbar's images are 16 x 15, as the embedded fallbacks.
constexpr QSize kIconSize(16, 15);

}  // namespace

FileManagementToolbar::FileManagementToolbar(std::function<void(int)> run, QWidget* parent)
    : QToolBar(parent), run_(std::move(run)) {
  setObjectName(QStringLiteral("fileManagementToolbar"));
  setIconSize(kIconSize);
  setFloatable(false);
  setMovable(false);

  AddHistoryButton(kFmBack, kFmBackMenu, "back", ThemeIcon("go-previous", "back.xpm"));
  AddHistoryButton(kFmForward, kFmForwardMenu, "forward", ThemeIcon("go-next", "forward.xpm"));
  AddHistoryButton(kFmUp, kFmUpMenu, "up", ThemeIcon("go-up", "up.xpm"));
  AddEntry(kFmRefresh, "refresh", ThemeIcon("view-refresh", "refresh.xpm"));
  AddEntry(kFmBrowseForFolder, "browseForFolder", ThemeIcon("folder-open", "browse.xpm"));
  addSeparator();

  auto* views = new QActionGroup(this);
  views->setExclusive(true);
  const struct {
    int command;
    const char* name;
    LONG view;
  } kViews[] = {
      {kFmLargeIcons, "largeIcons", kViewLargeIcons},
      {kFmSmallIcons, "smallIcons", kViewSmallIcons},
      {kFmList, "list", kViewList},
      {kFmDetails, "details", kViewDetails},
  };
  for (const auto& view : kViews) {
    QAction* action = AddEntry(view.command, view.name, ViewIcon(view.view));
    action->setCheckable(true);
    views->addAction(action);
  }
}

QAction* FileManagementToolbar::AddEntry(int command, const char* name, const QIcon& icon) {
  const QString tip = LoadUiString(static_cast<UINT>(command));
  auto* action = new QAction(icon, tip, this);
  action->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
  action->setToolTip(tip);
  QObject::connect(action, &QAction::triggered, this, [this, command] { run_(command); });
  actions_[command] = action;
  // History buttons place their own widget; the others get the toolbar's button.
  if (command != kFmBack && command != kFmForward && command != kFmUp) {
    addAction(action);
    if (QWidget* button = widgetForAction(action))
      button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
  }
  return action;
}

void FileManagementToolbar::AddHistoryButton(int command, int menuCommand, const char* name,
                                             const QIcon& icon) {
  QAction* action = AddEntry(command, name, icon);
  auto* button = new HistoryButton(nullptr, [this, menuCommand] { run_(menuCommand); });
  button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
  button->setDefaultAction(action);
  button->setIconSize(kIconSize);
  button->setAutoRaise(true);
  addWidget(button);
  historyButtons_[menuCommand] = button;
}

QAction* FileManagementToolbar::Action(int command) const {
  auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void FileManagementToolbar::SetCommandEnabled(int command, bool enabled) {
  if (QAction* action = Action(command)) action->setEnabled(enabled);
}

void FileManagementToolbar::CheckView(int command) {
  if (QAction* action = Action(command); action && action->isCheckable()) action->setChecked(true);
}

QPoint FileManagementToolbar::MenuPosition(int menuCommand) const {
  auto found = historyButtons_.find(menuCommand);
  if (found == historyButtons_.end()) return mapToGlobal(QPoint(0, height()));
  const QToolButton* button = found->second;
  return button->mapToGlobal(QPoint(0, button->height()));
}

}  // namespace vok::cmdline
