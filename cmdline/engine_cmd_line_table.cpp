// The built-in command table of vokEngineCmdLine. Words of one row share their handler; the
// file and system commands are carried out by the handlers of file_commands and
// system_commands, which reach the engine through its CommandContext.
#include "cmdline/engine_cmd_line.h"
#include "cmdline/file_commands.h"
#include "cmdline/resources/cmdline_strings.h"
#include "cmdline/system_commands.h"

using namespace vok::cmdline;

// clang-format off
const vokEngineCmdLine::CommandEntry vokEngineCmdLine::kCommands[] = {
    {&vokEngineCmdLine::OnCd, kIdsWordCd, kIdsSyntaxCd, kIdsDescCd, 0},
    {&vokEngineCmdLine::OnCd, kIdsWordChdir, kIdsSyntaxChdir, kIdsDescChdir, 0},
    {&vokEngineCmdLine::OnBack, kIdsWordBack, kIdsSyntaxBack, kIdsDescBack, 0},
    {&vokEngineCmdLine::OnForward, kIdsWordForward, kIdsSyntaxForward, kIdsDescForward, 0},
    {&vokEngineCmdLine::OnUp, kIdsWordUp, kIdsSyntaxUp, kIdsDescUp, 0},
    {&vokEngineCmdLine::OnBrowse, kIdsWordBrowse, kIdsSyntaxBrowse, kIdsDescBrowse, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordDel, kIdsSyntaxDel, kIdsDescDel, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordDelete, kIdsSyntaxDelete, kIdsDescDelete, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordErase, kIdsSyntaxErase, kIdsDescErase, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordRemove, kIdsSyntaxRemove, kIdsDescRemove, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordRm, kIdsSyntaxRm, kIdsDescRm, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordRd, kIdsSyntaxRd, kIdsDescRd, 0},
    {&vokEngineCmdLine::OnDel, kIdsWordRmdir, kIdsSyntaxRmdir, kIdsDescRmdir, 0},
    {&vokEngineCmdLine::OnRen, kIdsWordRen, kIdsSyntaxRen, kIdsDescRen, 0},
    {&vokEngineCmdLine::OnRen, kIdsWordRename, kIdsSyntaxRename, kIdsDescRename, 0},
    {&vokEngineCmdLine::OnCopy, kIdsWordCopy, kIdsSyntaxCopy, kIdsDescCopy, 0},
    {&vokEngineCmdLine::OnCopy, kIdsWordCp, kIdsSyntaxCp, kIdsDescCp, 0},
    {&vokEngineCmdLine::OnMove, kIdsWordMove, kIdsSyntaxMove, kIdsDescMove, 0},
    {&vokEngineCmdLine::OnMove, kIdsWordMv, kIdsSyntaxMv, kIdsDescMv, 0},
    {&vokEngineCmdLine::OnMd, kIdsWordMd, kIdsSyntaxMd, kIdsDescMd, 0},
    {&vokEngineCmdLine::OnMd, kIdsWordMkdir, kIdsSyntaxMkdir, kIdsDescMkdir, 0},
    {&vokEngineCmdLine::OnDir, kIdsWordDir, kIdsSyntaxDir, kIdsDescDir, 0},
    {&vokEngineCmdLine::OnDir, kIdsWordLs, kIdsSyntaxLs, kIdsDescLs, 0},
    {&vokEngineCmdLine::OnDir, kIdsWordExplore, kIdsSyntaxExplore, kIdsDescExplore, 0},
    {&vokEngineCmdLine::OnDate, kIdsWordDate, kIdsSyntaxDate, kIdsDescDate, 0},
    {&vokEngineCmdLine::OnDate, kIdsWordTime, kIdsSyntaxTime, kIdsDescTime, 0},
    {&vokEngineCmdLine::OnFavorites, kIdsWordFavorites, kIdsSyntaxFavorites, kIdsDescFavorites, 1},
    {&vokEngineCmdLine::OnRbin, kIdsWordRbin, kIdsSyntaxRbin, kIdsDescRbin, 0},
    {&vokEngineCmdLine::OnSystem, kIdsWordSystem, kIdsSyntaxSystem, kIdsDescSystem, 0},
    {&vokEngineCmdLine::OnDisplay, kIdsWordDisplay, kIdsSyntaxDisplay, kIdsDescDisplay, 0},
    {&vokEngineCmdLine::OnCpanel, kIdsWordCpanel, kIdsSyntaxCpanel, kIdsDescCpanel, 0},
    {&vokEngineCmdLine::OnMouse, kIdsWordMouse, kIdsSyntaxMouse, kIdsDescMouse, 0},
    {&vokEngineCmdLine::OnKeyb, kIdsWordKeyb, kIdsSyntaxKeyb, kIdsDescKeyb, 0},
    {&vokEngineCmdLine::OnNetwork, kIdsWordNetwork, kIdsSyntaxNetwork, kIdsDescNetwork, 0},
    {&vokEngineCmdLine::OnPrinters, kIdsWordPrinters, kIdsSyntaxPrinters, kIdsDescPrinters, 0},
    {&vokEngineCmdLine::OnMycomputer, kIdsWordMycomputer, kIdsSyntaxMycomputer, kIdsDescMycomputer, 0},
    {&vokEngineCmdLine::OnDesktop, kIdsWordDesktop, kIdsSyntaxDesktop, kIdsDescDesktop, 0},
    {&vokEngineCmdLine::OnDos, kIdsWordDos, kIdsSyntaxDos, kIdsDescDos, 0},
    {&vokEngineCmdLine::OnSet, kIdsWordSet, kIdsSyntaxSet, kIdsDescSet, 0},
    {&vokEngineCmdLine::OnContextmenu, kIdsWordContextmenu, kIdsSyntaxContextmenu, kIdsDescContextmenu, 0},
    {&vokEngineCmdLine::OnContextmenu, kIdsWordCtxmenu, kIdsSyntaxCtxmenu, kIdsDescCtxmenu, 0},
    {&vokEngineCmdLine::OnWhoami, kIdsWordWhoami, kIdsSyntaxWhoami, kIdsDescWhoami, 0},
    {&vokEngineCmdLine::OnProperties, kIdsWordProperties, kIdsSyntaxProperties, kIdsDescProperties, 0},
    {&vokEngineCmdLine::OnEject, kIdsWordEject, kIdsSyntaxEject, kIdsDescEject, 0},
    {&vokEngineCmdLine::OnPrint, kIdsWordPrint, kIdsSyntaxPrint, kIdsDescPrint, 0},
    {&vokEngineCmdLine::OnLogoff, kIdsWordLogoff, kIdsSyntaxLogoff, kIdsDescLogoff, 0},
    {&vokEngineCmdLine::OnReboot, kIdsWordReboot, kIdsSyntaxReboot, kIdsDescReboot, 0},
    {&vokEngineCmdLine::OnShutdown, kIdsWordShutdown, kIdsSyntaxShutdown, kIdsDescShutdown, 0},
    {&vokEngineCmdLine::OnPoweroff, kIdsWordPoweroff, kIdsSyntaxPoweroff, kIdsDescPoweroff, 0},
    {&vokEngineCmdLine::OnMapdrive, kIdsWordMapdrive, kIdsSyntaxMapdrive, kIdsDescMapdrive, 0},
    {&vokEngineCmdLine::OnDisconnect, kIdsWordDisconnect, kIdsSyntaxDisconnect, kIdsDescDisconnect, 0},
    {&vokEngineCmdLine::OnFindfile, kIdsWordFindfile, kIdsSyntaxFindfile, kIdsDescFindfile, 0},
    {&vokEngineCmdLine::OnFindcomputer, kIdsWordFindcomputer, kIdsSyntaxFindcomputer, kIdsDescFindcomputer, 0},
    {&vokEngineCmdLine::OnRundlg, kIdsWordRundlg, kIdsSyntaxRundlg, kIdsDescRundlg, 0},
    {&vokEngineCmdLine::OnStartmenu, kIdsWordStartmenu, kIdsSyntaxStartmenu, kIdsDescStartmenu, 0},
    {&vokEngineCmdLine::OnCalculator, kIdsWordEq, kIdsSyntaxEq, kIdsDescEq, 0},
    {&vokEngineCmdLine::OnCalculator, kIdsWordSubEq, kIdsSyntaxSubEq, kIdsDescSubEq, 0},
    {&vokEngineCmdLine::OnCalculator, kIdsWordAddEq, kIdsSyntaxAddEq, kIdsDescAddEq, 0},
    {&vokEngineCmdLine::OnCalculator, kIdsWordMulEq, kIdsSyntaxMulEq, kIdsDescMulEq, 0},
    {&vokEngineCmdLine::OnCalculator, kIdsWordDivEq, kIdsSyntaxDivEq, kIdsDescDivEq, 0},
    {&vokEngineCmdLine::OnNewfavorite, kIdsWordNewfavorite, kIdsSyntaxNewfavorite, kIdsDescNewfavorite, 0},
    {&vokEngineCmdLine::OnListfiles, kIdsWordListfiles, kIdsSyntaxListfiles, kIdsDescListfiles, 0},
    {nullptr},
};
// clang-format on

HRESULT vokEngineCmdLine::OnDel(IvokCommandParser* p) { return RunDelete(*this, p); }
HRESULT vokEngineCmdLine::OnRen(IvokCommandParser* p) { return RunRename(*this, p); }
HRESULT vokEngineCmdLine::OnCopy(IvokCommandParser* p) { return RunCopy(*this, p); }
HRESULT vokEngineCmdLine::OnMove(IvokCommandParser* p) { return RunMove(*this, p); }
HRESULT vokEngineCmdLine::OnMd(IvokCommandParser* p) { return RunMakeDir(*this, p); }
HRESULT vokEngineCmdLine::OnDir(IvokCommandParser* p) { return RunExplore(*this, p); }
HRESULT vokEngineCmdLine::OnDate(IvokCommandParser* p) { return RunDateTime(*this, p); }
HRESULT vokEngineCmdLine::OnRbin(IvokCommandParser* p) { return RunRecycleBin(*this, p); }
HRESULT vokEngineCmdLine::OnSystem(IvokCommandParser* p) { return RunSystemApplet(*this, p); }
HRESULT vokEngineCmdLine::OnDisplay(IvokCommandParser* p) { return RunDisplay(*this, p); }
HRESULT vokEngineCmdLine::OnCpanel(IvokCommandParser* p) { return RunControlPanel(*this, p); }
HRESULT vokEngineCmdLine::OnMouse(IvokCommandParser* p) { return RunMouse(*this, p); }
HRESULT vokEngineCmdLine::OnKeyb(IvokCommandParser* p) { return RunKeyboard(*this, p); }
HRESULT vokEngineCmdLine::OnNetwork(IvokCommandParser* p) { return RunNetwork(*this, p); }
HRESULT vokEngineCmdLine::OnPrinters(IvokCommandParser* p) { return RunPrinters(*this, p); }
HRESULT vokEngineCmdLine::OnMycomputer(IvokCommandParser* p) { return RunMyComputer(*this, p); }
HRESULT vokEngineCmdLine::OnDesktop(IvokCommandParser* p) { return RunDesktop(*this, p); }
HRESULT vokEngineCmdLine::OnDos(IvokCommandParser* p) { return RunDos(*this, p); }
HRESULT vokEngineCmdLine::OnSet(IvokCommandParser* p) { return RunSet(*this, p); }
HRESULT vokEngineCmdLine::OnContextmenu(IvokCommandParser* p) { return RunContextMenu(*this, p); }
HRESULT vokEngineCmdLine::OnWhoami(IvokCommandParser* p) { return RunWhoAmI(*this, p); }
HRESULT vokEngineCmdLine::OnProperties(IvokCommandParser* p) { return RunProperties(*this, p); }
HRESULT vokEngineCmdLine::OnEject(IvokCommandParser* p) { return RunEject(*this, p); }
HRESULT vokEngineCmdLine::OnPrint(IvokCommandParser* p) { return RunPrint(*this, p); }
HRESULT vokEngineCmdLine::OnLogoff(IvokCommandParser* p) { return RunLogoff(*this, p); }
HRESULT vokEngineCmdLine::OnReboot(IvokCommandParser* p) { return RunReboot(*this, p); }
HRESULT vokEngineCmdLine::OnShutdown(IvokCommandParser* p) { return RunShutdown(*this, p); }
HRESULT vokEngineCmdLine::OnPoweroff(IvokCommandParser* p) { return RunPoweroff(*this, p); }
HRESULT vokEngineCmdLine::OnMapdrive(IvokCommandParser* p) { return RunMapDrive(*this, p); }
HRESULT vokEngineCmdLine::OnDisconnect(IvokCommandParser* p) { return RunDisconnect(*this, p); }
HRESULT vokEngineCmdLine::OnFindfile(IvokCommandParser* p) { return RunFindFile(*this, p); }
HRESULT vokEngineCmdLine::OnFindcomputer(IvokCommandParser* p) { return RunFindComputer(*this, p); }
HRESULT vokEngineCmdLine::OnRundlg(IvokCommandParser* p) { return RunRunDialog(*this, p); }
HRESULT vokEngineCmdLine::OnStartmenu(IvokCommandParser* p) { return RunStartMenu(*this, p); }
HRESULT vokEngineCmdLine::OnListfiles(IvokCommandParser* p) { return RunListFiles(*this, p); }

// Expressions are evaluated by a script hosted through the browser helper, which this version
// does not have (the browser is never available): the calculator says so.
HRESULT vokEngineCmdLine::OnCalculator(IvokCommandParser*) {
  ReportError(kIdsCalculatorUnavailable);
  return S_OK;
}
