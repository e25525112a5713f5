// Glyph strips, the shared glyph lists and the button layout; see ButtonGlyph.h.
#include "controls/ButtonGlyph.h"

#include "controls/DrawUtils.h"
#include "platform/CanvasText.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <utility>

namespace velmoran {

namespace {

// The glyphs alive; the shared cache lives while there are any, or while it still holds lists.
int& GlyphCount()
{
    static int count = 0;
    return count;
}

std::unique_ptr<TGlyphCache>& Cache()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

constexpr ColorRef kMagenta = RGBRef(255, 0, 255);
// The arrow's rows are 7, 5, 3 and 1 pixels wide.
constexpr int kArrowWidth = 7;
constexpr int kArrowHeight = 4;

int StateIndex(TButtonState state)
{
    return static_cast<int>(state);
}

// Each line shortened to the width, the lines joined again, trailing blanks cut.
std::u16string ShortenLines(std::u16string_view caption, const Canvas& canvas, int width)
{
    std::u16string result;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = caption.find(u'\n', start);
        std::u16string_view line = caption.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        result += ShortenString(line, canvas, width);
        if (end == std::u16string_view::npos)
            break;
        result += u'\n';
        start = end + 1;
    }
    while (!result.empty() && (result.back() == u' ' || result.back() == u'\n'))
        result.pop_back();
    return result;
}

// Where the glyph's and the caption's boxes go in a client of that size: centred across the
// layout's axis; along it by margin and spacing, -1 spreading them out.
std::pair<TPoint, TPoint> PlaceBoxes(TSize client, TSize glyph, TSize text, TButtonLayout layout, int margin,
                                     int spacing)
{
    const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    TPoint glyphPos;
    TPoint textPos;
    if (horizontal) {
        glyphPos.Y = client.cy / 2 - glyph.cy / 2;
        textPos.Y = client.cy / 2 - text.cy / 2;
    } else {
        glyphPos.X = client.cx / 2 - glyph.cx / 2;
        textPos.X = client.cx / 2 - text.cx / 2;
    }
    if (text.cx == 0 || glyph.cx == 0)
        spacing = 0;
    const int clientAxis = horizontal ? client.cx : client.cy;
    const int glyphAxis = horizontal ? glyph.cx : glyph.cy;
    const int textAxis = horizontal ? text.cx : text.cy;
    if (margin == -1 && spacing == -1) {
        margin = spacing = (clientAxis - glyphAxis - textAxis) / 3;
    } else if (margin == -1) {
        margin = clientAxis / 2 - (glyphAxis + spacing + textAxis) / 2;
    } else if (spacing == -1) {
        spacing = (clientAxis - margin - glyphAxis) / 2 - textAxis / 2;
    }
    // Along the axis: from the leading edge (glyph left or top) or from the trailing one.
    const bool trailing = layout == TButtonLayout::blGlyphRight || layout == TButtonLayout::blGlyphBottom;
    const int glyphAlong = trailing ? clientAxis - margin - glyphAxis : margin;
    (horizontal ? glyphPos.X : glyphPos.Y) = glyphAlong;
    (horizontal ? textPos.X : textPos.Y) = trailing ? glyphAlong - spacing - textAxis : glyphAlong + glyphAxis + spacing;
    return {glyphPos, textPos};
}

}  // namespace

// --- TGlyphList ---

TGlyphList::TGlyphList(int width, int height) : ImageList(width, height) {}

int TGlyphList::AddGlyph(const QImage& picture, ColorRef maskColor)
{
    const auto free = std::find(used_.begin(), used_.end(), false);
    const int slot = static_cast<int>(free - used_.begin());
    const QImage masked = MaskedByColor(picture, maskColor);
    if (free == used_.end()) {
        Add(masked);
        used_.push_back(true);
    } else {
        Replace(slot, masked);
        *free = true;
    }
    ++usedCount_;
    return slot;
}

void TGlyphList::DeleteGlyph(int index)
{
    if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(index)])
        return;
    used_[static_cast<std::size_t>(index)] = false;
    --usedCount_;
}

// --- TGlyphCache ---

TGlyphCache::TGlyphCache() = default;
TGlyphCache::~TGlyphCache() = default;

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height)
            return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (list && list->UsedCount() == 0)
        std::erase_if(lists_, [list](const std::unique_ptr<TGlyphList>& l) { return l.get() == list; });
}

TGlyphCache* SharedGlyphCache()
{
    return Cache().get();
}

// --- TExButtonGlyph ---

TExButtonGlyph::TExButtonGlyph() : transparentColor_(kMagenta)
{
    indexes_.fill(-1);
    if (GlyphCount()++ == 0 && !Cache())
        Cache() = std::make_unique<TGlyphCache>();
}

TExButtonGlyph::~TExButtonGlyph()
{
    Invalidate();
    if (--GlyphCount() == 0 && Cache()->Empty())
        Cache().reset();
}

void TExButtonGlyph::Invalidate()
{
    if (list_) {
        for (int& index : indexes_) {
            list_->DeleteGlyph(index);
            index = -1;
        }
        Cache()->ReturnList(list_);
        list_ = nullptr;
    }
    indexes_.fill(-1);
}

void TExButtonGlyph::SetGlyph(const QImage& glyph)
{
    Invalidate();
    glyph_ = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    if (!glyph_.isNull()) {
        const QRgb corner = glyph_.pixel(0, glyph_.height() - 1);
        transparentColor_ = RGBRef(qRed(corner), qGreen(corner), qBlue(corner));
        if (glyph_.width() % glyph_.height() == 0) {
            const int count = glyph_.width() / glyph_.height();
            numGlyphs_ = count > kMaxGlyphs ? 1 : count;
        }
    } else {
        numGlyphs_ = 1;
    }
    if (OnChange)
        OnChange();
}

void TExButtonGlyph::SetTransparentColor(ColorRef color)
{
    if (color == transparentColor_)
        return;
    Invalidate();
    transparentColor_ = color;
    if (OnChange)
        OnChange();
}

void TExButtonGlyph::SetNumGlyphs(int count)
{
    count = std::min(count, kMaxGlyphs);
    if (count < 1 || count == numGlyphs_)
        return;
    Invalidate();
    numGlyphs_ = count;
    if (OnChange)
        OnChange();
}

TSize TExButtonGlyph::GlyphSize() const
{
    if (glyph_.isNull())
        return {};
    return {glyph_.width() / numGlyphs_, glyph_.height()};
}

QImage TExButtonGlyph::StateImage(TButtonState state, ColorRef& maskColor) const
{
    const TSize size = GlyphSize();
    const int index = StateIndex(state) < numGlyphs_ ? StateIndex(state) : 0;
    maskColor = transparentColor_;
    if (state == TButtonState::bsDisabled && numGlyphs_ == 1) {
        maskColor = SystemColor(COLOR_BTNFACE);
        return CreateDisabledBitmap(glyph_.copy(0, 0, size.cx, size.cy), transparentColor_);
    }
    if (state == TButtonState::bsInactive && numGlyphs_ < kMaxGlyphs)
        return GrayedGlyph(glyph_.copy(0, 0, size.cx, size.cy), transparentColor_);
    return glyph_.copy(index * size.cx, 0, size.cx, size.cy);
}

int TExButtonGlyph::CreateButtonGlyph(TButtonState state)
{
    if (state == TButtonState::bsDown && numGlyphs_ < 3)
        state = TButtonState::bsUp;
    const TSize size = GlyphSize();
    if (size.cx < 1 || size.cy < 1)
        return -1;
    int& index = indexes_[static_cast<std::size_t>(StateIndex(state))];
    if (index >= 0)
        return index;
    if (!list_)
        list_ = Cache()->GetList(size.cx, size.cy);
    ColorRef maskColor = transparentColor_;
    const QImage image = StateImage(state, maskColor);
    index = list_->AddGlyph(image, maskColor);
    return index;
}

unsigned TExButtonGlyph::TextFlags() const
{
    const unsigned align = Alignment == TAlignment::taLeftJustify    ? DT_LEFT
                           : Alignment == TAlignment::taRightJustify ? DT_RIGHT
                                                                     : DT_CENTER;
    return align | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0u);
}

TButtonLayoutResult TExButtonGlyph::CalcButtonLayout(Canvas& canvas, const TRect& client, TPoint offset,
                                                     std::u16string_view caption, TButtonLayout layout, int margin,
                                                     int spacing, bool drawArrow) const
{
    const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    const int clientWidth = client.Width();
    const int clientHeight = client.Height();
    TSize glyph = GlyphSize();
    const int fixed = (margin != -1 ? margin : 0) + (spacing != -1 ? spacing : 0);
    const int limitWidth =
        std::max(0, horizontal ? clientWidth - glyph.cx - fixed - (drawArrow ? 9 : 0) : clientWidth);
    const int limitHeight = std::max(0, horizontal ? clientHeight : clientHeight - glyph.cy - fixed);

    TButtonLayoutResult result;
    result.Caption = WordWrap ? std::u16string(caption) : ShortenLines(caption, canvas, limitWidth);
    TSize text;
    if (!result.Caption.empty()) {
        TRect measure{0, 0, limitWidth, 0};
        DrawText(canvas, result.Caption, measure, DT_CALCRECT | TextFlags());
        text = {std::min(measure.Width(), limitWidth), std::min(measure.Height(), limitHeight)};
    }
    const TSize drawnText = text;
    if (drawArrow) {
        if (glyph.cx > 0 && layout != TButtonLayout::blGlyphLeft)
            glyph.cx += 6;
        else
            text.cx += 9;
    }

    const auto [glyphPos, textPos] = PlaceBoxes({clientWidth, clientHeight}, glyph, text, layout, margin, spacing);
    const int dx = client.Left + offset.X;
    const int dy = client.Top + offset.Y;
    result.GlyphPos = {glyphPos.X + dx, glyphPos.Y + dy};
    result.TextBounds = {textPos.X + dx, textPos.Y + dy, textPos.X + dx + drawnText.cx, textPos.Y + dy + drawnText.cy};
    return result;
}

void TExButtonGlyph::DrawArrow(Canvas& canvas, const TButtonLayoutResult& place, const TRect& client, TPoint offset,
                               TButtonLayout layout, bool disabled) const
{
    const TSize glyph = GlyphSize();
    int x;
    int y;
    if (glyph.cx > 0 && layout != TButtonLayout::blGlyphLeft) {
        x = place.GlyphPos.X + glyph.cx + 1;
        y = place.GlyphPos.Y + glyph.cy / 2 - kArrowHeight / 2;
    } else if (!place.Caption.empty()) {
        x = place.TextBounds.Right + 3;
        y = place.TextBounds.Top + place.TextBounds.Height() / 2 - kArrowHeight / 2;
    } else {
        x = client.Left + offset.X + client.Width() / 2 - kArrowWidth / 2;
        y = client.Top + offset.Y + client.Height() / 2 - kArrowHeight / 2;
    }
    const auto triangle = [&canvas](int left, int top, ColorRef color) {
        for (int row = 0; row < kArrowHeight; ++row)
            canvas.FillRect({left + row, top + row, left + kArrowWidth - row, top + row + 1}, color);
    };
    if (disabled) {
        triangle(x + 1, y + 1, SystemColor(COLOR_BTNHIGHLIGHT));
        triangle(x, y, SystemColor(COLOR_BTNSHADOW));
    } else {
        triangle(x, y, SystemColor(COLOR_BTNTEXT));
    }
}

TRect TExButtonGlyph::DrawButton(Canvas& canvas, const TRect& client, TPoint offset, std::u16string_view caption,
                                 TButtonLayout layout, int margin, int spacing, TButtonState state, bool drawArrow)
{
    const TButtonLayoutResult place =
        CalcButtonLayout(canvas, client, offset, caption, layout, margin, spacing, drawArrow);
    const int index = CreateButtonGlyph(state);
    if (index >= 0)
        list_->Draw(canvas, place.GlyphPos.X, place.GlyphPos.Y, index);
    const bool disabled = state == TButtonState::bsDisabled;
    if (!place.Caption.empty()) {
        const BkMode mode = canvas.SetBkMode(BkMode::Transparent);
        TRect bounds = place.TextBounds;
        if (disabled) {
            const ColorRef color = canvas.SetTextColor(SystemColor(COLOR_BTNHIGHLIGHT));
            TRect shifted{bounds.Left + 1, bounds.Top + 1, bounds.Right + 1, bounds.Bottom + 1};
            DrawText(canvas, place.Caption, shifted, TextFlags());
            canvas.SetTextColor(SystemColor(COLOR_BTNSHADOW));
            DrawText(canvas, place.Caption, bounds, TextFlags());
            canvas.SetTextColor(color);
        } else {
            DrawText(canvas, place.Caption, bounds, TextFlags());
        }
        canvas.SetBkMode(mode);
    }
    if (drawArrow)
        DrawArrow(canvas, place, client, offset, layout, disabled);
    return place.TextBounds;
}

QImage GrayedGlyph(const QImage& picture, ColorRef transparentColor)
{
    QImage result = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = ColorToQRgb(transparentColor);
    const QRgb face = ColorToQRgb(SystemColor(COLOR_BTNFACE));
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == transparent || line[x] == face)
                continue;
            const int g = (77 * qRed(line[x]) + 150 * qGreen(line[x]) + 29 * qBlue(line[x])) >> 8;
            line[x] = qRgb(g, g, g);
        }
    }
    return result;
}

}  // namespace velmoran
