// Test helper: registers component libraries of the build tree in the test's own registry
// (under the temporary QUILLO_HOME), so CoCreateInstance finds them by class identifier as the
// program would.
#pragma once

#include <string>

namespace vok::test {

// Loads $VOK_BUILD_DIR/lib/lib<name>.so and calls its DllRegisterServer. Fails the current
// test (and returns false) when the library or its entry point is missing.
bool RegisterBuiltLibrary(const std::string& name);

}  // namespace vok::test
