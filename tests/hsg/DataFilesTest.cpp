// The shipped data files: regenerated from their sources byte for byte, and what they hold.
#include "hsg/BundledData.h"

#include "framework/RecordFiles.h"
#include "framework/RecordText.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgModule.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmoran;

namespace {
const std::string kData = VELMORAN_DATA_DIR;
}

TEST(DataFiles, RegeneratedFilesEqualTheFilesInTheTree)
{
    const auto files = GenerateBundledData(kData + "/src");
    ASSERT_EQ(files.size(), 5u);
    for (const BundledFile& file : files) {
        const std::string path = kData + "/" + file.Path;
        ASSERT_TRUE(FileExists(path)) << path << " is missing: run tools/hsgdata data/src data";
        EXPECT_TRUE(ReadFileBytes(path) == file.Bytes)
            << path << " differs from its source: run tools/hsgdata data/src data";
    }
}

TEST(DataFiles, ModuleDescription)
{
    EXPECT_EQ(ReadFileBytes(kData + "/HSG.MTX"), "Bemessung nach HSG\nVersion 1.0\n");
}

TEST(DataFiles, NewCalculationFromTheTemplateFolder)
{
    THsgModule module;
    module.SetModuleTemplateFolder(kData + "/templates/de/HSG/");
    module.ResetToDefaults();
    const TCommonRecord& c = module.CurrentCommon();
    const TConstLoadCaseBlock b = c.Block(0);
    EXPECT_EQ(b.Word(block::kFlags), 1);
    EXPECT_EQ(b.String(block::kBezeichn), "Bemessung");
    EXPECT_EQ(c.Block(3).String(block::kBezeichn), "Sonder- lastfall");
    EXPECT_EQ(b.Double(block::kQD), 0.0);
    EXPECT_EQ(b.Double(block::kTSBB), 3.5);
    EXPECT_EQ(b.Bits(block::kProcess, block::kShiftDV, block::kCountDV), 1u);
    EXPECT_EQ(c.ByteAt(common::kOptionB), 0x11) << "RZ 1 and the DN bit";
    EXPECT_EQ(c.ByteAt(common::kFT), 1);
    EXPECT_EQ(c.Double(common::kHE), 5.0);

    THSGRecord builtIn;
    SetBuiltInDefaults(builtIn);
    EXPECT_EQ(module.CurrentHsg().ParameterBlock()[0], builtIn.ParameterBlock()[0]);
    EXPECT_TRUE(std::equal(builtIn.ParameterBlock().begin(), builtIn.ParameterBlock().end(),
                           module.CurrentHsg().ParameterBlock().begin()));
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kAlpha), 0.6);
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kOP100), 2.0);
}

TEST(DataFiles, ExampleCalculationHoldsItsResults)
{
    THsgModule module;
    module.ResetToDefaults();
    ASSERT_TRUE(module.ReadCalculationFile(kData + "/examples/Beispiel.vda"));
    const TCommonRecord& c = module.CurrentCommon();
    EXPECT_EQ(c.String(common::kProjekt), "Kläranlage Musterstadt, Erweiterung der Belebung");
    EXPECT_EQ(c.String(common::kBearbeiter), "Ingenieurbüro Beispiel");
    EXPECT_EQ(c.Data()[common::kBearbeiter + 1 + 10], 0xFC);
    EXPECT_EQ(c.Double(common::kDatum), EncodeDate(2026, 12, 1));

    const TConstLoadCaseBlock b = c.Block(0);
    EXPECT_NEAR(b.Double(block::kTTS), 11.4795684, 5e-8);
    EXPECT_NEAR(c.Double(common::kVBB), 8181.3038, 5e-5);
    EXPECT_NEAR(b.Double(block::kOVh), 208.27715, 5e-6);
    EXPECT_NEAR(module.CurrentHsg().Double(hsg::kQLN), 5596.8137, 5e-5);
    EXPECT_NEAR(b.Double(block::kpH), 6.3215148, 5e-8);

    // Its stored results are those the calculation gives.
    module.TakeEditCopies();
    module.Exec("CALCULATE");
    EXPECT_EQ(module.EditCommon(), module.CurrentCommon());
    EXPECT_EQ(module.EditHsg(), module.CurrentHsg());
}

TEST(RecordText, LinesAddressMembersAndReportBadOnes)
{
    TCommonRecord r;
    ApplyRecordText("QD#2; 12,5 \r\n"
                    "// a comment; with a semicolon\n"
                    "no value here\n"
                    "Bearbeiter;  Müller \n"
                    "EC;1\n"
                    "DV#1;5\n"
                    "Flags#3;129\n",
                    r);
    EXPECT_EQ(r.Block(2).Double(block::kQD), 12.5);
    EXPECT_EQ(r.Block(0).Double(block::kQD), 0.0);
    EXPECT_EQ(r.String(common::kBearbeiter), "Müller");
    EXPECT_EQ(r.Block(0).ByteAt(block::kProcess), 0x80);
    EXPECT_EQ(r.Block(1).ByteAt(block::kProcess), 0x05);
    EXPECT_EQ(r.Block(3).Word(block::kFlags), 129);

    const auto error = [](std::string_view text) {
        TCommonRecord scratch;
        try {
            ApplyRecordText(text, scratch);
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return std::string();
    };
    EXPECT_EQ(error("QD;1\nUnbekannt;1\n").substr(0, 9), "Zeile 2: ");
    EXPECT_NE(error("QD;1.5x\n"), "");
    EXPECT_NE(error("QD#4;1\n"), "");
    EXPECT_NE(error("Projekt#1;x\n"), "");
    EXPECT_NE(error("DV;16\n"), "");
    EXPECT_NE(error("FT;-1\n"), "");
    EXPECT_NE(error("Datum;31.02.2026\n"), "");

    THSGRecord h;
    ApplyRecordText("AT;1\nAlpha;0,7\n", h.View(), HsgRecordMembers());
    EXPECT_EQ(h.AT(), 1);
    EXPECT_EQ(h.Double(hsg::kAlpha), 0.7);
    EXPECT_THROW(ApplyRecordText("QD;1\n", h.View(), HsgRecordMembers()), EConvertError);
}
