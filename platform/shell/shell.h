// Opening things the way the desktop does.
//
// Open(target, verb, workDir):
// - a relative target is taken against `workDir` (empty: the process's current directory), a
//   leading "~" is the home folder;
// - an existing executable file is started with no arguments (never through a shell); a bare
//   name that names nothing in `workDir` but a program in PATH is started the same way;
// - any other existing file or folder, and a URL ("scheme:..."), is handed to the desktop's
//   default application with `xdg-open`;
// - kExplore opens the file manager on the folder (on the folder holding a file);
// - kPrint sends an existing file to the default printer with `lp -- file`.
// The result is true only when the program that does the work was started (for printing:
// when `lp` accepted the job); a missing tool, a missing target or a failed start give false.
#pragma once

#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::shell {

enum class Verb { kOpen, kExplore, kPrint };

VOK_PLATFORM_API bool Open(const std::string& target, Verb verb, const std::string& workDir = {});

// Starts `program` (resolved as Open does) with `arguments` in `workDir`. A target that is not
// an executable is opened as Open(program, Verb::kOpen) would, without the arguments (the
// desktop's default application takes none).
VOK_PLATFORM_API bool OpenWithArguments(const std::string& program,
                                        const std::vector<std::string>& arguments,
                                        const std::string& workDir = {});

// True for "scheme:rest" with a scheme of at least two letters ("https://...", "mailto:...",
// "trash:///"); "d:" or "c:x" name no URL.
VOK_PLATFORM_API bool IsUrl(const std::string& text);

}  // namespace vok::shell
