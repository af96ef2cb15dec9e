#include "tools/comctl_ver.h"

#include <QtGlobal>
#include <iterator>

namespace vok {

HRESULT IsAtLeastComCtlVersion(ULONG major, ULONG minor, USHORT verId) {
  // Minor numbers of the known feature levels of major version 4, by verId.
  static constexpr ULONG kMinorOf[] = {70, 71, 72};
  constexpr ULONG kMajor = 4;
  if (verId >= std::size(kMinorOf)) return S_FALSE;
  bool atLeast = major > kMajor || (major == kMajor && minor >= kMinorOf[verId]);
  return atLeast ? S_OK : S_FALSE;
}

bool ParseVersion(const char* text, ULONG* major, ULONG* minor) {
  if (!text) return false;
  // Digits of one number; false when there are none or the value does not fit.
  auto number = [&text](ULONG* value) {
    const char* start = text;
    uint64_t parsed = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
      parsed = parsed * 10 + static_cast<uint64_t>(*text - '0');
      if (parsed > UINT32_MAX) return false;
    }
    *value = static_cast<ULONG>(parsed);
    return text != start;
  };
  ULONG parsedMajor = 0;
  ULONG parsedMinor = 0;
  if (!number(&parsedMajor) || *text++ != '.' || !number(&parsedMinor)) return false;
  *major = parsedMajor;
  *minor = parsedMinor;
  return true;
}

}  // namespace vok

HRESULT STDMETHODCALLTYPE vokComCtlVer::Init() {
  vok::ParseVersion(qVersion(), &major_, &minor_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokComCtlVer::GetMajorVersion(ULONG* pulMajor) {
  if (!pulMajor) return E_POINTER;
  *pulMajor = major_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokComCtlVer::GetMinorVersion(ULONG* pulMinor) {
  if (!pulMinor) return E_POINTER;
  *pulMinor = minor_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokComCtlVer::IsVersion(USHORT wVerID) {
  return vok::IsAtLeastComCtlVersion(major_, minor_, wVerID);
}
