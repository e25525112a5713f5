// TDlgPath "Verzeichnisse": the folder of calculation files and the root of the templates, each in
// an edit with a "..." button that opens a folder browser. A folder picked with "..." is taken at
// once (cancelling the dialog afterwards keeps it); OK takes both edits, once each names a folder
// that is there (a missing one is created when the user agrees), as whole paths: a name typed
// without its path is the folder of that name where the program was started. The module sees
// changed folders at the next start; the file dialogs at once, as the user looks there next.
#pragma once

#include <QDialog>

namespace velmoran {

class TEnhEditBtn;
class TFolderDialog;
struct TFolders;

class TDlgPath : public QDialog {
public:
    TDlgPath(TFolders& folders, QWidget* parent = nullptr);

    TEnhEditBtn* edDataPath;
    TEnhEditBtn* edTemplPath;
    TFolderDialog* dlgDataPath;
    TFolderDialog* dlgTemplPath;

    // Shows the dialog through the modal runner; with OK the edits' folders are stored.
    bool Execute();

    // OK: closes the dialog only when each edit names a folder there or one the user had created.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BrowseDataPath();
    void BrowseTemplPath();
    bool FolderReady(TEnhEditBtn& edit);

    TFolders& folders_;
};

}  // namespace velmoran
