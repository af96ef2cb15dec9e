// A tiny component used by the runtime's tests: one class served by a library of its own,
// so creation from the registry, library counts and unloading are tested without depending
// on the product libraries.
#pragma once

#include "platform/com/unknwn.h"

struct ITestValue : IUnknown {
  VOK_INTERFACE(IUnknown, 0x5E7A1C00, 0x0001, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x01);
  virtual HRESULT STDMETHODCALLTYPE GetValue(LONG* value) = 0;

 protected:
  ~ITestValue() = default;
};

struct ITestOther : IUnknown {
  VOK_INTERFACE(IUnknown, 0x5E7A1C00, 0x0001, 0x4000, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x02);
  virtual HRESULT STDMETHODCALLTYPE Twice(LONG* value) = 0;

 protected:
  ~ITestOther() = default;
};

constexpr CLSID kTestValueClass = {
    0x5E7A1C00, 0x0001, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}};
constexpr LONG kTestValue = 42;
