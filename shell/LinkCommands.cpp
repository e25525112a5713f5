// The link commands of the result and start pages.
#include "shell/LinkCommands.h"

#include "platform/Shell.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"
#include "shell/Folders.h"

#include <algorithm>
#include <filesystem>

namespace velmoran {

namespace fs = std::filesystem;

const std::vector<std::string>& LinkKeywords()
{
    static const std::vector<std::string> keywords = {
        "FILENEW", "FILEOPEN", "FILEIMPORT", "FILESAVE", "FILEPRINT", "PRINTTEMPLATE",
        "EDITDLG", "CALCULATE", "SETMODE", "SETINDEX", "FILEEXEC",
    };
    return keywords;
}

TLinkCommand ParseLinkCommand(std::string_view text)
{
    TLinkCommand link;
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) {
        link.Keyword = Trim(text);
    } else {
        link.Keyword = Trim(text.substr(0, blank));
        link.Argument = Trim(text.substr(blank));
    }
    const auto& keywords = LinkKeywords();
    for (std::size_t i = 0; i < keywords.size(); ++i)
        if (SameText(link.Keyword, keywords[i]))
            link.Command = static_cast<LinkCommand>(i);
    return link;
}

std::optional<std::uint8_t> NextLoadCase(std::uint8_t current, std::string_view text)
{
    int next = 0;
    if (text == "+") {
        next = current + 1;
    } else if (text == "-") {
        next = current - 1;
    } else {
        const std::optional<int> number = TryStrToInt(text);
        if (!number)
            return std::nullopt;
        next = *number;
    }
    const int asSigned = static_cast<std::int8_t>(static_cast<std::uint8_t>(next & 0xFF));
    return static_cast<std::uint8_t>(std::clamp(asSigned, 0, 3));
}

std::string LinkFileName(const std::string& argument, const std::function<std::string(const std::string&)>& expand)
{
    std::string name = argument;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/')
        return name;
    return expand(name);
}

LinkTarget LinkTargetOf(std::string_view url)
{
    const std::string scheme = UrlScheme(url);
    if (scheme.empty())
        return LinkTarget::Viewer;
    if (IsWebOrMailAddress(url))
        return LinkTarget::Desktop;
    if (scheme == "file")
        return LinkTarget::ProgramDocument;
    return LinkTarget::Refused;
}

bool IsCalculationSaveName(const std::string& fileName)
{
    // A name that is a symbolic link counts by the file it leads to.
    return fs::path(fileName).extension() == ".vda" && fs::path(ResolvedPath(fileName)).extension() == ".vda";
}

namespace {

// A refusal of a save name: its first sentence `lead`, with `example` of a name it takes when
// given, then the name. ".VDA" is ".vda" to the eye: a name that ends so is told instead that the
// ending is written in lower case, with the name it would be saved under.
std::string RefusedSaveName(const std::string& lead, const std::string& example, const std::string& fileName)
{
    const fs::path name = fs::path(fileName).filename();
    if (SameText(name.extension().string(), ".vda") && name.extension() != ".vda")
        return lead + ". Die Endung „.vda“ wird kleingeschrieben (etwa " +
               Quoted(fs::path(name).replace_extension(".vda").string()) + "): " + Quoted(fileName);
    return lead + (example.empty() ? "" : " (etwa " + Quoted(example) + ")") + ": " + Quoted(fileName);
}

}  // namespace

std::optional<std::string> LinkSaveRefusal(const std::string& fileName)
{
    if (IsCalculationSaveName(fileName))
        return std::nullopt;
    return RefusedSaveName("Eine Verknüpfung speichert nur in Velmoran-Dateien (*.vda)", {}, fileName) +
           " wird nicht geschrieben.";
}

std::optional<std::string> SaveAsRefusal(const std::string& fileName)
{
    if (IsCalculationSaveName(fileName))
        return std::nullopt;
    // ".vda" alone does end in ".vda": what it lacks is the name in front.
    const bool nameMissing = fs::path(fileName).filename() == ".vda";
    return RefusedSaveName(nameMissing ? "Vor der Endung „.vda“ fehlt der Name der Berechnung"
                                       : "Eine Berechnung wird nur unter einem Namen mit der Endung „.vda“ gespeichert",
                           "Kläranlage.vda", fileName) +
           " wurde nicht geschrieben.";
}

std::optional<std::string> FileLinkTarget(const std::string& programFolder, std::string_view url, std::string* refusal)
{
    const auto refuse = [&](const std::string& why) -> std::optional<std::string> {
        if (refusal)
            *refusal = "Die Verknüpfung " + Quoted(std::string(url)) + " öffnet nichts. " + why;
        return std::nullopt;
    };
    const std::string upper = UpperCase(url);
    const std::size_t scheme = upper.find("FILE://");
    std::error_code error;
    const fs::path root = fs::weakly_canonical(fs::path(programFolder), error);
    const std::string rootName = WithoutSlash(programFolder);
    if (scheme == std::string::npos || error)
        return refuse("Eine Verknüpfung auf eine Datei hat die Form " + Quoted("file://Ordner/Datei.htm") +
                      " und nennt ein Dokument im Programmordner " + Quoted(rootName) + ".");
    const fs::path named = root / fs::path(std::string(url.substr(scheme + 7)));
    fs::path target = fs::weakly_canonical(named, error);
    if (error)
        target = named.lexically_normal();
    if (error || !fs::is_regular_file(target, error))
        return refuse(UnreadableMessage(target.string(), UnreadableReason(target.string())));
    if (!IsInsideFolder(target.string(), root.string()))
        return refuse(Quoted(target.string()) + " liegt nicht im Programmordner " + Quoted(rootName) +
                      ", und Verknüpfungen öffnen nur Dokumente dort.");
    const fs::perms executable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    if ((fs::status(target, error).permissions() & executable) != fs::perms::none ||
        SameText(target.extension().string(), ".desktop"))
        return refuse(Quoted(target.string()) + " ist ein Programm, und Verknüpfungen starten keine Programme.");
    return target.string();
}

}  // namespace velmoran
