// The HSG design calculation.
#include "hsg/HsgCalculation.h"

#include "hsg/CheckedNumber.h"
#include "hsg/DesignInputs.h"

#include <cmath>
#include <optional>

namespace velmoran {

namespace {

Num Pow(Num base, Num exponent)
{
    return CheckedPower(base.Value(), exponent.Value());
}

Num Max(Num a, Num b)
{
    return a > b ? a : b;
}

Num Abs(Num a)
{
    return std::fabs(a.Value());
}

// The members of the calculation, read and written in place: block 0 of the common record, its
// header and the module record.
class Records {
public:
    Records(TCommonRecord& common, THSGRecord& hsgRecord) : c_(common), h_(hsgRecord), b_(common.Block(0)) {}

    Num B(std::size_t offset) const { return b_.Double(offset); }
    void SetB(std::size_t offset, Num value) { b_.SetDouble(offset, value.Value()); }
    Num C(std::size_t offset) const { return c_.Double(offset); }
    void SetC(std::size_t offset, Num value) { c_.SetDouble(offset, value.Value()); }
    Num H(std::size_t offset) const { return h_.Double(offset); }
    void SetH(std::size_t offset, Num value) { h_.SetDouble(offset, value.Value()); }

    const TCommonRecord& Common() const { return c_; }
    const THSGRecord& Hsg() const { return h_; }
    TConstLoadCaseBlock Block() const { return b_; }
    void SetFlags(std::uint16_t flags) { b_.SetWord(block::kFlags, flags); }

private:
    TCommonRecord& c_;
    THSGRecord& h_;
    TLoadCaseBlock b_;
};

// Quantities of one design run that are not stored.
struct Locals {
    Num q;    // flow in 1000 m³/d
    Num bH;   // heterotrophic decay rate
    Num bA;   // autotrophic decay rate
    Num muA;  // autotrophic growth rate
    Num plantSize;
    unsigned dv = 0;
};

struct Precipitant {
    double fDP, fBP, fKS, fTS, aFM;
};
constexpr Precipitant kPrecipitants[] = {
    {0.0, 0.0, 0.0, 1.0, 0.0},     // none
    {1.42, 3.45, 3.66, 1.0, 56.0},  // iron(III)
    {1.42, 3.45, 2.44, 1.1, 56.0},  // iron(II)
    {1.42, 2.52, 6.71, 1.0, 27.0},  // aluminium
};

Locals SetUp(Records& r)
{
    using namespace block;
    r.SetFlags(kFlagAktiv);

    const Num t15 = r.B(kT) - 15.0;
    r.SetB(kfTempA, Pow(r.H(hsg::kaTa), t15));
    r.SetB(kfTempH, Pow(r.H(hsg::kaTh), t15));
    Locals l;
    l.bH = r.H(hsg::kBh) * r.B(kfTempH);
    const NitrifierRates rates = NitrifierRatesOf(r.Common(), r.Hsg());
    l.bA = rates.Decay;
    l.muA = rates.Growth;
    l.q = r.B(kQD) / 1000.0;

    const std::uint8_t ft = r.Common().ByteAt(common::kFT);
    if (ft < 4) {
        const Precipitant& p = kPrecipitants[ft];
        r.SetH(hsg::kfDP, p.fDP);
        r.SetH(hsg::kfBP, p.fBP);
        r.SetH(hsg::kfKS, p.fKS);
        r.SetH(hsg::kfTS, p.fTS);
        r.SetC(common::kaFM, p.aFM);
    }

    l.dv = r.Block().Bits(kProcess, kShiftDV, kCountDV);
    r.SetB(kVdVmax, 0.5);
    r.SetB(kVdV, l.dv > 0 ? r.B(kVdVmax) : Num(0.0));
    r.SetB(kSNH4an, r.H(hsg::kSNH4ANSP) / 5.0);
    // A safety factor below 1 would size the sludge age shorter than the nitrifiers need: it is
    // raised to 1 and written back, so that the page shows the factor the design used.
    if (r.H(hsg::kSFH) < 1.0)
        r.SetH(hsg::kSFH, 1.0);

    const Num bdbsb = r.C(common::kBDBSB);
    l.plantSize = bdbsb < 1200.0 ? Num(1200.0) : bdbsb > 6000.0 ? Num(6000.0) : bdbsb;

    r.SetB(kXNBM, 0.05 * r.B(kCBSBzb));
    r.SetB(kSNO3dmax, 0.0);
    r.SetB(kSNO3d, 0.0);
    return l;
}

enum InnerStop { kInnerGoOn = 0, kShareAtLimit = 2, kNoDenitrification = 3 };

// The inner iteration over the denitrification share: scales VdV until the denitrification
// capacity meets the target SNO3d0.
void DenitrificationShare(Records& r, const Locals& l, int& innerStop)
{
    using namespace block;
    Num d = 0.0;
    for (int pass = 1;; ++pass) {
        const Num vdv = r.B(kVdV);
        const Num rf = r.B(kRF);
        Num fOVa = 1.0;
        if (l.dv == 1) {
            fOVa = 2.95 * Pow(100.0 * vdv, -0.235);
            if (rf > 5.0)
                fOVa = Max(fOVa + (1.0 - fOVa) * (rf - 5.0) / 5.0, 1.0);
        }
        r.SetH(hsg::kfOVa, fOVa);

        const Num t = r.B(kTTS) / (1.0 - vdv) * r.B(kfTempH);
        const Num ovDen = fOVa * r.H(hsg::kfOVd) * r.B(kCBSBzb) * vdv *
                          (r.H(hsg::kfOVe) * r.H(hsg::kYh) * t / (r.H(hsg::kBh) * t + 1.0) + r.H(hsg::kfOVs));
        const Num capacity = (ovDen - r.H(hsg::kSO2zb) - rf * r.H(hsg::kSO2RF)) / 2.86;
        r.SetB(kSNO3dmax, capacity);

        if (capacity > 0.0) {
            const Num target = r.B(kSNO3d0);
            d = Abs(target - capacity);
            if (d > 0.01)
                r.SetB(kVdV, r.B(kVdV) * target / capacity);
            if (r.B(kVdV) > r.B(kVdVmax)) {
                innerStop = kShareAtLimit;
                r.SetB(kVdV, r.B(kVdVmax));
            }
        } else {
            innerStop = kNoDenitrification;
        }
        if (!(d > 0.01 && r.B(kVdV) >= 0.001 && innerStop == kInnerGoOn))
            break;
        if (pass >= kMaxInnerPasses)
            break;
    }
}

// Nothing is left to denitrify under the effluent target: no volume for it and no credit. The
// share once stayed where the scaling drove it (at least 0.001) with the credit of the capacity
// of an earlier share. Upstream denitrification cannot be sized without a share: the design
// refuses it when the last pass leaves nothing (a pass before may, and the next sizes the share
// afresh). The others' correction factor is 1 and their capacity that of no volume.
void WithoutDenitrification(Records& r)
{
    using namespace block;
    r.SetB(kVdV, 0.0);
    r.SetH(hsg::kfOVa, 1.0);
    r.SetB(kSNO3dmax, (Num(0.0) - r.H(hsg::kSO2zb) - r.B(kRF) * r.H(hsg::kSO2RF)) / 2.86);
    r.SetB(kSNO3d, 0.0);
}

int OuterLoop(Records& r, const Locals& l)
{
    using namespace block;
    int innerStop = kInnerGoOn;
    for (int pass = 1;; ++pass) {
        // Each pass binds more or less nitrogen in the sludge: a pass that leaves nothing to
        // nitrify, or less than the effluent keeps, once ended the loop with the results of the
        // pass before (a denitrification volume credited with a negative demand). Refused instead,
        // with this pass's figures.
        CheckDesignInputs(r.Common(), r.Hsg(), CheckStage::Pass);
        // The input checks made sure that the nitrifiers grow faster than they decay.
        r.SetB(kTTS, r.H(hsg::kSFH) / (l.muA - l.bA) * r.H(hsg::kfTS));
        r.SetB(kSNH4n0, r.B(kCTKNzb) - r.B(kXNBM) - r.B(kSorgNan));
        r.SetB(kSNH4n, r.B(kSNH4n0) - r.B(kSNH4an));
        if (r.B(kTTS) > 0.0)
            r.SetH(hsg::kMA, r.H(hsg::kYa) * r.B(kSNH4n) * l.q / (1.0 / r.B(kTTS) + l.bA));

        if (l.dv != 0) {
            const Num snh4n = r.B(kSNH4n);
            if (l.dv == 1) {
                const Num sno3an = r.B(kSNO3an);
                r.SetB(kRF, Max((snh4n - sno3an) / sno3an, 0.0));
                const Num rf = r.B(kRF);
                r.SetB(kSNO3d0, snh4n * rf / (1.0 + rf) + r.B(kSNO3zb));
            } else {
                r.SetB(kRF, 0.0);
                r.SetB(kSNO3d0, r.B(kSNO3zb) + snh4n - r.B(kSNO3an));
            }
            if (r.B(kSNO3d0) < kLeastToDenitrify) {
                WithoutDenitrification(r);
            } else {
                // A pass before found nothing to denitrify: this one sizes the share afresh.
                if (!(r.B(kVdV) > 0.0))
                    r.SetB(kVdV, r.B(kVdVmax));
                DenitrificationShare(r, l, innerStop);
                r.SetB(kSNO3d, Max(r.B(kSNO3dmax), 0.0));
            }
        }

        const Num vdv = r.B(kVdV);
        r.SetB(kTTSa, r.B(kTTS));
        r.SetB(kTTS, r.B(kTTS) / (1.0 - vdv));
        if (r.B(kTTS) > 0.0)
            r.SetB(kMH, r.H(hsg::kYh) * r.B(kCBSBzb) * l.q / (1.0 / r.B(kTTS) + l.bH));
        r.SetB(kMI, (r.H(hsg::kfP) * r.B(kXTSzb) * l.q + (l.bH * r.B(kMH) + l.bA * r.H(hsg::kMA)) * r.H(hsg::kfI)) *
                        r.B(kTTS));
        r.SetH(hsg::kMA, r.H(hsg::kMA) / (1.0 - vdv));

        const Num previousXNBM = r.B(kXNBM);
        if (r.B(kTTS) > 0.0)
            r.SetB(kXNBM, ((r.H(hsg::kMA) + r.B(kMH)) * r.H(hsg::kfXNBM) + r.B(kMI) * r.H(hsg::kfXNI)) /
                              r.B(kTTS) / l.q);

        if (Abs(r.B(kXNBM) - previousXNBM) < 0.01 || pass >= kMaxOuterPasses)
            return pass;
    }
}

// Without a positive TS_BB the volumes are not computed (the design refuses it at the end).
void Volumes(Records& r)
{
    using namespace block;
    if (!VolumeComputable(r.Common()))
        return;
    const Num m = r.B(kMI) + r.B(kMF) + r.B(kMH) + r.H(hsg::kMA);
    r.SetC(common::kVBB, m / r.B(kTSBB));
    r.SetB(kVD, r.C(common::kVBB) * r.B(kVdV));
    r.SetB(kVN, r.C(common::kVBB) - r.B(kVD));
}

void OxygenDemand(Records& r, const Locals& l)
{
    using namespace block;
    const Num qd = r.B(kQD);
    r.SetB(kOVcb, r.H(hsg::kfOVs) * r.B(kCBSBzb) / 1000.0 * qd + r.H(hsg::kfOVe) * r.B(kMH) * r.B(kfTempH));
    r.SetB(kOVn, 4.6 * r.B(kSNH4n) / 1000.0 * qd);
    r.SetB(kOVd, -2.9 * r.B(kSNO3d) / 1000.0 * qd);

    const Num tts = r.B(kTTS);
    if (tts > 0.0) {
        r.SetB(kfCcalc, Num(RoundHalfEven((29.32 * Pow(tts, -0.0897)).Value())) / 20.0);
        const Num w = (l.plantSize - 1200.0) / 4800.0;
        const Num fN = 90.394 * Pow(tts, -0.5577) * (1.0 - w) + 51.626 * Pow(tts, -0.4567) * w;
        r.SetB(kfNcalc, Num(RoundHalfEven(fN.Value())) / 10.0);
    }

    const Num ovcb = r.B(kOVcb), ovd = r.B(kOVd), ovn = r.B(kOVn);
    r.SetB(kOVh, Max((ovcb + ovd + r.B(kfN) * ovn) / 24.0, ((ovcb + ovd) * r.B(kfC) + ovn) / 24.0));
    const Num vdv = r.B(kVdV);
    if (l.dv > 3 && vdv < 1.0)
        r.SetB(kOVh, r.B(kOVh) / (1.0 - vdv));
}

void OxygenSupply(Records& r)
{
    using namespace block;
    r.SetH(hsg::kcss, OxygenSaturation(r.B(kT).Value()));
    const Num he = r.C(common::kHE);
    r.SetB(kcs, SaturationAtBlowInDepth(r.H(hsg::kcss).Value(), he.Value()));
    const Num cs = r.B(kcs), cx = r.B(kcx);
    // What a guard leaves uncomputed is refused at the end of the design; nothing is computed from
    // the value it keeps.
    const bool supplied = cx < cs;
    if (supplied)
        r.SetB(kOCh, r.B(kOVh) * cs / (cs - cx));
    const Num alpha = r.H(hsg::kAlpha);
    if (alpha > 0.0) {
        r.SetC(common::kSSABB, r.H(hsg::kSSARW) / alpha);
        if (!supplied)
            return;
        r.SetH(hsg::kOChRW, r.B(kOCh) / alpha);
        const Num ssa100 = r.H(hsg::kSSA100);
        if (ssa100 > 0.0 && he > 0.0)
            r.SetH(hsg::kQLN, r.H(hsg::kOChRW) * 1000.0 / ssa100 / 2.95 / he);
    }
}

void AcidCapacityAndPH(Records& r)
{
    using namespace block;
    const Num xpf = r.B(kXPF);
    r.SetB(kSKSan, r.B(kSKSzb) - 0.07 * (r.B(kSNH4zb) - r.B(kSNH4an) + r.B(kSNO3an) - r.B(kSNO3zb)) + 0.03 * xpf -
                       r.H(hsg::kfKS) / 61.0 * r.B(kBeta) * xpf);

    // Without a positive alpha value the clean-water utilisation SSABB is one of an earlier run.
    const Num ssabb = r.C(common::kSSABB), he = r.C(common::kHE);
    if (r.H(hsg::kAlpha) > 0.0 && ssabb > 0.0 && he > 0.0) {
        const double t = r.B(kT).Value();
        const Num y =
            r.B(kSKSan) / 0.0021 / ssabb / he / CarbonDioxideHenryTerm(t) / (he / 30.0 + 1.0);
        if (y > 0.0)
            r.SetB(kpH, Num(CheckedLog10(y.Value())) + CarbonicAcidPK1(t));
    }
}

}  // namespace

double RoundHalfEven(double x)
{
    const double floor = std::floor(x);
    const double diff = x - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double OxygenSaturation(double t)
{
    return (Num(2234.34) / Pow(Num(t) + 45.93, 1.31403)).Value();
}

double CarbonDioxideHenryTerm(double t)
{
    const Num tk = Num(t) + 273.0;
    return (Pow(10.0, 2385.73 / tk - 14.0184 + 0.01526 * tk) * 1000.0).Value();
}

double CarbonicAcidPK1(double t)
{
    const Num tk = Num(t) + 273.0;
    return (3404.7 / tk - 14.8435 + 0.03276 * tk).Value();
}

void ConvertConcentrationsLoads(TCommonRecord& common, THSGRecord& hsgRecord)
{
    using namespace block;
    struct Pair {
        std::size_t concentration, load;
    };
    static constexpr Pair kPairs[] = {
        {kCCSBzb, kBDCCSBzb}, {kSCSBzb, kBDSCSBzb}, {kCBSBzb, kBDBSBzb}, {kXTSzb, kBDXTSzb},
        {kCTKNzb, kBDTKNzb},  {kSNH4zb, kBDNH4zb},  {kSNO3zb, kBDNO3zb}, {kCPzb, kBDPzb},
    };
    CheckConversionInputs(common, hsgRecord);
    const TLoadCaseBlock b = common.Block(0);
    const Num qd = b.Double(kQD);
    // Without a flow one side cannot follow from the other: both stay as entered. A factor of 0
    // once wiped every concentration (or load) when the flow was 0 for a moment.
    if (!(qd > 0.0))
        return;
    if (b.Word(kFlags) & kFlagLoads) {
        const Num f = 1000.0 / qd;
        for (const Pair& p : kPairs)
            b.SetDouble(p.concentration, (Num(b.Double(p.load)) * f).Value());
        hsgRecord.SetDouble(hsg::kSO2zb, (Num(hsgRecord.Double(hsg::kBDO2zb)) * f).Value());
    } else {
        const Num f = qd / 1000.0;
        for (const Pair& p : kPairs)
            b.SetDouble(p.load, (Num(b.Double(p.concentration)) * f).Value());
        hsgRecord.SetDouble(hsg::kBDO2zb, (Num(hsgRecord.Double(hsg::kSO2zb)) * f).Value());
    }
}

void PhosphorusBalance(TCommonRecord& common, THSGRecord& hsgRecord)
{
    using namespace block;
    Records r(common, hsgRecord);
    r.SetB(kMF, 0.0);
    r.SetB(kXPF, 0.0);
    r.SetB(kFM, 0.0);

    const Num cp = r.B(kCPzb), qd = r.B(kQD);
    r.SetB(kXPBM, (r.B(kMH) + r.H(hsg::kMA)) * r.H(hsg::kfXPBM) / qd / r.B(kTTS) * 1000.0);
    // The biomass binds more than the inflow brings: the effluent phosphate cannot be computed and
    // keeps its value, which the tables and the pages show as missing (EffluentPhosphateNotComputed).
    // Nothing is precipitated; sludge, volumes and oxygen are computed all the same.
    if (r.B(kXPBM) > cp)
        return;

    // A biological removal beyond what the inflow brings is lowered to what it allows and written
    // back, so that the page shows the removal the design used. Only a removal above 100 % binds
    // more than the inflow brings (the biomass alone does not, or the balance ended above), so
    // the removal the inflow allows, C_P / X_P,BM times the removal, is 100 %. Written as that
    // product, it came out a hair off; above 100 % the next run on the stored records lowered
    // it again and took them for records not computed as they stand.
    r.SetB(kXPBM, Max(r.H(hsg::kEtaPBio) / 100.0 * cp, r.B(kXPBM)));
    if (r.B(kXPBM) > cp) {
        r.SetH(hsg::kEtaPBio, 100.0);
        r.SetB(kXPBM, cp);
    }
    r.SetB(kSPO4an, cp - r.B(kXPBM));
    r.SetB(kSPO4an0, r.B(kSPO4an));
    if (common.ByteAt(common::kFT) == 0)
        return;

    const Num beta = r.B(kBeta), spo4an0 = r.B(kSPO4an0);
    // The effluent target 3/Beta applies only when it lies below what is left without
    // precipitation; otherwise there is nothing to precipitate.
    if (beta > 0.0) {
        const Num target = 3.0 / beta;
        if (target < spo4an0)
            r.SetB(kSPO4an, target);
    }
    r.SetB(kXPF, spo4an0 - r.B(kSPO4an));
    if (r.B(kXPF) <= 0.0)
        return;

    r.SetB(kFM, spo4an0 * common.Double(common::kaFM) / 31.0 * beta * qd / 1000.0);
    const Num ndp = static_cast<double>(r.Block().ByteAt(knDP));
    r.SetB(kMF, (ndp * r.H(hsg::kfDP) + r.H(hsg::kfBP) * spo4an0 * beta) * qd / 1000.0 * r.B(kTTS));
}

int HsgDesign(TCommonRecord& common, THSGRecord& hsgRecord)
{
    // Input that would leave a result at an earlier calculation's value, or divide by 0, is refused
    // before anything is written; what only a pass of the loop finds, in that pass or at its end.
    // What leaves only some results of the last steps uncomputed (no TS_BB, no alpha value, ...) is
    // refused at the end: the other results are computed first, from the inputs as they stand.
    // (Refused before them, an import of T and TS_BB 0 kept the oxygen demand of the temperature
    // before beside the new one.)
    CheckDesignInputs(common, hsgRecord, CheckStage::Inputs);
    Records r(common, hsgRecord);
    const Locals l = SetUp(r);
    const int passes = OuterLoop(r, l);
    CheckDesignInputs(common, hsgRecord, CheckStage::LoopEnd);
    const std::optional<ERefusedInput> supplyRefused = RefusedInput(common, hsgRecord, CheckStage::Supply);
    PhosphorusBalance(common, hsgRecord);
    Volumes(r);
    OxygenDemand(r, l);
    OxygenSupply(r);
    AcidCapacityAndPH(r);
    if (supplyRefused)
        throw *supplyRefused;
    return passes;
}

void HsgCalculate(TCommonRecord& common, THSGRecord& hsgRecord)
{
    ConvertConcentrationsLoads(common, hsgRecord);
    HsgDesign(common, hsgRecord);
}

NitrifierRates NitrifierRatesOf(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const TConstLoadCaseBlock b = common.Block(0);
    const Num t15 = Num(b.Double(block::kT)) - 15.0;
    const Num snh4ansp = hsgRecord.Double(hsg::kSNH4ANSP);
    const Num growth = Num(hsgRecord.Double(hsg::kMUEaMax)) / hsgRecord.Double(hsg::kSH) * snh4ansp /
                       (Num(hsgRecord.Double(hsg::kkN)) + snh4ansp) * Pow(hsgRecord.Double(hsg::kaTa), t15).Value();
    const Num decay = Num(hsgRecord.Double(hsg::kBa)) * Pow(hsgRecord.Double(hsg::kaTd), t15);
    return {growth.Value(), decay.Value()};
}

double SaturationAtBlowInDepth(double css, double he)
{
    return ((Num(he) / 30.0 + 1.0) * css).Value();
}

bool VolumeComputable(const TCommonRecord& common)
{
    return common.Block(0).Double(block::kTSBB) > 0.0;
}

bool PhComputed(const TCommonRecord& common, std::size_t k, const THSGRecord& hsgRecord)
{
    return common.Double(common::kHE) > 0 && hsgRecord.Double(hsg::kAlpha) > 0 && hsgRecord.Double(hsg::kSSARW) > 0 &&
           common.Block(k).Double(block::kSKSan) > 0;
}

bool PhApplies(const TCommonRecord& common, std::size_t k, const THSGRecord& hsgRecord)
{
    return hsgRecord.AT() == 0 && PhComputed(common, k, hsgRecord);
}

}  // namespace velmoran
