#include "cmdline/alias_properties_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "cmdline/fast_list_item_alias.h"
#include "cmdline/item_text.h"
#include "cmdline/items_test_support.h"
#include "common/text_util.h"
#include "platform/ui/scripted_prompter.h"

namespace {

using vok::cmdline::AliasDialogOptions;
using vok::cmdline::AliasPropertiesDialog;

// Hands out a fixed command, or cancels.
class FakeBrowser final : public vok::ObjectRoot<IvokCmdBrowser> {
 public:
  HRESULT STDMETHODCALLTYPE BrowseForCmd(LPSTR buffer, ULONG* size) override {
    if (!command) return S_FALSE;
    return vok::CopyToBuffer(*command, buffer, size);
  }
  HRESULT STDMETHODCALLTYPE Init(IUnknown*) override { return S_OK; }
  std::optional<std::string> command;
};

class AliasDialogTest : public vok::test::LeakCheckedTest {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    LeakCheckedTest::SetUp();
    item_ = vok::test::Create<vokFastListItemAlias, IvokFastListItem>();
    alias_ = QueryAs<IvokFastListItemAlias>(item_.Get());
    item_->SetStrKey("ed");
    alias_->SetAlias("vi %1\r\nls");
    alias_->SetDescr("edit");
  }
  void TearDown() override {
    item_ = nullptr;
    alias_ = nullptr;
    LeakCheckedTest::TearDown();
  }
  std::string Key() {
    return vok::test::GetText([&](char* b, ULONG* s) { return item_->GetStrKey(b, s); });
  }
  std::string Definition() {
    return vok::test::GetText([&](char* b, ULONG* s) { return alias_->GetAlias(b, s); });
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  ComPtr<IvokFastListItem> item_;
  ComPtr<IvokFastListItemAlias> alias_;
};

TEST_F(AliasDialogTest, ShowsTheItemAndTheHint) {
  AliasPropertiesDialog dialog(item_.Get(), {});
  EXPECT_EQ(dialog.windowTitle(), "Alias Properties");
  EXPECT_EQ(dialog.nameEdit()->text(), "ed");
  EXPECT_EQ(dialog.descriptionEdit()->text(), "edit");
  EXPECT_EQ(dialog.definitionEdit()->toPlainText(), "vi %1\nls");
  EXPECT_EQ(dialog.hintText()->text().toStdString(),
            "Each command has to be on separate row.  Comment begins with '#'.  Use quotation "
            "marks for pathes containing space characters (e.g., cd \"c:\\Program Files\", "
            "etc.).  Up to 9 parameters (strings %1, %2, ... %9) will be replaced by actual "
            "alias arguments.");
  EXPECT_FALSE(dialog.insertCommandButton()->isEnabled()) << "no browser was given";
}

// The refusals come first: they leave the item as it was.
TEST_F(AliasDialogTest, OkChecksRunInOrderAndARefusalChangesNothing) {
  const char* const kTaken = "Alias or other command with such name is already defined.";
  const struct {
    bool editsExisting;
    std::string typedName, definition;
    const char* message;  // null: accepted
  } cases[] = {{true, "   ", "", "Shortcut may not be empty."},
               {false, " dir ", " ", kTaken},  // the name is checked before the definition
               {false, "ed", "x", kTaken},     // a copy may not keep the name
               {true, "dir", "x", kTaken},
               {true, "new", " \n\t \n", "Definition is empty."},
               {true, "ED", "x", nullptr},  // an edit keeps its own name in any case
               {false, "  go  ", "cd /tmp", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typedName);
    prompter_.messages.clear();
    std::vector<std::string> asked;
    AliasDialogOptions options;
    options.editsExisting = c.editsExisting;
    options.isNameTaken = [&](const std::string& name) {
      asked.push_back(name);
      return vok::EqualsNoCase(name, "ed") || name == "dir";
    };
    AliasPropertiesDialog dialog(item_.Get(), options);
    dialog.nameEdit()->setText(QString::fromStdString(c.typedName));
    dialog.definitionEdit()->setPlainText(QString::fromStdString(c.definition));
    dialog.accept();
    if (c.message) {
      ASSERT_EQ(prompter_.messages.size(), 1u);
      EXPECT_EQ(prompter_.messages[0].text, c.message);
      EXPECT_EQ(prompter_.messages[0].caption, "Aliases");
      EXPECT_EQ(prompter_.messages[0].icon, vok::ui::Icon::kExclamation);
      EXPECT_NE(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(Key(), "ed");
      EXPECT_EQ(Definition(), "vi %1\r\nls");
    } else {
      EXPECT_TRUE(prompter_.messages.empty());
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(Key(), vok::cmdline::CutAndTrim(c.typedName, 511));
    }
    for (const std::string& name : asked) EXPECT_EQ(name, vok::cmdline::CutAndTrim(name, 511));
  }
}

TEST_F(AliasDialogTest, EditStoresEveryFieldWithStoredLineBreaks) {
  prompter_.dialogs.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<AliasPropertiesDialog&>(d);
    dialog.nameEdit()->setText("  up2  ");
    dialog.descriptionEdit()->setText("two up");
    dialog.definitionEdit()->setPlainText("up\nup\n# done");
    dialog.accept();
    return dialog.result();
  });
  EXPECT_TRUE(AliasPropertiesDialog::Edit(item_.Get(), {}, nullptr));
  EXPECT_EQ(Key(), "up2");
  EXPECT_EQ(Definition(), "up\r\nup\r\n# done");
  EXPECT_EQ(vok::test::GetText([&](char* b, ULONG* s) { return alias_->GetDescr(b, s); }),
            "two up");
  EXPECT_FALSE(AliasPropertiesDialog::Edit(item_.Get(), {}, nullptr)) << "no answer cancels";
  auto notAnAlias = vok::MemoryStream::Create();
  EXPECT_FALSE(AliasPropertiesDialog::Edit(notAnAlias.Get(), {}, nullptr));
  EXPECT_EQ(prompter_.dialogCount, 2);
}

TEST_F(AliasDialogTest, InsertButtonsPutTheirTextAtTheCaret) {
  ComPtr<FakeBrowser> browser(new FakeBrowser);
  AliasDialogOptions options;
  options.browser = browser.Get();
  AliasPropertiesDialog dialog(item_.Get(), options);
  EXPECT_TRUE(dialog.insertCommandButton()->isEnabled());
  auto caretAt = [&](int position) {
    dialog.definitionEdit()->setPlainText("[]");
    QTextCursor cursor = dialog.definitionEdit()->textCursor();
    cursor.setPosition(position);
    dialog.definitionEdit()->setTextCursor(cursor);
  };
  struct Case {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> press;
    const char* expected;
  };
  const Case cases[] = {
      {"Command", [&] { browser->command = "CD"; }, [&] { dialog.InsertCommand(); }, "[CD]"},
      {"CommandCancelled", [&] { browser->command.reset(); }, [&] { dialog.InsertCommand(); },
       "[]"},
      {"File", [&] { prompter_.files.push_back("/srv/a b.txt"); }, [&] { dialog.InsertFileName(); },
       "[/srv/a b.txt]"},
      {"FileCancelled", [&] { prompter_.files.push_back(std::nullopt); },
       [&] { dialog.InsertFileName(); }, "[]"},
      {"Path", [&] { prompter_.folders.push_back("/usr/share"); }, [&] { dialog.InsertPath(); },
       "[/usr/share]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    caretAt(1);
    c.prepare();
    c.press();
    EXPECT_EQ(dialog.definitionEdit()->toPlainText().toStdString(), c.expected);
  }
  ASSERT_EQ(prompter_.fileRequests.size(), 2u);
  EXPECT_EQ(prompter_.fileRequests[0].title, "Browse For File");
  EXPECT_EQ(prompter_.folderRequests.size(), 1u);
}

}  // namespace
