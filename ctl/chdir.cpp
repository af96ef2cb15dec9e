#include "ctl/chdir.h"

#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "ctl/completion.h"
#include "ctl/history_menu.h"
#include "ctl/paths.h"
#include "ctl/resources/ctl_strings.h"
#include "ctl/up_levels.h"
#include "platform/ui/prompter.h"

namespace {

using vok::ctl::kCtlResources;

constexpr ULONG kDrivesItemData = 1;
constexpr ULONG kFolderItemData = 0;

std::string DrivesName() {
  char name[vok::ctl::kDrivesTextRoom];
  vok::LoadStringResource(&kCtlResources, vok::ctl::kIdsDrives, name, sizeof name);
  return name;
}

HRESULT CreateList(ComPtr<IvokFastList>* list) {
  HRESULT hr = CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_ALL, IvokFastList::kIID,
                                list->ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = (*list)->Init(0);
  return hr;
}

LONG ItemCount(IvokFastList* list) {
  LONG count = 0;
  list->get_ItemCount(&count);
  return count;
}

// The directory a history entry stands for (the drives marker for the drives entry).
std::optional<std::string> DirectoryOf(IUnknown* item) {
  ComPtr<IvokFastListItem> entry = QueryAs<IvokFastListItem>(item);
  if (!entry) return std::nullopt;
  ULONG data = kFolderItemData;
  entry->get_ItemData(&data);
  if (data == kDrivesItemData) return std::string(vokChDir::kDrivesMarker);
  char key[kFastListKeySize];
  ULONG size = sizeof key;
  if (FAILED(entry->GetStrKey(key, &size))) return std::nullopt;
  return std::string(key, size);
}

// Collects the newest `wanted` items of a list (walked newest first) with a reference each.
class NewestCollector final : public vok::ObjectRoot<IvokFastListItemIterator> {
 public:
  explicit NewestCollector(size_t wanted) : wanted_(wanted) {}
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* item) override {
    items.emplace_back(item);
    return items.size() < wanted_ ? S_OK : E_ABORT;  // a negative status ends the walk
  }
  std::vector<ComPtr<IUnknown>> items;

 private:
  size_t wanted_;
};

std::vector<ComPtr<IUnknown>> NewestItems(IvokFastList* list, size_t wanted) {
  ComPtr<NewestCollector> collector(new NewestCollector(wanted));
  list->ReverseIterate(collector->Identity());
  return std::move(collector->items);
}

// Takes the newest item off `list`; the list's reference passes to the result.
ComPtr<IUnknown> TakeBack(IvokFastList* list) {
  IUnknown* item = nullptr;
  ComPtr<IUnknown> taken;
  if (list->Back(&item) == S_OK && list->PopBack() == S_OK) taken.Attach(item);
  return taken;
}

// Appends `item` to `list`, which takes the reference on success.
void Append(IvokFastList* list, ComPtr<IUnknown> item) {
  if (item && list->Add(item.Get(), 0) == S_OK) item.Detach();
}

std::string LimitedExtensionList(const char* text) {
  std::string_view view(text);
  return std::string(view.substr(0, vok::Utf8PrefixLength(view, vokChDir::kExtensionListLimit)));
}

}  // namespace

// ---- State ----

int vokChDir::UpLevels() const { return AtDrives() ? 1 : vok::ctl::PathComponents(current_) + 1; }

HRESULT vokChDir::EnsureLists() {
  if (back_ && forward_) return S_OK;
  ComPtr<IvokFastList> back, forward;
  HRESULT hr = CreateList(&back);
  if (SUCCEEDED(hr)) hr = CreateList(&forward);
  if (FAILED(hr)) return hr;
  back_ = std::move(back);
  forward_ = std::move(forward);
  return S_OK;
}

HRESULT vokChDir::MakeEntry(const std::string& dir, ComPtr<IUnknown>* entry) const {
  const bool drives = dir == kDrivesMarker;
  const std::string key = drives ? DrivesName() : dir;
  if (key.size() >= kFastListKeySize) return S_FALSE;
  ComPtr<IvokFastListItem> item;
  HRESULT hr = CoCreateInstance(vok::clsid::kFastListItemString, nullptr, CLSCTX_ALL,
                                IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = item->SetStrKey(key.c_str());
  if (SUCCEEDED(hr)) hr = item->put_ItemData(drives ? kDrivesItemData : kFolderItemData);
  if (FAILED(hr)) return hr;
  *entry = IdentityOf(item.Get());
  return S_OK;
}

bool vokChDir::IsMostRecentBack(const std::string& dir) const {
  IUnknown* newest = nullptr;
  if (back_->Back(&newest) != S_OK) return false;
  std::optional<std::string> stored = DirectoryOf(newest);
  return stored && *stored == dir;
}

void vokChDir::SyncProcessDir() const {
  // Best effort: a folder removed meanwhile leaves the process where it is.
  if (!current_.empty() && !AtDrives() && chdir(current_.c_str()) != 0) return;
}

HRESULT vokChDir::ChangeTo(const std::string& dir, bool record) {
  HRESULT hr = EnsureLists();
  if (FAILED(hr)) return hr;
  // The entry is made before anything changes, so a failure leaves everything as it was.
  ComPtr<IUnknown> leaving;
  if (record && !current_.empty() && !IsMostRecentBack(current_)) {
    hr = MakeEntry(current_, &leaving);
    if (FAILED(hr)) return hr;
  }
  std::string next = kDrivesMarker;
  if (dir != kDrivesMarker) {
    const std::string path = vok::ctl::ExpandHome(dir);
    if (path.empty() || chdir(path.c_str()) != 0) return E_FAIL;
    std::optional<std::string> entered = vok::ctl::ProcessCurrentDir();
    if (!entered) {
      SyncProcessDir();
      return E_FAIL;
    }
    next = std::move(*entered);
  }
  if (record) {
    Append(back_.Get(), std::move(leaving));
    forward_->Clear();
  }
  current_ = std::move(next);
  changed_ = true;
  return S_OK;
}

HRESULT vokChDir::Step(IvokFastList* from, IvokFastList* to, LONG steps) {
  if (steps < 0) return E_INVALIDARG;
  if (steps == 0) {
    vok::ctl::MenuPlacement placement{menuOwner_, menuPositionSet_, menuX_, menuY_};
    HRESULT hr = vok::ctl::TrackHistoryMenu(placement, from, &steps);
    if (FAILED(hr)) return hr;
    if (steps == 0) return S_FALSE;
  }
  if (ItemCount(from) < steps) return VOK_E_NOT_ENOUGH_ENTRIES;
  std::vector<ComPtr<IUnknown>> newest = NewestItems(from, static_cast<size_t>(steps));
  if (newest.size() != static_cast<size_t>(steps)) return E_FAIL;
  std::optional<std::string> target = DirectoryOf(newest.back().Get());
  if (!target) return E_FAIL;
  ComPtr<IUnknown> leaving;
  if (!current_.empty()) {
    HRESULT hr = MakeEntry(current_, &leaving);
    if (FAILED(hr)) return hr;
  }
  HRESULT hr = ChangeTo(*target, false);
  if (FAILED(hr)) return hr;
  // The folder left goes first, then every entry passed over, newest first; the entry arrived
  // at leaves the histories.
  Append(to, std::move(leaving));
  for (LONG i = 1; i < steps; ++i) Append(to, TakeBack(from));
  TakeBack(from);
  return S_OK;
}

// ---- IvokChDir ----

HRESULT STDMETHODCALLTYPE vokChDir::Init(LPCSTR pszInitDir) {
  if (!pszInitDir) return E_INVALIDARG;
  ComPtr<IvokFastList> back, forward;
  HRESULT hr = CreateList(&back);
  if (SUCCEEDED(hr)) hr = CreateList(&forward);
  if (FAILED(hr)) return hr;
  const std::string path = vok::ctl::ExpandHome(pszInitDir);
  if (path.empty() || chdir(path.c_str()) != 0) return E_INVALIDARG;
  std::optional<std::string> entered = vok::ctl::ProcessCurrentDir();
  if (!entered) {
    SyncProcessDir();
    return E_INVALIDARG;
  }
  back_ = std::move(back);
  forward_ = std::move(forward);
  current_ = initial_ = *entered;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::ChangeDir(LPCSTR szDir, LONG bPutInBckFwd) {
  if (!szDir) return E_POINTER;
  return ChangeTo(szDir, bPutInBckFwd != 0);
}

HRESULT STDMETHODCALLTYPE vokChDir::SetMenuParams(HWND hwnd, LONG lX, LONG lY) {
  menuOwner_ = hwnd;
  menuPositionSet_ = true;
  menuX_ = lX;
  menuY_ = lY;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::GoBack(LONG lSteps) {
  HRESULT hr = EnsureLists();
  if (FAILED(hr)) return hr;
  return Step(back_.Get(), forward_.Get(), lSteps);
}

HRESULT STDMETHODCALLTYPE vokChDir::GoForward(LONG lSteps) {
  HRESULT hr = EnsureLists();
  if (FAILED(hr)) return hr;
  return Step(forward_.Get(), back_.Get(), lSteps);
}

HRESULT STDMETHODCALLTYPE vokChDir::GoUp(LONG lSteps) {
  if (lSteps < 0) return E_INVALIDARG;
  const int levels = UpLevels();
  if (lSteps == 0) {
    std::vector<std::string> entries;
    if (levels > 1) {
      entries = vok::ctl::ParentChain(current_);
      entries.push_back(DrivesName());
    }
    vok::ctl::MenuPlacement placement{menuOwner_, menuPositionSet_, menuX_, menuY_};
    HRESULT hr = vok::ctl::TrackListMenu(placement, entries, &lSteps);
    if (FAILED(hr)) return hr;
    if (lSteps == 0) return S_FALSE;
  }
  if (lSteps >= levels) return VOK_E_NOT_ENOUGH_ENTRIES;
  if (lSteps == levels - 1) return ChangeTo(kDrivesMarker, true);
  return ChangeTo(vok::ctl::ParentChain(current_)[lSteps - 1], true);
}

HRESULT STDMETHODCALLTYPE vokChDir::GetCurrentDir(LPSTR pszDir) {
  if (!pszDir) return E_POINTER;
  vok::CopyToFixedBuffer(AtDrives() ? DrivesName() : current_, pszDir, kPathBufferSize);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::SetInitialDir() { return ChangeTo(initial_, true); }

HRESULT STDMETHODCALLTYPE vokChDir::IsDrivesSet() { return AtDrives() ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokChDir::BrowseForFolder(HWND hwnd) {
  vok::ui::FolderRequest request;
  request.owner = hwnd;
  request.title = vok::LoadStringResource(&kCtlResources, vok::ctl::kIdsSelectFolder);
  request.startDir = AtDrives() ? "/" : current_;
  std::optional<std::string> chosen = vok::ui::CurrentPrompter().ChooseFolder(request);
  if (!chosen) return S_FALSE;
  return ChangeTo(*chosen, true);
}

HRESULT STDMETHODCALLTYPE vokChDir::GetHistSizes(LONG* plBack, LONG* plForward, LONG* plUp) {
  HRESULT hr = EnsureLists();
  if (FAILED(hr)) return hr;
  if (plBack) *plBack = ItemCount(back_.Get());
  if (plForward) *plForward = ItemCount(forward_.Get());
  if (plUp) *plUp = UpLevels() - 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::SetSafeCurrentDir(LPCSTR szDir) {
  std::string wanted = szDir && *szDir ? vok::ctl::ExpandHome(szDir) : current_;
  std::string next = current_;
  if (wanted == kDrivesMarker) {
    next = wanted;
  } else if (!wanted.empty() && chdir(wanted.c_str()) == 0) {
    if (std::optional<std::string> entered = vok::ctl::ProcessCurrentDir()) next = *entered;
  } else if (std::optional<std::string> process = vok::ctl::ProcessCurrentDir()) {
    // The wanted folder is gone or refused: follow the process instead.
    next = *process;
  }
  if (next != current_) {
    current_ = std::move(next);
    changed_ = true;
  }
  SyncProcessDir();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::GetCompleteCommand(LPCSTR pszCmdLine, LPSTR pszFile) {
  if (!pszCmdLine || !pszFile) return E_POINTER;
  *pszFile = '\0';
  if (AtDrives() || current_.empty()) return S_FALSE;
  const vok::ctl::CompletionLists lists{vok::ctl::ParseExtensionList(excluded_),
                                        vok::ctl::ParseExtensionList(preferred_)};
  // Room for the name, two quotes and the zero.
  std::optional<std::string> name =
      vok::ctl::FindCompletion(current_, pszCmdLine, lists, kPathBufferSize - 3);
  if (!name) return S_FALSE;
  vok::CopyToFixedBuffer(vok::ctl::QuoteIfBlank(*name), pszFile, kPathBufferSize);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::GetPrefExt(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(preferred_, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokChDir::SetPrefExt(LPCSTR lpsz) {
  if (!lpsz) return E_POINTER;
  std::string value = LimitedExtensionList(lpsz);
  if (value != preferred_) changed_ = true;
  preferred_ = std::move(value);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::GetExclExt(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(excluded_, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokChDir::SetExclExt(LPCSTR lpsz) {
  if (!lpsz) return E_POINTER;
  std::string value = LimitedExtensionList(lpsz);
  if (value != excluded_) changed_ = true;
  excluded_ = std::move(value);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::GetFullPath(LPSTR pszPath) {
  if (!pszPath) return E_POINTER;
  const size_t length = strnlen(pszPath, kPathBufferSize);
  if (length == kPathBufferSize) return E_INVALIDARG;
  std::string base = current_;
  if (AtDrives() || base.empty()) base = vok::ctl::ProcessCurrentDir().value_or("/");
  const std::string full = vok::ctl::CompletePath(base, std::string_view(pszPath, length));
  SyncProcessDir();
  if (full.size() >= kPathBufferSize) return kPathTooLong;
  std::memcpy(pszPath, full.c_str(), full.size() + 1);
  return S_OK;
}

// ---- IPersistStream ----

HRESULT STDMETHODCALLTYPE vokChDir::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kChDir;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::IsDirty() { return changed_ ? S_OK : S_FALSE; }

HRESULT vokChDir::LoadRecord(IStream* stm) {
  if (vok::ReadLong(stm) < 0) return EnsureLists();
  // Read into new lists and locals: a record cut short leaves the navigator as it was.
  ComPtr<IvokFastList> back, forward;
  HRESULT hr = CreateList(&back);
  if (SUCCEEDED(hr)) hr = CreateList(&forward);
  if (FAILED(hr)) return hr;
  for (IvokFastList* list : {back.Get(), forward.Get()}) vok::LoadObject(list, stm);
  std::string current = vok::ReadStr32(stm, kPathBufferSize - 1);
  std::string initial = vok::ReadStr32(stm, kPathBufferSize - 1);
  std::string excluded = vok::ReadStr32(stm, kExtensionListLimit);
  std::string preferred = vok::ReadStr32(stm, kExtensionListLimit);
  back_ = std::move(back);
  forward_ = std::move(forward);
  current_ = std::move(current);
  initial_ = std::move(initial);
  excluded_ = std::move(excluded);
  preferred_ = std::move(preferred);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  HRESULT hr = vok::GuardStream([&] { return LoadRecord(stm); });
  if (FAILED(hr)) return hr;
  back_->put_MaxSize(kLoadedBackListLimit);
  changed_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokChDir::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  HRESULT hr = EnsureLists();
  if (FAILED(hr)) return hr;
  hr = vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    for (IvokFastList* list : {back_.Get(), forward_.Get()})
      vok::SaveObject(list, stm, fClearDirty);
    for (const std::string* text : {&current_, &initial_, &excluded_, &preferred_})
      vok::WriteStr32(stm, *text);
    return S_OK;
  });
  if (SUCCEEDED(hr) && fClearDirty) changed_ = false;
  return hr;
}

// What Save writes, without clearing the changes flag.
HRESULT STDMETHODCALLTYPE vokChDir::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  return vok::MeasureRecord([&](IStream* counter) { return Save(counter, 0); }, pcbSize);
}
