// The file-view library's string table: column titles, dialog titles and texts, and the
// messages of the file operations, loaded by identifier.
#pragma once

#include "common/string_table.h"

namespace vok::fileview {

// Column titles.
inline constexpr UINT kIdsColumnName = 140;
inline constexpr UINT kIdsColumnSize = 141;
inline constexpr UINT kIdsColumnType = 142;
inline constexpr UINT kIdsColumnModified = 143;
// Type text of an entry whose kind is not known.
inline constexpr UINT kIdsUnknown = 144;
// Name of the entry that leads to the folder above.
inline constexpr UINT kIdsUpEntry = 145;

// Dialog titles.
inline constexpr UINT kIdsCopyTitle = 105;
inline constexpr UINT kIdsDeselectTitle = 146;
inline constexpr UINT kIdsMoveTitle = 147;
inline constexpr UINT kIdsSelectTitle = 205;
inline constexpr UINT kIdsSelectNewFolder = 170;

// Messages, shown with the caption kIdsCaption.
inline constexpr UINT kIdsNoItemSelected = 148;
inline constexpr UINT kIdsCaption = 149;
inline constexpr UINT kIdsOnlyOneItem = 150;
inline constexpr UINT kIdsNoDestination = 171;
inline constexpr UINT kIdsOperationFailed = 172;
inline constexpr UINT kIdsMoved = 173;
inline constexpr UINT kIdsCopied = 174;
inline constexpr UINT kIdsDeleted = 175;
// Questions asked before deleting.
inline constexpr UINT kIdsConfirmTrash = 176;
inline constexpr UINT kIdsConfirmFinalDelete = 177;

// Labels of the dialogs' controls.
inline constexpr UINT kIdsMaskLabel = 178;
inline constexpr UINT kIdsDestinationLabel = 179;
inline constexpr UINT kIdsNewNameLabel = 180;
inline constexpr UINT kIdsBrowseButton = 181;

extern const ModuleResources kFileViewResources;

}  // namespace vok::fileview
