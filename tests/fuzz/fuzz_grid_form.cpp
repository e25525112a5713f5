// Fuzz target: arbitrary bytes read as the aligned grid's whole stored form into a grid (counts,
// cell texts, hints, records and the older properties), which is then written back. A damaged form
// fails with the read error; no form may grow the grid beyond its cell bound.
#include "controls/AlignedGrid.h"
#include "platform/Grid.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormStream.h"
#include "platform/core/Stream.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

using namespace velmoran;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_grid_form";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    TAlignedGrid grid;
    TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
    TFormReader reader(stream);
    try {
        grid.ReadForm(reader);
    } catch (const EReadError&) {
    }
    if (static_cast<long long>(grid.ColCount()) * grid.RowCount() > kMaxGridCells)
        std::abort();
    TMemoryStream out;
    TFormWriter writer(out);
    grid.WriteForm(writer);
    return 0;
}
