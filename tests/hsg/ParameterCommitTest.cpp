// What the module does when the user confirms a dialog: edit copies committed only when they
// differ (a confirmed look at the data keeps the unsaved flag), confirmed model parameters
// committed with a recalculation, a block the design refuses named before OK takes it,
// parameters kept as defaults in both defaults files (a refused one read back as the built-in),
// and the file commands that refuse to work without a file name.
#include "hsg/HsgModule.h"

#include "Scenario.h"
#include "tests/framework/RecordHelpers.h"
#include "tests/support/ExampleCopy.h"
#include "framework/RecordFiles.h"
#include "hsg/HsgCalculation.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <limits>
#include <optional>
#include <fstream>

using namespace velmoran;
using velmoran::testing::Bytes;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

const std::string kData = VELMORAN_DATA_DIR;

using Block = std::array<std::uint8_t, hsg::kParameterBlockSize>;

// The record's parameter block with one parameter changed.
Block ChangedBlock(const THSGRecord& record, std::size_t offset, double value)
{
    THSGRecord changed = record;
    changed.SetDouble(offset, value);
    Block block;
    std::ranges::copy(changed.ParameterBlock(), block.begin());
    return block;
}

// The template folder's defaults files copied into a fresh folder.
void CopyTemplates(const TempFolder& tmp)
{
    for (const char* name : {"hsg.vdt", "common.vdt"})
        fs::copy_file(kData + "/templates/de/HSG/" + name, tmp / name);
}

// A module whose current records are the plant's.
THsgModule ModuleWith(const velmoran::testing::Plant& plant)
{
    THsgModule module;
    module.CurrentCommon() = plant.common;
    module.CurrentHsg() = plant.hsg;
    return module;
}

}  // namespace

TEST(HsgModuleCommit, ConfirmedCopiesWithoutDifferenceKeepTheFlag)
{
    const auto plant = velmoran::testing::ScenarioA();
    THsgModule module = ModuleWith(plant);
    module.TakeEditCopies();
    module.EditCommon().Block(0).SetDouble(block::kT, 10);
    ASSERT_TRUE(module.CommitEditCopies());

    // A second look confirmed without change: the first change is still unsaved.
    for (const bool before : {true, false}) {
        module.SetModified(before);
        module.TakeEditCopies();
        EXPECT_FALSE(module.CommitEditCopies());
        EXPECT_EQ(module.Modified(), before);
    }
}

TEST(HsgModuleCommit, CalculationThatRaisesCommitsNothing)
{
    const auto plant = velmoran::testing::ScenarioA();
    THsgModule module = ModuleWith(plant);
    module.TakeEditCopies();
    module.EditCommon().Block(0).SetDouble(block::kQD, 0);  // divides by the daily flow
    EXPECT_THROW(module.CommitEditCopies(), EMathError);
    EXPECT_FALSE(module.Modified()) << "nothing was committed, so nothing is unsaved";
    EXPECT_EQ(module.CurrentCommon(), plant.common);
    EXPECT_EQ(module.CurrentHsg(), plant.hsg);
}

class HsgModuleParameters : public ::testing::Test {
protected:
    HsgModuleParameters()
    {
        CopyTemplates(tmp);
        module.SetModuleTemplateFolder(tmp.Folder());
        module.Exec("INITDATA");
    }
    ScopedFormatSettings german{FormatSettings::German()};
    TempFolder tmp;
    THsgModule module;
};

TEST_F(HsgModuleParameters, ConfirmedParametersAreCommittedWithTheirResults)
{
    ASSERT_TRUE(module.Exec("READDATA", {.Text = velmoran::testing::CopyOfExample(tmp)}));
    TCommonRecord expectedCommon = module.CurrentCommon();
    THSGRecord expectedHsg = module.CurrentHsg();
    const std::string oldVolume = module.GetValueText("VBB");
    expectedHsg.SetDouble(hsg::kYh, 0.7);
    HsgCalculate(expectedCommon, expectedHsg);

    EXPECT_TRUE(module.ApplyParameters(ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7)));
    EXPECT_TRUE(module.Modified());
    EXPECT_EQ(Bytes(module.CurrentCommon()), Bytes(expectedCommon));
    EXPECT_EQ(Bytes(module.CurrentHsg()), Bytes(expectedHsg));
    // "Yh" by name is the common record's parameter set (`dp` comes first); the module's own
    // parameters are in `ph`.
    EXPECT_EQ(module.ph().FieldByName("Yh").AsString(), "0,7");
    EXPECT_NE(module.GetValueText("VBB"), oldVolume) << "the tables show the new results";

    // The same block again: nothing to commit, the flag stays as it is.
    module.SetModified(false);
    EXPECT_FALSE(module.ApplyParameters(module.CurrentHsg().ParameterBlock()));
    EXPECT_FALSE(module.Modified());
    EXPECT_EQ(Bytes(module.CurrentCommon()), Bytes(expectedCommon));
    EXPECT_EQ(Bytes(module.CurrentHsg()), Bytes(expectedHsg));
}

TEST_F(HsgModuleParameters, CalculationThatRaisesKeepsTheParametersCommitted)
{
    // A new calculation has no flow yet, so the recalculation divides by zero.
    const TCommonRecord common = module.CurrentCommon();
    const Block block = ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7);
    EXPECT_THROW(module.ApplyParameters(block), EMathError);
    EXPECT_TRUE(std::ranges::equal(module.CurrentHsg().ParameterBlock(), block));
    EXPECT_TRUE(module.Modified());
    EXPECT_EQ(module.CurrentCommon(), common) << "the results keep their values";
    EXPECT_EQ(module.ph().FieldByName("Yh").AsString(), "0,7");
}

TEST_F(HsgModuleParameters, DefaultsKeepTheNewParameters)
{
    const std::string oldCommon = TempFolder::Read(tmp / "common.vdt");
    const Block block = ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7);
    const SaveResult saved = module.SaveDefaultParameters(block);
    ASSERT_TRUE(saved) << saved.Message;

    THSGRecord expected = module.DefaultHsg();
    expected.SetDouble(hsg::kYh, 0.7);
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), Bytes(expected)) << "the rest of the default record is kept";
    EXPECT_EQ(fs::file_size(tmp / "common.vdt"), 6784u);
    EXPECT_EQ(TempFolder::Read(tmp / "common.vdt"), oldCommon);
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kYh), 0.75) << "saving defaults commits nothing";

    THsgModule next;
    next.SetModuleTemplateFolder(tmp.Folder());
    next.Exec("INITDATA");
    EXPECT_EQ(next.CurrentHsg().Double(hsg::kYh), 0.7);
}

TEST_F(HsgModuleParameters, FailedDefaultsWriteKeepsTheOldFile)
{
    // A folder stands where "hsg.vdt" goes: it cannot be replaced; "common.vdt" still is.
    fs::remove(tmp / "hsg.vdt");
    fs::create_directories(tmp / "hsg.vdt/inside");
    fs::remove(tmp / "common.vdt");
    const SaveResult saved = module.SaveDefaultParameters(ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7));
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message.find("hsg.vdt"), std::string::npos) << saved.Message;
    EXPECT_NE(saved.Message.find("konnte nicht gespeichert werden"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(tmp / "hsg.vdt/inside"));
    EXPECT_EQ(fs::file_size(tmp / "common.vdt"), 6784u);

    THsgModule noFolder;
    const SaveResult nowhere = noFolder.SaveDefaultParameters(noFolder.CurrentHsg().ParameterBlock());
    EXPECT_FALSE(nowhere);
    EXPECT_FALSE(nowhere.Message.empty());
}

TEST_F(HsgModuleParameters, ReadOnlyTemplateFolderKeepsBothFiles)
{
    const std::string oldHsg = TempFolder::Read(tmp / "hsg.vdt");
    const std::string oldCommon = TempFolder::Read(tmp / "common.vdt");
    fs::permissions(tmp.Folder(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool writable = std::ofstream(tmp / "probe").good();
    if (writable) {
        fs::permissions(tmp.Folder(), fs::perms::owner_all);
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    const SaveResult saved = module.SaveDefaultParameters(ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7));
    fs::permissions(tmp.Folder(), fs::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message.find("common.vdt"), std::string::npos) << saved.Message;
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), oldHsg);
    EXPECT_EQ(TempFolder::Read(tmp / "common.vdt"), oldCommon);
}

TEST_F(HsgModuleParameters, FileCommandsWithoutNameTouchNothing)
{
    const fs::path workingFolder = fs::current_path();
    fs::current_path(tmp.Folder());
    module.SetModified(true);
    EXPECT_FALSE(module.Exec("SAVEDATA", {.Text = ""}));
    EXPECT_FALSE(module.Exec("READDATA", {.Text = ""}));
    EXPECT_FALSE(fs::exists(tmp / ".vda"));
    EXPECT_FALSE(fs::exists(tmp / ".vdh"));
    EXPECT_TRUE(module.Modified());
    fs::current_path(workingFolder);
}

// What the parameter dialog asks at OK: a parameter the design refuses on its own is named, and a
// block that makes the example's design fail is refused by the field the design names; a new
// calculation without a flow takes any block the design can use.
TEST_F(HsgModuleParameters, ABlockTheDesignRefusesIsNamed)
{
    const Block fresh = ChangedBlock(module.CurrentHsg(), hsg::kYh, 0.7);
    EXPECT_EQ(module.RefusedParameters(fresh), std::nullopt) << "no flow yet: no fault of the parameters";
    EXPECT_EQ(module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kaTh, 0))->Field(), "aTh");

    ASSERT_TRUE(module.Exec("READDATA", {.Text = velmoran::testing::CopyOfExample(tmp)}));
    EXPECT_EQ(module.RefusedParameters(module.CurrentHsg().ParameterBlock()), std::nullopt);
    EXPECT_EQ(module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kMUEaMax, 0))->Field(), "MUEaMax");
    // Decay faster than growth at the temperature: the parameter changed is named, not the
    // temperature (which the parameter dialog does not show).
    EXPECT_EQ(module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kBa, 0.5))->Field(), "Ba");
    EXPECT_EQ(module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kfXPBM, 0.2)), std::nullopt);

    // Refused at its last stage (c_x at saturation), the calculation took a block refused before
    // it, and every result turned "#" without a word; one refused as before is taken.
    module.CurrentCommon().Block(0).SetDouble(block::kcx, 20);
    EXPECT_EQ(module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kMUEaMax, 0.7)), std::nullopt);
    const std::optional<ERefusedInput> bound = module.RefusedParameters(ChangedBlock(module.CurrentHsg(), hsg::kfXNBM, 1));
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->Field(), "fXNBM");
    module.CurrentCommon().Block(0).SetDouble(block::kcx, 2);

    // A calculation refused for its inflow (nothing left to nitrify) once let any block through,
    // and with "Als Standardwerte verwenden" into "hsg.vdt": every new calculation stopped.
    module.CurrentCommon().Block(0).SetDouble(block::kCTKNzb, 18);
    module.CurrentCommon().Block(0).SetDouble(block::kXTSzb, 900);
    const Block decaying = ChangedBlock(module.CurrentHsg(), hsg::kBa, 5);
    const std::optional<ERefusedInput> refusal = module.RefusedParameters(decaying);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->Field(), "Ba");
    EXPECT_EQ(refusal->Message().rfind("Der Wert 5 im Feld „Zerfallsrate (Autotrophe Organismen)“", 0), 0u)
        << refusal->Message();
    EXPECT_EQ(module.RefusedParameters(fresh), std::nullopt) << "refused before as after: no fault of the block";
    // Kept as defaults only where new calculations, at the defaults' 12 °C, can use it.
    module.CurrentCommon().Block(0).SetDouble(block::kT, 30);
    const Block warmOnly = ChangedBlock(module.CurrentHsg(), hsg::kBa, 0.3);
    EXPECT_EQ(module.RefusedParameters(warmOnly), std::nullopt);
    EXPECT_EQ(module.RefusedParameters(warmOnly, true)->Field(), "Ba");
    const std::string defaults = TempFolder::Read(tmp / "hsg.vdt");
    EXPECT_FALSE(module.SaveDefaultParameters(warmOnly));
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), defaults);
}

// An earlier version wrote a temperature constant of 0 into "hsg.vdt" when asked to keep it as a
// default: every new calculation then stopped, and the parameter dialog could not be reached.
// A parameter the design refuses on its own takes its built-in value; the others stay the file's.
TEST_F(HsgModuleParameters, ADefaultsFileWithARefusedParameterTakesTheBuiltInOne)
{
    THSGRecord stored = module.DefaultHsg();
    stored.SetDouble(hsg::kaTh, 0);
    stored.SetDouble(hsg::kMUEaMax, std::numeric_limits<double>::quiet_NaN());
    stored.SetDouble(hsg::kYh, 0.7);
    // Refused only at the defaults' temperature: nitrifiers decaying faster than they grow.
    stored.SetDouble(hsg::kBa, 5);
    // A sign typed wrong, kept by an earlier version.
    stored.SetDouble(hsg::kBh, -0.17);
    ASSERT_TRUE(WriteRecordFile(tmp / "hsg.vdt", stored.Raw()).Ok);
    module.Exec("INITDATA");
    EXPECT_EQ(module.DefaultHsg().Double(hsg::kaTh), 1.072);
    EXPECT_EQ(module.DefaultHsg().Double(hsg::kMUEaMax), 0.52);
    EXPECT_EQ(module.DefaultHsg().Double(hsg::kBa), 0.05);
    EXPECT_EQ(module.DefaultHsg().Double(hsg::kBh), 0.17);
    EXPECT_EQ(module.DefaultHsg().Double(hsg::kYh), 0.7);
    EXPECT_EQ(module.CurrentHsg(), module.DefaultHsg());
}
