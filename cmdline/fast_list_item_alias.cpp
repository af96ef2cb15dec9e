#include "cmdline/fast_list_item_alias.h"

namespace vok::cmdline {

std::string FirstLineSummary(std::string_view definition) {
  size_t lineFeed = definition.find('\n');
  bool moreLines = lineFeed != std::string_view::npos;
  std::string_view line = definition.substr(0, lineFeed);
  // Lines typed in the dialog end in "\r\n"; only a carriage return is dropped, so a
  // definition with bare line feeds keeps its last character.
  if (moreLines && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string summary = CutText(line, kColumnTextBytes);
  constexpr std::string_view kMore = " ...";
  if (moreLines && summary.size() + kMore.size() <= kColumnTextBytes) summary += kMore;
  return summary;
}

}  // namespace vok::cmdline

using vok::cmdline::SetItemText;

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetAlias(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(fields().definition, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::SetAlias(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDefinitionBytes, &fields().definition);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(fields().description, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::SetDescr(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDescriptionBytes, &fields().description);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetImage(LONG* plImage) {
  return vok::GetProperty(kImage, plImage);
}

std::string vokFastListItemAlias::DetailText() const {
  return vok::cmdline::FirstLineSummary(fields().definition);
}
