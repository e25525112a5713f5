// The text of an INI file, kept as it was written: comments, blank lines, lines the program does
// not understand, the spelling of names and the bytes of every value stay as they are; a change
// touches only the line of the value it changes. Sections ("[Name]") and names compare without
// regard to case; values before the first section belong to the section "". A value is the text
// after the first "=", without the blanks around it, and nothing in it is an escape: the program
// decides itself how it stores what a line cannot hold.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TIniDocument {
public:
    TIniDocument() = default;
    explicit TIniDocument(std::string_view text);

    // The value of the first line with that name in the first section of that name that has it.
    std::optional<std::string> Value(std::string_view section, std::string_view name) const;
    // Replaces the value of that line, or adds a line after the section's last value (a new
    // section goes to the end of the text).
    void SetValue(std::string_view section, std::string_view name, std::string_view value);
    // Removes every line of that name in every section of that name.
    void RemoveValue(std::string_view section, std::string_view name);
    // Removes the section with its lines, and the sections below it ("Name\..."), everywhere.
    void RemoveSection(std::string_view section);

    struct Entry {
        std::string Section;
        std::string Name;
        std::string Value;
    };
    // What SetValue for each value in turn makes of the text, in one pass however many there are.
    void SetValues(const std::vector<Entry>& values);
    // What RemoveValue for each place in turn makes of the text, in one pass.
    void RemoveValues(const std::vector<Entry>& places);
    // Every value line in the order of the text, with the section it stands in.
    std::vector<Entry> Entries() const;

    // The whole text, byte for byte as read where nothing was changed.
    std::string Text() const;

private:
    struct Line {
        std::string Text;
        std::string End;  // "\r\n", "\n", "\r", or nothing for a last line without one
    };
    enum class Kind { Other, Section, Value };
    struct Parsed {
        Kind Type = Kind::Other;
        std::string_view Name;  // the section or the value's name
        std::size_t ValueStart = 0;  // where a value's text begins in the line
    };
    static Parsed Parse(std::string_view line);
    static std::string ValueText(std::string_view line, const Parsed& parsed);
    // The lines [first, last) of each section of that name; the section "" is the top.
    std::vector<std::pair<std::size_t, std::size_t>> Sections(std::string_view section) const;
    void Insert(std::size_t at, std::string text);
    // The line end new lines get: that of the text's first line that ends.
    std::string NewLineEnd() const;

    std::string bom_;
    std::vector<Line> lines_;
};

}  // namespace velmoran
