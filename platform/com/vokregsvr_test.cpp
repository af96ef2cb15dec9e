#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/com/runtime.h"
#include "platform/com/test_component.h"
#include "platform/registry/registry.h"

namespace {

std::string BuildDir() { return std::getenv("VOK_BUILD_DIR"); }

struct RunResult {
  int status;
  std::string output;
};

RunResult RunRegsvr(const std::string& args) {
  std::string command = BuildDir() + "/bin/vokregsvr " + args + " 2>&1";
  RunResult result{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) result.output += buffer;
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

const std::string kClsidKey = "CLSID\\" + StringFromGUID(kTestValueClass);

TEST(VokregsvrTest, RegistersAndUnregistersLibraries) {
  const std::string library = BuildDir() + "/lib/libvok_test_component.so";
  RunResult registered = RunRegsvr(library);
  ASSERT_EQ(0, registered.status) << registered.output;

  std::string value;
  ASSERT_EQ(S_OK, vok::reg::GetString(vok::reg::Hive::kClassesRoot, kClsidKey + "\\InprocServer32",
                                      "", &value));
  EXPECT_EQ(library, value);
  ASSERT_EQ(S_OK, vok::reg::GetString(vok::reg::Hive::kClassesRoot, kClsidKey + "\\InprocServer32",
                                      "ThreadingModel", &value));
  EXPECT_EQ("Apartment", value);
  ASSERT_EQ(S_OK,
            vok::reg::GetString(vok::reg::Hive::kClassesRoot, kClsidKey + "\\ProgID", "", &value));
  EXPECT_EQ("vokTestValue.vokTestValue.1", value);
  ASSERT_EQ(S_OK, vok::reg::GetString(vok::reg::Hive::kClassesRoot,
                                      kClsidKey + "\\VersionIndependentProgID", "", &value));
  EXPECT_EQ("vokTestValue.vokTestValue", value);
  ASSERT_EQ(S_OK, vok::reg::GetString(vok::reg::Hive::kClassesRoot,
                                      "vokTestValue.vokTestValue\\CurVer", "", &value));
  EXPECT_EQ("vokTestValue.vokTestValue.1", value);

  RunResult removed = RunRegsvr("-u " + library);
  ASSERT_EQ(0, removed.status) << removed.output;
  EXPECT_FALSE(vok::reg::KeyExists(vok::reg::Hive::kClassesRoot, kClsidKey));
  EXPECT_FALSE(vok::reg::KeyExists(vok::reg::Hive::kClassesRoot, "vokTestValue.vokTestValue.1"));
}

TEST(VokregsvrTest, ReportsFailuresAndUsage) {
  RunResult missing = RunRegsvr("/nonexistent/libnothing.so");
  EXPECT_EQ(1, missing.status);
  EXPECT_NE(std::string::npos, missing.output.find("cannot load")) << missing.output;

  // A shared library that is no component server.
  RunResult notServer = RunRegsvr(BuildDir() + "/lib/libvokcom.so");
  EXPECT_EQ(1, notServer.status);
  EXPECT_NE(std::string::npos, notServer.output.find("has no DllRegisterServer"))
      << notServer.output;

  EXPECT_EQ(2, RunRegsvr("").status);
  EXPECT_EQ(2, RunRegsvr("--bogus x.so").status);
}

}  // namespace
