// qdxdump: its listing format and its failure exit.
#include <gtest/gtest.h>

#include "platform/storage/sha256.h"
#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

class QdxdumpTest : public testing::Test {
 protected:
  int Dump(const std::string& path, std::string* out, std::string* err) {
    return RunProgram({ProgramFolder() + "/qdxdump", path}, out, err);
  }
  std::string WriteFile(const Tree& tree) {
    const std::string path = folder_ + "/data.qdx";
    ComPtr<IStorage> root;
    EXPECT_EQ(StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                               root.ReleaseAndGetAddressOf()),
              S_OK);
    Build(root.Get(), tree);
    return path;
  }

  const std::string folder_ = MakeTempFolder("qdxdump");
};

TEST_F(QdxdumpTest, ListsStreamsSortedWithSizeAndDigest) {
  Tree tree;
  tree.storages = {"Sub", "Empty"};
  tree.streams["a"] = BytesOf("abc");
  tree.streams["B"] = {};
  tree.streams["Sub/inner"] = Pattern(5000, 1);
  tree.streams["\x05Summary"] = BytesOf("x");
  std::string out, err;
  ASSERT_EQ(Dump(WriteFile(tree), &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(out,
            "\\x05Summary\t1\t2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881\n"
            "B\t0\te3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n"
            "Sub/inner\t5000\t" +
                Sha256::HexDigest(tree.streams["Sub/inner"].data(), 5000) +
                "\n"
                "a\t3\tba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n");
}

TEST_F(QdxdumpTest, FailsWithAOneLineReason) {
  WriteFileBytes(folder_ + "/text.qdx", BytesOf("not a compound file at all"));
  Tree tree;
  tree.streams["s"] = Pattern(5000, 1);
  const std::string damaged = WriteFile(tree);
  Bytes bytes = ReadFileBytes(damaged);
  bytes.resize(bytes.size() - 2048);  // the stream's sectors are gone
  WriteFileBytes(damaged, bytes);

  struct Case {
    std::string path;
    std::string reason;
  } cases[] = {
      {folder_ + "/text.qdx", "not a compound file"},
      {damaged, "corrupt compound file"},
      {folder_ + "/missing.qdx", "no such file"},
  };
  for (const Case& c : cases) {
    std::string out, err;
    EXPECT_EQ(Dump(c.path, &out, &err), 1) << c.path;
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.rfind("qdxdump: " + c.path + ": " + c.reason, 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
  }
  std::string out, err;
  EXPECT_EQ(RunProgram({ProgramFolder() + "/qdxdump"}, &out, &err), 2);
  EXPECT_EQ(err, "usage: qdxdump PATH\n");
}

}  // namespace
}  // namespace vok::storage_test
