// The parsed command line: token 0 is the command word, the others its arguments.
#pragma once

#include "platform/com/unknwn.h"

struct IvokCommandParser : IUnknown {
  VOK_INTERFACE(IUnknown, 0x98DC6E62, 0x757B, 0x11D2, 0xB4, 0xFD, 0xB7, 0x6D, 0x64, 0x63, 0x99,
                0x5F);
  virtual HRESULT STDMETHODCALLTYPE Parse(LPCSTR szCmdLine) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
  // The buffer must hold the whole stored line (CmdLen + 1 bytes).
  virtual HRESULT STDMETHODCALLTYPE GetCommandLine(LPSTR lpszCmdLn) = 0;
  // Appends " token" for every argument to the text already in the buffer.
  virtual HRESULT STDMETHODCALLTYPE GetAllArguments(LPSTR lpszArgs) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CmdLen(LONG* pVal) = 0;

 protected:
  ~IvokCommandParser() = default;
};

struct IvokEnumArgs : IUnknown {
  VOK_INTERFACE(IUnknown, 0xE7540A10, 0x7583, 0x11D2, 0xB4, 0xFD, 0xB7, 0x6D, 0x64, 0x63, 0x99,
                0x5F);
  // Each string handed out is task-allocated; the caller frees it with CoTaskMemFree.
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPSTR* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG celt) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  // The clone is valid only until the parser's next Parse or Clear.
  virtual HRESULT STDMETHODCALLTYPE Clone(IvokEnumArgs** ppEnum) = 0;

 protected:
  ~IvokEnumArgs() = default;
};
