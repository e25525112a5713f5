// The page viewer: loading and its events, history and visited list, layout width and scroll bars,
// scrolling, double-buffered painting with the background, links, selection and clipboard copy.
#include "html/viewer/PageViewer.h"

#include "html/base/WideText.h"
#include "html/viewer/Cursors.h"
#include "html/viewer/SectionListDocument.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/QtCanvas.h"
#include "platform/core/Stream.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace velmoran {
namespace {

constexpr int kSmallChangeV = 16;
constexpr int kSmallChangeH = 15;
constexpr int kMaxNeededWidth = 6000;
constexpr int kLongSource = 10000;

bool IsWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 192;
}

// Where a background tile starts along one side of the area.
int TilePlace(const PositionRec& pos, int area, int size)
{
    switch (pos.PosType) {
    case PositionRec::Top:
    case PositionRec::Left: return 0;
    case PositionRec::Center: return (area - size) / 2;
    case PositionRec::Bottom:
    case PositionRec::Right: return area - size;
    case PositionRec::Percent: return (area - size) * pos.Value / 100;
    default: return pos.Value;
    }
}

// The starts of the tiles along one side that cover [from, to).
std::vector<int> TileStarts(int first, int size, bool repeat, int from, int to)
{
    std::vector<int> starts;
    if (size <= 0)
        return starts;
    if (!repeat) {
        if (first < to && first + size > from)
            starts.push_back(first);
        return starts;
    }
    int start = first;
    if (start > from)
        start -= ((start - from + size - 1) / size) * size;
    else
        start += ((from - start) / size) * size;
    for (int p = start; p < to; p += size)
        starts.push_back(p);
    return starts;
}

// Restores the application cursor when a file load ends.
class WaitCursor {
public:
    WaitCursor()
    {
        if (QGuiApplication::instance())
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (QGuiApplication::instance())
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The drawing surface

TPaintPanel::TPaintPanel(TPageViewer* viewer) : QWidget(viewer), viewer_(viewer)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setCursor(Qt::IBeamCursor);
}

void TPaintPanel::paintEvent(QPaintEvent* event)
{
    if (viewer_->layoutRunning_ || painting_)
        return;
    painting_ = true;
    RunGuarded([&] {
        viewer_->UpdateBorder();
        const QRect clip = event->rect();
        if (clip.isEmpty())
            return;
        QImage buffer(clip.size(), QImage::Format_RGB32);
        if (buffer.isNull())
            return;  // no memory for the picture: the surface keeps what it shows
        {
            QPainter painter(&buffer);
            painter.translate(-clip.topLeft());
            QtCanvas canvas(&painter);
            viewer_->DrawBackground(canvas, clip);
            viewer_->PanelPaint(canvas, clip);
        }
        QPainter screen(this);
        screen.drawImage(clip.topLeft(), buffer);
    });
    painting_ = false;
}

void TPaintPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseDown(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseMove(event->buttons(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    RunGuarded([&] { viewer_->PanelMouseUp(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        RunGuarded([&] { viewer_->PanelDoubleClick(event->modifiers(), p.x(), p.y()); });
}

// ---------------------------------------------------------------------------------------------
// Creation and properties

TPageViewer::TPageViewer(QWidget* parent, std::unique_ptr<TViewerDocument> document) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    border_ = new QFrame(this);
    border_->setFrameShape(QFrame::NoFrame);
    border_->setLineWidth(1);
    panel_ = new TPaintPanel(this);
    vBar_ = new QScrollBar(Qt::Vertical, this);
    vBar_->setFocusPolicy(Qt::NoFocus);
    vBar_->setSingleStep(kSmallChangeV);
    vBar_->hide();
    scrollBarWidth_ = std::max(1, vBar_->sizeHint().width());
    hBar_ = new QScrollBar(Qt::Horizontal, this);
    hBar_->setFocusPolicy(Qt::NoFocus);
    hBar_->setSingleStep(kSmallChangeH);
    hBar_->hide();
    QObject::connect(vBar_, &QScrollBar::valueChanged, this, [this](int v) { VScrolled(v); });
    QObject::connect(hBar_, &QScrollBar::valueChanged, this, [this](int v) { HScrolled(v); });
    hotSpotTimer_ = new QTimer(this);
    hotSpotTimer_->setInterval(200);
    QObject::connect(hotSpotTimer_, &QTimer::timeout, this, [this] { RunGuarded([this] { HotSpotTimerTick(); }); });

    document_ = document ? std::move(document) : std::make_unique<TSectionListDocument>(this);
    document_->SetShowImages(true);
    document_->SetDefaults(Defaults());
    document_->SetOptions(TDocumentOptions{options_.Has(htOverLinksActive),
                                           options_.Has(htPrintTableBackground) || options_.Has(htPrintBackground),
                                           options_.Has(htPrintBackground), options_.Has(htPrintMonochromeBlack),
                                           options_.Has(htShowDummyCaret)});
    document_->SetSelection(-1, -1);

    PointerOverSurface = [this] {
        return panel_->isVisible() && QApplication::widgetAt(QCursor::pos()) == panel_;
    };
    PointerInSurface = [this] { return panel_->mapFromGlobal(QCursor::pos()); };

    resize(150, 150);
    ArrangeBars();
    creating_ = false;
}

TPageViewer::~TPageViewer()
{
    hotSpotTimer_->stop();
    // The document goes before the cache it may hold entries of.
    document_.reset();
    ownCache_.reset();
}

TDocumentDefaults TPageViewer::Defaults() const
{
    TDocumentDefaults d;
    d.FontName = defFontName_;
    d.PreFontName = defPreFontName_;
    d.MarginWidth = marginWidth_;
    d.MarginHeight = marginHeight_;
    d.Charset = charSet_;
    d.UnderlineLinks = !options_.Has(htNoLinkUnderline);
    d.LinksActive = options_.Has(htOverLinksActive);
    d.Background = defBackground_;
    d.HoverColor = defOverLinkColor_;
    d.VisitedColor = defVisitedLinkColor_;
    d.LinkColor = defHotSpotColor_;
    d.FontColor = defFontColor_;
    d.FontSize = defFontSize_;
    return d;
}

void TPageViewer::SetViewImages(bool value)
{
    viewImages_ = value;
    if (value == document_->ShowImages() || Blocked())
        return;
    WaitCursor wait;
    SetProcessing(true);
    document_->SetShowImages(value);
    if (document_->SectionCount() > 0) {
        document_->GetBackgroundBitmap();
        const int code = GetPosition();
        DoLayout();
        SetPosition(code);
        panel_->update();
    }
    SetProcessing(false);
}

void TPageViewer::SetDefBackground(ColorRef value)
{
    if (Blocked())
        return;
    defBackground_ = value;
    document_->SetBackground(value);
    panel_->update();
}

void TPageViewer::SetBorderStyle(THTMLBorderStyle value)
{
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    if (!creating_ && !Blocked())
        DoLayout();
    UpdateBorder();
    panel_->update();
}

void TPageViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == historyMaxCount_)
        return;
    if (value < historyMaxCount_)
        ClearHistory();
    historyMaxCount_ = value;
}

void TPageViewer::SetDefPreFontName(const std::string& value)
{
    if (SameText(value, document_->PreFontName()))
        return;
    defPreFontName_ = value;
    document_->SetPreFontName(value);
}

void TPageViewer::SetDefHotSpotColor(ColorRef value)
{
    defHotSpotColor_ = value;
    document_->SetLinkColors(defOverLinkColor_, defVisitedLinkColor_, defHotSpotColor_);
}

void TPageViewer::SetDefVisitedLinkColor(ColorRef value)
{
    defVisitedLinkColor_ = value;
    document_->SetLinkColors(defOverLinkColor_, defVisitedLinkColor_, defHotSpotColor_);
}

void TPageViewer::SetDefOverLinkColor(ColorRef value)
{
    defOverLinkColor_ = value;
    document_->SetLinkColors(defOverLinkColor_, defVisitedLinkColor_, defHotSpotColor_);
}

void TPageViewer::SetVisitedMaxCount(int value)
{
    value = std::max(value, 0);
    if (value == visitedMaxCount_)
        return;
    visitedMaxCount_ = value;
    if (value > 0) {
        if (static_cast<int>(visited_.size()) > value)
            visited_.resize(static_cast<std::size_t>(value));
    } else {
        visited_.clear();
        for (int i = 0; i < document_->LinkCount(); ++i)
            document_->SetLinkVisited(i, false);
        panel_->update();
    }
}

void TPageViewer::SetImageCacheCount(int value)
{
    value = std::clamp(value, 0, 20);
    imageCacheCount_ = value;
    if (TStringBitmapList* cache = document_->ImageCache())
        cache->SetCacheCount(value);
}

void TPageViewer::SetNoSelect(bool value)
{
    if (value == noSelect_)
        return;
    noSelect_ = value;
    if (value) {
        document_->SetSelection(-1, -1);
        panel_->update();
    }
}

void TPageViewer::SetScrollBars(TScrollStyle value)
{
    if (value == scrollBars_)
        return;
    scrollBars_ = value;
    if (creating_ || Blocked())
        return;
    SetProcessing(true);
    DoLayout();
    SetProcessing(false);
    panel_->update();
}

void TPageViewer::SetServerRoot(const std::string& value)
{
    std::string root = Trim(value);
    if (!root.empty() && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    serverRoot_ = root;
}

void TPageViewer::SetPrintScale(double value)
{
    printScale_ = std::clamp(value, 0.25, 4.0);
}

void TPageViewer::SethtOptions(const TPageViewerOptions& value)
{
    options_ = value;
    document_->SetOptions(TDocumentOptions{value.Has(htOverLinksActive),
                                           value.Has(htPrintTableBackground) || value.Has(htPrintBackground),
                                           value.Has(htPrintBackground), value.Has(htPrintMonochromeBlack),
                                           value.Has(htShowDummyCaret)});
}

void TPageViewer::SetViewerCursor(int value)
{
    cursor_ = value == 2 ? Qt::IBeamCursor : static_cast<Qt::CursorShape>(value);
}

void TPageViewer::SetBase(const std::string& base)
{
    base_ = base;
    ownerBase_ = base;
}

TPageViewer::TPrintingGuard::TPrintingGuard(TPageViewer& viewer) : viewer_(&viewer)
{
    ++viewer.printing_;
}

TPageViewer::TPrintingGuard::~TPrintingGuard()
{
    if (viewer_)
        --viewer_->printing_;
}

// ---------------------------------------------------------------------------------------------
// Loading

void TPageViewer::SetProcessing(bool on)
{
    if (processing_ == on)
        return;
    processing_ = on;
    if (OnProcessing)
        OnProcessing(this, on);
}

void TPageViewer::Progress(ThtProgressStage stage, int percent)
{
    if (OnProgress)
        OnProgress(this, stage, percent);
}

void TPageViewer::DoProgress(int percent)
{
    Progress(ThtProgressStage::psRunning, percent);
}

void TPageViewer::PrepareDocument()
{
    if (!document_->ImageCache()) {
        ownCache_ = std::make_unique<TStringBitmapList>();
        ownCache_->SetCacheCount(imageCacheCount_);
        document_->SetImageCache(ownCache_.get());
    }
    document_->Clear();
    document_->ImageCache()->BumpAndCheck();
    document_->SetDefaults(Defaults());
}

TParseHooks TPageViewer::Hooks()
{
    TParseHooks hooks;
    hooks.OnInclude = [this](const std::string& command, const std::vector<std::string>& params, std::string& text) {
        if (OnInclude)
            OnInclude(this, command, params, text);
    };
    hooks.OnSoundRequest = [this](const std::string& src, int loop, bool terminate) {
        if (OnSoundRequest)
            OnSoundRequest(this, src, loop, terminate);
    };
    hooks.OnMeta = [this](const std::string& httpEq, const std::string& name, const std::string& content) {
        MetaHandler(httpEq, name, content);
    };
    hooks.OnLink = [this](const std::string& rel, const std::string& rev, const std::string& href) {
        if (OnLink)
            OnLink(this, rel, rev, href);
    };
    return hooks;
}

void TPageViewer::MetaHandler(const std::string& httpEq, const std::string& name, const std::string& content)
{
    if (OnMeta)
        OnMeta(this, httpEq, name, content);
    if (OnMetaRefresh && SameText(httpEq, "refresh")) {
        int delay = 0;
        std::string url;
        if (ParseMetaRefresh(content, delay, url)) {
            refreshDelay_ = delay;
            refreshUrl_ = url;
        }
    }
}

void TPageViewer::FinishParse(const TParseResult& result)
{
    title_ = result.Title;
    base_ = result.Base.empty() ? ownerBase_ : result.Base;
    baseTarget_ = result.BaseTarget;
    if (OnParseEnd)
        OnParseEnd(this);
    if (layoutRunning_) {
        document_->GetBackgroundBitmap();
        DoLayout();
        layoutRunning_ = true;
    }
}

void TPageViewer::LoadFileByKind(const std::string& fileName, std::uint8_t kind)
{
    if (Blocked())
        return;
    WaitCursor wait;
    std::string file, anchor;
    SplitAnchor(fileName, file, anchor);
    refreshDelay_ = 0;
    SetProcessing(true);
    try {
        if (!FileExists(file))
            throw EInOutError("Can't locate file: " + file);
        document_->SetProgressStart(75);
        Progress(ThtProgressStage::psStarting, 0);
        layoutRunning_ = true;
        PrepareDocument();
        caretPos_ = 0;
        selAnchor_ = -1;
        const std::string oldFile = currentFile_;
        currentFile_ = ExpandFileName(file);
        currentKind_ = kind;

        std::exception_ptr failure;
        TParseResult result;
        try {
            source_ = kind == kImageKind ? std::string() : ReadFileBytes(file);
            if (OnParseBegin)
                OnParseBegin(this, source_);
            if (kind == kHtmlKind) {
                if (OnSoundRequest)
                    OnSoundRequest(this, "", 0, true);
                result = document_->ParseHtml(source_, Hooks());
            } else if (kind == kTextKind) {
                document_->ParsePlainText(source_);
            } else {
                result = document_->ParseHtml(ImagePageSource(file), Hooks());
            }
        } catch (...) {
            failure = std::current_exception();
        }
        FinishParse(result);
        FlagVisitedLinks();
        if (anchor.empty() || !PositionToAnchor(anchor)) {
            if (currentFile_ != oldFile) {
                ScrollTo(0);
                SetHScrollBarPosition(0);
            }
        }
        layoutRunning_ = false;
        panel_->update();
        if (failure)
            std::rethrow_exception(failure);
    } catch (...) {
        layoutRunning_ = false;
        Progress(ThtProgressStage::psEnding, 100);
        SetProcessing(false);
        throw;
    }
    Progress(ThtProgressStage::psEnding, 100);
    SetProcessing(false);
}

void TPageViewer::FireMetaRefresh()
{
    if (refreshDelay_ > 0 && OnMetaRefresh)
        OnMetaRefresh(this, refreshDelay_, refreshUrl_);
}

void TPageViewer::LoadDocumentFile(const std::string& fileName)
{
    LoadFileWithHistory(fileName, kHtmlKind);
}

void TPageViewer::LoadTextFile(const std::string& fileName)
{
    LoadFileWithHistory(fileName, kTextKind);
}

void TPageViewer::LoadImageFile(const std::string& fileName)
{
    LoadFileWithHistory(fileName, kImageKind);
}

// Loads a file as a page of the given kind and records the page that was left in the history;
// only HTML pages carry a META refresh.
void TPageViewer::LoadFileWithHistory(const std::string& fileName, std::uint8_t kind)
{
    if (Blocked() || Trim(fileName).empty())
        return;
    const std::string oldFile = currentFile_;
    const std::u16string oldTitle = title_;
    const int oldPos = GetPosition();
    const std::uint8_t oldKind = currentKind_;
    auto snapshot = document_->GetFormData();
    LoadFileByKind(fileName, kind);
    if (kind == kHtmlKind)
        FireMetaRefresh();
    RecordHistory(oldFile, oldTitle, oldPos, oldKind, std::move(snapshot));
}

void TPageViewer::LoadString(const std::string& source, const std::string& reference, std::uint8_t kind)
{
    if (Blocked())
        return;
    SetProcessing(true);
    refreshDelay_ = 0;
    std::string file, anchor;
    SplitAnchor(reference, file, anchor);
    layoutRunning_ = true;
    const std::string oldFile = currentFile_;
    currentFile_ = Trim(file).empty() ? std::string() : ExpandFileName(file);
    currentKind_ = kind;
    TParseResult result;
    try {
        document_->SetProgressStart(75);
        Progress(ThtProgressStage::psStarting, 0);
        PrepareDocument();
        caretPos_ = 0;
        selAnchor_ = -1;
        if (OnSoundRequest)
            OnSoundRequest(this, "", 0, true);
        source_ = source;
        if (OnParseBegin)
            OnParseBegin(this, source_);
        if (kind == kHtmlKind)
            result = document_->ParseHtml(source_, Hooks());
        else
            document_->ParsePlainText(source_);
    } catch (...) {
        Progress(ThtProgressStage::psEnding, 100);
        SetProcessing(false);
        layoutRunning_ = false;
        throw;
    }
    FinishParse(result);
    FlagVisitedLinks();
    if (anchor.empty() || !PositionToAnchor(anchor)) {
        if (currentFile_.empty() || currentFile_ != oldFile) {
            ScrollTo(0);
            SetHScrollBarPosition(0);
        }
    }
    layoutRunning_ = false;
    panel_->update();
    Progress(ThtProgressStage::psEnding, 100);
    SetProcessing(false);
}

void TPageViewer::LoadDocumentString(const std::string& source, const std::string& reference)
{
    if (Blocked())
        return;
    LoadString(source, reference, kHtmlKind);
    FireMetaRefresh();
}

void TPageViewer::LoadTextString(const std::string& source, const std::string& reference)
{
    if (Blocked())
        return;
    LoadString(source, reference, kTextKind);
    FireMetaRefresh();
}

void TPageViewer::LoadDocumentBuffer(const char* buffer, int bufSize, const std::string& reference)
{
    if (Blocked())
        return;
    LoadString(std::string(buffer, buffer ? static_cast<std::size_t>(std::max(bufSize, 0)) : 0), reference,
               kHtmlKind);
    FireMetaRefresh();
}

void TPageViewer::LoadDocumentStream(TStream& stream, const std::string& reference)
{
    if (Blocked())
        return;
    const std::int64_t rest = std::max<std::int64_t>(0, stream.Size() - stream.Position());
    std::string text(static_cast<std::size_t>(rest), '\0');
    if (rest > 0)
        stream.ReadBuffer(text.data(), rest);
    LoadString(text, reference, kHtmlKind);
    FireMetaRefresh();
}

void TPageViewer::Clear()
{
    if (Blocked())
        return;
    hotSpotTimer_->stop();
    document_->Clear();
    if (ownCache_)
        ownCache_->Clear();
    document_->SetDefaults(Defaults());
    base_.clear();
    ownerBase_.clear();
    baseTarget_.clear();
    title_.clear();
    docHeight_ = 0;
    neededWidth_ = 0;
    vPos_ = 0;
    hPos_ = 0;
    document_->SetYOffset(0);
    vBar_->hide();
    hBar_->hide();
    const int b = borderStyle_ != THTMLBorderStyle::htNone ? 2 : 0;
    panel_->setGeometry(b / 2, b / 2, std::max(0, width() - b), std::max(0, height() - b));
    vBar_->setGeometry(vBar_->x(), vBar_->y(), vBar_->width(), panel_->height());
    caretPos_ = 0;
    selAnchor_ = -1;
    if (OnSoundRequest)
        OnSoundRequest(this, "", 0, true);
    panel_->update();
}

std::string TPageViewer::ExpandFileName(const std::string& name)
{
    TExpandContext context;
    context.ServerRoot = serverRoot_;
    context.Base = base_;
    context.CurrentFile = currentFile_;
    return velmoran::ExpandFileName(name, context);
}

std::string TPageViewer::BasePath() const
{
    if (!base_.empty() && !SameText(base_, "DosPath")) {
        const std::string path = UrlToDosPath(base_);
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    const auto slash = currentFile_.rfind('/');
    return slash == std::string::npos ? std::string() : currentFile_.substr(0, slash + 1);
}

bool TPageViewer::RequestStream(const std::string& url, std::string& content)
{
    if (!OnhtStreamRequest)
        return false;
    content.clear();
    OnhtStreamRequest(this, url, content);
    return !content.empty();
}

bool TPageViewer::RequestImage(const std::string& src, std::string& content)
{
    if (!OnImageRequest)
        return false;
    content.clear();
    OnImageRequest(this, src, content);
    return !content.empty();
}

void TPageViewer::Script(const std::string& name, const std::string& language, const std::string& text)
{
    if (OnScript)
        OnScript(this, name, language, text);
}

void TPageViewer::FormSubmit(const std::string& action, const std::string& target, const std::string& encType,
                             const std::string& method, const std::vector<std::string>& results)
{
    if (!OnFormSubmit)
        return;
    // Fired from the viewer's own queue, never from inside the document's click handling.
    QPointer<TPageViewer> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, action, target, encType, method, results] {
            if (self && self->OnFormSubmit)
                RunGuarded([&] { self->OnFormSubmit(self, action, target, encType, method, results); });
        },
        Qt::QueuedConnection);
}

void TPageViewer::ObjectClick(const std::string& script)
{
    if (OnObjectClick)
        OnObjectClick(this, script);
}

void TPageViewer::Invalidate()
{
    panel_->update();
}

// ---------------------------------------------------------------------------------------------
// History and visited list

void TPageViewer::RecordHistory(const std::string& oldFile, const std::u16string& oldTitle, int oldPos,
                                std::uint8_t oldKind, std::unique_ptr<TFormSnapshot> snapshot)
{
    if (currentFile_ == oldFile && currentKind_ == oldKind)
        return;
    if (historyMaxCount_ < 1 || currentFile_.empty())
        return;
    // The form data of a page that is left is kept with its entry; a page that stays has none.
    PushHistoryEntry(oldFile, oldTitle, oldPos, oldKind,
                     oldFile == currentFile_ ? nullptr : std::move(snapshot), true);
}

// A jump to an anchor of the shown document: a history entry when the place changed.
void TPageViewer::RecordAnchorHistory(const std::string& oldFile, const std::u16string& oldTitle, int oldPos,
                                      std::uint8_t oldKind)
{
    if (historyMaxCount_ < 1 || currentFile_.empty() || oldPos == GetPosition())
        return;
    PushHistoryEntry(oldFile, oldTitle, oldPos, oldKind, nullptr, false);
}

// Updates the current entry with the place that is left, drops the entries ahead of it, and puts
// the shown document in front, keeping at most HistoryMaxCount entries.
void TPageViewer::PushHistoryEntry(const std::string& oldFile, const std::u16string& oldTitle, int oldPos,
                                   std::uint8_t oldKind, std::unique_ptr<TFormSnapshot> snapshot, bool setFormData)
{
    if (!history_.empty() && !oldFile.empty()) {
        const auto i = static_cast<std::size_t>(historyIndex_);
        history_[i] = oldFile;
        titleHistory_[i] = oldTitle;
        positionHistory_[i].Pos = oldPos;
        positionHistory_[i].FileType = oldKind;
        if (setFormData)
            positionHistory_[i].FormData = std::move(snapshot);
        history_.erase(history_.begin(), history_.begin() + historyIndex_);
        titleHistory_.erase(titleHistory_.begin(), titleHistory_.begin() + historyIndex_);
        positionHistory_.erase(positionHistory_.begin(), positionHistory_.begin() + historyIndex_);
    }
    historyIndex_ = 0;
    history_.insert(history_.begin(), currentFile_);
    titleHistory_.insert(titleHistory_.begin(), title_);
    positionHistory_.insert(positionHistory_.begin(), PositionObj{GetPosition(), currentKind_, nullptr});
    if (static_cast<int>(history_.size()) > historyMaxCount_) {
        history_.pop_back();
        titleHistory_.pop_back();
        positionHistory_.pop_back();
    }
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TPageViewer::SetHistoryIndex(int index)
{
    if (Blocked() || index < 0 || index >= static_cast<int>(history_.size()) || index == historyIndex_)
        return;
    const auto old = static_cast<std::size_t>(historyIndex_);
    if (!currentFile_.empty() && history_[old] == currentFile_) {
        positionHistory_[old].Pos = GetPosition();
        positionHistory_[old].FormData = document_->GetFormData();
    }
    const auto i = static_cast<std::size_t>(index);
    const std::string file = history_[i];
    PositionObj& place = positionHistory_[i];
    if (file != currentFile_ || place.FileType != currentKind_)
        LoadFileByKind(file, place.FileType);
    historyIndex_ = index;
    SetPosition(place.Pos);
    if (place.FormData)
        SetFormData(*place.FormData);
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TPageViewer::ClearHistory()
{
    const bool hadEntries = !history_.empty();
    history_.clear();
    titleHistory_.clear();
    positionHistory_.clear();
    historyIndex_ = 0;
    currentFile_.clear();
    if (hadEntries && OnHistoryChange)
        OnHistoryChange(this);
}

std::string TPageViewer::FullLinkName(const std::string& url)
{
    if (!url.empty() && url.front() == '#')
        return currentFile_ + url;
    return ExpandFileName(url);
}

void TPageViewer::FlagVisitedLinks()
{
    if (visitedMaxCount_ <= 0 || visited_.empty())
        return;
    for (int i = 0; i < document_->LinkCount(); ++i) {
        const std::string full = FullLinkName(document_->LinkUrl(i));
        for (const auto& name : visited_) {
            if (SameText(name, full)) {
                document_->SetLinkVisited(i, true);
                break;
            }
        }
    }
}

void TPageViewer::AddVisited(const std::string& name)
{
    if (Frame || visitedMaxCount_ <= 0)
        return;
    const auto found =
        std::find_if(visited_.begin(), visited_.end(), [&](const std::string& v) { return SameText(v, name); });
    if (found == visited_.begin() && found != visited_.end())
        return;
    if (found != visited_.end()) {
        std::rotate(visited_.begin(), found, found + 1);
    } else {
        for (int i = 0; i < document_->LinkCount(); ++i)
            if (SameText(FullLinkName(document_->LinkUrl(i)), name))
                document_->SetLinkVisited(i, true);
        visited_.insert(visited_.begin(), name);
        panel_->update();
    }
    if (static_cast<int>(visited_.size()) > visitedMaxCount_)
        visited_.resize(static_cast<std::size_t>(visitedMaxCount_));
}

std::unique_ptr<TFormSnapshot> TPageViewer::GetFormData()
{
    return document_->GetFormData();
}

void TPageViewer::SetFormData(const TFormSnapshot& data)
{
    const auto onObjectClick = std::move(OnObjectClick);
    OnObjectClick = nullptr;
    document_->SetFormData(data);
    OnObjectClick = onObjectClick;
}

void TPageViewer::SetImageCache(TStringBitmapList* cache)
{
    document_->SetImageCache(cache);
    ownCache_.reset();
}

// ---------------------------------------------------------------------------------------------
// Positions, layout and scroll bars

int TPageViewer::GetPosition()
{
    int sectionY = 0, index = 0;
    if (document_->FindSectionAtPosition(vPos_, sectionY, index))
        return ((index + 1) << 16) | ((vPos_ - sectionY) & 0xFFFF);
    return vPos_;
}

void TPageViewer::SetPosition(int code)
{
    const int high = static_cast<int>(static_cast<unsigned>(code) >> 16);
    if (high == 0) {
        ScrollTo(code & 0xFFFF);
        return;
    }
    int y = 0;
    if (document_->PositionedSectionY(high - 1, y))
        ScrollTo(y + (code & 0xFFFF));
}

int TPageViewer::MaxVPos() const
{
    return std::max(0, docHeight_ - panel_->height());
}

void TPageViewer::ScrollTo(int y)
{
    y = std::clamp(y, 0, MaxVPos());
    vPos_ = y;
    settingBars_ = true;
    vBar_->setValue(y);
    settingBars_ = false;
    document_->SetYOffset(y);
    panel_->update();
}

void TPageViewer::SetVScrollBarPosition(int y)
{
    y = std::clamp(y, 0, MaxVPos());
    if (y != vPos_)
        ScrollTo(y);
}

void TPageViewer::SetHScrollBarPosition(int x)
{
    x = std::clamp(x, 0, std::max(0, neededWidth_ - panel_->width()));
    if (x == hPos_)
        return;
    hPos_ = x;
    settingBars_ = true;
    hBar_->setValue(x);
    settingBars_ = false;
    panel_->update();
}

bool TPageViewer::PositionToAnchor(const std::string& name)
{
    std::string n = name;
    if (!n.empty() && n.front() == '#')
        n.erase(0, 1);
    if (n.empty())
        return false;
    int y = 0;
    if (!document_->FindAnchor(UpperCase(n), y))
        return false;
    ScrollTo(y);
    SetHScrollBarPosition(0);
    AddVisited(currentFile_ + "#" + n);
    return true;
}

Canvas& TPageViewer::MeasureCanvas()
{
    if (!measureCanvas_)
        measureCanvas_ = std::make_unique<QtCanvas>(nullptr);
    return *measureCanvas_;
}

int TPageViewer::LayoutAt(int width)
{
    const int b = borderStyle_ != THTMLBorderStyle::htNone ? 2 : 0;
    neededWidth_ = 0;
    docHeight_ = document_->DoLogic(MeasureCanvas(), 0, std::max(0, width), std::max(0, height() - b), neededWidth_);
    return docHeight_;
}

void TPageViewer::DoLayout()
{
    layoutRunning_ = true;
    const int W = width(), H = height();
    const int b = borderStyle_ != THTMLBorderStyle::htNone ? 2 : 0;
    const int SBW = scrollBarWidth_;
    const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool both = scrollBars_ == TScrollStyle::ssBoth;
    // A document exactly as tall as the window needs no bar: only a taller one does.
    const auto barNeeded = [&](int widthLimit) {
        return docHeight_ > H - b || (both && docHeight_ >= H - b - SBW && neededWidth_ > widthLimit);
    };
    if (vertical) {
        if (options_.Has(htShowVScroll) || static_cast<int>(source_.size()) >= kLongSource) {
            LayoutAt(W - b - SBW);
        } else {
            LayoutAt(W - b);
            if (barNeeded(W - SBW - b)) {
                LayoutAt(W - b - SBW);
                if (!barNeeded(W - b))
                    LayoutAt(W - b);
            }
        }
    } else {
        LayoutAt(W - b);
    }
    ArrangeBars();
    layoutRunning_ = false;
}

void TPageViewer::ArrangeBars()
{
    neededWidth_ = std::min(neededWidth_, kMaxNeededWidth);
    const int W = width(), H = height();
    const bool hasBorder = borderStyle_ != THTMLBorderStyle::htNone;
    const int b = hasBorder ? 2 : 0;
    const int o = hasBorder ? 1 : 0;
    const int SBW = scrollBarWidth_;
    const bool showVScroll = options_.Has(htShowVScroll);
    const bool vertical = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    const bool both = scrollBars_ == TScrollStyle::ssBoth;
    if (hasBorder) {
        border_->setGeometry(0, 0, W, H);
        border_->show();
        border_->lower();
    } else {
        border_->hide();
    }
    bool vNeeded = false, showV = false, showH = false;
    const bool fits = docHeight_ <= H - b && neededWidth_ <= W - b;
    if ((!showVScroll && fits) || scrollBars_ == TScrollStyle::ssNone) {
        // no bars
    } else if (vertical) {
        vNeeded = docHeight_ > H - b || (both && docHeight_ >= H - b - SBW && neededWidth_ > W - SBW - b);
        showH = both && (neededWidth_ > W - b || ((vNeeded || showVScroll) && neededWidth_ > W - SBW - b));
        showV = vNeeded || showVScroll;
    } else if (scrollBars_ == TScrollStyle::ssHorizontal) {
        showH = neededWidth_ > W - b;
    }
    const bool reserveV = showV || (showVScroll && vertical);
    const int surfaceW = std::max(0, W - b - (reserveV ? SBW : 0));
    const int surfaceH = std::max(0, H - b - (showH ? SBW : 0));
    panel_->setGeometry(o, o, surfaceW, surfaceH);

    const int V = showV ? W - SBW : W;
    settingBars_ = true;
    hBar_->setVisible(showH);
    hBar_->setPageStep(std::max(1, V - 20));
    hBar_->setGeometry(o, H - SBW - o, std::max(0, V - 2 * o), SBW);
    hBar_->setRange(0, std::max(0, neededWidth_ - surfaceW));
    hPos_ = std::clamp(hPos_, 0, hBar_->maximum());
    hBar_->setValue(hPos_);

    vBar_->setGeometry(W - SBW - o, o, SBW, surfaceH);
    vBar_->setPageStep(std::max(1, surfaceH - kSmallChangeV));
    vBar_->setRange(0, MaxVPos());
    vPos_ = std::clamp(vPos_, 0, MaxVPos());
    vBar_->setValue(vPos_);
    if (showVScroll && vertical) {
        vBar_->setVisible(true);
        vBar_->setEnabled(vNeeded);
    } else {
        vBar_->setEnabled(true);
        vBar_->setVisible(showV);
    }
    settingBars_ = false;
    document_->SetYOffset(vPos_);
}

void TPageViewer::UpdateBorder()
{
    const bool line = borderStyle_ == THTMLBorderStyle::htSingle ||
                      (borderStyle_ == THTMLBorderStyle::htFocused && hasFocus());
    border_->setFrameShape(line ? QFrame::Box : QFrame::NoFrame);
}

void TPageViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (creating_)
        return;
    RunGuarded([this] {
        if (Blocked()) {
            ArrangeBars();
        } else {
            const int code = GetPosition();
            SetProcessing(true);
            document_->SetProgressStart(0);
            Progress(ThtProgressStage::psStarting, 0);
            DoLayout();
            Progress(ThtProgressStage::psEnding, 100);
            SetProcessing(false);
            SetPosition(code);
        }
        if (panel_->height() <= docHeight_)
            ScrollTo(vPos_);
        else
            ScrollTo(0);
        SetHScrollBarPosition(hPos_);
    });
}

void TPageViewer::VScrolled(int value)
{
    if (settingBars_)
        return;
    MoveVPos(value, !document_->BackgroundImage().Fixed || document_->BackgroundImage().Image.isNull());
}

void TPageViewer::HScrolled(int value)
{
    if (settingBars_)
        return;
    hPos_ = std::clamp(value, 0, std::max(0, neededWidth_ - panel_->width()));
    panel_->update();
}

void TPageViewer::MoveVPos(int y, bool scrollPixels)
{
    y = std::clamp(y, 0, MaxVPos());
    if (y == vPos_)
        return;
    const int dy = vPos_ - y;
    vPos_ = y;
    settingBars_ = true;
    vBar_->setValue(y);
    settingBars_ = false;
    document_->SetYOffset(y);
    if (scrollPixels && std::abs(dy) < panel_->height())
        panel_->scroll(0, dy);
    else
        panel_->update();
}

void TPageViewer::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return;
    if (panMode_) {
        panMode_ = false;
        panel_->setCursor(cursor_);
        return;
    }
    const bool fixed = document_->BackgroundImage().Fixed && !document_->BackgroundImage().Image.isNull();
    switch (event->key()) {
    case Qt::Key_PageUp: MoveVPos(vPos_ - vBar_->pageStep(), false); break;
    case Qt::Key_PageDown: MoveVPos(vPos_ + vBar_->pageStep(), false); break;
    case Qt::Key_Up: MoveVPos(vPos_ - kSmallChangeV, !fixed); break;
    case Qt::Key_Down: MoveVPos(vPos_ + kSmallChangeV, !fixed); break;
    case Qt::Key_Home: MoveVPos(0, false); break;
    case Qt::Key_End: MoveVPos(docHeight_, false); break;
    case Qt::Key_Left: SetHScrollBarPosition(hPos_ - kSmallChangeH); break;
    case Qt::Key_Right: SetHScrollBarPosition(hPos_ + kSmallChangeH); break;
    default: return;
    }
    event->accept();
}

void TPageViewer::wheelEvent(QWheelEvent* event)
{
    if (options_.Has(htNoWheelMouse)) {
        QWidget::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    const int lines = QApplication::wheelScrollLines();
    int move;
    if (lines < 1)
        move = -delta / 2;
    else
        move = -delta * lines * kSmallChangeV / 120;
    const bool fixed = document_->BackgroundImage().Fixed && !document_->BackgroundImage().Image.isNull();
    MoveVPos(vPos_ + move, !fixed);
    event->accept();
}

void TPageViewer::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    UpdateBorder();
    if (OnActivate)
        OnActivate(this);
}

void TPageViewer::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    UpdateBorder();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TPageViewer::PanelPaint(Canvas& canvas, const QRect& /*clip*/)
{
    if (layoutRunning_)
        return;
    document_->Draw(canvas, TRect{0, 1, panel_->width(), panel_->height()}, kMaxNeededWidth, -hPos_, 0);
}

void TPageViewer::DrawBackground(Canvas& canvas, const QRect& clip)
{
    if (document_->Printing())
        return;
    const ColorRef color = document_->Background() == kNoColor ? defBackground_ : document_->Background();
    const TRect area{clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1};
    canvas.FillRect(area, ColorToRGB(color));
    const TBackgroundImage& bg = document_->BackgroundImage();
    if (!document_->ShowImages() || bg.Image.isNull())
        return;
    int originX = 0, originY = 0, areaW = panel_->width(), areaH = panel_->height();
    if (!bg.Fixed) {
        originX = -hPos_;
        originY = -document_->YOffset();
        areaW = std::max(neededWidth_, panel_->width());
        areaH = std::max(docHeight_, panel_->height());
    }
    QImage tile = bg.Image;
    QImage mask = bg.Mask;
    // One-pixel-wide or -high pictures are stretched first, so that fewer tiles are drawn.
    const int wantW = tile.width() == 1 ? std::clamp(areaW, 1, 100) : tile.width();
    const int wantH = tile.height() == 1 ? std::clamp(areaH, 1, 100) : tile.height();
    if (wantW != tile.width() || wantH != tile.height()) {
        tile = tile.scaled(wantW, wantH);
        if (!mask.isNull())
            mask = mask.scaled(wantW, wantH);
    }
    const int firstX = originX + TilePlace(bg.PosX, areaW, tile.width());
    const int firstY = originY + TilePlace(bg.PosY, areaH, tile.height());
    for (const int y : TileStarts(firstY, tile.height(), bg.PosY.RepeatD, area.Top, area.Bottom)) {
        for (const int x : TileStarts(firstX, tile.width(), bg.PosX.RepeatD, area.Left, area.Right)) {
            const TRect dest{x, y, x + tile.width(), y + tile.height()};
            if (mask.isNull())
                canvas.StretchBlt(dest, tile);
            else
                canvas.MaskedStretchBlt(dest, tile, mask);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Links, mouse, selection and clipboard

bool TPageViewer::FindCursorAt(int x, int y, int& pos, bool& inText)
{
    pos = document_->FindCursor(MeasureCanvas(), x + hPos_, y + document_->YOffset(), inText);
    return pos >= 0;
}

void TPageViewer::SetCursorShape(const QCursor& cursor)
{
    panel_->setCursor(cursor);
}

int TPageViewer::SelLength() const
{
    return document_->GetSelLength();
}

std::u16string TPageViewer::SelText()
{
    if (document_->GetSelLength() <= 0)
        return {};
    return document_->GetSelText();
}

void TPageViewer::PanelMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x + panel_->x(), y + panel_->y());
    setFocus(Qt::MouseFocusReason);
    if (OnActivate)
        OnActivate(this);
    linkClicked_ = false;
    if (panMode_) {
        panMode_ = false;
        SetCursorShape(QCursor(cursor_));
        return;
    }
    if (button == Qt::MiddleButton && !options_.Has(htNoWheelMouse)) {
        panMode_ = true;
        panStartY_ = y;
        SetCursorShape(velmoran::ViewerCursor(TViewerCursor::Pan));
        return;
    }
    if (button == Qt::LeftButton) {
        leftButtonDown_ = true;
        selecting_ = true;
        int pos = -1;
        bool inText = false;
        FindCursorAt(x, y, pos, inText);
        selAnchor_ = pos;
        if (pos >= 0) {
            if (SelLength() > 0 || (shift & Qt::ShiftModifier))
                panel_->update();
            if (shift & Qt::ShiftModifier) {
                document_->SetSelection(std::min(caretPos_, pos), std::max(caretPos_, pos));
            } else {
                document_->SetSelection(pos, pos);
                caretPos_ = pos;
                document_->SetCaret(pos);
            }
        }
    }
    document_->SetHoverImageState(x + hPos_, y + document_->YOffset(), true);
}

void TPageViewer::PanelMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y)
{
    lastMouse_ = QPoint(x, y);
    if (panMode_) {
        if (!autoScrolling_ && std::abs(y - panStartY_) > 20)
            StartAutoScroll();
        return;
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x + panel_->x(), y + panel_->y());
    const int docX = x + hPos_, docY = y + document_->YOffset();
    bool hand = false;
    std::string newUrl, newTarget;
    linkTitle_.clear();
    TLinkHit hit;
    const int bits = document_->GetURL(MeasureCanvas(), docX, docY, hit);
    if (bits & kOverLink) {
        hand = true;
        newUrl = hit.Url;
        newTarget = hit.Target;
        linkAttributes_ = hit.Attributes;
        linkText_ = GetRangeText(hit.SourceStart, hit.SourceLast);
    }
    if (bits & kOverImageArea)
        hand = true;
    if (bits & kOverTitle)
        linkTitle_ = hit.Title;
    QCursor cursor(Qt::ArrowCursor);
    if (hand)
        cursor = velmoran::ViewerCursor(TViewerCursor::Hand);
    bool foundImage = false;
    if (OnImageClick || OnImageOver) {
        TImageHit image;
        if (document_->FindImageAt(docX, docY, image)) {
            foundImage = true;
            if (OnImageOver)
                OnImageOver(this, image.Image, shift, image.X, image.Y);
        }
    }
    if (!foundImage && !hand) {
        int pos = -1;
        bool inText = false;
        FindCursorAt(x, y, pos, inText);
        if (inText)
            cursor = QCursor(cursor_);
    }
    SetCursorShape(cursor);
    if (hand || document_->HasHover())
        hotSpotTimer_->start();
    else
        hotSpotTimer_->stop();
    if (newUrl != url_ || newTarget != target_) {
        url_ = newUrl;
        target_ = newTarget;
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, url_);
    }
    if (buttons & Qt::LeftButton) {
        if ((y < 1 || y >= panel_->height()) && !autoScrolling_)
            StartAutoScroll();
        if (!noSelect_)
            ExtendSelection(x, y);
    }
}

void TPageViewer::PanelMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (panMode_) {
        if (!(button == Qt::MiddleButton && y == panStartY_)) {
            panMode_ = false;
            SetCursorShape(QCursor(cursor_));
        }
        return;
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x + panel_->x(), y + panel_->y());
    const int docX = x + hPos_, docY = y + document_->YOffset();
    if (OnImageClick || OnRightClick) {
        TImageHit image;
        const bool found = document_->FindImageAt(docX, docY, image);
        if (found && OnImageClick)
            OnImageClick(this, image.Image, button, shift, image.X, image.Y);
        if (button == Qt::RightButton && OnRightClick) {
            TRightClickParameters parameters;
            if (found) {
                parameters.Image = image.Image;
                parameters.ImageX = image.X;
                parameters.ImageY = image.Y;
            }
            TLinkHit hit;
            if (document_->GetURL(MeasureCanvas(), docX, docY, hit) & kOverLink) {
                parameters.URL = hit.Url;
                parameters.Target = hit.Target;
            }
            parameters.ClickWord = document_->WordAt(MeasureCanvas(), docX, docY);
            hotSpotTimer_->stop();
            QPointer<TPageViewer> self(this);
            OnRightClick(this, parameters);
            if (!self)
                return;
            hotSpotTimer_->start();
        }
    }
    if (button == Qt::LeftButton && !(shift & Qt::ShiftModifier)) {
        autoScrolling_ = false;
        ExtendSelection(x, y);
        selecting_ = false;
        document_->SetHoverImageState(docX, docY, false);
        if (leftButtonDown_ && SelLength() <= 0) {
            TLinkHit hit;
            if (document_->GetURL(MeasureCanvas(), docX, docY, hit) & kOverLink) {
                url_ = hit.Url;
                target_ = hit.Target;
                linkAttributes_ = hit.Attributes;
                linkText_ = GetRangeText(hit.SourceStart, hit.SourceLast);
                linkClicked_ = true;
                leftButtonDown_ = false;
                FollowLink();
                return;
            }
        }
    }
    if (button == Qt::LeftButton)
        leftButtonDown_ = false;
}

void TPageViewer::PanelDoubleClick(Qt::KeyboardModifiers shift, int x, int y)
{
    document_->SetHoverImageState(x + hPos_, y + document_->YOffset(), false);
    if (processing_ || linkClicked_)
        return;
    if (!noSelect_) {
        int pos = -1;
        bool inText = false;
        if (FindCursorAt(x, y, pos, inText)) {
            int b = pos, e = pos;
            if (IsWordChar(document_->CharAt(pos))) {
                while (b > 0 && IsWordChar(document_->CharAt(b - 1)))
                    --b;
                while (IsWordChar(document_->CharAt(e)))
                    ++e;
            }
            document_->SetSelection(b, e);
            caretPos_ = b;
            document_->SetCaret(b);
            panel_->update();
        }
    }
    if (OnMouseDouble)
        OnMouseDouble(this, Qt::LeftButton, shift, x + panel_->x(), y + panel_->y());
}

void TPageViewer::ExtendSelection(int x, int y)
{
    if (!selecting_ || selAnchor_ < 0)
        return;
    y = std::clamp(y, 0, panel_->height());
    int pos = -1;
    bool inText = false;
    if (!FindCursorAt(x, y, pos, inText))
        return;
    if (!noSelect_) {
        document_->SetSelection(std::min(pos, selAnchor_), std::max(pos, selAnchor_));
        panel_->update();
    }
    caretPos_ = pos;
    document_->SetCaret(pos);
}

void TPageViewer::StartAutoScroll()
{
    autoScrolling_ = true;
    QPointer<TPageViewer> self(this);
    QMetaObject::invokeMethod(
        this, [self] {
            if (self)
                RunGuarded([&] { self->AutoScrollLoop(); });
        },
        Qt::QueuedConnection);
}

void TPageViewer::AutoScrollLoop()
{
    QPointer<TPageViewer> self(this);
    QElapsedTimer clock;
    clock.start();
    qint64 lastStep = -1000;
    for (;;) {
        if (!autoScrolling_)
            break;
        const QPoint p = PointerInSurface();
        const int h = panel_->height();
        const bool selectingOut = !panMode_ && selecting_ && (p.y() < 1 || p.y() > h);
        const bool panning = panMode_ && std::abs(p.y() - panStartY_) >= 21;
        if (!selectingOut && !panning)
            break;
        if (clock.elapsed() - lastStep >= 100) {
            lastStep = clock.elapsed();
            int delta = 0;
            if (selectingOut) {
                const bool far = p.y() < -15 || p.y() > h + 15;
                delta = (far ? 8 : 1) * kSmallChangeV * (p.y() < 1 ? -1 : 1);
            } else {
                const int distance = std::abs(p.y() - panStartY_);
                delta = (distance > 60 ? 32 : distance > 20 ? 8 : 0) * (p.y() < panStartY_ ? -1 : 1);
                SetCursorShape(velmoran::ViewerCursor(delta < 0 ? TViewerCursor::PanUp : TViewerCursor::PanDown));
            }
            MoveVPos(vPos_ + delta, false);
            if (selectingOut)
                ExtendSelection(p.x(), p.y());
            panel_->update();
        }
        for (int i = 0; i < 4; ++i) {
            QEventLoop wait;
            QTimer::singleShot(6, &wait, &QEventLoop::quit);
            wait.exec();
            if (!self)
                return;  // the viewer went while the events ran
        }
    }
    autoScrolling_ = false;
    if (panMode_)
        SetCursorShape(velmoran::ViewerCursor(TViewerCursor::Pan));
}

void TPageViewer::HotSpotTimerTick()
{
    if (PointerOverSurface && PointerOverSurface())
        return;
    document_->ClearHover();
    hotSpotTimer_->stop();
    if (!url_.empty()) {
        url_.clear();
        target_.clear();
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, "");
    }
}

bool TPageViewer::HotSpotTimerActive() const
{
    return hotSpotTimer_->isActive();
}

void TPageViewer::PostLinkMessage()
{
    QPointer<TPageViewer> self(this);
    QMetaObject::invokeMethod(
        this, [self] {
            if (self)
                RunGuarded([&] { self->FollowLink(); });
        },
        Qt::QueuedConnection);
}

void TPageViewer::FollowLink()
{
    if (OnHotSpotClick) {
        bool handled = false;
        QPointer<TPageViewer> self(this);
        OnHotSpotClick(this, url_, handled);
        if (!self || handled)
            return;
    }
    const std::string url = url_;
    const std::string oldFile = currentFile_;
    const std::u16string oldTitle = title_;
    const std::uint8_t oldKind = currentKind_;
    const int oldPos = GetPosition();
    if (!url.empty() && url.front() == '#') {
        if (PositionToAnchor(url)) {
            RecordAnchorHistory(oldFile, oldTitle, oldPos, oldKind);
            AddVisited(currentFile_ + url);
        }
        return;
    }
    const auto hash = url.find('#');
    const std::string file = url.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? std::string() : url.substr(hash);
    const std::string full = ExpandFileName(file);
    const std::string ext = UpperCase(std::filesystem::path(full).extension().string());
    if (ext == ".HTM" || ext == ".HTML") {
        if (full == currentFile_) {
            if (PositionToAnchor(anchor)) {
                RecordAnchorHistory(oldFile, oldTitle, oldPos, oldKind);
                AddVisited(currentFile_ + anchor);
            }
        } else {
            LoadDocumentFile(full + anchor);
            AddVisited(full + anchor);
        }
    } else if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG") {
        LoadImageFile(full);
    }
}

std::u16string TPageViewer::GetRangeText(int start, int end)
{
    if (start < 0 || end < 0 || start >= end)
        return {};
    const int oldB = document_->SelB(), oldE = document_->SelE();
    const int b = document_->FindDocPos(start, false);
    const int e = document_->FindDocPos(end, true);
    std::u16string text;
    if (b >= 0 && e > b) {
        document_->SetSelection(b, e);
        text = document_->GetSelText();
    }
    document_->SetSelection(oldB, oldE);
    return text;
}

void TPageViewer::CopySelectionToClipboard()
{
    if (document_->GetSelLength() <= 0)
        return;
    const std::u16string text = document_->GetSelText();
    THtmlCopyInput input;
    input.Source = source_;
    input.StartSource = document_->FindSourcePos(document_->SelB());
    input.EndSource = document_->FindSourcePos(document_->SelE());
    input.FontName = defFontName_;
    input.FontSize = defFontSize_;
    input.CodePage = document_->CodePage();
    input.CurrentFile = currentFile_;
    Clipboard().SetTextAndHtml(text, BuildHtmlFormat(input));
}

}  // namespace velmoran
