// Opens the input as a compound file and walks every element: enumerates each storage, reads
// each stream whole and in pieces, recurses into sub-storages. A file that opens must read
// completely, and saving it again must give a file that reads to the same content.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/storage/storage.h"

namespace {

constexpr DWORD kRead = STGM_READ | STGM_SHARE_EXCLUSIVE;

void Append(std::string* dump, const void* data, size_t size) {
  dump->append(static_cast<const char*>(data), size);
}

bool ReadStream(IStorage* parent, const char* name, uint64_t size, std::string* dump) {
  ComPtr<IStream> stream;
  if (FAILED(parent->OpenStream(name, nullptr, kRead, 0, stream.ReleaseAndGetAddressOf()))) {
    return false;
  }
  std::vector<char> bytes(size);
  ULONG read = 0;
  if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(size), &read)) || read != size) {
    return false;
  }
  // A clone reads the same bytes from the middle on.
  ComPtr<IStream> clone;
  if (FAILED(stream->Clone(clone.ReleaseAndGetAddressOf()))) return false;
  LARGE_INTEGER middle{static_cast<int64_t>(size / 2)};
  if (FAILED(clone->Seek(middle, STREAM_SEEK_SET, nullptr))) return false;
  std::vector<char> tail(size - size / 2);
  if (FAILED(clone->Read(tail.data(), static_cast<ULONG>(tail.size()), &read)) ||
      read != tail.size() || !std::equal(tail.begin(), tail.end(), bytes.begin() + size / 2)) {
    return false;
  }
  Append(dump, bytes.data(), bytes.size());
  return true;
}

// Appends a canonical description of everything below `storage` to `dump`.
bool Walk(IStorage* storage, std::string* dump) {
  ComPtr<IEnumSTATSTG> elements;
  if (FAILED(storage->EnumElements(0, nullptr, 0, elements.ReleaseAndGetAddressOf()))) return false;
  STATSTG stat;
  HRESULT hr;
  while ((hr = elements->Next(1, &stat, nullptr)) == S_OK) {
    std::string name = stat.pwcsName;
    CoTaskMemFree(stat.pwcsName);
    dump->append(name).push_back('\0');
    Append(dump, &stat.type, sizeof stat.type);
    Append(dump, &stat.cbSize, sizeof stat.cbSize);
    if (stat.type == STGTY_STREAM) {
      if (!ReadStream(storage, name.c_str(), stat.cbSize.QuadPart, dump)) return false;
      continue;
    }
    Append(dump, &stat.clsid, sizeof stat.clsid);
    Append(dump, &stat.grfStateBits, sizeof stat.grfStateBits);
    Append(dump, &stat.ctime, sizeof stat.ctime);
    Append(dump, &stat.mtime, sizeof stat.mtime);
    ComPtr<IStorage> child;
    if (FAILED(storage->OpenStorage(name.c_str(), nullptr, kRead, nullptr, 0,
                                    child.ReleaseAndGetAddressOf())) ||
        !Walk(child.Get(), dump)) {
      return false;
    }
    dump->push_back('\1');  // end of storage
  }
  return hr == S_FALSE;
}

std::string Describe(IStorage* root) {
  std::string dump;
  if (!Walk(root, &dump)) std::abort();  // what opened must read completely
  STATSTG stat;
  if (FAILED(root->Stat(&stat, STATFLAG_NONAME))) std::abort();
  Append(&dump, &stat.clsid, sizeof stat.clsid);
  return dump;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ComPtr<IStorage> root;
  if (FAILED(VokOpenStorageOnBytes(data, size, root.ReleaseAndGetAddressOf()))) return 0;
  const std::string first = Describe(root.Get());
  std::vector<uint8_t> saved;
  if (FAILED(VokSaveStorageToBytes(root.Get(), &saved))) std::abort();
  ComPtr<IStorage> again;
  if (FAILED(VokOpenStorageOnBytes(saved.data(), saved.size(), again.ReleaseAndGetAddressOf()))) {
    std::abort();
  }
  if (Describe(again.Get()) != first) std::abort();
  return 0;
}
