#include "platform/shell/desktop_entry.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "platform/shell/paths.h"
#include "platform/system/desktop_programs.h"
#include "platform/system/process_runner.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

// A string value with the escapes \s \n \t \r \\.
std::string Unescape(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out.push_back(value[i]);
      continue;
    }
    char next = value[++i];
    switch (next) {
      case 's':
        out.push_back(' ');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'r':
        out.push_back('\r');
        break;
      default:
        out.push_back(next);
        break;
    }
  }
  return out;
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = std::min(value.find(';', start), value.size());
    std::string item = Trimmed(value.substr(start, end - start));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

std::vector<std::string> DataFolders() {
  std::vector<std::string> folders;
  const char* home = std::getenv("XDG_DATA_HOME");
  folders.push_back(home && home[0] == '/' ? home : HomeFolder() + "/.local/share");
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = std::min(list.find(':', start), list.size());
    std::string dir = list.substr(start, end - start);
    if (!dir.empty() && dir.front() == '/') folders.push_back(dir);
    start = end + 1;
  }
  return folders;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Calls visit(key, value) for the keys of the [Desktop Entry] group. Localised keys
// (Name[de]) come as they stand, so callers asking for the plain key skip them.
template <typename Visit>
void ForEachDesktopEntryKey(std::string_view text, Visit&& visit) {
  bool inEntry = false;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::string entry = Trimmed(line);
    if (entry.empty() || entry.front() == '#') continue;
    if (entry.front() == '[') {
      inEntry = entry == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    visit(Trimmed(std::string_view(entry).substr(0, equals)),
          Trimmed(std::string_view(entry).substr(equals + 1)));
  }
}

}  // namespace

std::optional<DesktopApp> ParseDesktopEntry(std::string_view text, const std::string& id) {
  DesktopApp app;
  app.id = id;
  bool hidden = false;
  std::string type;
  ForEachDesktopEntryKey(text, [&](const std::string& key, const std::string& value) {
    if (key == "Type")
      type = value;
    else if (key == "Name")
      app.name = Unescape(value);
    else if (key == "Exec")
      app.exec = Unescape(value);
    else if (key == "Terminal")
      app.terminal = value == "true";
    else if (key == "Hidden")
      hidden = value == "true";
    else if (key == "MimeType")
      app.mimeTypes = SplitList(value);
  });
  if (type != "Application" || hidden || app.exec.empty()) return std::nullopt;
  if (app.name.empty()) app.name = id;
  return app;
}

std::optional<std::string> DesktopLinkUrl(std::string_view text) {
  std::string type, url;
  ForEachDesktopEntryKey(text, [&](const std::string& key, const std::string& value) {
    if (key == "Type") type = value;
    if (key == "URL") url = Unescape(value);
  });
  if (type != "Link" || url.empty()) return std::nullopt;
  return url;
}

std::optional<std::vector<std::string>> ExpandExec(const std::string& exec, const std::string& file,
                                                   const std::string& name) {
  std::vector<std::string> argv;
  std::string current;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size() &&
                 std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
        current.push_back(exec[++i]);
      } else {
        current.push_back(c);
      }
      continue;
    }
    if (c == ' ' || c == '\t') {
      if (inWord) argv.push_back(std::move(current));
      current.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '"') {
      quoted = true;
    } else if (c == '%' && i + 1 < exec.size()) {
      char code = exec[++i];
      if (code == 'f' || code == 'F' || code == 'u' || code == 'U')
        current += file;
      else if (code == 'c')
        current += name;
      else if (code == '%')
        current.push_back('%');
      // A field code alone that expands to nothing leaves no argument behind.
      if (current.empty() && (i + 1 == exec.size() || exec[i + 1] == ' ')) inWord = false;
    } else {
      current.push_back(c);
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) argv.push_back(std::move(current));
  if (argv.empty() || argv.front().empty()) return std::nullopt;
  return argv;
}

std::vector<DesktopApp> ApplicationsFor(const std::vector<std::string>& mimeTypes) {
  std::vector<DesktopApp> apps;
  std::set<std::string> seen;
  for (const std::string& folder : DataFolders()) {
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(fs::path(folder) / "applications", error), end;
         !error && it != end; it.increment(error))
      if (it->path().extension() == ".desktop") entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
      std::string id = entry.filename().string();
      if (!seen.insert(id).second) continue;  // an earlier folder's entry of that id wins
      std::optional<DesktopApp> app = ParseDesktopEntry(ReadFile(entry), id);
      if (!app) continue;
      bool handles =
          std::any_of(app->mimeTypes.begin(), app->mimeTypes.end(), [&](const std::string& type) {
            return std::find(mimeTypes.begin(), mimeTypes.end(), type) != mimeTypes.end();
          });
      if (handles) apps.push_back(std::move(*app));
    }
  }
  std::stable_sort(apps.begin(), apps.end(),
                   [](const DesktopApp& a, const DesktopApp& b) { return a.name < b.name; });
  return apps;
}

std::vector<std::string> MimeTypesOf(const std::string& path) {
  QMimeDatabase database;
  QMimeType type = database.mimeTypeForFile(QString::fromStdString(path));
  std::vector<std::string> types{type.name().toStdString()};
  for (const QString& ancestor : type.allAncestors()) types.push_back(ancestor.toStdString());
  return types;
}

bool LaunchApplication(const DesktopApp& app, const std::string& file) {
  std::optional<std::vector<std::string>> argv = ExpandExec(app.exec, file, app.name);
  if (!argv) return false;
  sys::ProcessRunner& runner = sys::CurrentProcessRunner();
  if (app.terminal) {
    argv = sys::TerminalCommand(*argv, runner, sys::DesktopEnvironment::FromProcess());
    if (!argv) return false;
  }
  return runner.StartDetached(*argv, fs::path(file).parent_path().string());
}

}  // namespace vok::shell
