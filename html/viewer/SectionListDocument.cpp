// The viewer's document over the document root of the HTML library.
#include "html/viewer/SectionListDocument.h"

#include "html/base/ImageLoad.h"
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
}

void TSectionListDocument::SetOptions(const TDocumentOptions& options)
{
    options_ = options;
    sections_->LinksActive = options.LinksActive;
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
    return ParseHtmlDocument(source, *sections_, hooks.OnInclude, hooks.OnSoundRequest, hooks.OnMeta, hooks.OnLink);
}

void TSectionListDocument::ParsePlainText(const std::string& source)
{
    velmoran::ParsePlainText(source, *sections_);
}

int TSectionListDocument::SectionCount() const
{
    return sections_->Count();
}

// The document root does not lay out yet: the height stays 0 and nothing is drawn.
int TSectionListDocument::DoLogic(Canvas& /*canvas*/, int /*y*/, int /*width*/, int /*pageHeight*/,
                                  int& neededWidth)
{
    neededWidth = 0;
    height_ = 0;
    return height_;
}

void TSectionListDocument::SetYOffset(int y)
{
    sections_->YOff = y;
}

int TSectionListDocument::YOffset() const
{
    return sections_->YOff;
}

void TSectionListDocument::Draw(Canvas& /*canvas*/, const TRect& /*rect*/, int /*clipWidth*/, int /*x*/, int /*y*/)
{
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
    if (!showImages_ || sections_->BackgroundImageName.empty())
        return;
    std::string name = UrlToDosPath(sections_->BackgroundImageName);
    if (!name.empty() && name.front() != '/')
        name = (std::filesystem::path(host_ ? host_->BasePath() : std::string()) / name).string();
    TTransparencyKind transparent = TTransparencyKind::NoTransparency;
    QImage mask;
    auto image = LoadImageFromFile(name, transparent, mask);
    if (const auto* bitmap = dynamic_cast<const TBitmapImage*>(image.get())) {
        background_.Image = bitmap->Image();
        background_.Mask = mask;
        background_.PosX = sections_->BackgroundPosX;
        background_.PosY = sections_->BackgroundPosY;
        background_.Fixed = sections_->BackgroundPosX.Fixed || sections_->BackgroundPosY.Fixed;
    }
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
    const auto& list = sections_->PositionList;
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
        if (list[static_cast<std::size_t>(i)]->YPosition <= y) {
            sectionY = list[static_cast<std::size_t>(i)]->YPosition;
            index = i;
            return true;
        }
    }
    return false;
}

bool TSectionListDocument::PositionedSectionY(int index, int& y)
{
    const auto& list = sections_->PositionList;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    y = list[static_cast<std::size_t>(index)]->YPosition;
    return true;
}

// Hit tests need the laid-out lines; until the document root gives them, nothing is found.
int TSectionListDocument::GetURL(Canvas& /*canvas*/, int /*x*/, int /*y*/, TLinkHit& /*link*/)
{
    return 0;
}

int TSectionListDocument::FindCursor(Canvas& /*canvas*/, int /*x*/, int /*y*/, bool& inText)
{
    inText = false;
    return -1;
}

bool TSectionListDocument::FindImageAt(int /*x*/, int /*y*/, TImageHit& /*hit*/)
{
    return false;
}

char16_t TSectionListDocument::CharAt(int pos)
{
    for (int i = 0; i < sections_->Count(); ++i) {
        const auto* section = dynamic_cast<const TSection*>(sections_->Items(i));
        if (section && pos >= section->StartCurs && pos < section->StartCurs + static_cast<int>(section->Text.size()))
            return section->Text[static_cast<std::size_t>(pos - section->StartCurs)];
    }
    return 0;
}

std::u16string TSectionListDocument::WordAt(Canvas& /*canvas*/, int /*x*/, int /*y*/)
{
    return {};
}

bool TSectionListDocument::CursorToXY(Canvas& /*canvas*/, int /*pos*/, int& x, int& y)
{
    x = y = 0;
    return false;
}

int TSectionListDocument::FindSourcePos(int /*docPos*/)
{
    return -1;
}

int TSectionListDocument::FindDocPos(int /*sourcePos*/, bool /*previous*/)
{
    return -1;
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
    std::u16string text;
    const int b = sections_->SelB, e = sections_->SelE;
    if (b < 0 || e <= b)
        return text;
    for (int pos = b; pos < e; ++pos) {
        const char16_t ch = CharAt(pos);
        if (ch != 0 && ch != kFormControlChar && ch != kImageChar && ch != kBreakChar)
            text.push_back(ch);
    }
    return text;
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
    return nullptr;
}

void TSectionListDocument::SetFormData(const TFormSnapshot& /*data*/) {}

}  // namespace velmoran
