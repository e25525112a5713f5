// The file dialog's size and date columns by the default locale; see FileDialogColumns.h.
#include "platform/FileDialogColumns.h"

#include <QAbstractFileIconProvider>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTreeView>

#include <algorithm>
#include <initializer_list>

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

void FitFileDialogColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView* header = view->header();
    const QFontMetrics metrics(view->font());
    // Room for the cell's margins and a little air.
    const int padding = metrics.horizontalAdvance(QStringLiteral("MM"));
    int added = 0;
    const auto fit = [&](int column, std::initializer_list<QString> texts) {
        const int before = header->sectionSize(column);
        int width = before;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text) + padding);
        header->resizeSection(column, width);
        added += width - before;
    };
    const QLocale locale;
    fit(FileDialogColumns::kSizeColumn, {locale.formattedDataSize(1023 * 1024 + 1013)});
    fit(FileDialogColumns::kTypeColumn,
        {QAbstractFileIconProvider().type(QFileInfo(QDir::rootPath())), QStringLiteral("PDF-Dokument")});
    fit(FileDialogColumns::kDateColumn,
        {locale.toString(QDateTime(QDate(2028, 12, 28), QTime(23, 58)), QLocale::ShortFormat)});
    // The dialog grows by what the columns grew, so that the names keep their room and no column
    // is pushed out of view.
    dialog.resize(dialog.width() + added, dialog.height());
}

}  // namespace velmoran
