// The main window's result pages and their viewers.
#include "shell/ResultPages.h"

#include "html/base/HtmlTokenizer.h"
#include "html/layout/HtmlParser.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/core/Cp1252.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"
#include "report/Report.h"
#include "shell/Templates.h"

#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <optional>
#include <string_view>

namespace velmoran {

namespace {

QWidget* Page(QStackedWidget& pages, const char* name)
{
    auto* page = new QWidget(&pages);
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    pages.addWidget(page);
    return page;
}

}  // namespace

TResultPages CreateResultPages(QWidget& parent, const std::string& programFolderNoSlash)
{
    TResultPages p;
    p.pcResult = new QStackedWidget(&parent);
    p.pcResult->setObjectName(QStringLiteral("pcResult"));
    p.pcResult->setFocusPolicy(Qt::NoFocus);

    p.tsResultHTM = Page(*p.pcResult, "tsResultHTM");
    p.ScreenViewer = new TFrameViewer(p.tsResultHTM);
    p.ScreenViewer->setObjectName(QStringLiteral("ScreenViewer"));
    p.ScreenViewer->SetDefFontName("Tahoma");
    p.ScreenViewer->SetDefFontSize(10);
    TFrameViewerOptions screenOptions = p.ScreenViewer->fvOptions();
    screenOptions.Include(fvNoLinkUnderline);
    screenOptions.Include(fvNoBorder);
    p.ScreenViewer->SetfvOptions(screenOptions);
    p.ScreenViewer->SetHistoryMaxCount(0);
    TFrameViewer::TPassedEvents passed = p.ScreenViewer->PassedEvents();
    passed.OnParseBegin = [](TPageViewer*, std::string& source) { GermanFrameErrorPage(source); };
    p.ScreenViewer->SetPassedEvents(std::move(passed));
    p.tsResultHTM->layout()->addWidget(p.ScreenViewer);

    p.tsPrint = Page(*p.pcResult, "tsPrint");
    p.ReportViewer = new TPageViewer(p.tsPrint);
    p.ReportViewer->setObjectName(QStringLiteral("ReportViewer"));
    p.ReportViewer->SetBorderStyle(THTMLBorderStyle::htNone);
    p.ReportViewer->SetHistoryMaxCount(0);
    p.ReportViewer->SetDefFontName("Arial");
    p.ReportViewer->SetDefPreFontName("Arial");
    p.ReportViewer->SetNoSelect(true);
    p.ReportViewer->PrintMarginRight = 1.5;
    p.ReportViewer->PrintMarginBottom = 3.0;
    p.ReportViewer->SethtOptions(TPageViewerOptions{htNoLinkUnderline, htPrintTableBackground});
    p.tsPrint->layout()->addWidget(p.ReportViewer);

    p.tsMessage = Page(*p.pcResult, "tsMessage");
    p.sbMessages = new QScrollArea(p.tsMessage);
    p.sbMessages->setObjectName(QStringLiteral("sbMessages"));
    p.sbMessages->setWidgetResizable(true);
    p.tsMessage->layout()->addWidget(p.sbMessages);

    p.tsIntro = Page(*p.pcResult, "tsIntro");
    p.IntroViewer = new TPageViewer(p.tsIntro);
    p.IntroViewer->setObjectName(QStringLiteral("IntroViewer"));
    p.IntroViewer->SetBorderStyle(THTMLBorderStyle::htNone);
    p.IntroViewer->SetHistoryMaxCount(0);
    p.IntroViewer->SetDefFontName("Tahoma");
    p.IntroViewer->SetDefPreFontName("Tahoma");
    p.IntroViewer->SethtOptions(TPageViewerOptions{});
    p.IntroViewer->SetServerRoot(programFolderNoSlash);
    p.tsIntro->layout()->addWidget(p.IntroViewer);
    return p;
}

void ExpandTemplate(TReport& report, TMemoryStream& templateStream, const std::string& templateName,
                    TMemoryStream& output)
{
    report.SetIncludeFolder(std::filesystem::path(templateName).parent_path());
    const auto expand = [&] {
        templateStream.SetPosition(0);
        output.Clear();
        report.ProcessTemplate(&templateStream, &output);
        output.SetPosition(0);
    };
    report.SetPageCodePage(DeclaredCodePage(std::string(templateStream.View())));
    expand();
    // A page may say its code page in an included head ("${kopf.htm:"), which the template itself
    // does not show: the page made is read in what it says.
    const int made = DeclaredCodePage(std::string(output.View()));
    if (made != report.PageCodePage()) {
        report.SetPageCodePage(made);
        expand();
    }
}

void LoadMadePage(TPageViewer& viewer, TStream& page, const std::string& templateFile, const char* kind)
{
    try {
        viewer.LoadDocumentStream(page, templateFile);
    } catch (const EParseError& error) {
        throw ETemplateError("Die Seite, die die " + std::string(kind) + " " + Quoted(templateFile) +
                             " für diese Berechnung ergibt, kann nicht dargestellt werden. " + ViewerErrorText(error));
    }
}

void LoadPage(TPageViewer& viewer, const std::string& fileName)
{
    viewer.LoadDocumentFile(fileName);
}

TPageViewer* ResultFrameOf(const TFrameViewer& screen)
{
    if (TPageViewer* main = screen.GetViewerFromName("Main"))
        return main;
    return screen.GetActiveViewer();
}

namespace {

// The screen template's view again where a link replaced it, and its frame "Main" showing the
// template again where a link took the frame elsewhere. A view whose file went meanwhile stays:
// the result is shown in it all the same.
void ShowTemplateView(TFrameViewer& screen, const std::string& screenFile, const std::string& templateFile)
{
    if (screenFile.empty())
        return;
    if (!screen.SameDocument(screen.GetCurrentFile(), screenFile) && IsDocumentFile(screenFile))
        screen.LoadFromFile(screenFile);
    TfvFrame* main = screen.GetFrameFromName("Main");
    if (main && !templateFile.empty() && !(main->PageViewer && screen.SameDocument(main->SourceFile, templateFile)))
        main->Navigate(templateFile, "", false);
}

// The page of results shown before back in the frame; false when there was none, and the frame
// shows nothing rather than what it read of a page it could not show.
bool ShowAgain(TPageViewer& frame, const TResultPage& page)
{
    if (page.Source.empty()) {
        frame.Clear();
        return false;
    }
    // Named as before: a page that was shown keeps its place.
    frame.LoadDocumentString(page.Source, page.TemplateFile);
    return true;
}

}  // namespace

void LoadResult(TFrameViewer& screen, TStream& document, TResultPage& shown, const std::string& screenFile,
                const std::string& templateFile)
{
    ShowTemplateView(screen, screenFile, templateFile);
    TPageViewer* frame = ResultFrameOf(screen);
    if (!frame)
        return;
    // Whether a page can be read shows only as it loads, and loading empties the frame first.
    try {
        LoadMadePage(*frame, document, templateFile, TTemplates::kScreenKind);
    } catch (const ETemplateError& error) {
        const bool before = ShowAgain(*frame, shown);
        throw ETemplateError(error.Message() + (before ? " Gezeigt bleibt die Seite davor." : ""));
    } catch (...) {
        ShowAgain(*frame, shown);
        throw;
    }
    shown = {frame->DocumentSource(), templateFile};
}

void ShowTemplateFrames(TFrameViewer& screen, const std::string& screenFile)
{
    TFrameSet* top = screen.TopSet();
    if (screenFile.empty() || !top || top->FramesetDocument.empty() ||
        !screen.SameDocument(screen.GetCurrentFile(), screenFile))
        return;
    top->ReloadChangedFrames();
}

void CopyResultSelection(const TFrameViewer& screen)
{
    if (TPageViewer* frame = ResultFrameOf(screen))
        frame->CopySelectionToClipboard();
}

std::string ResultDocumentSource(const TFrameViewer& screen)
{
    const TPageViewer* frame = ResultFrameOf(screen);
    return frame ? frame->DocumentSource() : std::string();
}

void ConnectResultLinks(TFrameViewer& screen, TPageViewer& intro, TResultLinks links)
{
    screen.OnHotSpotTargetClick = [click = links.ScreenClick](TFrameViewer*, const std::string&,
                                                              const std::string& url, bool& handled) { click(url, handled); };
    screen.OnHotSpotTargetCovered = [covered = links.Covered](TFrameViewer*, const std::string&,
                                                              const std::string& url) { covered(url); };
    screen.OnRightClick = [rightClick = links.RightClick](TPageViewer*, const TRightClickParameters&) {
        rightClick();
    };
    intro.OnHotSpotClick = [click = links.Click](TPageViewer*, const std::string& url, bool& handled) {
        click(url, handled);
    };
}

namespace {

// The load errors of the viewers, in their words: the error and the text before the file's name.
// Only these are put in German; the program's own errors of any kind say what they say.
std::optional<std::string> ViewerErrorFile(const std::exception& error)
{
    if (!dynamic_cast<const EInOutError*>(&error) && !dynamic_cast<const EfvLoadError*>(&error))
        return std::nullopt;
    const std::string message = error.what();
    for (const std::string_view prefix : {"Can't locate file: ", "Can't load: "})
        if (message.starts_with(prefix))
            return message.substr(prefix.size());
    return std::nullopt;
}

}  // namespace

std::string ViewerErrorText(const std::exception& error)
{
    if (dynamic_cast<const EParseError*>(&error))
        return "Ein Kommentar („<!--“) oder eine Angabe „<!…“ wird bis zum Ende der Seite nicht geschlossen.";
    const std::optional<std::string> file = ViewerErrorFile(error);
    if (!file)
        return error.what();
    return "Die Datei " + Quoted(*file) + (FileExists(*file) ? " konnte nicht geladen werden." : " wurde nicht gefunden.");
}

void GermanFrameErrorPage(std::string& source)
{
    const std::string english = FrameErrorPage({});
    if (source.compare(0, english.size(), english) != 0)
        return;
    // The file name stands escaped at the end; pages are read in Windows-1252.
    const std::string file = source.substr(english.size());
    source = Utf8ToCp1252("<p><img src=\"qw%&.bmp\" alt=\"Fehler\"> Die Datei " + Quoted(file) +
                          " konnte nicht geladen werden.</p>");
}

}  // namespace velmoran
