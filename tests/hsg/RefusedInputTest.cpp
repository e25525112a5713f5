// Input the design cannot compute its results from, as the user meets it: the German messages name
// the field, stored results that were not computed from the inputs beside them are told apart, and
// the batch tool refuses such a calculation with the message and a failing exit code.
#include "hsg/DesignInputs.h"

#include "Scenario.h"
#include "framework/RecordText.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgModule.h"
#include "platform/core/FormatSettings.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

using namespace velmoran;
using velmoran::testing::Plant;
using velmoran::testing::ScenarioA;

namespace {

// The message of the refusal the calculation raises, with the member it names before a "|".
std::string RefusalOf(Plant p)
{
    try {
        HsgCalculate(p.common, p.hsg);
    } catch (const ERefusedInput& refusal) {
        return refusal.Field() + "|" + refusal.Message();
    }
    return "(keine Ablehnung)";
}

Plant CalculatedPlant()
{
    Plant p = ScenarioA();
    HsgCalculate(p.common, p.hsg);
    return p;
}

bool NotComputed(const Plant& p, std::string_view field)
{
    return std::ranges::count(ResultsNotComputed(p.common, p.hsg), field) == 1;
}

}  // namespace

// Alpha 0, h_E 0 and c_x at saturation once printed the new input beside OC_h,RW, Q_L,N or OC_h of
// the input before; a new calculation paged without a flow and S_NO3,AN 0 gave only the bare
// arithmetic error. Each is refused, and the message says which field and why.
TEST(DesignInputs, RefusalsNameTheField)
{
    ScopedFormatSettings german(FormatSettings::German());
    Plant alpha = ScenarioA();
    alpha.hsg.SetDouble(hsg::kAlpha, 0);
    EXPECT_EQ(RefusalOf(alpha), "Alpha|Der Alpha-Wert muss größer als 0 sein, sonst lassen sich der Sauerstoffeintrag "
                                "in Reinwasser OC_h,RW und die Luftmenge Q_L,N nicht berechnen.");

    Plant depth = ScenarioA();
    depth.common.SetDouble(common::kHE, 0);
    EXPECT_EQ(RefusalOf(depth), "HE|Die Einblastiefe h_E muss bei Druckbelüftung größer als 0 m sein, sonst lassen "
                                "sich die Luftmenge Q_L,N und der pH-Wert nicht berechnen.");

    Plant saturated = ScenarioA();
    saturated.B().SetDouble(block::kcx, 12.6);
    EXPECT_EQ(RefusalOf(saturated),
              "cx|Die Sauerstoffkonzentration im belüfteten Volumen c_x (12,60 mg/l) muss kleiner sein als die "
              "Sauerstoffsättigung in der Einblastiefe (12,58 mg/l), sonst lässt sich der Sauerstoffeintrag OC_h "
              "nicht berechnen.");

    Plant nitrate = ScenarioA();
    nitrate.B().SetDouble(block::kSNO3an, 0);
    EXPECT_EQ(RefusalOf(nitrate).rfind("SNO3an|Die Nitrat-Ablaufkonzentration S_NO3,AN muss bei vorgeschalteter", 0), 0u);

    // Loads without a flow cannot become concentrations: said as such.
    Plant loads = ScenarioA();
    loads.B().SetWord(block::kFlags, 129);
    loads.B().SetDouble(block::kQD, 0);
    EXPECT_EQ(RefusalOf(loads), "QD|Frachten brauchen einen Zufluss: Der Zufluss Q_D (bei Trockenwetter im "
                                "Tagesmittel) muss größer als 0 m³/d sein, sonst lassen sich die Frachten nicht in "
                                "Konzentrationen umrechnen.");
    loads.B().SetWord(block::kFlags, 1);
    loads.B().SetDouble(block::kQD, -5);
    EXPECT_EQ(RefusalOf(loads), "QD|Der Zufluss Q_D (bei Trockenwetter im Tagesmittel) muss größer als 0 m³/d sein, "
                                "sonst lässt sich keine Anlage bemessen.");
}

// What a file or an import holds beside input the design refuses: the results that input leaves
// uncomputed, and no others. A calculated plant has none.
TEST(DesignInputs, StoredResultsNotComputedFromTheInputsBesideThem)
{
    const Plant designed = CalculatedPlant();
    EXPECT_TRUE(ResultsNotComputed(designed.common, designed.hsg).empty());

    Plant alpha = designed;
    alpha.hsg.SetDouble(hsg::kAlpha, 0);
    for (const char* field : {"OChRW", "QLN", "SSABB", "pH"})
        EXPECT_TRUE(NotComputed(alpha, field)) << field;
    EXPECT_FALSE(NotComputed(alpha, "OCh"));
    EXPECT_FALSE(NotComputed(alpha, "VBB"));

    Plant saturated = designed;
    saturated.B().SetDouble(block::kcx, 50);
    for (const char* field : {"OCh", "OChRW", "QLN"})
        EXPECT_TRUE(NotComputed(saturated, field)) << field;
    EXPECT_FALSE(NotComputed(saturated, "pH"));

    Plant depth = designed;
    depth.common.SetDouble(common::kHE, 0);
    EXPECT_TRUE(NotComputed(depth, "QLN"));
    EXPECT_FALSE(NotComputed(depth, "OChRW"));

    Plant phosphate = designed;
    phosphate.B().SetDouble(block::kCPzb, 0.5);
    EXPECT_TRUE(NotComputed(phosphate, "SPO4an"));
    EXPECT_FALSE(NotComputed(phosphate, "TTS"));

    // Without a flow nothing was computed from what is shown.
    Plant dry = designed;
    dry.B().SetDouble(block::kQD, 0);
    for (const char* field : {"TTS", "VBB", "OVh", "QLN", "SKSan", "SPO4an"})
        EXPECT_TRUE(NotComputed(dry, field)) << field;

    // The design leaves the pH alone without acid capacity in the effluent; nothing else is missing.
    Plant acid = designed;
    acid.B().SetDouble(block::kSKSan, -0.5);
    EXPECT_EQ(ResultsNotComputed(acid.common, acid.hsg), std::vector<std::string_view>{"pH"});
}

#ifdef HSGCALC_PROGRAM
// hsgcalc on a calculation whose alpha value is 0 or whose c_x lies at saturation: no output pair,
// the refusal's German message on the error channel and exit code 1.
TEST(DesignInputs, HsgcalcRefusesWhatItCannotCompute)
{
    velmoran::testing::TempFolder folder;
    const auto refusal = [&](const char* name, const auto& change) {
        THsgModule module;
        module.ResetToDefaults();
        EXPECT_TRUE(module.ReadCalculationFile(std::string(VELMORAN_DATA_DIR) + "/examples/Beispiel.vda"));
        change(module);
        const std::string in = folder / (std::string(name) + ".vda");
        const std::string out = folder / (std::string(name) + "-aus.vda");
        EXPECT_TRUE(module.WriteCalculationFile(in).Ok);
        const std::string errors = folder / (std::string(name) + ".txt");
        const int status = std::system(("'" HSGCALC_PROGRAM "' '" + in + "' '" + out + "' 2>'" + errors + "'").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << name << ": " << status;
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
        std::ostringstream text;
        text << std::ifstream(errors).rdbuf();
        return text.str();
    };
    const std::string alpha = refusal("alpha", [](THsgModule& m) { m.CurrentHsg().SetDouble(hsg::kAlpha, 0); });
    EXPECT_EQ(alpha, "Der Alpha-Wert muss größer als 0 sein, sonst lassen sich der Sauerstoffeintrag in Reinwasser "
                     "OC_h,RW und die Luftmenge Q_L,N nicht berechnen.\n");
    const std::string saturated =
        refusal("cx", [](THsgModule& m) { m.CurrentCommon().Block(0).SetDouble(block::kcx, 50); });
    EXPECT_EQ(saturated.rfind("Die Sauerstoffkonzentration im belüfteten Volumen c_x (50", 0), 0u) << saturated;
}
#endif
