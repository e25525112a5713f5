// System icons through QFileIconProvider; see SystemIcons.h.
#include "platform/SystemIcons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

#include <algorithm>
#include <cctype>

namespace velmoran {

QImage SystemIcon(const std::string& name, bool large)
{
    if (name.empty() || std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); }))
        return {};
    const int size = large ? kLargeIconSize : kSmallIconSize;
    const QFileInfo info(QString::fromStdString(name));
    QIcon icon;
    if (info.exists()) {
        icon = QFileIconProvider().icon(info);
    } else {
        // A file that is not there: the icon of its type, as the desktop's theme names it.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull())
            icon = QFileIconProvider().icon(QFileIconProvider::File);
    }
    if (icon.isNull())
        return {};
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace velmoran
