#include "platform/storage/element_name.h"

#include "common/text_util.h"
#include "platform/storage/compound_file_format.h"

namespace vok::storage {
namespace {

bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// Decodes one UTF-8 sequence at text[*i], advancing *i; false on any malformed sequence.
bool DecodeUtf8(std::string_view text, size_t* i, char32_t* cp) {
  unsigned char lead = static_cast<unsigned char>(text[*i]);
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *cp = lead;
    ++*i;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (*i + length > text.size()) return false;
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[*i + k]);
    if ((c & 0xC0) != 0x80) return false;
    value = (value << 6) | (c & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || IsSurrogate(value)) return false;
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

}  // namespace

bool Utf8ToUtf16(std::string_view text, std::u16string* out) {
  out->clear();
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    if (!DecodeUtf8(text, &i, &cp)) return false;
    if (cp < 0x10000) {
      *out += static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      *out += static_cast<char16_t>(0xD800 + (cp >> 10));
      *out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
  }
  return true;
}

bool Utf16ToUtf8(std::u16string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    }
    AppendUtf8(unit, out);
  }
  return true;
}

bool ElementName::Acceptable(std::u16string_view units) {
  if (units.empty() || units.size() > cfb::kMaxNameUnits) return false;
  for (char16_t unit : units) {
    if (unit == 0 || unit == u'/' || unit == u'\\' || unit == u':' || unit == u'!') return false;
  }
  return true;
}

HRESULT ElementName::FromUtf8(const char* text, ElementName* out) {
  if (!text) return STG_E_INVALIDPOINTER;
  ElementName name;
  name.utf8_ = text;
  if (!Utf8ToUtf16(name.utf8_, &name.utf16_) || !Acceptable(name.utf16_)) {
    return STG_E_INVALIDNAME;
  }
  name.SetKey();
  *out = std::move(name);
  return S_OK;
}

bool ElementName::FromUtf16(std::u16string_view units, ElementName* out) {
  ElementName name;
  if (!Acceptable(units) || !Utf16ToUtf8(units, &name.utf8_)) return false;
  name.utf16_ = units;
  name.SetKey();
  *out = std::move(name);
  return true;
}

void ElementName::SetKey() {
  // The shared case mapping works on UTF-8 and maps code points one to one, so the upper-cased
  // name has the same number of UTF-16 units.
  if (!Utf8ToUtf16(ToUpper(utf8_), &key_)) key_ = utf16_;
}

int ElementName::Compare(const ElementName& other) const {
  if (utf16_.size() != other.utf16_.size()) return utf16_.size() < other.utf16_.size() ? -1 : 1;
  int byKey = key_.compare(other.key_);
  return byKey < 0 ? -1 : (byKey > 0 ? 1 : 0);
}

}  // namespace vok::storage
