// The document root: the cell that holds the body, and the lists and settings of the whole
// document (names, links, maps, forms and their controls, the tab order, style sheet, inline border
// records, printing state).
#pragma once

#include "html/base/IDObjects.h"
#include "html/base/image/ImageCache.h"
#include "html/base/image/ImageKind.h"
#include "html/base/image/ImageObject.h"
#include "html/base/MapItem.h"
#include "html/layout/Cells.h"
#include "html/layout/DocumentHost.h"
#include "html/layout/FormControls.h"
#include "html/layout/InlineBoxes.h"
#include "html/style/StyleList.h"

#include <array>
#include <functional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace velmoran {

// An inline element with a border style: where it starts and ends in the source, and its box values.
struct InlineRec {
    int PropID = 0;        // the property set that opened it
    int StartB = -1;       // source positions
    int EndB = -1;
    std::array<PropValue, PropCount> MargArrayO;
    int EmSize = 16;
    int ExSize = 8;
    int StartDoc = -1;     // document positions, found after each layout
    int EndDoc = -1;
};

class TFloatingObj;
class TFontObj;
class TMemoryStream;
class TStringBitmapList;

// A floating image whose drawing waits until the end of the paint (clip coordinates).
struct TDrawItem {
    TFloatingObj* Obj;
    int X;
    int Y;
    const TFontObj* Font;
};

class TSectionList : public TCell, public TChPosDocument {
public:
    explicit TSectionList(THtmlDocumentHost* owner = nullptr);
    ~TSectionList() override;

    // Empties the document for the next load (the style list is kept).
    void Clear() override;
    // Opens (start) or closes the inline border record of a property set at a source position.
    void ProcessInlines(int sourcePos, const TProperties& props, bool start);
    // Frees the forms and their controls (a BODY starts the document's forms anew).
    void ClearFormAndPanelLists();
    // The top of the line holding the text at a source position: where a named anchor lies.
    int YPositionOfChar(int sourcePos) override;
    THtmlDocumentHost& Host() const { return owner_ ? *owner_ : nullHost_; }

    TIDNameList IDNameList;
    TStyleList Styles;
    std::vector<class TFontObj*> LinkList;      // link runs, not owned
    TFreeList<TMapItem> MapList;
    std::vector<TSectionBase*> PositionList;    // not owned
    // Controls and links with a TABINDEX under their keys (TabOrderKey), until a layout numbers them.
    std::vector<std::pair<std::string, TTabStop*>> TabOrderList;
    // Every control and link focus control joins as it is made; one with a TABINDEX also under its
    // key. A stop leaves when it goes.
    void RegisterTabStop(TTabStop* stop);
    void AddTabStop(int tabIndex, TTabStop* stop);
    void RemoveTabStop(const TTabStop* stop);
    // Layout step: the stops are numbered in tab order (those with a TABINDEX first, in key order,
    // then the rest as they came); the keyed list is emptied. The window controls made so far
    // follow that order in the window's focus chain.
    void ApplyTabOrder();
    // The stop Tab reaches after `from` (before it, going back), or the first (last) one when
    // `from` is null; nullptr when there is none.
    TTabStop* NextTabStop(const TTabStop* from, bool forward);
    // A stop's window control was just made: it takes its place in the focus chain among those made.
    void PlaceInTabChain(TTabStop* stop);
    // A link run joins the link list; the first run of a link gets its focus control (none in
    // documents of more than 400 links).
    void AddLinkRun(TFontObj* run);
    void RemoveLinkRun(TFontObj* run);

    // Forms (owned) and all their controls in document order (not owned); the form the parser fills.
    std::vector<std::unique_ptr<ThtmlForm>> FormList;
    std::vector<TFormControlObj*> FormControlList;
    ThtmlForm* CurrentForm = nullptr;
    TFormEvents FormEvents;
    ThtmlForm* AddForm(const TAttributeList& attributes);
    void ForgetFormControl(TFormControlObj* control);
    // The values of every form (its submission lines), for the history, and putting them back.
    std::vector<std::vector<std::string>> GetFormControlData();
    void SetFormControlData(const std::vector<std::vector<std::string>>& data);
    // Screen paints place the window controls they draw; the others are parked off-screen.
    bool ControlsNeedRepositioning = false;
    std::vector<InlineRec> InlineList;
    TInlineBoxIndex InlineBoxes;       // where the records stand after the current layout
    float ScaleX = 1.0f, ScaleY = 1.0f;
    TColor Background = NoColor;
    std::string BackgroundImageName;
    PositionRec BackgroundPosX, BackgroundPosY;
    bool LinksActive = false;      // hover recolouring of links
    bool MoreThan400Links = false; // set by the parser's pre-scan
    int ProgressScale = 0;         // share of the progress the parse reports
    int SelB = 0, SelE = 0;
    bool Printing = false;
    int YOff = 0;
    int PageCutY = 0;
    bool IsCopy = false;
    int SectionCount = 0;          // next section number
    // Layout and paint state.
    std::vector<TDrawItem> DrawList;   // floating images drawn last
    bool TableMoved = false;
    bool NothingDrawn = true;          // no text line drawn yet in this paint
    bool NoOutput = false;             // a measuring pass: text is not output
    bool PrintTableBackground = false;
    bool PrintBackground = false;
    bool PrintMonoBlack = false;
    bool ShowImages = true;
    bool ShowDummyCaret = false;
    int TableNestLevel = 0;
    void* TablePrinting = nullptr;     // the table printed with repeated header rows
    int LayoutCount = 0;
    // How many sections and source index entries the look-ups of document positions examined
    // (FindDocPos): what placing the bordered elements costs, counted rather than timed.
    std::size_t DocPosSteps = 0;
    int ProgressTotal = 0;             // document length for progress reports during layout
    int ProgressLast = 0;              // the position reported last
    // Reports the layout's progress at a document position (every 50 positions).
    void LayoutProgress(int pos);
    // Link areas of printed pages (and of the focused link on screen): page, URL, target, rectangle.
    std::function<void(int, const std::string&, const std::string&, const TRect&)> LinkAreaCallback;
    int PageNumber = 0;
    TFontObj* HitRun = nullptr;        // the link run found by the last hit test
    TFontObj* HoverRun = nullptr;      // the link run under the mouse
    TImageFormControlObj* HitImageInput = nullptr;  // the image input found by the last hit test
    int HitImageX = 0, HitImageY = 0;               // and the point within its picture
    TImageObj* HitPicture = nullptr;                // the image found by the last hit test
    int HitPictureX = 0, HitPictureY = 0;           // and the point within it
    // The image map of a USEMAP name (upper case, without "#"); null when the page has none.
    const TMapItem* FindMap(const std::string& name) const;
    int* FirstLineBaseline = nullptr;
    std::vector<class TGIFImage*> AnimatedImages;  // not owned
    std::vector<class TPanelObj*> PanelList;       // the panels with a control, owned by their sections
    // After a layout: the panels not shown yet come up off-screen until a paint places them.
    void ShowPanels();

    // The document's image cache: the viewer's when it gave one, else the document's own.
    TStringBitmapList& ImageCache();
    // An image by its source name: from the cache, through the host, or from a file; null when it
    // cannot be had. Delayed is set when the host will supply it later.
    TImageObject* FetchImage(const std::string& name, TTransparencyKind& transparent, bool& fromCache,
                             bool& delayed, QImage& mask);
    // The decoded pictures this document draws (those it found in the cache too) stay within this
    // many bytes: a picture that would pass it is not decoded into the document but drawn as a
    // missing one, so that a page cannot take gigabytes by its pictures. The size a picture's
    // header declares (width x height x 4 bytes) is checked before it is decoded, and a picture
    // refused once stays refused for the document under every name that leads to its file.
    std::int64_t PictureBudget = kPictureBudget;
    std::int64_t PictureBytes() const { return pictureBytes_; }
    // Lays the document out to a width; returns its height.
    int LayoutDocument(Canvas& canvas, int width, int& maxWidth);
    // Paints the clip rectangle (clip coordinates: document Y less YOff) at X; returns the Y below.
    int PaintDocument(Canvas& canvas, const TRect& clip, int x = 0);
    void SetYOffset(int y)
    {
        YOff = y;
        ControlsNeedRepositioning = true;
    }
    // The print copy: copies of the sections, the same image cache and display settings, its own
    // lists; it never runs the animation timer nor builds the position list.
    std::unique_ptr<TSectionList> CreateCopy() const;
    // Link (flag 1, url set) and title (flag 4) under a document point.
    int GetUrlAt(Canvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) override;
    // The selected text (SelB..SelE), lines ended by CR LF, and the count of its characters with
    // the line-break marks, which the text leaves out.
    std::u16string GetSelText();
    int GetSelLength();
    using TCellBasic::FindDocPos;
    // The point of a document position; a position at or past the end gives the point of the last
    // character moved 15 pixels to the right.
    bool CursorToPoint(Canvas& canvas, int cursor, int& x, int& y);
    // The last section of the position list whose Y is at or above Y (null when none).
    TSectionBase* FindSectionAtPosition(int y, int& sectionY, int& index) const;
    // The picture of the document background, fetched once (null when none or not shown).
    TImageObject* GetBackgroundBitmap();
    // Advances the shown animated images (the timer's tick); false in a print copy.
    bool AnimationTick(std::uint32_t nowMs);
    TImageObject* BackgroundBitmap = nullptr;
    QImage BackgroundMask;
    bool BackgroundFetched = false;
    int DocumentHeight = 0;  // where the next laid-out line stores its baseline (list items)
    TStringBitmapList* BitmapList = nullptr;  // the viewer's image cache, not owned

private:
    // Counts a picture the document draws against its budget, once.
    void CountPicture(const TImageObject* image, const QImage* mask);
    // False (and the picture remembered as refused) when the size its header declares does not
    // fit in what the budget has left.
    bool DeclaredSizeFits(const std::string& key, const TMemoryStream& stream);
    // Numbers the stops again when some joined or left since.
    void OrderTabStops();
    // The widgets made so far take the tab order in the window's focus chain.
    void LinkMadeWidgets();
    // Whether the stop stands at its place of the ordered chain (a stop that joined since does not).
    bool InTabChain(const TTabStop* stop) const;
    void ForgetTabStops();
    // Every stop is going.
    void ForgetAllTabStops();
    std::vector<TTabStop*> tabStops_;      // as they came, not owned
    std::vector<TTabStop*> tabChain_;      // in tab order (index = TabOrder), not owned
    std::set<int> madeTabStops_;           // places in tabChain_ of the stops whose widget is made
    bool tabChainStale_ = false;
    // Pictures refused: host names and canonical file paths.
    std::unordered_set<std::string> refusedPictures_;
    THtmlDocumentHost* owner_;
    std::int64_t pictureBytes_ = 0;
    std::unordered_set<const TImageObject*> countedPictures_;
    std::unique_ptr<TStringBitmapList> ownCache_;
    TImageCacheHolds pictureHolds_;  // the cache entries this document's pictures hold
    // The places in InlineList of the records still open, in order: a closing tag closes the
    // last open one of its property set without passing over every record closed since.
    std::vector<std::size_t> openInlines_;
    static TNullDocumentHost nullHost_;
};

// Counts one step of a look-up of a document position (see DocPosSteps).
inline void CountDocPosStep(TSectionList* document)
{
    if (document)
        ++document->DocPosSteps;
}

}  // namespace velmoran
