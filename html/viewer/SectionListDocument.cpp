// The viewer's document over the document root of the HTML library.
#include "html/viewer/SectionListDocument.h"

#include "html/base/image/GifImage.h"
#include "html/base/image/ImageLoad.h"
#include "html/base/WideText.h"
#include "html/layout/LinkFocus.h"
#include "html/layout/TextSection.h"
#include "html/viewer/ViewerText.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <filesystem>

namespace velmoran {

TSectionListDocument::TSectionListDocument(THtmlDocumentHost* host)
    : host_(host), sections_(std::make_unique<TSectionList>(host))
{
}

TSectionListDocument::~TSectionListDocument() = default;

void TSectionListDocument::Clear()
{
    hoverImage_ = nullptr;
    backgroundGif_ = nullptr;
    sections_->Clear();
    sections_->SelB = sections_->SelE = -1;
    background_ = TBackgroundImage();
    caret_ = 0;
    height_ = 0;
}

void TSectionListDocument::SetDefaults(const TDocumentDefaults& defaults)
{
    defaults_ = defaults;
    defaults_.PreFontName = defaults.PreFontName.substr(0, 32);
    sections_->LinksActive = defaults.LinksActive;
    sections_->Background = defaults.Background;
    DefaultSheetOptions sheet;
    sheet.FontName = defaults_.FontName;
    sheet.PreFontName = defaults_.PreFontName;
    sheet.MarginLeftRight = defaults_.MarginWidth;
    sheet.MarginTopBottom = defaults_.MarginHeight;
    sheet.Charset = static_cast<std::uint8_t>(defaults_.Charset);
    sheet.UnderlineLinks = defaults_.UnderlineLinks;
    sheet.HoverColor = defaults_.HoverColor;
    sheet.VisitedColor = defaults_.VisitedColor;
    sheet.LinkColor = defaults_.LinkColor;
    sheet.FontColor = defaults_.FontColor;
    sheet.FontSize = defaults_.FontSize;
    sections_->Styles.BuildDefaultStyleSheet(sheet);
}

void TSectionListDocument::SetOptions(const TDocumentOptions& options)
{
    options_ = options;
    sections_->LinksActive = options.LinksActive;
    sections_->PrintTableBackground = options.PrintTableBackground;
    sections_->PrintBackground = options.PrintBackground;
    sections_->PrintMonoBlack = options.PrintMonoBlack;
    sections_->ShowDummyCaret = options.ShowDummyCaret;
}

void TSectionListDocument::SetPreFontName(const std::string& name)
{
    defaults_.PreFontName = name.substr(0, 32);
}

void TSectionListDocument::SetLinkColors(ColorRef hover, ColorRef visited, ColorRef link)
{
    defaults_.HoverColor = hover;
    defaults_.VisitedColor = visited;
    defaults_.LinkColor = link;
}

void TSectionListDocument::SetProgressStart(int percent)
{
    sections_->ProgressScale = percent;
}

TParseResult TSectionListDocument::ParseHtml(const std::string& source, const TParseHooks& hooks)
{
    TParseResult result =
        ParseHtmlDocument(source, *sections_, hooks.OnInclude, hooks.OnSoundRequest, hooks.OnMeta, hooks.OnLink);
    codePage_ = result.CodePage == 0 ? kAnsiCodePage : result.CodePage;  // 0: the ANSI code page
    return result;
}

void TSectionListDocument::ParsePlainText(const std::string& source)
{
    velmoran::ParsePlainText(source, *sections_);
}

int TSectionListDocument::SectionCount() const
{
    return sections_->Count();
}

int TSectionListDocument::DoLogic(Canvas& canvas, int /*y*/, int width, int /*pageHeight*/, int& neededWidth)
{
    neededWidth = 0;
    height_ = sections_->LayoutDocument(canvas, width, neededWidth);
    return height_;
}

void TSectionListDocument::SetYOffset(int y)
{
    sections_->SetYOffset(y);
}

int TSectionListDocument::YOffset() const
{
    return sections_->YOff;
}

void TSectionListDocument::Draw(Canvas& canvas, const TRect& rect, int /*clipWidth*/, int x, int /*y*/)
{
    sections_->PaintDocument(canvas, rect, x);
}

ColorRef TSectionListDocument::Background() const
{
    return sections_->Background;
}

void TSectionListDocument::SetBackground(ColorRef color)
{
    sections_->Background = color;
}

void TSectionListDocument::GetBackgroundBitmap()
{
    background_ = TBackgroundImage();
    sections_->ShowImages = showImages_;
    sections_->BackgroundFetched = false;
    if (!showImages_)
        return;
    TImageObject* picture = sections_->GetBackgroundBitmap();
    backgroundGif_ = dynamic_cast<TGIFImage*>(picture);
    if (backgroundGif_) {
        // The frame shown now, its transparency as alpha; the animation tick brings the next.
        backgroundFrame_ = backgroundGif_->CurrentFrame();
        background_.Image = backgroundGif_->FrameImage(backgroundFrame_);
    } else if (const auto* bitmap = dynamic_cast<const TBitmapImage*>(picture)) {
        background_.Image = bitmap->Image();
        background_.Mask = sections_->BackgroundMask;
    } else {
        return;
    }
    background_.PosX = sections_->BackgroundPosX;
    background_.PosY = sections_->BackgroundPosY;
    background_.Fixed = sections_->BackgroundPosX.Fixed || sections_->BackgroundPosY.Fixed;
}

bool TSectionListDocument::Printing() const
{
    return sections_->Printing;
}

bool TSectionListDocument::FindAnchor(const std::string& name, int& y)
{
    TIDObject* target = sections_->IDNameList.Find(name);
    if (!target)
        return false;
    y = target->GetYPosition();
    return true;
}

bool TSectionListDocument::FindSectionAtPosition(int y, int& sectionY, int& index)
{
    return sections_->FindSectionAtPosition(y, sectionY, index) != nullptr;
}

bool TSectionListDocument::PositionedSectionY(int index, int& y)
{
    const auto& list = sections_->PositionList;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    y = list[static_cast<std::size_t>(index)]->GetYPosition();
    return true;
}

int TSectionListDocument::GetURL(Canvas& canvas, int x, int y, TLinkHit& link)
{
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    const int bits = sections_->GetUrlAt(canvas, x, y, url, title);
    if (url) {
        link.Url = url->URL;
        link.Target = url->Target;
        link.LinkId = url->ID;
        link.SourceStart = url->GetStart();
        link.SourceLast = url->GetLast();
        link.Attributes.clear();
        std::size_t from = 0;
        while (from < url->Attr.size()) {
            const auto end = url->Attr.find_first_of("\r\n", from);
            const std::string line = url->Attr.substr(from, end == std::string::npos ? std::string::npos : end - from);
            if (!line.empty())
                link.Attributes.push_back(line);
            if (end == std::string::npos)
                break;
            from = end + 1;
        }
    }
    link.Title = title;
    return bits;
}

QWidget* TSectionListDocument::LinkFocusWidget(int linkId)
{
    if (linkId <= 0)
        return nullptr;
    for (const TFontObj* run : sections_->LinkList)
        if (run->UrlTarget().ID == linkId)
            if (const TLinkFocusControl* control = run->TabControl())
                return control->FocusWidget();
    return nullptr;
}

int TSectionListDocument::FindCursor(Canvas& canvas, int x, int y, bool& inText)
{
    int lineHeight = 0, baseline = 0;
    inText = false;
    return sections_->FindCursorAt(canvas, x, y, lineHeight, baseline, inText);
}

// The link lookup finds the image under the point on its way.
bool TSectionListDocument::FindImageAt(Canvas& canvas, int x, int y, TImageHit& hit)
{
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    sections_->GetUrlAt(canvas, x, y, url, title);
    if (!sections_->HitPicture)
        return false;
    hit.Image = sections_->HitPicture;
    hit.X = sections_->HitPictureX;
    hit.Y = sections_->HitPictureY;
    return true;
}

char16_t TSectionListDocument::CharAt(int pos)
{
    char16_t ch = 0;
    TFontObj* font = nullptr;
    TSectionBase* section = nullptr;
    return sections_->CharAt(pos, ch, font, section) ? ch : 0;
}

int TSectionListDocument::CharacterAt(Canvas& canvas, int x, int y, bool& onText)
{
    int lineHeight = 0, baseline = 0;
    onText = false;
    const int pos = sections_->FindCursorAt(canvas, x, y, lineHeight, baseline, onText);
    if (pos <= 0 || !onText)
        return pos;
    // The caret position after the character under the point when it starts right of the point or
    // on the next line (the point was on a line's last character).
    int px = 0, py = 0;
    if (!sections_->CursorToPoint(canvas, pos, px, py) || py != baseline || px > x)
        return pos - 1;
    return pos;
}

std::u16string TSectionListDocument::WordAt(Canvas& canvas, int x, int y)
{
    bool onText = false;
    const int pos = CharacterAt(canvas, x, y, onText);
    if (pos < 0 || !onText || !IsWordChar(CharAt(pos)))
        return {};
    int b = pos, e = pos;
    while (b > 0 && IsWordChar(CharAt(b - 1)))
        --b;
    while (IsWordChar(CharAt(e)))
        ++e;
    std::u16string word;
    for (int i = b; i < e; ++i)
        word.push_back(CharAt(i));
    return word;
}

bool TSectionListDocument::CursorToXY(Canvas& canvas, int pos, int& x, int& y)
{
    return sections_->CursorToPoint(canvas, pos, x, y);
}

int TSectionListDocument::FindSourcePos(int docPos)
{
    return sections_->FindSourcePos(docPos);
}

int TSectionListDocument::FindDocPos(int sourcePos, bool previous)
{
    return sections_->FindDocPos(sourcePos, previous);
}

bool TSectionListDocument::AnimationTick(std::uint32_t nowMs)
{
    const bool changed = sections_->AnimationTick(nowMs);
    if (backgroundGif_ && backgroundGif_->CurrentFrame() != backgroundFrame_) {
        backgroundFrame_ = backgroundGif_->CurrentFrame();
        background_.Image = backgroundGif_->FrameImage(backgroundFrame_);
        if (host_)
            host_->Invalidate();
    }
    return changed;
}

void TSectionListDocument::SetHoverImageState(Canvas& canvas, int x, int y, bool pressed)
{
    TImageHit hit;
    TImageObj* image = FindImageAt(canvas, x, y, hit) ? sections_->HitPicture : nullptr;
    if (image && !image->ImageActive)
        image = nullptr;
    if (image != hoverImage_) {
        if (hoverImage_)
            SetActiveState(*hoverImage_, TActiveState::Still);
        hoverImage_ = image;
    }
    if (image)
        SetActiveState(*image, pressed ? TActiveState::Pressed : TActiveState::Hovered);
}

// A GIF of two or three frames is a two-state picture (frame 2 under the mouse, frame 3 while
// pressed); a longer one animates while the mouse is over it.
void TSectionListDocument::SetActiveState(TImageObj& image, TActiveState state)
{
    auto* gif = dynamic_cast<TGIFImage*>(image.Image);
    if (!gif || gif->NumFrames() < 2 || sections_->IsCopy)
        return;
    const int before = gif->CurrentFrame();
    auto& animated = sections_->AnimatedImages;
    const auto listed = std::find(animated.begin(), animated.end(), gif);
    if (gif->NumFrames() <= 3) {
        const int pressedFrame = gif->NumFrames() == 3 ? 3 : 2;
        gif->SetCurrentFrame(state == TActiveState::Still ? 1 : state == TActiveState::Pressed ? pressedFrame : 2);
    } else if (state == TActiveState::Still) {
        if (listed != animated.end())
            animated.erase(listed);
        gif->SetAnimate(false, 0);
        gif->SetCurrentFrame(1);
    } else if (listed == animated.end()) {
        animated.push_back(gif);
        const std::uint32_t now = host_ ? host_->AnimationClock() : 0;
        gif->SetAnimate(false, now);  // restarted, so that the first frame gets its full time
        gif->SetAnimate(true, now);
        if (host_)
            host_->SetTimer(true, 50);
    }
    if (host_ && gif->CurrentFrame() != before)
        host_->Invalidate();
}

void TSectionListDocument::ClearHover()
{
    if (sections_->HoverRun) {
        sections_->HoverRun->Hover = false;
        sections_->HoverRun = nullptr;
        if (host_)
            host_->Invalidate();
    }
}

bool TSectionListDocument::HasHover() const
{
    return sections_->HoverRun != nullptr;
}

int TSectionListDocument::SelB() const
{
    return sections_->SelB;
}

int TSectionListDocument::SelE() const
{
    return sections_->SelE;
}

void TSectionListDocument::SetSelection(int begin, int end)
{
    sections_->SelB = begin;
    sections_->SelE = end;
}

int TSectionListDocument::GetSelLength()
{
    if (sections_->SelB < 0 || sections_->SelE <= sections_->SelB)
        return 0;
    return sections_->GetSelLength();
}

std::u16string TSectionListDocument::GetSelText()
{
    if (sections_->SelB < 0 || sections_->SelE <= sections_->SelB)
        return {};
    return sections_->GetSelText();
}

int TSectionListDocument::LinkCount() const
{
    return static_cast<int>(sections_->LinkList.size());
}

std::string TSectionListDocument::LinkUrl(int i) const
{
    return sections_->LinkList[static_cast<std::size_t>(i)]->GetUrl();
}

void TSectionListDocument::SetLinkVisited(int i, bool visited)
{
    sections_->LinkList[static_cast<std::size_t>(i)]->Visited = visited;
}

std::unique_ptr<TFormSnapshot> TSectionListDocument::GetFormData()
{
    if (sections_->FormList.empty())
        return nullptr;
    auto snapshot = std::make_unique<TFormSnapshot>();
    snapshot->Forms = sections_->GetFormControlData();
    return snapshot;
}

void TSectionListDocument::SetFormData(const TFormSnapshot& data)
{
    sections_->SetFormControlData(data.Forms);
}

bool TSectionListDocument::ClickImageInput(Canvas& canvas, int x, int y)
{
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    sections_->GetUrlAt(canvas, x, y, url, title);
    TImageFormControlObj* input = sections_->HitImageInput;
    if (!input)
        return false;
    input->ImageClick(sections_->HitImageX, sections_->HitImageY);
    return true;
}

}  // namespace velmoran
