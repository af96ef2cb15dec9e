#include "cmdline/alias_expansion.h"

#include <algorithm>

#include "common/text_util.h"

namespace vok::cmdline {
namespace {

// Appends to a text of bounded size; once a piece had to be cut, everything later is dropped
// (a later, shorter piece must not appear after a gap).
class BoundedText {
 public:
  explicit BoundedText(size_t maxBytes) : maxBytes_(maxBytes) {}

  void Append(std::string_view piece) {
    if (full_) return;
    size_t room = maxBytes_ - text_.size();
    if (piece.size() > room) {
      piece = piece.substr(0, Utf8PrefixLength(piece, room));
      full_ = true;
    }
    text_.append(piece);
  }
  bool full() const { return full_; }
  std::string Take() { return std::move(text_); }

 private:
  const size_t maxBytes_;
  std::string text_;
  bool full_ = false;
};

bool IsPlaceholderDigit(char c) { return c >= '1' && c <= '9'; }

bool IsBlankLineByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string ExpandAlias(std::string_view definition, const std::vector<std::string>& arguments) {
  BoundedText out(kAliasOutputSize - 1);
  size_t pieceStart = 0;
  while (!out.full()) {
    size_t separator = definition.find('%', pieceStart);
    if (separator == std::string_view::npos) {
      out.Append(definition.substr(pieceStart));
      break;
    }
    out.Append(definition.substr(pieceStart, separator - pieceStart));
    size_t next = definition.find_first_not_of('%', separator);
    if (next == std::string_view::npos) break;  // the definition ends with separators
    pieceStart = next;
    if (IsPlaceholderDigit(definition[next])) {
      size_t index = static_cast<size_t>(definition[next] - '1');
      if (index < arguments.size()) out.Append(arguments[index]);
      // The blank that replaced the digit begins the next piece.
      out.Append(" ");
      pieceStart = next + 1;
    }
  }
  return out.Take();
}

std::vector<std::string_view> AliasCommandLines(std::string_view expanded, bool firstLineOnly) {
  std::vector<std::string_view> lines;
  size_t begin = 0;
  while (begin <= expanded.size()) {
    size_t end = expanded.find('\n', begin);
    if (end == std::string_view::npos) end = expanded.size();
    std::string_view line = expanded.substr(begin, end - begin);
    bool blank = true;
    for (char c : line) blank = blank && IsBlankLineByte(c);
    if (!blank) {
      line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
      if (line.front() != '#') lines.push_back(line);
    }
    if (firstLineOnly || end == expanded.size()) break;
    begin = end + 1;
  }
  return lines;
}

std::string RequoteArgument(std::string_view token) {
  if (token.find_first_of(" \t") == std::string_view::npos) return std::string(token);
  std::string quoted;
  quoted.reserve(token.size() + 2);
  quoted.push_back('"');
  quoted.append(token);
  quoted.push_back('"');
  return quoted;
}

}  // namespace vok::cmdline
