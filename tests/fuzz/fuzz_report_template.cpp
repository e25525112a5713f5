// libFuzzer target: expands arbitrary bytes as a report template over a small fixed table set.
#include "report/Report.h"

#include "tests/report/FakeTables.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace velmoran;
using velmoran::test::FakeDataSet;

namespace {

struct Tables {
    FakeDataSet loadCases;
    FakeDataSet header;
    TReport report;

    Tables()
    {
        loadCases.AddField("Bezeichn", ReportFieldType::String)
            .AddField("QD", ReportFieldType::Float)
            .AddField("DV", ReportFieldType::Integer)
            .AddField("Aktiv", ReportFieldType::Integer)
            .AddRow({std::string("Bemessung"), 1234.5, 1.0, 1.0})
            .AddRow({std::string("tiefste Temperatur"), 0.0, 0.0, 0.0});
        header.AddField("Projekt", ReportFieldType::String)
            .AddField("Datum", ReportFieldType::Date)
            .AddField("Zeit", ReportFieldType::Time)
            .AddField("OP100", ReportFieldType::Word)
            .AddField("Flag", ReportFieldType::Other)
            .AddField("_TSBB", ReportFieldType::Float)
            .AddRow({std::string("Kl\xE4rwerk"), 46000.0, 0.25, 2.0, 1.0, 3.5});
        report.SetDataSetViews({&loadCases, &header});
        report.LoadVariables("");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Tables tables;
    TMemoryStream in(std::string_view(reinterpret_cast<const char*>(data), size));
    TMemoryStream out;
    try {
        tables.report.ProcessTemplate(&in, &out);
    } catch (const EConvertError&) {
        // A non-digit after "#" in a name is reported to the caller.
    }
    return 0;
}
