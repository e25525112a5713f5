// hsgcalc IN.vda OUT.vda: reads a calculation pair, runs the design calculation on it and writes
// the computed pair under the new name (the ".vdh" beside it). A module file missing or cut off is
// said on the error channel, as is a file that cannot be read. Input the design refuses (an alpha
// value of 0, c_x at saturation, ...) and an arithmetic error print the German message, which names
// the field where it can, write nothing and end with exit code 1. A result the design leaves
// uncomputed while it computes the rest (the effluent phosphate where the biomass binds more
// phosphorus than the inflow brings) and a denitrification left out for want of nitrate to
// denitrify are said on the standard output, and so is a safety factor the design raised to 1 or a
// biological phosphorus removal it lowered to what the inflow allows.
#include "hsg/DesignInputs.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgModule.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"

#include <iostream>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    using namespace velmoran;
    if (argc != 3) {
        std::cerr << "Aufruf: hsgcalc EINGABE.vda AUSGABE.vda\n";
        return 2;
    }
    THsgModule module;
    module.ResetToDefaults();
    // What the reading says comes first: without its module file a calculation is refused for the
    // defaults' alpha value of 0, which alone would send the user to the wrong field.
    std::vector<std::string> notes;
    const bool read = module.ReadCalculationFile(argv[1], &notes);
    for (const std::string& note : notes)
        std::cerr << note << '\n';
    if (!read) {
        std::cerr << "Die Berechnung \"" << argv[1] << "\" konnte nicht gelesen werden.\n";
        return 1;
    }
    const THSGRecord entered = module.CurrentHsg();
    try {
        HsgCalculate(module.CurrentCommon(), module.CurrentHsg());
    } catch (const EMathError& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }
    const SaveResult saved = module.WriteCalculationFile(argv[2]);
    if (!saved) {
        std::cerr << saved.Message << '\n';
        return 1;
    }
    for (const auto& [offset, what] : {std::pair{hsg::kSFH, "Sicherheitsfaktor"},
                                       std::pair{hsg::kEtaPBio, "Biol. Phosphorentfernung"}})
        if (module.CurrentHsg().Double(offset) != entered.Double(offset))
            std::cout << what << ": gerechnet mit " << FloatToStr(module.CurrentHsg().Double(offset)) << " statt "
                      << FloatToStr(entered.Double(offset)) << '\n';
    if (const auto why = EffluentPhosphateNotComputed(module.CurrentCommon(), module.CurrentHsg()))
        std::cout << *why << '\n';
    if (const auto why = NothingToDenitrify(module.CurrentCommon(), module.CurrentHsg()))
        std::cout << *why << '\n';
    return 0;
}
