// Fakes for the tests of drop handling and context folders: an engine container that records
// its command lines and hands out a command-line engine that records what it is asked.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/vok_object.h"

namespace vok::bar::fakes {

class FakeCommandLine final : public ObjectRoot<IvokCmdLineUI> {
 public:
  // "chdir <path> <flag>" and "insert <text>", in order.
  std::vector<std::string> calls;
  HRESULT changeDirResult = S_OK;

  HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR path, LONG flag) override {
    calls.push_back("chdir " + std::string(path) + " " + std::to_string(flag));
    return changeDirResult;
  }
  HRESULT STDMETHODCALLTYPE ScriptFinished() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE InsertText(LPCSTR text) override {
    calls.push_back("insert " + std::string(text));
    return S_OK;
  }
};

class FakeContainer final : public ObjectRoot<IvokEngineContainer> {
 public:
  // The engine offering IvokCmdLineUI; null when no engine does.
  ComPtr<FakeCommandLine> commandLine{new FakeCommandLine};
  std::vector<std::string> commands;

  HRESULT STDMETHODCALLTYPE Init(const CLSID* const*, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Properties(HWND, UINT, UINT, LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Command(LPCSTR line) override {
    commands.emplace_back(line);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID riid, IUnknown** engine) override {
    *engine = nullptr;
    if (riid != IvokCmdLineUI::kIID || !commandLine) return E_NOINTERFACE;
    *engine = commandLine->Identity();
    (*engine)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Log(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Log(IUnknown*) override { return E_NOTIMPL; }
};

class RecordingLog final : public ObjectRoot<IvokLog> {
 public:
  std::vector<std::pair<std::string, LONG>> entries;
  int shows = 0;

  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LPCSTR text, LONG type) override {
    entries.emplace_back(text, type);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clear() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Show() override { return ++shows, S_OK; }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG) override { return E_NOTIMPL; }
};

}  // namespace vok::bar::fakes
