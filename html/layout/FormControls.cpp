// Forms, the shared part of every control object (attributes, CSS box values, sizes, the window
// control's place, focus and click reports, the page's handlers called once the event is done),
// the section's control list and the choice of the kind for an element. See FormControls.h.
#include "html/layout/FormControls.h"

#include "html/base/HtmlSymbols.h"
#include "html/layout/SectionList.h"
#include "html/style/Properties.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/core/CodePage.h"
#include "platform/core/Text.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace velmoran {

int ClampedControlSize(long long pixels)
{
    return static_cast<int>(std::clamp(pixels, 0LL, static_cast<long long>(kMaxControlSize)));
}

std::string TabOrderKey(int tabIndex, int count)
{
    char key[32];
    std::snprintf(key, sizeof key, "%.5d%.3d", tabIndex, count);
    return key;
}

// ---------------------------------------------------------------------------------------------
// Forms

ThtmlForm::ThtmlForm(TSectionList* document, const TAttributeList& attributes) : Document(document)
{
    for (const auto& a : attributes) {
        switch (a->Which) {
        case MethodSy: Method = a->Name.substr(0, 4); break;
        case ActionSy: Action = a->Name; break;
        case TargetSy: Target = a->Name; break;
        case EncTypeSy: EncType = a->Name; break;
        default: break;
        }
    }
}

TFormControlObj* ThtmlForm::AddControl(std::unique_ptr<TFormControlObj> control)
{
    if (!dynamic_cast<THiddenFormControlObj*>(control.get()))
        ++NonHiddenCount;
    if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(control.get()))
        radioGroups_[LowerCase(radio->Name)].Buttons.push_back(radio);
    Controls.push_back(std::move(control));
    return Controls.back().get();
}

namespace {
// The pairs a control gives for a submission, empty texts left out.
void AppendPairs(TFormControlObj& control, std::vector<std::string>& lines)
{
    std::string text;
    for (int i = 0; control.GetSubmitPair(i, text); ++i)
        if (!text.empty())
            lines.push_back(text);
}
}  // namespace

void ThtmlForm::SubmitForm(const std::string& extra)
{
    const auto& onSubmit = Document->FormEvents.OnFormSubmit;
    if (!onSubmit)
        return;
    std::vector<std::string> lines;
    for (const auto& control : Controls)
        if (!control->Disabled)
            AppendPairs(*control, lines);
    if (!extra.empty())
        lines.push_back(extra);
    onSubmit(Action, Target, EncType, Method, lines);
}

void ThtmlForm::ResetControls()
{
    for (const auto& control : Controls)
        control->ResetValue();
    SettleRadioTabStops();
}

std::vector<std::string> ThtmlForm::GetFormSubmission()
{
    std::vector<std::string> lines;
    for (const auto& control : Controls)
        AppendPairs(*control, lines);
    return lines;
}

void ThtmlForm::SetFormData(const std::vector<std::string>& lines)
{
    for (const auto& control : Controls) {
        control->ClearBeforeRestore();
        int n = 0;
        for (const std::string& line : lines) {
            const auto eq = line.find('=');
            if (eq != std::string::npos && SameText(line.substr(0, eq), control->Name))
                control->RestoreValue(n++, line.substr(eq + 1));
        }
    }
    SettleRadioTabStops();
}

void ThtmlForm::SettleRadioTabStops()
{
    for (const auto& [name, group] : radioGroups_)
        TRadioButtonFormControlObj::SettleTabStops(group.Buttons);
}

ThtmlForm::TRadioGroup& ThtmlForm::RadioGroup(const std::string& name)
{
    return radioGroups_[LowerCase(name)];
}

void ThtmlForm::SizeControls(Canvas& canvas)
{
    for (const auto& control : Controls)
        control->SizeControl(canvas);
}

// ---------------------------------------------------------------------------------------------
// The control object

TFormControlObj::TFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                                 int sourcePos)
    : SourcePos(sourcePos), Document(document)
{
    Form = document->CurrentForm ? document->CurrentForm : document->AddForm(TAttributeList());
    document->CurrentForm = Form;
    document->FormControlList.push_back(this);
    document->RegisterTabStop(this);
    CodePage = props.CodePage;
    Font = props.GetFont();
    Title = props.PropTitle;
    Attributes = attributes.CreateStringList();
    for (const auto& a : attributes) {
        switch (a->Which) {
        case TitleSy: Title = a->Name; break;
        case NameSy: Name = a->Name; break;
        case ValueSy: Value = a->Name; break;
        case IDSy: ID = a->Name; break;
        case OnClickSy: OnClickText = a->Name; break;
        case OnFocusSy: OnFocusText = a->Name; break;
        case OnBlurSy: OnBlurText = a->Name; break;
        case OnChangeSy: OnChangeText = a->Name; break;
        case TabIndexSy:
            if (a->Value > 0)
                document->AddTabStop(a->Value, this);
            break;
        case DisabledSy: {
            const std::string v = LowerCase(a->Name);
            Disabled = v != "no" && v != "0";
            break;
        }
        case ReadonlySy: ReadOnly = true; break;
        default: break;
        }
    }
    if (!ID.empty())
        document->IDNameList.AddObject(ID, this);
}

TFormControlObj::~TFormControlObj()
{
    Document->ForgetFormControl(this);
    // What the window control reports while it goes (losing the focus, dropping its items) no
    // longer reaches this half-destroyed object.
    QWidget* widget = widget_.data();
    widget_ = nullptr;
    delete widget;
}

void TFormControlObj::FireChangeIfModified()
{
    if (ChangeValue() != remembered_)
        FireHandler(&TFormEvents::OnObjectChange, OnChangeText);
}

void TFormControlObj::AfterEvent(std::function<void()> work)
{
    auto guarded = [work = std::move(work), alive = std::weak_ptr<const char>(alive_)] {
        if (!alive.expired())
            RunGuarded(work);
    };
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(guarded), Qt::QueuedConnection);
    else
        guarded();
}

void TFormControlObj::FireHandler(TFormEvents::ObjectEvent TFormEvents::*handler, const std::string& script)
{
    if (!(Document->FormEvents.*handler))
        return;
    AfterEvent([this, handler, script] {
        // A copy: the handler may load a page, and with it the document's handlers are set anew.
        const TFormEvents::ObjectEvent event = Document->FormEvents.*handler;
        if (event)
            event(this, script);
    });
}

void TFormControlObj::ApplyProperties(TProperties& props)
{
    int autos = 0;
    const auto m = ConvMargArray(props.Props, 100, 100, props.EmSize, props.ExSize, autos);
    auto isSet = [&](int i) {
        return !props.Props[i].IsEmpty() && !(props.Props[i].IsInt() && props.Props[i].Int() == UnsetInteger) &&
               m[i] != AutoLength;
    };
    VSpaceT = VSpaceB = 1;
    if (isSet(MarginLeft))
        HSpaceL = m[MarginLeft];
    if (isSet(MarginRight))
        HSpaceR = m[MarginRight];
    if (isSet(MarginTop))
        VSpaceT = m[MarginTop];
    if (isSet(MarginBottom))
        VSpaceB = m[MarginBottom];
    if (props.HasBorderStyle()) {
        auto add = [](int a, int b) {
            return static_cast<int>(std::clamp(static_cast<long long>(a) + b, -1LL * kMaxControlSize,
                                               static_cast<long long>(kMaxControlSize)));
        };
        BordT = m[BorderTopWidth];
        BordB = m[BorderBottomWidth];
        HSpaceL = add(HSpaceL, m[BorderLeftWidth]);
        HSpaceR = add(HSpaceR, m[BorderRightWidth]);
        VSpaceT = add(VSpaceT, BordT);
        VSpaceB = add(VSpaceB, BordB);
        BorderByCss = true;
    }
    const bool widthPercent = props.Props[piWidth].IsText() && Contains(props.Props[piWidth].Text(), "%");
    if (isSet(piWidth) && m[piWidth] > 0) {
        if (!widthPercent || m[piWidth] <= 100) {
            FWidth = m[piWidth];
            PercentWidth = widthPercent;
        } else {
            PercentWidth = false;
        }
    }
    if (isSet(piHeight) && m[piHeight] > 0)
        FHeight = ClampedControlSize(static_cast<long long>(m[piHeight]) - BordT - BordB);
    // Spaces from page numbers stay as small as the controls, so that sums with them cannot overflow.
    for (int* space : {&HSpaceL, &HSpaceR, &VSpaceT, &VSpaceB, &BordT, &BordB})
        *space = std::clamp(*space, -kMaxControlSize, kMaxControlSize);
    int align = 0;
    if (props.GetVertAlign(align) && align >= 1 && align <= 4)
        VertAlign = static_cast<std::uint8_t>(align);
    BkColor = props.GetOwnBackgroundColor();
}

void TFormControlObj::SetWidth(int width)
{
    width_ = ClampedControlSize(width);
    if (widget_)
        widget_->resize(width_, height_);
}

void TFormControlObj::SetHeight(int height)
{
    height_ = ClampedControlSize(height);
    if (widget_)
        widget_->resize(width_, height_);
}

void TFormControlObj::SizePercent(int availWidth)
{
    if (!PercentWidth)
        return;
    const long long wanted = static_cast<long long>(FWidth) * availWidth / 100;
    SetWidth(static_cast<int>(std::max(10LL, std::min(wanted, static_cast<long long>(availWidth) - HSpaceL - HSpaceR))));
}

int TFormControlObj::TextHeightA(Canvas& canvas) const
{
    Font.SelectInto(canvas);
    return canvas.TextExtent(u"A").cy;
}

int TFormControlObj::TextWidth(Canvas& canvas, const std::u16string& text) const
{
    Font.SelectInto(canvas);
    return canvas.TextExtent(text).cx;
}

std::u16string TFormControlObj::ToWide(const std::string& text) const
{
    return MultibyteToWide(CodePage, text);
}

std::string TFormControlObj::FromWide(const std::u16string& text) const
{
    return WideToMultibyte(CodePage, text);
}

void TFormControlObj::ControlEntered()
{
    Focused = true;
    Document->Host().KeepInView(YValue, false);
    if (!OnFocusText.empty())
        FireHandler(&TFormEvents::OnObjectFocus, OnFocusText);
    if (!OnChangeText.empty())
        RememberValue();
}

void TFormControlObj::ControlExited()
{
    Focused = false;
    if (!OnChangeText.empty())
        FireChangeIfModified();
    if (!OnBlurText.empty())
        FireHandler(&TFormEvents::OnObjectBlur, OnBlurText);
    Document->Host().Invalidate();
}

void TFormControlObj::ControlClicked()
{
    FireHandler(&TFormEvents::OnObjectClick, OnClickText);
}

void TFormControlObj::ControlMouseMove(int x, int y)
{
    Document->Host().ControlMouseMove(Title, x, y);
}

// ---------------------------------------------------------------------------------------------
// The section's list

std::span<TFormControlObj* const> TFormControlList::Between(int from, int to) const
{
    auto before = [](const TFormControlObj* c, int pos) { return c->Pos < pos; };
    const auto first = std::lower_bound(items_.begin(), items_.end(), from, before);
    const auto last = std::lower_bound(first, items_.end(), std::max(from, to), before);
    return {first, last};
}

TFormControlObj* TFormControlList::FindByPosition(int pos) const
{
    const auto at = Between(pos, pos + 1);
    return at.empty() ? nullptr : at.front();
}

int TFormControlList::NextControlDistance(int pos) const
{
    auto before = [](const TFormControlObj* c, int p) { return c->Pos < p; };
    const auto next = std::lower_bound(items_.begin(), items_.end(), pos, before);
    return next == items_.end() ? 9999 : std::min(9999, (*next)->Pos - pos);
}

void TFormControlList::Decrement(int pos)
{
    for (TFormControlObj* c : items_)
        if (c->Pos > pos)
            --c->Pos;
}

// ---------------------------------------------------------------------------------------------
// The kind of an element

std::unique_ptr<TFormControlObj> CreateFormControl(TSectionList* document, std::uint8_t tagSymbol,
                                                   const TAttributeList& attributes, TProperties& props,
                                                   int sourcePos)
{
    if (tagSymbol == SelectSy) {
        const TAttribute* size = attributes.Find(SizeSy);
        // SIZE=1 shows a drop-down, as browsers show it, not a list box of one row (kept on purpose).
        if (attributes.Find(MultipleSy) || (size && size->Value > 1))
            return std::make_unique<TListBoxFormControlObj>(document, attributes, props, sourcePos);
        return std::make_unique<TComboFormControlObj>(document, attributes, props, sourcePos);
    }
    if (tagSymbol != InputSy)
        return std::make_unique<TTextAreaFormControlObj>(document, attributes, props, sourcePos);
    const TAttribute* typeAttr = attributes.Find(TypeSy);
    const std::string type = typeAttr ? LowerCase(Trim(typeAttr->Name)) : std::string("text");
    using Button = TButtonFormControlObj;
    if (type == "submit")
        return std::make_unique<Button>(document, attributes, props, sourcePos, Button::Submit);
    if (type == "reset")
        return std::make_unique<Button>(document, attributes, props, sourcePos, Button::Reset);
    if (type == "button")
        return std::make_unique<Button>(document, attributes, props, sourcePos, Button::Plain);
    if (type == "radio")
        return std::make_unique<TRadioButtonFormControlObj>(document, attributes, props, sourcePos);
    if (type == "checkbox")
        return std::make_unique<TCheckBoxFormControlObj>(document, attributes, props, sourcePos);
    if (type == "hidden")
        return std::make_unique<THiddenFormControlObj>(document, attributes, props, sourcePos);
    if (type == "image")
        return std::make_unique<TImageFormControlObj>(document, attributes, props, sourcePos);
    return std::make_unique<TEditFormControlObj>(document, attributes, props, sourcePos, type == "password");
}

}  // namespace velmoran
