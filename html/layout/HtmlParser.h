// The HTML parser's entry points: an HTML document or plain text into a document root, frameset
// detection and frameset documents for the frame viewer. One document is parsed at a time.
#pragma once

#include "html/base/Attributes.h"
#include "html/base/HtmlTokenizer.h"
#include "html/layout/DocumentHost.h"
#include "html/layout/SectionList.h"
#include "html/style/Fonts.h"
#include "platform/core/Stream.h"

#include <string>

namespace velmoran {

// What a parse leaves for the viewer to read.
struct TParseResult {
    std::u16string Title;
    std::string Base;
    std::string BaseTarget;
    int CodePage = 1252;  // the document's code page (from its signature or META)
};

// Parses an HTML text into the document root (which must be empty); FONT sizes 1 to 7 become the
// points of fontSizes. Raises EParseError for a comment left open at the end.
TParseResult ParseHtmlDocument(const std::string& text, TSectionList& sectionList, const TIncludeType& onInclude = {},
                               const TSoundType& onSoundRequest = {}, const TMetaType& onMeta = {},
                               const TLinkType& onLink = {}, const HtmlFontSizes& fontSizes = HtmlFontSizes());

// The code page a page's text is read in, as the parser finds it: UTF-8 after the UTF-8
// signature, else that of the page's META charset (the last one), else Windows-1252.
int DeclaredCodePage(const std::string& text);

// The whole text as pre-formatted lines.
void ParsePlainText(const std::string& text, TSectionList& sectionList);

// A frame set of the frame viewer.
class TFrameSetBase {
public:
    virtual ~TFrameSetBase() = default;
};

// The frame viewer as the frameset parser uses it.
class TFrameViewerBase {
public:
    virtual ~TFrameViewerBase() = default;
    virtual void AddFrame(TFrameSetBase* frameSet, const TAttributeList& attributes, const std::string& base) = 0;
    virtual TFrameSetBase* CreateSubFrameSet(TFrameSetBase* parent) = 0;
    virtual void DoAttributes(TFrameSetBase* frameSet, const TAttributeList& attributes) = 0;
    virtual void EndFrameSet(TFrameSetBase* frameSet) = 0;
    // The frame set of the outermost FRAMESET.
    virtual TFrameSetBase* TopFrameSet() = 0;

    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TLinkType OnLink;
    TScriptEvent OnScript;
};

// True when a FRAMESET start tag comes before any body content.
bool IsFramesetDocument(const std::string& text);
// Hands the frame sets and frames of a frameset document to the frame viewer; returns the title,
// base and base target it found.
TParseResult ParseFramesetDocument(TFrameViewerBase& viewer, const TMetaType& onMeta, const std::string& text);
// The same for a document held in a stream (read from its start).
bool IsFramesetDocument(TStream& stream);
TParseResult ParseFramesetDocument(TFrameViewerBase& viewer, const TMetaType& onMeta, TStream& stream);

// Rows of column slots of a table with COL column settings: "o" free, "x" taken.
class TCellManager {
public:
    explicit TCellManager(int columns) : columns_(columns) {}
    // The first free column of a row (rows appended as needed); -1 when the row has none.
    int FindColNum(int row);
    // Takes the slots of a cell starting at the row's first free column; reduces colSpan when fewer
    // slots are free.
    void AddCell(int row, int rowSpan, int& colSpan);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::string& Row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    void SetColumns(int columns) { columns_ = columns; }

private:
    void EnsureRows(int count);
    int columns_;
    std::vector<std::string> rows_;
};

}  // namespace velmoran
