// The data module: table layout, display properties and the mapping of the common record.
#include "framework/DataModul.h"

#include "framework/MemberFields.h"
#include "framework/RecordFiles.h"
#include "framework/RecordMembers.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmoran {

namespace {

constexpr std::string_view kFieldsD =
    "Projekt:S255 Bearbeiter:S80 Datum:D ID:I PATH:S20 Modus:I BM:I RZ:I RZIEL:S20 GE:I VE:I "
    "DN:Sm FS:Sm VK:Sm MB:Sm AS:Sm NS:Sm FT:I FTYP:S40 aFM NT:I NTYP:S40 RT:I RTYP:S40 STYP:S40 "
    "Qsr _QSR BDBSB _TSBB _TSBA _TTS _TTSa _SF VBB _VBB nKask VMB VAS HE QM QZN a ANB ANBEFF _ANB "
    "VNB qA _qA qSV _qSV ISV tE RV _RV TSRS TSBS R2B TSZN _TSZN Qk QRS H1 H2 H3 H4 HNB _HNB HVNB "
    "HEinl dNB _dNB dMB bNB lNB _lNB dSNB xNB aR fSR bSR hSR tSR tS lB lW lSR vSR vF nTr";

constexpr std::string_view kFieldsDl =
    "Bezeichn:S80 Text:S80 Status:Sm Aktiv:I LNR:Sm ID:I QD QT CCSBzb SCSBzb SCSBizb XCSBzb "
    "XCSBizb SCSBazb XCSBazb SCSBdos CBSBzb XTSzb XTSizb CTKNzb SNH4zb SNO3zb CPzb SKSzb SNH4an "
    "SNO3an _SNO3an SorgNan SPO4an _SPO4an SKSan XNBM SNH4n0 SNH4n SNO3d0 SNO3dmax SNO3d EC:Sm "
    "RM:Sm XCSBBM XCSBIBM XPBM XPBIOP XPF FM Beta TSBB TSAB T TTS TTSa SF MH MX MI MP MF VBBges "
    "VdV DV:I DVERF:S40 RF _RF tT _tT QKask _QKask fC fN cs cx OVc OVcb OVcc OVn OVd OVh OCh";

constexpr std::string_view kFieldsDp =
    "ParamBez:S40 fTh fTa fTd Yh Bh Ya Ba Mueamax kN fOVs fOVe fOVd fP fI fdP fbP fKS fSI fCT "
    "fOT fA iB iI PB fXNBM fXNBM_C fXPBM fXPBM_C fXPBIOP fXPBIOP_C fXPBIOPD fXPBIOPD_C fXPBIOPT "
    "fXPBIOPT_C fCSB_A fCSB_B fCSB_B_VK fCSB_i fCSB_oTS";

struct DisplayFormat {
    std::string_view Format;
    std::string_view FieldObjects;
};

constexpr std::array<DisplayFormat, 6> kDisplayFormats = {{
    {"##0.00", "d_TSBB d_TSBA d_TTS d_TTSa dlCPzb dlSKSzb dlSPO4an dl_SPO4an dlSKSan dlXPF dlTSBB "
               "dlTSAB dlTTS dlTTSa"},
    {"#0.00", "d_SF dlT dlSF dlVdV dltT dlfC dlfN dlcs dlcx"},
    {"#####0", "dVBB d_VBB dlMH dlMI dlMP dlMF dlOVc dlOVcc dlOVn dlOVd"},
    {"####0", "dANB d_ANB dVNB dlCCSBzb dlSCSBzb dlSCSBizb dlXCSBizb dlSCSBazb dlXCSBazb dlSCSBdos "
              "dlCBSBzb dlXTSzb dlXTSizb"},
    {"###0.0", "dlCTKNzb dlSNH4zb dlSNO3zb dlSNH4an dlSNO3an dl_SNO3an dlSorgNan dlSNH4n0 dlSNH4n "
               "dlSNO3d0 dlSNO3dmax dlSNO3d"},
    {"####0.0", "dlOVh dlOCh"},
}};

struct DisplayLabel {
    std::string_view FieldObject;
    std::string_view Label;
};

constexpr auto kDisplayLabels = std::to_array<DisplayLabel>({
    {"dVBB", "Volumen des Belebungsbeckens [m³]"},
    {"dQM", "QM [m³/h]"},
    {"dHVNB", "HV"},
    {"dlQD", "QD [m³/d]"},
    {"dlCCSBzb", "CCSBzul [mg/l]"},
    {"dlSCSBzb", "SCSBzul [mg/l]"},
    {"dlSCSBdos", "SCSBdos [mg/l]"},
    {"dlCBSBzb", "CBSBzul [mg/l]"},
    {"dlXTSzb", "XTSzul [mg/l]"},
    {"dlCTKNzb", "CTKNzb [mg/l]"},
    {"dlSNH4zb", "SNH4zb [mg/l]"},
    {"dlSNO3zb", "SNO3zb [mg/l]"},
    {"dlCPzb", "CPzb [mg/l]"},
    {"dlSKSzb", "SKSzb [mmol/l]"},
    {"dlSNO3an", "Nitratstickstoff im Ablauf [mg/l]"},
    {"dl_SNO3an", "Vorgabe Nitratstickstoff im Ablauf [mg/l]"},
    {"dlSorgNan", "Org. Stickstoff im Ablauf [mg/l]"},
    {"dlSPO4an", "PO4-P Ablaufkonzentration [mg/l]"},
    {"dlSKSan", "Säurekapazität im Ablauf [mmol/l]"},
    {"dlSNO3d", "Denitrifizierter Stickstoff Nd [mg/l]"},
    {"dlTSBB", "TS Belebungsbecken [kg/m³]"},
    {"dlT", "Temperatur Belebungsbecken [°C]"},
    {"dlTTS", "Vorhandenes Schlammalter [d]"},
    {"dlSF", "Vorhandener Sicherheitsfaktor "},
    {"dlVdV", "Anteiliges Denitrifikationsvolumen "},
    {"dlfC", "Stoßfaktor C-Belastung "},
    {"dlfN", "Stoßfaktor N-Belastung"},
    {"dlcx", "O2-Konzentration im belüfteten Volumen [mg/l]"},
    {"dlOVc", "Sauerstoffbedarf für C-Abbau [kg/d]"},
    {"dlOVn", "Sauerstoffbedarf für Nitrifikation [kg/d]"},
    {"dlOVd", "Sauerstoffgewinn durch Denitrifikation [kg/d]"},
    {"dlOVh", "Max. stündlicher Sauerstoffbedarf [kg/h]"},
    // The unit's bracket is typed as "(" here; the label stands as it always has.
    {"dlOCh", "Erf. Sauerstoffeintrag [kg(h]"},
});

constexpr std::array<std::string_view, 3> kGoalTexts = {"Kohlenstoffabbau", "Nitrifikation",
                                                       "Aerobe Schlammstabilisierung"};
constexpr std::array<std::string_view, 4> kPrecipitantTexts = {"", "Dreiwertiges Eisen", "Zweiwertiges Eisen",
                                                              "Aluminium"};
constexpr std::array<std::string_view, 4> kClarifierTexts = {"", "Rundbecken", "Trichterbecken", "Rechteckbecken"};
constexpr std::array<std::string_view, 4> kScraperTexts = {"", "Saugräumer", "Schildräumer", "Bandräumer"};
constexpr std::array<std::string_view, 6> kProcessTexts = {"",
                                                          "Vorgeschaltete Denitrifikation",
                                                          "Kaskadendenitrifikation",
                                                          "Simultane Denitrifikation",
                                                          "Alternierende Denitrifikation",
                                                          "Intermittierende Denitrifikation"};

// Sets a text field from a code's text table; a code outside the table leaves the field as it was.
template <std::size_t N>
void SetCodeText(TField& field, unsigned code, const std::array<std::string_view, N>& texts)
{
    if (code < N)
        field.SetAsString(texts[code]);
}

// Splits a blank-separated list.
template <class F>
void ForEachWord(std::string_view words, F&& f)
{
    std::size_t pos = 0;
    while ((pos = words.find_first_not_of(' ', pos)) != std::string_view::npos) {
        const std::size_t end = std::min(words.find(' ', pos), words.size());
        f(words.substr(pos, end - pos));
        pos = end;
    }
}

// Leaves a table that a failed mapping left in edit or insert state as it was before.
void CancelPending(TDataSet& table) noexcept
{
    try {
        if (table.State() == dsEdit || table.State() == dsInsert)
            table.Cancel();
    } catch (const Exception&) {
    }
}

}  // namespace

void EditSingleRow(TDataSet& table)
{
    if (!table.Active())
        table.Open();
    if (table.IsEmpty()) {
        table.Append();
    } else {
        table.First();
        table.Edit();
    }
}

TDataModul::TDataModul()
{
    const std::pair<TzebMemTable*, std::string_view> tables[] = {{&d, kFieldsD}, {&dl, kFieldsDl}, {&dp, kFieldsDp}};
    d.Name = "d";
    dl.Name = "dl";
    dp.Name = "dp";
    for (const auto& [table, fields] : tables) {
        DeclareFields(*table, fields);
        for (const auto& field : table->Fields())
            fieldObjects_.emplace(table->Name + field->FieldName(), field.get());
    }
    for (const DisplayFormat& format : kDisplayFormats)
        ForEachWord(format.FieldObjects, [&](std::string_view name) {
            dynamic_cast<TFloatField&>(FieldObject(name)).SetDisplayFormat(std::string(format.Format));
        });
    for (const DisplayLabel& label : kDisplayLabels)
        FieldObject(label.FieldObject).SetDisplayLabel(std::string(label.Label));
    d.Open();
    dl.Open();
    dp.Open();
}

TField* TDataModul::FindFieldObject(std::string_view name) const
{
    const auto it = fieldObjects_.find(std::string(name));
    return it == fieldObjects_.end() ? nullptr : it->second;
}

TField& TDataModul::FieldObject(std::string_view name) const
{
    if (TField* field = FindFieldObject(name))
        return *field;
    throw EDatabaseError("Feldobjekt '" + std::string(name) + "' nicht gefunden");
}

void TDataModul::SetLoadCaseNames()
{
    velmoran::SetLoadCaseNames(CurrentRecord);
}

void TDataModul::RecordToTables()
{
    // One guarded block: an unexpected error ends the mapping where it happened, and the table
    // being edited drops its unfinished row edit.
    try {
        dl.Open();
        dl.First();
        while (!dl.IsEmpty())
            dl.Delete();
        EditSingleRow(d);
        SetLoadCaseNames();
        MapHeader();
        d.Post();
        MapLoadCases();
        MapParameters();
    } catch (const Exception&) {
        CancelPending(d);
        CancelPending(dl);
        CancelPending(dp);
    }
}

void TDataModul::MapHeader()
{
    const TCommonRecord& r = CurrentRecord;
    FillFieldsFromMembers(d, r.View(), CommonRecordMembers(), {MemberArea::Header, MemberArea::Tail});
    d.FieldByName("PATH").SetAsString("");
    SetCodeText(d.FieldByName("RZIEL"), r.Bits(common::kOptionB, common::kShiftRZ, common::kCountRZ), kGoalTexts);
    SetCodeText(d.FieldByName("FTYP"), r.ByteAt(common::kFT), kPrecipitantTexts);
    SetCodeText(d.FieldByName("NTYP"), r.ByteAt(common::kNT), kClarifierTexts);
    SetCodeText(d.FieldByName("RTYP"), r.ByteAt(common::kRT), kScraperTexts);

    // A ratio that is no number falls in no range and, like an unknown code, leaves the text.
    const double ratio = r.Double(common::kFlowDirectionRatio);
    if (ratio < 0.05)
        d.FieldByName("STYP").SetAsString("horizontal");
    else if (ratio <= 0.95)
        d.FieldByName("STYP").SetAsString("Übergangsbereich horiz./vertikal");
    else if (ratio > 0.95)
        d.FieldByName("STYP").SetAsString("vertikal");

    d.FieldByName("_TTSa").SetAsFloat(r.Double(common::k_TTS));
    d.FieldByName("QZN").SetAsFloat(r.Double(common::kQM));
    const double tsbs = r.Double(common::kTSBS);
    if (tsbs > 0)
        d.FieldByName("_QSR").SetAsFloat(
            (r.Double(common::kQRS) * r.Double(common::kTSRS) - r.Double(common::kQk) * r.Double(common::kTSZN)) / tsbs);
}

void TDataModul::MapLoadCases()
{
    const bool bm = CurrentRecord.Bits(common::kOptionA, common::kBitBM, 1) != 0;
    int number = 0;
    for (std::size_t k = 0; k < common::kBlockCount; ++k) {
        const TConstLoadCaseBlock b = std::as_const(CurrentRecord).Block(k);
        dl.Append();
        const bool active = (b.Word(block::kFlags) & block::kFlagAktiv) != 0;
        dl.FieldByName("Aktiv").SetAsInteger(active ? 1 : 0);
        if (active) {
            dl.FieldByName("LNR").SetAsInteger(++number);
            FillFieldsFromMembers(dl, b, CommonRecordMembers(), {MemberArea::LoadCase});
            dl.FieldByName("Aktiv").SetAsInteger(1);  // the member fill set it from the same bit
            SetCodeText(dl.FieldByName("DVERF"), b.Bits(block::kProcess, block::kShiftDV, block::kCountDV),
                        kProcessTexts);
            dl.FieldByName("OVc").SetAsFloat(b.Double(bm ? block::kOVcc : block::kOVcb));
        }
        dl.Post();
    }
}

void TDataModul::MapParameters()
{
    EditSingleRow(dp);
    dp.FieldByName("ParamBez").SetAsString("");
    FillFieldsFromMembers(dp, CurrentRecord.View(), CommonRecordMembers(), {MemberArea::Parameters});
    dp.Post();
}

SaveResult TDataModul::SaveRecordToFile(const std::string& fileName) const
{
    return velmoran::SaveRecordToFile(CurrentRecord, fileName);
}

bool TDataModul::LoadRecordFromFile(const std::string& fileName)
{
    if (!velmoran::LoadRecordFromFile(CurrentRecord, fileName))
        return false;
    RecordToTables();
    return true;
}

SaveResult TDataModul::SaveSecondRecordToFile(const std::string& fileName) const
{
    return velmoran::SaveRecordToFile(DefaultRecord, fileName);
}

bool TDataModul::LoadSecondRecordFromFile(const std::string& fileName)
{
    return FileExists(fileName) && velmoran::LoadRecordFromFile(DefaultRecord, fileName);
}

void TDataModul::SaveRecordToStream(TStream& stream) const
{
    velmoran::SaveRecordToStream(CurrentRecord, stream);
}

bool TDataModul::LoadRecordFromStream(TStream& stream)
{
    return velmoran::LoadRecordFromStream(CurrentRecord, stream);
}

}  // namespace velmoran
