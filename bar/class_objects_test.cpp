#include "bar/class_objects.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>

#include "bar/single_instance.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "platform/registry/registry.h"

namespace vok::bar {
namespace {

using reg::Hive;

std::string ClassKey(const CLSID& clsid) { return "CLSID\\" + StringFromGUID(clsid); }

TEST(ProgramClassObjectsTest, ServeTheProgramsClassesOnlyWhileRegistered) {
  auto createLog = [] {
    ComPtr<IvokLog> log;
    return CoCreateInstance(clsid::kLog, nullptr, CLSCTX_ALL, IvokLog::kIID,
                            log.ReleaseAndGetVoidAddressOf());
  };
  {
    ProgramClassObjects objects;
    ASSERT_EQ(S_OK, objects.Register());
    EXPECT_EQ(S_OK, createLog());
  }
  // Revoked with the object; nothing in this test's registry serves the class.
  EXPECT_TRUE(FAILED(createLog()));
  EXPECT_EQ(0, ModuleCount().load());
}

TEST(ProgramRegistrationTest, WritesServerRecordsAndRemovesThemButNotTheRoots) {
  const std::string program = "/opt/quillo/bin/quillo";
  const std::string appId = StringFromGUID(kProgramAppId);
  ASSERT_EQ(S_OK, RegisterProgramServer(program));
  // The engine is an in-process server; the log and its entries are served by the program.
  const struct {
    std::string key, name, value;
  } expected[] = {
      {ClassKey(clsid::kEngineUI) + "\\InprocServer32", "", program},
      {ClassKey(clsid::kLog) + "\\LocalServer32", "", program},
      {ClassKey(clsid::kLog), "AppID", appId},
      {ClassKey(clsid::kFastListItemLog) + "\\LocalServer32", "", program},
      {"VokUI.vokLog.1\\CLSID", "", StringFromGUID(clsid::kLog)},
      {"AppID\\" + appId, "", "vokUI"},
      {"AppID\\quillo", "AppID", appId},
  };
  for (const auto& e : expected) {
    std::string value;
    EXPECT_EQ(S_OK, reg::GetString(Hive::kClassesRoot, e.key, e.name, &value)) << e.key;
    EXPECT_EQ(e.value, value) << e.key;
  }
  EXPECT_FALSE(reg::KeyExists(Hive::kClassesRoot, ClassKey(clsid::kLog) + "\\InprocServer32"));

  // Someone else's class stays when the program unregisters, and so do the shared roots.
  ASSERT_EQ(S_OK, reg::SetString(Hive::kClassesRoot, ClassKey(clsid::kFastList), "", "other"));
  ASSERT_EQ(S_OK, UnregisterProgramServer(program));
  for (const auto& e : expected) EXPECT_FALSE(reg::KeyExists(Hive::kClassesRoot, e.key)) << e.key;
  for (const std::string key : {"vokEngineUI.vokEngineUI", "CLSID", "AppID"})
    EXPECT_EQ(key != "vokEngineUI.vokEngineUI", reg::KeyExists(Hive::kClassesRoot, key)) << key;
  EXPECT_TRUE(reg::KeyExists(Hive::kClassesRoot, ClassKey(clsid::kFastList)));
}

TEST(SingleInstanceTest, OneHolderAtATimeAndDeadHoldersDoNotCount) {
  const std::string path = std::string(std::getenv("QUILLO_HOME")) + "/locks/quillo.lock";
  EXPECT_EQ(std::string(std::getenv("QUILLO_HOME")) + "/quillo.lock", SingleInstance::LockPath());

  SingleInstance first;
  ASSERT_TRUE(first.Acquire(path));
  SingleInstance second;
  EXPECT_FALSE(second.Acquire(path));
  first.Release();
  EXPECT_TRUE(second.Acquire(path));
  second.Release();

  // A lock left by a process that is gone (a crashed bar) is taken over.
  {
    std::ofstream stale(path, std::ios::trunc);
    stale << "2147483646\nquillo\n" << QSysInfo::machineHostName().toStdString() << "\n";
  }
  SingleInstance third;
  EXPECT_TRUE(third.Acquire(path));
}

}  // namespace
}  // namespace vok::bar
