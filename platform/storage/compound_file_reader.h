// Reads a compound file held in memory into a storage tree, validating as it goes.
#pragma once

#include <memory>

#include "platform/storage/storage_tree.h"

namespace vok::storage {

// True when `data` begins with the compound-file signature.
bool HasCompoundFileSignature(const uint8_t* data, size_t size);

// Builds the tree of the file in `data`. Versions 3 and 4 are read. Input that is not a
// compound file of a known version gives STG_E_INVALIDHEADER; any other inconsistency (sector
// numbers outside the file, chains that loop or share sectors, stream sizes beyond their
// chains, bad directory links or names, duplicate names, storages nested deeper than
// kMaxStorageDepth) gives STG_E_DOCFILECORRUPT. Every sector is claimed by at most one chain,
// so the tree never holds more data than the input.
HRESULT ReadCompoundFile(const uint8_t* data, size_t size, std::shared_ptr<Element>* root);

}  // namespace vok::storage
