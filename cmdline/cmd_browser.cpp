#include "cmdline/cmd_browser.h"

#include <QApplication>

#include "cmdline/cmd_browser_dialog.h"
#include "cmdline/cmd_browser_search.h"
#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

HRESULT STDMETHODCALLTYPE vokCmdBrowser::BrowseForCmd(LPSTR lpszResCmd, ULONG* lpcbResCmd) {
  if (!lpcbResCmd || (*lpcbResCmd > 0 && !lpszResCmd)) return E_POINTER;
  vok::cmdline::CmdBrowserDialog dialog(container_, history_.Get(), QApplication::activeWindow());
  if (vok::ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return S_FALSE;
  return vok::CopyToBuffer(dialog.resultCommand(), lpszResCmd, lpcbResCmd);
}

HRESULT STDMETHODCALLTYPE vokCmdBrowser::Init(IUnknown* pUnkEC) {
  container_ = pUnkEC;
  return vok::cmdline::CreateSearchHistory(&history_);
}

HRESULT STDMETHODCALLTYPE vokCmdBrowser::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kCmdBrowser;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokCmdBrowser::IsDirty() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE vokCmdBrowser::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  auto persist = QueryAs<IPersistStream>(history_.Get());
  if (!persist) return E_UNEXPECTED;
  return vok::GuardStream([&] {
    if (vok::ReadLong(stm) < 0) return S_OK;
    return persist->Load(stm);
  });
}

HRESULT STDMETHODCALLTYPE vokCmdBrowser::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  auto persist = QueryAs<IPersistStream>(history_.Get());
  if (!persist) return E_UNEXPECTED;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    return persist->Save(stm, fClearDirty);
  });
}

HRESULT STDMETHODCALLTYPE vokCmdBrowser::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  auto persist = QueryAs<IPersistStream>(history_.Get());
  if (!persist) return E_UNEXPECTED;
  return persist->GetSizeMax(pcbSize);
}
