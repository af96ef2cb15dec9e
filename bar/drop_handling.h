// Files, links and text dropped on the bar. A drop becomes a new favorite (chosen from the drop
// menu after a right-button drag), text in the command box, or a directory change.
//
// The bar window is the drop target: it forwards its drag events to a DropHandler, which
// decides whether the drag is taken, classifies what was dropped and, once the drop event has
// returned, carries the drop out through the engine container and the command-line engine.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <Qt>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bar/bar_host.h"
#include "common/container_ifaces.h"
#include "platform/com/com_ptr.h"

class QDragMoveEvent;
class QDropEvent;
class QMimeData;

namespace vok::bar {

// The drop menu's command ids; the first five are also a drop's default actions.
constexpr int kDropFolder = 32793;
constexpr int kDropProgram = 32794;
constexpr int kDropLink = 32795;
constexpr int kDropFile = 32796;
constexpr int kDropOther = 32797;
constexpr int kDropCopyAsText = 32798;
constexpr int kDropChangeDir = 32799;
constexpr int kDropCancel = 32800;

// What a drag offers that the bar can use.
enum class DropSource {
  kUrl,   // text/x-moz-url, or an entry of text/uri-list that is not a local file
  kFile,  // the one local file of text/uri-list
  kText,  // the first line of text/plain
};

struct DropData {
  DropSource source = DropSource::kText;
  std::string text;  // UTF-8, in its own letter case
};

// The usable part of `data`, preferring a URL, then the single local file, then text. Several
// local files (and nothing else usable) give nullopt: the bar refuses the drag.
std::optional<DropData> UsableDropData(const QMimeData& data);

// A drop ready to be carried out: its text and its default action (kDropFolder..kDropOther).
struct DropItem {
  std::string text;
  int action = kDropOther;
  bool operator==(const DropItem&) const = default;
};

// The default action of a drop from the file system: a URL is a link; a path that does not
// exist is "other"; a folder is a folder; a name with ".exe", ".com", ".bat" or ".hta"
// anywhere in it is a program; else a file, except that with `extractUrl` an internet shortcut
// (a name containing ".url") or a desktop entry of type Link gives its URL as a link.
DropItem ClassifyDrop(const DropData& data, bool extractUrl);

// Value URL of section [InternetShortcut] (sections and keys without regard to case); nullopt
// when missing, empty or "na".
std::optional<std::string> InternetShortcutUrl(std::string_view text);

// The text inserted into the command box for `item`: a folder or file path with a space is
// wrapped in double quotes.
std::string TextToInsert(const DropItem& item);

// Turns the bar window's drag events into drops. Lives as a member of the bar window.
class DropHandler {
 public:
  // `owner`: the bar window; the drop step runs from its event queue and only while it lives.
  // `container`: the engine container (borrowed; a reference is kept; may be null).
  // `activate`: shows and activates the bar before a drop is carried out.
  DropHandler(BarHost& host, QWidget& owner, IUnknown* container, std::function<void()> activate);

  // Drag enter and drag move: accepts the event with a copying (or linking) action when the
  // data is usable, else ignores it. True when accepted.
  bool DragOver(QDragMoveEvent& event);
  void DragLeft();
  // Classifies the dropped data and queues the drop step. The menu is shown when the drag was
  // made with the right (or, as X11 applications ask, the middle) mouse button.
  void Drop(QDropEvent& event);

  // A drag is over the bar or a drop is being carried out: the bar must not hide now.
  bool Busy() const { return dragOver_ || dropInProgress_; }

 private:
  void RunDrop(const DropItem& item, bool withMenu, QPoint at);

  BarHost& host_;
  QPointer<QWidget> owner_;
  ComPtr<IvokEngineContainer> container_;
  std::function<void()> activate_;
  Qt::MouseButtons dragButtons_;  // as last seen while dragging (released at the drop)
  bool dragOver_ = false;
  bool dropInProgress_ = false;
};

}  // namespace vok::bar
