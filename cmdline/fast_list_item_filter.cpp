#include "cmdline/fast_list_item_filter.h"

#include <cstring>

HRESULT vokFastListItemFilter::SetText(LPCSTR text, std::string* field) {
  if (!text) return E_POINTER;
  // Looks no further than one byte past the limit, so an unterminated huge input is safe.
  const size_t length = strnlen(text, kFilterTextSize);
  if (length >= kFilterTextSize) return E_FAIL;
  return vok::GuardStream([&] { return PutField(field, std::string(text, length)); });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetFilter(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().definition, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::SetFilter(LPCSTR lpsz) {
  return SetText(lpsz, &fields().definition);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetDescr(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().description, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::SetDescr(LPCSTR lpsz) {
  return SetText(lpsz, &fields().description);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetImage(LONG* plImage) {
  return vok::GetProperty(kImage, plImage);
}

std::string vokFastListItemFilter::DisplayText() const {
  std::string text = key();
  if (!vok::cmdline::IsBlankText(fields().description)) text += " - " + fields().description;
  text += " (" + fields().definition + ")";
  return text;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetText(LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  return vok::GuardStream([&] {
    const std::string text = DisplayText();
    memset(lpszText, 0, kFilterTextSize);
    // The cut keeps whole characters, so the text may end short of the limit.
    memcpy(lpszText, text.data(), vok::Utf8PrefixLength(text, kMaxDisplayBytes));
    return S_OK;
  });
}
