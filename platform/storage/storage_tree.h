// The in-memory form of a compound file: a tree of storages and streams. Opening a file reads
// it whole into this tree; every change happens here and a save writes the tree out again.
#pragma once

#include <memory>
#include <vector>

#include "platform/com/objidl.h"
#include "platform/storage/element_name.h"

namespace vok::storage {

// Storages nest at most this deep (the root is depth 0), so walks over the tree stay shallow.
inline constexpr int kMaxStorageDepth = 256;

struct Element {
  ElementName name;
  bool isStorage = false;
  int depth = 0;
  CLSID clsid = GUID_NULL;  // storages only
  DWORD stateBits = 0;      // storages only
  FILETIME ctime = {};      // storages only: the format keeps no stream times
  FILETIME mtime = {};
  std::vector<uint8_t> data;                       // streams only
  std::vector<std::shared_ptr<Element>> children;  // storages only, in sibling order

  // Open interface objects on this element; an open element cannot be opened again or
  // replaced.
  int openCount = 0;
  // Set when the element leaves the tree (destroyed or replaced); its open objects then
  // answer STG_E_REVERTED.
  bool removed = false;

  static std::shared_ptr<Element> NewStorage(ElementName name, int depth);
  static std::shared_ptr<Element> NewStream(ElementName name, int depth);

  // The child named `name`, or null.
  std::shared_ptr<Element> Find(const ElementName& name) const;
  // Inserts in sibling order; false when an element of that name exists.
  bool Insert(std::shared_ptr<Element> child);
  // Takes the child out of the tree and marks it and everything below it removed.
  void Remove(const std::shared_ptr<Element>& child);
  // Gives a child a new name, keeping sibling order; the caller checked that it is free.
  void Rename(const std::shared_ptr<Element>& child, ElementName newName);
  // True when `element` is this element or lies below it.
  bool Contains(const Element* element) const;
  // True when this element or anything below it is open.
  bool AnyOpen() const;
  // A copy of the subtree without open state, at `depth`.
  std::shared_ptr<Element> DeepCopy(int depth) const;
};

}  // namespace vok::storage
