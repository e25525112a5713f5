// The import of single values into a calculation: a text of lines "name;value", the name
// optionally ending in "#" and the record number. Each value goes into the first of the
// tables "d", "dl" and "dp" that has the field (in a module without tables of these names, the
// first of the first three tables of the shell's dataset list), set as the user types it (in the
// user's locale). What the import could not keep as the file holds it, the values it took, those
// the calculation does not take and the line that stopped it are logged by line, so that the user
// is told once what came in and which lines to look at.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmoran {

class TDataSet;

// Line numbers (counted from 1) noted in ascending order, each once: the first that a message
// lists as they are, the others only counted, so that a file of millions of such lines costs no
// more than one of a dozen.
class NotedLines {
public:
    static constexpr std::size_t kListed = 10;

    void Note(int line);
    bool Empty() const { return count_ == 0; }
    // How many lines were noted, and the first kListed of them.
    std::size_t Count() const { return count_; }
    const std::vector<int>& Listed() const { return listed_; }

private:
    std::vector<int> listed_;
    std::size_t count_ = 0;
    int last_ = 0;
};

// Lines noted under a text each (a field's name, or why a line was not taken), the texts in the
// order of their first line. The first kKept texts are kept, the others only counted (a file may
// hold a name no field has on every line).
class LinesByText {
public:
    static constexpr std::size_t kKept = 1000;

    void Note(const std::string& text, int line);
    bool Empty() const { return entries_.empty(); }
    const std::vector<std::pair<std::string, NotedLines>>& Entries() const { return entries_; }
    // How many texts were noted, those counted only included (a text past kKept once a line).
    std::size_t Count() const { return entries_.size() + more_; }

private:
    std::vector<std::pair<std::string, NotedLines>> entries_;
    std::unordered_map<std::string, std::size_t> index_;
    std::size_t more_ = 0;
};

// Why the calculation would not take a value an import writes into the field of that table's
// row (German, after the field's quoted name: "ist kein Eingabewert ..."); nothing when it takes it.
using ImportRefusal =
    std::function<std::optional<std::string>(const TDataSet& table, const std::string& field, int row)>;

// What an import changed on the way in, by line.
struct ImportLog {
    // The file named in the messages; empty for a text of no file.
    std::string FileName;
    // Lines of a text read as UTF-8 with bytes that were no UTF-8, read as Windows-1252
    // characters; or, of a text mostly Windows-1252, its lines read so beside lines of UTF-8.
    NotedLines ReadAsWindows;
    // Characters a calculation file cannot hold, stored as "?".
    NotedLines Replaced;
    // Values cut at a zero byte.
    NotedLines CutAtZero;
    // Values longer than their field, cut to its length.
    NotedLines CutToField;
    // The values set, by field name ("QD", "QD#1" for the second record).
    LinesByText Taken;
    // The lines whose name no field has, whose record the table does not have, whose field the
    // calculation does not take or that hold no value, by the sentence that says so ("„T“ hat
    // keinen Wert.").
    LinesByText NotTaken;
    // Whether a line named a field of the calculation's tables.
    bool FieldFound = false;
    // Where the import ended and why: the line whose value no field could take (empty when it
    // went to the end).
    std::string Stop;

    // The one German message on all of it, naming the file and the lines: what was taken and
    // what not, where the import stopped, and what it did not keep as it stood; that nothing was
    // taken when nothing was. Empty when the import took every value it found as it stood.
    std::string Message() const;
};

// An import file's bytes as UTF-8 (a file from here or from Windows), the lines whose bytes were
// read other than as written going into the log.
std::string ImportFileText(std::string_view bytes, ImportLog& log);

// Imports the lines of `text` (UTF-8) into the tables; `dataSetList` is the shell's dataset list
// (the module's tables, last one first). Lines without ";" or without a name are passed over;
// so are a name no table has, a record number the table has no record for ("QD#12" too), a field
// `refusal` names and an empty value of a field that is no text, which the log notes as not
// taken. A value the field cannot take, or a "#" followed by no digit, raises the conversion
// error naming the file, line and field (and quoting the value only in part); that line's edit is
// cancelled and the lines before it stay imported. A log, when given, receives the values set,
// those not taken, the line that stopped the import, and the lines whose values a field did not
// take whole. Returns the number of values set.
std::size_t ImportValueLines(const std::vector<TDataSet*>& dataSetList, std::string_view text,
                             ImportLog* log = nullptr, const ImportRefusal& refusal = {});

}  // namespace velmoran
