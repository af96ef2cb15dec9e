#include "bar/about_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <functional>

#include "bar/fake_bar_host.h"
#include "common/test_application.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

class AboutBoxTest : public testing::Test {
 protected:
  void SetUp() override { test::EnsureApplication(); }

  // Shows the box and runs `inspect` on it while it is modal; returns how it ended.
  int Show(std::function<void(QDialog&)> inspect) {
    int result = -1;
    prompter_.dialogs.push_back([&](QDialog& dialog) {
      QObject::connect(&dialog, &QDialog::finished, [&](int code) { result = code; });
      inspect(dialog);
      return result;
    });
    ShowAboutBox(nullptr, host_);
    EXPECT_EQ(1, prompter_.dialogCount);
    return result;
  }

  static QAbstractButton* Button(QDialog& dialog, int id) {
    return qobject_cast<QAbstractButton*>(ui::DialogItem(&dialog, id));
  }

  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  FakeBarHost host_;
};

TEST_F(AboutBoxTest, ShowsTheProgramItsVersionAndTheBuild) {
  Show([](QDialog& dialog) {
    EXPECT_EQ("About Quillo", dialog.windowTitle().toStdString());
    auto* build = qobject_cast<QLabel*>(ui::DialogItem(&dialog, kAboutBuildId));
    ASSERT_NE(nullptr, build);
    EXPECT_EQ("(Build: 000822)", build->text().toStdString());
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Quillo Version " QUILLO_VERSION)))
        << texts.join('|').toStdString();
    auto* icon = dialog.findChild<QLabel*>(QStringLiteral("icon"));
    ASSERT_NE(nullptr, icon);
    EXPECT_FALSE(icon->pixmap().isNull());
  });
  EXPECT_TRUE(host_.operations.empty());
}

// The page opens while the box stays up; OK then closes it.
TEST_F(AboutBoxTest, OtherProductsOpensItsPageAndOkCloses) {
  const int result = Show([&](QDialog& dialog) {
    QAbstractButton* other = Button(dialog, kAboutOtherProductsId);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ("&Other Products", other->text().toStdString());
    bool closed = false;
    QObject::connect(&dialog, &QDialog::finished, [&] { closed = true; });
    other->click();
    EXPECT_EQ(std::vector<std::string>{"help qdxother.htm"}, host_.operations);
    EXPECT_FALSE(closed);
    QAbstractButton* ok = Button(dialog, 1);
    ASSERT_NE(nullptr, ok);
    ok->click();
  });
  EXPECT_EQ(QDialog::Accepted, result);
  EXPECT_EQ(1u, host_.operations.size());
}

}  // namespace
}  // namespace vok::bar
