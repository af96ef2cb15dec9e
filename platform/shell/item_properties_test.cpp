// What the properties dialog shows: sizes, permission strings and the rows of each kind.
#include "platform/shell/item_properties.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "platform/shell/shell_test_support.h"

namespace vok::shell {
namespace {

using test::TempDir;
using test::WriteFile;

std::map<std::string, std::string> Rows(const std::string& path) {
  auto rows = ItemProperties(path);
  if (!rows) return {};
  return std::map<std::string, std::string>(rows->begin(), rows->end());
}

TEST(ItemPropertiesTest, DescribesSizes) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0 bytes"},
      {1, "1 byte"},
      {1023, "1023 bytes"},
      {1536, "1.5 KiB (1,536 bytes)"},
      {5u * 1024 * 1024, "5.0 MiB (5,242,880 bytes)"},
      {3ull << 40, "3.0 TiB (3,298,534,883,328 bytes)"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(text, DescribeSize(bytes)) << bytes;
}

TEST(ItemPropertiesTest, DescribesPermissions) {
  const std::pair<unsigned, const char*> cases[] = {
      {0644, "rw-r--r--"},  {0755, "rwxr-xr-x"},  {0, "---------"},     {04755, "rwsr-xr-x"},
      {02640, "rw-r-S---"}, {01777, "rwxrwxrwt"}, {01776, "rwxrwxrwT"},
  };
  for (const auto& [mode, text] : cases) EXPECT_EQ(text, DescribePermissions(mode)) << mode;
}

TEST(ItemPropertiesTest, RowsOfEachKind) {
  TempDir dir;
  WriteFile(dir / "folder/a.txt", "hello");
  WriteFile(dir / "folder/b.txt", "");
  chmod((dir / "folder/a.txt").c_str(), 0640);
  std::filesystem::create_symlink("folder/a.txt", dir / "link");

  auto file = Rows((dir / "folder/a.txt").string());
  EXPECT_EQ("a.txt", file["Name"]);
  EXPECT_EQ((dir / "folder").string(), file["Location"]);
  EXPECT_EQ("5 bytes", file["Size"]);
  EXPECT_EQ("rw-r-----", file["Permissions"]);
  EXPECT_NE(std::string::npos, file["Type"].find("text/plain"));

  auto folder = Rows((dir / "folder").string());
  EXPECT_EQ("Folder", folder["Type"]);
  EXPECT_EQ("2 items", folder["Contains"]);
  EXPECT_EQ(0u, folder.count("Size"));

  auto link = Rows((dir / "link").string());
  EXPECT_EQ("Symbolic link", link["Type"]);
  EXPECT_EQ("folder/a.txt", link["Link target"]);

  EXPECT_FALSE(ItemProperties((dir / "missing").string()));
}

}  // namespace
}  // namespace vok::shell
