// Data files on disk: creating, opening, saving on commit and release, the open modes of a
// file, transactions, and atomic replacement when a save fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kCreateRW = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr DWORD kOpenRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kOpenRead = STGM_READ | STGM_SHARE_EXCLUSIVE;

class StorageFileTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(VokStorageLiveObjects(), 0) << "an object was leaked"; }

  // Writes a data file holding `tree` and returns its path.
  std::string MakeFile(const Tree& tree, const std::string& name = "data.qdx") {
    const std::string path = folder_ + "/" + name;
    ComPtr<IStorage> root;
    EXPECT_EQ(StgCreateDocfile(path.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()), S_OK);
    if (root) Build(root.Get(), tree);
    return path;
  }
  ComPtr<IStorage> Open(const std::string& path, DWORD mode) {
    ComPtr<IStorage> root;
    EXPECT_EQ(
        StgOpenStorage(path.c_str(), nullptr, mode, nullptr, 0, root.ReleaseAndGetAddressOf()),
        S_OK);
    return root;
  }
  Tree ReadFile(const std::string& path) {
    ComPtr<IStorage> root = Open(path, kOpenRead);
    return root ? Read(root.Get()) : Tree{};
  }
  static Tree OneStream(const std::string& name, const Bytes& bytes) {
    Tree tree;
    tree.streams[name] = bytes;
    return tree;
  }

  const std::string folder_ = MakeTempFolder("files");
};

TEST_F(StorageFileTest, CreatedFileIsWrittenOnRelease) {
  const std::string path = folder_ + "/new.qdx";
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateDocfile(path.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()), S_OK);
  PutStream(root.Get(), "ENG_CONTAINER", {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_FALSE(fs::exists(path)) << "nothing is written before the commit";
  root = nullptr;
  ExpectWellFormed(ReadFileBytes(path));
  ExpectSameTree(OneStream("ENG_CONTAINER", {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), ReadFile(path));
}

TEST_F(StorageFileTest, EmptyCreatedFileIsStillWritten) {
  const std::string path = folder_ + "/empty.qdx";
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateDocfile(path.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()), S_OK);
  root = nullptr;
  const Bytes file = ReadFileBytes(path);
  EXPECT_EQ(file.size(), 3u * 512) << "header, one FAT sector, one directory sector";
  ExpectWellFormed(file);
}

TEST_F(StorageFileTest, CreateWithoutCreateFlagRefusesAnExistingFile) {
  const std::string path = MakeFile(OneStream("a", BytesOf("old")));
  ComPtr<IStorage> root;
  EXPECT_EQ(StgCreateDocfile(path.c_str(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                             root.ReleaseAndGetAddressOf()),
            STG_E_FILEALREADYEXISTS);
  ExpectSameTree(OneStream("a", BytesOf("old")), ReadFile(path));
}

TEST_F(StorageFileTest, CreateFlagReplacesTheOldFileOnlyWhenTheNewOneIsSaved) {
  const std::string path = MakeFile(OneStream("a", BytesOf("old")));
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateDocfile(path.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()), S_OK);
  PutStream(root.Get(), "b", BytesOf("new"));
  ExpectSameTree(OneStream("a", BytesOf("old")), ReadFile(path));
  root = nullptr;
  ExpectSameTree(OneStream("b", BytesOf("new")), ReadFile(path));
}

TEST_F(StorageFileTest, OpenStatuses) {
  const std::string path = MakeFile(OneStream("a", BytesOf("x")));
  const std::string text = folder_ + "/notes.txt";
  WriteFileBytes(text, BytesOf("just some text, long enough to fill a header or not"));
  WriteFileBytes(folder_ + "/empty", {});
  const std::string pipe = folder_ + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  struct Case {
    std::string path;
    DWORD mode;
    HRESULT expected;
  } cases[] = {
      {path, kOpenRW, S_OK},
      {path, kOpenRead, S_OK},
      {path, STGM_READ | STGM_SHARE_DENY_WRITE, S_OK},
      {path, STGM_READWRITE | STGM_TRANSACTED, S_OK},
      {path, STGM_CREATE | STGM_READWRITE, STG_E_INVALIDFLAG},
      {path, 0x3, STG_E_INVALIDFLAG},
      {path, STGM_READ | STGM_PRIORITY, STG_E_INVALIDFLAG},
      {folder_ + "/missing.qdx", kOpenRead, STG_E_FILENOTFOUND},
      {folder_ + "/no/such/folder.qdx", kOpenRead, STG_E_PATHNOTFOUND},
      {folder_, kOpenRead, STG_E_ACCESSDENIED},
      {pipe, kOpenRead, STG_E_ACCESSDENIED},  // and no wait for a writer
      {text, kOpenRead, STG_E_INVALIDHEADER},
      {folder_ + "/empty", kOpenRead, STG_E_INVALIDHEADER},
      {"", kOpenRead, STG_E_INVALIDNAME},
  };
  for (const Case& c : cases) {
    ComPtr<IStorage> root;
    EXPECT_EQ(
        StgOpenStorage(c.path.c_str(), nullptr, c.mode, nullptr, 0, root.ReleaseAndGetAddressOf()),
        c.expected)
        << c.path << " mode " << std::hex << c.mode;
  }
  EXPECT_EQ(StgIsStorageFile(path.c_str()), S_OK);
  EXPECT_EQ(StgIsStorageFile(text.c_str()), S_FALSE);
  EXPECT_EQ(StgIsStorageFile((folder_ + "/empty").c_str()), S_FALSE);
  EXPECT_EQ(StgIsStorageFile((folder_ + "/missing").c_str()), STG_E_FILENOTFOUND);
  EXPECT_EQ(StgIsStorageFile(pipe.c_str()), STG_E_ACCESSDENIED);
}

TEST_F(StorageFileTest, CreateStatuses) {
  ComPtr<IStorage> root;
  const std::string path = folder_ + "/x.qdx";
  EXPECT_EQ(StgCreateDocfile((folder_ + "/no/x.qdx").c_str(), kCreateRW, 0,
                             root.ReleaseAndGetAddressOf()),
            STG_E_PATHNOTFOUND);
  EXPECT_EQ(StgCreateDocfile(folder_.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  EXPECT_EQ(StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                             root.ReleaseAndGetAddressOf()),
            STG_E_INVALIDFLAG);
  EXPECT_EQ(StgCreateDocfile(path.c_str(), kCreateRW | STGM_DELETEONRELEASE, 0,
                             root.ReleaseAndGetAddressOf()),
            STG_E_INVALIDFLAG);
  EXPECT_EQ(
      StgCreateDocfile(path.c_str(), kCreateRW | STGM_CONVERT, 0, root.ReleaseAndGetAddressOf()),
      STG_E_INVALIDFLAG);
  EXPECT_EQ(StgCreateDocfile(nullptr, kCreateRW, 0, root.ReleaseAndGetAddressOf()),
            STG_E_INVALIDNAME);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(StorageFileTest, ReadOnlyOpenRefusesEveryChange) {
  const std::string path = MakeFile(OneStream("a", BytesOf("x")));
  const Bytes before = ReadFileBytes(path);
  ComPtr<IStorage> root = Open(path, kOpenRead);
  ASSERT_TRUE(root);
  ComPtr<IStream> stream;
  ComPtr<IStorage> storage;
  EXPECT_EQ(root->CreateStream("b", kCreateRW, 0, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  EXPECT_EQ(root->CreateStorage("b", kCreateRW, 0, 0, storage.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  EXPECT_EQ(root->OpenStream("a", nullptr, kOpenRW, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  EXPECT_EQ(root->DestroyElement("a"), STG_E_ACCESSDENIED);
  EXPECT_EQ(root->RenameElement("a", "c"), STG_E_ACCESSDENIED);
  EXPECT_EQ(root->SetClass(GUID_NULL), STG_E_ACCESSDENIED);
  EXPECT_EQ(root->SetStateBits(1, 1), STG_E_ACCESSDENIED);
  ASSERT_EQ(root->OpenStream("a", nullptr, kOpenRead, 0, stream.ReleaseAndGetAddressOf()), S_OK);
  ULONG n;
  EXPECT_EQ(stream->Write("y", 1, &n), STG_E_ACCESSDENIED);
  EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{0}), STG_E_ACCESSDENIED);
  EXPECT_EQ(root->Commit(STGC_DEFAULT), S_OK);
  stream = nullptr;
  root = nullptr;
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(StorageFileTest, WriteOnlyStreamCannotBeRead) {
  const std::string path = MakeFile(OneStream("a", BytesOf("x")));
  ComPtr<IStorage> root = Open(path, kOpenRW);
  ComPtr<IStream> stream;
  ASSERT_EQ(root->OpenStream("a", nullptr, STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                             stream.ReleaseAndGetAddressOf()),
            S_OK);
  char c;
  ULONG n;
  EXPECT_EQ(stream->Read(&c, 1, &n), STG_E_ACCESSDENIED);
}

TEST_F(StorageFileTest, ChangesAreSavedOnCommitAndOnRelease) {
  const std::string path = MakeFile(OneStream("a", BytesOf("one")));
  ComPtr<IStorage> root = Open(path, kOpenRW);
  PutStream(root.Get(), "b", BytesOf("two"));
  ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
  Tree expected = OneStream("a", BytesOf("one"));
  expected.streams["b"] = BytesOf("two");
  ExpectSameTree(expected, ReadFile(path));

  ASSERT_EQ(root->DestroyElement("a"), S_OK);
  root = nullptr;
  ExpectSameTree(OneStream("b", BytesOf("two")), ReadFile(path));
}

TEST_F(StorageFileTest, UnchangedFileIsNotRewritten) {
  const std::string path = MakeFile(OneStream("a", BytesOf("one")));
  struct stat before, after;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  ComPtr<IStorage> root = Open(path, kOpenRW);
  EXPECT_EQ(GetStream(root.Get(), "a"), BytesOf("one"));
  root = nullptr;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino) << "a save replaces the file with a new one";
}

TEST_F(StorageFileTest, RootStatNamesTheFile) {
  const std::string path = MakeFile({});
  ComPtr<IStorage> root = Open(path, kOpenRead);
  STATSTG stat;
  ASSERT_EQ(root->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(std::string(stat.pwcsName), fs::canonical(path).string());
  CoTaskMemFree(stat.pwcsName);
  EXPECT_EQ(stat.type, STGTY_STORAGE);
  EXPECT_EQ(stat.grfMode, kOpenRead);
}

TEST_F(StorageFileTest, SavingKeepsPermissionsAndFollowsSymbolicLinks) {
  const std::string target = MakeFile(OneStream("a", BytesOf("one")), "target.qdx");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  const std::string link = folder_ + "/link.qdx";
  fs::create_symlink(target, link);
  {
    ComPtr<IStorage> root = Open(link, kOpenRW);
    PutStream(root.Get(), "b", BytesOf("two"));
  }
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(target).streams.size(), 2u);
}

TEST_F(StorageFileTest, TransactedOpenWritesOnlyOnCommitAndRevertsToIt) {
  const std::string path = MakeFile(OneStream("a", BytesOf("one")));
  ComPtr<IStorage> root = Open(path, STGM_READWRITE | STGM_TRANSACTED);
  PutStream(root.Get(), "b", BytesOf("two"));
  ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
  ComPtr<IStream> open;
  ASSERT_EQ(root->CreateStream("c", kCreateRW, 0, 0, open.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(root->DestroyElement("a"), S_OK);
  ASSERT_EQ(root->Revert(), S_OK);
  ULONG n;
  EXPECT_EQ(open->Write("x", 1, &n), STG_E_REVERTED) << "opened after the last commit";
  EXPECT_EQ(GetStream(root.Get(), "a"), BytesOf("one"));
  PutStream(root.Get(), "d", BytesOf("uncommitted"));
  open = nullptr;
  root = nullptr;  // released without a commit: the change is dropped
  Tree expected = OneStream("a", BytesOf("one"));
  expected.streams["b"] = BytesOf("two");
  ExpectSameTree(expected, ReadFile(path));
}

// A save that runs out of room (the file size limit stands in for a full disk) fails with
// STG_E_MEDIUMFULL and leaves the previous file as it was, with no temporary file behind.
class FailedSaveTest : public StorageFileTest {
 protected:
  void SetUp() override {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // report EFBIG instead of ending
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit_), 0);
  }
  void TearDown() override {
    RestoreLimit();
    std::signal(SIGXFSZ, previousHandler_);
    StorageFileTest::TearDown();
  }
  void LimitFileSize(rlim_t bytes) {
    rlimit limit = previousLimit_;
    limit.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  void RestoreLimit() { setrlimit(RLIMIT_FSIZE, &previousLimit_); }
  size_t FilesInFolder() {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  rlimit previousLimit_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(FailedSaveTest, CommitOfOpenedFileKeepsThePreviousFile) {
  const std::string path = MakeFile(OneStream("a", Pattern(20000, 1)));
  const Bytes before = ReadFileBytes(path);
  ComPtr<IStorage> root = Open(path, kOpenRW);
  PutStream(root.Get(), "big", Pattern(200000, 2));
  LimitFileSize(100000);
  HRESULT hr = root->Commit(STGC_DEFAULT);
  RestoreLimit();  // before anything is reported: test output may go to a file
  EXPECT_EQ(hr, STG_E_MEDIUMFULL);
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(FilesInFolder(), 1u) << "the temporary file was left behind";

  ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK) << "the changes are still there to save";
  EXPECT_EQ(ReadFile(path).streams.at("big"), Pattern(200000, 2));
}

TEST_F(FailedSaveTest, FailedFinalReleaseOfReplacementKeepsThePreviousFile) {
  const std::string path = MakeFile(OneStream("a", Pattern(20000, 1)));
  const Bytes before = ReadFileBytes(path);
  ComPtr<IStorage> root;
  ASSERT_EQ(StgCreateDocfile(path.c_str(), kCreateRW, 0, root.ReleaseAndGetAddressOf()), S_OK);
  PutStream(root.Get(), "big", Pattern(200000, 2));
  LimitFileSize(100000);
  root = nullptr;
  RestoreLimit();
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
}  // namespace vok::storage_test
