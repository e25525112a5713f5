// TReport: expands a screen or print template into a result document. Items between two "|"
// become field values, expression results or template variables; "$?" opens a conditional
// block, "${" includes a file, "$#" is a comment and a lone "$" closes a block. The values of
// string fields are put in as text: "&", "<", ">" and '"' become entities, so that a name from a
// calculation file cannot become markup; the template's own text is copied as it is.
#pragma once

#include "report/Expression.h"
#include "report/ReportDataSet.h"

#include "platform/core/CodePage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmoran {

class TDataSet;
class TStream;

// A variable set by an assignment item; the name is trimmed and upper case.
struct TVarEntry {
    std::string Name;
    double Value = 0;
};

class TReport : private NameResolver {
public:
    // Includes nest at most this deep.
    static constexpr std::uint8_t kMaxIncludeDepth = 3;
    // Widths and decimals of name items are capped here.
    static constexpr int kMaxNameItemWidth = 255;

    TReport() = default;
    TReport(const TReport&) = delete;
    TReport& operator=(const TReport&) = delete;

    // The module's datasets in the main window's order; not owned. The field objects must stay
    // while the engine lives (the module's tables declare theirs).
    void SetDataSets(const std::vector<TDataSet*>& dataSets);
    // The same through any other view of datasets (tests, tools).
    void SetDataSetViews(std::vector<ReportDataSet*> dataSets) { dataSets_ = std::move(dataSets); }
    const std::vector<ReportDataSet*>& DataSets() const { return dataSets_; }

    // Registers every field of every dataset under its name, then renames fields by the alias
    // file ("Name = Alias" per line). A repeated call appends further entries.
    void LoadVariables(const std::string& fileName);

    // The code page of the page the template makes (Windows-1252 unless set): the texts of string
    // fields, which are Windows-1252, are written in it, so that a UTF-8 page shows "Kläranlage"
    // as its own text does.
    void SetPageCodePage(int codePage) { pageCodePage_ = codePage; }
    int PageCodePage() const { return pageCodePage_; }

    // Sets the record number for names without "#" (shared by all engines).
    void SetRecord(std::uint8_t index);
    std::uint8_t RecordNumber() const { return recordNumber_; }
    static std::uint8_t DefaultRecordNumber();

    // The folder a relative include name ("${kopf.htm:") is read from at every include level: the
    // template's own, so that includes are found wherever the program was started. Empty: the
    // working folder.
    void SetIncludeFolder(const std::string& folder) { includeFolder_ = folder; }
    const std::string& IncludeFolder() const { return includeFolder_; }

    // Expands the template from its position to its end, appending to the output. Raises the
    // conversion error for a non-digit after "#" in a name. A template saved with the UTF-8
    // signature makes a page that starts with it, whatever its first line puts out first; an
    // included file saved so goes into the page without it, in the page's code page.
    void ProcessTemplate(TStream* templateStream, TStream* output);

    const std::vector<TVarEntry>& Variables() const { return variables_; }
    std::optional<double> VariableValue(std::string_view upperName) const;

    // The field registered under the name (case-insensitive; "Name#n" reads record n, otherwise
    // the default record), with its dataset positioned on that record; nullptr when none.
    ReportField* LookupField(std::string_view upperName);

    // Evaluates a condition as "$?" directives do.
    bool EvaluateCondition(std::string_view text) { return velmoran::EvaluateCondition(text, *this); }

private:
    struct NameEntry {
        std::string Name;
        ReportField* Field = nullptr;
    };
    // Output state of one run (one include level).
    struct RunState {
        bool Enabled = true;
        // Counted without an 8-bit wrap: 256 nested blocks inside a false one stay disabled.
        std::uint32_t Nesting = 0;
    };

    std::optional<double> ResolveName(std::string_view upperName) override;
    // The text of one item (without its "|"s); sets assignmentFlag for an assignment.
    std::string FormatItem(std::string_view item, bool& assignmentFlag);
    std::string ExpandLine(std::string_view line, RunState& state, bool& flagged);
    std::size_t Directive(std::string_view line, std::size_t dollar, RunState& state);
    void Include(const std::string& fileName);
    std::string FormatNameItem(const std::string& name, int width, int decimals);
    // A text of the code page given in the page's code page.
    std::string InPageCodePage(std::string_view text, int codePage) const;
    void SetVariable(const std::string& name, double value);
    void IndexNames();

    std::vector<ReportDataSet*> dataSets_;
    // Views of the in-memory tables handed in; kept for the engine's life, because the names
    // registered by LoadVariables point into them.
    std::vector<std::unique_ptr<ReportDataSet>> views_;
    std::vector<NameEntry> names_;
    // Upper-case name -> the first entry of names_ under it, rebuilt by LoadVariables.
    std::unordered_map<std::string, std::size_t> nameIndex_;
    std::vector<TVarEntry> variables_;
    // Name -> position in variables_: templates may set many thousands of variables.
    std::unordered_map<std::string, std::size_t> variableIndex_;
    TStream* output_ = nullptr;
    std::string includeFolder_;
    std::uint8_t includeDepth_ = 0;
    std::uint8_t recordNumber_ = 0;
    int pageCodePage_ = kAnsiCodePage;
};

}  // namespace velmoran
