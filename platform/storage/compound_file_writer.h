// Writes a storage tree as a version 3 compound file (512-byte sectors).
#pragma once

#include <vector>

#include "platform/storage/storage_tree.h"

namespace vok::storage {

// Lays the tree below `root` out as a complete file in `out`: header, FAT (with DIFAT sectors
// when more than 109 FAT sectors are needed), directory with one balanced red-black tree per
// storage, mini FAT and mini stream for streams under 4096 bytes, then the larger streams.
// STG_E_MEDIUMFULL when the tree exceeds what the format can address; may throw
// std::bad_alloc.
HRESULT WriteCompoundFile(const Element& root, std::vector<uint8_t>* out);

}  // namespace vok::storage
