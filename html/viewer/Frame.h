// One FRAME of a frameset document: a page viewer, or a nested frameset when its source is a
// frameset document itself. It reads its FRAME attributes, loads its source (through the frame
// viewer's source hooks when the application supplies the documents), shows the error page for a
// source it cannot read, follows links and META refresh into itself, and hands the mouse on its
// border to the frameset that drags the split lines. It keeps its own history: the pages it showed,
// each with its place and form values.
#pragma once

#include "html/viewer/FrameBase.h"
#include "html/viewer/SubFrameSet.h"
#include "html/viewer/ViewerHistory.h"

#include <exception>
#include <string>

class QMouseEvent;
class QTimer;

namespace velmoran {

class TAttributeList;

class TfvFrame : public TFrameBase {
public:
    // basePath is the folder of the frameset document, docBase the BASE the document named before
    // the FRAME (empty when none).
    TfvFrame(TFrameViewer* viewer, TSubFrameSet* parentSet, const TAttributeList* attributes,
             const std::string& basePath, const std::string& docBase = {});
    ~TfvFrame() override;

    // The first load: the source shown, and the frame's history starting with it.
    void LoadContent() override;
    void ReloadContent() override;
    void UnloadContent() override;
    bool LockedAtStart() const override;
    bool LockedAtEnd() const override;
    void Detach() override;
    void ApplyBorders() override;
    // A link or refresh into this frame: file and destination (with its "#"). Another file, or
    // another place in the same page, becomes an entry of the frame's history. The frameset
    // document the frame shows already reloads only the frames below that show another source.
    void Navigate(const std::string& file, const std::string& dest, bool refresh);
    void StartRefresh(int delay, const std::string& url);

    // The frame's own history (index 0 is the newest entry).
    TPageHistory History;
    // Shows an entry of the history: its page, its place and its form values.
    void SetHistoryIndex(int index);
    // Empties the history; with a bound of 1 or more it starts again with the page shown.
    void RestartHistory(int maxCount);

    std::string SourceFile, InitialSource, AnchorPart, FrameName;
    bool ScrollOff = false;
    bool ResizeLocked = false;
    int MarginX = 10, MarginY = 5;
    TPageViewer* PageViewer = nullptr;   // a child widget
    TSubFrameSet* NestedSet = nullptr;   // a child widget
    // Why the page the frame was last to show could not be (it shows the error page instead);
    // null when it shows that page.
    std::exception_ptr LoadFailure;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Mouse events on the frame's own border go to its frameset, which drags the split lines.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The viewer or nested frameset fills the area inside the bevel.
    void PlaceContent();
    void ReadAttributes(const TAttributeList& attributes, const std::string& basePath, const std::string& docBase);
    std::string SourceOf(const std::string& src, const std::string& basePath, const std::string& docBase) const;
    void ForwardMouse(TSubFrameSet::MouseAction action, QMouseEvent* event);
    bool HandsMouseToViewer(TSubFrameSet::MouseAction action) const;
    void CreateViewer();
    // Shows a source: in the viewer there is, else in a new viewer or nested frameset.
    void ShowSource(const std::string& file, const std::string& dest);
    void LoadSource();
    // Whether the frame records its own steps: in a frameset document, not in a view of one page
    // (whose steps the frame viewer records).
    bool KeepsOwnHistory() const;
    THistoryPage ShownPage() const;
    void MoveToAnchor(const std::string& dest);
    void RecordHistory(const THistoryPage& left, std::unique_ptr<TFormSnapshot> form);
    void LoadIntoViewer(const std::string& file, const std::string& dest);
    void LoadNestedSet(const std::string& text, const std::string& textFile);
    bool LoadsAnAncestor() const;
    void ReloadInPlace(const std::string& file);
    void ShowError();
    void DropContent();
    // Takes the frame and its viewer out of the registry it was made in.
    void Unregister();
    void RefreshNow();
    QTimer* refreshTimer_ = nullptr;
    std::string refreshUrl_;
};

// The page a frame shows for a source it cannot load; the file name comes as it is, escaped as
// HTML. Applications that word their pages otherwise recognise it by its start (an empty name).
std::string FrameErrorPage(const std::string& fileName);

}  // namespace velmoran
