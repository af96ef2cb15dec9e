// The command-line library's images: the icon theme's icon where the theme has it, else the
// library's built-in one (resources/cmdline_icons.qrc). The view buttons of the filters page
// and of the File Management window show the same images.
#pragma once

#include <QIcon>

#include "common/vok_types.h"

namespace vok::cmdline {

// The theme's icon `themeName`, else the built-in image `fallback` ("back.xpm", "filter.xpm" ...).
QIcon ThemeIcon(const char* themeName, const char* fallback);

// The image of list view `view` (kViewLargeIcons .. kViewDetails); a null icon for another
// number.
QIcon ViewIcon(LONG view);

}  // namespace vok::cmdline
