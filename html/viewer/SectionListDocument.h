// The viewer's document over the document root of the HTML library: parsing into it, its
// anchors, positioned sections, link runs, selection fields and background. Layout, painting and
// the hit tests go to the document root as far as it offers them.
#pragma once

#include "html/viewer/ViewerDocument.h"

#include <memory>

namespace velmoran {

class TSectionListDocument : public TViewerDocument {
public:
    explicit TSectionListDocument(THtmlDocumentHost* host);
    ~TSectionListDocument() override;

    TSectionList& Sections() { return *sections_; }

    void Clear() override;
    void SetDefaults(const TDocumentDefaults& defaults) override;
    void SetOptions(const TDocumentOptions& options) override;
    std::string PreFontName() const override { return defaults_.PreFontName; }
    void SetPreFontName(const std::string& name) override;
    void SetLinkColors(ColorRef hover, ColorRef visited, ColorRef link) override;
    void SetImageCache(TStringBitmapList* cache) override
    {
        cache_ = cache;
        sections_->BitmapList = cache;
    }
    TStringBitmapList* ImageCache() const override { return cache_; }
    void SetProgressStart(int percent) override;
    TParseResult ParseHtml(const std::string& source, const TParseHooks& hooks) override;
    void ParsePlainText(const std::string& source) override;
    int CodePage() const override { return codePage_; }

    int SectionCount() const override;
    bool ShowImages() const override { return showImages_; }
    void SetShowImages(bool show) override
    {
        showImages_ = show;
        sections_->ShowImages = show;
    }
    int DoLogic(Canvas& canvas, int y, int width, int pageHeight, int& neededWidth) override;
    void SetYOffset(int y) override;
    int YOffset() const override;
    void Draw(Canvas& canvas, const TRect& rect, int clipWidth, int x, int y) override;
    ColorRef Background() const override;
    void SetBackground(ColorRef color) override;
    void GetBackgroundBitmap() override;
    const TBackgroundImage& BackgroundImage() const override { return background_; }
    bool Printing() const override;

    bool FindAnchor(const std::string& name, int& y) override;
    bool FindSectionAtPosition(int y, int& sectionY, int& index) override;
    bool PositionedSectionY(int index, int& y) override;

    int GetURL(Canvas& canvas, int x, int y, TLinkHit& link) override;
    int FindCursor(Canvas& canvas, int x, int y, bool& inText) override;
    bool FindImageAt(Canvas& canvas, int x, int y, TImageHit& hit) override;
    char16_t CharAt(int pos) override;
    int CharacterAt(Canvas& canvas, int x, int y, bool& onText) override;
    std::u16string WordAt(Canvas& canvas, int x, int y) override;
    bool CursorToXY(Canvas& canvas, int pos, int& x, int& y) override;
    int FindSourcePos(int docPos) override;
    int FindDocPos(int sourcePos, bool previous) override;
    void ClearHover() override;
    bool HasHover() const override;

    int SelB() const override;
    int SelE() const override;
    void SetSelection(int begin, int end) override;
    void SetCaret(int pos) override { caret_ = pos; }
    int GetSelLength() override;
    std::u16string GetSelText() override;

    int LinkCount() const override;
    std::string LinkUrl(int i) const override;
    void SetLinkVisited(int i, bool visited) override;
    std::unique_ptr<TFormSnapshot> GetFormData() override;
    void SetFormData(const TFormSnapshot& data) override;
    void SetFormEvents(const TFormEvents& events) override { sections_->FormEvents = events; }
    bool ClickImageInput(Canvas& canvas, int x, int y) override;
    QWidget* LinkFocusWidget(int linkId) override;
    // Steps the animated images; an animated background shows its new frame.
    bool AnimationTick(std::uint32_t nowMs) override;
    void SetHoverImageState(Canvas& canvas, int x, int y, bool pressed) override;

private:
    enum class TActiveState { Still, Hovered, Pressed };
    void SetActiveState(TImageObj& image, TActiveState state);

    THtmlDocumentHost* host_;
    TImageObj* hoverImage_ = nullptr;  // the ACTIVE image under the mouse
    class TGIFImage* backgroundGif_ = nullptr;  // an animated background, owned by the image cache
    int backgroundFrame_ = 0;                   // its frame in background_
    std::unique_ptr<TSectionList> sections_;
    TDocumentDefaults defaults_;
    TDocumentOptions options_;
    TStringBitmapList* cache_ = nullptr;
    TBackgroundImage background_;
    bool showImages_ = true;
    int codePage_ = 1252;
    int caret_ = 0;
    int height_ = 0;
};

}  // namespace velmoran
