// The alignment of a window's children to its edges: children aligned top, bottom, left, right or
// client are laid out in that order of kinds, each kind in the order the children were added, so a
// top child added first lies above a later one. A child keeps its own thickness (its height at the
// top and bottom, its width at the left and right) and takes the whole length of the space that is
// left; the client child takes what remains. A host too small for its children cuts their places,
// never their own sizes: enlarged again, each child has its thickness back. The layout is made
// again when the host is resized and when an aligned child changes its size or is shown or hidden
// (a dock whose thickness changed).
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <vector>

class QWidget;

namespace velmoran {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class AlignLayout : public QObject {
public:
    // Made as a child of the host; at most one per host.
    explicit AlignLayout(QWidget& host);

    // Aligns a child of the host (alNone leaves it where it is); adding a child again changes its
    // alignment but keeps its place in the order.
    void SetAlign(QWidget& child, TAlign align);
    TAlign AlignOf(const QWidget& child) const;
    // Lays the children out in the host's rectangle now.
    void Realign();
    // The layout of a host, nullptr when it has none.
    static AlignLayout* Of(const QWidget* host);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> Child;
        TAlign Align = TAlign::alNone;
        // The child's own size, and the place the layout gave it last: a size other than that
        // place's is the child's own change.
        QSize Own;
        QRect Placed;
    };
    void PlaceAll();
    // Takes a size the child gave itself since it was placed as its own.
    static void TakeOwnSize(Entry& entry);
    static void Place(Entry& entry, const QRect& place);

    QWidget& host_;
    std::vector<Entry> entries_;
    bool placing_ = false;
    bool again_ = false;
};

// Whether a widget was hidden on purpose (hide(), setVisible(false)); a child that was never hidden
// shows with its parent. This is the widget's own Visible flag, whatever its parent's state.
bool IsExplicitlyHidden(const QWidget& widget);

// Aligns the child in its parent's layout, making the layout when the parent has none.
void SetAlign(QWidget& child, TAlign align);

}  // namespace velmoran
