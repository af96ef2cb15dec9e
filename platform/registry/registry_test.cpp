#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace vok::reg {
namespace {

namespace fs = std::filesystem;

// Each test gets a registry folder of its own below the temporary QUILLO_HOME.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::getenv("QUILLO_HOME");
    home_ = fs::path(saved_) / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(home_);
    setenv("QUILLO_HOME", home_.c_str(), 1);
  }
  void TearDown() override { setenv("QUILLO_HOME", saved_.c_str(), 1); }

  fs::path HivePath() const { return home_ / "registry" / "HKEY_CURRENT_USER.reg"; }

  std::string saved_;
  fs::path home_;
};

TEST_F(RegistryTest, LivesUnderQuilloHome) { EXPECT_EQ(home_ / "registry", RegistryDir()); }

TEST_F(RegistryTest, FallsBackToXdgConfigHome) {
  unsetenv("QUILLO_HOME");
  EXPECT_EQ(std::string(std::getenv("XDG_CONFIG_HOME")) + "/quillo/registry", RegistryDir());
}

TEST_F(RegistryTest, StoresAndReadsValues) {
  const std::string key = "Software\\Dravik Software\\Quillo\\Recent File List";
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, key, "File1", "/home/u/a b.qdx"));
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, key, "", "default"));
  std::string value;
  EXPECT_EQ(S_OK, GetString(Hive::kCurrentUser, key, "File1", &value));
  EXPECT_EQ("/home/u/a b.qdx", value);
  EXPECT_EQ(S_OK, GetString(Hive::kCurrentUser, key, "", &value));
  EXPECT_EQ("default", value);
  EXPECT_EQ(S_FALSE, GetString(Hive::kCurrentUser, key, "File2", &value));
  EXPECT_EQ(S_FALSE, GetString(Hive::kCurrentUser, "Software\\Nobody", "File1", &value));
  EXPECT_EQ(S_FALSE, GetString(Hive::kClassesRoot, key, "File1", &value)) << "hives are separate";
}

TEST_F(RegistryTest, KeyNamesIgnoreCase) {
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "Software\\Quillo", "Name", "x"));
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "SOFTWARE\\quillo", "name", "y"));
  std::string value;
  ASSERT_EQ(S_OK, GetString(Hive::kCurrentUser, "software\\QUILLO", "NAME", &value));
  EXPECT_EQ("y", value);
  EXPECT_EQ(std::vector<std::string>{"Quillo"}, SubKeys(Hive::kCurrentUser, "Software"));
}

TEST_F(RegistryTest, TextThatLooksLikeSyntaxSurvives) {
  const std::string awkward = "a \"quoted\" \\path\\ with\nnewline and ] [brackets]=@";
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "K\\\"odd\" [key]", "\"n\"=", awkward));
  // A fresh read from disk: change the file's identity so the cache reloads.
  fs::copy_file(HivePath(), HivePath().string() + ".copy");
  fs::rename(HivePath().string() + ".copy", HivePath());
  std::string value;
  ASSERT_EQ(S_OK, GetString(Hive::kCurrentUser, "K\\\"odd\" [key]", "\"n\"=", &value));
  EXPECT_EQ(awkward, value);
}

TEST_F(RegistryTest, DeleteTreeRemovesEverythingBelow) {
  ASSERT_EQ(S_OK, SetString(Hive::kClassesRoot, "CLSID\\{X}\\InprocServer32", "", "/lib.so"));
  ASSERT_EQ(S_OK, SetString(Hive::kClassesRoot, "CLSID\\{Y}", "", "other"));
  ASSERT_EQ(S_OK, DeleteTree(Hive::kClassesRoot, "clsid\\{x}"));
  EXPECT_FALSE(KeyExists(Hive::kClassesRoot, "CLSID\\{X}\\InprocServer32"));
  EXPECT_FALSE(KeyExists(Hive::kClassesRoot, "CLSID\\{X}"));
  EXPECT_TRUE(KeyExists(Hive::kClassesRoot, "CLSID\\{Y}"));
  EXPECT_EQ(S_FALSE, DeleteTree(Hive::kClassesRoot, "CLSID\\{X}"));
}

TEST_F(RegistryTest, DeleteValueKeepsTheKey) {
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "A", "v1", "1"));
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "A", "v2", "2"));
  ASSERT_EQ(S_OK, DeleteValue(Hive::kCurrentUser, "A", "V1"));
  EXPECT_EQ(std::vector<std::string>{"v2"}, ValueNames(Hive::kCurrentUser, "A"));
  EXPECT_EQ(S_FALSE, DeleteValue(Hive::kCurrentUser, "A", "v1"));
}

TEST_F(RegistryTest, EmptyKeysPersist) {
  ASSERT_EQ(S_OK, CreateKey(Hive::kCurrentUser, "Software\\Empty"));
  std::ifstream in(HivePath());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(std::string::npos, text.find("[Software\\Empty]"));
}

TEST_F(RegistryTest, SeesChangesMadeByAnotherProcess) {
  ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "A", "v", "old"));
  {
    std::ofstream out(HivePath().string() + ".new");
    out << "QUILLO REGISTRY 1\n[A]\n\"v\"=\"new\"\n";
  }
  fs::rename(HivePath().string() + ".new", HivePath());
  std::string value;
  ASSERT_EQ(S_OK, GetString(Hive::kCurrentUser, "A", "v", &value));
  EXPECT_EQ("new", value);
}

TEST_F(RegistryTest, DamagedHiveIsAnErrorAndIsNotOverwritten) {
  fs::create_directories(HivePath().parent_path());
  const char* damaged[] = {"garbage\n", "QUILLO REGISTRY 1\n\"v\"=\"value outside a key\"\n",
                           "QUILLO REGISTRY 1\n[A]\n\"v\"=\"unterminated\n",
                           "QUILLO REGISTRY 1\n[A\n"};
  for (const char* text : damaged) {
    {
      std::ofstream out(HivePath().string() + ".new");
      out << text;
    }
    fs::rename(HivePath().string() + ".new", HivePath());
    std::string value;
    EXPECT_EQ(REGDB_E_READREGDB, GetString(Hive::kCurrentUser, "A", "v", &value)) << text;
    EXPECT_EQ(REGDB_E_READREGDB, SetString(Hive::kCurrentUser, "A", "v", "x")) << text;
    std::ifstream in(HivePath());
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, kept) << "a damaged hive is left for the user to inspect";
  }
}

TEST_F(RegistryTest, WritesLeaveNoTemporaryFiles) {
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(S_OK, SetString(Hive::kCurrentUser, "A", "v" + std::to_string(i), "x"));
  int files = 0;
  for (const auto& entry : fs::directory_iterator(HivePath().parent_path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(1, files);
}

TEST_F(RegistryTest, UnwritableFolderIsReported) {
  // A file where the registry folder should be: no one, root included, can write the hive.
  std::ofstream(home_ / "registry") << "in the way";
  EXPECT_EQ(REGDB_E_WRITEREGDB, SetString(Hive::kCurrentUser, "A", "v", "x"));
  std::string value;
  EXPECT_EQ(S_FALSE, GetString(Hive::kCurrentUser, "A", "v", &value))
      << "a failed write must not pretend the value was stored";
}

}  // namespace
}  // namespace vok::reg
