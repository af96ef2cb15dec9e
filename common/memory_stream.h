// An IStream over a growable byte buffer: the in-memory stream for tests and for callers that
// assemble a record before writing it. It can be told to fail, to test status handling.
#pragma once

#include <vector>

#include "common/stream_util.h"
#include "common/vok_object.h"

namespace vok {

// The read and seek rules shared by every stream over a byte buffer (this one and the
// structured-storage streams).
// Copies up to cb bytes at *position into pv and advances *position; returns the bytes copied.
ULONG ReadFromBuffer(const std::vector<uint8_t>& bytes, uint64_t* position, void* pv, ULONG cb);
// The position a Seek moves to: STG_E_INVALIDFUNCTION for an unknown origin, a target before
// the start, or an overflow.
HRESULT SeekTarget(LARGE_INTEGER move, DWORD origin, uint64_t position, uint64_t size,
                   uint64_t* target);

class MemoryStream final : public ObjectRoot<IStream> {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  // A new stream with one reference owned by the returned pointer.
  static ComPtr<MemoryStream> Create(std::vector<uint8_t> bytes = {});

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  uint64_t Position() const { return position_; }
  // Once `bytes` more bytes have moved (read or written), every Read/Write returns `status`.
  void FailAfter(size_t bytes, HRESULT status) {
    budget_ = bytes;
    failStatus_ = status;
    failing_ = true;
  }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* statstg, DWORD grfStatFlag) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override;

 private:
  // Charges `cb` bytes against the failure budget; false when the stream must fail now.
  bool Spend(ULONG cb);

  std::vector<uint8_t> bytes_;
  uint64_t position_ = 0;
  bool failing_ = false;
  size_t budget_ = 0;
  HRESULT failStatus_ = S_OK;
};

// The exact byte count of the record `write(stream)` writes, measured by writing it into a scratch
// memory stream (for GetSizeMax). `write` returns a status and may throw
// CvokIStreamException; its failure is returned and *size stays 0. E_POINTER for a null size.
template <class Write>
HRESULT MeasureRecord(Write&& write, ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  ComPtr<MemoryStream> counter = MemoryStream::Create();
  HRESULT hr = GuardStream([&] { return write(counter.Get()); });
  if (FAILED(hr)) return hr;
  size->QuadPart = counter->Bytes().size();
  return S_OK;
}

}  // namespace vok
