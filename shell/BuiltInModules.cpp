// The modules built into the program.
#include "framework/ui/MainDlg.h"
#include "shell/Modules.h"

namespace velmoran {

std::unique_ptr<TMainDlg> CreateBuiltInModule(const std::string&)
{
    return nullptr;
}

}  // namespace velmoran
