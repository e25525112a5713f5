// The page viewer's loading: files of the three kinds, strings, buffers and streams, the events of
// a load in their order, the parser's hooks, META refresh, and Clear. A failed load still ends
// with its progress and processing events, so that the application's wait state never sticks.
#include "html/viewer/PageViewer.h"

#include "platform/Cursors.h"
#include "html/viewer/ViewerText.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace velmoran {

// ---------------------------------------------------------------------------------------------
// The steps of a load

void TPageViewer::SetProcessing(bool on)
{
    if (processing_ == on)
        return;
    processing_ = on;
    if (OnProcessing)
        OnProcessing(this, on);
    // After the step that ended, from the event queue: the step's caller finishes first.
    if (!on && ViewImagesPending())
        Post(&TPageViewer::ApplyViewImages);
}

void TPageViewer::Progress(ThtProgressStage stage, int percent)
{
    if (OnProgress)
        OnProgress(this, stage, percent);
}

void TPageViewer::BeginLoad(int progressStart)
{
    document_->SetProgressStart(progressStart);
    Progress(ThtProgressStage::psStarting, 0);
}

void TPageViewer::EndLoad()
{
    Progress(ThtProgressStage::psEnding, 100);
    SetProcessing(false);
}

// An empty document with the viewer's defaults, the caret at its start (and an image cache of the
// viewer's own when none was given).
void TPageViewer::PrepareDocument()
{
    if (!document_->ImageCache()) {
        ownCache_ = std::make_unique<TStringBitmapList>();
        ownCache_->SetCacheCount(imageCacheCount_);
        document_->SetImageCache(ownCache_.get());
    }
    KeepFocusFromTheDocument();
    document_->Clear();
    document_->ImageCache()->BumpAndCheck();
    document_->SetDefaults(Defaults());
    selection_.Reset();
}

// A link or form control of the document that has the focus goes with the document (a clicked
// link that loads another page): the viewer takes the focus first, so that the keys still scroll.
void TPageViewer::KeepFocusFromTheDocument()
{
    if (panel_->isAncestorOf(QApplication::focusWidget()))
        setFocus(Qt::OtherFocusReason);
}

TParseHooks TPageViewer::Hooks()
{
    TParseHooks hooks;
    // A handler makes the parser read every comment that starts with "#" as an include: without
    // one of the owner's such a comment stays a comment.
    if (OnInclude)
        hooks.OnInclude = [this](const std::string& command, const std::vector<std::string>& params,
                                 std::string& text) {
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

// The parsed document laid out and shown: at its anchor, else at the top unless the same file came
// again (a reload keeps its place).
void TPageViewer::ShowLoaded(const TParseResult& result, const std::string& anchor, bool keepsPlace)
{
    FinishParse(result);
    FlagVisitedLinks();
    if ((anchor.empty() || !PositionToAnchor(anchor)) && !keepsPlace) {
        ScrollTo(0);
        SetHScrollBarPosition(0);
    }
    layoutRunning_ = false;
    panel_->update();
}

void TPageViewer::FireMetaRefresh()
{
    if (refreshDelay_ > 0 && OnMetaRefresh)
        OnMetaRefresh(this, refreshDelay_, refreshUrl_);
}

// ---------------------------------------------------------------------------------------------
// Files

void TPageViewer::LoadFileByKind(const std::string& fileName, std::uint8_t kind)
{
    if (Blocked())
        return;
    TWaitCursor wait;
    std::string file, anchor;
    SplitFileAnchor(fileName, file, anchor);
    refreshDelay_ = 0;
    SetProcessing(true);
    try {
        if (!FileExists(file))
            throw EInOutError("Can't locate file: " + file);
        BeginLoad(75);
        layoutRunning_ = true;
        PrepareDocument();
        const std::string oldFile = currentFile_;
        currentFile_ = ExpandLocalFile(file);
        currentKind_ = kind;
        // A parse that fails still leaves what it read shown before the failure goes on.
        std::exception_ptr failure;
        TParseResult result;
        try {
            result = ParseFile(file, kind);
        } catch (...) {
            failure = std::current_exception();
        }
        ShowLoaded(result, anchor, currentFile_ == oldFile);
        if (failure)
            std::rethrow_exception(failure);
    } catch (...) {
        layoutRunning_ = false;
        EndLoad();
        throw;
    }
    EndLoad();
    FireMetaRefresh();
}

// Reads and parses a file: HTML as it is, plain text, or a picture through a page that shows it.
TParseResult TPageViewer::ParseFile(const std::string& file, std::uint8_t kind)
{
    source_ = kind == kImageKind ? std::string() : ReadFileBytes(file);
    if (OnParseBegin)
        OnParseBegin(this, source_);
    if (kind == kHtmlKind) {
        if (OnSoundRequest)
            OnSoundRequest(this, "", 0, true);
        return document_->ParseHtml(source_, Hooks());
    }
    if (kind == kTextKind) {
        document_->ParsePlainText(source_);
        return {};
    }
    return document_->ParseHtml(ImagePageSource(file), Hooks());
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

// Loads a file as a page of the given kind and records the page that was left in the history.
void TPageViewer::LoadFileWithHistory(const std::string& fileName, std::uint8_t kind)
{
    if (Blocked() || Trim(fileName).empty())
        return;
    const THistoryPage left = ShownPage();
    auto snapshot = document_->GetFormData();
    LoadFileByKind(fileName, kind);
    RecordHistory(left, std::move(snapshot));
}

// ---------------------------------------------------------------------------------------------
// Strings, buffers and streams

// Loads a text with a reference (a file name, possibly with an anchor, that names the document)
// and reports a META refresh it asked for.
void TPageViewer::LoadString(const std::string& source, const std::string& reference, std::uint8_t kind)
{
    if (Blocked())
        return;
    SetProcessing(true);
    refreshDelay_ = 0;
    std::string file, anchor;
    SplitFileAnchor(reference, file, anchor);
    layoutRunning_ = true;
    const std::string oldFile = currentFile_;
    // The reference names a file of this machine, as a file loaded does.
    currentFile_ = Trim(file).empty() ? std::string() : ExpandLocalFile(file);
    currentKind_ = kind;
    TParseResult result;
    try {
        BeginLoad(75);
        PrepareDocument();
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
        EndLoad();
        layoutRunning_ = false;
        throw;
    }
    ShowLoaded(result, anchor, !currentFile_.empty() && currentFile_ == oldFile);
    EndLoad();
    FireMetaRefresh();
}

void TPageViewer::LoadDocumentString(const std::string& source, const std::string& reference)
{
    LoadString(source, reference, kHtmlKind);
}

void TPageViewer::LoadTextString(const std::string& source, const std::string& reference)
{
    LoadString(source, reference, kTextKind);
}

void TPageViewer::LoadDocumentBuffer(const char* buffer, int bufSize, const std::string& reference)
{
    LoadString(std::string(buffer, buffer ? static_cast<std::size_t>(std::max(bufSize, 0)) : 0), reference,
               kHtmlKind);
}

void TPageViewer::LoadDocumentStream(TStream& stream, const std::string& reference)
{
    if (Blocked())
        return;  // the stream is left where it stands
    const std::int64_t rest = std::max<std::int64_t>(0, stream.Size() - stream.Position());
    std::string text(static_cast<std::size_t>(rest), '\0');
    if (rest > 0)
        stream.ReadBuffer(text.data(), rest);
    LoadString(text, reference, kHtmlKind);
}

// ---------------------------------------------------------------------------------------------
// Clear and file names

void TPageViewer::Clear()
{
    if (Blocked())
        return;
    hotSpotTimer_->stop();
    KeepFocusFromTheDocument();
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
    const int b = BorderWidth();
    panel_->setGeometry(b / 2, b / 2, std::max(0, width() - b), std::max(0, height() - b));
    vBar_->setGeometry(vBar_->x(), vBar_->y(), vBar_->width(), panel_->height());
    selection_.Reset();
    if (OnSoundRequest)
        OnSoundRequest(this, "", 0, true);
    panel_->update();
}

std::string TPageViewer::ExpandFileName(const std::string& name)
{
    return ExpandName(name);
}

// A file the viewer opens is a path of this machine: the server root belongs to the links of
// documents, and an absolute path must not be put below it a second time; nor is its "%" an
// escape, which a folder "100%41" would lose to "100A".
std::string TPageViewer::ExpandLocalFile(const std::string& name)
{
    TExpandContext context;
    context.Base = base_;
    context.CurrentFile = currentFile_;
    return ExpandLocalPath(Trim(name), context);
}

std::string TPageViewer::ExpandLinkPath(const std::string& path) const
{
    TExpandContext context;
    context.ServerRoot = serverRoot_;
    context.Base = base_;
    context.CurrentFile = currentFile_;
    return ExpandLocalPath(path, context);
}

}  // namespace velmoran
