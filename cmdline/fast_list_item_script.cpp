#include "cmdline/fast_list_item_script.h"

#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"

using vok::ReadBoundedStr32;
using vok::Str32Size;
using vok::cmdline::SetItemText;

std::string vokFastListItemScript::LanguageName(ULONG type) {
  static constexpr UINT kNames[] = {
      vok::cmdline::kIdsLanguageVBScript, vok::cmdline::kIdsLanguageJavaScript,
      vok::cmdline::kIdsLanguagePerlScript, vok::cmdline::kIdsLanguagePython};
  if (type < kScriptVBScript || type > kScriptPython) return {};
  return vok::LoadStringResource(&vok::cmdline::kCmdLineResources, kNames[type - kScriptVBScript]);
}

template <class T>
HRESULT vokFastListItemScript::PutNumber(T* field, T value) {
  if (*field != value) {
    *field = value;
    dirty_ = true;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetDescr(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields_.description, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetDescr(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxDescriptionBytes, &fields_.description);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetScript(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields_.script, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetScript(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxScriptBytes, &fields_.script);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetEntryPoint(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields_.entryPoint, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetEntryPoint(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxEntryPointBytes, &fields_.entryPoint);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetWndTitle(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields_.windowTitle, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetWndTitle(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxWindowTitleBytes, &fields_.windowTitle);
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ShowBrowserWindow(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = fields_.showWindow;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ShowBrowserWindow(LONG newVal) {
  return PutNumber(&fields_.showWindow, newVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ShowIEToolbar(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = fields_.showToolbar;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ShowIEToolbar(LONG newVal) {
  return PutNumber(&fields_.showToolbar, newVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ActiveXScriptHost(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = fields_.host;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ActiveXScriptHost(ULONG newVal) {
  return PutNumber(&fields_.host, newVal);
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetColumnCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = 3;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetColumnText(LONG lColumn, LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  return vok::GuardStream([&] {
    switch (lColumn) {
      case 0:
        vok::CopyToFixedBuffer(key(), lpszText, kItemTextSize);
        return S_OK;
      case 1:
        // An unknown language shows an empty cell rather than whatever the buffer held.
        vok::CopyToFixedBuffer(LanguageName(data()), lpszText, kItemTextSize);
        return S_OK;
      case 2:
        vok::CopyToFixedBuffer(fields_.description, lpszText, kItemTextSize);
        return S_OK;
      default:
        return E_INVALIDARG;
    }
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetImage(LONG* plImage) {
  if (!plImage) return E_POINTER;
  *plImage = kImage;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemScript;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemScript::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    LONG version = vok::ReadLong(stm);
    if (version < 0) return S_OK;
    std::string key = ReadBoundedStr32(stm, kMaxKeyBytes);
    ULONG language = vok::ReadULong(stm);
    Fields loaded;
    loaded.description = ReadBoundedStr32(stm, kMaxDescriptionBytes);
    if (version > 0) {
      loaded.script = ReadBoundedStr32(stm, kMaxScriptBytes);
      loaded.showWindow = vok::ReadLong(stm);
      loaded.showToolbar = vok::ReadLong(stm);
    }
    if (version > 1) {
      loaded.entryPoint = ReadBoundedStr32(stm, kMaxEntryPointBytes);
      loaded.windowTitle = ReadBoundedStr32(stm, kMaxWindowTitleBytes);
    }
    if (version > 2) loaded.host = vok::ReadULong(stm);
    SetKeyAndData(std::move(key), language);
    fields_ = std::move(loaded);
    dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, kVersion);
    vok::WriteStr32(stm, key());
    vok::WriteULong(stm, data());
    vok::WriteStr32(stm, fields_.description);
    vok::WriteStr32(stm, fields_.script);
    vok::WriteLong(stm, fields_.showWindow);
    vok::WriteLong(stm, fields_.showToolbar);
    vok::WriteStr32(stm, fields_.entryPoint);
    vok::WriteStr32(stm, fields_.windowTitle);
    vok::WriteULong(stm, fields_.host);
    if (fClearDirty) dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 4 + Str32Size(key()) + 4 + Str32Size(fields_.description) +
                      Str32Size(fields_.script) + 4 + 4 + Str32Size(fields_.entryPoint) +
                      Str32Size(fields_.windowTitle) + 4;
  return S_OK;
}

void vokFastListItemScript::CopyFieldsTo(vokFastListItemScript& copy) const {
  copy.fields_ = fields_;
}
