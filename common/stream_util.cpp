#include "common/stream_util.h"

#include <algorithm>
#include <cstring>

#include "common/text_util.h"

namespace vok {

void WriteBytes(IStream* stream, const void* data, ULONG size) {
  ULONG written = 0;
  HRESULT hr = stream->Write(data, size, &written);
  if (FAILED(hr)) throw CvokIStreamException(hr);
}

void ReadBytes(IStream* stream, void* data, ULONG size) {
  ULONG read = 0;
  HRESULT hr = stream->Read(data, size, &read);
  if (FAILED(hr)) throw CvokIStreamException(hr);
  // A record cut short by the end of the stream is corrupt; reading on would make up zeros
  // (and a corrupted count would loop on them).
  if (read < size) throw CvokIStreamException(STG_E_READFAULT);
}

void WriteULong(IStream* stream, ULONG value) {
  unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  WriteBytes(stream, bytes, 4);
}

ULONG ReadULong(IStream* stream) {
  unsigned char bytes[4] = {};
  ReadBytes(stream, bytes, 4);
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<ULONG>(bytes[3]) << 24);
}

void WriteLong(IStream* stream, LONG value) { WriteULong(stream, static_cast<ULONG>(value)); }
LONG ReadLong(IStream* stream) { return static_cast<LONG>(ReadULong(stream)); }

void WriteStr32(IStream* stream, const std::string& text) {
  WriteULong(stream, static_cast<ULONG>(text.size()));
  if (!text.empty()) WriteBytes(stream, text.data(), static_cast<ULONG>(text.size()));
}

std::string ReadStr32(IStream* stream, ULONG maxBytes) {
  ULONG n = ReadULong(stream);
  if (n > maxBytes) throw CvokIStreamException(STG_E_DOCFILECORRUPT);
  std::string text(n, '\0');
  if (n) ReadBytes(stream, text.data(), n);
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string ReadBoundedStr32(IStream* stream, size_t maxBytes) {
  ULONG stored = ReadULong(stream);
  // One byte past the limit is kept to tell whether the cut splits a character.
  std::string text(std::min<size_t>(stored, maxBytes + 1), '\0');
  if (!text.empty()) ReadBytes(stream, text.data(), static_cast<ULONG>(text.size()));
  char skip[4096];
  for (ULONG left = stored - static_cast<ULONG>(text.size()); left > 0;) {
    ULONG chunk = std::min<ULONG>(left, sizeof skip);
    ReadBytes(stream, skip, chunk);
    left -= chunk;
  }
  text.resize(std::strlen(text.c_str()));
  text.resize(Utf8PrefixLength(text, maxBytes));
  return text;
}

ULONG Str32Size(const std::string& text) { return 4 + static_cast<ULONG>(text.size()); }

void WriteGuid(IStream* stream, const GUID& guid) {
  WriteULong(stream, guid.Data1);
  unsigned char rest[12] = {
      static_cast<unsigned char>(guid.Data2), static_cast<unsigned char>(guid.Data2 >> 8),
      static_cast<unsigned char>(guid.Data3), static_cast<unsigned char>(guid.Data3 >> 8)};
  std::memcpy(rest + 4, guid.Data4, 8);
  WriteBytes(stream, rest, 12);
}

GUID ReadGuid(IStream* stream) {
  GUID guid = {};
  guid.Data1 = ReadULong(stream);
  unsigned char rest[12] = {};
  ReadBytes(stream, rest, 12);
  guid.Data2 = static_cast<uint16_t>(rest[0] | (rest[1] << 8));
  guid.Data3 = static_cast<uint16_t>(rest[2] | (rest[3] << 8));
  std::memcpy(guid.Data4, rest + 4, 8);
  return guid;
}

void SaveObject(IUnknown* object, IStream* stream, BOOL clearDirty) {
  if (!object) throw CvokIStreamException(E_UNEXPECTED);
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(object);
  if (!persist) throw CvokIStreamException(E_NOINTERFACE);
  HRESULT hr = persist->Save(stream, clearDirty);
  if (FAILED(hr)) throw CvokIStreamException(hr);
}

void LoadObject(IUnknown* object, IStream* stream) {
  if (!object) throw CvokIStreamException(E_UNEXPECTED);
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(object);
  if (!persist) throw CvokIStreamException(E_NOINTERFACE);
  HRESULT hr = persist->Load(stream);
  if (FAILED(hr)) throw CvokIStreamException(hr);
}

}  // namespace vok
