#include "common/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace vok {

ULONG ReadFromBuffer(const std::vector<uint8_t>& bytes, uint64_t* position, void* pv, ULONG cb) {
  uint64_t available = *position < bytes.size() ? bytes.size() - *position : 0;
  auto n = static_cast<ULONG>(std::min<uint64_t>(cb, available));
  if (n) std::memcpy(pv, bytes.data() + *position, n);
  *position += n;
  return n;
}

HRESULT SeekTarget(LARGE_INTEGER move, DWORD origin, uint64_t position, uint64_t size,
                   uint64_t* target) {
  int64_t base;
  switch (origin) {
    case STREAM_SEEK_SET:
      base = 0;
      break;
    case STREAM_SEEK_CUR:
      base = static_cast<int64_t>(position);
      break;
    case STREAM_SEEK_END:
      base = static_cast<int64_t>(size);
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  int64_t moved;
  if (__builtin_add_overflow(base, move.QuadPart, &moved) || moved < 0)
    return STG_E_INVALIDFUNCTION;
  *target = static_cast<uint64_t>(moved);
  return S_OK;
}

ComPtr<MemoryStream> MemoryStream::Create(std::vector<uint8_t> bytes) {
  return ComPtr<MemoryStream>(new MemoryStream(std::move(bytes)));
}

bool MemoryStream::Spend(ULONG cb) {
  if (!failing_) return true;
  if (budget_ < cb) {
    budget_ = 0;
    return false;
  }
  budget_ -= cb;
  return true;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  if (!Spend(cb)) return failStatus_;
  ULONG n = ReadFromBuffer(bytes_, &position_, pv, cb);
  if (pcbRead) *pcbRead = n;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  if (!Spend(cb)) return failStatus_;
  if (position_ + cb > bytes_.size()) bytes_.resize(position_ + cb);
  if (cb) std::memcpy(bytes_.data() + position_, pv, cb);
  position_ += cb;
  if (pcbWritten) *pcbWritten = cb;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Seek(LARGE_INTEGER move, DWORD origin,
                                             ULARGE_INTEGER* newPosition) {
  HRESULT hr = SeekTarget(move, origin, position_, bytes_.size(), &position_);
  if (SUCCEEDED(hr) && newPosition) newPosition->QuadPart = position_;
  return hr;
}

HRESULT STDMETHODCALLTYPE MemoryStream::SetSize(ULARGE_INTEGER newSize) {
  bytes_.resize(static_cast<size_t>(newSize.QuadPart));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::CopyTo(IStream* target, ULARGE_INTEGER cb,
                                               ULARGE_INTEGER* pcbRead,
                                               ULARGE_INTEGER* pcbWritten) {
  if (!target) return STG_E_INVALIDPOINTER;
  size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  size_t n = static_cast<size_t>(std::min<uint64_t>(cb.QuadPart, available));
  ULONG written = 0;
  HRESULT hr = target->Write(bytes_.data() + position_, static_cast<ULONG>(n), &written);
  position_ += n;
  if (pcbRead) pcbRead->QuadPart = n;
  if (pcbWritten) pcbWritten->QuadPart = written;
  return hr;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Stat(STATSTG* statstg, DWORD) {
  if (!statstg) return STG_E_INVALIDPOINTER;
  std::memset(statstg, 0, sizeof *statstg);
  statstg->type = STGTY_STREAM;
  statstg->cbSize.QuadPart = bytes_.size();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Clone(IStream** ppstm) {
  if (!ppstm) return STG_E_INVALIDPOINTER;
  auto* copy = new (std::nothrow) MemoryStream(bytes_);
  if (!copy) return E_OUTOFMEMORY;
  copy->position_ = position_;
  copy->AddRef();
  *ppstm = copy;
  return S_OK;
}

}  // namespace vok
