// Settings the earlier builds wrote, read at start: many keys in their form are taken over into
// ours in one pass over the file, whatever their number.
#include "platform/RegIni.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace velmoran;

namespace {

// A settings file of the earlier form with `keys` values in ten groups.
std::string WriteEarlierSettings(int keys)
{
    const std::string fileName =
        (std::filesystem::temp_directory_path() / ("velmoran-bench-settings-" + std::to_string(::getpid()) + ".conf"))
            .string();
    std::ofstream out(fileName, std::ios::binary);
    out << "[Software]\n";
    for (int i = 0; i < keys; ++i)
        out << "Orvelan\\Velmoran\\Gruppe" << i % 10 << "\\Wert" << i << "=Text " << i << "\n";
    return fileName;
}

void EarlierSettingsTakenOver(benchmark::State& state)
{
    const std::string fileName = WriteEarlierSettings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto settings = RegIniFile::OfIniFile(fileName);
        benchmark::DoNotOptimize(settings->ReadValue("Software\\Orvelan\\Velmoran\\Gruppe3", "Wert3"));
    }
    std::filesystem::remove(fileName);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(EarlierSettingsTakenOver)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
