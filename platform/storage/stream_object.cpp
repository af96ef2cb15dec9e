#include "platform/storage/stream_object.h"

#include <algorithm>
#include <cstring>

#include "common/memory_stream.h"
#include "platform/storage/compound_file_format.h"
#include "platform/storage/element_enumerator.h"

namespace vok::storage {
namespace {

// Resizes, turning allocation failure into a status.
HRESULT Resize(std::vector<uint8_t>& bytes, uint64_t size) {
  if (size > cfb::kMaxStreamSize) return STG_E_MEDIUMFULL;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return STG_E_INSUFFICIENTMEMORY;
  }
  return S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE StreamObject::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckRead();
  if (FAILED(hr)) return hr;
  ULONG n = ReadFromBuffer(Bytes(), &position_, pv, cb);
  if (pcbRead) *pcbRead = n;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamObject::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  if (cb == 0) return S_OK;
  std::vector<uint8_t>& bytes = Bytes();
  if (position_ + cb > bytes.size()) {
    hr = Resize(bytes, position_ + cb);
    if (FAILED(hr)) return hr;
  }
  std::memcpy(bytes.data() + position_, pv, cb);
  position_ += cb;
  handle_.MarkDirty();
  if (pcbWritten) *pcbWritten = cb;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamObject::Seek(LARGE_INTEGER move, DWORD origin,
                                             ULARGE_INTEGER* newPosition) {
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr)) return hr;
  hr = SeekTarget(move, origin, position_, Bytes().size(), &position_);
  if (SUCCEEDED(hr) && newPosition) newPosition->QuadPart = position_;
  return hr;
}

HRESULT STDMETHODCALLTYPE StreamObject::SetSize(ULARGE_INTEGER newSize) {
  HRESULT hr = handle_.CheckWrite();
  if (FAILED(hr)) return hr;
  if (newSize.QuadPart == Bytes().size()) return S_OK;
  hr = Resize(Bytes(), newSize.QuadPart);
  if (SUCCEEDED(hr)) handle_.MarkDirty();
  return hr;
}

HRESULT STDMETHODCALLTYPE StreamObject::CopyTo(IStream* target, ULARGE_INTEGER cb,
                                               ULARGE_INTEGER* pcbRead,
                                               ULARGE_INTEGER* pcbWritten) {
  if (pcbRead) pcbRead->QuadPart = 0;
  if (pcbWritten) pcbWritten->QuadPart = 0;
  if (!target) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckRead();
  if (FAILED(hr)) return hr;
  // Copies out first, so that copying a stream into itself (or a clone) reads the old bytes.
  const std::vector<uint8_t>& bytes = Bytes();
  uint64_t available = position_ < bytes.size() ? bytes.size() - position_ : 0;
  uint64_t n = std::min<uint64_t>(cb.QuadPart, available);
  std::vector<uint8_t> chunk(bytes.begin() + static_cast<ptrdiff_t>(position_),
                             bytes.begin() + static_cast<ptrdiff_t>(position_ + n));
  position_ += n;
  if (pcbRead) pcbRead->QuadPart = n;
  uint64_t written = 0;
  while (written < n) {
    auto piece = static_cast<ULONG>(std::min<uint64_t>(n - written, 1u << 30));
    ULONG done = 0;
    hr = target->Write(chunk.data() + written, piece, &done);
    written += done;
    if (FAILED(hr)) break;
    if (done < piece) {
      hr = STG_E_MEDIUMFULL;
      break;
    }
  }
  if (pcbWritten) pcbWritten->QuadPart = written;
  return FAILED(hr) ? hr : S_OK;
}

HRESULT STDMETHODCALLTYPE StreamObject::Commit(DWORD grfCommitFlags) {
  if (grfCommitFlags > 0xF) return STG_E_INVALIDFLAG;
  return handle_.CheckLive();
}

HRESULT STDMETHODCALLTYPE StreamObject::Revert() { return handle_.CheckLive(); }

HRESULT STDMETHODCALLTYPE StreamObject::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE StreamObject::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE StreamObject::Stat(STATSTG* statstg, DWORD grfStatFlag) {
  if (!statstg) return STG_E_INVALIDPOINTER;
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr)) return hr;
  const Element& element = handle_.Target();
  return FillStat(element, element.name.Utf8(), handle_.Mode(), grfStatFlag, statstg);
}

HRESULT STDMETHODCALLTYPE StreamObject::Clone(IStream** ppstm) {
  if (!ppstm) return STG_E_INVALIDPOINTER;
  *ppstm = nullptr;
  HRESULT hr = handle_.CheckLive();
  if (FAILED(hr)) return hr;
  ComPtr<StreamObject> copy(
      new (std::nothrow) StreamObject(handle_.GetDocument(), handle_.TargetPtr(), handle_.Mode()));
  if (!copy) return STG_E_INSUFFICIENTMEMORY;
  copy->position_ = position_;
  *ppstm = copy.Detach();
  return S_OK;
}

}  // namespace vok::storage
