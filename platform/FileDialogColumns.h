// The file dialog's size and date columns in the program's language. Qt's file list words them
// by the system's locale whatever the program's default locale is ("328 bytes", "7 Dec 2026"
// under LANG=C); this proxy words them by the default locale, German, as it does the file types.
#pragma once

#include <QIdentityProxyModel>

namespace velmoran {

class FileDialogColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    // The columns of a QFileSystemModel; any other source passes through as it is.
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

}  // namespace velmoran
