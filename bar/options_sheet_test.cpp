// The options sheet as the program shows it: the container's Properties reach the program's
// frame, which shows the bar's page and the pages of the component libraries.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "bar/application_test_support.h"
#include "bar/pp_ui.h"
#include "bar/property_frame.h"
#include "platform/ui/dialog_items.h"

namespace vok::bar::test {
namespace {

TEST_F(ApplicationTest, OptionsSheetShowsEveryEnginesPagesAndOkAppliesTheGeneralPage) {
  Application& app = Start();
  ASSERT_FALSE(app.Settings().docked);
  std::vector<std::string> titles;
  prompter_.dialogs.push_back([&](QDialog& d) {
    auto& frame = dynamic_cast<PropertyFrameDialog&>(d);
    for (int i = 0; i < frame.tabs()->count(); ++i)
      titles.push_back(frame.tabs()->tabText(i).toStdString());
    auto* dock =
        qobject_cast<QAbstractButton*>(ui::DialogItem(frame.tabs()->widget(0), ppui::kDock));
    if (dock) dock->click();
    frame.okButton()->click();
    return frame.result();
  });
  app.ShowOptions();
  EXPECT_EQ(prompter_.dialogCount, 1);
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles.front(), "General");
  // The shell-execution engine's page comes from libvokCmdLine.so.
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Filters"), titles.end());
  EXPECT_TRUE(app.Settings().docked);
  EXPECT_TRUE(app.SettingsChanged());
}

}  // namespace
}  // namespace vok::bar::test
