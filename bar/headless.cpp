#include "bar/headless.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <filesystem>

#include "bar/application.h"
#include "bar/log.h"
#include "bar/typed_line.h"
#include "common/text_util.h"

namespace vok::bar {
namespace {

constexpr char kUsage[] =
    "usage: quillo --headless [--data PATH] [--save] --exec LINE [--exec LINE ...]\n";

// Panel command identifiers, as the bar window numbers its panels.
constexpr LONG kFirstPanelId = 130;
constexpr LONG kLastPanelId = 134;

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The program folder, from the program file.
std::string ProgramDir() { return std::filesystem::path(ProgramFile()).parent_path().string(); }

}  // namespace

bool IsHeadlessRun(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--headless") return true;
  return false;
}

std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args) {
  HeadlessOptions options;
  bool headless = false;
  bool dataGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--headless") {
      headless = true;
    } else if (arg == "--save") {
      options.save = true;
    } else if (arg == "--data" && hasValue && !dataGiven && !args[i + 1].empty()) {
      options.dataPath = args[++i];
      dataGiven = true;
    } else if (arg == "--exec" && hasValue) {
      options.lines.push_back(args[++i]);
    } else {
      return std::nullopt;
    }
  }
  if (!headless || options.lines.empty()) return std::nullopt;
  return options;
}

// ---------------------------------------------------------------------------------------------

void HeadlessOutput::Write(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    for (char c : fields[i]) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
  }
  line += '\n';
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
}

void HeadlessOutput::LogEntry(const std::string& text, LONG type) {
  const char* kind = type == kLogInfo ? "I" : type == kLogError ? "E" : "L";
  Write({kind, text});
}

void HeadlessOutput::MessageBox(const std::string& caption, const std::string& text) {
  Write({"M", caption, text});
}

ui::Answer HeadlessPrompter::Ask(const ui::Message& message) {
  output_.MessageBox(message.caption, message.text);
  switch (message.buttons) {
    case ui::Buttons::kOk:
      return ui::Answer::kOk;
    case ui::Buttons::kYesNo:
      return ui::Answer::kNo;
    case ui::Buttons::kOkCancel:
    case ui::Buttons::kYesNoCancel:
      break;
  }
  return ui::Answer::kCancel;
}

int HeadlessPrompter::Exec(QDialog&) { return QDialog::Rejected; }

// ---------------------------------------------------------------------------------------------

namespace {

// One headless run over a created application.
class HeadlessRun {
 public:
  HeadlessRun(Application& app, const HeadlessOptions& options) : app_(app), options_(options) {}

  int Run() {
    CreatePanels();
    const bool loaded = Load();
    int status = RunLines();
    if (options_.save && !Save(loaded)) status = kHeadlessFailed;
    // The panels' windows go before the container, as the bar window would.
    panels_.Reset();
    hidden_.reset();
    return status;
  }

 private:
  void CreatePanels() {
    hidden_ = std::make_unique<QWidget>();
    panels_ = QueryAs<IvokPanelBar>(app_.Container());
    if (!panels_) return;
    if (FAILED(panels_->CreatePanels(hidden_.get(), kFirstPanelId, kLastPanelId))) {
      panels_.Reset();
      return;
    }
    panels_->SelectPanel(kPanelShowSelected);
  }

  // False when a file was there and could not be read.
  bool Load() {
    if (options_.dataPath.empty()) return app_.LoadLastDataFile();
    std::error_code error;
    const std::string path = std::filesystem::absolute(options_.dataPath, error).string();
    // A file named on the command line that is not there yet is a new data file.
    if (!std::filesystem::exists(path, error)) {
      app_.SetCurrentFile(path);
      return true;
    }
    return app_.LoadAutomatically(path);
  }

  int RunLines() {
    ComPtr<IUnknown> engine;
    if (app_.Container())
      app_.Container()->GetEngineByIface(IvokCmdLineUI::kIID, engine.ReleaseAndGetAddressOf());
    ComPtr<IvokCmdLineUI> commandLine = QueryAs<IvokCmdLineUI>(engine.Get());
    int status = kHeadlessOk;
    for (const std::string& line : options_.lines) {
      const bool blank = IsBlank(line);
      HRESULT hr = commandLine ? commandLine->InsertText(line.c_str()) : E_NOINTERFACE;
      if (SUCCEEDED(hr)) hr = RunTypedLine(panels_.Get(), app_.Log(), blank);
      if (TypedLineFailed(hr, blank)) status = kHeadlessFailed;
      if (app_.Closing()) break;
    }
    return status;
  }

  // A file that could not be read is never replaced: it may still be rescued.
  bool Save(bool loaded) {
    const std::string& path = app_.CurrentFile();
    if (!loaded || path.empty()) {
      std::fputs(loaded ? "quillo: --save: no data file to save to\n"
                        : "quillo: --save: the data file could not be read; it was not replaced\n",
                 stderr);
      return false;
    }
    return app_.SaveTo(path);
  }

  Application& app_;
  const HeadlessOptions& options_;
  std::unique_ptr<QWidget> hidden_;
  ComPtr<IvokPanelBar> panels_;
};

}  // namespace

int RunHeadless(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<HeadlessOptions> options = ParseHeadlessOptions(args);
  if (!options) {
    std::fputs(kUsage, stderr);
    return kHeadlessUsage;
  }
  // The offscreen platform through the arguments, not the environment, so that programs the
  // lines start do not inherit it.
  std::string program = argc > 0 ? argv[0] : "quillo";
  std::string platformSwitch = "-platform";
  std::string platform = "offscreen";
  char* qtArgv[] = {program.data(), platformSwitch.data(), platform.data(), nullptr};
  int qtArgc = 3;
  QApplication qt(qtArgc, qtArgv);
  QApplication::setQuitOnLastWindowClosed(false);

  HeadlessOutput output(stdout);
  HeadlessPrompter prompter(output);
  ui::ScopedPrompter scopedPrompter(&prompter);
  LogObserver previous =
      SetLogObserver([&](const std::string& text, LONG type) { output.LogEntry(text, type); });

  int status = kHeadlessFailed;
  {
    ApplicationSeams seams;
    seams.programDir = ProgramDir();
    Application app(RunMode::kHeadless, std::move(seams));
    if (app.CreateComponents()) status = HeadlessRun(app, *options).Run();
  }
  SetLogObserver(std::move(previous));
  return status;
}

}  // namespace vok::bar
