// Malformed files: one change at a chosen place of a valid file gives the expected status, and
// no change or cut anywhere makes the reader crash, hang or accept an inconsistent tree.
#include <gtest/gtest.h>

#include <functional>

#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

// Root: "Sub" (storage with "Delta" 600 and "Gamma" 200 bytes), "Beta" (5000 bytes, regular
// sectors) and "Alpha" (100 bytes, mini stream).
Tree SampleTree() {
  Tree tree;
  tree.storages = {"Sub"};
  tree.streams["Alpha"] = Pattern(100, 1);
  tree.streams["Beta"] = Pattern(5000, 2);
  tree.streams["Sub/Gamma"] = Pattern(200, 3);
  tree.streams["Sub/Delta"] = Pattern(600, 4);
  return tree;
}

const Bytes& SampleFile() {
  static const Bytes file = [] {
    ComPtr<IStorage> storage = NewMemoryStorage();
    Build(storage.Get(), SampleTree());
    return Serialize(storage.Get());
  }();
  return file;
}

HRESULT OpenStatus(const Bytes& file) {
  ComPtr<IStorage> storage;
  return VokOpenStorageOnBytes(file.data(), file.size(), storage.ReleaseAndGetAddressOf());
}

struct Damage {
  const char* name;
  std::function<void(Bytes& file, const RawFile& raw)> apply;
  HRESULT expected;
};

size_t EntryField(const RawFile& raw, const char* name, size_t field) {
  int index = raw.Find(name);
  EXPECT_GE(index, 0) << name;
  return raw.entries.at(index).offset + field;
}
uint32_t IndexOf(const RawFile& raw, const char* name) {
  return static_cast<uint32_t>(raw.Find(name));
}

constexpr size_t kLeft = 68, kRight = 72, kChild = 76, kSize = 120, kNameLength = 64, kType = 66;

const Damage kDamages[] = {
    // Header.
    {"Signature", [](Bytes& f, const RawFile&) { f[0] ^= 1; }, STG_E_INVALIDHEADER},
    {"SectorShift", [](Bytes& f, const RawFile&) { Put16(f, 30, 10); }, STG_E_INVALIDHEADER},
    {"MajorVersion", [](Bytes& f, const RawFile&) { Put16(f, 26, 2); }, STG_E_INVALIDHEADER},
    {"Version4WithSmallSectors", [](Bytes& f, const RawFile&) { Put16(f, 26, 4); },
     STG_E_INVALIDHEADER},
    {"ByteOrder", [](Bytes& f, const RawFile&) { Put16(f, 28, 0xFEFF); }, STG_E_INVALIDHEADER},
    {"MiniSectorShift", [](Bytes& f, const RawFile&) { Put16(f, 32, 7); }, STG_E_INVALIDHEADER},
    {"MiniStreamCutoff", [](Bytes& f, const RawFile&) { Put32(f, 56, 8192); }, STG_E_INVALIDHEADER},
    {"ShorterThanHeader", [](Bytes& f, const RawFile&) { f.resize(300); }, STG_E_INVALIDHEADER},
    {"HeaderOnly", [](Bytes& f, const RawFile&) { f.resize(512); }, STG_E_DOCFILECORRUPT},
    {"FatSectorCountBeyondFile", [](Bytes& f, const RawFile&) { Put32(f, 44, 1000); },
     STG_E_DOCFILECORRUPT},
    {"NoFatSectors", [](Bytes& f, const RawFile&) { Put32(f, 44, 0); }, STG_E_DOCFILECORRUPT},
    {"FatSectorOutsideFile", [](Bytes& f, const RawFile&) { Put32(f, 76, 5000); },
     STG_E_DOCFILECORRUPT},
    {"FatSectorListedTwice",
     [](Bytes& f, const RawFile& r) {
       Put32(f, 44, 2);
       Put32(f, 80, r.fatSectors[0]);
     },
     STG_E_DOCFILECORRUPT},
    {"MissingDifatSector", [](Bytes& f, const RawFile&) { Put32(f, 44, 110); },
     STG_E_DOCFILECORRUPT},
    {"DirectoryOutsideFile", [](Bytes& f, const RawFile&) { Put32(f, 48, 9999); },
     STG_E_DOCFILECORRUPT},
    // FAT chains.
    {"StreamChainLoops",
     [](Bytes& f, const RawFile& r) {
       uint32_t first = r.entries[IndexOf(r, "Beta")].start;
       Put32(f, r.FatEntryOffset(first), first);
     },
     STG_E_DOCFILECORRUPT},
    {"StreamChainBroken",
     [](Bytes& f, const RawFile& r) {
       Put32(f, r.FatEntryOffset(r.entries[IndexOf(r, "Beta")].start), 0xFFFFFFFF);
     },
     STG_E_DOCFILECORRUPT},
    {"StreamChainEndsEarly",
     [](Bytes& f, const RawFile& r) {
       Put32(f, r.FatEntryOffset(r.entries[IndexOf(r, "Beta")].start), 0xFFFFFFFE);
     },
     STG_E_DOCFILECORRUPT},
    {"StreamChainRunsIntoDirectory",
     [](Bytes& f, const RawFile& r) {
       Put32(f, r.FatEntryOffset(r.entries[IndexOf(r, "Beta")].start), r.dirSectors[0]);
     },
     STG_E_DOCFILECORRUPT},
    {"DirectoryChainLoops",
     [](Bytes& f, const RawFile& r) {
       Put32(f, r.FatEntryOffset(r.dirSectors.back()), r.dirSectors.front());
     },
     STG_E_DOCFILECORRUPT},
    {"MiniChainLoops",
     [](Bytes& f, const RawFile& r) {
       uint32_t first = r.entries[IndexOf(r, "Alpha")].start;
       Put32(f, (1 + size_t{r.fatSectors.size() + r.dirSectors.size()}) * 512 + 4 * first, first);
     },
     STG_E_DOCFILECORRUPT},
    // Directory links.
    {"ChildIndexOutOfRange",
     [](Bytes& f, const RawFile& r) { Put32(f, r.entries[0].offset + kChild, 200); },
     STG_E_DOCFILECORRUPT},
    {"ChildIsRoot", [](Bytes& f, const RawFile& r) { Put32(f, r.entries[0].offset + kChild, 0); },
     STG_E_DOCFILECORRUPT},
    {"SiblingLoop",
     [](Bytes& f, const RawFile& r) {
       Put32(f, EntryField(r, "Alpha", kLeft), IndexOf(r, "Beta"));
     },
     STG_E_DOCFILECORRUPT},
    {"SiblingSharedBetweenStorages",
     [](Bytes& f, const RawFile& r) {
       Put32(f, EntryField(r, "Delta", kLeft), IndexOf(r, "Alpha"));
     },
     STG_E_DOCFILECORRUPT},
    {"StorageContainsItsParent",
     [](Bytes& f, const RawFile& r) { Put32(f, EntryField(r, "Sub", kChild), IndexOf(r, "Beta")); },
     STG_E_DOCFILECORRUPT},
    {"FreeEntryLinked",
     [](Bytes& f, const RawFile& r) {
       Put32(f, EntryField(r, "Alpha", kRight), static_cast<uint32_t>(r.entries.size() - 1));
     },
     STG_E_DOCFILECORRUPT},
    {"UnknownEntryType", [](Bytes& f, const RawFile& r) { f[EntryField(r, "Alpha", kType)] = 3; },
     STG_E_DOCFILECORRUPT},
    {"RootNotRootType", [](Bytes& f, const RawFile& r) { f[r.entries[0].offset + kType] = 1; },
     STG_E_DOCFILECORRUPT},
    // Sizes.
    {"StreamLongerThanChain",
     [](Bytes& f, const RawFile& r) { Put32(f, EntryField(r, "Beta", kSize), 50000); },
     STG_E_DOCFILECORRUPT},
    {"StreamSizeBeyondFile",
     [](Bytes& f, const RawFile& r) { Put32(f, EntryField(r, "Beta", kSize), 0x7FFFFFFF); },
     STG_E_DOCFILECORRUPT},
    {"MiniStreamLongerThanChain",
     [](Bytes& f, const RawFile& r) { Put32(f, EntryField(r, "Alpha", kSize), 3000); },
     STG_E_DOCFILECORRUPT},
    {"MiniStreamContainerTooLong",
     [](Bytes& f, const RawFile& r) { Put32(f, r.entries[0].offset + kSize, 100000); },
     STG_E_DOCFILECORRUPT},
    {"MiniSectorBeyondMiniStream",
     [](Bytes& f, const RawFile& r) { Put32(f, r.entries[0].offset + kSize, 64); },
     STG_E_DOCFILECORRUPT},
    {"CutInsideStreamData", [](Bytes& f, const RawFile&) { f.resize(f.size() - 1024); },
     STG_E_DOCFILECORRUPT},
    // Names.
    {"NameLengthOdd",
     [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", kNameLength), 11); },
     STG_E_DOCFILECORRUPT},
    {"NameLengthTooLong",
     [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", kNameLength), 66); },
     STG_E_DOCFILECORRUPT},
    {"NameEmpty",
     [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", kNameLength), 2); },
     STG_E_DOCFILECORRUPT},
    {"NameWithoutTerminator",
     [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", 10), u'x'); },
     STG_E_DOCFILECORRUPT},
    {"NameWithSlash", [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", 2), u'/'); },
     STG_E_DOCFILECORRUPT},
    {"NameWithLoneSurrogate",
     [](Bytes& f, const RawFile& r) { Put16(f, EntryField(r, "Alpha", 2), 0xD800); },
     STG_E_DOCFILECORRUPT},
    {"DuplicateNameIgnoringCase",
     [](Bytes& f, const RawFile& r) {
       const char16_t upper[] = u"DELTA";
       for (int i = 0; i < 5; ++i) Put16(f, EntryField(r, "Gamma", 2 * i), upper[i]);
     },
     STG_E_DOCFILECORRUPT},
    // Tolerated: what some writers leave behind without harm.
    {"Version3SizeHighHalfIgnored",
     [](Bytes& f, const RawFile& r) { Put32(f, EntryField(r, "Alpha", kSize + 4), 0xDEADBEEF); },
     S_OK},
    {"LastSectorCutInPadding", [](Bytes& f, const RawFile&) { f.resize(f.size() - 100); }, S_OK},
    {"SiblingTreeUnbalancedAndRed",
     [](Bytes& f, const RawFile& r) {
       for (const RawEntry& e : r.entries) {
         if (e.type == 1 || e.type == 2) f[e.offset + 67] = 0;  // all red
       }
     },
     S_OK},
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

class CorruptionTest : public testing::TestWithParam<Damage> {
 protected:
  void TearDown() override { EXPECT_EQ(VokStorageLiveObjects(), 0); }
};

TEST_P(CorruptionTest, GivesExpectedStatus) {
  Bytes file = SampleFile();
  GetParam().apply(file, ParseRaw(SampleFile()));
  ASSERT_NE(file, SampleFile()) << "the damage changed nothing";
  ComPtr<IStorage> storage;
  EXPECT_EQ(VokOpenStorageOnBytes(file.data(), file.size(), storage.ReleaseAndGetAddressOf()),
            GetParam().expected);
  if (GetParam().expected == S_OK) {
    ASSERT_TRUE(storage);
    ExpectSameTree(SampleTree(), Read(storage.Get()));
  } else {
    EXPECT_FALSE(storage);
  }
}

INSTANTIATE_TEST_SUITE_P(Damages, CorruptionTest, testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

// Whatever single byte is changed, the reader answers with a status; what it accepts reads
// completely.
TEST(CorruptionSweep, EveryByteChangedGivesAStatus) {
  const Bytes& original = SampleFile();
  for (size_t at = 0; at < original.size(); ++at) {
    for (uint8_t mask : {0x01, 0x80, 0xFF}) {
      Bytes file = original;
      file[at] ^= mask;
      ComPtr<IStorage> storage;
      HRESULT hr =
          VokOpenStorageOnBytes(file.data(), file.size(), storage.ReleaseAndGetAddressOf());
      ASSERT_TRUE(hr == S_OK || hr == STG_E_INVALIDHEADER || hr == STG_E_DOCFILECORRUPT)
          << "offset " << at << " status " << std::hex << hr;
      if (hr == S_OK) {
        StorageListing listing;
        ASSERT_EQ(ListStorage(storage.Get(), &listing), S_OK) << "offset " << at;
      }
    }
  }
  EXPECT_EQ(VokStorageLiveObjects(), 0);
}

TEST(CorruptionSweep, EveryCutGivesAStatus) {
  const Bytes& original = SampleFile();
  for (size_t size = 0; size < original.size(); ++size) {
    HRESULT hr = OpenStatus(Bytes(original.begin(), original.begin() + size));
    EXPECT_TRUE(hr == S_OK || hr == STG_E_INVALIDHEADER || hr == STG_E_DOCFILECORRUPT)
        << "size " << size;
    // Only the padding after the last stream's data may go missing.
    if (size < original.size() - 512) {
      EXPECT_NE(hr, S_OK) << "size " << size;
    }
  }
}

}  // namespace
}  // namespace vok::storage_test
