// The file-view library (libvokFileView.so): its class table and the four component-library
// exports. Registration also enters the version-independent name ("vokFileView.vokFileViewWnd").
#include "common/class_ids.h"
#include "common/vok_object.h"
#include "fileview/file_view_wnd.h"

namespace {

const vok::ClassEntry kClasses[] = {
    {&vok::clsid::kFileViewWnd, &vok::CreateObject<vokFileViewWnd>, "vokFileView.vokFileViewWnd.1",
     "vokFileViewWnd Class"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kClasses)
