// Test doubles and the fixture of the command-line engine's tests: the real container, lists,
// items and navigator come from the built component libraries (by class identifier); the
// engine under test is this program's own copy, registered in-process under its class
// identifier so that the container creates it and the tests can look inside it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/engine_cmd_line.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/memory_storage.h"
#include "common/memory_stream.h"
#include "common/vok_object.h"
#include "platform/system/process_runner.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::test {

// The log the container hands to its engines: records every line and Show.
// Its stream record (for the engine's keep-log field) is LONG kRecordMark, LONG n, then the
// n texts as str32; Load replaces the lines with the stored ones.
class RecordingLog final : public ObjectRoot<IvokLog, IPersistStream> {
 public:
  static constexpr LONG kRecordMark = 0x21474F4C;  // "LOG!"
  struct Line {
    std::string text;
    LONG type;
  };

  std::vector<Line> lines;
  int shows = 0;
  LONG maxSize = -1;
  HRESULT dirtyResult = S_FALSE;

  // The texts of the lines of `type`.
  std::vector<std::string> Texts(LONG type) const;

  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LPCSTR text, LONG type) override {
    lines.push_back({text, type});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clear() override { return lines.clear(), S_OK; }
  HRESULT STDMETHODCALLTYPE Show() override { return ++shows, S_OK; }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) override { return *pVal = maxSize, S_OK; }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) override { return maxSize = newVal, S_OK; }

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
    return *pClassID = clsid::kLog, S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return dirtyResult; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
};

// Records the programs the shell layer would start; starts nothing.
class RecordingRunner final : public sys::ProcessRunner {
 public:
  std::vector<std::vector<std::string>> started;
  bool StartDetached(const std::vector<std::string>& argv, const std::string&) override {
    started.push_back(argv);
    return true;
  }
  std::optional<sys::RunResult> Run(const std::vector<std::string>& argv, const std::string&,
                                    std::chrono::milliseconds) override {
    started.push_back(argv);
    return sys::RunResult{0, {}, false};
  }
  std::optional<std::string> FindProgram(const std::string& name) override {
    return "/usr/bin/" + name;
  }
};

// A byte layout built field by field.
class Bytes {
 public:
  Bytes& Long(LONG value);
  Bytes& Byte(BYTE value);
  Bytes& Str(const std::string& text);
  Bytes& Guid(const GUID& guid);
  Bytes& Raw(const std::vector<uint8_t>& bytes);
  // An empty fast list record with this maximum size.
  Bytes& EmptyList(LONG maxSize);
  const std::vector<uint8_t>& data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

class CmdLineEngineTest : public testing::Test {
 public:
  // The lines the recorder engine received, in order, and what it answers.
  static std::vector<std::string>& RecordedLines();
  static HRESULT& RecorderResult();

 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A container over the command-line engine and a line recorder that takes every line the
  // engine declines. The log is set before the engines start.
  HRESULT Start(LONG hint = 1);
  HRESULT Run(const std::string& line) { return container_->Command(line.c_str()); }

  vokEngineCmdLine& engine() { return *engine_; }
  template <class I>
  ComPtr<I> EngineAs() {
    return QueryAs<I>(static_cast<IvokEngine*>(engine_));
  }

  ComPtr<IvokFastList> Favorites();
  ComPtr<IvokFastList> Aliases();
  ComPtr<IvokFastList> Scripts();
  // Items added to the engine's lists (the list holds them); item commands are not
  // re-registered by these.
  void AddAlias(const std::string& name, const std::string& definition,
                const std::string& description = {});
  void AddFavorite(const std::string& name, ULONG type, const std::string& definition,
                   const std::string& description = {}, LONG useTree = 0);
  void AddScript(const std::string& name, ULONG type, const std::string& description = {});
  // Removes and registers every item command again (what a list page does after a change).
  void Reregister();

  std::vector<std::string> Errors() const { return log_->Texts(kLogError); }
  std::vector<std::string> Infos() const { return log_->Texts(kLogInfo); }
  std::string CurrentDir();
  // A folder inside the test's temporary folder, created.
  std::filesystem::path MakeDir(const std::string& relative);

  std::filesystem::path temp_;
  ui::ScriptedPrompter prompter_;
  RecordingRunner runner_;
  ComPtr<RecordingLog> log_;
  ComPtr<IvokEngineContainer> container_;
  vokEngineCmdLine* engine_ = nullptr;  // owned by the container

 private:
  std::filesystem::path savedCwd_;
  std::optional<ui::ScopedPrompter> scopedPrompter_;
  std::optional<sys::ScopedProcessRunner> scopedRunner_;
  std::vector<DWORD> cookies_;
};

// The text of string `id` of the command-line library.
std::string CmdLineText(UINT id);

}  // namespace vok::test
