#include "cmdline/fast_list_item_alias.h"

#include "common/class_ids.h"

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

using vok::ReadBoundedStr32;
using vok::Str32Size;
using vok::cmdline::SetItemText;

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetAlias(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(definition_, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::SetAlias(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDefinitionBytes, &definition_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(description_, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::SetDescr(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDescriptionBytes, &description_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetColumnCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = 3;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetColumnText(LONG lColumn, LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  return vok::GuardStream([&] {
    switch (lColumn) {
      case 0:
        vok::CopyToFixedBuffer(key(), lpszText, kItemTextSize);
        return S_OK;
      case 1:
        vok::CopyToFixedBuffer(vok::cmdline::FirstLineSummary(definition_), lpszText,
                               kItemTextSize);
        return S_OK;
      case 2:
        vok::CopyToFixedBuffer(description_, lpszText, kItemTextSize);
        return S_OK;
      default:
        return E_INVALIDARG;
    }
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetImage(LONG* plImage) {
  if (!plImage) return E_POINTER;
  *plImage = kImage;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemAlias;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::IsDirty() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    if (vok::ReadLong(stm) < 0) return S_OK;
    std::string key = ReadBoundedStr32(stm, kMaxKeyBytes);
    ULONG data = vok::ReadULong(stm);
    std::string definition = ReadBoundedStr32(stm, kMaxDefinitionBytes);
    std::string description = ReadBoundedStr32(stm, kMaxDescriptionBytes);
    SetKeyAndData(std::move(key), data);
    definition_ = std::move(definition);
    description_ = std::move(description);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::Save(IStream* stm, BOOL /*fClearDirty*/) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteStr32(stm, key());
    vok::WriteULong(stm, data());
    vok::WriteStr32(stm, definition_);
    vok::WriteStr32(stm, description_);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemAlias::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 4 + Str32Size(key()) + 4 + Str32Size(definition_) + Str32Size(description_);
  return S_OK;
}

void vokFastListItemAlias::CopyFieldsTo(vokFastListItemAlias& copy) const {
  copy.definition_ = definition_;
  copy.description_ = description_;
}
