// Lays out the aligned children of a window; see AlignLayout.h.
#include "platform/AlignLayout.h"

#include "platform/core/ScopeExit.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

namespace velmoran {

namespace {

// A child that changes its own size while being placed asks for another round; a child that keeps
// asking cannot hold the layout up for ever.
constexpr int kMaxRounds = 8;

}  // namespace

AlignLayout::AlignLayout(QWidget& host) : QObject(&host), host_(host)
{
    host.installEventFilter(this);
}

AlignLayout* AlignLayout::Of(const QWidget* host)
{
    if (!host)
        return nullptr;
    for (QObject* child : host->children())
        if (auto* layout = dynamic_cast<AlignLayout*>(child))
            return layout;
    return nullptr;
}

void AlignLayout::SetAlign(QWidget& child, TAlign align)
{
    if (child.parentWidget() != &host_)
        throw std::logic_error("AlignLayout: not a child of the host");
    auto found = std::find_if(entries_.begin(), entries_.end(), [&child](const Entry& e) { return e.Child == &child; });
    if (found == entries_.end()) {
        entries_.push_back({&child, align, child.size(), {}});
        child.installEventFilter(this);
    } else {
        found->Align = align;
    }
    Realign();
}

TAlign AlignLayout::AlignOf(const QWidget& child) const
{
    auto found = std::find_if(entries_.begin(), entries_.end(), [&child](const Entry& e) { return e.Child == &child; });
    return found == entries_.end() ? TAlign::alNone : found->Align;
}

void AlignLayout::Realign()
{
    if (placing_) {
        again_ = true;
        return;
    }
    const ScopedValue<bool> placing(placing_, true);
    for (int round = 0; round < kMaxRounds; ++round) {
        again_ = false;
        PlaceAll();
        if (!again_)
            break;
    }
}

void AlignLayout::TakeOwnSize(Entry& entry)
{
    if (entry.Child->size() != entry.Placed.size())
        entry.Own = entry.Child->size();
}

void AlignLayout::Place(Entry& entry, const QRect& place)
{
    // Known before the child hears of it: its resize event then tells the layout nothing new.
    entry.Placed = place;
    entry.Child->setGeometry(place);
}

void AlignLayout::PlaceAll()
{
    std::erase_if(entries_, [this](const Entry& e) { return !e.Child || e.Child->parentWidget() != &host_; });
    QRect rest = host_.rect();
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (Entry& entry : entries_) {
            if (entry.Align != kind || IsExplicitlyHidden(*entry.Child))
                continue;
            TakeOwnSize(entry);
            // What is left cuts the place, not the child's own size.
            const int width = std::clamp(entry.Own.width(), 0, std::max(rest.width(), 0));
            const int height = std::clamp(entry.Own.height(), 0, std::max(rest.height(), 0));
            switch (kind) {
            case TAlign::alTop:
                Place(entry, QRect(rest.left(), rest.top(), rest.width(), height));
                rest.setTop(rest.top() + height);
                break;
            case TAlign::alBottom:
                Place(entry, QRect(rest.left(), rest.bottom() + 1 - height, rest.width(), height));
                rest.setBottom(rest.bottom() - height);
                break;
            case TAlign::alLeft:
                Place(entry, QRect(rest.left(), rest.top(), width, rest.height()));
                rest.setLeft(rest.left() + width);
                break;
            case TAlign::alRight:
                Place(entry, QRect(rest.right() + 1 - width, rest.top(), width, rest.height()));
                rest.setRight(rest.right() - width);
                break;
            default:
                Place(entry, rest);
                break;
            }
        }
    }
}

bool AlignLayout::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == &host_) {
        if (type == QEvent::Resize)
            Realign();
    } else if (type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide) {
        for (Entry& entry : entries_)
            if (entry.Child == watched)
                TakeOwnSize(entry);
        Realign();
    }
    return false;
}

bool IsExplicitlyHidden(const QWidget& widget)
{
    return widget.testAttribute(Qt::WA_WState_ExplicitShowHide) && widget.testAttribute(Qt::WA_WState_Hidden);
}

void SetAlign(QWidget& child, TAlign align)
{
    QWidget* host = child.parentWidget();
    if (!host)
        throw std::logic_error("SetAlign: the widget has no parent");
    AlignLayout* layout = AlignLayout::Of(host);
    if (!layout)
        layout = new AlignLayout(*host);
    layout->SetAlign(child, align);
}

}  // namespace velmoran
