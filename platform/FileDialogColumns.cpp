// The file dialog's size and date columns by the default locale; see FileDialogColumns.h.
#include "platform/FileDialogColumns.h"

#include <QFileSystemModel>
#include <QLocale>

namespace velmoran {

QVariant FileDialogColumns::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    // A folder has no size; the list leaves the column as it is for it.
    if (index.column() == kSizeColumn && !files->isDir(source))
        return QLocale().formattedDataSize(files->size(source));
    if (index.column() == kDateColumn && files->lastModified(source).isValid())
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    return QIdentityProxyModel::data(index, role);
}

}  // namespace velmoran
