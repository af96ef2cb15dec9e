// The panel side of vokEngineCmdLine: IvokEnginePanel, through which the container places,
// shows and asks the command-line panel, and taking the typed command.
#include <QApplication>
#include <algorithm>

#include "cmdline/cmdline_icons.h"
#include "cmdline/engine_cmd_line.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"

using vok::cmdline::CmdLinePanel;

namespace {

// Type of the log entry that echoes a typed line.
constexpr LONG kLogEcho = 0;

}  // namespace

vok::cmdline::PanelOptions vokEngineCmdLine::Options() {
  vok::cmdline::PanelOptions options;
  options.useQuickHelp = settings_.useQuickHelp != 0;
  options.completion = {settings_.completeFromHistory != 0, settings_.completeFromCommands != 0,
                        settings_.completeFromFiles != 0};
  options.favoritesButton = hintLevel() != 0;
  options.applySavedPositions = (panelFlags_ & kPanelFlagApplyPositions) != 0;
  return options;
}

void vokEngineCmdLine::PlaceHistoryMenu(Step step) {
  if (window_) window_->PlaceHistoryMenu(step);
}

void vokEngineCmdLine::RefreshPanelWindow() {
  if (window_) window_->Refresh();
}

// ---------------------------------------------------------------------------------------------
// IvokEnginePanel

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetRect(RECT* pRect) {
  if (!pRect) return E_POINTER;
  if (!window_) return E_FAIL;
  const QPoint origin = window_->mapToGlobal(QPoint(0, 0));
  *pRect = {origin.x(), origin.y(), origin.x() + window_->width(), origin.y() + window_->height()};
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetButtonInfo(HMODULE* phModule, UINT* puBitmapId,
                                                          UINT* puTipId) {
  if (!phModule || !puBitmapId || !puTipId) return E_POINTER;
  // The container loads the image from the library's resources, which loading one of the
  // library's images makes available.
  if (qApp) vok::cmdline::ThemeIcon("", "201.png");
  *phModule = vok::ModuleHandle(vok::cmdline::kCmdLineResources);
  *puBitmapId = kPanelBitmapId;
  *puTipId = kPanelTipId;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Create(HWND hwndParent) {
  if (!hwndParent || !qobject_cast<QApplication*>(QCoreApplication::instance())) return E_FAIL;
  delete window_.data();
  window_ = new CmdLinePanel(*this, hwndParent);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::SetHorzPos(LONG lLeft, LONG lRight) {
  if (!window_) return S_FALSE;
  window_->setGeometry(lLeft, window_->y(), std::max<LONG>(0, lRight - lLeft), window_->height());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::SetPos(LONG lTop, LONG) {
  if (!window_) return S_FALSE;
  window_->move(window_->x(), lTop);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Show(LONG lCmdShow) {
  if (!window_) return S_FALSE;
  window_->ShowPanel(lCmdShow != SW_HIDE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::SetFlags(LONG lMask, LONG lValue) {
  panelFlags_ = (panelFlags_ & ~lMask) | (lValue & lMask);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::TestFlags(LONG lBits) {
  return (panelFlags_ & lBits) == lBits ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Refresh() {
  RefreshPanelWindow();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::HideQuickHelp() {
  if (window_) window_->HideQuickHelp();
  return S_OK;
}

// One way for the bar with its panel and for the headless program without one: the text is
// the panel data's, which the window shows and edits.
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetCommand(LPSTR lpszCmd) {
  if (!lpszCmd) return E_POINTER;
  if (window_) window_->PrepareForTaking();
  const std::string line = panel_.Text();
  panel_.SetText("");
  vok::CopyToFixedBuffer(line, lpszCmd, kPanelCommandSize);
  // A line already in the history moves up to the newest place (not a change).
  if (!line.empty()) panel_.AddHistoryLine(line);
  if (window_) window_->RefillHistory();
  if (IvokLog* log = Log()) log->Add(line.c_str(), kLogEcho);
  return S_OK;
}
