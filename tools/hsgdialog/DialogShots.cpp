// Pictures of the design module's dialogs; see DialogShots.h.
#include "DialogShots.h"

#include "framework/ui/PageControl.h"
#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"

#include <QApplication>

#include <functional>

namespace velmoran {

namespace {

QImage Picture(QWidget& window)
{
    QApplication::processEvents();
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Every page of the page control in turn, each shown by `show`; the page shown before comes back.
std::vector<QImage> EveryPage(QWidget& window, TPageControl& pages, const std::function<void(int)>& show)
{
    const int shown = pages.ActivePageIndex();
    std::vector<QImage> pictures;
    for (int i = 0; i < pages.PageCount(); ++i) {
        show(i);
        pictures.push_back(Picture(window));
    }
    show(shown);
    return pictures;
}

}  // namespace

std::vector<QImage> PagePictures(THSGDlg& dialog)
{
    return EveryPage(dialog, *dialog.PageControl1, [&](int page) {
        dialog.PageControl1->SetActivePageIndex(page);
        dialog.UpdateNavigation();
    });
}

std::vector<QImage> PagePictures(THSGPar& dialog)
{
    return EveryPage(dialog, *dialog.pcParam, [&](int page) {
        dialog.pcParam->SetActivePageIndex(page);
        dialog.UpdateButtons();
    });
}

}  // namespace velmoran
