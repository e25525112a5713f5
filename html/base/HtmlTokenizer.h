// The HTML tokenizer: reads the source of one document (and text inserted by include directives)
// character by character, normalises line ends, skips comments, declarations and server blocks,
// decodes character references and turns the input into tags with their attributes and runs of
// text. It also holds the character-set handling of the source.
#pragma once

#include "html/base/Attributes.h"
#include "html/base/HtmlSymbols.h"
#include "html/base/TextBuffers.h"
#include "platform/core/Exceptions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

// Raised for input that ends inside a comment or a "<!" declaration.
class EParseError : public Exception {
public:
    using Exception::Exception;
};

constexpr char kOpenCommentMessage[] = "Open Comment at End of HTML File";

// An include directive: the directive name, its "name=value" parameters, and the text to read in
// its place (left empty for none).
using IncludeHandler =
    std::function<void(const std::string& command, const std::vector<std::string>& params, std::string& text)>;

// The code point of an entity name (case-sensitive), or -1.
int LookupEntity(std::string_view name);
int EntityCount();
// The Windows font charset of a charset name (first table key contained in the lower-cased name).
bool LookupCharset(std::string_view name, int& charset);
// ISO-2022-JP and EUC-JP (JIS X 0208 and the half-width katakana) to Shift-JIS.
std::string Iso2022JpToShiftJis(std::string_view text);
std::string EucJpToShiftJis(std::string_view text);

// A file's name as a page in that code page writes it in an attribute (character references and
// bytes of the code page) made the name of a file here, as a picture's SRC is read.
std::string AttributeFileName(std::string_view written, int codePage);

class THtmlTokenizer {
public:
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr std::size_t kMaxIncludeBytes = 16u * 1024u * 1024u;

    THtmlTokenizer();

    // Source preparation and reset for a new document. Returns the start state for the first property
    // set: whether the UTF-8 signature was found, and whether ISO-2022-JP input was converted.
    struct SourceInfo {
        bool Utf8Signature = false;
        bool Iso2022Jp = false;
    };
    SourceInfo SetSource(std::string text);
    // Back to the start of the document text (the second pass after the pre-scan).
    void Restart();

    // --- reading ---
    // The next character. A plain character of the document (no line end, tab, "<", NUL, no
    // progress point) is taken here; everything else goes the long way.
    void GetCh()
    {
        if (inputMode_ == 1 && lineEnd_ == 0 && docPos_ < doc_.size() && (docPos_ & 0xFFF) != 0) {
            const auto c = static_cast<unsigned char>(doc_[docPos_]);
            if (c > CharCR && c != '<') {
                ++docPos_;
                ++SIndex;
                Ch = c;
                LCh = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
                return;
            }
        }
        GetChSlow();
    }
    void NextToken();
    void SkipWhiteSpace();
    // One attribute of the current tag; false when no attribute name follows.
    bool GetAttribute(Symb& sym, std::string& name, std::string& value, int& numeric, bool& percent);
    // The next raw character without consuming it (0 at the end).
    unsigned char Peek();
    // The charset of a name as META and FONT use it; EUC-JP converts the document once and reports
    // Shift-JIS (128).
    bool LookupDocumentCharset(std::string_view name, int& charset);
    bool AtEnd() const { return Ch == 0; }
    // A character reference at "&" of raw content (TEXTAREA) into bytes of a code page, as
    // attribute values take them.
    void ReadReference(std::string& out, int codePage) { DecodeReference(out, codePage); }

    // --- state read by the element routines ---
    unsigned char Ch = 0;      // current character after normalisation
    unsigned char LCh = 0;     // its upper-case form
    Symb Sy = EofSy;           // current symbol
    int HeadingLevel = 0;      // 1..6 after H with a digit
    int TagPos = 0;            // source position of the "<" of the current tag
    int SIndex = -1;           // source position of the current character
    std::string CommandName;   // the upper-case name of an unknown tag (CommandSy)
    TAttributeList Attributes; // attributes of the current tag
    TokenObj Token;            // characters of the current text token
    int CodePage = 1252;       // code page for attribute values (the first property set's, then META's)
    int PropCodePage = 1252;   // code page of the current property set (set by the parser)
    bool WideFormValues = false;  // quoted VALUE attributes use the property code page
    bool NoComments = false;   // "<!" and "<%" are plain characters
    bool PreMode = false;      // pre-formatted content: blanks kept, each line end an EolSy
    bool PreScan = false;      // first pass: no text is collected, no IDs registered, no progress
    bool InComment = false;

    // --- hooks ---
    IncludeHandler OnInclude;
    std::function<void(const std::string& id, int pos)> OnRegisterID;
    std::function<void(int percent)> OnProgress;
    int ProgressScale = 0;

    const std::string& Document() const { return doc_; }
    int IncludeDepth() const { return static_cast<int>(incMarks_.size()); }

private:
    static constexpr unsigned char CharCR = 13;
    void GetChSlow();
    unsigned char ReadRaw();
    void GetChBasic();
    void SkipCommentBody(bool haveChar);
    void DoInclude();
    void SkipServerBlock();
    void DoTag();
    void DoText();
    // A character reference read at "&": the code point it stands for, or the characters read
    // when they form none (they stay as text).
    struct Reference {
        bool Decoded = false;
        bool Numeric = false;
        std::uint32_t CodePoint = 0;
        std::string Literal;
        // The UTF-16 units the code point adds: TAB reads as a blank, other control characters
        // and values no character has as "?".
        std::u16string Units() const;
    };
    Reference ReadReference(bool inAttribute);
    // A reference at "&" into the token buffer (text), or into a byte string in a code page
    // (attribute values).
    void DecodeReference(TCharCollection& pending);
    void DecodeReference(std::string& out, int codePage);
    void FlushPending(TCharCollection& pending);
    // Converts the document from the current character on into another code page.
    void ConvertFromCurrentCharacter(std::string (*convert)(std::string_view));

    std::string doc_;
    std::size_t docPos_ = 0;
    std::string inc_;
    std::size_t incPos_ = 0;
    std::vector<std::size_t> incMarks_;  // end offsets in inc_ of the nested included texts
    std::size_t includedBytes_ = 0;
    int inputMode_ = 1;
    int savedMode_ = 1;
    int lineEnd_ = 0;
    bool eucConverted_ = false;
    int startIndex_ = -1;
    TCharCollection pending_;  // DoText's byte buffer, kept so that its room is allocated once
};

}  // namespace velmoran
