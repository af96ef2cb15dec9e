#include "ctl/completion.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

#include "common/text_util.h"

namespace vok::ctl {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Bytes of the UTF-8 character that starts at text[i]; 1 for a stray byte.
size_t CharLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return std::min(n, text.size() - i);
}

// Upper-cases `name` into `out`, reusing its storage; plain ASCII names (the common case in
// large folders) take the quick path.
void UpperInto(std::string_view name, std::string* out) {
  if (!std::all_of(name.begin(), name.end(), IsAscii)) {
    *out = ToUpper(name);
    return;
  }
  out->assign(name);
  for (char& c : *out) c = AsciiUpper(c);
}

// The upper-cased extension (after the first dot; empty without a dot).
std::string_view ExtensionOf(std::string_view upperName) {
  size_t dot = upperName.find('.');
  return dot == std::string_view::npos ? std::string_view() : upperName.substr(dot + 1);
}

bool IsExcluded(std::string_view upperName, const std::vector<std::string>& excluded) {
  std::string_view extension = ExtensionOf(upperName);
  return std::any_of(excluded.begin(), excluded.end(), [&](const std::string& pattern) {
    return MatchesPattern(pattern, extension);
  });
}

// True when `name` surely fails a pattern that starts with the literal `prefix` (upper-cased):
// decided on the leading ASCII bytes only, so the name need not be upper-cased first. Most
// names of a large folder are turned away here.
bool FailsLiteralPrefix(std::string_view prefix, std::string_view name) {
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!IsAscii(prefix[i])) return false;
    if (i >= name.size()) return true;
    if (!IsAscii(name[i])) return false;  // upper-casing may change it: let the full test decide
    if (AsciiUpper(name[i]) != prefix[i]) return true;
  }
  return false;
}

// A candidate's sort key over borrowed text.
struct KeyView {
  std::string_view base;
  int rank;
  std::string_view name;
};

bool Precedes(const KeyView& a, const KeyView& b) {
  if (int order = a.base.compare(b.base); order != 0) return order < 0;
  if (a.rank != b.rank) return a.rank < b.rank;
  return a.name < b.name;
}

KeyView ViewOf(const CandidateKey& key) { return {key.base, key.rank, key.name}; }

KeyView ViewOfName(std::string_view name, std::string_view upper,
                   const std::vector<std::string>& preferred) {
  KeyView view{upper.substr(0, upper.find('.')), kUnlistedExtensionRank, name};
  auto listed = std::find(preferred.begin(), preferred.end(), ExtensionOf(upper));
  if (listed != preferred.end()) view.rank = static_cast<int>(listed - preferred.begin());
  return view;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::vector<std::string> ParseExtensionList(std::string_view text) {
  std::vector<std::string> tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view token = text.substr(pos, end - pos);
    pos = end + 1;
    while (!token.empty() && IsBlank(token.front())) token.remove_prefix(1);
    if (token.starts_with("*."))
      token.remove_prefix(2);
    else if (token.starts_with("."))
      token.remove_prefix(1);
    size_t blank = token.find_first_of(" \t");
    if (blank != std::string_view::npos) token = token.substr(0, blank);
    if (!token.empty()) tokens.push_back(ToUpper(token));
  }
  return tokens;
}

bool MatchesPattern(std::string_view p, std::string_view t) {
  if (p.empty() || p == "*" || p == "*.*") return true;
  constexpr size_t kNoStar = std::string_view::npos;
  size_t pi = 0, ti = 0;
  size_t starP = kNoStar, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && p[pi] == '?') {
      ++pi;
      ti += CharLength(t, ti);
    } else if (pi < p.size() && p[pi] == t[ti]) {
      ++pi;
      ++ti;
    } else if (starP != kNoStar) {
      // Let the last star swallow one more character and try again from there.
      pi = starP + 1;
      starT += CharLength(t, starT);
      ti = starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool CandidateKey::Before(const CandidateKey& other) const {
  return Precedes(ViewOf(*this), ViewOf(other));
}

CandidateKey MakeCandidateKey(std::string_view name, const std::vector<std::string>& preferred) {
  std::string upper;
  UpperInto(name, &upper);
  KeyView view = ViewOfName(name, upper, preferred);
  return CandidateKey{std::string(view.base), view.rank, std::string(name)};
}

std::optional<std::string> FindCompletion(const std::string& directory, std::string_view pattern,
                                          const CompletionLists& lists, size_t maxName) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
  if (!dir) return std::nullopt;
  const std::string upperPattern = ToUpper(pattern);
  // The pattern's literal start, before its first wildcard ("" for "*", "*.*" and "").
  const std::string_view prefix =
      std::string_view(upperPattern).substr(0, upperPattern.find_first_of("*?"));
  // Only the best candidate so far is kept (its storage reused): the same answer as sorting
  // every candidate and taking the first match, in one pass without the sort.
  CandidateKey best;
  bool found = false;
  std::string upper;
  while (const dirent* entry = readdir(dir.get())) {
    std::string_view name = entry->d_name;
    if (name.empty() || name.front() == '.' || name.size() > maxName) continue;
    if (FailsLiteralPrefix(prefix, name)) continue;
    UpperInto(name, &upper);
    if (!MatchesPattern(upperPattern, upper) || IsExcluded(upper, lists.excluded)) continue;
    KeyView candidate = ViewOfName(name, upper, lists.preferred);
    if (found && !Precedes(candidate, ViewOf(best))) continue;
    best.base.assign(candidate.base);
    best.rank = candidate.rank;
    best.name.assign(candidate.name);
    found = true;
  }
  if (!found) return std::nullopt;
  return std::move(best.name);
}

std::string QuoteIfBlank(std::string_view name) {
  if (name.find_first_of(" \t") == std::string_view::npos) return std::string(name);
  std::string quoted = "\"";
  quoted += name;
  quoted += '"';
  return quoted;
}

}  // namespace vok::ctl
