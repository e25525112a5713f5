// The design calculation against reference values and its guarded paths.
#include "hsg/HsgCalculation.h"

#include "Scenario.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace velmoran;
using velmoran::testing::Plant;
using velmoran::testing::ScenarioA;

TEST(Scratch, Print)
{
    Plant p = ScenarioA();
    ConvertConcentrationsLoads(p.common, p.hsg);
    const int passes = HsgDesign(p.common, p.hsg);
    using namespace block;
    std::printf("passes %d\n", passes);
    std::printf("TTS %.10g TTSa %.10g VdV %.10g RF %.10g SNO3d %.10g XNBM %.10g\n", p.b(kTTS), p.b(kTTSa), p.b(kVdV),
                p.b(kRF), p.b(kSNO3d), p.b(kXNBM));
    std::printf("MH %.10g MI %.10g VBB %.10g VD %.10g OVcb %.10g OVn %.10g OVd %.10g\n", p.b(kMH), p.b(kMI),
                p.common.Double(common::kVBB), p.b(kVD), p.b(kOVcb), p.b(kOVn), p.b(kOVd));
    std::printf("fCcalc %.10g fNcalc %.10g OVh %.10g cs %.10g OCh %.10g OChRW %.10g QLN %.10g SKSan %.10g pH %.10g\n",
                p.b(kfCcalc), p.b(kfNcalc), p.b(kOVh), p.b(kcs), p.b(kOCh), p.h(hsg::kOChRW), p.h(hsg::kQLN),
                p.b(kSKSan), p.b(kpH));
    std::printf("Cs12 %.10g KH15 %.10g pK1 %.10g\n", OxygenSaturation(12), CarbonDioxideHenryTerm(15),
                CarbonicAcidPK1(15));
}
