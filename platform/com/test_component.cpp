#include "platform/com/test_component.h"

#include "common/vok_object.h"

namespace {

class TestValue final : public vok::ObjectRoot<ITestValue, ITestOther> {
 public:
  HRESULT STDMETHODCALLTYPE GetValue(LONG* value) override {
    *value = kTestValue;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Twice(LONG* value) override {
    *value = 2 * kTestValue;
    return S_OK;
  }
};

const vok::ClassEntry kClasses[] = {
    {&kTestValueClass, vok::CreateObject<TestValue>, "vokTestValue.vokTestValue.1", "vokTestValue"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kClasses)
