#include "cmdline/filter_properties_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "cmdline/fast_list_item_filter.h"
#include "cmdline/items_test_support.h"
#include "common/text_util.h"
#include "platform/ui/scripted_prompter.h"

namespace {

using vok::cmdline::FilterDialogOptions;
using vok::cmdline::FilterPropertiesDialog;

class FilterDialogTest : public vok::test::LeakCheckedTest {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    LeakCheckedTest::SetUp();
    item_ = vok::test::Create<vokFastListItemFilter, IvokFastListItem>();
    Reset();
  }
  void TearDown() override {
    item_ = nullptr;
    LeakCheckedTest::TearDown();
  }
  void Reset() {
    item_->SetStrKey("docs");
    Filter()->SetFilter("*.txt");
    Filter()->SetDescr("Text");
  }
  ComPtr<IvokFastListItemFilter> Filter() { return QueryAs<IvokFastListItemFilter>(item_.Get()); }
  std::string State() {
    using vok::test::GetText;
    return GetText([&](char* b, ULONG* s) { return item_->GetStrKey(b, s); }) + "|" +
           GetText([&](char* b, ULONG* s) { return Filter()->GetFilter(b, s); }) + "|" +
           GetText([&](char* b, ULONG* s) { return Filter()->GetDescr(b, s); });
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  ComPtr<IvokFastListItem> item_;
};

// The refusals come first: they leave the item as it was.
TEST_F(FilterDialogTest, OkChecksRunInOrderAndARefusalChangesNothing) {
  const char* const kTaken = "Filter or other command with such name is already defined.";
  const struct {
    bool editsExisting;
    std::string shortcut, definition;
    const char* message;  // null: accepted
    bool asksNameCheck;
  } cases[] = {
      {true, " \t ", " ", "Shortcut may not be empty.", false},
      {false, " docs ", " ", kTaken, true},  // the name is checked before the definition
      {false, "DOCS", "*", kTaken, true},    // a new filter may not take a listed name
      {true, "src", "*", kTaken, true},
      {true, "pics", " \t ", "Filter definition may not be empty.", true},
      {true, "Docs", "*.doc", nullptr, false},  // an edit keeps its own name in any case
      {false, "  pics  ", "*.png", nullptr, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shortcut + "/" + c.definition);
    prompter_.messages.clear();
    std::vector<std::string> asked;
    FilterDialogOptions options;
    options.editsExisting = c.editsExisting;
    options.isNameTaken = [&](const std::string& name) {
      asked.push_back(name);
      return vok::EqualsNoCase(name, "docs") || name == "src";
    };
    FilterPropertiesDialog dialog(item_.Get(), options);
    dialog.shortcutEdit()->setText(QString::fromStdString(c.shortcut));
    dialog.definitionEdit()->setText(QString::fromStdString(c.definition));
    dialog.descriptionEdit()->setText("new");
    dialog.accept();
    const std::string trimmed(vok::cmdline::TrimBlanks(c.shortcut));
    EXPECT_EQ(asked,
              c.asksNameCheck ? std::vector<std::string>{trimmed} : std::vector<std::string>{});
    if (c.message) {
      ASSERT_EQ(prompter_.messages.size(), 1u);
      EXPECT_EQ(prompter_.messages[0].text, c.message);
      EXPECT_EQ(prompter_.messages[0].caption, "Filters");
      EXPECT_EQ(prompter_.messages[0].icon, vok::ui::Icon::kExclamation);
      EXPECT_NE(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(State(), "docs|*.txt|Text");
    } else {
      EXPECT_TRUE(prompter_.messages.empty());
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(State(), trimmed + "|" + c.definition + "|new");
      Reset();
    }
  }
}

TEST_F(FilterDialogTest, EditOpensFilledAndCancelKeepsTheItem) {
  EXPECT_FALSE(FilterPropertiesDialog::Edit(item_.Get(), {}, nullptr)) << "no answer cancels";
  EXPECT_EQ(State(), "docs|*.txt|Text");
  prompter_.dialogs.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<FilterPropertiesDialog&>(d);
    EXPECT_EQ(dialog.windowTitle(), "Filter Properties");
    EXPECT_EQ(dialog.shortcutEdit()->text() + dialog.definitionEdit()->text() +
                  dialog.descriptionEdit()->text(),
              "docs*.txtText");
    dialog.shortcutEdit()->setText("c");
    dialog.definitionEdit()->setText("*.c;*.h");
    dialog.descriptionEdit()->setText("");
    dialog.accept();
    return dialog.result();
  });
  EXPECT_TRUE(FilterPropertiesDialog::Edit(item_.Get(), {}, nullptr));
  EXPECT_EQ(State(), "c|*.c;*.h|");
  EXPECT_FALSE(FilterPropertiesDialog::Edit(vok::MemoryStream::Create().Get(), {}, nullptr));
  EXPECT_EQ(prompter_.dialogCount, 2);
}

}  // namespace
