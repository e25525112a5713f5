// The main window's commands on the calculation: new, open with the check of the file, save and
// save as behind the save question, import, the input dialogs, and the file the window names.
// The window reads and writes no records itself: the module does, through its command entry.
#include "shell/MainForm.h"

#include "framework/ui/MainDlg.h"
#include "platform/Prompt.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"
#include "shell/FileNames.h"
#include "shell/ImportValues.h"
#include "shell/LinkCommands.h"
#include "shell/ShellState.h"

#include <QStatusBar>
#include <QString>

#include <exception>
#include <functional>
#include <filesystem>
#include <vector>

namespace velmoran {

namespace {

constexpr const char* kCalculationExtensions = ".vda.vds.vdh.vdk.vdo";
constexpr const char* kOpenFilter = "Velmoran-Dateien (*.vda)|*.vda|Alle Dateien (*.*)|*.*";
constexpr const char* kSaveFilter = "Velmoran-Dateien(*.vda)|*.vda|Alle Dateien (*.*)|*.*";
constexpr const char* kImportFilter = "CSV-Dateien (*.csv)|*.csv|Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*";

// The program's own read error, in its own German words: never one of the viewers' load errors,
// which the window words anew.
[[noreturn]] void RaiseUnreadable(const std::string& fileName)
{
    throw EFOpenError(UnreadableMessage(fileName, UnreadableReason(fileName)));
}

// The first byte of a file to be opened as a calculation; a missing or empty file raises the read
// error with its cause, and a name that leads to no regular file its refusal.
unsigned char FirstByte(const std::string& fileName)
{
    std::error_code error;
    if (!std::filesystem::exists(fileName, error))
        RaiseUnreadable(fileName);
    const std::string start = ReadDocumentFile(fileName, 1, LongerFile::Cut);
    if (start.empty())
        RaiseUnreadable(fileName);
    return static_cast<unsigned char>(start.front());
}

// Whether a file with this name and first byte is one of the program's calculation files; the
// extension, as written, is looked for inside the list of the program's extensions.
bool IsCalculationFile(const std::string& fileName, unsigned char firstByte)
{
    const std::string extension = std::filesystem::path(fileName).extension().string();
    return !extension.empty() && std::string(kCalculationExtensions).find(extension) != std::string::npos &&
           firstByte < 6;
}

// The file there that saving a calculation to that name would write over: the calculation file or
// the module file beside it (a link that leads nowhere counts too); nothing when there is none.
std::optional<std::string> CalculationFileThere(const std::string& fileName)
{
    std::error_code error;
    for (const std::filesystem::path& file :
         {std::filesystem::path(fileName), std::filesystem::path(fileName).replace_extension(".vdh")})
        if (std::filesystem::exists(std::filesystem::symlink_status(file, error)))
            return file.string();
    return std::nullopt;
}

}  // namespace

void TMainForm::SetFileId(const std::string& fileName)
{
    shell_.FileId = fileName;
    // An empty name puts back the plain caption, so that no closed file stays named in it.
    setWindowTitle(QString::fromStdString(fileName.empty() ? std::string("Velmoran") : "Velmoran - " + fileName));
    // What the status line said of the file named before (how it was read) is not said of this one.
    StatusBar->clearMessage();
}

// --- the save question and saving ---------------------------------------------------------------

bool TMainForm::CheckSaveModified()
{
    const TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module || !module->Modified)
        return true;
    switch (Prompts().MessageDlg("Vorhandene Daten speichern ?", MsgDlgType::Warning, mbYes | mbNo | mbCancel)) {
    case mrYes:
        return SaveCalculation();
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TMainForm::ShowLockNote(const std::string& note)
{
    // Said at every opening, such a note would be clicked away unread; said only in the status
    // line, it was cut and gone at the next hint.
    if (!note.empty() && shell_.LockNotesShown.insert(note).second)
        Prompts().MessageDlg(note, MsgDlgType::Warning, mbOK);
}

bool TMainForm::SaveCalculationTo(const std::string& fileName, bool copy)
{
    TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module)
        return false;
    std::vector<std::string> reasons;
    bool changedOnDisk = false;
    std::string lockNote;
    ModuleArgument argument;
    argument.Text = fileName;
    argument.List = &reasons;
    argument.Copy = copy;
    argument.ChangedOnDisk = &changedOnDisk;
    argument.LockNote = &lockNote;
    if (module->Exec("SaveData", argument)) {
        ShowLockNote(lockNote);
        return true;
    }
    // Another window or user changed the file since it was opened or saved here: their change is
    // written over only when the user says so.
    if (changedOnDisk && !reasons.empty()) {
        if (Prompts().MessageDlg(reasons.front() + "\nSoll sie trotzdem mit der aktuellen Berechnung überschrieben werden?",
                                 MsgDlgType::Warning, mbYes | mbNo) != mrYes)
            return false;
        reasons.clear();
        argument.WriteOverChanges = true;
        if (module->Exec("SaveData", argument)) {
            ShowLockNote(lockNote);
            return true;
        }
    }
    // The module names the file that failed and why; a module that cannot say is named for it.
    Prompts().ShowError(reasons.empty() ? "Die Datei " + Quoted(fileName) + " konnte nicht gespeichert werden."
                                        : reasons.front());
    return false;
}

bool TMainForm::SaveFromLink(const std::string& fileName)
{
    if (const std::optional<std::string> refusal = LinkSaveRefusal(fileName)) {
        Prompts().ShowError(*refusal);
        return false;
    }
    const bool own = !shell_.FileId.empty() && SameFile(fileName, shell_.FileId);
    if (!own) {
        if (const std::optional<std::string> there = CalculationFileThere(fileName);
            there && Prompts().MessageDlg("Die Datei " + Quoted(*there) +
                                              " ist bereits vorhanden.\nSoll sie mit der aktuellen Berechnung überschrieben werden?",
                                          MsgDlgType::Warning, mbYes | mbNo) != mrYes)
            return false;
    }
    // A copy: the window still names the calculation's own file, which holds what it held, so
    // changes not saved there stay marked as such.
    if (!SaveCalculationTo(fileName, !own))
        return false;
    // A link saves without a dialog, anywhere its name leads: the user learns where the file went.
    std::error_code error;
    const std::filesystem::path written = std::filesystem::weakly_canonical(fileName, error);
    Prompts().MessageDlg("Die Berechnung wurde in die Datei " + Quoted(error ? fileName : written.string()) +
                             " gespeichert.",
                         MsgDlgType::Information, mbOK);
    return true;
}

bool TMainForm::SaveCalculation()
{
    if (shell_.FileId.empty())
        return SaveCalculationAs();
    return SaveCalculationTo(shell_.FileId);
}

bool TMainForm::SaveCalculationAs()
{
    FileDialogOptions options;
    options.Title = "Daten speichern";
    options.Filter = kSaveFilter;
    options.DefaultExt = "vda";
    options.InitialDir = shell_.Folders.DataPathNoSlash;
    options.Refusal = SaveAsRefusal;
    const std::optional<std::string> fileName = Prompts().SaveFileDialog(options);
    if (!fileName)
        return false;
    if (const std::optional<std::string> refusal = SaveAsRefusal(*fileName)) {
        Prompts().ShowError(*refusal);
        return false;
    }
    if (!SaveCalculationTo(*fileName))
        return false;
    SetFileId(*fileName);
    return true;
}

void TMainForm::FileSaveExecute()
{
    // The toolbar button reaches here without its action too: without a calculation there is no
    // file yet, so the module's data go where the user names in the save dialog, which asks before
    // it writes over a file.
    SaveCalculation();
}

void TMainForm::FileSaveAsExecute()
{
    if (CalculationLoaded)
        SaveCalculationAs();
}

// --- new and open -------------------------------------------------------------------------------

void TMainForm::FileNewExecute()
{
    if (!CheckSaveModified())
        return;
    SetFileId({});
    TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module || !module->Exec("InitData", {shell_.Folders.ProgramFolder + "Velmoran.vdt"}))
        return;
    // The records hold the defaults now: the calculation shown before is gone, whatever the
    // dialog ends with.
    SetCalculationLoaded(false);
    SetCalculationLoaded(RunEditDialog(0, 1));
}

void TMainForm::FileOpenExecute()
{
    if (!CheckSaveModified())
        return;
    FileDialogOptions options;
    options.Title = "Datei öffnen";
    options.Filter = kOpenFilter;
    options.DefaultExt = "vda";
    options.InitialDir = shell_.Folders.DataPathNoSlash;
    if (const std::optional<std::string> fileName = Prompts().OpenFileDialog(options))
        OpenCalculationFile(*fileName);
}

void TMainForm::OpenCalculationFile(const std::string& fileName)
{
    LoadCalculationFile(fileName, "Die gewählte Datei ist keine Velmoran-Datei");
}

void TMainForm::LoadCalculationFile(const std::string& fileName, const std::string& refusal)
{
    if (!IsCalculationFile(fileName, FirstByte(fileName))) {
        Prompts().MessageDlg(refusal, MsgDlgType::Error, mbOK);
        return;
    }
    TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module)
        return;
    // The calculation in hand stays until the new one is read: an opening that fails (the file
    // busy with a save, no whole pair, unreadable) must not leave an empty window in its place.
    const std::function<void()> putBack = module->KeepCalculation();
    std::vector<std::string> messages;
    std::string lockNote;
    ModuleArgument argument;
    argument.Text = fileName;
    argument.List = &messages;
    argument.LockNote = &lockNote;
    bool started = false;
    bool read = false;
    try {
        started = module->Exec("InitData", {shell_.Folders.ProgramFolder + "Velmoran.vdt"});
        read = started && module->Exec("ReadData", argument);
    } catch (...) {
        if (putBack)
            putBack();
        throw;
    }
    if (read) {
        SetCalculationLoaded(true);
        SetFileId(fileName);
        RefreshResultPage();
        // What was read other than saved (a module file missing or cut short) is said where it
        // does not stop the user; that no lock keeps others out is said once in a box, and
        // briefly in the status line at every opening.
        const std::string status = !messages.empty() ? messages.front()
                                   : lockNote.empty() ? std::string()
                                                      : "Ohne Sperre gelesen: Andere werden von dieser Berechnung nicht ferngehalten.";
        StatusBar->showMessage(QString::fromStdString(status));
        ShowLockNote(lockNote);
        return;
    }
    if (putBack)
        putBack();
    if (!started)
        return;
    // The status line speaks of the last file read; after this failure the message box speaks.
    StatusBar->clearMessage();
    if (!putBack) {
        // The module holds the fresh calculation it started before reading, which is no
        // calculation of the user's: the window says so and offers nothing of the one before.
        SetFileId({});
        module->Modified = false;
        RefreshResultPage();
        SetCalculationLoaded(false);
    }
    // The module names the file of the pair that failed; a module that cannot say is named for it.
    Prompts().ShowError(messages.empty() ? UnreadableMessage(fileName, UnreadableReason(fileName)) : messages.front());
}

void TMainForm::OpenCommandLineFile(const std::string& fileName)
{
    try {
        // Named: the window has just appeared, and nothing on it says which file was meant.
        LoadCalculationFile(fileName, "Die Datei " + Quoted(fileName) + " ist keine Velmoran-Datei.");
    } catch (const std::exception& error) {
        // The window is not there yet to carry the error to the application.
        Prompts().ShowError(error.what());
    }
}

// --- import -------------------------------------------------------------------------------------

void TMainForm::ImportValues(const std::string& fileName)
{
    ImportLog log;
    log.FileName = fileName;
    const std::string text = ImportFileText(ReadDocumentFile(fileName, kDocumentLimit), log);
    TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module)
        return;
    std::exception_ptr failure;
    std::size_t taken = 0;
    try {
        // A value the calculation would not take (a result, a parameter of the tables it does not
        // read) is not set at all: set, it was counted and then lost without a word.
        taken = ImportValueLines(shell_.Modules.DataSetList(), text, &log,
                                 [module](const TDataSet& table, const std::string& field, int row) {
                                     return module->ImportRefusal(table, field, row);
                                 });
    } catch (...) {
        failure = std::current_exception();
    }
    // What was imported reaches the records and the page before anything is said; the module
    // says why the design refuses what it took, where it does.
    std::vector<std::string> refused;
    ModuleArgument argument;
    argument.List = &refused;
    module->Exec("SetToData", argument);
    // A file without one value the import can place (a picture, a calculation file, a list of
    // other names) changes nothing: the user learns so rather than seeing the page unchanged. Said
    // as the lines not placed are: the safety factor is a field of the calculation too, but none
    // an import writes into.
    if (taken == 0 && !failure && !log.FieldFound) {
        Prompts().MessageDlg("Aus der Datei " + Quoted(fileName) +
                                 " wurde nichts importiert: sie enthält keine Zeile „Feldname;Wert“ mit einem "
                                 "Feld, in das sich Werte importieren lassen.",
                             MsgDlgType::Warning, mbOK);
        return;
    }
    // One box for the import: where it stopped, what it took and what not, the values it could
    // not keep as the file held them, and why the design refuses what it took (every result "#"
    // once came without a word).
    std::string outcome = log.Message();
    for (const std::string& why : refused)
        outcome += (outcome.empty() ? "" : "\n\n") + why;
    if (failure || !outcome.empty())
        RefreshResultPage();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const EConvertError&) {
            throw EConvertError(outcome);
        } catch (...) {
            if (!outcome.empty())
                Prompts().MessageDlg(outcome, MsgDlgType::Warning, mbOK);
            throw;
        }
    }
    if (!outcome.empty())
        Prompts().MessageDlg(outcome, MsgDlgType::Warning, mbOK);
}

void TMainForm::FileImportExecute()
{
    if (!CheckSaveModified())
        return;
    FileDialogOptions options;
    options.Title = "Daten importieren";
    options.Filter = kImportFilter;
    options.DefaultExt = "csv";
    options.InitialDir = shell_.Folders.DataPathNoSlash;
    const std::optional<std::string> fileName = Prompts().OpenFileDialog(options);
    if (!fileName)
        return;
    ImportValues(*fileName);
    if (TMainDlg* module = shell_.Modules.ModuleDialog())
        module->Exec("SetToData");
    RefreshResultPage();
}

// --- the input dialogs --------------------------------------------------------------------------

bool TMainForm::RunEditDialog(int mode, int page, const std::string& controlName)
{
    TMainDlg* module = shell_.Modules.ModuleDialog();
    if (!module)
        return false;
    ModuleArgument argument;
    argument.Text = controlName;
    argument.Mode = mode;
    argument.Page = page;
    const bool accepted = module->Exec("EDIT", argument);
    if (accepted)
        RefreshResultPage();
    return accepted;
}

void TMainForm::EditExtraExecute()
{
    if (TMainDlg* module = shell_.Modules.ModuleDialog())
        module->Exec("EditSpecial");
}

void TMainForm::EditParamExecute()
{
    TMainDlg* module = shell_.Modules.ModuleDialog();
    // The module recalculates on the new parameters: the page shows the new results.
    if (module && module->Exec("EditParams"))
        RefreshResultPage();
}

}  // namespace velmoran
