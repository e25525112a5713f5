// The folder dialog of the main window.
#include "shell/DlgPath.h"

#include "controls/EnhEditBtn.h"
#include "controls/FolderDialog.h"
#include "platform/ModalRunner.h"
#include "platform/Prompt.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Text.h"
#include "shell/Folders.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <filesystem>

namespace velmoran {

namespace {

TEnhEditBtn* FolderEdit(QWidget* parent, const char* name)
{
    auto* edit = new TEnhEditBtn(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetButtonCaption("...");
    edit->setMinimumWidth(320);
    return edit;
}

// Lets the user pick a folder starting at the edit's text; the folder picked, or nothing.
bool Browse(TFolderDialog& dialog, TEnhEditBtn& edit, std::string& picked)
{
    dialog.SetDirectory(edit.Text());
    if (!dialog.Execute())
        return false;
    picked = WithoutSlash(dialog.Directory());
    edit.SetText(picked);
    return true;
}

// The folder a typed name means, as a whole path: a name without its full path is taken in the
// folder the program was started from, and kept as typed it would mean another folder at each
// start from elsewhere. Empty for an empty name.
std::string WholeFolder(const std::string& typed)
{
    const std::string folder = Trim(typed);
    if (folder.empty())
        return folder;
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(folder, error);
    return error ? folder : WithoutSlash(whole.lexically_normal().string());
}

// Why a folder cannot be looked at, in German: a folder on the way that may not be searched is
// no missing write permission.
std::string FolderAccessReason(int error, const std::string& folder)
{
    if (error == EACCES || error == EPERM)
        return "Keine Berechtigung, einen der Ordner auf dem Weg dorthin zu öffnen.";
    return FileErrorReason(error, folder);
}

}  // namespace

TDlgPath::TDlgPath(TFolders& folders, QWidget* parent) : QDialog(parent), folders_(folders)
{
    setObjectName(QStringLiteral("DlgPath"));
    setWindowTitle(QStringLiteral("Verzeichnisse"));

    edDataPath = FolderEdit(this, "edDataPath");
    edTemplPath = FolderEdit(this, "edTemplPath");
    auto* lbDataPath = new QLabel(QStringLiteral("Berechnungsdaten"), this);
    auto* lbTemplPath = new QLabel(QStringLiteral("Bildschirm- und Druckvorlagen"), this);
    lbDataPath->setBuddy(edDataPath);
    lbTemplPath->setBuddy(edTemplPath);

    dlgDataPath = new TFolderDialog(this);
    dlgDataPath->SetTitle("Verzeichnis für Berechnungsdaten");
    dlgDataPath->SetOptions(fdoReturnOnlyFSDirs | fdoNewDialogStyle);
    dlgTemplPath = new TFolderDialog(this);
    dlgTemplPath->SetTitle("Verzeichnis für Bildschirm- und Druckvorlagen");
    dlgTemplPath->SetOptions(fdoReturnOnlyFSDirs | fdoNewDialogStyle | fdoNoNewFolderButton);

    edDataPath->OnClickBtn = [this](QWidget*) { BrowseDataPath(); };
    edTemplPath->OnClickBtn = [this](QWidget*) { BrowseTemplPath(); };

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbDataPath);
    layout->addWidget(edDataPath);
    layout->addSpacing(8);
    layout->addWidget(lbTemplPath);
    layout->addWidget(edTemplPath);
    layout->addSpacing(12);
    layout->addWidget(buttons);
}

void TDlgPath::showEvent(QShowEvent* event)
{
    edDataPath->SetText(folders_.DataPathNoSlash);
    edTemplPath->SetText(folders_.TemplatePathNoSlash);
    QDialog::showEvent(event);
}

void TDlgPath::BrowseDataPath()
{
    std::string folder;
    if (Browse(*dlgDataPath, *edDataPath, folder))
        folders_.SetDataPath(folder);
}

void TDlgPath::BrowseTemplPath()
{
    std::string folder;
    if (Browse(*dlgTemplPath, *edTemplPath, folder))
        folders_.SetTemplatePath(folder);
}

bool TDlgPath::FolderReady(TEnhEditBtn& edit)
{
    const std::string folder = WholeFolder(edit.Text());
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error))
        return true;
    // A name the system cannot look at (a part of it too long, a folder on the way that may not
    // be searched) is neither there nor missing: creating it would fail for the same reason.
    if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
        Prompts().ShowError("Auf den Ordner " + Quoted(folder) + " kann nicht zugegriffen werden: " +
                            FolderAccessReason(error.value(), folder));
        return false;
    }
    // A folder that is not there was once taken without a word, and every save into it failed.
    if (std::filesystem::exists(folder, error)) {
        Prompts().ShowError(Quoted(folder) + " ist eine Datei und kein Ordner.");
        return false;
    }
    if (Prompts().MessageDlg("Den Ordner " + Quoted(folder) + " gibt es nicht.\nSoll er angelegt werden?",
                             MsgDlgType::Confirmation, mbYes | mbNo) != mrYes)
        return false;
    std::error_code looked;
    if (std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder, looked))
        return true;
    Prompts().ShowError("Der Ordner " + Quoted(folder) + " konnte nicht angelegt werden: " +
                        FileErrorReason(error.value(), folder));
    return false;
}

void TDlgPath::accept()
{
    for (TEnhEditBtn* edit : {edDataPath, edTemplPath})
        if (!FolderReady(*edit)) {
            edit->setFocus();
            return;
        }
    QDialog::accept();
}

bool TDlgPath::Execute()
{
    if (Modals().Run(*this) != QDialog::Accepted)
        return false;
    // An emptied field keeps its folder: an empty folder would put files in the current one.
    if (const std::string folder = WholeFolder(edDataPath->Text()); !folder.empty())
        folders_.SetDataPath(folder);
    if (const std::string folder = WholeFolder(edTemplPath->Text()); !folder.empty())
        folders_.SetTemplatePath(folder);
    return true;
}

}  // namespace velmoran
