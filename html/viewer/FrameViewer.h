// The frame viewer: shows one page or a frameset document whose frames each hold a page viewer
// (or a nested frameset). It builds the tree of frameset panels through the frameset parser,
// sizes the frames by ROWS and COLS, finds a frame's viewer by its NAME, resolves the TARGET of a
// clicked link to a frame, refreshes on META refresh, and keeps the visited list.
#pragma once

#include "html/layout/HtmlParser.h"
#include "html/viewer/PageViewer.h"
#include "platform/core/Stream.h"

#include <QFrame>
#include <QPointer>
#include <QRubberBand>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTimer;

namespace velmoran {

class TFrameViewer;
class TfvFrame;
class TSubFrameSet;
class TFrameSet;

// A frameset document or a frame that cannot be read.
class EfvLoadError : public Exception {
public:
    using Exception::Exception;
};

// The size entries of a ROWS or COLS list (at most 20): n >= 0 pixels (at most 5000), -1..-99 a
// relative weight, -101..-1000 a percentage (-(100 + n)). Numbers of any length are capped.
std::vector<int> ParseSizeList(const std::string& text);
// The sizes in pixels of the entries over an extent: pixels first, then percentages of what is
// left, then the rest shared by weight; pixel entries that do not fit are scaled down and the
// others get 0. An extent of 0 or less gives every entry 0.
std::vector<int> ComputeFrameSizes(const std::vector<int>& specs, int extent);

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

class TFrameViewerOptions {
public:
    TFrameViewerOptions() = default;
    TFrameViewerOptions(std::initializer_list<fvOptionEnum> options)
    {
        for (const auto o : options)
            bits_ |= 1u << o;
    }
    bool Has(fvOptionEnum o) const { return (bits_ >> o) & 1u; }

private:
    unsigned bits_ = 0;
};

// The names, frames and viewers of one frameset document. Frames reach it through a weak
// reference, so that a frame destroyed after its top frameset finds it gone instead of touching it.
struct TFrameRegistry {
    std::map<std::string, TfvFrame*> NameIndex;  // upper-case NAME -> frame (the first one wins)
    std::vector<TPageViewer*> AllViewers;
    std::vector<TfvFrame*> AllFrames;
};

// A panel of the frame tree: a frame or a frameset.
class TFrameBase : public QFrame {
public:
    TFrameBase(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent);
    TFrameViewer* Viewer() const { return viewer_; }
    TSubFrameSet* ParentSet() const { return parentSet_; }
    // The top frameset of the tree.
    TFrameSet* MasterSet() const;
    virtual void LoadContent() = 0;
    // Loads the panel's sources again in place; every viewer keeps its scroll position.
    virtual void ReloadContent() = 0;
    // Whether the split line before (at the start) or after (at the end) this panel may not move.
    virtual bool LockedAtStart() const = 0;
    virtual bool LockedAtEnd() const = 0;
    // Takes the panel and everything below it out of the tree's names and lists (before it is
    // deleted later).
    virtual void Detach() = 0;

protected:
    TFrameViewer* viewer_;
    TSubFrameSet* parentSet_;
    std::weak_ptr<TFrameRegistry> registry_;
};

// One FRAME: a page viewer or a nested frameset.
class TfvFrame : public TFrameBase {
public:
    TfvFrame(TFrameViewer* viewer, TSubFrameSet* parentSet, const TAttributeList* attributes,
             const std::string& basePath);
    ~TfvFrame() override;

    void LoadContent() override;
    void ReloadContent() override;
    bool LockedAtStart() const override;
    bool LockedAtEnd() const override;
    void Detach() override;
    // A link or refresh into this frame: file and destination (with its "#").
    void Navigate(const std::string& file, const std::string& dest, bool refresh);
    void StartRefresh(int delay, const std::string& url);

    std::string SourceFile, InitialSource, AnchorPart, FrameName;
    bool ScrollOff = false;
    bool ResizeLocked = false;
    int MarginX = 10, MarginY = 5;
    TPageViewer* PageViewer = nullptr;   // a child widget
    TSubFrameSet* NestedSet = nullptr;   // a child widget

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Mouse events on the frame's own border go to its frameset, which drags the split lines.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ForwardMouse(int action, QMouseEvent* event);
    void CreateViewer();
    void LoadIntoViewer(const std::string& file, const std::string& dest);
    void ShowError();
    void DropContent();
    QTimer* refreshTimer_ = nullptr;
    std::string refreshUrl_;
};

// One FRAMESET.
class TSubFrameSet : public TFrameBase, public TFrameSetBase {
public:
    TSubFrameSet(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent);
    // Deletes the child panels while this set is still whole (they look up their tree).
    ~TSubFrameSet() override;

    void LoadContent() override;
    void ReloadContent() override;
    bool LockedAtStart() const override;
    bool LockedAtEnd() const override;
    void Detach() override;
    // Reads ROWS, COLS, BORDER and FRAMEBORDER.
    void DoAttributes(const TAttributeList& attributes, bool top);
    // Matches entries and children at the end of the FRAMESET.
    void FinishSet();
    // Places the children over the client area.
    void LayoutChildren();
    void AddChild(TFrameBase* child) { Children.push_back(child); }

    // The split line nearest to a point (in this set's coordinates) within 5 pixels, on a tie the
    // one at or before it; -1 when there is none.
    int SplitAt(QPoint point) const;
    enum class MouseAction { Down, Move, Up };
    // A mouse event over the set or one of its frame borders, in this set's coordinates. Returns
    // The split cursor when the point is over a movable split line (or a drag runs), else none.
    std::optional<Qt::CursorShape> SplitMouse(MouseAction action, QPoint point);

    std::vector<TFrameBase*> Children;  // child widgets, in document order
    bool SplitRows = false;
    std::vector<int> SizeSpec;
    std::vector<int> SizePx;
    std::vector<int> SplitPos;      // the split lines, along the split direction
    std::vector<bool> SplitLocked;  // per split: a neighbouring frame is NORESIZE
    int SizeTotal = 0;
    int BorderWidth = 2;
    int BevelSize = 0;
    std::string DocBase, DocBaseTarget;
    int RefreshDelay = 0;
    std::string RefreshUrl;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ComputeLocks();
    int LineLimit(int split, bool before) const;
    std::vector<int> placed_;     // the sizes in pixels of the last layout
    int sizeBasis_ = 0;           // the extent the dragged sizes were made for
    bool userSized_ = false;      // a split was dragged: resizes scale the sizes instead of the list
    int dragSplit_ = -1;
    int dragLow_ = 0, dragHigh_ = 0, dragAt_ = 0;
    QPointer<QRubberBand> dragLine_;
};

// The top frameset of one document.
class TFrameSet : public TSubFrameSet {
public:
    TFrameSet(TFrameViewer* viewer, QWidget* parent);
    // Builds the frameset from a file (a frameset document, or one frame showing the page).
    void LoadFile(const std::string& file, const std::string& dest);

    std::string DocumentFile;
    std::u16string DocTitle;
    std::shared_ptr<TFrameRegistry> Registry = std::make_shared<TFrameRegistry>();
    QPointer<TPageViewer> ActiveViewer;
    QPointer<TSubFrameSet> Dragging;  // the frameset whose split line is being dragged
    int Nesting = 0;
};

// What the frame viewer's history keeps of one view: the top document, and the source and scroll
// position of every frame.
struct TViewState {
    std::string TopFile;
    std::u16string Title;
    std::vector<std::pair<std::string, int>> Frames;
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
    int MarginWidth() const { return marginWidth_; }
    void SetMarginWidth(int value) { marginWidth_ = value; }
    int MarginHeight() const { return marginHeight_; }
    void SetMarginHeight(int value) { marginHeight_ = value; }
    int VisitedMaxCount() const { return visitedMaxCount_; }
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
    TFrameProcessingEvent OnProcessing;
    std::function<void(TFrameViewer* sender)> OnHistoryChange;
    TStreamRequestEvent OnStreamRequest;
    TStringsRequestEvent OnStringsRequest;
    TBufferRequestEvent OnBufferRequest;
    TFileRequestEvent OnFileRequest;

    // --- operations ---
    // Loads a frameset document or a page; raises EfvLoadError for a missing file.
    void LoadFromFile(const std::string& name);
    // Loads every frame of the current document again; each keeps its position.
    void Reload();
    TPageViewer* GetViewerFromName(const std::string& name) const;
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
    const std::vector<std::string>& Visited() const { return visited_; }
    TFrameSet* TopSet() const { return topSet_; }
    const std::string& ClickURL() const { return clickUrl_; }
    const std::string& ClickTarget() const { return clickTarget_; }
    bool Busy() const { return busy_; }

    // --- history across frames (index 0 is the newest view) ---
    const std::vector<TViewState>& History() const { return history_; }
    int HistoryPos() const { return historyPos_; }
    // Shows the view of a history entry: its top document and every frame's page and position.
    void SetHistoryPos(int index);
    void ClearHistory();
    bool FwdButtonEnabled() const { return historyPos_ >= 1; }
    bool BackButtonEnabled() const { return historyPos_ <= static_cast<int>(history_.size()) - 2; }

    // Follows a link clicked in a frame's viewer with its target (the hot-spot click of every
    // frame's viewer comes here).
    void FollowTarget(TPageViewer* from, const std::string& url, const std::string& linkTarget, bool& handled);

    // --- the frameset parser's operations ---
    void AddFrame(TFrameSetBase* frameSet, const TAttributeList& attributes, const std::string& base) override;
    TFrameSetBase* CreateSubFrameSet(TFrameSetBase* parent) override;
    void DoAttributes(TFrameSetBase* frameSet, const TAttributeList& attributes) override;
    void EndFrameSet(TFrameSetBase* frameSet) override;
    TFrameSetBase* TopFrameSet() override { return parseTarget_; }

    // Parses a frameset document into a frameset (used by the top frameset and nested frames).
    TParseResult ParseInto(TSubFrameSet& set, const std::string& text, const std::string& basePath);
    // A new frame's viewer with the frame viewer's settings and hooks.
    TPageViewer* CreateViewer(TfvFrame& frame);
    void ApplySettings(TPageViewer& viewer) const;
    void AddVisited(const std::string& name);
    void UpdateVisited();
    void ArmRefresh(TSubFrameSet& set);

    // True when any of the four source hooks is assigned.
    bool HasRequestEvents() const;
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

private:
    void Load(const std::string& name);
    TViewState Capture() const;
    void Restore(const TViewState& state);
    // A navigation happened: the view before it goes to the current entry, the new view in front.
    void RecordHistory(const TViewState& before);
    void SetBusy(bool busy);
    void MetaCallback(const std::string& httpEq, const std::string& name, const std::string& content);

    TFrameSet* topSet_ = nullptr;
    TSubFrameSet* parseTarget_ = nullptr;
    std::string parseBasePath_;
    bool parsingTop_ = false;
    bool busy_ = false;
    std::string clickUrl_, clickTarget_;
    std::vector<std::string> visited_;
    std::vector<TViewState> history_;
    int historyPos_ = 0;
    int historyMaxCount_ = 0;

    std::string defFontName_ = "Times New Roman";
    int defFontSize_ = 12;
    ColorRef defBackground_ = SystemColor(COLOR_BTNFACE);
    bool noSelect_ = false;
    int marginWidth_ = 10;
    int marginHeight_ = 5;
    int visitedMaxCount_ = 50;
    std::string serverRoot_;
    TFrameViewerOptions options_{fvPrintTableBackground, fvPrintMonochromeBlack};
    std::unique_ptr<TStringBitmapList> imageCache_;
    std::vector<std::pair<std::string, TPageViewer*>> frameNames_;
};

}  // namespace velmoran
