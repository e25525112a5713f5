// A dockable window with fixed-size contents for the dock and window tests: its base size, shrink
// mode and minimum shrink size are set by the test, and a shrunk bar reports the length its dock
// gave it.
#pragma once

#include "platform/Form.h"
#include "toolbar/TBarDockableWindow.h"

#include <QWidget>

#include <memory>
#include <stdexcept>

namespace velmoran::testing {

class FakeBar : public TBarCustomDockableWindow {
public:
    explicit FakeBar(QWidget* parent = nullptr, QPoint baseSize = {50, 20}) : Base(baseSize)
    {
        Content = new QWidget(this);
        Content->setObjectName("content");
        if (parent)
            SetParent(parent);
    }

    QPoint ArrangeControls(bool canMoveControls, TDockType, bool, TBarDock* dock) override
    {
        if (RaiseOnArrange)
            throw std::runtime_error("arrange");
        const QPoint size = ShrunkClientSize(Base, dock);
        if (canMoveControls)
            SetChildBounds(*Content, QRect(QPoint(0, 0), QSize(size.x(), size.y())));
        ++Arranged;
        return size;
    }
    QPoint GetBaseSize() override { return Base; }
    TBarShrinkMode GetShrinkMode() const override { return Mode; }
    void GetMinShrinkSize(int& minimum) override
    {
        if (MinShrink >= 0)
            minimum = MinShrink;
    }

    QPoint Base;
    TBarShrinkMode Mode = TBarShrinkMode::tbsmNone;
    int MinShrink = -1;
    int Arranged = 0;
    bool RaiseOnArrange = false;
    QWidget* Content = nullptr;
};

// A shown form of the given size (offscreen), so that geometry changes take effect at once.
inline std::unique_ptr<Form> ShownForm(int width, int height)
{
    auto form = std::make_unique<Form>();
    form->resize(width, height);
    form->show();
    return form;
}

}  // namespace velmoran::testing
