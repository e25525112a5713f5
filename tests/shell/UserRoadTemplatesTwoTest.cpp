// The user's road through templates of their own, the program started from another folder: a
// picture opened on a page of its own, includes and comments starting with "#", framesets that
// cannot serve as screen or print template, and what the program says of where its files go and
// where a folder, a link or the user's standard template leads.
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TemplateRoad.h"

#include "controls/EnhCombo.h"
#include "controls/EnhEditBtn.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Text.h"
#include "shell/DlgPath.h"
#include "shell/MainActions.h"

#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::testing;
namespace fs = std::filesystem;

namespace {

using UserRoadTemplatesTwo = CalculationFixture;

const QRgb kStartFolderOrange = qRgb(255, 128, 0);

int ShownPixels(QWidget* widget, QRgb colour)
{
    return widget ? Pixels(widget->grab().toImage(), colour) : -1;
}

// The text a viewer shows, in Windows-1252 as the pages are written.
std::string TextShown(TPageViewer& viewer)
{
    return Utf8ToCp1252(QString::fromStdU16String(viewer.GetRangeText(0, 500)).toStdString());
}

}  // namespace

// A template's link to a picture beside it, a frame whose source is a picture and a picture link
// of the start page each show the picture: they showed a broken-picture mark, the page built to
// show the picture naming it by a path that the server root then took for one below itself.
TEST_F(UserRoadTemplatesTwo, APictureOpenedOnAPageOfItsOwnShows)
{
    OwnTemplateFolders user;
    Picture(user.mine / "rot.png", kOwnRed);
    Picture(user.start / "rot.png", kStartFolderOrange);
    user.mine.WriteFile("Bild.vst", "<p>|Projekt|</p><p><a href=\"rot.png\">Bild</a></p>");
    user.mine.WriteFile("Rahmen.vst", "<frameset cols=\"*,*\"><frame name=\"Main\" src=\"Bild.vst\">"
                                      "<frame name=\"Bild\" src=\"rot.png\"></frameset>");
    TMainForm& window = Form(Example());
    window.resize(900, 700);
    window.show();
    ChooseOwnTemplate(window, prompts, user.mine / "Bild.vst");
    Follow(window, nullptr, "rot.png");
    EXPECT_EQ(ShownPixels(window.ResultFrame(), kOwnRed), 1200);

    ChooseOwnTemplate(window, prompts, user.mine / "Rahmen.vst");
    EXPECT_TRUE(Contains(Shown(window, "Main"), kProjectShown));
    EXPECT_EQ(ShownPixels(window.ScreenViewer->GetViewerFromName("Bild"), kOwnRed), 1200);

    // The start page lies in the folder the program was started from.
    Picture(user.start / "blau.png", kOwnBlue);
    user.start.WriteFile("intro.htm", "<p><a href=\"blau.png\">Bild</a></p>");
    window.StartPending = true;
    window.UpdateActions();
    ASSERT_TRUE(window.IntroShown());
    window.IntroViewer->FollowLinkFromKeyboard("blau.png", "");
    QApplication::processEvents();
    EXPECT_EQ(ShownPixels(window.IntroViewer, kOwnBlue), 1200);
    EXPECT_TRUE(prompts.Messages().empty());
}

// A template's "${kopf.htm:" is read beside it (it was looked for in the start folder, and the
// page lacked it without a word), on screen and in print; the comment "<!--# autor='Meier -->"
// stays a comment (it was read as an include, and the English "Open Comment at End of HTML File"
// came instead of the page).
TEST_F(UserRoadTemplatesTwo, IncludesComeFromBesideTheTemplateAndHashCommentsStayComments)
{
    OwnTemplateFolders user;
    user.mine.WriteFile("kopf.htm", "<p>Kopf neben der Vorlage</p>\r\n");
    user.start.WriteFile("kopf.htm", "<p>Kopf im Startordner</p>\r\n");
    const std::string own = "<!--# autor='Meier -->\r\n${kopf.htm:\r\n<p>|Projekt|</p>\r\n";
    user.mine.WriteFile("Eigene.vst", own);
    user.mine.WriteFile("Eigene.vpt", own);
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, user.mine / "Eigene.vst");
    ChooseOwnTemplate(window, prompts, user.mine / "Eigene.vpt", false);
    window.ViewResultExecute();
    EXPECT_TRUE(prompts.Messages().empty()) << LastTold(prompts);
    EXPECT_EQ(TextShown(*window.ResultFrame()), "Kopf neben der Vorlage\r\n\r\n" + kProjectShown);

    ASSERT_TRUE(window.BuildPrintReport());
    EXPECT_EQ(TextShown(*window.ReportViewer), "Kopf neben der Vorlage\r\n\r\n" + kProjectShown);
}

// Framesets that cannot serve are refused and the results stay where they were: one whose
// NOFRAMES text comes first now serves (it was taken for a page), a template the parser rejects
// is refused (it emptied the result page while the box named it), a frameset as print template is
// refused (only header and footer were printed), and in the frame "Main" a link to a frameset
// without "Main" is refused while one to a frameset with "Main" takes the whole view (the area was
// blanked, or showed "|Projekt|", and the result overview did not bring the results back).
TEST_F(UserRoadTemplatesTwo, FramesetsThatCannotServeAreRefusedAndTheResultsStay)
{
    OwnTemplateFolders user;
    const std::string frameset = "<noframes><p>Ihr Programm zeigt keine Rahmen.</p></noframes>"
                                 "<frameset cols=\"150,*\"><frame name=\"Menue\" src=\"menue.htm\">"
                                 "<frame name=\"Main\" src=\"Eigene.vst\"></frameset>";
    user.mine.WriteFile("Rahmen.vst", frameset);
    user.mine.WriteFile("Rahmen.vpt", frameset);
    user.mine.WriteFile("menue.htm", "<p>Men\xFC</p>");
    user.mine.WriteFile("Eigene.vst", "<p>|Projekt|</p>");
    user.mine.WriteFile("Offen.vst", "<p>|Projekt|</p><!-- offen");
    user.mine.WriteFile("Ohne.vst", "<frameset cols=\"*,*\"><frame name=\"Links\" src=\"menue.htm\">"
                                    "<frame name=\"Rechts\" src=\"Eigene.vst\"></frameset>");
    user.mine.WriteFile("Zweit.vst", "<frameset rows=\"60,*\"><frame name=\"Kopf\" src=\"menue.htm\">"
                                     "<frame name=\"Main\" src=\"Innen.vst\"></frameset>");
    user.mine.WriteFile("Innen.vst", "<p>Innen |Projekt|</p>");
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, user.mine / "Rahmen.vst");
    ASSERT_TRUE(prompts.Messages().empty()) << LastTold(prompts);
    EXPECT_EQ(Shown(window, "Main"), "<p>" + kProjectShown + "</p>\r\n");
    const auto resultsStay = [&](std::size_t told, const std::string& reason) {
        ASSERT_EQ(prompts.Messages().size(), told);
        EXPECT_TRUE(Contains(LastTold(prompts), reason)) << LastTold(prompts);
        EXPECT_EQ(window.ScreenViewer->GetCurrentFile(), user.mine / "Rahmen.vst");
        EXPECT_TRUE(Contains(window.cbxScreenTpl->Text(), "Rahmen.vst"));
        EXPECT_EQ(Shown(window, "Main"), "<p>" + kProjectShown + "</p>\r\n");
    };

    ChooseOwnTemplate(window, prompts, user.mine / "Offen.vst");
    resultsStay(1, "Offen.vst\xE2\x80\x9C kann nicht verwendet werden. Ein Kommentar");
    ChooseOwnTemplate(window, prompts, user.mine / "Rahmen.vpt", false);
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(Contains(LastTold(prompts), "Sie ist in Frames geteilt")) << LastTold(prompts);
    EXPECT_EQ(fs::path(shell.Templates.PrintTemplateName()).filename(), "Standard.vpt");

    Follow(window, "Main", "Ohne.vst");
    resultsStay(3, "keiner davon hei\xC3\x9Ft \xE2\x80\x9EMain\xE2\x80\x9C");
    Follow(window, "Main", "Offen.vst");
    resultsStay(4, "Ein Kommentar");
    window.ViewResultExecute();
    resultsStay(4, "Ein Kommentar");
    Follow(window, "Main", "Zweit.vst");
    EXPECT_EQ(window.ScreenViewer->GetCurrentFile(), user.mine / "Zweit.vst");
    EXPECT_EQ(Shown(window, "Main"), "<p>Innen " + kProjectShown + "</p>\r\n");
    window.ViewResultExecute();
    EXPECT_EQ(Shown(window, "Main"), "<p>Innen " + kProjectShown + "</p>\r\n");
    EXPECT_EQ(prompts.Messages().size(), 4u);
}

// A save from a link says where it wrote, also far above the template (it wrote anywhere without a
// word); an exported page shows the pictures and style sheet of its template wherever it lies (it
// kept their names, which the export's folder does not hold), one named with an umlaut in a
// Windows-1252 template too (it kept its name); a template folder typed without its
// path in Einstellungen > Verzeichnisse is kept whole (each start from elsewhere made a copy of its
// own, and the user's templates seemed gone).
TEST_F(UserRoadTemplatesTwo, WhereTheProgramPutsFilesIsWhereTheUserFindsThem)
{
    OwnTemplateFolders user;
    const std::string deep = user.mine / "a/b/c/d";
    fs::create_directories(deep);
    Picture(deep + "/logo.png", kOwnRed);
    Picture(user.start / "logo.png", kStartFolderOrange);
    Picture(deep + "/gr\xC3\xBCn.png", qRgb(0, 0, 255));
    TempFolder::Write(deep + "/stil.css", "p.gruen { background-color: #00C000 }");
    const std::string own = "<link rel=\"stylesheet\" href=\"stil.css\"><p class=\"gruen\">|Projekt|</p>"
                            "<p><img src=\"logo.png\" alt=\"Logo\"> <img src=\"gr\xFCn.png\"></p>";
    TempFolder::Write(deep + "/Eigene.vst", own);
    TempFolder::Write(deep + "/Eigene.vpt", own);
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, deep + "/Eigene.vst");
    ChooseOwnTemplate(window, prompts, deep + "/Eigene.vpt", false);

    Follow(window, nullptr, "FILESAVE ../../../../aussen.vda");
    EXPECT_EQ(fs::file_size(user.mine / "aussen.vda"), 6784u);
    EXPECT_EQ(LastTold(prompts), "Die Berechnung wurde in die Datei \xE2\x80\x9E" + user.mine / "aussen.vda" +
                                     "\xE2\x80\x9C gespeichert.");

    prompts.AnswerFile(files / "Bericht.html");
    window.FileExportExecute();
    TPageViewer exported;
    exported.resize(600, 300);
    exported.LoadDocumentFile(files / "Bericht.html");
    EXPECT_EQ(ShownPixels(&exported, kOwnRed), 1200);
    EXPECT_EQ(ShownPixels(&exported, qRgb(0, 0, 255)), 1200);
    EXPECT_GT(ShownPixels(&exported, qRgb(0, 192, 0)), 100);
    EXPECT_EQ(ShownPixels(&exported, kStartFolderOrange), 0);

    window.SetPathDialog(new TDlgPath(shell.Folders, &window));
    modals.Expect([](QWidget& dialog) {
        auto& paths = dynamic_cast<TDlgPath&>(dialog);
        paths.edTemplPath->SetText("meinevorlagen");
        paths.accept();
    });
    prompts.Answer(mrYes);  // the folder is made
    window.Actions().SetPaths->Execute();
    EXPECT_EQ(shell.Folders.TemplatePath, user.start / "meinevorlagen/");
    EXPECT_TRUE(fs::is_directory(user.start / "meinevorlagen"));
}

// A "file:" link that opens nothing says why, naming the link (it did nothing and said nothing);
// so does a named pipe in place of the user's "Standard.vst" (the program's own templates took
// its place without a word).
TEST_F(UserRoadTemplatesTwo, ALinkOrStandardTemplateThatLeadsNowhereSaysWhy)
{
    OwnTemplateFolders user;
    user.mine.WriteFile("Eigene.vst", "<p>|Projekt|</p>");
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, user.mine / "Eigene.vst");
    const std::string program = shell.Folders.ProgramFolderNoSlash;
    Follow(window, nullptr, "file:rot.png");
    EXPECT_TRUE(Contains(LastTold(prompts), "\xE2\x80\x9E" "file:rot.png\xE2\x80\x9C \xC3\xB6" "ffnet nichts. Eine "
                                            "Verkn\xC3\xBCpfung auf eine Datei hat die Form"));
    Follow(window, nullptr, "file://hilfe/fehlt.htm");
    EXPECT_TRUE(Contains(LastTold(prompts), "hilfe/fehlt.htm\xE2\x80\x9C konnte nicht gelesen werden"))
        << LastTold(prompts);
    Follow(window, nullptr, "file://../" + fs::path(user.mine.Folder()).parent_path().filename().string() +
                                         "/Eigene.vst");
    EXPECT_TRUE(Contains(LastTold(prompts), "liegt nicht im Programmordner")) << LastTold(prompts);
    EXPECT_EQ(prompts.Messages().size(), 3u);

    const std::string standard = shell.Folders.TemplatePath + "de/HSG/Standard.vst";
    fs::remove(standard);
    ASSERT_EQ(::mkfifo(standard.c_str(), 0644), 0);
    form.reset();
    TShellState restarted(Folders(), "de");
    TMainForm again(restarted, Example());
    ASSERT_EQ(prompts.Messages().size(), 4u);
    EXPECT_TRUE(Contains(LastTold(prompts), "Standard.vst\xE2\x80\x9C kann nicht verwendet werden. "
                                            "Der Name geh\xC3\xB6rt zu keiner gew\xC3\xB6hnlichen Datei"));
    EXPECT_TRUE(Contains(LastTold(prompts), "Stattdessen werden die Vorlagen aus \xE2\x80\x9E" + program));
}
