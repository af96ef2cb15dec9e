// Text helpers of the command-line library's list items and their dialogs: byte limits that
// never split a UTF-8 character, blank trimming.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "common/fast_list_ifaces.h"
#include "platform/com/objidl.h"

namespace vok::cmdline {

// The zero-terminated `text` cut to at most `maxBytes` bytes on a character boundary; "" for
// null. Reads no further than maxBytes + 1 bytes, so an unterminated huge input is safe.
std::string CutText(const char* text, size_t maxBytes);
// `text` cut to `maxBytes` bytes on a character boundary.
std::string CutText(std::string_view text, size_t maxBytes);

// True for the blanks of typed text: space, tab, line breaks, vertical tab and form feed.
bool IsBlank(char c);
// True when `text` is empty or holds blanks only.
bool IsBlankText(std::string_view text);
// `text` without leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);
// `text` cut to `maxBytes` bytes, then trimmed: what a dialog field yields.
std::string CutAndTrim(std::string_view text, size_t maxBytes);

// An item's text setter: stores the zero-terminated `text` cut to `maxBytes` bytes in *field.
// E_POINTER for null text, E_OUTOFMEMORY when the copy cannot be made (*field is unchanged).
HRESULT SetItemText(LPCSTR text, size_t maxBytes, std::string* field);

// A text read through a caller-buffer getter given `room` bytes; "" when the getter fails.
template <class Getter>
std::string ReadBufferText(size_t room, Getter get) {
  std::string text(room, '\0');
  ULONG size = static_cast<ULONG>(room);
  if (FAILED(get(text.data(), &size))) return {};
  text.resize(std::min<size_t>(size, room > 0 ? room - 1 : 0));
  return text;
}

// A text of `object` read through its caller-buffer getter `get` with `room` bytes; "" for a
// null object or when the getter fails.
template <class T>
std::string ReadBufferText(T* object, HRESULT (STDMETHODCALLTYPE T::*get)(LPSTR, ULONG*),
                           size_t room) {
  if (!object) return {};
  return ReadBufferText(room,
                        [&](char* buffer, ULONG* size) { return (object->*get)(buffer, size); });
}

// The key of a list item; "" for an object without IvokFastListItem.
std::string ItemKey(IUnknown* item);

}  // namespace vok::cmdline
