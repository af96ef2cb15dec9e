#include "cmdline/engine_cmd_line_panel_data.h"

#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "platform/com/runtime.h"

namespace vok::cmdline {
namespace {

constexpr LONG kRecordVersion = 0;

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n";
  size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(kBlanks);
  return text.substr(begin, end - begin + 1);
}

std::string CutText(std::string text) {
  text.resize(Utf8PrefixLength(text, CmdLinePanelData::kMaxTextBytes));
  return text;
}

}  // namespace

HRESULT CmdLinePanelData::Init(const std::string& startDir) {
  HRESULT hr = CoCreateInstance(clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER, IvokFastList::kIID,
                                history_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  history_->Init(1);
  history_->put_MaxSize(kDefaultHistorySize);
  hr = CoCreateInstance(clsid::kChDir, nullptr, CLSCTX_INPROC_SERVER, IvokChDir::kIID,
                        navigator_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  return navigator_->Init(startDir.c_str());
}

LONG CmdLinePanelData::HistorySize() const {
  LONG size = kDefaultHistorySize;
  if (history_) history_->get_MaxSize(&size);
  return size;
}

HRESULT CmdLinePanelData::SetHistorySize(LONG size) {
  return history_ ? history_->put_MaxSize(size) : E_FAIL;
}

HRESULT CmdLinePanelData::AddHistoryLine(const std::string& line) {
  if (!history_) return E_FAIL;
  if (line.empty()) return S_FALSE;
  ComPtr<IvokFastListItem> item;
  HRESULT hr = CoCreateInstance(clsid::kFastListItemString, nullptr, CLSCTX_INPROC_SERVER,
                                IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  hr = item->SetStrKey(line.c_str());
  if (FAILED(hr)) return hr;
  // The list takes over our reference only when it stores the item.
  hr = history_->Add(item.Get(), 1);
  if (hr == S_OK) {
    item.Detach();
    dirty_ = true;
  }
  return hr;
}

void CmdLinePanelData::SetText(std::string_view text) { StoreText(CutText(std::string(text))); }

void CmdLinePanelData::InsertText(std::string_view text) {
  std::string combined(Trimmed(text_));
  if (!combined.empty()) combined.push_back(' ');
  combined.append(text);
  StoreText(CutText(std::move(combined)));
}

void CmdLinePanelData::StoreText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify(Change::kText);
}

void CmdLinePanelData::Notify(Change change) {
  // A copy: the observer may replace itself.
  if (std::function<void(Change)> observer = observer_) observer(change);
}

void CmdLinePanelData::SetRectangles(const std::array<RECT, kRectangleCount>& rectangles) {
  rectangles_ = rectangles;
  dirty_ = true;
}

bool CmdLinePanelData::IsDirty() const {
  if (dirty_) return true;
  ComPtr<IPersistStream> navigator = QueryAs<IPersistStream>(navigator_.Get());
  return navigator && navigator->IsDirty() == S_OK;
}

void CmdLinePanelData::Save(IStream* stream) {
  WriteLong(stream, kRecordVersion);
  for (const RECT& rect : rectangles_) {
    WriteLong(stream, rect.left);
    WriteLong(stream, rect.top);
    WriteLong(stream, rect.right);
    WriteLong(stream, rect.bottom);
  }
  SaveObject(history_.Get(), stream);
  SaveObject(navigator_.Get(), stream);
  dirty_ = false;
}

void CmdLinePanelData::Load(IStream* stream) {
  if (ReadLong(stream) < 0) return;
  for (RECT& rect : rectangles_) {
    rect.left = ReadLong(stream);
    rect.top = ReadLong(stream);
    rect.right = ReadLong(stream);
    rect.bottom = ReadLong(stream);
  }
  LoadObject(history_.Get(), stream);
  LoadObject(navigator_.Get(), stream);
  dirty_ = false;
  Notify(Change::kLoaded);
}

}  // namespace vok::cmdline
