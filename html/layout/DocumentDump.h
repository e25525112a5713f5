// A readable text picture of a parsed document: blocks with their kind, style key, margins and
// computed style values, text sections with their text, break classes and font runs, tables with
// rows, cells, spans and COL column settings; after a layout also where everything was placed
// (block boxes, table columns, rows and cells, every line of text). Used by the developer tool
// htmldump and by tests, among them the golden layouts of tests/data/html/layout.
#pragma once

#include "html/layout/SectionList.h"

#include <string>

namespace velmoran {

struct DumpOptions {
    bool Styles = true;        // the computed style values of each block that differ from the document default
    bool BreakClasses = true;  // the break class of every character
    bool Runs = true;          // font runs
    bool Positions = false;    // the laid-out places: call it after LayoutDocument
};

std::string DumpDocument(TSectionList& document, const DumpOptions& options = {});

}  // namespace velmoran
