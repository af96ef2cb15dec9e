// Stream helpers used inside a component's Load and Save. They throw CvokIStreamException
// carrying the failing status; the enclosing Load or Save catches it and returns the status,
// so no exception leaves the component.
#pragma once

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"

class CvokIStreamException {
 public:
  explicit CvokIStreamException(HRESULT hr) : hr_(hr) {}
  HRESULT Status() const { return hr_; }

 private:
  HRESULT hr_;
};

namespace vok {

// Moves exactly `size` bytes; a negative stream status throws it. A read that stops short at
// the end of the stream throws STG_E_READFAULT.
void WriteBytes(IStream* stream, const void* data, ULONG size);
void ReadBytes(IStream* stream, void* data, ULONG size);

// 32-bit little-endian values.
void WriteLong(IStream* stream, LONG value);
LONG ReadLong(IStream* stream);
void WriteULong(IStream* stream, ULONG value);
ULONG ReadULong(IStream* stream);

// Length-prefixed string: uint32 byte count, then the bytes without a terminating zero.
void WriteStr32(IStream* stream, const std::string& text);
// Reads the whole stored string; the text ends at an embedded zero byte. A stored length above
// maxBytes throws STG_E_DOCFILECORRUPT instead of allocating an absurd buffer.
std::string ReadStr32(IStream* stream, ULONG maxBytes = 1u << 24);
// Reads a length-prefixed string without trusting its stored length: at most `maxBytes` bytes
// are kept (cut on a UTF-8 character boundary, ending at an embedded zero) while the whole
// stored string is consumed through a small buffer, so the next field stays in step and a
// corrupted length costs no large allocation; a short stream throws STG_E_READFAULT.
std::string ReadBoundedStr32(IStream* stream, size_t maxBytes);
// Bytes a string takes in a stream: its 4-byte length and the bytes.
ULONG Str32Size(const std::string& text);

// Class identifier in its 16-byte binary layout.
void WriteGuid(IStream* stream, const GUID& guid);
GUID ReadGuid(IStream* stream);

// Runs `body`, turning a CvokIStreamException into its status and allocation failure into
// E_OUTOFMEMORY.
template <class Body>
HRESULT GuardStream(Body&& body) {
  try {
    return body();
  } catch (const CvokIStreamException& e) {
    return e.Status();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

// Saves `object` (a component offering IPersistStream) in place into `stream`, its own record
// without class identifier or length; loads it likewise. A null object throws E_UNEXPECTED, one
// without IPersistStream E_NOINTERFACE, and a failing Save or Load its status.
void SaveObject(IUnknown* object, IStream* stream, BOOL clearDirty = 1);
void LoadObject(IUnknown* object, IStream* stream);

// The frame of an IPersistStorage Save or Load that keeps everything in one stream `name` of
// `storage`: Write creates (replaces) the stream, Read opens it (read-write, exclusive), then
// `body(stream)` runs under GuardStream. The creation or opening status, else the body's.
template <class Body>
HRESULT WriteStorageStream(IStorage* storage, const char* name, Body&& body) {
  ComPtr<IStream> stream;
  HRESULT hr = storage->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                     0, stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  return GuardStream([&] {
    body(stream.Get());
    return S_OK;
  });
}
template <class Body>
HRESULT ReadStorageStream(IStorage* storage, const char* name, Body&& body) {
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(name, nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                   stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  return GuardStream([&] {
    body(stream.Get());
    return S_OK;
  });
}

}  // namespace vok
