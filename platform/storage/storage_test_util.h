// Helpers of the storage tests: building and comparing trees through the public interfaces,
// an independent reader of the raw file layout for structural checks, and running tools.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/storage/storage.h"
#include "platform/storage/stream_listing.h"

namespace vok::storage_test {

using Bytes = std::vector<uint8_t>;

// Deterministic bytes that differ from stream to stream.
Bytes Pattern(size_t size, uint32_t seed);
Bytes BytesOf(const std::string& text);
// Little-endian stores into a file image.
void Put16(Bytes& bytes, size_t at, uint16_t value);
void Put32(Bytes& bytes, size_t at, uint32_t value);

// The content of a storage: stream paths with their bytes and storage paths ("a/b").
struct Tree {
  std::map<std::string, Bytes> streams;
  std::set<std::string> storages;
};

// Creates every storage and stream of `tree` below `root` (ASSERTs on failure).
void Build(IStorage* root, const Tree& tree);
// Everything below `root`, read back through the interfaces.
Tree Read(IStorage* root);
// ASSERT-style comparison with readable differences.
void ExpectSameTree(const Tree& expected, const Tree& actual);

ComPtr<IStorage> NewMemoryStorage();
ComPtr<IStorage> OpenBytes(const Bytes& bytes);
Bytes Serialize(IStorage* root);
void PutStream(IStorage* storage, const char* name, const Bytes& bytes);
Bytes GetStream(IStorage* storage, const char* name);

// A fresh folder under the test's temporary HOME.
std::string MakeTempFolder(const std::string& name);
Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// Runs `argv` (no shell), capturing stdout and stderr; returns the exit status, or -1 when the
// program could not be started.
int RunProgram(const std::vector<std::string>& argv, std::string* out, std::string* err);
// The folder of the running test program (qdxdump is built beside it).
std::string ProgramFolder();

// An independent reading of the raw layout of a version 3 file, for checks of what the writer
// produced and for finding the offsets that corruption tests change.
struct RawEntry {
  std::u16string name;
  uint8_t type, color;
  uint32_t left, right, child, start;
  uint64_t size;
  size_t offset;  // of the entry in the file
};
struct RawFile {
  uint32_t fatSectorCount, difatSectorCount, firstDifatSector, miniFatSectorCount;
  std::vector<uint32_t> fatSectors;  // in DIFAT order
  std::vector<uint32_t> difatSectors;
  std::vector<uint32_t> fat;
  std::vector<uint32_t> miniFat;
  std::vector<uint32_t> dirSectors;
  std::vector<RawEntry> entries;
  Bytes miniStream;

  // Offset in the file of the FAT entry of `sector`.
  size_t FatEntryOffset(uint32_t sector) const;
  // Index of the entry named `name` (ASCII), or -1.
  int Find(const std::string& name) const;
  // Content of a stream entry following its chain.
  Bytes Content(const RawEntry& entry) const;
  const Bytes* file = nullptr;
};
RawFile ParseRaw(const Bytes& file);

// Checks what every reader may rely on: the header fields, FAT and DIFAT sectors marked in the
// FAT, every chain ending in ENDOFCHAIN, free directory slots, file size, and that every
// storage's children form a valid red-black tree in the standard name order.
void ExpectWellFormed(const Bytes& file);

}  // namespace vok::storage_test
