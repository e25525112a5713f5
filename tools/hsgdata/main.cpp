// hsgdata SRC DATA: regenerates the shipped data files (defaults, example calculation, module
// description) from the readable sources in SRC and writes them below DATA.
#include "hsg/BundledData.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "Aufruf: hsgdata QUELLORDNER DATENORDNER\n";
        return 2;
    }
    try {
        for (const velmoran::BundledFile& file : velmoran::GenerateBundledData(argv[1])) {
            const std::filesystem::path target = std::filesystem::path(argv[2]) / file.Path;
            std::filesystem::create_directories(target.parent_path());
            const velmoran::SaveResult saved = velmoran::WriteFileAtomically(target.string(), file.Bytes);
            if (!saved) {
                std::cerr << saved.Message << '\n';
                return 1;
            }
            std::cout << target.string() << '\n';
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
