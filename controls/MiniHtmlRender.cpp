// The caption engine's pass over one line: text pieces measured or drawn, tags applied, images
// placed; see MiniHtml.h.
#include "controls/MiniHtml.h"

#include "controls/ControlFont.h"
#include "controls/MiniHtmlText.h"
#include "controls/PictureContainer.h"
#include "html/base/WideText.h"
#include "platform/CanvasText.h"
#include "platform/ImageList.h"
#include "platform/SystemIcons.h"
#include "platform/core/CodePage.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <cmath>

namespace velmoran {

namespace {

constexpr int kListIndent = 12;
constexpr int kBold = 700;
constexpr int kNormal = 400;

char At(std::string_view s, std::size_t i)
{
    return i < s.size() ? s[i] : '\0';
}

ColorRef HexColor(std::string_view digits)
{
    int rgb[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 6 && i < digits.size(); ++i) {
        const char c = UpperChar(digits[i]);
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
        rgb[i / 2] = rgb[i / 2] * 16 + v;
    }
    return RGBRef(rgb[0], rgb[1], rgb[2]);
}

// "#RRGGBB" or a colour name.
ColorRef ColorValue(std::string_view value)
{
    if (!value.empty() && value.front() == '#')
        return HexColor(value.substr(1));
    return ParseHtmlColor(LowerCase(value));
}

int FontSizePoints(int size)
{
    switch (size) {
    case 1: return 8;
    case 2: return 10;
    case 3: return 12;
    case 4: return 14;
    case 5: return 16;
    default: return size;
    }
}

// A picture named by a caption: from the container by name when the name has no ":", from the
// cache by address when it holds "://" (loaded there first when missing).
// A file is looked up by its canonical path, not the address as written: else each spelling of one
// file would keep a picture of its own, and a metafile an image of up to 64 MB for each.
THtmlPicture* FindCaptionPicture(const TMiniHtmlInputs& in, std::string_view name)
{
    try {
        if (name.find(':') == std::string_view::npos)
            return in.PictureContainer ? in.PictureContainer->FindPicture(UpperCase(name)) : nullptr;
        if (name.find("://") == std::string_view::npos || !in.PictureCache)
            return nullptr;
        const std::string address = PictureCacheKey(std::string(name));
        if (THtmlPicture* found = in.PictureCache->FindPicture(address))
            return found;
        THtmlPicture* picture = in.PictureCache->AddPicture();
        picture->Asynch = false;
        picture->LoadFromURL(address);
        return picture;
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The image of an IMG tag: what it is, its size in device pixels and how to draw it.
struct CaptionImage {
    int Width = 0;
    int Height = 0;
    int ListIndex = -1;     // IDX:n
    QImage Icon;            // SSYS: / LSYS:
    THtmlPicture* Picture = nullptr;
    bool Stretched = false; // WIDTH and HEIGHT given
    bool Present() const { return Width > 0 || Height > 0; }
};

class LinePass {
public:
    LinePass(Canvas& canvas, const TMiniHtmlInputs& in, TMiniHtmlOutputs& out, TMiniHtmlPass& pass,
             TMiniHtmlLine& line, TMiniHtmlMode mode, const TRect& box, int available, std::string_view text)
        : c_(canvas), in_(in), out_(out), pass_(pass), line_(line), mode_(mode), box_(box), available_(available),
          start_(text), x1_(box.Left), y1_(box.Top), x2_(box.Right), y2_(box.Bottom - line.SubOffset)
    {
    }

    std::string_view Run(std::string_view& text);

private:
    bool Painting() const { return mode_ == TMiniHtmlMode::Paint; }
    std::string_view Source() const { return start_.substr(0, consumed_); }
    unsigned TextFlags() const
    {
        return DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | (in_.WordWrap ? 0u : DT_END_ELLIPSIS);
    }
    void Consume(std::string_view& text, std::size_t count)
    {
        text.remove_prefix(count);
        consumed_ += count;
    }
    void UseFont();
    int MeasureWidth(std::u16string_view piece);
    int DrawPiece(std::u16string_view piece);
    void ErrorUnderline(int left, int right, int bottom);
    bool Piece(std::string_view& text);
    void Tag(std::string_view& text);
    void OpenTag(std::string_view tag, std::string_view upper);
    void CloseTag(std::string_view tag, std::string_view upper);
    void OpenAnchor(std::string_view tag);
    void CloseAnchor();
    void CloseFocus();
    void Font(std::string_view tag, std::string_view upper);
    void Body(std::string_view tag, std::string_view upper);
    void Paragraph(std::string_view tag, std::string_view upper);
    void ListItem();
    void Image(std::string_view tag, std::string_view upper);
    CaptionImage FindImage(std::string_view tag, std::string_view upper);
    void DrawImage(const CaptionImage& image);
    void Rule();

    Canvas& c_;
    const TMiniHtmlInputs& in_;
    TMiniHtmlOutputs& out_;
    TMiniHtmlPass& pass_;
    TMiniHtmlLine& line_;
    TMiniHtmlMode mode_;
    TRect box_;
    int available_;
    std::string_view start_;
    std::size_t consumed_ = 0;
    int x1_, y1_, x2_, y2_;
    int trailingSpace_ = 0;
};

void LinePass::UseFont()
{
    c_.SetFont(pass_.Font);
    c_.SetTextColor(pass_.FontColor);
    if (pass_.Brush == clNone) {
        c_.SetBkMode(BkMode::Transparent);
    } else {
        c_.SetBkMode(BkMode::Opaque);
        c_.SetBkColor(pass_.Brush);
    }
}

int LinePass::MeasureWidth(std::u16string_view piece)
{
    c_.SetFont(pass_.Font);
    TRect r{box_.Left, y1_, x2_, y2_};
    DrawText(c_, piece, r, TextFlags() | DT_CALCRECT);
    return r.Width();
}

int LinePass::DrawPiece(std::u16string_view piece)
{
    const int bottom = y2_ - (pass_.Sup ? line_.SupOffset : 0) + (pass_.Sub ? line_.SubOffset : 0) - line_.Lift;
    UseFont();
    if (pass_.Shadow) {
        const int o = in_.ShadowOffset;
        TRect shadow{x1_ + o, y1_ + o, x2_ + o, bottom + o};
        c_.SetTextColor(in_.ShadowColor);
        DrawText(c_, piece, shadow, TextFlags());
        c_.SetTextColor(pass_.FontColor);
    }
    TRect r{x1_, y1_, x2_, bottom};
    DrawText(c_, piece, r, TextFlags());
    const int width = MeasureWidth(piece);
    if (pass_.Focus)
        out_.FocusedHref = pass_.Href;
    if (pass_.ErrorUnderline)
        ErrorUnderline(x1_, x1_ + width, bottom);
    return width;
}

// A red zig-zag of 2-pixel steps under the piece, in phase with every fourth pixel.
void LinePass::ErrorUnderline(int left, int right, int bottom)
{
    int x = left - (left % 2 + 2) % 2;
    int phase = x % 4 == 0 ? 2 : 0;
    std::vector<TPoint> points;
    for (; x <= right; x += 2) {
        points.push_back({x, bottom + phase - 1});
        phase = 2 - phase;
    }
    const Pen old = c_.SelectPen(Pen{PenStyle::Solid, 1, clRed});
    c_.Polyline(points);
    c_.SelectPen(old);
}

// One text piece; false when the line ends before it.
bool LinePass::Piece(std::string_view& text)
{
    std::size_t end = std::min(text.find('<'), text.size());
    if (in_.WordWrap) {
        const std::size_t space = text.find(' ');
        if (space < end)
            end = space + 1;
    }
    if (end == 0)
        return true;
    const std::string_view raw = text.substr(0, end);
    const std::string decoded = DecodePieceEntities(raw);
    const std::u16string piece = Utf8ToWide(decoded);
    int width = 0;
    if (!pass_.Hidden)
        width = Painting() ? DrawPiece(piece) : MeasureWidth(piece);
    c_.SetFont(pass_.Font);
    const int height = c_.GetTextMetrics().Height;
    const int before = line_.Width;
    line_.Width += width;
    bool dropRest = false;
    if (!Painting()) {
        // Wrapping, a piece past the line's end stays with its predecessor when no space parts
        // them, and a line that consumed nothing takes its first piece whatever its width. Not
        // wrapping, a piece past the end is the line's last (cut with "...") and the caption's.
        bool fits = available_ > line_.Width || available_ <= width;
        const std::string_view source = Source();
        if (!fits && in_.WordWrap && !source.empty() && source.back() != ' ')
            fits = true;
        if (!fits && in_.WordWrap && !source.empty()) {
            line_.Width -= width;
            line_.Ended = true;
            return false;
        }
        dropRest = !fits;
    }
    // Only a piece that stays on this line counts: one carried to the next would make this line as
    // tall as itself and stand twice in the plain text.
    if (pass_.Sub)
        line_.SubOffset = std::max(line_.SubOffset, height / 4);
    if (pass_.Sup)
        line_.SupOffset = std::max(line_.SupOffset, height / 4);
    line_.Height = std::max(line_.Height, height);
    if (mode_ == TMiniHtmlMode::Measure)
        out_.PlainText += decoded;
    if (mode_ == TMiniHtmlMode::HitTest && pass_.InAnchor && !pass_.Hidden) {
        const int x = in_.X - box_.Left;
        if (x >= before && x <= line_.Width) {
            line_.TextAnchorHit = true;
            if (in_.Y > y1_) {
                out_.HrefUnderPoint = pass_.Href;
                pass_.AnchorHit = true;
            }
        }
    }
    trailingSpace_ = raw.back() == ' ' ? c_.TextExtent(u" ").cx : 0;
    x1_ += width;
    Consume(text, end);
    if (dropRest)
        text = {};
    return true;
}

void LinePass::Tag(std::string_view& text)
{
    const std::size_t close = text.find('>');
    const std::string_view tag = close == std::string_view::npos ? text : text.substr(0, close + 1);
    const std::string upper = UpperCase(tag);
    if (At(upper, 1) == '/') {
        if (text.size() >= 4)
            CloseTag(tag, upper);
    } else {
        OpenTag(tag, upper);
    }
    if (line_.Overflowed)
        return;
    if (close == std::string_view::npos) {
        consumed_ += text.size();
        text = {};
    } else {
        Consume(text, close + 1);
    }
}

void LinePass::OpenTag(std::string_view tag, std::string_view upper)
{
    switch (At(upper, 1)) {
    case 'A': OpenAnchor(tag); break;
    case 'B':
        switch (At(upper, 2)) {
        case 'R':
            line_.Ended = true;
            if (mode_ == TMiniHtmlMode::Measure)
                out_.PlainText += '\r';
            break;
        case 'L':
            if (!in_.BlinkPhase)
                pass_.FontColor = pass_.Background;
            break;
        case 'O': Body(tag, upper); break;
        default: pass_.Font.Weight = kBold; break;
        }
        break;
    case 'E': pass_.ErrorUnderline = true; break;
    case 'F': Font(tag, upper); break;
    case 'H':
        if (At(upper, 2) == 'I' && Painting()) {
            pass_.HighlightColorSaved = pass_.FontColor;
            pass_.HighlightBrushSaved = pass_.Brush;
            pass_.Brush = SystemColor(COLOR_HIGHLIGHT);
            pass_.FontColor = SystemColor(COLOR_HIGHLIGHTTEXT);
        } else if (At(upper, 2) == 'R') {
            Rule();
        }
        break;
    case 'I':
        if (At(upper, 2) == 'N') {
            const std::optional<std::string_view> x = TagAttribute(tag, upper, "X");
            if (x && CleanNumber(*x) && LeadingNumber(*x) > line_.Width) {
                line_.Width = LeadingNumber(*x);
                x1_ = in_.Rect.Left + line_.Width;
            }
        } else if (At(upper, 2) == 'M') {
            Image(tag, upper);
        } else {
            pass_.Font.Italic = true;
        }
        break;
    case 'L': ListItem(); break;
    case 'P': Paragraph(tag, upper); break;
    case 'R': {
        const std::optional<std::string_view> angle = TagAttribute(tag, upper, "A");
        if (!pass_.EscapementSaved)
            pass_.EscapementSaved = pass_.Font.Escapement;
        pass_.Font.Escapement = angle ? LeadingNumber(*angle) * 10 : 0;
        break;
    }
    case 'S':
        if (At(upper, 2) == 'U') {
            if (At(upper, 3) == 'B')
                pass_.Sub = true;
            else if (At(upper, 3) == 'P')
                pass_.Sup = true;
        } else if (At(upper, 2) == 'H') {
            pass_.Shadow = true;
        } else {
            pass_.Font.StrikeOut = true;
        }
        break;
    case 'U':
        if (At(upper, 2) == 'L')
            ++pass_.ListLevel;
        else
            pass_.Font.Underline = true;
        break;
    case 'Z': pass_.Hidden = true; break;
    default: break;
    }
}

void LinePass::CloseTag(std::string_view, std::string_view upper)
{
    switch (At(upper, 2)) {
    case 'A': CloseAnchor(); break;
    case 'B':
        if (At(upper, 3) == 'L')
            pass_.FontColor = pass_.BaseColor;
        else
            pass_.Font.Weight = kNormal;
        break;
    case 'E': pass_.ErrorUnderline = false; break;
    case 'F':
        pass_.Font.Face = pass_.BaseFont.Face;
        pass_.Font.Height = pass_.BaseFont.Height;
        if (Painting() && !in_.Selected) {
            pass_.FontColor = pass_.BaseColor;
            pass_.Brush = pass_.FontBrushSaved;
        }
        break;
    case 'H':
        if (At(upper, 3) == 'I' && Painting()) {
            pass_.FontColor = pass_.HighlightColorSaved;
            pass_.Brush = pass_.HighlightBrushSaved;
        }
        break;
    case 'I': pass_.Font.Italic = false; break;
    case 'P':
        line_.Ended = true;
        if (Painting())
            pass_.Brush = pass_.ParagraphBrushSaved;
        break;
    case 'R':
        if (pass_.EscapementSaved) {
            pass_.Font.Escapement = *pass_.EscapementSaved;
            pass_.EscapementSaved.reset();
        }
        break;
    case 'S':
        if (At(upper, 3) == 'U') {
            pass_.Sub = false;
            pass_.Sup = false;
        } else if (At(upper, 3) == 'H') {
            pass_.Shadow = false;
        } else {
            pass_.Font.StrikeOut = false;
        }
        break;
    case 'U':
        if (At(upper, 3) == '>' || pass_.ListLevel == 0)
            pass_.Font.Underline = false;
        else
            --pass_.ListLevel;
        break;
    case 'Z': pass_.Hidden = false; break;
    default: break;
    }
}

void LinePass::OpenAnchor(std::string_view tag)
{
    ++pass_.AnchorCounter;
    const bool hovered = in_.HoverStyling && pass_.AnchorCounter == in_.HoveredAnchor;
    if (Painting() && pass_.AnchorCounter == in_.FocusedAnchor)
        pass_.Focus = TRect{x1_, y1_, x1_, y1_};
    if (Painting() && (!in_.HoverStyling || hovered)) {
        pass_.Font.Underline = true;
        if (in_.HoverBackground != clNone) {
            pass_.HoverBrushSaved = pass_.Brush;
            pass_.Brush = in_.HoverBackground;
        }
        if (in_.HoverFontColor != clNone) {
            pass_.HoverColorSaved = pass_.FontColor;
            pass_.FontColor = in_.HoverFontColor;
        }
    }
    if (!in_.Selected && !(in_.HoverFontColor != clNone && hovered))
        pass_.FontColor = in_.AnchorColor;
    pass_.Href = FirstQuoted(tag);
    pass_.InAnchor = true;
    pass_.AnchorLeft = x1_;
    pass_.AnchorTop = y1_;
    pass_.AnchorHit = false;
}

void LinePass::CloseAnchor()
{
    const bool hovered = in_.HoverStyling && pass_.AnchorCounter == in_.HoveredAnchor;
    if (Painting() && (!in_.HoverStyling || hovered)) {
        pass_.Font.Underline = false;
        if (in_.HoverBackground != clNone)
            pass_.Brush = pass_.HoverBrushSaved;
        if (in_.HoverFontColor != clNone)
            pass_.FontColor = pass_.HoverColorSaved;
    }
    if (!in_.Selected)
        pass_.FontColor = pass_.BaseColor;
    pass_.InAnchor = false;
    if (pass_.AnchorHit) {
        out_.AnchorRect = {pass_.AnchorLeft, pass_.AnchorTop, box_.Left + line_.Width, box_.Bottom};
        out_.AnchorUnderPoint = pass_.AnchorCounter;
        pass_.AnchorHit = false;
    }
    CloseFocus();
}

// The focus rectangle of the focused anchor, from where it started on this line to here.
void LinePass::CloseFocus()
{
    if (!pass_.Focus)
        return;
    TRect r = *pass_.Focus;
    r.Right = x1_;
    r.Bottom = y2_ - line_.Lift;
    r.Top = r.Bottom - line_.GhHeight;
    r.Left -= 1;
    r.Right += 1;
    if (Painting())
        c_.DrawFocusRect(r);
    pass_.Focus.reset();
}

void LinePass::Font(std::string_view tag, std::string_view upper)
{
    if (const auto face = TagAttribute(tag, upper, "FACE"))
        pass_.Font.Face = std::string(*face);
    if (!in_.Selected) {
        if (const auto color = TagAttribute(tag, upper, " COLOR"))
            pass_.FontColor = ColorValue(*color);
    }
    if (Painting() && !in_.Selected) {
        if (const auto background = TagAttribute(tag, upper, "BGCOLOR")) {
            pass_.FontBrushSaved = pass_.Brush;
            pass_.Brush = ColorValue(*background);
        }
    }
    const std::size_t size = upper.find("SIZE");
    if (size != std::string_view::npos) {
        const std::size_t equals = upper.find('=', size);
        if (equals != std::string_view::npos) {
            std::string_view value = tag.substr(equals + 1);
            if (!value.empty() && value.front() == '"')
                value.remove_prefix(1);
            pass_.Font.Height = -PointsToPixels(FontSizePoints(LeadingNumber(value)));
        }
    }
}

void LinePass::Body(std::string_view tag, std::string_view upper)
{
    if (!Painting())
        return;
    if (const auto color = TagAttribute(tag, upper, "BGCOLOR")) {
        const std::string value = UpperCase(*color);
        if (Contains(value, "#"))
            c_.FillRect(in_.Rect, HexColor(color->substr(color->find('#') + 1)));
        else if (Contains(value, "CL"))
            c_.FillRect(in_.Rect, ParseHtmlColor(LowerCase(*color)));
    }
    const auto name = TagAttribute(tag, upper, "BACKGROUND");
    THtmlPicture* picture = name ? FindCaptionPicture(in_, *name) : nullptr;
    if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0)
        return;
    const int saved = c_.SaveDC();
    const ScopeExit restore([&] { c_.RestoreDC(saved); });
    c_.IntersectClipRect(in_.Rect);
    const int w = picture->Width();
    const int h = picture->Height();
    for (int y = in_.Rect.Top; y < in_.Rect.Bottom; y += h)
        for (int x = in_.Rect.Left; x < in_.Rect.Right; x += w)
            picture->Draw(c_, {x, y, x + w, y + h});
}

void LinePass::Paragraph(std::string_view tag, std::string_view upper)
{
    if (const auto align = TagAttribute(tag, upper, "ALIGN")) {
        const std::string value = UpperCase(*align);
        if (Contains(value, "RIGHT"))
            pass_.Align = TMiniHtmlAlign::Right;
        else if (Contains(value, "LEFT"))
            pass_.Align = TMiniHtmlAlign::Left;
        else if (Contains(value, "CENTER"))
            pass_.Align = TMiniHtmlAlign::Centre;
    }
    if (const auto indent = TagAttribute(tag, upper, "INDENT"))
        pass_.Indent = LeadingNumber(*indent);
    if (!Painting())
        return;
    pass_.ParagraphBrushSaved = pass_.Brush;
    if (const auto background = TagAttribute(tag, upper, "BGCOLOR")) {
        pass_.Brush = background->empty() ? clNone : ColorValue(*background);
        c_.FillRect({in_.Rect.Left, y1_, in_.Rect.Right, box_.Bottom}, pass_.Brush);
    }
}

void LinePass::ListItem()
{
    // A second item on one line opens the next line.
    if (line_.BulletDrawn && !Source().empty()) {
        line_.Overflowed = true;
        return;
    }
    line_.BulletDrawn = true;
    line_.Width += pass_.ListLevel * kListIndent;
    x1_ += (pass_.ListLevel - 1) * kListIndent;
    if (Painting()) {
        // There is no Symbol face: the bullet is a "•" on odd levels and an "o" on even ones.
        UseFont();
        TRect r{x1_, y1_, x1_ + kListIndent, y2_};
        DrawText(c_, pass_.ListLevel % 2 ? u"\u2022" : u"o", r, DT_SINGLELINE | DT_NOPREFIX);
    }
    x1_ += kListIndent;
}

void LinePass::Rule()
{
    line_.Ended = true;
    if (!Painting())
        return;
    const Pen old = c_.SelectPen(Pen{PenStyle::Solid, 1, clBlack});
    c_.MoveTo(in_.Rect.Left + 1, y2_ + 1);
    c_.LineTo(in_.Rect.Right, y2_ + 1);
    c_.SelectPen(old);
}

CaptionImage LinePass::FindImage(std::string_view tag, std::string_view upper)
{
    CaptionImage image;
    const std::string_view source = TagAttribute(tag, upper, "SRC").value_or(std::string_view());
    const std::string kind = UpperCase(source.substr(0, 5));
    const int ppiX = c_.GetDeviceCaps(LOGPIXELSX);
    const int ppiY = c_.GetDeviceCaps(LOGPIXELSY);
    if (StartsWith(kind, "IDX:")) {
        const int index = LeadingNumber(source.substr(4));
        if (in_.Images && index < in_.Images->Count()) {
            image.ListIndex = index;
            image.Width = MulDiv(in_.Images->Width(), ppiX, kPixelsPerInch);
            image.Height = MulDiv(in_.Images->Height(), ppiY, kPixelsPerInch);
        }
    } else if (kind == "SSYS:" || kind == "LSYS:") {
        image.Icon = SystemIcon(std::string(source.substr(5)), kind == "LSYS:");
        if (!image.Icon.isNull()) {
            image.Width = MulDiv(image.Icon.width(), ppiX, kPixelsPerInch);
            image.Height = MulDiv(image.Icon.height(), ppiY, kPixelsPerInch);
        }
    } else if (THtmlPicture* picture = FindCaptionPicture(in_, source); picture && !picture->Empty()) {
        image.Picture = picture;
        int w = picture->Width();
        int h = picture->Height();
        const int wantedWidth = LeadingNumber(TagAttribute(tag, upper, "WIDTH").value_or(""));
        const int wantedHeight = LeadingNumber(TagAttribute(tag, upper, "HEIGHT").value_or(""));
        if (wantedWidth >= 1 && wantedHeight >= 1) {
            image.Stretched = true;
            w = wantedWidth;
            h = wantedHeight;
        }
        image.Width = MulDiv(w, ppiX, kPixelsPerInch);
        image.Height = MulDiv(h, ppiY, kPixelsPerInch);
    }
    return image;
}

void LinePass::DrawImage(const CaptionImage& image)
{
    const auto scaled = [&](int size) { return static_cast<int>(std::lround(size * in_.Scale)); };
    if (image.ListIndex >= 0) {
        if (!in_.Printing) {
            in_.Images->Draw(c_, x1_, y1_, image.ListIndex);
        } else {
            c_.StretchBlt({x1_, y1_, x1_ + scaled(in_.Images->Width()), y1_ + scaled(in_.Images->Height())},
                          in_.Images->Image(image.ListIndex));
        }
        return;
    }
    if (!image.Icon.isNull()) {
        const int w = in_.Printing ? scaled(image.Icon.width()) : image.Width;
        const int h = in_.Printing ? scaled(image.Icon.height()) : image.Height;
        c_.StretchBlt({x1_, y1_, x1_ + w, y1_ + h}, image.Icon);
        return;
    }
    try {
        THtmlPicture& picture = *image.Picture;
        if (image.Stretched) {
            ScopedValue<bool> stretch(picture.Stretch, true);
            picture.Draw(c_, {x1_, y1_, x1_ + image.Width, y1_ + image.Height});
            return;
        }
        if (picture.FrameCount() > 1 && pass_.Brush != clNone)
            c_.FillRect({x1_, y1_, x1_ + image.Width, y1_ + image.Height}, pass_.Brush);
        picture.Draw(c_, {x1_, y1_, x1_ + image.Width, y1_ + image.Height});
    } catch (const std::exception&) {
        // a picture that cannot be drawn shows nothing
    }
}

void LinePass::Image(std::string_view tag, std::string_view upper)
{
    const CaptionImage image = FindImage(tag, upper);
    if (!image.Present())
        return;
    if (line_.Width + image.Width > available_ && available_ > image.Width && !Source().empty()) {
        line_.Overflowed = true;
        return;
    }
    if (mode_ == TMiniHtmlMode::HitTest && pass_.InAnchor) {
        const int x = in_.X - box_.Left;
        if (x > line_.Width && x < line_.Width + image.Width && in_.Y > y1_ && in_.Y < y1_ + image.Height) {
            line_.ImageAnchorHit = true;
            out_.HrefUnderPoint = pass_.Href;
            pass_.AnchorHit = true;
        }
    }
    if (Painting())
        DrawImage(image);
    line_.Width += image.Width;
    x1_ += image.Width;
    line_.Height = std::max(line_.Height, image.Height);
    if (Contains(upper, "\"TOP"))
        line_.Lift = line_.Height - line_.GhHeight;
    else if (Contains(upper, "\"MIDDLE"))
        line_.Lift = (line_.Height - line_.GhHeight) / 2;
}

std::string_view LinePass::Run(std::string_view& text)
{
    // An anchor or a focus frame that goes on from the line before starts again at this line.
    if (pass_.InAnchor) {
        pass_.AnchorLeft = box_.Left;
        pass_.AnchorTop = y1_;
        if (Painting() && pass_.AnchorCounter == in_.FocusedAnchor)
            pass_.Focus = TRect{x1_, y1_, x1_, y1_};
    }
    while (!text.empty() && !line_.Ended && !line_.Overflowed) {
        if (text.front() != '<' && !Piece(text))
            break;
        if (text.empty())
            break;
        if (text.front() == '<' && text.size() < 3) {
            consumed_ += text.size();
            text = {};
            break;
        }
        if (!line_.Ended && text.front() == '<')
            Tag(text);
    }
    line_.Width -= trailingSpace_;
    out_.Width = std::max(out_.Width, line_.Width);
    CloseFocus();
    return Source();
}

}  // namespace

std::string_view RenderMiniHtml(Canvas& canvas, const TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs,
                                TMiniHtmlPass& pass, TMiniHtmlLine& line, TMiniHtmlMode mode, const TRect& lineBox,
                                int available, std::string_view& text)
{
    LinePass run(canvas, inputs, outputs, pass, line, mode, lineBox, available, text);
    return run.Run(text);
}

}  // namespace velmoran
