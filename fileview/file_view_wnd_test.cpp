// The file view component on real temporary folders (below the test's own HOME), with a
// scripted prompter, a recording site and a recording process runner: its stream record,
// listing and sorting, selection by mask, opening, the file operations and in-place renaming.
#include "fileview/file_view_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "fileview/file_view_model.h"
#include "fileview/move_copy_dialog.h"
#include "fileview/resources/fileview_strings.h"
#include "fileview/select_dialog.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/shell_test_support.h"
#include "platform/shell/trash.h"
#include "platform/system/mounts.h"
#include "platform/system/recording_process_runner.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::fileview {
namespace {

namespace fs = std::filesystem;
using shell::test::Exists;
using shell::test::ReadFile;
using shell::test::TempDir;
using shell::test::WriteFile;
using Strings = std::vector<std::string>;

constexpr char kUp[] = ".. (Up one level)";

// Lets queued calls (editor commits, deferred deletes, rename hand-over) run.
void Settle() {
  for (int round = 0; round < 4; ++round) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

std::string Text(UINT id) { return LoadStringResource(&kFileViewResources, id); }

class RecordingSite final : public ObjectRoot<IvokFileViewSite> {
 public:
  HRESULT STDMETHODCALLTYPE NavigateTo(LONG bEnter, LPCSTR path) override {
    navigations.push_back(std::to_string(bEnter) + ":" + (path ? path : "null"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BeginRename() override {
    ++begins;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EndRename() override {
    ++ends;
    return S_OK;
  }
  Strings navigations;
  int begins = 0;
  int ends = 0;
};

class FileViewTest : public testing::Test {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    ASSERT_TRUE(test::RegisterBuiltLibrary("vokTools"));
    site_ = ComPtr<RecordingSite>(new RecordingSite);
    view_ = ComPtr<vokFileViewWnd>(new vokFileViewWnd);
    ASSERT_EQ(S_OK, view_->Init(site_->Identity(), 1));
  }
  void TearDown() override {
    view_ = nullptr;
    site_ = nullptr;
    parent_.reset();
    EXPECT_EQ(0, ModuleCount().load()) << "objects left alive";
  }

  void Show(const fs::path& dir, const char* filter = "*") {
    ASSERT_EQ(S_OK, view_->SetDir(dir.c_str(), 0));
    view_->SetFilter(filter);
    view_->Update();
  }
  void CreateWindow() {
    parent_ = std::make_unique<QWidget>();
    parent_->resize(640, 400);
    parent_->show();
    ASSERT_EQ(S_OK, view_->Create(parent_.get()));
    ASSERT_EQ(S_OK, view_->SetPos(0, 0, 640, 400));
  }
  FileViewModel& Model() { return view_->Model(); }
  Strings Names() {
    Strings names;
    for (int row = 0; row < Model().EntryCount(); ++row) names.push_back(Model().Entry(row).name);
    return names;
  }
  void SelectOnly(const Strings& names) {
    view_->Selection().clear();
    for (int row = 0; row < Model().EntryCount(); ++row)
      if (std::find(names.begin(), names.end(), Model().Entry(row).name) != names.end())
        view_->Selection().select(Model().index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  Strings SelectedNames() {
    Strings names;
    for (const QModelIndex& index : view_->Selection().selectedRows())
      names.push_back(Model().Entry(index.row()).name);
    std::sort(names.begin(), names.end());
    return names;
  }
  // The text of the last message, checked to carry the view's caption and `icon`.
  std::string LastMessage(ui::Icon icon) {
    if (prompter_.messages.empty()) return "<none>";
    const ui::Message& message = prompter_.messages.back();
    EXPECT_EQ(Text(kIdsCaption), message.caption);
    EXPECT_EQ(icon, message.icon) << message.text;
    return message.text;
  }
  std::vector<uint8_t> SavedRecord() {
    ComPtr<MemoryStream> stream = MemoryStream::Create();
    EXPECT_EQ(S_OK, view_->Save(stream.Get(), 1));
    return stream->Bytes();
  }

  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scopedPrompter_{&prompter_};
  ComPtr<RecordingSite> site_;
  ComPtr<vokFileViewWnd> view_;
  std::unique_ptr<QWidget> parent_;
  TempDir dir_;
};

std::function<int(QDialog&)> EnterMask(const char* mask, Strings* offered = nullptr) {
  return [mask, offered](QDialog& dialog) {
    auto* box = dialog.findChild<QComboBox*>(kMaskBox);
    for (int i = 0; offered && i < box->count(); ++i)
      offered->push_back(box->itemText(i).toStdString());
    box->setEditText(mask);
    return int(QDialog::Accepted);
  };
}

TEST_F(FileViewTest, StreamRecordIsByteExactAndRoundTrips) {
  prompter_.dialogs.push_back(EnterMask("a*"));
  ASSERT_EQ(S_OK, view_->Select(nullptr, 1, 1));
  view_->put_ShowFolders(0);
  view_->put_SortType(2);
  view_->put_SortOrder(1);
  EXPECT_EQ(S_OK, view_->IsDirty());
  const std::vector<uint8_t> record = SavedRecord();
  const std::vector<uint8_t> expected = {
      0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
      // masks: format, maximum 30, one string item {DA6EB2B0-74E9-11D2-A3ED-96D5320CFE83}
      0, 0, 0, 0, 30, 0, 0, 0, 1, 0, 0, 0, 0xB0, 0xB2, 0x6E, 0xDA, 0xE9, 0x74, 0xD2, 0x11, 0xA3,
      0xED, 0x96, 0xD5, 0x32, 0x0C, 0xFE, 0x83, 0, 0, 0, 0, 2, 0, 0, 0, 'a', '*', 0, 0, 0, 0,
      // destinations and new names: empty
      0, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(expected, record);
  EXPECT_EQ(S_FALSE, view_->IsDirty());
  ULARGE_INTEGER size = {};
  ASSERT_EQ(S_OK, view_->GetSizeMax(&size));
  EXPECT_EQ(record.size(), size.QuadPart);

  view_ = ComPtr<vokFileViewWnd>(new vokFileViewWnd);
  ASSERT_EQ(S_OK, view_->Load(MemoryStream::Create(record).Get()));
  EXPECT_EQ(record, SavedRecord());
}

TEST_F(FileViewTest, CutOrNegativeRecordsLeaveTheViewAsItWas) {
  prompter_.dialogs.push_back(EnterMask("a*"));
  view_->Select(nullptr, 1, 1);
  view_->put_ShowFolders(0);
  const std::vector<uint8_t> record = SavedRecord();
  for (size_t cut :
       {size_t{0}, size_t{3}, size_t{8}, size_t{16}, size_t{30}, size_t{47}, record.size() - 1}) {
    view_ = ComPtr<vokFileViewWnd>(new vokFileViewWnd);
    std::vector<uint8_t> part(record.begin(), record.begin() + static_cast<ptrdiff_t>(cut));
    EXPECT_EQ(STG_E_READFAULT, view_->Load(MemoryStream::Create(part).Get())) << "cut at " << cut;
    LONG showFolders = -1;
    view_->get_ShowFolders(&showFolders);
    EXPECT_EQ(1, showFolders) << "cut at " << cut;
  }
  ComPtr<MemoryStream> negative = MemoryStream::Create({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
  EXPECT_EQ(S_OK, view_->Load(negative.Get()));
  EXPECT_EQ(4u, negative->Position());
}

TEST_F(FileViewTest, ListsWithoutFoldersAndSortsBySizeDescending) {
  WriteFile(dir_ / "small.txt", "s");
  WriteFile(dir_ / "big.txt", std::string(3000, 'b'));
  WriteFile(dir_ / "mid.log", std::string(2000, 'm'));
  fs::create_directories(dir_ / "f1");
  fs::create_directories(dir_ / "f2");
  view_->put_ShowFolders(0);
  Show(dir_.path());
  EXPECT_EQ((Strings{kUp, "big.txt", "mid.log", "small.txt"}), Names());
  EXPECT_EQ(Strings{kUp}, SelectedNames());
  EXPECT_EQ(0, view_->Selection().currentIndex().row());

  view_->put_ShowFolders(1);
  view_->put_SortType(kSortSize);
  view_->put_SortOrder(1);
  view_->Update();
  EXPECT_EQ((Strings{kUp, "big.txt", "mid.log", "small.txt", "f2", "f1"}), Names());
  EXPECT_EQ("3KB",
            Model().data(Model().index(1, FileViewModel::kSizeColumn)).toString().toStdString());

  Show(dir_.path(), "*.TXT");  // folders stay, files must match (letter case ignored)
  EXPECT_EQ((Strings{kUp, "big.txt", "small.txt", "f2", "f1"}), Names());
}

TEST_F(FileViewTest, RowsShowTypeIconAndTimeOnRequest) {
  WriteFile(dir_ / "notes.txt", "n");
  fs::create_directories(dir_ / "sub");
  Show(dir_.path());
  ASSERT_EQ((Strings{kUp, "sub", "notes.txt"}), Names());
  auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
    return Model().data(Model().index(row, column), role);
  };
  EXPECT_EQ("", cell(0, FileViewModel::kTypeColumn).toString().toStdString());
  EXPECT_EQ("", cell(0, FileViewModel::kModifiedColumn).toString().toStdString());
  EXPECT_FALSE(cell(1, FileViewModel::kTypeColumn).toString().isEmpty());
  EXPECT_NE(cell(1, FileViewModel::kTypeColumn), cell(2, FileViewModel::kTypeColumn));
  EXPECT_EQ("", cell(1, FileViewModel::kSizeColumn).toString().toStdString());
  for (int row = 0; row < 3; ++row)
    EXPECT_FALSE(cell(row, 0, Qt::DecorationRole).value<QIcon>().isNull()) << row;
  const QString modified = cell(2, FileViewModel::kModifiedColumn).toString();
  EXPECT_TRUE(modified.contains(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)))
      << modified.toStdString();

  // A folder that cannot be read leaves only the way up.
  EXPECT_EQ(E_FAIL, view_->SetDir((dir_ / "missing").c_str(), 0));
  view_->SetFilter("*");
  view_->Update();
  EXPECT_EQ(Strings{kUp}, Names());
}

TEST_F(FileViewTest, SelectsAndDeselectsByMask) {
  for (const char* name : {"alpha.txt", "beta.txt", "gamma.txt"}) WriteFile(dir_ / name, "");
  fs::create_directories(dir_ / "apple");
  Show(dir_.path());
  view_->Selection().clear();
  EXPECT_EQ(S_OK, view_->Select("a*;b*", 0, 1));
  EXPECT_EQ((Strings{"alpha.txt", "apple", "beta.txt"}), SelectedNames());
  EXPECT_EQ(S_OK, view_->Select(";;", 0, 1));
  EXPECT_EQ((Strings{"alpha.txt", "apple", "beta.txt"}), SelectedNames());

  // Through the dialog, which offers the masks used before, newest first.
  Strings offered;
  prompter_.dialogs.push_back(EnterMask("*"));
  prompter_.dialogs.push_back(EnterMask("a*"));
  prompter_.dialogs.push_back([&](QDialog& dialog) {
    EXPECT_EQ(Text(kIdsDeselectTitle), dialog.windowTitle().toStdString());
    return EnterMask(" B* x", &offered)(dialog);
  });
  ASSERT_EQ(S_OK, view_->Select(nullptr, 1, 1));
  ASSERT_EQ(S_OK, view_->Select(nullptr, 1, 1));
  ASSERT_EQ(S_OK, view_->Select(nullptr, 1, 0));
  EXPECT_EQ((Strings{"a*", "*"}), offered);
  EXPECT_EQ((Strings{"alpha.txt", "apple", "gamma.txt"}), SelectedNames());
  EXPECT_EQ(S_FALSE, view_->Select(nullptr, 1, 1));  // cancelled
}

TEST_F(FileViewTest, OperationsCheckTheSelectionFirst) {
  WriteFile(dir_ / "a.txt", "");
  WriteFile(dir_ / "b.txt", "");
  Show(dir_.path());
  view_->Selection().clear();
  EXPECT_EQ(S_FALSE, view_->Rename(1));
  EXPECT_EQ(Text(kIdsNoItemSelected), LastMessage(ui::Icon::kExclamation));
  for (HRESULT hr :
       {view_->Open(), view_->CopyToClipboard(), view_->Properties(), view_->ContextMenu(0, 0)})
    EXPECT_EQ(S_FALSE, hr);

  SelectOnly({"a.txt", "b.txt"});
  EXPECT_EQ(S_FALSE, view_->Rename(1));
  EXPECT_EQ(Text(kIdsOnlyOneItem), LastMessage(ui::Icon::kExclamation));

  // The up entry is no item to copy, delete or rename.
  SelectOnly({kUp});
  const size_t messages = prompter_.messages.size();
  EXPECT_EQ(S_FALSE, view_->Rename(1));
  EXPECT_EQ(messages, prompter_.messages.size());
  EXPECT_EQ(S_FALSE, view_->MoveCopy(dir_.str().c_str(), 0, 0));
  EXPECT_EQ(S_FALSE, view_->Delete(0, 0));
  EXPECT_EQ(Text(kIdsNoItemSelected), LastMessage(ui::Icon::kExclamation));
  EXPECT_TRUE(Exists(dir_ / "a.txt"));
}

TEST_F(FileViewTest, OpenNavigatesThroughTheSiteOrOpensFiles) {
  fs::create_directories(dir_ / "sub");
  WriteFile(dir_ / "doc.txt", "");
  sys::test::RecordingProcessRunner runner;
  sys::ScopedProcessRunner scopedRunner(&runner);
  Show(dir_.path());

  SelectOnly({"sub"});
  EXPECT_EQ(S_FALSE, view_->Open());
  SelectOnly({kUp});
  EXPECT_EQ(S_FALSE, view_->Open());
  EXPECT_EQ((Strings{"1:sub", "0:null"}), site_->navigations);
  EXPECT_TRUE(runner.calls.empty());

  // Without the desktop's opener a file cannot be opened.
  SelectOnly({"doc.txt"});
  EXPECT_EQ(E_FAIL, view_->Open());
  EXPECT_EQ(Text(kIdsOperationFailed), LastMessage(ui::Icon::kExclamation));
  runner.installed.insert("xdg-open");
  runner.calls.clear();
  SelectOnly({"doc.txt", "sub"});
  EXPECT_EQ(S_OK, view_->Open());
  EXPECT_EQ((std::vector<Strings>{{"xdg-open", (dir_ / "sub").string()},
                                  {"xdg-open", (dir_ / "doc.txt").string()}}),
            runner.Commands());

  sys::ScopedMountReader mounts([] {
    return std::vector<sys::MountEntry>{{"/dev/sdb1", "/mnt/usb", "vfat"},
                                        {"proc", "/proc", "proc"},
                                        {"/dev/sdc1", "/mnt/usb", "ext4"}};
  });
  ASSERT_EQ(S_OK, view_->SetDir("/", 1));
  view_->SetFilter("*.txt");  // a file filter hides no drive
  view_->Update();
  EXPECT_EQ(Strings{"/mnt/usb"}, Names());
  EXPECT_EQ(S_FALSE, view_->Open());
  EXPECT_EQ("1:/mnt/usb", site_->navigations.back());
}

TEST_F(FileViewTest, MoveCopyRenamesOnCollisionAndNeverReplaces) {
  WriteFile(dir_ / "src/a.txt", "new");
  WriteFile(dir_ / "src/b.txt", "B");
  WriteFile(dir_ / "dst/a.txt", "old");
  WriteFile(dir_ / "dst/c.txt", "C");
  const fs::path dst = dir_ / "dst";
  Show(dir_ / "src");

  SelectOnly({"a.txt"});
  EXPECT_EQ(S_OK, view_->MoveCopy(dst.c_str(), 0, 0));
  EXPECT_EQ(S_OK, view_->MoveCopy(dst.c_str(), 0, 0));
  EXPECT_EQ(Text(kIdsCopied), LastMessage(ui::Icon::kInformation));
  EXPECT_EQ((Strings{"a (2).txt", "a (3).txt", "a.txt", "c.txt"}), shell::test::Names(dst));
  EXPECT_EQ("old", ReadFile(dst / "a.txt"));
  EXPECT_EQ("new", ReadFile(dst / "a (3).txt"));

  // Move through the dialog: the folder comes from the browser, the new name is taken.
  SelectOnly({"b.txt"});
  prompter_.folders.push_back(dst.string());
  prompter_.dialogs.push_back([](QDialog& dialog) {
    dialog.findChild<QPushButton*>(kBrowseButton)->click();
    dialog.findChild<QComboBox*>(kNewNameBox)->setEditText("c.txt");
    return int(QDialog::Accepted);
  });
  EXPECT_EQ(S_OK, view_->MoveCopy(nullptr, 1, 1));
  EXPECT_EQ(Text(kIdsMoved), LastMessage(ui::Icon::kInformation));
  EXPECT_EQ(Text(kIdsSelectNewFolder), prompter_.folderRequests.back().title);
  EXPECT_EQ("B", ReadFile(dst / "c (2).txt"));
  EXPECT_EQ("C", ReadFile(dst / "c.txt"));
  EXPECT_EQ((Strings{kUp, "a.txt"}), Names());  // refreshed after the move

  // The next dialog offers what was used; cancelling it is a failure.
  SelectOnly({"a.txt"});
  Strings destinations, names;
  prompter_.dialogs.push_back([&](QDialog& dialog) {
    EXPECT_EQ(Text(kIdsCopyTitle), dialog.windowTitle().toStdString());
    auto* box = dialog.findChild<QComboBox*>(kDestinationBox);
    for (int i = 0; i < box->count(); ++i) destinations.push_back(box->itemText(i).toStdString());
    box = dialog.findChild<QComboBox*>(kNewNameBox);
    for (int i = 0; i < box->count(); ++i) names.push_back(box->itemText(i).toStdString());
    return int(QDialog::Rejected);
  });
  EXPECT_EQ(E_FAIL, view_->MoveCopy(nullptr, 1, 0));
  EXPECT_EQ(Strings{dst.string()}, destinations);
  EXPECT_EQ(Strings{"c.txt"}, names);
  EXPECT_EQ(S_OK, view_->IsDirty());

  EXPECT_EQ(E_FAIL, view_->MoveCopy((dir_ / "nowhere").c_str(), 0, 1));
  EXPECT_EQ(Text(kIdsNoDestination), LastMessage(ui::Icon::kExclamation));
  EXPECT_TRUE(Exists(dir_ / "src/a.txt"));
}

TEST_F(FileViewTest, DeletesToTheTrashOrForGoodAndReportsVanishedEntries) {
  for (const char* name : {"t.txt", "f.txt", "gone.txt"}) WriteFile(dir_ / name, name);
  Show(dir_.path());

  SelectOnly({"t.txt"});
  prompter_.answers = {ui::Answer::kNo};
  EXPECT_EQ(S_FALSE, view_->Delete(1, 1));
  EXPECT_TRUE(Exists(dir_ / "t.txt"));
  prompter_.answers = {ui::Answer::kYes};
  EXPECT_EQ(S_OK, view_->Delete(1, 1));
  EXPECT_EQ(ui::Buttons::kYesNo, prompter_.messages[prompter_.messages.size() - 2].buttons);
  EXPECT_EQ(Text(kIdsDeleted), LastMessage(ui::Icon::kInformation));
  EXPECT_FALSE(Exists(dir_ / "t.txt"));
  EXPECT_EQ("t.txt", ReadFile(shell::HomeTrashPath() / "files/t.txt"));

  SelectOnly({"f.txt"});
  const size_t messages = prompter_.messages.size();
  EXPECT_EQ(S_OK, view_->Delete(0, 0));
  EXPECT_EQ(messages + 1, prompter_.messages.size());  // no question
  EXPECT_FALSE(Exists(dir_ / "f.txt"));
  EXPECT_FALSE(Exists(shell::HomeTrashPath() / "files/f.txt"));

  SelectOnly({"gone.txt"});
  fs::remove(dir_ / "gone.txt");
  EXPECT_EQ(E_FAIL, view_->Properties());
  EXPECT_EQ(E_FAIL, view_->MoveCopy((dir_ / "..").c_str(), 0, 0));
  EXPECT_EQ(E_FAIL, view_->Delete(0, 0));
  EXPECT_EQ(Text(kIdsOperationFailed), LastMessage(ui::Icon::kExclamation));
}

TEST_F(FileViewTest, RenamesInPlaceBetweenBeginAndEndRename) {
  WriteFile(dir_ / "one.txt", "1");
  WriteFile(dir_ / "two.txt", "2");
  CreateWindow();
  Show(dir_.path());
  auto edit = [&](const char* from, const char* to, Qt::Key key) {
    SelectOnly({from});
    ASSERT_EQ(S_OK, view_->Rename(1));
    auto* editor = view_->Window()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(to);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(editor, &press);
    Settle();
  };

  edit("one.txt", "uno.txt", Qt::Key_Return);
  EXPECT_EQ(1, site_->begins);
  EXPECT_EQ(1, site_->ends);
  EXPECT_EQ("1", ReadFile(dir_ / "uno.txt"));
  EXPECT_FALSE(Exists(dir_ / "one.txt"));
  EXPECT_EQ((Strings{kUp, "uno.txt", "two.txt"}), Names());  // renamed where it stood

  const size_t messages = prompter_.messages.size();
  edit("uno.txt", "two.txt", Qt::Key_Return);  // taken: nothing is replaced
  EXPECT_EQ(messages + 1, prompter_.messages.size());
  EXPECT_EQ(Text(kIdsOperationFailed), LastMessage(ui::Icon::kExclamation));
  EXPECT_EQ("1", ReadFile(dir_ / "uno.txt"));
  EXPECT_EQ("2", ReadFile(dir_ / "two.txt"));

  edit("uno.txt", "ignored.txt", Qt::Key_Escape);
  EXPECT_TRUE(Exists(dir_ / "uno.txt"));
  EXPECT_EQ(3, site_->ends);

  // An editor still open when the view goes is closed with the site told.
  SelectOnly({"two.txt"});
  ASSERT_EQ(S_OK, view_->Rename(1));
  view_ = nullptr;
  EXPECT_EQ(4, site_->begins);
  EXPECT_EQ(4, site_->ends);
}

TEST_F(FileViewTest, CopiesSelectionToTheClipboardAsFilesAndText) {
  WriteFile(dir_ / "a b.txt", "");
  WriteFile(dir_ / "c.txt", "");
  Show(dir_.path());
  SelectOnly({"a b.txt", "c.txt", kUp});
  ASSERT_EQ(S_OK, view_->CopyToClipboard());
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data);
  const QUrl first = QUrl::fromLocalFile(QString::fromStdString((dir_ / "a b.txt").string()));
  const QUrl second = QUrl::fromLocalFile(QString::fromStdString((dir_ / "c.txt").string()));
  EXPECT_EQ((QList<QUrl>{first, second}), data->urls());
  EXPECT_EQ("copy\n" + first.toEncoded() + "\n" + second.toEncoded(),
            data->data(QStringLiteral("x-special/gnome-copied-files")));
  EXPECT_EQ((dir_ / "a b.txt").string() + "\n" + (dir_ / "c.txt").string(),
            data->text().toStdString());

  // The context menu's "Copy Path" puts the paths as text; a dismissed menu does nothing.
  SelectOnly({"c.txt"});
  prompter_.menus.push_back([](QMenu& menu) {
    for (QAction* action : menu.actions())
      if (action->text() == QString::fromUtf8(shell::kMenuCopyPath)) return action;
    return static_cast<QAction*>(nullptr);
  });
  EXPECT_EQ(S_OK, view_->ContextMenu(10, 10));
  EXPECT_EQ((dir_ / "c.txt").string(), QGuiApplication::clipboard()->text().toStdString());
  EXPECT_EQ(S_FALSE, view_->ContextMenu(10, 10));
}

TEST_F(FileViewTest, WindowSortsByHeaderClicksAndSizesItsColumns) {
  EXPECT_EQ(E_FAIL, view_->InitListView());
  EXPECT_EQ(E_FAIL, view_->SetViewType(kListStyleList));
  CreateWindow();
  ASSERT_EQ(S_OK, view_->InitListView());
  QTreeView* details = view_->Window()->DetailsView();
  EXPECT_GT(details->columnWidth(1), 0);
  EXPECT_EQ(2 * details->columnWidth(1), details->columnWidth(2));
  EXPECT_EQ((std::array<int, 4>{67, 20, 40, 30}), ColumnWidths(157));

  QHeaderView* header = details->header();
  LONG type = -1, order = -1;
  for (auto [column, wantType, wantOrder] : {std::tuple{1, 1, 0}, {1, 1, 1}, {3, 3, 0}}) {
    emit header->sectionClicked(column);
    view_->get_SortType(&type);
    view_->get_SortOrder(&order);
    EXPECT_EQ(wantType, type);
    EXPECT_EQ(wantOrder, order);
    EXPECT_EQ(wantType, header->sortIndicatorSection());
  }
  EXPECT_EQ(S_OK, view_->IsDirty());

  EXPECT_EQ(E_INVALIDARG, view_->SetViewType(7));
  ASSERT_EQ(S_OK, view_->SetViewType(kListStyleList));
  EXPECT_EQ(static_cast<QAbstractItemView*>(view_->Window()->IconsView()),
            view_->Window()->CurrentView());
}

TEST(FileViewLibraryTest, RegistersBothNamesAndCreatesTheViewByClassId) {
  vok::test::EnsureApplication();
  ASSERT_TRUE(test::RegisterBuiltLibrary("vokFileView"));
  for (const char* name : {"vokFileView.vokFileViewWnd.1", "vokFileView.vokFileViewWnd"}) {
    CLSID clsid = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(name, &clsid)) << name;
    EXPECT_EQ(clsid::kFileViewWnd, clsid) << name;
  }
  ComPtr<IvokFileViewCmd> command;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid::kFileViewWnd, nullptr, CLSCTX_ALL, IvokFileViewCmd::kIID,
                                   command.ReleaseAndGetVoidAddressOf()));
  EXPECT_TRUE(QueryAs<IvokFileViewWnd>(command.Get()));
  EXPECT_TRUE(QueryAs<IPersistStream>(command.Get()));
}

}  // namespace
}  // namespace vok::fileview
