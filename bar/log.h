// vokLog: the log every engine writes to. Its entries (vokFastListItemLog) live in a fast list
// created by class identifier at Init (not unique, oldest first); Show runs the modal log window
// through the prompter service.
//
// Persistence forwards to the list's IPersistStream, so the log's stream is the list's record
// with the entries' records inside; loading creates the entries by their class identifier, which
// the program serves from its own class table.
//
// The owner window is set by the program once the bar window exists (SetOwnerWindow); the log
// only watches it and shows its window unowned while there is none.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

namespace vok::bar {

// Told of every entry any log of the process adds (the text as kept, the entry type), after it
// was added; headless mode prints the entries this way. Runs on the user-interface thread.
using LogObserver = std::function<void(const std::string& text, LONG type)>;
// Installs `observer` (empty: none) and returns the one installed before.
LogObserver SetLogObserver(LogObserver observer);

}  // namespace vok::bar

class vokLog final : public vok::ObjectRoot<IvokLog, IPersistStream> {
 public:
  // The window that owns the log window (the bar window); null for none. Not owned: a
  // destroyed owner simply leaves the log window unowned.
  void SetOwnerWindow(QWidget* owner) { owner_ = owner; }

  // IvokLog
  // Creates a new, empty list (a second Init drops the entries); the creation's status.
  HRESULT STDMETHODCALLTYPE Init() override;
  // Appends an entry; a text longer than an entry holds is cut on a character boundary, so a
  // long message is never lost. The list's status; the entry is released unless that is S_OK.
  // E_UNEXPECTED before Init, E_POINTER for a null text.
  HRESULT STDMETHODCALLTYPE Add(LPCSTR lpszText, LONG lType) override;
  // S_FALSE when there is no list.
  HRESULT STDMETHODCALLTYPE Clear() override;
  // Runs the log window; fails (showing nothing) when the window cannot be filled.
  HRESULT STDMETHODCALLTYPE Show() override;
  // E_UNEXPECTED before Init.
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) override;

  // IPersistStream: GetClassID gives the log's class; the rest is the list's (E_UNEXPECTED
  // before Init).
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  ComPtr<IPersistStream> ListPersistence() const;

  ComPtr<IvokFastList> list_;
  QPointer<QWidget> owner_;
};
