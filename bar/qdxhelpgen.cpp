// qdxhelpgen LIBRARY_DIR OUTPUT: writes the help's command reference page to OUTPUT from the
// engines the program creates. The component libraries of LIBRARY_DIR are registered in a
// scratch home (HOME, QUILLO_HOME and the XDG folders point at a temporary folder, removed at
// the end), so the run never touches the user's settings; the container is created with the
// program's engine list and the in-process user-interface engine, as the bar does. Runs on
// Qt's offscreen platform. Exit status 0 on success, 1 on a failure, 2 for bad usage.
#include <dlfcn.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "bar/application.h"
#include "bar/class_objects.h"
#include "bar/headless.h"
#include "bar/help_reference.h"
#include "bar/log.h"
#include "common/scratch_home.h"

#ifndef QUILLO_VERSION
#error "QUILLO_VERSION must be defined by the build (the project version)"
#endif

namespace {

namespace fs = std::filesystem;

// The libraries the installation registers.
const char* const kLibraries[] = {"vokEngine", "vokTools", "vokCmdLine", "vokCtl", "vokFileView"};

void Complain(const std::string& text) { std::fprintf(stderr, "qdxhelpgen: %s\n", text.c_str()); }

// Registers lib<name>.so of `dir` as vokregsvr would; the library stays loaded for the run.
bool RegisterLibrary(const fs::path& dir, const std::string& name) {
  const std::string path = (dir / ("lib" + name + ".so")).string();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    Complain("cannot load " + path + ": " + dlerror());
    return false;
  }
  auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllRegisterServer"));
  if (!registerServer || FAILED(registerServer())) {
    Complain("cannot register " + path);
    return false;
  }
  return true;
}

// Written beside the target and renamed, so a failed run never leaves half a page behind.
bool WritePage(const fs::path& target, const std::string& page) {
  const fs::path temporary = target.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << page;
    if (!out.flush()) {
      Complain("cannot write " + temporary.string());
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) Complain("cannot write " + target.string() + ": " + error.message());
  return !error;
}

int Generate(const fs::path& libraryDir, const fs::path& output) {
  for (const char* name : kLibraries)
    if (!RegisterLibrary(libraryDir, name)) return 1;

  // Messages go to the error output instead of a window, answered as a headless run would.
  vok::bar::HeadlessOutput messages(stderr);
  vok::bar::HeadlessPrompter prompter(messages);
  vok::ui::ScopedPrompter scopedPrompter(&prompter);
  vok::bar::LogObserver previous = vok::bar::SetLogObserver([](const std::string& text, LONG type) {
    if (type == kLogError) Complain("log: " + text);
  });

  vok::bar::CommandReference reference;
  HRESULT hr = E_FAIL;
  {
    vok::bar::ApplicationSeams seams;
    seams.programDir = fs::path(vok::bar::ProgramFile()).parent_path().string();
    vok::bar::Application app(vok::bar::RunMode::kHeadless, std::move(seams));
    if (app.CreateComponents()) hr = vok::bar::ReadCommandReference(app.Container(), &reference);
  }
  vok::bar::SetLogObserver(std::move(previous));
  if (FAILED(hr) || reference.empty()) {
    char status[16];
    std::snprintf(status, sizeof status, "0x%08X", static_cast<unsigned>(hr));
    Complain(std::string("cannot read the command tables (status ") + status + ")");
    return 1;
  }
  return WritePage(output, vok::bar::RenderCommandReference(reference, QUILLO_VERSION)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: qdxhelpgen LIBRARY_DIR OUTPUT\n", stderr);
    return 2;
  }
  const fs::path libraryDir = fs::absolute(argv[1]);
  const fs::path output = fs::absolute(argv[2]);
  vok::ScratchHome home("qdxhelpgen-");
  if (!home.Ready()) {
    Complain("cannot create a temporary folder");
    return 1;
  }
  // The offscreen platform through the arguments: no display is needed or touched.
  std::string program = argv[0];
  std::string platformSwitch = "-platform";
  std::string platform = "offscreen";
  char* qtArgv[] = {program.data(), platformSwitch.data(), platform.data(), nullptr};
  int qtArgc = 3;
  QApplication qt(qtArgc, qtArgv);
  return Generate(libraryDir, output);
}
