// Handlers of the system commands of the command-line engine's table: the settings pages
// (date, time, system, display, mouse, keyb), the shell folders (cpanel, network, printers,
// mycomputer, desktop), the terminal (dos), the environment (set), the user (whoami),
// removable media (eject), the session (logoff, reboot, shutdown, poweroff), network drives
// (mapdrive, disconnect) and the desktop shortcuts (findfile, findcomputer, rundlg,
// startmenu).
//
// | command      | on Linux (silent when nothing is installed)                          |
// |--------------|----------------------------------------------------------------------|
// | date, time   | the settings program's date and time page                            |
// | system       | the settings program's system information page                       |
// | display      | the display settings                                                 |
// | mouse        | the mouse settings                                                   |
// | keyb         | the keyboard settings                                                |
// | cpanel       | the settings program                                                 |
// | network      | network:/// in the file manager                                      |
// | printers     | the printer settings                                                 |
// | mycomputer   | computer:/// in the file manager                                     |
// | desktop      | the XDG desktop folder in the file manager                           |
// | dos          | a terminal in the current directory; with a command, `sh -c COMMAND` |
// | eject        | udisksctl unmount + power-off, or the CD-ROM eject ioctl             |
// | logoff       | loginctl terminate-session $XDG_SESSION_ID                           |
// | reboot       | systemctl reboot                                                     |
// | shutdown     | systemctl poweroff                                                   |
// | poweroff     | systemctl poweroff                                                   |
// | mapdrive     | gio mount URI, the address asked in a small dialog                   |
// | disconnect   | gio mount -u URI, chosen from the mounted network locations          |
// | findfile     | a file-search tool                                                   |
// | findcomputer | network:/// in the file manager                                     |
// | rundlg       | the desktop's run dialog                                             |
// | startmenu    | the desktop's application launcher                                   |
// (The programs tried for each are listed in platform/system/desktop_programs.h.)
//
// Each handler returns S_OK after reporting through the context's log, except `set`, which
// returns E_FAIL when the environment cannot be read.
#pragma once

#include <string>

#include "cmdline/command_context.h"
#include "common/parser_ifaces.h"
#include "common/vok_types.h"

namespace vok::cmdline {

HRESULT RunDateTime(CommandContext& context, IvokCommandParser* parser);
HRESULT RunSystemApplet(CommandContext& context, IvokCommandParser* parser);
HRESULT RunDisplay(CommandContext& context, IvokCommandParser* parser);
HRESULT RunMouse(CommandContext& context, IvokCommandParser* parser);
HRESULT RunKeyboard(CommandContext& context, IvokCommandParser* parser);
HRESULT RunControlPanel(CommandContext& context, IvokCommandParser* parser);
HRESULT RunNetwork(CommandContext& context, IvokCommandParser* parser);
HRESULT RunPrinters(CommandContext& context, IvokCommandParser* parser);
HRESULT RunMyComputer(CommandContext& context, IvokCommandParser* parser);
HRESULT RunDesktop(CommandContext& context, IvokCommandParser* parser);
HRESULT RunDos(CommandContext& context, IvokCommandParser* parser);
HRESULT RunSet(CommandContext& context, IvokCommandParser* parser);
HRESULT RunWhoAmI(CommandContext& context, IvokCommandParser* parser);
HRESULT RunEject(CommandContext& context, IvokCommandParser* parser);
HRESULT RunLogoff(CommandContext& context, IvokCommandParser* parser);
HRESULT RunReboot(CommandContext& context, IvokCommandParser* parser);
HRESULT RunShutdown(CommandContext& context, IvokCommandParser* parser);
HRESULT RunPoweroff(CommandContext& context, IvokCommandParser* parser);
HRESULT RunMapDrive(CommandContext& context, IvokCommandParser* parser);
HRESULT RunDisconnect(CommandContext& context, IvokCommandParser* parser);
HRESULT RunFindFile(CommandContext& context, IvokCommandParser* parser);
HRESULT RunFindComputer(CommandContext& context, IvokCommandParser* parser);
HRESULT RunRunDialog(CommandContext& context, IvokCommandParser* parser);
HRESULT RunStartMenu(CommandContext& context, IvokCommandParser* parser);

// The command line after its command word, exactly as typed (quotes kept, blanks at the ends
// removed): what `dos` hands to `sh -c`, where quoting matters.
std::string RawArgumentText(IvokCommandParser* parser);

}  // namespace vok::cmdline
