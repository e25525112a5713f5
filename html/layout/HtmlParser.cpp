// The HTML parser: set-up, the property stack, the body, paragraph, division and inline routines,
// headings and pre-formatted text; the head elements are in HtmlParserHead.cpp. See HtmlParser.h.
#include "html/layout/HtmlParserState.h"

#include "html/base/WideText.h"
#include "html/layout/SmallSections.h"
#include "html/style/StyleSheetParser.h"

#include <algorithm>

namespace velmoran {

namespace {

const SymbSet kTextStyle{BSy, ISy, EmSy, StrongSy, USy, CiteSy, VarSy, TTSy, CodeSy, KbdSy,
                         SampSy, SSy, StrikeSy, SpanSy, LabelSy, SubSy, SupSy, BigSy, SmallSy};
const SymbSet kTextStyleEnd{BEndSy, IEndSy, EmEndSy, StrongEndSy, UEndSy, CiteEndSy, VarEndSy,
                            TTEndSy, CodeEndSy, KbdEndSy, SampEndSy, SEndSy, StrikeEndSy, SpanEndSy,
                            LabelEndSy, SubEndSy, SupEndSy, BigEndSy, SmallEndSy};
const SymbSet kStyleAll = kTextStyle + kTextStyleEnd;

const SymbSet kBodyInline = kStyleAll + SymbSet{NoBrSy, NoBrEndSy, FontSy, FontEndSy, ASy, AEndSy, TextAreaSy,
                                                TextAreaEndSy, ObjectSy, ObjectEndSy, HeadingSy, HeadingEndSy,
                                                TextSy, BRSy, HRSy, PreSy, PreEndSy, ImageSy, TableSy, InputSy,
                                                SelectSy, BaseFontSy, MapSy, PageSy, ScriptSy, PanelSy, WbrSy};
const SymbSet kPInline = kStyleAll + SymbSet{NoBrSy, NoBrEndSy, FontSy, FontEndSy, BRSy, ImageSy, ASy, AEndSy,
                                             TextSy, CommandSy, InputSy, TextAreaSy, TextAreaEndSy, SelectSy,
                                             BaseFontSy, MapSy, PageSy, ScriptSy, ScriptEndSy, PanelSy, WbrSy,
                                             ObjectSy, ObjectEndSy};
const SymbSet kHeadingInline = kStyleAll + SymbSet{NoBrSy, NoBrEndSy, FontSy, FontEndSy, ASy, AEndSy, TextAreaSy,
                                                   TextAreaEndSy, ScriptSy, ScriptEndSy, ObjectSy, ObjectEndSy,
                                                   TextSy, BRSy, HRSy, ImageSy, InputSy, SelectSy, BaseFontSy,
                                                   PanelSy, WbrSy};
const SymbSet kPreHandled = kStyleAll + SymbSet{ImageSy, ASy, AEndSy, InputSy, SelectSy, TextAreaSy, FontSy,
                                                FontEndSy, BaseFontSy, MapSy, PageSy, ScriptSy, PanelSy, ObjectSy};

// A copy of an attribute list (the tokenizer's list is refilled by every tag).
std::unique_ptr<TAttributeList> CopyAttributes(const TAttributeList& source)
{
    auto copy = std::make_unique<TAttributeList>();
    for (const auto& a : source)
        copy->Add(std::make_unique<TAttribute>(*a));
    return copy;
}

// Whether the pre-scan is needed: more than 400 "<a" (each link tag starts with one) or any "<!".
bool MayHaveMoreThan400Links(const std::string& document)
{
    int anchors = 0;
    for (std::size_t i = document.find('<'); i != std::string::npos && i + 1 < document.size();
         i = document.find('<', i + 1)) {
        const char next = document[i + 1];
        if (next == '!')
            return true;
        if ((next == 'a' || next == 'A') && ++anchors > 400)
            return true;
    }
    return false;
}

}  // namespace

THtmlParser::THtmlParser(TSectionList* sectionList) : SL(sectionList) {}

std::string THtmlParser::AttrText(Symb sym) const
{
    const TAttribute* a = T.Attributes.Find(sym);
    return a ? a->Name : std::string();
}

std::string THtmlParser::AttrAddress(Symb sym) const
{
    const TAttribute* a = T.Attributes.Find(sym);
    return a ? a->Address() : std::string();
}

void THtmlParser::SetUp(const std::string& text, const TIncludeType& onInclude, bool buildDocument)
{
    Result = {};
    T.OnInclude = onInclude;
    T.OnRegisterID = [this](const std::string& id, int pos) { SL->IDNameList.AddChPosObject(id, pos); };
    T.OnProgress = [this](int percent) { SL->Host().DoProgress(percent); };
    T.ProgressScale = SL->ProgressScale;
    if (!SL->Styles.DefaultProp())
        SL->Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
    PropStack.Clear();
    TProperties* first = PropStack.Push();
    first->Copy(*SL->Styles.DefaultProp());
    const auto info = T.SetSource(text);
    Utf8Document = info.Utf8Signature;
    if (info.Utf8Signature)
        first->AssignUTF8();
    else if (info.Iso2022Jp)
        first->AssignCharSet(128);
    T.CodePage = T.PropCodePage = first->CodePage;
    if (buildDocument) {
        auto body = std::make_unique<TBodyBlock>(SL, *first, SL);
        BodyBlock = body.get();
        SL->AddSection(std::move(body), T.TagPos);
        CurrentCell = BodyBlock->MyCell.get();
    }
    CurrentUrlTarget.Clear();
    InLink = false;
    BaseFontSize = 3;
    SL->CurrentForm = nullptr;
    // The window controls of forms take wide text, so quoted VALUE texts keep their characters in
    // the page's code page.
    T.WideFormValues = true;
    InPre = false;
    NoBreak = false;
    ListLevel = 0;
    Depth = 0;
    if (buildDocument)
        NewSection();
    T.Attributes.Clear();
    T.NoComments = false;
    T.InComment = false;
    T.PreMode = false;
    BodySeen = false;
    T.PreScan = false;
}

void THtmlParser::ParseDocument(const std::string& text, const TIncludeType& onInclude, const TSoundType& onSound,
                                const TMetaType& onMeta, const TLinkType& onLink)
{
    SetUp(text, {});
    // Pre-scan: count the links. A page with no more than 400 "<a" at all cannot have more links,
    // and without "<!" it has no comment left open that the pre-scan would report: such a page
    // (every result page) is read once.
    int links = 0;
    if (MayHaveMoreThan400Links(T.Document())) {
        T.PreScan = true;
        T.GetCh();
        for (;;) {
            T.NextToken();
            if (T.Sy == EofSy)
                break;
            if (T.Sy == ASy && HasAttr(HrefSy) && ++links > 400)
                break;
        }
    }
    SL->MoreThan400Links = links > 400;

    T.Restart();
    T.PreScan = false;
    T.OnInclude = onInclude;
    OnSoundRequest = onSound;
    OnMeta = onMeta;
    OnLink = onLink;
    T.GetCh();
    Next();
    DoBody({});
    T.Attributes.Clear();
    AddSection();
    SL->CurrentForm = nullptr;
    // A rule for ":hover" recolours the links under the mouse, as a BODY's OLINK does.
    if (SL->Styles.HoverUsed)
        SL->LinksActive = true;
    Result.CodePage = T.CodePage;
    PropStack.Clear();
    CurrentUrlTarget.Clear();
}

void THtmlParser::ParsePlain(const std::string& text)
{
    SetUp(text, {});
    T.NoComments = true;
    Section.reset();
    PushProperties("pre");
    TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, nullptr));
    CurrentCell = block->MyCell.get();
    InPre = true;
    Section = std::make_unique<TPreFormated>(SL, nullptr, Top(), nullptr);
    TCharCollection chars;
    auto flush = [&] {
        if (chars.Size() == 0)
            return;
        TokenObj tok;
        tok.AddString(chars, Top().CodePage);
        Section->AppendTokens(tok, true);
        chars.Clear();
    };
    T.GetCh();
    while (T.Ch != 0) {
        if (T.Ch == 13) {
            flush();
            CurrentCell->AddSection(std::move(Section), T.SIndex);
            Section = std::make_unique<TPreFormated>(SL, nullptr, Top(), nullptr);
        } else {
            // Control characters would read as object placeholders.
            chars.Add(T.Ch < 32 ? '?' : static_cast<char>(T.Ch), T.SIndex);
            if (chars.Size() > 200)
                flush();
        }
        T.GetCh();
    }
    flush();
    CurrentCell->AddSection(std::move(Section), T.SIndex);
    PopProperties("pre");
    CurrentCell = BodyBlock->MyCell.get();
    InPre = false;
    PropStack.Clear();
}

// ----- property stack -----

void THtmlParser::PushPropertiesNamed(const std::string& tag, const std::string& cls, const std::string& id,
                                      const std::string& pseudo, const std::string& title, const std::string& style)
{
    // Elements nested deeper than the limit are treated as closed: no new set.
    if (PropStack.Count() > kMaxNesting)
        return;
    const TProperties* p = Cascades.Open(PropStack, SL->Styles, tag, cls, id, pseudo, title, style);
    T.PropCodePage = p->CodePage;
}

void THtmlParser::PushProperties(const std::string& tag, const std::string& pseudo)
{
    PushPropertiesNamed(tag, T.Attributes.GetClass(), T.Attributes.GetID(), pseudo, AttrText(TitleSy),
                        AttrText(StyleSy));
}

void THtmlParser::PopProperties(const std::string& tag)
{
    int i = PropStack.Count() - 1;
    while (i >= 1 && PropStack[i]->PropTag != tag)
        --i;
    if (i < 1)
        return;
    if (PropStack[i]->HasBorderStyle())
        SL->ProcessInlines(T.SIndex, *PropStack[i], false);
    PropStack.Delete(i);
    for (int j = i; j < PropStack.Count(); ++j)
        PropStack[j]->MergeUnset(*PropStack[j - 1]);
    T.PropCodePage = Top().CodePage;
}

void THtmlParser::PopLast()
{
    if (PropStack.Count() > 1)
        PropStack.Pop();
    T.PropCodePage = Top().CodePage;
}

void THtmlParser::ApplyAlign()
{
    const TAttribute* a = T.Attributes.Find(AlignSy);
    if (!a)
        return;
    std::string s = LowerCase(a->Name);
    if (s == "middle")
        s = "center";
    if (s == "left" || s == "center" || s == "right" || s == "justify") {
        Top().Props[TextAlign] = KeywordValue(s);
        Top().Originals[TextAlign] = true;
    }
}

void THtmlParser::EndLink()
{
    if (InLink) {
        // The runs of the open link are the last ones entered.
        for (auto it = SL->LinkList.rbegin(); it != SL->LinkList.rend() && (*it)->UrlTarget().ID == CurrentUrlTarget.ID; ++it)
            (*it)->Link->UrlTarget.SetLast(SourceHere());
        CurrentUrlTarget.Clear();
        InLink = false;
    }
    PopProperties("a");
    if (Section)
        Section->StartLinkRun(Top(), nullptr);
}

void THtmlParser::NewSection(bool firstLineOfBlock)
{
    if (InPre)
        Section = std::make_unique<TPreFormated>(SL, LinkTarget(), Top(), nullptr);
    else
        Section = std::make_unique<TSection>(SL, firstLineOfBlock, LinkTarget(), Top(), nullptr);
}

void THtmlParser::AddSection()
{
    // The blank that closes the text stands where the tag that ends it starts; a page that ends in
    // text has no such tag (the last one lies before the text), so there it stands at the end, as
    // the end of a link closed by the page's last tag does.
    if (Section)
        CurrentCell->AddSection(std::move(Section), T.Sy == EofSy ? SourceHere() : T.TagPos);
    Section.reset();
}

// ----- body -----

void THtmlParser::DoBody(const SymbSet& term)
{
    while (!term.Has(T.Sy) && T.Sy != EofSy) {
        const Symb sy = T.Sy;
        switch (sy) {
        case TitleSy:
            DoTitle();
            break;
        case BodySy:
            DoBodyTag();
            break;
        case PSy:
            DoP(term);
            break;
        case BaseSy:
            Result.Base = AttrAddress(HrefSy);
            Result.BaseTarget = AttrText(TargetSy);
            Next();
            break;
        case OLSy:
        case ULSy:
        case DirSy:
        case MenuSy:
        case DLSy:
            DoLists(sy, term);
            if (!term.Has(T.Sy))
                Next();
            break;
        case LISy:
            DoListItem(NoSy, LISy, 1, '1', false, term);
            break;
        case DDSy:
        case DTSy:
            DoListItem(DLSy, sy, 1, '1', false, term);
            break;
        case AddressSy:
        case BlockQuoteSy:
        case CenterSy:
        case FormSy:
        case DivSy:
            DoDivisions(term);
            break;
        case LinkSy:
            DoLink();
            break;
        case FormEndSy:
            SL->CurrentForm = nullptr;
            Next();
            break;
        case BgSoundSy:
            DoBgSound();
            break;
        case MetaSy:
            DoMeta();
            break;
        case StyleSy:
            DoStyle();
            break;
        default:
            if (kBodyInline.Has(sy))
                DoCommonSy(term);
            else
                Next();
        }
    }
}

void THtmlParser::DoTitle()
{
    Next();
    while (T.Sy == TextSy) {
        Result.Title += T.Token.S();
        Next();
    }
}

void THtmlParser::DoBodyTag()
{
    if (BodySeen || BodyBlock->MyCell->Count() > 0 || CurrentCell != BodyBlock->MyCell.get()) {
        Next();
        return;
    }
    BodySeen = true;
    // The open section is discarded - unless it holds images, whose names the document already knows;
    // those go into the new body, and so do the forms its controls belong to.
    std::unique_ptr<TSection> keep;
    if (Section && Section->Images.Count() > 0)
        keep = std::move(Section);
    Section.reset();
    if (!keep)
        SL->ClearFormAndPanelLists();
    PushProperties("body");
    TProperties& p = Top();
    int mw = SL->Host().MarginWidth();
    int mh = SL->Host().MarginHeight();
    for (const auto& a : T.Attributes) {
        TColor c = 0;
        switch (a->Which) {
        case TextSy:
            if (ParseColor(a->Name, false, c))
                p.AssignProp(Color, PropValue(c | kPaletteRelative));
            break;
        case BGColorSy:
            if (ParseColor(a->Name, false, c))
                p.AssignProp(BackgroundColor, PropValue(c | kPaletteRelative));
            break;
        case LinkSy:
            if (ParseColor(a->Name, false, c))
                SL->Styles.SetPseudoLinkColor("link", c);
            break;
        case VLinkSy:
            if (ParseColor(a->Name, false, c))
                SL->Styles.SetPseudoLinkColor("visited", c);
            break;
        case OLinkSy:
            if (ParseColor(a->Name, false, c)) {
                SL->Styles.SetPseudoLinkColor("hover", c);
                SL->LinksActive = true;
            }
            break;
        case BackgroundSy:
            p.AssignProp(BackgroundImage, PropValue("url(" + a->FileName() + ")"));
            break;
        case BGPropertiesSy:
            if (LowerCase(a->Name) == "fixed")
                p.AssignProp(BackgroundAttachment, PropValue("fixed"));
            break;
        case MarginWidthSy:
        case LeftMarginSy:
            mw = std::clamp(a->Value, 0, 200);
            break;
        case MarginHeightSy:
        case TopMarginSy:
            mh = std::clamp(a->Value, 0, 200);
            break;
        default:
            break;
        }
    }
    p.AssignProp(MarginLeft, PropValue(mw));
    p.AssignProp(MarginRight, PropValue(mw));
    p.AssignProp(MarginTop, PropValue(mh));
    p.AssignProp(MarginBottom, PropValue(mh));
    // The old body block goes first, so that the new one does not collapse its margins with it.
    const int index = SL->IndexOf(BodyBlock);
    if (index >= 0)
        SL->Delete(index);
    auto body = std::make_unique<TBodyBlock>(SL, p, SL, &T.Attributes);
    body->OwnerCell = SL;
    BodyBlock = body.get();
    if (index >= 0)
        SL->Insert(index, std::move(body));
    else
        SL->AddSection(std::move(body), T.TagPos);
    CurrentCell = BodyBlock->MyCell.get();
    if (keep)
        CurrentCell->AddSection(std::move(keep), T.TagPos);
    NewSection();
    Next();
}

void THtmlParser::DoP(const SymbSet& term)
{
    if (term.Has(PSy))
        return;
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    AddSection();
    T.SkipWhiteSpace();
    auto attrs = CopyAttributes(T.Attributes);
    Next();
    while (T.Sy == PSy || T.Sy == PEndSy) {
        if (T.Sy == PSy)
            attrs = CopyAttributes(T.Attributes);
        T.SkipWhiteSpace();
        Next();
    }
    auto text = [&](Symb s) {
        const TAttribute* a = attrs->Find(s);
        return a ? a->Name : std::string();
    };
    PushPropertiesNamed("p", attrs->GetClass(), attrs->GetID(), "", text(TitleSy), text(StyleSy));
    if (const TAttribute* a = attrs->Find(AlignSy)) {
        std::string s = LowerCase(a->Name);
        if (s == "middle")
            s = "center";
        if (s == "left" || s == "center" || s == "right" || s == "justify") {
            Top().Props[TextAlign] = PropValue(s);
            Top().Originals[TextAlign] = true;
        }
    }
    TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, attrs.get()));
    TCellBasic* saved = CurrentCell;
    CurrentCell = block->MyCell.get();
    NewSection(true);
    while (!term.Has(T.Sy) && kPInline.Has(T.Sy)) {
        if (T.Sy == CommandSy)
            Next();
        else
            DoCommonSy(term);
    }
    if (T.Sy == TableSy)
        block->SetBottomMargin(PropValue(0));
    AddSection();
    PopProperties("p");
    CurrentCell = saved;
    NewSection();
    if (T.Sy == PEndSy)
        Next();
}

void THtmlParser::DoDivisions(const SymbSet& term)
{
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    AddSection();
    switch (T.Sy) {
    case DivSy: {
        PushProperties("div");
        ApplyAlign();
        TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, &T.Attributes));
        TCellBasic* saved = CurrentCell;
        CurrentCell = block->MyCell.get();
        NewSection(true);
        Next();
        DoBody(term + SymbSet{DivEndSy});
        AddSection();
        PopProperties("div");
        if (block->MyCell->CheckLastBottomMargin())
            block->SetDefaultBottomMargin();
        CurrentCell = saved;
        NewSection();
        if (T.Sy == DivEndSy)
            Next();
        break;
    }
    case CenterSy:
        PushProperties("center");
        Next();
        DoBody(term + SymbSet{CenterEndSy});
        AddSection();
        PopProperties("center");
        NewSection();
        if (T.Sy == CenterEndSy)
            Next();
        break;
    case AddressSy:
    case BlockQuoteSy:
        DoLists(T.Sy, term + SymbSet{AddressEndSy, BlockQuoteEndSy});
        if (T.Sy == AddressEndSy || T.Sy == BlockQuoteEndSy)
            Next();
        break;
    case FormSy:
        while (T.Sy == FormSy) {
            PushProperties("form");
            TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, &T.Attributes));
            TCellBasic* saved = CurrentCell;
            CurrentCell = block->MyCell.get();
            NewSection(true);
            SL->CurrentForm = SL->AddForm(T.Attributes);
            Next();
            DoBody(term + SymbSet{FormSy, FormEndSy});
            AddSection();
            PopProperties("form");
            if (block->MyCell->CheckLastBottomMargin())
                block->SetDefaultBottomMargin();
            CurrentCell = saved;
            NewSection();
        }
        if (T.Sy == FormEndSy) {
            SL->CurrentForm = nullptr;
            Next();
        }
        break;
    default:
        Next();
    }
}

// ----- inline routine -----

void THtmlParser::DoCommonSy(const SymbSet& term)
{
    const Symb sy = T.Sy;
    if (kTextStyle.Has(sy)) {
        if ((sy == SubSy || sy == SupSy || sy == BigSy || sy == SmallSy) && !Section)
            NewSection();
        PushProperties(TagName(sy));
        if (Top().HasBorderStyle())
            SL->ProcessInlines(T.SIndex, Top(), true);
        if (Section)
            Section->StartFontRun(Top());
        Next();
        return;
    }
    if (kTextStyleEnd.Has(sy)) {
        PopProperties(EndTagName(sy));
        if (Section)
            Section->StartFontRun(Top());
        Next();
        return;
    }
    switch (sy) {
    case TextSy:
        if (!Section) {
            if (T.Token.S() == u" ") {
                Next();
                return;
            }
            NewSection();
        }
        Section->AppendTokens(T.Token, NoBreak, &Top());
        Next();
        break;
    case NoBrSy:
        NoBreak = true;
        Next();
        break;
    case NoBrEndSy:
        NoBreak = false;
        Next();
        break;
    case FontSy:
    case BaseFontSy:
        DoFont();
        break;
    case FontEndSy:
        PopProperties("font");
        if (Section)
            Section->StartFontRun(Top());
        Next();
        break;
    case ASy:
        DoAnchor();
        break;
    case AEndSy:
        EndLink();
        Next();
        break;
    case ImageSy:
        DoImage();
        break;
    case InputSy:
    case SelectSy:
    case TextAreaSy:
        DoFormControl();
        break;
    case BRSy:
        DoBR(term);
        break;
    case WbrSy:
        if (Section)
            Section->AllowBreakAtEnd();
        Next();
        break;
    case PageSy:
        AddSection();
        CurrentCell->AddSection(std::make_unique<TPage>(SL), T.TagPos);
        NewSection();
        Next();
        break;
    case HRSy:
        DoHR();
        break;
    case HeadingSy:
        DoHeading();
        break;
    case PreSy:
        DoPre();
        break;
    case PreEndSy:
        AddSection();
        PopProperties("pre");
        NewSection();
        Next();
        break;
    case ObjectSy:
    case PanelSy:
        DoObject();
        break;
    case ScriptSy:
        DoScript();
        break;
    case MapSy:
        DoMap();
        break;
    case TableSy:
        DoTable();
        break;
    default:  // end of H outside a heading, PANEL, ends of form controls and objects, ...
        Next();
    }
}

void THtmlParser::DoFont()
{
    const bool isFont = T.Sy == FontSy;
    int size = 0;
    bool haveSize = false;
    TColor color = 0;
    bool haveColor = false;
    std::string face;
    int charset = -1;
    for (const auto& a : T.Attributes) {
        switch (a->Which) {
        case SizeSy: {
            const std::string s = Trim(a->Name);
            const long long wanted = (s.size() >= 2 && (s[0] == '+' || s[0] == '-'))
                                         ? static_cast<long long>(BaseFontSize) + a->Value
                                         : a->Value;
            size = static_cast<int>(std::clamp(wanted, 1LL, 7LL));
            haveSize = true;
            break;
        }
        case ColorSy:
            haveColor = ParseColor(a->Name, false, color);
            break;
        case FaceSy:
            if (isFont)
                face = FirstInstalledFontFamily(a->Name);
            break;
        case CharSetSy:
            if (!Utf8Document) {
                int cs = 0;
                if (T.LookupDocumentCharset(a->Name, cs))
                    charset = cs;
            }
            break;
        default:
            break;
        }
    }
    if (haveSize && !isFont)
        BaseFontSize = size;
    const int before = PropStack.Count();
    PushProperties("font");
    if (PropStack.Count() == before) {  // nested too deep: treated as closed
        Next();
        return;
    }
    TProperties& p = Top();
    if (haveSize)
        p.AssignProp(FontSize, PropValue(FontSizes.Points(size, InPre)));
    if (haveColor)
        p.AssignProp(Color, PropValue(color | kPaletteRelative));
    if (!face.empty())
        p.AssignProp(FontFamily, PropValue(face));
    if (charset >= 0) {
        p.AssignCharSet(static_cast<std::uint8_t>(charset));
        T.PropCodePage = p.CodePage;
    }
    p.DropFont();
    if (Section)
        Section->StartFontRun(p);
    Next();
}

void THtmlParser::DoAnchor()
{
    const TAttribute* href = T.Attributes.Find(HrefSy);
    if (href) {
        if (InLink)
            EndLink();
        InLink = true;
        CurrentUrlTarget.Assign(href->Address(), AttrText(TargetSy), &T.Attributes, T.SIndex);
        if (const TAttribute* ti = T.Attributes.Find(TabIndexSy))
            CurrentUrlTarget.TabIndex = ti->Value;
        PushProperties("a", "link");
    } else {
        PushProperties("a");
    }
    if (Top().HasBorderStyle())
        SL->ProcessInlines(T.SIndex, Top(), true);
    if (!Section)
        NewSection();
    else
        Section->StartFontRun(Top());
    if (const TAttribute* name = T.Attributes.Find(NameSy)) {
        std::string n = UpperCase(name->Name);
        if (!n.empty() && n[0] == '#')
            n.erase(0, 1);
        if (!n.empty())
            SL->IDNameList.AddChPosObject(n, T.SIndex);
    }
    if (href)
        Section->StartLinkRun(Top(), &CurrentUrlTarget);
    Next();
}

void THtmlParser::DoImage()
{
    if (!Section)
        NewSection();
    const std::string tag = TagName(T.Sy);
    PushProperties(tag);
    if (Top().HasBorderStyle())
        SL->ProcessInlines(T.SIndex, Top(), true);
    TImageObj* img = Section->AddImage(T.Attributes, T.SIndex);
    img->ApplyProperties(Top());
    PopProperties(tag);
    Next();
}

void THtmlParser::DoBR(const SymbSet& term)
{
    if (term.Has(BRSy))
        return;
    if (!HasAttr(ClearSy)) {
        if (!Section)
            NewSection();
        Section->AddSingleChar(kBreakChar, T.SIndex);
        AddSection();
    } else {
        AddSection();
        Section = std::make_unique<TSection>(SL, false, LinkTarget(), Top(), &T.Attributes);
    }
    PushPropertiesNamed("br", T.Attributes.GetClass(), "", "", "", AttrText(StyleSy));
    bool before = false, after = false, inside = false;
    if (Top().PropTag == "br") {
        Top().GetPageBreaks(before, after, inside);
        PopProperties("br");
    }
    if (before || after) {
        auto pending = std::move(Section);
        CurrentCell->AddSection(std::make_unique<TPage>(SL), T.TagPos);
        Section = std::move(pending);
    }
    if (!Section)
        NewSection();
    Next();
}

void THtmlParser::DoHR()
{
    AddSection();
    PushProperties("hr");
    AddBlock(std::make_unique<THRBlock>(SL, Top(), CurrentCell, T.Attributes));
    PopProperties("hr");
    Next();
}

void THtmlParser::DoHeading()
{
    if (T.HeadingLevel < 1 || T.HeadingLevel > 6) {
        Next();
        return;
    }
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    AddSection();
    const std::string tag = "h" + std::to_string(T.HeadingLevel);
    PushProperties(tag);
    ApplyAlign();
    auto attrs = CopyAttributes(T.Attributes);
    T.SkipWhiteSpace();
    Next();
    if (T.Sy == CenterSy) {
        Top().Props[TextAlign] = PropValue("center");
        Top().Originals[TextAlign] = true;
        Next();
    }
    TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, attrs.get()));
    TCellBasic* saved = CurrentCell;
    CurrentCell = block->MyCell.get();
    NewSection(true);
    for (;;) {
        const Symb sy = T.Sy;
        if (sy == PSy)
            DoP({});
        else if (sy == DivSy)
            DoDivisions({HeadingEndSy});
        else if (sy == CommandSy)
            Next();
        else if (kHeadingInline.Has(sy))
            DoCommonSy({});
        else
            break;
    }
    AddSection();
    PopProperties(tag);
    CurrentCell = saved;
    NewSection();
    if (T.Sy == HeadingEndSy)
        Next();
}

void THtmlParser::DoPre()
{
    if (HasAttr(WrapSy)) {
        AddSection();
        PushProperties("pre");
        Next();
        return;
    }
    if (InPre) {  // PRE inside PRE changes nothing
        Next();
        return;
    }
    AddSection();
    PushProperties("pre");
    TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, &T.Attributes));
    TCellBasic* saved = CurrentCell;
    CurrentCell = block->MyCell.get();
    InPre = true;
    NewSection(true);
    bool inP = false;
    T.PreMode = true;
    Next();
    for (;;) {
        const Symb sy = T.Sy;
        if (sy == PreEndSy || sy == TableSy || sy == TDEndSy || sy == THEndSy || sy == EofSy)
            break;
        switch (sy) {
        case TextSy:
            if (!Section)
                NewSection();
            Section->AppendTokens(T.Token, true, &Top());
            Next();
            break;
        case EolSy:
            if (!Section)
                NewSection();
            AddSection();
            NewSection();
            Next();
            break;
        case BRSy: {
            AddSection();
            PushPropertiesNamed("br", T.Attributes.GetClass(), "", "", "", AttrText(StyleSy));
            bool before = false, after = false, inside = false;
            if (Top().PropTag == "br") {
                Top().GetPageBreaks(before, after, inside);
                PopProperties("br");
            }
            if (before || after)
                CurrentCell->AddSection(std::make_unique<TPage>(SL), T.TagPos);
            NewSection();
            Next();
            break;
        }
        case PSy:
            if (Section && Section->Text.empty())
                Section.reset();
            AddSection();
            if (inP) {
                PopProperties("p");
                CurrentCell = block->MyCell.get();
            }
            PushProperties("p");
            CurrentCell = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, &T.Attributes))->MyCell.get();
            inP = true;
            NewSection(true);
            Next();
            break;
        case PEndSy:
            if (inP) {
                AddSection();
                PopProperties("p");
                CurrentCell = block->MyCell.get();
                inP = false;
                NewSection();
            }
            Next();
            break;
        case FormSy:
            SL->CurrentForm = SL->AddForm(T.Attributes);
            Next();
            break;
        case FormEndSy:
            SL->CurrentForm = nullptr;
            Next();
            break;
        default:
            if (kPreHandled.Has(sy))
                DoCommonSy({});
            else
                Next();
        }
    }
    T.PreMode = false;
    AddSection();
    if (inP)
        PopProperties("p");
    PopProperties("pre");
    InPre = false;
    CurrentCell = saved;
    NewSection();
    if (T.Sy == PreEndSy)
        Next();
}

// ----- entry points -----

TParseResult ParseHtmlDocument(const std::string& text, TSectionList& sectionList, const TIncludeType& onInclude,
                               const TSoundType& onSoundRequest, const TMetaType& onMeta, const TLinkType& onLink,
                               const HtmlFontSizes& fontSizes)
{
    THtmlParser parser(&sectionList);
    parser.FontSizes = fontSizes;
    parser.ParseDocument(text, onInclude, onSoundRequest, onMeta, onLink);
    return parser.Result;
}

void ParsePlainText(const std::string& text, TSectionList& sectionList)
{
    THtmlParser parser(&sectionList);
    parser.ParsePlain(text);
}

}  // namespace velmoran
