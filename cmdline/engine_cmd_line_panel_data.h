// What the command-line panel keeps, with or without its window: the history of typed lines,
// the saved positions of its three controls, the directory navigator, its own changes flag and
// the text of the command box. The engine owns one; the panel window, when it exists, shows
// and edits this state (it observes the text and loads).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"

namespace vok::cmdline {

class CmdLinePanelData {
 public:
  enum class Change { kText, kLoaded };

  static constexpr LONG kDefaultHistorySize = 50;
  // Longest command-box text, in bytes.
  static constexpr size_t kMaxTextBytes = 511;
  // The directory field, the command box and the toolbar, in this order.
  static constexpr size_t kRectangleCount = 3;

  // Creates the history (a unique fast list) and the navigator by class identifier and starts
  // the navigator in `startDir`. Returns the first failure; whatever was created stays.
  HRESULT Init(const std::string& startDir);

  // Null until Init created them.
  IvokFastList* History() const { return history_.Get(); }
  IvokChDir* Navigator() const { return navigator_.Get(); }

  LONG HistorySize() const;
  HRESULT SetHistorySize(LONG size);
  // Files a typed line as the newest history entry; a line already there moves instead of
  // appearing twice and does not count as a change. Empty lines are not filed.
  HRESULT AddHistoryLine(const std::string& line);

  const std::string& Text() const { return text_; }
  // Replaces the command-box text (cut to kMaxTextBytes).
  void SetText(std::string_view text);
  // The text trimmed of blanks, tabs and line feeds, one blank when anything is left, then
  // `text`; cut to kMaxTextBytes.
  void InsertText(std::string_view text);

  const std::array<RECT, kRectangleCount>& Rectangles() const { return rectangles_; }
  void SetRectangles(const std::array<RECT, kRectangleCount>& rectangles);

  // Called after the text changed (SetText, InsertText) and after a successful Load, so that
  // the panel window shows what is held here. One observer; an empty function removes it.
  void SetObserver(std::function<void(Change)> observer) { observer_ = std::move(observer); }

  // Changed since the last save: the history gained an entry, the controls were moved, or the
  // navigator reports changes.
  bool IsDirty() const;

  // The record inside the engine's stream: LONG version 0 (the rest is read only when it is
  // not negative), the three rectangles as four LONGs each, the history list, the navigator.
  // Both throw CvokIStreamException; a successful Save or Load clears the changes flag.
  void Save(IStream* stream);
  void Load(IStream* stream);

 private:
  void StoreText(std::string text);
  void Notify(Change change);

  ComPtr<IvokFastList> history_;
  ComPtr<IvokChDir> navigator_;
  std::array<RECT, kRectangleCount> rectangles_{};
  std::string text_;
  bool dirty_ = false;
  std::function<void(Change)> observer_;
};

}  // namespace vok::cmdline
