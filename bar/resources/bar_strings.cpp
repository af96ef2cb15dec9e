#include "bar/resources/bar_strings.h"

#include <iterator>

namespace vok::bar {
namespace {

// Sorted by identifier.
constexpr StringResource kStrings[] = {
    {1, "Quillo"},
    {2, ".qdx"},
    {3, "Quillo Files (*.qdx)|*.qdx|All Files (*.*)|*.*||"},
    {102, "Minimize to tray"},
    {103, "Close"},
    {177, "User Interface Commands"},
    {300, "Quillo is already running and cannot be run twice."},
    {301, "OLE Init Failed"},
    {302,
     "The Quillo was not installed properly.  One or more of its components are not registered.  "
     "Use setup, please, and reinstall the program."},
    {303, "Do you want to save last changes ?"},
    {304, "Entered name is not recognized as a command or operable program."},
    {305, "Quillo needs a graphical desktop: no display is available."},
    {306, "The data file %s could not be read; Quillo starts with default settings."},
    {307, "The data file %s could not be saved."},
    {308, "The hot key is held by another program; choose another one in the options."},
    {309, "Open"},
    {310, "Save As"},
    {311, "The data file %s could not be opened."},
    {320, "Missing or wrong parameter(s).  See help or use quick help."},
    {321, "Autohide is on."},
    {322, "Autohide is off."},
    {323, "Toolbar is docked on bottom."},
    {324, "Toolbar is docked on top."},
    {325, "Toolbar is floating."},
    {326, "Window cannot be minimized or restored when docked."},
    {327, "Always on top is on."},
    {328, "Always on top is off."},
    {329, "Auto-minimize is on."},
    {330, "Auto-minimize is off."},
    {331, "Auto-minimize cannot be set or reset when window is docked."},
    {332, "Pause"},
    {333, "Press Enter to continue ..."},
    {334, "Window with the specifed string inside window title was not found."},
    {335, "This needs an X11 desktop with a window manager; none is available."},
    {336, "Experiment UI Engine"},
    {400, "menu"},
    {401, " "},
    {402, "Tracks main menu."},
    {403, "exit"},
    {404, " "},
    {405, "Exit Quillo."},
    {406, "quit"},
    {407, " "},
    {408, "Exit Quillo."},
    {409, "options"},
    {410, " "},
    {411, "Display options property sheet."},
    {412, "file"},
    {413, "[open | save | saveas]"},
    {414, "Open, save or save as the data file."},
    {415, "autohide"},
    {416, "[on | off]"},
    {417, "Switch autohide on or off."},
    {418, "dock"},
    {419, "[top | bottom | on | off]"},
    {420, "Dock toolbar top/bottom or make it floating."},
    {421, "log"},
    {422, "[clear]"},
    {423, "Show or clear log file."},
    {424, "minimize"},
    {425, "[all | window_title -- either whole title or substring inside window title] "},
    {426, "Minimize Quillo main window or all windows or window with specified window title."},
    {427, "restore"},
    {428, "[window_title -- either whole title or substring inside window title]"},
    {429, "Restore Quillo main window or window with specified window title."},
    {430, "ontop"},
    {431, "[on | off]"},
    {432, "Switch on/off the always on top option."},
    {433, "pause"},
    {434, "[text]"},
    {435, "Display pause message box with default or the specified text."},
    {436, "scrsaver"},
    {437, " "},
    {438, "Activate currently set screen saver."},
    {439, "help"},
    {440, " "},
    {441, "Open the Quillo help."},
    {442, "autominimize"},
    {443, "[on | off]"},
    {444, "Switch on/off the auto-minimize (Quillo is minimized to tray area when loses focus)."},
    {445, "showdesktop"},
    {446, " "},
    {447, "Show desktop -- minimize all windows."},
    {448, "winmove"},
    {449, "window_title -- either whole title or substring inside window title"},
    {450,
     "Invoke move command on the specified window.  Use arrow keys to move the window and press "
     "Enter when finished."},
    {451, "winsize"},
    {452, "window_title -- either whole title or substring inside window title"},
    {453,
     "Invoke size command on the specfied window.  Use arrow keys to size window and press Enter "
     "when finished."},
    {454, "maximize"},
    {455, "window_title -- either whole title or substring inside window title"},
    {456, "Maximize the specified window."},
    {457, "close"},
    {458, "window_title -- either whole title or substring inside window title"},
    {459, "Close the specified window."},
    {460, "uiexper"},
    {57344, "Quillo"},
};

}  // namespace

const ModuleResources& BarResources() {
  static const ModuleResources resources{"bar", kStrings, std::size(kStrings)};
  return resources;
}

std::string BarString(UINT id) { return LoadStringResource(&BarResources(), id); }

}  // namespace vok::bar
