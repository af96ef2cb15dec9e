#include "bar/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <algorithm>

#include "common/container_ifaces.h"

namespace vok::bar {
namespace {

// Longer paths lose their middle folders in the recent-files entries.
constexpr qsizetype kLongestShownPath = 48;
constexpr size_t kMostRecentEntries = kCmdLastRecentFile - kCmdFirstRecentFile + 1;

QAction* AddItem(QMenu& menu, const char* text, int id, bool enabled = true) {
  QAction* action = menu.addAction(QString::fromUtf8(text));
  action->setData(id);
  action->setEnabled(enabled);
  return action;
}

void AddToggle(QMenu& menu, const char* text, int id, bool checked, bool enabled = true) {
  QAction* action = AddItem(menu, text, id, enabled);
  action->setCheckable(true);
  action->setChecked(checked);
}

void AddWindowToggles(QMenu& menu, const MenuState& state) {
  AddToggle(menu, "Always On &Top", kCmdAlwaysOnTop, state.settings.alwaysOnTop);
  AddToggle(menu, "Auto-&hide", kCmdAutoHide, state.settings.autoHide);
  AddToggle(menu, "&Dock", kCmdDock, state.settings.docked);
}

// The engines fill the popup each time the menu opens; their identifiers stay valid until
// the caller's RunMenuCommand(-1).
void AddFavorites(QMenu& menu, const MenuState& state) {
  QMenu* favorites = menu.addMenu(QStringLiteral("&Favorites"));
  if (state.engineMenus) {
    state.engineMenus->FillMenu(favorites, kCmdFirstEngineItem);
  } else {
    favorites->menuAction()->setEnabled(false);
  }
}

void AddRecentFiles(QMenu& menu, const std::vector<std::string>& files) {
  if (files.empty()) {
    // As desktop programs show an empty list: one greyed placeholder.
    AddItem(menu, "Recent File", kCmdFirstRecentFile, false);
    return;
  }
  const size_t shown = std::min(files.size(), kMostRecentEntries);
  for (size_t i = 0; i < shown; ++i)
    menu.addAction(RecentFileLabel(i, files[i]))
        ->setData(kCmdFirstRecentFile + static_cast<int>(i));
}

// Keeps the first folder and as many of the last folders as fit, always the file name:
// "/home/.../projects/bar/work.qdx".
QString ShortenedPath(const QString& path) {
  if (path.size() <= kLongestShownPath) return path;
  const QStringList parts = path.split(QLatin1Char('/'));
  const bool absolute = path.startsWith(QLatin1Char('/'));
  const qsizetype headParts = absolute ? 2 : 1;
  if (parts.size() <= headParts + 1) return path;  // no folder in the middle to leave out
  QString head = parts[0];
  if (absolute) head = QStringLiteral("/") + parts[1];
  const QString gap = QStringLiteral("/.../");
  QString tail = parts.last();
  for (qsizetype i = parts.size() - 2; i >= headParts; --i) {
    const QString longer = parts[i] + QLatin1Char('/') + tail;
    if (head.size() + gap.size() + longer.size() > kLongestShownPath) break;
    tail = longer;
  }
  const QString shortened = head + gap + tail;
  return shortened.size() < path.size() ? shortened : path;
}

}  // namespace

QString RecentFileLabel(size_t index, const std::string& path) {
  const size_t number = index + 1;
  QString label;
  if (number < 10) {
    label = QStringLiteral("&%1").arg(number);
  } else if (number == 10) {
    label = QStringLiteral("1&0");
  } else {
    label = QString::number(number);
  }
  QString shown =
      ShortenedPath(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return label + QLatin1Char(' ') + shown;
}

void BuildMainMenu(QMenu& menu, const MenuState& state) {
  QMenu& file = *menu.addMenu(QStringLiteral("&File"));
  AddItem(file, "&Open...", kCmdOpen);
  AddItem(file, "&Save", kCmdSave);
  AddItem(file, "Save &As,,,", kCmdSaveAs);
  file.addSeparator();
  AddRecentFiles(file, state.recentFiles);
  file.addSeparator();
  AddItem(file, "E&xit", kCmdExit);

  QMenu& view = *menu.addMenu(QStringLiteral("&View"));
  AddItem(view, "&File Management", kCmdFileManagement);
  AddItem(view, "&Command Browser", kCmdCommandBrowser);
  AddItem(view, "&Log File", kCmdLogFile);
  view.addSeparator();
  AddItem(view, "&Next Mode\tAlt + PgDn", kCmdNextPanel);
  AddItem(view, "&Previous Mode\tAlt + PgUp", kCmdPreviousPanel);
  view.addSeparator();
  AddWindowToggles(view, state);
  AddToggle(view, "Auto-&minimize", kCmdAutoMinimize, state.settings.autoMinimize, !state.docked);

  QMenu& go = *menu.addMenu(QStringLiteral("&Go"));
  AddItem(go, "&Back\tAlt + Left Arrow", kCmdBack);
  AddItem(go, "&Forward\tAlt + Right Arrow", kCmdForward);
  AddItem(go, "&Up one level", kCmdUpOneLevel);

  AddFavorites(menu, state);

  QMenu& tools = *menu.addMenu(QStringLiteral("&Tools"));
  AddItem(tools, "&Options...", kCmdOptions);

  QMenu& help = *menu.addMenu(QStringLiteral("&Help"));
  AddItem(help, "Quillo &Help", kCmdHelp);
  AddItem(help, "Getting &Started", kCmdGettingStarted);
  AddItem(help, "&Quillo Home Page", kCmdHomePage);
  help.addSeparator();
  AddItem(help, "&About Quillo...", kCmdAbout);
}

void BuildTrayMenu(QMenu& menu, const MenuState& state) {
  AddFavorites(menu, state);
  menu.addSeparator();
  AddWindowToggles(menu, state);
  menu.addSeparator();
  AddItem(menu, "&Options...", kCmdOptions);
  QMenu& help = *menu.addMenu(QStringLiteral("&Help"));
  AddItem(help, "Quillo &Help", kCmdHelp);
  AddItem(help, "Getting &Started", kCmdGettingStarted);
  AddItem(help, "&About Quillo...", kCmdAbout);
  menu.addSeparator();
  AddItem(menu, "E&xit", kCmdExit);
}

}  // namespace vok::bar
