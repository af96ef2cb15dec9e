// Round trips through the writer and reader: the bytes written are well formed, read back to
// the same tree and are written again identically.
#include <gtest/gtest.h>

#include <functional>

#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

struct RoundTripCase {
  const char* name;
  std::function<Tree()> make;
};

Tree StreamsOfSizes(std::initializer_list<size_t> sizes) {
  Tree tree;
  for (size_t size : sizes) tree.streams["s" + std::to_string(size)] = Pattern(size, size);
  return tree;
}

const RoundTripCase kRoundTrips[] = {
    {"Empty", [] { return Tree{}; }},
    {"ContainerRecord",
     [] {
       Tree tree;
       tree.streams["ENG_CONTAINER"] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
       return tree;
     }},
    {"MiniStreamSizes",
     [] {
       return StreamsOfSizes({0, 1, 63, 64, 65, 511, 512, 513, 1000});
     }},
    {"CutoffBoundary",
     [] {
       return StreamsOfSizes({4095, 4096, 4097});
     }},
    {"LargeStreams",
     [] {
       return StreamsOfSizes({5000, 70000, 200000});
     }},
    {"SeveralFatSectors",  // about 1.2 MB: ten FAT sectors
     [] {
       Tree tree = StreamsOfSizes({600000, 600001});
       tree.streams["small"] = Pattern(10, 1);
       return tree;
     }},
    {"ManyEntries",
     [] {
       Tree tree;
       for (int i = 0; i < 600; ++i) {
         tree.streams["Item" + std::to_string(i)] = Pattern(i % 7 == 0 ? 5000 : i, i);
       }
       return tree;
     }},
    {"SubStorages",
     [] {
       Tree tree;
       tree.storages = {"Empty", "A", "A/B", "A/B/C", "A/B/C/D"};
       tree.streams["A/one"] = Pattern(100, 1);
       tree.streams["A/B/two"] = Pattern(5000, 2);
       tree.streams["A/B/C/D/three"] = Pattern(3, 3);
       tree.streams["top"] = Pattern(4096, 4);
       for (int i = 0; i < 40; ++i) tree.streams["A/B/n" + std::to_string(i)] = Pattern(i * 50, i);
       return tree;
     }},
    {"NameOrder",  // lengths and letter case decide the order, not byte values
     [] {
       Tree tree;
       for (const char* name : {"b", "A", "aa", "Ab", "ZZZ", "zz", "B1", "a_", "_a", "\x05Summary",
                                "Gr\xC3\xB6\xC3\x9F"
                                "e",
                                "\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD"})
         tree.streams[name] = BytesOf(name);
       return tree;
     }},
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {
 protected:
  void TearDown() override { EXPECT_EQ(VokStorageLiveObjects(), 0); }
};

TEST_P(RoundTripTest, WritesWellFormedFileThatReadsBackIdentically) {
  const Tree tree = GetParam().make();
  ComPtr<IStorage> original = NewMemoryStorage();
  Build(original.Get(), tree);
  const Bytes file = Serialize(original.Get());
  ExpectWellFormed(file);

  ComPtr<IStorage> reopened = OpenBytes(file);
  ASSERT_TRUE(reopened);
  ExpectSameTree(tree, Read(reopened.Get()));
  EXPECT_EQ(Serialize(reopened.Get()), file) << "a second save changes the file";
}

TEST_P(RoundTripTest, IndependentReadingOfTheLayoutFindsTheContent) {
  const Tree tree = GetParam().make();
  ComPtr<IStorage> original = NewMemoryStorage();
  Build(original.Get(), tree);
  const Bytes file = Serialize(original.Get());
  RawFile raw = ParseRaw(file);
  for (const auto& [path, bytes] : tree.streams) {
    std::string leaf = path.substr(path.rfind('/') + 1);
    int index = raw.Find(leaf);
    ASSERT_GE(index, 0) << path;
    EXPECT_EQ(raw.Content(raw.entries[index]), bytes) << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, RoundTripTest, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompoundFileLayout, StreamsUnder4096BytesLiveInTheMiniStream) {
  ComPtr<IStorage> storage = NewMemoryStorage();
  Build(storage.Get(), StreamsOfSizes({4095, 4096}));
  const Bytes file = Serialize(storage.Get());
  RawFile raw = ParseRaw(file);
  const RawEntry& mini = raw.entries.at(raw.Find("s4095"));
  const RawEntry& regular = raw.entries.at(raw.Find("s4096"));
  EXPECT_EQ(raw.entries[0].size, 4096u) << "64 mini sectors of 64 bytes";
  EXPECT_EQ(mini.start, 0u) << "first mini sector";
  EXPECT_EQ(raw.miniFat.at(63), 0xFFFFFFFEu) << "the mini chain ends after 64 sectors";
  EXPECT_GE(regular.start, 1u);
  EXPECT_EQ(file.size(), 512u * (1 + 1 + 1 + 1 + 8 + 8))
      << "header, FAT, directory, mini FAT, 8 mini stream sectors, 8 stream sectors";
}

// More than 109 FAT sectors need DIFAT sectors: 7.5 MB of streams give 120 FAT sectors.
TEST(CompoundFileLayout, LargeFilesListFurtherFatSectorsInDifatSectors) {
  Tree tree;
  for (int i = 0; i < 15; ++i) tree.streams["chunk" + std::to_string(i)] = Pattern(500000, i);
  tree.streams["tail"] = Pattern(100, 99);
  ComPtr<IStorage> storage = NewMemoryStorage();
  Build(storage.Get(), tree);
  const Bytes file = Serialize(storage.Get());
  ExpectWellFormed(file);
  RawFile raw = ParseRaw(file);
  EXPECT_GT(raw.fatSectorCount, 109u);
  EXPECT_EQ(raw.difatSectorCount, 1u);

  ComPtr<IStorage> reopened = OpenBytes(file);
  ASSERT_TRUE(reopened);
  ExpectSameTree(tree, Read(reopened.Get()));
  storage = nullptr;
  reopened = nullptr;
  EXPECT_EQ(VokStorageLiveObjects(), 0);
}

TEST(CompoundFileLayout, StorageClassStateBitsAndTimesSurvive) {
  const CLSID kClass = {
      0x3EADE793, 0x6E4E, 0x11D2, {0xB4, 0xF9, 0xAA, 0x3B, 0x0C, 0xAC, 0x65, 0x58}};
  const FILETIME kTime = {0x12345678, 0x01D2ABCD};
  Bytes file;
  {
    ComPtr<IStorage> root = NewMemoryStorage();
    ASSERT_EQ(root->SetClass(kClass), S_OK);
    ComPtr<IStorage> sub;
    ASSERT_EQ(root->CreateStorage("Sub", 0x1012, 0, 0, sub.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(sub->SetStateBits(0xA5, 0xFF), S_OK);
    ASSERT_EQ(sub->SetClass(kClass), S_OK);
    sub = nullptr;
    ASSERT_EQ(root->SetElementTimes("Sub", &kTime, nullptr, &kTime), S_OK);
    file = Serialize(root.Get());
  }
  ComPtr<IStorage> root = OpenBytes(file);
  STATSTG stat;
  ASSERT_EQ(root->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.clsid, kClass);
  ComPtr<IStorage> sub;
  ASSERT_EQ(root->OpenStorage("Sub", nullptr, 0x12, nullptr, 0, sub.ReleaseAndGetAddressOf()),
            S_OK);
  ASSERT_EQ(sub->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.clsid, kClass);
  EXPECT_EQ(stat.grfStateBits, 0xA5u);
  EXPECT_EQ(stat.ctime.dwLowDateTime, kTime.dwLowDateTime);
  EXPECT_EQ(stat.mtime.dwHighDateTime, kTime.dwHighDateTime);
}

}  // namespace
}  // namespace vok::storage_test

namespace vok::storage_test {
namespace {

// A version 4 file (4096-byte sectors) made by hand: FAT, directory, mini FAT, mini stream
// holding "Small" (100 bytes) and two sectors of "Big" (5000 bytes).
Bytes Version4File(const Bytes& small, const Bytes& big) {
  constexpr size_t kSector = 4096;
  constexpr uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF;
  Bytes f(kSector * 7, 0);
  auto at = [](uint32_t sector) { return (sector + 1) * kSector; };
  const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(signature, signature + 8, f.begin());
  Put16(f, 24, 0x3E);
  Put16(f, 26, 4);
  Put16(f, 28, 0xFFFE);
  Put16(f, 30, 12);
  Put16(f, 32, 6);
  Put32(f, 40, 1);  // directory sectors
  Put32(f, 44, 1);  // FAT sectors
  Put32(f, 48, 1);  // first directory sector
  Put32(f, 56, 4096);
  Put32(f, 60, 2);  // mini FAT
  Put32(f, 64, 1);
  Put32(f, 68, kEnd);
  Put32(f, 76, 0);
  for (int i = 1; i < 109; ++i) Put32(f, 76 + 4 * i, kFree);
  const uint32_t fat[] = {0xFFFFFFFD, kEnd, kEnd, kEnd, 5, kEnd};
  for (uint32_t i = 0; i < kSector / 4; ++i) Put32(f, at(0) + 4 * i, i < 6 ? fat[i] : kFree);
  auto entry = [&](uint32_t index, const std::u16string& name, uint8_t type, uint32_t right,
                   uint32_t child, uint32_t start, uint32_t size) {
    size_t e = at(1) + 128 * index;
    for (size_t i = 0; i < name.size(); ++i) Put16(f, e + 2 * i, name[i]);
    Put16(f, e + 64, static_cast<uint16_t>(2 * (name.size() + 1)));
    f[e + 66] = type;
    f[e + 67] = 1;
    Put32(f, e + 68, kFree);
    Put32(f, e + 72, right);
    Put32(f, e + 76, child);
    Put32(f, e + 116, start);
    Put32(f, e + 120, size);
  };
  entry(0, u"Root Entry", 5, kFree, 1, 3, 128);
  entry(1, u"Big", 2, 2, kFree, 4, static_cast<uint32_t>(big.size()));
  entry(2, u"Small", 2, kFree, kFree, 0, static_cast<uint32_t>(small.size()));
  for (uint32_t i = 3; i < kSector / 128; ++i) {  // free slots
    for (size_t link : {68, 72, 76}) Put32(f, at(1) + 128 * i + link, kFree);
  }
  for (uint32_t i = 0; i < kSector / 4; ++i)
    Put32(f, at(2) + 4 * i, i == 0 ? 1 : i == 1 ? kEnd : kFree);
  std::copy(small.begin(), small.end(), f.begin() + at(3));
  std::copy(big.begin(), big.end(), f.begin() + at(4));
  return f;
}

TEST(CompoundFileVersions, ReadsVersion4Files) {
  Tree tree;
  tree.streams["Small"] = Pattern(100, 1);
  tree.streams["Big"] = Pattern(5000, 2);
  const Bytes file = Version4File(tree.streams["Small"], tree.streams["Big"]);
  ComPtr<IStorage> storage = OpenBytes(file);
  ASSERT_TRUE(storage);
  ExpectSameTree(tree, Read(storage.Get()));
  // Saved again, it becomes a version 3 file with the same content.
  const Bytes saved = Serialize(storage.Get());
  ExpectWellFormed(saved);
  ExpectSameTree(tree, Read(OpenBytes(saved).Get()));
}

}  // namespace
}  // namespace vok::storage_test
