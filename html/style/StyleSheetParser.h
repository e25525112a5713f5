// The style-sheet reader: STYLE element content (read straight from the HTML tokenizer), linked
// style sheets and STYLE attributes. Rules go to the document's style list one selector and
// property at a time; shorthand properties are split into the long-hand properties of the model.
#pragma once

#include "html/style/Properties.h"
#include "html/style/StyleList.h"
#include "platform/core/CodePage.h"

#include <functional>
#include <string>

namespace velmoran {

// The character that stands for the end of input.
constexpr char kEofChar = '\0';

// The next character of the source (kEofChar at the end).
using CharSource = std::function<char()>;

// Parses a sheet. For a STYLE element, ch is the tokenizer's current character, source its
// reader and peek the character after the current one (unread), by which a comment never closed
// ends at the element's end tag; on return ch holds the upper-case form of the character the
// parser stopped at ("<" of the end tag). For a linked sheet, linkPath is the sheet's base address
// and fromLink is set. A sheet's text is in codePage: the file names in its "url(...)" values are
// taken into the file system's UTF-8 from there.
void ParseStyleSheet(TStyleList& list, char& ch, const CharSource& source, const std::string& linkPath, bool fromLink,
                     const CharSource& peek = {}, int codePage = kUtf8CodePage);

// Parses the text of a linked style sheet (line ends and TABs read as blanks), written in the
// code page of its page unless it starts with the UTF-8 signature.
void ParseLinkedStyleSheet(TStyleList& list, const std::string& text, const std::string& linkPath,
                           int codePage = kUtf8CodePage);

// Reads a linked style sheet from a file; a file that cannot be read gives no rules and raises
// nothing. Returns whether the file was read.
bool LoadLinkedStyleSheet(TStyleList& list, const std::string& fileName, const std::string& linkPath);

// Parses a STYLE attribute, written in codePage, into one property set.
void ParseStyleAttribute(const std::string& text, TProperties& props, int codePage = kUtf8CodePage);

}  // namespace velmoran
