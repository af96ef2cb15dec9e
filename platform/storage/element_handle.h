// What every object opened on an element holds: the document, the element, the open mode and
// whether the object still stands for a live element. Element objects count as opens of their
// element for as long as they live.
#pragma once

#include <memory>

#include "platform/storage/open_mode.h"
#include "platform/storage/storage_document.h"

namespace vok::storage {

class ElementHandle {
 public:
  // `element` null: the root storage object, which follows the document's root across Revert.
  ElementHandle(std::shared_ptr<Document> document, std::shared_ptr<Element> element, DWORD mode);
  ~ElementHandle();
  ElementHandle(const ElementHandle&) = delete;
  ElementHandle& operator=(const ElementHandle&) = delete;

  // S_OK, or STG_E_REVERTED when the element was destroyed, replaced or reverted, or the root
  // storage was released.
  HRESULT CheckLive() const;
  // CheckLive, then STG_E_ACCESSDENIED when the open mode does not allow reading / writing.
  HRESULT CheckRead() const;
  HRESULT CheckWrite() const;

  bool IsRoot() const { return !element_; }
  Element& Target() const { return element_ ? *element_ : *document_->Root(); }
  const std::shared_ptr<Element>& TargetPtr() const {
    return element_ ? element_ : document_->Root();
  }
  const std::shared_ptr<Document>& GetDocument() const { return document_; }
  DWORD Mode() const { return mode_; }
  void MarkDirty() const { document_->MarkDirty(); }

 private:
  std::shared_ptr<Document> document_;
  std::shared_ptr<Element> element_;  // null for the root
  DWORD mode_;
  uint64_t generation_;
};

}  // namespace vok::storage
