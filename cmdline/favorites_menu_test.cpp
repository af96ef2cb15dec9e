#include "cmdline/favorites_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "common/cmdline_ifaces.h"

namespace vok::cmdline {
namespace {

struct LabelCase {
  const char* name;
  std::string key;
  std::string description;
  std::string expected;
};

class FavoritesMenuLabelTest : public testing::TestWithParam<LabelCase> {};

TEST_P(FavoritesMenuLabelTest, BuildsTheEntryText) {
  const LabelCase& c = GetParam();
  EXPECT_EQ(c.expected, FavoritesMenu::Label(c.key, c.description));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FavoritesMenuLabelTest,
    testing::Values(LabelCase{"WithDescription", "home", "my folder", "home - my folder"},
                    LabelCase{"EmptyDescription", "home", "", "home"},
                    LabelCase{"BlankDescription", "home", " \t ", "home"},
                    LabelCase{"AmpersandsShown", "a&b", "x&y", "a&&b - x&&y"}),
    [](const testing::TestParamInfo<LabelCase>& info) { return info.param.name; });

class FavoritesMenuTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "cmdline_engine_tests";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
  }

  // The submenu titled `title` of `menu`.
  static QMenu* Submenu(QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions())
      if (action->menu() && action->text() == title) return action->menu();
    return nullptr;
  }
};

TEST_F(FavoritesMenuTest, AppendsTheSubmenusInOrder) {
  QMenu menu;
  menu.addAction("existing");
  FavoritesMenu favorites(&menu);
  QStringList texts;
  for (QAction* action : menu.actions()) texts << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ((QStringList{"existing", "&Folders", "&Programs", "F&iles", "&Links", "&Others", "-",
                         "&Aliases", "&Scripts"}),
            texts);
}

TEST_F(FavoritesMenuTest, SortsItemsByTypeWithTheirCommandIds) {
  QMenu menu;
  FavoritesMenu favorites(&menu);
  const struct {
    ULONG type;
    const char* submenu;
  } cases[] = {
      {kFavoriteFile, "F&iles"},     {kFavoriteFolder, "&Folders"}, {kFavoriteProgram, "&Programs"},
      {kFavoriteLink, "&Links"},     {kFavoriteOther, "&Others"},   {kItemAlias, "&Aliases"},
      {kScriptVBScript, "&Scripts"}, {kScriptPython, "&Scripts"},   {77, "&Others"}};
  LONG id = 1000;
  for (const auto& c : cases) {
    favorites.Add(c.type, id, "k" + std::to_string(id), "");
    ++id;
  }
  id = 1000;
  for (const auto& c : cases) {
    QMenu* submenu = Submenu(menu, c.submenu);
    ASSERT_NE(nullptr, submenu) << c.submenu;
    bool found = false;
    for (QAction* action : submenu->actions()) found = found || action->data().toInt() == id;
    EXPECT_TRUE(found) << "type " << c.type << " in " << c.submenu;
    ++id;
  }
}

TEST_F(FavoritesMenuTest, EachSubmenuTakesTwentyEntries) {
  QMenu menu;
  FavoritesMenu favorites(&menu);
  for (int i = 0; i < FavoritesMenu::kMaxEntries; ++i) {
    ASSERT_TRUE(favorites.HasRoomFor(kFavoriteFolder));
    favorites.Add(kFavoriteFolder, i, "f" + std::to_string(i), "");
  }
  EXPECT_FALSE(favorites.HasRoomFor(kFavoriteFolder));
  EXPECT_TRUE(favorites.HasRoomFor(kFavoriteProgram));
  EXPECT_TRUE(favorites.HasRoomFor(kItemAlias));
}

}  // namespace
}  // namespace vok::cmdline
