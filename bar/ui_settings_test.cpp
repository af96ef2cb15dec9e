#include "bar/ui_settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "common/memory_stream.h"
#include "common/stream_util.h"

namespace vok::bar {
namespace {

// Bytes from hexadecimal text; blanks only separate fields for the reader.
std::vector<uint8_t> Hex(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::vector<uint8_t> Saved(const UiSettings& settings) {
  auto stream = MemoryStream::Create();
  SaveUiSettings(stream.Get(), settings);
  return stream->Bytes();
}

HRESULT LoadInto(const std::vector<uint8_t>& bytes, UiSettings& settings) {
  auto stream = MemoryStream::Create(bytes);
  return GuardStream([&] {
    LoadUiSettings(stream.Get(), settings);
    return S_OK;
  });
}

// A default record after its version, up to the tray icon.
constexpr char kDefaultBody[] =
    "00000000 01000000 00000000 01000000 01000000 01000000 00 00"
    " 00000000 00000000 00000000 00000000  00000000 00000000 00000000 00000000"
    " 00000000 00000000 00000000 00000000  01000000";

// A changed bar: docked at the top, auto-hidden, a hot key, rectangles and one context folder.
UiSettings Customised() {
  UiSettings s;
  s.autoHide = true;
  s.alwaysOnTop = false;
  s.docked = true;
  s.dockEdge = 0;
  s.hideToLeft = false;
  s.saveOnExit = kExitWithoutSaving;
  s.hotKeyCode = 0x51;  // Q
  s.hotKeyModifiers = x11::kHotKeyCtrl | x11::kHotKeyAlt;
  s.floatingRect = {10, 20, 300, 40};
  s.dockedRect = {0, -1, 1024, 25};
  s.hiddenRect = {0, 762, 1024, 768};
  s.trayIconAlways = false;
  s.contextFolders = {{"Editor", "/tmp", true, false}};
  s.extractUrlOnDrop = false;
  s.autoMinimize = true;
  return s;
}

// Offsets: the folder count at 82, the folder's title length at 90.
constexpr char kCustomisedRecord[] =
    "03000000 01000000 00000000 01000000 00000000 00000000 02000000 51 06"
    " 14000000 0A000000 2C010000 28000000"  // floating: top 20, left 10, right 300, bottom 40
    " FFFFFFFF 00000000 00040000 19000000"  // docked
    " FA020000 00000000 00040000 00030000"  // hidden
    " 00000000 01000000"                    // tray icon always; one context folder:
    " 00000000 06 456469746F72 04 2F746D70 01000000 00000000"
    " 00000000 01000000";  // extract URL, auto-minimize

TEST(UiSettingsRecord, GoldenBytesAndRoundTrip) {
  EXPECT_EQ(Saved(UiSettings{}),
            Hex(std::string("03000000") + kDefaultBody + " 00000000 01000000 00000000"));
  const std::vector<uint8_t> bytes = Saved(Customised());
  EXPECT_EQ(bytes, Hex(kCustomisedRecord));
  EXPECT_EQ(Saved(Customised()), bytes) << "saving twice gives the same bytes";

  UiSettings loaded;
  ASSERT_EQ(LoadInto(bytes, loaded), S_OK);
  EXPECT_EQ(loaded, Customised());

  std::vector<uint8_t> nonZero = bytes;
  nonZero[8] = 0x02;  // always on top stored as 2 still reads as on
  ASSERT_EQ(LoadInto(nonZero, loaded), S_OK);
  EXPECT_TRUE(loaded.alwaysOnTop);
}

// Older records leave the fields they do not hold as they are; a negative version holds none.
TEST(UiSettingsRecord, OlderVersionsKeepCurrentValuesOfNewerFields) {
  const UiSettings before = Customised();
  struct {
    std::string bytes;
    bool trayRead, foldersRead;
  } cases[] = {{"00000000" + std::string(kDefaultBody, sizeof kDefaultBody - 11), false, false},
               {"01000000" + std::string(kDefaultBody), true, false},
               {"02000000" + std::string(kDefaultBody) + " 00000000", true, true}};
  for (const auto& c : cases) {
    UiSettings current = before;
    auto stream = MemoryStream::Create(Hex(c.bytes));
    LoadUiSettings(stream.Get(), current);
    EXPECT_EQ(stream->Position(), stream->Bytes().size()) << c.bytes;
    EXPECT_FALSE(current.autoHide) << "version 0 fields are read";
    EXPECT_EQ(current.trayIconAlways, c.trayRead || before.trayIconAlways);
    EXPECT_EQ(current.contextFolders.empty(), c.foldersRead);
    EXPECT_EQ(current.extractUrlOnDrop, before.extractUrlOnDrop);
    EXPECT_EQ(current.autoMinimize, before.autoMinimize);
  }
  UiSettings current = before;
  auto negative = MemoryStream::Create(Hex("FFFFFFFF 01000000"));
  LoadUiSettings(negative.Get(), current);
  EXPECT_EQ(negative->Position(), 4u);
  EXPECT_EQ(current, before);
}

TEST(UiSettingsRecord, CountedStringLengthForms) {
  struct {
    size_t length;
    const char* prefix;
  } cases[] = {{254, "FE"}, {255, "FF FF00"}, {65533, "FF FDFF"}, {65534, "FF FFFF FEFF0000"}};
  for (const auto& c : cases) {
    const std::string text(c.length, 'x');
    auto stream = MemoryStream::Create();
    WriteCountedString(stream.Get(), text);
    std::vector<uint8_t> expected = Hex(c.prefix);
    expected.insert(expected.end(), text.begin(), text.end());
    EXPECT_EQ(stream->Bytes(), expected) << c.length;
    auto reader = MemoryStream::Create(stream->Bytes());
    EXPECT_EQ(ReadCountedString(reader.Get()), text) << c.length;
  }
}

TEST(UiSettingsRecord, EveryCutRecordFailsWithReadFault) {
  const std::vector<uint8_t> full = Hex(kCustomisedRecord);
  for (size_t size = 0; size < full.size(); ++size) {
    UiSettings loaded;
    EXPECT_EQ(LoadInto({full.begin(), full.begin() + size}, loaded), STG_E_READFAULT) << size;
  }
}

struct CorruptCase {
  const char* name;
  size_t offset;
  std::vector<uint8_t> replacement;
  HRESULT status;
};
void PrintTo(const CorruptCase& c, std::ostream* out) { *out << c.name; }

class UiSettingsCorrupt : public testing::TestWithParam<CorruptCase> {};

// Lengths and counts are not trusted: no huge allocation, a status instead.
TEST_P(UiSettingsCorrupt, FailsWithExactStatusAndKeepsTheFolderList) {
  const CorruptCase& c = GetParam();
  std::vector<uint8_t> bytes = Hex(kCustomisedRecord);
  std::copy(c.replacement.begin(), c.replacement.end(), bytes.begin() + c.offset);
  UiSettings loaded;
  loaded.contextFolders = {{"kept", "/kept", false, false}};
  EXPECT_EQ(LoadInto(bytes, loaded), c.status);
  EXPECT_TRUE(loaded.autoHide) << "fields before the failure keep their new values";
  EXPECT_EQ(loaded.contextFolders.at(0).title, "kept") << "a half-read list is not taken";
}

INSTANTIATE_TEST_SUITE_P(
    Flips, UiSettingsCorrupt,
    testing::Values(CorruptCase{"CountFlipped", 82, {0xFE}, STG_E_READFAULT},
                    CorruptCase{"CountNegative", 85, {0x80}, STG_E_DOCFILECORRUPT},
                    CorruptCase{"CountAbsurd", 82, {0xFF, 0xFF, 0xFF, 0x7F}, STG_E_DOCFILECORRUPT},
                    CorruptCase{"TitleLengthFlipped", 90, {0xF9}, STG_E_READFAULT},
                    CorruptCase{"ReservedLengthMark", 90, {0xFF, 0xFE, 0xFF}, STG_E_DOCFILECORRUPT},
                    CorruptCase{"FourGigabyteLength",
                                90,
                                {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                STG_E_READFAULT}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vok::bar
