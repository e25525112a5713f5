// The frame viewer: its frames' viewers made and set up, the settings and the form events handed
// to every viewer,
// the frameset parser's operations, META refresh of framesets, the source hooks, the queries about
// frames and viewers, and the visited list. Following links and the history across frames are in
// FrameViewerNavigation.cpp.
#include "html/viewer/FrameViewer.h"

#include "html/base/HtmlTokenizer.h"
#include "html/base/WideText.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cstdint>

namespace velmoran {

TFrameViewer::TFrameViewer(QWidget* parent) : QWidget(parent)
{
    imageCache_ = std::make_unique<TStringBitmapList>();
    imageCache_->SetCacheCount(imageCacheCount_);
    topSet_ = new TFrameSet(this, this);
    topSet_->setGeometry(rect());
    resize(150, 150);
}

TFrameViewer::~TFrameViewer()
{
    // The frames and their viewers go before the image cache they share: the shown frameset and
    // any replaced one still waiting for its deferred delete.
    topSet_ = nullptr;
    const QObjectList children = QObject::children();
    for (QObject* child : children)
        delete dynamic_cast<TFrameSet*>(child);
}

void TFrameViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (topSet_)
        topSet_->setGeometry(rect());
}

void TFrameViewer::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (TPageViewer* active = GetActiveViewer())
        active->setFocus(event->reason());
}

void TFrameViewer::ApplySettings(TPageViewer& viewer) const
{
    viewer.SetDefFontName(defFontName_);
    viewer.SetDefPreFontName(defPreFontName_);
    viewer.SetDefFontSize(defFontSize_);
    viewer.SetDefFontColor(defFontColor_);
    viewer.SetDefHotSpotColor(defHotSpotColor_);
    viewer.SetDefVisitedLinkColor(defVisitedLinkColor_);
    viewer.SetDefOverLinkColor(defOverLinkColor_);
    viewer.SetDefBackground(defBackground_);
    viewer.SetViewImages(viewImages_);
    viewer.SetImageCacheCount(imageCacheCount_);
    viewer.PrintMarginLeft = printMargins_[0];
    viewer.PrintMarginRight = printMargins_[1];
    viewer.PrintMarginTop = printMargins_[2];
    viewer.PrintMarginBottom = printMargins_[3];
    viewer.SetPrintScale(printScale_);
    viewer.SetViewerCursor(cursor_);
    viewer.SetNoSelect(noSelect_);
    viewer.SetServerRoot(serverRoot_);
    viewer.SetVisitedMaxCount(visited_.MaxCount());
    TPageViewerOptions ht;
    const std::pair<fvOptionEnum, htOptionEnum> map[] = {
        {fvOverLinksActive, htOverLinksActive},     {fvNoLinkUnderline, htNoLinkUnderline},
        {fvPrintTableBackground, htPrintTableBackground}, {fvPrintBackground, htPrintBackground},
        {fvPrintMonochromeBlack, htPrintMonochromeBlack}, {fvShowVScroll, htShowVScroll},
        {fvNoWheelMouse, htNoWheelMouse},           {fvShowDummyCaret, htShowDummyCaret}};
    for (const auto& [fv, htOption] : map)
        if (options_.Has(fv))
            ht.Include(htOption);
    viewer.SethtOptions(ht);
}

TPageViewer* TFrameViewer::CreateViewer(TfvFrame& frame)
{
    auto* viewer = new TPageViewer(&frame);
    viewer->Frame = &frame;
    viewer->setFocusPolicy(Qt::StrongFocus);
    viewer->SetImageCache(imageCache_.get());
    ApplySettings(*viewer);
    viewer->SetCharSet(frame.CharSet);
    viewer->SetMarginWidth(frame.MarginX);
    viewer->SetMarginHeight(frame.MarginY);
    if (frame.ScrollOff)
        viewer->SetScrollBars(TScrollStyle::ssNone);
    viewer->SetBorderStyle(ViewerBorderStyle(frame));
    ConnectViewer(*viewer, frame);
    ApplyFormEvents(*viewer);
    ApplyPassedEvents(*viewer);
    if (TFrameSet* master = frame.MasterSet())
        master->Registry->AllViewers.push_back(viewer);
    return viewer;
}

THTMLBorderStyle TFrameViewer::ViewerBorderStyle(const TfvFrame& frame) const
{
    // One page has the set's border (its frame only draws no second bevel inside it).
    const auto* set = frame.ParentSet();
    const auto* top = dynamic_cast<const TFrameSet*>(set);
    const bool setWithoutBorder = set && set->BorderWidth == 0 && !(top && top->OnePage());
    const bool noBorder = options_.Has(fvNoFocusRect) || options_.Has(fvNoBorder) || setWithoutBorder;
    return noBorder ? THTMLBorderStyle::htNone : THTMLBorderStyle::htFocused;
}

// A frame's viewer reports its links, clicks, META data and activation to the frame viewer, and
// asks the frame viewer's source hooks for the sources a page needs.
void TFrameViewer::ConnectViewer(TPageViewer& viewer, TfvFrame& frame)
{
    viewer.OnHotSpotClick = [this](TPageViewer* sender, const std::string& url, bool& handled) {
        FollowTarget(sender, url, sender->HotSpotTarget(), handled);
    };
    viewer.OnHotSpotCovered = [this](TPageViewer* sender, const std::string& url) {
        if (!OnHotSpotTargetCovered)
            return;
        clickLinkText_ = sender->LinkText();
        clickLinkAttributes_ = sender->LinkAttributes();
        OnHotSpotTargetCovered(this, sender->HotSpotTarget(), url);
    };
    viewer.OnProcessing = [this](TPageViewer* sender, bool on) { ViewerProcessing(sender, on); };
    viewer.OnSoundRequest = [this](TPageViewer*, const std::string& src, int loop, bool terminate) {
        if (OnSoundRequest)
            OnSoundRequest(this, src, loop, terminate);
    };
    viewer.OnRightClick = [this](TPageViewer* sender, const TRightClickParameters& parameters) {
        if (OnRightClick)
            OnRightClick(sender, parameters);
    };
    viewer.OnMeta = [this](TPageViewer*, const std::string& httpEq, const std::string& name,
                           const std::string& content) {
        if (OnMeta)
            OnMeta(this, httpEq, name, content);
    };
    if (options_.Has(fvMetaRefresh)) {
        QPointer<TfvFrame> owner(&frame);
        viewer.OnMetaRefresh = [owner](TPageViewer*, int delay, const std::string& url) {
            if (owner)
                owner->StartRefresh(delay, url);
        };
    }
    // Sources a page asks for come through the frame viewer's hooks too.
    viewer.OnhtStreamRequest = [this](TPageViewer*, const std::string& src, std::string& content) {
        if (!HasRequestEvents())
            return;
        std::string file;
        try {
            content = ReadSource(src, file);
        } catch (const std::exception&) {
            content.clear();
        }
    };
    viewer.OnActivate = [this](TPageViewer* sender) {
        if (topSet_)
            topSet_->ActiveViewer = sender;
    };
}

void TFrameViewer::ApplyFormEvents(TPageViewer& viewer) const
{
    viewer.SetOnFormSubmit(onFormSubmit_);
    viewer.SetOnObjectClick(onObjectClick_);
    viewer.SetOnObjectFocus(onObjectFocus_);
    viewer.SetOnObjectBlur(onObjectBlur_);
    viewer.SetOnObjectChange(onObjectChange_);
    viewer.SetOnFileBrowse(onFileBrowse_);
}

void TFrameViewer::ApplyPassedEvents(TPageViewer& viewer)
{
    const TPassedEvents& e = passedEvents_;
    viewer.OnImageRequest = e.OnImageRequest;
    viewer.OnBitmapRequest = e.OnBitmapRequest;
    viewer.OnProgress = e.OnProgress;
    viewer.OnScript = e.OnScript;
    viewer.OnImageClick = e.OnImageClick;
    viewer.OnImageOver = e.OnImageOver;
    viewer.OnMouseDouble = e.OnMouseDouble;
    viewer.OnInclude = e.OnInclude;
    viewer.OnLink = e.OnLink;
    viewer.OnPanelCreate = e.OnPanelCreate;
    viewer.OnPanelDestroy = e.OnPanelDestroy;
    viewer.OnPanelPrint = e.OnPanelPrint;
    viewer.OnParseBegin = e.OnParseBegin;
    viewer.OnParseEnd = e.OnParseEnd;
    viewer.OnObjectTag = e.OnObjectTag;
    viewer.OnPrintHeader = e.OnPrintHeader;
    viewer.OnPrintFooter = e.OnPrintFooter;
    viewer.OnPrintHTMLHeader = e.OnPrintHTMLHeader;
    viewer.OnPrintHTMLFooter = e.OnPrintHTMLFooter;
    QPointer<TFrameViewer> self(this);
    viewer.SetOnDragDrop(!onDragDrop_ ? TDragDropEvent() : [self](QObject*, const QMimeData* data, int x, int y) {
        if (self && self->onDragDrop_)
            self->onDragDrop_(self, data, x, y);
    });
    viewer.SetOnDragOver(!onDragOver_ ? TDragOverEvent()
                                      : [self](QObject*, const QMimeData* data, int x, int y, bool& accept) {
                                            if (self && self->onDragOver_)
                                                self->onDragOver_(self, data, x, y, accept);
                                        });
}

void TFrameViewer::SetPassedEvents(TPassedEvents events)
{
    passedEvents_ = std::move(events);
    ForEachViewer([&](TPageViewer& v) { ApplyPassedEvents(v); });
}

void TFrameViewer::SetOnDragDrop(TDragDropEvent handler)
{
    onDragDrop_ = std::move(handler);
    setAcceptDrops(onDragDrop_ || onDragOver_);
    ForEachViewer([&](TPageViewer& v) { ApplyPassedEvents(v); });
}

void TFrameViewer::SetOnDragOver(TDragOverEvent handler)
{
    onDragOver_ = std::move(handler);
    setAcceptDrops(onDragDrop_ || onDragOver_);
    ForEachViewer([&](TPageViewer& v) { ApplyPassedEvents(v); });
}

void TFrameViewer::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TFrameViewer::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint p = event->position().toPoint();
    bool accept = static_cast<bool>(onDragDrop_);
    if (onDragOver_)
        RunGuarded([&] { onDragOver_(this, event->mimeData(), p.x(), p.y(), accept); });
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFrameViewer::dropEvent(QDropEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (onDragDrop_)
        RunGuarded([&] { onDragDrop_(this, event->mimeData(), p.x(), p.y()); });
    event->acceptProposedAction();
}

void TFrameViewer::SetOnFormSubmit(TFormSubmitEvent handler)
{
    onFormSubmit_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnFormSubmit(onFormSubmit_); });
}

void TFrameViewer::SetOnObjectClick(TObjectClickEvent handler)
{
    onObjectClick_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnObjectClick(onObjectClick_); });
}

void TFrameViewer::SetOnObjectFocus(ThtObjectEvent handler)
{
    onObjectFocus_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnObjectFocus(onObjectFocus_); });
}

void TFrameViewer::SetOnObjectBlur(ThtObjectEvent handler)
{
    onObjectBlur_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnObjectBlur(onObjectBlur_); });
}

void TFrameViewer::SetOnObjectChange(ThtObjectEvent handler)
{
    onObjectChange_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnObjectChange(onObjectChange_); });
}

void TFrameViewer::SetOnFileBrowse(TFileBrowseEvent handler)
{
    onFileBrowse_ = std::move(handler);
    ForEachViewer([&](TPageViewer& v) { v.SetOnFileBrowse(onFileBrowse_); });
}

void TFrameViewer::ForEachFrameSet(const std::function<void(TFrameSet&)>& work) const
{
    std::vector<TFrameSet*> sets{topSet_};
    for (const TFrameViewerHistoryEntry& entry : history_)
        if (entry.Set && std::find(sets.begin(), sets.end(), entry.Set) == sets.end())
            sets.push_back(entry.Set);
    for (TFrameSet* set : sets)
        work(*set);
}

// The viewers of the framesets the history keeps get the settings too: they show again as they are.
void TFrameViewer::ForEachViewer(const std::function<void(TPageViewer&)>& work) const
{
    ForEachFrameSet([&](TFrameSet& set) {
        const std::vector<TPageViewer*> viewers = set.Registry->AllViewers;
        for (TPageViewer* viewer : viewers)
            work(*viewer);
    });
}

void TFrameViewer::SetDefFontName(const std::string& value)
{
    Store(defFontName_, value, [](TPageViewer& v, const std::string& x) { v.SetDefFontName(x); });
}

void TFrameViewer::SetDefPreFontName(const std::string& value)
{
    Store(defPreFontName_, value, [](TPageViewer& v, const std::string& x) { v.SetDefPreFontName(x); });
}

void TFrameViewer::SetDefFontSize(int value)
{
    Store(defFontSize_, value, [](TPageViewer& v, int x) { v.SetDefFontSize(x); });
}

void TFrameViewer::SetDefBackground(ColorRef value)
{
    Store(defBackground_, value, [](TPageViewer& v, ColorRef x) { v.SetDefBackground(x); });
}

void TFrameViewer::SetDefFontColor(ColorRef value)
{
    Store(defFontColor_, value, [](TPageViewer& v, ColorRef x) { v.SetDefFontColor(x); });
}

void TFrameViewer::SetDefHotSpotColor(ColorRef value)
{
    Store(defHotSpotColor_, value, [](TPageViewer& v, ColorRef x) { v.SetDefHotSpotColor(x); });
}

void TFrameViewer::SetDefVisitedLinkColor(ColorRef value)
{
    Store(defVisitedLinkColor_, value, [](TPageViewer& v, ColorRef x) { v.SetDefVisitedLinkColor(x); });
}

void TFrameViewer::SetDefOverLinkColor(ColorRef value)
{
    Store(defOverLinkColor_, value, [](TPageViewer& v, ColorRef x) { v.SetDefOverLinkColor(x); });
}

void TFrameViewer::SetViewImages(bool value)
{
    Store(viewImages_, value, [](TPageViewer& v, bool x) { v.SetViewImages(x); });
}

void TFrameViewer::SetImageCacheCount(int value)
{
    Store(imageCacheCount_, std::clamp(value, 0, 20), [](TPageViewer& v, int x) { v.SetImageCacheCount(x); });
    imageCache_->SetCacheCount(imageCacheCount_);
}

void TFrameViewer::SetPrintMarginLeft(double value)
{
    Store(printMargins_[0], value, [](TPageViewer& v, double x) { v.PrintMarginLeft = x; });
}

void TFrameViewer::SetPrintMarginRight(double value)
{
    Store(printMargins_[1], value, [](TPageViewer& v, double x) { v.PrintMarginRight = x; });
}

void TFrameViewer::SetPrintMarginTop(double value)
{
    Store(printMargins_[2], value, [](TPageViewer& v, double x) { v.PrintMarginTop = x; });
}

void TFrameViewer::SetPrintMarginBottom(double value)
{
    Store(printMargins_[3], value, [](TPageViewer& v, double x) { v.PrintMarginBottom = x; });
}

void TFrameViewer::SetPrintScale(double value)
{
    Store(printScale_, std::clamp(value, 0.25, 4.0), [](TPageViewer& v, double x) { v.SetPrintScale(x); });
}

// The character set given here holds for every frame, also those a frame makes later, over the
// one a frameset document's META named.
void TFrameViewer::SetCharSet(int value)
{
    Store(charSet_, value, [](TPageViewer& v, int x) { v.SetCharSet(x); });
    ForEachFrameSet([value](TFrameSet& set) {
        set.CharSet = value;
        for (QFrame* child : set.findChildren<QFrame*>())  // the panels have no meta object of their own
            if (auto* panel = dynamic_cast<TFrameBase*>(child))
                panel->CharSet = value;
    });
}

void TFrameViewer::SetViewerCursor(int value)
{
    Store(cursor_, value == 2 ? Qt::IBeamCursor : static_cast<Qt::CursorShape>(value),
          [](TPageViewer& v, Qt::CursorShape x) { v.SetViewerCursor(x); });
}

void TFrameViewer::SetNoSelect(bool value)
{
    Store(noSelect_, value, [](TPageViewer& v, bool x) { v.SetNoSelect(x); });
}

void TFrameViewer::SetVisitedMaxCount(int value)
{
    visited_.SetMaxCount(value);
    ForEachViewer([&](TPageViewer& v) { v.SetVisitedMaxCount(visited_.MaxCount()); });
}

void TFrameViewer::SetServerRoot(const std::string& value)
{
    serverRoot_ = ServerRootOf(value);
    ForEachViewer([&](TPageViewer& v) { v.SetServerRoot(serverRoot_); });
}

void TFrameViewer::SetfvOptions(const TFrameViewerOptions& value)
{
    options_ = value;
    ForEachViewer([&](TPageViewer& v) { ApplySettings(v); });
    ForEachFrameSet([](TFrameSet& set) { set.ApplyBorders(); });
}

// ---------------------------------------------------------------------------------------------
// The frameset parser's operations

namespace {
bool FrameCapReached(const TSubFrameSet& set)
{
    const TFrameSet* master = set.MasterSet();
    return master && master->Registry->AllFrames.size() >= TFrameViewer::kMaxFrames;
}
}  // namespace

bool TFrameViewer::SameDocument(const std::string& a, const std::string& b) const
{
    if (HasRequestEvents())
        return SameText(a, b);
    return CanonicalPath(a) == CanonicalPath(b);
}

TParseResult TFrameViewer::ParseInto(TSubFrameSet& set, const std::string& text, const std::string& basePath)
{
    TParseResult result;
    {
        // Nested framesets parse while their parent's parse runs.
        const ScopedValue<TSubFrameSet*> target(parseTarget_, &set);
        const ScopedValue<std::string> base(parseBasePath_, basePath);
        result = ParseFramesetDocument(
            *this, [this](const std::string& h, const std::string& n, const std::string& c) { MetaCallback(h, n, c); },
            text);
    }
    set.DocBase = result.Base;
    set.DocBaseTarget = result.BaseTarget;
    set.FinishSet();
    set.LayoutChildren();
    return result;
}

// The parser hands the BASE it has read so far: the set takes it only when the parse ends, after
// its frames took their sources.
void TFrameViewer::AddFrame(TFrameSetBase* frameSet, const TAttributeList& attributes, const std::string& base)
{
    auto* set = dynamic_cast<TSubFrameSet*>(frameSet);
    if (!set || FrameCapReached(*set))
        return;
    auto* frame = new TfvFrame(this, set, &attributes, parseBasePath_, base);
    set->AddChild(frame);
    frame->show();
}

TFrameSetBase* TFrameViewer::CreateSubFrameSet(TFrameSetBase* parent)
{
    auto* set = dynamic_cast<TSubFrameSet*>(parent);
    if (!set)
        return parent;
    if (FrameCapReached(*set))
        return &overflowSet_;
    auto* sub = new TSubFrameSet(this, set, set);
    set->AddChild(sub);
    sub->show();
    return sub;
}

void TFrameViewer::DoAttributes(TFrameSetBase* frameSet, const TAttributeList& attributes)
{
    auto* set = dynamic_cast<TSubFrameSet*>(frameSet);
    if (!set)
        return;
    set->DoAttributes(attributes);
    if (set == topSet_)
        topSet_->ReadBorderAttributes(attributes);
}

void TFrameViewer::EndFrameSet(TFrameSetBase* frameSet)
{
    if (auto* set = dynamic_cast<TSubFrameSet*>(frameSet))
        set->FinishSet();
}

void TFrameViewer::MetaCallback(const std::string& httpEq, const std::string& name, const std::string& content)
{
    if (SameText(httpEq, "content-type") && parseTarget_) {
        int charset = 0;
        if (LookupCharset(content, charset))
            parseTarget_->CharSet = charset;
    }
    if (OnMeta)
        OnMeta(this, httpEq, name, content);
    if (options_.Has(fvMetaRefresh) && SameText(httpEq, "refresh") && parseTarget_) {
        int delay = 0;
        std::string url;
        if (ParseMetaRefresh(content, delay, url)) {
            parseTarget_->RefreshDelay = delay;
            parseTarget_->RefreshUrl = url;
        }
    }
}

void TFrameViewer::ArmRefresh(TSubFrameSet& set)
{
    if (set.RefreshDelay <= 0)
        return;
    std::string url = set.RefreshUrl;
    if (url.empty()) {
        auto* frame = dynamic_cast<TfvFrame*>(set.parentWidget());
        url = frame ? frame->SourceFile : std::string();
    } else {
        url = ExpandLinkName(url);
    }
    if (url.empty() || !FileExists(url))
        return;
    QPointer<TSubFrameSet> guard(&set);
    QTimer::singleShot(set.RefreshDelay * 1000, this, [this, guard, url] {
        if (!guard)
            return;
        RunGuarded([&] {
            if (guard == topSet_)
                LoadFromFile(url);
            else if (auto* frame = dynamic_cast<TfvFrame*>(guard->parentWidget()))
                frame->Navigate(url, "", true);
        });
    });
}

// ---------------------------------------------------------------------------------------------
// Frames and viewers

TfvFrame* TFrameViewer::GetFrameFromName(const std::string& name) const
{
    const auto found = topSet_->Registry->NameIndex.find(UpperCase(name));
    return found == topSet_->Registry->NameIndex.end() ? nullptr : found->second;
}

TPageViewer* TFrameViewer::GetViewerFromName(const std::string& name) const
{
    const TfvFrame* frame = GetFrameFromName(name);
    return frame ? frame->PageViewer : nullptr;
}

TPageViewer* TFrameViewer::GetActiveViewer() const
{
    if (topSet_->Registry->AllViewers.size() == 1)
        return topSet_->Registry->AllViewers.front();
    return topSet_->ActiveViewer.data();
}

int TFrameViewer::GetFrameCount() const
{
    return static_cast<int>(topSet_->Registry->AllViewers.size());
}

TPageViewer* TFrameViewer::GetFrame(int index) const
{
    if (index < 0 || index >= GetFrameCount())
        return nullptr;
    return topSet_->Registry->AllViewers[static_cast<std::size_t>(index)];
}

std::string TFrameViewer::GetCurrentFile() const
{
    return topSet_->DocumentFile;
}

const std::u16string& TFrameViewer::DocumentTitle() const
{
    return topSet_->DocTitle;
}

std::string TFrameViewer::ExpandLinkName(const std::string& link) const
{
    std::string result = UrlToDosPathWithRoot(Trim(link), serverRoot_);
    if ((result.size() >= 2 && result[1] == ':') || StartsWith(result, "//"))
        return result;
    if (!result.empty() && result.front() == '/')
        return NormalPath(result);
    TPageViewer* active = GetActiveViewer();
    std::string base = active ? active->Base() : std::string();
    // Else the BASE of the nearest enclosing frameset document, up to the top one.
    auto* frame = active ? static_cast<TfvFrame*>(active->Frame) : nullptr;
    for (const TSubFrameSet* set = frame ? frame->ParentSet() : topSet_; base.empty() && set; set = set->ParentSet())
        base = set->DocBase;
    if (SameText(base, "DosPath"))
        return result;
    if (!base.empty())
        return NormalPath(FolderOf(UrlToDosPath(base)) + result);
    // The escapes are read: a "%" left in the name is the file's own.
    if (active)
        return active->ExpandLinkPath(result);
    return NormalPath(FolderOf(topSet_->DocumentFile) + result);
}

const std::vector<std::pair<std::string, TPageViewer*>>& TFrameViewer::GetFrameNames()
{
    frameNames_.clear();
    const QRect outer(topSet_->mapToGlobal(topSet_->contentsRect().topLeft()), topSet_->contentsRect().size());
    for (TPageViewer* v : topSet_->Registry->AllViewers) {
        if (v->Document().SectionCount() == 0)
            continue;
        auto* frame = static_cast<TfvFrame*>(v->Frame);
        const QWidget* area = frame ? static_cast<QWidget*>(frame) : static_cast<QWidget*>(v);
        const QRect inner = frame ? frame->contentsRect() : v->rect();
        const QRect r(area->mapToGlobal(inner.topLeft()), inner.size());
        std::string edges;
        if (std::abs(r.left() - outer.left()) <= 2)
            edges += 'l';
        if (std::abs(r.top() - outer.top()) <= 2)
            edges += 't';
        if (std::abs(r.right() - outer.right()) <= 2)
            edges += 'r';
        if (std::abs(r.bottom() - outer.bottom()) <= 2)
            edges += 'b';
        frameNames_.emplace_back(edges, v);
    }
    return frameNames_;
}

// ---------------------------------------------------------------------------------------------
// The source hooks

bool TFrameViewer::HasRequestEvents() const
{
    return OnStringsRequest || OnStreamRequest || OnBufferRequest || OnFileRequest;
}

TFrameViewer::TRequestedSource TFrameViewer::RequestSource(const std::string& src)
{
    TRequestedSource result;
    // The first assigned hook decides, whether it supplies something or not.
    if (OnStringsRequest) {
        const std::vector<std::string>* strings = nullptr;
        OnStringsRequest(this, src, strings);
        if (strings) {
            result.kind = TRequestedSource::Text;
            for (const auto& line : *strings)
                result.text += line + "\r\n";
        }
    } else if (OnStreamRequest) {
        TStream* stream = nullptr;
        OnStreamRequest(this, src, stream);
        if (stream) {
            result.kind = TRequestedSource::Text;
            stream->Seek(0, SeekOrigin::Begin);
            const std::int64_t size = stream->Size();
            result.text.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
            if (size > 0)
                stream->ReadBuffer(result.text.data(), size);
        }
    } else if (OnBufferRequest) {
        const char* buffer = nullptr;
        int size = 0;
        OnBufferRequest(this, src, buffer, size);
        if (buffer && size > 0) {
            result.kind = TRequestedSource::Text;
            result.text.assign(buffer, static_cast<std::size_t>(size));
        }
    } else if (OnFileRequest) {
        std::string name;
        OnFileRequest(this, src, name);
        if (!name.empty()) {
            result.kind = TRequestedSource::File;
            result.fileName = name;
        }
    }
    return result;
}

std::string TFrameViewer::ReadSource(const std::string& src, std::string& fileName)
{
    const TRequestedSource supplied = RequestSource(src);
    if (supplied.kind == TRequestedSource::Text) {
        fileName.clear();
        return supplied.text;
    }
    fileName = supplied.kind == TRequestedSource::File ? supplied.fileName : src;
    return ReadFileBytes(fileName);
}

// ---------------------------------------------------------------------------------------------
// The visited list

void TFrameViewer::AddVisited(const std::string& name)
{
    visited_.Add(name);
}

void TFrameViewer::UpdateVisited()
{
    if (visited_.MaxCount() <= 0)
        return;
    ForEachViewer([&](TPageViewer& v) {
        TViewerDocument& doc = v.Document();
        for (int i = 0; i < doc.LinkCount(); ++i) {
            const std::string url = doc.LinkUrl(i);
            const std::string full = !url.empty() && url.front() == '#' ? v.GetCurrentFile() + url
                                   : HasRequestEvents() ? url : v.ExpandFileName(url);
            if (visited_.Contains(full))
                doc.SetLinkVisited(i, true);
        }
        v.Invalidate();
    });
}

}  // namespace velmoran
