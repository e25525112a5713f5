// The data module: its three value tables, their display properties, the mapping of the common
// record into them and the record files and streams.
#include "framework/DataModul.h"

#include "framework/MemberFields.h"
#include "framework/RecordFiles.h"
#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Stream.h"
#include "tests/framework/RecordHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

using namespace velmoran;
using velmoran::testing::Contents;
using velmoran::testing::Row;

namespace {

class DataModulMapping : public ::testing::Test {
protected:
    ScopedFormatSettings german{FormatSettings::German()};
    TDataModul dm;
    TCommonRecord& r = dm.CurrentRecord;

    std::string D(std::string_view field) { return dm.d.FieldByName(field).AsString(); }
};

}  // namespace

TEST(DataModul, TablesFieldObjectsAndDisplayProperties)
{
    ScopedFormatSettings german(FormatSettings::German());
    TDataModul dm;
    EXPECT_EQ(dm.d.FieldCount(), 89);
    EXPECT_EQ(dm.dl.FieldCount(), 78);
    EXPECT_EQ(dm.dp.FieldCount(), 40);
    for (TDataSet* table : dm.DataSets()) {
        EXPECT_TRUE(table->Active());
        EXPECT_TRUE(table->IsEmpty()) << table->Name;
        // Every field object is found under table name plus field name, and only there.
        for (const auto& field : table->Fields())
            EXPECT_EQ(dm.FindFieldObject(table->Name + field->FieldName()), field.get()) << field->FieldName();
    }
    EXPECT_EQ(dm.d.Fields()[0].FieldName(), "Projekt");
    EXPECT_EQ(dm.d.Fields()[88].FieldName(), "nTr");
    EXPECT_EQ(dm.dl.Fields()[77].FieldName(), "OCh");
    EXPECT_EQ(dm.dp.Fields()[39].FieldName(), "fCSB_oTS");
    EXPECT_EQ(dm.FieldObject("dProjekt").Size(), 255);
    EXPECT_EQ(dm.FieldObject("dBearbeiter").Size(), 80);
    EXPECT_EQ(dm.FieldObject("dRZIEL").Size(), 20);
    EXPECT_EQ(dm.FieldObject("dlDVERF").Size(), 40);
    EXPECT_EQ(dm.FieldObject("dDatum").DataType(), ftDate);
    EXPECT_EQ(dm.FieldObject("dlLNR").DataType(), ftSmallint);
    EXPECT_EQ(dm.FieldObject("dlDV").DataType(), ftInteger);
    EXPECT_EQ(dm.FieldObject("dpfTh").DataType(), ftFloat);
    // "dlNB" would be d's "lNB"; d has no field "lQD", so "dlQD" is dl's.
    EXPECT_EQ(dm.FindFieldObject("dlNB"), dm.d.FindField("lNB"));
    EXPECT_EQ(dm.FindFieldObject("dlQD"), dm.dl.FindField("QD"));
    EXPECT_EQ(dm.FindFieldObject("dQD"), nullptr);
    EXPECT_THROW(dm.FieldObject("dpXYZ"), EDatabaseError);

    auto format = [&](std::string_view name) { return dynamic_cast<TFloatField&>(dm.FieldObject(name)).DisplayFormat(); };
    EXPECT_EQ(format("d_TTSa"), "##0.00");
    EXPECT_EQ(format("dlTTSa"), "##0.00");
    EXPECT_EQ(format("d_SF"), "#0.00");
    EXPECT_EQ(format("dlcx"), "#0.00");
    EXPECT_EQ(format("dVBB"), "#####0");
    EXPECT_EQ(format("dlOVcc"), "#####0");
    EXPECT_EQ(format("dVNB"), "####0");
    EXPECT_EQ(format("dlXTSizb"), "####0");
    EXPECT_EQ(format("dlSNO3dmax"), "###0.0");
    EXPECT_EQ(format("dlOCh"), "####0.0");
    EXPECT_EQ(format("dlQD"), "");
    EXPECT_EQ(format("dpfTh"), "");

    EXPECT_EQ(dm.FieldObject("dVBB").DisplayLabel(), "Volumen des Belebungsbeckens [m³]");
    EXPECT_EQ(dm.FieldObject("dHVNB").DisplayLabel(), "HV");
    EXPECT_EQ(dm.FieldObject("dlSF").DisplayLabel(), "Vorhandener Sicherheitsfaktor ");
    EXPECT_EQ(dm.FieldObject("dlfN").DisplayLabel(), "Stoßfaktor N-Belastung");
    EXPECT_EQ(dm.FieldObject("dlOCh").DisplayLabel(), "Erf. Sauerstoffeintrag [kg(h]");
    EXPECT_EQ(dm.FieldObject("dlOVh").DisplayLabel(), "Max. stündlicher Sauerstoffbedarf [kg/h]");
    EXPECT_EQ(dm.FieldObject("dlQT").DisplayLabel(), "QT");
}

TEST_F(DataModulMapping, ActiveLoadCasesAreNumberedInBlockOrder)
{
    r.Block(0).SetWord(block::kFlags, block::kFlagAktiv | block::kFlagLoads);
    r.Block(2).SetWord(block::kFlags, block::kFlagAktiv);
    r.Block(1).SetWord(block::kFlags, 0xFFFE);  // every bit but Aktiv
    for (std::size_t k = 0; k < 4; ++k)
        r.Block(k).SetDouble(block::kQD, 100.0 * (k + 1));
    r.Block(3).SetString(block::kBezeichn, "alt");
    dm.RecordToTables();

    ASSERT_EQ(dm.dl.RecordCount(), 4);
    const char* lnr[] = {"1", "", "2", ""};
    const char* qd[] = {"100", "", "300", ""};
    for (int k = 0; k < 4; ++k) {
        Row(dm.dl, k);
        EXPECT_EQ(dm.dl.FieldByName("Aktiv").AsInteger(), k % 2 == 0 ? 1 : 0) << k;
        EXPECT_EQ(dm.dl.FieldByName("LNR").AsString(), lnr[k]) << k;
        EXPECT_EQ(dm.dl.FieldByName("QD").AsString(), qd[k]) << k;
        // An inactive row carries Aktiv only.
        EXPECT_EQ(dm.dl.FieldByName("Bezeichn").IsNull(), k % 2 == 1) << k;
    }
    EXPECT_EQ(Row(dm.dl, 2).FieldByName("Bezeichn").AsString(), "höchste Temperatur");
    EXPECT_EQ(Row(dm.dl, 2).FieldByName("Text").AsString(),
              "Ermittlung des Sauerstoffbedarfs bei höchster Temperatur");
    // The fixed texts went into the record, block 3 included.
    EXPECT_EQ(r.Block(3).String(block::kBezeichn), "Sonder- lastfall");
    EXPECT_EQ(r.Block(1).String(block::kText), "Nachweis der Nitrifikation bei tiefster Temperatur");

    // No case active: four rows, none numbered.
    for (std::size_t k = 0; k < 4; ++k)
        r.Block(k).SetWord(block::kFlags, 0);
    dm.RecordToTables();
    ASSERT_EQ(dm.dl.RecordCount(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Row(dm.dl, k).FieldByName("Aktiv").AsInteger(), 0);
        EXPECT_TRUE(dm.dl.FieldByName("LNR").IsNull());
    }

    // Block 3 active shows the fixed name whatever the record held.
    r.Block(3).SetWord(block::kFlags, 1);
    r.Block(3).SetString(block::kBezeichn, "irgendwas");
    dm.RecordToTables();
    EXPECT_EQ(Row(dm.dl, 3).FieldByName("Bezeichn").AsString(), "Sonder- lastfall");
    EXPECT_EQ(dm.dl.FieldByName("LNR").AsInteger(), 1);
}

TEST_F(DataModulMapping, HeaderCodesTextsAndBits)
{
    r.SetBits(common::kOptionB, common::kShiftRZ, common::kCountRZ, 2);
    r.SetBits(common::kOptionB, common::kBitDN, 1, 1);
    r.SetByte(common::kVE, 0x25);  // VK, AS, NS
    r.SetByte(common::kFT, 2);
    r.SetByte(common::kNT, 3);
    r.SetByte(common::kRT, 1);
    r.SetDouble(common::kHE, 4.5);
    r.SetDouble(common::kQM, 250);
    r.SetDouble(common::k_TTS, 12.5);
    r.SetDouble(576, 99);  // the Double after _TTS is read by nothing
    r.SetDouble(common::kDatum, EncodeDate(2024, 3, 1) + 0.75);
    dm.RecordToTables();

    EXPECT_EQ(D("RZ"), "2");
    EXPECT_EQ(D("RZIEL"), "Aerobe Schlammstabil") << "cut to the field's 20 characters";
    EXPECT_EQ(D("DN"), "1");
    EXPECT_EQ(D("FS"), "0");
    EXPECT_EQ(D("VE"), "37");
    EXPECT_EQ(D("VK"), "1");
    EXPECT_EQ(D("MB"), "0");
    EXPECT_EQ(D("AS"), "1");
    EXPECT_EQ(D("NS"), "1");
    EXPECT_EQ(D("FTYP"), "Zweiwertiges Eisen");
    EXPECT_EQ(D("NTYP"), "Rechteckbecken");
    EXPECT_EQ(D("RTYP"), "Saugräumer");
    EXPECT_EQ(D("HE"), "4,5");
    EXPECT_EQ(D("QM"), "250");
    EXPECT_EQ(D("QZN"), "250");
    EXPECT_EQ(D("_TTS"), "12,5");
    EXPECT_EQ(D("_TTSa"), "12,5");
    EXPECT_EQ(D("Datum"), "01.03.2024");
    EXPECT_EQ(D("PATH"), "");
    EXPECT_TRUE(dm.d.FieldByName("ID").IsNull());
    EXPECT_TRUE(dm.d.FieldByName("_RV").IsNull());
    EXPECT_EQ(dm.d.RecordCount(), 1);
    EXPECT_EQ(dm.dp.RecordCount(), 1);

    // Codes outside their tables leave the texts of the previous mapping.
    r.SetBits(common::kOptionB, common::kShiftRZ, common::kCountRZ, 1);
    dm.RecordToTables();
    EXPECT_EQ(D("RZIEL"), "Nitrifikation");
    r.SetBits(common::kOptionB, common::kShiftRZ, common::kCountRZ, 5);
    r.SetByte(common::kFT, 7);
    r.SetByte(common::kNT, 0);
    dm.RecordToTables();
    EXPECT_EQ(D("RZ"), "5");
    EXPECT_EQ(D("RZIEL"), "Nitrifikation");
    EXPECT_EQ(D("FTYP"), "Zweiwertiges Eisen");
    EXPECT_EQ(D("NTYP"), "");
}

TEST_F(DataModulMapping, FlowDirectionThresholds)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, "horizontal"},
        {0.0499, "horizontal"},
        {0.05, "Übergangsbereich horiz./vertikal"},
        {0.95, "Übergangsbereich horiz./vertikal"},
        {0.9501, "vertikal"},
        {-1.0, "horizontal"},
    };
    for (const auto& [ratio, text] : cases) {
        r.SetDouble(common::kFlowDirectionRatio, ratio);
        dm.RecordToTables();
        EXPECT_EQ(D("STYP"), text) << ratio;
    }
}

TEST_F(DataModulMapping, ReturnSludgeFlowOnlyWithSludgeInTheClarifier)
{
    r.SetDouble(common::kQRS, 100);
    r.SetDouble(common::kTSRS, 8);
    r.SetDouble(common::kQk, 20);
    r.SetDouble(common::kTSZN, 4);
    r.SetDouble(common::kTSBS, 4);
    dm.RecordToTables();
    EXPECT_EQ(D("_QSR"), "180");  // (100 * 8 - 20 * 4) / 4
    r.SetDouble(common::kTSBS, 0);
    r.SetDouble(common::kQRS, 1);
    dm.RecordToTables();
    EXPECT_EQ(D("_QSR"), "180") << "kept from the previous mapping";
    r.SetDouble(common::kTSBS, -2);
    dm.RecordToTables();
    EXPECT_EQ(D("_QSR"), "180");
}

TEST_F(DataModulMapping, ProcessByteAndOxygenDemand)
{
    TLoadCaseBlock b = r.Block(0);
    b.SetWord(block::kFlags, 1);
    b.SetByte(block::kProcess, 0xC5);
    b.SetDouble(block::kOVcb, 1000);
    b.SetDouble(block::kOVcc, 1200);
    b.SetDouble(block::kTSBB, 3.456);
    dm.RecordToTables();
    Row(dm.dl, 0);
    EXPECT_EQ(dm.dl.FieldByName("DV").AsInteger(), 5);
    EXPECT_EQ(dm.dl.FieldByName("EC").AsInteger(), 1);
    EXPECT_EQ(dm.dl.FieldByName("RM").AsInteger(), 3);
    EXPECT_EQ(dm.dl.FieldByName("DVERF").AsString(), "Intermittierende Denitrifikation");
    EXPECT_EQ(dm.dl.FieldByName("OVc").AsFloat(), 1000);
    EXPECT_EQ(dm.dl.FieldByName("TSBB").DisplayText(), "3,46");
    EXPECT_TRUE(dm.dl.FieldByName("VBBges").IsNull());
    EXPECT_TRUE(dm.dl.FieldByName("Status").IsNull());

    r.SetBits(common::kOptionA, common::kBitBM, 1, 1);
    b.SetByte(block::kProcess, 0x47);  // DV 7 has no text: DVERF stays empty in a fresh row
    dm.RecordToTables();
    Row(dm.dl, 0);
    EXPECT_EQ(dm.dl.FieldByName("OVc").AsFloat(), 1200);
    EXPECT_EQ(dm.dl.FieldByName("OVc").DisplayText(), "1200");
    EXPECT_EQ(dm.dl.FieldByName("DV").AsInteger(), 7);
    EXPECT_EQ(dm.dl.FieldByName("EC").AsInteger(), 0);
    EXPECT_EQ(dm.dl.FieldByName("RM").AsInteger(), 1);
    EXPECT_TRUE(dm.dl.FieldByName("DVERF").IsNull());
    EXPECT_EQ(D("BM"), "1");
}

TEST_F(DataModulMapping, TextsAreCutToTheFieldWhileTheRecordKeepsThem)
{
    const std::string author(200, 'a');
    const std::string project = std::string(254, 'p') + "ö";
    r.SetString(common::kBearbeiter, author);
    r.SetString(common::kProjekt, project);
    dm.RecordToTables();
    EXPECT_EQ(D("Bearbeiter"), std::string(80, 'a'));
    EXPECT_EQ(D("Projekt"), project);
    EXPECT_EQ(r.String(common::kBearbeiter), author);
}

TEST_F(DataModulMapping, ParameterSet)
{
    r.SetDouble(common::kParameterSet, 1.072);           // fTh
    r.SetDouble(common::kParameterSet + 8 * 34, 0.125);  // fCSB_oTS
    r.SetDouble(common::kParameterSet + 8 * 3, 77);      // reserved
    dm.RecordToTables();
    EXPECT_EQ(dm.dp.FieldByName("fTh").AsString(), "1,072");
    EXPECT_EQ(dm.dp.FieldByName("fCSB_oTS").AsString(), "0,125");
    EXPECT_EQ(dm.dp.FieldByName("ParamBez").AsString(), "");
    EXPECT_FALSE(dm.dp.FieldByName("ParamBez").IsNull());
    for (const char* unfilled : {"fOVd", "fSI", "fCT", "fOT", "fA", "iB", "iI", "PB"})
        EXPECT_TRUE(dm.dp.FieldByName(unfilled).IsNull()) << unfilled;
}

TEST_F(DataModulMapping, MappingTwiceGivesEqualTables)
{
    r = velmoran::testing::RandomRecord<TCommonRecord>(7);
    r.SetDouble(common::kDatum, 45000);
    r.SetDouble(common::kTSBS, 2);
    for (std::size_t k = 0; k < 4; ++k)
        r.Block(k).SetWord(block::kFlags, static_cast<std::uint16_t>(k != 1));
    dm.RecordToTables();
    const auto d1 = Contents(dm.d), dl1 = Contents(dm.dl), dp1 = Contents(dm.dp);
    const TCommonRecord after = r;
    dm.RecordToTables();
    EXPECT_EQ(Contents(dm.d), d1);
    EXPECT_EQ(Contents(dm.dl), dl1);
    EXPECT_EQ(Contents(dm.dp), dp1);
    EXPECT_EQ(r, after);
    EXPECT_EQ(dm.d.State(), dsBrowse);
    EXPECT_EQ(dm.dl.State(), dsBrowse);
    EXPECT_EQ(dm.dp.State(), dsBrowse);
}

// No date (0) and a date outside the field's range leave the field empty: a page shows no date
// rather than 30.12.1899, which nobody entered.
TEST_F(DataModulMapping, DateOutsideTheFieldsRangeLeavesItEmpty)
{
    r.SetDouble(common::kDatum, 0);
    dm.RecordToTables();
    EXPECT_TRUE(dm.d.FieldByName("Datum").IsNull());
    EXPECT_EQ(D("Datum"), "");

    r.SetDouble(common::kDatum, -1e12);
    r.SetDouble(common::kHE, 3);
    r.Block(0).SetWord(block::kFlags, 1);
    dm.RecordToTables();
    EXPECT_TRUE(dm.d.FieldByName("Datum").IsNull());
    EXPECT_EQ(D("HE"), "3");
    EXPECT_EQ(dm.dl.RecordCount(), 4);
    r.SetDouble(common::kDatum, std::numeric_limits<double>::quiet_NaN());
    dm.RecordToTables();
    EXPECT_TRUE(dm.d.FieldByName("Datum").IsNull());
    EXPECT_EQ(dm.dp.RecordCount(), 1);
}

TEST(DataModulFiles, FilesAndStreams)
{
    const velmoran::testing::TempFolder folder;
    const std::string calc = folder / "plant.vda";
    const std::string defaults = folder / "common.vdt";

    TDataModul dm;
    dm.CurrentRecord.SetString(common::kProjekt, "Kläranlage Nord");
    dm.CurrentRecord.Block(0).SetWord(block::kFlags, 1);
    dm.SetLoadCaseNames();  // what the mapping after the load writes anyway
    ASSERT_TRUE(dm.SaveRecordToFile(calc));
    EXPECT_EQ(std::filesystem::file_size(calc), 6784u);

    TDataModul other;
    ASSERT_TRUE(other.LoadRecordFromFile(calc));
    EXPECT_EQ(other.CurrentRecord, dm.CurrentRecord);
    EXPECT_EQ(other.d.FieldByName("Projekt").AsString(), "Kläranlage Nord") << "a load maps";

    // A short file changes neither record nor tables.
    folder.Write(folder / "short.vda", std::string(100, '\x01'));
    other.CurrentRecord.SetString(common::kProjekt, "ungespeichert");
    EXPECT_FALSE(other.LoadRecordFromFile(folder / "short.vda"));
    EXPECT_EQ(other.CurrentRecord.String(common::kProjekt), "ungespeichert");
    EXPECT_EQ(other.d.FieldByName("Projekt").AsString(), "Kläranlage Nord");

    // The defaults file: loaded only when it exists, never mapped.
    TDataModul fresh;
    EXPECT_FALSE(fresh.LoadSecondRecordFromFile(defaults));
    EXPECT_EQ(fresh.DefaultRecord, TCommonRecord());
    dm.DefaultRecord.SetDouble(common::kHE, 6);
    ASSERT_TRUE(dm.SaveSecondRecordToFile(defaults));
    EXPECT_TRUE(fresh.LoadSecondRecordFromFile(defaults));
    EXPECT_EQ(fresh.DefaultRecord.Double(common::kHE), 6);
    EXPECT_TRUE(fresh.d.IsEmpty());

    // Streams from position 0, without mapping.
    TMemoryStream stream;
    stream.WriteBuffer("xyz", 3);
    dm.SaveRecordToStream(stream);
    EXPECT_EQ(stream.Size(), 6784);
    stream.SetPosition(100);
    TDataModul popped;
    EXPECT_TRUE(popped.LoadRecordFromStream(stream));
    EXPECT_EQ(popped.CurrentRecord, dm.CurrentRecord);
    EXPECT_TRUE(popped.d.IsEmpty());
    TMemoryStream shortStream;
    shortStream.WriteBuffer("abc", 3);
    EXPECT_FALSE(popped.LoadRecordFromStream(shortStream));
    EXPECT_EQ(popped.CurrentRecord, dm.CurrentRecord);
}

TEST(MemberFields, StoreWritesOnlyTheMembersBits)
{
    TzebMemTable t;
    DeclareFields(t, "DV:I Name:S10 Day:D X OP:W");
    t.Open();
    t.Append();
    TCommonRecord r;
    r.Block(0).SetByte(block::kProcess, 0xC0);
    const MemberInfo* dv = FindMemberIn(CommonRecordMembers(), "DV", {MemberArea::LoadCase});
    ASSERT_NE(dv, nullptr);
    EXPECT_EQ(FindMemberIn(CommonRecordMembers(), "DV", {MemberArea::Header}), nullptr);
    t.FieldByName("DV").SetAsInteger(3);
    StoreFieldInMember(t.FieldByName("DV"), r.Block(0), *dv);
    EXPECT_EQ(r.Block(0).ByteAt(block::kProcess), 0xC3);
    t.FieldByName("DV").SetAsInteger(16);  // does not fit four bits: not stored
    StoreFieldInMember(t.FieldByName("DV"), r.Block(0), *dv);
    EXPECT_EQ(r.Block(0).ByteAt(block::kProcess), 0xC3);
    t.FieldByName("DV").Clear();  // an empty field is not stored either
    StoreFieldInMember(t.FieldByName("DV"), r.Block(0), *dv);
    EXPECT_EQ(r.Block(0).ByteAt(block::kProcess), 0xC3);

    t.FieldByName("X").SetAsFloat(2.5);
    t.FieldByName("Name").SetAsString("abc");
    t.Post();
    TzebMemTable u;
    DeclareFields(u, "DV:I Name:S10 Day:D X OP:W");
    u.Open();
    u.Append();
    u.FieldByName("X").SetAsFloat(2.5);
    u.FieldByName("Name").SetAsString("abc");
    u.Post();
    for (int i = 0; i < t.FieldCount(); ++i)
        EXPECT_TRUE(SameFieldValue(t.Fields()[i], u.Fields()[i])) << i;
    u.Edit();
    u.FieldByName("X").SetAsFloat(-0.0 + 2.5000000000000004);
    EXPECT_FALSE(SameFieldValue(t.FieldByName("X"), u.FieldByName("X")));
    EXPECT_FALSE(SameFieldValue(t.FieldByName("X"), u.FieldByName("Name")));
    u.Cancel();
}
