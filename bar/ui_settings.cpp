#include "bar/ui_settings.h"

#include <algorithm>
#include <cstdint>

#include "common/stream_util.h"

namespace vok::bar {
namespace {

constexpr LONG kContextFolderVersion = 0;
constexpr uint8_t kLongerLength = 0xFF;
constexpr uint16_t kWideLengthMark = 0xFFFE;  // reserved: never written
constexpr uint16_t kLongLengthMark = 0xFFFF;

void WriteBool(IStream* stream, bool value) { WriteLong(stream, value ? 1 : 0); }
bool ReadBool(IStream* stream) { return ReadLong(stream) != 0; }

void WriteByte(IStream* stream, uint8_t value) { WriteBytes(stream, &value, 1); }
uint8_t ReadByte(IStream* stream) {
  uint8_t value = 0;
  ReadBytes(stream, &value, 1);
  return value;
}

void WriteWord(IStream* stream, uint16_t value) {
  uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  WriteBytes(stream, bytes, 2);
}
uint16_t ReadWord(IStream* stream) {
  uint8_t bytes[2] = {};
  ReadBytes(stream, bytes, 2);
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

// Rectangles are stored top first.
void WriteRect(IStream* stream, const RECT& rect) {
  WriteLong(stream, rect.top);
  WriteLong(stream, rect.left);
  WriteLong(stream, rect.right);
  WriteLong(stream, rect.bottom);
}
RECT ReadRect(IStream* stream) {
  RECT rect{};
  rect.top = ReadLong(stream);
  rect.left = ReadLong(stream);
  rect.right = ReadLong(stream);
  rect.bottom = ReadLong(stream);
  return rect;
}

void WriteContextFolder(IStream* stream, const ContextFolder& folder) {
  WriteLong(stream, kContextFolderVersion);
  WriteCountedString(stream, folder.title);
  WriteCountedString(stream, folder.folder);
  WriteBool(stream, folder.matchCase);
  WriteBool(stream, folder.wholeTitle);
}
ContextFolder ReadContextFolder(IStream* stream) {
  ContextFolder folder;
  if (ReadLong(stream) < 0) return folder;
  folder.title = ReadCountedString(stream);
  folder.folder = ReadCountedString(stream);
  folder.matchCase = ReadBool(stream);
  folder.wholeTitle = ReadBool(stream);
  return folder;
}

}  // namespace

void WriteCountedString(IStream* stream, const std::string& text) {
  const size_t length = text.size();
  if (length > UINT32_MAX) throw CvokIStreamException(STG_E_INVALIDPARAMETER);
  if (length < kLongerLength) {
    WriteByte(stream, static_cast<uint8_t>(length));
  } else {
    WriteByte(stream, kLongerLength);
    if (length < kWideLengthMark) {
      WriteWord(stream, static_cast<uint16_t>(length));
    } else {
      WriteWord(stream, kLongLengthMark);
      WriteULong(stream, static_cast<ULONG>(length));
    }
  }
  if (length > 0) WriteBytes(stream, text.data(), static_cast<ULONG>(length));
}

// The stored length is not trusted: the text grows only by what the stream delivers, so a
// corrupted length ends in a read fault instead of a huge allocation.
std::string ReadCountedString(IStream* stream) {
  ULONG length = ReadByte(stream);
  if (length == kLongerLength) {
    length = ReadWord(stream);
    if (length == kWideLengthMark) throw CvokIStreamException(STG_E_DOCFILECORRUPT);
    if (length == kLongLengthMark) length = ReadULong(stream);
  }
  constexpr ULONG kChunk = 64 * 1024;
  std::string text;
  while (text.size() < length) {
    const size_t done = text.size();
    const ULONG chunk = std::min<ULONG>(kChunk, length - static_cast<ULONG>(done));
    text.resize(done + chunk);
    ReadBytes(stream, text.data() + done, chunk);
  }
  return text;
}

void SaveUiSettings(IStream* stream, const UiSettings& settings) {
  if (settings.contextFolders.size() > static_cast<size_t>(kMaxContextFolders))
    throw CvokIStreamException(STG_E_INVALIDPARAMETER);
  WriteLong(stream, kUiSettingsVersion);
  WriteBool(stream, settings.autoHide);
  WriteBool(stream, settings.alwaysOnTop);
  WriteBool(stream, settings.docked);
  WriteLong(stream, settings.dockEdge);
  WriteBool(stream, settings.hideToLeft);
  WriteLong(stream, settings.saveOnExit);
  WriteByte(stream, settings.hotKeyCode);
  WriteByte(stream, settings.hotKeyModifiers);
  WriteRect(stream, settings.floatingRect);
  WriteRect(stream, settings.dockedRect);
  WriteRect(stream, settings.hiddenRect);
  WriteBool(stream, settings.trayIconAlways);
  WriteLong(stream, static_cast<LONG>(settings.contextFolders.size()));
  for (const ContextFolder& folder : settings.contextFolders) WriteContextFolder(stream, folder);
  WriteBool(stream, settings.extractUrlOnDrop);
  WriteBool(stream, settings.autoMinimize);
}

void LoadUiSettings(IStream* stream, UiSettings& settings) {
  const LONG version = ReadLong(stream);
  if (version < 0) return;
  settings.autoHide = ReadBool(stream);
  settings.alwaysOnTop = ReadBool(stream);
  settings.docked = ReadBool(stream);
  settings.dockEdge = ReadLong(stream);
  settings.hideToLeft = ReadBool(stream);
  settings.saveOnExit = ReadLong(stream);
  settings.hotKeyCode = ReadByte(stream);
  settings.hotKeyModifiers = ReadByte(stream);
  settings.floatingRect = ReadRect(stream);
  settings.dockedRect = ReadRect(stream);
  settings.hiddenRect = ReadRect(stream);
  if (version < 1) return;
  settings.trayIconAlways = ReadBool(stream);
  if (version < 2) return;
  const LONG count = ReadLong(stream);
  if (count < 0 || count > kMaxContextFolders) throw CvokIStreamException(STG_E_DOCFILECORRUPT);
  std::vector<ContextFolder> folders;
  for (LONG i = 0; i < count; ++i) folders.push_back(ReadContextFolder(stream));
  settings.contextFolders = std::move(folders);
  if (version < 3) return;
  settings.extractUrlOnDrop = ReadBool(stream);
  settings.autoMinimize = ReadBool(stream);
}

}  // namespace vok::bar
