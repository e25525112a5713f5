// The top frameset: a document file read as a frameset or shown as one page.
#include "html/viewer/FrameSet.h"

#include "html/viewer/Frame.h"
#include "html/viewer/FrameFiles.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/ViewerText.h"
#include "platform/core/Stream.h"

namespace velmoran {

TFrameSet::TFrameSet(TFrameViewer* viewer, QWidget* parent) : TSubFrameSet(viewer, nullptr, parent)
{
    SetTopBorder();
}

// fvNoBorder takes the bevel off and gives the frames no border; else the frames have a border of
// 2 and the whole set a lowered bevel of 2, until the document's BORDER says otherwise.
void TFrameSet::SetTopBorder()
{
    const bool noBorder = viewer_->fvOptions().Has(fvNoBorder);
    SetBorder(noBorder ? 0 : 2, noBorder ? 0 : 2);
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
    SetTopBorder();
    DocumentFile.clear();
    DocTitle.clear();
    ActiveViewer = nullptr;
    Dragging = nullptr;
}

void TFrameSet::LoadFile(const std::string& file, const std::string& dest)
{
    std::string text, textFile;
    if (ReadFrameset(file, text, textFile)) {
        FramesetDocument = DocumentFile;
        const TParseResult result = viewer_->ParseInto(*this, text, FolderOf(textFile.empty() ? DocumentFile : textFile));
        DocTitle = result.Title;
        LoadContent();
        viewer_->ArmRefresh(*this);
        return;
    }
    SetTopBorder();
    SetBorder(0, BevelSize);  // one page: its frame has no border, the set keeps its bevel
    FramesetDocument.clear();
    TfvFrame* frame = ShowOnePage(DocumentFile, dest);
    if (frame->PageViewer)
        DocTitle = frame->PageViewer->DocumentTitle();
}

}  // namespace velmoran
