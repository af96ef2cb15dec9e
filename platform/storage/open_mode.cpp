#include "platform/storage/open_mode.h"

namespace vok::storage {
namespace {

constexpr DWORD kAccessMask = 0x3;
constexpr DWORD kShareMask = 0x70;
constexpr DWORD kNoScratch = 0x00100000;
constexpr DWORD kNoSnapshot = 0x00200000;
constexpr DWORD kDirectSwmr = 0x00400000;
constexpr DWORD kSimple = 0x08000000;
constexpr DWORD kKnownBits = kAccessMask | kShareMask | STGM_CREATE | STGM_CONVERT |
                             STGM_TRANSACTED | STGM_PRIORITY | STGM_DELETEONRELEASE | kNoScratch |
                             kNoSnapshot | kDirectSwmr | kSimple;
// Not offered by this implementation for files.
constexpr DWORD kUnsupportedForFiles =
    STGM_PRIORITY | STGM_CONVERT | STGM_DELETEONRELEASE | kSimple | kDirectSwmr;

bool ValidShare(DWORD share) {
  return share == 0 || share == STGM_SHARE_EXCLUSIVE || share == STGM_SHARE_DENY_WRITE ||
         share == STGM_SHARE_DENY_READ || share == STGM_SHARE_DENY_NONE;
}

}  // namespace

HRESULT CheckOpenMode(DWORD mode, OpenUse use) {
  if ((mode & ~kKnownBits) != 0 || (mode & kAccessMask) == kAccessMask ||
      !ValidShare(mode & kShareMask)) {
    return STG_E_INVALIDFLAG;
  }
  if ((mode & STGM_CREATE) && (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
  const bool creating = use == OpenUse::kCreateFile || use == OpenUse::kCreateElement;
  if ((mode & STGM_CREATE) && !creating) return STG_E_INVALIDFLAG;
  switch (use) {
    case OpenUse::kOpenFile:
      return (mode & kUnsupportedForFiles) ? STG_E_INVALIDFLAG : S_OK;
    case OpenUse::kCreateFile:
      if (mode & kUnsupportedForFiles) return STG_E_INVALIDFLAG;
      return ModeWrites(mode) ? S_OK : STG_E_INVALIDFLAG;
    case OpenUse::kOpenElement:
    case OpenUse::kCreateElement:
      if ((mode & kShareMask) != STGM_SHARE_EXCLUSIVE) return STG_E_INVALIDFLAG;
      return (mode & (kKnownBits & ~(kAccessMask | kShareMask | STGM_CREATE))) ? STG_E_INVALIDFLAG
                                                                               : S_OK;
  }
  return STG_E_INVALIDFLAG;
}

}  // namespace vok::storage
