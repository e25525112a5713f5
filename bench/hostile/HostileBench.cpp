// The inputs whose cost once grew with a number written in them or faster than their size: a
// table cell spanning many columns, a style sheet of many rules, and a template that sets many
// variables. Each should now cost about what its bytes cost.
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "html/style/StyleSheetParser.h"
#include "platform/RecordingCanvas.h"
#include "bench/hostile/BenchFonts.h"
#include "platform/TestFont.h"
#include "platform/core/Stream.h"
#include "report/Report.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace velmoran;

namespace {

using bench::Fonts;

void ColumnSpan(benchmark::State& state)
{
    const std::string html = "<table><tr><td colspan=" + std::to_string(state.range(0)) + ">x</td><td>y</td></tr></table>";
    Fonts();
    for (auto _ : state) {
        TSectionList document;
        document.Styles.BuildDefaultStyleSheet({});
        ParseHtmlDocument(html, document);
        RecordingCanvas canvas(Fonts(), 800, 600);
        int maxWidth = 0;
        benchmark::DoNotOptimize(document.LayoutDocument(canvas, 800, maxWidth));
    }
}
BENCHMARK(ColumnSpan)->Arg(1000)->Arg(100000)->Arg(2147483647)->Unit(benchmark::kMillisecond);

void StyleRules(benchmark::State& state)
{
    std::string sheet;
    for (int i = 0; i < state.range(0); ++i)
        sheet += ".r" + std::to_string(i) + " { color: red; margin-left: " + std::to_string(i % 50) + "px }\n";
    Fonts();
    for (auto _ : state) {
        TStyleList list;
        ParseLinkedStyleSheet(list, sheet, "");
        benchmark::DoNotOptimize(list.Find(".r1"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(StyleRules)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

void TemplateVariables(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < state.range(0); ++i)
        text += "|v" + std::to_string(i) + "=" + std::to_string(i) + "|\r\n";
    for (auto _ : state) {
        TReport report;
        report.LoadVariables("");
        TMemoryStream in(text);
        TMemoryStream out;
        report.ProcessTemplate(&in, &out);
        benchmark::DoNotOptimize(report.VariableValue("V1"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(TemplateVariables)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
