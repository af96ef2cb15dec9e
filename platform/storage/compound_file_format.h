// Constants and on-disk layouts of the compound file format (little-endian throughout).
// The writer produces version 3 files (512-byte sectors); the reader also accepts version 4
// (4096-byte sectors).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vok::cfb {

inline constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr size_t kHeaderSize = 512;
inline constexpr uint16_t kByteOrderMark = 0xFFFE;
inline constexpr uint16_t kMinorVersion = 0x003E;
inline constexpr uint16_t kMajorVersion3 = 3;
inline constexpr uint16_t kMajorVersion4 = 4;
inline constexpr uint16_t kSectorShift3 = 9;   // 512-byte sectors
inline constexpr uint16_t kSectorShift4 = 12;  // 4096-byte sectors
inline constexpr uint16_t kMiniSectorShift = 6;
inline constexpr uint32_t kSectorSize = 512;  // what the writer uses
inline constexpr uint32_t kMiniSectorSize = 64;
// Streams shorter than this live in the mini stream.
inline constexpr uint32_t kMiniStreamCutoff = 4096;
inline constexpr uint32_t kHeaderDifatEntries = 109;
// Largest stream a version 3 file can describe.
inline constexpr uint64_t kMaxStreamSize = 0x80000000ull;

// Sector numbers with a meaning of their own.
inline constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr uint32_t kFreeSector = 0xFFFFFFFF;
// Directory links.
inline constexpr uint32_t kNoStream = 0xFFFFFFFF;
inline constexpr uint32_t kMaxRegularStreamId = 0xFFFFFFFA;

// Header field offsets.
namespace header {
inline constexpr size_t kSignature = 0;
inline constexpr size_t kClsid = 8;
inline constexpr size_t kMinorVersion = 24;
inline constexpr size_t kMajorVersion = 26;
inline constexpr size_t kByteOrder = 28;
inline constexpr size_t kSectorShift = 30;
inline constexpr size_t kMiniSectorShift = 32;
inline constexpr size_t kDirectorySectorCount = 40;
inline constexpr size_t kFatSectorCount = 44;
inline constexpr size_t kFirstDirectorySector = 48;
inline constexpr size_t kTransactionSignature = 52;
inline constexpr size_t kMiniStreamCutoff = 56;
inline constexpr size_t kFirstMiniFatSector = 60;
inline constexpr size_t kMiniFatSectorCount = 64;
inline constexpr size_t kFirstDifatSector = 68;
inline constexpr size_t kDifatSectorCount = 72;
inline constexpr size_t kDifat = 76;
}  // namespace header

// Directory entry layout: 128 bytes each.
inline constexpr size_t kDirEntrySize = 128;
inline constexpr size_t kMaxNameUnits = 31;  // UTF-16 units, the terminating zero not counted
namespace dir {
inline constexpr size_t kName = 0;         // 64 bytes of UTF-16, zero-terminated
inline constexpr size_t kNameLength = 64;  // bytes including the terminating zero
inline constexpr size_t kType = 66;
inline constexpr size_t kColor = 67;
inline constexpr size_t kLeftSibling = 68;
inline constexpr size_t kRightSibling = 72;
inline constexpr size_t kChild = 76;
inline constexpr size_t kClsid = 80;
inline constexpr size_t kStateBits = 96;
inline constexpr size_t kCreationTime = 100;
inline constexpr size_t kModifiedTime = 108;
inline constexpr size_t kStartSector = 116;
inline constexpr size_t kStreamSize = 120;
}  // namespace dir

enum EntryType : uint8_t { kTypeFree = 0, kTypeStorage = 1, kTypeStream = 2, kTypeRoot = 5 };
enum EntryColor : uint8_t { kRed = 0, kBlack = 1 };

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t Get64(const uint8_t* p) {
  return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}
inline void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Put64(uint8_t* p, uint64_t v) {
  Put32(p, static_cast<uint32_t>(v));
  Put32(p + 4, static_cast<uint32_t>(v >> 32));
}

}  // namespace vok::cfb
