// The values of the nine control kinds: what each reads from its element, its box size, the
// pairs it submits, and how it resets and restores. See FormControls.h.
#include "html/layout/FormControls.h"

#include "html/base/HtmlSymbols.h"
#include "html/layout/SectionList.h"
#include "html/style/Properties.h"
#include "platform/Canvas.h"
#include "platform/core/CodePage.h"
#include "platform/core/Text.h"

#include <QWidget>

#include <algorithm>
#include <charconv>

namespace velmoran {

namespace {

// The vertical scroll bar's width beside a list's widest option.
constexpr int kScrollBarWidth = 16;

// A whole number at the start of a text ("7" of "7 x"), false when it starts with none.
bool LeadingNumber(std::string_view text, int& value)
{
    const std::string t = Trim(std::string(text));
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    return result.ec == std::errc() && result.ptr == t.data() + t.size();
}

std::u16string LinesToEdit(const std::u16string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
            out += text[i];
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Edits

TEditFormControlObj::TEditFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                         TProperties& props, int sourcePos, bool password)
    : TFormControlObj(document, attributes, props, sourcePos), Password(password)
{
    EditSize_ = EditSize(attributes.Find(SizeSy));
    if (const TAttribute* a = attributes.Find(MaxLengthSy))
        MaxLength = std::max(0, a->Value);
    Text = ToWide(Value);
    SetWidth(120);
}

int TEditFormControlObj::EditSize(const TAttribute* size)
{
    if (!size)
        return 15;
    if (size->Value >= 1)
        return size->Value;
    const auto blank = size->Name.find(' ');
    const auto comma = size->Name.find(',');
    if (blank == std::string::npos || comma == std::string::npos)
        return 15;
    int n = 0;
    return LeadingNumber(std::string_view(size->Name).substr(0, std::min(blank, comma)), n) ? n : 20;
}

void TEditFormControlObj::SizeControl(Canvas& canvas)
{
    const int heightA = TextHeightA(canvas);
    if (PercentWidth)
        SetWidth(10);  // placed later, against the line's width
    else if (FWidth >= 10)
        SetWidth(FWidth);
    else
        SetWidth(ClampedControlSize(static_cast<long long>(EditSize_) * canvas.GetTextMetrics().AveCharWidth + 23));
    // 8 taller than the bare text height: the window edit needs its frame and margins to show it whole.
    SetHeight(std::max(FHeight, std::max(heightA, 10) + 8));
}

void TEditFormControlObj::SetText(const std::u16string& text)
{
    Text = MaxLength > 0 && static_cast<int>(text.size()) > MaxLength ? text.substr(0, static_cast<std::size_t>(MaxLength))
                                                                      : text;
    SyncWidget();
}

void TEditFormControlObj::ResetValue()
{
    SetText(ToWide(Value));
}

bool TEditFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index > 0)
        return false;
    text = Pair(FromWide(Text));
    return true;
}

void TEditFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    SetText(ToWide(value));
}

bool TEditFormControlObj::ControlKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    Form->SubmitForm("");
    return true;
}

// ---------------------------------------------------------------------------------------------
// Buttons

TButtonFormControlObj::TButtonFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                             TProperties& props, int sourcePos, Kind kind,
                                             TEditFormControlObj* browseEdit)
    : TFormControlObj(document, attributes, props, sourcePos), ButtonKind(kind), BrowseEdit(browseEdit)
{
    static const char16_t* const kDefaults[] = {u"Submit", u"Reset", u"Button", u"Browse..."};
    Caption = kind == Browse || Value.empty() ? kDefaults[kind] : ToWide(Value);
}

void TButtonFormControlObj::SizeControl(Canvas& canvas)
{
    const int textHeight = TextHeightA(canvas) + 8;
    SetHeight(textHeight > FHeight ? textHeight : FHeight);
    if (FWidth >= 10 && !PercentWidth)
        SetWidth(FWidth);
    else
        SetWidth(TextWidth(canvas, Caption) + 20);
}

void TButtonFormControlObj::Press()
{
    switch (ButtonKind) {
    case Reset:
        Form->ResetControls();
        break;
    case Submit:
        Form->SubmitForm(Pair(Value));
        break;
    case Browse:
        if (BrowseEdit && Document->FormEvents.OnFileBrowse) {
            std::string file = WideToUtf8(BrowseEdit->Text);
            Document->FormEvents.OnFileBrowse(this, file);
            BrowseEdit->SetText(Utf8ToWide(file));
        }
        break;
    case Plain:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons

TCheckFormControlObj::TCheckFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                           TProperties& props, int sourcePos)
    : TFormControlObj(document, attributes, props, sourcePos)
{
    if (Value.empty())
        Value = "on";
    InitialChecked = Checked = attributes.Find(CheckedSy) != nullptr;
    VertAlign = 3;
}

void TCheckFormControlObj::SetChecked(bool checked)
{
    Checked = checked;
    SyncWidget();
}

void TCheckFormControlObj::ResetValue()
{
    SetChecked(InitialChecked);
}

bool TCheckFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index > 0 || !Checked)
        return false;
    text = Pair(Value);
    return true;
}

void TCheckFormControlObj::ClearBeforeRestore()
{
    SetChecked(false);
}

void TCheckFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    if (SameText(value, Value))
        SetChecked(true);
}

void TCheckBoxFormControlObj::SizeControl(Canvas& /*canvas*/)
{
    SetWidth(13);
    SetHeight(13);
}

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                                       TProperties& props, int sourcePos)
    : TCheckFormControlObj(document, attributes, props, sourcePos)
{
    // This button is not yet among its form's controls: the group found is the earlier buttons.
    // Only a checked button or the group's tab stop has anything to give up, and none of those
    // before the last checked one.
    ThtmlForm::TRadioGroup& group = Form->RadioGroup(Name);
    if (Checked) {
        for (std::size_t i = group.Settled; i < group.Buttons.size(); ++i)
            if (TRadioButtonFormControlObj* other = group.Buttons[i]; other->Checked || other->TabStop) {
                other->TCheckFormControlObj::SetChecked(false);
                other->SetTabStop(false);
            }
        group.Settled = group.Buttons.size();
    } else {
        TabStop = group.Buttons.empty();
    }
}

std::vector<TRadioButtonFormControlObj*> TRadioButtonFormControlObj::Group() const
{
    return Form->RadioGroup(Name).Buttons;
}

void TRadioButtonFormControlObj::SizeControl(Canvas& canvas)
{
    const bool large = canvas.GetDeviceCaps(LOGPIXELSX) > 100;
    SetWidth(large ? 16 : 13);
    SetHeight(large ? 16 : 14);
}

void TRadioButtonFormControlObj::SetChecked(bool checked)
{
    if (TabKeyDown())
        return;
    TCheckFormControlObj::SetChecked(checked);
    SetTabStop(checked);
}

void TRadioButtonFormControlObj::ResetValue()
{
    TCheckFormControlObj::SetChecked(InitialChecked);
    if (InitialChecked)
        UncheckOthers();
}

// The others give up their check and their tab stop: the first button of a group that had none
// checked holds the tab stop unchecked.
void TRadioButtonFormControlObj::UncheckOthers()
{
    for (TRadioButtonFormControlObj* other : Group()) {
        if (other == this)
            continue;
        if (other->Checked) {
            other->SetChecked(false);
            if (!other->OnChangeText.empty())
                other->FireChangeIfModified();
        }
        if (other->TabStop)
            other->SetTabStop(false);
    }
}

void TRadioButtonFormControlObj::SettleTabStops(const std::vector<TRadioButtonFormControlObj*>& group)
{
    const auto checked = std::find_if(group.rbegin(), group.rend(), [](const auto* b) { return b->Checked; });
    const auto enabled = std::find_if(group.begin(), group.end(), [](const auto* b) { return !b->Disabled; });
    const TRadioButtonFormControlObj* stop = checked != group.rend() && !(*checked)->Disabled ? *checked
                                             : enabled != group.end()                        ? *enabled
                                                                                             : nullptr;
    for (TRadioButtonFormControlObj* button : group)
        if (button->TabStop != (button == stop))
            button->SetTabStop(button == stop);
}

void TRadioButtonFormControlObj::Click()
{
    if (Disabled)
        return;
    UncheckOthers();
    SetChecked(true);
    ControlClicked();
}

// Left and up go to the previous button of the group, right and down to the next; the button
// reached takes the focus and is checked.
bool TRadioButtonFormControlObj::ControlKey(int key)
{
    const int step = (key == Qt::Key_Left || key == Qt::Key_Up) ? -1 : (key == Qt::Key_Right || key == Qt::Key_Down) ? 1 : 0;
    if (step == 0)
        return false;
    const auto group = Group();
    const int n = static_cast<int>(group.size());
    const int me = static_cast<int>(std::find(group.begin(), group.end(), this) - group.begin());
    for (int k = 1; k < n; ++k) {
        TRadioButtonFormControlObj* next = group[static_cast<std::size_t>(((me + step * k) % n + n) % n)];
        if (next->Disabled)
            continue;
        next->TakeFocus();
        next->Click();
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Hidden and image inputs

bool THiddenFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index > 0)
        return false;
    text = Pair(Value);
    return true;
}

void THiddenFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    Value = value;
}

bool TImageFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (XPos < 0 || index > 1)
        return false;
    const std::string prefix = Name.empty() ? std::string() : Name + ".";
    text = index == 0 ? prefix + "x=" + std::to_string(XPos) : prefix + "y=" + std::to_string(YPos);
    if (index == 1)
        XPos = YPos = -1;  // the click is used up
    return true;
}

void TImageFormControlObj::ImageClick(int x, int y)
{
    if (Disabled)
        return;
    if (QWidget* w = EnsureWindowControl())
        w->setFocus(Qt::MouseFocusReason);
    ControlClicked();
    // After the click handler, which may have freed the control.
    AfterEvent([this, x, y] {
        XPos = x;
        YPos = y;
        Form->SubmitForm("");
        XPos = YPos = -1;
    });
}

// ---------------------------------------------------------------------------------------------
// Lists

std::string ThtOptionStringList::Value(int i) const
{
    return i >= 0 && i < Count() ? Item(i).Value : std::string();
}

bool ThtOptionStringList::Selected(int i) const
{
    return i >= 0 && i < Count() && Item(i).Selected;
}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                               TProperties& props, int sourcePos)
    : TFormControlObj(document, attributes, props, sourcePos)
{
    Multiple = attributes.Find(MultipleSy) != nullptr;
    if (const TAttribute* size = attributes.Find(SizeSy))
        LBSize = size->Value;
    else
        LBSize = -1;
}

void TListBoxFormControlObj::AddOption(TOptionObj option, bool hasValue)
{
    if (!hasValue)
        option.Value = FromWide(option.Text);
    if (option.Text.empty())
        option.Text = u" ";
    Options.Add(std::move(option));
}

int TListBoxFormControlObj::Rows() const
{
    return LBSize == -1 ? std::min(8, std::max(1, Options.Count())) : std::max(LBSize, 0);
}

int TListBoxFormControlObj::WidestOption(Canvas& canvas) const
{
    int widest = 0;
    for (int i = 0; i < Options.Count(); ++i)
        widest = std::max(widest, TextWidth(canvas, Options.Item(i).Text));
    return widest;
}

void TListBoxFormControlObj::SizeControl(Canvas& canvas)
{
    // 4 more than the bare rows: the list's frame of 2 pixels each side would cut off the last row.
    SetHeight(FHeight >= 10 ? FHeight : ClampedControlSize(static_cast<long long>(Rows()) * TextHeightA(canvas) + 4));
    if (PercentWidth)
        SetWidth(10);
    else if (FWidth >= 10)
        SetWidth(FWidth);
    else
        SetWidth(kScrollBarWidth + WidestOption(canvas) + 10);
}

void TListBoxFormControlObj::ResetValue()
{
    Selection.assign(static_cast<std::size_t>(Options.Count()), false);
    ItemIndex = -1;
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Selected(i)) {
            if (!Multiple)
                std::fill(Selection.begin(), Selection.end(), false);
            Selection[static_cast<std::size_t>(i)] = true;
            if (ItemIndex < 0 || !Multiple)
                ItemIndex = i;
        }
    if (ItemIndex < 0 && Options.Count() > 0)
        ItemIndex = 0;
    TopRow = 0;
    SyncWidget();
}

void TListBoxFormControlObj::SetSelected(int index, bool selected)
{
    if (index < 0 || index >= static_cast<int>(Selection.size()))
        return;
    if (!Multiple && selected)
        std::fill(Selection.begin(), Selection.end(), false);
    Selection[static_cast<std::size_t>(index)] = selected;
    if (selected)
        ItemIndex = index;
    SyncWidget();
}

void TListBoxFormControlObj::SetItemIndex(int index)
{
    ItemIndex = index >= 0 && index < Options.Count() ? index : -1;
    if (!Multiple) {
        std::fill(Selection.begin(), Selection.end(), false);
        if (ItemIndex >= 0)
            Selection[static_cast<std::size_t>(ItemIndex)] = true;
    }
    SyncWidget();
}

bool TListBoxFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index >= Options.Count())
        return false;
    const bool chosen = Multiple ? index < static_cast<int>(Selection.size()) && Selection[static_cast<std::size_t>(index)]
                                 : index == ItemIndex;
    text = chosen ? Pair(Options.Value(index)) : std::string();
    return true;
}

void TListBoxFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    if (!restoreCleared_) {
        std::fill(Selection.begin(), Selection.end(), false);
        ItemIndex = -1;
        restoreCleared_ = true;
    }
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Value(i) == value && i < static_cast<int>(Selection.size())) {
            if (!Multiple)
                std::fill(Selection.begin(), Selection.end(), false);
            Selection[static_cast<std::size_t>(i)] = true;
            ItemIndex = i;
        }
    SyncWidget();
}

std::string TListBoxFormControlObj::ChangeValue() const
{
    std::string s = std::to_string(ItemIndex);
    for (bool b : Selection)
        s += b ? '1' : '0';
    return s;
}

void TComboFormControlObj::SizeControl(Canvas& canvas)
{
    SetHeight(FHeight >= 10 ? FHeight : TextHeightA(canvas) + 8);
    if (PercentWidth)
        SetWidth(10);
    else if (FWidth >= 10)
        SetWidth(FWidth);
    else
        SetWidth(kScrollBarWidth + WidestOption(canvas) + 10);
}

bool TComboFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index > 0)
        return false;
    text = ItemIndex < 0 ? std::string() : Pair(Options.Value(ItemIndex));
    return true;
}

void TComboFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Value(i) == value) {
            SetItemIndex(i);
            return;
        }
}

// ---------------------------------------------------------------------------------------------
// Text areas

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* document, const TAttributeList& attributes,
                                                 TProperties& props, int sourcePos)
    : TFormControlObj(document, attributes, props, sourcePos)
{
    if (const TAttribute* a = attributes.Find(RowsSy))
        Rows = a->Value;
    if (const TAttribute* a = attributes.Find(ColsSy))
        Cols = a->Value;
    if (const TAttribute* a = attributes.Find(WrapSy)) {
        const std::string w = LowerCase(Trim(a->Name));
        Wrap = w == "off" ? Off : w == "hard" ? Hard : Soft;
    }
}

void TTextAreaFormControlObj::AddLine(const std::string& line)
{
    if (!firstLine_)
        content_ += "\r\n";
    content_ += line;
    firstLine_ = false;
}

void TTextAreaFormControlObj::StoreInitial()
{
    InitialText = ToWide(content_);
    ResetValue();
}

void TTextAreaFormControlObj::SizeControl(Canvas& canvas)
{
    SetHeight(FHeight >= 10 ? FHeight : ClampedControlSize(static_cast<long long>(Rows) * TextHeightA(canvas) + 5));
    if (PercentWidth)
        SetWidth(50);
    else if (FWidth >= 10)
        SetWidth(FWidth);
    else
        SetWidth(ClampedControlSize(static_cast<long long>(Cols) * TextWidth(canvas, u"s") + 5));
}

void TTextAreaFormControlObj::SetText(const std::u16string& text)
{
    // Kept with CR LF between lines, however the lines were ended.
    std::u16string t;
    for (char16_t c : LinesToEdit(text)) {
        if (c == u'\n' || c == u'\r')
            t += u"\r\n";
        else
            t += c;
    }
    Text = t;
    SyncWidget();
}

void TTextAreaFormControlObj::ResetValue()
{
    SetText(InitialText);
}

bool TTextAreaFormControlObj::GetSubmitPair(int index, std::string& text)
{
    if (index > 0)
        return false;
    if (Name.empty()) {
        text.clear();
        return true;
    }
    if (Wrap != Hard) {
        text = Pair(FromWide(Text));
        return true;
    }
    std::u16string joined;
    const auto lines = ShownLines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        joined += (i ? u"\r\n" : u"") + lines[i];
    text = Pair(FromWide(joined));
    return true;
}

void TTextAreaFormControlObj::RestoreValue(int /*index*/, const std::string& value)
{
    SetText(ToWide(value));
}

}  // namespace velmoran
