// The help topics of the main window: its menus, commands, toolbar buttons, combo boxes and
// result page, one row each (see help/HelpTopics.h). Contexts 100 to 199.
#pragma once

#include "help/HelpTopics.h"

#include <span>

namespace velmoran {

std::span<const THelpTopic> MainFormHelpTopics();

}  // namespace velmoran
