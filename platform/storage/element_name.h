// Names of storage elements: UTF-8 at the interface, UTF-16 in the file, and the order in
// which siblings are kept (shorter UTF-16 length first, then code units after upper-casing).
// Names compare equal without regard to letter case, so "Data" and "DATA" name one element.
#pragma once

#include <string>
#include <string_view>

#include "common/vok_types.h"

namespace vok::storage {

// Strict conversions: invalid UTF-8 (overlong forms, encoded surrogates) and unpaired
// surrogates fail instead of being replaced.
bool Utf8ToUtf16(std::string_view text, std::u16string* out);
bool Utf16ToUtf8(std::u16string_view text, std::string* out);

class ElementName {
 public:
  ElementName() = default;

  // Checks a caller's name: null gives STG_E_INVALIDPOINTER; empty, invalid UTF-8, 32 or more
  // UTF-16 units or one of / \ : ! gives STG_E_INVALIDNAME.
  static HRESULT FromUtf8(const char* text, ElementName* out);
  // The same checks for a name read from a file; false when the name is not acceptable.
  static bool FromUtf16(std::u16string_view units, ElementName* out);

  const std::string& Utf8() const { return utf8_; }
  const std::u16string& Utf16() const { return utf16_; }

  // <0, 0 or >0 in sibling order; 0 means the names name the same element.
  int Compare(const ElementName& other) const;
  bool operator<(const ElementName& other) const { return Compare(other) < 0; }
  bool SameAs(const ElementName& other) const { return Compare(other) == 0; }

 private:
  static bool Acceptable(std::u16string_view units);
  void SetKey();

  std::string utf8_;
  std::u16string utf16_;
  std::u16string key_;  // upper-cased UTF-16, compared after the length
};

}  // namespace vok::storage
