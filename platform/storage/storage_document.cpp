#include "platform/storage/storage_document.h"

#include "common/stream_util.h"
#include "platform/storage/compound_file_writer.h"
#include "platform/storage/file_io.h"
#include "platform/storage/open_mode.h"

namespace vok::storage {

Document::Document(std::shared_ptr<Element> root, std::string path, DWORD mode, bool startsDirty)
    : root_(std::move(root)), path_(std::move(path)), mode_(mode), dirty_(startsDirty) {
  if (Transacted()) committed_ = root_->DeepCopy(0);
}

HRESULT Document::Serialize(std::vector<uint8_t>* out) const {
  return GuardStream([&] { return WriteCompoundFile(*root_, out); });
}

HRESULT Document::Commit() {
  if (!ModeWrites(mode_)) return S_OK;
  if (!path_.empty() && dirty_) {
    std::vector<uint8_t> bytes;
    HRESULT hr = Serialize(&bytes);
    if (SUCCEEDED(hr)) hr = ReplaceFileAtomically(path_, bytes);
    if (FAILED(hr)) return hr;
  }
  dirty_ = false;
  if (Transacted()) {
    return GuardStream([&] {
      committed_ = root_->DeepCopy(0);
      return S_OK;
    });
  }
  return S_OK;
}

HRESULT Document::Revert() {
  if (!Transacted()) return S_OK;
  return GuardStream([&] {
    root_ = committed_->DeepCopy(0);
    ++generation_;
    dirty_ = false;
    return S_OK;
  });
}

}  // namespace vok::storage
