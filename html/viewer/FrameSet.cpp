// The top frameset: a document file read as a frameset or shown as one page.
#include "html/viewer/FrameSet.h"

#include "html/base/HtmlSymbols.h"
#include "html/viewer/Frame.h"
#include "html/viewer/FrameFiles.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/ViewerText.h"
#include "platform/core/Stream.h"

#include <algorithm>

namespace velmoran {

TFrameSet::TFrameSet(TFrameViewer* viewer, QWidget* parent) : TSubFrameSet(viewer, nullptr, parent)
{
    SetTopBorder();
}

// fvNoBorder takes the bevel off and gives the frames no border; else the frames have a border of
// 2 and the whole set a lowered bevel of 2, unless the document's BORDER says otherwise.
void TFrameSet::SetTopBorder()
{
    if (viewer_->fvOptions().Has(fvNoBorder))
        SetBorder(0, 0);
    else if (onePage_)
        SetBorder(0, 2);  // one page: a frame border inside the set's bevel would frame the page twice
    else if (documentBorder_)
        SetBorder(*documentBorder_, std::max(2 - *documentBorder_, 0));
    else
        SetBorder(2, 2);
}

void TFrameSet::ApplyBorders()
{
    SetTopBorder();
    TSubFrameSet::ApplyBorders();
}

void TFrameSet::ReadBorderAttributes(const TAttributeList& attributes)
{
    const TAttribute* border = attributes.Find(BorderSy);
    if (!border)
        border = attributes.Find(FrameBorderSy);
    if (!border)
        return;
    // The width becomes every frame's bevel: below 0 means none, and a huge one would leave the
    // frames no room for their pages.
    documentBorder_ = std::clamp(border->Value, 0, 100);
    SetTopBorder();
}

bool TFrameSet::ReadFrameset(const std::string& file, std::string& text, std::string& textFile)
{
    if (!viewer_->HasRequestEvents()) {
        DocumentFile = AbsolutePath(file);
        if (IsImageFile(file) || IsTextFile(file) || !IsFramesetFile(file))
            return false;
        text = ReadFileBytes(file);
        textFile = DocumentFile;
        return true;
    }
    const auto supplied = viewer_->RequestSource(file);
    DocumentFile = supplied.kind == TFrameViewer::TRequestedSource::None ? AbsolutePath(file) : file;
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
    return IsFramesetDocument(text);
}

void TFrameSet::ClearSet()
{
    TSubFrameSet::ClearSet();
    documentBorder_.reset();
    onePage_ = false;
    SetTopBorder();
    DocumentFile.clear();
    DocTitle.clear();
    ActiveViewer = nullptr;
    Dragging = nullptr;
}

void TFrameSet::LoadFile(const std::string& file, const std::string& dest)
{
    std::string text, textFile;
    documentBorder_.reset();
    onePage_ = false;
    if (ReadFrameset(file, text, textFile)) {
        FramesetDocument = DocumentFile;
        const TParseResult result = viewer_->ParseInto(*this, text, FolderOf(textFile.empty() ? DocumentFile : textFile));
        DocTitle = result.Title;
        LoadContent();
        viewer_->ArmRefresh(*this);
        return;
    }
    onePage_ = true;
    SetTopBorder();
    FramesetDocument.clear();
    TfvFrame* frame = ShowOnePage(DocumentFile, dest);
    if (frame->PageViewer)
        DocTitle = frame->PageViewer->DocumentTitle();
}

}  // namespace velmoran
