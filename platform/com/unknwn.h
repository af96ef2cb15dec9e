// The base identity interface and the class-object interface of the component runtime.
// Interfaces are abstract classes whose virtual functions stand in the documented slot order;
// they have no virtual destructor, which would add slots.
#pragma once

#include "common/vok_types.h"

// Declares an interface's identifier and its parent, so that QueryInterface implementations can
// answer every identifier along the inheritance chain.
#define VOK_INTERFACE(Parent, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7) \
  using Base = Parent;                                                    \
  static constexpr IID kIID = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}

struct IUnknown {
  static constexpr IID kIID = {
      0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
  VOK_INTERFACE(IUnknown, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x46);
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

template <class I>
constexpr const IID& IID_OF() {
  return I::kIID;
}

inline constexpr const IID& IID_IUnknown = IUnknown::kIID;
inline constexpr const IID& IID_IClassFactory = IClassFactory::kIID;
