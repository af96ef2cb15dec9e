#include "common/text_util.h"

#include <cstring>

namespace vok {
namespace {

// Length of the UTF-8 sequence starting with `lead`, or 0 when it is not a lead byte.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

char32_t UpperOf(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs capital/small by parity, with a shifted run in 0x139..0x148
    // and 0x179..0x17E.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c & 1) ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 32;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

char32_t LowerOf(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F) {
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c & 1) ? c : c + 1;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

template <class Map>
std::string MapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    if (DecodeUtf8(text, &i, &cp))
      AppendUtf8(map(cp), &out);
    else
      out += text[i++];  // not UTF-8: the byte passes unchanged
  }
  return out;
}

// Matches with '*' and '?' in either string, character by character (UTF-8 aware).
bool MatchFrom(const std::u32string& p, size_t pi, const std::u32string& n, size_t ni) {
  while (pi < p.size() && ni < n.size()) {
    if (p[pi] == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = ni; k <= n.size(); ++k)
        if (MatchFrom(p, pi, n, k)) return true;
      return false;
    }
    if (n[ni] == U'*') {
      while (ni < n.size() && n[ni] == U'*') ++ni;
      if (ni == n.size()) return true;
      for (size_t k = pi; k <= p.size(); ++k)
        if (MatchFrom(p, k, n, ni)) return true;
      return false;
    }
    if (p[pi] != U'?' && n[ni] != U'?' && p[pi] != n[ni]) return false;
    ++pi;
    ++ni;
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  while (ni < n.size() && n[ni] == U'*') ++ni;
  return pi == p.size() && ni == n.size();
}

std::u32string FoldedCodePoints(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    if (!DecodeUtf8(text, &i, &cp)) cp = static_cast<unsigned char>(text[i++]);
    out += LowerOf(cp);
  }
  return out;
}

}  // namespace

bool DecodeUtf8(std::string_view text, size_t* i, char32_t* cp) {
  unsigned char lead = static_cast<unsigned char>(text[*i]);
  size_t length = SequenceLength(lead);
  if (length == 1) {
    *cp = lead;
    ++*i;
    return true;
  }
  static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (length == 0 || *i + length > text.size()) return false;
  char32_t value = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[*i + k]);
    if ((c & 0xC0) != 0x80) return false;
    value = (value << 6) | (c & 0x3F);
  }
  if (value < kMinimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return false;
  *cp = value;
  *i += length;
  return true;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t Utf8PrefixLength(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t end = maxBytes;
  // Step back over continuation bytes to the lead byte of the cut sequence.
  size_t lead = end;
  while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80 && end - lead < 4)
    --lead;
  if (lead == end) return end;  // text[end] starts a character: the cut is clean
  size_t n = SequenceLength(static_cast<unsigned char>(text[lead]));
  return (n != 0 && lead + n <= end) ? end : lead;
}

HRESULT CopyToBuffer(std::string_view text, char* buffer, ULONG* size) {
  if (!size) return E_POINTER;
  if (*size == 0) return S_OK;
  if (!buffer) return E_POINTER;
  size_t n = Utf8PrefixLength(text, *size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  *size = static_cast<ULONG>(n);
  return S_OK;
}

void CopyToFixedBuffer(std::string_view text, char* buffer, size_t room) {
  if (!buffer || room == 0) return;
  size_t n = Utf8PrefixLength(text, room - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::string ToUpper(std::string_view text) { return MapCase(text, UpperOf); }
std::string ToLower(std::string_view text) { return MapCase(text, LowerOf); }

bool EqualsNoCase(std::string_view a, std::string_view b) { return ToLower(a) == ToLower(b); }

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  auto matchesAll = [](std::string_view s) { return s == "*" || s == "*.*"; };
  if (pattern.empty() || matchesAll(pattern) || matchesAll(name)) return true;
  return MatchFrom(FoldedCodePoints(pattern), 0, FoldedCodePoints(name), 0);
}

std::string Substitute(std::string_view text, std::string_view placeholder,
                       std::string_view value) {
  std::string out(text);
  size_t at = out.find(placeholder);
  if (at != std::string::npos) out.replace(at, placeholder.size(), value);
  return out;
}

}  // namespace vok
