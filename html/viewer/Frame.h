// One FRAME of a frameset document: a page viewer, or a nested frameset when its source is a
// frameset document itself. It reads its FRAME attributes, loads its source (through the frame
// viewer's source hooks when the application supplies the documents), shows the error page for a
// source it cannot read, follows links and META refresh into itself, and hands the mouse on its
// border to the frameset that drags the split lines.
#pragma once

#include "html/viewer/FrameBase.h"
#include "html/viewer/SubFrameSet.h"

#include <string>

class QMouseEvent;
class QTimer;

namespace velmoran {

class TAttributeList;

class TfvFrame : public TFrameBase {
public:
    TfvFrame(TFrameViewer* viewer, TSubFrameSet* parentSet, const TAttributeList* attributes,
             const std::string& basePath);
    ~TfvFrame() override;

    void LoadContent() override;
    void ReloadContent() override;
    bool LockedAtStart() const override;
    bool LockedAtEnd() const override;
    void Detach() override;
    // A link or refresh into this frame: file and destination (with its "#").
    void Navigate(const std::string& file, const std::string& dest, bool refresh);
    void StartRefresh(int delay, const std::string& url);

    std::string SourceFile, InitialSource, AnchorPart, FrameName;
    bool ScrollOff = false;
    bool ResizeLocked = false;
    int MarginX = 10, MarginY = 5;
    TPageViewer* PageViewer = nullptr;   // a child widget
    TSubFrameSet* NestedSet = nullptr;   // a child widget

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Mouse events on the frame's own border go to its frameset, which drags the split lines.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ReadAttributes(const TAttributeList& attributes, const std::string& basePath);
    std::string SourceOf(const std::string& src, const std::string& basePath) const;
    void ForwardMouse(TSubFrameSet::MouseAction action, QMouseEvent* event);
    void CreateViewer();
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

}  // namespace velmoran
