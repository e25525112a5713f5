// The inputs the design calculation cannot compute its results from. Where a formula of the design
// would leave a result at the value of some earlier calculation (a guard that fails), would divide
// by an input of 0, or would meet a number that is none (NaN, infinity, a value far beyond any
// plant) or that no plant has (a concentration, load, yield or rate below 0, a share outside
// 0 ... 1), the design refuses the input instead: it raises ERefusedInput, whose German message
// names the field and which tells the member, so that a dialog can show the field.
// The same checks tell which results of stored records were not computed from the inputs beside
// them (a file or an import may hold such input): those show as missing, never as numbers.
#pragma once

#include "framework/CommonRecord.h"
#include "hsg/HsgRecord.h"
#include "platform/core/Exceptions.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

// An input the design refuses. An arithmetic error, so that whoever catches those (the dialog's
// OK, the batch tool) catches this one too.
class ERefusedInput : public EMathError {
public:
    ERefusedInput(std::string field, std::string message, std::span<const std::string_view> results);
    // The member name of the input ("QD", "TSBB", "aTh", ...), as the tables name it.
    const std::string& Field() const { return field_; }
    // The table names of the results the refused input leaves uncomputed.
    std::span<const std::string_view> Results() const { return results_; }

private:
    std::string field_;
    std::span<const std::string_view> results_;
};

// When the checks apply: before the design starts (the inputs alone), in every pass of its outer
// loop (with the nitrogen that pass finds bound in the sludge), at the loop's end (with what its
// last pass found), or after the loop (inputs that leave only some results of the volumes, the
// oxygen supply and the pH uncomputed: the design computes the others, then refuses).
enum class CheckStage { Inputs, Pass, LoopEnd, Supply };

// The first refusal of that stage, in the order of the input pages (parameters before the
// temperature they scale); nullopt when there is none. At the first stage a number that is none
// comes first. The records are as the design sees them at that stage.
std::optional<ERefusedInput> RefusedInput(const TCommonRecord& common, const THSGRecord& hsgRecord,
                                          CheckStage stage);
// Every refusal of the design's last stage, in the order of the input pages: the design raises the
// first, and each leaves its own results uncomputed.
std::vector<ERefusedInput> RefusalsAtTheEnd(const TCommonRecord& common, const THSGRecord& hsgRecord);
// Raises the first refusal of that stage.
void CheckDesignInputs(const TCommonRecord& common, const THSGRecord& hsgRecord, CheckStage stage);
// Raises the refusal of a number the conversion of concentrations and loads reads (the flow and
// the side it converts from) that is none or lies outside what it may be (a load below 0).
void CheckConversionInputs(const TCommonRecord& common, const THSGRecord& hsgRecord);
// Why the model parameters of `changed` are refused with the inflow and temperature of `common`,
// whatever else the design refuses there: a parameter on its own (a number that is none, a
// temperature constant or maximum growth rate of 0 or below) always is; a check of the parameters
// at the temperature (temperature factors that cannot be computed, nitrifiers that do not grow
// faster than they decay) only where the parameters of `before`, the records being the same
// otherwise, pass it, and then names the parameter whose change is to blame. nullopt when none.
std::optional<ERefusedInput> RefusedParameterChange(const TCommonRecord& common, const THSGRecord& before,
                                                    const THSGRecord& changed);
// The refusal of records whose model parameters changed from `before` to `changed`, laid at the
// parameter whose change is to blame (the first whose value put back lets `refuses` pass, else the
// first that differs), its message naming that field and value: the parameter dialog shows a
// parameter, where the design may have refused the inflow or failed on an arithmetic error. The
// refusal as it stands when no parameter differs.
ERefusedInput BlameParameterChange(const ERefusedInput& refusal, const THSGRecord& before, const THSGRecord& changed,
                                   const std::function<bool(const THSGRecord&)>& refuses);
// Whether the member name is one of the 17 model parameters.
bool IsParameter(std::string_view field);

// Why the design leaves the effluent phosphate uncomputed on these records (after its outer
// loop): the biomass binds more phosphorus than the inflow brings. nullopt when it computes it.
std::optional<std::string> EffluentPhosphateNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord);

// Why the design, with simultaneous or intermittent denitrification, gives these records neither
// a denitrification volume nor a credit for it (after the design): nothing is left to denitrify
// under the effluent target S_NO3,AN. nullopt where it denitrifies.
std::optional<std::string> NothingToDenitrify(const TCommonRecord& common, const THSGRecord& hsgRecord);

// The table names of every result the design computes.
std::span<const std::string_view> DesignResults();

// The names of the table fields whose stored values the design did not compute from the stored
// inputs: every result of a refused input, the effluent phosphate where the biomass binds more
// than the inflow brings, the pH and the air flow wherever the design leaves them alone, what only
// a process that denitrifies computes where none is chosen, and the results of a safety factor or
// phosphorus removal stored as the design would not have left it. Empty for records the
// design computed.
std::vector<std::string_view> ResultsNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord);

}  // namespace velmoran
