// mtquery FILE [--index FIELDS] [--filter EXPR] [--locate FIELDS=VALUES] [--locale ID] [--save OUT]
// mtquery --load IN [...]: loads a semicolon-separated file (or, with --load, a table saved in
// the binary test format) into an in-memory table and prints its rows in the chosen order, with
// the filter applied; a located row is marked with ">". --save writes the table in that binary
// format, its rows in the chosen order. The first line of a semicolon-separated file declares
// the fields ("Name:String:30;Land:String:2;Einwohner:Integer;Datum:Date"); values use the German
// number and date formats, an empty value is null. A bad line, field list, expression or file
// prints its message and ends with exit code 1.
#include "memtable/MemTable.h"
#include "tests/memtable/BinaryFormat.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace velmoran;

struct Options {
    std::string file;
    std::string index;
    std::string filter;
    std::string locate;
    std::optional<std::uint32_t> locale;
    std::string save;
    std::string load;
};

std::vector<std::string> Split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// One declaration "Name:Type[:Size]" becomes a field object of the table.
void DeclareField(TzebMemTable& table, const std::string& declaration)
{
    std::vector<std::string> parts = Split(declaration, ':');
    for (auto& part : parts)
        part = Trim(part);
    if (parts.size() < 2 || parts[0].empty())
        throw EDatabaseError("Zeile 1: Felddeklaration '" + declaration + "' braucht Name und Typ");
    const std::string& name = parts[0];
    const std::string type = LowerCase(parts[1]);
    int size = 20;
    if (parts.size() > 2) {
        auto value = TryStrToInt(parts[2]);
        if (!value || *value < 1 || *value > 8000)
            throw EDatabaseError("Zeile 1: ungültige Größe '" + parts[2] + "' für Feld " + name);
        size = *value;
    }
    TField* field = nullptr;
    if (type == "string")
        field = &table.AddField<TStringField>(name, size);
    else if (type == "widestring")
        field = &table.AddField<TWideStringField>(name, size);
    else if (type == "integer")
        field = &table.AddField<TIntegerField>(name);
    else if (type == "smallint")
        field = &table.AddField<TSmallintField>(name);
    else if (type == "largeint")
        field = &table.AddField<TLargeintField>(name);
    else if (type == "float")
        field = &table.AddField<TFloatField>(name);
    else if (type == "currency")
        field = &table.AddField<TCurrencyField>(name);
    else if (type == "boolean")
        field = &table.AddField<TBooleanField>(name);
    else if (type == "date")
        field = &table.AddField<TDateField>(name);
    else if (type == "time")
        field = &table.AddField<TTimeField>(name);
    else if (type == "datetime")
        field = &table.AddField<TDateTimeField>(name);
    if (!field)
        throw EDatabaseError("Zeile 1: unbekannter Feldtyp '" + parts[1] + "' für Feld " + name);
}

void Load(TzebMemTable& table, const std::string& fileName)
{
    std::ifstream in(fileName);
    if (!in)
        throw EDatabaseError("Datei '" + fileName + "' kann nicht geöffnet werden");
    std::string line;
    if (!std::getline(in, line) || Trim(line).empty())
        throw EDatabaseError("Zeile 1: die Felddeklarationen fehlen");
    for (const std::string& declaration : Split(Trim(line), ';'))
        DeclareField(table, declaration);
    table.Open();
    for (int number = 2; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (Trim(line).empty() || line[0] == '#')
            continue;
        std::vector<std::string> values = Split(line, ';');
        if (static_cast<int>(values.size()) != table.FieldCount())
            throw EDatabaseError("Zeile " + std::to_string(number) + ": " + std::to_string(values.size()) +
                                 " Werte statt " + std::to_string(table.FieldCount()));
        table.Append();
        for (int i = 0; i < table.FieldCount(); ++i) {
            try {
                table.Fields()[i].SetText(Trim(values[static_cast<std::size_t>(i)]));
            } catch (const Exception& e) {
                table.Cancel();
                throw EDatabaseError("Zeile " + std::to_string(number) + ", Feld " + table.Fields()[i].FieldName() +
                                     ": " + e.Message());
            }
        }
        table.Post();
    }
}

void Print(TzebMemTable& table, std::optional<TBookmark> located)
{
    std::string header = "  ";
    for (int i = 0; i < table.FieldCount(); ++i)
        header += (i ? ";" : "") + table.Fields()[i].FieldName();
    std::cout << header << '\n';
    for (table.First(); !table.Eof(); table.Next()) {
        const bool marked = located && table.GetBookmark() == *located;
        std::string row = marked ? "> " : "  ";
        for (int i = 0; i < table.FieldCount(); ++i)
            row += (i ? ";" : "") + table.Fields()[i].DisplayText();
        std::cout << row << '\n';
    }
}

std::optional<TBookmark> LocateRow(TzebMemTable& table, const std::string& request)
{
    std::size_t equals = request.find('=');
    if (equals == std::string::npos)
        throw EDatabaseError("--locate erwartet FELDER=WERTE, etwa \"Name=Ulm\"");
    std::vector<std::string> values = Split(request.substr(equals + 1), ';');
    std::vector<TVariant> keys;
    for (const std::string& value : values)
        keys.emplace_back(value);
    TVariant key = keys.size() == 1 ? keys.front() : TVariant(std::move(keys));
    if (!table.Locate(request.substr(0, equals), key))
        return std::nullopt;
    return table.GetBookmark();
}

int Run(const Options& options)
{
    TzebMemTable table;
    TBinaryTableFormat format;
    if (options.locale)
        table.SetLocaleID(*options.locale);
    if (!options.load.empty())
        table.LoadFromFileViaFormat(options.load, &format);
    else
        Load(table, options.file);
    if (!options.index.empty())
        table.SetIndexFieldNames(options.index);
    // The rows are saved in the chosen order, so that loading them lists them the same way.
    if (!options.save.empty())
        table.SaveToFileViaFormat(options.save, &format);
    if (!options.filter.empty()) {
        table.SetFilter(options.filter);
        table.SetFiltered(true);
    }
    std::optional<TBookmark> located;
    if (!options.locate.empty()) {
        located = LocateRow(table, options.locate);
        if (!located)
            std::cerr << "Nicht gefunden: " << options.locate << '\n';
    }
    Print(table, located);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const std::string usage =
        "Aufruf: mtquery DATEI [--index FELDER] [--filter AUSDRUCK] [--locate FELDER=WERTE] [--locale ID]"
        " [--save BINÄRDATEI]\n       mtquery --load BINÄRDATEI [...]\n";
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << usage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (argument == "--index")
            options.index = next();
        else if (argument == "--filter")
            options.filter = next();
        else if (argument == "--locate")
            options.locate = next();
        else if (argument == "--save")
            options.save = next();
        else if (argument == "--load")
            options.load = next();
        else if (argument == "--locale") {
            auto id = velmoran::TryStrToInt(next());
            if (!id || *id < 0) {
                std::cerr << usage;
                return 2;
            }
            options.locale = static_cast<std::uint32_t>(*id);
        } else if (options.file.empty() && !argument.starts_with("--"))
            options.file = argument;
        else {
            std::cerr << usage;
            return 2;
        }
    }
    if (options.file.empty() == options.load.empty()) {
        std::cerr << usage;
        return 2;
    }
    try {
        return Run(options);
    } catch (const velmoran::Exception& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }
}
