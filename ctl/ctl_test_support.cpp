#include "ctl/ctl_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

namespace vok::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "ctl-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary folder";
  path_ = fs::canonical(pattern).string();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::MakeDir(const std::string& relative) const {
  fs::path dir = fs::path(path_) / relative;
  fs::create_directories(dir);
  return dir.string();
}

std::string TempFolder::Touch(const std::string& relative) const {
  fs::path file = fs::path(path_) / relative;
  std::ofstream(file.string()).flush();
  return file.string();
}

std::string ProcessDir() {
  std::error_code error;
  return fs::current_path(error).string();
}

CurrentDirGuard::CurrentDirGuard() : saved_(ProcessDir()) {}

CurrentDirGuard::~CurrentDirGuard() {
  if (chdir(saved_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << saved_;
}

void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "ctl_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

namespace {

// Reads the record front to back; a short record marks the reader as failed.
class RecordReader {
 public:
  explicit RecordReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  int32_t Long() {
    if (!Have(4)) return 0;
    uint32_t v = bytes_[pos_] | (bytes_[pos_ + 1] << 8) | (bytes_[pos_ + 2] << 16) |
                 (static_cast<uint32_t>(bytes_[pos_ + 3]) << 24);
    pos_ += 4;
    return static_cast<int32_t>(v);
  }
  std::string Str32() {
    uint32_t n = static_cast<uint32_t>(Long());
    if (!Have(n)) return "";
    std::string text(bytes_.begin() + pos_, bytes_.begin() + pos_ + n);
    pos_ += n;
    return text;
  }
  void Skip(size_t n) {
    if (Have(n)) pos_ += n;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  bool Have(size_t n) {
    if (bytes_.size() - pos_ >= n) return true;
    ADD_FAILURE() << "record ends early at byte " << pos_;
    pos_ = bytes_.size();
    return false;
  }
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

StoredList ReadList(RecordReader& reader) {
  StoredList list;
  EXPECT_EQ(0, reader.Long()) << "list format value";
  list.maxSize = reader.Long();
  int32_t count = reader.Long();
  if (count > 0) reader.Skip(16);  // class identifier of the items
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_EQ(0, reader.Long()) << "item format value";
    StoredEntry entry;
    entry.key = reader.Str32();
    entry.data = static_cast<ULONG>(reader.Long());
    list.entries.push_back(entry);
  }
  return list;
}

}  // namespace

StoredNavigator ParseNavigator(const std::vector<uint8_t>& bytes) {
  RecordReader reader(bytes);
  StoredNavigator nav;
  EXPECT_EQ(0, reader.Long()) << "navigator format value";
  nav.back = ReadList(reader);
  nav.forward = ReadList(reader);
  nav.current = reader.Str32();
  nav.initial = reader.Str32();
  nav.excluded = reader.Str32();
  nav.preferred = reader.Str32();
  EXPECT_TRUE(reader.AtEnd()) << "bytes left after the record";
  return nav;
}

void PutLong(std::vector<uint8_t>* out, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
}

void PutStr32(std::vector<uint8_t>* out, const std::string& text) {
  PutLong(out, static_cast<int32_t>(text.size()));
  out->insert(out->end(), text.begin(), text.end());
}

}  // namespace vok::test
