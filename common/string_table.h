// Per-library string tables and resources. A library's module handle (HMODULE) points at its
// ModuleResources; texts are loaded by identifier into a caller's buffer with a byte limit.
#pragma once

#include <string>

#include "common/vok_types.h"

namespace vok {

struct StringResource {
  UINT id;
  const char* text;
};

struct ModuleResources {
  const char* name;               // the library's name; its images live under ":/<name>/"
  const StringResource* strings;  // sorted by id
  size_t stringCount;
};

// Copies string `id` into buffer (room bytes, zero included; never splits a UTF-8 character).
// Returns the bytes copied, or 0 with an empty buffer when the id is unknown.
int LoadStringResource(const ModuleResources* module, UINT id, char* buffer, int room);
// The whole text of string `id`, or "" when unknown.
std::string LoadStringResource(const ModuleResources* module, UINT id);

inline HMODULE ModuleHandle(const ModuleResources& module) {
  return const_cast<ModuleResources*>(&module);
}
inline const ModuleResources* ResourcesOf(HMODULE module) {
  return static_cast<const ModuleResources*>(module);
}

}  // namespace vok
