#include "common/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace vok {

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
  size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  size_t n = std::min<size_t>(cb, available);
  if (n) std::memcpy(pv, bytes_.data() + position_, n);
  position_ += n;
  if (pcbRead) *pcbRead = static_cast<ULONG>(n);
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
  int64_t base;
  switch (origin) {
    case STREAM_SEEK_SET:
      base = 0;
      break;
    case STREAM_SEEK_CUR:
      base = static_cast<int64_t>(position_);
      break;
    case STREAM_SEEK_END:
      base = static_cast<int64_t>(bytes_.size());
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  int64_t target = base + move.QuadPart;
  if (target < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<size_t>(target);
  if (newPosition) newPosition->QuadPart = position_;
  return S_OK;
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
