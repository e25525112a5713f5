// Timing of the design calculation: one full run (conversion and design) of the example plant,
// as the input dialog does on every refresh of a result page.
#include "hsg/HsgCalculation.h"
#include "hsg/HsgModule.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

velmoran::THsgModule& Example()
{
    static velmoran::THsgModule module = [] {
        velmoran::THsgModule m;
        m.ResetToDefaults();
        if (!m.ReadCalculationFile(std::string(VELMORAN_DATA_DIR) + "/examples/Beispiel.vda"))
            throw std::runtime_error("example calculation not found");
        return m;
    }();
    return module;
}

void BM_HsgCalculateExample(benchmark::State& state)
{
    const velmoran::THsgModule& example = Example();
    for (auto _ : state) {
        velmoran::TCommonRecord common = example.CurrentCommon();
        velmoran::THSGRecord hsgRecord = example.CurrentHsg();
        velmoran::HsgCalculate(common, hsgRecord);
        benchmark::DoNotOptimize(common.Raw().data());
        benchmark::DoNotOptimize(hsgRecord.Raw().data());
    }
}
BENCHMARK(BM_HsgCalculateExample);

// The record copies alone, to tell them apart from the calculation.
void BM_CopyRecords(benchmark::State& state)
{
    const velmoran::THsgModule& example = Example();
    for (auto _ : state) {
        velmoran::TCommonRecord common = example.CurrentCommon();
        velmoran::THSGRecord hsgRecord = example.CurrentHsg();
        benchmark::DoNotOptimize(common.Raw().data());
        benchmark::DoNotOptimize(hsgRecord.Raw().data());
    }
}
BENCHMARK(BM_CopyRecords);

}  // namespace
