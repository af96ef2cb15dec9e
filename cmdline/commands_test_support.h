// The fixture of the file and system command tests: a fake CommandContext with a recording
// log and container, the real command parser (from libvokEngine.so, by class identifier), and
// every outside effect replaced: a recording process runner, session control and block
// devices, an empty mount table, a scripted prompter and a private temporary folder as the
// current directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/command_context.h"
#include "cmdline/file_commands.h"
#include "common/class_ids.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/shell_test_support.h"
#include "platform/system/mounts.h"
#include "platform/system/recording_process_runner.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::cmdline::test {

// An interface object living on the stack: reference counting does nothing.
template <class I>
class StackObject : public I {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = riid == IUnknown::kIID || riid == I::kIID ? static_cast<I*>(this) : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

struct LogLine {
  std::string text;
  LONG type;
};

class FakeLog final : public StackObject<IvokLog> {
 public:
  std::vector<LogLine> lines;
  int shows = 0;

  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LPCSTR text, LONG type) override {
    lines.push_back({text, type});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clear() override {
    lines.clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Show() override {
    ++shows;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* value) override {
    *value = 100;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG) override { return S_OK; }

  std::vector<std::string> Texts(LONG type) const {
    std::vector<std::string> texts;
    for (const LogLine& line : lines)
      if (line.type == type) texts.push_back(line.text);
    return texts;
  }
};

class FakeContainer final : public StackObject<IvokEngineContainer> {
 public:
  std::vector<std::string> commands;

  HRESULT STDMETHODCALLTYPE Init(const CLSID* const*, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Properties(HWND, UINT, UINT, LPCSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Command(LPCSTR line) override {
    commands.push_back(line);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID, IUnknown**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE get_Log(IUnknown** log) override {
    *log = nullptr;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE put_Log(IUnknown*) override { return S_OK; }
};

class FakeContext final : public CommandContext {
 public:
  FakeLog log;
  FakeContainer container;
  std::string currentDirectory;
  bool deleteToRecycleBin = true;
  bool explorerTree = false;

  IvokEngineContainer* Container() override { return &container; }
  IvokLog* Log() override { return &log; }
  IvokChDir* Navigator() override { return nullptr; }
  std::string CurrentDirectory() override { return currentDirectory; }
  bool DeleteToRecycleBin() override { return deleteToRecycleBin; }
  bool ExplorerTree() override { return explorerTree; }
  HWND PanelWindow() override { return nullptr; }
};

using Handler = HRESULT (*)(CommandContext&, IvokCommandParser*);

class CommandsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { vok::test::EnsureApplication(); }

  CommandsTest()
      : runner_(&runner), session_(&session), devices_(&devices), prompter_(&prompter), mounts_([] {
          return std::vector<sys::MountEntry>{};
        }) {
    runner.installed = {"xdg-open"};
    context.currentDirectory = dir.str();
  }

  void SetUp() override {
    ASSERT_TRUE(vok::test::RegisterBuiltLibrary("vokEngine"));
    ASSERT_EQ(S_OK, CoCreateInstance(clsid::kCommandParser, nullptr, CLSCTX_INPROC_SERVER,
                                     IvokCommandParser::kIID, parser.ReleaseAndGetVoidAddressOf()));
  }

  // Parses `line` and hands it to `handler`.
  HRESULT Run(Handler handler, const std::string& line) {
    EXPECT_EQ(S_OK, parser->Parse(line.c_str()));
    return handler(context, parser.Get());
  }

  std::vector<std::string> Errors() const { return context.log.Texts(kLogError); }
  std::vector<std::string> Infos() const { return context.log.Texts(kLogInfo); }
  static std::string Text(UINT id) { return LoadMessage(id); }
  std::string In(std::string_view name) const { return (dir / name).string(); }

  shell::test::TempDir dir;
  FakeContext context;
  sys::test::RecordingProcessRunner runner;
  sys::test::RecordingSessionControl session;
  sys::test::FakeBlockDevices devices;
  ui::ScriptedPrompter prompter;
  ComPtr<IvokCommandParser> parser;

 private:
  sys::ScopedProcessRunner runner_;
  sys::ScopedSessionControl session_;
  sys::ScopedBlockDevices devices_;
  ui::ScopedPrompter prompter_;
  sys::ScopedMountReader mounts_;
};

}  // namespace vok::cmdline::test
