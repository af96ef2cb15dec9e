// Services of the bar window offered to other components around their own modal windows.
#pragma once

#include "platform/com/unknwn.h"

struct IvokBarWindow : IUnknown {
  VOK_INTERFACE(IUnknown, 0x8879CB20, 0xD654, 0x11D2, 0xA4, 0x70, 0x00, 0x80, 0xC8, 0x8B, 0x6E,
                0xED);
  // Only while the bar's always-on-top setting is on: topmost when bTopmost is non-zero.
  virtual HRESULT STDMETHODCALLTYPE SetTopmost(LONG bTopmost) = 0;
  // Shows the bar when it is hidden by auto-hide.
  virtual HRESULT STDMETHODCALLTYPE LeaveAutoHide() = 0;

 protected:
  ~IvokBarWindow() = default;
};
