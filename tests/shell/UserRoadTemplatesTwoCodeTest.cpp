// A user's own templates written in the code page of their choice, from a folder of their own with
// the program started from another folder: a UTF-8 template shows the calculation's umlauts as
// its own text shows them, on screen and in the printed PDF, and the pictures a Windows-1252
// template names (an umlaut, two names apart only by case, a size with its unit) are the ones
// beside it, on screen and in print.
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TemplatePictures.h"
#include "tests/html/viewer/PdfProbe.h"

#include "html/viewer/PageViewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace velmoran;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

using UserRoadTemplatesTwo = velmoran::testing::CalculationFixture;

// The user's template folder, and the folder the program is started from.
struct CodePageFolders {
    TempFolder mine;
    TempFolder elsewhere;
    velmoran::testing::StartedIn started{elsewhere.Folder()};
};

// The user takes the screen and print templates of their folder and looks at the result.
void ChooseCodePageTemplates(TMainForm& window, ScriptedPromptService& prompts, const CodePageFolders& user,
                             const std::string& screen, const std::string& print)
{
    window.resize(900, 700);
    window.show();
    prompts.AnswerFile(user.mine / screen);
    window.FileSetScreenTemplateExecute();
    prompts.AnswerFile(user.mine / print);
    window.FileSetPrinterTemplateExecute();
    window.ViewResultExecute();
}

// Prints the calculation to a PDF of that name in the test's files; empty when none came out.
std::string PrintCodePagePdf(TMainForm& window, ScriptedPromptService& prompts, const std::string& file)
{
    const velmoran::testing::PdfPrinter pdf;
    PrintDialogAnswer answer;
    answer.PdfFileName = file;
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    return fs::exists(file) ? file : std::string();
}

}  // namespace

// A template written in UTF-8 and saying so in the form pages are written with today
// (<meta charset=utf-8>): the project's name "Kläranlage Musterstadt" from the calculation stands
// beside the template's own "Größe" in UTF-8, on screen and in the PDF. The values went in as
// Windows-1252 ("Kl�ranlage"), and the page itself was read as Windows-1252.
TEST_F(UserRoadTemplatesTwo, AUtf8TemplateShowsTheCalculationsUmlautsOnScreenAndInPrint)
{
    const CodePageFolders user;
    const std::string page = "<html><head><meta charset=utf-8></head><body>"
                             "<p>Gr\xC3\xB6\xC3\x9F" "e: |Projekt|</p></body></html>";
    user.mine.WriteFile("Eigen.vst", page);
    user.mine.WriteFile("Eigen.vpt", page);
    TMainForm& window = Form(Example());
    ChooseCodePageTemplates(window, prompts, user, "Eigen.vst", "Eigen.vpt");
    TPageViewer* result = window.ResultFrame();
    ASSERT_NE(result, nullptr);
    const std::string source = result->DocumentSource();
    EXPECT_NE(source.find("Gr\xC3\xB6\xC3\x9F" "e: Kl\xC3\xA4ranlage Musterstadt"), std::string::npos) << source;
    const std::u16string shown = result->GetRangeText(0, static_cast<int>(source.size()));
    EXPECT_NE(shown.find(u"Gr\u00F6\u00DFe: Kl\u00E4ranlage Musterstadt"), std::u16string::npos);

    const std::string pdf = PrintCodePagePdf(window, prompts, files / "Eigen.pdf");
    ASSERT_FALSE(pdf.empty()) << (prompts.Messages().empty() ? "" : prompts.Messages().back().Text);
    EXPECT_NE(test::PdfToText(pdf, 1).find("Gr\xC3\xB6\xC3\x9F" "e: Kl\xC3\xA4ranlage Musterstadt"), std::string::npos)
        << test::PdfToText(pdf, 1);
    EXPECT_TRUE(prompts.Messages().empty());
}

// A Windows-1252 template (the program's own code page) beside its pictures: "Bildä.png" is found
// although the file system names it in UTF-8, "a.png" and "A.png" are two pictures, and a size
// written "60px" is 60 pixels; on screen and in the PDF. The umlaut's picture was not found, the
// capital's showed the other's colour, and the sized picture vanished.
TEST_F(UserRoadTemplatesTwo, PicturesAreNamedAsTheFileSystemNamesThem)
{
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), green = qRgb(0, 160, 0);
    const CodePageFolders user;
    velmoran::testing::Picture(user.mine / "a.png", red);
    velmoran::testing::Picture(user.mine / "A.png", blue);
    velmoran::testing::Picture(user.mine / "Bild\xC3\xA4.png", green);
    const std::string page = "<html><body><p>|Projekt|</p><p><img src=\"a.png\"> <img src=\"A.png\"> "
                             "<img src=\"Bild\xE4.png\" width=\"60px\"></p></body></html>";
    user.mine.WriteFile("Bilder.vst", page);
    user.mine.WriteFile("Bilder.vpt", page);
    TMainForm& window = Form(Example());
    ChooseCodePageTemplates(window, prompts, user, "Bilder.vst", "Bilder.vpt");
    ASSERT_NE(window.ResultFrame(), nullptr);
    const QImage screen = window.ResultFrame()->grab().toImage();
    screen.save(QString::fromStdString(velmoran::testing::TemplateArtifact("namen-bildschirm.png")));
    EXPECT_GT(velmoran::testing::Pixels(screen, red), 1000);
    EXPECT_GT(velmoran::testing::Pixels(screen, blue), 1000);
    EXPECT_GT(velmoran::testing::Pixels(screen, green), 2400);  // 60 × 45

    const std::string pdf = PrintCodePagePdf(window, prompts, files / "Bilder.pdf");
    ASSERT_FALSE(pdf.empty()) << (prompts.Messages().empty() ? "" : prompts.Messages().back().Text);
    const QImage printed = velmoran::testing::PdfPage(pdf, "namen-pdf");
    ASSERT_FALSE(printed.isNull());
    EXPECT_GT(velmoran::testing::Pixels(printed, red), 100);
    EXPECT_GT(velmoran::testing::Pixels(printed, blue), 100);
    EXPECT_GT(velmoran::testing::Pixels(printed, green), 200);
    EXPECT_TRUE(prompts.Messages().empty());
}
