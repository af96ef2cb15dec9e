#include "platform/storage/storage_test_util.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text_util.h"

extern char** environ;

namespace vok::storage_test {
namespace {

constexpr DWORD kCreate = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kNone = 0xFFFFFFFF;

uint16_t U16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t U32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
size_t SectorOffset(uint32_t sector) { return (size_t{sector} + 1) * 512; }

ComPtr<IStorage> OpenOrCreateStorage(IStorage* parent, const std::string& name) {
  ComPtr<IStorage> child;
  HRESULT hr = parent->OpenStorage(name.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                   nullptr, 0, child.ReleaseAndGetAddressOf());
  if (hr == STG_E_FILENOTFOUND) {
    hr = parent->CreateStorage(name.c_str(), kCreate, 0, 0, child.ReleaseAndGetAddressOf());
  }
  EXPECT_EQ(hr, S_OK) << name;
  return child;
}

// Opens (creating where needed) the storage that holds `path`'s last part.
ComPtr<IStorage> StorageFor(IStorage* root, const std::string& path, std::string* leaf) {
  ComPtr<IStorage> current(root);
  size_t begin = 0;
  for (size_t slash; (slash = path.find('/', begin)) != std::string::npos; begin = slash + 1) {
    current = OpenOrCreateStorage(current.Get(), path.substr(begin, slash - begin));
    if (!current) return nullptr;
  }
  *leaf = path.substr(begin);
  return current;
}

std::string Utf8Of(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// The standard sibling order: shorter names first, then the upper-cased names.
bool NameLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return vok::ToUpper(Utf8Of(a)) < vok::ToUpper(Utf8Of(b));
}

// Checks one storage's sibling tree below `node`; returns its black height.
int CheckRedBlack(const RawFile& raw, uint32_t node, const std::u16string* low,
                  const std::u16string* high, int depth) {
  if (node == kNone) return 1;
  EXPECT_LT(node, raw.entries.size());
  EXPECT_LT(depth, 64) << "sibling tree too deep";
  if (node >= raw.entries.size() || depth >= 64) return 0;
  const RawEntry& e = raw.entries[node];
  if (low) {
    EXPECT_TRUE(NameLess(*low, e.name)) << "sibling order at entry " << node;
  }
  if (high) {
    EXPECT_TRUE(NameLess(e.name, *high)) << "sibling order at entry " << node;
  }
  for (uint32_t child : {e.left, e.right}) {
    if (e.color == 0 && child != kNone && child < raw.entries.size()) {
      EXPECT_EQ(raw.entries[child].color, 1) << "red entry " << node << " has a red child";
    }
  }
  int leftHeight = CheckRedBlack(raw, e.left, low, &e.name, depth + 1);
  int rightHeight = CheckRedBlack(raw, e.right, &e.name, high, depth + 1);
  EXPECT_EQ(leftHeight, rightHeight) << "black heights differ below entry " << node;
  return leftHeight + (e.color == 1 ? 1 : 0);
}

}  // namespace

Bytes Pattern(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t state = seed * 2654435761u + 12345;
  for (auto& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

void Put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Build(IStorage* root, const Tree& tree) {
  for (const std::string& path : tree.storages) {
    std::string leaf;
    ComPtr<IStorage> parent = StorageFor(root, path + "/x", &leaf);
    ASSERT_TRUE(parent) << path;
  }
  for (const auto& [path, bytes] : tree.streams) {
    std::string leaf;
    ComPtr<IStorage> parent = StorageFor(root, path, &leaf);
    ASSERT_TRUE(parent) << path;
    PutStream(parent.Get(), leaf.c_str(), bytes);
  }
}

Tree Read(IStorage* root) {
  StorageListing listing;
  EXPECT_EQ(ListStorage(root, &listing), S_OK);
  Tree tree;
  for (auto& stream : listing.streams) tree.streams[stream.path] = std::move(stream.bytes);
  tree.storages.insert(listing.storages.begin(), listing.storages.end());
  return tree;
}

void ExpectSameTree(const Tree& expected, const Tree& actual) {
  EXPECT_EQ(expected.storages, actual.storages);
  for (const auto& [path, bytes] : expected.streams) {
    auto it = actual.streams.find(path);
    if (it == actual.streams.end()) {
      ADD_FAILURE() << "missing stream " << path;
    } else if (it->second != bytes) {
      ADD_FAILURE() << "stream " << path << " differs: " << it->second.size()
                    << " bytes instead of " << bytes.size();
    }
  }
  for (const auto& entry : actual.streams) {
    if (!expected.streams.count(entry.first)) ADD_FAILURE() << "unexpected stream " << entry.first;
  }
}

ComPtr<IStorage> NewMemoryStorage() {
  ComPtr<IStorage> storage;
  EXPECT_EQ(VokCreateStorageInMemory(storage.ReleaseAndGetAddressOf()), S_OK);
  return storage;
}

ComPtr<IStorage> OpenBytes(const Bytes& bytes) {
  ComPtr<IStorage> storage;
  EXPECT_EQ(VokOpenStorageOnBytes(bytes.data(), bytes.size(), storage.ReleaseAndGetAddressOf()),
            S_OK);
  return storage;
}

Bytes Serialize(IStorage* root) {
  Bytes bytes;
  EXPECT_EQ(VokSaveStorageToBytes(root, &bytes), S_OK);
  return bytes;
}

void PutStream(IStorage* storage, const char* name, const Bytes& bytes) {
  ComPtr<IStream> stream;
  ASSERT_EQ(storage->CreateStream(name, kCreate, 0, 0, stream.ReleaseAndGetAddressOf()), S_OK)
      << name;
  ULONG written = 0;
  ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
  ASSERT_EQ(written, bytes.size());
}

Bytes GetStream(IStorage* storage, const char* name) {
  ComPtr<IStream> stream;
  EXPECT_EQ(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                stream.ReleaseAndGetAddressOf()),
            S_OK)
      << name;
  if (!stream) return {};
  STATSTG stat;
  EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  Bytes bytes(stat.cbSize.QuadPart);
  ULONG read = 0;
  EXPECT_EQ(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), S_OK);
  EXPECT_EQ(read, bytes.size());
  return bytes;
}

std::string MakeTempFolder(const std::string& name) {
  static int counter = 0;
  std::string path =
      std::string(std::getenv("HOME")) + "/" + name + "-" + std::to_string(++counter);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

int RunProgram(const std::vector<std::string>& argv, std::string* out, std::string* err) {
  const std::string folder = MakeTempFolder("run");
  const std::string outPath = folder + "/out";
  const std::string errPath = folder + "/err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = -1;
  if (spawned == 0) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  Bytes outBytes = ReadFileBytes(outPath);
  Bytes errBytes = ReadFileBytes(errPath);
  if (out) out->assign(outBytes.begin(), outBytes.end());
  if (err) err->assign(errBytes.begin(), errBytes.end());
  std::filesystem::remove_all(folder);
  return status;
}

std::string ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

size_t RawFile::FatEntryOffset(uint32_t sector) const {
  return SectorOffset(fatSectors.at(sector / 128)) + 4 * (sector % 128);
}

int RawFile::Find(const std::string& name) const {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].type != 0 && Utf8Of(entries[i].name) == name) return static_cast<int>(i);
  }
  return -1;
}

Bytes RawFile::Content(const RawEntry& entry) const {
  Bytes out;
  const bool mini = entry.size < 4096;
  uint32_t sector = entry.start;
  for (size_t guard = 0; out.size() < entry.size && guard < fat.size(); ++guard) {
    if (mini) {
      if (sector >= miniFat.size()) break;
      out.insert(out.end(), miniStream.begin() + sector * 64,
                 miniStream.begin() + sector * 64 + 64);
      sector = miniFat[sector];
    } else {
      if (sector >= fat.size()) break;
      out.insert(out.end(), file->begin() + SectorOffset(sector),
                 file->begin() + SectorOffset(sector) + 512);
      sector = fat[sector];
    }
  }
  if (out.size() >= entry.size) out.resize(entry.size);
  return out;
}

RawFile ParseRaw(const Bytes& file) {
  RawFile raw;
  raw.file = &file;
  raw.fatSectorCount = U32(file, 44);
  raw.firstDifatSector = U32(file, 68);
  raw.difatSectorCount = U32(file, 72);
  raw.miniFatSectorCount = U32(file, 64);
  for (uint32_t i = 0; i < std::min<uint32_t>(raw.fatSectorCount, 109); ++i) {
    raw.fatSectors.push_back(U32(file, 76 + 4 * i));
  }
  for (uint32_t d = raw.firstDifatSector; raw.fatSectors.size() < raw.fatSectorCount;) {
    raw.difatSectors.push_back(d);
    for (uint32_t k = 0; k < 127 && raw.fatSectors.size() < raw.fatSectorCount; ++k) {
      raw.fatSectors.push_back(U32(file, SectorOffset(d) + 4 * k));
    }
    d = U32(file, SectorOffset(d) + 4 * 127);
  }
  for (uint32_t sector : raw.fatSectors) {
    for (uint32_t k = 0; k < 128; ++k) raw.fat.push_back(U32(file, SectorOffset(sector) + 4 * k));
  }
  auto chain = [&raw](uint32_t start) {
    std::vector<uint32_t> sectors;
    for (uint32_t s = start;
         s != kEndOfChain && s < raw.fat.size() && sectors.size() <= raw.fat.size();
         s = raw.fat[s]) {
      sectors.push_back(s);
    }
    return sectors;
  };
  raw.dirSectors = chain(U32(file, 48));
  for (uint32_t sector : raw.dirSectors) {
    for (size_t k = 0; k < 4; ++k) {
      size_t at = SectorOffset(sector) + 128 * k;
      RawEntry e;
      uint16_t length = U16(file, at + 64);
      for (size_t i = 0; i + 1 < length / 2u && i < 32; ++i)
        e.name += char16_t(U16(file, at + 2 * i));
      e.type = file[at + 66];
      e.color = file[at + 67];
      e.left = U32(file, at + 68);
      e.right = U32(file, at + 72);
      e.child = U32(file, at + 76);
      e.start = U32(file, at + 116);
      e.size = U32(file, at + 120) | (uint64_t{U32(file, at + 124)} << 32);
      e.offset = at;
      raw.entries.push_back(e);
    }
  }
  if (raw.miniFatSectorCount > 0) {
    for (uint32_t sector : chain(U32(file, 60))) {
      for (uint32_t k = 0; k < 128; ++k)
        raw.miniFat.push_back(U32(file, SectorOffset(sector) + 4 * k));
    }
  }
  if (!raw.entries.empty()) {
    for (uint32_t sector : chain(raw.entries[0].start)) {
      raw.miniStream.insert(raw.miniStream.end(), file.begin() + SectorOffset(sector),
                            file.begin() + SectorOffset(sector) + 512);
    }
  }
  return raw;
}

void ExpectWellFormed(const Bytes& file) {
  ASSERT_GE(file.size(), 1536u);
  EXPECT_EQ(file.size() % 512, 0u);
  const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  EXPECT_TRUE(std::equal(signature, signature + 8, file.begin()));
  EXPECT_EQ(U16(file, 24), 0x3E);  // minor version
  EXPECT_EQ(U16(file, 26), 3);     // major version
  EXPECT_EQ(U16(file, 28), 0xFFFE);
  EXPECT_EQ(U16(file, 30), 9);
  EXPECT_EQ(U16(file, 32), 6);
  EXPECT_EQ(U32(file, 40), 0u);  // directory sector count: always 0 in version 3
  EXPECT_EQ(U32(file, 56), 4096u);
  RawFile raw = ParseRaw(file);
  const size_t sectorCount = file.size() / 512 - 1;
  EXPECT_GE(raw.fat.size(), sectorCount);
  EXPECT_LT(raw.fat.size(), sectorCount + 128) << "more FAT sectors than needed";
  for (uint32_t sector : raw.fatSectors) EXPECT_EQ(raw.fat.at(sector), 0xFFFFFFFDu);
  for (uint32_t sector : raw.difatSectors) EXPECT_EQ(raw.fat.at(sector), 0xFFFFFFFCu);
  EXPECT_EQ(raw.difatSectors.size(), raw.difatSectorCount);
  if (raw.difatSectorCount == 0) {
    EXPECT_EQ(raw.firstDifatSector, kEndOfChain);
  } else {  // the last DIFAT sector ends the chain
    EXPECT_EQ(U32(file, SectorOffset(raw.difatSectors.back()) + 4 * 127), kEndOfChain);
  }
  for (uint32_t i = raw.fatSectorCount; i < 109; ++i) EXPECT_EQ(U32(file, 76 + 4 * i), kFree);
  for (size_t s = sectorCount; s < raw.fat.size(); ++s) EXPECT_EQ(raw.fat[s], kFree);
  // Every sector of the file is in use, and no chain loops (each sector has one predecessor).
  std::vector<int> predecessors(sectorCount, 0);
  for (size_t s = 0; s < sectorCount; ++s) {
    EXPECT_NE(raw.fat[s], kFree) << "unused sector " << s;
    if (raw.fat[s] < sectorCount) ++predecessors[raw.fat[s]];
  }
  for (size_t s = 0; s < sectorCount; ++s) EXPECT_LE(predecessors[s], 1) << "sector " << s;

  ASSERT_FALSE(raw.entries.empty());
  const RawEntry& root = raw.entries[0];
  EXPECT_EQ(root.type, 5);
  EXPECT_EQ(Utf8Of(root.name), "Root Entry");
  // The mini stream holds whole mini sectors, and its chain is no longer than it needs.
  EXPECT_EQ(root.size % 64, 0u);
  EXPECT_LE(root.size, raw.miniStream.size());
  EXPECT_LT(raw.miniStream.size() - root.size, 512u);
  EXPECT_LE(root.size / 64, raw.miniFat.size());
  if (root.size == 0) {
    EXPECT_EQ(root.start, kEndOfChain);
  }
  if (raw.miniFatSectorCount == 0) {
    EXPECT_EQ(U32(file, 60), kEndOfChain);
  }
  for (size_t i = 0; i < raw.entries.size(); ++i) {
    const RawEntry& e = raw.entries[i];
    if (e.type == 0) {  // a free slot: zeros with empty links
      EXPECT_EQ(e.left, kNone);
      EXPECT_EQ(e.right, kNone);
      EXPECT_EQ(e.child, kNone);
      EXPECT_TRUE(std::all_of(file.begin() + e.offset, file.begin() + e.offset + 68,
                              [](uint8_t b) { return b == 0; }));
      continue;
    }
    EXPECT_TRUE(e.type == 1 || e.type == 2 || (e.type == 5 && i == 0)) << "entry " << i;
    if (e.type == 2) {
      EXPECT_EQ(e.child, kNone);
      if (e.size == 0) {
        EXPECT_EQ(e.start, kEndOfChain) << "empty stream " << i;
      }
      EXPECT_EQ(raw.Content(e).size(), e.size) << "stream " << i << " chain too short";
    }
    if (e.type == 1) {
      EXPECT_EQ(e.size, 0u);
    }
    if (e.type == 1 || e.type == 5) {
      if (e.child != kNone) {
        ASSERT_LT(e.child, raw.entries.size());
        EXPECT_EQ(raw.entries[e.child].color, 1) << "the root of a sibling tree must be black";
      }
      CheckRedBlack(raw, e.child, nullptr, nullptr, 0);
    }
  }
}

}  // namespace vok::storage_test
