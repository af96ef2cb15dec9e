#include "platform/storage/compound_file_writer.h"

#include <cstring>

#include "platform/storage/compound_file_format.h"

namespace vok::storage {
namespace {

using namespace cfb;

constexpr uint32_t kFatEntriesPerSector = kSectorSize / 4;
constexpr uint32_t kDifatEntriesPerSector = kFatEntriesPerSector - 1;  // last one links on
constexpr uint32_t kEntriesPerDirSector = kSectorSize / kDirEntrySize;

uint64_t CeilDiv(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

struct DirRecord {
  const Element* element = nullptr;
  uint32_t left = kNoStream;
  uint32_t right = kNoStream;
  uint32_t child = kNoStream;
  uint8_t color = kBlack;
  bool inMiniStream = false;
  uint32_t start = kEndOfChain;  // relative to its area until the layout is fixed
};

// Where each part of the file goes, in sectors after the header.
struct Layout {
  uint32_t fatSectors = 0;
  uint32_t difatSectors = 0;
  uint32_t dirSectors = 0;
  uint32_t miniFatSectors = 0;
  uint32_t miniStreamSectors = 0;
  uint64_t streamSectors = 0;
  uint32_t miniSectors = 0;

  uint32_t DifatBase() const { return fatSectors; }
  uint32_t DirBase() const { return DifatBase() + difatSectors; }
  uint32_t MiniFatBase() const { return DirBase() + dirSectors; }
  uint32_t MiniStreamBase() const { return MiniFatBase() + miniFatSectors; }
  uint32_t StreamBase() const { return MiniStreamBase() + miniStreamSectors; }
  uint64_t TotalSectors() const { return StreamBase() + streamSectors; }
};

class Writer {
 public:
  explicit Writer(const Element& root) : root_(root) {}
  HRESULT Write(std::vector<uint8_t>* out);

 private:
  void BuildDirectory();
  uint32_t BuildSiblingTree(uint32_t lo, uint32_t hi, int depth, int fullLevels);
  bool PlaceStreams();
  bool SizeFat();
  uint8_t* Sector(uint32_t index) { return out_->data() + (uint64_t{index} + 1) * kSectorSize; }
  void WriteHeader();
  void WriteFatAndDifat();
  void WriteDirectory();
  void WriteMiniFat();
  void WriteStreamData();
  void WriteEntry(uint8_t* p, const DirRecord& record, uint32_t index);

  const Element& root_;
  std::vector<DirRecord> records_;
  Layout layout_;
  std::vector<uint32_t> miniFat_;
  std::vector<uint8_t>* out_ = nullptr;
};

HRESULT Writer::Write(std::vector<uint8_t>* out) {
  BuildDirectory();
  if (records_.size() > kMaxRegularStreamId || !PlaceStreams() || !SizeFat()) {
    return STG_E_MEDIUMFULL;
  }
  out_ = out;
  out->assign((layout_.TotalSectors() + 1) * kSectorSize, 0);
  WriteHeader();
  WriteFatAndDifat();
  WriteDirectory();
  WriteMiniFat();
  WriteStreamData();
  return S_OK;
}

// Numbers the entries storage by storage (root first) and links each storage's children,
// which are already in sibling order, into a balanced search tree.
void Writer::BuildDirectory() {
  records_.push_back({&root_});
  for (size_t next = 0; next < records_.size(); ++next) {
    const Element* storage = records_[next].element;
    if (!storage->isStorage || storage->children.empty()) continue;
    auto first = static_cast<uint32_t>(records_.size());
    for (const auto& child : storage->children) records_.push_back({child.get()});
    auto count = static_cast<uint32_t>(storage->children.size());
    int fullLevels = 0;  // levels filled completely: floor(log2(count + 1))
    while ((uint64_t{2} << fullLevels) - 1 <= count) ++fullLevels;
    records_[next].child = BuildSiblingTree(first, first + count, 0, fullLevels);
  }
}

// Middle element as the subtree root: subtree sizes differ by at most one at every node, so
// all levels but the last are full. Nodes of that partial last level are red, all others
// black, which gives every path the same number of black nodes and no red node a red child.
uint32_t Writer::BuildSiblingTree(uint32_t lo, uint32_t hi, int depth, int fullLevels) {
  if (lo >= hi) return kNoStream;
  uint32_t mid = lo + (hi - lo) / 2;
  DirRecord& record = records_[mid];
  record.color = depth >= fullLevels ? kRed : kBlack;
  uint32_t left = BuildSiblingTree(lo, mid, depth + 1, fullLevels);
  uint32_t right = BuildSiblingTree(mid + 1, hi, depth + 1, fullLevels);
  records_[mid].left = left;
  records_[mid].right = right;
  return mid;
}

bool Writer::PlaceStreams() {
  uint64_t miniSectors = 0;
  uint64_t streamSectors = 0;
  for (DirRecord& record : records_) {
    const Element& element = *record.element;
    if (element.isStorage || element.data.empty()) continue;
    uint64_t size = element.data.size();
    if (size > kMaxStreamSize) return false;
    record.inMiniStream = size < kMiniStreamCutoff;
    uint64_t& area = record.inMiniStream ? miniSectors : streamSectors;
    record.start = static_cast<uint32_t>(area);
    area += CeilDiv(size, record.inMiniStream ? kMiniSectorSize : kSectorSize);
    if (area > kMaxRegularSector) return false;
  }
  layout_.miniSectors = static_cast<uint32_t>(miniSectors);
  layout_.streamSectors = streamSectors;
  layout_.dirSectors = static_cast<uint32_t>(CeilDiv(records_.size(), kEntriesPerDirSector));
  layout_.miniFatSectors = static_cast<uint32_t>(CeilDiv(miniSectors, kFatEntriesPerSector));
  layout_.miniStreamSectors =
      static_cast<uint32_t>(CeilDiv(miniSectors * kMiniSectorSize, kSectorSize));
  return true;
}

// The FAT must also cover its own sectors and the DIFAT sectors that list it.
bool Writer::SizeFat() {
  uint64_t dataSectors = layout_.dirSectors + uint64_t{layout_.miniFatSectors} +
                         layout_.miniStreamSectors + layout_.streamSectors;
  uint64_t fat = CeilDiv(dataSectors, kFatEntriesPerSector);
  for (;; ++fat) {
    uint64_t difat =
        fat > kHeaderDifatEntries ? CeilDiv(fat - kHeaderDifatEntries, kDifatEntriesPerSector) : 0;
    if (fat * kFatEntriesPerSector >= dataSectors + fat + difat) {
      if (dataSectors + fat + difat > kMaxRegularSector) return false;
      layout_.fatSectors = static_cast<uint32_t>(fat);
      layout_.difatSectors = static_cast<uint32_t>(difat);
      return true;
    }
  }
}

void Writer::WriteHeader() {
  uint8_t* h = out_->data();
  std::memcpy(h + header::kSignature, kSignature, sizeof kSignature);
  Put16(h + header::kMinorVersion, kMinorVersion);
  Put16(h + header::kMajorVersion, kMajorVersion3);
  Put16(h + header::kByteOrder, kByteOrderMark);
  Put16(h + header::kSectorShift, kSectorShift3);
  Put16(h + header::kMiniSectorShift, kMiniSectorShift);
  Put32(h + header::kFatSectorCount, layout_.fatSectors);
  Put32(h + header::kFirstDirectorySector, layout_.DirBase());
  Put32(h + header::kMiniStreamCutoff, kMiniStreamCutoff);
  bool hasMiniFat = layout_.miniFatSectors > 0;
  Put32(h + header::kFirstMiniFatSector, hasMiniFat ? layout_.MiniFatBase() : kEndOfChain);
  Put32(h + header::kMiniFatSectorCount, layout_.miniFatSectors);
  bool hasDifat = layout_.difatSectors > 0;
  Put32(h + header::kFirstDifatSector, hasDifat ? layout_.DifatBase() : kEndOfChain);
  Put32(h + header::kDifatSectorCount, layout_.difatSectors);
  for (uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
    Put32(h + header::kDifat + 4 * i, i < layout_.fatSectors ? i : kFreeSector);
  }
}

void Writer::WriteFatAndDifat() {
  std::vector<uint32_t> fat(uint64_t{layout_.fatSectors} * kFatEntriesPerSector, kFreeSector);
  auto chain = [&fat](uint64_t first, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) {
      fat[first + i] = i + 1 < count ? static_cast<uint32_t>(first + i + 1) : kEndOfChain;
    }
  };
  for (uint32_t i = 0; i < layout_.fatSectors; ++i) fat[i] = kFatSector;
  for (uint32_t i = 0; i < layout_.difatSectors; ++i) fat[layout_.DifatBase() + i] = kDifatSector;
  chain(layout_.DirBase(), layout_.dirSectors);
  chain(layout_.MiniFatBase(), layout_.miniFatSectors);
  chain(layout_.MiniStreamBase(), layout_.miniStreamSectors);
  for (const DirRecord& record : records_) {
    if (record.element->isStorage || record.element->data.empty() || record.inMiniStream) continue;
    chain(layout_.StreamBase() + uint64_t{record.start},
          CeilDiv(record.element->data.size(), kSectorSize));
  }
  for (uint64_t i = 0; i < fat.size(); ++i) {
    Put32(Sector(static_cast<uint32_t>(i / kFatEntriesPerSector)) + 4 * (i % kFatEntriesPerSector),
          fat[i]);
  }
  // DIFAT sectors list the FAT sectors after the 109 in the header.
  for (uint32_t d = 0; d < layout_.difatSectors; ++d) {
    uint8_t* sector = Sector(layout_.DifatBase() + d);
    for (uint32_t k = 0; k < kDifatEntriesPerSector; ++k) {
      uint64_t fatIndex = kHeaderDifatEntries + uint64_t{d} * kDifatEntriesPerSector + k;
      Put32(sector + 4 * k,
            fatIndex < layout_.fatSectors ? static_cast<uint32_t>(fatIndex) : kFreeSector);
    }
    bool last = d + 1 == layout_.difatSectors;
    Put32(sector + 4 * kDifatEntriesPerSector, last ? kEndOfChain : layout_.DifatBase() + d + 1);
  }
}

void Writer::WriteEntry(uint8_t* p, const DirRecord& record, uint32_t index) {
  const Element& element = *record.element;
  const bool isRoot = index == 0;
  std::u16string name = isRoot ? u"Root Entry" : element.name.Utf16();
  for (size_t i = 0; i < name.size(); ++i) Put16(p + dir::kName + 2 * i, name[i]);
  Put16(p + dir::kNameLength, static_cast<uint16_t>(2 * (name.size() + 1)));
  p[dir::kType] = isRoot ? kTypeRoot : (element.isStorage ? kTypeStorage : kTypeStream);
  p[dir::kColor] = record.color;
  Put32(p + dir::kLeftSibling, record.left);
  Put32(p + dir::kRightSibling, record.right);
  Put32(p + dir::kChild, record.child);
  uint32_t start = kEndOfChain;
  uint64_t size = 0;
  if (element.isStorage) {
    std::memcpy(p + dir::kClsid, &element.clsid, sizeof element.clsid);
    Put32(p + dir::kStateBits, element.stateBits);
    if (!isRoot) {  // the root entry keeps no creation time
      Put32(p + dir::kCreationTime, element.ctime.dwLowDateTime);
      Put32(p + dir::kCreationTime + 4, element.ctime.dwHighDateTime);
    }
    Put32(p + dir::kModifiedTime, element.mtime.dwLowDateTime);
    Put32(p + dir::kModifiedTime + 4, element.mtime.dwHighDateTime);
    if (isRoot && layout_.miniSectors > 0) {
      start = layout_.MiniStreamBase();
      size = uint64_t{layout_.miniSectors} * kMiniSectorSize;
    } else if (!isRoot) {
      start = 0;  // storages other than the root keep no stream
    }
  } else if (!element.data.empty()) {
    start = record.inMiniStream ? record.start : layout_.StreamBase() + record.start;
    size = element.data.size();
  }
  Put32(p + dir::kStartSector, start);
  Put64(p + dir::kStreamSize, size);
}

void Writer::WriteDirectory() {
  const uint32_t slots = layout_.dirSectors * kEntriesPerDirSector;
  for (uint32_t i = 0; i < slots; ++i) {
    uint8_t* p = Sector(layout_.DirBase() + i / kEntriesPerDirSector) +
                 (i % kEntriesPerDirSector) * kDirEntrySize;
    if (i < records_.size()) {
      WriteEntry(p, records_[i], i);
    } else {  // a free slot: zeros with empty links
      Put32(p + dir::kLeftSibling, kNoStream);
      Put32(p + dir::kRightSibling, kNoStream);
      Put32(p + dir::kChild, kNoStream);
    }
  }
}

void Writer::WriteMiniFat() {
  std::vector<uint32_t> miniFat(uint64_t{layout_.miniFatSectors} * kFatEntriesPerSector,
                                kFreeSector);
  for (const DirRecord& record : records_) {
    if (!record.inMiniStream) continue;
    uint64_t count = CeilDiv(record.element->data.size(), kMiniSectorSize);
    for (uint64_t i = 0; i < count; ++i) {
      miniFat[record.start + i] =
          i + 1 < count ? static_cast<uint32_t>(record.start + i + 1) : kEndOfChain;
    }
  }
  for (size_t i = 0; i < miniFat.size(); ++i) {
    Put32(Sector(layout_.MiniFatBase() + static_cast<uint32_t>(i / kFatEntriesPerSector)) +
              4 * (i % kFatEntriesPerSector),
          miniFat[i]);
  }
}

void Writer::WriteStreamData() {
  uint8_t* miniStream = Sector(layout_.MiniStreamBase());
  uint8_t* streams = Sector(layout_.StreamBase());
  for (const DirRecord& record : records_) {
    const std::vector<uint8_t>& data = record.element->data;
    if (record.element->isStorage || data.empty()) continue;
    uint8_t* target = record.inMiniStream ? miniStream + uint64_t{record.start} * kMiniSectorSize
                                          : streams + uint64_t{record.start} * kSectorSize;
    std::memcpy(target, data.data(), data.size());
  }
}

}  // namespace

HRESULT WriteCompoundFile(const Element& root, std::vector<uint8_t>* out) {
  return Writer(root).Write(out);
}

}  // namespace vok::storage
