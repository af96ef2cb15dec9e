// Fakes for the bar's tests: an engine container that records its command lines and menu calls
// and hands out a command-line engine that records what it is asked, and a recording log.
#pragma once

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bar/resources/bar_strings.h"
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

// The container as the bar uses it. `calls` records, in order, "Command <line>",
// "FillMenu <first id>" and "RunMenuCommand <id>" (and "log Show" of a FakeLog pointed at it);
// `commands` holds the command lines alone. FillMenu adds one engine item with the first
// identifier, as the engines do through AddCommand.
class FakeContainer final : public ObjectRoot<IvokEngineContainer, IvokMenuCommands> {
 public:
  // The engine offering IvokCmdLineUI; null when no engine does.
  ComPtr<FakeCommandLine> commandLine{new FakeCommandLine};
  std::vector<std::string> commands;
  std::vector<std::string> calls;

  HRESULT STDMETHODCALLTYPE Init(const CLSID* const*, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Properties(HWND, UINT, UINT, LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Command(LPCSTR line) override {
    commands.emplace_back(line);
    calls.push_back(std::string("Command ") + line);
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

  HRESULT STDMETHODCALLTYPE FillMenu(HMENU menu, LONG first) override {
    calls.push_back("FillMenu " + std::to_string(first));
    menu->addAction(QStringLiteral("notes"))->setData(static_cast<int>(first));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RunMenuCommand(LONG id) override {
    calls.push_back("RunMenuCommand " + std::to_string(id));
    return id < 0 ? E_FAIL : S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddCommand(LPCSTR, LONG*) override { return E_NOTIMPL; }
};

// A log that keeps its entries and counts Show; with `calls` set, Show is also recorded there.
class FakeLog final : public ObjectRoot<IvokLog> {
 public:
  std::vector<std::pair<std::string, LONG>> entries;
  int shows = 0;
  std::vector<std::string>* calls = nullptr;

  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LPCSTR text, LONG type) override {
    entries.emplace_back(text, type);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clear() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Show() override {
    ++shows;
    if (calls) calls->push_back("log Show");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG) override { return E_NOTIMPL; }

  // Error entries with the text of string `id`.
  int Errors(UINT id) const {
    return static_cast<int>(
        std::count(entries.begin(), entries.end(), std::pair(BarString(id), kLogError)));
  }
};

}  // namespace vok::bar::fakes
