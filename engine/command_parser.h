// vokCommandParser: splits one command line into tokens. Token 0 is the command word, the
// others are its arguments; engines read them through the parser's IvokEnumArgs.
//
// Tokenising rules: tab, line feed, carriage return and blank separate tokens; a double quote
// starts a quoted token that runs to the next quote or the end of the line (an empty quoted
// string yields no token) and also ends the word before it; a backslash or colon switches to
// path mode, where a blank belongs to the token when a later backslash or point shows that the
// path goes on. Case is never changed; there are no escape characters.
//
// Long tokens: a token is kept whole whatever its length, so no part of a long argument (a
// deep path, a long quoted text) is ever lost.
//
// Clones: an enumerator made by Clone shares ownership of the token array it walks, so it stays
// valid after the parser's next Parse or Clear (it then still yields the old tokens) and after
// the parser is released.
#pragma once

#include <string>
#include <vector>

#include "common/parser_ifaces.h"
#include "common/vok_types.h"

namespace vok {

// The tokens of one parsed line, shared (read-only) by the parser and its clones.
using TokenArray = std::vector<std::string>;

// Splits `line` into tokens (the algorithm behind Parse).
TokenArray TokenizeCommandLine(const std::string& line);

// Creates a parser (for the library's class table: vokCommandParser.vokCommandParser.1). The
// object answers IvokCommandParser and IvokEnumArgs; it starts empty, and its Next gives E_FAIL
// until the first successful Parse and again after Clear.
HRESULT CreateCommandParser(IUnknown* outer, REFIID riid, void** ppv);

}  // namespace vok
