// In-memory table benchmarks at 100 000 records: building a two-field index (an integer, then a
// 30-character text in German collation), 10 000 locates by bisection against locates by scan,
// and a filter over all records. The collation locale is set explicitly.
#include "memtable/MemTable.h"
#include "platform/core/TextCollator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

using namespace velmoran;

constexpr int kRecords = 100000;

struct Places {
    TzebMemTable table;
    TIntegerField* number;
    TStringField* name;
    TStringField* land;
    TIntegerField* inhabitants;

    Places()
    {
        TextCollator::SetUserDefaultLocale("de_DE");
        number = &table.AddField<TIntegerField>("Zahl");
        name = &table.AddField<TStringField>("Name", 30);
        land = &table.AddField<TStringField>("Land", 2);
        inhabitants = &table.AddField<TIntegerField>("Einwohner");
        table.SetLocaleID(1031);
        table.Open();
        std::mt19937 random(2024);
        const char* lands[] = {"BY", "BW", "NW", "HE", "NI", "SN", "RP", "SH", "TH", "ST", "BB", "MV", "SL", "BE", "HH", "HB"};
        const std::string letters = "abcdefghijklmnopqrstuvwxyzäöüß";
        std::vector<int> keys(kRecords);
        for (int i = 0; i < kRecords; ++i)
            keys[static_cast<std::size_t>(i)] = i;
        std::shuffle(keys.begin(), keys.end(), random);
        for (int i = 0; i < kRecords; ++i) {
            table.Append();
            number->SetAsInteger(keys[static_cast<std::size_t>(i)] % 1000);
            std::string text = "Ort ";
            while (text.size() < 30)
                text += static_cast<char>('A' + random() % 26);
            name->SetAsString(text);
            land->SetAsString(lands[random() % 16]);
            inhabitants->SetAsInteger(static_cast<int>(random() % 200000));
            table.Post();
        }
    }
};

Places& Shared()
{
    static Places places;
    return places;
}

void TwoFieldIndex(benchmark::State& state)
{
    Places& places = Shared();
    for (auto _ : state) {
        TzebSortedIndex* index = places.table.AddIndex("ZahlName", "Zahl;Name");
        benchmark::DoNotOptimize(index);
        state.PauseTiming();
        places.table.DeleteIndex("ZahlName");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(TwoFieldIndex)->Unit(benchmark::kMillisecond);

// Locates of the key "Zahl;Name" values of records spread over the table.
std::vector<TVariant> LocateKeys(Places& places, int count)
{
    std::vector<TVariant> keys;
    const TzebIndex& rows = places.table.Indexes().RowOrder();
    places.table.First();
    for (int i = 0; i < count; ++i) {
        places.table.SetRecNo(1 + static_cast<int>((static_cast<long long>(i) * 7919) % rows.Count()));
        keys.emplace_back(std::vector<TVariant>{places.number->AsInteger(), places.name->AsString()});
    }
    return keys;
}

void LocateByBisection(benchmark::State& state)
{
    Places& places = Shared();
    std::vector<TVariant> keys = LocateKeys(places, 10000);
    places.table.AddIndex("ZahlName", "Zahl;Name");
    places.table.SetIndexName("ZahlName");
    for (auto _ : state)
        for (const TVariant& key : keys)
            benchmark::DoNotOptimize(places.table.Locate("Zahl;Name", key));
    places.table.SetIndexName("");
    places.table.DeleteIndex("ZahlName");
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(keys.size()));
}
BENCHMARK(LocateByBisection)->Unit(benchmark::kMillisecond);

// The same locates with no index on the fields: each one scans the row order. Only 100 of them
// per run; the per-locate rate (items per second) compares with the bisection.
void LocateByScan(benchmark::State& state)
{
    Places& places = Shared();
    std::vector<TVariant> keys = LocateKeys(places, 100);
    for (auto _ : state)
        for (const TVariant& key : keys)
            benchmark::DoNotOptimize(places.table.Locate("Zahl;Name", key));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(keys.size()));
}
BENCHMARK(LocateByScan)->Unit(benchmark::kMillisecond);

void FilterOverAllRecords(benchmark::State& state)
{
    Places& places = Shared();
    places.table.SetFilter("Land = 'BY' and Einwohner > 50000");
    places.table.SetFiltered(true);
    int accepted = 0;
    for (auto _ : state) {
        accepted = places.table.RecordCount();
        benchmark::DoNotOptimize(accepted);
    }
    places.table.SetFiltered(false);
    state.counters["accepted"] = accepted;
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(FilterOverAllRecords)->Unit(benchmark::kMillisecond);

}  // namespace
