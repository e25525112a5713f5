// Built-in defaults and member directory of the design module's record.
#include "hsg/HsgRecord.h"

#include <array>

namespace velmoran {

namespace {

constexpr MemberInfo D(std::string_view name, std::size_t offset)
{
    return {name, offset, MemberType::Double, MemberArea::Record};
}

constexpr auto kMembers = std::to_array<MemberInfo>({
    D("SO2zb", hsg::kSO2zb),
    D("BDO2zb", hsg::kBDO2zb),
    D("SNH4ANSP", hsg::kSNH4ANSP),
    D("SH", hsg::kSH),
    D("SFH", hsg::kSFH),
    D("MA", hsg::kMA),
    D("fOVa", hsg::kfOVa),
    D("SO2RF", hsg::kSO2RF),
    D("EtaPBio", hsg::kEtaPBio),
    D("fDP", hsg::kfDP),
    D("fBP", hsg::kfBP),
    D("fKS", hsg::kfKS),
    D("fTS", hsg::kfTS),
    {"AT", hsg::kAT, MemberType::Byte, MemberArea::Record},
    D("Alpha", hsg::kAlpha),
    D("css", hsg::kcss),
    D("SSARW", hsg::kSSARW),
    D("SSA100", hsg::kSSA100),
    D("OP100", hsg::kOP100),
    D("OChRW", hsg::kOChRW),
    D("QLN", hsg::kQLN),
    D("aTh", hsg::kaTh),
    D("Yh", hsg::kYh),
    D("Bh", hsg::kBh),
    D("aTa", hsg::kaTa),
    D("MUEaMax", hsg::kMUEaMax),
    D("Ya", hsg::kYa),
    D("Ba", hsg::kBa),
    D("kN", hsg::kkN),
    D("aTd", hsg::kaTd),
    D("fOVs", hsg::kfOVs),
    D("fOVe", hsg::kfOVe),
    D("fOVd", hsg::kfOVd),
    D("fP", hsg::kfP),
    D("fI", hsg::kfI),
    D("fXNBM", hsg::kfXNBM),
    D("fXNI", hsg::kfXNI),
    D("fXPBM", hsg::kfXPBM),
});

}  // namespace

void SetBuiltInDefaults(THSGRecord& r)
{
    r.SetDouble(hsg::kaTh, 1.072);
    r.SetDouble(hsg::kYh, 0.75);
    r.SetDouble(hsg::kBh, 0.17);
    r.SetDouble(hsg::kaTa, 1.103);
    r.SetDouble(hsg::kMUEaMax, 0.52);
    r.SetDouble(hsg::kYa, 0.15);
    r.SetDouble(hsg::kBa, 0.05);
    r.SetDouble(hsg::kkN, 1.0);
    r.SetDouble(hsg::kaTd, 1.09);
    r.SetDouble(hsg::kfOVs, 0.56);
    r.SetDouble(hsg::kfOVe, 0.2);
    r.SetDouble(hsg::kfOVd, 0.75);
    r.SetDouble(hsg::kfP, 0.6);
    r.SetDouble(hsg::kfI, 0.2);
    r.SetDouble(hsg::kfXNBM, 0.12);
    r.SetDouble(hsg::kfXNI, 0.01);
    r.SetDouble(hsg::kfXPBM, 0.03);
    r.SetDouble(hsg::kSNH4ANSP, 5.0);
    r.SetDouble(hsg::kSH, 1.7);
    r.SetDouble(hsg::kSFH, 1.25);
}

std::span<const MemberInfo> HsgRecordMembers()
{
    return kMembers;
}

}  // namespace velmoran
