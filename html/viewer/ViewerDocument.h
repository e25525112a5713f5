// What the page viewer asks of its laid-out document: loading into it, layout at a width,
// painting a rectangle, the hit tests (position, link, image under a point), the selection and its
// text, anchors, positioned sections, link runs and the background. The viewer speaks only to this
// interface; TSectionListDocument implements it over the document root of the HTML library, and
// tests implement it with a small document of their own.
#pragma once

#include "html/layout/HtmlParser.h"
#include "platform/Canvas.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace velmoran {

class TStringBitmapList;

// The default fonts and colours a document starts with (given at every load and Clear).
struct TDocumentDefaults {
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int MarginWidth = 10;
    int MarginHeight = 5;
    int Charset = 1;
    bool UnderlineLinks = true;
    bool LinksActive = false;
    ColorRef Background = 0;
    ColorRef HoverColor = 0;
    ColorRef VisitedColor = 0;
    ColorRef LinkColor = 0;
    ColorRef FontColor = 0;
    int FontSize = 12;
};

// The fonts and colours a page viewer starts with: how a page looks in the program unless the
// application sets others (tools that draw pages take these too).
TDocumentDefaults StandardDocumentDefaults();

// The flags of the viewer's options that the document reads. The defaults are those of a viewer
// as made, with the table backgrounds printed as the program's report printing asks.
struct TDocumentOptions {
    bool LinksActive = false;
    bool PrintTableBackground = true;
    bool PrintBackground = false;
    bool PrintMonoBlack = true;
    bool ShowDummyCaret = false;
};

// The parser's hooks for one load.
struct TParseHooks {
    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TMetaType OnMeta;
    TLinkType OnLink;
};

// A link under the mouse.
struct TLinkHit {
    std::string Url;
    std::string Target;
    std::string Title;
    std::vector<std::string> Attributes;  // "NAME=value" lines
    int SourceStart = -1;                 // source range of the link text
    int SourceLast = -1;
    int LinkId = 0;                       // the link's identity (0: none)
};

// Bits of a link lookup.
constexpr int kOverLink = 1;
constexpr int kOverImageArea = 2;  // an image input or a map area
constexpr int kOverTitle = 4;

// An image under the mouse.
struct TImageHit {
    const void* Image = nullptr;  // the document's image object
    int X = 0;                    // the point within the image
    int Y = 0;
};

// A background image and how it is laid.
struct TBackgroundImage {
    QImage Image;            // null: no background image
    QImage Mask;             // null: no mask
    bool Fixed = false;      // does not scroll with the document
    PositionRec PosX, PosY;  // Left/Center/Right(Percent/Pixels), RepeatD in each direction
};

// A snapshot of the values of the document's form controls: the "name=value" lines of each form.
struct TFormSnapshot {
    std::vector<std::vector<std::string>> Forms;
};

class TViewerDocument {
public:
    virtual ~TViewerDocument() = default;

    // --- loading ---
    // Empties the document (sections, forms, images, selection, background).
    virtual void Clear() = 0;
    virtual void SetDefaults(const TDocumentDefaults& defaults) = 0;
    virtual void SetOptions(const TDocumentOptions& options) = 0;
    // Copies the name to the document (at most 32 characters); returns the document's current one.
    virtual std::string PreFontName() const = 0;
    virtual void SetPreFontName(const std::string& name) = 0;
    virtual void SetLinkColors(ColorRef hover, ColorRef visited, ColorRef link) = 0;
    virtual void SetImageCache(TStringBitmapList* cache) = 0;
    virtual TStringBitmapList* ImageCache() const = 0;
    virtual void SetProgressStart(int percent) = 0;
    virtual TParseResult ParseHtml(const std::string& source, const TParseHooks& hooks) = 0;
    virtual void ParsePlainText(const std::string& source) = 0;
    // The code page the document's text was read in.
    virtual int CodePage() const = 0;

    // --- layout and painting ---
    virtual int SectionCount() const = 0;
    virtual bool ShowImages() const = 0;
    virtual void SetShowImages(bool show) = 0;
    // Lays the whole document out at a width; returns its height and the widest line.
    virtual int DoLogic(Canvas& canvas, int y, int width, int pageHeight, int& neededWidth) = 0;
    virtual void SetYOffset(int y) = 0;
    virtual int YOffset() const = 0;
    // Draws what falls into the rectangle, shifted by x (the negative horizontal position).
    virtual void Draw(Canvas& canvas, const TRect& rect, int clipWidth, int x, int y) = 0;
    virtual ColorRef Background() const = 0;
    virtual void SetBackground(ColorRef color) = 0;
    // Fetches the background image once (after a parse or a change of the image flag).
    virtual void GetBackgroundBitmap() = 0;
    virtual const TBackgroundImage& BackgroundImage() const = 0;
    virtual bool Printing() const = 0;

    // --- positions ---
    // The Y of a named target (name in any case), false when there is none.
    virtual bool FindAnchor(const std::string& name, int& y) = 0;
    // The last positioned section at or above y: its index and Y.
    virtual bool FindSectionAtPosition(int y, int& sectionY, int& index) = 0;
    // The Y of the positioned section of an index, false when there is none.
    virtual bool PositionedSectionY(int index, int& y) = 0;

    // --- hit tests ---
    // Bits kOverLink, kOverImageArea, kOverTitle; the link and title under (x, document y).
    virtual int GetURL(Canvas& canvas, int x, int y, TLinkHit& link) = 0;
    // The document position under (x, document y), -1 none; inText tells whether it is on text.
    virtual int FindCursor(Canvas& canvas, int x, int y, bool& inText) = 0;
    // The image under (x, document y) and the point within it.
    virtual bool FindImageAt(Canvas& canvas, int x, int y, TImageHit& hit) = 0;
    // The character at a document position (0 outside the text).
    virtual char16_t CharAt(int pos) = 0;
    // The document position of the character under (x, document y), where a double click picks
    // its word: the position FindCursor gives, unless the point lies on text past the middle of a
    // character (FindCursor then gives the position after it). -1 none. onText is false for a point
    // beside the text (past a line's end, in a cell's free space): its position stands for no
    // character there, whatever text comes next.
    virtual int CharacterAt(Canvas& canvas, int x, int y, bool& onText) { return FindCursor(canvas, x, y, onText); }
    // The word under a point (for right clicks).
    virtual std::u16string WordAt(Canvas& canvas, int x, int y) = 0;
    // The point of a document position (document coordinates).
    virtual bool CursorToXY(Canvas& canvas, int pos, int& x, int& y) = 0;
    virtual int FindSourcePos(int docPos) = 0;
    virtual int FindDocPos(int sourcePos, bool previous) = 0;
    virtual void ClearHover() = 0;
    virtual bool HasHover() const = 0;
    // An ACTIVE image under the mouse (pressed or not) comes alive; the one it left goes still.
    virtual void SetHoverImageState(Canvas& /*canvas*/, int /*x*/, int /*y*/, bool /*pressed*/) {}
    // One step of the animated images at a clock value (ms); true when a frame changed.
    virtual bool AnimationTick(std::uint32_t /*nowMs*/) { return false; }

    // --- selection ---
    virtual int SelB() const = 0;
    virtual int SelE() const = 0;
    virtual void SetSelection(int begin, int end) = 0;
    virtual void SetCaret(int pos) = 0;
    // The count of the selected characters (0: nothing selected) and the text copied from them;
    // the count takes in the marks of line breaks, which the text leaves out.
    virtual int GetSelLength() = 0;
    virtual std::u16string GetSelText() = 0;

    // --- links and forms ---
    virtual int LinkCount() const = 0;
    virtual std::string LinkUrl(int i) const = 0;
    virtual void SetLinkVisited(int i, bool visited) = 0;
    virtual std::unique_ptr<TFormSnapshot> GetFormData() = 0;
    virtual void SetFormData(const TFormSnapshot& data) = 0;
    // The form events the viewer's owner listens to, fired by the document itself.
    virtual void SetFormEvents(const TFormEvents& /*events*/) {}
    // Clicks the image input under (x, document y), if there is one; true when one was clicked.
    virtual bool ClickImageInput(Canvas& /*canvas*/, int /*x*/, int /*y*/) { return false; }
    // The window control that takes the keyboard focus for a link (TLinkHit::LinkId); none when
    // the link has none.
    virtual QWidget* LinkFocusWidget(int /*linkId*/) { return nullptr; }
};

}  // namespace velmoran
