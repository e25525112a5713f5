// Text sections as the parser fills them; see TextSection.h.
#include "html/layout/TextSection.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"
#include "html/layout/LinkFocus.h"
#include "html/layout/PanelObjects.h"
#include "html/layout/SectionList.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

namespace velmoran {

namespace {
// Upper or lower case character by character; a character whose other case is longer (as the
// sharp s) stays as it is, so that every character keeps its source position.
std::u16string CaseMapped(const std::u16string& s, bool upper)
{
    std::u16string out = s;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::u16string one = upper ? WideUpperText(s.substr(i, 1)) : WideLowerText(s.substr(i, 1));
        if (one.size() == 1)
            out[i] = one[0];
    }
    return out;
}
}  // namespace

TSection::TSection(TSectionList* document, bool isFirstLineOfBlock, const TUrlTarget* linkTarget, TProperties& props,
                   const TAttributeList* attributes)
    : TSectionBase(document), open_(std::make_unique<TOpenText>())
{
    auto run = std::make_shared<TFontObj>(this, props.GetFont(), 0);
    run->SetTitle(props.PropTitle);
    if (linkTarget && !linkTarget->URL.empty()) {
        open_->Link = std::make_unique<TUrlTarget>(*linkTarget);
        TFontRunLink& state = run->LinkState();
        state.UrlTarget.Copy(*linkTarget);
        if (props.FIArray)
            state.FIArray = std::make_unique<TFontInfoArray>(*props.FIArray);
    }
    TFontObj* first = Fonts.Add(std::move(run));
    if (document && first->IsLink())
        document->AddLinkRun(first);
    LineHeight = props.GetLineHeight(first->FontHeight);
    if (isFirstLineOfBlock) {
        bool percent = false;
        const int indent = props.GetTextIndent(percent);
        if (percent)
            TextIndentPercent = std::min(90, indent);
        else
            TextIndent = indent;
    }
    if (attributes) {
        if (const TAttribute* a = attributes->Find(ClearSy)) {
            const std::string s = LowerCase(a->Name);
            ClearAttr = s == "left" ? 1 : s == "right" ? 2 : 3;
        }
        if (const TAttribute* a = attributes->Find(IDSy); a && document && !a->Name.empty())
            document->IDNameList.AddObject(a->Name, this);
    }
    int clear = 0;
    if (props.GetClear(clear))
        ClearAttr = clear;
    const std::string align = props.Props[TextAlign].IsText() ? LowerCase(props.Props[TextAlign].Text()) : "";
    Justify = align == "right" ? 3 : align == "center" ? 2 : align == "justify" ? 4 : 1;
    BreakWord = props.Props[WordWrap].IsText() && props.Props[WordWrap].Text() == "break-word";
}

TSection::~TSection()
{
    if (Document)
        for (const auto& f : Fonts)
            Document->RemoveLinkRun(f.get());
}

void TSection::AddChar(char16_t ch, int sourceIndex, char cls)
{
    Text += ch;
    BreakClasses += cls;
    if (open_)  // a closed text takes no more positions
        open_->SourceIndexes.push_back(sourceIndex);
}

TSourceIndex& TSourceIndex::operator=(const TSourceIndex& other) noexcept
{
    if (block_ != other.block_) {
        Release();
        block_ = other.block_;
        Hold();
    }
    return *this;
}

void TSourceIndex::Release() noexcept
{
    if (block_ && --block_->Uses == 0)
        ::operator delete(block_);
    block_ = nullptr;
}

void TSourceIndex::Assign(const std::vector<IndexObj>& entries)
{
    Release();
    if (entries.empty())
        return;
    static_assert(alignof(IndexObj) <= alignof(Header) && sizeof(Header) == sizeof(IndexObj));
    void* raw = ::operator new(sizeof(Header) + entries.size() * sizeof(IndexObj));
    bool increasing = true;
    for (std::size_t k = 1; k < entries.size() && increasing; ++k)
        increasing = entries[k].Pos > entries[k - 1].Pos &&
                     static_cast<long long>(entries[k].Index) >
                         static_cast<long long>(entries[k - 1].Index) + (entries[k].Pos - entries[k - 1].Pos - 1);
    block_ = new (raw) Header{1, static_cast<unsigned>(entries.size()), increasing};
    std::uninitialized_copy(entries.begin(), entries.end(), reinterpret_cast<IndexObj*>(block_ + 1));
}

int TSection::SourcePosAt(int i) const
{
    if (!finished_) {
        const std::vector<int>& indexes = open_->SourceIndexes;
        if (i < 0 || i >= static_cast<int>(indexes.size()))
            return -1;
        return indexes[static_cast<std::size_t>(i)];
    }
    if (i < 0 || i >= static_cast<int>(Text.size()) || SourceIndex.empty())
        return -1;
    const auto after = std::upper_bound(SourceIndex.begin(), SourceIndex.end(), i,
                                        [](int pos, const IndexObj& e) { return pos < e.Pos; });
    const IndexObj& entry = after == SourceIndex.begin() ? SourceIndex.front() : *std::prev(after);
    return entry.Index + (i - entry.Pos);
}

void TSection::CloseText()
{
    // One list for all sections: the compressed entries are copied into the section's own block.
    static thread_local std::vector<IndexObj> entries;
    entries.clear();
    const std::vector<int>& indexes = open_->SourceIndexes;
    for (std::size_t i = 0; i < indexes.size(); ++i)
        if (i == 0 || indexes[i] != indexes[i - 1] + 1)
            entries.push_back({static_cast<int>(i), indexes[i]});
    SourceIndex.Assign(entries);
    // From here the compressed form answers; the text keeps no room to grow and nothing of its
    // filling.
    open_.reset();
    Text.shrink_to_fit();
    BreakClasses += 'y';
    BreakClasses.shrink_to_fit();
    Len = static_cast<int>(Text.size());
    if (!Text.empty() && Document)
        SectionNumber = ++Document->SectionCount;
}

void TSection::AppendTokens(const TokenObj& tokens, bool noBreak, TProperties* props)
{
    const int textTransform = props ? props->GetTextTransform() : 0;
    const bool mapped = textTransform == 1 || textTransform == 2;
    const std::u16string transformed = mapped ? CaseMapped(tokens.S(), textTransform == 1) : std::u16string();
    const std::u16string& s = mapped ? transformed : tokens.S();
    const char cls = (noBreak || PreFormatted) ? 'n' : 'y';
    const auto& idx = tokens.Indexes();
    if (!props || props->GetFontVariant() != "small-caps") {
        // Room for the whole token and the closing space at once; the lists grow by doubling so
        // that many short tokens stay linear.
        if (open_) {
            std::vector<int>& indexes = open_->SourceIndexes;
            const std::size_t need = indexes.size() + s.size() + 1;
            if (indexes.capacity() < need) {
                const std::size_t room = std::max(need, 2 * indexes.capacity());
                indexes.reserve(room);
                Text.reserve(room);
                BreakClasses.reserve(room + 1);  // and the final class
            }
        }
        for (std::size_t i = 0; i < s.size(); ++i)
            AddChar(s[i], i < idx.size() ? idx[i] : -1, cls);
        return;
    }
    // Small capitals: upper-case text; the letters that were lower-case are set in a "small" font.
    const std::u16string upper = CaseMapped(s, true);
    TMyFont normal = props->GetFont();
    TMyFont small = normal;
    const double points = FontSizeToPoints("small", props->Props[FontSize].AsNumber());
    small.Height = -static_cast<int>(points * 96 / 72 + 0.5);
    bool inSmall = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool switches = c != u' ' && !(c >= u'0' && c <= u'9');
        const bool changed = upper[i] != c;
        if (switches && changed != inSmall) {
            inSmall = changed;
            StartRunWithFont(inSmall ? small : normal, *props);
        }
        AddChar(upper[i], i < idx.size() ? idx[i] : -1, cls);
    }
    if (inSmall)
        StartRunWithFont(normal, *props);
}

void TSection::StartRunWithFont(const TMyFont& font, TProperties& props)
{
    StartFontRun(props);
    Fonts.Last()->ReplaceFont(font);
}

void TSection::AddSingleChar(char16_t ch, int sourceIndex)
{
    AddChar(ch, sourceIndex, PreFormatted ? 'n' : 'y');
}

void TSection::RemoveAt(int i)
{
    std::vector<char> keep(Text.size(), 1);
    keep[static_cast<std::size_t>(i)] = 0;
    Compact(keep);
}

void TSection::Compact(const std::vector<char>& keep)
{
    // newPos[i]: the position character i (or the next kept one) has after the removal.
    std::vector<int> newPos(Text.size() + 1, 0);
    std::u16string text;
    std::string classes;
    std::vector<int> indexes;
    text.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        newPos[i] = static_cast<int>(text.size());
        if (keep[i]) {
            text += Text[i];
            classes += BreakClasses[i];
            indexes.push_back(open_->SourceIndexes[i]);
        }
    }
    newPos[Text.size()] = static_cast<int>(text.size());
    Text = std::move(text);
    BreakClasses = std::move(classes);
    open_->SourceIndexes = std::move(indexes);
    auto mapped = [&](int pos) { return newPos[static_cast<std::size_t>(std::clamp(pos, 0, static_cast<int>(newPos.size()) - 1))]; };
    for (const auto& f : Fonts)
        f->Pos = mapped(f->Pos);
    // A run that now starts where its predecessor starts replaces it; the focus control of a link
    // passes to a survivor of the same link.
    for (int k = Fonts.Count() - 1; k > 0; --k)
        if (Fonts[k]->Pos == Fonts[k - 1]->Pos) {
            TFontObj* gone = Fonts[k - 1];
            TFontObj* survivor = Fonts[k];
            if (gone->TabControl() && !survivor->TabControl() && survivor->IsLink() &&
                survivor->UrlTarget().ID == gone->UrlTarget().ID) {
                survivor->Link->TabControl = std::move(gone->Link->TabControl);
                survivor->Link->TabControl->Run = survivor;
            }
            if (Document)
                Document->RemoveLinkRun(gone);
            Fonts.Delete(k - 1);
        }
    for (const auto& img : Images)
        img->Pos = mapped(img->Pos);
    for (TFormControlObj* control : FormControls)
        control->Pos = mapped(control->Pos);
}

void TSection::FinishText(int sourceIndex)
{
    if (finished_)
        return;
    finished_ = true;
    const auto n = [this] { return Text.size(); };
    static thread_local std::vector<char> keep;  // one for all sections; no pass calls another
    auto pass = [&](auto&& decide) {
        keep.assign(n(), 1);
        bool removed = false;
        decide(removed);
        if (removed)
            Compact(keep);
    };
    // 1. leading spaces
    pass([&](bool& removed) {
        for (std::size_t i = 0; i < n() && Text[i] == u' '; ++i)
            keep[i] = 0, removed = true;
    });
    // 2. soft hyphens: the character before one gets class "s"
    pass([&](bool& removed) {
        std::ptrdiff_t last = -1;
        for (std::size_t i = 0; i < n(); ++i) {
            if (Text[i] == 0xAD) {
                if (last >= 0 && BreakClasses[static_cast<std::size_t>(last)] != 'n')
                    BreakClasses[static_cast<std::size_t>(last)] = 's';
                keep[i] = 0;
                removed = true;
            } else {
                last = static_cast<std::ptrdiff_t>(i);
            }
        }
    });
    // 3. doubled spaces: the second goes, unless the first is a no-break space of class "n"
    pass([&](bool& removed) {
        std::ptrdiff_t prev = -1;
        for (std::size_t i = 0; i < n(); ++i) {
            if (Text[i] == u' ' && prev >= 0 && Text[static_cast<std::size_t>(prev)] == u' ') {
                removed = true;
                if (BreakClasses[static_cast<std::size_t>(prev)] != 'n') {
                    keep[i] = 0;
                    continue;
                }
                keep[static_cast<std::size_t>(prev)] = 0;
            }
            prev = static_cast<std::ptrdiff_t>(i);
        }
    });
    // 4. a space after a floating image
    pass([&](bool& removed) {
        for (std::size_t i = 0; i + 1 < n(); ++i)
            if (Text[i] == kImageChar && Text[i + 1] == u' ') {
                const TFloatingObj* obj = Images.FindByPosition(static_cast<int>(i));
                if (obj && (obj->VertAlign == 5 || obj->VertAlign == 6))
                    keep[i + 1] = 0, removed = true;
            }
    });
    // 5. spaces before or after a forced break
    pass([&](bool& removed) {
        for (std::size_t i = 0; i < n(); ++i)
            if (Text[i] == u' ' && ((i + 1 < n() && Text[i + 1] == kBreakChar) || (i > 0 && Text[i - 1] == kBreakChar)))
                keep[i] = 0, removed = true;
    });
    // 6. trailing break, then trailing space
    if (Text.size() > 1) {
        if (Text.back() == kBreakChar)
            RemoveAt(static_cast<int>(Text.size()) - 1);
        if (!Text.empty() && Text.back() == u' ')
            RemoveAt(static_cast<int>(Text.size()) - 1);
    }
    // 7. the closing space
    if (!Text.empty() && !(Text.size() == 1 && Text[0] == kBreakChar) && Text.back() != u' ')
        AddChar(u' ', sourceIndex, 'y');
    // 8.
    CloseText();
}

void TSection::StartFontRun(TProperties& props)
{
    const int pos = static_cast<int>(Text.size());
    TFontObj* run = nullptr;
    if (Fonts.Last() && Fonts.Last()->Pos == pos) {
        run = Fonts.Last();
        run->ReplaceFont(props.GetFont());
    } else {
        run = Fonts.Add(std::make_shared<TFontObj>(this, props.GetFont(), pos));
    }
    run->SetTitle(props.PropTitle);
    int va = 0;
    run->SScript = static_cast<std::uint8_t>(props.GetVertAlign(va) ? (va == 8 ? 1 : va == 9 ? 2 : 0) : 0);
    if (const TUrlTarget* link = open_ ? open_->Link.get() : nullptr; link && !link->URL.empty()) {
        TFontRunLink& state = run->LinkState();
        state.UrlTarget.Copy(*link);
        state.FIArray = props.FIArray ? std::make_unique<TFontInfoArray>(*props.FIArray) : nullptr;
        if (Document)
            Document->AddLinkRun(run);
    } else {
        run->ClearLink();
        if (Document)
            Document->RemoveLinkRun(run);
    }
}

void TSection::StartLinkRun(TProperties& props, const TUrlTarget* link)
{
    if (open_) {
        if (link && !link->URL.empty())
            open_->Link = std::make_unique<TUrlTarget>(*link);
        else
            open_->Link.reset();
    }
    StartFontRun(props);
}

TImageObj* TSection::AddImage(const TAttributeList& attributes, int sourceIndex)
{
    auto img = std::make_unique<TImageObj>(Document, static_cast<int>(Text.size()), attributes);
    TImageObj* p = img.get();
    Images.Add(std::move(img));
    AddChar(kImageChar, sourceIndex, 'y');
    return p;
}

TPanelObj* TSection::AddPanel(const TAttributeList& attributes, int sourceIndex)
{
    auto panel = std::make_unique<TPanelObj>(Document, static_cast<int>(Text.size()), attributes);
    TPanelObj* p = panel.get();
    Images.Add(std::move(panel));
    AddChar(kImageChar, sourceIndex, 'y');
    return p;
}

TFormControlObj* TSection::AddFormControl(std::uint8_t tagSymbol, const TAttributeList& attributes,
                                          TProperties& props, int sourceIndex)
{
    auto created = CreateFormControl(Document, tagSymbol, attributes, props, sourceIndex);
    created->ApplyProperties(props);
    ThtmlForm* form = created->Form;
    TFormControlObj* control = form->AddControl(std::move(created));
    if (props.HasBorderStyle())
        Document->ProcessInlines(sourceIndex, props, true);
    const char cls = PreFormatted ? 'n' : 'y';
    if (auto* image = dynamic_cast<TImageFormControlObj*>(control)) {
        TImageObj* picture = AddImage(attributes, sourceIndex);
        picture->ApplyProperties(props);
        picture->FormControl = image;
        image->Image = picture;
    } else if (control->Placed()) {
        control->Pos = static_cast<int>(Text.size());
        FormControls.Add(control);
        AddChar(kFormControlChar, sourceIndex, cls);
    }
    if (tagSymbol != InputSy)
        return control;
    control->StoreInitial();
    const TAttribute* type = attributes.Find(TypeSy);
    auto* edit = dynamic_cast<TEditFormControlObj*>(control);
    if (edit && type && SameText(Trim(type->Name), "file")) {
        // The browse button stays on the edit's line.
        BreakClasses.back() = 'n';
        auto button = std::make_unique<TButtonFormControlObj>(Document, TAttributeList(), props, sourceIndex,
                                                              TButtonFormControlObj::Browse, edit);
        button->ApplyProperties(props);
        button->Disabled = edit->Disabled;
        TFormControlObj* browse = form->AddControl(std::move(button));
        browse->Pos = static_cast<int>(Text.size());
        FormControls.Add(browse);
        AddChar(kFormControlChar, sourceIndex, cls);
    }
    return control;
}

void TSection::AllowBreakAtEnd()
{
    if (!BreakClasses.empty())
        BreakClasses.back() = 'a';
}

TPreFormated::TPreFormated(TSectionList* document, const TUrlTarget* linkTarget, TProperties& props,
                           const TAttributeList* attributes)
    : TSection(document, false, linkTarget, props, attributes)
{
    PreFormatted = true;
    Wrap = props.Props[WordWrap].IsText() && props.Props[WordWrap].Text() == "break-word";
}

void TPreFormated::AppendTokens(const TokenObj& tokens, bool /*noBreak*/, TProperties* props)
{
    TSection::AppendTokens(tokens, true, props);
}

void TPreFormated::FinishText(int sourceIndex)
{
    if (finished_)
        return;
    finished_ = true;
    if (!Text.empty())
        AddChar(u' ', sourceIndex, 'n');
    CloseText();
}

}  // namespace velmoran
