// The page viewer: the scrolling HTML display control. It owns one laid-out document, fills it from
// a file, a string, a buffer or a stream, lays it out at its own width, paints it double-buffered
// with its background colour or tiled image, follows links with hover and hot-spot events, keeps a
// selection and copies it as text and "HTML Format", and keeps a history and a visited list.
// It is the document host of the HTML library. Its work is split by concern over PageViewer.cpp
// (creation and properties), PageViewerLoad.cpp, PageViewerHistory.cpp, PageViewerSelection.cpp,
// PageViewerLinks.cpp (the mouse, links and hover), PageViewerScroll.cpp and PageViewerPaint.cpp.
#pragma once

#include "html/base/image/ImageCache.h"
#include "html/viewer/OptionSet.h"
#include "html/viewer/PaintPanel.h"
#include "html/viewer/ViewerDocument.h"
#include "html/viewer/ViewerHistory.h"
#include "html/viewer/ViewerSelection.h"
#include "platform/core/Exceptions.h"
#include "platform/SystemColors.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QMimeData;
class QScrollBar;
class QTimer;

namespace velmoran {

class TMetaFilePrinter;
class TPageViewer;
class TStream;
class TFormControlObj;
class TvwPrinter;

// A file that cannot be read ("Can't locate file: ...").
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

enum class THTMLBorderStyle { htFocused, htNone, htSingle };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class ThtProgressStage { psStarting, psRunning, psEnding };

enum htOptionEnum : unsigned {
    htOverLinksActive,
    htNoLinkUnderline,
    htPrintTableBackground,
    htPrintBackground,
    htPrintMonochromeBlack,
    htShowDummyCaret,
    htShowVScroll,
    htNoWheelMouse,
};

// A set of htOptionEnum.
using TPageViewerOptions = TOptionSet<htOptionEnum>;

// The kinds of document a viewer shows.
constexpr std::uint8_t kHtmlKind = 0;
constexpr std::uint8_t kTextKind = 1;
constexpr std::uint8_t kImageKind = 2;

// What OnRightClick receives.
struct TRightClickParameters {
    std::string URL;
    std::string Target;
    const void* Image = nullptr;
    int ImageX = 0;
    int ImageY = 0;
    std::u16string ClickWord;
};

using TViewerNotifyEvent = std::function<void(TPageViewer* sender)>;
using THotSpotEvent = std::function<void(TPageViewer* sender, const std::string& src)>;
using THotSpotClickEvent = std::function<void(TPageViewer* sender, const std::string& src, bool& handled)>;
using TProcessingEvent = std::function<void(TPageViewer* sender, bool processingOn)>;
using ThtProgressEvent = std::function<void(TPageViewer* sender, ThtProgressStage stage, int percentDone)>;
using TParseEvent = std::function<void(TPageViewer* sender, std::string& source)>;
using TViewerIncludeEvent = std::function<void(TPageViewer* sender, const std::string& command,
                                               const std::vector<std::string>& params, std::string& text)>;
using TViewerSoundEvent =
    std::function<void(TPageViewer* sender, const std::string& src, int loop, bool terminate)>;
using TViewerMetaEvent = std::function<void(TPageViewer* sender, const std::string& httpEq, const std::string& name,
                                            const std::string& content)>;
using TViewerLinkEvent =
    std::function<void(TPageViewer* sender, const std::string& rel, const std::string& rev, const std::string& href)>;
using TMetaRefreshEvent = std::function<void(TPageViewer* sender, int delay, const std::string& url)>;
using TViewerScriptEvent = std::function<void(TPageViewer* sender, const std::string& name,
                                              const std::string& language, const std::string& script)>;
using TFormSubmitEvent =
    std::function<void(TPageViewer* sender, const std::string& action, const std::string& target,
                       const std::string& encType, const std::string& method, const std::vector<std::string>& results)>;
using TGetStreamEvent = std::function<void(TPageViewer* sender, const std::string& src, std::string& content)>;
// A form control's event with the control's script text (ONCLICK, ONFOCUS, ONBLUR, ONCHANGE).
using ThtObjectEvent =
    std::function<void(TPageViewer* sender, TFormControlObj* control, const std::string& script)>;
using TObjectClickEvent = ThtObjectEvent;
// A file input's browse button: the edit's text comes in, the text put back into it goes out.
using TFileBrowseEvent = std::function<void(TPageViewer* sender, TFormControlObj* control, std::string& fileName)>;
using TViewerMouseEvent =
    std::function<void(TPageViewer* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TPageViewer* sender, Qt::KeyboardModifiers shift, int x, int y)>;
using TImageClickEvent = std::function<void(TPageViewer* sender, const void* image, Qt::MouseButton button,
                                            Qt::KeyboardModifiers shift, int x, int y)>;
using TImageOverEvent =
    std::function<void(TPageViewer* sender, const void* image, Qt::KeyboardModifiers shift, int x, int y)>;
// A picture for an image source, and its transparent colour (kNoColor for none).
using TGetBitmapEvent =
    std::function<void(TPageViewer* sender, const std::string& src, QImage& bitmap, ColorRef& color)>;
// Embedded panels: a new panel's control with the OBJECT's name, type and PARAM lines; its end;
// its print into a rectangle of a printer canvas.
using TPanelCreateEvent = std::function<void(TPageViewer* sender, const std::string& name, const std::string& type,
                                             const std::vector<std::string>& params, QWidget* panel)>;
using TPanelDestroyEvent = std::function<void(TPageViewer* sender, QWidget* panel)>;
using TPanelPrintEvent = std::function<void(TPageViewer* sender, QWidget* panel, Canvas& canvas, const TRect& rect)>;
// Every OBJECT element: its attribute lines and its PARAM lines.
using TObjectTagEvent = std::function<void(TPageViewer* sender, const std::vector<std::string>& attributes,
                                           const std::vector<std::string>& params)>;
// Drags over the drawing surface (surface coordinates); the sender is the viewer the handler was
// set on.
using TDragDropEvent = std::function<void(QObject* sender, const QMimeData* data, int x, int y)>;
using TDragOverEvent = std::function<void(QObject* sender, const QMimeData* data, int x, int y, bool& accept)>;
using TRightClickEvent = std::function<void(TPageViewer* sender, const TRightClickParameters& parameters)>;
// Printing: the canvas header or footer of a page (W and H the band in logical units); the HTML
// header or footer of a page, loaded by the handler into the viewer given (XL..XR the band's
// extent, changeable); the progress of a run (page 0 while formatting). Each may stop the run.
using TPagePrinted =
    std::function<void(TPageViewer* sender, Canvas& canvas, int numPage, int w, int h, bool& stopPrinting)>;
using ThtmlPagePrinted = std::function<void(TPageViewer* sender, TPageViewer* hfViewer, int numPage, bool lastPage,
                                            int& xl, int& xr, bool& stopPrinting)>;
using TPageEvent = std::function<void(TPageViewer* sender, int numPage, bool& stop)>;

class TPageViewer : public QWidget, public THtmlDocumentHost {
public:
    // The document defaults to the HTML library's document root; tests pass their own.
    explicit TPageViewer(QWidget* parent = nullptr, std::unique_ptr<TViewerDocument> document = nullptr);
    ~TPageViewer() override;

    // --- published properties ---
    bool ViewImages() const { return viewImages_; }
    // Shows or hides the pictures, laying the page out again; set while a load or a print runs,
    // the value is applied when it has ended.
    void SetViewImages(bool value);
    ColorRef DefBackground() const { return defBackground_; }
    void SetDefBackground(ColorRef value);
    THTMLBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(THTMLBorderStyle value);
    int HistoryMaxCount() const { return history_.MaxCount(); }
    void SetHistoryMaxCount(int value);
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& value) { defFontName_ = value; }
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& value);
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int value) { defFontSize_ = value; }
    ColorRef DefFontColor() const { return defFontColor_; }
    void SetDefFontColor(ColorRef value) { defFontColor_ = value; }
    ColorRef DefHotSpotColor() const { return defHotSpotColor_; }
    void SetDefHotSpotColor(ColorRef value);
    ColorRef DefVisitedLinkColor() const { return defVisitedLinkColor_; }
    void SetDefVisitedLinkColor(ColorRef value);
    ColorRef DefOverLinkColor() const { return defOverLinkColor_; }
    void SetDefOverLinkColor(ColorRef value);
    int VisitedMaxCount() const { return visited_.MaxCount(); }
    void SetVisitedMaxCount(int value);
    int ImageCacheCount() const { return imageCacheCount_; }
    void SetImageCacheCount(int value);
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    int CharSet() const { return charSet_; }
    void SetCharSet(int value) { charSet_ = value; }
    int MarginHeight() const override { return marginHeight_; }
    void SetMarginHeight(int value) { marginHeight_ = value; }
    int MarginWidth() const override { return marginWidth_; }
    void SetMarginWidth(int value) { marginWidth_ = value; }
    const std::string& ServerRoot() const { return serverRoot_; }
    void SetServerRoot(const std::string& value);
    double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0, PrintMarginBottom = 2.0;
    double PrintScale() const { return printScale_; }
    void SetPrintScale(double value);
    TPageViewerOptions htOptions() const { return options_; }
    void SethtOptions(const TPageViewerOptions& value);
    // The cursor over text (default the I-beam); the value 2 is stored as the I-beam.
    Qt::CursorShape ViewerCursor() const { return cursor_; }
    void SetViewerCursor(int value);

    // --- events ---
    THotSpotEvent OnHotSpotCovered;
    THotSpotClickEvent OnHotSpotClick;
    TGetStreamEvent OnImageRequest;
    TGetStreamEvent OnhtStreamRequest;
    TViewerScriptEvent OnScript;
    TViewerNotifyEvent OnHistoryChange;
    ThtProgressEvent OnProgress;
    TProcessingEvent OnProcessing;
    TViewerIncludeEvent OnInclude;
    TViewerSoundEvent OnSoundRequest;
    TViewerMetaEvent OnMeta;
    TViewerLinkEvent OnLink;
    TMetaRefreshEvent OnMetaRefresh;
    TImageClickEvent OnImageClick;
    TImageOverEvent OnImageOver;
    TRightClickEvent OnRightClick;
    TViewerMouseEvent OnMouseDouble;
    TParseEvent OnParseBegin;
    TViewerNotifyEvent OnParseEnd;
    TViewerMouseEvent OnMouseDown;
    TViewerMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TGetBitmapEvent OnBitmapRequest;
    TPanelCreateEvent OnPanelCreate;
    TPanelDestroyEvent OnPanelDestroy;
    TPanelPrintEvent OnPanelPrint;
    TObjectTagEvent OnObjectTag;
    TPagePrinted OnPrintHeader;
    TPagePrinted OnPrintFooter;
    ThtmlPagePrinted OnPrintHTMLHeader;
    ThtmlPagePrinted OnPrintHTMLFooter;
    TPageEvent OnPageEvent;
    // Drag events: the surface takes drops while either is set.
    void SetOnDragDrop(TDragDropEvent handler);
    void SetOnDragOver(TDragOverEvent handler);
    const TDragDropEvent& OnDragDrop() const { return onDragDrop_; }
    const TDragOverEvent& OnDragOver() const { return onDragOver_; }
    // The surface's drag events.
    void PanelDragOver(const QMimeData* data, int x, int y, bool& accept);
    void PanelDragDrop(const QMimeData* data, int x, int y);
    // The viewer took the focus or was clicked (the frame viewer tracks its active viewer by it).
    TViewerNotifyEvent OnActivate;

    // --- form events: each setter hands the handler to the document, which fires it itself;
    // a submission reaches OnFormSubmit from the viewer's own queue ---
    void SetOnFormSubmit(TFormSubmitEvent handler);
    void SetOnObjectClick(TObjectClickEvent handler);
    void SetOnObjectFocus(ThtObjectEvent handler);
    void SetOnObjectBlur(ThtObjectEvent handler);
    void SetOnObjectChange(ThtObjectEvent handler);
    void SetOnFileBrowse(TFileBrowseEvent handler);
    const TFormSubmitEvent& OnFormSubmit() const { return formEvents_.Submit; }
    const TObjectClickEvent& OnObjectClick() const { return formEvents_.Click; }
    const ThtObjectEvent& OnObjectFocus() const { return formEvents_.Focus; }
    const ThtObjectEvent& OnObjectBlur() const { return formEvents_.Blur; }
    const ThtObjectEvent& OnObjectChange() const { return formEvents_.Change; }
    const TFileBrowseEvent& OnFileBrowse() const { return formEvents_.FileBrowse; }

    // --- loading (all do nothing while processing or printing) ---
    void LoadDocumentFile(const std::string& fileName);
    void LoadTextFile(const std::string& fileName);
    void LoadImageFile(const std::string& fileName);
    // Loads a file of a kind without a history entry (the history's own moves load this way);
    // a META refresh of the page is reported at its end.
    virtual void LoadFileByKind(const std::string& fileName, std::uint8_t kind);
    void LoadDocumentString(const std::string& source, const std::string& reference = {});
    void LoadDocumentBuffer(const char* buffer, int bufSize, const std::string& reference = {});
    void LoadDocumentStream(TStream& stream, const std::string& reference = {});
    void LoadTextString(const std::string& source, const std::string& reference = {});
    virtual void Clear();
    virtual std::string ExpandFileName(const std::string& name);
    // The same for a file of this machine, which the server root does not apply to and whose
    // escapes are no escapes ("%41" in a name stays).
    std::string ExpandLocalFile(const std::string& name);
    // A link's path, its escapes read already, made full as ExpandFileName makes it.
    std::string ExpandLinkPath(const std::string& path) const;

    const std::string& GetCurrentFile() const { return currentFile_; }
    const std::u16string& DocumentTitle() const { return title_; }
    const std::string& Base() const { return base_; }
    void SetBase(const std::string& base);
    const std::string& BaseTarget() const { return baseTarget_; }
    std::uint8_t CurrentFileType() const { return currentKind_; }
    const std::string& DocumentSource() const { return source_; }
    bool Processing() const { return processing_; }

    // --- positions and scrolling ---
    int GetPosition();
    void SetPosition(int code);
    int VScrollBarPosition() const { return vPos_; }
    void SetVScrollBarPosition(int y);
    int HScrollBarPosition() const { return hPos_; }
    void SetHScrollBarPosition(int x);
    void ScrollTo(int y);
    int DocumentHeight() const { return docHeight_; }
    int NeededWidth() const { return neededWidth_; }
    bool PositionToAnchor(const std::string& name);

    // --- history and visited list ---
    const std::vector<std::string>& History() const { return history_.Files(); }
    const std::vector<std::u16string>& TitleHistory() const { return history_.Titles(); }
    int HistoryIndex() const { return history_.Index(); }
    void SetHistoryIndex(int index);
    void ClearHistory();
    const std::vector<std::string>& Visited() const { return visited_.Names(); }

    // --- forms, images, progress ---
    std::unique_ptr<TFormSnapshot> GetFormData();
    void SetFormData(const TFormSnapshot& data);
    void SetImageCache(TStringBitmapList* cache);
    TStringBitmapList* ImageCache() const { return document_->ImageCache(); }
    TViewerDocument& Document() const { return *document_; }

    // --- links, mouse, selection and clipboard ---
    const std::string& HotSpotURL() const { return hotSpot_.Url; }
    const std::string& HotSpotTarget() const { return hotSpot_.Target; }
    const std::string& LinkTitle() const { return hotSpot_.Title; }
    const std::u16string& LinkText() const { return hotSpot_.Text; }
    const std::vector<std::string>& LinkAttributes() const { return hotSpot_.Attributes; }
    std::u16string SelText();
    int SelStart() const { return document_->SelB(); }
    int SelLength() const;
    void CopySelectionToClipboard();
    // The text between two source positions; the point of its start is kept (RangeTextPoint).
    std::u16string GetRangeText(int start, int end);
    // Where the text of the last GetRangeText that found one starts, in the viewer's coordinates
    // (the link text's place while the mouse is over a link).
    QPoint RangeTextPoint() const { return rangeTextPoint_; }
    bool PanMode() const { return panMode_; }
    // Follows the current hot-spot link (the private message of keyboard link activation).
    void PostLinkMessage();
    void FollowLink();
    // One tick of the hot-spot timer.
    void HotSpotTimerTick();
    bool HotSpotTimerActive() const;
    // Whether the pointer is over the drawing surface, and where it is in surface coordinates
    // (tests replace them).
    std::function<bool()> PointerOverSurface;
    std::function<QPoint()> PointerInSurface;

    // Loads, Clear and background changes do nothing while a print or preview runs.
    class TPrintingGuard {
    public:
        explicit TPrintingGuard(TPageViewer& viewer);
        ~TPrintingGuard();
        TPrintingGuard(const TPrintingGuard&) = delete;
        TPrintingGuard& operator=(const TPrintingGuard&) = delete;

    private:
        QPointer<TPageViewer> viewer_;
    };
    bool Printing() const { return printing_ > 0; }

    // --- printing ---
    // Prints pages fromPage..toPage of the document on the selected printer, each with its header
    // and footer; the run stops at the document's end. Printer errors reach the caller; the
    // previous global job printer and PrintMarginTop are restored however the run ends.
    void PrintPages(int fromPage, int toPage);
    // Records every page, with header and footer, into the preview's recorder and returns the
    // number of pages (0 while busy or for an empty document); noOutput outputs no text.
    int PreviewPages(TMetaFilePrinter& recorder, bool noOutput);
    // The page being printed during a run, the last page printed after it.
    int PrintedPage() const { return printedPage_; }
    // A job the viewer holds (not owned; null for none): a print run continues on it with a new
    // page and leaves it running, instead of making a job of its own. While held it is the global
    // job printer; letting it go brings back the one before. A viewer destroyed while it holds a
    // job aborts the job's document and brings back the printer before it.
    TvwPrinter* JobPrinter() const { return jobPrinter_; }
    void SetJobPrinter(TvwPrinter* job);

    // --- the drawing surface ---
    TPaintPanel* PaintPanel() const { return panel_; }
    QScrollBar* VScrollBar() const { return vBar_; }
    QScrollBar* HScrollBar() const { return hBar_; }
    QFrame* BorderPanel() const { return border_; }
    // The viewer's operations wired to the surface (surface coordinates).
    virtual void PanelPaint(Canvas& canvas, const QRect& clip);
    virtual void PanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void PanelMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    virtual void PanelMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void PanelDoubleClick(Qt::KeyboardModifiers shift, int x, int y);
    virtual void ExtendSelection(int x, int y);
    // Draws the background colour and image into the clip of a paint.
    void DrawBackground(Canvas& canvas, const QRect& clip);
    // The page background of a print: the document's colour over the body, its picture tiled from
    // the body's top-left corner.
    void DrawPrintBackground(Canvas& canvas, const TRect& body, ColorRef documentBackground);
    // The measuring canvas of layout and hit tests.
    Canvas& MeasureCanvas();
    // Lays the document out at the viewer's width and arranges the bars.
    void DoLayout();
    bool LayoutRunning() const { return layoutRunning_; }

    // --- the document host ---
    void DoProgress(int percent) override;
    bool HasScriptHandler() const override { return static_cast<bool>(OnScript); }
    void Script(const std::string& name, const std::string& language, const std::string& text) override;
    std::string BasePath() const override;
    // A name of the document made full as a link is (ExpandFileName).
    std::string ExpandName(const std::string& name) const override;
    bool RequestStream(const std::string& url, std::string& content) override;
    bool RequestImage(const std::string& src, std::string& content) override;
    bool RequestBitmap(const std::string& src, QImage& bitmap, ColorRef& color) override;
    QWidget* PanelCreate(const TPanelObj& panel) override;
    void PanelDestroy(QWidget* panel) override;
    bool PanelPrint(QWidget* panel, Canvas& canvas, const TRect& rect) override;
    void FormSubmit(const std::string& action, const std::string& target, const std::string& encType,
                    const std::string& method, const std::vector<std::string>& results) override;
    void Invalidate() override;
    QWidget* DrawingSurface() override;
    void KeepInView(int y, bool link) override;
    // A form control's TITLE becomes the link title (else the title under the point), then
    // OnMouseMove fires.
    void ControlMouseMove(const std::string& title, int x, int y) override;
    void FollowLinkFromKeyboard(const std::string& url, const std::string& target) override;
    // The animation timer the document asks for: made at its first request, first tick after the
    // interval then asked for (50 ms), every later one after 40 ms.
    void SetTimer(bool enabled, int intervalMs) override;
    void FreeTimer() override;
    std::uint32_t AnimationClock() const override;
    // --- animation ---
    // The clock of the animations in milliseconds; the steady clock when unset.
    std::function<std::uint32_t()> AnimationClockSource;
    QTimer* AnimationTimer() const { return animationTimer_; }
    void AnimationTimerTick();

    // The frame that holds the viewer (set by the frame viewer; nullptr stand-alone).
    void* Frame = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TPaintPanel;
    bool Blocked() const { return processing_ || printing_ > 0; }
    TDocumentDefaults Defaults() const;
    TDocumentOptions DocumentOptions() const;
    void UpdateLinkColors();
    // Runs a member from the viewer's own event queue, unless the viewer has gone by then.
    void Post(void (TPageViewer::*work)());
    // Gives the document the ViewImages value when it differs and the viewer is free; a value set
    // while it was busy waits for this.
    void ApplyViewImages();
    bool ViewImagesPending() const;
    // The document's form events from the handlers set.
    void HandFormEventsToDocument();
    struct TViewerFormEvents {
        TFormSubmitEvent Submit;
        TObjectClickEvent Click;
        ThtObjectEvent Focus, Blur, Change;
        TFileBrowseEvent FileBrowse;
    };
    TViewerFormEvents formEvents_;

    // Loading (PageViewerLoad.cpp).
    void SetProcessing(bool on);
    void Progress(ThtProgressStage stage, int percent);
    // The progress events of a load or layout: the start (with the share of the bar the parse
    // takes) and the end, with the processing state.
    void BeginLoad(int progressStart);
    void EndLoad();
    void PrepareDocument();
    void KeepFocusFromTheDocument();
    TParseHooks Hooks();
    void MetaHandler(const std::string& httpEq, const std::string& name, const std::string& content);
    TParseResult ParseFile(const std::string& file, std::uint8_t kind);
    void FinishParse(const TParseResult& result);
    void ShowLoaded(const TParseResult& result, const std::string& anchor, bool keepsPlace);
    void LoadString(const std::string& source, const std::string& reference, std::uint8_t kind);
    void FireMetaRefresh();
    void LoadFileWithHistory(const std::string& fileName, std::uint8_t kind);

    // History and visited list (PageViewerHistory.cpp).
    THistoryPage ShownPage();
    void RecordHistory(const THistoryPage& left, std::unique_ptr<TFormSnapshot> snapshot);
    void RecordAnchorHistory(const THistoryPage& left);
    void AddVisited(const std::string& name);
    std::string FullLinkName(const std::string& url);
    void FlagVisitedLinks();

    // The mouse, links and hover (PageViewerLinks.cpp).
    bool FindCursorAt(int x, int y, int& pos, bool& inText);
    void SetCursorShape(const QCursor& cursor);
    int TrackLink(int docX, int docY, TLinkHit& hit);
    bool TrackImage(Qt::KeyboardModifiers shift, int docX, int docY);
    QCursor CursorAt(bool overLink, bool overImage, int x, int y);
    void SetHotSpot(const std::string& url, const std::string& target);
    bool ReportImageClicks(Qt::MouseButton button, Qt::KeyboardModifiers shift, int docX, int docY);
    bool FollowClickedLink(int docX, int docY);
    void FocusClickedLink(int linkId);
    // Follows a link to an anchor of the shown document: a history entry when the place changed.
    void JumpToAnchor(const std::string& anchor, const THistoryPage& left);

    // Layout, scroll bars and scrolling (PageViewerScroll.cpp).
    static constexpr int kSmallChangeV = 16;
    static constexpr int kSmallChangeH = 15;
    // Documents wider than this scroll as if they were this wide.
    static constexpr int kMaxNeededWidth = 6000;
    struct TBarsShown {
        bool V = false, H = false;
        bool VNeeded = false;  // the document is taller than the window
    };
    TBarsShown BarsShown() const;
    int BorderWidth() const { return borderStyle_ != THTMLBorderStyle::htNone ? 2 : 0; }
    int LayoutAt(int width);
    void LayOutAgainAfterPrint();
    // Aborts a held job's document and brings back the printer before it (the viewer goes).
    void ReleaseHeldJob() noexcept;
    void ArrangeBars();
    void UpdateBorder();
    int MaxVPos() const;
    void SetBarValue(QScrollBar* bar, int value);
    void VScrolled(int value);
    void HScrolled(int value);
    void MoveVPos(int y, bool scrollPixels);
    bool BackgroundFixed() const;
    bool StartPan(Qt::MouseButton button, int y);
    void LeavePanMode();
    void StartAutoScroll();
    void AutoScrollLoop();
    int AutoScrollStep(QPoint pointer, bool selectingOut);

    // The link under the mouse (or the one clicked last).
    struct THotSpot {
        std::string Url, Target, Title;
        std::u16string Text;
        std::vector<std::string> Attributes;
    };

    std::unique_ptr<TViewerDocument> document_;
    std::unique_ptr<TStringBitmapList> ownCache_;
    std::unique_ptr<Canvas> measureCanvas_;
    TViewerSelection selection_;  // works on the document, so it comes after it
    TPageHistory history_;
    TVisitedList visited_;
    QFrame* border_ = nullptr;
    TPaintPanel* panel_ = nullptr;
    QScrollBar* vBar_ = nullptr;
    QScrollBar* hBar_ = nullptr;
    QTimer* hotSpotTimer_ = nullptr;
    QTimer* animationTimer_ = nullptr;
    TDragDropEvent onDragDrop_;
    TDragOverEvent onDragOver_;

    bool viewImages_ = true;
    ColorRef defBackground_ = StandardDocumentDefaults().Background;
    THTMLBorderStyle borderStyle_ = THTMLBorderStyle::htFocused;
    std::string defFontName_ = StandardDocumentDefaults().FontName;
    std::string defPreFontName_ = StandardDocumentDefaults().PreFontName;
    int defFontSize_ = StandardDocumentDefaults().FontSize;
    ColorRef defFontColor_ = StandardDocumentDefaults().FontColor;
    ColorRef defHotSpotColor_ = StandardDocumentDefaults().LinkColor;
    ColorRef defVisitedLinkColor_ = StandardDocumentDefaults().VisitedColor;
    ColorRef defOverLinkColor_ = StandardDocumentDefaults().HoverColor;
    int imageCacheCount_ = 5;
    bool noSelect_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    int charSet_ = StandardDocumentDefaults().Charset;
    int marginHeight_ = StandardDocumentDefaults().MarginHeight;
    int marginWidth_ = StandardDocumentDefaults().MarginWidth;
    std::string serverRoot_;
    double printScale_ = 1.0;
    TPageViewerOptions options_{htPrintTableBackground, htPrintMonochromeBlack};
    Qt::CursorShape cursor_ = Qt::IBeamCursor;

    std::u16string title_;
    std::string base_, ownerBase_, baseTarget_;
    std::string currentFile_;
    std::uint8_t currentKind_ = kHtmlKind;
    std::string source_;
    bool processing_ = false;
    int printing_ = 0;
    int printedPage_ = 0;
    TvwPrinter* jobPrinter_ = nullptr;
    TvwPrinter* printerBeforeJob_ = nullptr;  // the global printer before the held job
    friend class TPrintRun;
    bool layoutRunning_ = false;
    int layoutWidth_ = 0;  // of the last screen layout
    bool creating_ = true;
    int refreshDelay_ = 0;
    std::string refreshUrl_;

    int docHeight_ = 0;
    int neededWidth_ = 0;
    int vPos_ = 0;
    int hPos_ = 0;
    int scrollBarWidth_ = 16;
    bool settingBars_ = false;

    THotSpot hotSpot_;
    bool leftButtonDown_ = false;
    bool linkClicked_ = false;
    bool activatingLink_ = false;  // a clicked link's focus control takes the focus
    QPoint rangeTextPoint_;
    bool autoScrolling_ = false;
    bool panMode_ = false;
    int panStartY_ = 0;
};

}  // namespace velmoran
