// The cascade's results remembered by everything they are made of: the parent's values, the tag,
// the class list and the id. A result page's thousands of cells have a handful of computed styles;
// each further element with the same inputs takes a copy of the remembered result instead of
// inheriting and running the style rules again. Elements whose result depends on more (a STYLE
// attribute, a pseudo-class, a title, link fonts, rules that name ancestors) are left to the
// cascade.
#pragma once

#include "html/style/Properties.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TStyleList;

class TCascadeMemo {
public:
    // Opens an element's set on top of the stack: a copy of a remembered result where the memo
    // serves the element, else inherited from the set below and the cascade run (with the STYLE
    // attribute's declarations), remembered for the elements after it.
    TProperties* Open(TPropStack& stack, TStyleList& styles, const std::string& tag, const std::string& cls,
                      const std::string& id, const std::string& pseudo, const std::string& title,
                      const std::string& style);

    // Whether an element of this tag and class list under this parent can be served at all.
    static bool Applies(const TProperties& parent, const std::string& tag, const std::string& cls,
                        const TStyleList& styles);
    // Fills a new set as inheriting from parent and the cascade would; false when nothing is
    // remembered for these inputs.
    bool Serve(TProperties& props, const TProperties& parent, const std::string& tag, const std::string& cls,
               const std::string& id, const TStyleList& styles);
    // Keeps the result the cascade gave props under parent.
    void Remember(const TProperties& props, const TProperties& parent, const std::string& tag,
                  const std::string& cls, const std::string& id, const TStyleList& styles);
    // Elements served from the memo so far.
    int Hits() const { return hits_; }

private:
    struct Entry {
        std::string Tag, Class, Id;
        int Generation = 0;
        double DefaultSize = 0;  // the documents' default font size the result was made with
        std::unique_ptr<TProperties> Parent;  // the values the result was made from
        std::unique_ptr<TProperties> Result;
    };
    std::vector<Entry> entries_;
    std::size_t next_ = 0;    // the entry a full memo replaces next
    std::size_t recent_ = 0;  // the entry found or added last, tried first
    int hits_ = 0;
};

}  // namespace velmoran
