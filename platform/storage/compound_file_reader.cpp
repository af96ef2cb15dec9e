#include "platform/storage/compound_file_reader.h"

#include <algorithm>
#include <cstring>

#include "common/stream_util.h"
#include "platform/storage/compound_file_format.h"

namespace vok::storage {
namespace {

using namespace cfb;

[[noreturn]] void Corrupt() { throw CvokIStreamException(STG_E_DOCFILECORRUPT); }
[[noreturn]] void BadHeader() { throw CvokIStreamException(STG_E_INVALIDHEADER); }

uint64_t CeilDiv(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

// The fields of one directory entry that the tree needs.
struct RawEntry {
  uint8_t type;
  uint32_t left, right, child;
  uint32_t start;
  uint64_t size;
  const uint8_t* bytes;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  std::shared_ptr<Element> Read();

 private:
  void ParseHeader();
  void LoadFat();
  void LoadDirectory();
  void LoadMiniStream();
  std::shared_ptr<Element> BuildTree();
  void CollectChildren(uint32_t first, Element* parent, std::vector<RawEntry>* storages,
                       std::vector<Element*>* storageElements);

  const uint8_t* FullSector(uint32_t index) const;
  uint32_t Entry32(const uint8_t* sector, uint32_t slot) const { return Get32(sector + 4 * slot); }
  // Claims the sectors of a chain; `count` sectors, or up to the end of chain when unknown.
  std::vector<uint32_t> FollowChain(uint32_t start, uint64_t count, bool countKnown);
  std::vector<uint8_t> ReadRegularStream(uint32_t start, uint64_t size);
  std::vector<uint8_t> ReadMiniStream(uint32_t start, uint64_t size);
  RawEntry EntryAt(uint32_t index) const;
  ElementName NameOf(const RawEntry& entry) const;

  const uint8_t* data_;
  size_t size_;
  uint16_t majorVersion_ = 0;
  uint32_t sectorSize_ = 0;
  uint64_t sectorCount_ = 0;
  std::vector<uint32_t> fat_;
  std::vector<bool> usedSectors_;
  std::vector<uint8_t> directory_;
  uint32_t entryCount_ = 0;
  std::vector<bool> visited_;
  std::vector<uint32_t> miniFat_;
  std::vector<bool> usedMiniSectors_;
  std::vector<uint8_t> miniStream_;
};

std::shared_ptr<Element> Reader::Read() {
  ParseHeader();
  LoadFat();
  LoadDirectory();
  LoadMiniStream();
  return BuildTree();
}

void Reader::ParseHeader() {
  if (!HasCompoundFileSignature(data_, size_) || size_ < kHeaderSize) BadHeader();
  const uint8_t* h = data_;
  majorVersion_ = Get16(h + header::kMajorVersion);
  uint16_t shift = Get16(h + header::kSectorShift);
  bool knownVersion = (majorVersion_ == kMajorVersion3 && shift == kSectorShift3) ||
                      (majorVersion_ == kMajorVersion4 && shift == kSectorShift4);
  if (Get16(h + header::kByteOrder) != kByteOrderMark || !knownVersion ||
      Get16(h + header::kMiniSectorShift) != kMiniSectorShift ||
      Get32(h + header::kMiniStreamCutoff) != kMiniStreamCutoff) {
    BadHeader();
  }
  sectorSize_ = 1u << shift;
  // The header fills the first sector; a last sector cut short is allowed as long as no data
  // that is needed lies beyond the end of the file.
  if (size_ < sectorSize_) Corrupt();
  sectorCount_ = std::min<uint64_t>(CeilDiv(size_ - sectorSize_, sectorSize_),
                                    uint64_t{kMaxRegularSector} + 1);
  usedSectors_.assign(sectorCount_, false);
}

const uint8_t* Reader::FullSector(uint32_t index) const {
  if (index >= sectorCount_) Corrupt();
  uint64_t offset = (uint64_t{index} + 1) * sectorSize_;
  if (offset + sectorSize_ > size_) Corrupt();
  return data_ + offset;
}

void Reader::LoadFat() {
  const uint8_t* h = data_;
  const uint32_t fatCount = Get32(h + header::kFatSectorCount);
  if (fatCount > sectorCount_) Corrupt();
  std::vector<uint32_t> fatSectors;
  fatSectors.reserve(fatCount);
  for (uint32_t i = 0; i < std::min(fatCount, kHeaderDifatEntries); ++i) {
    fatSectors.push_back(Get32(h + header::kDifat + 4 * i));
  }
  // Further FAT sectors are listed in the DIFAT chain: each DIFAT sector holds one entry less
  // than it has room for; the last entry links to the next DIFAT sector.
  const uint32_t perDifat = sectorSize_ / 4 - 1;
  uint32_t difat = Get32(h + header::kFirstDifatSector);
  while (fatSectors.size() < fatCount) {
    if (difat >= sectorCount_ || usedSectors_[difat]) Corrupt();
    usedSectors_[difat] = true;
    const uint8_t* sector = FullSector(difat);
    for (uint32_t k = 0; k < perDifat && fatSectors.size() < fatCount; ++k) {
      fatSectors.push_back(Entry32(sector, k));
    }
    difat = Entry32(sector, perDifat);
  }
  const uint32_t perFat = sectorSize_ / 4;
  fat_.reserve(uint64_t{fatCount} * perFat);
  for (uint32_t index : fatSectors) {
    if (index >= sectorCount_ || usedSectors_[index]) Corrupt();
    usedSectors_[index] = true;
    const uint8_t* sector = FullSector(index);
    for (uint32_t k = 0; k < perFat; ++k) fat_.push_back(Entry32(sector, k));
  }
  if (fat_.size() > sectorCount_) fat_.resize(sectorCount_);
}

std::vector<uint32_t> Reader::FollowChain(uint32_t start, uint64_t count, bool countKnown) {
  std::vector<uint32_t> chain;
  if (countKnown) chain.reserve(count);
  uint32_t sector = start;
  while (countKnown ? chain.size() < count : sector != kEndOfChain) {
    // Marking each sector as it is claimed ends loops and rejects sectors shared by chains.
    if (sector >= fat_.size() || usedSectors_[sector]) Corrupt();
    usedSectors_[sector] = true;
    chain.push_back(sector);
    sector = fat_[sector];
  }
  return chain;
}

std::vector<uint8_t> Reader::ReadRegularStream(uint32_t start, uint64_t size) {
  if (size > sectorCount_ * sectorSize_) Corrupt();
  std::vector<uint32_t> chain = FollowChain(start, CeilDiv(size, sectorSize_), true);
  std::vector<uint8_t> bytes(size);
  uint64_t done = 0;
  for (uint32_t sector : chain) {
    uint64_t offset = (uint64_t{sector} + 1) * sectorSize_;
    uint64_t n = std::min<uint64_t>(sectorSize_, size - done);
    if (offset + n > size_) Corrupt();  // cut off by the end of the file
    std::memcpy(bytes.data() + done, data_ + offset, n);
    done += n;
  }
  return bytes;
}

void Reader::LoadDirectory() {
  std::vector<uint32_t> chain = FollowChain(Get32(data_ + header::kFirstDirectorySector), 0, false);
  if (chain.empty()) Corrupt();
  directory_.reserve(chain.size() * uint64_t{sectorSize_});
  for (uint32_t sector : chain) {
    const uint8_t* bytes = FullSector(sector);
    directory_.insert(directory_.end(), bytes, bytes + sectorSize_);
  }
  entryCount_ = static_cast<uint32_t>(
      std::min<uint64_t>(directory_.size() / kDirEntrySize, kMaxRegularStreamId));
  if (EntryAt(0).type != kTypeRoot) Corrupt();
}

RawEntry Reader::EntryAt(uint32_t index) const {
  const uint8_t* p = directory_.data() + uint64_t{index} * kDirEntrySize;
  RawEntry entry;
  entry.type = p[dir::kType];
  entry.left = Get32(p + dir::kLeftSibling);
  entry.right = Get32(p + dir::kRightSibling);
  entry.child = Get32(p + dir::kChild);
  entry.start = Get32(p + dir::kStartSector);
  // Version 3 sizes are 32-bit; some writers leave garbage in the upper half.
  entry.size =
      majorVersion_ == kMajorVersion3 ? Get32(p + dir::kStreamSize) : Get64(p + dir::kStreamSize);
  entry.bytes = p;
  return entry;
}

void Reader::LoadMiniStream() {
  // The mini FAT is only consulted when the header says it has sectors.
  if (Get32(data_ + header::kMiniFatSectorCount) > 0) {
    std::vector<uint32_t> chain = FollowChain(Get32(data_ + header::kFirstMiniFatSector), 0, false);
    miniFat_.reserve(chain.size() * uint64_t{sectorSize_ / 4});
    for (uint32_t sector : chain) {
      const uint8_t* bytes = FullSector(sector);
      for (uint32_t k = 0; k < sectorSize_ / 4; ++k) miniFat_.push_back(Entry32(bytes, k));
    }
  }
  RawEntry root = EntryAt(0);
  if (root.size > 0) miniStream_ = ReadRegularStream(root.start, root.size);
  uint64_t miniSectors = CeilDiv(miniStream_.size(), kMiniSectorSize);
  if (miniFat_.size() > miniSectors) miniFat_.resize(miniSectors);
  usedMiniSectors_.assign(miniFat_.size(), false);
}

std::vector<uint8_t> Reader::ReadMiniStream(uint32_t start, uint64_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t sector = start;
  for (uint64_t done = 0; done < size;) {
    if (sector >= miniFat_.size() || usedMiniSectors_[sector]) Corrupt();
    usedMiniSectors_[sector] = true;
    uint64_t offset = uint64_t{sector} * kMiniSectorSize;
    uint64_t n = std::min<uint64_t>(kMiniSectorSize, size - done);
    if (offset + n > miniStream_.size()) Corrupt();
    std::memcpy(bytes.data() + done, miniStream_.data() + offset, n);
    done += n;
    sector = miniFat_[sector];
  }
  return bytes;
}

ElementName Reader::NameOf(const RawEntry& entry) const {
  uint16_t lengthBytes = Get16(entry.bytes + dir::kNameLength);
  if (lengthBytes % 2 != 0 || lengthBytes < 4 || lengthBytes > 2 * (kMaxNameUnits + 1)) Corrupt();
  const size_t units = lengthBytes / 2 - 1;
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) text[i] = Get16(entry.bytes + dir::kName + 2 * i);
  if (Get16(entry.bytes + dir::kName + 2 * units) != 0) Corrupt();  // the terminating zero
  ElementName name;
  if (!ElementName::FromUtf16(text, &name)) Corrupt();
  return name;
}

// Walks one storage's sibling tree. Every entry may be reached once in the whole directory,
// which rules out loops and entries shared between storages.
void Reader::CollectChildren(uint32_t first, Element* parent, std::vector<RawEntry>* storages,
                             std::vector<Element*>* storageElements) {
  std::vector<uint32_t> pending{first};
  while (!pending.empty()) {
    uint32_t index = pending.back();
    pending.pop_back();
    if (index == kNoStream) continue;
    if (index == 0 || index >= entryCount_ || visited_[index]) Corrupt();
    visited_[index] = true;
    RawEntry entry = EntryAt(index);
    std::shared_ptr<Element> element;
    if (entry.type == kTypeStorage) {
      if (parent->depth + 1 > kMaxStorageDepth) Corrupt();
      element = Element::NewStorage(NameOf(entry), parent->depth + 1);
      std::memcpy(&element->clsid, entry.bytes + dir::kClsid, sizeof element->clsid);
      element->stateBits = Get32(entry.bytes + dir::kStateBits);
      element->ctime = {Get32(entry.bytes + dir::kCreationTime),
                        Get32(entry.bytes + dir::kCreationTime + 4)};
      element->mtime = {Get32(entry.bytes + dir::kModifiedTime),
                        Get32(entry.bytes + dir::kModifiedTime + 4)};
      storages->push_back(entry);
      storageElements->push_back(element.get());
    } else if (entry.type == kTypeStream) {
      element = Element::NewStream(NameOf(entry), parent->depth + 1);
      if (entry.size >= kMiniStreamCutoff) {
        element->data = ReadRegularStream(entry.start, entry.size);
      } else if (entry.size > 0) {
        element->data = ReadMiniStream(entry.start, entry.size);
      }
    } else {
      Corrupt();
    }
    parent->children.push_back(std::move(element));
    pending.push_back(entry.left);
    pending.push_back(entry.right);
  }
  // Siblings are kept in name order whatever shape the file's tree had; equal names are
  // ambiguous and make the file corrupt.
  auto& children = parent->children;
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a->name < b->name; });
  for (size_t i = 1; i < children.size(); ++i) {
    if (children[i - 1]->name.SameAs(children[i]->name)) Corrupt();
  }
}

std::shared_ptr<Element> Reader::BuildTree() {
  visited_.assign(entryCount_, false);
  visited_[0] = true;
  RawEntry rootEntry = EntryAt(0);
  ElementName rootName;
  ElementName::FromUtf16(u"Root Entry", &rootName);
  auto root = Element::NewStorage(rootName, 0);
  std::memcpy(&root->clsid, rootEntry.bytes + dir::kClsid, sizeof root->clsid);
  root->stateBits = Get32(rootEntry.bytes + dir::kStateBits);
  root->mtime = {Get32(rootEntry.bytes + dir::kModifiedTime),
                 Get32(rootEntry.bytes + dir::kModifiedTime + 4)};
  // Storages still to be walked, with the element each one fills.
  std::vector<RawEntry> storages{rootEntry};
  std::vector<Element*> storageElements{root.get()};
  while (!storages.empty()) {
    RawEntry entry = storages.back();
    Element* element = storageElements.back();
    storages.pop_back();
    storageElements.pop_back();
    CollectChildren(entry.child, element, &storages, &storageElements);
  }
  return root;
}

}  // namespace

bool HasCompoundFileSignature(const uint8_t* data, size_t size) {
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

HRESULT ReadCompoundFile(const uint8_t* data, size_t size, std::shared_ptr<Element>* root) {
  return GuardStream([&] {
    *root = Reader(data, size).Read();
    return S_OK;
  });
}

}  // namespace vok::storage
