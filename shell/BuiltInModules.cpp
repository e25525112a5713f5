// The modules built into the program: the design module "HSG".
#include "hsg/ui/HsgDlg.h"
#include "shell/Modules.h"

namespace velmoran {

std::unique_ptr<TMainDlg> CreateBuiltInModule(const std::string& name)
{
    if (name == "HSG")
        return std::make_unique<THSGDlg>();
    return nullptr;
}

}  // namespace velmoran
