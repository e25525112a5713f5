// The member directory of the common record.
#include "framework/RecordMembers.h"

#include <array>

namespace velmoran {

namespace {

using enum MemberType;
using enum MemberArea;

constexpr MemberInfo H(std::string_view name, std::size_t offset, MemberType type = Double)
{
    return {name, offset, type, Header};
}
constexpr MemberInfo HBits(std::string_view name, std::size_t offset, std::uint8_t shift, std::uint8_t count)
{
    return {name, offset, Bits, Header, shift, count};
}
constexpr MemberInfo L(std::string_view name, std::size_t offset, MemberType type = Double)
{
    return {name, offset, type, LoadCase};
}
constexpr MemberInfo LBits(std::string_view name, std::size_t offset, std::uint8_t shift, std::uint8_t count)
{
    return {name, offset, Bits, LoadCase, shift, count};
}
constexpr MemberInfo T(std::string_view name, std::size_t offset, MemberType type = Double)
{
    return {name, offset, type, Tail};
}
constexpr MemberInfo P(std::string_view name, std::size_t index)
{
    return {name, 6504 + 8 * index, Double, Parameters};
}

constexpr auto kMembers = std::to_array<MemberInfo>({
    // Header.
    H("Projekt", 8, ShortString),
    H("Bearbeiter", 264, ShortString),
    H("Datum", 520, DateTime),
    HBits("BM", 528, 1, 1),
    HBits("RZ", 530, 0, 4),
    HBits("DN", 530, 4, 1),
    HBits("FS", 530, 6, 1),
    H("GE", 531, Byte),
    H("VE", 532, Byte),
    HBits("VK", 532, 0, 1),
    HBits("MB", 532, 1, 1),
    HBits("AS", 532, 2, 1),
    HBits("NS", 532, 5, 1),
    H("BDBSB", 536),
    H("FT", 549, Byte),
    H("_TSBB", 552),
    H("_TSBA", 560),
    H("_TTS", 568),
    H("_SF", 584),
    H("VBB", 632),
    H("_VBB", 640),
    H("nKask", 648),
    H("aFM", 656),
    H("SSABB", 664),
    H("HE", 672),
    H("VMB", 680),
    H("VAS", 696),
    // Load-case block.
    L("Bezeichn", 0, ShortString),
    L("Text", 256, ShortString),
    L("Flags", 512, Word),
    LBits("Aktiv", 512, 0, 1),
    L("QD", 520),
    L("QT", 528),
    L("CCSBzb", 544),
    L("SCSBzb", 552),
    L("XCSBzb", 560),
    L("SCSBizb", 568),
    L("XCSBizb", 576),
    L("SCSBazb", 584),
    L("XCSBazb", 592),
    L("CBSBzb", 600),
    L("SCSBdos", 616),
    L("XTSzb", 624),
    L("XTSizb", 632),
    L("SNH4zb", 640),
    L("SNO3zb", 648),
    L("CTKNzb", 656),
    L("CPzb", 664),
    L("SKSzb", 672),
    L("BDCCSBzb", 680),
    L("BDSCSBzb", 688),
    L("BDBSBzb", 736),
    L("BDXTSzb", 752),
    L("BDNH4zb", 768),
    L("BDNO3zb", 776),
    L("BDTKNzb", 784),
    L("BDPzb", 792),
    L("SNH4an", 800),
    L("SNO3an", 816),
    L("_SNO3an", 824),
    L("SorgNan", 832),
    L("SPO4an", 840),
    L("_SPO4an", 848),
    L("SKSan", 856),
    L("SNH4n0", 864),
    L("SNH4n", 872),
    L("SNO3d0", 880),
    L("SNO3dmax", 888),
    L("SNO3d", 896),
    L("SPO4an0", 904),
    L("XPF", 912),
    L("TSBB", 920),
    L("TSAB", 928),
    L("T", 936),
    L("TTS", 944),
    L("TTSa", 952),
    L("SF", 960),
    L("MH", 968),
    L("MX", 976),
    L("MI", 984),
    L("MP", 992),
    L("MF", 1000),
    L("XCSBBM", 1008),
    L("XCSBIBM", 1016),
    L("XNBM", 1032),
    L("XPBM", 1040),
    L("XPBIOP", 1048),
    L("nDP", 1072, Byte),
    L("Beta", 1080),
    L("FM", 1088),
    L("VdV", 1096),
    L("VdVmax", 1104),
    L("VD", 1112),
    L("VN", 1128),
    LBits("DV", 1144, 0, 4),
    LBits("RM", 1144, 6, 2),
    LBits("EC", 1144, 7, 1),
    L("RF", 1152),
    L("_RF", 1160),
    L("tT", 1168),
    L("_tT", 1176),
    L("QKask", 1184),
    L("_QKask", 1192),
    L("fTempH", 1200),
    L("fTempA", 1208),
    L("fC", 1216),
    L("fCcalc", 1224),
    L("fN", 1232),
    L("fNcalc", 1240),
    L("cx", 1248),
    L("cs", 1256),
    L("pH", 1264),
    L("OVcb", 1272),
    L("OVn", 1280),
    L("OVd", 1288),
    L("OVcc", 1304),
    L("OVh", 1312),
    L("OCh", 1320),
    // Tail: clarifier and plant data.
    T("NT", 6048, Byte),
    T("QM", 6056),
    T("a", 6064),
    T("ANB", 6072),
    T("ANBEFF", 6080),
    T("_ANB", 6088),
    T("VNB", 6096),
    T("qA", 6104),
    T("_qA", 6112),
    T("qSV", 6120),
    T("_qSV", 6128),
    T("ISV", 6136),
    T("tE", 6144),
    T("RV", 6160),
    T("TSZN", 6176),
    T("_TSZN", 6184),
    T("TSRS", 6192),
    T("TSBS", 6200),
    T("R2B", 6208),
    T("nTr", 6216),
    T("Qk", 6240),
    T("Qsr", 6248),
    T("QRS", 6256),
    T("H1", 6264),
    T("H2", 6272),
    T("H3", 6280),
    T("H4", 6288),
    T("HNB", 6296),
    T("_HNB", 6304),
    T("HEinl", 6312),
    T("dNB", 6328),
    T("_dNB", 6336),
    T("dMB", 6344),
    T("bNB", 6352),
    T("lNB", 6360),
    T("_lNB", 6368),
    T("dSNB", 6384),
    T("xNB", 6392),
    T("HVNB", 6400),
    T("RT", 6408, Byte),
    T("aR", 6416),
    T("fSR", 6424),
    T("bSR", 6432),
    T("hSR", 6440),
    T("tSR", 6448),
    T("tS", 6456),
    T("lB", 6464),
    T("lW", 6472),
    T("lSR", 6480),
    T("vSR", 6488),
    T("vF", 6496),
    // Parameter set (slots 3, 4, 13 and 14 are reserved).
    P("fTh", 0),
    P("Yh", 1),
    P("Bh", 2),
    P("fTa", 5),
    P("Ya", 6),
    P("Ba", 7),
    P("Mueamax", 8),
    P("kN", 9),
    P("fTd", 10),
    P("fOVs", 11),
    P("fOVe", 12),
    P("fP", 15),
    P("fI", 16),
    P("fdP", 17),
    P("fbP", 18),
    P("fKS", 19),
    P("fXNBM", 20),
    P("fXNBM_C", 21),
    P("fXPBM", 22),
    P("fXPBM_C", 23),
    P("fXPBIOP", 24),
    P("fXPBIOP_C", 25),
    P("fXPBIOPD", 26),
    P("fXPBIOPD_C", 27),
    P("fXPBIOPT", 28),
    P("fXPBIOPT_C", 29),
    P("fCSB_A", 30),
    P("fCSB_B", 31),
    P("fCSB_B_VK", 32),
    P("fCSB_i", 33),
    P("fCSB_oTS", 34),
});

}  // namespace

std::span<const MemberInfo> CommonRecordMembers()
{
    return kMembers;
}

const MemberInfo* FindMember(std::span<const MemberInfo> members, std::string_view name)
{
    for (const MemberInfo& m : members)
        if (m.Name == name)
            return &m;
    return nullptr;
}

}  // namespace velmoran
