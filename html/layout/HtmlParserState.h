// The state and element routines of one parse (internal to the parser's source files).
#pragma once

#include "html/base/HtmlTokenizer.h"
#include "html/layout/Blocks.h"
#include "html/layout/HtmlParser.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"
#include "html/style/CascadeMemo.h"
#include "platform/core/ScopeExit.h"

#include <memory>
#include <set>
#include <string>

namespace velmoran {

class THtmlParser {
public:
    // Elements nested deeper than this are treated as closed at once.
    static constexpr int kMaxNesting = 256;

    explicit THtmlParser(TSectionList* sectionList);

    // --- entry points ---
    void ParseDocument(const std::string& text, const TIncludeType& onInclude, const TSoundType& onSound,
                       const TMetaType& onMeta, const TLinkType& onLink);
    void ParsePlain(const std::string& text);
    bool IsFrameset(const std::string& text);
    void ParseFrameset(TFrameViewerBase& viewer, const TMetaType& onMeta, const std::string& text);

    TParseResult Result;
    // The points of the FONT sizes 1 to 7.
    HtmlFontSizes FontSizes;

private:
    // set-up and shared operations
    // buildDocument: create the body block and the first section (not for frameset documents).
    void SetUp(const std::string& text, const TIncludeType& onInclude, bool buildDocument = true);
    void Next() { T.NextToken(); }
    // The source position the parser stands at: that of the character after the token just read,
    // or, once the page has ended, one past its last character (the tokenizer's position stays on
    // that character there).
    int SourceHere() const { return T.AtEnd() ? T.SIndex + 1 : T.SIndex; }
    TProperties& Top() { return *PropStack.Last(); }
    // Counts one level of element nesting until the returned guard goes.
    [[nodiscard]] auto EnterNesting()
    {
        ++Depth;
        return ScopeExit([this] { --Depth; });
    }
    void PushProperties(const std::string& tag, const std::string& pseudo = "");
    void PushPropertiesNamed(const std::string& tag, const std::string& cls, const std::string& id,
                             const std::string& pseudo, const std::string& title, const std::string& style);
    void PopProperties(const std::string& tag);
    void PopLast();
    void ApplyAlign();
    void EndLink();
    void NewSection(bool firstLineOfBlock = false);
    void AddSection();
    std::string AttrText(Symb sym) const;
    // The attribute as an address (TAttribute::Address), empty when the tag has none.
    std::string AttrAddress(Symb sym) const;
    bool HasAttr(Symb sym) const { return T.Attributes.Find(sym) != nullptr; }
    const TUrlTarget* LinkTarget() const { return InLink ? &CurrentUrlTarget : nullptr; }
    // The block becomes part of the current cell; returns it.
    template <class B>
    B* AddBlock(std::unique_ptr<B> block)
    {
        B* p = block.get();
        CurrentCell->AddSection(std::move(block), T.TagPos);
        return p;
    }

    // element routines
    void DoBody(const SymbSet& term);
    void DoCommonSy(const SymbSet& term);
    void DoP(const SymbSet& term);
    void DoDivisions(const SymbSet& term);
    void DoHeading();
    void DoPre();
    void DoBR(const SymbSet& term);
    void DoHR();
    void DoFont();
    void DoAnchor();
    void DoImage();
    void DoTitle();
    void DoBodyTag();
    void DoMeta();
    void DoLink();
    void DoBgSound();
    void DoStyle();
    void DoScript();
    void DoObject();
    void DoFormControl();
    void ReadOptions(TListBoxFormControlObj& list);
    void ReadTextArea(TTextAreaFormControlObj& area);
    void DoMap();
    void DoTable();
    std::unique_ptr<TAttributeList> CopyAttributesForTable() const;
    void DoLists(Symb listSym, const SymbSet& term);
    void DoListItem(Symb listSym, Symb itemSym, int number, char listType, bool plain, const SymbSet& term);
    void SkipTo(Symb endSym);
    void DoFramesetTop(TFrameViewerBase& viewer);
    void DoFrameSet(TFrameViewerBase& viewer, TFrameSetBase* frameSet);

    THtmlTokenizer T;
    TSectionList* SL;
    TPropStack PropStack;
    TCascadeMemo Cascades;  // the cascade's results of this parse
    TCellBasic* CurrentCell = nullptr;
    std::unique_ptr<TSection> Section;
    TBodyBlock* BodyBlock = nullptr;
    TUrlTarget CurrentUrlTarget;
    bool InLink = false;
    bool InPre = false;
    bool NoBreak = false;
    int ListLevel = 0;
    int BaseFontSize = 3;
    bool BodySeen = false;
    bool Utf8Document = false;
    // The linked style sheets read so far: by the name asked of the host, and by file.
    std::set<std::string> LinkedSheets;
    int Depth = 0;
    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TMetaType OnMeta;
    TLinkType OnLink;
    TScriptEvent OnScript;
};

}  // namespace velmoran
