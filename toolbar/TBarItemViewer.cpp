// The item viewers; see TBarItemViewer.h. Everything is drawn by our own code on the platform
// canvas (edges through DrawEdge, glyphs from fixed points), so that toolbars and menus look
// alike on every machine and the recording canvas can check the geometry to the pixel.
#include "toolbar/TBarItemViewer.h"

#include "platform/AppServices.h"
#include "platform/CanvasText.h"
#include "platform/Edges.h"
#include "platform/SystemColors.h"
#include "platform/SystemParams.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarCustomImageList.h"
#include "toolbar/TBarPostedClicks.h"
#include "toolbar/TBarView.h"

#include <QTimer>

#include <algorithm>
#include <vector>

namespace velmoran {

namespace {

constexpr int kSplitArrowWidth = 11;
constexpr int kDropdownArrowWidth = 8;

bool IsSubmenu(const TBarCustomItem& item)
{
    return item.HasStyle(istSubmenuKind);
}

bool IsSplit(const TBarCustomItem& item)
{
    return item.HasStyle(istSplitButton);
}

// The brush and pen of a filled glyph in one colour.
class GlyphColor {
public:
    GlyphColor(Canvas& canvas, ColorRef color)
        : canvas_(canvas), pen_(canvas.SelectPen(Pen{PenStyle::Solid, 0, color})),
          brush_(canvas.SelectBrush(Brush{BrushStyle::Solid, color}))
    {
    }
    ~GlyphColor()
    {
        canvas_.SelectPen(pen_);
        canvas_.SelectBrush(brush_);
    }
    GlyphColor(const GlyphColor&) = delete;
    GlyphColor& operator=(const GlyphColor&) = delete;

private:
    Canvas& canvas_;
    Pen pen_;
    Brush brush_;
};

std::vector<TPoint> Offset(std::vector<TPoint> points, int dx, int dy)
{
    for (TPoint& p : points) {
        p.X += dx;
        p.Y += dy;
    }
    return points;
}

TRect Inflated(TRect r, int dx, int dy)
{
    return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

TRect Moved(TRect r, int dx, int dy)
{
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void Edge(Canvas& canvas, TRect rect, unsigned edge, unsigned flags)
{
    DrawEdge(canvas, rect, edge, flags);
}

// A one-pixel edge with its inside filled in button face (a "filled" button).
void FilledEdge(Canvas& canvas, TRect rect, unsigned edge)
{
    DrawEdge(canvas, rect, edge, BF_RECT | BF_ADJUST);
    canvas.FillRect(rect, SystemColor(COLOR_BTNFACE));
}

}  // namespace

void FillDither(Canvas& canvas, const TRect& rect)
{
    const Brush saved =
        canvas.SelectBrush(PatternBrush(kDitherPattern, SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNHIGHLIGHT)));
    canvas.FillRect(rect);
    canvas.SelectBrush(saved);
}

// --- construction -----------------------------------------------------------------------------

TBarItemViewer::TBarItemViewer(TBarView& view, TBarCustomItem& item, int groupLevel)
    : view_(&view), item_(&item), groupLevel_(groupLevel), alive_(std::make_shared<TBarItemViewer*>(this))
{
    posted_clicks::AddUser();
}

TBarItemViewer::~TBarItemViewer()
{
    *alive_ = nullptr;
    posted_clicks::RemoveUser();
}

std::unique_ptr<TBarItemViewer> TBarCustomItem::CreateViewer(TBarView& view, int groupLevel)
{
    return std::make_unique<TBarItemViewer>(view, *this, groupLevel);
}

std::unique_ptr<TBarItemViewer> TBarSeparatorItem::CreateViewer(TBarView& view, int groupLevel)
{
    return std::make_unique<TBarSeparatorItemViewer>(view, *this, groupLevel);
}

// --- predicates -------------------------------------------------------------------------------

bool TBarItemViewer::IsToolbarStyle() const
{
    return view_->IsToolbar() || (item_->EffectiveOptions() & tboToolbarStyle);
}

bool TBarItemViewer::IsToolbarSize() const
{
    return view_->IsToolbar() || (item_->EffectiveOptions() & tboToolbarSize);
}

bool TBarItemViewer::IsRotated() const
{
    return view_->Orientation() == TBarViewOrientation::voVertical &&
           (item_->EffectiveOptions() & (tboNoRotation | tboImageAboveCaption)) == 0;
}

ImageList* TBarItemViewer::GetImageList() const
{
    if (ImageList* own = item_->Images())
        return own;
    for (const TBarView* view = view_; view != nullptr; view = view->ParentView()) {
        if (view->RootItem() && view->RootItem()->SubMenuImages())
            return view->RootItem()->SubMenuImages();
        if (view->ParentItem() && view->ParentItem()->SubMenuImages())
            return view->ParentItem()->SubMenuImages();
    }
    return nullptr;
}

bool TBarItemViewer::IsImageShown() const
{
    if (item_->ImageIndex() < 0)
        return false;
    switch (item_->DisplayMode()) {
    case TBarItemDisplayMode::nbdmDefault:
    case TBarItemDisplayMode::nbdmImageAndText: return true;
    case TBarItemDisplayMode::nbdmTextOnlyInMenus: return IsToolbarStyle();
    case TBarItemDisplayMode::nbdmTextOnly: return false;
    }
    return false;
}

std::string TBarItemViewer::CaptionText() const
{
    const std::string& caption = item_->Caption();
    return caption.substr(0, caption.find('\t'));
}

bool TBarItemViewer::IsCaptionShown() const
{
    if (item_->EffectiveOptions() & tboImageAboveCaption)
        return true;
    if (GetCaptionText().empty())
        return false;
    const TBarItemDisplayMode mode = item_->DisplayMode();
    return !IsToolbarSize() || item_->ImageIndex() < 0 || mode == TBarItemDisplayMode::nbdmTextOnly ||
           mode == TBarItemDisplayMode::nbdmImageAndText;
}

std::string TBarItemViewer::GetHintText() const
{
    std::string hint(ShortHint(item_->Hint()));
    if (hint.empty() && (item_->EffectiveOptions() & tboNoAutoHint) == 0) {
        // A submenu shows its own lines: its caption is no hint.
        const bool keepsEmpty = IsSubmenu(*item_) && !IsSplit(*item_) && IsCaptionShown();
        if (!keepsEmpty)
            hint = StripAccelChars(StripTrailingPunctuation(GetCaptionText()));
    }
    if (!hint.empty() && AppServices::Instance().HintShortCuts && item_->ShortCut() != 0) {
        const std::string shortCut = ShortCutToText(item_->ShortCut());
        hint = hint + " (" + shortCut + ")";
    }
    return hint;
}

int TBarItemViewer::Index() const
{
    return view_->IndexOf(this);
}

bool TBarItemViewer::UsesSameWidth() const
{
    const TBarItemOptions both = tboImageAboveCaption | tboSameWidth;
    return (item_->EffectiveOptions() & both) == both && IsToolbarSize();
}

// --- size -------------------------------------------------------------------------------------

int TBarItemViewer::MenuImageColumn(const ImageList* list, int height) const
{
    if (list == nullptr)
        return height;
    return (list->Width() + 3) * height / (list->Height() + 3);
}

void TBarItemViewer::CalcSize(Canvas& canvas, int& width, int& height)
{
    const bool toolbarStyle = IsToolbarStyle();
    width = toolbarStyle ? 6 : 0;
    height = toolbarStyle ? 6 : 0;
    const bool captionShown = IsCaptionShown();
    const std::string caption = GetCaptionText();
    const bool rotated = IsRotated();
    if (!toolbarStyle || captionShown) {
        const LogicalFont saved = canvas.Font();
        if (rotated)
            canvas.SetFont(RotatedFontOf(saved));
        const int textHeight = canvas.GetTextMetrics().Height;
        const int textWidth = GetTextWidth(canvas, caption, true);
        canvas.SetFont(saved);
        if (rotated) {
            width += textHeight;
            height += textWidth + (toolbarStyle ? 6 : 0);
        } else {
            height += textHeight;
            width += textWidth + (toolbarStyle ? 6 : 0);
        }
    }
    const ImageList* list = GetImageList();
    if (toolbarStyle) {
        if (IsImageShown() && list) {
            const bool beside = !rotated && (item_->EffectiveOptions() & tboImageAboveCaption) == 0;
            if (beside) {
                width += list->Width() + 1;
                height = std::max(height, list->Height() + 6);
            } else {
                height += list->Height();
                width = std::max(width, list->Width() + 7);
            }
        }
        if (IsSubmenu(*item_)) {
            if (IsSplit(*item_))
                width += kSplitArrowWidth;
            else if (item_->EffectiveOptions() & tboDropdownArrow)
                (rotated ? height : width) += kDropdownArrowWidth;
        }
        return;
    }
    const TextMetrics metrics = canvas.GetTextMetrics();
    height = metrics.Height + metrics.ExternalLeading + 4;
    if (list)
        height = std::max(height, list->Height() + 3);
    const int column = MenuImageColumn(list, height);
    width = column + 6 + GetTextWidth(canvas, caption, true);
    const std::string shortCut = item_->GetShortCutText();
    if (!shortCut.empty())
        width += GetTextWidth(canvas, shortCut, false) + height - 6;
    width += height;
}

// --- the simple operations --------------------------------------------------------------------

bool TBarItemViewer::Execute()
{
    TBarDoneActionData& done = view_->RootView()->DoneAction();
    done.DoneAction = TBarDoneActionData::tbdaClickItem;
    done.ClickItem = item_;
    done.Sound = view_->IsPopup();
    return true;
}

void TBarItemViewer::Entering()
{
    if (item_->OnSelect)
        item_->OnSelect(*item_, this, true);
}

void TBarItemViewer::Leaving()
{
    if (item_->OnSelect)
        item_->OnSelect(*item_, this, false);
}

void TBarItemViewer::LosingCapture()
{
    view_->InvalidateViewer(*this);
}

int TBarItemViewer::GetAccRole() const
{
    if (dynamic_cast<const TBarControlItem*>(item_))
        return ROLE_SYSTEM_CLIENT;
    if (item_->HasStyle(istSeparator))
        return ROLE_SYSTEM_SEPARATOR;
    if (view_->IsPopup() || view_->IsMenuBar())
        return ROLE_SYSTEM_MENUITEM;
    return IsSubmenu(*item_) ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
}

bool TBarItemViewer::IsPtInButtonPart(int x, int /*y*/) const
{
    if (!IsSubmenu(*item_))
        return true;
    if (!IsSplit(*item_))
        return false;
    const int arrow = IsToolbarStyle() ? kSplitArrowWidth : kMenuCheckWidth;
    return x < BoundsRect.Width() - arrow;
}

std::function<void(TBarItemViewer&, int)>& TBarItemViewer::DeferredActionHandler()
{
    static std::function<void(TBarItemViewer&, int)> handler;
    return handler;
}

void TBarItemViewer::PostDeferredAction(int code)
{
    std::weak_ptr<TBarItemViewer*> alive = alive_;
    QTimer::singleShot(0, [alive, code] {
        const auto self = alive.lock();
        if (self && *self && DeferredActionHandler())
            DeferredActionHandler()(**self, code & 0x7F);
    });
}

// --- paint ------------------------------------------------------------------------------------

struct TBarItemViewer::PaintState {
    TRect Rect;          // what is left for caption and image
    TRect Client;        // the viewer's whole rectangle
    bool Selected = false;
    bool Pushed = false;
    bool Shadow = false;
    bool ShowEnabled = false;
    bool HasArrow = false;
    bool ToolbarStyle = false;
    bool ImageShown = false;
    ImageList* Images = nullptr;
    int ImageColumn = 0;
    bool PushedInButtonPart = false;
};

void TBarItemViewer::DrawArrow(Canvas& canvas, const std::vector<TPoint>& points, ColorRef color)
{
    GlyphColor glyph(canvas, color);
    canvas.Polygon(points);
}

void TBarItemViewer::DrawItemCaption(Canvas& canvas, const TRect& rect, const std::string& text, unsigned format,
                                     bool disabledShadow)
{
    const auto draw = [&](const TRect& where) {
        if (IsRotated()) {
            DrawRotatedText(canvas, text, where, format);
            return;
        }
        TRect r = where;
        if (format & DT_HIDEPREFIX)
            DrawTextOf(canvas, StripAccelChars(text), r, (format & ~DT_HIDEPREFIX) | DT_NOPREFIX);
        else
            DrawTextOf(canvas, text, r, format);
    };
    if (!disabledShadow) {
        draw(rect);
        return;
    }
    const ColorRef text0 = canvas.SetTextColor(SystemColor(COLOR_BTNHIGHLIGHT));
    draw(Moved(rect, 1, 1));
    canvas.SetTextColor(SystemColor(COLOR_BTNSHADOW));
    draw(rect);
    canvas.SetTextColor(text0);
}

void TBarItemViewer::PaintToolbarFrame(Canvas& canvas, PaintState& s)
{
    TRect& r = s.Rect;
    const bool split = IsSplit(*item_);
    const bool vertical = view_->Orientation() == TBarViewOrientation::voVertical;
    TRect arrow{};
    TRect button = r;
    if (s.HasArrow && split) {
        arrow = TRect{r.Right - 2 - 9, r.Top, r.Right - 2, r.Bottom};
        button.Right = arrow.Left;
    } else if (s.HasArrow && vertical) {
        arrow = TRect{r.Left, r.Bottom - 3 - kDropdownArrowWidth, r.Right, r.Bottom - 3};
    } else if (s.HasArrow) {
        arrow = TRect{r.Right - 3 - kDropdownArrowWidth, r.Top, r.Right - 3, r.Bottom};
    }
    const bool checked = item_->Checked();
    const bool hot = s.Selected && s.ShowEnabled;
    if (split) {
        if (hot || checked) {
            const bool sunken = s.PushedInButtonPart || checked;
            Edge(canvas, button, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
        if (hot) {
            const bool sunken = s.Pushed && !view_->Captured();
            Edge(canvas, arrow, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        }
    } else if (hot || checked) {
        Edge(canvas, r, (s.Pushed || checked) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (s.HasArrow) {
        TRect a = arrow;
        if (!split && s.Pushed)
            a = Moved(a, 1, 1);
        const int cx = a.Left + a.Width() / 2;
        const int cy = a.Top + a.Height() / 2;
        const std::vector<TPoint> points = vertical
                                               ? std::vector<TPoint>{{cx - 1, cy + 2}, {cx - 1, cy - 2}, {cx - 3, cy}}
                                               : std::vector<TPoint>{{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}};
        if (s.Shadow) {
            DrawArrow(canvas, Offset(points, 1, 1), SystemColor(COLOR_BTNHIGHLIGHT));
            DrawArrow(canvas, points, SystemColor(COLOR_BTNSHADOW));
        } else {
            DrawArrow(canvas, points, canvas.GetTextColor());
        }
    }
    r = Inflated(r, -1, -1);
    // A split button's arrow part is not what is checked: dithered too, it would look pressed.
    if (checked && !hot)
        FillDither(canvas, split ? Inflated(button, -1, -1) : r);
    r = Inflated(r, -1, -1);
    const bool moved = split ? s.PushedInButtonPart : (checked || s.Pushed);
    if (moved)
        r = Moved(r, 1, 1);
    if (s.HasArrow) {
        if (split)
            r.Right = std::min(r.Right, arrow.Left);
        else if (vertical)
            r.Bottom = std::min(r.Bottom, arrow.Top);
        else
            r.Right = std::min(r.Right, arrow.Left);
    }
}

void TBarItemViewer::PaintMenuSubmenuPart(Canvas& canvas, const PaintState& s)
{
    const TRect& c = s.Client;
    TRect arrow{c.Right - kMenuCheckWidth, c.Top, c.Right, c.Bottom};
    if (IsSplit(*item_)) {
        TRect part = arrow;
        if (!s.Selected)
            Edge(canvas, part, EDGE_ETCHED, BF_LEFT);
        else if (!s.ShowEnabled)
            Edge(canvas, part, BDR_SUNKENOUTER, BF_LEFT);
        else
            FilledEdge(canvas, part, EDGE_SUNKEN);
    }
    // The arrow: four columns, seven rows high at the middle, pointing right.
    const int cx = arrow.Left + (kMenuCheckWidth - 4) / 2;
    const int cy = arrow.Top + arrow.Height() / 2;
    const std::vector<TPoint> points{{cx, cy - 3}, {cx + 3, cy}, {cx, cy + 3}};
    if (s.Shadow) {
        DrawArrow(canvas, Offset(points, 1, 1), SystemColor(COLOR_BTNHIGHLIGHT));
        DrawArrow(canvas, points, SystemColor(COLOR_BTNSHADOW));
    } else if (IsSplit(*item_) && s.Selected && s.ShowEnabled) {
        DrawArrow(canvas, Offset(points, 1, 1), SystemColor(COLOR_BTNTEXT));
    } else {
        DrawArrow(canvas, points, canvas.GetTextColor());
    }
}

void TBarItemViewer::PaintCheckGlyph(Canvas& canvas, const TRect& column)
{
    const int cx = column.Left + column.Width() / 2;
    const int cy = column.Top + column.Height() / 2;
    if (item_->RadioItem()) {
        {
            GlyphColor dot(canvas, SystemColor(COLOR_BTNTEXT));
            const int l = cx - 3, t = cy - 3, r = cx + 2, b = cy + 2;
            canvas.Polygon({{l + 1, t}, {r - 2, t}, {r - 1, t + 1}, {r - 1, b - 2}, {r - 2, b - 1}, {l + 1, b - 1},
                            {l, b - 2}, {l, t + 1}});
        }
        const Pen pen = canvas.SelectPen(Pen{PenStyle::Solid, 0, SystemColor(COLOR_BTNHIGHLIGHT)});
        const Brush brush = canvas.SelectBrush(Brush{BrushStyle::Null, 0});
        canvas.Ellipse(TRect{cx - 4, cy - 4, cx + 3, cy + 3});
        canvas.SelectPen(pen);
        canvas.SelectBrush(brush);
        return;
    }
    const int x = cx - 2;
    const int y = cy + 1;
    const Pen saved = canvas.SelectPen(Pen{PenStyle::Solid, 0, SystemColor(COLOR_BTNTEXT)});
    canvas.Polyline(Offset({{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}}, x, y));
    canvas.SelectPen(Pen{PenStyle::Solid, 0, SystemColor(COLOR_BTNHIGHLIGHT)});
    canvas.Polyline(Offset({{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}}, x, y));
    canvas.SelectPen(saved);
}

void TBarItemViewer::PaintImageColumn(Canvas& canvas, const PaintState& s)
{
    const bool checked = item_->Checked();
    TRect column;
    if (!s.ToolbarStyle) {
        column = TRect{s.Client.Left, s.Client.Top, s.Client.Left + s.ImageColumn, s.Client.Bottom};
        if ((s.Selected && s.ShowEnabled) || checked) {
            TRect inner = column;
            DrawEdge(canvas, inner, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            if (checked && !(s.Selected && s.ShowEnabled))
                FillDither(canvas, inner);
            else
                canvas.FillRect(inner, SystemColor(COLOR_BTNFACE));
        }
        if (checked)
            column = Moved(column, 1, 1);
    } else {
        column = s.Rect;
        if (IsCaptionShown()) {
            const bool above = IsRotated() || (item_->EffectiveOptions() & tboImageAboveCaption);
            if (above)
                column.Bottom = column.Top + s.Images->Height() + 2;
            else
                column.Right = column.Left + s.Images->Width() + 2;
        }
    }
    if (!s.ImageShown) {
        if (checked && !s.ToolbarStyle)
            PaintCheckGlyph(canvas, column);
        return;
    }
    const int x = column.Left + (column.Width() - s.Images->Width()) / 2;
    const int y = column.Top + (column.Height() - s.Images->Height()) / 2;
    if (auto* states = dynamic_cast<TBarCustomImageList*>(s.Images))
        states->DrawState(canvas, x, y, item_->ImageIndex(), s.ShowEnabled, s.Selected, checked);
    else
        s.Images->Draw(canvas, x, y, item_->ImageIndex(), s.ShowEnabled);
}

void TBarItemViewer::Paint(Canvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
                           bool useDisabledShadow)
{
    PaintState s;
    s.Client = clientAreaRect;
    s.Rect = clientAreaRect;
    s.Selected = isSelected;
    s.Pushed = isPushed;
    s.Shadow = useDisabledShadow;
    s.ShowEnabled = item_->Enabled() || view_->Customizing();
    s.HasArrow = IsSubmenu(*item_) && (IsSplit(*item_) || (item_->EffectiveOptions() & tboDropdownArrow));
    s.ToolbarStyle = IsToolbarStyle();
    s.Images = GetImageList();
    s.ImageShown = IsImageShown() && s.Images && item_->ImageIndex() < s.Images->Count();
    s.PushedInButtonPart = isPushed && view_->Captured();
    const TextMetrics metrics = canvas.GetTextMetrics();
    s.ImageColumn = MenuImageColumn(s.Images, clientAreaRect.Height());

    if (!s.ToolbarStyle && isSelected) {
        TRect fill = clientAreaRect;
        if (s.ImageShown || item_->Checked())
            fill.Left += s.ImageColumn + 1;
        if (IsSplit(*item_) && s.ShowEnabled)
            fill.Right -= kMenuCheckWidth;
        canvas.FillRect(fill);
    }
    if (s.ToolbarStyle)
        PaintToolbarFrame(canvas, s);

    canvas.SetBkMode(BkMode::Transparent);
    const LogicalFont savedFont = canvas.Font();
    if (item_->EffectiveOptions() & tboDefault) {
        LogicalFont bold = savedFont;
        bold.Weight = 700;
        canvas.SetFont(bold);
    }
    const bool hidePrefix = view_->HideKeyboardCuesStyle() && !view_->KeyboardCuesShown() && !AreKeyboardCuesShown();
    const unsigned prefix = hidePrefix ? DT_HIDEPREFIX : 0;
    if (IsCaptionShown()) {
        TRect text = s.Rect;
        if (!s.ToolbarStyle) {
            text.Left += s.ImageColumn + 3;
            if (text.Height() == metrics.Height + metrics.ExternalLeading + 4)
                text.Bottom -= 1;
            text.Top += metrics.ExternalLeading;
            DrawItemCaption(canvas, text, GetCaptionText(), DT_SINGLELINE | DT_VCENTER | prefix, s.Shadow);
        } else {
            if (s.ImageShown) {
                if (IsRotated() || (item_->EffectiveOptions() & tboImageAboveCaption))
                    text.Top += s.Images->Height() + 1;
                else
                    text.Left += s.Images->Width() + 1;
            }
            DrawItemCaption(canvas, text, GetCaptionText(), DT_SINGLELINE | DT_CENTER | DT_VCENTER | prefix,
                            s.Shadow);
        }
    }
    if (!s.ToolbarStyle) {
        const std::string shortCut = item_->GetShortCutText();
        if (!shortCut.empty()) {
            TRect r = s.Client;
            r.Right -= s.Client.Height();
            DrawItemCaption(canvas, r, shortCut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX, s.Shadow);
        }
        if (IsSubmenu(*item_))
            PaintMenuSubmenuPart(canvas, s);
    }
    canvas.SetFont(savedFont);
    if (s.ImageShown || (!s.ToolbarStyle && item_->Checked()))
        PaintImageColumn(canvas, s);
}

// --- separators -------------------------------------------------------------------------------

void TBarSeparatorItemViewer::CalcSize(Canvas& /*canvas*/, int& width, int& height)
{
    if (IsToolbarStyle()) {
        width = 6;
        height = 6;
    } else {
        width = 0;
        height = 10;
    }
}

void TBarSeparatorItemViewer::Paint(Canvas& canvas, const TRect& clientAreaRect, bool /*isSelected*/,
                                    bool /*isPushed*/, bool /*useDisabledShadow*/)
{
    if (auto* separator = dynamic_cast<TBarSeparatorItem*>(&Item()); separator && separator->Blank())
        return;
    const TBarViewOrientation orientation = View().Orientation();
    bool horizontal = !IsToolbarStyle() || orientation == TBarViewOrientation::voVertical;
    if (LineSeparator)
        horizontal = !horizontal;
    TRect r = clientAreaRect;
    const int width = r.Width();
    const int height = r.Height();
    if (horizontal) {
        r.Top = r.Top + height / 2 - 1;
        int inset = 0;
        if (!IsToolbarStyle())
            inset = 12;
        else if (LineSeparator)
            inset = orientation == TBarViewOrientation::voFloating ? 1 : 4;
        r.Left += inset;
        r.Right -= inset;
        DrawEdge(canvas, r, EDGE_ETCHED, BF_TOP);
    } else {
        r.Left = r.Left + width / 2 - 1;
        if (LineSeparator) {
            r.Top += 4;
            r.Bottom -= 4;
        }
        DrawEdge(canvas, r, EDGE_ETCHED, BF_LEFT);
    }
}

}  // namespace velmoran
