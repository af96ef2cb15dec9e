#include "cmdline/favorites_menu.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include "cmdline/resources/cmdline_strings.h"
#include "common/cmdline_ifaces.h"

namespace vok::cmdline {
namespace {

QString Text(UINT id) { return QString::fromStdString(LoadStringResource(&kCmdLineResources, id)); }

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

FavoritesMenu::FavoritesMenu(QMenu* menu) {
  submenus_[kFolders] = menu->addMenu(Text(kIdsMenuFolders));
  submenus_[kPrograms] = menu->addMenu(Text(kIdsMenuPrograms));
  submenus_[kFiles] = menu->addMenu(Text(kIdsMenuFiles));
  submenus_[kLinks] = menu->addMenu(Text(kIdsMenuLinks));
  submenus_[kOthers] = menu->addMenu(Text(kIdsMenuOthers));
  menu->addSeparator();
  submenus_[kAliases] = menu->addMenu(Text(kIdsMenuAliases));
  submenus_[kScripts] = menu->addMenu(Text(kIdsMenuScripts));
}

FavoritesMenu::Submenu FavoritesMenu::SubmenuFor(ULONG itemData) {
  switch (itemData) {
    case kFavoriteFile:
      return kFiles;
    case kFavoriteFolder:
      return kFolders;
    case kFavoriteProgram:
      return kPrograms;
    case kFavoriteLink:
      return kLinks;
    case kItemAlias:
      return kAliases;
    case kScriptVBScript:
    case kScriptJavaScript:
    case kScriptPerlScript:
    case kScriptPython:
      return kScripts;
    default:
      // Type 4 and any type this version does not know: both run as "other" favorites.
      return kOthers;
  }
}

bool FavoritesMenu::HasRoomFor(ULONG itemData) const {
  return submenus_[SubmenuFor(itemData)]->actions().size() < kMaxEntries;
}

void FavoritesMenu::Add(ULONG itemData, LONG commandId, std::string_view key,
                        std::string_view description) {
  QAction* action =
      submenus_[SubmenuFor(itemData)]->addAction(QString::fromStdString(Label(key, description)));
  action->setData(static_cast<int>(commandId));
}

std::string FavoritesMenu::Label(std::string_view key, std::string_view description) {
  std::string label(key);
  if (!IsBlank(description)) {
    label += " - ";
    label += description;
  }
  std::string escaped;
  escaped.reserve(label.size());
  for (char c : label) {
    if (c == '&') escaped.push_back('&');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace vok::cmdline
