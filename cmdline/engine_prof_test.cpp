// The property-page engine as the container creates it from libvokCmdLine.so.
#include <gtest/gtest.h>

#include "common/class_ids.h"
#include "common/container_ifaces.h"
#include "common/engine_ifaces.h"
#include "common/test_libraries.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"
#include "platform/com/runtime.h"

namespace vok::test {
namespace {

// It takes no command word and offers the favorites page, then the filters page.
TEST(EngineProfTest, OffersFavoritesThenFiltersPageAndTakesNoCommand) {
  ASSERT_TRUE(RegisterBuiltLibrary("vokEngine") && RegisterBuiltLibrary("vokCmdLine"));
  ComPtr<IvokEngineContainer> container;
  CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_INPROC_SERVER,
                   IvokEngineContainer::kIID, container.ReleaseAndGetVoidAddressOf());
  const CLSID* engines[] = {&clsid::kEngineProf, nullptr};
  ASSERT_EQ(S_OK, container->Init(engines, 1));
  EXPECT_EQ(S_FALSE, container->Command("cd /"));
  EXPECT_EQ(S_FALSE, container->Command("anything at all"));

  ComPtr<IUnknown> engine;
  ASSERT_EQ(S_OK, container->GetEngineByIface(ISpecifyPropertyPages::kIID,
                                              engine.ReleaseAndGetAddressOf()));
  LONG order = 0;
  QueryAs<IvokEngine>(engine.Get())->get_VirtualOrder(&order);
  EXPECT_EQ(7, order);
  auto pages = QueryAs<ISpecifyPropertyPages>(engine.Get());
  EXPECT_EQ(E_POINTER, pages->GetPages(nullptr));
  CAUUID list = {};
  ASSERT_EQ(S_OK, pages->GetPages(&list));
  ASSERT_EQ(2u, list.cElems);
  EXPECT_EQ(clsid::kPPFavorites, list.pElems[0]);
  EXPECT_EQ(clsid::kPPShellExec, list.pElems[1]);
  CoTaskMemFree(list.pElems);
}

}  // namespace
}  // namespace vok::test
