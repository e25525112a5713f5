// The style sheet of a document: selector texts mapped to property sets, the built-in default
// sheet, and the cascade that merges the matching entries into an element's property set.
#pragma once

#include "html/style/Properties.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmoran {

struct DefaultSheetOptions {
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int MarginLeftRight = 10;
    int MarginTopBottom = 10;
    std::uint8_t Charset = kDefaultCharset;
    bool UnderlineLinks = true;
    TColor HoverColor = 0;
    TColor VisitedColor = 0;
    TColor LinkColor = 0;
    TColor FontColor = 0;
    double FontSize = 12;
    bool UnicodeDocument = false;
};

class TStyleList {
public:
    TStyleList();
    ~TStyleList();
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    // Frees every entry; the sequence number starts at 10 again.
    void Clear();
    int Count() const { return static_cast<int>(Sorted().size()); }
    const std::string& Key(int i) const { return Sorted()[static_cast<std::size_t>(i)].Key; }
    TProperties& Entry(int i) const { return *Sorted()[static_cast<std::size_t>(i)].Props; }
    // The first entry with this key, or nullptr.
    TProperties* Find(const std::string& key) const;
    // Adds an entry after any entries of the same key.
    TProperties* Add(const std::string& key, std::unique_ptr<TProperties> props);

    // A declaration of a style rule for one selector.
    void SetSelectorProperty(const std::string& selector, const std::string& name, const std::string& value);
    // The current sequence number as text; then it advances.
    std::string NextSeqNumberText();
    void SetPseudoLinkColor(const std::string& pseudoName, TColor color);
    void BuildDefaultStyleSheet(const DefaultSheetOptions& options);
    TProperties* DefaultProp() const { return default_; }

    // The cascade for one element's property set (on its property stack, if it has one).
    void ApplyStyles(TProperties& props, const std::string& tag, const std::string& cls, const std::string& id,
                     const std::string& pseudo, const std::string& title, const TProperties* styleAttr);
    // Builds the four link-state fonts of a link element.
    void BuildLinkFontInfo(TProperties& props);

    // Whether a rule that names ancestors ("td b", "table > td") may apply to an element of this
    // tag and class list: only then does the cascade read the element's ancestors.
    bool ReadsAncestors(const std::string& tag, const std::string& cls, const std::string& pseudo) const;
    // Rises whenever a rule is added or changed, so that remembered cascade results are not used
    // beyond the rules they were made with.
    int Generation() const { return generation_; }

    // A rule for ":hover" was read: the document must track the mouse over its elements.
    bool HoverUsed = false;

private:
    struct Item {
        std::string Key;
        std::unique_ptr<TProperties> Props;
    };
    void MergeKey(TProperties& props, const std::string& key);
    void MergeCompound(TProperties& props, const std::string& prefix, const std::string& tag,
                       const std::vector<std::string>& classes, const std::string& id, const std::string& pseudo,
                       const std::vector<const TProperties*>& ancestors);
    std::size_t LowerBound(const std::string& key) const;
    // The entries in key order. Entries added since the last read are sorted among themselves and
    // merged in then, stably, so that a key's entries keep the order they were added in; a sheet of
    // many rules costs n log n instead of one insertion into the middle per rule.
    const std::vector<Item>& Sorted() const;

    mutable std::vector<Item> entries_;
    mutable std::vector<Item> added_;  // not yet merged into entries_
    mutable std::vector<std::string> compound_;  // the merged keys that name ancestors, sorted
    bool CompoundStartsWith(std::string_view prefix) const;
    std::unordered_map<std::string, TProperties*> firstOfKey_;
    int seq_ = 10;
    int generation_ = 0;
    TProperties* default_ = nullptr;
};

// Carries one value into the four link-state fonts.
void MergeIntoFontInfo(TFontInfoArray& info, int index, const PropValue& value);

}  // namespace velmoran
