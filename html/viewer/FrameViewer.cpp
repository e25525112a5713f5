// The frame viewer with its frameset panels and frames: size lists, frameset parsing, frame
// loading, target resolution, META refresh and the visited list.
#include "html/viewer/FrameViewer.h"

#include "html/base/HtmlSymbols.h"
#include "html/base/WideText.h"
#include "html/viewer/ViewerText.h"
#include "platform/Application.h"
#include "platform/core/Stream.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>

namespace velmoran {
namespace {

constexpr int kMaxEntries = 20;
constexpr int kMaxNesting = 4;

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The lower-case extension, at most five characters with its dot.
std::string ExtensionOf(const std::string& file)
{
    return LowerCase(std::filesystem::path(file).extension().string()).substr(0, 5);
}

bool IsImageFile(const std::string& file)
{
    const std::string ext = ExtensionOf(file);
    return ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".png";
}

bool IsTextFile(const std::string& file)
{
    return ExtensionOf(file) == ".txt";
}

std::string EscapeHtml(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// True when the file is a frameset document; an unreadable file raises "Can't load: ".
bool IsFramesetFile(const std::string& file)
{
    try {
        return IsFramesetDocument(ReadFileBytes(file));
    } catch (const std::exception&) {
        throw EfvLoadError("Can't load: " + file);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Size lists

std::vector<int> ParseSizeList(const std::string& text)
{
    std::vector<int> specs;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (specs.size() < kMaxEntries) {
        while (i < n && !std::isdigit(static_cast<unsigned char>(text[i])) && text[i] != '*' && text[i] != ',')
            ++i;
        if (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            // Numbers of any length are read with a cap, so that they never overflow.
            long long number = 0;
            int digits = 0;
            while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
                if (digits < 20)
                    number = std::min<long long>(number * 10 + (text[i] - '0'), 1000000);
                ++digits;
                ++i;
            }
            number = std::max<long long>(number, 1);
            while (i < n && text[i] != '%' && text[i] != '*' && text[i] != ',')
                ++i;
            if (i < n && text[i] == '*')
                specs.push_back(-static_cast<int>(std::min<long long>(number, 99)));
            else if (i < n && text[i] == '%')
                specs.push_back(-static_cast<int>(std::min<long long>(number + 100, 1000)));
            else
                specs.push_back(static_cast<int>(std::min<long long>(number, 5000)));
        } else {
            specs.push_back(-1);
        }
        while (i < n && text[i] != ',')
            ++i;
        if (i >= n)
            break;
        ++i;  // the comma
    }
    return specs;
}

std::vector<int> ComputeFrameSizes(const std::vector<int>& specs, int extent)
{
    std::vector<int> sizes(specs.size(), 0);
    if (extent <= 0)
        return sizes;
    long long pixels = 0, weights = 0, percents = 0;
    for (const int s : specs) {
        if (s >= 0)
            pixels += s;
        else if (s >= -99)
            weights += -s;
        else
            percents += -s - 100;
    }
    if (extent - pixels > 0) {
        const long long free = extent - pixels;
        const long long percentSpace = std::min(free, extent * percents / 100);
        const long long unit = weights > 0 ? (free - percentSpace) / weights : 0;
        for (std::size_t i = 0; i < specs.size(); ++i) {
            const int s = specs[i];
            if (s >= 0)
                sizes[i] = s;
            else if (s >= -99)
                sizes[i] = static_cast<int>(-s * unit);
            else
                sizes[i] = percents > 0 ? static_cast<int>((-s - 100) * percentSpace / percents) : 0;
        }
    } else {
        for (std::size_t i = 0; i < specs.size(); ++i)
            if (specs[i] >= 0 && pixels > 0)
                sizes[i] = static_cast<int>(specs[i] * static_cast<long long>(extent) / pixels);
    }
    return sizes;
}

// ---------------------------------------------------------------------------------------------
// Panels

TFrameBase::TFrameBase(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent)
    : QFrame(parent), viewer_(viewer), parentSet_(parentSet)
{
    setMouseTracking(true);  // the split cursor shows while the mouse merely passes a border
    if (TFrameSet* master = MasterSet())
        registry_ = master->Registry;
}

TFrameSet* TFrameBase::MasterSet() const
{
    const TFrameBase* p = this;
    while (p->parentSet_)
        p = p->parentSet_;
    return dynamic_cast<TFrameSet*>(const_cast<TFrameBase*>(p));
}

TfvFrame::TfvFrame(TFrameViewer* viewer, TSubFrameSet* parentSet, const TAttributeList* attributes,
                   const std::string& basePath)
    : TFrameBase(viewer, parentSet, parentSet), MarginX(viewer->MarginWidth()), MarginY(viewer->MarginHeight())
{
    const int bevel = parentSet->BorderWidth;
    if (bevel > 0) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(std::min(bevel, 2));
    }
    if (attributes) {
        if (const TAttribute* a = attributes->Find(NameSy))
            FrameName = a->Name;
        if (const TAttribute* a = attributes->Find(SrcSy)) {
            std::string file;
            std::string anchor;
            SplitAnchor(Trim(a->Name), file, anchor);
            AnchorPart = anchor.empty() ? std::string() : "#" + anchor;
            if (!file.empty() && !viewer->HasRequestEvents()) {
                file = UrlToDosPathWithRoot(file, viewer->ServerRoot());
                if (file.find(':') == std::string::npos && file.front() != '/') {
                    const std::string& base = parentSet->DocBase;
                    if (base.empty())
                        file = basePath + file;
                    else if (!SameText(base, "DosPath"))
                        file = FolderOf(UrlToDosPath(base)) + file;
                    file = std::filesystem::absolute(file).lexically_normal().string();
                }
            }
            SourceFile = InitialSource = file;
        }
        if (const TAttribute* a = attributes->Find(ScrollingSy))
            ScrollOff = SameText(a->Name, "NO");
        ResizeLocked = attributes->Find(NoResizeSy) != nullptr;
        if (const TAttribute* a = attributes->Find(MarginWidthSy))
            MarginX = a->Value;
        if (const TAttribute* a = attributes->Find(MarginHeightSy))
            MarginY = a->Value;
    }
    if (TFrameSet* master = MasterSet()) {
        master->Registry->AllFrames.push_back(this);
        if (!FrameName.empty())
            master->Registry->NameIndex.emplace(UpperCase(FrameName), this);
    }
}

TfvFrame::~TfvFrame()
{
    delete NestedSet;
    NestedSet = nullptr;
    if (const auto registry = registry_.lock()) {
        auto& frames = registry->AllFrames;
        frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
        const auto entry = registry->NameIndex.find(UpperCase(FrameName));
        if (entry != registry->NameIndex.end() && entry->second == this)
            registry->NameIndex.erase(entry);
        if (PageViewer) {
            auto& viewers = registry->AllViewers;
            viewers.erase(std::remove(viewers.begin(), viewers.end(), PageViewer), viewers.end());
        }
    }
}

void TfvFrame::Detach()
{
    if (const auto registry = registry_.lock()) {
        auto& frames = registry->AllFrames;
        frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
        const auto entry = registry->NameIndex.find(UpperCase(FrameName));
        if (entry != registry->NameIndex.end() && entry->second == this)
            registry->NameIndex.erase(entry);
        if (PageViewer) {
            auto& viewers = registry->AllViewers;
            viewers.erase(std::remove(viewers.begin(), viewers.end(), PageViewer), viewers.end());
        }
    }
    registry_.reset();
    if (NestedSet)
        NestedSet->Detach();
}

void TfvFrame::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    const QRect inner = contentsRect();
    if (PageViewer)
        PageViewer->setGeometry(inner);
    if (NestedSet)
        NestedSet->setGeometry(inner);
}

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
    PageViewer->LoadDocumentString("<p><img src=\"qw%&.bmp\" alt=\"Error\"> Can't load " + EscapeHtml(SourceFile));
}

void TfvFrame::LoadIntoViewer(const std::string& file, const std::string& dest)
{
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
        ShowError();
    }
}

void TfvFrame::LoadContent()
{
    TFrameSet* master = MasterSet();
    if (!master || SourceFile.empty() || master->Nesting >= kMaxNesting)
        return;
    ++master->Nesting;
    struct Down {
        TFrameSet* m;
        ~Down() { --m->Nesting; }
    } down{master};
    std::string text, textFile;
    bool frameset = false;
    if (viewer_->HasRequestEvents()) {
        try {
            text = viewer_->ReadSource(SourceFile, textFile);
            frameset = IsFramesetDocument(text);
        } catch (const std::exception&) {
            frameset = false;  // the page load below shows the error page
        }
    } else if (!IsImageFile(SourceFile) && !IsTextFile(SourceFile) && FileExists(SourceFile) &&
               IsFramesetFile(SourceFile)) {
        text = ReadFileBytes(SourceFile);
        textFile = SourceFile;
        frameset = true;
    }
    if (frameset) {
        // The nested set hangs below this frame's frameset, so that its frames find the top one.
        NestedSet = new TSubFrameSet(viewer_, parentSet_, this);
        viewer_->ParseInto(*NestedSet, text, FolderOf(textFile.empty() ? SourceFile : textFile));
        NestedSet->setGeometry(contentsRect());
        NestedSet->show();
        NestedSet->LoadContent();
        viewer_->ArmRefresh(*NestedSet);
        return;
    }
    CreateViewer();
    LoadIntoViewer(SourceFile, AnchorPart);
}

void TfvFrame::DropContent()
{
    if (PageViewer) {
        if (TFrameSet* master = MasterSet()) {
            auto& viewers = master->Registry->AllViewers;
            viewers.erase(std::remove(viewers.begin(), viewers.end(), PageViewer), viewers.end());
        }
        PageViewer->hide();
        PageViewer->deleteLater();  // it may be the viewer whose click brought us here
        PageViewer = nullptr;
    }
    if (NestedSet) {
        NestedSet->Detach();
        NestedSet->hide();
        NestedSet->deleteLater();
        NestedSet = nullptr;
    }
}

void TfvFrame::Navigate(const std::string& file, const std::string& dest, bool refresh)
{
    if (refreshTimer_)
        refreshTimer_->stop();
    if (SameText(file, SourceFile) && (PageViewer || NestedSet)) {
        if (PageViewer) {
            if (refresh) {
                const int position = PageViewer->GetPosition();
                LoadIntoViewer(file, "");
                PageViewer->SetPosition(position);
            } else if (!dest.empty()) {
                PageViewer->PositionToAnchor(dest);
            }
        }
        return;
    }
    SourceFile = file;
    AnchorPart = dest;
    if (!PageViewer || viewer_->HasRequestEvents() ||
        (FileExists(file) && !IsImageFile(file) && !IsTextFile(file) && IsFramesetFile(file))) {
        DropContent();
        LoadContent();
    } else {
        LoadIntoViewer(file, dest);
    }
    viewer_->AddVisited(file + dest);
}

void TfvFrame::StartRefresh(int delay, const std::string& url)
{
    const std::string target = url.empty() ? SourceFile : viewer_->ExpandLinkName(url);
    if (target.empty() || (!FileExists(target) && !viewer_->HasRequestEvents()))
        return;
    refreshUrl_ = target;
    if (!refreshTimer_) {
        refreshTimer_ = new QTimer(this);
        refreshTimer_->setSingleShot(true);
        QObject::connect(refreshTimer_, &QTimer::timeout, this, [this] {
            RunGuarded([this] {
                TFrameSet* master = MasterSet();
                if (master && master->Registry->AllViewers.size() == 1 && parentSet_ == master) {
                    if (!SameText(refreshUrl_, master->DocumentFile))
                        viewer_->LoadFromFile(refreshUrl_);
                    else
                        Navigate(refreshUrl_, "", true);
                } else {
                    Navigate(refreshUrl_, "", true);
                }
            });
        });
    }
    refreshTimer_->start(std::max(delay, 1) * 1000);
}

TSubFrameSet::TSubFrameSet(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent)
    : TFrameBase(viewer, parentSet, parent)
{
}

TSubFrameSet::~TSubFrameSet()
{
    const auto children = std::move(Children);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        delete *it;
}

void TSubFrameSet::Detach()
{
    for (TFrameBase* child : Children)
        child->Detach();
    registry_.reset();
}

void TSubFrameSet::LoadContent()
{
    for (TFrameBase* child : Children)
        child->LoadContent();
    LayoutChildren();
}

void TSubFrameSet::DoAttributes(const TAttributeList& attributes, bool top)
{
    const TAttribute* rows = attributes.Find(RowsSy);
    if (rows) {
        SplitRows = true;
        SizeSpec = ParseSizeList(rows->Name);
    }
    if (const TAttribute* cols = attributes.Find(ColsSy); cols && SizeSpec.size() <= 1) {
        SplitRows = false;
        SizeSpec = ParseSizeList(cols->Name);
    }
    if (top && !viewer_->fvOptions().Has(fvNoBorder)) {
        const TAttribute* border = attributes.Find(BorderSy);
        if (!border)
            border = attributes.Find(FrameBorderSy);
        if (border) {
            BorderWidth = std::clamp(border->Value, 0, 100);
            BevelSize = std::max(2 - BorderWidth, 0);
        }
    }
}

void TSubFrameSet::FinishSet()
{
    if (SizeSpec.empty())
        SizeSpec.push_back(-1);
    while (Children.size() < SizeSpec.size()) {
        auto* empty = new TfvFrame(viewer_, this, nullptr, {});
        empty->show();
        Children.push_back(empty);
    }
    while (SizeSpec.size() < Children.size())
        SizeSpec.push_back(-1);
}

void TSubFrameSet::LayoutChildren()
{
    const QRect inner = contentsRect().adjusted(BevelSize, BevelSize, -BevelSize, -BevelSize);
    const int extent = std::max(SplitRows ? inner.height() : inner.width(), 0);
    const int start = SplitRows ? inner.top() : inner.left();
    if (!userSized_ || SizePx.size() != Children.size() || sizeBasis_ <= 0) {
        userSized_ = false;
        SizePx = ComputeFrameSizes(SizeSpec, extent);
        placed_ = SizePx;
    } else {
        // Sizes set by dragging keep their proportions: the running sums are scaled, so that the
        // frames fill the extent without gaps from rounding.
        placed_.assign(SizePx.size(), 0);
        long long sum = 0;
        int previous = 0;
        for (std::size_t i = 0; i < SizePx.size(); ++i) {
            sum += SizePx[i];
            const int end = static_cast<int>(sum * extent / sizeBasis_);
            placed_[i] = std::max(end - previous, 0);
            previous = end;
        }
    }
    SizeTotal = 0;
    for (const int size : SizePx)
        SizeTotal += size;
    SplitPos.clear();
    int at = start;
    for (std::size_t i = 0; i < Children.size(); ++i) {
        const int size = i < placed_.size() ? placed_[i] : 0;
        if (SplitRows)
            Children[i]->setGeometry(inner.left(), at, inner.width(), size);
        else
            Children[i]->setGeometry(at, inner.top(), size, inner.height());
        at += size;
        if (i + 1 < Children.size())
            SplitPos.push_back(at);
    }
    ComputeLocks();
}

void TSubFrameSet::ComputeLocks()
{
    SplitLocked.assign(SplitPos.size(), false);
    for (std::size_t i = 0; i < SplitPos.size() && i + 1 < Children.size(); ++i)
        SplitLocked[i] = Children[i]->LockedAtEnd() || Children[i + 1]->LockedAtStart();
}

// A NORESIZE frame at the start or end of a nested set locks the line of the outer set it
// touches; across the split direction every frame of the nested set touches it.
bool TSubFrameSet::LockedAtStart() const
{
    if (Children.empty())
        return false;
    if (parentSet_ && parentSet_->SplitRows != SplitRows)
        return std::any_of(Children.begin(), Children.end(), [](const TFrameBase* c) { return c->LockedAtStart(); });
    return Children.front()->LockedAtStart();
}

bool TSubFrameSet::LockedAtEnd() const
{
    if (Children.empty())
        return false;
    if (parentSet_ && parentSet_->SplitRows != SplitRows)
        return std::any_of(Children.begin(), Children.end(), [](const TFrameBase* c) { return c->LockedAtEnd(); });
    return Children.back()->LockedAtEnd();
}

bool TfvFrame::LockedAtStart() const
{
    return ResizeLocked || (NestedSet && NestedSet->LockedAtStart());
}

bool TfvFrame::LockedAtEnd() const
{
    return ResizeLocked || (NestedSet && NestedSet->LockedAtEnd());
}

int TSubFrameSet::SplitAt(QPoint point) const
{
    const int along = SplitRows ? point.y() : point.x();
    int best = -1;
    int bestDistance = 6;
    // Lines come in order, so on a tie the one at or before the point is met first and stays.
    for (std::size_t i = 0; i < SplitPos.size(); ++i) {
        const int distance = std::abs(along - SplitPos[i]);
        if (distance <= 5 && distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

// The limit of a split line's movement: the neighbouring line (or the inner edge), one pixel inside.
int TSubFrameSet::LineLimit(int split, bool before) const
{
    const QRect inner = contentsRect().adjusted(BevelSize, BevelSize, -BevelSize, -BevelSize);
    if (before)
        return split > 0 ? SplitPos[static_cast<std::size_t>(split - 1)] : (SplitRows ? inner.top() : inner.left());
    return split + 1 < static_cast<int>(SplitPos.size()) ? SplitPos[static_cast<std::size_t>(split + 1)]
                                                        : (SplitRows ? inner.top() + inner.height() : inner.left() + inner.width());
}

std::optional<Qt::CursorShape> TSubFrameSet::SplitMouse(MouseAction action, QPoint point)
{
    const Qt::CursorShape shape = SplitRows ? Qt::SplitVCursor : Qt::SplitHCursor;
    TFrameSet* master = MasterSet();
    const QRect inner = contentsRect().adjusted(BevelSize, BevelSize, -BevelSize, -BevelSize);
    if (dragSplit_ >= 0) {
        dragAt_ = std::clamp(SplitRows ? point.y() : point.x(), dragLow_, dragHigh_);
        if (dragLine_) {
            if (SplitRows)
                dragLine_->setGeometry(inner.left(), dragAt_ - 1, inner.width(), 2);
            else
                dragLine_->setGeometry(dragAt_ - 1, inner.top(), 2, inner.height());
        }
        if (action == MouseAction::Up) {
            const int split = dragSplit_;
            dragSplit_ = -1;
            if (dragLine_)
                dragLine_->deleteLater();
            if (master && master->Dragging == this)
                master->Dragging = nullptr;
            // The two frames beside the line take its new place; the others keep their sizes.
            const int before = LineLimit(split, true);
            const int after = LineLimit(split, false);
            const auto i = static_cast<std::size_t>(split);
            if (i + 1 < placed_.size()) {
                placed_[i] = std::max(dragAt_ - before, 0);
                placed_[i + 1] = std::max(after - dragAt_, 0);
                SizePx = placed_;
                sizeBasis_ = std::max(SplitRows ? inner.height() : inner.width(), 1);
                userSized_ = true;
                LayoutChildren();
                update();
            }
        }
        return shape;
    }
    const int split = SplitAt(point);
    if (split >= 0) {
        if (SplitLocked[static_cast<std::size_t>(split)])
            return std::nullopt;
        if (action == MouseAction::Down) {
            const int before = LineLimit(split, true);
            const int after = LineLimit(split, false);
            dragSplit_ = split;
            dragAt_ = SplitPos[static_cast<std::size_t>(split)];
            // The line stays one pixel inside its neighbours, so no frame ever gets a negative size.
            dragLow_ = after - before >= 2 ? before + 1 : dragAt_;
            dragHigh_ = after - before >= 2 ? after - 1 : dragAt_;
            dragLine_ = new QRubberBand(QRubberBand::Line, this);
            if (SplitRows)
                dragLine_->setGeometry(inner.left(), dragAt_ - 1, inner.width(), 2);
            else
                dragLine_->setGeometry(dragAt_ - 1, inner.top(), 2, inner.height());
            dragLine_->show();
            dragLine_->raise();
            if (master)
                master->Dragging = this;
        }
        return shape;
    }
    // Near the outer edge the line belongs to the enclosing frameset.
    const QRect r = rect();
    const bool nearEdge = point.x() < r.left() + 4 || point.x() > r.right() - 4 || point.y() < r.top() + 4 ||
                          point.y() > r.bottom() - 4;
    if (nearEdge && parentSet_)
        return parentSet_->SplitMouse(action, parentSet_->mapFromGlobal(mapToGlobal(point)));
    return std::nullopt;
}

namespace {

TSubFrameSet::MouseAction ActionOf(int action)
{
    return static_cast<TSubFrameSet::MouseAction>(action);
}

void ShowCursor(QWidget& widget, const std::optional<Qt::CursorShape>& shape)
{
    if (shape)
        widget.setCursor(*shape);
    else
        widget.unsetCursor();
}

}  // namespace

void TSubFrameSet::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowCursor(*this, SplitMouse(MouseAction::Down, event->position().toPoint()));
}

void TSubFrameSet::mouseMoveEvent(QMouseEvent* event)
{
    ShowCursor(*this, SplitMouse(MouseAction::Move, event->position().toPoint()));
}

void TSubFrameSet::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowCursor(*this, SplitMouse(MouseAction::Up, event->position().toPoint()));
}

void TfvFrame::ForwardMouse(int action, QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    TFrameSet* master = MasterSet();
    std::optional<Qt::CursorShape> shape;
    if (master && master->Dragging) {
        TSubFrameSet* set = master->Dragging;
        shape = set->SplitMouse(ActionOf(action), set->mapFromGlobal(mapToGlobal(point)));
    } else if (parentSet_) {
        const QRect r = rect();
        const bool nearEdge = point.x() < r.left() + 4 || point.x() > r.right() - 4 || point.y() < r.top() + 4 ||
                              point.y() > r.bottom() - 4;
        if (nearEdge)
            shape = parentSet_->SplitMouse(ActionOf(action), parentSet_->mapFromGlobal(mapToGlobal(point)));
    }
    ShowCursor(*this, shape);
}

void TfvFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ForwardMouse(static_cast<int>(TSubFrameSet::MouseAction::Down), event);
}

void TfvFrame::mouseMoveEvent(QMouseEvent* event)
{
    ForwardMouse(static_cast<int>(TSubFrameSet::MouseAction::Move), event);
}

void TfvFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ForwardMouse(static_cast<int>(TSubFrameSet::MouseAction::Up), event);
}

void TfvFrame::ReloadContent()
{
    if (PageViewer) {
        const int position = PageViewer->GetPosition();
        LoadIntoViewer(SourceFile, "");
        PageViewer->SetPosition(position);
    } else if (NestedSet) {
        NestedSet->ReloadContent();
    } else {
        LoadContent();
    }
}

void TSubFrameSet::ReloadContent()
{
    for (TFrameBase* child : Children)
        child->ReloadContent();
}

void TSubFrameSet::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    LayoutChildren();
}

TFrameSet::TFrameSet(TFrameViewer* viewer, QWidget* parent) : TSubFrameSet(viewer, nullptr, parent) {}

void TFrameSet::LoadFile(const std::string& file, const std::string& dest)
{
    std::string text, textFile;
    bool frameset = false;
    if (viewer_->HasRequestEvents()) {
        const auto supplied = viewer_->RequestSource(file);
        DocumentFile = supplied.kind == TFrameViewer::TRequestedSource::None
                           ? std::filesystem::absolute(file).lexically_normal().string()
                           : file;
        if (supplied.kind == TFrameViewer::TRequestedSource::Text) {
            text = supplied.text;
        } else {
            textFile = supplied.kind == TFrameViewer::TRequestedSource::File ? supplied.fileName : file;
            try {
                text = ReadFileBytes(textFile);
            } catch (const std::exception&) {
                throw EfvLoadError("Can't load: " + file);
            }
        }
        frameset = IsFramesetDocument(text);
    } else {
        DocumentFile = std::filesystem::absolute(file).lexically_normal().string();
        if (!IsImageFile(file) && !IsTextFile(file) && IsFramesetFile(file)) {
            text = ReadFileBytes(file);
            textFile = DocumentFile;
            frameset = true;
        }
    }
    if (frameset) {
        const TParseResult result = viewer_->ParseInto(*this, text, FolderOf(textFile.empty() ? DocumentFile : textFile));
        DocTitle = result.Title;
        LoadContent();
        viewer_->ArmRefresh(*this);
        return;
    }
    SizeSpec = {-1};
    BorderWidth = 0;
    auto* frame = new TfvFrame(viewer_, this, nullptr, {});
    frame->SourceFile = frame->InitialSource = DocumentFile;
    frame->AnchorPart = dest;
    Children.push_back(frame);
    LayoutChildren();
    frame->show();
    frame->LoadContent();
    if (frame->PageViewer)
        DocTitle = frame->PageViewer->DocumentTitle();
}

// ---------------------------------------------------------------------------------------------
// The frame viewer

TFrameViewer::TFrameViewer(QWidget* parent) : QWidget(parent)
{
    imageCache_ = std::make_unique<TStringBitmapList>();
    imageCache_->SetCacheCount(5);
    topSet_ = new TFrameSet(this, this);
    topSet_->setGeometry(rect());
    resize(150, 150);
}

TFrameViewer::~TFrameViewer()
{
    // The frames and their viewers go before the image cache they share.
    delete topSet_;
    topSet_ = nullptr;
}

void TFrameViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (topSet_)
        topSet_->setGeometry(rect());
}

void TFrameViewer::ApplySettings(TPageViewer& viewer) const
{
    viewer.SetDefFontName(defFontName_);
    viewer.SetDefFontSize(defFontSize_);
    viewer.SetDefBackground(defBackground_);
    viewer.SetNoSelect(noSelect_);
    viewer.SetServerRoot(serverRoot_);
    viewer.SetVisitedMaxCount(visitedMaxCount_);
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
    viewer->SetMarginWidth(frame.MarginX);
    viewer->SetMarginHeight(frame.MarginY);
    if (frame.ScrollOff)
        viewer->SetScrollBars(TScrollStyle::ssNone);
    const bool noBorder = options_.Has(fvNoFocusRect) || options_.Has(fvNoBorder) ||
                          (frame.ParentSet() && frame.ParentSet()->BorderWidth == 0);
    viewer->SetBorderStyle(noBorder ? THTMLBorderStyle::htNone : THTMLBorderStyle::htFocused);
    viewer->OnHotSpotClick = [this](TPageViewer* sender, const std::string& url, bool& handled) {
        FollowTarget(sender, url, sender->HotSpotTarget(), handled);
    };
    viewer->OnHotSpotCovered = [this](TPageViewer* sender, const std::string& url) {
        if (OnHotSpotTargetCovered)
            OnHotSpotTargetCovered(this, sender->HotSpotTarget(), url);
    };
    viewer->OnRightClick = [this](TPageViewer* sender, const TRightClickParameters& parameters) {
        if (OnRightClick)
            OnRightClick(sender, parameters);
    };
    viewer->OnMeta = [this](TPageViewer*, const std::string& httpEq, const std::string& name,
                            const std::string& content) {
        if (OnMeta)
            OnMeta(this, httpEq, name, content);
    };
    if (options_.Has(fvMetaRefresh)) {
        QPointer<TfvFrame> owner(&frame);
        viewer->OnMetaRefresh = [owner](TPageViewer*, int delay, const std::string& url) {
            if (owner)
                owner->StartRefresh(delay, url);
        };
    }
    // Sources a page asks for come through the frame viewer's hooks too.
    viewer->OnhtStreamRequest = [this](TPageViewer*, const std::string& src, std::string& content) {
        if (!HasRequestEvents())
            return;
        std::string file;
        try {
            content = ReadSource(src, file);
        } catch (const std::exception&) {
            content.clear();
        }
    };
    viewer->OnActivate = [this](TPageViewer* sender) {
        if (topSet_)
            topSet_->ActiveViewer = sender;
    };
    if (TFrameSet* master = frame.MasterSet())
        master->Registry->AllViewers.push_back(viewer);
    return viewer;
}

void TFrameViewer::SetDefFontName(const std::string& value)
{
    defFontName_ = value;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetDefFontName(value);
}

void TFrameViewer::SetDefFontSize(int value)
{
    defFontSize_ = value;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetDefFontSize(value);
}

void TFrameViewer::SetDefBackground(ColorRef value)
{
    defBackground_ = value;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetDefBackground(value);
}

void TFrameViewer::SetNoSelect(bool value)
{
    noSelect_ = value;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetNoSelect(value);
}

void TFrameViewer::SetVisitedMaxCount(int value)
{
    visitedMaxCount_ = std::max(value, 0);
    if (static_cast<int>(visited_.size()) > visitedMaxCount_)
        visited_.resize(static_cast<std::size_t>(visitedMaxCount_));
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetVisitedMaxCount(visitedMaxCount_);
}

void TFrameViewer::SetServerRoot(const std::string& value)
{
    std::string root = Trim(value);
    if (!root.empty() && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    serverRoot_ = root;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        v->SetServerRoot(root);
}

void TFrameViewer::SetfvOptions(const TFrameViewerOptions& value)
{
    options_ = value;
    for (TPageViewer* v : topSet_->Registry->AllViewers)
        ApplySettings(*v);
}

void TFrameViewer::SetBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    if (OnProcessing)
        OnProcessing(this, busy);
}

void TFrameViewer::LoadFromFile(const std::string& name)
{
    if (busy_)
        return;
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    if (!FileExists(file) && !(HasRequestEvents() && RequestSource(file).kind != TRequestedSource::None))
        throw EfvLoadError("Can't locate file: " + file);
    const TViewState before = Capture();
    Load(name);
    RecordHistory(before);
}

TViewState TFrameViewer::Capture() const
{
    TViewState state;
    state.TopFile = topSet_->DocumentFile;
    state.Title = topSet_->DocTitle;
    for (TfvFrame* frame : topSet_->Registry->AllFrames)
        state.Frames.emplace_back(frame->SourceFile, frame->PageViewer ? frame->PageViewer->GetPosition() : 0);
    return state;
}

void TFrameViewer::Restore(const TViewState& state)
{
    if (state.TopFile.empty())
        return;
    if (!SameText(state.TopFile, topSet_->DocumentFile))
        Load(state.TopFile);
    // Frames navigated meanwhile go back to their pages; nested frames may come and go, so the
    // list is walked again after every change.
    for (std::size_t i = 0; i < state.Frames.size(); ++i) {
        const auto& frames = topSet_->Registry->AllFrames;
        if (i >= frames.size())
            break;
        TfvFrame* frame = frames[i];
        if (!SameText(frame->SourceFile, state.Frames[i].first))
            frame->Navigate(state.Frames[i].first, "", false);
    }
    const auto& frames = topSet_->Registry->AllFrames;
    for (std::size_t i = 0; i < state.Frames.size() && i < frames.size(); ++i)
        if (frames[i]->PageViewer)
            frames[i]->PageViewer->SetPosition(state.Frames[i].second);
}

void TFrameViewer::RecordHistory(const TViewState& before)
{
    if (historyMaxCount_ < 1 || topSet_->DocumentFile.empty())
        return;
    if (!history_.empty()) {
        history_[static_cast<std::size_t>(historyPos_)] = before;
        history_.erase(history_.begin(), history_.begin() + historyPos_);
    } else if (!before.TopFile.empty()) {
        history_.push_back(before);
    }
    historyPos_ = 0;
    history_.insert(history_.begin(), Capture());
    if (static_cast<int>(history_.size()) > historyMaxCount_)
        history_.resize(static_cast<std::size_t>(historyMaxCount_));
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::SetHistoryPos(int index)
{
    if (busy_ || index < 0 || index >= static_cast<int>(history_.size()) || index == historyPos_)
        return;
    history_[static_cast<std::size_t>(historyPos_)] = Capture();
    const TViewState target = history_[static_cast<std::size_t>(index)];
    SetBusy(true);
    struct Done {
        TFrameViewer* v;
        ~Done() { v->SetBusy(false); }
    } done{this};
    busy_ = false;  // the loads below run while the frame viewer reports itself busy
    Restore(target);
    busy_ = true;
    historyPos_ = index;
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::ClearHistory()
{
    const bool had = !history_.empty();
    history_.clear();
    historyPos_ = 0;
    if (had && OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == historyMaxCount_)
        return;
    ClearHistory();
    historyMaxCount_ = value;
}

void TFrameViewer::Load(const std::string& name)
{
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    const std::string dest = anchor.empty() ? std::string() : "#" + anchor;
    SetBusy(true);
    struct Done {
        TFrameViewer* v;
        ~Done() { v->SetBusy(false); }
    } done{this};
    TFrameSet* old = topSet_;
    auto* fresh = new TFrameSet(this, this);
    fresh->setGeometry(rect());
    fresh->lower();
    topSet_ = fresh;
    try {
        fresh->show();
        fresh->LoadFile(file, dest);
    } catch (...) {
        topSet_ = old;
        delete fresh;
        throw;
    }
    fresh->raise();
    old->hide();
    old->deleteLater();  // a viewer of the old set may be the one whose click brought us here
    AddVisited(file + dest);
    UpdateVisited();
}

TParseResult TFrameViewer::ParseInto(TSubFrameSet& set, const std::string& text, const std::string& basePath)
{
    TSubFrameSet* previous = parseTarget_;
    const std::string previousBase = parseBasePath_;
    parseTarget_ = &set;
    parseBasePath_ = basePath;
    TParseResult result;
    try {
        result = ParseFramesetDocument(
            *this, [this](const std::string& h, const std::string& n, const std::string& c) { MetaCallback(h, n, c); },
            text);
    } catch (...) {
        parseTarget_ = previous;
        parseBasePath_ = previousBase;
        throw;
    }
    parseTarget_ = previous;
    parseBasePath_ = previousBase;
    set.DocBase = result.Base;
    set.DocBaseTarget = result.BaseTarget;
    set.FinishSet();
    set.LayoutChildren();
    return result;
}

void TFrameViewer::AddFrame(TFrameSetBase* frameSet, const TAttributeList& attributes, const std::string& /*base*/)
{
    auto* set = dynamic_cast<TSubFrameSet*>(frameSet);
    if (!set)
        return;
    auto* frame = new TfvFrame(this, set, &attributes, parseBasePath_);
    set->AddChild(frame);
    frame->show();
}

TFrameSetBase* TFrameViewer::CreateSubFrameSet(TFrameSetBase* parent)
{
    auto* set = dynamic_cast<TSubFrameSet*>(parent);
    if (!set)
        return parent;
    auto* sub = new TSubFrameSet(this, set, set);
    set->AddChild(sub);
    sub->show();
    return sub;
}

void TFrameViewer::DoAttributes(TFrameSetBase* frameSet, const TAttributeList& attributes)
{
    if (auto* set = dynamic_cast<TSubFrameSet*>(frameSet))
        set->DoAttributes(attributes, set == topSet_);
}

void TFrameViewer::EndFrameSet(TFrameSetBase* frameSet)
{
    if (auto* set = dynamic_cast<TSubFrameSet*>(frameSet))
        set->FinishSet();
}

void TFrameViewer::MetaCallback(const std::string& httpEq, const std::string& name, const std::string& content)
{
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

TPageViewer* TFrameViewer::GetViewerFromName(const std::string& name) const
{
    const auto found = topSet_->Registry->NameIndex.find(UpperCase(name));
    if (found == topSet_->Registry->NameIndex.end() || !found->second)
        return nullptr;
    return found->second->PageViewer;
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
        return std::filesystem::path(result).lexically_normal().string();
    TPageViewer* active = GetActiveViewer();
    std::string base = active ? active->Base() : std::string();
    if (base.empty())
        base = topSet_->DocBase;
    if (SameText(base, "DosPath"))
        return result;
    if (!base.empty())
        return std::filesystem::path(FolderOf(UrlToDosPath(base)) + result).lexically_normal().string();
    if (active)
        return active->ExpandFileName(result);
    return std::filesystem::path(FolderOf(topSet_->DocumentFile) + result).lexically_normal().string();
}

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

void TFrameViewer::Reload()
{
    if (busy_ || topSet_->DocumentFile.empty())
        return;
    SetBusy(true);
    struct Done {
        TFrameViewer* v;
        ~Done() { v->SetBusy(false); }
    } done{this};
    topSet_->ReloadContent();
    UpdateVisited();
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

void TFrameViewer::AddVisited(const std::string& name)
{
    if (visitedMaxCount_ <= 0)
        return;
    const auto found =
        std::find_if(visited_.begin(), visited_.end(), [&](const std::string& v) { return SameText(v, name); });
    if (found != visited_.end())
        std::rotate(visited_.begin(), found, found + 1);
    else
        visited_.insert(visited_.begin(), name);
    if (static_cast<int>(visited_.size()) > visitedMaxCount_)
        visited_.resize(static_cast<std::size_t>(visitedMaxCount_));
}

void TFrameViewer::UpdateVisited()
{
    if (visitedMaxCount_ <= 0)
        return;
    for (TPageViewer* v : topSet_->Registry->AllViewers) {
        TViewerDocument& doc = v->Document();
        for (int i = 0; i < doc.LinkCount(); ++i) {
            const std::string url = doc.LinkUrl(i);
            const std::string full = !url.empty() && url.front() == '#' ? v->GetCurrentFile() + url
                                   : HasRequestEvents() ? url : v->ExpandFileName(url);
            for (const auto& entry : visited_)
                if (SameText(entry, full))
                    doc.SetLinkVisited(i, true);
        }
        v->Invalidate();
    }
}

void TFrameViewer::FollowTarget(TPageViewer* from, const std::string& url, const std::string& linkTarget, bool& handled)
{
    if (busy_) {
        handled = true;
        return;
    }
    clickUrl_ = url;
    auto* frame = from ? static_cast<TfvFrame*>(from->Frame) : nullptr;
    std::string target = linkTarget;
    if (target.empty() && from)
        target = from->BaseTarget();
    for (TSubFrameSet* set = frame ? frame->ParentSet() : nullptr; target.empty() && set; set = set->ParentSet())
        target = set->DocBaseTarget;
    clickTarget_ = target;
    if (OnHotSpotTargetClick) {
        QPointer<TFrameViewer> self(this);
        OnHotSpotTargetClick(this, clickTarget_, clickUrl_, handled);
        if (!self || handled)
            return;
    }
    handled = true;
    std::string rest = url, dest, query;
    if (const auto hash = rest.find('#'); hash != std::string::npos) {
        dest = rest.substr(hash);
        rest.erase(hash);
    }
    if (const auto question = rest.find('?'); question != std::string::npos) {
        query = rest.substr(question);
        rest.erase(question);
    }
    std::string file = rest;
    if (!file.empty() && from && !HasRequestEvents())
        file = from->ExpandFileName(file);

    TfvFrame* destFrame = nullptr;
    TSubFrameSet* destSet = nullptr;
    if (!target.empty() && !SameText(target, "_self")) {
        const auto named = topSet_->Registry->NameIndex.find(UpperCase(target));
        if (named != topSet_->Registry->NameIndex.end()) {
            destFrame = named->second;
        } else if (SameText(target, "_top")) {
            destSet = topSet_;
        } else if (SameText(target, "_parent")) {
            destSet = frame ? frame->ParentSet() : topSet_;
            if (!destSet)
                destSet = topSet_;
        } else {
            if (OnBlankWindowRequest) {
                AddVisited(file + query + dest);
                UpdateVisited();
                OnBlankWindowRequest(this, target, url);
            }
            return;
        }
    } else {
        destFrame = frame;
        if (!destFrame)
            return;
    }
    const TViewState before = Capture();
    SetBusy(true);
    struct Done {
        TFrameViewer* v;
        ~Done() { v->SetBusy(false); }
    } done{this};
    if (destFrame && topSet_->Registry->AllViewers.size() == 1 && !file.empty() && !SameText(file, topSet_->DocumentFile))
        destSet = topSet_, destFrame = nullptr;
    if (destFrame) {
        destFrame->Navigate(file.empty() ? destFrame->SourceFile : file, dest, false);
    } else if (destSet == topSet_) {
        busy_ = false;
        Load((file.empty() ? topSet_->DocumentFile : file) + dest);
        busy_ = true;
    } else if (destSet) {
        // A nested frameset: replaced by a single frame showing the page.
        for (TFrameBase* child : destSet->Children) {
            child->Detach();
            child->hide();
            child->deleteLater();
        }
        destSet->Children.clear();
        destSet->SizeSpec = {-1};
        auto* single = new TfvFrame(this, destSet, nullptr, {});
        single->SourceFile = single->InitialSource = file;
        single->AnchorPart = dest;
        destSet->AddChild(single);
        destSet->LayoutChildren();
        single->show();
        single->LoadContent();
    }
    if (!query.empty())
        AddVisited(file + query + dest);
    UpdateVisited();
    RecordHistory(before);
}

}  // namespace velmoran
