// The control library as a component server: registration under both names and creation by
// class identifier.
#include <gtest/gtest.h>

#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/test_libraries.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"

namespace vok::test {
namespace {

TEST(CtlLibraryTest, RegistersBothNamesAndCreatesTheNavigatorByClassId) {
  ASSERT_TRUE(RegisterBuiltLibrary("vokCtl"));
  for (const char* name : {"VokCtl.vokChDir.1", "VokCtl.vokChDir"}) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(name, &clsid)) << name;
    EXPECT_EQ(clsid::kChDir, clsid) << name;
  }
  ComPtr<IvokChDir> nav;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid::kChDir, nullptr, CLSCTX_ALL, IvokChDir::kIID,
                                   nav.ReleaseAndGetVoidAddressOf()));
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(nav.Get());
  ASSERT_TRUE(persist);
  CLSID clsid = {};
  ASSERT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_EQ(clsid::kChDir, clsid);
}

TEST(CtlLibraryTest, RegistersBothNamesAndCreatesTheBandLayoutByClassId) {
  ASSERT_TRUE(RegisterBuiltLibrary("vokCtl"));
  for (const char* name : {"vokRebar.vokRebar.1", "vokRebar.vokRebar"}) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(name, &clsid)) << name;
    EXPECT_EQ(clsid::kRebar, clsid) << name;
  }
  ComPtr<IvokRebar> rebar;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid::kRebar, nullptr, CLSCTX_ALL, IvokRebar::kIID,
                                   rebar.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(S_OK, rebar->AddRow());
  EXPECT_EQ(S_OK, rebar->AddCtl(0, 201));
}

}  // namespace
}  // namespace vok::test
