// The per-user registry: a small persistent tree of keys with named string values.
// Each hive is one text file under RegistryDir(), rewritten atomically on every change
// (temporary file, fsync, rename), so a crash never leaves a half-written hive.
// Key paths use "\" between key names, as in "CLSID\{...}\InprocServer32"; key names compare
// without regard to ASCII case. The value name "" is the key's default value.
#pragma once

#include <string>
#include <vector>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

namespace vok::reg {

enum class Hive { kClassesRoot, kCurrentUser };

// "$QUILLO_HOME/registry" when QUILLO_HOME is set, else "$XDG_CONFIG_HOME/quillo/registry",
// else "~/.config/quillo/registry".
VOK_PLATFORM_API std::string RegistryDir();

// Creates missing keys along the path. S_OK, or REGDB_E_WRITEREGDB when the hive cannot be saved.
VOK_PLATFORM_API HRESULT SetString(Hive hive, const std::string& key, const std::string& name,
                                   const std::string& value);
VOK_PLATFORM_API HRESULT CreateKey(Hive hive, const std::string& key);
// S_OK and the value; S_FALSE when the key or value is absent; REGDB_E_READREGDB on a bad hive.
VOK_PLATFORM_API HRESULT GetString(Hive hive, const std::string& key, const std::string& name,
                                   std::string* value);
VOK_PLATFORM_API bool KeyExists(Hive hive, const std::string& key);
// Removes the key with everything below it. S_OK, or S_FALSE when it did not exist.
VOK_PLATFORM_API HRESULT DeleteTree(Hive hive, const std::string& key);
VOK_PLATFORM_API HRESULT DeleteValue(Hive hive, const std::string& key, const std::string& name);
// Names of the direct subkeys and of the values of a key, in stored order.
VOK_PLATFORM_API std::vector<std::string> SubKeys(Hive hive, const std::string& key);
VOK_PLATFORM_API std::vector<std::string> ValueNames(Hive hive, const std::string& key);

}  // namespace vok::reg
