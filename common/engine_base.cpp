#include "common/engine_base.h"

#include <exception>

#include "common/fast_list_ifaces.h"
#include "common/text_util.h"

namespace vok {

std::optional<std::string> CommandArgument(IvokCommandParser* parser, LONG k, ArgCase letterCase) {
  if (!parser || k < -1) return std::nullopt;
  ComPtr<IvokEnumArgs> args = QueryAs<IvokEnumArgs>(parser);
  if (!args) return std::nullopt;
  args->Reset();
  args->Skip(static_cast<ULONG>(k + 1));
  char* raw = nullptr;
  ULONG fetched = 0;
  HRESULT hr = args->Next(1, &raw, &fetched);
  TaskString token(raw);
  if (hr != S_OK || !token) return std::nullopt;
  return letterCase == ArgCase::kLower ? ToLower(token.get()) : std::string(token.get());
}

std::string AllArguments(IvokCommandParser* parser) {
  if (!parser) return {};
  LONG length = 0;
  if (FAILED(parser->get_CmdLen(&length)) || length <= 0) return {};
  // The arguments, each after one blank, are never longer than the line.
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  if (FAILED(parser->GetAllArguments(buffer.data()))) return {};
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return buffer;
}

EngineCore::EngineCore(const ModuleResources& resources, LONG virtualOrder)
    : resources_(resources), virtualOrder_(virtualOrder) {}

EngineCore::~EngineCore() = default;

std::string EngineCore::KeyFor(std::string_view word) const {
  return caseSensitive_ ? std::string(word) : ToUpper(word);
}

void EngineCore::DescribeItemCommand(const std::string&, const CommandRecord&, char*, char*, char*,
                                     LONG) {}

std::string EngineCore::CommandTreeTitle() const { return {}; }

void EngineCore::DecorateCommandTreeGroup(QTreeWidgetItem*) {}

std::string EngineCore::LoadCommandName(UINT id) const {
  char name[kCommandNameMax + 1];
  LoadStringResource(&resources_, id, name, sizeof name);
  return name;
}

bool EngineCore::InsertCommand(std::string key, std::shared_ptr<const CommandRecord> record) {
  return commands_.try_emplace(std::move(key), std::move(record)).second;
}

HRESULT EngineCore::StoreInit(IUnknown* container, LONG hint) {
  container_ = container;
  hint_ = hint;
  return S_OK;
}

// Item entries hold references to list items, which may in turn reach back to the engine:
// they go at Exit rather than waiting for the engine's final release.
HRESULT EngineCore::StoreExit() {
  current_.reset();
  return DropItemCommands();
}

HRESULT EngineCore::HandOutContainer(IUnknown** ppVal) const {
  if (!ppVal) return E_POINTER;
  *ppVal = container_;
  return container_ ? S_OK : E_FAIL;
}

HRESULT EngineCore::Dispatch(IUnknown* pParserUnk) {
  if (!pParserUnk) return E_POINTER;
  ComPtr<IvokCommandParser> parser;
  HRESULT hr =
      pParserUnk->QueryInterface(IvokCommandParser::kIID, parser.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  try {
    TaskString word;
    {
      ComPtr<IvokEnumArgs> args;
      hr = parser->QueryInterface(IvokEnumArgs::kIID, args.ReleaseAndGetVoidAddressOf());
      if (FAILED(hr)) return hr;
      args->Reset();
      char* raw = nullptr;
      ULONG fetched = 0;
      hr = args->Next(1, &raw, &fetched);
      word.reset(raw);
    }
    if (hr != S_OK || !word) return S_FALSE;
    auto it = commands_.find(KeyFor(word.get()));
    if (it == commands_.end()) return S_FALSE;
    // The local share keeps the entry alive while its handler runs, even if the handler
    // removes item commands or a nested dispatch replaces the current entry.
    std::shared_ptr<const CommandRecord> entry = it->second;
    current_ = entry;
    return RunCommand(*entry, parser.Get());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception&) {
    return E_FAIL;  // no exception may leave through an interface
  }
}

HRESULT EngineCore::LookupRegistered(LPCSTR word) const {
  if (!word) return E_POINTER;
  try {
    return commands_.count(KeyFor(word)) ? S_OK : S_FALSE;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT EngineCore::DropItemCommands() {
  std::erase_if(commands_, [](const auto& entry) { return entry.second->itemFlag; });
  return S_OK;
}

namespace {

// True when the key names the word: equal byte-wise, or the key and one blank occur anywhere
// in the word (the command word followed by arguments).
bool KeyNamesWord(const std::string& key, std::string_view word) {
  if (word == key) return true;
  for (size_t at = word.find(key); at != std::string_view::npos; at = word.find(key, at + 1)) {
    if (at + key.size() < word.size() && word[at + key.size()] == ' ') return true;
  }
  return false;
}

}  // namespace

HRESULT EngineCore::LookupCommandInfo(LPCSTR word, LPSTR name, LPSTR syntax, LPSTR description,
                                      LONG* index, LONG reserved) {
  if (!word || !name || !syntax || !description) return E_POINTER;
  LONG position = 0;
  for (const auto& [key, record] : commands_) {
    if (KeyNamesWord(key, word)) {
      if (record->itemFlag) {
        DescribeItemCommand(key, *record, name, syntax, description, reserved);
      } else {
        LoadStringResource(&resources_, record->nameId, name, kInfoBufferSize);
        LoadStringResource(&resources_, record->syntaxId, syntax, kInfoBufferSize);
        LoadStringResource(&resources_, record->descId, description, kInfoBufferSize);
      }
      if (index) *index = position;
      return S_OK;
    }
    ++position;
  }
  if (index) *index = position;
  return S_FALSE;
}

HRESULT EngineCore::FindMatchingCommand(LPCSTR pattern, LPSTR out, LONG hiddenToo) const {
  if (!pattern || !out) return E_POINTER;
  try {
    for (const auto& [key, record] : commands_) {
      if (key[0] == '*' || key[0] == '?') continue;
      if (record->hidden && !hiddenToo) continue;
      if (!WildcardMatch(pattern, key)) continue;
      if (!record->itemFlag) {
        LoadStringResource(&resources_, record->nameId, out, kInfoBufferSize);
        return S_OK;
      }
      // An item entry offers its item's key as the item spells it.
      ULONG size = kMatchKeySize;
      ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(record->item.Get());
      if (!item || FAILED(item->GetStrKey(out, &size))) CopyToFixedBuffer(key, out, kMatchKeySize);
      return S_OK;
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_FALSE;
}

}  // namespace vok
