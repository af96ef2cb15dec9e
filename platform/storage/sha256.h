// SHA-256 (FIPS 180-4) for listing and comparing stream contents.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vok {

class Sha256 {
 public:
  Sha256();
  void Update(const void* data, size_t size);
  // The digest; the object must not be updated afterwards.
  std::array<uint8_t, 32> Finish();

  // 64 lower-case hex digits of the digest of `data`.
  static std::string HexDigest(const void* data, size_t size);

 private:
  void Compress(const uint8_t* block);

  uint32_t state_[8];
  uint8_t buffer_[64];
  size_t buffered_ = 0;
  uint64_t totalBytes_ = 0;
};

}  // namespace vok
