// File-name completion in one directory: which names are candidates, how they are ordered, and
// how a typed pattern is matched against them.
//
// Candidates are the directory's entries (files and folders) except hidden ones (names that
// begin with ".") and names whose extension matches an excluded pattern. The extension of a
// name is everything after its first dot. Candidates are ordered by the upper-cased part before
// the first dot (byte order), then by the position of their extension in the preferred list
// (names whose extension is not listed come after all listed ones), then by the name's bytes,
// so the order is total and the result never depends on the directory's listing order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vok::ctl {

// Rank of an extension that is not in the preferred list.
inline constexpr int kUnlistedExtensionRank = 65535;

// Splits an extension list such as "exe;bat" or "*.exe; .bat" at ";": each token loses its
// leading blanks and a leading "*." or ".", ends at its first blank and is upper-cased. Empty
// tokens are dropped (an empty pattern would match, and so exclude, every name).
std::vector<std::string> ParseExtensionList(std::string_view text);

// Matches an upper-cased text against an upper-cased pattern: '*' in the pattern stands for any
// run of characters, '?' for one (UTF-8) character, everything else must be equal. An empty
// pattern, "*" and "*.*" match anything. The text is literal: Linux names may contain '*' and
// '?', and such a name must not match like a wildcard.
bool MatchesPattern(std::string_view upperPattern, std::string_view upperText);

// The sort key of one candidate name.
struct CandidateKey {
  std::string base;  // upper-cased part before the first dot
  int rank = kUnlistedExtensionRank;
  std::string name;  // as spelled in the directory

  // True when this candidate goes before `other`.
  bool Before(const CandidateKey& other) const;
};

// `preferred` as returned by ParseExtensionList.
CandidateKey MakeCandidateKey(std::string_view name, const std::vector<std::string>& preferred);

struct CompletionLists {
  std::vector<std::string> excluded;   // ParseExtensionList of the excluded extensions
  std::vector<std::string> preferred;  // ParseExtensionList of the preferred extensions
};

// The first candidate of `directory`, in candidate order, whose upper-cased name matches
// `pattern` (upper-cased here, so letter case never matters); nullopt when none matches or the
// directory cannot be read. Names longer than `maxName` bytes are not offered.
std::optional<std::string> FindCompletion(const std::string& directory, std::string_view pattern,
                                          const CompletionLists& lists, size_t maxName);

// The name as handed to a command line: in double quotes when it contains a blank or a tab.
std::string QuoteIfBlank(std::string_view name);

}  // namespace vok::ctl
