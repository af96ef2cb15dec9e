// IStorage over one storage element of a document (the root or a sub-storage).
//
// The root object owns the document's open state: committing it writes the file, and its final
// release writes a dirty document opened in direct mode for writing, then reverts every object
// still open below it. Elements are opened exclusively: an element that is open cannot be
// opened again or replaced (STG_E_ACCESSDENIED); destroying it reverts its open objects.
#pragma once

#include "common/vok_object.h"
#include "platform/storage/element_handle.h"

namespace vok::storage {

class StorageObject final : public ObjectRoot<IStorage> {
 public:
  // A root storage object for `document`, which it opened with the document's mode.
  static ComPtr<IStorage> CreateRoot(std::shared_ptr<Document> document);
  StorageObject(std::shared_ptr<Document> document, std::shared_ptr<Element> element, DWORD mode);
  ~StorageObject() override;

  // The document behind a storage of this library, or null for any other IStorage.
  static std::shared_ptr<Document> DocumentOf(IStorage* storage, bool* isRoot);

  HRESULT STDMETHODCALLTYPE CreateStream(LPCOLESTR name, DWORD grfMode, DWORD reserved1,
                                         DWORD reserved2, IStream** ppstm) override;
  HRESULT STDMETHODCALLTYPE OpenStream(LPCOLESTR name, void* reserved1, DWORD grfMode,
                                       DWORD reserved2, IStream** ppstm) override;
  HRESULT STDMETHODCALLTYPE CreateStorage(LPCOLESTR name, DWORD grfMode, DWORD reserved1,
                                          DWORD reserved2, IStorage** ppstg) override;
  // `priority` and `snbExclude` are not supported and must be null (STG_E_INVALIDPARAMETER).
  HRESULT STDMETHODCALLTYPE OpenStorage(LPCOLESTR name, IStorage* priority, DWORD grfMode,
                                        void* snbExclude, DWORD reserved,
                                        IStorage** ppstg) override;
  // Copies every element into `dest` (a storage of any implementation): streams replace
  // streams of the same name, storages merge into existing ones. `rgiidExclude` may name
  // IID_IStream or IID_IStorage to leave those out; `snbExclude` is a null-terminated array of
  // UTF-8 names (char**) left out at this level. Copying into itself or a storage below it is
  // refused with STG_E_ACCESSDENIED.
  HRESULT STDMETHODCALLTYPE CopyTo(DWORD ciidExclude, const IID* rgiidExclude, void* snbExclude,
                                   IStorage* dest) override;
  // STGMOVE_MOVE (0) or STGMOVE_COPY (1); the new name must not exist in `dest`
  // (STG_E_FILEALREADYEXISTS).
  HRESULT STDMETHODCALLTYPE MoveElementTo(LPCOLESTR name, IStorage* dest, LPCOLESTR newName,
                                          DWORD grfFlags) override;
  // On the root: writes the file (see Document::Commit). On a sub-storage: nothing to do.
  HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                         IEnumSTATSTG** ppenum) override;
  HRESULT STDMETHODCALLTYPE DestroyElement(LPCOLESTR name) override;
  HRESULT STDMETHODCALLTYPE RenameElement(LPCOLESTR oldName, LPCOLESTR newName) override;
  // Only storages keep times (the format stores none for streams); access times are not kept.
  HRESULT STDMETHODCALLTYPE SetElementTimes(LPCOLESTR name, const FILETIME* ctime,
                                            const FILETIME* atime, const FILETIME* mtime) override;
  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override;
  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD grfStateBits, DWORD grfMask) override;
  // The root is named by its file path ("Root Entry" in memory).
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* statstg, DWORD grfStatFlag) override;

 private:
  // Checks shared by the Create* and Open* operations; finds the existing element.
  HRESULT PrepareOpen(LPCOLESTR name, DWORD mode, bool creating, ElementName* parsed,
                      std::shared_ptr<Element>* existing);
  // Makes room for a new element under `name` (replacing `existing` when STGM_CREATE allows).
  HRESULT MakeRoom(const std::shared_ptr<Element>& existing, DWORD mode);
  HRESULT CopyInto(const Element& source, IStorage* dest, bool skipStreams, bool skipStorages,
                   const std::vector<ElementName>& excluded);
  HRESULT CopyElement(const Element& source, IStorage* dest, const char* newName, DWORD mode);

  ElementHandle handle_;
};

}  // namespace vok::storage
