// The page viewer: its creation with the drawing surface and the bars, its properties, the
// document host's callbacks (with the keyboard focus of form controls and links), the form events,
// forms and the image cache, and the focus.
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrintRun.h"
#include "html/viewer/PrinterJob.h"

#include "html/base/WideText.h"
#include "platform/Cursors.h"
#include "html/viewer/SectionListDocument.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/QtCanvas.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QFrame>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace velmoran {

TPageViewer::TPageViewer(QWidget* parent, std::unique_ptr<TViewerDocument> document)
    : QWidget(parent),
      document_(document ? std::move(document) : std::make_unique<TSectionListDocument>(this)),
      selection_(*document_)
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

    document_->SetShowImages(true);
    document_->SetDefaults(Defaults());
    document_->SetOptions(DocumentOptions());
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
    ReleaseHeldJob();
    // The document goes before the cache it may hold entries of.
    document_.reset();
    ownCache_.reset();
}

void TPageViewer::SetJobPrinter(TvwPrinter* job)
{
    if (job == jobPrinter_)
        return;
    if (jobPrinter_)
        SetPrinter(printerBeforeJob_);
    jobPrinter_ = job;
    printerBeforeJob_ = job ? SetPrinter(job) : nullptr;
}

void TPageViewer::ReleaseHeldJob() noexcept
{
    if (!jobPrinter_)
        return;
    // A document left running would be printed half; the job itself belongs to whoever gave it.
    if (jobPrinter_->Printing()) {
        try {
            jobPrinter_->Abort();
        } catch (...) {
        }
    }
    SetPrinter(printerBeforeJob_);
    jobPrinter_ = nullptr;
    printerBeforeJob_ = nullptr;
}

TDocumentDefaults StandardDocumentDefaults()
{
    TDocumentDefaults d;
    d.FontName = "Times New Roman";
    d.PreFontName = "Courier New";
    d.MarginWidth = 10;
    d.MarginHeight = 5;
    d.Charset = 1;
    d.Background = SystemColor(COLOR_BTNFACE);
    d.FontColor = SystemColor(COLOR_BTNTEXT);
    d.LinkColor = 0xFF0000;     // blue
    d.VisitedColor = 0x800080;  // purple
    d.HoverColor = 0xFF0000;
    d.FontSize = 12;
    return d;
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

TDocumentOptions TPageViewer::DocumentOptions() const
{
    return TDocumentOptions{options_.Has(htOverLinksActive),
                            options_.Has(htPrintTableBackground) || options_.Has(htPrintBackground),
                            options_.Has(htPrintBackground), options_.Has(htPrintMonochromeBlack),
                            options_.Has(htShowDummyCaret)};
}

// ---------------------------------------------------------------------------------------------
// Properties

void TPageViewer::SetViewImages(bool value)
{
    viewImages_ = value;
    ApplyViewImages();
}

bool TPageViewer::ViewImagesPending() const
{
    return viewImages_ != document_->ShowImages();
}

// Kept, not dropped, while the viewer is busy: the value the viewer reports is the one it shows
// once the load or the print has ended.
void TPageViewer::ApplyViewImages()
{
    if (!ViewImagesPending() || Blocked())
        return;
    TWaitCursor wait;
    SetProcessing(true);
    document_->SetShowImages(viewImages_);
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

void TPageViewer::SetDefPreFontName(const std::string& value)
{
    if (SameText(value, document_->PreFontName()))
        return;
    defPreFontName_ = value;
    document_->SetPreFontName(value);
}

void TPageViewer::UpdateLinkColors()
{
    document_->SetLinkColors(defOverLinkColor_, defVisitedLinkColor_, defHotSpotColor_);
}

void TPageViewer::SetDefHotSpotColor(ColorRef value)
{
    defHotSpotColor_ = value;
    UpdateLinkColors();
}

void TPageViewer::SetDefVisitedLinkColor(ColorRef value)
{
    defVisitedLinkColor_ = value;
    UpdateLinkColors();
}

void TPageViewer::SetDefOverLinkColor(ColorRef value)
{
    defOverLinkColor_ = value;
    UpdateLinkColors();
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
    serverRoot_ = ServerRootOf(value);
}

void TPageViewer::SetPrintScale(double value)
{
    printScale_ = std::clamp(value, 0.25, 4.0);
}

void TPageViewer::SethtOptions(const TPageViewerOptions& value)
{
    options_ = value;
    document_->SetOptions(DocumentOptions());
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
    if (!viewer_)
        return;
    --viewer_->printing_;
    if (viewer_->ViewImagesPending())
        viewer_->Post(&TPageViewer::ApplyViewImages);
}

void TPageViewer::PrintPages(int fromPage, int toPage)
{
    TPrintingGuard guard(*this);
    TPrintRun run(*this);
    run.Print(fromPage, toPage);
}

int TPageViewer::PreviewPages(TMetaFilePrinter& recorder, bool noOutput)
{
    TPrintingGuard guard(*this);
    TPrintRun run(*this);
    return run.Preview(recorder, noOutput);
}

void TPageViewer::Post(void (TPageViewer::*work)())
{
    QPointer<TPageViewer> self(this);
    QMetaObject::invokeMethod(
        this, [self, work] {
            if (self)
                RunGuarded([&] { (self->*work)(); });
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// The document host

void TPageViewer::DoProgress(int percent)
{
    Progress(ThtProgressStage::psRunning, percent);
}

std::string TPageViewer::BasePath() const
{
    if (!base_.empty() && !SameText(base_, "DosPath"))
        return FolderOf(UrlToDosPath(base_));
    if (!currentFile_.empty())
        return FolderOf(currentFile_);
    // A document without a file of its own (a template expanded into a stream) has its names in
    // the server root rather than in whatever folder the program was started from.
    return serverRoot_.empty() ? std::string() : serverRoot_ + "/";
}

std::string TPageViewer::ExpandName(const std::string& name) const
{
    TExpandContext context;
    context.ServerRoot = serverRoot_;
    context.Base = base_;
    context.CurrentFile = currentFile_;
    return velmoran::ExpandFileName(name, context);
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
    if (!formEvents_.Submit)
        return;
    // Fired from the viewer's own queue, never from inside the document's click handling.
    QPointer<TPageViewer> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, action, target, encType, method, results] {
            if (self && self->formEvents_.Submit)
                RunGuarded([&] { self->formEvents_.Submit(self, action, target, encType, method, results); });
        },
        Qt::QueuedConnection);
}

void TPageViewer::Invalidate()
{
    panel_->update();
}

QWidget* TPageViewer::DrawingSurface()
{
    return panel_;
}

void TPageViewer::KeepInView(int y, bool link)
{
    const int height = panel_->height();
    if (!link) {
        if (y < vPos_ || y > vPos_ + height - 20)
            SetVScrollBarPosition(y - height / 2);
    } else if (activatingLink_) {
        // A clicked link is in view where it was clicked.
    } else if (y < vPos_) {
        SetVScrollBarPosition(y);
    } else if (y > vPos_ + height - 30) {
        SetVScrollBarPosition(y - height / 2);
    }
    panel_->update();
}

void TPageViewer::ControlMouseMove(const std::string& title, int x, int y)
{
    if (!title.empty()) {
        hotSpot_.Title = title;
    } else {
        TLinkHit hit;
        TrackLink(x + hPos_, y + document_->YOffset(), hit);
    }
    if (OnMouseMove)
        OnMouseMove(this, QApplication::keyboardModifiers(), x + panel_->x(), y + panel_->y());
}

void TPageViewer::FollowLinkFromKeyboard(const std::string& url, const std::string& target)
{
    hotSpot_.Url = url;
    hotSpot_.Target = target;
    // The focus control that saw the key goes with the document a link may load.
    PostLinkMessage();
}

// ---------------------------------------------------------------------------------------------
// Form events

void TPageViewer::HandFormEventsToDocument()
{
    TFormEvents events;
    auto object = [this](const ThtObjectEvent& handler) -> TFormEvents::ObjectEvent {
        if (!handler)
            return nullptr;
        return [this, handler](TFormControlObj* control, const std::string& script) { handler(this, control, script); };
    };
    events.OnObjectClick = object(formEvents_.Click);
    events.OnObjectFocus = object(formEvents_.Focus);
    events.OnObjectBlur = object(formEvents_.Blur);
    events.OnObjectChange = object(formEvents_.Change);
    if (formEvents_.FileBrowse)
        events.OnFileBrowse = [this](TFormControlObj* control, std::string& file) {
            formEvents_.FileBrowse(this, control, file);
        };
    if (formEvents_.Submit)
        events.OnFormSubmit = [this](const std::string& action, const std::string& target, const std::string& encType,
                                     const std::string& method, const std::vector<std::string>& results) {
            FormSubmit(action, target, encType, method, results);
        };
    document_->SetFormEvents(events);
}

void TPageViewer::SetOnFormSubmit(TFormSubmitEvent handler)
{
    formEvents_.Submit = std::move(handler);
    HandFormEventsToDocument();
}

void TPageViewer::SetOnObjectClick(TObjectClickEvent handler)
{
    formEvents_.Click = std::move(handler);
    HandFormEventsToDocument();
}

void TPageViewer::SetOnObjectFocus(ThtObjectEvent handler)
{
    formEvents_.Focus = std::move(handler);
    HandFormEventsToDocument();
}

void TPageViewer::SetOnObjectBlur(ThtObjectEvent handler)
{
    formEvents_.Blur = std::move(handler);
    HandFormEventsToDocument();
}

void TPageViewer::SetOnObjectChange(ThtObjectEvent handler)
{
    formEvents_.Change = std::move(handler);
    HandFormEventsToDocument();
}

void TPageViewer::SetOnFileBrowse(TFileBrowseEvent handler)
{
    formEvents_.FileBrowse = std::move(handler);
    HandFormEventsToDocument();
}

// ---------------------------------------------------------------------------------------------
// Forms, images, the measuring canvas and the focus

std::unique_ptr<TFormSnapshot> TPageViewer::GetFormData()
{
    return document_->GetFormData();
}

void TPageViewer::SetFormData(const TFormSnapshot& data)
{
    // Restoring fires no click events.
    TObjectClickEvent click = std::move(formEvents_.Click);
    formEvents_.Click = nullptr;
    HandFormEventsToDocument();
    document_->SetFormData(data);
    formEvents_.Click = std::move(click);
    HandFormEventsToDocument();
}

void TPageViewer::SetImageCache(TStringBitmapList* cache)
{
    document_->SetImageCache(cache);
    ownCache_.reset();
}

Canvas& TPageViewer::MeasureCanvas()
{
    if (!measureCanvas_)
        measureCanvas_ = std::make_unique<QtCanvas>(nullptr);
    return *measureCanvas_;
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

}  // namespace velmoran
