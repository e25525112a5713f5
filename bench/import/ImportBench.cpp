// The reading of an import file (decoding and the log of what was read by a guess) over shapes
// that once cost many times their size: what it takes in time, and the most memory it holds
// beyond the file, counted at operator new (a counter per benchmark, not the process's peak,
// which never falls back between them).
#include "shell/ImportValues.h"
#include "tests/support/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <string>

using namespace velmoran;

namespace {

constexpr std::size_t kFileSize = std::size_t{64} << 20;

std::string Repeated(std::string start, const std::string& line)
{
    start.reserve(kFileSize);
    while (start.size() + line.size() <= kFileSize)
        start += line;
    return start;
}

void Read(benchmark::State& state, const std::string& bytes)
{
    std::size_t peak = 0;
    for (auto _ : state) {
        const velmoran::testing::PeakAllocation counted;
        ImportLog log;
        const std::string text = ImportFileText(bytes, log);
        benchmark::DoNotOptimize(text.data());
        peak = std::max(peak, counted.Bytes());
    }
    state.counters["peak_per_byte"] = static_cast<double>(peak) / static_cast<double>(bytes.size());
    state.counters["peak_MiB"] = static_cast<double>(peak) / (1 << 20);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Lines of values as an export writes them, all ASCII.
void PureAscii(benchmark::State& state)
{
    static const std::string bytes = Repeated({}, "QD;12,5\n");
    Read(state, bytes);
}
BENCHMARK(PureAscii)->Unit(benchmark::kMillisecond)->Iterations(3);

// One Windows-1252 byte, then nothing but line breaks.
void BreaksAfterOneWindowsByte(benchmark::State& state)
{
    static const std::string bytes = Repeated("\xFC", "\n");
    Read(state, bytes);
}
BENCHMARK(BreaksAfterOneWindowsByte)->Unit(benchmark::kMillisecond)->Iterations(3);

// A line of UTF-8 among millions of Windows-1252 lines: every one of those is read by a guess.
void GuessedLines(benchmark::State& state)
{
    static const std::string bytes = Repeated("Projekt;Kläranlage Süd\n", "M\xFCller\n");
    Read(state, bytes);
}
BENCHMARK(GuessedLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
