// The design calculation against reference values, its process and precipitant variants, its
// guarded results and its arithmetic errors.
#include "hsg/HsgCalculation.h"

#include "Scenario.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

using namespace velmoran;
using velmoran::testing::Plant;
using velmoran::testing::ScenarioA;

namespace {

// Compares with a reference value written to a limited number of decimals: equal within half a
// unit of its last digit, and never looser than a relative 1e-9.
void ExpectRef(double actual, const char* reference, const char* what)
{
    const double ref = std::strtod(reference, nullptr);
    const char* dot = std::strchr(reference, '.');
    const int decimals = dot ? static_cast<int>(std::strlen(dot + 1)) : 0;
    const double tolerance = std::max(0.5 * std::pow(10.0, -decimals), 1e-9 * std::fabs(ref));
    EXPECT_NEAR(actual, ref, tolerance) << what;
}

std::string ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EMathError& e) {
        return e.Message();
    }
    return "";
}

const std::string kInvalidOp = "Ungültige Gleitkommaoperation";
const std::string kZeroDivide = "Gleitkommadivision durch Null";

Plant Calculated(Plant p)
{
    HsgCalculate(p.common, p.hsg);
    return p;
}

}  // namespace

using namespace block;

TEST(HsgDesign, ScenarioAMatchesTheReference)
{
    Plant p = ScenarioA();
    ConvertConcentrationsLoads(p.common, p.hsg);
    EXPECT_EQ(HsgDesign(p.common, p.hsg), 4) << "outer passes";

    ExpectRef(p.b(kTTS), "11.4795684", "TTS");
    ExpectRef(p.b(kTTSa), "8.2593277", "TTSa");
    ExpectRef(p.b(kVdV), "0.2805193", "VdV");
    ExpectRef(p.b(kRF), "2.6363301", "RF");
    ExpectRef(p.b(kSNO3d), "26.3615381", "SNO3d");
    ExpectRef(p.b(kXNBM), "10.6358039", "XNBM");
    ExpectRef(p.b(kMH), "8329.3843", "MH");
    ExpectRef(p.b(kMI), "16444.722", "MI");
    ExpectRef(p.common.Double(common::kVBB), "8181.3038", "VBB");
    ExpectRef(p.b(kVD), "2295.0137", "VD");
    ExpectRef(p.b(kOVcb), "2752.2548", "OVcb");
    ExpectRef(p.b(kOVn), "1672.7119", "OVn");
    ExpectRef(p.b(kOVd), "-764.48461", "OVd");
    EXPECT_EQ(p.b(kfCcalc), 1.2);
    EXPECT_EQ(p.b(kfNcalc), 2.3);
    ExpectRef(p.b(kOVh), "208.27715", "OVh");
    ExpectRef(p.b(kcs), "12.5773147", "cs");
    ExpectRef(p.b(kOCh), "247.65901", "OCh");
    ExpectRef(p.h(hsg::kOChRW), "412.76501", "OChRW");
    ExpectRef(p.h(hsg::kQLN), "5596.8137", "QLN");
    ExpectRef(p.b(kSKSan), "4.6980492", "SKSan");
    ExpectRef(p.b(kpH), "6.3215148", "pH");

    // Volumes and the members tied to them.
    EXPECT_DOUBLE_EQ(p.b(kVN), p.common.Double(common::kVBB) - p.b(kVD));
    EXPECT_EQ(p.b(kVdVmax), 0.5);
    EXPECT_EQ(p.common.Double(common::kaFM), 56.0);
    EXPECT_DOUBLE_EQ(p.common.Double(common::kSSABB), 10.0);
    EXPECT_DOUBLE_EQ(p.b(kSNH4an), 1.0);
}

TEST(HsgDesign, RecalculationIsIdempotent)
{
    const Plant once = Calculated(ScenarioA());
    const Plant twice = Calculated(once);
    EXPECT_EQ(twice.common, once.common);
    EXPECT_EQ(twice.hsg, once.hsg);
}

TEST(HsgDesign, WithoutDenitrificationAndPrecipitant)
{
    Plant p = ScenarioA();
    p.B().SetBits(kProcess, kShiftDV, kCountDV, 0);
    p.common.SetByte(common::kFT, 0);
    p = Calculated(p);
    ExpectRef(p.b(kTTS), "8.2593277", "TTS");
    ExpectRef(p.common.Double(common::kVBB), "5469.7798", "VBB");
    ExpectRef(p.b(kOVh), "226.70083", "OVh");
    ExpectRef(p.b(kpH), "6.3415623", "pH");

    EXPECT_EQ(p.b(kVdV), 0.0);
    EXPECT_EQ(p.b(kTTSa), p.b(kTTS));
    EXPECT_EQ(p.b(kSNO3d), 0.0);
    EXPECT_EQ(p.b(kVD), 0.0);
    EXPECT_EQ(p.b(kVN), p.common.Double(common::kVBB));
    EXPECT_EQ(p.b(kXPF), 0.0);
    EXPECT_EQ(p.b(kMF), 0.0);
    EXPECT_EQ(p.h(hsg::kfDP), 0.0);
    EXPECT_EQ(p.h(hsg::kfBP), 0.0);
    EXPECT_EQ(p.h(hsg::kfKS), 0.0);
    EXPECT_EQ(p.h(hsg::kfTS), 1.0);
    EXPECT_EQ(p.common.Double(common::kaFM), 0.0);
}

TEST(HsgDesign, WaterChemistryHelpers)
{
    ExpectRef(OxygenSaturation(12), "10.7805554", "Cs(12)");
    ExpectRef(OxygenSaturation(10), "11.29", "Cs(10)");
    ExpectRef(CarbonDioxideHenryTerm(15), "45.7366891", "KH(15)");
    ExpectRef(CarbonicAcidPK1(15), "6.413255", "pK1(15)");
    EXPECT_EQ(ErrorText([] { OxygenSaturation(-50); }), kInvalidOp);
}

TEST(HsgDesign, RoundsHalfToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(23.5), 24.0);
    EXPECT_EQ(RoundHalfEven(24.5), 24.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.4999999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
}

TEST(HsgDesign, ArithmeticErrorsKeepWhatWasWritten)
{
    // Every input 0, built-in parameters: 0/0 in the phosphorus balance.
    Plant zero;
    SetBuiltInDefaults(zero.hsg);
    zero.B().SetWord(kFlags, 1);
    EXPECT_EQ(ErrorText([&] { HsgCalculate(zero.common, zero.hsg); }), kInvalidOp);
    EXPECT_EQ(zero.b(kVdVmax), 0.5) << "set-up members keep their new values";
    EXPECT_GT(zero.b(kTTS), 0.0);

    // Upstream denitrification with no effluent nitrate: the minimum recirculation divides by 0.
    Plant p = ScenarioA();
    p.B().SetDouble(kSNO3an, 0);
    EXPECT_EQ(ErrorText([&] { HsgCalculate(p.common, p.hsg); }), kZeroDivide);
    EXPECT_DOUBLE_EQ(p.b(kTTS), 1.25 / (0.52 / 1.7 * 5 / 6 * std::pow(1.103, -3) - 0.05 * std::pow(1.09, -3)));
    EXPECT_DOUBLE_EQ(p.b(kBDNH4zb), 350.0) << "the conversion ran";

    // A zero temperature base below 15 °C.
    Plant cold = ScenarioA();
    cold.hsg.SetDouble(hsg::kaTd, 0);
    EXPECT_EQ(ErrorText([&] { HsgCalculate(cold.common, cold.hsg); }), kZeroDivide);

    // No flow.
    Plant dry = ScenarioA();
    dry.B().SetDouble(kQD, 0);
    EXPECT_FALSE(ErrorText([&] { HsgCalculate(dry.common, dry.hsg); }).empty());
}

TEST(HsgDesign, DenitrificationProcesses)
{
    // Simultaneous (3): no recirculation, fOVa 1, target from the nitrogen balance.
    Plant sim = ScenarioA();
    sim.B().SetBits(kProcess, kShiftDV, kCountDV, 3);
    sim = Calculated(sim);
    EXPECT_EQ(sim.b(kRF), 0.0);
    EXPECT_EQ(sim.h(hsg::kfOVa), 1.0);
    EXPECT_DOUBLE_EQ(sim.b(kSNO3d0), sim.b(kSNH4n) - 10.0);
    EXPECT_GT(sim.b(kVdV), 0.0);
    EXPECT_LE(sim.b(kVdV), 0.5);
    EXPECT_NEAR(sim.b(kSNO3d), sim.b(kSNO3d0), 0.05);

    // Intermittent (5): the same share, the peak demand raised by 1/(1 - VdV).
    Plant inter = ScenarioA();
    inter.B().SetBits(kProcess, kShiftDV, kCountDV, 5);
    inter = Calculated(inter);
    EXPECT_EQ(inter.b(kVdV), sim.b(kVdV));
    const double base = std::max((inter.b(kOVcb) + inter.b(kOVd) + 1.8 * inter.b(kOVn)) / 24,
                                 ((inter.b(kOVcb) + inter.b(kOVd)) * 1.2 + inter.b(kOVn)) / 24);
    EXPECT_DOUBLE_EQ(inter.b(kOVh), base / (1 - inter.b(kVdV)));

    // Upstream with a large recirculation: fOVa is raised towards and held at 1.
    Plant up = ScenarioA();
    up.B().SetDouble(kSNO3an, 2);
    up = Calculated(up);
    EXPECT_GT(up.b(kRF), 10.0);
    EXPECT_EQ(up.h(hsg::kfOVa), 1.0);

    // The share never exceeds 0.5, whatever the target.
    Plant big = ScenarioA();
    big.B().SetDouble(kCTKNzb, 120);
    big.B().SetDouble(kSNO3an, 1);
    big = Calculated(big);
    EXPECT_EQ(big.b(kVdV), 0.5);
    EXPECT_DOUBLE_EQ(big.b(kTTS), 2 * big.b(kTTSa));
}

TEST(HsgDesign, NothingLeftToDenitrifyKeepsAPositiveShare)
{
    // Upstream, effluent nitrate above what is nitrified and no inflow nitrate: the target is 0.
    Plant up = ScenarioA();
    up.B().SetDouble(kSNO3an, 40);
    ASSERT_NO_THROW(up = Calculated(up));
    EXPECT_EQ(up.b(kRF), 0.0);
    EXPECT_EQ(up.b(kSNO3d0), 0.0);
    EXPECT_EQ(up.b(kVdV), 0.001);
    EXPECT_GE(up.b(kTTS), up.b(kTTSa));

    // Simultaneous with little nitrogen: a negative target.
    Plant sim = ScenarioA();
    sim.B().SetBits(kProcess, kShiftDV, kCountDV, 3);
    sim.B().SetDouble(kSNO3an, 40);
    ASSERT_NO_THROW(sim = Calculated(sim));
    EXPECT_LT(sim.b(kSNO3d0), 0.0);
    EXPECT_EQ(sim.b(kVdV), 0.001);
    EXPECT_GE(sim.b(kTTS), sim.b(kTTSa));
}

TEST(HsgDesign, Precipitants)
{
    Plant fe3 = Calculated(ScenarioA());
    Plant fe2 = ScenarioA();
    fe2.common.SetByte(common::kFT, 2);
    fe2 = Calculated(fe2);
    EXPECT_DOUBLE_EQ(fe2.b(kTTSa), 1.1 * fe3.b(kTTSa));
    EXPECT_EQ(fe2.h(hsg::kfKS), 2.44);

    Plant al = ScenarioA();
    al.common.SetByte(common::kFT, 3);
    al = Calculated(al);
    EXPECT_EQ(al.common.Double(common::kaFM), 27.0);
    EXPECT_EQ(al.h(hsg::kfBP), 2.52);
    EXPECT_EQ(al.b(kSPO4an), 2.0);
    const double xpf = al.b(kSPO4an0) - 2.0;
    EXPECT_DOUBLE_EQ(al.b(kXPF), xpf);
    EXPECT_DOUBLE_EQ(al.b(kFM), al.b(kSPO4an0) * 27.0 / 31.0 * 1.5 * 10.0);
    EXPECT_DOUBLE_EQ(al.b(kMF), 2.52 * al.b(kSPO4an0) * 1.5 * 10.0 * al.b(kTTS));
    EXPECT_NEAR(al.b(kSKSan), 8 - 0.07 * (35 - 1 + 10 - 0) + 0.03 * xpf - 6.71 / 61 * 1.5 * xpf, 1e-12);

    // Codes above 3 leave the factors as they were.
    Plant odd = ScenarioA();
    odd.hsg.SetDouble(hsg::kfBP, 7.0);
    odd.hsg.SetDouble(hsg::kfTS, 1.0);
    odd.common.SetByte(common::kFT, 4);
    odd = Calculated(odd);
    EXPECT_EQ(odd.h(hsg::kfBP), 7.0);
}

TEST(HsgDesign, NothingToPrecipitateStoresNoNegativeAmount)
{
    // Biological removal leaves less than 3/Beta: nothing is precipitated.
    Plant p = ScenarioA();
    p.B().SetDouble(kCPzb, 3.0);
    p = Calculated(p);
    EXPECT_LT(p.b(kSPO4an0), 2.0);
    EXPECT_EQ(p.b(kSPO4an), p.b(kSPO4an0));
    EXPECT_EQ(p.b(kXPF), 0.0);
    EXPECT_EQ(p.b(kFM), 0.0);
    EXPECT_EQ(p.b(kMF), 0.0);
    EXPECT_NEAR(p.b(kSKSan), 8 - 0.07 * 44, 1e-12) << "no acid capacity is gained";
}

TEST(HsgDesign, BiologicalPhosphorusRemovalLimits)
{
    Plant full = ScenarioA();
    full.hsg.SetDouble(hsg::kEtaPBio, 100);
    full = Calculated(full);
    EXPECT_EQ(full.b(kXPBM), 8.0);
    EXPECT_EQ(full.b(kSPO4an), 0.0);
    EXPECT_EQ(full.b(kXPF), 0.0);
    EXPECT_EQ(full.h(hsg::kEtaPBio), 100.0);

    Plant over = ScenarioA();
    over.hsg.SetDouble(hsg::kEtaPBio, 150);
    over = Calculated(over);
    EXPECT_EQ(over.b(kXPBM), 8.0);
    EXPECT_DOUBLE_EQ(over.h(hsg::kEtaPBio), 100.0);
    EXPECT_EQ(over.b(kSPO4an), 0.0);

    // The biomass alone binds more than the inflow brings: the effluent values are not
    // recomputed and nothing is precipitated.
    Plant lean = ScenarioA();
    lean.B().SetDouble(kCPzb, 0.5);
    lean.B().SetDouble(kSPO4an, 77);
    lean.B().SetDouble(kSPO4an0, 66);
    lean = Calculated(lean);
    EXPECT_GT(lean.b(kXPBM), 0.5);
    EXPECT_EQ(lean.b(kSPO4an), 77);
    EXPECT_EQ(lean.b(kSPO4an0), 66);
    EXPECT_EQ(lean.b(kXPF), 0.0);
}

TEST(HsgDesign, LoadsEnteredInsteadOfConcentrations)
{
    Plant withOxygen = ScenarioA();
    withOxygen.hsg.SetDouble(hsg::kSO2zb, 0.5);
    const Plant reference = Calculated(withOxygen);
    Plant p = ScenarioA();
    const TLoadCaseBlock b = p.B();
    b.SetWord(kFlags, kFlagAktiv | kFlagLoads);
    const std::pair<std::size_t, std::size_t> pairs[] = {{kCBSBzb, kBDBSBzb}, {kXTSzb, kBDXTSzb},
                                                         {kCTKNzb, kBDTKNzb}, {kSNH4zb, kBDNH4zb},
                                                         {kSNO3zb, kBDNO3zb}, {kCPzb, kBDPzb}};
    for (auto [conc, load] : pairs) {
        b.SetDouble(load, b.Double(conc) * 10.0);
        b.SetDouble(conc, 0.0);
    }
    p.hsg.SetDouble(hsg::kBDO2zb, 5.0);
    p = Calculated(p);
    EXPECT_EQ(p.B().Word(kFlags), 1) << "the record now says concentrations";
    EXPECT_EQ(p.b(kCBSBzb), 250.0);
    EXPECT_EQ(p.b(kCTKNzb), 50.0);
    EXPECT_EQ(p.h(hsg::kSO2zb), 0.5);
    EXPECT_EQ(p.common, reference.common) << "loads and concentrations agree";
    EXPECT_EQ(p.hsg, reference.hsg);

    // Loads with no flow give zero concentrations, not an error in the conversion.
    Plant dry = ScenarioA();
    dry.B().SetWord(kFlags, kFlagAktiv | kFlagLoads);
    dry.B().SetDouble(kQD, 0);
    ConvertConcentrationsLoads(dry.common, dry.hsg);
    EXPECT_EQ(dry.b(kCBSBzb), 0.0);
}

TEST(HsgDesign, StopCodesKeepThePreviousResults)
{
    // S = 1: nothing left to nitrify.
    Plant lean = ScenarioA();
    lean.B().SetDouble(kCTKNzb, 5);
    lean.B().SetDouble(kMH, 111);
    lean.B().SetDouble(kMI, 222);
    lean.B().SetDouble(kSNH4n, 333);
    lean.hsg.SetDouble(hsg::kMA, 444);
    lean.B().SetDouble(kTTSa, 555);
    lean = Calculated(lean);
    EXPECT_EQ(lean.b(kMH), 111);
    EXPECT_EQ(lean.b(kMI), 222);
    EXPECT_EQ(lean.b(kSNH4n), 333);
    EXPECT_EQ(lean.h(hsg::kMA), 444);
    EXPECT_EQ(lean.b(kTTSa), 555);
    EXPECT_DOUBLE_EQ(lean.b(kSNH4n0), 5 - 12.5 - 2);
    EXPECT_DOUBLE_EQ(lean.b(kXNBM), 12.5) << "the first guess of the set-up stays";
    EXPECT_DOUBLE_EQ(lean.b(kOVn), 4.6 * 333 / 1000 * 10000) << "later steps use the kept values";

    // S = 2: no autotrophic growth; TTS keeps its value too.
    Plant cold = ScenarioA();
    cold.hsg.SetDouble(hsg::kMUEaMax, 0.01);
    cold.B().SetDouble(kTTS, 20);
    cold.B().SetDouble(kMH, 111);
    cold = Calculated(cold);
    EXPECT_EQ(cold.b(kTTS), 20);
    EXPECT_EQ(cold.b(kMH), 111);
    EXPECT_DOUBLE_EQ(cold.b(kXNBM), 12.5);
}

TEST(HsgDesign, SetUpAndGuidanceValues)
{
    Plant p = ScenarioA();
    p.hsg.SetDouble(hsg::kSFH, 0.8);
    p = Calculated(p);
    EXPECT_EQ(p.h(hsg::kSFH), 1.0);

    for (double bdbsb : {500.0, 9000.0}) {
        Plant q = ScenarioA();
        q.common.SetDouble(common::kBDBSB, bdbsb);
        q = Calculated(q);
        const double tts = q.b(kTTS);
        const double raw = bdbsb < 1200 ? 90.394 * std::pow(tts, -0.5577) : 51.626 * std::pow(tts, -0.4567);
        EXPECT_DOUBLE_EQ(q.b(kfNcalc), std::nearbyint(raw) / 10) << bdbsb;
    }

    // Alpha 0 and cx at saturation leave the supply values as they were.
    Plant keep = ScenarioA();
    keep.hsg.SetDouble(hsg::kAlpha, 0);
    keep.hsg.SetDouble(hsg::kOChRW, 1);
    keep.hsg.SetDouble(hsg::kQLN, 2);
    keep.common.SetDouble(common::kSSABB, 3);
    keep.B().SetDouble(kcx, 50);
    keep.B().SetDouble(kOCh, 4);
    keep = Calculated(keep);
    EXPECT_EQ(keep.h(hsg::kOChRW), 1);
    EXPECT_EQ(keep.h(hsg::kQLN), 2);
    EXPECT_EQ(keep.common.Double(common::kSSABB), 3);
    EXPECT_EQ(keep.b(kOCh), 4);
    EXPECT_GT(keep.b(kpH), 0.0) << "pH from the kept SSABB";
}
