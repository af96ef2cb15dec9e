// One open compound file or in-memory storage: its tree, where it is saved and how it was
// opened. Shared (std::shared_ptr) by the root storage object and every object opened below
// it; single-threaded like everything in the component runtime.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/storage/storage_tree.h"

namespace vok::storage {

class Document {
 public:
  // `path` empty: held in memory only. `mode` is the root's open mode. A document that was
  // created (rather than opened) starts dirty so that its first save writes it even when
  // nothing was added.
  Document(std::shared_ptr<Element> root, std::string path, DWORD mode, bool startsDirty);

  const std::shared_ptr<Element>& Root() const { return root_; }
  const std::string& Path() const { return path_; }
  DWORD Mode() const { return mode_; }
  bool Transacted() const { return (mode_ & STGM_TRANSACTED) != 0; }

  // Changes with every Revert: objects opened before it stand for a discarded tree.
  uint64_t Generation() const { return generation_; }
  // Set when the root object is gone; the remaining element objects are then reverted.
  bool Closed() const { return closed_; }
  void Close() { closed_ = true; }

  void MarkDirty() { dirty_ = true; }
  bool Dirty() const { return dirty_; }

  // Writes the file when the document is file-backed, writable and dirty; in transacted mode
  // the current state also becomes the one Revert returns to.
  HRESULT Commit();
  // Transacted mode: back to the last committed state. Direct mode: nothing to undo.
  HRESULT Revert();
  // The whole tree as compound-file bytes.
  HRESULT Serialize(std::vector<uint8_t>* out) const;

 private:
  std::shared_ptr<Element> root_;
  std::shared_ptr<Element> committed_;  // transacted mode only
  std::string path_;
  DWORD mode_;
  bool dirty_;
  bool closed_ = false;
  uint64_t generation_ = 0;
};

}  // namespace vok::storage
