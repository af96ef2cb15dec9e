// "Open with": a small dialog listing the applications that declare the file's type, plus a
// box for any other program; run through the prompter (Exec).
#pragma once

#include <string>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

namespace vok::shell {

// Object names of the dialog's list of applications (QListWidget, the entry's id in
// Qt::UserRole) and of the box for another program (QLineEdit).
inline constexpr char kApplicationList[] = "applications";
inline constexpr char kOtherProgramBox[] = "otherProgram";

enum class DialogOutcome { kCancelled, kDone, kFailed };

// Lets the user choose an application for `path` and starts it with the file. A program typed
// in the box (a name in PATH or a path) wins over the list and gets the file as its only
// argument. kFailed when the choice could not be started.
VOK_PLATFORM_API DialogOutcome OpenWithChosenApplication(HWND owner, const std::string& path);

}  // namespace vok::shell
