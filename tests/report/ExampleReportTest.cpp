// The standard templates expanded over the example calculation as the main window does it: the
// design module's tables in the window's order (ph, dh, dp, dl, d) and the program folder's
// alias table.
#include "report/Report.h"

#include "TemplateCheck.h"

#include "hsg/HsgModule.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"
#include "tests/support/ExampleCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const std::string kData = VELMORAN_DATA_DIR;

class ExampleReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module.SetModuleTemplateFolder(kData + "/templates/de/HSG/");
        module.ResetToDefaults();
        ASSERT_TRUE(module.ReadCalculationFile(velmoran::testing::CopyOfExample(files)));
        std::vector<TDataSet*> dataSets = module.DataSets();
        std::reverse(dataSets.begin(), dataSets.end());
        report.SetDataSets(dataSets);
        report.LoadVariables(kData + "/VarTab.tra");
        report.SetRecord(1);
        report.SetRecord(0);
    }

    std::string Expand(const std::string& name, std::uint8_t loadCase = 0)
    {
        report.SetRecord(loadCase);
        TMemoryStream in;
        in.LoadFromFile(kData + "/templates/de/HSG/" + name);
        TMemoryStream out;
        report.ProcessTemplate(&in, &out);
        const std::filesystem::path artifacts = std::filesystem::path(VELMORAN_ARTIFACTS) / "report";
        std::filesystem::create_directories(artifacts);
        out.SaveToFile((artifacts / ("Beispiel-" + std::to_string(loadCase) + "-" + name + ".html")).string());
        return out.ToString();
    }

    std::string Problems(const std::string& page, bool screen)
    {
        std::string text;
        for (const auto& p : CheckResultPage(page, screen))
            text += p + "\n";
        return text;
    }

    // The example's project, its flow with a decimal comma and a tank volume of three digits or more.
    void ExpectSoundResultPage(const std::string& page, bool screen)
    {
        EXPECT_EQ(Problems(page, screen), "");
        EXPECT_NE(page.find("Kl\xE4ranlage Musterstadt, Erweiterung der Belebung"), std::string::npos);
        EXPECT_NE(page.find(">10000,0<"), std::string::npos);
        EXPECT_TRUE(std::regex_search(page, std::regex("Volumen des Belebungsbeckens.*?>[1-9][0-9]{2,}<")));
    }

    ScopedFormatSettings german{FormatSettings::German()};
    THsgModule module;
    velmoran::testing::TempFolder files;
    TReport report;
};

}  // namespace

TEST_F(ExampleReportTest, ScreenTemplate)
{
    const std::string page = Expand("Standard.vst");
    ExpectSoundResultPage(page, true);
    EXPECT_NE(page.find("Vorgeschaltete Denitrifikation"), std::string::npos);
    EXPECT_NE(page.find("Dreiwertiges Eisen"), std::string::npos);
    EXPECT_NE(page.find(">01.12.2026<"), std::string::npos);
    EXPECT_NE(page.find("href=\"SETINDEX -\""), std::string::npos);
    EXPECT_NE(page.find("href=\"SETINDEX +\""), std::string::npos);
    EXPECT_EQ(page.find("#FFFF00"), std::string::npos);
    EXPECT_EQ(page.find("$"), std::string::npos);
    EXPECT_EQ(page.find("\r\n\r\n"), std::string::npos);  // directive lines leave no empty lines
    // Every line ends CR LF.
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), std::count(page.begin(), page.end(), '\r'));
    const std::regex link("href=\"EDITDLG ([0-9]+)\"");
    std::set<int> pages;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it)
        pages.insert(std::stoi((*it)[1].str()));
    EXPECT_EQ(pages, (std::set<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(ExampleReportTest, CodesSelectTheBlocks)
{
    // No denitrification, no precipitant, surface aeration, a low effluent acid capacity.
    auto set = [](TDataSet& table, const char* field, double value) {
        table.First();
        table.Edit();
        table.FieldByName(field).SetAsFloat(value);
        table.Post();
    };
    set(module.DataModul().dl, "DV", 0);
    set(module.DataModul().dl, "SKSan", 1.2);
    set(module.DataModul().d, "FT", 0);
    set(module.dh(), "AT", 1);
    set(module.dh(), "OChRW", 50);
    set(module.dh(), "OP100", 1.25);
    const std::string page = Expand("Standard.vst");
    EXPECT_EQ(Problems(page, true), "");
    EXPECT_NE(page.find("Keine Denitrifikation"), std::string::npos);
    EXPECT_NE(page.find("Keine F\xE4llung"), std::string::npos);
    EXPECT_NE(page.find("Oberfl\xE4" "chenbel\xFC" "ftung"), std::string::npos);
    // The power OChRW / OP100 with the yield as typed, not rounded to 1.
    EXPECT_NE(page.find(">40,0<"), std::string::npos);
    EXPECT_NE(page.find(">1,25<"), std::string::npos);
    EXPECT_NE(page.find("background-color: #FFFF00"), std::string::npos);
    for (const char* absent : {"Druckbel\xFC" "ftung", "R\xFC" "ckf\xFChrverh\xE4ltnis", "Vorgeschaltete",
                               "Dreiwertiges", "Einblastiefe", "Luftmenge Q"})
        EXPECT_EQ(page.find(absent), std::string::npos) << absent;
}

TEST_F(ExampleReportTest, InactiveLoadCase)
{
    const std::string page = Expand("Standard.vst", 1);
    EXPECT_NE(page.find("Dieser Lastfall ist nicht aktiv."), std::string::npos);
    EXPECT_EQ(page.find(">Ergebnisse</h2>"), std::string::npos);
    EXPECT_NE(page.find("Kl\xE4ranlage Musterstadt"), std::string::npos);
}

TEST_F(ExampleReportTest, PrintTemplate)
{
    const std::string page = Expand("Standard.vpt");
    ExpectSoundResultPage(page, false);
    EXPECT_NE(page.find("page-break-before: always"), std::string::npos);
    EXPECT_NE(page.find(">0,75<"), std::string::npos);  // Yh among the model parameters
    EXPECT_EQ(page.find("EDITDLG"), std::string::npos);
    EXPECT_EQ(page.find("SETINDEX"), std::string::npos);
}

// The acid-capacity table of the print page: the pH row stood behind a name no table carries and
// never showed, so the table is headed by the acid capacity alone and ends with the effluent
// value. The screen page keeps its heading and points to the input page for the pH.
TEST_F(ExampleReportTest, AcidCapacityTables)
{
    const std::string print = Expand("Standard.vpt");
    EXPECT_EQ(Problems(print, false), "");
    const std::size_t heading = print.find("<b>S\xE4urekapazit\xE4t</b>");
    ASSERT_NE(heading, std::string::npos);
    const std::string table = print.substr(heading, print.find("</table>", heading) - heading);
    EXPECT_EQ(print.find("S\xE4urekapazit\xE4t und pH-Wert"), std::string::npos);
    EXPECT_EQ(print.find("pH-Wert im Belebungsbecken"), std::string::npos);
    EXPECT_TRUE(std::regex_search(table, std::regex("S\xE4urekapazit\xE4t im Ablauf.*?>4,70</b></td><td>mmol/l</td></tr>\\s*$")))
        << table;

    const std::string screen = Expand("Standard.vst");
    EXPECT_EQ(Problems(screen, true), "");
    EXPECT_NE(screen.find("<b>S\xE4urekapazit\xE4t und pH-Wert</b>"), std::string::npos);
    EXPECT_NE(screen.find("<a href=\"EDITDLG 6\">auf der Eingabeseite Bel\xFC" "ftung und S\xE4urekapazit\xE4t</a>"),
              std::string::npos);
}
