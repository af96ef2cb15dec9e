#include "platform/storage/element_name.h"

#include "common/text_util.h"
#include "platform/storage/compound_file_format.h"

namespace vok::storage {

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
