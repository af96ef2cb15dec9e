// Handlers of the file and folder commands of the command-line engine's table: del (delete,
// erase, remove, rm, rd, rmdir), ren (rename), copy (cp), move (mv), md (mkdir), dir (ls,
// explore), rbin, print, listfiles, contextmenu (ctxmenu) and properties.
//
// Each handler reads its arguments from the parser (borrowed), does its work through the
// platform's shell layer (vok::shell) and reports through the context's log; it returns S_OK
// whatever happened. Paths are taken as typed (never lower-cased); switches ("+rb", "/cp",
// "info" ...) are compared without regard to case. A relative path is taken against the
// context's current directory, a leading "~" is the home folder.
#pragma once

#include <string>
#include <string_view>

#include "cmdline/command_context.h"
#include "common/parser_ifaces.h"
#include "common/vok_types.h"

namespace vok::cmdline {

HRESULT RunDelete(CommandContext& context, IvokCommandParser* parser);
HRESULT RunRename(CommandContext& context, IvokCommandParser* parser);
HRESULT RunCopy(CommandContext& context, IvokCommandParser* parser);
HRESULT RunMove(CommandContext& context, IvokCommandParser* parser);
HRESULT RunMakeDir(CommandContext& context, IvokCommandParser* parser);
HRESULT RunExplore(CommandContext& context, IvokCommandParser* parser);
HRESULT RunRecycleBin(CommandContext& context, IvokCommandParser* parser);
HRESULT RunPrint(CommandContext& context, IvokCommandParser* parser);
HRESULT RunListFiles(CommandContext& context, IvokCommandParser* parser);
HRESULT RunContextMenu(CommandContext& context, IvokCommandParser* parser);
HRESULT RunProperties(CommandContext& context, IvokCommandParser* parser);

// ---- Helpers shared with the system commands ----

// `text` without blanks, tabs, carriage returns and line feeds at either end.
std::string TrimBlanks(std::string_view text);

// The full path of a typed path argument: "~" expanded, a relative one joined to the
// context's current directory.
std::string FullPathOf(CommandContext& context, const std::string& typed);

// String `id` of the command-line library's table (at most 255 bytes).
std::string LoadMessage(UINT id);

// Asks `text` with Yes and No, the question icon and the caption "Quillo", owned by the panel
// window; true for Yes.
bool AskYesNo(CommandContext& context, const std::string& text);

}  // namespace vok::cmdline
