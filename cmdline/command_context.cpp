#include "cmdline/command_context.h"

#include "cmdline/resources/cmdline_strings.h"

namespace vok::cmdline {
namespace {

// Messages are loaded with at most this many bytes.
constexpr int kMessageRoom = 256;

}  // namespace

void CommandContext::ReportError(UINT id) {
  char text[kMessageRoom];
  LoadStringResource(&kCmdLineResources, id, text, kMessageRoom);
  ReportErrorText(text);
}

void CommandContext::ReportErrorText(std::string_view text) {
  IvokLog* log = Log();
  if (!log) return;
  log->Add(std::string(text).c_str(), kLogError);
  log->Show();
}

void CommandContext::ReportInfo(std::string_view text, bool show) {
  IvokLog* log = Log();
  if (!log) return;
  log->Add(std::string(text).c_str(), kLogInfo);
  if (show) log->Show();
}

void CommandContext::ShowLog() {
  if (IvokLog* log = Log()) log->Show();
}

}  // namespace vok::cmdline
