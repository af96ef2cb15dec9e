#include "platform/storage/stream_listing.h"

#include <algorithm>

#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"

namespace vok {
namespace {

constexpr DWORD kReadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;

HRESULT ReadStream(IStorage* parent, const char* name, std::vector<uint8_t>* bytes) {
  ComPtr<IStream> stream;
  HRESULT hr = parent->OpenStream(name, nullptr, kReadMode, 0, stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  uint8_t buffer[1 << 16];
  for (;;) {
    ULONG read = 0;
    hr = stream->Read(buffer, sizeof buffer, &read);
    if (FAILED(hr)) return hr;
    if (read == 0) return S_OK;
    bytes->insert(bytes->end(), buffer, buffer + read);
  }
}

HRESULT Walk(IStorage* storage, const std::string& prefix, StorageListing* out) {
  ComPtr<IEnumSTATSTG> elements;
  HRESULT hr = storage->EnumElements(0, nullptr, 0, elements.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  STATSTG stat;
  while ((hr = elements->Next(1, &stat, nullptr)) == S_OK) {
    std::string name = stat.pwcsName;
    CoTaskMemFree(stat.pwcsName);
    const std::string path = prefix + name;
    if (stat.type == STGTY_STREAM) {
      StreamRecord record{path, {}};
      hr = ReadStream(storage, name.c_str(), &record.bytes);
      if (FAILED(hr)) return hr;
      out->streams.push_back(std::move(record));
    } else {
      out->storages.push_back(path);
      ComPtr<IStorage> child;
      hr = storage->OpenStorage(name.c_str(), nullptr, kReadMode, nullptr, 0,
                                child.ReleaseAndGetAddressOf());
      if (SUCCEEDED(hr)) hr = Walk(child.Get(), path + "/", out);
      if (FAILED(hr)) return hr;
    }
  }
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace

HRESULT ListStorage(IStorage* storage, StorageListing* out) {
  HRESULT hr = Walk(storage, "", out);
  if (FAILED(hr)) return hr;
  std::sort(out->streams.begin(), out->streams.end(),
            [](const StreamRecord& a, const StreamRecord& b) { return a.path < b.path; });
  std::sort(out->storages.begin(), out->storages.end());
  return S_OK;
}

}  // namespace vok
