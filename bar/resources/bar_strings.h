// The bar program's string table: window texts, messages, the user-interface engine's command
// words, syntax lines and descriptions. Identifiers are the program's own numbering.
#pragma once

#include "common/string_table.h"

namespace vok::bar {

// The program's module handle for string loading (HMODULE of the program's components).
const ModuleResources& BarResources();
// The whole text of string `id`, "" when unknown.
std::string BarString(UINT id);

enum BarStringId : UINT {
  kIdsAppName = 1,           // "Quillo": window title, tray tip
  kIdsDefaultExtension = 2,  // ".qdx"
  kIdsFileFilter = 3,        // the open and save dialogs' filter
  kIdsMinimizeToTray = 102,  // tool-strip tooltips
  kIdsClose = 103,
  kIdsUiCategory = 177,  // "User Interface Commands"

  // ---- Start-up and shutdown ----
  kIdsAlreadyRunning = 300,
  kIdsOleInitFailed = 301,
  kIdsNotInstalled = 302,
  kIdsSaveQuestion = 303,
  kIdsNotRecognized = 304,
  kIdsNoDisplay = 305,
  kIdsDataFileDefaults = 306,  // "%s" = path
  kIdsDataFileSaveFailed = 307,
  kIdsHotKeyTaken = 308,
  kIdsOpenDataFileTitle = 309,
  kIdsSaveDataFileTitle = 310,
  kIdsDataFileOpenFailed = 311,

  // ---- The user-interface engine's messages ----
  kIdsWrongParameter = 320,
  kIdsAutohideOn = 321,
  kIdsAutohideOff = 322,
  kIdsDockedBottom = 323,
  kIdsDockedTop = 324,
  kIdsFloating = 325,
  kIdsCannotMinimizeDocked = 326,
  kIdsOnTopOn = 327,
  kIdsOnTopOff = 328,
  kIdsAutoMinimizeOn = 329,
  kIdsAutoMinimizeOff = 330,
  kIdsAutoMinimizeDocked = 331,
  kIdsPauseCaption = 332,
  kIdsPauseDefault = 333,
  kIdsWindowNotFound = 334,
  kIdsDesktopUnavailable = 335,
  kIdsExperimentEngine = 336,  // "Experiment UI Engine": no command uses it

  // ---- The user-interface engine's command table: word, syntax, description ----
  kIdsCmdMenu = 400,
  kIdsSynMenu,
  kIdsDescMenu,
  kIdsCmdExit = 403,
  kIdsSynExit,
  kIdsDescExit,
  kIdsCmdQuit = 406,
  kIdsSynQuit,
  kIdsDescQuit,
  kIdsCmdOptions = 409,
  kIdsSynOptions,
  kIdsDescOptions,
  kIdsCmdFile = 412,
  kIdsSynFile,
  kIdsDescFile,
  kIdsCmdAutohide = 415,
  kIdsSynAutohide,
  kIdsDescAutohide,
  kIdsCmdDock = 418,
  kIdsSynDock,
  kIdsDescDock,
  kIdsCmdLog = 421,
  kIdsSynLog,
  kIdsDescLog,
  kIdsCmdMinimize = 424,
  kIdsSynMinimize,
  kIdsDescMinimize,
  kIdsCmdRestore = 427,
  kIdsSynRestore,
  kIdsDescRestore,
  kIdsCmdOntop = 430,
  kIdsSynOntop,
  kIdsDescOntop,
  kIdsCmdPause = 433,
  kIdsSynPause,
  kIdsDescPause,
  kIdsCmdScrsaver = 436,
  kIdsSynScrsaver,
  kIdsDescScrsaver,
  kIdsCmdHelp = 439,
  kIdsSynHelp,
  kIdsDescHelp,
  kIdsCmdAutominimize = 442,
  kIdsSynAutominimize,
  kIdsDescAutominimize,
  kIdsCmdShowdesktop = 445,
  kIdsSynShowdesktop,
  kIdsDescShowdesktop,
  kIdsCmdWinmove = 448,
  kIdsSynWinmove,
  kIdsDescWinmove,
  kIdsCmdWinsize = 451,
  kIdsSynWinsize,
  kIdsDescWinsize,
  kIdsCmdMaximize = 454,
  kIdsSynMaximize,
  kIdsDescMaximize,
  kIdsCmdClose = 457,
  kIdsSynClose,
  kIdsDescClose,
  kIdsCmdUiexper = 460,

  // ---- The options sheet and its General page (helper: options) ----
  kIdsPageGeneral = 500,           // the General page's tab title
  kIdsConfirmDeleteItem = 501,     // context-folder removal question
  kIdsSelectContextFolder = 502,   // folder browser title
  kIdsSetHotKeyCaption = 503,      // "Set Hot Key"
  kIdsSetHotKeyText = 504,         // what the "Set Hot Key" dialog asks for
  kIdsContextFolderCaption = 505,  // "Application Context Folder"
  kIdsApplyFailed = 506,           // "%s" = page title, "%e" = the failure's text

  // ---- Context folders (helper: drop) ----
  kIdsContextFolderNotFound = 520,  // "%s" = the folder

  kIdsProgramName = 57344,  // "Quillo", drawn on the start-up window
};

}  // namespace vok::bar
