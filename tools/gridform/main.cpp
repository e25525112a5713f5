// gridform: writes and reads the stored form of the aligned grid, for reviewers and tests.
//   gridform sample OUT   builds a sample form (the acid-capacity grid's 16 texts in "Cells", a yellow
//                         brush on cell (1,7), a column record with every tag), loads it into a grid
//                         and writes the grid's own stored form to OUT
//   gridform dump FILE    prints each stored property and each record, one line per entry, with the
//                         tags and values as read
// A damaged file ends the program with the read error and a non-zero status.
#include "controls/AlignedGrid.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormStream.h"
#include "platform/core/Stream.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

using namespace velmoran;
using namespace velmoran::aligned;

namespace {

const char* const kTitles[] = {
    "Säurekapazität im Zulauf",     "Gewinn durch Ammonifikation", "Verlust durch org.N-Bildung",
    "Verlust durch Nitrifikation",  "Gewinn durch Denitrifikation", "Verlust durch Fällung",
    "Säurekapazität im Ablauf",     "pH-Wert im Belebungsbecken",
};

void WriteFont(TFormWriter& w, ColorRef color, int height, const char* name, int pitch, int style)
{
    w.WriteInteger(static_cast<std::int32_t>(color));
    w.WriteInteger(height);
    w.WriteString(name);
    w.WriteInteger(pitch);
    w.WriteInteger(style);
}

// The form as the input page's grid would be stored, with one column record using every tag.
std::string SampleForm()
{
    TMemoryStream stream;
    TFormWriter w(stream);
    w.WriteListBegin();
    auto integer = [&](const char* name, int value) {
        w.WritePropName(name);
        w.WriteInteger(value);
    };
    integer("ColCount", 3);
    integer("RowCount", 8);
    integer("FixedCols", 0);
    integer("FixedRows", 0);
    w.WritePropName("Editable");
    w.WriteBoolean(false);
    w.WritePropName("DrawSelection");
    w.WriteBoolean(false);
    w.WritePropName("Cells");
    w.WriteListBegin();
    for (int row = 0; row < 8; ++row) {
        w.WriteInteger(0);
        w.WriteInteger(row);
        w.WriteString(kTitles[row]);
    }
    for (int row = 0; row < 8; ++row) {
        w.WriteInteger(2);
        w.WriteInteger(row);
        w.WriteString(row < 7 ? "mmol/l" : "-");
    }
    w.WriteListEnd();
    w.WritePropName("PropCell");
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteInteger(7);
    w.WriteInteger(4);
    w.WriteInteger(0x00FFFF);
    w.WriteInteger(static_cast<int>(BrushStyle::Solid));
    w.WriteInteger(0);
    w.WriteListEnd();
    w.WritePropName("PropCol");
    w.WriteListBegin();
    w.WriteInteger(1);
    const int tags[][2] = {{1, agRight}, {2, ww_ellipsis}, {3, 1}};
    for (const auto& tag : tags) {
        w.WriteInteger(tag[0]);
        w.WriteInteger(tag[1]);
    }
    w.WriteInteger(4);
    w.WriteInteger(0xF0F0F0);
    w.WriteInteger(static_cast<int>(BrushStyle::Solid));
    w.WriteInteger(5);
    w.WriteInteger(0x800000);
    w.WriteInteger(static_cast<int>(BrushStyle::Solid));
    w.WriteInteger(6);
    WriteFont(w, 0x000080, -11, "Arial", fpVariable, fsBold);
    w.WriteInteger(7);
    WriteFont(w, 0xFFFFFF, -11, "Arial", fpVariable, fsBold | fsItalic);
    w.WriteInteger(0);
    w.WriteListEnd();
    for (const char* empty : {"PropRow", "PropFixedCol", "PropFixedRow"}) {
        w.WritePropName(empty);
        w.WriteListBegin();
        w.WriteListEnd();
    }
    w.WriteListEnd();
    return stream.ToString();
}

int Sample(const std::string& out, int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMemoryStream sample(SampleForm());
    TAlignedGrid grid;
    TFormReader reader(sample);
    grid.ReadForm(reader);
    TMemoryStream written;
    TFormWriter writer(written);
    grid.WriteForm(writer);
    written.SaveToFile(out);
    std::printf("%s: %lld Bytes\n", out.c_str(), static_cast<long long>(written.Size()));
    return 0;
}

std::string Hex(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// One tagged record as read: each tag with its values, then 0.
std::string Record(TFormReader& r)
{
    std::string line;
    for (int tag = r.ReadInteger();; tag = r.ReadInteger()) {
        line += std::to_string(tag);
        if (tag == 0)
            return line;
        if (tag >= 1 && tag <= 3)
            line += ": " + std::to_string(r.ReadInteger());
        else if (tag == 4 || tag == 5) {
            const std::int32_t color = r.ReadInteger();
            line += ": " + Hex(color) + ", " + std::to_string(r.ReadInteger());
        } else if (tag == 6 || tag == 7) {
            const std::int32_t color = r.ReadInteger();
            const std::int32_t height = r.ReadInteger();
            const std::string name = r.ReadString();
            const std::int32_t pitch = r.ReadInteger();
            line += ": " + Hex(color) + ", " + std::to_string(height) + ", " + Quoted(name) + ", " +
                    std::to_string(pitch) + ", " + std::to_string(r.ReadInteger());
        }
        line += "; ";
    }
}

bool DumpProperty(const std::string& name, TFormReader& r)
{
    auto list = [&](auto entry) {
        r.ReadListBegin();
        if (r.EndOfList())
            std::printf("%s: leer\n", name.c_str());
        while (!r.EndOfList())
            std::printf("%s %s\n", name.c_str(), entry().c_str());
        r.ReadListEnd();
    };
    if (name == "Cells" || name == "HintCell") {
        list([&] {
            const std::int32_t col = r.ReadInteger();
            const std::int32_t row = r.ReadInteger();
            return "(" + std::to_string(col) + ", " + std::to_string(row) + "): " + Quoted(r.ReadString());
        });
    } else if (name == "PropCell") {
        list([&] {
            const std::int32_t col = r.ReadInteger();
            const std::int32_t row = r.ReadInteger();
            return "(" + std::to_string(col) + ", " + std::to_string(row) + "): " + Record(r);
        });
    } else if (name == "PropCol" || name == "PropRow" || name == "PropFixedCol" || name == "PropFixedRow") {
        list([&] {
            const std::int32_t index = r.ReadInteger();
            return "[" + std::to_string(index) + "]: " + Record(r);
        });
    } else {
        switch (r.NextValue()) {
        case TValueType::vaInt8:
        case TValueType::vaInt16:
        case TValueType::vaInt32: std::printf("%s = %d\n", name.c_str(), r.ReadInteger()); break;
        case TValueType::vaFalse:
        case TValueType::vaTrue: std::printf("%s = %s\n", name.c_str(), r.ReadBoolean() ? "Wahr" : "Falsch"); break;
        case TValueType::vaString: std::printf("%s = %s\n", name.c_str(), Quoted(r.ReadString()).c_str()); break;
        default:
            std::printf("%s: %s\n", name.c_str(), ValueTypeName(r.NextValue()));
            return false;
        }
    }
    return true;
}

int Dump(const std::string& file)
{
    TMemoryStream stream;
    stream.LoadFromFile(file);
    TFormReader reader(stream);
    reader.ReadProperties(DumpProperty);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "sample") != 0 && std::strcmp(argv[1], "dump") != 0)) {
        std::fprintf(stderr, "Aufruf: gridform sample AUSGABE | gridform dump DATEI\n");
        return 2;
    }
    try {
        return std::strcmp(argv[1], "sample") == 0 ? Sample(argv[2], argc, argv) : Dump(argv[2]);
    } catch (const Exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "gridform: %s\n", e.Message().c_str());
        return 1;
    }
}
