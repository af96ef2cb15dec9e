// Owning smart pointer for interface pointers: one reference per non-null ComPtr.
#pragma once

#include <utility>

#include "platform/com/unknwn.h"

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference to p (the caller keeps its own).
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already owns.
  void Attach(T* p) {
    Reset();
    p_ = p;
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For out parameters: releases what is held first.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &p_;
  }
  T** GetAddressOf() { return &p_; }
  void** ReleaseAndGetVoidAddressOf() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

  template <class U>
  HRESULT As(ComPtr<U>* out) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(U::kIID, out->ReleaseAndGetVoidAddressOf());
  }
  // Copies out one new reference.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

 private:
  T* p_ = nullptr;
};

// Queries `from` for interface U; the result is null on failure.
template <class U, class T>
ComPtr<U> QueryAs(T* from) {
  ComPtr<U> out;
  if (from) from->QueryInterface(U::kIID, out.ReleaseAndGetVoidAddressOf());
  return out;
}

// The object's identity pointer, used to tell whether two pointers name one object.
template <class T>
ComPtr<IUnknown> IdentityOf(T* p) {
  return QueryAs<IUnknown>(p);
}
