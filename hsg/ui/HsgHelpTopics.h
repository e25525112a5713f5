// The help topics of the design module's windows: every input of the six pages of the input
// dialog (contexts 200 to 799, a hundred per page, the page itself the first), of the
// model-parameter dialog (800 to 899) and the input dialog itself (900), one row each (see
// help/HelpTopics.h). An element without a topic of its own shows its page's or dialog's. Units and typical ranges follow the usual design of
// single-stage activated-sludge plants; the values a new calculation starts with are named.
#pragma once

#include "help/HelpTopics.h"

#include <span>

namespace velmoran {

std::span<const THelpTopic> HsgHelpTopics();

}  // namespace velmoran
