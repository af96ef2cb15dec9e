// The favorites menu the command-line engine contributes to the bar's menus: one submenu per
// favorite type, then the aliases and the scripts, each holding at most kMaxEntries entries.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/vok_types.h"

class QMenu;

namespace vok::cmdline {

class FavoritesMenu {
 public:
  static constexpr int kMaxEntries = 20;

  // Appends the submenus "&Folders", "&Programs", "F&iles", "&Links", "&Others", a separator,
  // "&Aliases" and "&Scripts" to `menu`, which owns them and must outlive this object.
  explicit FavoritesMenu(QMenu* menu);

  // False when the submenu for items of `itemData` already holds kMaxEntries entries.
  bool HasRoomFor(ULONG itemData) const;
  // Appends the entry of an item to its submenu; `commandId` becomes the action's data().
  // The caller checked HasRoomFor.
  void Add(ULONG itemData, LONG commandId, std::string_view key, std::string_view description);

  // The text of an entry: "key - description", or the key alone when the description is
  // blank. '&' is doubled so that it shows instead of marking a mnemonic.
  static std::string Label(std::string_view key, std::string_view description);

 private:
  enum Submenu { kFolders, kPrograms, kFiles, kLinks, kOthers, kAliases, kScripts, kCount };
  static Submenu SubmenuFor(ULONG itemData);

  std::array<QMenu*, kCount> submenus_{};
};

}  // namespace vok::cmdline
