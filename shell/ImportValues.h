// The import of single values into a calculation: a text of lines "name;value", the name
// optionally ending in "#" and the one-digit record number. Each value goes into the first of the
// tables "d", "dl" and "dp" that has the field (in a module without tables of these names, the
// first of its first three tables), set as the user types it (in the user's locale).
#pragma once

#include <string_view>
#include <vector>

namespace velmoran {

class TDataSet;

// Imports the lines of `text` (UTF-8) into the tables. Lines without ";" and names no table has
// are passed over. A value the field cannot take, or a record number that is no digit, raises
// the conversion error; that line's edit is cancelled and the lines before it stay imported.
void ImportValueLines(const std::vector<TDataSet*>& tables, std::string_view text);

}  // namespace velmoran
