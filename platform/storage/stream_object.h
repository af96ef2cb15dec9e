// IStream over one stream element of a document. Reads and writes go straight to the
// element's bytes in memory; the file is written when the root storage commits.
#pragma once

#include "common/vok_object.h"
#include "platform/storage/element_handle.h"

namespace vok::storage {

class StreamObject final : public ObjectRoot<IStream> {
 public:
  StreamObject(std::shared_ptr<Document> document, std::shared_ptr<Element> element, DWORD mode)
      : handle_(std::move(document), std::move(element), mode) {}

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* newPosition) override;
  // Sizes beyond what a version 3 file can hold (2 GiB) give STG_E_MEDIUMFULL.
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override;
  // Streams are direct: Commit and Revert have nothing to do.
  HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  // Region locks are not offered: STG_E_INVALIDFUNCTION.
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* statstg, DWORD grfStatFlag) override;
  // A second object on the same bytes with its own position.
  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override;

 private:
  std::vector<uint8_t>& Bytes() const { return handle_.Target().data; }

  ElementHandle handle_;
  uint64_t position_ = 0;
};

}  // namespace vok::storage
