// What the shell decides from file names alone: whether two names stand for one file, which names
// are the program's calculations, and where the print result may be written (never over a
// calculation).
#pragma once

#include <optional>
#include <string>

namespace velmoran {

// Whether two names stand for one file (links followed); names of files not there compare by
// their cleaned path.
bool SameFile(const std::string& a, const std::string& b);

// Whether the name, or the file a symbolic link of that name leads to, carries the extension of
// one of the program's calculation files (".vda", ".vds", ".vdh", ".vdk", ".vdo"), in any case.
bool IsCalculationName(const std::string& fileName);

// What the print result is written as.
enum class OutputKind { Export, Pdf };

// Why the print result may not be written to the file (German, naming it), or nothing when it
// may: a calculation's name, or the file of the calculation open whatever its name.
std::optional<std::string> OutputFileRefusal(const std::string& fileName, const std::string& openCalculation,
                                             OutputKind kind);

}  // namespace velmoran
