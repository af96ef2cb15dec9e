#include "platform/com/runtime.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "common/vok_object.h"
#include "platform/com/test_component.h"
#include "platform/registry/registry.h"

namespace {

std::string TestComponentPath() {
  return std::string(std::getenv("VOK_BUILD_DIR")) + "/lib/libvok_test_component.so";
}

// An in-process class, registered as a class object like the program's own components.
class Local final : public vok::ObjectRoot<ITestValue> {
 public:
  HRESULT STDMETHODCALLTYPE GetValue(LONG* value) override {
    *value = 7;
    return S_OK;
  }
};

constexpr CLSID kLocalClass = {0x5E7A1C00, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 2, 0}};

struct GuidText {
  const char* text;
  HRESULT expected;
};

class ClsidFromStringTest : public testing::TestWithParam<GuidText> {};

TEST_P(ClsidFromStringTest, ParsesBraceForm) {
  CLSID clsid = GUID_NULL;
  EXPECT_EQ(GetParam().expected, CLSIDFromString(GetParam().text, &clsid)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClsidFromStringTest,
    testing::Values(GuidText{"{3EADE793-6E4E-11D2-B4F9-AA3B0CAC6558}", S_OK},
                    GuidText{"{3eade793-6e4e-11d2-b4f9-aa3b0cac6558}", S_OK},
                    GuidText{"3EADE793-6E4E-11D2-B4F9-AA3B0CAC6558", CO_E_CLASSSTRING},
                    GuidText{"{3EADE793-6E4E-11D2-B4F9-AA3B0CAC655}", CO_E_CLASSSTRING},
                    GuidText{"{3EADE793-6E4E-11D2-B4F9-AA3B0CAC655G}", CO_E_CLASSSTRING},
                    GuidText{"{3EADE793+6E4E-11D2-B4F9-AA3B0CAC6558}", CO_E_CLASSSTRING},
                    GuidText{"", CO_E_CLASSSTRING}));

TEST(GuidTextTest, RoundTripsInUpperCase) {
  const CLSID original = {
      0x3EADE793, 0x6E4E, 0x11D2, {0xB4, 0xF9, 0xAA, 0x3B, 0x0C, 0xAC, 0x65, 0x58}};
  EXPECT_EQ("{3EADE793-6E4E-11D2-B4F9-AA3B0CAC6558}", StringFromGUID(original));
  CLSID parsed;
  ASSERT_EQ(S_OK, CLSIDFromString(StringFromGUID(original).c_str(), &parsed));
  EXPECT_EQ(original, parsed);
  char small[38];
  EXPECT_EQ(0, StringFromGUID2(original, small, sizeof small));
  char exact[39];
  EXPECT_EQ(39, StringFromGUID2(original, exact, sizeof exact));
}

TEST(ObjectRootTest, IdentityAndInterfaceRules) {
  ComPtr<ITestValue> value;
  ASSERT_EQ(S_OK, vok::CreateObject<Local>(nullptr, ITestValue::kIID,
                                           value.ReleaseAndGetVoidAddressOf()));
  ComPtr<IUnknown> a = IdentityOf(value.Get());
  ComPtr<IUnknown> b = IdentityOf(a.Get());
  EXPECT_EQ(a.Get(), b.Get()) << "the identity pointer is stable";

  void* other = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(E_NOINTERFACE, value->QueryInterface(ITestOther::kIID, &other));
  EXPECT_EQ(nullptr, other) << "a failed query leaves a null result";
  EXPECT_EQ(E_POINTER, value->QueryInterface(ITestValue::kIID, nullptr));
}

TEST(ObjectRootTest, ObjectsCountInTheLibraryCount) {
  const int32_t before = vok::ModuleCount();
  {
    ComPtr<ITestValue> value;
    ASSERT_EQ(S_OK, vok::CreateObject<Local>(nullptr, ITestValue::kIID,
                                             value.ReleaseAndGetVoidAddressOf()));
    EXPECT_EQ(before + 1, vok::ModuleCount());
  }
  EXPECT_EQ(before, vok::ModuleCount());
}

TEST(ObjectRootTest, CreationRefusesAggregationAndUnknownInterfaces) {
  const int32_t before = vok::ModuleCount();
  ComPtr<ITestValue> outer;
  ASSERT_EQ(S_OK, vok::CreateObject<Local>(nullptr, ITestValue::kIID,
                                           outer.ReleaseAndGetVoidAddressOf()));
  void* out = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, vok::CreateObject<Local>(outer.Get(), IID_IUnknown, &out));
  EXPECT_EQ(E_NOINTERFACE, vok::CreateObject<Local>(nullptr, ITestOther::kIID, &out));
  EXPECT_EQ(nullptr, out);
  outer.Reset();
  EXPECT_EQ(before, vok::ModuleCount()) << "a refused creation destroys the object again";
}

TEST(RuntimeTest, CreatesFromRegisteredClassObject) {
  ComPtr<IClassFactory> factory(new vok::ClassFactory(vok::CreateObject<Local>));
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, CoRegisterClassObject(kLocalClass, factory.Get(), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie));
  ComPtr<ITestValue> value;
  ASSERT_EQ(S_OK, CoCreateInstance(kLocalClass, nullptr, CLSCTX_INPROC_SERVER, ITestValue::kIID,
                                   value.ReleaseAndGetVoidAddressOf()));
  LONG v = 0;
  value->GetValue(&v);
  EXPECT_EQ(7, v);

  ASSERT_EQ(S_OK, CoRevokeClassObject(cookie));
  EXPECT_EQ(E_INVALIDARG, CoRevokeClassObject(cookie));
  EXPECT_EQ(REGDB_E_CLASSNOTREG,
            CoCreateInstance(kLocalClass, nullptr, CLSCTX_INPROC_SERVER, ITestValue::kIID,
                             value.ReleaseAndGetVoidAddressOf()));
  EXPECT_FALSE(value);
}

TEST(RuntimeTest, CreatesFromRegisteredLibraryAndUnloadsIt) {
  void* library = dlopen(TestComponentPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, library) << dlerror();
  auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllRegisterServer"));
  auto unregisterServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllUnregisterServer"));
  auto canUnload = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllCanUnloadNow"));
  ASSERT_TRUE(registerServer && unregisterServer && canUnload);
  ASSERT_EQ(S_OK, registerServer());

  CLSID byName;
  ASSERT_EQ(S_OK, CLSIDFromProgID("vokTestValue.vokTestValue.1", &byName));
  EXPECT_EQ(kTestValueClass, byName);
  ASSERT_EQ(S_OK, CLSIDFromProgID("vokTestValue.vokTestValue", &byName));

  ComPtr<ITestOther> other;
  ASSERT_EQ(S_OK, CoCreateInstance(kTestValueClass, nullptr, CLSCTX_INPROC_SERVER, ITestOther::kIID,
                                   other.ReleaseAndGetVoidAddressOf()));
  LONG v = 0;
  other->Twice(&v);
  EXPECT_EQ(2 * kTestValue, v);
  EXPECT_EQ(S_FALSE, canUnload()) << "a live object keeps the library loaded";

  void* aggregate = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            CoCreateInstance(kTestValueClass, other.Get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                             &aggregate));
  other.Reset();
  EXPECT_EQ(S_OK, canUnload());
  CoFreeUnusedLibraries();

  ASSERT_EQ(S_OK, unregisterServer());
  EXPECT_FALSE(vok::reg::KeyExists(vok::reg::Hive::kClassesRoot,
                                   "CLSID\\" + StringFromGUID(kTestValueClass)));
  EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID("vokTestValue.vokTestValue.1", &byName));
  EXPECT_EQ(REGDB_E_CLASSNOTREG,
            CoCreateInstance(kTestValueClass, nullptr, CLSCTX_INPROC_SERVER, ITestOther::kIID,
                             other.ReleaseAndGetVoidAddressOf()));
  dlclose(library);
}

TEST(RuntimeTest, MissingLibraryIsReportedNotFatal) {
  constexpr CLSID kGhost = {0x5E7A1C00, 0x0003, 0x4000, {0x80, 0, 0, 0, 0, 0, 3, 0}};
  const std::string key = "CLSID\\" + StringFromGUID(kGhost) + "\\InprocServer32";
  ASSERT_EQ(S_OK,
            vok::reg::SetString(vok::reg::Hive::kClassesRoot, key, "", "/nonexistent/lib.so"));
  void* out = nullptr;
  EXPECT_EQ(CO_E_DLLNOTFOUND,
            CoCreateInstance(kGhost, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out));
  EXPECT_EQ(nullptr, out);
  vok::reg::DeleteTree(vok::reg::Hive::kClassesRoot, "CLSID\\" + StringFromGUID(kGhost));
}

class RecordingFrame : public IvokPropertyFrameService {
 public:
  HRESULT ShowFrame(HWND, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount, IUnknown**,
                    ULONG pageCount, const CLSID*, LCID locale) override {
    calls++;
    lastCaption = caption;
    lastObjects = objectCount;
    lastPages = pageCount;
    lastLocale = locale;
    lastX = x;
    lastY = y;
    return S_OK;
  }
  int calls = 0;
  std::string lastCaption;
  ULONG lastObjects = 0, lastPages = 0;
  LCID lastLocale = 0;
  UINT lastX = 0, lastY = 0;
};

TEST(RuntimeTest, PropertyFrameGoesToTheInstalledService) {
  EXPECT_EQ(E_NOTIMPL, OleCreatePropertyFrame(nullptr, 0, 0, "x", 0, nullptr, 0, nullptr,
                                              LOCALE_USER_DEFAULT, 0, nullptr));
  RecordingFrame frame;
  VokSetPropertyFrameService(&frame);
  CLSID pages[2] = {kLocalClass, kTestValueClass};
  EXPECT_EQ(S_OK, OleCreatePropertyFrame(nullptr, 3, 4, "Options", 0, nullptr, 2, pages,
                                         LOCALE_USER_DEFAULT, 0, nullptr));
  EXPECT_EQ(VokSetPropertyFrameService(nullptr), &frame);
  EXPECT_EQ(1, frame.calls);
  EXPECT_EQ("Options", frame.lastCaption);
  EXPECT_EQ(2u, frame.lastPages);
  EXPECT_EQ(0x400u, frame.lastLocale);
  EXPECT_EQ(3u, frame.lastX);
  EXPECT_EQ(4u, frame.lastY);
}

}  // namespace
