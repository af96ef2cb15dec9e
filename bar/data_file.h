// The data file (.qdx): one compound file holding the container's stream and every engine's
// part, written and read through the container's IPersistStorage. No user interface here:
// callers report failures.
#pragma once

#include <string>

#include "common/vok_types.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"

namespace vok::bar {

// Opens `path` and has `container` (borrowed) load from its root storage. The file is opened
// in transacted mode and never committed, so a load cannot change the file's bytes. Returns
// the first failure (opening, or the container's Load); the container may then hold part of
// the file, which is why callers restore a StateSnapshot.
HRESULT LoadDataFile(IPersistStorage* container, const std::string& path);

// Has `container` (borrowed) save into a new compound file at `path` and commits it. The
// new file replaces an existing one only when everything was written: a failure leaves the
// previous file as it was.
HRESULT SaveDataFile(IPersistStorage* container, const std::string& path);

// The container's whole state held in memory, to return to when a load fails half-way.
// Taking it saves the container, which counts as a save for the engines' change flags; the
// caller keeps track of unsaved changes itself.
class StateSnapshot {
 public:
  HRESULT Take(IPersistStorage* container);
  // Loads the kept state back; E_UNEXPECTED when nothing was taken.
  HRESULT Restore(IPersistStorage* container) const;

 private:
  ComPtr<IStorage> storage_;
};

}  // namespace vok::bar
