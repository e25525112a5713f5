// A user's own templates in the code page of their choice: the calculation's texts stand in each
// page in the page's own code page, as its own text does, on screen and in the printed PDF.
#include "tests/shell/CalculationFixture.h"
#include "tests/html/viewer/PdfProbe.h"

#include "html/viewer/PageViewer.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

using UserRoadTemplatesTwo = velmoran::testing::CalculationFixture;

// The line of the code-page templates, "Größe" in UTF-8 or Windows-1252 beside the project's name.
std::string CodePageTemplate(bool utf8)
{
    return utf8 ? "<html><head><meta charset=utf-8></head><body><p>Gr\xC3\xB6\xC3\x9F" "e: |Projekt|</p></body></html>"
                : "<html><body><p>Gr\xF6\xDF" "e: |Projekt|</p></body></html>";
}

}  // namespace

// A UTF-8 template, saying so as pages are written today (<meta charset=utf-8>), shows
// "Kläranlage" from the calculation beside its own "Größe": the values went in as Windows-1252
// ("Kl�ranlage"), and such a page was read as Windows-1252 whole.
TEST_F(UserRoadTemplatesTwo, AUtf8TemplateShowsTheCalculationsUmlauts)
{
    TMainForm& window = Form(Example());
    prompts.AnswerFile(files.WriteFile("Eigen.vst", CodePageTemplate(true)));
    window.FileSetScreenTemplateExecute();
    window.ViewResultExecute();
    const std::string source = window.ResultFrame()->DocumentSource();
    EXPECT_NE(source.find("Gr\xC3\xB6\xC3\x9F" "e: Kl\xC3\xA4ranlage Musterstadt"), std::string::npos) << source;
    const std::u16string shown = window.ResultFrame()->GetRangeText(0, static_cast<int>(source.size()));
    EXPECT_NE(shown.find(u"Gr\u00F6\u00DFe: Kl\u00E4ranlage Musterstadt"), std::u16string::npos);
}

// The screen and print templates share one report engine: each writes in its own code page, a
// Windows-1252 screen page beside a UTF-8 print template, and the PDF reads as the screen does.
TEST_F(UserRoadTemplatesTwo, EachTemplateTakesTheValuesInItsOwnCodePage)
{
    TMainForm& window = Form(Example());
    prompts.AnswerFile(files.WriteFile("Eigen.vst", CodePageTemplate(false)));
    window.FileSetScreenTemplateExecute();
    prompts.AnswerFile(files.WriteFile("Eigen.vpt", CodePageTemplate(true)));
    window.FileSetPrinterTemplateExecute();
    window.ViewResultExecute();
    EXPECT_NE(window.ResultFrame()->DocumentSource().find("Gr\xF6\xDF" "e: Kl\xE4ranlage"), std::string::npos);

    const velmoran::testing::PdfPrinter pdf;
    PrintDialogAnswer answer;
    answer.PdfFileName = files / "Eigen.pdf";
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    EXPECT_NE(test::PdfToText(answer.PdfFileName, 1).find("Gr\xC3\xB6\xC3\x9F" "e: Kl\xC3\xA4ranlage Musterstadt"),
              std::string::npos);
    window.ViewResultExecute();
    EXPECT_NE(window.ResultFrame()->DocumentSource().find("Gr\xF6\xDF" "e: Kl\xE4ranlage"), std::string::npos);
}

// A head written once for all one's templates and included ("${kopf.htm:") may say the page's code
// page: the values go in as the page made says, which the template alone does not show (they came
// out as "Kl�ranlage").
TEST_F(UserRoadTemplatesTwo, AnIncludedHeadSaysTheCodePageOfTheValues)
{
    TMainForm& window = Form(Example());
    files.WriteFile("kopf.htm", "<html><head><meta charset=utf-8></head><body>");
    prompts.AnswerFile(files.WriteFile("Eigen.vst", "${kopf.htm:\r\n<p>Gr\xC3\xB6\xC3\x9F" "e: |Projekt|</p></body></html>"));
    window.FileSetScreenTemplateExecute();
    window.ViewResultExecute();
    EXPECT_NE(window.ResultFrame()->DocumentSource().find("Gr\xC3\xB6\xC3\x9F" "e: Kl\xC3\xA4ranlage Musterstadt"),
              std::string::npos);
}
