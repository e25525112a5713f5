// The top frameset of one document: it builds itself from a file (a frameset document, or one
// frame showing the page), owns the registry of the document's names, frames and viewers, and
// keeps the document's file and title, the active viewer and the set whose split line is dragged.
#pragma once

#include "html/viewer/PageViewer.h"
#include "html/viewer/SubFrameSet.h"

#include <QPointer>

#include <memory>
#include <optional>
#include <string>

namespace velmoran {

class TFrameSet : public TSubFrameSet {
public:
    TFrameSet(TFrameViewer* viewer, QWidget* parent);
    // Builds the frameset from a file (a frameset document, or one frame showing the page).
    void LoadFile(const std::string& file, const std::string& dest);
    // Also forgets the document's file, title, border and active viewer.
    void ClearSet() override;
    // The top set's border follows fvNoBorder and the document's BORDER.
    void ApplyBorders() override;
    // Reads BORDER or FRAMEBORDER of the frameset document's outermost FRAMESET.
    void ReadBorderAttributes(const TAttributeList& attributes);
    // Whether the set shows one page rather than a frameset document.
    bool OnePage() const { return onePage_; }

    std::string DocumentFile;
    std::u16string DocTitle;
    std::shared_ptr<TFrameRegistry> Registry = std::make_shared<TFrameRegistry>();
    QPointer<TPageViewer> ActiveViewer;
    QPointer<TSubFrameSet> Dragging;  // the frameset whose split line is being dragged
    int Nesting = 0;

private:
    void SetTopBorder();
    std::optional<int> documentBorder_;  // BORDER or FRAMEBORDER of the document
    bool onePage_ = false;               // the set shows one page, not a frameset document
    // The document text of a file when it is a frameset document (and the file it came from,
    // empty when the application supplied it); false for a page.
    bool ReadFrameset(const std::string& file, std::string& text, std::string& textFile);
};

}  // namespace velmoran
