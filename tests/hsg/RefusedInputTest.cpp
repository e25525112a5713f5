// Input the design cannot compute its results from, as the user meets it: the German messages name
// the field, numbers that are none first, stored results that were not computed from the inputs
// beside them are told apart, and the batch tool refuses such a calculation with the message and a
// failing exit code, or says what it left out.
#include "hsg/DesignInputs.h"

#include "Scenario.h"
#include "framework/RecordText.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgModule.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "tests/support/ExampleCopy.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
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

// Surface aeration blows no air in at a depth: a blow-in depth h_E of 0 is no input to refuse
// there. The design computes, the oxygen supply too, leaving out only the pH and the air flow,
// which need that depth (the air flow of an earlier calculation once stood as computed), and never
// divides by it.
TEST(DesignInputs, SurfaceAerationComputesWithoutABlowInDepth)
{
    Plant surface = ScenarioA();
    ApplyRecordText("AT;1", surface.hsg.View(), HsgRecordMembers());
    surface.common.SetDouble(common::kHE, 0);
    EXPECT_EQ(RefusalOf(surface), "(keine Ablehnung)");
    EXPECT_EQ(ResultsNotComputed(surface.common, surface.hsg), (std::vector<std::string_view>{"QLN", "pH"}));
    HsgCalculate(surface.common, surface.hsg);
    EXPECT_GT(surface.b(block::kOCh), 0.0);
    EXPECT_TRUE(std::isfinite(surface.h(hsg::kOChRW)));
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

    // Calculated again without denitrification: the recirculation, the target and the oxygen
    // correction of the upstream denitrification before once stood as computed beside "keine".
    Plant none = designed;
    none.B().SetBits(block::kProcess, block::kShiftDV, block::kCountDV, 0);
    HsgCalculate(none.common, none.hsg);
    EXPECT_EQ(ResultsNotComputed(none.common, none.hsg), (std::vector<std::string_view>{"RF", "SNO3d0", "fOVa"}));

    // The design leaves the pH alone without acid capacity in the effluent; nothing else is missing.
    Plant acid = designed;
    acid.B().SetDouble(block::kSKSan, -0.5);
    EXPECT_EQ(ResultsNotComputed(acid.common, acid.hsg), std::vector<std::string_view>{"pH"});
}

// A number that is none or lies beyond any plant, from a file, once gave a bare "Ungültige
// Gleitkommaoperation" or "Gleitkommaüberlauf" (the checks of C_TKN and C_P let NaN through), or a
// message quoting 309 digits; a check's formula that failed (kN = -S_NH4,AN,Sp divides by 0)
// escaped unnamed, and so does a negative kN now, refused as no plant has it. Each is refused
// first, naming the field, its figures short.
TEST(DesignInputs, NumbersThatAreNoneAreRefusedFirstNamingTheField)
{
    ScopedFormatSettings german(FormatSettings::German());
    const double none = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* field;
        void (*change)(Plant&, double);
        double value;
        const char* named;
    } cases[] = {
        {"CTKNzb", [](Plant& p, double v) { p.B().SetDouble(block::kCTKNzb, v); }, none, "Gesamt-Kjeldahl-Stickstoff"},
        {"CPzb", [](Plant& p, double v) { p.B().SetDouble(block::kCPzb, v); }, none, "Gesamt-Phosphor C_P,ZB"},
        {"QD", [](Plant& p, double v) { p.B().SetDouble(block::kQD, v); }, HUGE_VAL, "Zufluss Q_D"},
        {"T", [](Plant& p, double v) { p.B().SetDouble(block::kT, v); }, 1e308, "1E308 im Feld „Temperatur T“"},
        {"CTKNzb", [](Plant& p, double v) { p.B().SetDouble(block::kCTKNzb, v); }, -1e308, "-1E308"},
        {"Alpha", [](Plant& p, double v) { p.hsg.SetDouble(hsg::kAlpha, v); }, 1e-300, "1E-300 im Feld „Alpha-Wert“"},
        {"aTh", [](Plant& p, double v) { p.hsg.SetDouble(hsg::kaTh, v); }, none, "Temperaturkonstante (Heterotrophe"},
        {"BDTKNzb",
         [](Plant& p, double v) {
             p.B().SetWord(block::kFlags, 129);
             p.B().SetDouble(block::kBDTKNzb, v);
         },
         none, "Fracht Gesamt-Kjeldahl-Stickstoff"},
        {"kN", [](Plant& p, double v) { p.hsg.SetDouble(hsg::kkN, v); }, -5, "Der Wert -5 im Feld „Halbwerts"},
    };
    for (const auto& c : cases) {
        Plant p = ScenarioA();
        c.change(p, c.value);
        const std::string refusal = RefusalOf(p);
        EXPECT_EQ(refusal.substr(0, refusal.find('|')), c.field) << refusal;
        EXPECT_TRUE(Contains(refusal, c.named)) << refusal;
        EXPECT_FALSE(Contains(UpperCase(refusal), "NAN") || Contains(UpperCase(refusal), "INF")) << refusal;
        EXPECT_EQ(refusal.find("0000000000000000"), std::string::npos) << refusal;
        EXPECT_TRUE(NotComputed(p, "TTS")) << refusal;
    }
}

// A later pass that finds nothing left to nitrify is known only to the design: stored records
// holding such input beside results (a file of an earlier version) show every result as missing.
// Too little phosphorus in the inflow leaves the effluent phosphate alone uncomputed, and says so.
TEST(DesignInputs, WhatOnlyTheDesignFindsInStoredRecords)
{
    ScopedFormatSettings german(FormatSettings::German());
    Plant later = CalculatedPlant();
    later.B().SetDouble(block::kCTKNzb, 18);
    later.B().SetDouble(block::kXTSzb, 900);
    for (const char* field : {"TTS", "VBB", "VD", "OVd", "OCh"})
        EXPECT_TRUE(NotComputed(later, field)) << field;

    Plant lean = ScenarioA();
    lean.B().SetDouble(block::kCPzb, 2);
    HsgCalculate(lean.common, lean.hsg);
    EXPECT_EQ(ResultsNotComputed(lean.common, lean.hsg), (std::vector<std::string_view>{"SPO4an", "SPO4an0"}));
    EXPECT_EQ(EffluentPhosphateNotComputed(lean.common, lean.hsg),
              "Das Phosphat im Ablauf lässt sich nicht berechnen: Die Biomasse bindet mehr Phosphor (X_P,BM 2,30 "
              "mg/l), als der Zulauf bringt (C_P,ZB 2,00 mg/l).");
    EXPECT_EQ(EffluentPhosphateNotComputed(CalculatedPlant().common, CalculatedPlant().hsg), std::nullopt);
}

#ifdef HSGCALC_PROGRAM
namespace {

// What hsgcalc did with the example changed by `change`: its exit code, what it said on either
// channel, and whether it wrote the output pair.
struct HsgcalcRun {
    int ExitCode = -1;
    std::string Said;
    bool Written = false;
};
HsgcalcRun RunHsgcalc(const velmoran::testing::TempFolder& folder, const std::string& name,
                      const std::function<void(THsgModule&)>& change, bool withModuleFile = true)
{
    THsgModule module;
    module.ResetToDefaults();
    EXPECT_TRUE(module.ReadCalculationFile(velmoran::testing::CopyOfExample(folder)));
    change(module);
    const std::string in = folder / (name + ".vda");
    const std::string out = folder / (name + "-aus.vda");
    EXPECT_TRUE(module.WriteCalculationFile(in).Ok);
    if (!withModuleFile)
        std::filesystem::remove(folder / (name + ".vdh"));
    const std::string said = folder / (name + ".txt");
    const int status = std::system(("'" HSGCALC_PROGRAM "' '" + in + "' '" + out + "' >'" + said + "' 2>&1").c_str());
    std::ostringstream text;
    text << std::ifstream(said).rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str(), std::filesystem::exists(out)};
}

}  // namespace

// hsgcalc on a calculation whose alpha value is 0 or whose c_x lies at saturation: no output pair,
// the refusal's German message on the error channel and exit code 1.
TEST(DesignInputs, HsgcalcRefusesWhatItCannotCompute)
{
    velmoran::testing::TempFolder folder;
    const auto refusal = [&](const char* name, const std::function<void(THsgModule&)>& change) {
        const HsgcalcRun run = RunHsgcalc(folder, name, change);
        EXPECT_EQ(run.ExitCode, 1) << name;
        EXPECT_FALSE(run.Written) << name;
        return run.Said;
    };
    const std::string alpha = refusal("alpha", [](THsgModule& m) { m.CurrentHsg().SetDouble(hsg::kAlpha, 0); });
    EXPECT_EQ(alpha, "Der Alpha-Wert muss größer als 0 sein, sonst lassen sich der Sauerstoffeintrag in Reinwasser "
                     "OC_h,RW und die Luftmenge Q_L,N nicht berechnen.\n");
    const std::string saturated =
        refusal("cx", [](THsgModule& m) { m.CurrentCommon().Block(0).SetDouble(block::kcx, 50); });
    EXPECT_EQ(saturated.rfind("Die Sauerstoffkonzentration im belüfteten Volumen c_x (50", 0), 0u) << saturated;
}

// hsgcalc once wrote the first pass's results for C_TKN 18 with X_TS 900, and refused a C_P,ZB of
// 2 mg/l whole; a temperature constant of 0 or NaN in C_TKN gave bare arithmetic errors. The first
// three are refused naming their field; the last is computed, and hsgcalc says what it left out.
TEST(DesignInputs, HsgcalcNamesTheFieldOrComputesWithoutTheEffluentPhosphate)
{
    ScopedFormatSettings german(FormatSettings::German());
    velmoran::testing::TempFolder folder;
    const HsgcalcRun later = RunHsgcalc(folder, "spaeter", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kCTKNzb, 18);
        m.CurrentCommon().Block(0).SetDouble(block::kXTSzb, 900);
    });
    EXPECT_EQ(later.ExitCode, 1);
    EXPECT_TRUE(Contains(later.Said, "Im Zulauf bleibt kein Stickstoff zu nitrifizieren")) << later.Said;
    const HsgcalcRun cold = RunHsgcalc(folder, "ath", [](THsgModule& m) { m.CurrentHsg().SetDouble(hsg::kaTh, 0); });
    EXPECT_EQ(cold.ExitCode, 1);
    EXPECT_TRUE(Contains(cold.Said, "„Temperaturkonstante (Heterotrophe Organismen)“")) << cold.Said;
    const HsgcalcRun none = RunHsgcalc(folder, "nan", [](THsgModule& m) {
        m.CurrentCommon().Block(0).SetDouble(block::kCTKNzb, std::numeric_limits<double>::quiet_NaN());
    });
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_TRUE(Contains(none.Said, "„Gesamt-Kjeldahl-Stickstoff C_TKN,ZB“")) << none.Said;
    for (const HsgcalcRun* run : {&later, &cold, &none})
        EXPECT_FALSE(run->Written || Contains(run->Said, "Gleitkomma")) << run->Said;

    const HsgcalcRun lean =
        RunHsgcalc(folder, "cp2", [](THsgModule& m) { m.CurrentCommon().Block(0).SetDouble(block::kCPzb, 2); });
    EXPECT_EQ(lean.ExitCode, 0);
    EXPECT_TRUE(lean.Written);
    EXPECT_TRUE(Contains(lean.Said, "Das Phosphat im Ablauf lässt sich nicht berechnen")) << lean.Said;
}

// hsgcalc computed a BSB5 of -250 and f_P -0,6 (exit 0) and ended Y_A -1000 in a bare overflow, and
// refused S_FH 0,8 and Bio-P 150 %, which the design raises to 1 and lowers to what the inflow
// allows: the first three are refused naming the field, the others computed so, and said.
TEST(DesignInputs, HsgcalcRefusesImpossibleValuesAndComputesTheDesignsOwnAdjustments)
{
    ScopedFormatSettings german(FormatSettings::German());
    velmoran::testing::TempFolder folder;
    const std::pair<const char*, void (*)(THsgModule&)> refused[] = {
        {"„BSB5 im Zulauf C_BSB,ZB“",
         [](THsgModule& m) { m.CurrentCommon().Block(0).SetDouble(block::kCBSBzb, -250); }},
        {"„Nicht abbaub. Anteil in Zulauf-Feststoffen", [](THsgModule& m) { m.CurrentHsg().SetDouble(hsg::kfP, -0.6); }},
        {"„Ertragsfaktor (Autotrophe Organismen)“", [](THsgModule& m) { m.CurrentHsg().SetDouble(hsg::kYa, -1000); }},
    };
    for (const auto& [field, change] : refused) {
        const HsgcalcRun run = RunHsgcalc(folder, "falsch", change);
        EXPECT_EQ(run.ExitCode, 1) << field;
        EXPECT_TRUE(Contains(run.Said, field)) << run.Said;
    }
    const HsgcalcRun adjusted = RunHsgcalc(folder, "angepasst", [](THsgModule& m) {
        m.CurrentHsg().SetDouble(hsg::kSFH, 0.8);
        m.CurrentHsg().SetDouble(hsg::kEtaPBio, 150);
    });
    EXPECT_EQ(adjusted.Said, "Sicherheitsfaktor: gerechnet mit 1 statt 0,8\nBiol. Phosphorentfernung: gerechnet mit 100 "
                             "statt 150\n");
    THsgModule computed;
    ASSERT_TRUE(computed.ReadCalculationFile(folder / "angepasst-aus.vda"));
    EXPECT_EQ(computed.CurrentHsg().Double(hsg::kSFH), 1.0);

    // Without its module file the calculation is refused for the defaults' alpha value of 0: said
    // alone, that sent the user to the alpha value.
    const HsgcalcRun lonely = RunHsgcalc(folder, "ohne", [](THsgModule&) {}, false);
    EXPECT_EQ(lonely.ExitCode, 1);
    EXPECT_TRUE(Contains(lonely.Said, "gelten die Standardwerte") && Contains(lonely.Said, "ohne.vdh“ fehlt"))
        << lonely.Said;
}
#endif
