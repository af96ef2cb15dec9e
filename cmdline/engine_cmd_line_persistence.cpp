// IPersistStorage of vokEngineCmdLine: the stream "ENG_CMD_LINE" in the data file's root
// storage. Little-endian, LONG = 4 bytes, BYTE = 1 byte; objects write their own
// IPersistStream record in place (no class identifier, no length):
//
//   LONG version (5)                      -- the rest of this block when >= 0
//   LONG use quick help, keep log, explorer tree, delete to recycle bin,
//        list view type 0, list view type 1, last favorite type
//   favorites list, aliases list, command browser
//   LONG complete from history, from commands, from files
//   log                                   -- only when keep log is non-zero
//   LONG synchronize with browser         -- version > 0
//   BYTE hot key virtual key, modifiers   -- version > 1
//   scripts list                          -- version > 2
//   LONG list view type 2                 -- version > 3
//   LONG show script start message        -- version > 4
//   panel data (always; see CmdLinePanelData)
#include "cmdline/engine_cmd_line.h"
#include "common/class_ids.h"
#include "common/property_util.h"
#include "common/stream_util.h"
#include "platform/com/runtime.h"

using vok::LoadObject;
using vok::SaveObject;

namespace {

constexpr char kStreamName[] = "ENG_CMD_LINE";

void WriteByte(IStream* stream, BYTE value) { vok::WriteBytes(stream, &value, 1); }

BYTE ReadByte(IStream* stream) {
  BYTE value = 0;
  vok::ReadBytes(stream, &value, 1);
  return value;
}

// The log's record is a fast list of its entries; an empty one stands in for a missing log.
void WriteEmptyLogRecord(IStream* stream, LONG maxSize) {
  vok::WriteLong(stream, 0);
  vok::WriteLong(stream, maxSize);
  vok::WriteLong(stream, 0);
}

}  // namespace

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetClassID(CLSID* pClassID) {
  return vok::GetProperty(vok::clsid::kEngineCmdLine, pClassID);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::IsDirty() {
  if (dirty_ || panel_.IsDirty()) return S_OK;
  if (settings_.keepLog) {
    ComPtr<IPersistStream> log = QueryAs<IPersistStream>(Log());
    if (log && log->IsDirty() == S_OK) return S_OK;
  }
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Save(IStorage* stg, BOOL) {
  if (!stg) return E_POINTER;
  HRESULT hr = vok::WriteStorageStream(stg, kStreamName, [&](IStream* s) {
    vok::WriteLong(s, kStreamVersion);
    vok::WriteLong(s, settings_.useQuickHelp);
    vok::WriteLong(s, settings_.keepLog);
    vok::WriteLong(s, settings_.explorerTree);
    vok::WriteLong(s, settings_.deleteToRecycleBin);
    vok::WriteLong(s, settings_.listViewTypes[0]);
    vok::WriteLong(s, settings_.listViewTypes[1]);
    vok::WriteLong(s, settings_.lastFavoriteType);
    SaveObject(favorites_.Get(), s);
    SaveObject(aliases_.Get(), s);
    SaveObject(cmdBrowser_.Get(), s);
    vok::WriteLong(s, settings_.completeFromHistory);
    vok::WriteLong(s, settings_.completeFromCommands);
    vok::WriteLong(s, settings_.completeFromFiles);
    if (settings_.keepLog) {
      if (IvokLog* log = Log()) {
        SaveObject(log, s);
      } else {
        WriteEmptyLogRecord(s, kLogMaxSize);
      }
    }
    vok::WriteLong(s, settings_.syncWithBrowser);
    WriteByte(s, settings_.hotKeyVK);
    WriteByte(s, settings_.hotKeyMods);
    SaveObject(scripts_.Get(), s);
    vok::WriteLong(s, settings_.listViewTypes[2]);
    vok::WriteLong(s, settings_.showScriptStartMsg);
    panel_.Save(s);
  });
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Load(IStorage* stg) {
  if (!stg) return E_POINTER;
  HRESULT hr = vok::ReadStorageStream(stg, kStreamName, [&](IStream* s) {
    LONG version = vok::ReadLong(s);
    if (version >= 0) {
      settings_.useQuickHelp = vok::ReadLong(s);
      settings_.keepLog = vok::ReadLong(s);
      settings_.explorerTree = vok::ReadLong(s);
      settings_.deleteToRecycleBin = vok::ReadLong(s);
      settings_.listViewTypes[0] = vok::ReadLong(s);
      settings_.listViewTypes[1] = vok::ReadLong(s);
      settings_.lastFavoriteType = vok::ReadLong(s);
      LoadObject(favorites_.Get(), s);
      LoadObject(aliases_.Get(), s);
      LoadObject(cmdBrowser_.Get(), s);
      settings_.completeFromHistory = vok::ReadLong(s);
      settings_.completeFromCommands = vok::ReadLong(s);
      settings_.completeFromFiles = vok::ReadLong(s);
      if (settings_.keepLog) LoadLog(s);
    }
    if (version > 0) settings_.syncWithBrowser = vok::ReadLong(s);
    if (version > 1) {
      settings_.hotKeyVK = ReadByte(s);
      settings_.hotKeyMods = ReadByte(s);
    }
    if (version > 2) LoadObject(scripts_.Get(), s);
    if (version > 3) settings_.listViewTypes[2] = vok::ReadLong(s);
    if (version > 4) settings_.showScriptStartMsg = vok::ReadLong(s);
    panel_.Load(s);
  });
  if (SUCCEEDED(hr)) {
    if (IvokChDir* navigator = Navigator()) navigator->SetSafeCurrentDir(nullptr);
    dirty_ = false;
  }
  // The lists may have changed, also partly: their commands follow them in every case.
  ReregisterItemCommands();
  return hr;
}

// Without a log the record is still consumed, into a list of its own that is then dropped.
void vokEngineCmdLine::LoadLog(IStream* stream) {
  if (IvokLog* log = Log()) {
    LoadObject(log, stream);
    return;
  }
  ComPtr<IUnknown> scratch;
  HRESULT hr = CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                scratch.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) throw CvokIStreamException(hr);
  LoadObject(scratch.Get(), stream);
}
