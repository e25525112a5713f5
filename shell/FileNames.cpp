// File names as the shell judges them; see FileNames.h.
#include "shell/FileNames.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace velmoran {

namespace {

// What the modules save, in any case (a stick or share that ignores case holds one file for
// "X.VDA" and "x.vda"); the open check's looser matches (".vd", ".a") are no name a save writes.
constexpr std::array<std::string_view, 5> kCalculationExtensions = {".vda", ".vds", ".vdh", ".vdk", ".vdo"};

// The extension of the name's last part, its dot included; ".vda" alone counts as one.
std::string_view ExtensionOf(std::string_view fileName)
{
    const std::size_t dot = fileName.find_last_of("./");
    return dot == std::string_view::npos || fileName[dot] != '.' ? std::string_view() : fileName.substr(dot);
}

bool HasCalculationExtension(std::string_view fileName)
{
    const std::string_view extension = ExtensionOf(fileName);
    return std::ranges::any_of(kCalculationExtensions,
                               [extension](std::string_view known) { return SameText(extension, known); });
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error)
        return true;
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error) && !error;
}

bool IsCalculationName(const std::string& fileName)
{
    return HasCalculationExtension(fileName) || HasCalculationExtension(ResolvedPath(fileName));
}

std::optional<std::string> OutputFileRefusal(const std::string& fileName, const std::string& openCalculation,
                                             OutputKind kind)
{
    // The open calculation is every file of its pair, the module file beside it too.
    const bool open = !openCalculation.empty() &&
                      std::ranges::any_of(kCalculationExtensions, [&](std::string_view extension) {
                          return SameFile(fileName,
                                          std::filesystem::path(openCalculation).replace_extension(extension).string());
                      });
    if (!open && !IsCalculationName(fileName))
        return std::nullopt;
    // A link is told where it leads: the user typed its name, not the calculation's.
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string target = fs::path(ResolvedPath(fileName)).lexically_normal().string();
    const bool link = fs::is_symlink(fs::symlink_status(fileName, error)) && (open || HasCalculationExtension(target));
    std::string what = Quoted(fileName);
    if (link && open)
        what += " verweist auf die geöffnete Berechnung " + Quoted(target) + ": ";
    else if (link)
        what += (fs::exists(target, error) ? " verweist auf die Velmoran-Berechnung "
                                           : " verweist auf den Namen einer Velmoran-Berechnung ") +
                Quoted(target) + ": ";
    else if (open)
        what += " ist die Datei der geöffneten Berechnung: ";
    else
        what += " ist der Name einer Velmoran-Berechnung: ";
    // A name that already ends as it should (a link, the open file under another name) is mended
    // by another name, not by another ending.
    const std::string_view extension = ExtensionOf(fileName);
    const bool export_ = kind == OutputKind::Export;
    const bool endsRight = export_ ? SameText(extension, ".html") || SameText(extension, ".htm")
                                   : SameText(extension, ".pdf");
    const std::string choose = endsRight ? std::string("Wählen Sie einen anderen Namen.")
                                         : std::string("Wählen Sie einen Namen mit der Endung ") +
                                               (export_ ? "„.html“." : "„.pdf“.");
    if (export_)
        return what + "Die Ergebnisse werden nicht dorthin exportiert, damit keine Berechnung überschrieben wird. " +
               choose;
    return what + "Der Ausdruck wird nicht dorthin geschrieben, damit keine Berechnung überschrieben wird. " + choose +
           " Es wurde nichts gedruckt.";
}

}  // namespace velmoran
