// The favorites side of vokEngineCmdLine: the menu it contributes to the bar (favorites by
// type, aliases and scripts), the `favorites` command that pops that menu up, and `newfavorite`.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <optional>

#include "cmdline/engine_cmd_line.h"
#include "cmdline/favorite_properties_dialog.h"
#include "cmdline/favorites_menu.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

using namespace vok::cmdline;

namespace {

// Identifiers the favorites command hands out for its menu entries start here.
constexpr LONG kFirstMenuCommandId = 1000;

struct NewFavoriteSwitch {
  const char* text;
  ULONG type;
};
constexpr NewFavoriteSwitch kNewFavoriteSwitches[] = {
    {"/file", kFavoriteFile}, {"/folder", kFavoriteFolder}, {"/prog", kFavoriteProgram},
    {"/link", kFavoriteLink}, {"/other", kFavoriteOther},
};

std::optional<ULONG> FavoriteTypeOfSwitch(const std::optional<std::string>& argument) {
  if (!argument) return std::nullopt;
  for (const NewFavoriteSwitch& entry : kNewFavoriteSwitches) {
    if (vok::EqualsNoCase(*argument, entry.text)) return entry.type;
  }
  return std::nullopt;
}

// The description of a favorite, alias or script item.
std::string ItemDescription(IUnknown* item) {
  auto read = [](auto* object) {
    return ReadBufferText(
        kItemTextSize, [&](char* buffer, ULONG* size) { return object->GetDescr(buffer, size); });
  };
  if (auto favorite = QueryAs<IvokFastListItemFavorite>(item)) return read(favorite.Get());
  if (auto alias = QueryAs<IvokFastListItemAlias>(item)) return read(alias.Get());
  if (auto script = QueryAs<IvokFastListItemScript>(item)) return read(script.Get());
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The favorites menu

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::AddMenuItems(HMENU hMenu) {
  if (!hMenu) return E_INVALIDARG;
  ComPtr<IvokMenuCommands> commands = QueryAs<IvokMenuCommands>(container());
  if (!commands) return E_FAIL;
  FavoritesMenu menu(hMenu);
  menuContext_ = &menu;
  menuCommands_ = commands.Get();
  WalkList(favorites_.Get(), Walk::kMenu);
  WalkList(aliases_.Get(), Walk::kMenu);
  WalkList(scripts_.Get(), Walk::kMenu);
  menuContext_ = nullptr;
  menuCommands_ = nullptr;
  return S_OK;
}

// Each entry's command is the item's key, registered with the container, which runs it when
// the entry is chosen. Items beyond a full submenu are left out (and get no command).
void vokEngineCmdLine::AddToFavoritesMenu(IUnknown* unknown) {
  ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(unknown);
  if (!item || !menuContext_ || !menuCommands_) return;
  ULONG type = 0;
  item->get_ItemData(&type);
  if (!menuContext_->HasRoomFor(type)) return;
  std::string key = ItemKey(unknown);
  if (key.empty()) return;
  LONG id = 0;
  if (FAILED(menuCommands_->AddCommand(key.c_str(), &id))) return;
  menuContext_->Add(type, id, key, ItemDescription(unknown));
}

// The menu is filled by every engine through the container, then the chosen entry's command is
// run by the container. A dismissed menu still empties the container's table of entries.
HRESULT vokEngineCmdLine::OnFavorites(IvokCommandParser*) {
  ComPtr<IvokMenuCommands> commands = QueryAs<IvokMenuCommands>(container());
  if (!commands) return S_OK;
  QMenu menu;
  commands->FillMenu(&menu, kFirstMenuCommandId);
  QAction* chosen = vok::ui::CurrentPrompter().TrackMenu(menu, QCursor::pos());
  commands->RunMenuCommand(chosen ? chosen->data().toInt() : 0);
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// newfavorite

// The definition is taken as typed: it is usually a path, and paths are case-sensitive here.
HRESULT vokEngineCmdLine::OnNewfavorite(IvokCommandParser* parser) {
  std::optional<ULONG> type = FavoriteTypeOfSwitch(vok::CommandArgument(parser, 0));
  if (!type) {
    ReportError(kIdsWrongParameters);
    return S_OK;
  }
  ComPtr<IvokFastListItem> item;
  if (!favorites_ ||
      FAILED(CoCreateInstance(vok::clsid::kFastListItemFavorite, nullptr, CLSCTX_INPROC_SERVER,
                              IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf())))
    return S_OK;
  item->put_ItemData(*type);
  std::optional<std::string> definition = vok::CommandArgument(parser, 1);
  if (definition) {
    if (auto favorite = QueryAs<IvokFastListItemFavorite>(item.Get()))
      favorite->SetFavorite(definition->c_str());
  }

  FavoriteDialogOptions options;
  // A name is taken by any command, and by a favorite in any letter case (favorites are not
  // commands below hint level 1, but their list still refuses a second one of the same name).
  options.isNameTaken = [this](const std::string& name) {
    return (containerIface_ && containerIface_->IsCommandRegistered(name.c_str()) == S_OK) ||
           favorites_->IsInside(name.c_str(), 0) == S_OK;
  };
  if (!FavoritePropertiesDialog::Edit(item.Get(), std::move(options), QApplication::activeWindow()))
    return S_OK;

  // The list takes over our reference when it stores the item.
  if (favorites_->Add(item.Get(), 0) != S_OK) {
    ReportError(kIdsFavoriteNameTaken);
    return S_OK;
  }
  IUnknown* stored = item.Detach();
  dirty_ = true;
  if (hintLevel() == 1) RegisterItem(stored);
  return S_OK;
}
