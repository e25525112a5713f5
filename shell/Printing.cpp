// The print result of the main window: the print template expanded into the print viewer, printed
// through the print dialog and the progress window or straight from a link, previewed, and
// exported as an HTML file; and the page header and footer drawn on every printed page. A build,
// print or export that fails shows its error (a PDF file that cannot be written is named with the
// reason); nothing of a failed build goes out, nothing goes out without a calculation, and a
// print asked for without one says why. Neither a PDF nor an export is written over a calculation,
// a PDF over another file only after a question, and a page range without pages is refused. An
// export names the pictures and style sheets of its template by their full file addresses.
#include "shell/MainForm.h"

#include "framework/ui/MainDlg.h"
#include "html/base/HtmlTokenizer.h"
#include "html/base/WideText.h"
#include "html/layout/HtmlParser.h"
#include "html/preview/PreviewForm.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrnStatusForm.h"
#include "platform/Canvas.h"
#include "platform/ModalRunner.h"
#include "platform/Printer.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/CodePage.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Text.h"
#include "report/Report.h"
#include "shell/ExportNames.h"
#include "shell/FileNames.h"
#include "shell/ResultPages.h"
#include "shell/ShellState.h"
#include "shell/Templates.h"

#include <filesystem>
#include <exception>

namespace velmoran {

namespace {

constexpr int kAllPagesLast = 99999;
constexpr int kDialogMaxPage = 9999;
const char* const kVersionLine = "Velmoran Version 1.02";

// Arial 8 on the 96-ppi logical device of every canvas.
LogicalFont HeaderFont()
{
    LogicalFont font;
    font.Face = "Arial";
    font.Height = -11;
    return font;
}

void TextLeft(Canvas& canvas, int x, int y, const std::string& text)
{
    canvas.TextOut(x, y, Utf8ToWide(text));
}

void TextRight(Canvas& canvas, int x, int y, const std::string& text)
{
    const std::u16string wide = Utf8ToWide(text);
    canvas.TextOut(x - canvas.TextExtent(wide).cx, y, wide);
}

std::string ValueText(TShellState& shell, const std::string& name)
{
    TMainDlg* module = shell.Modules.ModuleDialog();
    return module ? module->GetValueText(name) : std::string();
}

// A PDF printer cannot say why it could not start its file: the name is tried first, and a file
// that cannot be written is named with the reason, as saving names it. False then.
bool PdfFileWritable(const Printer& printer)
{
    if (!printer.IsPdf())
        return true;
    const std::string& fileName = printer.OutputFileName();
    const int error = WriteAccessError(fileName);
    if (error == 0)
        return true;
    Prompts().ShowError("Die Datei „" + fileName + "“ konnte nicht geschrieben werden: " + FileErrorReason(error, fileName));
    return false;
}

// Whether the print may go where the printer sends it. A PDF file is never written over a
// calculation (it would be lost, and the pair no longer opens), over another file only after the
// user agreed, and only where it can be written.
bool PrintTargetAccepted(const Printer& printer, const std::string& openCalculation)
{
    if (!printer.IsPdf())
        return true;
    const std::string& fileName = printer.OutputFileName();
    if (const std::optional<std::string> refusal = OutputFileRefusal(fileName, openCalculation, OutputKind::Pdf)) {
        Prompts().ShowError(*refusal);
        return false;
    }
    if (!PdfFileWritable(printer))
        return false;
    std::error_code error;
    return !std::filesystem::exists(std::filesystem::symlink_status(fileName, error)) ||
           Prompts().MessageDlg("Die Datei " + Quoted(fileName) +
                                    " ist bereits vorhanden.\nSoll sie mit dem Ausdruck überschrieben werden?",
                                MsgDlgType::Warning, mbYes | mbNo) == mrYes;
}

// A range whose first page lies behind its last holds no page: said, rather than printed as some
// other range.
bool PageRangeAccepted(const PrintDialogAnswer& answer)
{
    const std::optional<std::string> refusal = PageRangeRefusal(answer);
    if (refusal)
        Prompts().ShowError(*refusal + " Es wurde nichts gedruckt.");
    return !refusal;
}

// Whether a calculation is there to print. The print buttons work while their actions are
// disabled, so without one the user is told why nothing comes; done ends the sentence
// ("gedruckt").
bool CalculationToPrint(bool loaded, const std::string& done)
{
    if (!loaded)
        Prompts().MessageDlg("Es ist keine Berechnung geöffnet, deren Ergebnisse " + done +
                                 " werden könnten. Erstellen Sie eine neue Berechnung oder öffnen Sie eine vorhandene.",
                             MsgDlgType::Information, mbOK);
    return loaded;
}

// "Der Ausdruck hat nur 2 Seiten: ..." for a range that begins behind the last page.
std::string MissingPagesMessage(int pages, int fromPage, int toPage)
{
    const std::string range =
        fromPage == toPage ? "Seite " + std::to_string(fromPage)
                           : "die Seiten " + std::to_string(fromPage) + " bis " + std::to_string(toPage);
    const std::string has = pages <= 0   ? "keine Seite"
                            : pages == 1 ? "nur eine Seite"
                                         : "nur " + std::to_string(pages) + " Seiten";
    return "Der Ausdruck hat " + has + ": " + range + " gibt es darin nicht. Es wurde nichts gedruckt.";
}

// Runs a print, showing what went wrong (a printer that failed, a file that could not be written):
// dropped in silence, a print that never came out would look like one that did.
template <typename Run>
void ShowingErrors(Run&& run)
{
    try {
        run();
    } catch (const std::exception& error) {
        Prompts().ShowError(error.what());
    }
}

}  // namespace

void TMainForm::ConnectPrintResult()
{
    ReportViewer->OnPrintHeader = [this](TPageViewer*, Canvas& canvas, int page, int w, int h, bool& stop) {
        ReportViewerPrintHeader(canvas, page, w, h, stop);
    };
    ReportViewer->OnPrintFooter = [this](TPageViewer*, Canvas& canvas, int page, int w, int h, bool& stop) {
        ReportViewerPrintFooter(canvas, page, w, h, stop);
    };
}

bool TMainForm::PrintRunning() const
{
    return ReportViewer && ReportViewer->Printing();
}

bool TMainForm::BuildPrintReport()
{
    TModules& modules = shell_.Modules;
    if (!modules.Report())
        return false;
    try {
        TMemoryStream& output = modules.OutputStream();
        // No load case is set: the one shown on screen applies.
        ExpandTemplate(*modules.Report(), shell_.Templates.PrintTemplateStream(),
                       shell_.Templates.PrintTemplateName(), output);
        // Named as its template, so that pictures and style sheets are found beside it.
        LoadMadePage(*ReportViewer, output, shell_.Templates.PrintTemplateName(), TTemplates::kPrintKind);
        return true;
    } catch (const std::exception& error) {
        modules.OutputStream().Clear();
        // Said, as the print's own errors are: the print stops here, and without a word nobody knows why.
        Prompts().ShowError(ViewerErrorText(error));
        return false;
    }
}

std::string TMainForm::PrintFileName() const
{
    const std::string base =
        shell_.FileId.empty() ? std::string("Velmoran") : std::filesystem::path(shell_.FileId).stem().string();
    return shell_.Folders.DataPath + base + ".pdf";
}

void TMainForm::FilePrintExecute()
{
    if (!CalculationToPrint(CalculationLoaded, "gedruckt") || !BuildPrintReport())
        return;
    Printer& printer = SelectedPrinter();
    PrintDialogOptions options;
    options.MaxPage = kDialogMaxPage;
    options.PageNumbersSelectable = true;
    if (printer.IsPdf())
        options.PdfFileName = PrintFileName();
    const std::optional<PrintDialogAnswer> answer = Prompts().PrintDialog(options);
    if (!answer || !PageRangeAccepted(*answer))
        return;
    if (printer.IsPdf())
        printer.SetOutputFileName(ChosenPdfFileName(options, *answer));
    if (!PrintTargetAccepted(printer, shell_.FileId))
        return;
    const int fromPage = answer->AllPages ? 1 : answer->FromPage;
    const int toPage = answer->AllPages ? kAllPagesLast : answer->ToPage;
    ShowingErrors([&] {
        TPrnStatusForm progress(this);
        bool abort = false;
        progress.DoPrint(*ReportViewer, fromPage, toPage, abort);
        // A range behind the document's end prints no sheet, and the run drops its empty job.
        if (!abort && ReportViewer->PrintedPage() < fromPage)
            Prompts().ShowError(MissingPagesMessage(ReportViewer->PrintedPage(), fromPage, toPage));
    });
}

void TMainForm::FilePrintPreviewExecute()
{
    if (PrintRunning() || !CalculationToPrint(CalculationLoaded, "in der Druckvorschau gezeigt") ||
        !BuildPrintReport())
        return;
    // What the preview prints goes where a print would.
    Printer& printer = SelectedPrinter();
    if (printer.IsPdf())
        printer.SetOutputFileName(PrintFileName());
    ShowingErrors([&] {
        bool abort = false;
        const std::unique_ptr<TPreviewForm> preview = TPreviewForm::CreateWithViewer(this, *ReportViewer, abort);
        preview->OnPrintTarget = [this](const Printer& target) { return PrintTargetAccepted(target, shell_.FileId); };
        if (!abort)
            Modals().Run(*preview);
    });
}

void TMainForm::PrintFromLink()
{
    if (PrintRunning() || !CalculationToPrint(CalculationLoaded, "gedruckt") || !BuildPrintReport())
        return;
    Printer& printer = SelectedPrinter();
    if (printer.IsPdf())
        printer.SetOutputFileName(PrintFileName());
    if (!PrintTargetAccepted(printer, shell_.FileId))
        return;
    ShowingErrors([&] {
        ReportViewer->PrintPages(1, kAllPagesLast);
        // A link prints without a dialog: the user learns where the file went.
        if (printer.IsPdf() && ReportViewer->PrintedPage() >= 1)
            Prompts().MessageDlg("Der Ausdruck wurde in die Datei " + Quoted(printer.OutputFileName()) + " geschrieben.",
                                 MsgDlgType::Information, mbOK);
    });
}

void TMainForm::FileExportExecute()
{
    if (!CalculationLoaded)
        return;
    FileDialogOptions options;
    options.DefaultExt = "html";
    options.InitialDir = shell_.Folders.DataPathNoSlash;
    const auto refusal = [this](const std::string& name) {
        return OutputFileRefusal(name, shell_.FileId, OutputKind::Export);
    };
    options.Refusal = refusal;
    const std::optional<std::string> fileName = Prompts().SaveFileDialog(options);
    if (!fileName)
        return;
    if (const std::optional<std::string> refused = refusal(*fileName)) {
        Prompts().ShowError(*refused);
        return;
    }
    if (!BuildPrintReport())
        return;
    // Found where the print finds them, wherever the export goes, read as the print reads them (in
    // the page's code page, with character references); names of other schemes and names that
    // lead to no file stay as written.
    const int codePage = shell_.Modules.Report()->PageCodePage();
    const auto found = [this, codePage](const std::string& name) -> std::optional<std::string> {
        if (name.empty() || name.front() == '#' || !UrlScheme(name).empty())
            return std::nullopt;
        const std::string file = ReportViewer->ExpandFileName(AttributeFileName(name, codePage));
        if (!IsDocumentFile(file))
            return std::nullopt;
        return "file://" + EncodePercentEscapes(file);
    };
    const SaveResult saved =
        WriteFileAtomically(*fileName, WithExportNames(shell_.Modules.OutputStream().View(), found));
    if (!saved)
        Prompts().ShowError(saved.Message);
}

void TMainForm::ReportViewerPrintHeader(Canvas& canvas, int pageNumber, int width, int, bool&)
{
    canvas.SetFont(HeaderFont());
    TextLeft(canvas, 50, 25,
             ValueText(shell_, "Projekt") + "   bearbeitet von: " + ValueText(shell_, "Bearbeiter"));
    TextRight(canvas, width - 50, 25, "Seite " + std::to_string(pageNumber));
}

void TMainForm::ReportViewerPrintFooter(Canvas& canvas, int, int width, int, bool&)
{
    canvas.SetFont(HeaderFont());
    TextLeft(canvas, 50, 40, "File: " + std::filesystem::path(shell_.FileId).filename().string());
    TextRight(canvas, width - 75, 40, kVersionLine);
}

}  // namespace velmoran
