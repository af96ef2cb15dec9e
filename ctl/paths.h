// Path helpers of the directory navigator: the home-folder shorthand, the process's current
// directory and completion of a typed path to a full one. Paths use "/" and are never
// lower-cased; nothing here changes the process's current directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vok::ctl {

// A leading "~" alone or followed by "/" stands for $HOME; any other text (and every text while
// HOME is unset or empty) comes back unchanged. "~user" is not expanded.
std::string ExpandHome(std::string_view path);

// The process's current directory, or nullopt when it cannot be read whole into a path buffer
// (kPathBufferSize bytes with the zero) or no longer exists.
std::optional<std::string> ProcessCurrentDir();

// `path` resolved to an existing directory (symbolic links and "." / ".." resolved), or
// nullopt when it names no directory.
std::optional<std::string> ResolveDirectory(const std::string& path);

// Completes a typed path against `base` (an absolute directory):
// - empty: `base`;
// - when the folder part (up to the last "/") is an existing directory: that folder resolved,
//   a "/", then the last part as typed ("sub/file" -> "/base/sub/file");
// - else when the whole path is an existing directory: that directory resolved;
// - else the path made absolute as typed: `base` + "/" + path, or the path itself when it
//   starts with "/".
// A leading "~" is expanded first.
std::string CompletePath(std::string_view base, std::string_view path);

}  // namespace vok::ctl
