// The filters of vokEngineShellExec: every filter's key is a command of the engine (at hint
// level 1) that opens the File Management window with that filter, quick help and the command
// browser describe those commands, and the "Filters" submenu offers the first filters.
#include <QAction>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "cmdline/engine_shell_exec.h"
#include "cmdline/favorites_menu.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"

using namespace vok::cmdline;

namespace {

// Syntax lines longer than this show the bare definition instead of "(definition)".
constexpr size_t kSyntaxRoom = 128;

std::string FilterText(IvokFastListItemFilter* filter,
                       HRESULT (STDMETHODCALLTYPE IvokFastListItemFilter::*get)(LPSTR, ULONG*)) {
  return ReadBufferText(filter, get, kFilterTextSize);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Walking the filter list

HRESULT STDMETHODCALLTYPE vokEngineShellExec::RegisterItemCommands() {
  // Below the full bar the filters are no commands (the File Management window needs it).
  if (hintLevel() == 1) WalkFilters(Walk::kRegister);
  return S_OK;
}

void vokEngineShellExec::ReregisterFilterCommands() {
  RemoveItemCommands();
  RegisterItemCommands();
}

void vokEngineShellExec::WalkFilters(Walk mode) {
  if (!filters_) return;
  walkMode_ = mode;
  filters_->Iterate(Identity());
  walkMode_ = Walk::kRegister;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::Begin() {
  walkIndex_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::Item(IUnknown* pUnk) {
  if (!pUnk) return E_POINTER;
  ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(pUnk);
  if (!item) return E_NOINTERFACE;
  const std::string key =
      ReadBufferText(item.Get(), &IvokFastListItem::GetStrKey, kFastListKeySize);
  if (walkMode_ == Walk::kMenu) {
    AddMenuEntry(pUnk, key);
  } else {
    RegisterFilter(pUnk, key);
    // The index is the filter's list position, also for a filter whose key was taken.
    ++walkIndex_;
  }
  return S_OK;
}

// A key already in the table keeps its earlier entry.
void vokEngineShellExec::RegisterFilter(IUnknown* item, const std::string& key) {
  AddItemCommand(key, &vokEngineShellExec::OnFilter, item, FilterCommandExtra{walkIndex_});
}

// ---------------------------------------------------------------------------------------------
// Running a filter command

// The parser is not read: a filter command takes no arguments.
HRESULT vokEngineShellExec::OnFilter(IvokCommandParser*) {
  if (const RegisteredCommand* command = CurrentCommand())
    put_LastFilter(command->extra.filterIndex);
  return RunFileManagement(CurrentDirectory(), "*");
}

// ---------------------------------------------------------------------------------------------
// The "Filters" submenu

// Each entry's command is the filter's key, registered with the container, which runs it when
// the entry is chosen. Without the container's menu commands the submenu stays empty.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::AddMenuItems(HMENU hMenu) {
  if (!hMenu) return E_INVALIDARG;
  QMenu* submenu = hMenu->addMenu(
      QString::fromStdString(vok::LoadStringResource(&kCmdLineResources, kIdsMenuFilters)));
  ComPtr<IvokMenuCommands> commands = QueryAs<IvokMenuCommands>(container());
  if (!commands) return S_OK;
  submenu_ = submenu;
  menuCommands_ = commands.Get();
  WalkFilters(Walk::kMenu);
  submenu_ = nullptr;
  menuCommands_ = nullptr;
  return S_OK;
}

void vokEngineShellExec::AddMenuEntry(IUnknown* item, const std::string& key) {
  if (!submenu_ || !menuCommands_ || key.empty()) return;
  if (submenu_->actions().size() >= kMaxMenuFilters) return;
  ComPtr<IvokFastListItemFilter> filter = QueryAs<IvokFastListItemFilter>(item);
  std::string description = FilterText(filter.Get(), &IvokFastListItemFilter::GetDescr);
  LONG id = 0;
  if (FAILED(menuCommands_->AddCommand(key.c_str(), &id))) return;
  QAction* action =
      submenu_->addAction(QString::fromStdString(FavoritesMenu::Label(key, description)));
  action->setData(static_cast<int>(id));
}

// ---------------------------------------------------------------------------------------------
// Quick help and the command browser

// Name: the key as the filter spells it; syntax: "(definition)" unless the reserved argument
// is set or the parentheses would not fit; description: the filter's description.
void vokEngineShellExec::DescribeItemCommand(const std::string&, const vok::CommandRecord& record,
                                             char* name, char* syntax, char* description,
                                             LONG reserved) {
  IUnknown* unknown = record.item.Get();
  ComPtr<IvokFastListItemFilter> filter = QueryAs<IvokFastListItemFilter>(unknown);
  if (!filter || !QueryAs<IvokFastListItem>(unknown)) return;
  auto put = [](const std::string& text, char* buffer) {
    vok::CopyToFixedBuffer(text, buffer, vok::kInfoBufferSize);
  };
  put(ItemKey(unknown), name);
  std::string definition = FilterText(filter.Get(), &IvokFastListItemFilter::GetFilter);
  if (reserved == 0 && definition.size() + 2 < kSyntaxRoom) definition = "(" + definition + ")";
  put(definition, syntax);
  put(FilterText(filter.Get(), &IvokFastListItemFilter::GetDescr), description);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::FillCommandTree(HWND hwndTree) {
  if (hintLevel() != 1) return S_OK;
  return EngineBase::FillCommandTree(hwndTree);
}

std::string vokEngineShellExec::CommandTreeTitle() const {
  return vok::LoadStringResource(&kCmdLineResources, kIdsFilterShortcuts);
}

void vokEngineShellExec::DecorateCommandTreeGroup(QTreeWidgetItem* group) {
  QFont font = group->font(0);
  font.setBold(true);
  group->setFont(0, font);
  QIcon fallback;
  if (QTreeWidget* tree = group->treeWidget())
    fallback = tree->style()->standardIcon(QStyle::SP_FileDialogContentsView);
  group->setIcon(0, QIcon::fromTheme("view-filter", fallback));
}
