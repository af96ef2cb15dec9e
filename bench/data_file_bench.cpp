// Saving and loading a 5 MB data file: 40 streams of mixed sizes (small ones in the mini
// stream, medium and large ones in regular sectors) spread over the root and two sub-storages.
// Saving includes the sync to disk of the atomic replacement.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/storage/storage.h"

namespace {

constexpr DWORD kCreate = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kRead = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr size_t kTotalBytes = 5u << 20;
const char* const kStorages[] = {"", "EngineA", "EngineB"};

struct StreamContent {
  int storage;  // index into kStorages
  std::string name;
  std::vector<uint8_t> bytes;
};

std::vector<StreamContent> MakeContent() {
  std::vector<size_t> sizes;
  for (size_t i = 0; i < 20; ++i) sizes.push_back(100 + i * 150);        // mini stream
  for (size_t i = 0; i < 15; ++i) sizes.push_back((20 + i * 5) * 1024);  // 20 .. 90 KB
  size_t used = 0;
  for (size_t size : sizes) used += size;
  for (size_t i = 0; i < 5; ++i) sizes.push_back((kTotalBytes - used) / 5);
  std::vector<StreamContent> streams;
  uint32_t state = 1;
  for (size_t i = 0; i < sizes.size(); ++i) {
    StreamContent item{static_cast<int>(i % 3), "Stream" + std::to_string(i), {}};
    item.bytes.resize(sizes[i]);
    for (auto& b : item.bytes)
      b = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    streams.push_back(std::move(item));
  }
  return streams;
}

class DataFile {
 public:
  DataFile() : content_(MakeContent()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "data-file-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    path_ = folder_ + "/bench.qdx";
  }
  ~DataFile() { std::filesystem::remove_all(folder_); }

  bool Save() const {
    ComPtr<IStorage> root;
    if (FAILED(StgCreateDocfile(path_.c_str(), kCreate, 0, root.ReleaseAndGetAddressOf())))
      return false;
    ComPtr<IStorage> storages[3] = {root};
    for (int i = 1; i < 3; ++i) {
      if (FAILED(root->CreateStorage(kStorages[i], kCreate, 0, 0,
                                     storages[i].ReleaseAndGetAddressOf()))) {
        return false;
      }
    }
    for (const StreamContent& item : content_) {
      ComPtr<IStream> stream;
      ULONG written = 0;
      if (FAILED(storages[item.storage]->CreateStream(item.name.c_str(), kCreate, 0, 0,
                                                      stream.ReleaseAndGetAddressOf())) ||
          FAILED(
              stream->Write(item.bytes.data(), static_cast<ULONG>(item.bytes.size()), &written))) {
        return false;
      }
    }
    return SUCCEEDED(root->Commit(STGC_DEFAULT));
  }

  // Opens the file and reads every stream; returns the bytes read.
  size_t Load() const {
    ComPtr<IStorage> root;
    if (FAILED(StgOpenStorage(path_.c_str(), nullptr, kRead, nullptr, 0,
                              root.ReleaseAndGetAddressOf()))) {
      return 0;
    }
    size_t total = 0;
    std::vector<uint8_t> buffer(1 << 20);
    for (const StreamContent& item : content_) {
      ComPtr<IStorage> storage = root;
      if (item.storage > 0 &&
          FAILED(root->OpenStorage(kStorages[item.storage], nullptr, kRead, nullptr, 0,
                                   storage.ReleaseAndGetAddressOf()))) {
        return 0;
      }
      ComPtr<IStream> stream;
      if (FAILED(storage->OpenStream(item.name.c_str(), nullptr, kRead, 0,
                                     stream.ReleaseAndGetAddressOf()))) {
        return 0;
      }
      for (ULONG read = 1; read > 0;) {
        if (FAILED(stream->Read(buffer.data(), static_cast<ULONG>(buffer.size()), &read))) return 0;
        total += read;
      }
    }
    return total;
  }

  size_t ContentBytes() const {
    size_t total = 0;
    for (const StreamContent& item : content_) total += item.bytes.size();
    return total;
  }

 private:
  std::vector<StreamContent> content_;
  std::string folder_;
  std::string path_;
};

void BM_SaveDataFile(benchmark::State& state) {
  DataFile file;
  for (auto _ : state) {
    if (!file.Save()) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.ContentBytes()));
}
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMillisecond);

void BM_LoadDataFile(benchmark::State& state) {
  DataFile file;
  if (!file.Save()) state.SkipWithError("save failed");
  for (auto _ : state) {
    if (file.Load() != file.ContentBytes()) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.ContentBytes()));
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond);

}  // namespace
