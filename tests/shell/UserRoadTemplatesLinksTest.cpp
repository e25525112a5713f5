// A user's own templates in a folder of their own, the program started from another folder: the
// pictures and style sheets of the screen page and of the printed PDF are the ones beside the
// templates, links lead to the templates and pages beside them and keep the calculation in reach
// (also in the frame "Main" of a frameset), and the import, save and open links find their files
// beside the template.
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TemplateRoad.h"

#include "controls/EnhCombo.h"
#include "framework/CommonRecord.h"
#include "hsg/ui/HsgDlg.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>

#include <filesystem>
#include <functional>

using namespace velmoran;
using velmoran::testing::TempFolder;
using velmoran::testing::Follow;
using velmoran::testing::Picture;
using velmoran::testing::Pixels;
using velmoran::testing::Shown;
using velmoran::testing::StartedIn;
namespace fs = std::filesystem;

namespace {

using UserRoadTemplates = velmoran::testing::CalculationFixture;

const QRgb kLogo = qRgb(255, 0, 255);       // the picture beside the templates
const QRgb kStrange = qRgb(255, 128, 0);    // the pictures of the start folder
const QRgb kRootLogo = qRgb(0, 255, 255);   // the picture at the templates' root ("/Kopf.png")
const QRgb kSheet = qRgb(0, 192, 0);        // what the style sheet beside the templates paints
const QRgb kSheetTile = qRgb(255, 255, 0);  // the picture that style sheet names beside itself

std::string Artifact(const std::string& name)
{
    const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/templates";
    fs::create_directories(dir);
    return dir + "/" + name;
}

// The first page of a PDF as a picture, kept among the artifacts.
QImage PdfPage(const std::string& pdf, const std::string& name)
{
    const std::string out = Artifact(name);
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-f"),
                                                    QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                    QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                                    QString::fromStdString(pdf), QString::fromStdString(out)});
    return QImage(QString::fromStdString(out + ".png"));
}

// What a template of one's own links to and shows.
constexpr const char* kHead = "<html><head><link rel=\"stylesheet\" href=\"stil.css\"></head><body>";
constexpr const char* kBody =
    "<p><img src=\"logo.png\"> <img src=\"/Kopf.png\"></p><p class=\"gruen\">|Projekt|</p>"
    "<table><tr><td class=\"band\" width=\"200\" height=\"20\">&nbsp;</td></tr></table>"
    "<p><a href=\"Zweit.vst\">Details</a> <a href=\"seite.htm\">Erl\xE4uterung</a> "
    "<a href=\"FILEIMPORT Werte.csv\">Werte laden</a> <a href=\"FILESAVE Kopie.vda\">Kopie</a></p></body></html>";

// The user's template folder with the templates and what they name, and the folder the program
// is started from, which holds files of the same names that none of the links may reach.
struct UserFolders {
    UserFolders()
    {
        Picture(mine / "logo.png", kLogo);
        Picture(mine / "band.png", kSheetTile);
        mine.WriteFile("stil.css", "p.gruen { background-color: #00C000 }\ntd.band { background-image: url(band.png) }\n");
        mine.WriteFile("Eigene.vst", std::string(kHead) + kBody);
        mine.WriteFile("Eigene.vpt", std::string(kHead) + kBody);
        mine.WriteFile("Zweit.vst", "<p>Details zu |Projekt|</p>" + std::string(200, '\n') + "<pre>" +
                                        std::string(200, '\n') + "</pre><p><a name=\"unten\">Unten</a></p>");
        mine.WriteFile("seite.htm", "<p>Erl\xE4uterung <a href=\"Eigene.vst\">zur\xFC" "ck zur Berechnung</a></p>");
        Picture(elsewhere / "logo.png", kStrange);
        Picture(elsewhere / "band.png", kStrange);
        elsewhere.WriteFile("stil.css", "p.gruen { background-color: #FF8000 }\n");
        elsewhere.WriteFile("seite.htm", "<p>Fremde Seite</p>");
        elsewhere.WriteFile("Werte.csv", "CBSBzb;111\n");
    }
    TempFolder mine;
    TempFolder elsewhere;
    StartedIn started{elsewhere.Folder()};
};

// The user chooses the screen and print templates of their folder and looks at the result; the
// templates' root folder has a picture of its own.
void ChooseOwnTemplates(TMainForm& window, ScriptedPromptService& prompts, TShellState& shell, const UserFolders& user)
{
    window.resize(900, 700);
    window.show();
    Picture(shell.Templates.TemplateFolder() + "Kopf.png", kRootLogo);
    prompts.AnswerFile(user.mine / "Eigene.vst");
    window.FileSetScreenTemplateExecute();
    prompts.AnswerFile(user.mine / "Eigene.vpt");
    window.FileSetPrinterTemplateExecute();
    window.ViewResultExecute();
}

const std::string kProject = "Kl\xE4ranlage Musterstadt";
const std::string kCalculationShown = "<p class=\"gruen\">" + kProject;

// The screen page and the PDF show the picture and the style sheet beside the user's templates
// (with the picture the sheet names beside itself) and the picture a "/" name finds at the
// templates' root; nothing of the start folder's files of the same names. The pages once found
// their names only in the folder the program was started from.
TEST_F(UserRoadTemplates, PicturesAndStyleSheetsComeFromBesideTheTemplate)
{
    const UserFolders user;
    TMainForm& window = Form(Example());
    ChooseOwnTemplates(window, prompts, shell, user);
    const QImage screen = window.ResultFrame()->grab().toImage();
    screen.save(QString::fromStdString(Artifact("eigene-vorlage-bildschirm.png")));
    EXPECT_GT(Pixels(screen, kLogo), 1000);
    EXPECT_GT(Pixels(screen, kRootLogo), 1000);
    EXPECT_GT(Pixels(screen, kSheet), 1000);
    EXPECT_GT(Pixels(screen, kSheetTile), 1000);
    EXPECT_EQ(Pixels(screen, kStrange), 0);

    const velmoran::testing::PdfPrinter pdf;
    PrintDialogAnswer answer;
    answer.PdfFileName = files / "Eigene.pdf";
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    ASSERT_TRUE(fs::exists(answer.PdfFileName)) << (prompts.Messages().empty() ? "" : prompts.Messages().back().Text);
    const QImage page = PdfPage(answer.PdfFileName, "eigene-vorlage-pdf");
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(Pixels(page, kLogo), 100);
    EXPECT_GT(Pixels(page, kRootLogo), 100);
    EXPECT_GT(Pixels(page, kSheet), 100);
    EXPECT_EQ(Pixels(page, kStrange), 0);
}

// A link to another template shows the calculation through it, a link to a page shows the page
// beside the template, and the calculation comes back from there by a link or by the result view,
// as often as the user goes back and forth. The links once looked for their files in the start
// folder ("Can't load"), and a page's second visit stayed on the calculation.
TEST_F(UserRoadTemplates, LinksLeadToTheTemplatesAndPagesBesideTheTemplate)
{
    const UserFolders user;
    TMainForm& window = Form(Example());
    ChooseOwnTemplates(window, prompts, shell, user);
    Follow(window, nullptr, "Zweit.vst#unten");
    EXPECT_TRUE(Contains(Shown(window), "<p>Details zu " + kProject + ", Erweiterung der Belebung</p>"));
    EXPECT_EQ(shell.Templates.ScreenTemplateName(), user.mine / "Zweit.vst");
    // At the place the link names (the page once stayed at its top).
    EXPECT_GT(window.ResultFrame()->VScrollBarPosition(), 0);
    // Each template from the user's folder by its name first: full paths looked alike in the
    // closed box.
    const std::string folder = fs::path(user.mine / "Zweit.vst").parent_path().string();
    const std::vector<std::string> entries = window.cbxScreenTpl->Items();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(std::vector(entries.end() - 2, entries.end()),
              (std::vector<std::string>{"Eigene.vst – " + folder, "Zweit.vst – " + folder}));
    EXPECT_EQ(window.cbxScreenTpl->Text(), "Zweit.vst – " + folder);
    EXPECT_TRUE(prompts.Messages().empty());

    prompts.AnswerFile(user.mine / "Eigene.vst");
    window.FileSetScreenTemplateExecute();
    for (int visit = 0; visit < 2; ++visit) {
        Follow(window, nullptr, "seite.htm");
        EXPECT_EQ(Shown(window), "<p>Erl\xE4uterung <a href=\"Eigene.vst\">zur\xFC" "ck zur Berechnung</a></p>") << visit;
        if (visit == 0)
            Follow(window, nullptr, "Eigene.vst");
        else
            window.ViewResultExecute();
        EXPECT_TRUE(Contains(Shown(window), kCalculationShown)) << visit;
        EXPECT_EQ(window.ScreenViewer->GetCurrentFile(), user.mine / "Eigene.vst") << visit;
    }
    EXPECT_TRUE(prompts.Messages().empty());

    // The template's file gone meanwhile: the result view shows the calculation where it is.
    Follow(window, nullptr, "seite.htm");
    fs::remove(user.mine / "Eigene.vst");
    window.ViewResultExecute();
    EXPECT_TRUE(Contains(Shown(window), kCalculationShown));
}

// In a frameset template the frame "Main" goes to a page and back to the calculation by a link,
// a menu frame's link sends another template into "Main", and the result view brings the
// calculation back into "Main" whatever the frame showed: the other frames stay as they are.
TEST_F(UserRoadTemplates, TheMainFrameOfAFramesetKeepsTheCalculationInReach)
{
    const UserFolders user;
    user.mine.WriteFile("Rahmen.vst", "<html><frameset cols=\"150,*\"><frame name=\"Menue\" src=\"menue.htm\">"
                                      "<frame name=\"Main\" src=\"Eigene.vst\"></frameset></html>");
    user.mine.WriteFile("menue.htm", "<p><a href=\"Zweit.vst\" target=\"Main\">Details</a></p>");
    TMainForm& window = Form(Example());
    ChooseOwnTemplates(window, prompts, shell, user);
    prompts.AnswerFile(user.mine / "Rahmen.vst");
    window.FileSetScreenTemplateExecute();
    ASSERT_EQ(window.ResultFrame(), window.ScreenViewer->GetViewerFromName("Main"));
    EXPECT_TRUE(Contains(Shown(window, "Main"), kCalculationShown));

    Follow(window, "Main", "seite.htm");
    EXPECT_TRUE(Contains(Shown(window, "Main"), "Erl\xE4uterung"));
    Follow(window, "Main", "Eigene.vst");
    EXPECT_TRUE(Contains(Shown(window, "Main"), kCalculationShown));
    EXPECT_EQ(window.ScreenViewer->GetCurrentFile(), user.mine / "Rahmen.vst");

    Follow(window, "Menue", "Zweit.vst", "Main");
    EXPECT_TRUE(Contains(Shown(window, "Main"), "Details zu " + kProject));
    EXPECT_EQ(Shown(window, "Menue"), "<p><a href=\"Zweit.vst\" target=\"Main\">Details</a></p>");
    EXPECT_EQ(window.ScreenViewer->GetCurrentFile(), user.mine / "Rahmen.vst");

    // The menu frame went to a page that is gone: the result overview brings the whole view of
    // the template back, the menu too (it stayed on the error page).
    Follow(window, "Menue", "fehlt.htm");
    EXPECT_TRUE(Contains(Shown(window, "Menue"), "fehlt.htm"));
    window.ViewResultExecute();
    EXPECT_EQ(Shown(window, "Menue"), "<p><a href=\"Zweit.vst\" target=\"Main\">Details</a></p>");
    EXPECT_TRUE(Contains(Shown(window, "Main"), "Details zu " + kProject));

    // A page in "Main" that is itself a frameset: the result view puts the calculation back.
    user.mine.WriteFile("geteilt.htm", "<frameset rows=\"*,*\"><frame src=\"seite.htm\"><frame src=\"seite.htm\"></frameset>");
    Follow(window, "Main", "geteilt.htm");
    EXPECT_EQ(window.ScreenViewer->GetViewerFromName("Main"), nullptr);
    window.ViewResultExecute();
    EXPECT_TRUE(Contains(Shown(window, "Main"), "Details zu " + kProject));
    EXPECT_TRUE(prompts.Messages().empty());
}

// The import, save and open links of a template find their files beside it (once in the data
// folder, where a template's own files were out of reach), never in the start folder; a link that
// would write over a file asks first. A link to a template or calculation that is missing, and a
// recent file that went, say so in plain German naming the file (the message once came garbled,
// without the name), and the calculation stays on screen (a failed opening left a grey window).
TEST_F(UserRoadTemplates, ImportSaveAndOpenLinksFindTheirFilesBesideTheTemplate)
{
    const UserFolders user;
    TMainForm& window = Form(Example());
    ChooseOwnTemplates(window, prompts, shell, user);
    user.mine.WriteFile("Werte.csv", "CBSBzb;300\n");
    TempFolder::Write(shell.Folders.DataPath + "Werte.csv", "CBSBzb;222\n");
    Follow(window, nullptr, "FILEIMPORT Werte.csv");
    auto& dialog = velmoran::testing::Dialog(Module());
    EXPECT_EQ(dialog.Module().CurrentCommon().Block(0).Double(block::kCBSBzb), 300);

    Follow(window, nullptr, "FILESAVE Kopie.vda");
    EXPECT_EQ(fs::file_size(user.mine / "Kopie.vda"), 6784u);
    EXPECT_FALSE(fs::exists(user.elsewhere / "Kopie.vda"));
    EXPECT_FALSE(fs::exists(shell.Folders.DataPath + "Kopie.vda"));
    const std::size_t before = prompts.Messages().size();
    prompts.Answer(mrNo);
    Follow(window, nullptr, "FILESAVE Kopie.vda");
    ASSERT_EQ(prompts.Messages().size(), before + 1);
    EXPECT_TRUE(Contains(prompts.Messages().back().Text, "Kopie.vda\xE2\x80\x9C ist bereits vorhanden."));

    const auto missing = [&](const std::string& file) {
        return "Die Datei „" + file + "“ konnte nicht gelesen werden: Die Datei ist nicht (mehr) vorhanden.";
    };
    Follow(window, nullptr, "Fehlt.vst");
    EXPECT_EQ(prompts.Messages().back().Text, missing(user.mine / "Fehlt.vst"));
    EXPECT_FALSE(RunGuarded([&] { Follow(window, nullptr, "FILEOPEN fehlt.vda"); }));
    EXPECT_EQ(prompts.Messages().back().Text, missing(user.mine / "fehlt.vda"));
    EXPECT_FALSE(window.pcResult->isHidden());
    EXPECT_TRUE(Contains(Shown(window), kCalculationShown));
    const std::string gone = shell.Folders.DataPath + "Weg.vda";
    EXPECT_FALSE(RunGuarded([&] { window.MRUListClick(gone); }));
    EXPECT_EQ(prompts.Messages().back().Text, missing(gone));
    EXPECT_TRUE(Contains(Shown(window), kCalculationShown));
}

}  // namespace
