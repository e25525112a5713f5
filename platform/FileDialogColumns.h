// The file dialog's size and date columns in the program's language. Qt's file list words them
// by the system's locale whatever the program's default locale is ("328 bytes", "7 Dec 2026"
// under LANG=C); this proxy words them by the default locale, German, as it does the file types.
#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

namespace velmoran {

class FileDialogColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    // The columns of a QFileSystemModel; any other source passes through as it is.
    static constexpr int kSizeColumn = 1;
    static constexpr int kTypeColumn = 2;
    static constexpr int kDateColumn = 3;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// Makes the detail columns of a file dialog (Qt's own, not the desktop's) wide enough for the
// German texts in them: Qt sizes them for English ones ("Folder", "10/29/81 02:02PM"), and
// "Verzeichnis" showed as "Ver…nis". The dialog grows by as much.
void FitFileDialogColumns(QFileDialog& dialog);

}  // namespace velmoran
