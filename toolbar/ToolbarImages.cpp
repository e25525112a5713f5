// The shared toolbar pictures; see ToolbarImages.h.
#include "toolbar/ToolbarImages.h"

#include "resources/toolbar/ToolbarImages.xpm"

#include <QImage>

namespace velmoran {

const char* ToolbarImageName(ToolbarImage image)
{
    static const char* const names[] = {
        "New",      "Open",          "Save",         "PrintPreview", "Print",    "Copy",     "InputDialog",
        "Parameters", "HelpContents", "ScreenTemplate", "PrintTemplate", "PreviewClose", "FitPage", "FitWidth",
        "OnePage",  "TwoPages",      "Previous",     "Next",         "ZoomTool", "HandTool"};
    static_assert(std::size(names) == static_cast<std::size_t>(ToolbarImage::Count));
    const auto index = static_cast<std::size_t>(image);
    return index < std::size(names) ? names[index] : "";
}

TBarCustomImageList& ToolbarImages()
{
    static TBarCustomImageList* const list = [] {
        auto* images = new TBarCustomImageList(16, 16);
        images->SetSourceBitmap(QImage(ToolbarImages_xpm).convertToFormat(QImage::Format_RGB32));
        return images;
    }();
    return *list;
}

}  // namespace velmoran
