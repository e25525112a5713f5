// The parser's routines for structured elements: tables with rows, cells, captions, row groups and
// COL column settings, lists and list items, and frameset documents.
#include "html/layout/HtmlParserState.h"

#include "html/base/WideText.h"
#include "html/layout/Tables.h"

#include <algorithm>

namespace velmoran {

namespace {

const SymbSet kListInline = SymbSet{BSy, ISy, EmSy, StrongSy, USy, CiteSy, VarSy, TTSy, CodeSy, KbdSy, SampSy, SubSy,
                                    SupSy, BigSy, SmallSy, SSy, StrikeSy, SpanSy, LabelSy, NoBrSy, FontSy, ASy,
                                    TextAreaSy, ObjectSy, HeadingSy, BEndSy, IEndSy, EmEndSy, StrongEndSy, UEndSy,
                                    CiteEndSy, VarEndSy, TTEndSy, CodeEndSy, KbdEndSy, SampEndSy, SubEndSy, SupEndSy,
                                    BigEndSy, SmallEndSy, SEndSy, StrikeEndSy, SpanEndSy, LabelEndSy, NoBrEndSy,
                                    FontEndSy, AEndSy, TextAreaEndSy, ObjectEndSy, HeadingEndSy, TextSy, BRSy, HRSy,
                                    PreSy, ImageSy, TableSy, InputSy, SelectSy, BaseFontSy, MapSy, PageSy, ScriptSy,
                                    PanelSy, WbrSy};
const SymbSet kItemInline = SymbSet{BSy, ISy, EmSy, StrongSy, USy, CiteSy, VarSy, TTSy, CodeSy, KbdSy, SampSy, SubSy,
                                    SupSy, BigSy, SmallSy, SSy, StrikeSy, SpanSy, LabelSy, NoBrSy, FontSy, ASy,
                                    TextAreaSy, ScriptSy, ObjectSy, BEndSy, IEndSy, EmEndSy, StrongEndSy, UEndSy,
                                    CiteEndSy, VarEndSy, TTEndSy, CodeEndSy, KbdEndSy, SampEndSy, SubEndSy, SupEndSy,
                                    BigEndSy, SmallEndSy, SEndSy, StrikeEndSy, SpanEndSy, LabelEndSy, NoBrEndSy,
                                    FontEndSy, AEndSy, TextAreaEndSy, ScriptEndSy, ObjectEndSy, TextSy, BRSy,
                                    HeadingSy, ImageSy, InputSy, SelectSy, BaseFontSy, MapSy, PageSy, PanelSy, WbrSy};
const SymbSet kListStarts{OLSy, ULSy, DirSy, MenuSy, DLSy};
const SymbSet kListEnds{OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy};

constexpr int kMaxColumnSpecs = 1000;  // COL column settings per table
constexpr int kMaxSpanRows = 1000;     // rows a spanning cell reserves ahead

// "top" 1, "middle"/"absmiddle"/"center" 2, "baseline" 3, "bottom" 4 for COL; 0 for others.
std::uint8_t ColVAlign(const std::string& value)
{
    const std::string s = LowerCase(value);
    if (s == "top")
        return 1;
    if (s == "middle" || s == "absmiddle" || s == "center")
        return 2;
    if (s == "baseline")
        return 3;
    if (s == "bottom")
        return 4;
    return 0;
}

// A cell's or row's VALIGN: "top" and "baseline" 1, "middle" 2, "bottom" 4; 0 for others.
int CellVAlign(const std::string& value)
{
    const std::string s = LowerCase(value).substr(0, 9);
    if (s == "top" || s == "baseline")
        return 1;
    if (s == "middle")
        return 2;
    if (s == "bottom")
        return 4;
    return 0;
}

}  // namespace

// ----- cell slots -----

void TCellManager::EnsureRows(int count)
{
    while (static_cast<int>(rows_.size()) < count)
        rows_.emplace_back(static_cast<std::size_t>(std::max(0, columns_)), 'o');
}

int TCellManager::FindColNum(int row)
{
    if (row < 0)
        return -1;
    // A row index beyond the rows so far (a COL after a row without cells) appends the missing rows.
    EnsureRows(row + 1);
    const auto pos = rows_[static_cast<std::size_t>(row)].find('o');
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void TCellManager::AddCell(int row, int rowSpan, int& colSpan)
{
    if (row < 0)
        return;
    const int span = std::clamp(rowSpan, 1, kMaxSpanRows);
    EnsureRows(row + span);
    const auto first = rows_[static_cast<std::size_t>(row)].find('o');
    if (first == std::string::npos)
        return;
    for (int r = row; r < row + span; ++r) {
        std::string& line = rows_[static_cast<std::size_t>(r)];
        int taken = 0;
        for (std::size_t c = first; c < line.size() && taken < colSpan && line[c] == 'o'; ++c, ++taken)
            line[c] = 'x';
        // Never below 1: a span of 0 marks a slot covered from another row, and a real cell given
        // it would be left out of layout and painting, its content lost.
        if (taken < colSpan)
            colSpan = std::max(1, taken);
    }
}

// ----- tables -----

void THtmlParser::DoTable()
{
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    if (InLink)
        EndLink();
    AddSection();
    std::string defaultAlign;
    if (Top().Props[TextAlign].IsText()) {
        const std::string a = LowerCase(Top().Props[TextAlign].Text());
        if (a == "center" || a == "right")
            defaultAlign = a;
    }
    PushProperties("table");
    const int stackDepth = PropStack.Count();
    auto tableAttrs = CopyAttributesForTable();
    auto table = std::make_unique<ThtmlTable>(SL, *tableAttrs, Top());
    ThtmlTable* tbl = table.get();
    tbl->DefaultAlign = defaultAlign;
    auto tableBlock = std::make_unique<TTableBlock>(SL, Top(), CurrentCell, std::move(table), *tableAttrs);
    TTableAndCaptionBlock* outer = AddBlock(
        std::make_unique<TTableAndCaptionBlock>(SL, Top(), CurrentCell, *tableAttrs, std::move(tableBlock)));
    if (const TAttribute* id = tableAttrs->Find(IDSy); id && !id->Name.empty())
        SL->IDNameList.AddObject(id->Name, tbl);

    TCellBasic* const holder = CurrentCell;
    std::unique_ptr<TCellList> row;
    std::unique_ptr<TCellObj> cell;
    std::vector<std::unique_ptr<TCellList>> footRows;
    std::unique_ptr<TCellManager> manager;
    // Footer rows are held back until the end; their slots are kept apart, so that a TFOOT written
    // before the body does not take the columns of the body rows.
    std::unique_ptr<TCellManager> footManager;
    std::uint8_t rowKind = 1;
    int rowVAlign = 2;
    bool cellSeen = false;
    // column group values for the COLs that follow a COLGROUP directly
    bool inGroup = false;
    std::string groupAlign;
    std::uint8_t groupVAlign = 0;
    int groupWidth = 0;
    bool groupPercent = false;

    // Row groups end a cell as well, so that their kinds reach the rows.
    const SymbSet cellTerm{TableEndSy, TDSy,   TDEndSy, TRSy,    TREndSy,    THSy,       THEndSy,   CaptionSy,
                           CaptionEndSy, ColSy, ColGroupSy, THeadSy, THeadEndSy, TBodySy, TBodyEndSy, TFootSy,
                           TFootEndSy};

    int rowDepth = stackDepth;  // the property sets of the open row end here; a cell's own sets lie above
    auto finishCell = [&] {
        if (!cell)
            return;
        // A cell's properties end with the cell, so that they do not pass to the next cell of the row.
        while (PropStack.Count() > rowDepth)
            PopLast();
        CurrentCell = cell->Cell.get();
        AddSection();
        cell->Cell->CheckLastBottomMargin();
        if (manager) {
            TCellManager& m = rowKind == 2 ? *footManager : *manager;
            m.SetColumns(tbl->ColumnSpecCount());
            int span = cell->ColSpan;
            m.AddCell(rowKind == 2 ? static_cast<int>(footRows.size()) : tbl->Rows.Count(), cell->RowSpan, span);
            cell->ColSpan = span;
        }
        row->AddCell(std::move(cell));
        CurrentCell = holder;
    };
    auto finishRow = [&] {
        if (!row && !cell)
            return;
        if (InLink)
            EndLink();
        finishCell();
        if (row) {
            row->TablePart = rowKind;
            if (rowKind == 2)
                footRows.push_back(std::move(row));
            else
                tbl->Rows.Add(std::move(row));
        }
        while (PropStack.Count() > stackDepth)
            PopLast();
    };
    auto readColAttrs = [&](std::string& align, std::uint8_t& valign, int& width, bool& percent, int* span) {
        for (const auto& a : T.Attributes) {
            switch (a->Which) {
            case AlignSy: {
                const std::string s = LowerCase(a->Name);
                if (s == "left" || s == "right" || s == "center" || s == "middle" || s == "absmiddle" || s == "justify")
                    align = s;
                break;
            }
            case VAlignSy:
                if (const std::uint8_t v = ColVAlign(a->Name))
                    valign = v;
                break;
            case WidthSy:
                if (Contains(a->Name, "%")) {
                    if (a->Value >= 1 && a->Value <= 100)
                        width = a->Value * 10;
                    percent = true;
                } else {
                    width = ClampLength(a->Value);
                }
                break;
            case SpanSy:
                if (span)
                    *span = std::max(1, a->Value);
                break;
            default:
                break;
            }
        }
    };

    Next();
    while (T.Sy != TableEndSy && T.Sy != EofSy) {
        const Symb sy = T.Sy;
        if (sy != ColSy && sy != ColGroupSy && sy != ColGroupEndSy && !(sy == TextSy && T.Token.S() == u" "))
            inGroup = false;
        switch (sy) {
        case ColGroupSy:
            if (!cellSeen) {
                groupAlign.clear();
                groupVAlign = 0;
                groupWidth = 0;
                groupPercent = false;
                readColAttrs(groupAlign, groupVAlign, groupWidth, groupPercent, nullptr);
                inGroup = true;
            }
            Next();
            break;
        case ColGroupEndSy:
            inGroup = false;
            Next();
            break;
        case ColSy:
            if (!cellSeen) {
                std::string align = inGroup ? groupAlign : "";
                std::uint8_t valign = inGroup ? groupVAlign : 0;
                int width = inGroup ? groupWidth : 0;
                bool percent = inGroup && groupPercent;
                int span = 1;
                readColAttrs(align, valign, width, percent, &span);
                for (int i = 0; i < std::min(span, 100) && tbl->ColumnSpecCount() < kMaxColumnSpecs; ++i)
                    tbl->AddColumnSpec(width, percent, align, valign);
                if (!manager && tbl->ColumnSpecCount() > 0) {
                    manager = std::make_unique<TCellManager>(tbl->ColumnSpecCount());
                    footManager = std::make_unique<TCellManager>(tbl->ColumnSpecCount());
                }
            }
            Next();
            break;
        case THeadSy:
        case TBodySy:
        case TFootSy:
        case THeadEndSy:
        case TBodyEndSy:
        case TFootEndSy:
            finishRow();
            if (sy == THeadSy) {
                if (tbl->Rows.Count() == 0) {
                    rowKind = 0;
                    PushProperties("thead");
                } else {
                    rowKind = 1;
                }
            } else if (sy == TBodySy) {
                rowKind = 1;
                PushProperties("tbody");
            } else if (sy == TFootSy) {
                rowKind = 2;
                PushProperties("tfoot");
            } else {
                rowKind = 1;
            }
            Next();
            break;
        case TRSy: {
            finishRow();
            PushProperties("tr");
            ApplyAlign();
            row = std::make_unique<TCellList>(&T.Attributes, &Top());
            rowDepth = PropStack.Count();
            const int v = CellVAlign(AttrText(VAlignSy));
            rowVAlign = v ? v : 2;
            Next();
            break;
        }
        case TDSy:
        case THSy: {
            finishCell();
            if (!row) {
                row = std::make_unique<TCellList>(nullptr, nullptr);
                rowDepth = PropStack.Count();
            }
            cellSeen = true;
            PushProperties(sy == TDSy ? "td" : "th");
            ListLevel = 0;
            int valign = rowVAlign;
            if (const int v = CellVAlign(AttrText(VAlignSy)))
                valign = v;
            if (manager) {
                TCellManager& m = rowKind == 2 ? *footManager : *manager;
                m.SetColumns(tbl->ColumnSpecCount());
                const int col = m.FindColNum(rowKind == 2 ? static_cast<int>(footRows.size()) : tbl->Rows.Count());
                if (col >= 0 && col < tbl->ColumnSpecCount()) {
                    const TColObj& spec = tbl->ColSpecs[static_cast<std::size_t>(col)];
                    if (!spec.ColAlign.empty()) {
                        Top().Props[TextAlign] = KeywordValue(spec.ColAlign);
                        Top().Originals[TextAlign] = true;
                    }
                    if (spec.ColVAlign != 0)
                        valign = spec.ColVAlign;
                }
            }
            ApplyAlign();
            const PropValue& ta = Top().Props[TextAlign];
            if (!ta.IsText() || LowerCase(ta.Text()) == "none" || ta.Text().empty())
                Top().Props[TextAlign] = KeywordValue(sy == THSy ? "center" : "left");
            cell = std::make_unique<TCellObj>(SL, T.Attributes, Top(), valign);
            NoBreak = HasAttr(NoWrapSy) && (cell->Wd == 0 || cell->AsPercent);
            CurrentCell = cell->Cell.get();
            NewSection(true);
            Next();
            DoBody(cellTerm);
            AddSection();
            CurrentCell = holder;
            NoBreak = false;
            break;
        }
        case CaptionSy: {
            const bool top = LowerCase(AttrText(AlignSy)) != "bottom";
            TCellBasic* before = CurrentCell;
            PushProperties("caption");
            auto caption = std::make_unique<TBlock>(SL, Top(), outer->MyCell.get(), &T.Attributes);
            CurrentCell = caption->MyCell.get();
            NewSection(true);
            Next();
            // The table's end ends a caption too: without its end tag it would take in the rest of
            // the table and of the page.
            DoBody({CaptionEndSy, TableEndSy});
            AddSection();
            PopProperties("caption");
            outer->SetCaption(std::move(caption), top);
            CurrentCell = before;
            if (T.Sy == CaptionEndSy)
                Next();
            break;
        }
        case TDEndSy:
        case THEndSy:
            finishCell();
            Next();
            break;
        case TREndSy:
            finishRow();
            Next();
            break;
        case TextSy:
            if (T.Token.S() == u" " || T.Token.S().empty()) {
                Next();
            } else {
                // Text outside the cells goes to the cell that holds the table.
                CurrentCell = holder;
                NewSection();
                DoBody(cellTerm);
                AddSection();
            }
            break;
        default:
            Next();
        }
    }
    finishRow();
    for (auto& r : footRows)
        tbl->Rows.Add(std::move(r));
    PopProperties("table");
    CurrentCell = holder;
    NewSection();
    if (T.Sy == TableEndSy)
        Next();
}

std::unique_ptr<TAttributeList> THtmlParser::CopyAttributesForTable() const
{
    auto copy = std::make_unique<TAttributeList>();
    for (const auto& a : T.Attributes)
        copy->Add(std::make_unique<TAttribute>(*a));
    return copy;
}

// ----- lists -----

void THtmlParser::DoLists(Symb listSym, const SymbSet& term)
{
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    int number = 1;
    char listType = '1';
    bool plain = false;
    if (listSym == OLSy) {
        if (const TAttribute* a = T.Attributes.Find(StartSy); a && a->Value >= 0)
            number = a->Value;
        if (const TAttribute* a = T.Attributes.Find(TypeSy); a && !a->Name.empty())
            listType = a->Name[0];
    } else if (listSym == ULSy) {
        const std::string type = LowerCase(AttrText(TypeSy));
        plain = HasAttr(PlainSy) || type == "none" || type == "plain";
    }
    AddSection();
    const std::string tag = TagName(listSym);
    PushProperties(tag);
    TBlock* block = AddBlock(std::make_unique<TBlock>(SL, Top(), CurrentCell, &T.Attributes));
    TCellBasic* saved = CurrentCell;
    CurrentCell = block->MyCell.get();
    Next();
    if (kListEnds.Has(T.Sy) || T.Sy == BlockQuoteEndSy) {
        PopProperties(EndTagName(T.Sy));
        CurrentCell = saved;
        return;
    }
    const bool counts = listSym == OLSy || listSym == ULSy || listSym == DirSy || listSym == MenuSy;
    if (counts)
        ++ListLevel;
    const Symb endSym = EndSymbolOf(listSym);
    do {
        const Symb sy = T.Sy;
        if (sy == LISy || sy == DTSy || sy == DDSy) {
            if (sy == LISy)
                if (const TAttribute* v = T.Attributes.Find(ValueSy); v && v->Value != 0)
                    number = v->Value;
            DoListItem(listSym, sy, number, listType, plain, term);
            number = NextListNumber(number);
        } else if (kListStarts.Has(sy)) {
            DoLists(sy, term);
            // A nested list that stopped at a terminator of ours leaves it be: read past, a cell's
            // or a table's end would be lost and the list run on into what follows.
            if (!term.Has(T.Sy))
                Next();
        } else if (sy == PSy) {
            DoP(term);
        } else if (sy == AddressSy || sy == BlockQuoteSy) {
            DoDivisions(term);
        } else if (sy == CenterSy || sy == FormSy || sy == DivSy) {
            DoDivisions(term + kListEnds + SymbSet{LISy, DTSy, DDSy, EofSy});
        } else if (kListInline.Has(sy)) {
            DoCommonSy(term);
        } else if (!term.Has(sy)) {
            Next();
        }
    } while (T.Sy != EofSy && T.Sy != endSym && !term.Has(T.Sy));
    if (counts)
        --ListLevel;
    AddSection();
    if (block->MyCell->CheckLastBottomMargin())
        block->SetDefaultBottomMargin();
    PopProperties(tag);
    CurrentCell = saved;
}

void THtmlParser::DoListItem(Symb listSym, Symb itemSym, int number, char listType, bool plain, const SymbSet& term)
{
    const auto nesting = EnterNesting();
    if (Depth > kMaxNesting) {
        Next();
        return;
    }
    AddSection();
    const std::string tag = TagName(itemSym);
    PushProperties(tag);
    TBlockLI* item = AddBlock(std::make_unique<TBlockLI>(SL, Top(), CurrentCell, listSym, number, listType, plain,
                                                         ListLevel, &T.Attributes));
    TCellBasic* saved = CurrentCell;
    CurrentCell = item->MyCell.get();
    NewSection(true);
    const TSection* first = Section.get();
    T.SkipWhiteSpace();
    Next();
    const bool inList = kListStarts.Has(listSym);
    for (bool done = false; !done;) {
        const Symb sy = T.Sy;
        if (kItemInline.Has(sy)) {
            DoCommonSy(term);
        } else if (sy == PSy) {
            if (inList)
                DoP({});
            else
                done = true;
        } else if (sy == PEndSy || sy == CommandSy) {
            Next();
        } else if (sy == AddressSy || sy == BlockQuoteSy || sy == CenterSy || sy == DivSy || sy == FormSy) {
            DoDivisions(term);
        } else if (kListStarts.Has(sy)) {
            DoLists(sy, term);
            item->MyCell->CheckLastBottomMargin();
            // As in a list: a terminator of ours that ended the nested list is left for us.
            if (!term.Has(T.Sy))
                Next();
        } else if (sy == TableSy) {
            DoTable();
        } else {
            done = true;
        }
    }
    if (Section && Section.get() == first && Section->Text.empty())
        Section->AddSingleChar(0xA0, T.SIndex);
    AddSection();
    item->MyCell->CheckLastBottomMargin();
    PopProperties(tag);
    CurrentCell = saved;
}

// ----- framesets -----

namespace {
const SymbSet kBodyContent{BodySy, PSy, HeadingSy, HRSy, OLSy, ULSy, DirSy, MenuSy, DLSy, AddressSy, BlockQuoteSy,
                           PreSy, ImageSy, TableSy, FormSy};
}

bool THtmlParser::IsFrameset(const std::string& text)
{
    T.SetSource(text);
    T.GetCh();
    Next();
    while (T.Sy != EofSy) {
        if (T.Sy == FrameSetSy)
            return true;
        if (kBodyContent.Has(T.Sy))
            return false;
        // Text before any FRAMESET makes a page too: read as a frameset document it would be lost.
        if (T.Sy == TextSy && T.Token.S().find_first_not_of(u" \t\r\n") != std::u16string::npos)
            return false;
        switch (T.Sy) {
        case ScriptSy:
            OnScript = nullptr;
            DoScript();
            continue;
        case TitleSy:  // the title's and the style sheet's text is no page text
            DoTitle();
            continue;
        case StyleSy:
            DoStyle();
            continue;
        case NoFramesSy:  // what a browser without frames shows: the frameset reader skips it too
            SkipTo(NoFramesEndSy);
            Next();
            continue;
        default:
            Next();
        }
    }
    return false;
}

void THtmlParser::ParseFrameset(TFrameViewerBase& viewer, const TMetaType& onMeta, const std::string& text)
{
    SetUp(text, viewer.OnInclude, false);
    OnMeta = onMeta;
    OnSoundRequest = viewer.OnSoundRequest;
    OnLink = viewer.OnLink;
    OnScript = viewer.OnScript;
    PushPropertiesNamed("default", "", "", "", "", "");
    T.GetCh();
    Next();
    DoFramesetTop(viewer);
}

void THtmlParser::DoFramesetTop(TFrameViewerBase& viewer)
{
    while (T.Sy != EofSy) {
        const Symb sy = T.Sy;
        if (kBodyContent.Has(sy))
            break;
        switch (sy) {
        case FrameSetSy:
            DoFrameSet(viewer, viewer.TopFrameSet());
            Next();
            break;
        case BaseSy:
            Result.Base = AttrAddress(HrefSy);
            Result.BaseTarget = AttrText(TargetSy);
            Next();
            break;
        case TitleSy:
            DoTitle();
            break;
        case NoFramesSy:
            SkipTo(NoFramesEndSy);
            Next();
            break;
        case ScriptSy:
            DoScript();
            break;
        case BgSoundSy:
            DoBgSound();
            break;
        case MetaSy:
            DoMeta();
            break;
        default:
            Next();
        }
    }
}

void THtmlParser::DoFrameSet(TFrameViewerBase& viewer, TFrameSetBase* frameSet)
{
    const auto nesting = EnterNesting();
    viewer.DoAttributes(frameSet, T.Attributes);
    Next();
    while (T.Sy != FrameSetEndSy && T.Sy != EofSy) {
        switch (T.Sy) {
        case FrameSetSy:
            if (Depth < kMaxNesting)
                DoFrameSet(viewer, viewer.CreateSubFrameSet(frameSet));
            break;
        case FrameSy:
            viewer.AddFrame(frameSet, T.Attributes, Result.Base);
            break;
        case NoFramesSy:
            SkipTo(NoFramesEndSy);
            break;
        case ScriptSy:
            DoScript();
            continue;
        default:
            break;
        }
        Next();
    }
    viewer.EndFrameSet(frameSet);
}

bool IsFramesetDocument(const std::string& text)
{
    TSectionList scratch;
    THtmlParser parser(&scratch);
    return parser.IsFrameset(text);
}

TParseResult ParseFramesetDocument(TFrameViewerBase& viewer, const TMetaType& onMeta, const std::string& text)
{
    // A frameset document builds no document; the parser's state lives in a scratch root.
    class FrameHost : public THtmlDocumentHost {
    public:
        bool IsPageViewer() const override { return false; }
    } host;
    TSectionList scratch(&host);
    THtmlParser parser(&scratch);
    parser.ParseFrameset(viewer, onMeta, text);
    return parser.Result;
}

}  // namespace velmoran

namespace velmoran {

namespace {
std::string ReadWholeStream(TStream& stream)
{
    stream.SetPosition(0);
    std::string text(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size())), '\0');
    const std::int64_t got = text.empty() ? 0 : stream.Read(text.data(), static_cast<std::int64_t>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    return text;
}
}  // namespace

bool IsFramesetDocument(TStream& stream) { return IsFramesetDocument(ReadWholeStream(stream)); }

TParseResult ParseFramesetDocument(TFrameViewerBase& viewer, const TMetaType& onMeta, TStream& stream)
{
    return ParseFramesetDocument(viewer, onMeta, ReadWholeStream(stream));
}

}  // namespace velmoran
