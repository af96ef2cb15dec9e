// vokComCtlVer: reports the version of the widget toolkit in use (here Qt Widgets: major and
// minor of the running Qt) so that callers enable features only where the toolkit has them.
#pragma once

#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

namespace vok {

// S_OK when version major.minor is at least the version that verId names (0 = 4.70,
// 1 = 4.71, 2 = 4.72); S_FALSE otherwise, also for any other verId.
HRESULT IsAtLeastComCtlVersion(ULONG major, ULONG minor, USHORT verId);

// Major and minor number of a "major.minor[.patch]" text; false (outputs untouched) when the
// text does not start that way.
bool ParseVersion(const char* text, ULONG* major, ULONG* minor);

}  // namespace vok

class vokComCtlVer final : public vok::ObjectRoot<IvokComCtlVer> {
 public:
  // Reads the version of the running Qt; keeps the previous values when it cannot be read.
  HRESULT STDMETHODCALLTYPE Init() override;
  HRESULT STDMETHODCALLTYPE GetMajorVersion(ULONG* pulMajor) override;
  HRESULT STDMETHODCALLTYPE GetMinorVersion(ULONG* pulMinor) override;
  HRESULT STDMETHODCALLTYPE IsVersion(USHORT wVerID) override;

 private:
  // The oldest version callers know of, reported until Init reads the real one.
  ULONG major_ = 4;
  ULONG minor_ = 0;
};
