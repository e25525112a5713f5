// The inputs the design calculation cannot compute its results from. Where a formula of the design
// would leave a result at the value of some earlier calculation (a guard that fails), or would
// divide by an input of 0, the design refuses the input instead: it raises ERefusedInput, whose
// German message names the field and which tells the member, so that a dialog can show the field.
// The same checks tell which results of stored records were not computed from the inputs beside
// them (a file or an import may hold such input): those show as missing, never as numbers.
#pragma once

#include "framework/CommonRecord.h"
#include "hsg/HsgRecord.h"
#include "platform/core/Exceptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

// An input the design refuses. An arithmetic error, so that whoever catches those (the dialog's
// OK, the batch tool) catches this one too.
class ERefusedInput : public EMathError {
public:
    ERefusedInput(std::string field, std::string message);
    // The member name of the input ("QD", "TSBB", "Alpha", ...), as the tables name it.
    const std::string& Field() const { return field_; }

private:
    std::string field_;
};

// When the checks apply: before the design starts (inputs alone), or after the phosphorus
// balance has the phosphorus the biomass binds.
enum class CheckStage { Inputs, Phosphorus };

// The first refusal of that stage, in the order of the input pages; nullopt when there is none.
// The records are as the design sees them at that stage. Raises what the formulas raise (a
// temperature base of 0 below 15 °C).
std::optional<ERefusedInput> RefusedInput(const TCommonRecord& common, const THSGRecord& hsgRecord,
                                          CheckStage stage);
// Raises the first refusal of that stage.
void CheckDesignInputs(const TCommonRecord& common, const THSGRecord& hsgRecord, CheckStage stage);

// The names of the table fields whose stored values the design did not compute from the stored
// inputs: every result of a refused input, and the pH wherever the design leaves it alone. Empty
// for records the design computed.
std::vector<std::string_view> ResultsNotComputed(const TCommonRecord& common, const THSGRecord& hsgRecord);

}  // namespace velmoran
