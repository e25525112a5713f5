// The viewer's document over the document root of the HTML library.
#include "html/viewer/SectionListDocument.h"

#include "html/base/image/ImageLoad.h"
#include "html/base/WideText.h"
#include "html/layout/TextSection.h"

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
    codePage_ = result.CodePage;
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
    const auto* bitmap = dynamic_cast<const TBitmapImage*>(sections_->GetBackgroundBitmap());
    if (!bitmap)
        return;
    background_.Image = bitmap->Image();
    background_.Mask = sections_->BackgroundMask;
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

int TSectionListDocument::FindCursor(Canvas& canvas, int x, int y, bool& inText)
{
    int lineHeight = 0, baseline = 0;
    inText = false;
    return sections_->FindCursorAt(canvas, x, y, lineHeight, baseline, inText);
}

// Image hit tests need the document's object lookup, which it does not offer yet.
bool TSectionListDocument::FindImageAt(int /*x*/, int /*y*/, TImageHit& /*hit*/)
{
    return false;
}

char16_t TSectionListDocument::CharAt(int pos)
{
    char16_t ch = 0;
    TFontObj* font = nullptr;
    TSectionBase* section = nullptr;
    return sections_->CharAt(pos, ch, font, section) ? ch : 0;
}

std::u16string TSectionListDocument::WordAt(Canvas& canvas, int x, int y)
{
    bool inText = false;
    const int pos = FindCursor(canvas, x, y, inText);
    const auto isWord = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 192;
    };
    if (pos < 0 || !isWord(CharAt(pos)))
        return {};
    int b = pos, e = pos;
    while (b > 0 && isWord(CharAt(b - 1)))
        --b;
    while (isWord(CharAt(e)))
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
    return static_cast<int>(GetSelText().size());
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
