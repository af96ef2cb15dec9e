#include "platform/shell/known_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/shell/paths.h"
#include "platform/shell/shell.h"
#include "platform/system/desktop_programs.h"
#include "platform/system/process_runner.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;

// An XDG base folder: the variable when it holds an absolute path, else its default below home.
std::string BaseFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return HomeFolder() + "/" + fallback;
}

std::string ConfigHome() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }
std::string DataHome() { return BaseFolder("XDG_DATA_HOME", ".local/share"); }

std::optional<std::string> UserDir(std::string_view key) {
  std::ifstream in(ConfigHome() + "/user-dirs.dirs");
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseUserDir(text, key, HomeFolder());
}

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

// The shell-style double-quoted value: "..." with \" \\ \$ \` escapes.
std::optional<std::string> Unquote(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) ++i;
    out.push_back(value[i]);
  }
  return out;
}

bool OpenInFileManager(const std::string& target) {
  return sys::CurrentProcessRunner().StartDetached({"xdg-open", target}, {});
}

bool OpenFolder(const std::optional<std::string>& path, bool create) {
  if (!path) return false;
  std::error_code error;
  if (create) fs::create_directories(*path, error);
  if (!fs::is_directory(*path, error)) return false;
  return Open(*path, Verb::kExplore);
}

}  // namespace

std::optional<std::string> ParseUserDir(std::string_view text, std::string_view key,
                                        const std::string& home) {
  const std::string name = "XDG_" + std::string(key) + "_DIR";
  std::optional<std::string> found;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::string entry = Trimmed(line);
    if (entry.empty() || entry.front() == '#') continue;
    size_t equals = entry.find('=');
    if (equals == std::string::npos || Trimmed(entry.substr(0, equals)) != name) continue;
    std::optional<std::string> value = Unquote(Trimmed(entry.substr(equals + 1)));
    if (!value) continue;
    if (value->rfind("$HOME", 0) == 0 && (value->size() == 5 || (*value)[5] == '/')) {
      found = home + value->substr(5);
    } else if (!value->empty() && value->front() == '/') {
      found = *value;
    }
  }
  // The file is sourced by shells: the last assignment wins.
  if (found && found->size() > 1 && found->back() == '/') found->pop_back();
  return found;
}

std::optional<std::string> KnownFolderPath(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kDesktop:
      return UserDir("DESKTOP").value_or(HomeFolder() + "/Desktop");
    case KnownFolder::kDocuments:
      return UserDir("DOCUMENTS").value_or(HomeFolder());
    case KnownFolder::kFavorites: {
      const char* quillo = std::getenv("QUILLO_HOME");
      if (quillo && quillo[0] == '/') return std::string(quillo) + "/bookmarks";
      return DataHome() + "/quillo/bookmarks";
    }
    case KnownFolder::kStartMenu:
      return DataHome() + "/applications";
    case KnownFolder::kStartup:
      return ConfigHome() + "/autostart";
    default:
      return std::nullopt;
  }
}

bool OpenKnownFolder(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kDesktop:
    case KnownFolder::kDocuments:
      return OpenFolder(KnownFolderPath(folder), false);
    case KnownFolder::kFavorites:
    case KnownFolder::kStartMenu:
    case KnownFolder::kStartup:
      return OpenFolder(KnownFolderPath(folder), true);
    case KnownFolder::kControlPanel:
      return sys::LaunchDesktopTool(sys::DesktopTool::kSettings);
    case KnownFolder::kPrinters:
      return sys::LaunchDesktopTool(sys::DesktopTool::kPrinters);
    case KnownFolder::kNetwork:
      return OpenInFileManager("network:///");
    case KnownFolder::kMyComputer:
      return OpenInFileManager("computer:///");
    case KnownFolder::kRecycleBin:
      return OpenInFileManager("trash:///");
    case KnownFolder::kInternet:
      return sys::LaunchDesktopTool(sys::DesktopTool::kWebBrowser);
  }
  return false;
}

}  // namespace vok::shell
