// Lists everything below a storage through the public interfaces: the walk behind qdxdump and
// the tests' comparisons of whole files.
#pragma once

#include <string>
#include <vector>

#include "platform/com/objidl.h"

namespace vok {

struct StreamRecord {
  std::string path;  // storage names and the stream name joined by "/"
  std::vector<uint8_t> bytes;
};

struct StorageListing {
  std::vector<StreamRecord> streams;  // sorted by path, byte-wise
  std::vector<std::string> storages;  // every sub-storage's path, sorted
};

// Opens and reads every stream and walks every sub-storage below `storage` (opened read-only,
// exclusive). Returns the first failing status.
HRESULT ListStorage(IStorage* storage, StorageListing* out);

}  // namespace vok
