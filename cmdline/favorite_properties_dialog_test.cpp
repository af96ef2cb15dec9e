#include "cmdline/favorite_properties_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "cmdline/fast_list_item_favorite.h"
#include "cmdline/items_test_support.h"
#include "platform/ui/scripted_prompter.h"

namespace {

using vok::cmdline::FavoriteDialogOptions;
using vok::cmdline::FavoritePropertiesDialog;

class FavoriteDialogTest : public vok::test::LeakCheckedTest {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    LeakCheckedTest::SetUp();
    item_ = vok::test::Create<vokFastListItemFavorite, IvokFastListItem>();
    favorite_ = QueryAs<IvokFastListItemFavorite>(item_.Get());
  }
  void TearDown() override {
    item_ = nullptr;
    favorite_ = nullptr;
    LeakCheckedTest::TearDown();
  }
  void Fill(ULONG type, const char* key, const char* text, LONG tree = 0) {
    item_->put_ItemData(type);
    item_->SetStrKey(key);
    favorite_->SetFavorite(text);
    favorite_->put_UseExplorerTree(tree);
  }
  std::string State() {
    LONG tree = 0;
    favorite_->get_UseExplorerTree(&tree);
    return vok::test::GetText([&](char* b, ULONG* s) { return item_->GetStrKey(b, s); }) + "|" +
           vok::test::GetText([&](char* b, ULONG* s) { return favorite_->GetFavorite(b, s); }) +
           "|" + vok::test::GetText([&](char* b, ULONG* s) { return favorite_->GetDescr(b, s); }) +
           "|" + std::to_string(tree);
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  ComPtr<IvokFastListItem> item_;
  ComPtr<IvokFastListItemFavorite> favorite_;
};

TEST_F(FavoriteDialogTest, LayoutFollowsTheType) {
  struct Case {
    ULONG type;
    bool editsExisting;
    const char* title;
    bool treeShown;
    bool browsable;
    const char* definition;
  };
  const Case cases[] = {
      {kFavoriteFile, false, "Favorite Properties - Files", false, true, ""},
      {kFavoriteFolder, false, "Favorite Properties - Folders", true, true, ""},
      {kFavoriteProgram, false, "Favorite Properties - Programs", false, true, ""},
      {kFavoriteLink, false, "Favorite Properties - Links", false, false, "http://"},
      {kFavoriteLink, true, "Favorite Properties - Links", false, false, ""},
      {kFavoriteOther, false, "Favorite Properties - Others", false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    item_->put_ItemData(c.type);
    FavoriteDialogOptions options;
    options.editsExisting = c.editsExisting;
    FavoritePropertiesDialog dialog(item_.Get(), options);
    EXPECT_EQ(dialog.windowTitle().toStdString(), c.title);
    EXPECT_EQ(dialog.treeCheck()->isVisibleTo(&dialog), c.treeShown);
    EXPECT_EQ(dialog.browseButton()->isEnabled(), c.browsable);
    EXPECT_EQ(dialog.definitionEdit()->text().toStdString(), c.definition);
  }
  favorite_->SetFavorite("http://typed.example");
  FavoritePropertiesDialog typed(item_.Get(), {});
  EXPECT_EQ(typed.definitionEdit()->text(), "http://typed.example")
      << "a new link keeps a given definition";
}

TEST_F(FavoriteDialogTest, OkChecksRunInOrder) {
  Fill(kFavoriteFolder, "tmp", "/tmp");
  struct Case {
    bool editsExisting;
    const char* name;
    const char* definition;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {true, " \t", "", "Shortcut may not be empty."},
      {false, "tmp", "", "Favorite or other command with such name is already defined."},
      {true, "cd", "", "Favorite or other command with such name is already defined."},
      {true, "TMP", "  ", "Definition is empty."},
      {true, " TMP ", "/var/tmp", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompter_.messages.clear();
    FavoriteDialogOptions options;
    options.editsExisting = c.editsExisting;
    options.isNameTaken = [](const std::string& name) { return name == "tmp" || name == "cd"; };
    FavoritePropertiesDialog dialog(item_.Get(), options);
    dialog.shortcutEdit()->setText(c.name);
    dialog.definitionEdit()->setText(c.definition);
    dialog.descriptionEdit()->setText("scratch");
    dialog.treeCheck()->setChecked(true);
    dialog.accept();
    if (c.message) {
      ASSERT_EQ(prompter_.messages.size(), 1u);
      EXPECT_EQ(prompter_.messages[0].text, c.message);
      EXPECT_EQ(prompter_.messages[0].caption, "Favorites");
      EXPECT_EQ(prompter_.messages[0].icon, vok::ui::Icon::kExclamation);
      EXPECT_NE(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(State(), "tmp|/tmp||0");
    } else {
      EXPECT_TRUE(prompter_.messages.empty());
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(State(), "TMP|/var/tmp|scratch|1");
    }
  }
}

TEST_F(FavoriteDialogTest, BrowseAsksForWhatTheTypeNames) {
  struct Case {
    ULONG type;
    std::optional<std::string> chosen;
    const char* expected;
  };
  const Case cases[] = {
      {kFavoriteFolder, "/srv/data", "/srv/data"},      {kFavoriteFile, "/etc/hosts", "/etc/hosts"},
      {kFavoriteProgram, "/usr/bin/vi", "/usr/bin/vi"}, {kFavoriteProgram, std::nullopt, "old"},
      {kFavoriteLink, "/never/asked", "old"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    Fill(c.type, "f", "old");
    prompter_.files.clear();
    prompter_.folders.clear();
    (c.type == kFavoriteFolder ? prompter_.folders : prompter_.files).push_back(c.chosen);
    FavoritePropertiesDialog dialog(item_.Get(), {});
    dialog.Browse();
    EXPECT_EQ(dialog.definitionEdit()->text().toStdString(), c.expected);
  }
  ASSERT_EQ(prompter_.folderRequests.size(), 1u);
  EXPECT_EQ(prompter_.folderRequests[0].title, "Select directory you want to switch to.");
  ASSERT_EQ(prompter_.fileRequests.size(), 3u) << "links have nothing to browse";
  EXPECT_EQ(prompter_.fileRequests[0].title, "Browse For File");
  EXPECT_EQ(prompter_.fileRequests[0].filters, std::vector<std::string>{"All files (*)"});
  EXPECT_EQ(prompter_.fileRequests[1].title, "Browse For Program");
  EXPECT_EQ(prompter_.fileRequests[1].startDir, "/usr/bin");
}

TEST_F(FavoriteDialogTest, EditRunsThroughThePrompter) {
  Fill(kFavoriteOther, "x", "");
  prompter_.dialogs.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<FavoritePropertiesDialog&>(d);
    dialog.shortcutEdit()->setText("top");
    dialog.definitionEdit()->setText("htop -d 5");
    dialog.accept();
    return dialog.result();
  });
  FavoriteDialogOptions options;
  options.isNameTaken = [](const std::string&) { return false; };
  EXPECT_TRUE(FavoritePropertiesDialog::Edit(item_.Get(), options, nullptr));
  EXPECT_EQ(State(), "top|htop -d 5||0");
  auto notAFavorite = vok::MemoryStream::Create();
  EXPECT_FALSE(FavoritePropertiesDialog::Edit(notAFavorite.Get(), options, nullptr));
  EXPECT_EQ(prompter_.dialogCount, 1);
}

}  // namespace
