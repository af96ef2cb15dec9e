#include "cmdline/item_text.h"

#include <algorithm>
#include <cstring>

#include "common/stream_util.h"
#include "common/text_util.h"
#include "platform/com/com_ptr.h"

namespace vok::cmdline {

std::string CutText(const char* text, size_t maxBytes) {
  if (!text) return {};
  // One byte past the limit is looked at to tell whether the cut splits a character.
  std::string_view view(text, strnlen(text, maxBytes + 1));
  return std::string(view.substr(0, Utf8PrefixLength(view, maxBytes)));
}

std::string CutText(std::string_view text, size_t maxBytes) {
  return std::string(text.substr(0, Utf8PrefixLength(text, maxBytes)));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsBlankText(std::string_view text) { return std::all_of(text.begin(), text.end(), IsBlank); }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string CutAndTrim(std::string_view text, size_t maxBytes) {
  return std::string(TrimBlanks(CutText(text, maxBytes)));
}

HRESULT SetItemText(LPCSTR text, size_t maxBytes, std::string* field) {
  if (!text) return E_POINTER;
  return GuardStream([&] {
    *field = CutText(text, maxBytes);
    return S_OK;
  });
}

std::string ItemKey(IUnknown* item) {
  ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item);
  return ReadBufferText(keyed.Get(), &IvokFastListItem::GetStrKey, kFastListKeySize);
}

}  // namespace vok::cmdline
