// The standard screen and print templates expanded over the module's five tables (hand-made
// values), with the alias table of the program folder.
#include "report/Report.h"

#include "ModuleTables.h"
#include "TemplateCheck.h"

#include "platform/FormatSettings.h"
#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace velmoran;
using namespace velmoran::test;

namespace {

const std::string kTemplates = std::string(VELMORAN_DATA_DIR) + "/templates/de/HSG/";

class StandardTemplateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        report.SetDataSetViews(tables.InWindowOrder());
        report.LoadVariables(std::string(VELMORAN_DATA_DIR) + "/VarTab.tra");
        report.SetRecord(1);
        report.SetRecord(0);
    }

    std::string Expand(const std::string& name)
    {
        TMemoryStream in;
        in.LoadFromFile(kTemplates + name);
        TMemoryStream out;
        report.ProcessTemplate(&in, &out);
        const std::filesystem::path artifacts = std::filesystem::path(VELMORAN_ARTIFACTS) / "report";
        std::filesystem::create_directories(artifacts);
        out.SaveToFile((artifacts / ("fake-" + name + ".html")).string());
        return out.ToString();
    }

    ScopedFormatSettings german{FormatSettings::German()};
    ModuleTables tables;
    TReport report;
};

std::string Problems(const std::vector<std::string>& problems)
{
    std::string text;
    for (const auto& p : problems)
        text += p + "\n";
    return text;
}

}  // namespace

TEST_F(StandardTemplateTest, ScreenPageOfAnActiveLoadCase)
{
    const std::string page = Expand("Standard.vst");
    EXPECT_EQ(Problems(CheckResultPage(page, true)), "");
    EXPECT_NE(page.find("Kl\xE4ranlage Musterstadt"), std::string::npos);
    EXPECT_NE(page.find(">1234,5<"), std::string::npos);       // QD
    EXPECT_NE(page.find(">8181<"), std::string::npos);       // VBB
    EXPECT_NE(page.find(">2863<"), std::string::npos);       // VD = VBB * VdV
    EXPECT_NE(page.find(">2346<"), std::string::npos);       // QLN of dh
    EXPECT_NE(page.find(">14.03.2026<"), std::string::npos);
    EXPECT_NE(page.find("Vorgeschaltete Denitrifikation"), std::string::npos);
    EXPECT_NE(page.find("Dreiwertiges Eisen"), std::string::npos);
    EXPECT_NE(page.find("background-color: #FFFF00"), std::string::npos);  // SKSan below 1.5
    EXPECT_NE(page.find("href=\"SETINDEX -\""), std::string::npos);
    EXPECT_NE(page.find("href=\"SETINDEX +\""), std::string::npos);
    for (int n = 1; n <= 6; ++n)
        EXPECT_NE(page.find("href=\"EDITDLG " + std::to_string(n) + "\""), std::string::npos) << n;
    EXPECT_EQ(page.find("Keine Denitrifikation"), std::string::npos);
    EXPECT_EQ(page.find("nicht aktiv"), std::string::npos);
    EXPECT_EQ(page.find("$"), std::string::npos);
    // Lines end CR LF; directive lines leave no empty lines behind.
    EXPECT_EQ(page.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(page.find('\n', 0), page.find("\r\n") + 1);
}

TEST_F(StandardTemplateTest, ScreenPageFollowsTheCodes)
{
    // No denitrification, no precipitant, surface aeration: small tables listed first override
    // the module's fields of the same names.
    TReport engine;
    FakeDataSet dl;
    ModuleTables::Define(dl, "Aktiv:I DV:I QD VdV TTS SKSan");
    dl.AddRow({1.0, 0.0, 1000.0, 0.0, 10.0, 2.5});
    FakeDataSet dh;
    ModuleTables::Define(dh, "AT:I OP100:W OChRW");
    dh.AddRow({1.0, 2.0, 50.0});
    FakeDataSet d;
    ModuleTables::Define(d, "FT:I");
    d.AddRow({0.0});
    engine.SetDataSetViews({&dh, &dl, &d, &tables.ph, &tables.dh, &tables.dp, &tables.dl, &tables.d});
    engine.LoadVariables("");
    TMemoryStream in;
    in.LoadFromFile(kTemplates + "Standard.vst");
    TMemoryStream out;
    engine.ProcessTemplate(&in, &out);
    const std::string page = out.ToString();
    EXPECT_NE(page.find("Keine Denitrifikation"), std::string::npos);
    EXPECT_NE(page.find("Keine F\xE4llung"), std::string::npos);
    EXPECT_NE(page.find("Oberfl\xE4" "chenbel\xFC" "ftung"), std::string::npos);
    EXPECT_NE(page.find(">25,0<"), std::string::npos);  // power OChRW / OP100
    EXPECT_EQ(page.find("Druckbel\xFC" "ftung"), std::string::npos);
    EXPECT_EQ(page.find("R\xFC" "ckf\xFChrverh\xE4ltnis"), std::string::npos);
    EXPECT_EQ(page.find("#FFFF00"), std::string::npos);
}

TEST_F(StandardTemplateTest, InactiveLoadCaseShowsNoValues)
{
    report.SetRecord(2);
    const std::string page = Expand("Standard.vst");
    EXPECT_NE(page.find("nicht aktiv"), std::string::npos);
    EXPECT_EQ(page.find(">Ergebnisse</h2>"), std::string::npos);
    EXPECT_NE(page.find("href=\"SETINDEX +\""), std::string::npos);
    EXPECT_NE(page.find("</html>"), std::string::npos);
}

TEST_F(StandardTemplateTest, PrintPage)
{
    const std::string page = Expand("Standard.vpt");
    EXPECT_EQ(Problems(CheckResultPage(page, false)), "");
    EXPECT_NE(page.find("Kl\xE4ranlage Musterstadt"), std::string::npos);
    EXPECT_NE(page.find(">1234,5<"), std::string::npos);
    EXPECT_NE(page.find(">8181<"), std::string::npos);
    EXPECT_NE(page.find("page-break-before: always"), std::string::npos);
    EXPECT_NE(page.find("<b>Modellparameter</b>"), std::string::npos);
    EXPECT_EQ(page.find("EDITDLG"), std::string::npos);
    EXPECT_EQ(page.find("SETINDEX"), std::string::npos);
}
