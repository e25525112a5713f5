// The record of how a page is laid out, as htmldump prints it and the golden layouts of
// tests/data/html/layout keep it: the page parsed and measured with the fixed-metric test font,
// laid out to a width, then the document tree with every place (blocks, tables, rows, cells,
// lines), the calls of painting it onto a recording canvas, and - given a page height - what
// printing puts on each page and where each page is cut.
#pragma once

#include <string>

namespace velmoran {

struct LayoutRecordOptions {
    int Width = 600;
    int PageHeight = 0;   // 0: no print record
    bool Paint = true;    // the calls of painting the whole document
};

// The record of one page of HTML at one width; the file name gives relative pictures their folder.
std::string LayoutRecord(const std::string& html, const LayoutRecordOptions& options, const std::string& base = {});

}  // namespace velmoran
