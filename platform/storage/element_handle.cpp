#include "platform/storage/element_handle.h"

namespace vok::storage {

ElementHandle::ElementHandle(std::shared_ptr<Document> document, std::shared_ptr<Element> element,
                             DWORD mode)
    : document_(std::move(document)),
      element_(std::move(element)),
      mode_(mode),
      generation_(document_->Generation()) {
  if (element_) ++element_->openCount;
}

ElementHandle::~ElementHandle() {
  if (element_) --element_->openCount;
}

HRESULT ElementHandle::CheckLive() const {
  if (IsRoot()) return document_->Closed() ? STG_E_REVERTED : S_OK;
  if (document_->Closed() || document_->Generation() != generation_ || element_->removed) {
    return STG_E_REVERTED;
  }
  return S_OK;
}

HRESULT ElementHandle::CheckRead() const {
  HRESULT hr = CheckLive();
  if (FAILED(hr)) return hr;
  return ModeReads(mode_) && ModeReads(document_->Mode()) ? S_OK : STG_E_ACCESSDENIED;
}

HRESULT ElementHandle::CheckWrite() const {
  HRESULT hr = CheckLive();
  if (FAILED(hr)) return hr;
  return ModeWrites(mode_) && ModeWrites(document_->Mode()) ? S_OK : STG_E_ACCESSDENIED;
}

}  // namespace vok::storage
