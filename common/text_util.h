// Text helpers shared by every library: the caller-buffer convention, UTF-8 aware case
// mapping and comparison, and the wildcard comparison used for command matching.
#pragma once

#include <string>
#include <string_view>

#include "common/vok_types.h"

namespace vok {

// Copies `text` into a caller's buffer: *size is the room (zero included) on entry and the
// bytes copied (zero excluded) on return. A size of 0 copies and writes nothing. A cut never
// splits a UTF-8 sequence. Returns S_OK also when the text was cut; E_POINTER for null args.
HRESULT CopyToBuffer(std::string_view text, char* buffer, ULONG* size);
// The same for buffers of a fixed room without a size argument (room includes the zero).
void CopyToFixedBuffer(std::string_view text, char* buffer, size_t room);
// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary.
size_t Utf8PrefixLength(std::string_view text, size_t maxBytes);

// Decodes the UTF-8 sequence at text[*i] and advances *i past it; false (with *i unchanged) on
// a malformed, overlong or surrogate sequence.
bool DecodeUtf8(std::string_view text, size_t* i, char32_t* cp);
void AppendUtf8(char32_t cp, std::string* out);

// Case mapping over UTF-8 text (ASCII, Latin-1 supplement, Latin Extended-A, Greek and
// Cyrillic letters); bytes that are not valid UTF-8 pass unchanged.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
// `text` with its first `placeholder` ("%s", "%li") replaced by `value` (no printf: the value
// may hold any character).
std::string Substitute(std::string_view text, std::string_view placeholder, std::string_view value);
// True when both texts are equal without regard to letter case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The system's wildcard comparison: '*' stands for any run and '?' for one character, in
// either string. An empty pattern, or a pattern or name equal to "*" or "*.*", matches
// anything. Letter case is ignored.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace vok
