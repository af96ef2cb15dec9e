// Shared pieces of the program's tests: an Application over the real container and engines
// (from the built libraries) with a fake desktop, a scripted prompter, a recorded shell and a
// fresh folder per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bar/application.h"
#include "bar/data_file.h"
#include "bar/recent_files.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "platform/registry/registry.h"
#include "platform/ui/scripted_prompter.h"
#include "platform/x11/fake_desktop.h"

namespace vok::bar::test {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

class ApplicationTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    vok::test::EnsureApplication();
    for (const char* library : {"vokEngine", "vokTools", "vokCmdLine", "vokCtl", "vokFileView"})
      ASSERT_TRUE(vok::test::RegisterBuiltLibrary(library));
  }

  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(std::getenv("HOME")) + "/" + info->test_suite_name() + "." + info->name();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ + "/bin");
    reg::DeleteTree(reg::Hive::kCurrentUser, RecentFiles::kKey);
    startCount_ = ModuleCount().load();
  }

  void TearDown() override {
    app_.reset();
    EXPECT_EQ(startCount_, ModuleCount().load()) << "objects of the program left alive";
  }

  // A started application (components created) in `mode`; replaces the previous one.
  Application& Start(RunMode mode = RunMode::kWindow) {
    app_.reset();
    ApplicationSeams seams;
    seams.programDir = dir_ + "/bin";
    seams.desktop = std::make_unique<x11::FakeDesktop>();
    seams.openDocument = [this](const std::string& path) {
      opened_.push_back(path);
      return true;
    };
    app_ = std::make_unique<Application>(mode, std::move(seams));
    EXPECT_TRUE(app_->CreateComponents());
    // A new container already reports changes (an engine sizes its lists at Init); the tests
    // start from a state with nothing unsaved.
    if (app_->Container()) {
      StateSnapshot saved;
      EXPECT_EQ(S_OK, saved.Take(QueryAs<IPersistStorage>(app_->Container()).Get()));
    }
    return *app_;
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Saves the running application's state to `name` and returns the path.
  std::string SavedFile(const std::string& name) {
    const std::string path = Path(name);
    EXPECT_TRUE(app_->SaveTo(path));
    return path;
  }

  std::string dir_;
  std::unique_ptr<Application> app_;
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scopedPrompter_{&prompter_};
  std::vector<std::string> opened_;

 private:
  int32_t startCount_ = 0;
};

}  // namespace vok::bar::test
