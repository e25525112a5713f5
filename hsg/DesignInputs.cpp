// The inputs the design refuses; see DesignInputs.h.
#include "hsg/DesignInputs.h"

#include "hsg/HsgCalculation.h"
#include "platform/core/CheckedMath.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace velmoran {

namespace {

using namespace std::string_view_literals;

// Every result of the design that a table shows (the derived "OVc" included): the temperature
// factors and the precipitant's factors too, which a run refused before its set-up leaves as well.
constexpr auto kAllResults = std::to_array<std::string_view>({
    "SNH4an", "XNBM",  "SNO3dmax", "SNO3d",  "TTS",     "TTSa",   "SNH4n0", "SNH4n", "RF",    "SNO3d0",
    "MH",     "MI",    "MF",       "XPBM",   "SPO4an",  "SPO4an0", "XPF",   "FM",    "VD",    "VN",
    "OVcb",   "OVc",   "OVn",      "OVd",    "fCcalc",  "fNcalc", "OVh",    "cs",    "OCh",   "SKSan",
    "pH",     "VBB",   "SSABB",    "MA",     "fOVa",    "css",    "OChRW",  "QLN",   "VdV",   "fTempH",
    "fTempA", "fDP",   "fBP",      "fKS",    "fTS",
});
constexpr auto kVolumes = std::to_array<std::string_view>({"VBB", "VD", "VN"});
constexpr auto kSupply = std::to_array<std::string_view>({"OCh", "OChRW", "QLN"});
constexpr auto kCleanWater = std::to_array<std::string_view>({"OChRW", "QLN", "SSABB", "pH"});
constexpr auto kAirAndPh = std::to_array<std::string_view>({"QLN", "pH"});
constexpr auto kAir = std::to_array<std::string_view>({"QLN"});
// What the design computes only for a process that denitrifies.
constexpr auto kDenitrifying = std::to_array<std::string_view>({"RF", "SNO3d0", "fOVa"});
constexpr auto kEffluentPhosphate = std::to_array<std::string_view>({"SPO4an", "SPO4an0"});
// What the biological phosphorus removal reaches: the balance, the precipitation with its sludge,
// the volumes holding that sludge and the acid capacity it uses.
constexpr auto kPhosphorus = std::to_array<std::string_view>(
    {"XPBM", "SPO4an", "SPO4an0", "XPF", "FM", "MF", "VBB", "VD", "VN", "SKSan", "pH"});

// Beyond this no input of a plant lies (flows in m³/d, loads in kg/d, concentrations in mg/l):
// larger numbers come from broken files and would overflow the design's products; so would a
// division by a number nearer to 0 than its inverse.
constexpr double kLargestInput = 1e12;
constexpr double kSmallestInput = 1.0 / kLargestInput;

// A number as a message quotes it: with thousands separators where that stays short, in the
// general format ("1E308", "1E-300") where it would run to hundreds of digits or show only zeros,
// and never as "NAN" or "INF".
std::string Quoted(int decimals, double value)
{
    if (!std::isfinite(value))
        return "keine Zahl";
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15 || (magnitude > 0.0 && magnitude < 1e-4))
        return FloatToStr(value);
    return FormatNumber(decimals, value);
}

// The records at a check: what the design reads.
struct Inputs {
    const TCommonRecord& common;
    const THSGRecord& hsg;
    CheckStage stage = CheckStage::Inputs;

    double B(std::size_t offset) const { return common.Block(0).Double(offset); }
    double C(std::size_t offset) const { return common.Double(offset); }
    double H(std::size_t offset) const { return hsg.Double(offset); }
    bool Loads() const { return (common.Block(0).Word(block::kFlags) & block::kFlagLoads) != 0; }
    unsigned Process() const { return common.Block(0).Bits(block::kProcess, block::kShiftDV, block::kCountDV); }
    bool DiffusedAeration() const { return hsg.AT() == 0; }
};

// A number the design reads, where it lies and what the pages call it. The concentrations and the
// loads of the inflow are converted into each other: the side entered is read. What a number may
// be at all, whatever else the design asks of it: a concentration, load, yield, rate or coefficient
// is never below 0, a share lies within 0 ... 1; the others are any number (where the design
// divides by a number, or needs more of it, a check below says so).
enum class Where { Header, Block, Hsg };
enum class Side { Design, Concentration, Load };
enum class Range { Any, NotNegative, Share };
struct Input {
    std::string_view Field;
    Where Part;
    std::size_t Offset;
    std::string_view Name;
    Side Role = Side::Design;
    Range Allowed = Range::NotNegative;
};
constexpr Range kAny = Range::Any;
constexpr Range kShare = Range::Share;

// In the order of the input pages, the model parameters last.
const Input kInputs[] = {
    {"QD", Where::Block, block::kQD, "Zufluss Q_D (bei Trockenwetter im Tagesmittel)", Side::Design, kAny},
    {"CBSBzb", Where::Block, block::kCBSBzb, "BSB5 im Zulauf C_BSB,ZB", Side::Concentration},
    {"XTSzb", Where::Block, block::kXTSzb, "Abfiltrierbare Stoffe im Zulauf X_TS,ZB", Side::Concentration},
    {"CTKNzb", Where::Block, block::kCTKNzb, "Gesamt-Kjeldahl-Stickstoff C_TKN,ZB", Side::Concentration},
    {"SNH4zb", Where::Block, block::kSNH4zb, "Ammoniumstickstoff im Zulauf S_NH4,ZB", Side::Concentration},
    {"SNO3zb", Where::Block, block::kSNO3zb, "Nitratstickstoff im Zulauf S_NO3,ZB", Side::Concentration},
    {"CPzb", Where::Block, block::kCPzb, "Gesamt-Phosphor C_P,ZB", Side::Concentration},
    {"SO2zb", Where::Hsg, hsg::kSO2zb, "Gelöster Sauerstoff im Zulauf S_O2,ZB", Side::Concentration},
    {"CCSBzb", Where::Block, block::kCCSBzb, "CSB im Zulauf C_CSB,ZB", Side::Concentration},
    {"SCSBzb", Where::Block, block::kSCSBzb, "Gelöster CSB im Zulauf S_CSB,ZB", Side::Concentration},
    {"BDBSBzb", Where::Block, block::kBDBSBzb, "Fracht Biochemischer Sauerstoffbedarf", Side::Load},
    {"BDXTSzb", Where::Block, block::kBDXTSzb, "Fracht Abfiltrierbare Stoffe", Side::Load},
    {"BDTKNzb", Where::Block, block::kBDTKNzb, "Fracht Gesamt-Kjeldahl-Stickstoff", Side::Load},
    {"BDNH4zb", Where::Block, block::kBDNH4zb, "Fracht Ammoniumstickstoff", Side::Load},
    {"BDNO3zb", Where::Block, block::kBDNO3zb, "Fracht Nitratstickstoff", Side::Load},
    {"BDPzb", Where::Block, block::kBDPzb, "Fracht Gesamt-Phosphor", Side::Load},
    {"BDO2zb", Where::Hsg, hsg::kBDO2zb, "Fracht Gelöster Sauerstoff", Side::Load},
    {"BDCCSBzb", Where::Block, block::kBDCCSBzb, "Fracht CSB", Side::Load},
    {"BDSCSBzb", Where::Block, block::kBDSCSBzb, "Fracht gelöster CSB", Side::Load},
    {"SKSzb", Where::Block, block::kSKSzb, "Säurekapazität im Zulauf S_KS,ZB"},
    {"SH", Where::Hsg, hsg::kSH, "Schwankungsfaktor", Side::Design, kAny},
    {"BDBSB", Where::Header, common::kBDBSB, "BSB5-Fracht der Anlage (Anlagengröße)"},
    {"TSBB", Where::Block, block::kTSBB, "Schlammtrockensubstanz TS_BB", Side::Design, kAny},
    {"T", Where::Block, block::kT, "Temperatur T", Side::Design, kAny},
    {"EtaPBio", Where::Hsg, hsg::kEtaPBio, "Biol. Phosphorentfernung"},
    {"Beta", Where::Block, block::kBeta, "Beta-Wert"},
    {"SFH", Where::Hsg, hsg::kSFH, "Sicherheitsfaktor", Side::Design, kAny},
    {"SNH4ANSP", Where::Hsg, hsg::kSNH4ANSP, "Ammonium-Ablaufkonzentration bei Spitzenlast S_NH4,AN,Sp",
     Side::Design, kAny},
    {"SorgNan", Where::Block, block::kSorgNan, "Organ. Stickstoff im Ablauf S_org.N,AN"},
    {"SNO3an", Where::Block, block::kSNO3an, "Nitrat-Ablaufkonzentration S_NO3,AN"},
    {"SO2RF", Where::Hsg, hsg::kSO2RF, "O2 in interner Rückführung"},
    {"cx", Where::Block, block::kcx, "Sauerstoffkonzentration im belüfteten Volumen c_x"},
    {"fC", Where::Block, block::kfC, "Stoßfaktor C-Abbau"},
    {"fN", Where::Block, block::kfN, "Stoßfaktor Nitrifikation"},
    {"HE", Where::Header, common::kHE, "Einblastiefe h_E"},
    {"Alpha", Where::Hsg, hsg::kAlpha, "Alpha-Wert", Side::Design, kAny},
    {"SSARW", Where::Hsg, hsg::kSSARW, "Sauerstoffausnutzung in Reinwasser bei mittlerer Belüfterbeaufschlagung"},
    {"SSA100", Where::Hsg, hsg::kSSA100, "Sauerstoffausnutzung in Reinwasser bei maximaler Belüfterbeaufschlagung",
     Side::Design, kAny},
    // The parameters as the parameter dialog names them.
    {"aTh", Where::Hsg, hsg::kaTh, "Temperaturkonstante (Heterotrophe Organismen)", Side::Design, kAny},
    {"Yh", Where::Hsg, hsg::kYh, "Ertragsfaktor (Heterotrophe Organismen)"},
    {"Bh", Where::Hsg, hsg::kBh, "Zerfallsrate (Heterotrophe Organismen)"},
    {"aTa", Where::Hsg, hsg::kaTa, "Temperaturkonstante Wachstum (Autotrophe Organismen)", Side::Design, kAny},
    {"MUEaMax", Where::Hsg, hsg::kMUEaMax, "Max. Wachstumsrate bei 15 Grad C (Autotrophe Organismen)",
     Side::Design, kAny},
    {"Ya", Where::Hsg, hsg::kYa, "Ertragsfaktor (Autotrophe Organismen)"},
    {"Ba", Where::Hsg, hsg::kBa, "Zerfallsrate (Autotrophe Organismen)"},
    {"kN", Where::Hsg, hsg::kkN, "Halbwertskonzentration (Autotrophe Organismen)"},
    {"aTd", Where::Hsg, hsg::kaTd, "Temperaturkonstante Zerfall (Autotrophe Organismen)", Side::Design, kAny},
    {"fOVs", Where::Hsg, hsg::kfOVs, "Koeffizient Substratatmung (Sonstiges)"},
    {"fOVe", Where::Hsg, hsg::kfOVe, "Koeffizient endogene Atmung (Sonstiges)"},
    {"fOVd", Where::Hsg, hsg::kfOVd, "Koeffizient Nitrat-Atmung (Sonstiges)", Side::Design, kShare},
    {"fP", Where::Hsg, hsg::kfP, "Nicht abbaub. Anteil in Zulauf-Feststoffen (Sonstiges)", Side::Design, kShare},
    {"fI", Where::Hsg, hsg::kfI, "Anteil inerter Zerfallsprodukte (Sonstiges)", Side::Design, kShare},
    {"fXNBM", Where::Hsg, hsg::kfXNBM, "N-Anteil in aktiver Biomasse (Sonstiges)", Side::Design, kShare},
    {"fXNI", Where::Hsg, hsg::kfXNI, "N-Anteil in Inertmasse (Sonstiges)", Side::Design, kShare},
    {"fXPBM", Where::Hsg, hsg::kfXPBM, "P-Anteil in aktiver Biomasse (Sonstiges)", Side::Design, kShare},
};
constexpr std::string_view kFirstParameter = "aTh";

double ValueOf(const Input& input, const Inputs& in)
{
    switch (input.Part) {
    case Where::Header:
        return in.C(input.Offset);
    case Where::Block:
        return in.B(input.Offset);
    case Where::Hsg:
        break;
    }
    return in.H(input.Offset);
}

std::span<const Input> Parameters()
{
    const auto first = std::ranges::find(kInputs, kFirstParameter, &Input::Field);
    return {first, std::end(kInputs)};
}

std::string_view NameOf(std::string_view field)
{
    const auto input = std::ranges::find(kInputs, field, &Input::Field);
    return input == std::end(kInputs) ? field : input->Name;
}

// The first of the inputs whose number is none (NaN, infinity) or lies beyond any plant, above or
// (other than 0) below.
std::optional<ERefusedInput> UnusableNumber(const Inputs& in, std::span<const Input> inputs,
                                            bool (*reads)(const Input&, const Inputs&))
{
    for (const Input& input : inputs) {
        if (!reads(input, in))
            continue;
        const double value = ValueOf(input, in);
        const std::string field = "„" + std::string(input.Name) + "“";
        if (!std::isfinite(value))
            return ERefusedInput(std::string(input.Field),
                                 "Im Feld " + field + " steht keine Zahl, mit der sich rechnen lässt. Bitte geben "
                                 "Sie den Wert neu ein.",
                                 kAllResults);
        if (std::fabs(value) > kLargestInput)
            return ERefusedInput(std::string(input.Field),
                                 "Der Wert " + Quoted(0, value) + " im Feld " + field +
                                     " ist zu groß, um damit zu rechnen: Sein Betrag darf höchstens " +
                                     Quoted(0, kLargestInput) + " sein.",
                                 kAllResults);
        if (value != 0.0 && std::fabs(value) < kSmallestInput)
            return ERefusedInput(std::string(input.Field),
                                 "Der Wert " + Quoted(0, value) + " im Feld " + field +
                                     " ist zu klein, um damit zu rechnen: Ein Betrag unter " +
                                     Quoted(0, kSmallestInput) + " ist nur als 0 möglich.",
                                 kAllResults);
    }
    return std::nullopt;
}

// The first of the inputs whose number lies outside what it may be at all: a sign typed wrong,
// a share typed as per cent. The design would compute with it without a word (a negative BSB5
// gave a negative oxygen demand and a smaller tank).
std::optional<ERefusedInput> OutOfRange(const Inputs& in, std::span<const Input> inputs,
                                        bool (*reads)(const Input&, const Inputs&))
{
    for (const Input& input : inputs) {
        if (input.Allowed == Range::Any || !reads(input, in))
            continue;
        const double value = ValueOf(input, in);
        const std::string typed = "Der Wert " + FloatToStr(value) + " im Feld „" + std::string(input.Name) + "“";
        if (input.Allowed == Range::Share && !(value >= 0.0 && value <= 1.0))
            return ERefusedInput(std::string(input.Field),
                                 typed + " ist ein Anteil und muss zwischen 0 und 1 liegen.", kAllResults);
        if (!(value >= 0.0))
            return ERefusedInput(std::string(input.Field),
                                 typed + " darf nicht kleiner als 0 sein. Bitte prüfen Sie das Vorzeichen.",
                                 kAllResults);
    }
    return std::nullopt;
}

// The first number of the inputs that is none or lies outside what it may be.
std::optional<ERefusedInput> UnusableOrOutOfRange(const Inputs& in, std::span<const Input> inputs,
                                                  bool (*reads)(const Input&, const Inputs&))
{
    if (std::optional<ERefusedInput> unusable = UnusableNumber(in, inputs, reads))
        return unusable;
    return OutOfRange(in, inputs, reads);
}

// What the design reads once the conversion has run: the concentrations, whatever was entered.
bool DesignReads(const Input& input, const Inputs&)
{
    return input.Role != Side::Load;
}

// What the conversion reads: the flow and the side entered.
bool ConversionReads(const Input& input, const Inputs& in)
{
    return input.Field == "QD" || input.Role == (in.Loads() ? Side::Load : Side::Concentration);
}

// One check: the member it names, whether it refuses the records, its message, and the results
// that the design, were it not refused, would leave at earlier values.
struct Check {
    std::string_view Field;
    CheckStage Stage;
    bool (*Refuses)(const Inputs&);
    std::string (*Message)(const Inputs&);
    std::span<const std::string_view> Results;
};

// The nitrogen bound in the sludge as the pass sees it: the design's first guess before the
// loop, the last pass's value in the loop.
double BoundNitrogen(const Inputs& in)
{
    return in.stage == CheckStage::Inputs ? 0.05 * in.B(block::kCBSBzb) : in.B(block::kXNBM);
}

// What is left to nitrify before and after the effluent target.
double AmmoniumToNitrify(const Inputs& in)
{
    return in.B(block::kCTKNzb) - BoundNitrogen(in) - in.B(block::kSorgNan);
}

double MeanEffluentAmmonium(const Inputs& in)
{
    return in.H(hsg::kSNH4ANSP) / 5.0;
}

// The bound nitrogen's figure as the messages give it.
std::string BoundNitrogenFigure(const Inputs& in)
{
    const std::string figure = Quoted(1, BoundNitrogen(in)) + " mg/l";
    return in.stage == CheckStage::Inputs ? "zunächst 5 % des BSB5: " + figure : "X_N,BM " + figure;
}

std::string NothingToNitrify(const Inputs& in)
{
    return "Im Zulauf bleibt kein Stickstoff zu nitrifizieren: Der Gesamt-Kjeldahl-Stickstoff C_TKN,ZB (" +
           Quoted(1, in.B(block::kCTKNzb)) + " mg/l) muss größer sein als der in der Biomasse gebundene Stickstoff (" +
           BoundNitrogenFigure(in) + ") und der organische Stickstoff im Ablauf (" + Quoted(1, in.B(block::kSorgNan)) +
           " mg/l) zusammen (" + Quoted(1, BoundNitrogen(in) + in.B(block::kSorgNan)) +
           " mg/l), sonst lassen sich Schlammalter und Biomasse nicht berechnen.";
}

std::string LessThanTheEffluentTarget(const Inputs& in)
{
    return "Im Zulauf bleibt weniger Ammonium zu nitrifizieren, als im Ablauf bleiben soll: Vom "
           "Gesamt-Kjeldahl-Stickstoff C_TKN,ZB (" +
           Quoted(1, in.B(block::kCTKNzb)) + " mg/l) bleiben nach Abzug des in der Biomasse gebundenen Stickstoffs (" +
           BoundNitrogenFigure(in) + ") und des organischen Stickstoffs im Ablauf (" +
           Quoted(1, in.B(block::kSorgNan)) + " mg/l) " + Quoted(2, AmmoniumToNitrify(in)) +
           " mg/l, im Ablauf sollen im Mittel " + Quoted(2, MeanEffluentAmmonium(in)) +
           " mg/l bleiben (ein Fünftel von S_NH4,AN,Sp). So lässt sich die Nitrifikation nicht berechnen. Bitte "
           "prüfen Sie den Gesamt-Kjeldahl-Stickstoff C_TKN,ZB und die Ammonium-Ablaufkonzentration bei "
           "Spitzenlast S_NH4,AN,Sp.";
}

double SaturationAtDepth(const Inputs& in)
{
    return SaturationAtBlowInDepth(OxygenSaturation(in.B(block::kT)), in.C(common::kHE));
}

// Whether the temperature factors and the water chemistry at T can be computed: each raises
// where they cannot.
bool TemperatureOutOfReach(const Inputs& in)
{
    const double t = in.B(block::kT);
    for (const std::size_t base : {hsg::kaTh, hsg::kaTa, hsg::kaTd})
        CheckedPower(in.H(base), CheckedSub(t, 15.0));
    OxygenSaturation(t);
    CarbonDioxideHenryTerm(t);
    CarbonicAcidPK1(t);
    return false;
}

std::string ParameterAboveZero(std::string_view field, std::string_view why)
{
    return "Der Parameter „" + std::string(NameOf(field)) + "“ muss größer als 0 sein, sonst " + std::string(why) +
           ".";
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
    {"CTKNzb", CheckStage::Inputs, [](const Inputs& in) { return AmmoniumToNitrify(in) < 0.01; }, NothingToNitrify,
     kAllResults},
    {"CTKNzb", CheckStage::Inputs,
     [](const Inputs& in) { return AmmoniumToNitrify(in) < MeanEffluentAmmonium(in); }, LessThanTheEffluentTarget,
     kAllResults},
    {"TSBB", CheckStage::Supply, [](const Inputs& in) { return !VolumeComputable(in.common); },
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
    // The parameters come before the temperature they scale: a temperature constant of 0 is the
    // parameter's fault, not the temperature's.
    {"aTh", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kaTh) > 0.0); },
     [](const Inputs&) {
         return ParameterAboveZero("aTh", "lassen sich Wachstum und Zerfall der heterotrophen Organismen nicht auf "
                                          "die Temperatur T umrechnen");
     },
     kAllResults},
    {"aTa", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kaTa) > 0.0); },
     [](const Inputs&) {
         return ParameterAboveZero("aTa", "lässt sich das Wachstum der Nitrifikanten nicht auf die Temperatur T "
                                          "umrechnen");
     },
     kAllResults},
    {"aTd", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kaTd) > 0.0); },
     [](const Inputs&) {
         return ParameterAboveZero("aTd", "lässt sich der Zerfall der Nitrifikanten nicht auf die Temperatur T "
                                          "umrechnen");
     },
     kAllResults},
    {"MUEaMax", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kMUEaMax) > 0.0); },
     [](const Inputs&) {
         return ParameterAboveZero("MUEaMax", "wachsen keine Nitrifikanten und das Schlammalter lässt sich nicht "
                                              "berechnen");
     },
     kAllResults},
    {"SNH4ANSP", CheckStage::Inputs, [](const Inputs& in) { return !(in.H(hsg::kSNH4ANSP) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Ammonium-Ablaufkonzentration bei Spitzenlast S_NH4,AN,Sp muss größer als 0 mg/l "
                            "sein, sonst wachsen keine Nitrifikanten und das Schlammalter lässt sich nicht "
                            "berechnen.");
     },
     kAllResults},
    {"T", CheckStage::Inputs, TemperatureOutOfReach,
     [](const Inputs& in) {
         return "Bei der Temperatur T = " + Quoted(1, in.B(block::kT)) +
                " °C lassen sich die Temperaturfaktoren der Organismen und die Sauerstoffsättigung nicht berechnen. "
                "Bitte prüfen Sie die Temperatur T und die Temperaturkonstanten der Parameter.";
     },
     kAllResults},
    {"T", CheckStage::Inputs,
     [](const Inputs& in) {
         const NitrifierRates rates = NitrifierRatesOf(in.common, in.hsg);
         return !(rates.Growth > rates.Decay);
     },
     [](const Inputs& in) {
         return "Bei der Temperatur T = " + Quoted(1, in.B(block::kT)) +
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
    // A later pass of the outer loop finds more nitrogen bound in the sludge than its first guess.
    {"CTKNzb", CheckStage::Pass, [](const Inputs& in) { return AmmoniumToNitrify(in) < 0.01; }, NothingToNitrify,
     kAllResults},
    {"CTKNzb", CheckStage::Pass, [](const Inputs& in) { return AmmoniumToNitrify(in) < MeanEffluentAmmonium(in); },
     LessThanTheEffluentTarget, kAllResults},
    // Upstream denitrification needs a share of the volume to size its oxygen correction: when
    // the last pass of the loop left nothing to denitrify there is none.
    {"SNO3an", CheckStage::LoopEnd,
     [](const Inputs& in) { return in.Process() == 1 && !(in.B(block::kSNO3d0) >= kLeastToDenitrify); },
     [](const Inputs& in) {
         return "Bei vorgeschalteter Denitrifikation bleibt kein Nitrat zu denitrifizieren (S_NO3,D0 " +
                Quoted(2, in.B(block::kSNO3d0)) + " mg/l): Die Nitrat-Ablaufkonzentration S_NO3,AN (" +
                Quoted(1, in.B(block::kSNO3an)) + " mg/l) ist nicht kleiner als der nitrifizierte Stickstoff (" +
                Quoted(1, in.B(block::kSNH4n)) + " mg/l), und ohne Denitrifikationsvolumen lässt sich die "
                "vorgeschaltete Denitrifikation nicht berechnen. Bitte wählen Sie einen kleineren Sollwert S_NO3,AN "
                "oder ein anderes Verfahren.";
     },
     kAllResults},
    {"cx", CheckStage::Supply, [](const Inputs& in) { return !(in.B(block::kcx) < SaturationAtDepth(in)); },
     [](const Inputs& in) {
         return "Die Sauerstoffkonzentration im belüfteten Volumen c_x (" + Quoted(2, in.B(block::kcx)) +
                " mg/l) muss kleiner sein als die Sauerstoffsättigung in der Einblastiefe (" +
                Quoted(2, SaturationAtDepth(in)) + " mg/l), sonst lässt sich der Sauerstoffeintrag OC_h nicht "
                "berechnen.";
     },
     kSupply},
    {"Alpha", CheckStage::Supply, [](const Inputs& in) { return !(in.H(hsg::kAlpha) > 0.0); },
     [](const Inputs&) {
         return std::string("Der Alpha-Wert muss größer als 0 sein, sonst lassen sich der Sauerstoffeintrag in "
                            "Reinwasser OC_h,RW und die Luftmenge Q_L,N nicht berechnen.");
     },
     kCleanWater},
    {"HE", CheckStage::Supply, [](const Inputs& in) { return in.DiffusedAeration() && !(in.C(common::kHE) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Einblastiefe h_E muss bei Druckbelüftung größer als 0 m sein, sonst lassen sich die "
                            "Luftmenge Q_L,N und der pH-Wert nicht berechnen.");
     },
     kAirAndPh},
    {"SSA100", CheckStage::Supply,
     [](const Inputs& in) { return in.DiffusedAeration() && !(in.H(hsg::kSSA100) > 0.0); },
     [](const Inputs&) {
         return std::string("Die Sauerstoffausnutzung in Reinwasser bei maximaler Belüfterbeaufschlagung muss bei "
                            "Druckbelüftung größer als 0 %/m sein, sonst lässt sich die Luftmenge Q_L,N nicht "
                            "berechnen.");
     },
     kAir},
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

ERefusedInput RefusalOf(const Check& check, const Inputs& in)
{
    std::string message;
    try {
        message = check.Message(in);
    } catch (const EMathError&) {
        // The figures of the explanation cannot be computed either; the field still is named.
        message = "Mit dem Wert im Feld „" + std::string(NameOf(check.Field)) + "“ lässt sich nicht rechnen.";
    }
    return ERefusedInput(std::string(check.Field), std::move(message), check.Results);
}

const Check* FirstRefusingCheck(const Inputs& in, bool (*applies)(const Check&))
{
    for (const Check& check : kChecks)
        if (check.Stage == in.stage && applies(check) && Refuses(check, in))
            return &check;
    return nullptr;
}

std::optional<ERefusedInput> FirstRefusal(const Inputs& in, bool (*applies)(const Check&))
{
    if (const Check* check = FirstRefusingCheck(in, applies))
        return RefusalOf(*check, in);
    return std::nullopt;
}

// The checks that read of a calculation only its model parameters and its temperature (with the
// fluctuation factor and S_NH4,AN,Sp that the nitrifiers' growth reads).
bool ReadsParameters(const Check& check)
{
    return check.Field == "T" || IsParameter(check.Field);
}

// The parameter whose change from `before` to `changed` is to blame for a refusal: the first whose
// value put back lets `refuses` pass, else the first that differs. nullptr when none differs.
const Input* BlamedParameter(const THSGRecord& before, const THSGRecord& changed,
                             const std::function<bool(const THSGRecord&)>& refuses)
{
    const Input* firstChanged = nullptr;
    for (const Input& parameter : Parameters()) {
        if (before.Double(parameter.Offset) == changed.Double(parameter.Offset))
            continue;
        if (!firstChanged)
            firstChanged = &parameter;
        THSGRecord trial = changed;
        trial.SetDouble(parameter.Offset, before.Double(parameter.Offset));
        if (!refuses(trial))
            return &parameter;
    }
    return firstChanged;
}

double PhosphorusInBiomass(const Inputs& in)
{
    return (in.B(block::kMH) + in.H(hsg::kMA)) * in.H(hsg::kfXPBM) / in.B(block::kQD) / in.B(block::kTTS) * 1000.0;
}

}  // namespace

ERefusedInput::ERefusedInput(std::string field, std::string message, std::span<const std::string_view> results)
    : EMathError(std::move(message)), field_(std::move(field)), results_(results)
{
}

std::optional<ERefusedInput> RefusedInput(const TCommonRecord& common, const THSGRecord& hsgRecord,
                                          CheckStage stage)
{
    const Inputs in{common, hsgRecord, stage};
    if (stage == CheckStage::Inputs)
        if (std::optional<ERefusedInput> unusable = UnusableOrOutOfRange(in, kInputs, DesignReads))
            return unusable;
    return FirstRefusal(in, [](const Check&) { return true; });
}

std::vector<ERefusedInput> RefusalsAtTheEnd(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const Inputs in{common, hsgRecord, CheckStage::Supply};
    std::vector<ERefusedInput> refusals;
    for (const Check& check : kChecks)
        if (check.Stage == CheckStage::Supply && Refuses(check, in))
            refusals.push_back(RefusalOf(check, in));
    return refusals;
}

void CheckDesignInputs(const TCommonRecord& common, const THSGRecord& hsgRecord, CheckStage stage)
{
    if (std::optional<ERefusedInput> refusal = RefusedInput(common, hsgRecord, stage))
        throw *refusal;
}

void CheckConversionInputs(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const Inputs in{common, hsgRecord};
    if (std::optional<ERefusedInput> unusable = UnusableOrOutOfRange(in, kInputs, ConversionReads))
        throw *unusable;
}

bool IsParameter(std::string_view field)
{
    return std::ranges::find(Parameters(), field, &Input::Field) != Parameters().end();
}

std::optional<ERefusedInput> RefusedParameterChange(const TCommonRecord& common, const THSGRecord& before,
                                                    const THSGRecord& changed)
{
    const Inputs in{common, changed};
    if (std::optional<ERefusedInput> unusable = UnusableOrOutOfRange(in, Parameters(), DesignReads))
        return unusable;
    const Check* check = FirstRefusingCheck(in, ReadsParameters);
    if (!check)
        return std::nullopt;
    if (IsParameter(check->Field))
        return RefusalOf(*check, in);
    // The temperature is refused whatever the parameters: no change of theirs is to blame.
    if (Refuses(*check, Inputs{common, before}))
        return std::nullopt;
    return BlameParameterChange(RefusalOf(*check, in), before, changed,
                                [&](const THSGRecord& trial) { return Refuses(*check, Inputs{common, trial}); });
}

ERefusedInput BlameParameterChange(const ERefusedInput& refusal, const THSGRecord& before, const THSGRecord& changed,
                                   const std::function<bool(const THSGRecord&)>& refuses)
{
    const Input* blamed = BlamedParameter(before, changed, refuses);
    if (!blamed)
        return refusal;
    return ERefusedInput(std::string(blamed->Field),
                         "Der Wert " + FloatToStr(changed.Double(blamed->Offset)) + " im Feld „" +
                             std::string(blamed->Name) + "“ lässt sich nicht verwenden: " + refusal.Message(),
                         refusal.Results());
}

std::optional<std::string> NothingToDenitrify(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const Inputs in{common, hsgRecord};
    const double target = in.B(block::kSNO3d0);
    if (in.Process() == 0 || in.Process() == 1 || !(target < kLeastToDenitrify))
        return std::nullopt;
    return "Kein Nitrat zu denitrifizieren (S_NO3,D0 " + Quoted(2, target) +
           " mg/l): kein Denitrifikationsvolumen, keine Gutschrift.";
}

std::optional<std::string> EffluentPhosphateNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    const Inputs in{common, hsgRecord};
    try {
        const double bound = PhosphorusInBiomass(in);
        if (!(bound > in.B(block::kCPzb)))
            return std::nullopt;
        return "Das Phosphat im Ablauf lässt sich nicht berechnen: Die Biomasse bindet mehr Phosphor (X_P,BM " +
               Quoted(2, bound) + " mg/l), als der Zulauf bringt (C_P,ZB " + Quoted(2, in.B(block::kCPzb)) +
               " mg/l).";
    } catch (const EMathError&) {
        // Without sludge age or flow the design refuses the records before the balance.
        return std::nullopt;
    }
}

std::span<const std::string_view> DesignResults()
{
    return kAllResults;
}

std::vector<std::string_view> ResultsNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord)
{
    std::vector<std::string_view> results;
    const auto add = [&results](std::span<const std::string_view> names) {
        for (std::string_view name : names)
            if (std::ranges::find(results, name) == results.end())
                results.push_back(name);
    };
    // Every refusal of the inputs, several at once where each leaves only some results uncomputed.
    for (const CheckStage stage : {CheckStage::Inputs, CheckStage::Supply}) {
        const Inputs in{common, hsgRecord, stage};
        for (const Check& check : kChecks)
            if (check.Stage == stage && Refuses(check, in))
                add(check.Results);
    }
    // What only the design finds (a number that is none, a later pass with nothing left to
    // nitrify) and what it cannot compute without refusing: the design run on copies.
    TCommonRecord designedCommon = common;
    THSGRecord designedHsg = hsgRecord;
    bool balanced = true;
    try {
        HsgCalculate(designedCommon, designedHsg);
    } catch (const ERefusedInput& refusal) {
        add(refusal.Results());
        balanced = std::ranges::find(refusal.Results(), "TTS"sv) == refusal.Results().end();
    } catch (const EMathError&) {
        add(kAllResults);
        balanced = false;
    }
    if (balanced && EffluentPhosphateNotComputed(designedCommon, designedHsg))
        add(kEffluentPhosphate);
    // An input the design adjusts as it goes and writes back (a safety factor below 1, a removal
    // beyond what the inflow allows) stands in records it computed only as adjusted: stored as
    // typed (a file of another program), it is not what the results beside it were computed with.
    if (designedHsg.Double(hsg::kSFH) != hsgRecord.Double(hsg::kSFH))
        add(kAllResults);
    if (designedHsg.Double(hsg::kEtaPBio) != hsgRecord.Double(hsg::kEtaPBio))
        add(kPhosphorus);
    // The design refuses neither with surface aeration, but computes the air flow only with a
    // blow-in depth and a clean-water utilisation: without, it is one of an earlier calculation
    // (of diffused aeration), which a template or an export may show.
    if (!(common.Double(common::kHE) > 0.0 && hsgRecord.Double(hsg::kSSA100) > 0.0))
        add(kAir);
    // Without denitrification the design sizes no recirculation, no target and no oxygen
    // correction: those of a calculation with denitrification before would stand beside "keine".
    if (common.Block(0).Bits(block::kProcess, block::kShiftDV, block::kCountDV) == 0)
        add(kDenitrifying);
    if (!PhComputed(common, 0, hsgRecord))
        add(std::array{"pH"sv});
    return results;
}

}  // namespace velmoran
