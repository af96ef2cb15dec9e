#include "platform/storage/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace vok {
namespace {

std::string Digest(const std::string& text) { return Sha256::HexDigest(text.data(), text.size()); }

TEST(Sha256Test, KnownVectors) {
  EXPECT_EQ(Digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Digest(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Feeding the input in pieces of any size gives the one-shot digest, around the block and
// padding boundaries in particular.
TEST(Sha256Test, PiecewiseUpdatesMatchOneShot) {
  for (size_t size : {55, 56, 57, 63, 64, 65, 119, 120, 128, 1000}) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 31 + 7);
    for (size_t piece : {1, 3, 63, 64, 65}) {
      Sha256 hash;
      for (size_t at = 0; at < size; at += piece)
        hash.Update(text.data() + at, std::min(piece, size - at));
      auto digest = hash.Finish();
      Sha256 whole;
      whole.Update(text.data(), size);
      EXPECT_EQ(digest, whole.Finish()) << size << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace vok
