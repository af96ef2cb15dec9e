#include "cmdline/cmdline_icons.h"

#include <mutex>

#include "common/shell_exec_ifaces.h"

// Outside any namespace: the resource initialiser is a global function. Calling it keeps the
// linker from dropping the resources from this static library.
static void InitCmdLineIcons() { Q_INIT_RESOURCE(cmdline_icons); }

namespace vok::cmdline {

QIcon ThemeIcon(const char* themeName, const char* fallback) {
  static std::once_flag loaded;
  std::call_once(loaded, InitCmdLineIcons);
  return QIcon::fromTheme(QString::fromLatin1(themeName),
                          QIcon(QStringLiteral(":/vokCmdLine/") + QLatin1String(fallback)));
}

QIcon ViewIcon(LONG view) {
  switch (view) {
    case kViewLargeIcons:
      return ThemeIcon("view-list-icons", "large_icons.xpm");
    case kViewSmallIcons:
      return ThemeIcon("view-list-compact", "small_icons.xpm");
    case kViewList:
      return ThemeIcon("view-list-text", "list.xpm");
    case kViewDetails:
      return ThemeIcon("view-list-details", "details.xpm");
    default:
      return {};
  }
}

}  // namespace vok::cmdline
