// Interoperability with independent implementations of the format: files we write are read
// without complaint by olefile (at its strictest) and by gsf; files gsf writes read back here
// byte for byte. The tools are required: a missing tool fails the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/storage/sha256.h"
#include "platform/storage/storage_test_util.h"

namespace vok::storage_test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPython = "/usr/bin/python3";

// Lists every stream (S path size sha256) and storage (D path) and any parsing issue.
constexpr const char* kOlefileLister = R"(
import sys, hashlib, olefile
ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
out = sys.stdout.buffer
for entry in sorted(ole.listdir(streams=True, storages=True)):
    path = '/'.join(entry)
    if ole.get_type(entry) == olefile.STGTY_STREAM:
        data = ole.openstream(entry).read()
        if ole.get_size(entry) != len(data):
            out.write(b'SIZE MISMATCH\n')
        line = 'S\t%s\t%d\t%s\n' % (path, len(data), hashlib.sha256(data).hexdigest())
    else:
        line = 'D\t%s\n' % path
    out.write(line.encode('utf-8'))
for kind, message in ole.parsing_issues:
    out.write(('ISSUE\t%s\n' % message).encode('utf-8'))
ole.close()
)";

void RequireTool(const std::vector<std::string>& probe, const char* what) {
  std::string out, err;
  int status = RunProgram(probe, &out, &err);
  ASSERT_EQ(status, 0) << what << " is needed for this test and is not usable here (" << probe[0]
                       << "): " << err;
}

void RequireOlefile() {
  RequireTool({kPython, "-c", "import olefile"}, "python3 with olefile (Debian python3-olefile)");
}
void RequireGsf() { RequireTool({"gsf", "--version"}, "gsf (Debian libgsf-bin)"); }

std::string ExpectedOlefileListing(const Tree& tree) {
  std::set<std::string> lines;
  for (const auto& [path, bytes] : tree.streams) {
    lines.insert("S\t" + path + "\t" + std::to_string(bytes.size()) + "\t" +
                 Sha256::HexDigest(bytes.data(), bytes.size()));
  }
  for (const std::string& path : tree.storages) lines.insert("D\t" + path);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string SortedLines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  std::string sorted;
  for (const std::string& line : lines) sorted += line + "\n";
  return sorted;
}

class InteropTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(VokStorageLiveObjects(), 0); }

  std::string WriteDataFile(const Tree& tree, const std::string& name) {
    const std::string path = folder_ + "/" + name;
    ComPtr<IStorage> root;
    EXPECT_EQ(StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                               root.ReleaseAndGetAddressOf()),
              S_OK);
    Build(root.Get(), tree);
    EXPECT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    return path;
  }

  void ExpectOlefileReads(const std::string& path, const Tree& tree) {
    std::string out, err;
    ASSERT_EQ(RunProgram({kPython, "-c", kOlefileLister, path}, &out, &err), 0) << err;
    EXPECT_EQ(SortedLines(out), ExpectedOlefileListing(tree));
  }

  void ExpectGsfReads(const std::string& path, const Tree& tree) {
    std::string out, err;
    ASSERT_EQ(RunProgram({"gsf", "list", path}, &out, &err), 0) << err;
    EXPECT_EQ(err, "");
    // Lines: kind, optional date and time, size, path.
    std::map<std::string, uint64_t> streams;
    std::set<std::string> storages;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::vector<std::string> words;
      for (std::string word; fields >> word;) words.push_back(word);
      if (words.size() < 3) continue;  // the "file:" heading
      const std::string& name = words.back();
      // gsf shows a storage without children as an empty file, also in files it wrote itself.
      bool emptyStorage =
          words[0] == "f" && tree.storages.count(name) && words[words.size() - 2] == "0";
      if (words[0] == "f" && !emptyStorage) streams[name] = std::stoull(words[words.size() - 2]);
      if ((words[0] == "d" && name != "*root*") || emptyStorage) storages.insert(name);
    }
    EXPECT_EQ(storages, std::set<std::string>(tree.storages.begin(), tree.storages.end()));
    ASSERT_EQ(streams.size(), tree.streams.size()) << out;
    for (const auto& [name, bytes] : tree.streams) {
      EXPECT_EQ(streams[name], bytes.size()) << name;
    }
  }

  void ExpectGsfCat(const std::string& path, const std::string& member, const Bytes& bytes) {
    std::string out, err;
    ASSERT_EQ(RunProgram({"gsf", "cat", path, member}, &out, &err), 0) << err;
    EXPECT_TRUE(out == std::string(bytes.begin(), bytes.end())) << member;
  }

  const std::string folder_ = MakeTempFolder("interop");
};

Tree VariedTree() {
  Tree tree;
  tree.storages = {"Engines", "Engines/CmdLine", "Empty"};
  tree.streams["ENG_CONTAINER"] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  tree.streams["UI_DATA"] = Pattern(300, 1);
  for (size_t size : {0, 1, 64, 4095, 4096, 4097, 70000}) {
    tree.streams["size" + std::to_string(size)] = Pattern(size, static_cast<uint32_t>(size));
  }
  tree.streams["Engines/CmdLine/History"] = Pattern(9000, 2);
  tree.streams["Engines/CmdLine/Aliases"] = Pattern(700, 3);
  tree.streams["Engines/ENG_SHELL_EXEC"] = Pattern(2000, 4);
  for (int i = 0; i < 150; ++i) {
    tree.streams["Engines/item" + std::to_string(i)] = Pattern(static_cast<size_t>(i * 37), i);
  }
  tree.streams
      ["Gr\xC3\xB6\xC3\x9F"
       "e"] = Pattern(10, 5);
  return tree;
}

TEST_F(InteropTest, OlefileReadsOurFilesWithoutDefects) {
  ASSERT_NO_FATAL_FAILURE(RequireOlefile());
  const Tree tree = VariedTree();
  const std::string path = WriteDataFile(tree, "varied.qdx");
  ExpectOlefileReads(path, tree);
}

TEST_F(InteropTest, OlefileReadsOurFilesWithDifatSectors) {
  ASSERT_NO_FATAL_FAILURE(RequireOlefile());
  Tree tree;
  for (int i = 0; i < 15; ++i) tree.streams["chunk" + std::to_string(i)] = Pattern(500000, i);
  tree.streams["small"] = Pattern(30, 1);
  const std::string path = WriteDataFile(tree, "large.qdx");
  ASSERT_GT(ParseRaw(ReadFileBytes(path)).difatSectorCount, 0u);
  ExpectOlefileReads(path, tree);
}

TEST_F(InteropTest, OlefileReadsAnEmptyFile) {
  ASSERT_NO_FATAL_FAILURE(RequireOlefile());
  ExpectOlefileReads(WriteDataFile({}, "empty.qdx"), {});
}

TEST_F(InteropTest, GsfListsAndReadsOurFiles) {
  ASSERT_NO_FATAL_FAILURE(RequireGsf());
  Tree tree = VariedTree();
  tree.streams.erase(
      "Gr\xC3\xB6\xC3\x9F"
      "e");  // keep gsf's listing free of locale questions
  const std::string path = WriteDataFile(tree, "varied.qdx");
  ExpectGsfReads(path, tree);
  for (const char* member : {"ENG_CONTAINER", "size4095", "size4096", "size70000",
                             "Engines/CmdLine/History", "Engines/item149"}) {
    ExpectGsfCat(path, member, tree.streams.at(member));
  }
}

// gsf createole makes a compound file of a folder tree; the folder itself becomes a storage.
TEST_F(InteropTest, WeReadFilesWrittenByGsf) {
  ASSERT_NO_FATAL_FAILURE(RequireGsf());
  const std::string source = folder_ + "/tree";
  Tree expected;
  auto addFile = [&](const std::string& relative, const Bytes& bytes) {
    fs::create_directories(fs::path(source + "/" + relative).parent_path());
    WriteFileBytes(source + "/" + relative, bytes);
    expected.streams["tree/" + relative] = bytes;
  };
  for (size_t size : {1, 100, 4095, 4096, 4097, 10000, 300000}) {  // 300000: five FAT sectors
    addFile("s" + std::to_string(size), Pattern(size, static_cast<uint32_t>(size)));
  }
  for (int i = 0; i < 300; ++i) addFile("many/f" + std::to_string(i), Pattern(i * 11 + 1, i));
  addFile("sub/deeper/leaf", Pattern(5000, 7));
  addFile("sub/note", BytesOf("a note"));
  expected.storages = {"tree", "tree/many", "tree/sub", "tree/sub/deeper"};

  const std::string path = folder_ + "/made-by-gsf.ole";
  std::string out, err;
  ASSERT_EQ(RunProgram({"gsf", "createole", path, source}, &out, &err), 0) << err;
  ASSERT_GT(ParseRaw(ReadFileBytes(path)).fatSectorCount, 1u);

  ComPtr<IStorage> root;
  ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                           root.ReleaseAndGetAddressOf()),
            S_OK);
  ExpectSameTree(expected, Read(root.Get()));
  root = nullptr;

  // And what we save after reading it is still read by gsf.
  ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                           root.ReleaseAndGetAddressOf()),
            S_OK);
  PutStream(root.Get(), "added", BytesOf("by us"));
  root = nullptr;
  expected.streams["added"] = BytesOf("by us");
  ExpectGsfReads(path, expected);
}

}  // namespace
}  // namespace vok::storage_test
