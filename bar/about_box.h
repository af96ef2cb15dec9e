// The about box: program name and version, the build string, and a button that opens the page
// of the other products below the program's help folder. Modal through the prompter, so tests
// answer it without a window blocking.
#pragma once

class QWidget;

namespace vok::bar {

class BarHost;

// Dialog-item ids of the about box's controls.
constexpr int kAboutBuildId = 1018;
constexpr int kAboutOtherProductsId = 1019;

// Shows the about box owned by `owner` (may be null); "&Other Products" calls
// host.OpenHelp("qdxother.htm").
void ShowAboutBox(QWidget* owner, BarHost& host);

}  // namespace vok::bar
