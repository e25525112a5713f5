// The bundled example calculation copied into a test's own folder. Opening a calculation takes
// the save lock beside it: test programs run side by side would otherwise wait on each other's
// locks in the source tree, and a test that dies would leave its lock there.
#pragma once

#include "tests/support/TempFolder.h"

#include <filesystem>
#include <string>

namespace velmoran::testing {

// Copies the example's two files into `folder` and returns the copy's ".vda" name.
inline std::string CopyOfExample(const TempFolder& folder)
{
    for (const char* extension : {".vda", ".vdh"})
        std::filesystem::copy_file(std::string(VELMORAN_DATA_DIR) + "/examples/Beispiel" + extension,
                                   folder / (std::string("Beispiel") + extension),
                                   std::filesystem::copy_options::overwrite_existing);
    return folder / "Beispiel.vda";
}

}  // namespace velmoran::testing
