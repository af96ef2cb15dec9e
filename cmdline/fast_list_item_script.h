// vokFastListItemScript: a user command written in a script language. The data word is the
// language (kScriptVBScript .. kScriptPython); the item also keeps what the page host needs
// (entry point, window title, window and toolbar switches) and which host runs it.
//
// Record (version 3): {int32 version, str32 key, uint32 language, str32 description,
//   [version > 0] str32 script, int32 show window, int32 show toolbar,
//   [version > 1] str32 entry point, str32 window title,
//   [version > 2] uint32 script host}.
#pragma once

#include <string>

#include "cmdline/list_item_base.h"
#include "common/class_ids.h"

namespace vok::cmdline {

// Everything of a script item but key and language.
struct ScriptFields {
  // Script hosts: the bar runs the script itself, or a generated page does.
  static constexpr ULONG kHostBar = 0;
  static constexpr ULONG kHostPage = 1;

  std::string description;
  std::string script;
  std::string entryPoint;
  std::string windowTitle;
  LONG showWindow = 0;
  LONG showToolbar = 1;
  ULONG host = kHostPage;
};

}  // namespace vok::cmdline

class vokFastListItemScript final
    : public vok::cmdline::ListItemBase<vokFastListItemScript, vok::cmdline::ScriptFields,
                                        IvokFastListItemScript> {
 public:
  static constexpr LONG kVersion = 3;
  static constexpr const CLSID& kClassId = vok::clsid::kFastListItemScript;
  static constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;
  static constexpr size_t kMaxScriptBytes = kScriptSourceSize - 1;
  static constexpr size_t kMaxEntryPointBytes = kScriptShortTextSize - 1;
  static constexpr size_t kMaxWindowTitleBytes = kScriptShortTextSize - 1;
  static constexpr LONG kImage = 6;

  vokFastListItemScript() : ListItemBase(kScriptVBScript) {}

  // The display name of a language ("VBScript" ...); "" for an unknown type.
  static std::string LanguageName(ULONG type);

  // IvokFastListItemScript: getters follow the caller-buffer convention, setters cut at the
  // limits above; the three number setters mark the item changed when the value changes.
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetScript(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetScript(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetEntryPoint(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetEntryPoint(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetWndTitle(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetWndTitle(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE get_ShowBrowserWindow(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowBrowserWindow(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ShowIEToolbar(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowIEToolbar(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ActiveXScriptHost(ULONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ActiveXScriptHost(ULONG newVal) override;

  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // The middle column: the language name (an unknown language shows an empty cell).
  std::string DetailText() const { return LanguageName(data()); }

  // Fields an older record lacks keep their defaults.
  static vok::cmdline::ScriptFields ReadFields(IStream* stm, LONG version);
  static void WriteFields(IStream* stm, const vok::cmdline::ScriptFields& fields);
  static ULONG FieldsSize(const vok::cmdline::ScriptFields& fields);
};
