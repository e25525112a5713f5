// The frame viewer: shows one page or a frameset document whose frames each hold a page viewer
// (or a nested frameset). It builds the tree of frameset panels through the frameset parser,
// sizes the frames by ROWS and COLS, finds a frame's viewer by its NAME, resolves the TARGET of a
// clicked link to a frame, refreshes on META refresh, and keeps the visited list. The panels are
// TFrameBase (FrameBase.h), TfvFrame (Frame.h), TSubFrameSet and TFrameSet; sizes and targets are
// decided in FrameSizes.h and FrameTargets.h; navigation and history are in
// FrameViewerNavigation.cpp.
#pragma once

#include "html/layout/HtmlParser.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameFiles.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameSizes.h"
#include "html/viewer/FrameTargets.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/ViewerHistory.h"
#include "platform/Events.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Stream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

enum fvOptionEnum : unsigned {
    fvMetaRefresh,
    fvNoBorder,
    fvNoLinkUnderline,
    fvOverLinksActive,
    fvPrintMonochromeBlack,
    fvPrintTableBackground,
    fvPrintBackground,
    fvShowVScroll,
    fvNoFocusRect,
    fvShowDummyCaret,
    fvNoWheelMouse,
};

using TFrameViewerOptions = TOptionSet<fvOptionEnum>;

// One entry of the frame viewer's history: the top document shown, the frameset it was shown in
// (kept while an entry refers to it, with its frames' viewers, places and form values), its title,
// and the scroll position of a view of one page.
struct TFrameViewerHistoryEntry {
    std::string File;
    TFrameSet* Set = nullptr;
    std::u16string Title;
    int Pos = 0;
};

using THotSpotTargetClickEvent = std::function<void(TFrameViewer* sender, const std::string& target,
                                                    const std::string& url, bool& handled)>;
using THotSpotTargetEvent =
    std::function<void(TFrameViewer* sender, const std::string& target, const std::string& url)>;
using TFrameMetaEvent = std::function<void(TFrameViewer* sender, const std::string& httpEq, const std::string& name,
                                           const std::string& content)>;
using TFrameRightClickEvent = std::function<void(TPageViewer* sender, const TRightClickParameters& parameters)>;
// The source hooks: a frame's document may come from the application instead of a file.
using TStreamRequestEvent = std::function<void(TFrameViewer* sender, const std::string& src, TStream*& stream)>;
using TStringsRequestEvent =
    std::function<void(TFrameViewer* sender, const std::string& src, const std::vector<std::string>*& strings)>;
using TBufferRequestEvent =
    std::function<void(TFrameViewer* sender, const std::string& src, const char*& buffer, int& buffSize)>;
using TFileRequestEvent = std::function<void(TFrameViewer* sender, const std::string& src, std::string& newName)>;
using TFrameProcessingEvent = std::function<void(TFrameViewer* sender, bool processingOn)>;
using TFrameMouseMoveEvent = std::function<void(QWidget* sender, Qt::KeyboardModifiers shift, int x, int y)>;
using TFrameSoundEvent =
    std::function<void(TFrameViewer* sender, const std::string& src, int loop, bool terminate)>;

class TFrameViewer : public QWidget, public TFrameViewerBase {
public:
    explicit TFrameViewer(QWidget* parent = nullptr);
    ~TFrameViewer() override;

    // --- settings handed to every frame's viewer ---
    const std::string& DefFontName() const { return defFontName_; }
    void SetDefFontName(const std::string& value);
    int DefFontSize() const { return defFontSize_; }
    void SetDefFontSize(int value);
    ColorRef DefBackground() const { return defBackground_; }
    void SetDefBackground(ColorRef value);
    bool NoSelect() const { return noSelect_; }
    void SetNoSelect(bool value);
    const std::string& DefPreFontName() const { return defPreFontName_; }
    void SetDefPreFontName(const std::string& value);
    ColorRef DefFontColor() const { return defFontColor_; }
    void SetDefFontColor(ColorRef value);
    ColorRef DefHotSpotColor() const { return defHotSpotColor_; }
    void SetDefHotSpotColor(ColorRef value);
    ColorRef DefVisitedLinkColor() const { return defVisitedLinkColor_; }
    void SetDefVisitedLinkColor(ColorRef value);
    ColorRef DefOverLinkColor() const { return defOverLinkColor_; }
    void SetDefOverLinkColor(ColorRef value);
    bool ViewImages() const { return viewImages_; }
    void SetViewImages(bool value);
    // Limited to 0..20; the frames share one image cache of this size.
    int ImageCacheCount() const { return imageCacheCount_; }
    void SetImageCacheCount(int value);
    double PrintMarginLeft() const { return printMargins_[0]; }
    void SetPrintMarginLeft(double value);
    double PrintMarginRight() const { return printMargins_[1]; }
    void SetPrintMarginRight(double value);
    double PrintMarginTop() const { return printMargins_[2]; }
    void SetPrintMarginTop(double value);
    double PrintMarginBottom() const { return printMargins_[3]; }
    void SetPrintMarginBottom(double value);
    // Limited to 0.25..4.0.
    double PrintScale() const { return printScale_; }
    void SetPrintScale(double value);
    int CharSet() const { return charSet_; }
    void SetCharSet(int value);
    // The cursor over the frames' text (default the I-beam).
    Qt::CursorShape ViewerCursor() const { return cursor_; }
    void SetViewerCursor(int value);
    int MarginWidth() const { return marginWidth_; }
    void SetMarginWidth(int value) { marginWidth_ = value; }
    int MarginHeight() const { return marginHeight_; }
    void SetMarginHeight(int value) { marginHeight_ = value; }
    int VisitedMaxCount() const { return visited_.MaxCount(); }
    void SetVisitedMaxCount(int value);
    const std::string& ServerRoot() const { return serverRoot_; }
    void SetServerRoot(const std::string& value);
    TFrameViewerOptions fvOptions() const { return options_; }
    void SetfvOptions(const TFrameViewerOptions& value);
    int HistoryMaxCount() const { return historyMaxCount_; }
    // Negative values are ignored; a change clears the history.
    void SetHistoryMaxCount(int value);

    // --- events ---
    THotSpotTargetClickEvent OnHotSpotTargetClick;
    THotSpotTargetEvent OnHotSpotTargetCovered;
    THotSpotTargetEvent OnBlankWindowRequest;
    TFrameRightClickEvent OnRightClick;
    TFrameMetaEvent OnMeta;
    // Fired when the frame viewer or any frame's viewer starts being busy while none was, and when
    // the last of them is done.
    TFrameProcessingEvent OnProcessing;
    std::function<void(TFrameViewer* sender)> OnHistoryChange;
    // The sound requests of every frame's page; a load stops the sound first (terminate, empty src).
    TFrameSoundEvent OnSoundRequest;
    TStreamRequestEvent OnStreamRequest;
    TStringsRequestEvent OnStringsRequest;
    TBufferRequestEvent OnBufferRequest;
    TFileRequestEvent OnFileRequest;
    // The mouse over an empty frame (one without a source, or nested too deep): the sender is the
    // frame, the point in its coordinates.
    TMouseEvent OnMouseDown;
    TFrameMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // --- form events, handed on to every frame's viewer (the sender is that viewer) ---
    void SetOnFormSubmit(TFormSubmitEvent handler);
    void SetOnObjectClick(TObjectClickEvent handler);
    void SetOnObjectFocus(ThtObjectEvent handler);
    void SetOnObjectBlur(ThtObjectEvent handler);
    void SetOnObjectChange(ThtObjectEvent handler);
    void SetOnFileBrowse(TFileBrowseEvent handler);

    // --- page viewer events handed on unchanged to every frame's viewer ---
    struct TPassedEvents {
        TGetStreamEvent OnImageRequest;
        TGetBitmapEvent OnBitmapRequest;
        ThtProgressEvent OnProgress;
        TViewerScriptEvent OnScript;
        TImageClickEvent OnImageClick;
        TImageOverEvent OnImageOver;
        TViewerMouseEvent OnMouseDouble;
        TViewerIncludeEvent OnInclude;
        TViewerLinkEvent OnLink;
        TPanelCreateEvent OnPanelCreate;
        TPanelDestroyEvent OnPanelDestroy;
        TPanelPrintEvent OnPanelPrint;
        TParseEvent OnParseBegin;
        TViewerNotifyEvent OnParseEnd;
        TObjectTagEvent OnObjectTag;
        TPagePrinted OnPrintHeader;
        TPagePrinted OnPrintFooter;
        ThtmlPagePrinted OnPrintHTMLHeader;
        ThtmlPagePrinted OnPrintHTMLFooter;
    };
    void SetPassedEvents(TPassedEvents events);
    const TPassedEvents& PassedEvents() const { return passedEvents_; }
    // Drags over any frame: forwarders on every frame's viewer fire these with the frame viewer as
    // sender; clearing them clears the forwarders.
    void SetOnDragDrop(TDragDropEvent handler);
    void SetOnDragOver(TDragOverEvent handler);

    // --- operations ---
    // Loads a frameset document or a page; raises EfvLoadError for a missing file. Ignored while
    // the frame viewer or any frame's viewer is busy.
    void LoadFromFile(const std::string& name);
    // Loads every frame of the current document again; each keeps its position.
    void Reload();
    TPageViewer* GetViewerFromName(const std::string& name) const;
    // The frame of that NAME in the document shown (whatever it holds); null when there is none.
    TfvFrame* GetFrameFromName(const std::string& name) const;
    // One entry per frame viewer whose document holds a section: the viewer, with "l", "t", "r",
    // "b" for each edge of the frame viewer's area that its frame reaches (within 2 pixels).
    // The list belongs to the frame viewer and is refilled on each call.
    const std::vector<std::pair<std::string, TPageViewer*>>& GetFrameNames();
    TPageViewer* GetActiveViewer() const;
    int GetFrameCount() const;
    TPageViewer* GetFrame(int index) const;
    // The file the top frameset shows.
    std::string GetCurrentFile() const;
    const std::u16string& DocumentTitle() const;
    std::string ExpandLinkName(const std::string& link) const;
    const std::vector<std::string>& Visited() const { return visited_.Names(); }
    TFrameSet* TopSet() const { return topSet_; }
    const std::string& ClickURL() const { return clickUrl_; }
    const std::string& ClickTarget() const { return clickTarget_; }
    bool Busy() const { return busy_; }
    // Whether any frame's viewer is loading or laying out.
    bool ViewersBusy() const;
    // The text and attributes of the link last clicked (or covered) in a frame.
    const std::u16string& ClickLinkText() const { return clickLinkText_; }
    const std::vector<std::string>& ClickLinkAttributes() const { return clickLinkAttributes_; }

    // --- history (index 0 is the newest entry) ---
    // The top documents shown, with their framesets; every frame keeps its own history besides.
    const std::vector<TFrameViewerHistoryEntry>& History() const { return history_; }
    int HistoryPos() const { return historyPos_; }
    // Shows the entry: its frameset as it was left (frames, places and form values), or the place
    // of its page.
    void SetHistoryPos(int index);
    // Back and forward: in the frame whose navigation is the last one (or the next one) when a
    // frame has such a step, else through the top documents.
    void GoBack();
    void GoFwd();
    void ClearHistory();
    bool FwdButtonEnabled() const;
    bool BackButtonEnabled() const;
    // A frame's own history changed.
    void FrameHistoryChanged();
    // A view of one page moved within its page (an anchor): the place left becomes an entry.
    void RecordPagePlace(const std::string& file, const std::u16string& title, int pos);

    // Follows a link clicked in a frame's viewer with its target (the hot-spot click of every
    // frame's viewer comes here).
    void FollowTarget(TPageViewer* from, const std::string& url, const std::string& linkTarget, bool& handled);

    // --- the frameset parser's operations ---
    // A top document holds at most this many frames in all; FRAME and FRAMESET elements beyond
    // them are passed over, as a frame that cannot load is: silently.
    static constexpr std::size_t kMaxFrames = 1000;
    void AddFrame(TFrameSetBase* frameSet, const TAttributeList& attributes, const std::string& base) override;
    TFrameSetBase* CreateSubFrameSet(TFrameSetBase* parent) override;
    void DoAttributes(TFrameSetBase* frameSet, const TAttributeList& attributes) override;
    void EndFrameSet(TFrameSetBase* frameSet) override;
    TFrameSetBase* TopFrameSet() override { return parseTarget_; }

    // Parses a frameset document into a frameset (used by the top frameset and nested frames).
    TParseResult ParseInto(TSubFrameSet& set, const std::string& text, const std::string& basePath);
    // A new frame's viewer with the frame viewer's settings and hooks.
    TPageViewer* CreateViewer(TfvFrame& frame);
    // A frame viewer's focus border: none with fvNoFocusRect or fvNoBorder, or in a set without
    // borders.
    THTMLBorderStyle ViewerBorderStyle(const TfvFrame& frame) const;
    void ApplySettings(TPageViewer& viewer) const;
    void AddVisited(const std::string& name);
    void UpdateVisited();
    void ArmRefresh(TSubFrameSet& set);

    // True when any of the four source hooks is assigned.
    bool HasRequestEvents() const;
    // Whether two sources name the same document: the same file (links and "." or ".." steps
    // resolved), or with source hooks the same name.
    bool SameDocument(const std::string& a, const std::string& b) const;
    // What a source hook supplied for a source name.
    struct TRequestedSource {
        enum Kind { None, Text, File } kind = None;
        std::string text;      // Text: the document
        std::string fileName;  // File: the file to read instead
    };
    // Asks the first assigned source hook for a source.
    TRequestedSource RequestSource(const std::string& src);
    // The document text of a source: from the source hooks, else from the file. Sets fileName to
    // the file the text came from (empty when the application supplied it).
    std::string ReadSource(const std::string& src, std::string& fileName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The focus given to the frame viewer goes on to the viewer of its active frame.
    void focusInEvent(QFocusEvent* event) override;
    // Drags over the top frameset outside every frame's surface (its borders) reach the frame
    // viewer, which takes them while a drag handler is set.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ConnectViewer(TPageViewer& viewer, TfvFrame& frame);
    void ApplyFormEvents(TPageViewer& viewer) const;
    void ApplyPassedEvents(TPageViewer& viewer);
    // Calls work on the viewer of every frame.
    void ForEachViewer(const std::function<void(TPageViewer&)>& work) const;
    // Calls work on every frameset: the one shown and those the history keeps.
    void ForEachFrameSet(const std::function<void(TFrameSet&)>& work) const;
    // Stores a setting and hands it to every frame's viewer.
    template <class T, class Apply>
    void Store(T& field, const T& value, Apply apply)
    {
        field = value;
        ForEachViewer([&](TPageViewer& v) { apply(v, field); });
    }
    // Reports the frame viewer busy until the returned guard goes.
    [[nodiscard]] ScopeExit<std::function<void()>> BusyScope();
    // Fires OnProcessing when the combined busy state changed.
    void ReportProcessing();
    void ViewerProcessing(TPageViewer* viewer, bool on);
    bool AnyBusy() const { return busy_ || ViewersBusy(); }
    // Shows a top document, reporting busy meanwhile: a new frameset, or the same file reloaded.
    void Load(const std::string& name);
    void LoadNewFrameSet(const std::string& file, const std::string& dest);
    void ReloadTopSet(const std::string& file, const std::string& dest);
    int SinglePagePosition() const;
    void SetSinglePagePosition(int pos);
    // A new frameset replaced the old one: the old one is kept with its entry.
    void RecordNewFrameSet(TFrameSet* old, int oldPos);
    void PushEntry(TFrameViewerHistoryEntry left);
    void DropNewerEntries();
    bool Referenced(const TFrameSet* set) const;
    // Frees a frameset no entry refers to any more (unless it is shown).
    void Release(TFrameSet* set);
    void ShowFrameSet(TFrameSet* set);
    void HistoryChanged();
    TfvFrame* FrameToStep(bool back) const;
    void MetaCallback(const std::string& httpEq, const std::string& name, const std::string& content);

    // The steps of following a link.
    std::string TargetOf(TPageViewer* from, const std::string& linkTarget) const;
    bool ClickTakenByApplication(bool& handled);
    TTargetContext TargetContext(TPageViewer* from) const;
    void RequestBlankWindow(const TTargetDestination& destination, const std::string& url);
    void ShowDestination(const TTargetDestination& destination, TfvFrame* from);

    TFrameSet* topSet_ = nullptr;
    TSubFrameSet* parseTarget_ = nullptr;
    // Takes the FRAMESET elements of a document that has its frames already; holds nothing.
    TFrameSetBase overflowSet_;
    std::string parseBasePath_;
    bool busy_ = false;
    bool reportedBusy_ = false;
    std::vector<QPointer<TPageViewer>> busyViewers_;
    std::string clickUrl_, clickTarget_;
    std::u16string clickLinkText_;
    std::vector<std::string> clickLinkAttributes_;
    TVisitedList visited_;
    std::vector<TFrameViewerHistoryEntry> history_;
    int historyPos_ = 0;
    int historyMaxCount_ = 0;

    std::string defFontName_ = "Times New Roman";
    std::string defPreFontName_ = "Courier New";
    int defFontSize_ = 12;
    ColorRef defBackground_ = SystemColor(COLOR_BTNFACE);
    ColorRef defFontColor_ = StandardDocumentDefaults().FontColor;
    ColorRef defHotSpotColor_ = StandardDocumentDefaults().LinkColor;
    ColorRef defVisitedLinkColor_ = StandardDocumentDefaults().VisitedColor;
    ColorRef defOverLinkColor_ = StandardDocumentDefaults().HoverColor;
    bool viewImages_ = true;
    int imageCacheCount_ = 5;
    double printMargins_[4] = {2.0, 2.0, 2.0, 2.0};  // left, right, top, bottom (cm)
    double printScale_ = 1.0;
    int charSet_ = StandardDocumentDefaults().Charset;
    Qt::CursorShape cursor_ = Qt::IBeamCursor;
    bool noSelect_ = false;
    int marginWidth_ = 10;
    int marginHeight_ = 5;
    std::string serverRoot_;
    TFrameViewerOptions options_{fvPrintTableBackground, fvPrintMonochromeBlack};
    std::unique_ptr<TStringBitmapList> imageCache_;
    TFormSubmitEvent onFormSubmit_;
    TObjectClickEvent onObjectClick_;
    ThtObjectEvent onObjectFocus_, onObjectBlur_, onObjectChange_;
    TFileBrowseEvent onFileBrowse_;
    TPassedEvents passedEvents_;
    TDragDropEvent onDragDrop_;
    TDragOverEvent onDragOver_;
    std::vector<std::pair<std::string, TPageViewer*>> frameNames_;
};

}  // namespace velmoran
