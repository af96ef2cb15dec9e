#include "fileview/resources/fileview_strings.h"

#include <iterator>

namespace vok::fileview {
namespace {

// Sorted by identifier.
constexpr StringResource kStrings[] = {
    {105, "Copy Selected File(s) To"},
    {140, "Name"},
    {141, "Size"},
    {142, "Type"},
    {143, "Modified"},
    {144, "Unknown"},
    {145, ".. (Up one level)"},
    {146, "Deselect"},
    {147, "Move Selected File(s) To"},
    {148, "No item is selected."},
    {149, "File Management"},
    {150, "Only one item can be selected for this operation."},
    {170, "Select new folder:"},
    {171, "Destination directory does not exist."},
    {172, "File operation failed or was aborted."},
    {173, "Files were succesfully moved."},
    {174, "Files were succesfully copied."},
    {175, "Files were successfully deleted."},
    {176, "Do you want to move the selected item(s) to the trash ?"},
    {177, "Do you want to permanently delete the selected item(s) ?"},
    {178, "&Mask:"},
    {179, "&Destination folder:"},
    {180, "&New name:"},
    {181, "&Browse..."},
    {205, "Select"},
};

}  // namespace

const ModuleResources kFileViewResources = {"vokFileView", kStrings, std::size(kStrings)};

}  // namespace vok::fileview
