// The design module's tables: what UpdateDataSets shows, value texts by field name, and taking
// table values back into the records with SETTODATA.
#include "hsg/HsgModule.h"

#include "Scenario.h"
#include "tests/framework/RecordHelpers.h"
#include "tests/support/ExampleCopy.h"
#include "hsg/HsgCalculation.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace velmoran;
using velmoran::testing::Bytes;
using velmoran::testing::Contents;
using velmoran::testing::Row;
using velmoran::testing::TempFolder;

namespace {

// Sets one field of a row as the value import does.
void Put(TDataSet& table, int row, std::string_view field, double value)
{
    Row(table, row).Edit();
    table.FieldByName(field).SetAsFloat(value);
    table.Post();
}

class ModuleTables : public ::testing::Test {
protected:
    ModuleTables()
    {
        module.SetModuleTemplateFolder(tmp.Folder());
        module.Exec("INITDATA");
    }

    // Makes the pair the current calculation through the files, as the shell does.
    void Load(const velmoran::testing::Plant& plant)
    {
        TempFolder::Write(tmp / "plant.vda", Bytes(plant.common));
        TempFolder::Write(tmp / "plant.vdh", Bytes(plant.hsg));
        ASSERT_TRUE(module.Exec("READDATA", {.Text = tmp / "plant.vda"}));
    }

    ScopedFormatSettings german{FormatSettings::German()};
    TempFolder tmp;
    THsgModule module;
    TDataModul& dm = module.DataModul();
};

}  // namespace

TEST_F(ModuleTables, DataSetsAndWhatTheModuleTablesShow)
{
    std::vector<std::string> names;
    for (TDataSet* table : module.DataSets())
        names.push_back(table->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"d", "dl", "dp", "dh", "ph"}));
    EXPECT_EQ(module.dh().FieldCount(), 20);
    EXPECT_EQ(module.ph().FieldCount(), 18);
    const auto fieldNames = module.FieldNames();
    ASSERT_EQ(fieldNames.size(), 89u + 78 + 40 + 20 + 18);
    EXPECT_EQ(fieldNames.front(), "Projekt");
    EXPECT_EQ(fieldNames[89], "Bezeichn");
    EXPECT_EQ(fieldNames[89 + 78 + 40], "SFH");
    EXPECT_EQ(fieldNames.back(), "fKLA");

    // After INITDATA every table has its rows.
    EXPECT_EQ(module.dh().RecordCount(), 1);
    EXPECT_EQ(module.ph().RecordCount(), 1);
    EXPECT_EQ(dm.dl.RecordCount(), 4);
    EXPECT_EQ(module.dh().FieldByName("SFH").AsString(), "1,25");
    EXPECT_EQ(module.dh().FieldByName("SH").AsString(), "1,7");
    EXPECT_EQ(module.ph().FieldByName("aTh").AsString(), "1,072");
    EXPECT_EQ(module.ph().FieldByName("fXPBM").AsString(), "0,03");
    EXPECT_TRUE(module.ph().FieldByName("fKLA").IsNull());
    EXPECT_TRUE(module.dh().FieldByName("EtaVD").IsNull());

    auto plant = velmoran::testing::ScenarioA();
    plant.hsg.SetAT(1);
    for (std::size_t i = 121; i < 128; ++i)
        plant.hsg.Raw()[i] = 0xFF;  // the rest of AT's slot is not part of the value
    plant.hsg.SetDouble(hsg::kMA, 321.5);
    Load(plant);
    EXPECT_EQ(module.dh().FieldByName("AT").AsInteger(), 1);
    EXPECT_EQ(module.dh().FieldByName("MA").AsString(), "321,5");
    EXPECT_EQ(module.dh().FieldByName("EtaPBio").AsString(), "20");
    EXPECT_EQ(Row(dm.dl, 0).FieldByName("QD").AsString(), "10000");
    EXPECT_EQ(dm.d.FieldByName("FTYP").AsString(), "Dreiwertiges Eisen");
}

// A surface aerator's oxygen yield was rounded to a whole number, 1,4 kg/kWh to 1, and the power
// demand of the page computed from that.
TEST_F(ModuleTables, OP100KeepsItsFraction)
{
    auto plant = velmoran::testing::ScenarioA();
    plant.hsg.SetDouble(hsg::kOP100, 1.4);
    Load(plant);
    EXPECT_EQ(module.dh().FieldByName("OP100").AsString(), "1,4");
}

TEST_F(ModuleTables, ValueTextsByFieldName)
{
    auto plant = velmoran::testing::ScenarioA();
    plant.common.SetString(common::kProjekt, "Kläranlage Süd");
    plant.common.SetString(common::kBearbeiter, std::string(120, 'b'));
    plant.common.SetDouble(common::kDatum, EncodeDate(2024, 3, 1));
    plant.common.Block(0).SetByte(block::kProcess, 0xC5);
    plant.common.Block(1).SetDouble(block::kQD, 200);  // block 1 stays inactive
    plant.common.Block(2).SetWord(block::kFlags, 1);
    plant.common.Block(2).SetDouble(block::kQD, 300.25);
    plant.common.SetDouble(common::kParameterSet + 8 * 19, 0.5);  // fKS of the parameter set
    plant.hsg.SetDouble(hsg::kfKS, 7);
    Load(plant);

    // In order: each lookup starts where the one before left the cursor.
    const std::tuple<const char*, std::string, const char*> lookups[] = {
        {"Projekt", "Kläranlage Süd", ""},
        {"Bearbeiter", std::string(80, 'b'), "cut to the field"},
        {"Datum", "01.03.2024", ""},
        {"SFH", "1,25", ""},
        {"fKS", "0,5", "dp comes before dh"},
        {"DVERF", "", "the cursor of dl stands on the last row"},
        {"QD#0", "10000", ""},
        {"QD#1", "", "an inactive case has no QD"},
        {"QD#2", "300,25", ""},
        {"QD#2", "300,25", "counted from the first row every time"},
        {"DV#0", "5", ""},
        {"DVERF#0", "Intermittierende Denitrifikation", ""},
        {"QD#4", "", "only four rows"},
        {"SFH#1", "", "dh has one row"},
        {"SFH#0", "1,25", ""},
        {"QD#20", "", "one digit only"}, {"Unbekannt", "", ""}, {"Unbekannt#1", "", ""},
    };
    for (const auto& [name, text, why] : lookups)
        EXPECT_EQ(module.GetValueText(name), text) << name << " " << why;
    // No row number after the "#": a conversion error, for a field no table has as well.
    for (const auto& [name, message] : {std::pair{"QD#x", "'x' ist kein gültiger Integerwert"},
                                        std::pair{"QD#", "'' ist kein gültiger Integerwert"},
                                        std::pair{"Unbekannt#-", "'-' ist kein gültiger Integerwert"}}) {
        try {
            module.GetValueText(name);
            ADD_FAILURE() << name;
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), message) << name;
        }
    }

    // The cursor stays where it stood.
    Row(dm.dl, 2);
    EXPECT_EQ(module.GetValueText("QD#0"), "10000");
    EXPECT_EQ(module.GetValueText("QD"), "300,25");
    EXPECT_EQ(dm.dl.RecNo(), 3);

    plant.common.SetString(common::kProjekt, std::string(255, 'x'));
    Load(plant);
    EXPECT_EQ(module.GetValueText("Projekt").size(), 255u);
}

TEST_F(ModuleTables, InitDataLeavesNoTableShowingThePreviousCalculation)
{
    THsgModule fresh;
    fresh.SetModuleTemplateFolder(tmp.Folder());
    fresh.Exec("INITDATA");

    ASSERT_TRUE(module.Exec("READDATA", {.Text = velmoran::testing::CopyOfExample(tmp)}));
    ASSERT_NE(Contents(dm.dl), Contents(fresh.DataModul().dl));
    ASSERT_NE(Contents(module.dh()), Contents(fresh.dh()));
    module.Exec("INITDATA");
    const auto mine = module.DataSets();
    const auto theirs = fresh.DataSets();
    for (std::size_t i = 0; i < mine.size(); ++i)
        EXPECT_EQ(Contents(*mine[i]), Contents(*theirs[i])) << mine[i]->Name;
}

TEST_F(ModuleTables, SetToDataKeepsWhatTheTablesCannotShow)
{
    auto plant = velmoran::testing::ScenarioA();
    plant.common.SetString(common::kBearbeiter, std::string(200, 'q'));
    plant.common.Block(0).SetByte(block::kProcess, 0xC1);  // DV 1 with EC and RM bits
    plant.common.SetDouble(common::kDatum, EncodeDate(2024, 3, 1) + 0.5);
    plant.hsg.Raw()[125] = 0x5A;
    Load(plant);
    const TCommonRecord common = module.CurrentCommon();
    const THSGRecord hsgRecord = module.CurrentHsg();

    // Nothing changed in the tables: nothing changes in the records.
    module.Exec("SETTODATA");
    EXPECT_FALSE(module.Modified());
    EXPECT_EQ(module.CurrentCommon(), common);
    EXPECT_EQ(module.CurrentHsg(), hsgRecord);
    module.SetModified(true);
    module.Exec("SETTODATA");
    EXPECT_TRUE(module.Modified()) << "a flag set before stays";
    module.SetModified(false);

    // An unrelated change leaves the long author, the time of day and the code bits alone (the
    // records are calculated with it).
    Put(module.dh(), 0, "SFH", 1.5);
    module.Exec("SETTODATA");
    EXPECT_TRUE(module.Modified());
    TCommonRecord expectedCommon = common;
    THSGRecord expected = hsgRecord;
    expected.SetDouble(hsg::kSFH, 1.5);
    HsgCalculate(expectedCommon, expected);
    EXPECT_EQ(module.CurrentCommon(), expectedCommon);
    EXPECT_EQ(module.CurrentCommon().String(common::kBearbeiter), std::string(200, 'q'));
    EXPECT_EQ(module.CurrentHsg().Double(hsg::kSFH), 1.5);
    EXPECT_EQ(module.CurrentHsg(), expected);
    EXPECT_EQ(module.dh().FieldByName("SFH").AsString(), "1,5");

    // A new process code replaces only the code's bits.
    Row(dm.dl, 0).Edit();
    dm.dl.FieldByName("DV").SetAsInteger(3);
    dm.dl.Post();
    module.SetModified(false);
    module.Exec("SETTODATA");
    EXPECT_EQ(module.CurrentCommon().Block(0).ByteAt(block::kProcess), 0xC3);
    EXPECT_TRUE(module.Modified());
    EXPECT_EQ(Row(dm.dl, 0).FieldByName("DVERF").AsString(), "Simultane Denitrifikation") << "refreshed";
}

TEST_F(ModuleTables, SetToDataMapsInputsParametersAndNothingElse)
{
    Load(velmoran::testing::ScenarioA());
    const TCommonRecord before = module.CurrentCommon();
    const THSGRecord hsgBefore = module.CurrentHsg();

    dm.d.Edit();
    dm.d.FieldByName("Bearbeiter").SetAsString("Neu");
    dm.d.FieldByName("Datum").SetAsDateTime(EncodeDate(2025, 1, 2));
    dm.d.FieldByName("FT").SetAsInteger(3);
    dm.d.FieldByName("DN").SetAsInteger(1);
    dm.d.FieldByName("BDBSB").SetAsFloat(999);  // no input of the pages
    dm.d.FieldByName("RZ").SetAsInteger(2);     // neither
    dm.d.Post();
    Put(dm.dl, 0, "SNO3an", 8);
    Put(dm.dl, 0, "OVh", 5);       // a result
    Put(dm.dl, 1, "QD", 777);      // an inactive case
    Put(dm.dp, 0, "fTh", 1.1);     // the parameter set
    Put(dm.dp, 0, "fOVd", 1.2);    // no member
    Put(module.dh(), 0, "MA", 5);  // a result
    Put(module.dh(), 0, "OP100", 42);
    Put(module.ph(), 0, "fXNI", 0.02);
    Put(module.ph(), 0, "fKLA", 3);  // no member
    module.Exec("SETTODATA");

    TCommonRecord expected = before;
    expected.SetString(common::kBearbeiter, "Neu");
    expected.SetDouble(common::kDatum, EncodeDate(2025, 1, 2));
    expected.SetByte(common::kFT, 3);
    expected.SetBits(common::kOptionB, common::kBitDN, 1, 1);
    expected.Block(0).SetDouble(block::kSNO3an, 8);
    expected.SetDouble(common::kParameterSet, 1.1);
    THSGRecord expectedHsg = hsgBefore;
    expectedHsg.SetDouble(hsg::kOP100, 42);
    expectedHsg.SetDouble(hsg::kfXNI, 0.02);
    HsgCalculate(expected, expectedHsg);
    EXPECT_EQ(module.CurrentCommon(), expected);
    EXPECT_EQ(module.CurrentHsg(), expectedHsg);
    EXPECT_TRUE(module.Modified());

    // The tables show the records again: values that were not taken are gone.
    EXPECT_EQ(dm.d.FieldByName("BDBSB").AsFloat(), 0);
    EXPECT_EQ(dm.d.FieldByName("FTYP").AsString(), "Aluminium");
    EXPECT_TRUE(Row(dm.dl, 1).FieldByName("QD").IsNull());
    EXPECT_EQ(dm.dp.FieldByName("fOVd").AsFloat(), 1.2) << "a field the mapping does not fill keeps its value";
    EXPECT_EQ(module.ph().FieldByName("fKLA").AsFloat(), 3);
}

TEST_F(ModuleTables, SetToDataAfterARecordArrivedWithoutMapping)
{
    Load(velmoran::testing::ScenarioA());
    // A record read from a stream is not mapped: the tables still show the loaded calculation.
    TCommonRecord popped;
    popped.Block(0).SetWord(block::kFlags, 1);
    popped.Block(0).SetDouble(block::kQD, 55);
    popped.Block(0).SetDouble(block::kT, 20);
    popped.SetString(common::kProjekt, "aus dem Strom");
    TMemoryStream stream;
    stream.WriteBuffer(popped.Data(), TCommonRecord::kSize);
    ASSERT_TRUE(module.Exec("POPDATA", {.Stream = &stream}));
    EXPECT_EQ(Row(dm.dl, 0).FieldByName("QD").AsFloat(), 10000);

    Put(dm.dl, 0, "T", 11);
    module.Exec("SETTODATA");
    TCommonRecord expected = popped;
    expected.Block(0).SetDouble(block::kT, 11);
    SetLoadCaseNames(expected);
    EXPECT_EQ(module.CurrentCommon(), expected) << "only the imported value joins the record";
    EXPECT_EQ(Row(dm.dl, 0).FieldByName("QD").AsFloat(), 55);
    EXPECT_EQ(dm.d.FieldByName("Projekt").AsString(), "aus dem Strom");
}

// Whoever holds the load-case table can take a row away; SETTODATA then leaves that load case as
// it was, and does not take the row before it (where a move past the end stops) for it.
TEST_F(ModuleTables, SetToDataLeavesALoadCaseWhoseRowIsGone)
{
    auto plant = velmoran::testing::ScenarioA();
    for (std::size_t k = 1; k < common::kBlockCount; ++k) {
        plant.common.Block(k).SetWord(block::kFlags, block::kFlagAktiv);
        plant.common.Block(k).SetDouble(block::kQD, 1000.0 * static_cast<double>(k));
    }
    Load(plant);
    const TCommonRecord before = module.CurrentCommon();

    Put(dm.dl, 2, "QD", 777);
    Row(dm.dl, 3).Delete();
    ASSERT_EQ(dm.dl.RecordCount(), 3);
    module.Exec("SETTODATA");

    TCommonRecord expected = before;
    expected.Block(2).SetDouble(block::kQD, 777);
    THSGRecord hsgRecord = module.CurrentHsg();
    HsgCalculate(expected, hsgRecord);
    EXPECT_EQ(module.CurrentCommon(), expected);
    EXPECT_EQ(module.CurrentCommon().Block(3).Double(block::kQD), 3000) << "the load case without its row";
    EXPECT_EQ(dm.dl.RecordCount(), 4) << "the tables show the whole record again";
}
