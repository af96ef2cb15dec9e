#include "tools/comctl_ver.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace {

struct VersionCase {
  ULONG major;
  ULONG minor;
  HRESULT atLeast470;
  HRESULT atLeast471;
  HRESULT atLeast472;
};

class ComCtlVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(ComCtlVersionTest, ComparesAgainstTheNamedVersion) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(vok::IsAtLeastComCtlVersion(c.major, c.minor, 0), c.atLeast470);
  EXPECT_EQ(vok::IsAtLeastComCtlVersion(c.major, c.minor, 1), c.atLeast471);
  EXPECT_EQ(vok::IsAtLeastComCtlVersion(c.major, c.minor, 2), c.atLeast472);
  for (USHORT unknown : {3, 100, 0xFFFF})
    EXPECT_EQ(vok::IsAtLeastComCtlVersion(c.major, c.minor, unknown), S_FALSE);
}

INSTANTIATE_TEST_SUITE_P(Versions, ComCtlVersionTest,
                         testing::Values(VersionCase{4, 0, S_FALSE, S_FALSE, S_FALSE},
                                         VersionCase{4, 69, S_FALSE, S_FALSE, S_FALSE},
                                         VersionCase{4, 70, S_OK, S_FALSE, S_FALSE},
                                         VersionCase{4, 71, S_OK, S_OK, S_FALSE},
                                         VersionCase{4, 72, S_OK, S_OK, S_OK},
                                         VersionCase{3, 99, S_FALSE, S_FALSE, S_FALSE},
                                         VersionCase{5, 0, S_OK, S_OK, S_OK},
                                         VersionCase{5, 80, S_OK, S_OK, S_OK},
                                         VersionCase{6, 0, S_OK, S_OK, S_OK}),
                         [](const testing::TestParamInfo<VersionCase>& info) {
                           return "V" + std::to_string(info.param.major) + "_" +
                                  std::to_string(info.param.minor);
                         });

TEST(ParseVersionTest, ReadsMajorAndMinor) {
  struct Case {
    const char* text;
    bool ok;
    ULONG major;
    ULONG minor;
  };
  for (const Case& c :
       {Case{"6.4.2", true, 6, 4}, Case{"10.15", true, 10, 15}, Case{"6.4-beta", true, 6, 4},
        Case{"6", false, 0, 0}, Case{"6.", false, 0, 0}, Case{".4", false, 0, 0},
        Case{"", false, 0, 0}, Case{"x.1", false, 0, 0}, Case{"99999999999.1", false, 0, 0}}) {
    SCOPED_TRACE(c.text);
    ULONG major = 0;
    ULONG minor = 0;
    EXPECT_EQ(vok::ParseVersion(c.text, &major, &minor), c.ok);
    EXPECT_EQ(major, c.major);
    EXPECT_EQ(minor, c.minor);
  }
  ULONG major = 0, minor = 0;
  EXPECT_FALSE(vok::ParseVersion(nullptr, &major, &minor));
}

TEST(ComCtlVerTest, ReportsFourZeroUntilInitThenTheRunningQt) {
  const int32_t start = vok::ModuleCount().load();
  {
    ComPtr<IvokComCtlVer> version;
    ASSERT_EQ(vok::CreateObject<vokComCtlVer>(nullptr, IvokComCtlVer::kIID,
                                              version.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ULONG major = 0, minor = 0;
    EXPECT_EQ(version->GetMajorVersion(&major), S_OK);
    EXPECT_EQ(version->GetMinorVersion(&minor), S_OK);
    EXPECT_EQ(major, 4u);
    EXPECT_EQ(minor, 0u);
    EXPECT_EQ(version->IsVersion(0), S_FALSE);

    ASSERT_EQ(version->Init(), S_OK);
    ULONG qtMajor = 0, qtMinor = 0;
    ASSERT_TRUE(vok::ParseVersion(qVersion(), &qtMajor, &qtMinor));
    version->GetMajorVersion(&major);
    version->GetMinorVersion(&minor);
    EXPECT_EQ(major, qtMajor);
    EXPECT_EQ(minor, qtMinor);
    EXPECT_GE(major, 6u);
    for (USHORT id : {0, 1, 2}) EXPECT_EQ(version->IsVersion(id), S_OK);
    EXPECT_EQ(version->IsVersion(3), S_FALSE);
    EXPECT_EQ(version->GetMajorVersion(nullptr), E_POINTER);
  }
  EXPECT_EQ(vok::ModuleCount().load(), start);
}

}  // namespace
