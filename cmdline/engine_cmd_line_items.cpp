// The item commands of vokEngineCmdLine: every alias, script and (at hint level 1) favorite is
// registered as a command of the engine under its key, and runs through the handlers here.
#include <optional>
#include <vector>

#include "cmdline/alias_expansion.h"
#include "cmdline/engine_cmd_line.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/shell/shell.h"
#include "platform/ui/prompter.h"

using namespace vok::cmdline;

namespace {

// Placeholders reach arguments %1..%9 only.
constexpr LONG kMaxAliasArguments = 9;

bool IsScriptType(ULONG type) { return type >= kScriptVBScript && type <= kScriptPython; }

// The typed arguments from the first on (at most `limit`), each as it must be written to stay
// one token.
std::vector<std::string> RequotedArguments(IvokCommandParser* parser, LONG limit) {
  std::vector<std::string> arguments;
  for (LONG k = 0; k < limit; ++k) {
    std::optional<std::string> argument = vok::CommandArgument(parser, k);
    if (!argument) break;
    arguments.push_back(RequoteArgument(*argument));
  }
  return arguments;
}


}  // namespace

// ---------------------------------------------------------------------------------------------
// Registration

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Item(IUnknown* pUnk) {
  if (!pUnk) return S_OK;
  if (walkMode_ == Walk::kMenu) {
    AddToFavoritesMenu(pUnk);
  } else {
    RegisterItem(pUnk);
  }
  return S_OK;
}

void vokEngineCmdLine::WalkList(IvokFastList* list, Walk mode) {
  if (!list) return;
  walkMode_ = mode;
  list->Iterate(Identity());
  walkMode_ = Walk::kRegister;
}

void vokEngineCmdLine::ReregisterItemCommands() {
  RemoveItemCommands();
  // Favorites are commands only for the full bar; `cd` finds folder favorites at every level.
  if (hintLevel() == 1) WalkList(favorites_.Get(), Walk::kRegister);
  WalkList(aliases_.Get(), Walk::kRegister);
  WalkList(scripts_.Get(), Walk::kRegister);
}

// A word already in the map keeps its entry: no item replaces a built-in or an earlier item.
void vokEngineCmdLine::RegisterItem(IUnknown* unknown) {
  ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(unknown);
  if (!item) return;
  std::string key = ItemKey(unknown);
  if (key.empty()) return;
  ULONG type = 0;
  item->get_ItemData(&type);
  Handler handler = &vokEngineCmdLine::OnRunFavorite;
  if (type == kItemAlias) {
    handler = &vokEngineCmdLine::OnRunAlias;
  } else if (IsScriptType(type)) {
    handler = &vokEngineCmdLine::OnRunScript;
  }
  // Folder favorites complete in any position of a line (they are arguments of cd, copy ...);
  // the other items only as the command word. Completion asks for "hidden" entries exactly when
  // it completes the first word.
  bool firstWordOnly = !(handler == &vokEngineCmdLine::OnRunFavorite && type == kFavoriteFolder);
  AddItemCommand(key, handler, unknown, CmdLineCommandExtra{firstWordOnly}, firstWordOnly);
}

IUnknown* vokEngineCmdLine::CurrentItem() const {
  const RegisteredCommand* command = CurrentCommand();
  return command ? command->item.Get() : nullptr;
}

void vokEngineCmdLine::DescribeItemCommand(const std::string&, const vok::CommandRecord& record,
                                           char* name, char* syntax, char* description, LONG) {
  IUnknown* unknown = record.item.Get();
  if (!QueryAs<IvokFastListItem>(unknown)) return;
  auto put = [](const std::string& text, char* buffer) {
    vok::CopyToFixedBuffer(text, buffer, vok::kInfoBufferSize);
  };
  put(ItemKey(unknown), name);
  if (auto alias = QueryAs<IvokFastListItemAlias>(unknown)) {
    // The definition shortened to its first line, as the alias lists show it.
    std::string summary(kItemTextSize, '\0');
    auto columns = QueryAs<IvokFastListItemColumns>(unknown);
    if (columns && SUCCEEDED(columns->GetColumnText(1, summary.data()))) {
      put(summary.c_str(), syntax);
    }
    put(ReadBufferText(alias.Get(), &IvokFastListItemAlias::GetDescr, kItemTextSize), description);
  } else if (auto favorite = QueryAs<IvokFastListItemFavorite>(unknown)) {
    put(ReadBufferText(favorite.Get(), &IvokFastListItemFavorite::GetFavorite, kItemTextSize),
        syntax);
    put(ReadBufferText(favorite.Get(), &IvokFastListItemFavorite::GetDescr, kItemTextSize),
        description);
  } else if (auto script = QueryAs<IvokFastListItemScript>(unknown)) {
    put(ReadBufferText(script.Get(), &IvokFastListItemScript::GetScript, kItemTextSize), syntax);
    put(ReadBufferText(script.Get(), &IvokFastListItemScript::GetDescr, kItemTextSize),
        description);
  }
}

std::string vokEngineCmdLine::CommandTreeTitle() const {
  return vok::LoadStringResource(&kCmdLineResources, kIdsPanelTip);
}

// ---------------------------------------------------------------------------------------------
// Running items

namespace {

// The status of an item command whose built line no engine took: the item was this engine's
// command, so the dispatch must end here, and the user must hear that nothing ran.
HRESULT NotTakenIsFailure(HRESULT hr) { return hr == S_FALSE ? E_FAIL : hr; }

}  // namespace

// Each line of the expanded definition runs through the container, so an alias may call any
// command, other aliases included; the status of the last line that ran is the result. An alias
// that is already being expanded further up is stopped with a message (direct or indirect
// recursion), while the outer alias goes on with its remaining lines.
//
// The alias was this engine's command whatever its lines did, so the result is never S_FALSE,
// which would offer the alias's own line to the next engine and have the shell run a program of
// the alias's name as well. A last line that no engine took is a failure (the bar reports it);
// an alias of comments only is done.
HRESULT vokEngineCmdLine::OnRunAlias(IvokCommandParser* parser) {
  ComPtr<IvokFastListItemAlias> alias = QueryAs<IvokFastListItemAlias>(CurrentItem());
  if (!alias || !containerIface_) return E_UNEXPECTED;
  std::string name = vok::ToUpper(vok::CommandArgument(parser, -1).value_or(std::string()));
  if (runningAliases_.count(name)) {
    ShowAliasRecursion(name);
    return S_OK;
  }
  runningAliases_.insert(name);
  struct Leave {
    std::set<std::string>& set;
    const std::string& name;
    ~Leave() { set.erase(name); }
  } leave{runningAliases_, name};

  std::string definition = ReadBufferText(kAliasDefinitionSize, [&](char* buffer, ULONG* size) {
    return alias->GetAlias(buffer, size);
  });
  // Arguments are used as typed (paths are case-sensitive here); read before any line runs,
  // because the lines reuse the container's parser.
  std::string expanded = ExpandAlias(definition, RequotedArguments(parser, kMaxAliasArguments));
  HRESULT result = S_OK;
  for (std::string_view line : AliasCommandLines(expanded, hintLevel() == 0))
    result = containerIface_->Command(std::string(line).c_str());
  return NotTakenIsFailure(result);
}

void vokEngineCmdLine::ShowAliasRecursion(const std::string& name) {
  char message[128];
  vok::LoadStringResource(&kCmdLineResources, kIdsAliasRecursion, message, sizeof message);
  vok::ui::Message box;
  box.owner = PanelWindow();
  box.text = vok::Substitute(message, "%s", name);
  box.caption = vok::LoadStringResource(&kCmdLineResources, kIdsCaptionAliases);
  box.icon = vok::ui::Icon::kError;
  box.buttons = vok::ui::Buttons::kOk;
  vok::ui::Ask(box);
}

// A folder opens in the file manager; any other favorite runs as the quoted definition followed
// by the typed arguments, through the container (a program favorite thus reaches the shell with
// the arguments). As with aliases, a built line that no engine took is a failure, not S_FALSE.
HRESULT vokEngineCmdLine::OnRunFavorite(IvokCommandParser* parser) {
  IUnknown* unknown = CurrentItem();
  ComPtr<IvokFastListItemFavorite> favorite = QueryAs<IvokFastListItemFavorite>(unknown);
  ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(unknown);
  if (!favorite || !item || !containerIface_) return E_UNEXPECTED;
  std::string definition = ReadBufferText(kItemTextSize, [&](char* buffer, ULONG* size) {
    return favorite->GetFavorite(buffer, size);
  });
  ULONG type = 0;
  item->get_ItemData(&type);
  if (type == kFavoriteFolder) {
    LONG useTree = 0;
    favorite->get_UseExplorerTree(&useTree);
    // A missing folder is reported by the shell, not by the engine.
    vok::shell::Open(definition, useTree ? vok::shell::Verb::kExplore : vok::shell::Verb::kOpen);
    return S_OK;
  }
  std::string line = "\"" + definition + "\"";
  for (const std::string& argument : RequotedArguments(parser, INT32_MAX)) line += " " + argument;
  return NotTakenIsFailure(containerIface_->Command(line.c_str()));
}

// Scripts run through the browser helper (or a script site it provides), which this version
// does not have: the browser is never available, and the script says so.
HRESULT vokEngineCmdLine::OnRunScript(IvokCommandParser*) {
  ReportError(kIdsScriptCannotRun);
  return S_OK;
}
