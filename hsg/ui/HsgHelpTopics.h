// The help topics of the design module's windows: every input of the six pages of the input
// dialog (contexts 200 to 799, a hundred per page) and of the model-parameter dialog (800 to 899),
// one row each (see help/HelpTopics.h). Units and typical ranges follow the usual design of
// single-stage activated-sludge plants; the values a new calculation starts with are named.
#pragma once

#include "help/HelpTopics.h"

#include <span>

namespace velmoran {

std::span<const THelpTopic> HsgHelpTopics();

}  // namespace velmoran
