// Opening what no other engine took. The first token is the thing to open and the others are
// its arguments, each handed over exactly as the parser produced it: they are never joined
// into one line and never pass through a command interpreter, so blanks, quotes and "$(...)"
// arrive as typed. Paths keep their letter case (Linux names are case-sensitive).
#include <unistd.h>

#include <filesystem>
#include <new>

#include "cmdline/engine_shell_exec.h"
#include "cmdline/file_management_window.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/shell/paths.h"
#include "platform/shell/shell.h"

using namespace vok::cmdline;

namespace {

namespace fs = std::filesystem;

std::string ProcessCurrentDirectory() {
  std::error_code error;
  fs::path cwd = fs::current_path(error);
  return error ? std::string("/") : cwd.string();
}

// Every token of the parsed line, the command word first.
HRESULT ReadTokens(IvokCommandParser* parser, std::vector<std::string>* tokens) {
  ComPtr<IvokEnumArgs> args = QueryAs<IvokEnumArgs>(parser);
  if (!args) return E_NOINTERFACE;
  args->Reset();
  for (;;) {
    char* raw = nullptr;
    ULONG fetched = 0;
    HRESULT hr = args->Next(1, &raw, &fetched);
    vok::TaskString token(raw);
    if (hr != S_OK || !token) break;
    tokens->emplace_back(token.get());
  }
  return S_OK;
}

bool HasWebPrefix(const std::string& word) {
  std::string_view prefix = std::string_view(word).substr(0, 4);
  return vok::EqualsNoCase(prefix, "www.") || vok::EqualsNoCase(prefix, "web.");
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != text.npos; }

// A web address's "?" after its first "/" starts the query, so only its host part can make it
// a wildcard word.
bool IsWildcardWord(const std::string& word, bool web) {
  std::string_view text = word;
  if (web) text = text.substr(0, text.find('/'));
  return HasWildcard(text);
}

bool IsUsableDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error) && access(path.c_str(), X_OK) == 0;
}

// `path` without "." and ".." steps and without a trailing "/" (except the root itself).
std::string NormalDirectory(const std::string& path) {
  std::string normal = fs::path(path).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

}  // namespace

// A filter command answers for itself, whatever its result (a failing filter command must not
// go on to start a program of the same name); everything the table declines is opened.
HRESULT vokEngineShellExec::EngineCommand(IUnknown* pParserUnk) {
  HRESULT hr = TableCommand(pParserUnk);
  if (hr != S_FALSE) return hr;
  ComPtr<IvokCommandParser> parser;
  hr = pParserUnk->QueryInterface(IvokCommandParser::kIID, parser.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  try {
    std::vector<std::string> tokens;
    hr = ReadTokens(parser.Get(), &tokens);
    if (FAILED(hr)) return hr;
    // A line of blanks names nothing to open.
    if (tokens.empty()) return S_FALSE;
    std::string word = std::move(tokens.front());
    tokens.erase(tokens.begin());
    return Open(word, tokens);
  } catch (const std::bad_alloc&) {
    return E_ABORT;
  }
}

// 1. The word as the desktop opens it: a program (by path or in PATH) with the arguments, a
//    file or folder with its application, a URL.
// 2. "www." or "web." names a web address even without a scheme.
// 3. A word with wildcards opens the File Management window on its folder.
// 4. Otherwise the word is taken as a path below the current directory.
// S_OK when something was opened, S_FALSE when nothing could be.
HRESULT vokEngineShellExec::Open(const std::string& word,
                                 const std::vector<std::string>& arguments) {
  const std::string cwd = ProcessCurrentDirectory();
  if (vok::shell::OpenWithArguments(word, arguments, cwd)) return S_OK;
  const bool web = HasWebPrefix(word);
  const bool wildcard = IsWildcardWord(word, web);
  if (web && !wildcard) {
    // Only the address is lower-cased: it never reaches the file system.
    bool opened = vok::shell::Open("http://" + vok::ToLower(word), vok::shell::Verb::kOpen, cwd);
    return opened ? S_OK : S_FALSE;
  }
  if (wildcard) return OpenWildcardWord(word, cwd);
  std::string target = vok::shell::FullPath(word, cwd);
  return vok::shell::OpenWithArguments(target, arguments, cwd) ? S_OK : S_FALSE;
}

// The folder part names the folder to show (the current directory when there is none) and the
// file part is the entered filter. The window belongs to the full bar only.
HRESULT vokEngineShellExec::OpenWildcardWord(const std::string& word, const std::string& cwd) {
  if (hintLevel() != 1) return E_FAIL;
  std::string path = vok::shell::FullPath(word, cwd);
  size_t slash = path.rfind('/');
  std::string directory = slash == 0 ? "/" : path.substr(0, slash);
  // Checked as typed, so that the kernel follows every step ("a*/.." names no folder).
  if (!IsUsableDirectory(directory)) {
    ReportError(kIdsPathNotFound);
    return S_OK;
  }
  return RunFileManagement(NormalDirectory(directory), path.substr(slash + 1));
}

HRESULT vokEngineShellExec::RunFileManagement(const std::string& directory,
                                              const std::string& filter) {
  if (!fileView_) return E_FAIL;
  FileManagementHost host;
  host.settings = this;
  host.fileView = fileView_.Get();
  host.container = container();
  host.openWindow = &openWindow_;
  return RunFileManagementWindow(host, directory, filter);
}

std::string vokEngineShellExec::CurrentDirectory() const {
  if (navigator_ && navigator_->IsDrivesSet() != S_OK) {
    std::string dir(kPathBufferSize, '\0');
    if (SUCCEEDED(navigator_->GetCurrentDir(dir.data()))) {
      dir.resize(std::char_traits<char>::length(dir.c_str()));
      if (!dir.empty()) return dir;
    }
  }
  return ProcessCurrentDirectory();
}
