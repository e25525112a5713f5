// The gallery's page list and its screenshots; see GalleryPages.h.
#include "GalleryPages.h"

#include <QApplication>
#include <QPainter>

#include <functional>
#include <utility>

namespace velmoran::gallery {

namespace {

const std::vector<std::pair<std::string, std::function<std::unique_ptr<QWidget>()>>>& Pages()
{
    static const std::vector<std::pair<std::string, std::function<std::unique_ptr<QWidget>()>>> pages = {
        {"captions", MakeCaptionsPage},
        {"buttons", MakeButtonsPage},
        {"edits", MakeEditsPage},
        {"dates", MakeDatesPage},
        {"grid", MakeGridPage},
        {"pictures", MakePicturesPage},
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
    QImage shot = page.grab().toImage();
    // Popups are windows of their own: drawn in over the page.
    QPainter painter(&shot);
    for (QWidget* popup : QApplication::topLevelWidgets())
        if (popup->isVisible() && popup->windowType() == Qt::Popup && popup->parentWidget() &&
            popup->parentWidget()->window() == &page)
            painter.drawPixmap(page.mapFromGlobal(popup->mapToGlobal(QPoint())), popup->grab());
    return shot;
}

}  // namespace velmoran::gallery
