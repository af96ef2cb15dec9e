#include "bar/drop_handling.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "bar/context_folders.h"
#include "common/cmdline_ifaces.h"
#include "common/text_util.h"
#include "platform/shell/desktop_entry.h"
#include "platform/ui/prompter.h"

namespace vok::bar {
namespace {

namespace fs = std::filesystem;

constexpr char kMozUrlFormat[] = "text/x-moz-url";
constexpr char kUriListFormat[] = "text/uri-list";
// Shortcut files are a few lines; anything beyond this is not one worth reading.
constexpr std::streamsize kMaxShortcutBytes = 64 * 1024;

// Texts are as long as Linux paths may be, and never cut inside a character.
std::string Bounded(std::string text) {
  text.resize(Utf8PrefixLength(text, kPathBufferSize - 1));
  return text;
}

std::string FirstLine(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::string_view Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// Calls visit(section, key, value) for every "key=value" line of an ini-style text, with the
// name of the [section] it stands in (trimmed).
template <class Visit>
void ForEachIniEntry(std::string_view text, Visit&& visit) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string_view section;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      section =
          close == std::string_view::npos ? std::string_view{} : Trimmed(line.substr(1, close - 1));
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    visit(section, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
}

std::string ReadHead(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxShortcutBytes, '\0');
  in.read(text.data(), kMaxShortcutBytes);
  text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return text;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The extension test looks for the text anywhere in the file's name ("setup.exe.old" is a
// program too); the folders above it do not count.
bool LooksLikeProgram(std::string_view lowerName) {
  static constexpr std::array<std::string_view, 4> kMarks{".exe", ".com", ".bat", ".hta"};
  for (std::string_view mark : kMarks)
    if (lowerName.find(mark) != std::string_view::npos) return true;
  return false;
}

std::optional<std::string> ShortcutUrl(const fs::path& path, std::string_view lowerName) {
  if (lowerName.find(".url") != std::string_view::npos) {
    if (auto url = InternetShortcutUrl(ReadHead(path))) return url;
  }
  if (EndsWith(lowerName, ".desktop")) return shell::DesktopLinkUrl(ReadHead(path));
  return std::nullopt;
}

// Firefox writes text/x-moz-url as UTF-16 ("url\ntitle"); others write UTF-8.
std::string MozUrlText(const QByteArray& bytes) {
  const bool wide = bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes.contains('\0');
  if (!wide) return FirstLine(bytes.toStdString());
  QStringDecoder decode(QStringDecoder::Utf16);
  const QString text = decode(bytes);
  return FirstLine(text.toStdString());
}

// A URL of the list, or its one local file; `refused` when it names several local files.
// A URL is taken fully encoded: that is how it opens, and it cannot hold a double quote that
// would end the favorite's quoted argument.
std::optional<DropData> UriListData(const QList<QUrl>& urls, bool* refused) {
  std::vector<std::string> localFiles;
  for (const QUrl& url : urls) {
    if (!url.isValid() || url.isRelative()) continue;  // also comment lines
    if (!url.isLocalFile())
      return DropData{DropSource::kUrl, Bounded(url.toString(QUrl::FullyEncoded).toStdString())};
    localFiles.push_back(url.toLocalFile().toStdString());
  }
  *refused = localFiles.size() > 1;
  if (localFiles.size() == 1) return DropData{DropSource::kFile, Bounded(localFiles.front())};
  return std::nullopt;
}

bool UsesMenu(Qt::MouseButtons buttons) { return buttons & (Qt::RightButton | Qt::MiddleButton); }

// Copying is what a drop on the bar means; a source that only offers moving is refused, since
// it would delete what it sent once the bar took it.
std::optional<Qt::DropAction> ActionFor(Qt::DropActions possible) {
  if (possible & Qt::CopyAction) return Qt::CopyAction;
  if (possible & Qt::LinkAction) return Qt::LinkAction;
  return std::nullopt;
}

QAction* AddDropCommand(QMenu& menu, const char* text, int id) {
  QAction* action = menu.addAction(QString::fromUtf8(text));
  action->setData(id);
  return action;
}

// The drop menu with `defaultAction` as its default item; "Change Directory" only for a folder.
int ChooseFromDropMenu(int defaultAction, QPoint at) {
  QMenu menu;
  AddDropCommand(menu, "Create Favorite &Folder", kDropFolder);
  AddDropCommand(menu, "Create Favorite &Program", kDropProgram);
  AddDropCommand(menu, "Create Favorite F&ile", kDropFile);
  AddDropCommand(menu, "Create Favorite &Link", kDropLink);
  AddDropCommand(menu, "Create &Other Favorite Item", kDropOther);
  menu.addSeparator();
  AddDropCommand(menu, "&Copy As Text", kDropCopyAsText);
  if (defaultAction == kDropFolder) AddDropCommand(menu, "Change &Directory", kDropChangeDir);
  menu.addSeparator();
  AddDropCommand(menu, "Cancel", kDropCancel);
  for (QAction* action : menu.actions()) {
    if (!action->isSeparator() && action->data().toInt() == defaultAction)
      menu.setDefaultAction(action);
  }
  QAction* chosen = ui::CurrentPrompter().TrackMenu(menu, at);
  return chosen ? chosen->data().toInt() : kDropCancel;
}

const char* FavoriteSwitch(int choice) {
  switch (choice) {
    case kDropFolder:
      return "/folder";
    case kDropProgram:
      return "/prog";
    case kDropFile:
      return "/file";
    case kDropLink:
      return "/link";
    case kDropOther:
      return "/other";
    default:
      return nullptr;
  }
}

void CarryOut(IvokEngineContainer* container, int choice, const DropItem& item) {
  if (!container) return;
  if (const char* kind = FavoriteSwitch(choice)) {
    const std::string line = std::string("newfavorite ") + kind + " \"" + item.text + "\"";
    container->Command(line.c_str());
    return;
  }
  if (choice != kDropCopyAsText && choice != kDropChangeDir) return;
  ComPtr<IvokCmdLineUI> commandLine = FindCommandLineUI(container);
  if (!commandLine) return;
  if (choice == kDropCopyAsText)
    commandLine->InsertText(TextToInsert(item).c_str());
  else
    commandLine->ChangeDir(item.text.c_str(), 1);
}

}  // namespace

std::optional<DropData> UsableDropData(const QMimeData& data) {
  if (data.hasFormat(kMozUrlFormat)) {
    std::string url = MozUrlText(data.data(kMozUrlFormat));
    if (!Trimmed(url).empty()) return DropData{DropSource::kUrl, Bounded(std::move(url))};
  }
  if (data.hasFormat(kUriListFormat)) {
    // Several files are what the drag is about: their text form does not stand in for them.
    bool refused = false;
    if (auto entry = UriListData(data.urls(), &refused)) return entry;
    if (refused) return std::nullopt;
  }
  if (data.hasText()) {
    std::string text = FirstLine(data.text().toStdString());
    if (!Trimmed(text).empty()) return DropData{DropSource::kText, Bounded(std::move(text))};
  }
  return std::nullopt;
}

std::optional<std::string> InternetShortcutUrl(std::string_view text) {
  std::optional<std::string> url;
  ForEachIniEntry(
      text, [&](std::string_view section, std::string_view key, std::string_view value) {
        if (url || !EqualsNoCase(section, "InternetShortcut") || !EqualsNoCase(key, "URL")) return;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
          value = value.substr(1, value.size() - 2);
        url = std::string(value);
      });
  // "na" is what a shortcut without an address reads as.
  if (!url || url->empty() || *url == "na") return std::nullopt;
  return url;
}

DropItem ClassifyDrop(const DropData& data, bool extractUrl) {
  if (data.source == DropSource::kUrl) return DropItem{data.text, kDropLink};
  const fs::path path(data.text);
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return DropItem{data.text, kDropOther};
  if (fs::is_directory(status)) return DropItem{data.text, kDropFolder};
  const std::string lowerName = ToLower(path.filename().string());
  if (LooksLikeProgram(lowerName)) return DropItem{data.text, kDropProgram};
  // Only regular files are read: a named pipe would never answer.
  if (extractUrl && fs::is_regular_file(status)) {
    if (auto url = ShortcutUrl(path, lowerName))
      return DropItem{Bounded(FirstLine(*url)), kDropLink};
  }
  return DropItem{data.text, kDropFile};
}

std::string TextToInsert(const DropItem& item) {
  const bool path = item.action == kDropFolder || item.action == kDropFile;
  if (path && item.text.find(' ') != std::string::npos) return "\"" + item.text + "\"";
  return item.text;
}

DropHandler::DropHandler(BarHost& host, QWidget& owner, IUnknown* container,
                         std::function<void()> activate)
    : host_(host),
      owner_(&owner),
      container_(QueryAs<IvokEngineContainer>(container)),
      activate_(std::move(activate)) {}

bool DropHandler::DragOver(QDragMoveEvent& event) {
  const std::optional<Qt::DropAction> action = ActionFor(event.possibleActions());
  if (!action || !event.mimeData() || !UsableDropData(*event.mimeData())) {
    dragOver_ = false;
    event.ignore();
    return false;
  }
  dragOver_ = true;
  dragButtons_ = event.buttons();
  event.setDropAction(*action);
  event.accept();
  return true;
}

void DropHandler::DragLeft() { dragOver_ = false; }

void DropHandler::Drop(QDropEvent& event) {
  dragOver_ = false;
  const Qt::MouseButtons buttons = event.buttons() ? event.buttons() : dragButtons_;
  dragButtons_ = Qt::NoButton;
  const std::optional<Qt::DropAction> action = ActionFor(event.possibleActions());
  const std::optional<DropData> data =
      event.mimeData() ? UsableDropData(*event.mimeData()) : std::nullopt;
  if (!action || !data || !owner_) {
    event.ignore();
    return;
  }
  event.setDropAction(*action);
  event.accept();
  // Classified now: the data object is only valid while the drop event lasts.
  const DropItem item = ClassifyDrop(*data, host_.Settings().extractUrlOnDrop);
  const QPoint at = owner_->mapToGlobal(event.position().toPoint());
  const bool withMenu = UsesMenu(buttons);
  // The drop source waits for the drop event to return: the menu and the commands come after.
  QMetaObject::invokeMethod(
      owner_.data(), [this, item, withMenu, at] { RunDrop(item, withMenu, at); },
      Qt::QueuedConnection);
}

void DropHandler::RunDrop(const DropItem& item, bool withMenu, QPoint at) {
  // A drop that arrives while the menu of the previous one is open is dropped.
  if (dropInProgress_) return;
  dropInProgress_ = true;
  const QPointer<QWidget> owner = owner_;
  if (activate_) activate_();
  const int choice = withMenu ? ChooseFromDropMenu(item.action, at) : kDropCopyAsText;
  // The menu's event loop may have closed the bar, and this handler with it.
  if (!owner) return;
  dropInProgress_ = false;
  // A command may end the program: nothing of this handler is used after it.
  const ComPtr<IvokEngineContainer> container = container_;
  CarryOut(container.Get(), choice, item);
}

}  // namespace vok::bar
