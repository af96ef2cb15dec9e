// The bodies of simple property accessors: a getter that copies a value out, a setter that
// stores a value and notes whether it changed, and a getter that hands out an object.
#pragma once

#include <type_traits>

#include "platform/com/com_ptr.h"

namespace vok {

// *out = value; E_POINTER for a null out.
template <class T>
HRESULT GetProperty(const std::type_identity_t<T>& value, T* out) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

// Stores `value` in *field; true when it differed from the stored value.
template <class T>
bool StoreIfChanged(T* field, const std::type_identity_t<T>& value) {
  if (*field == value) return false;
  *field = value;
  return true;
}

// A setter that stores `value` and sets *dirty when the value changed; S_OK.
template <class T>
HRESULT PutProperty(T* field, const std::type_identity_t<T>& value, bool* dirty) {
  if (StoreIfChanged(field, value)) *dirty = true;
  return S_OK;
}

// Hands out the identity of `object` with a reference; E_FAIL (and null) when there is none.
inline HRESULT GetObjectProperty(IUnknown* object, IUnknown** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!object) return E_FAIL;
  *out = IdentityOf(object).Detach();
  return S_OK;
}

}  // namespace vok
