// The user's road through templates of their own by the names the user gives them and their
// files, the program started from another folder: a template named with a "#", includes named
// with an umlaut, an open comment in a print or screen template or in the page one makes, and the
// names an export writes.
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TemplateRoad.h"

#include "controls/EnhCombo.h"
#include "platform/core/Text.h"

using namespace velmoran;
using namespace velmoran::testing;
namespace fs = std::filesystem;

namespace {

using UserRoadTemplatesTwo = CalculationFixture;

}  // namespace

// A template whose file is named with a "#" ("Lastfall#2.vst") serves as any other: the viewer took
// the "#" for the start of a place on the page and looked for the file "Lastfall".
TEST_F(UserRoadTemplatesTwo, ATemplateNamedWithANumberSignServes)
{
    OwnTemplateFolders user;
    const std::string own = user.mine.WriteFile("Lastfall#2.vst", "<p>|Projekt|</p>");
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, own);
    EXPECT_TRUE(prompts.Messages().empty()) << LastTold(prompts);
    EXPECT_TRUE(StartsWith(window.cbxScreenTpl->Text(), "Lastfall#2.vst"));
    EXPECT_EQ(window.ResultFrame()->GetCurrentFile(), own);
    EXPECT_EQ(Shown(window), "<p>" + kProjectShown + "</p>\r\n");
}

// An export names the pictures of a Windows-1252 print template as the print reads them:
// "Bild\xE4.png" and "Gr&ouml;&szlig;e.png" are the files "Bildä.png" and "Größe.png" beside the
// template (they kept the names as written, which the export's folder does not hold, and the
// exported page showed neither).
TEST_F(UserRoadTemplatesTwo, AnExportFindsPicturesNamedWithUmlauts)
{
    OwnTemplateFolders user;
    Picture(user.mine / "Bild\xC3\xA4.png", kOwnRed);
    Picture(user.mine / "Gr\xC3\xB6\xC3\x9F" "e.png", kOwnBlue);
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts,
                      user.mine.WriteFile("Eigene.vpt", "<p>|Projekt|</p><p><img src=\"Bild\xE4.png\"> "
                                                        "<img src='Gr&ouml;&szlig;e.png'></p>"),
                      false);
    prompts.AnswerFile(files / "Bericht.html");
    window.FileExportExecute();
    TPageViewer exported;
    exported.resize(600, 300);
    exported.LoadDocumentFile(files / "Bericht.html");
    const QImage shown = exported.grab().toImage();
    EXPECT_EQ(Pixels(shown, kOwnRed), 1200);
    EXPECT_EQ(Pixels(shown, kOwnBlue), 1200);
}

// A print template whose comment is never closed is refused when chosen, as a screen template is
// (it was taken, and every print, preview and export stopped with the English "Open Comment at End
// of HTML File"); a page whose expansion leaves a comment open says so in German.
TEST_F(UserRoadTemplatesTwo, APrintTemplateWithACommentLeftOpenIsRefusedInGerman)
{
    OwnTemplateFolders user;
    TMainForm& window = Form(Example());
    ChooseOwnTemplate(window, prompts, user.mine.WriteFile("Offen.vpt", "<p>|Projekt|</p><!-- offen"), false);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_TRUE(Contains(LastTold(prompts), "Offen.vpt\xE2\x80\x9C kann nicht verwendet werden. Ein Kommentar"))
        << LastTold(prompts);
    EXPECT_EQ(fs::path(shell.Templates.PrintTemplateName()).filename(), "Standard.vpt");
    EXPECT_TRUE(window.BuildPrintReport());

    ChooseOwnTemplate(window, prompts, user.mine.WriteFile("Bedingt.vpt", "<p>|Projekt|</p><!-- a $?1=2: -->$\r\n"),
                      false);
    EXPECT_FALSE(window.BuildPrintReport());
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(Contains(LastTold(prompts), "Bedingt.vpt\xE2\x80\x9C f\xC3\xBCr diese Berechnung ergibt, kann nicht "
                                            "dargestellt werden. Ein Kommentar"))
        << LastTold(prompts);
}

// A screen template whose page leaves a comment open for one load case only (the condition drops
// the comment's end) keeps the page shown before, in the whole view and in the frame "Main", and
// the message names the template (the result area was emptied and the message named no template).
// A load case its page can be made for shows again.
TEST_F(UserRoadTemplatesTwo, APageItsTemplateCannotMakeLeavesThePageBeforeAndNamesTheTemplate)
{
    OwnTemplateFolders user;
    user.mine.WriteFile("Bedingt.vst", "<p>|Projekt|</p><!-- a $?Aktiv=1: -->$\r\n");
    user.mine.WriteFile("Rahmen.vst", "<frameset cols=\"100,*\"><frame name=\"Menue\" src=\"menue.htm\">"
                                      "<frame name=\"Main\" src=\"Bedingt.vst\"></frameset>");
    user.mine.WriteFile("menue.htm", "<p>Men\xFC</p>");
    TMainForm& window = Form(Example());
    window.show();
    ChooseOwnTemplate(window, prompts, user.mine / "Bedingt.vst");
    ASSERT_TRUE(prompts.Messages().empty()) << LastTold(prompts);
    const std::string before = Shown(window);
    ASSERT_TRUE(StartsWith(before, "<p>" + kProjectShown + "</p>"));

    const auto pageBeforeStays = [&](std::size_t told, const char* frame) {
        ASSERT_EQ(prompts.Messages().size(), told);
        EXPECT_TRUE(Contains(LastTold(prompts), "Die Seite, die die Bildschirmvorlage \xE2\x80\x9E" +
                                                    user.mine / "Bedingt.vst" + "\xE2\x80\x9C f\xC3\xBCr diese "
                                                    "Berechnung ergibt, kann nicht dargestellt werden. Ein Kommentar"))
            << LastTold(prompts);
        EXPECT_TRUE(LastTold(prompts).ends_with("Gezeigt bleibt die Seite davor.")) << LastTold(prompts);
        EXPECT_EQ(Shown(window, frame), before);
        EXPECT_TRUE(window.pcResult->isVisible());
    };
    window.ExecuteCommand("SETINDEX +");
    pageBeforeStays(1, nullptr);

    // Chosen while the load case its page cannot be made for is shown: the page of the template
    // before stays, in the frame "Main" of the one chosen.
    ChooseOwnTemplate(window, prompts, user.mine / "Rahmen.vst");
    pageBeforeStays(2, "Main");
    EXPECT_TRUE(StartsWith(window.cbxScreenTpl->Text(), "Rahmen.vst"));
    window.ExecuteCommand("SETINDEX 0");
    EXPECT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(Shown(window, "Main"), before);
}
