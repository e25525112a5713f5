// The main window on the real design module, report engine, viewers and shipped templates, with
// a program folder, data folder and template folder of its own, the example calculation copied
// beside them, scripted prompts and a scripted modal runner. Also the page the report engine
// makes for a calculation on its own, to compare the window's result page with.
#pragma once

#include "hsg/HsgModule.h"
#include "hsg/ui/HsgDlg.h"
#include "memtable/DataSet.h"
#include "platform/Printer.h"
#include "platform/core/Stream.h"
#include "report/Report.h"
#include "shell/MainForm.h"
#include "shell/ResultPages.h"
#include "shell/ShellState.h"
#include "tests/shell/ShellTestEnvironment.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

namespace velmoran::testing {

// The design module's dialog behind the module interface.
inline THSGDlg& Dialog(TMainDlg& module)
{
    return dynamic_cast<THSGDlg&>(module);
}

// Makes a window the active one, as a click on it would.
inline void Activate(QWidget& window)
{
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
}

// The value cell of the result page's row with this caption (the page's bytes, so a caption
// with umlauts is given in Windows-1252).
inline std::string ValueBeside(const std::string& page, const std::string& caption)
{
    const std::size_t row = page.find(caption);
    if (row == std::string::npos)
        return "(keine Zeile " + caption + ")";
    const std::string cellStart = "align=\"right\">";
    const std::size_t start = page.find(cellStart, row) + cellStart.size();
    return page.substr(start, page.find("</td>", start) - start);
}

// The page the report engine writes for a calculation file and load case with a template of
// the shipped ones, as the report tool writes it.
inline std::string ExpandedPage(const std::string& templateName, const std::string& calculation, int loadCase = 0)
{
    const std::string data = VELMORAN_DATA_DIR;
    THsgModule module;
    module.SetModuleTemplateFolder(data + "/templates/de/HSG/");
    module.ResetToDefaults();
    if (!module.ReadCalculationFile(calculation))
        return "(nicht gelesen)";
    std::vector<TDataSet*> dataSets = module.DataSets();
    std::reverse(dataSets.begin(), dataSets.end());
    TReport report;
    report.SetDataSets(dataSets);
    report.LoadVariables(data + "/VarTab.tra");
    report.SetRecord(static_cast<std::uint8_t>(loadCase));
    TMemoryStream templateStream;
    templateStream.LoadFromFile(data + "/templates/de/HSG/" + templateName);
    TMemoryStream output;
    report.ProcessTemplate(&templateStream, &output);
    return std::string(output.View());
}

class CalculationFixture : public EmptySettings {
protected:
    CalculationFixture() : shell(Folders(), "de")
    {
        App();
        namespace fs = std::filesystem;
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "HSG.MTX", program / "HSG.MTX");
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "VarTab.tra", program / "VarTab.tra");
        fs::copy(fs::path(VELMORAN_DATA_DIR) / "templates", shell.Folders.TemplatePath, fs::copy_options::recursive);
        for (const char* file : {"Beispiel.vda", "Beispiel.vdh"})
            fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "examples" / file, files / file);
    }
    ~CalculationFixture() override
    {
        form.reset();
        // The record number of names without "#" is shared by every report engine: the next test
        // starts on the first load case again.
        TReport report;
        report.SetRecord(1);
        report.SetRecord(0);
    }

    TFolders Folders()
    {
        TFolders folders;
        folders.SetProgramFolder(program.Folder());
        folders.SetDataPath(root.Folder() + "Daten");
        folders.SetTemplatePath(root.Folder() + "Vorlagen");
        std::filesystem::create_directories(folders.DataPath);
        std::filesystem::create_directories(folders.TemplatePath);
        return folders;
    }

    TMainForm& Form(const std::string& commandLineFile = {})
    {
        form.reset();
        form = std::make_unique<TMainForm>(shell, commandLineFile);
        form->StartPending = false;
        return *form;
    }
    std::string Example() const { return files / "Beispiel.vda"; }
    TMainDlg& Module() { return *shell.Modules.ModuleDialog(); }
    std::string Page() const { return ResultDocumentSource(*form->ScreenViewer); }
    std::string Caption() const { return form->windowTitle().toStdString(); }

    TempFolder program;
    TempFolder root;
    TempFolder files;
    ScriptedPromptService prompts;
    ScriptedModalRunner modals;
    TShellState shell;
    std::unique_ptr<TMainForm> form;
};

// The PDF printer as the selected printer for the life of the object.
class PdfPrinter {
public:
    PdfPrinter() : saved_(SetSelectedPrinter(Printer::Pdf(""))) {}
    ~PdfPrinter() { SetSelectedPrinter(saved_); }

private:
    Printer saved_;
};

}  // namespace velmoran::testing
