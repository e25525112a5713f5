// The five tables of the design module (ph, dh, dp, dl, d) as hand-made test tables: every field
// with its type, filled with plausible values of a designed plant, in the main window's order.
#pragma once

#include "FakeTables.h"

#include "platform/DateTime.h"

#include <map>
#include <sstream>
#include <string>

namespace velmoran::test {

struct ModuleTables {
    FakeDataSet ph, dh, dp, dl, d;

    // Field lists "Name" (float) or "Name:T" with T = S text, I integer, M small integer,
    // W word, D date.
    static void Define(FakeDataSet& table, const std::string& fields)
    {
        std::istringstream in(fields);
        std::string field;
        while (in >> field) {
            const auto colon = field.find(':');
            ReportFieldType type = ReportFieldType::Float;
            if (colon != std::string::npos) {
                switch (field[colon + 1]) {
                case 'S': type = ReportFieldType::String; break;
                case 'I': type = ReportFieldType::Integer; break;
                case 'M': type = ReportFieldType::SmallInt; break;
                case 'W': type = ReportFieldType::Word; break;
                case 'D': type = ReportFieldType::Date; break;
                }
                field.resize(colon);
            }
            table.AddField(field, type);
        }
    }

    // One row: named values, every other field a float 1.5 or an empty text.
    static std::vector<FakeValue> Row(FakeDataSet& table, const std::map<std::string, FakeValue>& values)
    {
        std::vector<FakeValue> row;
        for (std::size_t i = 0; i < table.FieldCount(); ++i) {
            ReportField& field = table.Field(i);
            const auto it = values.find(field.Name());
            if (it != values.end())
                row.push_back(it->second);
            else if (field.Type() == ReportFieldType::String)
                row.push_back(std::string());
            else
                row.push_back(1.5);
        }
        return row;
    }

    ModuleTables()
    {
        Define(d, "Projekt:S Bearbeiter:S Datum:D ID:I PATH:S Modus:I BM:I RZ:I RZIEL:S GE:I VE:I DN:M FS:M "
                  "VK:M MB:M AS:M NS:M FT:I FTYP:S aFM NT:I NTYP:S RT:I RTYP:S STYP:S Qsr _QSR BDBSB _TSBB "
                  "_TSBA _TTS _TTSa _SF VBB _VBB nKask VMB VAS HE QM QZN a ANB ANBEFF _ANB VNB qA _qA qSV "
                  "_qSV ISV tE RV _RV TSRS TSBS R2B TSZN _TSZN Qk QRS H1 H2 H3 H4 HNB _HNB HVNB HEinl dNB "
                  "_dNB dMB bNB lNB _lNB dSNB xNB aR fSR bSR hSR tSR tS lB lW lSR vSR vF nTr");
        Define(dl, "Bezeichn:S Text:S Status:M Aktiv:I LNR:M ID:I QD QT CCSBzb SCSBzb SCSBizb XCSBzb XCSBizb "
                   "SCSBazb XCSBazb SCSBdos CBSBzb XTSzb XTSizb CTKNzb SNH4zb SNO3zb CPzb SKSzb SNH4an SNO3an "
                   "_SNO3an SorgNan SPO4an _SPO4an SKSan XNBM SNH4n0 SNH4n SNO3d0 SNO3dmax SNO3d EC:M RM:M "
                   "XCSBBM XCSBIBM XPBM XPBIOP XPF FM Beta TSBB TSAB T TTS TTSa SF MH MX MI MP MF VBBges VdV "
                   "DV:I DVERF:S RF _RF tT _tT QKask _QKask fC fN cs cx OVc OVcb OVcc OVn OVd OVh OCh");
        Define(dp, "ParamBez:S fTh fTa fTd Yh Bh Ya Ba Mueamax kN fOVs fOVe fOVd fP fI fdP fbP fKS fSI fCT fOT "
                   "fA iB iI PB fXNBM fXNBM_C fXPBM fXPBM_C fXPBIOP fXPBIOP_C fXPBIOPD fXPBIOPD_C fXPBIOPT "
                   "fXPBIOPT_C fCSB_A fCSB_B fCSB_B_VK fCSB_i fCSB_oTS");
        Define(dh, "SFH SH SO2zb SNH4ANSP MA fOVa SO2RF EtaVD EtaPBio fKS fTS fBP fDP AT:I css SSA100 Alpha "
                   "OP100:W OChRW QLN");
        Define(ph, "aTh Yh Bh aTa MUEaMax Ya Ba kN aTd fOVs fOVe fOVd fP fI fXNBM fXNI fXPBM fKLA");

        d.AddRow(Row(d, {{"Projekt", std::string("Kl\xE4ranlage Musterstadt")},
                         {"Bearbeiter", std::string("Ing. M\xFCller")},
                         {"Datum", EncodeDate(2026, 3, 14)},
                         {"FT", 1.0},
                         {"FTYP", std::string("Dreiwertiges Eisen")},
                         {"VBB", 8181.3},
                         {"HE", 4.5}}));
        dl.AddRow(Row(dl, {{"Bezeichn", std::string("Bemessung")},
                           {"Text", std::string("Bemessung")},
                           {"Aktiv", 1.0},
                           {"LNR", 1.0},
                           {"QD", 1234.5},
                           {"DV", 1.0},
                           {"DVERF", std::string("Vorgeschaltete Denitrifikation")},
                           {"VdV", 0.35},
                           {"TTS", 15.2},
                           {"SKSan", 1.2},
                           {"OVd", -310.4}}));
        for (int i = 0; i < 3; ++i)
            dl.AddRow(Row(dl, {{"Aktiv", 0.0}, {"DV", 0.0}}));
        dp.AddRow(Row(dp, {}));
        dh.AddRow(Row(dh, {{"AT", 0.0}, {"OP100", 2.0}, {"QLN", 2345.6}, {"EtaPBio", 40.0}}));
        ph.AddRow(Row(ph, {{"Yh", 0.75}}));
    }

    std::vector<ReportDataSet*> InWindowOrder() { return {&ph, &dh, &dp, &dl, &d}; }
};

}  // namespace velmoran::test
