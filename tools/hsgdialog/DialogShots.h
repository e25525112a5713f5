// Pictures of the design module's dialogs, one per page, for a person to look at: the input
// dialog's six pages as its navigation shows them, and the parameter dialog's two pages. The
// dialog is expected on the screen (shown by a modal runner); the page shown before comes back.
#pragma once

#include <QImage>

#include <vector>

namespace velmoran {

class THSGDlg;
class THSGPar;

std::vector<QImage> PagePictures(THSGDlg& dialog);
std::vector<QImage> PagePictures(THSGPar& dialog);

}  // namespace velmoran
