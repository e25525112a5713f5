// The shipped data files: regenerated from their sources byte for byte, and what they hold.
#include "hsg/BundledData.h"

#include "hsg/HsgModule.h"
#include "platform/core/DateTime.h"
#include "platform/core/Stream.h"
#include "tests/support/ExampleCopy.h"

#include <gtest/gtest.h>

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
    EXPECT_TRUE(std::equal(builtIn.ParameterBlock().begin(), builtIn.ParameterBlock().end(),
                           module.CurrentHsg().ParameterBlock().begin()));
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kAlpha), 0.6);
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kOP100), 2.0);
}

TEST(DataFiles, ExampleCalculationHoldsItsResults)
{
    THsgModule module;
    module.ResetToDefaults();
    const velmoran::testing::TempFolder tmp;
    ASSERT_TRUE(module.ReadCalculationFile(velmoran::testing::CopyOfExample(tmp)));
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
