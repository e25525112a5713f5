// Queries of the laid-out document: the link and title under a point, the document position
// under a point and back, text search forward and backward, and the selected text.
#include "html/base/WideText.h"
#include "html/layout/Blocks.h"
#include "html/layout/SectionList.h"
#include "html/layout/SmallSections.h"
#include "html/layout/TextSection.h"
#include "platform/Canvas.h"

#include <algorithm>

namespace velmoran {

// ---- section base: nothing found ----

int TSectionBase::GetUrlAt(Canvas&, int, int, std::unique_ptr<TUrlTarget>&, std::string&) { return 0; }
int TSectionBase::FindCursorAt(Canvas&, int, int, int&, int&, bool&) { return -1; }
bool TSectionBase::CursorToPoint(Canvas&, int, int&, int&) { return false; }
int TSectionBase::FindTextForward(const std::u16string&, int, bool) { return -1; }
int TSectionBase::FindTextBackward(const std::u16string&, int, bool) { return -1; }
void TSectionBase::CopySelectedText(SelTextCount&) {}

// ---- cells: fan out over the sections ----

int TCellBasic::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    for (auto& s : *this)
        if (y >= s->DrawTop && y < s->DrawBot)
            if (const int flags = s->GetUrlAt(canvas, x, y, url, title))
                return flags;
    return 0;
}

int TCellBasic::FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText)
{
    for (auto& s : *this)
        if (y >= s->DrawTop && y < s->DrawBot)
            if (const int pos = s->FindCursorAt(canvas, x, y, lineHeight, baseline, inText); pos >= 0)
                return pos;
    return -1;
}

bool TCellBasic::CursorToPoint(Canvas& canvas, int cursor, int& x, int& y)
{
    for (auto& s : *this)
        if (s->CursorToPoint(canvas, cursor, x, y))
            return true;
    return false;
}

int TCellBasic::FindTextForward(const std::u16string& pattern, int from, bool matchCase)
{
    for (auto& s : *this)
        if (const int pos = s->FindTextForward(pattern, from, matchCase); pos >= 0)
            return pos;
    return -1;
}

int TCellBasic::FindTextBackward(const std::u16string& pattern, int from, bool matchCase)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (const int pos = Items(i)->FindTextBackward(pattern, from, matchCase); pos >= 0)
            return pos;
    return -1;
}

void TCellBasic::CopySelectedText(SelTextCount& buffer)
{
    if (!Document || Document->SelE <= Document->SelB)
        return;
    if (StartPos >= Document->SelE || StartPos + PosCount <= Document->SelB)
        return;
    for (auto& s : *this) {
        if (s->StartCurs >= Document->SelE)
            break;
        s->CopySelectedText(buffer);
    }
}

// ---- blocks ----

int TBlock::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    if (DisplayNone)
        return 0;
    int flags = 0;
    const int left = ContentLeft - MargArray[PaddingLeft] - MargArray[BorderLeftWidth];
    const int right = ContentLeft + NewWidth + MargArray[PaddingRight] + MargArray[BorderRightWidth];
    if (!Title.empty() && x >= left && x < right && y >= BlockDrawTop && y < BlockDrawBottom) {
        title = Title;
        flags |= 4;
    }
    for (auto it = ZList.rbegin(); it != ZList.rend(); ++it) {
        TSectionBase* s = *it;
        if (y >= s->DrawTop && y < s->DrawBot) {
            std::string inner;
            const int f = s->GetUrlAt(canvas, x, y, url, inner);
            if (f) {
                if (f & 4)
                    title = inner;
                return flags | f;
            }
        }
    }
    return flags;
}

int TBlock::FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText)
{
    if (DisplayNone)
        return -1;
    for (auto it = ZList.rbegin(); it != ZList.rend(); ++it) {
        TSectionBase* s = *it;
        if (y >= s->DrawTop && y < s->DrawBot)
            if (const int pos = s->FindCursorAt(canvas, x, y, lineHeight, baseline, inText); pos >= 0)
                return pos;
    }
    return -1;
}

bool TBlock::CursorToPoint(Canvas& canvas, int cursor, int& x, int& y)
{
    return !DisplayNone && MyCell->CursorToPoint(canvas, cursor, x, y);
}

int TBlock::FindTextForward(const std::u16string& pattern, int from, bool matchCase)
{
    return DisplayNone ? -1 : MyCell->FindTextForward(pattern, from, matchCase);
}

int TBlock::FindTextBackward(const std::u16string& pattern, int from, bool matchCase)
{
    return DisplayNone ? -1 : MyCell->FindTextBackward(pattern, from, matchCase);
}

void TBlock::CopySelectedText(SelTextCount& buffer)
{
    if (DisplayNone)
        return;
    MyCell->CopySelectedText(buffer);
    // A paragraph that ends inside the selection adds a line end after its text's own, so that
    // copied paragraphs stand apart by an empty line.
    if (Document && StyleKey.rfind("p.", 0) == 0 && MyCell->StartPos + MyCell->PosCount < Document->SelE &&
        MyCell->StartPos + MyCell->PosCount > Document->SelB)
        buffer.AddTextLine(nullptr, 0);
}

// ---- the body ----

int TBodyBlock::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    const int flags = TBlock::GetUrlAt(canvas, x, y, url, title);
    if (DisplayNone || Title.empty() || (flags & 4))
        return flags;
    title = Title;
    return flags | 4;
}

// ---- text sections ----

// Lines are looked up by halving, not walked: a paragraph can have tens of thousands of them, and
// the mouse asks on every move.
int TSection::LineAt(int y, int& lineTop) const
{
    // The first line that ends below y holds it, unless y lies above that line (or an empty line
    // comes first: a line of no height holds nothing).
    const auto it = std::partition_point(Lines.begin(), Lines.end(), [y](const LineRec& line) {
        return ExtentSum(line.LineY, line.Height()) <= y;
    });
    if (it == Lines.end() || y < it->LineY)
        return -1;
    lineTop = it->LineY;
    return static_cast<int>(it - Lines.begin());
}

const LineRec* TSection::LineHolding(int index) const
{
    const auto it = std::partition_point(Lines.begin(), Lines.end(),
                                         [index](const LineRec& line) { return line.Start + line.Ln <= index; });
    return it == Lines.end() ? nullptr : &*it;
}

int TSection::XOfIndex(Canvas& canvas, const LineRec& line, int index) const
{
    int x = LayoutX + line.LineIndent;
    if (index <= line.Start)
        return x;
    canvas.SetTextJustification(line.Spaces > 0 ? line.Extra : 0, line.Spaces);
    x += TextWidth(canvas, line.Start, std::min(index, line.Start + line.Ln));
    canvas.SetTextJustification(0, 0);
    return x;
}

int TSection::CharIndexAt(Canvas& canvas, const LineRec& line, int x, bool& inText) const
{
    const int left = LayoutX + line.LineIndent;
    inText = false;
    if (x < left)
        return line.Start;
    int prev = left;
    for (int i = line.Start; i < line.Start + line.Ln; ++i) {
        const int next = XOfIndex(canvas, line, i + 1);
        if (x < next) {
            inText = true;
            // Beyond the middle of the character the position moves past it.
            return x >= (prev + next) / 2 ? i + 1 : i;
        }
        prev = next;
    }
    return line.Start + line.Ln;
}

int TSection::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    int lineTop = 0;
    const int li = LineAt(y, lineTop);
    if (li < 0)
        return 0;
    const LineRec& line = Lines[static_cast<std::size_t>(li)];
    // Images first: their box decides.
    for (auto& o : Images.Between(line.Start, line.Start + line.Ln)) {
        if (o->IsFloat())
            continue;
        const int ox = XOfIndex(canvas, line, o->Pos) + o->HSpaceL;
        const int top = o->DrawYY;
        if (x >= ox && x < ox + o->ObjWidth && y >= top && y < top + o->ObjHeight) {
            const TFontObj* run = Fonts.GetFontAt(o->Pos);
            int flags = 0;
            auto* img = dynamic_cast<TImageObj*>(o.get());
            if (img && img->FormControl && Document) {
                Document->HitImageInput = img->FormControl;
                Document->HitImageX = x - ox - o->BorderSize;
                Document->HitImageY = y - top - o->BorderSize;
                flags |= 2;
            }
            const int ix = x - ox - o->BorderSize;
            const int iy = y - top - o->BorderSize;
            if (img && Document) {
                Document->HitPicture = img;
                Document->HitPictureX = ix;
                Document->HitPictureY = iy;
            }
            // A client-side map decides alone: the area under the point, or no link at all.
            if (img && img->UseMap) {
                if (const TMapItem* map = Document ? Document->FindMap(img->MapName) : nullptr) {
                    std::string areaTitle;
                    if (map->FindArea(ix, iy, areaTitle, url))
                        flags |= 1;
                    if (!areaTitle.empty()) {
                        title = areaTitle;
                        flags |= 4;
                    }
                    return flags;
                }
            }
            if (run && run->IsLink()) {
                url = std::make_unique<TUrlTarget>();
                url->Copy(run->UrlTarget());
                if (img && img->IsMap)
                    url->URL += "?" + std::to_string(ix) + "," + std::to_string(iy);
                flags |= 1;
            }
            if (!o->Title.empty()) {
                title = o->Title;
                flags |= 4;
            }
            return flags;
        }
    }
    bool inText = false;
    const int i = CharIndexAt(canvas, line, x, inText);
    if (!inText)
        return 0;
    // The character under the point: the one whose box holds X.
    int c = i;
    if (c > line.Start && XOfIndex(canvas, line, c) > x)
        --c;
    TFontObj* run = Fonts.GetFontAt(std::min(c, static_cast<int>(Text.size()) - 1));
    int flags = 0;
    if (run && run->IsLink()) {
        if (Document)
            Document->HitRun = run;
        url = std::make_unique<TUrlTarget>();
        url->Copy(run->UrlTarget());
        flags |= 1;
    }
    if (run && !run->Title().empty()) {
        title = run->Title();
        flags |= 4;
    }
    return flags;
}

int TSection::FindCursorAt(Canvas& canvas, int x, int y, int& lineHeight, int& baseline, bool& inText)
{
    int lineTop = 0;
    const int li = LineAt(y, lineTop);
    if (li < 0)
        return -1;
    const LineRec& line = Lines[static_cast<std::size_t>(li)];
    lineHeight = line.Height();
    baseline = lineTop + line.SpaceBefore + line.LineHt - line.Descent;
    int i = CharIndexAt(canvas, line, x, inText);
    // Past the end of a line that continues, the caret stays before the swallowed spaces.
    if (!inText && i == line.Start + line.Ln && li + 1 < static_cast<int>(Lines.size()))
        while (i > line.Start && Text[static_cast<std::size_t>(i - 1)] == u' ')
            --i;
    return StartCurs + i;
}

bool TSection::CursorToPoint(Canvas& canvas, int cursor, int& x, int& y)
{
    const int index = cursor - StartCurs;
    if (index < 0 || index >= Len || Lines.empty())
        return false;
    const LineRec* line = LineHolding(index);
    if (!line)
        return false;
    x = XOfIndex(canvas, *line, index);
    y = line->LineY + line->SpaceBefore + line->LineHt - line->Descent;
    return true;
}

int TSection::LineTopOf(int cursor) const
{
    return YOfPosition(cursor - StartCurs);
}

namespace {
std::u16string Searchable(const std::u16string& text, bool matchCase)
{
    std::u16string t = matchCase ? text : WideLowerText(text);
    for (auto& c : t)
        if (c == 0xA0)
            c = u' ';
    return t;
}
}  // namespace

int TSection::FindTextForward(const std::u16string& pattern, int from, bool matchCase)
{
    if (pattern.empty() || from >= StartCurs + Len)
        return -1;
    const std::u16string t = Searchable(Text, matchCase);
    const auto start = static_cast<std::size_t>(std::max(0, from - StartCurs));
    const auto at = t.find(pattern, start);
    return at == std::u16string::npos ? -1 : StartCurs + static_cast<int>(at);
}

int TSection::FindTextBackward(const std::u16string& pattern, int from, bool matchCase)
{
    if (pattern.empty() || from < StartCurs)
        return -1;
    const std::u16string t = Searchable(Text, matchCase);
    const int last = std::min(from - StartCurs, static_cast<int>(t.size()) - static_cast<int>(pattern.size()));
    if (last < 0)
        return -1;
    const auto at = t.rfind(pattern, static_cast<std::size_t>(last));
    return at == std::u16string::npos ? -1 : StartCurs + static_cast<int>(at);
}

// The collector leaves out the marks of images, controls and line breaks: a section ends where a
// BR stands, and the line break of the copy is the section's own.
void TSection::CopySelectedText(SelTextCount& buffer)
{
    if (!Document)
        return;
    const int selB = Document->SelB - StartCurs;
    const int selE = Document->SelE - StartCurs;
    if (selE <= 0 || selB >= Len)
        return;
    for (std::size_t li = 0; li < Lines.size(); ++li) {
        const LineRec& line = Lines[li];
        int from = std::max(selB, line.Start);
        int to = std::min(selE, line.Start + line.Ln);
        if (to <= from)
            continue;
        // The space appended at the section's end is not part of the text.
        if (li + 1 == Lines.size() && to == Len && Text.back() == u' ')
            --to;
        std::u16string piece = Text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        std::replace(piece.begin(), piece.end(), char16_t{0xA0}, u' ');
        buffer.AddText(piece);
    }
    if (StartCurs + Len < Document->SelE)
        buffer.AddTextLine(nullptr, 0);
}

// ---- document ----

const TMapItem* TSectionList::FindMap(const std::string& name) const
{
    for (const auto& map : MapList)
        if (map->MapName == name)
            return map.get();
    return nullptr;
}

int TSectionList::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    url.reset();
    title.clear();
    HitRun = nullptr;
    HitImageInput = nullptr;
    HitPicture = nullptr;
    const int flags = TCellBasic::GetUrlAt(canvas, x, y, url, title);
    // Hover recolouring: the run under the point takes its hover font, the one it left its link font.
    if (LinksActive && HitRun != HoverRun) {
        if (HoverRun)
            HoverRun->SetHover(false);
        if (HitRun)
            HitRun->SetHover(true);
        HoverRun = HitRun;
        Host().Invalidate();
    }
    return flags;
}

bool TSectionList::CursorToPoint(Canvas& canvas, int cursor, int& x, int& y)
{
    if (PosCount <= 0)
        return false;
    const int last = PosCount - 1;
    if (!TCellBasic::CursorToPoint(canvas, std::min(cursor, last), x, y))
        return false;
    if (cursor >= PosCount)
        x += 15;
    return true;
}

int TSectionList::YPositionOfChar(int sourcePos)
{
    const int pos = FindDocPos(sourcePos, false);
    char16_t ch = 0;
    TFontObj* font = nullptr;
    TSectionBase* section = nullptr;
    if (pos < 0 || !CharAt(pos, ch, font, section) || !section)
        return 0;
    if (const auto* text = dynamic_cast<const TSection*>(section))
        return text->LineTopOf(pos);
    return section->YPosition;
}

int TSectionList::GetSelLength()
{
    if (SelE <= SelB)
        return 0;
    SelTextCount count;
    TCellBasic::CopySelectedText(count);
    return count.Terminate();
}

// The count holds every character the text can hold (the line-break marks too), so the text fits.
std::u16string TSectionList::GetSelText()
{
    const int count = GetSelLength();
    if (count <= 0)
        return {};
    std::u16string text(static_cast<std::size_t>(count) + 1, u'\0');
    SelTextBuf buffer(text.data(), count + 1);
    TCellBasic::CopySelectedText(buffer);
    text.resize(static_cast<std::size_t>(buffer.Terminate() - 1));
    return text;
}

}  // namespace velmoran

namespace velmoran {

int TSectionBase::FindSourcePos(int) { return -1; }
int TSectionBase::FindDocPos(int, bool) { return -1; }
bool TSectionBase::CharAt(int, char16_t&, TFontObj*&, TSectionBase*&) { return false; }

int TCellBasic::FindSourcePos(int docPos)
{
    for (auto& s : *this)
        if (const int p = s->FindSourcePos(docPos); p >= 0)
            return p;
    return -1;
}

void TSectionBase::AddTextSections(std::vector<TSection*>&) {}

void TCellBasic::AddTextSections(std::vector<TSection*>& sections)
{
    for (auto& s : *this)
        s->AddTextSections(sections);
}

int TCellBasic::FindDocPos(int sourcePos, bool prev)
{
    if (!prev) {
        for (auto& s : *this) {
            CountDocPosStep(Document);
            if (const int p = s->FindDocPos(sourcePos, false); p >= 0)
                return p;
        }
    } else {
        for (int i = Count() - 1; i >= 0; --i) {
            CountDocPosStep(Document);
            if (const int p = Items(i)->FindDocPos(sourcePos, true); p >= 0)
                return p;
        }
    }
    return -1;
}

bool TCellBasic::CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section)
{
    if (pos < StartPos || pos >= StartPos + PosCount)
        return false;
    for (auto& s : *this)
        if (s->CharAt(pos, ch, font, section))
            return true;
    return false;
}

int TBlock::FindSourcePos(int docPos) { return DisplayNone ? -1 : MyCell->FindSourcePos(docPos); }

int TTableAndCaptionBlock::FindDocPos(int sourcePos, bool prev)
{
    if (DisplayNone)
        return -1;
    TSectionBase* const caption = CaptionBlock;
    TSectionBase* const table = TableBlock;
    for (TSectionBase* s : {prev ? table : caption, prev ? caption : table})
        if (s)
            if (const int p = s->FindDocPos(sourcePos, prev); p >= 0)
                return p;
    return -1;
}

int TBlock::FindDocPos(int sourcePos, bool prev) { return DisplayNone ? -1 : MyCell->FindDocPos(sourcePos, prev); }

void TBlock::AddTextSections(std::vector<TSection*>& sections)
{
    if (!DisplayNone)
        MyCell->AddTextSections(sections);
}

void TTableAndCaptionBlock::AddTextSections(std::vector<TSection*>& sections)
{
    if (DisplayNone)
        return;
    for (TSectionBase* s : {static_cast<TSectionBase*>(CaptionBlock), static_cast<TSectionBase*>(TableBlock)})
        if (s)
            s->AddTextSections(sections);
}

void TSection::AddTextSections(std::vector<TSection*>& sections) { sections.push_back(this); }
bool TBlock::CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section)
{
    return !DisplayNone && MyCell->CharAt(pos, ch, font, section);
}

int TSection::FindSourcePos(int docPos)
{
    const int i = docPos - StartCurs;
    if (i < 0 || i >= Len || SourceIndex.empty())
        return -1;
    // The last entry at or before the position (the entries are in position order).
    const IndexObj* after = std::upper_bound(SourceIndex.begin(), SourceIndex.end(), i,
                                             [](int pos, const IndexObj& e) { return pos < e.Pos; });
    const IndexObj* entry = after == SourceIndex.begin() ? after : after - 1;
    return entry->Index + (i - entry->Pos);
}

int TSection::FindDocPos(int sourcePos, bool prev)
{
    if (SourceIndex.empty() || Len == 0)
        return -1;
    const std::size_t count = SourceIndex.size();
    if (SourceIndex.Increasing() && SourceIndex[count - 1].Pos < Len) {
        // A paragraph may hold an entry for every tag in it: the first entry whose source positions
        // reach the one asked for is found by halving. It holds it, or looking forward comes next;
        // looking backward, the entry before it ends last before it.
        auto end = [&](std::size_t k) { return k + 1 < count ? SourceIndex[k + 1].Pos : Len; };
        const IndexObj* reaching = std::partition_point(SourceIndex.begin(), SourceIndex.end(), [&](const IndexObj& e) {
            CountDocPosStep(Document);
            const auto k = static_cast<std::size_t>(&e - SourceIndex.begin());
            return e.Index + (end(k) - 1 - e.Pos) < sourcePos;
        });
        const auto k = static_cast<std::size_t>(reaching - SourceIndex.begin());
        if (k < count && reaching->Index <= sourcePos)
            return StartCurs + reaching->Pos + (sourcePos - reaching->Index);
        if (!prev)
            return k < count ? StartCurs + reaching->Pos : -1;
        return k > 0 ? StartCurs + end(k - 1) - 1 : -1;
    }
    int best = -1;
    for (std::size_t k = 0; k < SourceIndex.size(); ++k) {
        CountDocPosStep(Document);
        const IndexObj& e = SourceIndex[k];
        const int end = k + 1 < SourceIndex.size() ? SourceIndex[k + 1].Pos : Len;
        const int lastSource = e.Index + (end - 1 - e.Pos);
        if (sourcePos >= e.Index && sourcePos <= lastSource)
            return StartCurs + e.Pos + (sourcePos - e.Index);
        if (prev && lastSource < sourcePos)
            best = StartCurs + end - 1;
        if (!prev && e.Index > sourcePos && (best < 0 || StartCurs + e.Pos < best))
            best = StartCurs + e.Pos;
    }
    return best;
}

bool TSection::CharAt(int pos, char16_t& ch, TFontObj*& font, TSectionBase*& section)
{
    const int i = pos - StartCurs;
    if (i < 0 || i >= Len)
        return false;
    ch = Text[static_cast<std::size_t>(i)];
    font = Fonts.GetFontAt(i);
    section = this;
    return true;
}

namespace {
const std::string& NoText()
{
    static const std::string none;
    return none;
}
}  // namespace

const std::string& TCellObjCell::Title() const
{
    return Extra ? Extra->Title : NoText();
}

const std::string& TCellObjCell::Url() const
{
    return Extra ? Extra->Url : NoText();
}

const std::string& TCellObjCell::Target() const
{
    return Extra ? Extra->Target : NoText();
}

int TCellObjCell::GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title)
{
    int flags = TCellBasic::GetUrlAt(canvas, x, y, url, title);
    const int yc = y - (Document ? Document->YOff : 0);
    if (x >= CellLeft && x < CellRight && yc >= CellTop && yc < CellBottom) {
        if (!(flags & 4) && !Title().empty()) {
            title = Title();
            flags |= 4;
        }
        if (!(flags & 1) && !Url().empty()) {
            url = std::make_unique<TUrlTarget>();
            url->Assign(Url(), Target(), nullptr, 0);
            flags |= 1;
        }
    }
    return flags;
}

TSectionBase* TSectionList::FindSectionAtPosition(int y, int& sectionY, int& index) const
{
    for (int i = static_cast<int>(PositionList.size()) - 1; i >= 0; --i) {
        TSectionBase* s = PositionList[static_cast<std::size_t>(i)];
        if (s->GetYPosition() <= y) {
            sectionY = s->GetYPosition();
            index = i;
            return s;
        }
    }
    return nullptr;
}

}  // namespace velmoran

namespace velmoran {

void THorzLine::CopySelectedText(SelTextCount& buffer)
{
    if (Document && StartCurs >= Document->SelB && StartCurs < Document->SelE)
        buffer.AddTextLine(nullptr, 0);
}

}  // namespace velmoran
