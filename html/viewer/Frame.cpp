// One frame: its attributes, its content (a viewer or a nested frameset), navigation and refresh
// into it, and the mouse on its border.
#include "html/viewer/Frame.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"
#include "html/viewer/FrameFiles.h"
#include "html/viewer/FrameSet.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace velmoran {
namespace {

constexpr int kMaxNesting = 4;

}  // namespace

TfvFrame::TfvFrame(TFrameViewer* viewer, TSubFrameSet* parentSet, const TAttributeList* attributes,
                   const std::string& basePath, const std::string& docBase)
    : TFrameBase(viewer, parentSet, parentSet), MarginX(viewer->MarginWidth()), MarginY(viewer->MarginHeight())
{
    ApplyBorders();
    if (attributes)
        ReadAttributes(*attributes, basePath, docBase);
    if (TFrameSet* master = MasterSet()) {
        master->Registry->AllFrames.push_back(this);
        if (!FrameName.empty())
            master->Registry->NameIndex.emplace(UpperCase(FrameName), this);
    }
}

TfvFrame::~TfvFrame()
{
    delete NestedSet;  // at once, while the frame is whole (see DiscardLater)
    NestedSet = nullptr;
    Unregister();
}

void TfvFrame::ReadAttributes(const TAttributeList& attributes, const std::string& basePath,
                              const std::string& docBase)
{
    if (const TAttribute* a = attributes.Find(NameSy))
        FrameName = a->Name;
    if (const TAttribute* a = attributes.Find(SrcSy)) {
        std::string file, anchor;
        SplitAnchor(Trim(a->Address()), file, anchor);
        AnchorPart = anchor.empty() ? std::string() : "#" + anchor;
        SourceFile = InitialSource = SourceOf(file, basePath, docBase);
    }
    if (const TAttribute* a = attributes.Find(ScrollingSy))
        ScrollOff = SameText(a->Name, "NO");
    ResizeLocked = attributes.Find(NoResizeSy) != nullptr;
    if (const TAttribute* a = attributes.Find(MarginWidthSy))
        MarginX = std::clamp(a->Value, 0, kMaxLength);
    if (const TAttribute* a = attributes.Find(MarginHeightSy))
        MarginY = std::clamp(a->Value, 0, kMaxLength);
}

// The file of a SRC: a relative name is taken against the document's BASE, else against the
// folder of the frameset document. Names the application supplies stay as written.
std::string TfvFrame::SourceOf(const std::string& src, const std::string& basePath, const std::string& base) const
{
    if (src.empty() || viewer_->HasRequestEvents())
        return src;
    std::string file = UrlToDosPathWithRoot(src, viewer_->ServerRoot());
    if (file.find(':') != std::string::npos || file.front() == '/')
        return file;
    if (base.empty())
        file = basePath + file;
    else if (!SameText(base, "DosPath"))
        file = FolderOf(UrlToDosPath(base)) + file;
    return AbsolutePath(file);
}

void TfvFrame::Unregister()
{
    if (const auto registry = registry_.lock()) {
        registry->RemoveFrame(this, UpperCase(FrameName));
        if (PageViewer)
            registry->RemoveViewer(PageViewer);
    }
}

void TfvFrame::Detach()
{
    Unregister();
    registry_.reset();
    if (NestedSet)
        NestedSet->Detach();
}

// The bevel is as wide as the frameset's border (BORDER=5 gives 5), none at 0.
void TfvFrame::ApplyBorders()
{
    const int bevel = parentSet_->BorderWidth;
    setFrameStyle(bevel > 0 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    setLineWidth(bevel);
    if (PageViewer)
        PageViewer->SetBorderStyle(viewer_->ViewerBorderStyle(*this));
    if (NestedSet)
        NestedSet->ApplyBorders();
    PlaceContent();
}

void TfvFrame::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlaceContent();
}

void TfvFrame::PlaceContent()
{
    const QRect inner = contentsRect();
    if (PageViewer)
        PageViewer->setGeometry(inner);
    if (NestedSet)
        NestedSet->setGeometry(inner);
}

bool TfvFrame::LockedAtStart() const
{
    return ResizeLocked || (NestedSet && NestedSet->LockedAtStart());
}

bool TfvFrame::LockedAtEnd() const
{
    return ResizeLocked || (NestedSet && NestedSet->LockedAtEnd());
}

// ---------------------------------------------------------------------------------------------
// Content

void TfvFrame::CreateViewer()
{
    PageViewer = viewer_->CreateViewer(*this);
    PageViewer->setGeometry(contentsRect());
    PageViewer->show();
}

void TfvFrame::ShowError()
{
    if (!PageViewer)
        CreateViewer();
    PageViewer->LoadDocumentString(FrameErrorPage(SourceFile));
}

std::string FrameErrorPage(const std::string& fileName)
{
    return "<p><img src=\"qw%&.bmp\" alt=\"Error\"> Can't load " + EscapeHtml(fileName);
}

void TfvFrame::LoadIntoViewer(const std::string& file, const std::string& dest)
{
    LoadFailure = nullptr;
    try {
        if (viewer_->HasRequestEvents()) {
            // The application may supply the source; the file name decides nothing here.
            const auto supplied = viewer_->RequestSource(file);
            if (supplied.kind == TFrameViewer::TRequestedSource::Text) {
                PageViewer->LoadDocumentString(supplied.text, file);
                if (!dest.empty())
                    PageViewer->PositionToAnchor(dest.substr(1));
            } else {
                PageViewer->LoadDocumentFile(
                    (supplied.kind == TFrameViewer::TRequestedSource::File ? supplied.fileName : file) + dest);
            }
        } else if (IsImageFile(file))
            PageViewer->LoadImageFile(file);
        else if (IsTextFile(file))
            PageViewer->LoadTextFile(file);
        else
            PageViewer->LoadDocumentFile(file + dest);
    } catch (const std::exception&) {
        LoadFailure = std::current_exception();
        ShowError();
    }
}

void TfvFrame::LoadContent()
{
    LoadSource();
    RestartHistory(viewer_->HistoryMaxCount());
}

void TfvFrame::LoadSource()
{
    LoadFailure = nullptr;
    TFrameSet* master = MasterSet();
    if (!master || SourceFile.empty() || master->Nesting >= kMaxNesting || LoadsAnAncestor() ||
        master->Registry->AllFrames.size() >= TFrameViewer::kMaxFrames)
        return;
    ++master->Nesting;
    const ScopeExit down([master] { --master->Nesting; });
    std::string text, textFile;
    bool frameset = false;
    if (viewer_->HasRequestEvents()) {
        try {
            text = viewer_->ReadSource(SourceFile, textFile);
            frameset = IsFramesetDocument(text);
        } catch (const std::exception&) {
            frameset = false;  // the page load below shows the error page
        }
    } else if (HoldsFrameset(SourceFile)) {
        text = ReadFileBytes(SourceFile);
        textFile = SourceFile;
        frameset = true;
    }
    if (frameset) {
        LoadNestedSet(text, textFile);
        return;
    }
    CreateViewer();
    LoadIntoViewer(SourceFile, AnchorPart);
}

void TfvFrame::UnloadContent()
{
    if (refreshTimer_)
        refreshTimer_->stop();
    if (NestedSet)
        NestedSet->UnloadContent();
}

// A frame whose source is the frameset document of a set above it would repeat that set inside
// itself, 16 frames becoming 256 and so on: like a browser, the frame stays empty.
bool TfvFrame::LoadsAnAncestor() const
{
    for (const TSubFrameSet* set = parentSet_; set; set = set->ParentSet())
        if (!set->FramesetDocument.empty() && viewer_->SameDocument(set->FramesetDocument, SourceFile))
            return true;
    return false;
}

void TfvFrame::LoadNestedSet(const std::string& text, const std::string& textFile)
{
    // The nested set hangs below this frame's frameset, so that its frames find the top one.
    NestedSet = new TSubFrameSet(viewer_, parentSet_, this);
    NestedSet->FramesetDocument = SourceFile;
    viewer_->ParseInto(*NestedSet, text, FolderOf(textFile.empty() ? SourceFile : textFile));
    NestedSet->setGeometry(contentsRect());
    NestedSet->show();
    NestedSet->LoadContent();
    viewer_->ArmRefresh(*NestedSet);
}

void TfvFrame::DropContent()
{
    if (PageViewer) {
        if (TFrameSet* master = MasterSet())
            master->Registry->RemoveViewer(PageViewer);
        DiscardLater(PageViewer);  // it may be the viewer whose click brought us here
        PageViewer = nullptr;
    }
    if (NestedSet) {
        NestedSet->Detach();
        DiscardLater(NestedSet);
        NestedSet = nullptr;
    }
}

// Loads a file into the viewer again where it stands.
void TfvFrame::ReloadInPlace(const std::string& file)
{
    const int position = PageViewer->GetPosition();
    LoadIntoViewer(file, "");
    PageViewer->SetPosition(position);
}

void TfvFrame::ReloadContent()
{
    if (PageViewer)
        ReloadInPlace(SourceFile);
    else if (NestedSet)
        NestedSet->ReloadContent();
    else
        LoadContent();
}

void TfvFrame::ShowSource(const std::string& file, const std::string& dest)
{
    SourceFile = file;
    AnchorPart = dest;
    if (PageViewer && !viewer_->HasRequestEvents() && !HoldsFrameset(file)) {
        LoadIntoViewer(file, dest);
        return;
    }
    DropContent();
    LoadSource();
}

void TfvFrame::Navigate(const std::string& file, const std::string& dest, bool refresh)
{
    if (refreshTimer_)
        refreshTimer_->stop();
    if (SameText(file, SourceFile) && (PageViewer || NestedSet)) {
        // The frame shows the file already: a refresh loads it again, a link only moves to its
        // anchor, and a frameset document puts back the frames that went elsewhere.
        if (NestedSet)
            NestedSet->ReloadChangedFrames();
        else if (refresh)
            ReloadInPlace(file);
        else if (!dest.empty())
            MoveToAnchor(dest);
        return;
    }
    const THistoryPage left = ShownPage();
    std::unique_ptr<TFormSnapshot> form = PageViewer ? PageViewer->GetFormData() : nullptr;
    ShowSource(file, dest);
    RecordHistory(left, std::move(form));
    viewer_->AddVisited(file + dest);
}

// ---------------------------------------------------------------------------------------------
// The frame's history

bool TfvFrame::KeepsOwnHistory() const
{
    const TFrameSet* master = MasterSet();
    return master && !master->FramesetDocument.empty();
}

THistoryPage TfvFrame::ShownPage() const
{
    if (!PageViewer)
        return THistoryPage{SourceFile, {}, 0, kHtmlKind};
    return THistoryPage{SourceFile, PageViewer->DocumentTitle(), PageViewer->GetPosition(), PageViewer->CurrentFileType()};
}

void TfvFrame::MoveToAnchor(const std::string& dest)
{
    const THistoryPage left = ShownPage();
    PageViewer->PositionToAnchor(dest);
    if (PageViewer->GetPosition() != left.Pos)
        RecordHistory(left, nullptr);
}

// The entry shown keeps the place that was left and, when another page came, its form values.
void TfvFrame::RecordHistory(const THistoryPage& left, std::unique_ptr<TFormSnapshot> form)
{
    const int maxCount = viewer_->HistoryMaxCount();
    if (maxCount < 1)
        return;
    if (!KeepsOwnHistory()) {
        viewer_->RecordPagePlace(left.File, left.Title, left.Pos);
        return;
    }
    const bool otherPage = left.File != SourceFile;
    const bool replaceForm = otherPage || form != nullptr;
    History.SetMaxCount(maxCount);
    History.Push(left, ShownPage(), replaceForm, otherPage ? std::move(form) : nullptr);
    viewer_->FrameHistoryChanged();
}

void TfvFrame::RestartHistory(int maxCount)
{
    History.Clear();
    History.SetMaxCount(maxCount);
    if (maxCount >= 1 && KeepsOwnHistory() && (PageViewer || NestedSet))
        History.Push({}, ShownPage(), false, nullptr);
}

void TfvFrame::SetHistoryIndex(int index)
{
    if (index < 0 || index >= History.Count() || index == History.Index())
        return;
    PositionObj& left = History.Place(History.Index());
    if (PageViewer) {
        left.Pos = PageViewer->GetPosition();
        left.FormData = PageViewer->GetFormData();
    }
    const std::string file = History.File(index);
    if (!(PageViewer || NestedSet) || !viewer_->SameDocument(file, SourceFile))
        ShowSource(file, "");
    History.SetIndex(index);
    const PositionObj& place = History.Place(index);
    if (PageViewer) {
        PageViewer->SetPosition(place.Pos);
        if (place.FormData)
            PageViewer->SetFormData(*place.FormData);
    }
    viewer_->FrameHistoryChanged();
}

// ---------------------------------------------------------------------------------------------
// META refresh

void TfvFrame::StartRefresh(int delay, const std::string& url)
{
    const std::string target = url.empty() ? SourceFile : viewer_->ExpandLinkName(url);
    if (target.empty() || (!FileExists(target) && !viewer_->HasRequestEvents()))
        return;
    refreshUrl_ = target;
    if (!refreshTimer_) {
        refreshTimer_ = new QTimer(this);
        refreshTimer_->setSingleShot(true);
        QObject::connect(refreshTimer_, &QTimer::timeout, this, [this] { RunGuarded([this] { RefreshNow(); }); });
    }
    refreshTimer_->start(std::max(delay, 1) * 1000);
}

// The only frame of a document loads another top document; any other frame navigates itself.
void TfvFrame::RefreshNow()
{
    TFrameSet* master = MasterSet();
    const bool wholeDocument = master && master->Registry->AllViewers.size() == 1 && parentSet_ == master;
    if (wholeDocument && !SameText(refreshUrl_, master->DocumentFile))
        viewer_->LoadFromFile(refreshUrl_);
    else
        Navigate(refreshUrl_, "", true);
}

// ---------------------------------------------------------------------------------------------
// The mouse on the frame's border

void TfvFrame::ForwardMouse(TSubFrameSet::MouseAction action, QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    TFrameSet* master = MasterSet();
    std::optional<Qt::CursorShape> shape;
    if (master && master->Dragging) {
        TSubFrameSet* set = master->Dragging;
        shape = set->SplitMouse(action, set->mapFromGlobal(mapToGlobal(point)));
    } else if (parentSet_ && NearEdge(*this, point)) {
        shape = parentSet_->SplitMouse(action, parentSet_->mapFromGlobal(mapToGlobal(point)));
    }
    ShowSplitCursor(*this, shape);
}

// An empty frame hands its mouse to the frame viewer's handlers. Without them it drags its border
// as any frame does, so that a line beside an empty frame moves from either side.
bool TfvFrame::HandsMouseToViewer(TSubFrameSet::MouseAction action) const
{
    if (PageViewer || NestedSet)
        return false;
    switch (action) {
    case TSubFrameSet::MouseAction::Down: return viewer_->OnMouseDown != nullptr;
    case TSubFrameSet::MouseAction::Move: return viewer_->OnMouseMove != nullptr;
    case TSubFrameSet::MouseAction::Up: return viewer_->OnMouseUp != nullptr;
    }
    return false;
}

void TfvFrame::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (HandsMouseToViewer(TSubFrameSet::MouseAction::Down))
        viewer_->OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    else if (event->button() == Qt::LeftButton)
        ForwardMouse(TSubFrameSet::MouseAction::Down, event);
}

void TfvFrame::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (HandsMouseToViewer(TSubFrameSet::MouseAction::Move))
        viewer_->OnMouseMove(this, event->modifiers(), p.x(), p.y());
    else
        ForwardMouse(TSubFrameSet::MouseAction::Move, event);
}

void TfvFrame::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (HandsMouseToViewer(TSubFrameSet::MouseAction::Up))
        viewer_->OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    else if (event->button() == Qt::LeftButton)
        ForwardMouse(TSubFrameSet::MouseAction::Up, event);
}

}  // namespace velmoran
