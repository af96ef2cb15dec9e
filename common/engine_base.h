// The base every engine derives from: its command table and command map, the dispatch of a
// parsed line to the handler of its command word, command information for quick help, word
// completion and the command browser, and the IvokEngine bookkeeping.
//
// An engine declares a static table of its built-in commands and derives from
// EngineBase<Engine>; Init registers the rows whose minimum hint level the engine's hint level
// reaches. Entries for list items (aliases, favorites, filters ...) are added at run time with
// AddItemCommand and hold a reference to their item.
//
//   class MyEngine : public vok::EngineBase<MyEngine, vok::NoCommandExtra, IPersistStorage> {
//    public:
//     MyEngine() : EngineBase(kMyResources, kCommands, /*virtualOrder=*/5) {}
//     HRESULT OnCd(IvokCommandParser* parser);
//     static const CommandEntry kCommands[];
//   };
//   const MyEngine::CommandEntry MyEngine::kCommands[] = {
//       {&MyEngine::OnCd, IDS_CD, IDS_CD_SYNTAX, IDS_CD_DESC, 0},
//       {nullptr}};
//
// Command words are stored and looked up in upper case (vok::ToUpper) unless the engine is
// made case-sensitive; the map orders them byte-wise.
#pragma once

#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "common/engine_ifaces.h"
#include "common/parser_ifaces.h"
#include "common/string_table.h"
#include "common/vok_object.h"

class QTreeWidgetItem;

namespace vok {

// ---- Reading the parsed command line ----

// Frees a task-allocated string (as handed out by IvokEnumArgs::Next).
struct TaskMemFree {
  void operator()(void* p) const { CoTaskMemFree(p); }
};
using TaskString = std::unique_ptr<char, TaskMemFree>;

enum class ArgCase { kAsTyped, kLower };

// Token k + 1 of the parsed line: k = 0 is the first argument after the command word, k = -1
// the command word itself. nullopt when the line has no such token. The parser is borrowed.
std::optional<std::string> CommandArgument(IvokCommandParser* parser, LONG k,
                                           ArgCase letterCase = ArgCase::kAsTyped);

// The arguments after the command word, each preceded by one blank ("" when there are none).
std::string AllArguments(IvokCommandParser* parser);

// ---- Registered commands ----

// The fields every registered command carries. Built-in entries name their texts by string
// id; item entries stand for one list item, named by the item's key.
struct CommandRecord {
  UINT nameId = 0;
  UINT syntaxId = 0;
  UINT descId = 0;
  LONG minHint = 0;
  bool itemFlag = false;
  ComPtr<IUnknown> item;  // the item's identity (item entries only); one reference
  bool hidden = false;    // offered by MatchCommand only when hidden commands are asked for
};

// Text limits of command information: a loaded command word, and the three info buffers
// (kInfoBufferSize bytes, kInfoBufferSize - 1 copied at most).
constexpr int kCommandNameMax = 62;
constexpr int kInfoBufferSize = 127;
constexpr ULONG kMatchKeySize = 128;

template <class Derived, class Extra, class... Ifaces>
class EngineBase;

// The part of EngineBase that does not depend on the engine's type.
class EngineCore {
 public:
  // Word → entry, byte-wise order. Entries are shared so that a running handler keeps its own
  // entry alive even when the handler removes it from the map.
  using CommandMap = std::map<std::string, std::shared_ptr<const CommandRecord>>;

  EngineCore(const EngineCore&) = delete;
  EngineCore& operator=(const EngineCore&) = delete;

  const ModuleResources& resources() const { return resources_; }
  // The container given to Init; no reference is held (the container outlives its engines).
  IUnknown* container() const { return container_; }
  LONG hintLevel() const { return hint_; }
  LONG virtualOrder() const { return virtualOrder_; }
  bool caseSensitive() const { return caseSensitive_; }
  const CommandMap& commands() const { return commands_; }

  // The map key for `word`: upper case unless the engine is case-sensitive.
  std::string KeyFor(std::string_view word) const;

 protected:
  // `resources` must outlive the engine (it is the library's static string table).
  EngineCore(const ModuleResources& resources, LONG virtualOrder);
  virtual ~EngineCore();

  // Fills the info buffers (kInfoBufferSize bytes each) for an item entry found by
  // GetCommandInfo. The default leaves them untouched.
  virtual void DescribeItemCommand(const std::string& key, const CommandRecord& record, char* name,
                                   char* syntax, char* description, LONG reserved);
  // The text of the engine's group node in the command tree.
  virtual std::string CommandTreeTitle() const;
  // Called with the engine's group node after its children were added (icon, font ...).
  virtual void DecorateCommandTreeGroup(QTreeWidgetItem* group);

  // The entry of the command being (or last) dispatched; null before the first dispatch.
  const CommandRecord* currentRecord() const { return current_.get(); }

  // The bodies of the interface operations, called by EngineBase.
  HRESULT StoreInit(IUnknown* container, LONG hint);
  HRESULT StoreExit();
  HRESULT HandOutContainer(IUnknown** ppVal) const;
  HRESULT Dispatch(IUnknown* pParserUnk);
  HRESULT LookupRegistered(LPCSTR word) const;
  HRESULT DropItemCommands();
  HRESULT LookupCommandInfo(LPCSTR word, LPSTR name, LPSTR syntax, LPSTR description, LONG* index,
                            LONG reserved);
  HRESULT FindMatchingCommand(LPCSTR pattern, LPSTR out, LONG hiddenToo) const;
  HRESULT FillTree(HWND tree);  // engine_base_tree.cpp
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }
  // The command word of string `id`, at most kCommandNameMax bytes.
  std::string LoadCommandName(UINT id) const;

 private:
  template <class, class, class...>
  friend class EngineBase;

  // Calls the handler of `record` (an EngineBase<...>::RegisteredCommand).
  virtual HRESULT RunCommand(const CommandRecord& record, IvokCommandParser* parser) = 0;
  // Adds `record` under `key`; an existing entry stays (false).
  bool InsertCommand(std::string key, std::shared_ptr<const CommandRecord> record);

  const ModuleResources& resources_;
  const LONG virtualOrder_;
  IUnknown* container_ = nullptr;
  LONG hint_ = 0;
  bool caseSensitive_ = false;
  CommandMap commands_;
  std::shared_ptr<const CommandRecord> current_;
};

namespace detail {

// IvokEngine and IvokEngineCmdTable both have an operation Command(IUnknown*). A single C++
// override would fill both slots, so these give the two slots distinct names: an engine
// refines EngineCommand while the table keeps the common dispatch.
struct EngineSlots : IvokEngine {
  HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) final {
    return EngineCommand(pParserUnk);
  }
  virtual HRESULT EngineCommand(IUnknown* pParserUnk) = 0;

 protected:
  ~EngineSlots() = default;
};

struct CmdTableSlots : IvokEngineCmdTable {
  HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) final { return TableCommand(pParserUnk); }
  virtual HRESULT TableCommand(IUnknown* pParserUnk) = 0;

 protected:
  ~CmdTableSlots() = default;
};

}  // namespace detail

// Extra fields of a command entry for engines that need none.
struct NoCommandExtra {};

// Derived: the engine. Extra: the engine's own fields of a command entry (a filter index, a
// first-word-only flag ...), default-constructible. Ifaces: further interfaces the engine
// implements besides IvokEngine, IvokEngineCmdTable and IvokCommandInfo.
template <class Derived, class Extra = NoCommandExtra, class... Ifaces>
class EngineBase
    : public ObjectRoot<detail::EngineSlots, detail::CmdTableSlots, IvokCommandInfo, Ifaces...>,
      public EngineCore {
 public:
  using Handler = HRESULT (Derived::*)(IvokCommandParser*);

  // One row of the engine's static command table; the table ends with a row whose handler is
  // null.
  struct CommandEntry {
    Handler handler = nullptr;
    UINT nameId = 0;
    UINT syntaxId = 0;
    UINT descId = 0;
    LONG minHint = 0;
    bool hidden = false;
    Extra extra{};
  };

  // An entry of the command map.
  struct RegisteredCommand : CommandRecord {
    Handler handler = nullptr;
    Extra extra{};
  };

  // IvokEngine
  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = virtualOrder();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = hintLevel();
    return S_OK;
  }
  // Stores the container (without a reference) and the hint level, then registers the table.
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override {
    StoreInit(pEngineContainerUnk, lHint);
    return this->RegisterCommands(lHint);
  }
  // Drops the item entries (and with them the references to list items).
  HRESULT STDMETHODCALLTYPE Exit() override { return StoreExit(); }
  // The container without a reference; E_FAIL (and null) before Init gave one.
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) override {
    return HandOutContainer(ppVal);
  }
  // What IvokEngine::Command does; by default the table's dispatch.
  HRESULT EngineCommand(IUnknown* pParserUnk) override { return TableCommand(pParserUnk); }

  // IvokEngineCmdTable
  HRESULT STDMETHODCALLTYPE get_CaseSensitive(LONG* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = caseSensitive() ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_CaseSensitive(LONG newVal) override {
    SetCaseSensitive(newVal != 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterCommands(LONG lHint) override {
    try {
      for (const CommandEntry* entry = table_; entry && entry->handler; ++entry) {
        const CommandEntry& row = *entry;
        if (lHint < row.minHint) continue;
        std::string name = LoadCommandName(row.nameId);
        if (name.empty()) continue;
        auto record = std::make_shared<RegisteredCommand>();
        record->nameId = row.nameId;
        record->syntaxId = row.syntaxId;
        record->descId = row.descId;
        record->minHint = row.minHint;
        record->hidden = row.hidden;
        record->handler = row.handler;
        record->extra = row.extra;
        InsertCommand(KeyFor(name), std::move(record));
      }
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  HRESULT TableCommand(IUnknown* pParserUnk) override { return Dispatch(pParserUnk); }
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR lpszCmd) override {
    return LookupRegistered(lpszCmd);
  }
  HRESULT STDMETHODCALLTYPE RemoveItemCommands() override { return DropItemCommands(); }
  // Engines with item lists register their item entries here (AddItemCommand).
  HRESULT STDMETHODCALLTYPE RegisterItemCommands() override { return S_OK; }

  // IvokCommandInfo
  HRESULT STDMETHODCALLTYPE GetCommandInfo(LPCSTR lpszWord, LPSTR lpszName, LPSTR lpszSyntax,
                                           LPSTR lpszDescription, LONG* plIndex,
                                           LONG lReserved) override {
    return LookupCommandInfo(lpszWord, lpszName, lpszSyntax, lpszDescription, plIndex, lReserved);
  }
  HRESULT STDMETHODCALLTYPE FillCommandTree(HWND hwndTree) override { return FillTree(hwndTree); }
  HRESULT STDMETHODCALLTYPE MatchCommand(LPCSTR lpszPattern, LPSTR lpszOut,
                                         LONG lHiddenToo) override {
    return FindMatchingCommand(lpszPattern, lpszOut, lHiddenToo);
  }

 protected:
  // `table` is the engine's static command table, ended by a row with a null handler; it must
  // outlive the engine. Null for an engine without built-in commands.
  EngineBase(const ModuleResources& resources, const CommandEntry* table, LONG virtualOrder)
      : EngineCore(resources, virtualOrder), table_(table) {}

  // Registers an entry for a list item under `key` (upper-cased unless case-sensitive). The
  // entry holds a reference to the item's identity until RemoveItemCommands or destruction.
  // S_OK when added; S_FALSE when the word is taken (the existing entry stays);
  // E_INVALIDARG for an empty key, a null handler or a null item.
  HRESULT AddItemCommand(std::string_view key, Handler handler, IUnknown* item, Extra extra = {},
                         bool hidden = false) {
    if (key.empty() || !handler || !item) return E_INVALIDARG;
    try {
      auto record = std::make_shared<RegisteredCommand>();
      record->itemFlag = true;
      record->item = IdentityOf(item);
      record->hidden = hidden;
      record->handler = handler;
      record->extra = std::move(extra);
      return InsertCommand(KeyFor(key), std::move(record)) ? S_OK : S_FALSE;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  // The entry of the command being (or last) dispatched; null before the first dispatch.
  const RegisteredCommand* CurrentCommand() const {
    return static_cast<const RegisteredCommand*>(currentRecord());
  }
  // The typed view of a record of this engine's map (as given to DescribeItemCommand).
  static const RegisteredCommand& Typed(const CommandRecord& record) {
    return static_cast<const RegisteredCommand&>(record);
  }

 private:
  HRESULT RunCommand(const CommandRecord& record, IvokCommandParser* parser) final {
    return (static_cast<Derived*>(this)->*Typed(record).handler)(parser);
  }

  const CommandEntry* table_;
};

}  // namespace vok
