#include "common/string_table.h"

#include <algorithm>

#include "common/text_util.h"

namespace vok {
namespace {

const char* Find(const ModuleResources* module, UINT id) {
  if (!module) return nullptr;
  const StringResource* end = module->strings + module->stringCount;
  const StringResource* it = std::lower_bound(
      module->strings, end, id, [](const StringResource& r, UINT key) { return r.id < key; });
  return (it != end && it->id == id) ? it->text : nullptr;
}

}  // namespace

int LoadStringResource(const ModuleResources* module, UINT id, char* buffer, int room) {
  if (!buffer || room <= 0) return 0;
  const char* text = Find(module, id);
  CopyToFixedBuffer(text ? text : "", buffer, static_cast<size_t>(room));
  return static_cast<int>(std::strlen(buffer));
}

std::string LoadStringResource(const ModuleResources* module, UINT id) {
  const char* text = Find(module, id);
  return text ? text : "";
}

}  // namespace vok
