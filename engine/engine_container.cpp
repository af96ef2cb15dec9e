#include "engine/engine_container.h"

#include <algorithm>
#include <new>
#include <utility>

#include "common/class_ids.h"
#include "common/text_util.h"
#include "engine/resources/engine_strings.h"

namespace vok {
namespace {

// Engines of the command-information index are numbered in steps of this size.
constexpr LONG kCommandIndexStride = 10000;
// Room of the word buffer GetCommandInfo hands to the engines (zero included).
constexpr size_t kInfoWordRoom = 128;

bool IsInfoWordSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The first word of `text`, at most kInfoWordRoom - 1 bytes, never cut inside a character.
std::string FirstWordOf(const char* text) {
  std::string_view rest(text);
  size_t begin = 0;
  while (begin < rest.size() && IsInfoWordSeparator(rest[begin])) ++begin;
  size_t end = begin;
  while (end < rest.size() && !IsInfoWordSeparator(rest[end])) ++end;
  std::string_view word = rest.substr(begin, end - begin);
  return std::string(word.substr(0, Utf8PrefixLength(word, kInfoWordRoom - 1)));
}

}  // namespace

EngineContainer::EngineContainer(std::unique_ptr<ContainerWidgets> widgets)
    : widgets_(std::move(widgets)) {}

EngineContainer::~EngineContainer() {
  panels_.clear();
  // Take the engines out first: an engine that calls back during Exit finds none instead of
  // one already released.
  std::vector<ComPtr<IvokEngine>> engines = std::move(engines_);
  engines_.clear();
  for (ComPtr<IvokEngine>& engine : engines) {
    engine->Exit();
    engine.Reset();
  }
  parser_.Reset();
  // log_ was never referenced.
}

HRESULT CreateEngineContainer(std::unique_ptr<ContainerWidgets> widgets, IUnknown* outer,
                              REFIID riid, void** ppv) {
  return CreateObject<EngineContainer>(outer, riid, ppv, std::move(widgets));
}

// ---------------------------------------------------------------------------------------------
// Start-up

HRESULT STDMETHODCALLTYPE EngineContainer::Init(const CLSID* const* pEngCLSIDs, LONG lHint) {
  if (!pEngCLSIDs) return E_POINTER;
  if (!pEngCLSIDs[0]) return E_UNEXPECTED;
  // Started once: a second start would run every engine twice.
  if (!engines_.empty() || parser_) return E_UNEXPECTED;

  HRESULT hr = StartEngines(pEngCLSIDs, lHint);
  if (FAILED(hr)) return hr;
  SortEnginesByVirtualOrder();
  return CoCreateInstance(clsid::kCommandParser, nullptr, CLSCTX_INPROC_SERVER,
                          IvokCommandParser::kIID, parser_.ReleaseAndGetVoidAddressOf());
}

HRESULT EngineContainer::StartEngines(const CLSID* const* clsids, LONG hint) {
  size_t count = 0;
  while (clsids[count]) ++count;
  try {
    engines_.reserve(count);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  ComPtr<IUnknown> self(Identity());
  for (size_t i = 0; i < count; ++i) {
    ComPtr<IvokEngine> engine;
    if (FAILED(CoCreateInstance(*clsids[i], nullptr, CLSCTX_INPROC_SERVER, IvokEngine::kIID,
                                engine.ReleaseAndGetVoidAddressOf())))
      return E_ABORT;
    HRESULT hr = engine->Init(self.Get(), hint);
    if (FAILED(hr)) return hr;  // the engine is released on leaving
    engines_.push_back(std::move(engine));
  }
  return S_OK;
}

void EngineContainer::SortEnginesByVirtualOrder() {
  std::vector<std::pair<LONG, ComPtr<IvokEngine>>> keyed;
  keyed.reserve(engines_.size());
  for (ComPtr<IvokEngine>& engine : engines_) {
    LONG order = 0;
    engine->get_VirtualOrder(&order);
    keyed.emplace_back(order, std::move(engine));
  }
  // Equal orders keep the order of the identifier list.
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < keyed.size(); ++i) engines_[i] = std::move(keyed[i].second);
}

// ---------------------------------------------------------------------------------------------
// Dispatch and lookups

HRESULT STDMETHODCALLTYPE EngineContainer::Command(LPCSTR szCmdLine) {
  if (!szCmdLine) return E_POINTER;
  if (!parser_) return E_UNEXPECTED;
  std::string line;
  try {
    line = szCmdLine;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  const std::string* outer = std::exchange(activeLine_, &line);
  HRESULT hr = Dispatch(line);
  activeLine_ = outer;
  // A handler that ran this line from inside its own command reads its own arguments again.
  if (outer) parser_->Parse(outer->c_str());
  return hr;
}

HRESULT EngineContainer::Dispatch(const std::string& line) {
  HRESULT hr = parser_->Parse(line.c_str());
  if (FAILED(hr)) return hr;
  LONG length = 0;
  parser_->get_CmdLen(&length);
  if (length <= 0) return hr;

  // The parser object stays alive while a nested Command re-parses it.
  ComPtr<IUnknown> parser = IdentityOf(parser_.Get());
  HRESULT result = S_FALSE;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokEngine> engine = EngineInterface<IvokEngine>(i);
    if (!engine) continue;
    result = engine->Command(parser.Get());
    if (result != S_FALSE) break;
  }
  return result;
}

HRESULT STDMETHODCALLTYPE EngineContainer::IsCommandRegistered(LPCSTR lpszCmd) {
  if (!lpszCmd) return E_POINTER;
  bool anyTable = false;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokEngineCmdTable> table = EngineInterface<IvokEngineCmdTable>(i);
    if (!table) continue;
    anyTable = true;
    HRESULT hr = table->IsCommandRegistered(lpszCmd);
    if (hr != S_FALSE) return hr;
  }
  return anyTable ? S_FALSE : E_FAIL;
}

HRESULT STDMETHODCALLTYPE EngineContainer::GetEngineByIface(REFIID riid, IUnknown** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokEngine> engine = EngineInterface<IvokEngine>(i);
    if (!engine) continue;
    ComPtr<IUnknown> offered;
    if (FAILED(engine->QueryInterface(riid, offered.ReleaseAndGetVoidAddressOf()))) continue;
    *pVal = IdentityOf(engine.Get()).Detach();
    return S_OK;
  }
  return E_FAIL;
}

HRESULT STDMETHODCALLTYPE EngineContainer::get_Log(IUnknown** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = log_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::put_Log(IUnknown* newVal) {
  log_ = newVal;
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// Property sheet

HRESULT STDMETHODCALLTYPE EngineContainer::Properties(HWND hwndOwner, UINT x, UINT y,
                                                      LPCSTR lpszCaption) {
  try {
    std::vector<ComPtr<IUnknown>> objects;
    std::vector<IUnknown*> objectPointers;
    // Sized by what the engines report, so an engine with many pages cannot overrun it.
    std::vector<CLSID> pages;
    for (size_t i = 0; i < engines_.size(); ++i) {
      ComPtr<IvokEngine> engine = EngineInterface<IvokEngine>(i);
      if (!engine) continue;
      objects.push_back(IdentityOf(engine.Get()));
      objectPointers.push_back(objects.back().Get());
      ComPtr<ISpecifyPropertyPages> specify = QueryAs<ISpecifyPropertyPages>(engine.Get());
      if (!specify) continue;
      CAUUID reported = {0, nullptr};
      if (SUCCEEDED(specify->GetPages(&reported)) && reported.pElems) {
        pages.insert(pages.end(), reported.pElems, reported.pElems + reported.cElems);
      }
      CoTaskMemFree(reported.pElems);
    }
    return OleCreatePropertyFrame(hwndOwner, x, y, lpszCaption,
                                  static_cast<ULONG>(objectPointers.size()), objectPointers.data(),
                                  static_cast<ULONG>(pages.size()), pages.data(),
                                  LOCALE_USER_DEFAULT, 0, nullptr);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

// ---------------------------------------------------------------------------------------------
// Command information

HRESULT STDMETHODCALLTYPE EngineContainer::GetCommandInfo(LPCSTR lpszWord, LPSTR lpszName,
                                                          LPSTR lpszSyntax, LPSTR lpszDescription,
                                                          LONG* plIndex, LONG lReserved) {
  if (!lpszWord || !plIndex) return E_POINTER;
  *plIndex = 0;
  char word[kInfoWordRoom] = {};
  try {
    CopyToFixedBuffer(FirstWordOf(lpszWord), word, sizeof word);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }

  HRESULT result = S_FALSE;
  // Every engine counts towards the index, also those that offer no command information.
  for (size_t b = 0; b < engines_.size(); ++b) {
    ComPtr<IvokCommandInfo> info = EngineInterface<IvokCommandInfo>(b);
    if (!info) continue;
    LONG local = 0;
    result = info->GetCommandInfo(word, lpszName, lpszSyntax, lpszDescription, &local, lReserved);
    if (result == S_OK) {
      *plIndex = static_cast<LONG>(b) * kCommandIndexStride + local;
      return S_OK;
    }
  }
  return result;
}

HRESULT STDMETHODCALLTYPE EngineContainer::FillCommandTree(HWND hwndTree) {
  HRESULT result = S_FALSE;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokCommandInfo> info = EngineInterface<IvokCommandInfo>(i);
    if (!info) continue;
    result = info->FillCommandTree(hwndTree);
    if (FAILED(result)) return result;
  }
  return result;
}

HRESULT STDMETHODCALLTYPE EngineContainer::MatchCommand(LPCSTR lpszPattern, LPSTR lpszOut,
                                                        LONG lHiddenToo) {
  if (!lpszPattern || !lpszOut) return E_POINTER;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokCommandInfo> info = EngineInterface<IvokCommandInfo>(i);
    if (info && info->MatchCommand(lpszPattern, lpszOut, lHiddenToo) == S_OK) return S_OK;
  }
  return S_FALSE;
}

// ---------------------------------------------------------------------------------------------
// Menu commands

HRESULT STDMETHODCALLTYPE EngineContainer::FillMenu(HMENU hMenu, LONG lFirstId) {
  if (!hMenu) return E_INVALIDARG;
  nextMenuId_ = lFirstId;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IvokEngineMenu> menu = EngineInterface<IvokEngineMenu>(i);
    if (menu) menu->AddMenuItems(hMenu);
  }
  if (widgets_) {
    char empty[kEmptySubmenuTextRoom];
    LoadStringResource(&kEngineResources, kIdsEmptySubmenu, empty, sizeof empty);
    widgets_->MarkEmptySubmenus(hMenu, empty);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::AddCommand(LPCSTR lpszCmd, LONG* plId) {
  if (!lpszCmd || !plId) return E_POINTER;
  try {
    // A refill hands out the same identifiers again; the newer text wins.
    menuCommands_.insert_or_assign(nextMenuId_, lpszCmd);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *plId = nextMenuId_++;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::RunMenuCommand(LONG lId) {
  auto it = menuCommands_.find(lId);
  if (it == menuCommands_.end()) {
    menuCommands_.clear();
    return E_FAIL;
  }
  // Emptied before the command runs: the command may build and run a menu of its own, and
  // running this identifier again from inside it must fail instead of recursing.
  std::string command = std::move(it->second);
  menuCommands_.clear();
  return Command(command.c_str());
}

}  // namespace vok
