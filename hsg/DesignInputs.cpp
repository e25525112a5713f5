// The inputs the design refuses; see DesignInputs.h.
#include "hsg/DesignInputs.h"

#include "hsg/HsgCalculation.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <span>

namespace velmoran {

namespace {

using namespace std::string_view_literals;

// Every result of the design that a table shows (the derived "OVc" included).
constexpr auto kAllResults = std::to_array<std::string_view>({
    "SNH4an", "XNBM",  "SNO3dmax", "SNO3d", "TTS",   "TTSa",  "SNH4n0", "SNH4n",  "RF",   "SNO3d0", "MH",
    "MI",     "MF",    "XPBM",     "SPO4an", "SPO4an0", "XPF", "FM",     "VD",     "VN",   "OVcb",   "OVc",
    "OVn",    "OVd",   "fCcalc",   "fNcalc", "OVh",   "cs",    "OCh",    "SKSan",  "pH",   "VBB",    "SSABB",
    "MA",     "fOVa",  "css",      "OChRW",  "QLN",   "VdV",
});
constexpr auto kVolumes = std::to_array<std::string_view>({"VBB", "VD", "VN"});
constexpr auto kSupply = std::to_array<std::string_view>({"OCh", "OChRW", "QLN"});
constexpr auto kCleanWater = std::to_array<std::string_view>({"OChRW", "QLN", "SSABB", "pH"});
constexpr auto kAirAndPh = std::to_array<std::string_view>({"QLN", "pH"});
constexpr auto kAir = std::to_array<std::string_view>({"QLN"});
constexpr auto kEffluentPhosphate = std::to_array<std::string_view>({"SPO4an", "SPO4an0"});

// The records at a check: what the design reads.
struct Inputs {
    const TCommonRecord& common;
    const THSGRecord& hsg;

    double B(std::size_t offset) const { return common.Block(0).Double(offset); }
    double C(std::size_t offset) const { return common.Double(offset); }
    double H(std::size_t offset) const { return hsg.Double(offset); }
    bool Loads() const { return (common.Block(0).Word(block::kFlags) & block::kFlagLoads) != 0; }
    unsigned Process() const { return common.Block(0).Bits(block::kProcess, block::kShiftDV, block::kCountDV); }
    bool DiffusedAeration() const { return hsg.AT() == 0; }
};

// One check: the member it names, whether it refuses the records, its message, and the results
// that the design, were it not refused, would leave at earlier values.
struct Check {
    std::string_view Field;
    CheckStage Stage;
    bool (*Refuses)(const Inputs&);
    std::string (*Message)(const Inputs&);
    std::span<const std::string_view> Results;
};

double CapacityToNitrify(const Inputs& in)
{
    // What the outer loop's first pass leaves to nitrify, with its first guess of the bound nitrogen.
    return in.B(block::kCTKNzb) - 0.05 * in.B(block::kCBSBzb) - in.B(block::kSorgNan);
}

double PhosphorusInBiomass(const Inputs& in)
{
    return (in.B(block::kMH) + in.H(hsg::kMA)) * in.H(hsg::kfXPBM) / in.B(block::kQD) / in.B(block::kTTS) * 1000.0;
}

double SaturationAtDepth(const Inputs& in)
{
    return SaturationAtBlowInDepth(OxygenSaturation(in.B(block::kT)), in.C(common::kHE));
}

const Check kChecks[] = {
    {"QD", CheckStage::Inputs, [](const Inputs& in) { return !(in.B(block::kQD) > 0.0); },
     [](const Inputs& in) {
         const std::string field = "Der Zufluss Q_D (bei Trockenwetter im Tagesmittel) muss größer als 0 m³/d sein";
         if (in.Loads())
             return "Frachten brauchen einen Zufluss: " + field +
                    ", sonst lassen sich die Frachten nicht in Konzentrationen umrechnen.";
         return field + ", sonst lässt sich keine Anlage bemessen.";
     },
     kAllResults},
    {"SH", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kSH) > 0.0); },
     [](const Inputs&) {
         return std::string("Der Schwankungsfaktor muss größer als 0 sein, sonst lässt sich das Schlammalter nicht "
                            "berechnen.");
     },
     kAllResults},
    {"CTKNzb", CheckStage::Inputs, [](const Inputs& in) { return CapacityToNitrify(in) < 0.01; },
     [](const Inputs& in) {
         return "Im Zulauf bleibt kein Stickstoff zu nitrifizieren: Der Gesamt-Kjeldahl-Stickstoff C_TKN,ZB (" +
                FormatNumber(1, in.B(block::kCTKNzb)) +
                " mg/l) muss größer sein als der in der Biomasse gebundene Stickstoff (5 % des BSB5) und der "
                "organische Stickstoff im Ablauf zusammen (" +
                FormatNumber(1, in.B(block::kCTKNzb) - CapacityToNitrify(in)) +
                " mg/l), sonst lassen sich Schlammalter und Biomasse nicht berechnen.";
     },
     kAllResults},
    {"TSBB", CheckStage::Inputs, [](const Inputs& in) { return !VolumeComputable(in.common); },
     [](const Inputs&) {
         return std::string("Die Schlammtrockensubstanz TS_BB muss größer als 0 kg/m³ sein, sonst lässt sich das "
                            "Beckenvolumen nicht berechnen.");
     },
     kVolumes},
    {"FT", CheckStage::Inputs, [](const Inputs& in) { return in.common.ByteAt(common::kFT) > 3; },
     [](const Inputs& in) {
         return "Das Fällmittel mit dem Code " + std::to_string(in.common.ByteAt(common::kFT)) +
                " ist unbekannt, seine Kennwerte lassen sich nicht bestimmen. Bitte wählen Sie ein Fällmittel aus "
                "der Liste.";
     },
     kAllResults},
    {"SNH4ANSP", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kSNH4ANSP) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Ammonium-Ablaufkonzentration bei Spitzenlast S_NH4,AN,Sp muss größer als 0 mg/l "
                            "sein, sonst wachsen keine Nitrifikanten und das Schlammalter lässt sich nicht "
                            "berechnen.");
     },
     kAllResults},
    {"T", CheckStage::Inputs,
     [](const Inputs& in) {
         const NitrifierRates rates = NitrifierRatesOf(in.common, in.hsg);
         return !(rates.Growth > rates.Decay);
     },
     [](const Inputs& in) {
         return "Bei der Temperatur T = " + FormatNumber(1, in.B(block::kT)) +
                " °C wachsen die Nitrifikanten nicht schneller, als sie absterben, und das Schlammalter lässt sich "
                "nicht berechnen. Bitte prüfen Sie die Temperatur T, den Schwankungsfaktor und die Parameter der "
                "autotrophen Organismen.";
     },
     kAllResults},
    {"SNO3an", CheckStage::Inputs,
     [](const Inputs& in) { return in.Process() == 1 && !(in.B(block::kSNO3an) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Nitrat-Ablaufkonzentration S_NO3,AN muss bei vorgeschalteter Denitrifikation "
                            "größer als 0 mg/l sein, sonst lässt sich das Rückführverhältnis nicht berechnen.");
     },
     kAllResults},
    {"cx", CheckStage::Inputs, [](const Inputs& in) { return !(in.B(block::kcx) < SaturationAtDepth(in)); },
     [](const Inputs& in) {
         return "Die Sauerstoffkonzentration im belüfteten Volumen c_x (" + FormatNumber(2, in.B(block::kcx)) +
                " mg/l) muss kleiner sein als die Sauerstoffsättigung in der Einblastiefe (" +
                FormatNumber(2, SaturationAtDepth(in)) +
                " mg/l), sonst lässt sich der Sauerstoffeintrag OC_h nicht berechnen.";
     },
     kSupply},
    {"Alpha", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kAlpha) > 0.0); },
     [](const Inputs&) {
         return std::string("Der Alpha-Wert muss größer als 0 sein, sonst lassen sich der Sauerstoffeintrag in "
                            "Reinwasser OC_h,RW und die Luftmenge Q_L,N nicht berechnen.");
     },
     kCleanWater},
    {"HE", CheckStage::Inputs, [](const Inputs& in) { return in.DiffusedAeration() && !(in.C(common::kHE) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Einblastiefe h_E muss bei Druckbelüftung größer als 0 m sein, sonst lassen sich die "
                            "Luftmenge Q_L,N und der pH-Wert nicht berechnen.");
     },
     kAirAndPh},
    {"SSA100", CheckStage::Inputs,
     [](const Inputs& in) { return in.DiffusedAeration() && !(in.H(hsg::kSSA100) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Sauerstoffausnutzung in Reinwasser bei maximaler Belüfterbeaufschlagung muss bei "
                            "Druckbelüftung größer als 0 %/m sein, sonst lässt sich die Luftmenge Q_L,N nicht "
                            "berechnen.");
     },
     kAir},
    {"CPzb", CheckStage::Phosphorus, [](const Inputs& in) { return PhosphorusInBiomass(in) > in.B(block::kCPzb); },
     [](const Inputs& in) {
         return "Die Biomasse bindet mehr Phosphor (X_P,BM " + FormatNumber(2, PhosphorusInBiomass(in)) +
                " mg/l), als der Zulauf bringt (Gesamt-Phosphor C_P,ZB " + FormatNumber(2, in.B(block::kCPzb)) +
                " mg/l), und der Phosphor im Ablauf lässt sich nicht berechnen.";
     },
     kEffluentPhosphate},
};

bool Refuses(const Check& check, const Inputs& in)
{
    try {
        return check.Refuses(in);
    } catch (const EMathError&) {
        // A formula of the check that cannot be evaluated is the design's error, not the check's:
        // whatever it would have computed is not computed.
        return true;
    }
}

}  // namespace

ERefusedInput::ERefusedInput(std::string field, std::string message)
    : EMathError(std::move(message)), field_(std::move(field))
{
}

std::optional<ERefusedInput> RefusedInput(const TCommonRecord& common, const THSGRecord& hsgRecord,
                                          CheckStage stage)
{
    const Inputs in{common, hsgRecord};
    for (const Check& check : kChecks)
        if (check.Stage == stage && check.Refuses(in))
            return ERefusedInput(std::string(check.Field), check.Message(in));
    return std::nullopt;
}

void CheckDesignInputs(const TCommonRecord& common, const THSGRecord& hsgRecord, CheckStage stage)
{
    if (std::optional<ERefusedInput> refusal = RefusedInput(common, hsgRecord, stage))
        throw *refusal;
}

std::vector<std::string_view> ResultsNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const Inputs in{common, hsgRecord};
    std::vector<std::string_view> results;
    const auto add = [&results](std::string_view name) {
        if (std::ranges::find(results, name) == results.end())
            results.push_back(name);
    };
    for (const Check& check : kChecks)
        if (Refuses(check, in))
            std::ranges::for_each(check.Results, add);
    if (!PhComputed(common, 0, hsgRecord))
        add("pH"sv);
    return results;
}

}  // namespace velmoran
