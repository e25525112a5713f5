// What the panels of the frame tree share: the registry of one frameset document (its frame names,
// frames and viewers), the panel base class of frames and framesets, and the one way a panel or
// viewer replaced at run time is deleted.
#pragma once

#include <QFrame>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmoran {

class TFrameViewer;
class TFrameSet;
class TfvFrame;
class TPageViewer;
class TSubFrameSet;

// The names, frames and viewers of one frameset document. Frames reach it through a weak
// reference, so that a frame destroyed after its top frameset finds it gone instead of touching it.
struct TFrameRegistry {
    std::map<std::string, TfvFrame*> NameIndex;  // upper-case NAME -> frame (the first one wins)
    std::vector<TPageViewer*> AllViewers;
    std::vector<TfvFrame*> AllFrames;

    void RemoveViewer(TPageViewer* viewer);
    // Takes a frame out of the lists, and out of the names where it is the one named.
    void RemoveFrame(TfvFrame* frame, const std::string& name);
};

// A panel of the frame tree: a frame or a frameset.
class TFrameBase : public QFrame {
public:
    TFrameBase(TFrameViewer* viewer, TSubFrameSet* parentSet, QWidget* parent);
    TFrameViewer* Viewer() const { return viewer_; }
    TSubFrameSet* ParentSet() const { return parentSet_; }
    // The top frameset of the tree.
    TFrameSet* MasterSet() const;
    virtual void LoadContent() = 0;
    // Loads the panel's sources again in place; every viewer keeps its scroll position.
    virtual void ReloadContent() = 0;
    // Stops the panel's refresh timers (a frameset left for another).
    virtual void UnloadContent() = 0;
    // Whether the split line before (at the start) or after (at the end) this panel may not move.
    virtual bool LockedAtStart() const = 0;
    virtual bool LockedAtEnd() const = 0;
    // Takes the panel and everything below it out of the tree's names and lists (before it is
    // deleted later).
    virtual void Detach() = 0;
    // Draws the bevels and the viewers' focus borders as the frame viewer's options and the
    // document ask for them now, and places the content inside them again.
    virtual void ApplyBorders() = 0;

    // The character set of the pages shown below: the parent's, else the frame viewer's, until a
    // frameset document's META content-type sets its own.
    int CharSet = 1;

protected:
    TFrameViewer* viewer_;
    TSubFrameSet* parentSet_;
    std::weak_ptr<TFrameRegistry> registry_;
};

// Hides a panel or viewer that is replaced and deletes it once the event loop runs again. Every
// panel and viewer replaced at run time goes this way, never by `delete`: the viewer whose link
// click led to the replacement may still be on the call stack below, and a deferred delete lets its
// handler return first. (Destructors delete their own children at once: those go with their
// parent anyway, and no click of theirs can still be running.)
void DiscardLater(QWidget* widget);

// Whether a point lies within 4 pixels of a widget's edge, where the split line of the enclosing
// frameset runs.
bool NearEdge(const QWidget& widget, QPoint point);
// Shows the split cursor a panel's mouse handling asked for, or the panel's own cursor.
void ShowSplitCursor(QWidget& widget, const std::optional<Qt::CursorShape>& shape);

}  // namespace velmoran
