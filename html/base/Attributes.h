// The attributes of the tag being read, and the link record built from an anchor or found by a
// hit test.
#pragma once

#include "html/base/FreeList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

// One attribute of the current tag, filled by the tokenizer.
struct TAttribute {
    std::uint8_t Which = 0;    // attribute symbol of the tokenizer's symbol set
    std::string WhichName;     // the attribute name as written
    int CodePage = 0;          // code page in force when the value was read
    bool Percent = false;      // the number was followed by "%"
    std::string Name;          // the value text
    int Value = 0;             // numeric value of the text, 0 when it is no number

    // The value as the name of a file here (a picture's SRC): converted from the page's code page
    // to the file system's UTF-8, so that "Bild\xE4.bmp" of a Windows-1252 page finds "Bildä.bmp".
    std::string FileName() const;
    // The value as a link's address (HREF, a frame's SRC): the page or file before "#" as FileName
    // gives it, so that "Seite\xE4.htm" or "FILESAVE Daten\xE4.vda" of a Windows-1252 page names
    // the file that is there; the anchor after "#" as written, as the page's own names stand.
    std::string Address() const;
};

class TAttributeList : public TFreeList<TAttribute> {
public:
    // The first attribute with this symbol, or nullptr.
    TAttribute* Find(std::uint8_t sym) const;
    // The first attribute with this name (without regard to case), or nullptr.
    TAttribute* FindName(const std::string& name) const;
    // One line "name=value" per attribute, in order.
    std::vector<std::string> CreateStringList() const;
    // The ID attribute's value lower-cased (cached).
    const std::string& GetID();
    // The CLASS attribute trimmed and lower-cased; several names give the canonical class list
    // joined with "." ("b a" gives "a.b").
    std::string GetClass() const;
    void Clear() override;

private:
    std::string id_;
};

// The link being built by the parser or found by a hit test.
class TUrlTarget {
public:
    struct TextRange {
        int Start = -1;
        int Last = -1;
    };

    // Sets URL and target, takes the next link identity, the start position and the anchor's
    // attribute lines.
    void Assign(const std::string& url, const std::string& target, const TAttributeList* attributes,
                int start);
    void Copy(const TUrlTarget& other);
    void Clear();
    // Sets the last character position; the font runs of the link follow it in the layout.
    void SetLast(int pos) { utText.Last = pos; }
    int GetStart() const { return utText.Start; }
    int GetLast() const { return utText.Last; }

    std::string URL;
    std::string Target;
    int ID = 0;
    std::string Attr;  // "name=value" lines of the anchor tag, separated by line breaks
    TextRange utText;
    int TabIndex = 0;

    // The library-wide link counter: starts at 10 and rises by one for every link.
    static int NextLinkID();
};

}  // namespace velmoran
