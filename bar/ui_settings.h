// The "UI_DATA" record: the bar's settings as the data file stores them. Little-endian; a
// boolean is a 32-bit 0 or 1 (read as non-zero = on):
//
//   LONG version (3 written; negative: nothing more is read)
//   LONG auto-hide, always on top, docked, dock edge, floating hide side, save on exit
//   BYTE hot-key code, hot-key modifiers
//   RECT floating, docked, hidden: each LONG top, left, right, bottom
//   LONG tray icon always                                     -- from version 1
//   LONG context-folder count, then the folder records        -- from version 2
//   LONG extract URL on drop, auto-minimize                   -- from version 3
//
// A context-folder record: LONG record version (0 written; negative: no further fields),
// counted title, counted folder, LONG match case, LONG whole title only.
//
// A counted string is its length and its bytes without terminator; the length is one byte when
// below 255, else 0xFF and a 16-bit length when below 65534, else 0xFF, 0xFFFF and a 32-bit
// length.
#pragma once

#include <string>

#include "bar/bar_host.h"
#include "platform/com/objidl.h"

namespace vok::bar {

constexpr LONG kUiSettingsVersion = 3;
// More context folders than this are neither written nor read (a count above it is corruption).
constexpr LONG kMaxContextFolders = 65536;

// Writes the record; a failing stream throws CvokIStreamException with its status, too many
// context folders STG_E_INVALIDPARAMETER (before anything is written).
void SaveUiSettings(IStream* stream, const UiSettings& settings);

// Reads a record into `settings`. Fields a record of an older version does not hold keep their
// current values, and fields read before a failure keep their new values; the context-folder
// list is replaced only once all its records were read. Throws CvokIStreamException:
// STG_E_READFAULT when the stream ends early (also for a length or count the stream cannot
// hold), STG_E_DOCFILECORRUPT for a negative or absurd count or a reserved length mark, or the
// stream's own failure status.
void LoadUiSettings(IStream* stream, UiSettings& settings);

// The counted strings of the record. Reading never allocates more than the stream delivers.
void WriteCountedString(IStream* stream, const std::string& text);
std::string ReadCountedString(IStream* stream);

}  // namespace vok::bar
