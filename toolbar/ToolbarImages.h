// The program's one strip of toolbar pictures: the main window's buttons and the preview
// window's, drawn by us and compiled in. Every toolbar and menu takes its pictures from this
// list by name; none builds its own.
#pragma once

#include "toolbar/TBarCustomImageList.h"

namespace velmoran {

enum class ToolbarImage {
    New,
    Open,
    Save,
    PrintPreview,
    Print,
    Copy,
    InputDialog,
    Parameters,
    HelpContents,
    ScreenTemplate,
    PrintTemplate,
    PreviewClose,
    FitPage,
    FitWidth,
    OnePage,
    TwoPages,
    Previous,
    Next,
    ZoomTool,
    HandTool,
    Count
};

// The index of a picture in the list.
constexpr int ImageIndexOf(ToolbarImage image)
{
    return static_cast<int>(image);
}
// The picture's name, for developer pictures.
const char* ToolbarImageName(ToolbarImage image);

// The shared list, made from the strip on first use (needs the application object).
TBarCustomImageList& ToolbarImages();

}  // namespace velmoran
