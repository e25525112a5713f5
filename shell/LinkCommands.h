// The link commands of the result and start pages: the keywords a link may start with, the split
// of a link into keyword and argument, the step through the load cases, the scheme that decides
// where a link goes, and the check of a "file://" link, which may only name a plain document
// below the program folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

enum class LinkCommand {
    FileNew,
    FileOpen,
    FileImport,
    FileSave,
    FilePrint,
    PrintTemplate,
    EditDlg,
    Calculate,
    SetMode,
    SetIndex,
    FileExec,
};

// "FILENEW" ... "FILEEXEC", in the order of LinkCommand.
const std::vector<std::string>& LinkKeywords();

struct TLinkCommand {
    // Empty when the keyword is none of LinkKeywords (compared without regard to case).
    std::optional<LinkCommand> Command;
    std::string Keyword;
    // The text after the first blank, trimmed, as written.
    std::string Argument;
};

TLinkCommand ParseLinkCommand(std::string_view text);

// The load case "+", "-" or a number leads to from `current`: taken as a signed 8-bit value and
// clamped to 0 ... 3; nothing for a text that is no number.
std::optional<std::uint8_t> NextLoadCase(std::uint8_t current, std::string_view text);

// The file a link command's argument names: a "\" read as "/", a full path as it stands, and a
// relative name as `expand` makes it full: beside the page that holds the link, as its viewer
// finds the pictures and pages it names. Never the folder the program happened to be started from.
std::string LinkFileName(const std::string& argument, const std::function<std::string(const std::string&)>& expand);

// Where a link that is no link command goes, by the scheme it starts with (parsed, never searched
// for in the text): exactly "http", "https" or "mailto" to the desktop; "file" to a document below
// the program folder; any other scheme nowhere; a link without a scheme (an anchor, a page or a
// picture) stays the viewer's.
enum class LinkTarget { Desktop, ProgramDocument, Refused, Viewer };
LinkTarget LinkTargetOf(std::string_view url);

// Whether a calculation may be saved under the name: it ends in ".vda" after a name of its own
// (".vda" alone is a hidden file with no extension), and so does the file a symbolic link of that
// name leads to. The open dialog lists only such files, and opening takes them.
bool IsCalculationSaveName(const std::string& fileName);

// Why a "FILESAVE" link may not save to a name (in German), or nothing when it may: a link writes
// only calculation files (".vda"), so a page cannot make the program write over any other file.
std::optional<std::string> LinkSaveRefusal(const std::string& fileName);

// Why "Speichern unter" does not save to a name (in German), or nothing when it may: saved under
// another name the calculation could be neither found by the open dialog nor opened, and "x.txt"
// put its module file beside as "x.vdh".
std::optional<std::string> SaveAsRefusal(const std::string& fileName);

// The file a "file://" link names below the program folder (with its "/"), when it exists, lies
// inside that folder and is neither a program nor a desktop entry; else nothing, and `refusal`
// (when given) says in German, naming the link, why it opens nothing.
std::optional<std::string> FileLinkTarget(const std::string& programFolder, std::string_view url,
                                          std::string* refusal = nullptr);

}  // namespace velmoran
