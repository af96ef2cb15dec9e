// qdxdump PATH: lists the streams of a data file, one line each: path, size and SHA-256,
// separated by tabs and sorted by path (byte-wise, control characters shown as \xHH). A file that
// cannot be read gives a one-line reason on stderr and exit status 1 (2 for wrong usage).
#include <cstdio>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/storage/sha256.h"
#include "platform/storage/storage.h"
#include "platform/storage/stream_listing.h"

namespace {

const char* ReasonFor(HRESULT hr) {
  switch (hr) {
    case STG_E_FILENOTFOUND:
      return "no such file";
    case STG_E_PATHNOTFOUND:
      return "no such folder";
    case STG_E_ACCESSDENIED:
      return "permission denied";
    case STG_E_INVALIDHEADER:
      return "not a compound file";
    case STG_E_DOCFILECORRUPT:
      return "corrupt compound file";
    case STG_E_READFAULT:
      return "read error";
    case STG_E_INSUFFICIENTMEMORY:
    case E_OUTOFMEMORY:
      return "out of memory";
    default:
      return "cannot be read";
  }
}

// Names may hold control characters (some writers start names with \x05); they are shown as
// \xHH so that every stream stays on one line. A backslash cannot occur in a name.
std::string Printable(const std::string& path) {
  std::string text;
  for (unsigned char c : path) {
    if (c < 0x20 || c == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

int Fail(const char* path, HRESULT hr) {
  std::fprintf(stderr, "qdxdump: %s: %s (status 0x%08X)\n", path, ReasonFor(hr),
               static_cast<unsigned>(hr));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qdxdump PATH\n");
    return 2;
  }
  const char* path = argv[1];
  ComPtr<IStorage> root;
  HRESULT hr = StgOpenStorage(path, nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                              root.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return Fail(path, hr);
  vok::StorageListing listing;
  hr = vok::ListStorage(root.Get(), &listing);
  if (FAILED(hr)) return Fail(path, hr);
  for (const vok::StreamRecord& stream : listing.streams) {
    std::printf("%s\t%zu\t%s\n", Printable(stream.path).c_str(), stream.bytes.size(),
                vok::Sha256::HexDigest(stream.bytes.data(), stream.bytes.size()).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
