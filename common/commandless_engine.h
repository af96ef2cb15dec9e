// The IvokEngine part of an engine without commands, one that only offers property pages or a
// panel: its dispatch order, the hint level and container from Init, and every command line
// passed on to the next engine. The derived class adds its other interfaces' operations.
//
// The container is held without a reference (it outlives its engines).
#pragma once

#include "common/engine_ifaces.h"
#include "common/property_util.h"
#include "common/vok_object.h"

namespace vok {

// Answers queries for Ifaces in order, then IvokEngine.
template <LONG VirtualOrder, typename... Ifaces>
class CommandlessEngine : public ObjectRoot<Ifaces..., IvokEngine> {
 public:
  static constexpr LONG kVirtualOrder = VirtualOrder;

  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) override {
    return GetProperty(kVirtualOrder, pVal);
  }
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) override { return GetProperty(hint_, pVal); }
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override {
    container_ = pEngineContainerUnk;
    hint_ = lHint;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Exit() override { return S_OK; }
  // No word is this engine's: always S_FALSE.
  HRESULT STDMETHODCALLTYPE Command(IUnknown*) override { return S_FALSE; }
  // The stored container without a reference; E_FAIL (and null) before Init.
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) override {
    if (!ppVal) return E_POINTER;
    *ppVal = container_;
    return container_ ? S_OK : E_FAIL;
  }

 protected:
  LONG hint() const { return hint_; }

 private:
  IUnknown* container_ = nullptr;
  LONG hint_ = 0;
};

}  // namespace vok
