// STATSTG records of elements and the enumerator that IStorage::EnumElements hands out.
#pragma once

#include <string>
#include <vector>

#include "common/vok_object.h"
#include "platform/storage/storage_tree.h"

namespace vok::storage {

// Fills `out` for `element`, naming it `name` (task-allocated unless STATFLAG_NONAME).
// STG_E_INVALIDFLAG for an unknown flag, STG_E_INSUFFICIENTMEMORY when the name cannot be
// allocated.
HRESULT FillStat(const Element& element, const std::string& name, DWORD mode, DWORD statFlag,
                 STATSTG* out);

// Enumerates a snapshot of one storage's children, taken when the enumerator was made, in
// sibling order. Later changes to the storage do not show.
class ElementEnumerator final : public ObjectRoot<IEnumSTATSTG> {
 public:
  struct Item {
    std::string name;
    bool isStorage;
    uint64_t size;
    CLSID clsid;
    DWORD stateBits;
    FILETIME ctime, mtime;
  };

  static ComPtr<IEnumSTATSTG> Create(const Element& storage);
  ElementEnumerator(std::shared_ptr<const std::vector<Item>> items, size_t position);

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** ppenum) override;

 private:
  std::shared_ptr<const std::vector<Item>> items_;
  size_t position_;
};

}  // namespace vok::storage
