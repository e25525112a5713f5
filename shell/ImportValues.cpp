// The import of single values into a calculation's tables.
#include "shell/ImportValues.h"

#include "memtable/DataSet.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace velmoran {

namespace {

// The tables an import searches, in this order, found by name rather than by their place in the
// module's list: the order of the list does not decide which table takes a name two of them hold.
constexpr const char* kImportTables[] = {"d", "dl", "dp"};
constexpr std::size_t kImportTableCount = 3;

// The tables named d, dl and dp in that order; a module with none of them gets the first three of
// the dataset list, so that its values are imported too.
std::vector<TDataSet*> ImportTables(const std::vector<TDataSet*>& dataSetList)
{
    std::vector<TDataSet*> found;
    for (const char* name : kImportTables)
        for (TDataSet* table : dataSetList)
            if (table && SameText(table->Name, name)) {
                found.push_back(table);
                break;
            }
    if (found.empty())
        for (TDataSet* table : dataSetList)
            if (table && found.size() < kImportTableCount)
                found.push_back(table);
    return found;
}

TDataSet* TableWithField(const std::vector<TDataSet*>& tables, const std::string& field)
{
    for (TDataSet* table : tables)
        if (table->FindField(field))
            return table;
    return nullptr;
}

// No field's name, no number, date or yes or no is this long: a longer name is passed over and a
// longer value of such a field refused before any of it is copied, as a line of an import file may
// be a hundred megabytes long.
constexpr std::size_t kLongestValue = 256;

// The part of a value its field is given, held by `kept` where it is not a part of the value. A
// text field keeps Size characters, so one more is enough for it and for the log to see that the
// value was too long; a text of any length (memo, blob) is given whole. Any other value longer
// than kLongestValue is no value of its kind: the field is given its start marked as cut, which
// no such field takes, so that the field refuses it in its own words.
std::string_view PartForField(const TField& field, std::string_view value, std::string& kept)
{
    const TFieldType type = field.DataType();
    if (type == ftString || type == ftFixedChar || type == ftWideString)
        return FirstCharacters(value, static_cast<std::size_t>(field.Size()) + 1);
    if (IsBlobType(type) || value.size() <= kLongestValue)
        return value;
    kept = std::string(FirstCharacters(value, kLongestValue)) + "…";
    return kept;
}

// Notes what a text field kept other than the value: the field holds Windows-1252 up to its
// length and up to a zero byte.
void NoteTextChanges(const TField& field, std::string_view value, int line, ImportLog& log)
{
    if (field.DataType() != ftString)
        return;
    const std::string stored = Utf8ToCp1252(value);
    const std::size_t zero = std::strlen(stored.c_str());
    if (zero < stored.size())
        log.CutAtZero.Note(line);
    if (std::min(zero, stored.size()) > static_cast<std::size_t>(field.Size()))
        log.CutToField.Note(line);
    if (Cp1252ToUtf8(stored) != value)
        log.Replaced.Note(line);
}

// An empty value is a value of a text only: a number, date or yes or no left empty is none.
bool IsTextField(const TField& field)
{
    const TFieldType type = field.DataType();
    return type == ftString || type == ftFixedChar || type == ftWideString || IsBlobType(type);
}

// The field's conversion error naming the field, the value in German quotes: the field quotes
// the start of what it was given as '...'.
std::string RefusedValueText(const std::string& message, std::string_view given, const std::string& field)
{
    const std::string quoted = "'" + Excerpt(given) + "'";
    const std::string text =
        StartsWith(message, quoted) ? Quoted(Excerpt(given)) + message.substr(quoted.size()) : message;
    return text + " für das Feld " + Quoted(field) + ".";
}

// The records a table has, as a refused record number's line says it ("Es gibt die Sätze 0 bis 3.").
std::string RecordsText(int count)
{
    if (count <= 0)
        return "Die Tabelle hat keinen Satz.";
    if (count == 1)
        return "Es gibt nur den Satz 0.";
    return "Es gibt die Sätze 0 bis " + std::to_string(count - 1) + ".";
}

// Sets the value of one line where its field takes it; whether it did.
bool ImportLine(const std::vector<TDataSet*>& tables, std::string_view line, int number, ImportLog* log,
                const ImportRefusal& refusal)
{
    const std::size_t separator = line.find(';');
    if (separator == std::string_view::npos)
        return false;
    const std::string_view written = TrimView(line.substr(0, separator));
    std::string_view nameText = written;
    const std::string_view value = TrimView(line.substr(separator + 1));
    int record = 0;
    if (const std::size_t hash = nameText.find('#'); hash != std::string_view::npos) {
        const std::string_view number = nameText.substr(hash + 1);
        const std::size_t digits = std::min(number.find_first_not_of("0123456789"), number.size());
        if (digits == 0)
            throw EConvertError(Quoted(Excerpt(nameText)) + ": Nach „#“ steht nicht die Satznummer, eine Ziffer von 0 bis 9.");
        // The whole number: "QD#12" names a record no table has. Read as its first digit, its
        // value went into record 1, the inflow of another load case.
        if (std::from_chars(number.data(), number.data() + digits, record).ec != std::errc())
            record = std::numeric_limits<int>::max();
        nameText = TrimView(nameText.substr(0, hash));
    }
    // A line without a name (";;" of a spreadsheet's empty row) means no value.
    if (nameText.empty())
        return false;
    const std::string name = nameText.size() > kLongestValue ? std::string() : UpperCase(nameText);
    TDataSet* table = name.empty() ? nullptr : TableWithField(tables, name);
    if (!table) {
        // Said, as a typing error in a name ("QDD") would otherwise pass for a value taken.
        if (log)
            log->NotTaken.Note(Quoted(Excerpt(written)) + " ist kein Feld, in das sich Werte importieren lassen.",
                               number);
        return false;
    }
    if (log)
        log->FieldFound = true;
    if (!table->Active())
        table->Open();
    // A record the table does not have is not taken: its value once went into the first record,
    // over the value of another load case.
    if (record > 0 && record >= table->RecordCount()) {
        if (log)
            log->NotTaken.Note(Quoted(Excerpt(written)) + " nennt einen Satz, den es nicht gibt: " +
                                   RecordsText(table->RecordCount()),
                               number);
        return false;
    }
    int row = 0;
    if (table->RecordCount() > 1) {
        table->First();
        if (record > 0) {
            table->MoveBy(record);
            row = record;
        }
    }
    TField& field = *table->FindField(name);
    // Named as the tables name it, with the record it went to.
    const std::string shown = field.FieldName() + (row > 0 ? "#" + std::to_string(row) : std::string());
    std::optional<std::string> notTaken;
    if (refusal)
        notTaken = refusal(*table, field.FieldName(), row);
    if (!notTaken && value.empty() && !IsTextField(field))
        notTaken = "hat keinen Wert.";
    if (notTaken) {
        if (log)
            log->NotTaken.Note(Quoted(shown) + " " + *notTaken, number);
        return false;
    }
    table->Edit();
    std::string kept;
    const std::string_view part = PartForField(field, value, kept);
    try {
        field.SetText(part);
        table->Post();
    } catch (const EConvertError& error) {
        table->Cancel();
        throw EConvertError(RefusedValueText(error.Message(), part, shown));
    } catch (...) {
        table->Cancel();
        throw;
    }
    if (log) {
        NoteTextChanges(field, part, number, *log);
        log->Taken.Note(shown, number);
    }
    return true;
}

// "Zeile 3" or "Zeilen 3, 5, 8", at most NotedLines::kListed of them and then how many more.
std::string LinesText(const NotedLines& lines)
{
    std::string text = lines.Count() == 1 ? "Zeile " : "Zeilen ";
    for (std::size_t i = 0; i < lines.Listed().size(); ++i)
        text += (i ? ", " : "") + std::to_string(lines.Listed()[i]);
    if (lines.Count() > lines.Listed().size())
        text += " und " + std::to_string(lines.Count() - lines.Listed().size()) + " weitere";
    return text;
}

// The first kListed entries as `entry` words them, separated by `separator`, and how many more.
template <class Entry>
std::string ListedEntries(const LinesByText& lines, const std::string& separator, const std::string& more, Entry entry)
{
    const auto& entries = lines.Entries();
    std::string text;
    for (std::size_t i = 0; i < entries.size() && i < NotedLines::kListed; ++i)
        text += (i ? separator : "") + entry(entries[i].first, entries[i].second);
    if (lines.Count() > NotedLines::kListed)
        text += separator + "und " + std::to_string(lines.Count() - NotedLines::kListed) + more;
    return text;
}

// "Übernommen: QD (Zeile 1), T (Zeilen 2, 5)."
std::string TakenText(const LinesByText& taken)
{
    if (taken.Empty())
        return "Übernommen wurde kein Wert.";
    return "Übernommen: " +
           ListedEntries(taken, ", ", " weitere Werte",
                         [](const std::string& name, const NotedLines& lines) { return name + " (" + LinesText(lines) + ")"; }) +
           ".";
}

// The lines not taken, each with why, after a line break; nothing when there are none.
std::string NotTakenText(const LinesByText& notTaken)
{
    if (notTaken.Empty())
        return {};
    return "\nNicht übernommen:\n" +
           ListedEntries(notTaken, "\n", " weitere nicht übernommene Werte",
                         [](const std::string& why, const NotedLines& lines) { return LinesText(lines) + ": " + why; });
}

}  // namespace

void NotedLines::Note(int line)
{
    if (count_ > 0 && last_ == line)
        return;
    last_ = line;
    ++count_;
    if (listed_.size() < kListed)
        listed_.push_back(line);
}

void LinesByText::Note(const std::string& text, int line)
{
    // Every name of a file may be one no field has: past kKept texts only their number grows.
    if (entries_.size() >= kKept && !index_.contains(text)) {
        ++more_;
        return;
    }
    const auto [place, added] = index_.try_emplace(text, entries_.size());
    if (added)
        entries_.emplace_back(text, NotedLines());
    entries_[place->second].second.Note(line);
}

std::string ImportLog::Message() const
{
    const std::string source = FileName.empty() ? "Der Import" : "Der Import aus der Datei " + Quoted(FileName);
    std::string text;
    if (!Stop.empty())
        text = Stop + "\nDer Import endete in dieser Zeile: sie und die Zeilen danach wurden nicht importiert.\n" +
               TakenText(Taken) + NotTakenText(NotTaken);
    else if (!NotTaken.Empty() && Taken.Empty())
        text = (FileName.empty() ? std::string("Es wurde nichts importiert.")
                                 : "Aus der Datei " + Quoted(FileName) + " wurde nichts importiert.") +
               NotTakenText(NotTaken);
    else if (!NotTaken.Empty())
        text = source + " hat nicht jeden Wert übernommen.\n" + TakenText(Taken) + NotTakenText(NotTaken);

    const std::pair<const NotedLines*, const char*> parts[] = {
        {&ReadAsWindows, "Zeichen, die kein UTF-8 sind, wurden als Windows-1252 gelesen."},
        {&Replaced, "Zeichen, die eine Berechnungsdatei nicht aufnehmen kann, wurden durch „?“ ersetzt."},
        {&CutAtZero, "Der Wert enthielt ein Nullzeichen und wurde dort abgeschnitten."},
        {&CutToField, "Der Wert war länger als das Feld und wurde gekürzt."},
    };
    std::string changes;
    for (const auto& [lines, what] : parts)
        if (!lines->Empty())
            changes += "\n" + LinesText(*lines) + ": " + what;
    if (!changes.empty())
        text += (text.empty() ? "" : "\n\n") + source + " hat nicht alles übernommen, wie es dort stand:" + changes;
    return text;
}

std::string ImportFileText(std::string_view bytes, ImportLog& log)
{
    // A file holds far fewer lines than an int counts (the document limit): the number is whole.
    return TextFileToUtf8(bytes, [&log](std::size_t line) { log.ReadAsWindows.Note(static_cast<int>(line)); });
}

std::size_t ImportValueLines(const std::vector<TDataSet*>& dataSetList, std::string_view text, ImportLog* log,
                             const ImportRefusal& refusal)
{
    const std::vector<TDataSet*> tables = ImportTables(dataSetList);
    std::size_t taken = 0;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        try {
            taken += ImportLine(tables, line, number, log, refusal) ? 1 : 0;
        } catch (const EConvertError& error) {
            const std::string where = log && !log->FileName.empty() ? "Die Datei " + Quoted(log->FileName) + ", " : "";
            const std::string stop = where + "Zeile " + std::to_string(number) + ": " + error.Message();
            if (log)
                log->Stop = stop;
            throw EConvertError(stop);
        }
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return taken;
}

}  // namespace velmoran
