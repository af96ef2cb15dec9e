#include "cmdline/fast_list_item_script.h"

#include "cmdline/resources/cmdline_strings.h"

using vok::ReadBoundedStr32;
using vok::Str32Size;
using vok::cmdline::ScriptFields;
using vok::cmdline::SetItemText;

std::string vokFastListItemScript::LanguageName(ULONG type) {
  static constexpr UINT kNames[] = {
      vok::cmdline::kIdsLanguageVBScript, vok::cmdline::kIdsLanguageJavaScript,
      vok::cmdline::kIdsLanguagePerlScript, vok::cmdline::kIdsLanguagePython};
  if (type < kScriptVBScript || type > kScriptPython) return {};
  return vok::LoadStringResource(&vok::cmdline::kCmdLineResources, kNames[type - kScriptVBScript]);
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetDescr(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().description, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetDescr(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxDescriptionBytes, &fields().description);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetScript(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().script, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetScript(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxScriptBytes, &fields().script);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetEntryPoint(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().entryPoint, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetEntryPoint(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxEntryPointBytes, &fields().entryPoint);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetWndTitle(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(fields().windowTitle, lpsz, lpcb);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::SetWndTitle(LPCSTR lpsz) {
  return SetItemText(lpsz, kMaxWindowTitleBytes, &fields().windowTitle);
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ShowBrowserWindow(LONG* pVal) {
  return vok::GetProperty(fields().showWindow, pVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ShowBrowserWindow(LONG newVal) {
  return PutField(&fields().showWindow, newVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ShowIEToolbar(LONG* pVal) {
  return vok::GetProperty(fields().showToolbar, pVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ShowIEToolbar(LONG newVal) {
  return PutField(&fields().showToolbar, newVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::get_ActiveXScriptHost(ULONG* pVal) {
  return vok::GetProperty(fields().host, pVal);
}
HRESULT STDMETHODCALLTYPE vokFastListItemScript::put_ActiveXScriptHost(ULONG newVal) {
  return PutField(&fields().host, newVal);
}

HRESULT STDMETHODCALLTYPE vokFastListItemScript::GetImage(LONG* plImage) {
  return vok::GetProperty(kImage, plImage);
}

ScriptFields vokFastListItemScript::ReadFields(IStream* stm, LONG version) {
  ScriptFields fields;
  fields.description = ReadBoundedStr32(stm, kMaxDescriptionBytes);
  if (version > 0) {
    fields.script = ReadBoundedStr32(stm, kMaxScriptBytes);
    fields.showWindow = vok::ReadLong(stm);
    fields.showToolbar = vok::ReadLong(stm);
  }
  if (version > 1) {
    fields.entryPoint = ReadBoundedStr32(stm, kMaxEntryPointBytes);
    fields.windowTitle = ReadBoundedStr32(stm, kMaxWindowTitleBytes);
  }
  if (version > 2) fields.host = vok::ReadULong(stm);
  return fields;
}

void vokFastListItemScript::WriteFields(IStream* stm, const ScriptFields& fields) {
  vok::WriteStr32(stm, fields.description);
  vok::WriteStr32(stm, fields.script);
  vok::WriteLong(stm, fields.showWindow);
  vok::WriteLong(stm, fields.showToolbar);
  vok::WriteStr32(stm, fields.entryPoint);
  vok::WriteStr32(stm, fields.windowTitle);
  vok::WriteULong(stm, fields.host);
}

ULONG vokFastListItemScript::FieldsSize(const ScriptFields& fields) {
  return Str32Size(fields.description) + Str32Size(fields.script) + 4 + 4 +
         Str32Size(fields.entryPoint) + Str32Size(fields.windowTitle) + 4;
}
