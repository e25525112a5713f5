// The names of pictures and style sheets in a page the main window exports. The page is made from
// a template whose pictures and style sheets lie beside it (or below the template root, for names
// starting with "/"); written into another folder, it would look for them there and show none.
// Each such name is written anew as the export's reader needs it; everything else of the page
// stays byte for byte.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// The name to write in place of a picture or style-sheet name, or nothing to keep it as written.
using TExportName = std::function<std::optional<std::string>(const std::string& name)>;

// The page with the names replaced that `rename` gives anew: SRC of IMG and INPUT, BACKGROUND of
// any element, HREF of LINK, and url(...) in STYLE elements and style attributes. Comments and
// scripts are left alone. A name goes to `rename` as written, without its quotes and blanks
// around it; a new name is written in double quotes ('"' in it as "&quot;").
std::string WithExportNames(std::string_view page, const TExportName& rename);

}  // namespace velmoran
