// The entry points of the storage library: files and in-memory storages.
#include <unistd.h>

#include "common/stream_util.h"
#include "common/vok_object.h"
#include "platform/storage/compound_file_reader.h"
#include "platform/storage/file_io.h"
#include "platform/storage/open_mode.h"
#include "platform/storage/storage.h"
#include "platform/storage/storage_object.h"

namespace {

using namespace vok::storage;

std::shared_ptr<Element> EmptyRoot() {
  ElementName name;
  ElementName::FromUtf16(u"Root Entry", &name);
  return Element::NewStorage(std::move(name), 0);
}

HRESULT HandOut(std::shared_ptr<Document> document, IStorage** out) {
  *out = StorageObject::CreateRoot(std::move(document)).Detach();
  return S_OK;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

HRESULT StgCreateDocfile(const char* path, DWORD grfMode, DWORD reserved, IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  if (reserved) return STG_E_INVALIDPARAMETER;
  if (!path || !*path) return STG_E_INVALIDNAME;
  HRESULT hr = CheckOpenMode(grfMode, OpenUse::kCreateFile);
  if (FAILED(hr)) return hr;
  std::string target = ResolveSaveTarget(path);
  hr = CheckCreatable(target);
  if (FAILED(hr)) return hr;
  if (!(grfMode & STGM_CREATE) && Exists(target)) return STG_E_FILEALREADYEXISTS;
  return vok::GuardStream(
      [&] { return HandOut(std::make_shared<Document>(EmptyRoot(), target, grfMode, true), out); });
}

HRESULT StgOpenStorage(const char* path, IStorage* priority, DWORD grfMode, void* snbExclude,
                       DWORD reserved, IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  if (priority || snbExclude || reserved) return STG_E_INVALIDPARAMETER;
  if (!path || !*path) return STG_E_INVALIDNAME;
  HRESULT hr = CheckOpenMode(grfMode, OpenUse::kOpenFile);
  if (FAILED(hr)) return hr;
  return vok::GuardStream([&] {
    // The signature is checked before the rest is read, so that pointing at a large file of
    // another kind costs nothing.
    std::vector<uint8_t> bytes;
    HRESULT result = ReadFilePrefix(path, 8, &bytes);
    if (FAILED(result)) return result;
    if (!HasCompoundFileSignature(bytes.data(), bytes.size())) return STG_E_INVALIDHEADER;
    result = ReadWholeFile(path, &bytes);
    if (FAILED(result)) return result;
    std::shared_ptr<Element> root;
    result = ReadCompoundFile(bytes.data(), bytes.size(), &root);
    if (FAILED(result)) return result;
    // Saving puts a new file beside the old one, so the folder must be writable.
    std::string target = ResolveSaveTarget(path);
    if (ModeWrites(grfMode)) {
      result = CheckCreatable(target);
      if (FAILED(result)) return result;
    }
    return HandOut(std::make_shared<Document>(root, target, grfMode, false), out);
  });
}

HRESULT StgIsStorageFile(const char* path) {
  if (!path || !*path) return STG_E_INVALIDNAME;
  std::vector<uint8_t> head;
  HRESULT hr = ReadFilePrefix(path, 8, &head);
  if (FAILED(hr)) return hr;
  return HasCompoundFileSignature(head.data(), head.size()) ? S_OK : S_FALSE;
}

HRESULT VokCreateStorageInMemory(IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  return vok::GuardStream([&] {
    return HandOut(std::make_shared<Document>(EmptyRoot(), std::string(),
                                              STGM_READWRITE | STGM_SHARE_EXCLUSIVE, false),
                   out);
  });
}

HRESULT VokOpenStorageOnBytes(const uint8_t* data, size_t size, IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  if (!data && size) return STG_E_INVALIDPOINTER;
  return vok::GuardStream([&] {
    std::shared_ptr<Element> root;
    HRESULT hr = ReadCompoundFile(data, size, &root);
    if (FAILED(hr)) return hr;
    return HandOut(std::make_shared<Document>(root, std::string(),
                                              STGM_READWRITE | STGM_SHARE_EXCLUSIVE, false),
                   out);
  });
}

HRESULT VokSaveStorageToBytes(IStorage* root, std::vector<uint8_t>* out) {
  if (!out) return STG_E_INVALIDPOINTER;
  bool isRoot = false;
  std::shared_ptr<Document> document = StorageObject::DocumentOf(root, &isRoot);
  if (!document || !isRoot) return E_INVALIDARG;
  if (document->Closed()) return STG_E_REVERTED;
  return document->Serialize(out);
}

int32_t VokStorageLiveObjects() { return vok::ModuleCount().load(); }
