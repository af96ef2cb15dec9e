// Argument rules of the command-line engine's directory commands (cd, back, forward, up,
// browse), kept apart from the engine so that they are tested on their own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/vok_types.h"

namespace vok::cmdline {

// The step count of back, forward and up: no argument gives 1, "m" (any case) gives 0 (show
// the history menu), anything else its leading decimal value, where every value below 1 (also
// text without digits) becomes -1, which the navigator refuses.
LONG StepCountFromArgument(const std::optional<std::string>& argument);

// A file-dialog filter written as "Name (*.a;*.b)" in the form the Qt dialog reads:
// "Name (*.a *.b)", with "*.*" (which would miss names without a point) written as "*".
std::string QtNameFilter(std::string_view filter);

}  // namespace vok::cmdline
