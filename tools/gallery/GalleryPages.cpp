// The gallery's page list and its screenshots; see GalleryPages.h.
#include "GalleryPages.h"

#include <QApplication>

#include <functional>
#include <utility>

namespace velmoran::gallery {

namespace {

const std::vector<std::pair<std::string, std::function<std::unique_ptr<QWidget>()>>>& Pages()
{
    static const std::vector<std::pair<std::string, std::function<std::unique_ptr<QWidget>()>>> pages = {
        {"captions", MakeCaptionsPage},
        {"edits", MakeEditsPage},
    };
    return pages;
}

}  // namespace

std::unique_ptr<QWidget> MakePage(const std::string& name)
{
    for (const auto& [pageName, make] : Pages())
        if (pageName == name)
            return make();
    return nullptr;
}

std::vector<std::string> PageNames()
{
    std::vector<std::string> names;
    for (const auto& page : Pages())
        names.push_back(page.first);
    return names;
}

QImage TakeShot(QWidget& page)
{
    page.show();
    page.activateWindow();
    QApplication::setActiveWindow(&page);
    QApplication::processEvents();
    // A widget the page asked to have the focus gets it once the window is active.
    if (auto* wanted = page.findChild<QWidget*>(QStringLiteral("focused")))
        wanted->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return page.grab().toImage();
}

}  // namespace velmoran::gallery
