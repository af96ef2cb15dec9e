// IStorage, IStream and IEnumSTATSTG behaviour on in-memory storages: statuses, open modes,
// names, replacing, renaming, destroying, copying and moving.
#include <gtest/gtest.h>

#include "common/memory_stream.h"
#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

constexpr DWORD kCreateRW = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr DWORD kOpenRead = STGM_READ | STGM_SHARE_EXCLUSIVE;                     // 0x12
constexpr DWORD kOpenRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

class StorageObjectTest : public testing::Test {
 protected:
  void TearDown() override {
    root_ = nullptr;
    EXPECT_EQ(VokStorageLiveObjects(), 0) << "an object was leaked";
  }
  ComPtr<IStream> Create(const char* name, DWORD mode = kCreateRW) {
    ComPtr<IStream> stream;
    EXPECT_EQ(root_->CreateStream(name, mode, 0, 0, stream.ReleaseAndGetAddressOf()), S_OK);
    return stream;
  }
  HRESULT OpenStatus(const char* name, DWORD mode = kOpenRead) {
    ComPtr<IStream> stream;
    return root_->OpenStream(name, nullptr, mode, 0, stream.ReleaseAndGetAddressOf());
  }
  std::vector<std::string> Names(IStorage* storage) {
    ComPtr<IEnumSTATSTG> elements;
    EXPECT_EQ(storage->EnumElements(0, nullptr, 0, elements.ReleaseAndGetAddressOf()), S_OK);
    std::vector<std::string> names;
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
      names.push_back(stat.pwcsName);
      CoTaskMemFree(stat.pwcsName);
    }
    return names;
  }

  ComPtr<IStorage> root_ = NewMemoryStorage();
};

struct NameCase {
  const char* name;
  HRESULT expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << (c.name ? c.name : "(null)"); }

class ElementNameTest : public StorageObjectTest, public testing::WithParamInterface<NameCase> {};

TEST_P(ElementNameTest, CreateStreamChecksTheName) {
  ComPtr<IStream> stream;
  EXPECT_EQ(root_->CreateStream(GetParam().name, kCreateRW, 0, 0, stream.ReleaseAndGetAddressOf()),
            GetParam().expected);
  stream = nullptr;
  ComPtr<IStorage> storage;
  EXPECT_EQ(
      root_->CreateStorage(GetParam().name, kCreateRW, 0, 0, storage.ReleaseAndGetAddressOf()),
      GetParam().expected);
  storage = nullptr;
  EXPECT_EQ(root_->RenameElement("x", GetParam().name),
            GetParam().expected == S_OK ? STG_E_FILENOTFOUND : GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ElementNameTest,
    testing::Values(NameCase{"ENG_CONTAINER", S_OK}, NameCase{"y", S_OK},
                    NameCase{"abcdefghijklmnopqrstuvwxyz01234", S_OK},  // 31 units
                    NameCase{"abcdefghijklmnopqrstuvwxyz012345", STG_E_INVALIDNAME},
                    // 15 characters outside the BMP are 30 UTF-16 units, 16 are 32.
                    NameCase{"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
                             S_OK},
                    NameCase{"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                             "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
                             STG_E_INVALIDNAME},
                    NameCase{"", STG_E_INVALIDNAME}, NameCase{"a/b", STG_E_INVALIDNAME},
                    NameCase{"a\\b", STG_E_INVALIDNAME}, NameCase{"a:b", STG_E_INVALIDNAME},
                    NameCase{"a!b", STG_E_INVALIDNAME}, NameCase{"bad\xFF", STG_E_INVALIDNAME},
                    NameCase{"\xC0\xAF", STG_E_INVALIDNAME},  // overlong '/'
                    NameCase{nullptr, STG_E_INVALIDPOINTER}));

struct ModeCase {
  const char* label;
  DWORD mode;
  HRESULT create;  // CreateStream / CreateStorage
  HRESULT open;    // OpenStream / OpenStorage of an existing element
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.label; }

class OpenModeTest : public StorageObjectTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(OpenModeTest, ElementsCheckTheirMode) {
  PutStream(root_.Get(), "s", BytesOf("x"));
  ComPtr<IStorage> made;
  ASSERT_EQ(root_->CreateStorage("t", kCreateRW, 0, 0, made.ReleaseAndGetAddressOf()), S_OK);
  made = nullptr;
  const ModeCase& c = GetParam();
  ComPtr<IStream> stream;
  EXPECT_EQ(root_->CreateStream("new", c.mode, 0, 0, stream.ReleaseAndGetAddressOf()), c.create);
  stream = nullptr;
  EXPECT_EQ(root_->OpenStream("s", nullptr, c.mode, 0, stream.ReleaseAndGetAddressOf()), c.open);
  stream = nullptr;
  ComPtr<IStorage> storage;
  EXPECT_EQ(root_->CreateStorage("newdir", c.mode, 0, 0, storage.ReleaseAndGetAddressOf()),
            c.create);
  storage = nullptr;
  EXPECT_EQ(root_->OpenStorage("t", nullptr, c.mode, nullptr, 0, storage.ReleaseAndGetAddressOf()),
            c.open);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OpenModeTest,
    testing::Values(ModeCase{"ReadExclusive", 0x12, S_OK, S_OK},
                    ModeCase{"CreateReadWriteExclusive", 0x1012, S_OK, STG_E_INVALIDFLAG},
                    ModeCase{"ReadWriteExclusive", 0x12 | STGM_READWRITE, S_OK, S_OK},
                    ModeCase{"WriteExclusive", STGM_WRITE | STGM_SHARE_EXCLUSIVE, S_OK, S_OK},
                    ModeCase{"NoShareMode", STGM_READWRITE, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG},
                    ModeCase{"DenyWrite", STGM_READ | STGM_SHARE_DENY_WRITE, STG_E_INVALIDFLAG,
                             STG_E_INVALIDFLAG},
                    ModeCase{"BadAccess", 0x13, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG},
                    ModeCase{"BadShare", 0x52, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG},
                    ModeCase{"Transacted", 0x10012, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG},
                    ModeCase{"Convert", 0x20012, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG},
                    ModeCase{"UndefinedBit", 0x12 | 0x100, STG_E_INVALIDFLAG, STG_E_INVALIDFLAG}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(StorageObjectTest, CreatingAnExistingElementNeedsCreateFlagAndThenStartsEmpty) {
  PutStream(root_.Get(), "ENG_CONTAINER", Pattern(100, 1));
  ComPtr<IStream> stream;
  EXPECT_EQ(root_->CreateStream("ENG_CONTAINER", kOpenRW, 0, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_FILEALREADYEXISTS);
  stream = Create("ENG_CONTAINER");
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 0u);
  stream = nullptr;
  EXPECT_EQ(Names(root_.Get()), std::vector<std::string>{"ENG_CONTAINER"});
}

TEST_F(StorageObjectTest, CreateFlagReplacesStorageByStreamAndBack) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(root_->CreateStorage("x", kCreateRW, 0, 0, storage.ReleaseAndGetAddressOf()), S_OK);
  PutStream(storage.Get(), "inner", Pattern(10, 1));
  storage = nullptr;
  Create("x");
  EXPECT_EQ(OpenStatus("x"), S_OK);
  ASSERT_EQ(root_->CreateStorage("x", kCreateRW, 0, 0, storage.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_TRUE(Names(storage.Get()).empty());
}

TEST_F(StorageObjectTest, MissingElementsAndWrongKinds) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(root_->CreateStorage("dir", kCreateRW, 0, 0, storage.ReleaseAndGetAddressOf()), S_OK);
  storage = nullptr;
  PutStream(root_.Get(), "file", BytesOf("x"));
  EXPECT_EQ(OpenStatus("nothing"), STG_E_FILENOTFOUND);
  EXPECT_EQ(OpenStatus("dir"), STG_E_FILENOTFOUND);
  EXPECT_EQ(
      root_->OpenStorage("file", nullptr, kOpenRead, nullptr, 0, storage.ReleaseAndGetAddressOf()),
      STG_E_FILENOTFOUND);
  EXPECT_EQ(root_->DestroyElement("nothing"), STG_E_FILENOTFOUND);
  EXPECT_EQ(root_->RenameElement("nothing", "other"), STG_E_FILENOTFOUND);
}

TEST_F(StorageObjectTest, NamesMatchWithoutRegardToCase) {
  PutStream(root_.Get(), "Eng_Container", BytesOf("data"));
  EXPECT_EQ(GetStream(root_.Get(), "ENG_CONTAINER"), BytesOf("data"));
  EXPECT_EQ(GetStream(root_.Get(), "eng_container"), BytesOf("data"));
  ComPtr<IStream> stream;
  EXPECT_EQ(root_->CreateStream("ENG_CONTAINER", kOpenRW, 0, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(Names(root_.Get()), std::vector<std::string>{"Eng_Container"});
}

TEST_F(StorageObjectTest, AnOpenElementCannotBeOpenedAgainOrReplaced) {
  ComPtr<IStream> open = Create("s");
  EXPECT_EQ(OpenStatus("s"), STG_E_ACCESSDENIED);
  ComPtr<IStream> other;
  EXPECT_EQ(root_->CreateStream("s", kCreateRW, 0, 0, other.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  open = nullptr;
  EXPECT_EQ(OpenStatus("s"), S_OK);
}

TEST_F(StorageObjectTest, DestroyingAnOpenElementRevertsItsObjects) {
  ComPtr<IStorage> sub;
  ASSERT_EQ(root_->CreateStorage("sub", kCreateRW, 0, 0, sub.ReleaseAndGetAddressOf()), S_OK);
  ComPtr<IStream> inner;
  ASSERT_EQ(sub->CreateStream("inner", kCreateRW, 0, 0, inner.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(root_->DestroyElement("sub"), S_OK);
  ULONG written;
  EXPECT_EQ(inner->Write("x", 1, &written), STG_E_REVERTED);
  EXPECT_EQ(sub->CreateStream("again", kCreateRW, 0, 0, inner.ReleaseAndGetAddressOf()),
            STG_E_REVERTED);
  EXPECT_TRUE(Names(root_.Get()).empty());
}

TEST_F(StorageObjectTest, ReleasingTheRootRevertsObjectsStillOpen) {
  ComPtr<IStream> stream = Create("s");
  root_ = nullptr;
  ULONG written;
  EXPECT_EQ(stream->Write("x", 1, &written), STG_E_REVERTED);
  STATSTG stat;
  EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), STG_E_REVERTED);
}

TEST_F(StorageObjectTest, RenameKeepsContentAndOrder) {
  PutStream(root_.Get(), "bb", BytesOf("two"));
  PutStream(root_.Get(), "a", BytesOf("one"));
  PutStream(root_.Get(), "ccc", BytesOf("three"));
  EXPECT_EQ(root_->RenameElement("a", "bb"), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(root_->RenameElement("a", "A/b"), STG_E_INVALIDNAME);
  ASSERT_EQ(root_->RenameElement("a", "dddd"), S_OK);
  ASSERT_EQ(root_->RenameElement("bb", "BB"), S_OK) << "a change of letter case only";
  EXPECT_EQ(Names(root_.Get()), (std::vector<std::string>{"BB", "ccc", "dddd"}));
  EXPECT_EQ(GetStream(root_.Get(), "dddd"), BytesOf("one"));
  EXPECT_EQ(OpenStatus("a"), STG_E_FILENOTFOUND);
}

TEST_F(StorageObjectTest, EnumeratorWalksASnapshotInSiblingOrder) {
  for (const char* name : {"zz", "b", "AAA", "a1"}) PutStream(root_.Get(), name, BytesOf(name));
  ComPtr<IStorage> sub;
  ASSERT_EQ(root_->CreateStorage("Y", kCreateRW, 0, 0, sub.ReleaseAndGetAddressOf()), S_OK);
  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(root_->EnumElements(0, nullptr, 0, elements.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(root_->DestroyElement("zz"), S_OK);  // not seen by the enumerator made before

  STATSTG stats[4];
  ULONG fetched = 0;
  ASSERT_EQ(elements->Next(4, stats, &fetched), S_OK);
  ASSERT_EQ(fetched, 4u);
  const char* expected[] = {"b", "Y", "a1", "zz"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(stats[i].pwcsName, expected[i]);
    CoTaskMemFree(stats[i].pwcsName);
  }
  EXPECT_EQ(stats[1].type, STGTY_STORAGE);
  EXPECT_EQ(stats[0].type, STGTY_STREAM);
  EXPECT_EQ(stats[2].cbSize.QuadPart, 2u);

  ComPtr<IEnumSTATSTG> copy;
  ASSERT_EQ(elements->Clone(copy.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(elements->Next(4, stats, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_STREQ(stats[0].pwcsName, "AAA");
  CoTaskMemFree(stats[0].pwcsName);
  EXPECT_EQ(elements->Next(1, stats, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(copy->Skip(2), S_FALSE);
  ASSERT_EQ(copy->Reset(), S_OK);
  EXPECT_EQ(copy->Skip(5), S_OK);
  EXPECT_EQ(copy->Next(1, stats, nullptr), S_FALSE);
}

TEST_F(StorageObjectTest, StreamReadWriteSeekAndSize) {
  ComPtr<IStream> stream = Create("s");
  ULONG n = 0;
  ASSERT_EQ(stream->Write("hello", 5, &n), S_OK);
  LARGE_INTEGER move{10};
  ULARGE_INTEGER position{};
  ASSERT_EQ(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
  ASSERT_EQ(stream->Write("!", 1, &n), S_OK);  // past the end: the gap reads as zeros
  char buffer[16] = {};
  ASSERT_EQ(stream->Seek(LARGE_INTEGER{-11}, STREAM_SEEK_CUR, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 0u);
  ASSERT_EQ(stream->Read(buffer, sizeof buffer, &n), S_OK);
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(std::string(buffer, 11), std::string("hello\0\0\0\0\0!", 11));
  EXPECT_EQ(stream->Read(buffer, sizeof buffer, &n), S_OK);
  EXPECT_EQ(n, 0u) << "reading at the end";
  EXPECT_EQ(stream->Seek(LARGE_INTEGER{-1}, STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(LARGE_INTEGER{0}, 7, &position), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(stream->Seek(LARGE_INTEGER{-2}, STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 9u);

  ASSERT_EQ(stream->SetSize(ULARGE_INTEGER{3}), S_OK);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_STREQ(stat.pwcsName, "s");
  CoTaskMemFree(stat.pwcsName);
  EXPECT_EQ(stat.cbSize.QuadPart, 3u);
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(stat.grfMode, kCreateRW);
  EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{0x80000001ull}), STG_E_MEDIUMFULL);
  EXPECT_EQ(stream->LockRegion({}, {}, 0), STG_E_INVALIDFUNCTION);
}

TEST_F(StorageObjectTest, CloneHasItsOwnPositionOverTheSameBytes) {
  ComPtr<IStream> stream = Create("s");
  ULONG n;
  ASSERT_EQ(stream->Write("abcdef", 6, &n), S_OK);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(clone->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(stream->Write("G", 1, &n), S_OK);
  char buffer[8] = {};
  ASSERT_EQ(clone->Read(buffer, 8, &n), S_OK);
  EXPECT_EQ(std::string(buffer, n), "abcdefG");
}

TEST_F(StorageObjectTest, StreamCopyToAnotherStream) {
  ComPtr<IStream> stream = Create("s");
  const Bytes data = Pattern(10000, 5);
  ULONG n;
  ASSERT_EQ(stream->Write(data.data(), static_cast<ULONG>(data.size()), &n), S_OK);
  ASSERT_EQ(stream->Seek(LARGE_INTEGER{100}, STREAM_SEEK_SET, nullptr), S_OK);
  auto target = MemoryStream::Create();
  ULARGE_INTEGER read{}, written{};
  ASSERT_EQ(stream->CopyTo(target.Get(), ULARGE_INTEGER{~0ull}, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 9900u);
  EXPECT_EQ(written.QuadPart, 9900u);
  EXPECT_EQ(target->Bytes(), Bytes(data.begin() + 100, data.end()));
  auto failing = MemoryStream::Create();
  failing->FailAfter(10, STG_E_MEDIUMFULL);
  ASSERT_EQ(stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(stream->CopyTo(failing.Get(), ULARGE_INTEGER{100}, &read, &written), STG_E_MEDIUMFULL);
}

TEST_F(StorageObjectTest, StorageCopyToMergesIntoAnotherStorage) {
  Tree tree;
  tree.storages = {"A", "A/B"};
  tree.streams["top"] = Pattern(5000, 1);
  tree.streams["skip"] = Pattern(10, 2);
  tree.streams["A/x"] = Pattern(50, 3);
  tree.streams["A/B/y"] = Pattern(70, 4);
  Build(root_.Get(), tree);
  ComPtr<IStorage> target = NewMemoryStorage();
  PutStream(target.Get(), "top", BytesOf("old"));
  ComPtr<IStorage> existing;
  ASSERT_EQ(target->CreateStorage("A", kCreateRW, 0, 0, existing.ReleaseAndGetAddressOf()), S_OK);
  PutStream(existing.Get(), "kept", BytesOf("kept"));
  existing = nullptr;

  const char* excluded[] = {"skip", nullptr};
  ASSERT_EQ(root_->CopyTo(0, nullptr, excluded, target.Get()), S_OK);
  Tree expected = tree;
  expected.streams.erase("skip");
  expected.streams["A/kept"] = BytesOf("kept");
  ExpectSameTree(expected, Read(target.Get()));

  ComPtr<IStorage> streamsOnly = NewMemoryStorage();
  const IID noStorages[] = {IStorage::kIID};
  ASSERT_EQ(root_->CopyTo(1, noStorages, nullptr, streamsOnly.Get()), S_OK);
  EXPECT_EQ(Names(streamsOnly.Get()), (std::vector<std::string>{"top", "skip"}));

  ComPtr<IStorage> a;
  ASSERT_EQ(root_->OpenStorage("A", nullptr, kOpenRW, nullptr, 0, a.ReleaseAndGetAddressOf()),
            S_OK);
  EXPECT_EQ(root_->CopyTo(0, nullptr, nullptr, a.Get()), STG_E_ACCESSDENIED) << "into itself";
}

TEST_F(StorageObjectTest, MoveElementToAnotherStorage) {
  PutStream(root_.Get(), "s", BytesOf("content"));
  ComPtr<IStorage> sub;
  ASSERT_EQ(root_->CreateStorage("sub", kCreateRW, 0, 0, sub.ReleaseAndGetAddressOf()), S_OK);
  ASSERT_EQ(root_->MoveElementTo("s", sub.Get(), "copy", STGMOVE_COPY), S_OK);
  ASSERT_EQ(root_->MoveElementTo("s", sub.Get(), "moved", STGMOVE_MOVE), S_OK);
  EXPECT_EQ(OpenStatus("s"), STG_E_FILENOTFOUND);
  EXPECT_EQ(GetStream(sub.Get(), "copy"), BytesOf("content"));
  EXPECT_EQ(GetStream(sub.Get(), "moved"), BytesOf("content"));
  PutStream(root_.Get(), "s", BytesOf("again"));
  EXPECT_EQ(root_->MoveElementTo("s", sub.Get(), "moved", STGMOVE_MOVE), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(root_->MoveElementTo("sub", sub.Get(), "inside", STGMOVE_COPY), STG_E_ACCESSDENIED);
  EXPECT_EQ(root_->MoveElementTo("s", sub.Get(), "x", 7), STG_E_INVALIDFLAG);
  EXPECT_EQ(GetStream(root_.Get(), "s"), BytesOf("again"));
}

TEST_F(StorageObjectTest, StoragesNestAtMost256Deep) {
  ComPtr<IStorage> current = root_;
  for (int depth = 1; depth <= 256; ++depth) {
    ComPtr<IStorage> child;
    ASSERT_EQ(current->CreateStorage("d", kCreateRW, 0, 0, child.ReleaseAndGetAddressOf()), S_OK)
        << depth;
    current = child;
  }
  ComPtr<IStorage> tooDeep;
  EXPECT_EQ(current->CreateStorage("d", kCreateRW, 0, 0, tooDeep.ReleaseAndGetAddressOf()),
            STG_E_ACCESSDENIED);
  PutStream(current.Get(), "leaf", BytesOf("deep"));
  current = nullptr;
  const Bytes file = Serialize(root_.Get());
  ComPtr<IStorage> reopened = OpenBytes(file);
  ASSERT_TRUE(reopened);
  Tree tree = Read(reopened.Get());
  ASSERT_EQ(tree.streams.size(), 1u);
  EXPECT_EQ(tree.streams.begin()->second, BytesOf("deep"));
}

TEST_F(StorageObjectTest, InvalidArguments) {
  ComPtr<IStream> stream;
  EXPECT_EQ(root_->CreateStream("s", kCreateRW, 0, 0, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(root_->CreateStream("s", kCreateRW, 1, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_INVALIDPARAMETER);
  int dummy;
  EXPECT_EQ(root_->OpenStream("s", &dummy, kOpenRead, 0, stream.ReleaseAndGetAddressOf()),
            STG_E_INVALIDPARAMETER);
  ComPtr<IStorage> storage;
  EXPECT_EQ(
      root_->OpenStorage("s", root_.Get(), kOpenRead, nullptr, 0, storage.ReleaseAndGetAddressOf()),
      STG_E_INVALIDPARAMETER);
  EXPECT_EQ(root_->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
  STATSTG stat;
  EXPECT_EQ(root_->Stat(&stat, 5), STG_E_INVALIDFLAG);
  EXPECT_EQ(root_->Commit(0x100), STG_E_INVALIDFLAG);
  std::vector<uint8_t> bytes;
  ComPtr<IStorage> sub;
  ASSERT_EQ(root_->CreateStorage("sub", kCreateRW, 0, 0, sub.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(VokSaveStorageToBytes(sub.Get(), &bytes), E_INVALIDARG);
  EXPECT_EQ(VokSaveStorageToBytes(nullptr, &bytes), E_INVALIDARG);
}

}  // namespace
}  // namespace vok::storage_test
