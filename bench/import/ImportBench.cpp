// The reading of an import file (decoding and the log of what was read by a guess) over shapes
// that once cost many times their size: what it takes in time, and the most memory it holds
// beyond the file, counted at operator new (a counter per benchmark, not the process's peak,
// which never falls back between them). The whole import (read, then every value set into its
// table and what the field kept logged) of one line with a value of 64 MB: a text field keeps
// 255 characters of it, a number is a few characters long.
#include "memtable/MemTable.h"
#include "platform/core/FormatSettings.h"
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

// Runs `work` on the bytes in each run, and reports the most it held beyond them.
template <class Work>
void Measure(benchmark::State& state, const std::string& bytes, Work&& work)
{
    std::size_t peak = 0;
    for (auto _ : state) {
        const velmoran::testing::PeakAllocation counted;
        work();
        peak = std::max(peak, counted.Bytes());
    }
    state.counters["peak_per_byte"] = static_cast<double>(peak) / static_cast<double>(bytes.size());
    state.counters["peak_MiB"] = static_cast<double>(peak) / (1 << 20);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void Read(benchmark::State& state, const std::string& bytes)
{
    Measure(state, bytes, [&] {
        ImportLog log;
        const std::string text = ImportFileText(bytes, log);
        benchmark::DoNotOptimize(text.data());
    });
}

// The whole import into a table of the design's header text and a number; a value refused is
// refused as a user's file would be.
void Import(benchmark::State& state, const std::string& bytes)
{
    ScopedFormatSettings german(FormatSettings::German());
    TzebMemTable d;
    d.Name = "d";
    d.AddField<TStringField>("Projekt", 255);
    d.AddField<TFloatField>("QD");
    d.Open();
    d.Append();
    d.Post();
    Measure(state, bytes, [&] {
        ImportLog log;
        const std::string text = ImportFileText(bytes, log);
        try {
            benchmark::DoNotOptimize(ImportValueLines({&d}, text, &log));
        } catch (const std::exception&) {
        }
    });
}

std::string ValueOf(const std::string& name, char byte)
{
    std::string bytes = name;
    bytes.resize(kFileSize, byte);
    return bytes;
}

// A text field's value of Windows-1252 bytes that are three bytes each as UTF-8.
void LongWindowsText(benchmark::State& state)
{
    static const std::string bytes = ValueOf("Projekt;", '\x80');
    Import(state, bytes);
}
BENCHMARK(LongWindowsText)->Unit(benchmark::kMillisecond)->Iterations(3);

void LongAsciiText(benchmark::State& state)
{
    static const std::string bytes = ValueOf("Projekt;", 'x');
    Import(state, bytes);
}
BENCHMARK(LongAsciiText)->Unit(benchmark::kMillisecond)->Iterations(3);

// No line with a name: only the reading.
void WindowsBytesOnly(benchmark::State& state)
{
    static const std::string bytes = ValueOf("", '\x80');
    Import(state, bytes);
}
BENCHMARK(WindowsBytesOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void LongNumber(benchmark::State& state)
{
    static const std::string bytes = ValueOf("QD;1,", '0');
    Import(state, bytes);
}
BENCHMARK(LongNumber)->Unit(benchmark::kMillisecond)->Iterations(3);

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
