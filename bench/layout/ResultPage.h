// The generated result page the layout benchmarks measure, and the steps they share: a document
// parsed with the default style sheet, and the document cut into pages as the print loop does.
#pragma once

#include "html/layout/SectionList.h"

#include <cstddef>
#include <memory>
#include <string>

namespace velmoran::bench {

// A result page of about the given size: headings, and tables of load-case values with a group
// row spanning all columns every twenty rows.
std::string ResultPage(std::size_t bytes);

// The page of the given size in MB, made once per process.
const std::string& Page(int megabytes);

// A document parsed from the page with the default style sheet.
std::unique_ptr<TSectionList> ParsedDocument(const std::string& html);

// Cuts a laid-out document into pages pageHeight high at the given width as the print loop does:
// the document in print mode laid out, every page painted into one reused page image (headers of
// tables repeated), nothing written; then laid out again for the screen at screenWidth. Returns
// the number of pages.
int CutIntoPages(TSectionList& document, int width, int pageHeight, int screenWidth);

}  // namespace velmoran::bench
