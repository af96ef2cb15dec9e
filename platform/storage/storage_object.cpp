#include "platform/storage/storage_object.h"

#include <algorithm>

#include "common/stream_util.h"
#include "platform/storage/element_enumerator.h"
#include "platform/storage/storage.h"
#include "platform/storage/stream_object.h"

namespace vok::storage {
namespace {

constexpr DWORD kChildStorageMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

StorageObject* OwnStorage(IStorage* storage) { return dynamic_cast<StorageObject*>(storage); }

HRESULT WriteAllTo(IStream* stream, const std::vector<uint8_t>& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    auto piece = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 1u << 30));
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data() + done, piece, &written);
    if (FAILED(hr)) return hr;
    if (written == 0) return STG_E_MEDIUMFULL;
    done += written;
  }
  return S_OK;
}

// The child access may not exceed the access of the storage it is opened from.
HRESULT CheckChildAccess(DWORD child, DWORD parent) {
  if (ModeWrites(child) && !ModeWrites(parent)) return STG_E_ACCESSDENIED;
  if (ModeReads(child) && !ModeReads(parent)) return STG_E_ACCESSDENIED;
  return S_OK;
}

}  // namespace

ComPtr<IStorage> StorageObject::CreateRoot(std::shared_ptr<Document> document) {
  DWORD mode = document->Mode();
  return ComPtr<IStorage>(new StorageObject(std::move(document), nullptr, mode));
}

StorageObject::StorageObject(std::shared_ptr<Document> document, std::shared_ptr<Element> element,
                             DWORD mode)
    : handle_(std::move(document), std::move(element), mode) {}

StorageObject::~StorageObject() {
  if (!handle_.IsRoot()) return;
  Document& document = *handle_.GetDocument();
  // Release cannot report a failure; a caller who needs to know commits first.
  if (!document.Closed() && !document.Transacted() && document.Dirty()) document.Commit();
  document.Close();
}

std::shared_ptr<Document> StorageObject::DocumentOf(IStorage* storage, bool* isRoot) {
  StorageObject* own = storage ? OwnStorage(storage) : nullptr;
  if (!own) return nullptr;
  if (isRoot) *isRoot = own->handle_.IsRoot();
  return own->handle_.GetDocument();
}

HRESULT StorageObject::PrepareOpen(LPCOLESTR name, DWORD mode, bool creating, ElementName* parsed,
                                   std::shared_ptr<Element>* existing) {
  HRESULT hr = CheckOpenMode(mode, creating ? OpenUse::kCreateElement : OpenUse::kOpenElement);
  if (FAILED(hr)) return hr;
  hr = ElementName::FromUtf8(name, parsed);
  if (FAILED(hr)) return hr;
  hr = creating ? handle_.CheckWrite() : handle_.CheckLive();
  if (FAILED(hr)) return hr;
  hr = CheckChildAccess(mode, handle_.Mode());
  if (SUCCEEDED(hr)) hr = CheckChildAccess(mode, handle_.GetDocument()->Mode());
  if (FAILED(hr)) return hr;
  *existing = handle_.Target().Find(*parsed);
  return S_OK;
}

HRESULT StorageObject::MakeRoom(const std::shared_ptr<Element>& existing, DWORD mode) {
  if (!existing) return S_OK;
  if (!(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
  if (existing->AnyOpen()) return STG_E_ACCESSDENIED;
  handle_.Target().Remove(existing);
  handle_.MarkDirty();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::CreateStream(LPCOLESTR name, DWORD grfMode,
                                                      DWORD reserved1, DWORD reserved2,
                                                      IStream** ppstm) {
  if (!ppstm) return STG_E_INVALIDPOINTER;
  *ppstm = nullptr;
  if (reserved1 || reserved2) return STG_E_INVALIDPARAMETER;
  ElementName parsed;
  std::shared_ptr<Element> existing;
  HRESULT hr = PrepareOpen(name, grfMode, true, &parsed, &existing);
  if (SUCCEEDED(hr)) hr = MakeRoom(existing, grfMode);
  if (FAILED(hr)) return hr;
  return GuardStream([&] {
    Element& parent = handle_.Target();
    auto element = Element::NewStream(std::move(parsed), parent.depth + 1);
    ComPtr<IStream> stream(new StreamObject(handle_.GetDocument(), element, grfMode));
    parent.Insert(element);
    handle_.MarkDirty();
    *ppstm = stream.Detach();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::OpenStream(LPCOLESTR name, void* reserved1, DWORD grfMode,
                                                    DWORD reserved2, IStream** ppstm) {
  if (!ppstm) return STG_E_INVALIDPOINTER;
  *ppstm = nullptr;
  if (reserved1 || reserved2) return STG_E_INVALIDPARAMETER;
  ElementName parsed;
  std::shared_ptr<Element> element;
  HRESULT hr = PrepareOpen(name, grfMode, false, &parsed, &element);
  if (FAILED(hr)) return hr;
  if (!element || element->isStorage) return STG_E_FILENOTFOUND;
  if (element->openCount > 0) return STG_E_ACCESSDENIED;
  return GuardStream([&] {
    *ppstm = ComPtr<IStream>(new StreamObject(handle_.GetDocument(), element, grfMode)).Detach();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::CreateStorage(LPCOLESTR name, DWORD grfMode,
                                                       DWORD reserved1, DWORD reserved2,
                                                       IStorage** ppstg) {
  if (!ppstg) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  if (reserved1 || reserved2) return STG_E_INVALIDPARAMETER;
  ElementName parsed;
  std::shared_ptr<Element> existing;
  HRESULT hr = PrepareOpen(name, grfMode, true, &parsed, &existing);
  if (FAILED(hr)) return hr;
  if (handle_.Target().depth + 1 > kMaxStorageDepth) return STG_E_ACCESSDENIED;
  hr = MakeRoom(existing, grfMode);
  if (FAILED(hr)) return hr;
  return GuardStream([&] {
    Element& parent = handle_.Target();
    auto element = Element::NewStorage(std::move(parsed), parent.depth + 1);
    ComPtr<IStorage> storage(new StorageObject(handle_.GetDocument(), element, grfMode));
    parent.Insert(element);
    handle_.MarkDirty();
    *ppstg = storage.Detach();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::OpenStorage(LPCOLESTR name, IStorage* priority,
                                                     DWORD grfMode, void* snbExclude,
                                                     DWORD reserved, IStorage** ppstg) {
  if (!ppstg) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  if (priority || snbExclude || reserved) return STG_E_INVALIDPARAMETER;
  ElementName parsed;
  std::shared_ptr<Element> element;
  HRESULT hr = PrepareOpen(name, grfMode, false, &parsed, &element);
  if (FAILED(hr)) return hr;
  if (!element || !element->isStorage) return STG_E_FILENOTFOUND;
  if (element->openCount > 0) return STG_E_ACCESSDENIED;
  return GuardStream([&] {
    *ppstg = ComPtr<IStorage>(new StorageObject(handle_.GetDocument(), element, grfMode)).Detach();
    return S_OK;
  });
}

HRESULT StorageObject::CopyElement(const Element& source, IStorage* dest, const char* newName,
                                   DWORD createFlags) {
  if (!source.isStorage) {
    ComPtr<IStream> stream;
    HRESULT hr = dest->CreateStream(newName, createFlags | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                    stream.ReleaseAndGetAddressOf());
    return FAILED(hr) ? hr : WriteAllTo(stream.Get(), source.data);
  }
  ComPtr<IStorage> storage;
  HRESULT hr = STG_E_FILENOTFOUND;
  if (createFlags & STGM_CREATE) {  // merge into a storage of that name
    hr = dest->OpenStorage(newName, nullptr, kChildStorageMode, nullptr, 0,
                           storage.ReleaseAndGetAddressOf());
  }
  if (hr == STG_E_FILENOTFOUND) {
    hr = dest->CreateStorage(newName, createFlags | kChildStorageMode, 0, 0,
                             storage.ReleaseAndGetAddressOf());
  }
  if (SUCCEEDED(hr)) hr = storage->SetClass(source.clsid);
  if (SUCCEEDED(hr)) hr = storage->SetStateBits(source.stateBits, ~DWORD{0});
  if (SUCCEEDED(hr)) hr = CopyInto(source, storage.Get(), false, false, {});
  return hr;
}

HRESULT StorageObject::CopyInto(const Element& source, IStorage* dest, bool skipStreams,
                                bool skipStorages, const std::vector<ElementName>& excluded) {
  // Works on a copy of the child list: the destination may be another storage of this
  // document.
  const std::vector<std::shared_ptr<Element>> children = source.children;
  for (const auto& child : children) {
    if (child->isStorage ? skipStorages : skipStreams) continue;
    if (std::any_of(excluded.begin(), excluded.end(),
                    [&](const ElementName& name) { return name.SameAs(child->name); })) {
      continue;
    }
    HRESULT hr = CopyElement(*child, dest, child->name.Utf8().c_str(), STGM_CREATE);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::CopyTo(DWORD ciidExclude, const IID* rgiidExclude,
                                                void* snbExclude, IStorage* dest) {
  if (!dest || (ciidExclude && !rgiidExclude)) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckRead();
  if (FAILED(hr)) return hr;
  StorageObject* own = OwnStorage(dest);
  if (own && own->handle_.GetDocument() == handle_.GetDocument() &&
      handle_.Target().Contains(&own->handle_.Target())) {
    return STG_E_ACCESSDENIED;
  }
  bool skipStreams = false;
  bool skipStorages = false;
  for (DWORD i = 0; i < ciidExclude; ++i) {
    skipStreams |= rgiidExclude[i] == IStream::kIID;
    skipStorages |= rgiidExclude[i] == IStorage::kIID;
  }
  return GuardStream([&] {
    std::vector<ElementName> excluded;
    for (auto names = static_cast<const char* const*>(snbExclude); names && *names; ++names) {
      ElementName name;
      if (SUCCEEDED(ElementName::FromUtf8(*names, &name))) excluded.push_back(std::move(name));
    }
    HRESULT result = dest->SetClass(handle_.Target().clsid);
    if (FAILED(result)) return result;
    return CopyInto(handle_.Target(), dest, skipStreams, skipStorages, excluded);
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::MoveElementTo(LPCOLESTR name, IStorage* dest,
                                                       LPCOLESTR newName, DWORD grfFlags) {
  if (!dest || !newName) return STG_E_INVALIDPOINTER;
  if (grfFlags != STGMOVE_MOVE && grfFlags != STGMOVE_COPY) return STG_E_INVALIDFLAG;
  ElementName parsed;
  HRESULT hr = ElementName::FromUtf8(name, &parsed);
  if (SUCCEEDED(hr)) hr = handle_.CheckRead();
  if (SUCCEEDED(hr) && grfFlags == STGMOVE_MOVE) hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  std::shared_ptr<Element> source = handle_.Target().Find(parsed);
  if (!source) return STG_E_FILENOTFOUND;
  if (grfFlags == STGMOVE_MOVE && source->AnyOpen()) return STG_E_ACCESSDENIED;
  StorageObject* own = OwnStorage(dest);
  if (own && own->handle_.GetDocument() == handle_.GetDocument() &&
      source->Contains(&own->handle_.Target())) {
    return STG_E_ACCESSDENIED;
  }
  return GuardStream([&] {
    HRESULT result = CopyElement(*source, dest, newName, 0);
    if (SUCCEEDED(result) && grfFlags == STGMOVE_MOVE) {
      handle_.Target().Remove(source);
      handle_.MarkDirty();
    }
    return result;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::Commit(DWORD grfCommitFlags) {
  if (grfCommitFlags > 0xF) return STG_E_INVALIDFLAG;
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr) || !handle_.IsRoot()) return hr;
  return handle_.GetDocument()->Commit();
}

HRESULT STDMETHODCALLTYPE StorageObject::Revert() {
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr) || !handle_.IsRoot()) return hr;
  return handle_.GetDocument()->Revert();
}

HRESULT STDMETHODCALLTYPE StorageObject::EnumElements(DWORD reserved1, void* reserved2,
                                                      DWORD reserved3, IEnumSTATSTG** ppenum) {
  if (!ppenum) return STG_E_INVALIDPOINTER;
  *ppenum = nullptr;
  if (reserved1 || reserved2 || reserved3) return STG_E_INVALIDPARAMETER;
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr)) return hr;
  return GuardStream([&] {
    *ppenum = ElementEnumerator::Create(handle_.Target()).Detach();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::DestroyElement(LPCOLESTR name) {
  ElementName parsed;
  HRESULT hr = ElementName::FromUtf8(name, &parsed);
  if (SUCCEEDED(hr)) hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  std::shared_ptr<Element> element = handle_.Target().Find(parsed);
  if (!element) return STG_E_FILENOTFOUND;
  handle_.Target().Remove(element);  // open objects on it are reverted
  handle_.MarkDirty();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::RenameElement(LPCOLESTR oldName, LPCOLESTR newName) {
  ElementName from;
  ElementName to;
  HRESULT hr = ElementName::FromUtf8(oldName, &from);
  if (SUCCEEDED(hr)) hr = ElementName::FromUtf8(newName, &to);
  if (SUCCEEDED(hr)) hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  Element& parent = handle_.Target();
  std::shared_ptr<Element> element = parent.Find(from);
  if (!element) return STG_E_FILENOTFOUND;
  std::shared_ptr<Element> clash = parent.Find(to);
  if (clash && clash != element) return STG_E_FILEALREADYEXISTS;
  return GuardStream([&] {
    parent.Rename(element, std::move(to));
    handle_.MarkDirty();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE StorageObject::SetElementTimes(LPCOLESTR name, const FILETIME* ctime,
                                                         const FILETIME* atime,
                                                         const FILETIME* mtime) {
  HRESULT hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  Element* element = &handle_.Target();
  if (name) {
    ElementName parsed;
    hr = ElementName::FromUtf8(name, &parsed);
    if (FAILED(hr)) return hr;
    std::shared_ptr<Element> found = element->Find(parsed);
    if (!found) return STG_E_FILENOTFOUND;
    element = found.get();
  }
  if (!element->isStorage) return S_OK;
  if (ctime) element->ctime = *ctime;
  if (mtime) element->mtime = *mtime;
  handle_.MarkDirty();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::SetClass(REFCLSID clsid) {
  HRESULT hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  if (handle_.Target().clsid != clsid) {
    handle_.Target().clsid = clsid;
    handle_.MarkDirty();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::SetStateBits(DWORD grfStateBits, DWORD grfMask) {
  HRESULT hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  DWORD& bits = handle_.Target().stateBits;
  DWORD updated = (bits & ~grfMask) | (grfStateBits & grfMask);
  if (updated != bits) {
    bits = updated;
    handle_.MarkDirty();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StorageObject::Stat(STATSTG* statstg, DWORD grfStatFlag) {
  if (!statstg) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr)) return hr;
  const Element& element = handle_.Target();
  std::string name = element.name.Utf8();
  if (handle_.IsRoot() && !handle_.GetDocument()->Path().empty()) {
    name = handle_.GetDocument()->Path();
  }
  return FillStat(element, name, handle_.Mode(), grfStatFlag, statstg);
}

}  // namespace vok::storage
