#include "ctl/ctl_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "common/memory_stream.h"
#include "common/stream_util.h"

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

CurrentDirGuard::~CurrentDirGuard() {
  if (chdir(saved.c_str()) != 0) ADD_FAILURE() << "cannot return to " << saved;
}

void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "ctl_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

namespace {

StoredList ReadList(IStream* in) {
  StoredList list;
  EXPECT_EQ(0, ReadLong(in)) << "list format value";
  list.maxSize = ReadLong(in);
  const LONG count = ReadLong(in);
  if (count > 0) ReadGuid(in);  // class identifier of the items
  for (LONG i = 0; i < count; ++i) {
    EXPECT_EQ(0, ReadLong(in)) << "item format value";
    std::string key = ReadStr32(in);
    list.entries.push_back({key, ReadULong(in)});
  }
  return list;
}

}  // namespace

StoredNavigator ParseNavigator(const std::vector<uint8_t>& bytes) {
  ComPtr<MemoryStream> stream = MemoryStream::Create(bytes);
  StoredNavigator nav;
  try {
    EXPECT_EQ(0, ReadLong(stream.Get())) << "navigator format value";
    nav.back = ReadList(stream.Get());
    nav.forward = ReadList(stream.Get());
    for (std::string* text : {&nav.current, &nav.initial, &nav.excluded, &nav.preferred})
      *text = ReadStr32(stream.Get());
    char extra;
    ULONG read = 0;
    stream->Read(&extra, 1, &read);
    EXPECT_EQ(0u, read) << "bytes left after the record";
  } catch (const CvokIStreamException& e) {
    ADD_FAILURE() << "unreadable record: " << std::hex << e.Status();
  }
  return nav;
}

}  // namespace vok::test
