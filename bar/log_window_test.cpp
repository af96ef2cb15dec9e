#include "bar/log_window.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "bar/log_test_support.h"
#include "common/class_ids.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::test {
namespace {

// What the window showed while it was open.
struct Seen {
  QString title;
  QWidget* parent = nullptr;
  QStringList tabs;
  int currentTab = -1;
  QStringList rows;
  QStringList selected;
  QString current;
  QString text;
  std::vector<QImage> icons;  // one per row; null for a row without icon
};

Seen Inspect(QDialog& dialog) {
  Seen seen;
  seen.title = dialog.windowTitle();
  seen.parent = dialog.parentWidget();
  auto* tabs = dialog.findChild<QTabWidget*>("tabs");
  auto* list = dialog.findChild<QTreeWidget*>("listView");
  auto* text = dialog.findChild<QPlainTextEdit*>("textView");
  EXPECT_TRUE(tabs && list && text);
  if (!tabs || !list || !text) return seen;
  for (int i = 0; i < tabs->count(); ++i) seen.tabs << tabs->tabText(i);
  seen.currentTab = tabs->currentIndex();
  EXPECT_EQ(tabs->currentWidget(), list) << "the list view is the page shown first";
  EXPECT_TRUE(list->isHeaderHidden());
  EXPECT_TRUE(text->isReadOnly());
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list->topLevelItem(i);
    seen.rows << row->text(0);
    if (row->isSelected()) seen.selected << row->text(0);
    QIcon icon = row->icon(0);
    seen.icons.push_back(icon.isNull() ? QImage() : icon.pixmap(16).toImage());
  }
  if (list->currentItem()) seen.current = list->currentItem()->text(0);
  seen.text = text->toPlainText();
  return seen;
}

void Click(QDialog& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

class LogWindowTest : public LogTest {
 protected:
  // Shows the log; `during` runs while the window is open. Returns Show's status.
  HRESULT Show(std::function<void(QDialog&)> during = nullptr) {
    prompter_.dialogs.push_back([this, during](QDialog& dialog) {
      seen_ = Inspect(dialog);
      if (during) during(dialog);
      return dialog.result();
    });
    return log_->Show();
  }

  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  Seen seen_;
};

TEST_F(LogWindowTest, ShowsEveryEntryWithItsIconAndTheLastRowSelected) {
  log_->Add("Autohide is on.", kLogInfo);
  log_->Add("Entered name is not recognized.", kLogError);
  log_->Add("plain", 0);
  log_->Add("unknown type", 9);
  EXPECT_EQ(Show(), S_OK);
  EXPECT_EQ(prompter_.dialogCount, 1);
  EXPECT_EQ(seen_.title, "Quillo Log");
  EXPECT_EQ(seen_.tabs, (QStringList{"List View", "Text View"}));
  EXPECT_EQ(seen_.currentTab, 0);
  EXPECT_EQ(seen_.rows, (QStringList{"Autohide is on.", "Entered name is not recognized.", "plain",
                                     "unknown type"}));
  EXPECT_EQ(seen_.selected, QStringList{"unknown type"});
  EXPECT_EQ(seen_.current, "unknown type");
  EXPECT_EQ(seen_.text, "Autohide is on.\nEntered name is not recognized.\nplain\nunknown type\n");
  ASSERT_EQ(seen_.icons.size(), 4u);
  for (size_t i = 0; i < 3; ++i) EXPECT_FALSE(seen_.icons[i].isNull()) << i;
  EXPECT_NE(seen_.icons[0], seen_.icons[1]);
  EXPECT_NE(seen_.icons[0], seen_.icons[2]);
  EXPECT_NE(seen_.icons[1], seen_.icons[2]);
  EXPECT_TRUE(seen_.icons[3].isNull()) << "a type without image shows none";
}

TEST_F(LogWindowTest, BuiltInFallbackImagesAreThere) {
  for (const char* path :
       {":/vokbar/log/plain.xpm", ":/vokbar/log/error.xpm", ":/vokbar/log/information.xpm"}) {
    QImage image(QString::fromUtf8(path));
    EXPECT_EQ(image.size(), QSize(16, 16)) << path;
  }
  EXPECT_EQ(bar::LogWindow::EntryImages().size(), 3);
}

TEST_F(LogWindowTest, EntryAddedWhileClosedIsTheSelectedLastRowNextTime) {
  log_->Add("earlier", kLogInfo);
  ASSERT_EQ(Show(), S_OK);
  log_->Add("later", kLogError);
  ASSERT_EQ(Show(), S_OK);
  EXPECT_EQ(seen_.rows, (QStringList{"earlier", "later"}));
  EXPECT_EQ(seen_.selected, QStringList{"later"});
}

TEST_F(LogWindowTest, ClearEmptiesBothViewsAndTheStoredLog) {
  log_->Add("one", kLogInfo);
  log_->Add("two", kLogError);
  Seen afterClear;
  ASSERT_EQ(Show([&](QDialog& dialog) {
              Click(dialog, "clearButton");
              afterClear = Inspect(dialog);
            }),
            S_OK);
  EXPECT_EQ(seen_.rows.size(), 2);
  EXPECT_TRUE(afterClear.rows.isEmpty());
  EXPECT_TRUE(afterClear.text.isEmpty());
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(LiveObjects(), 1) << "the cleared entries were released";

  log_->Add("three", kLogInfo);
  ASSERT_EQ(Show(), S_OK);
  EXPECT_EQ(seen_.rows, QStringList{"three"});
}

TEST_F(LogWindowTest, CloseAcceptsAndTheWindowIsGoneAfterwards) {
  QPointer<QDialog> window;
  int result = -1;
  ASSERT_EQ(Show([&](QDialog& dialog) {
              window = &dialog;
              Click(dialog, "closeButton");
              result = dialog.result();
            }),
            S_OK);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(window.isNull()) << "each Show builds and destroys its own window";
  EXPECT_TRUE(seen_.rows.isEmpty());
  EXPECT_TRUE(seen_.selected.isEmpty());
}

TEST_F(LogWindowTest, TheBarWindowOwnsTheLogWindowWhileItExists) {
  auto owner = std::make_unique<QWidget>();
  log_->SetOwnerWindow(owner.get());
  ASSERT_EQ(Show(), S_OK);
  EXPECT_EQ(seen_.parent, owner.get());
  owner.reset();
  ASSERT_EQ(Show(), S_OK);
  EXPECT_EQ(seen_.parent, nullptr) << "a destroyed owner is not used";
}

TEST_F(LogWindowTest, WithoutTheIteratorControlNothingIsShown) {
  log_->Add("cannot be listed", kLogError);
  ScopedClassObject missing(clsid::kFastListItemIteratorCtl, &FailingCreate);
  EXPECT_EQ(log_->Show(), E_OUTOFMEMORY);
  EXPECT_EQ(prompter_.dialogCount, 0);
}

TEST_F(LogWindowTest, ALogWithoutListOpensEmpty) {
  NewLog();
  EXPECT_EQ(Show(), S_OK);
  EXPECT_EQ(prompter_.dialogCount, 1);
  EXPECT_TRUE(seen_.rows.isEmpty());
}

}  // namespace
}  // namespace vok::test
