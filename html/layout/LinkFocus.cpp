// The focus controls of links; see LinkFocus.h.
#include "html/layout/LinkFocus.h"

#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"

#include <QKeyEvent>
#include <QWidget>

namespace velmoran {

namespace {

// The 1 x 1 control: focus and Enter go to its link; other keys go on to the viewer.
class TLinkTabWidget : public QWidget {
public:
    TLinkTabWidget(QWidget* parent, TLinkFocusControl* link) : QWidget(parent), link_(link)
    {
        setFocusPolicy(Qt::StrongFocus);
        setGeometry(-4000, 0, 1, 1);
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QWidget::focusInEvent(event);
        link_->SetActive(true);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QWidget::focusOutEvent(event);
        link_->SetActive(false);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            link_->Follow();
        else
            event->ignore();
    }

private:
    TLinkFocusControl* link_;
};

}  // namespace

TLinkFocusControl::TLinkFocusControl(TSectionList* document, TFontObj* run) : Document(document), Run(run)
{
    document->RegisterTabStop(this);
    if (run->UrlTarget().TabIndex > 0)
        document->AddTabStop(run->UrlTarget().TabIndex, this);
    if (QWidget* surface = document->Host().DrawingSurface()) {
        widget_ = new TLinkTabWidget(surface, this);
        TagTabStop(widget_, this);
        widget_->show();
    }
}

TLinkFocusControl::~TLinkFocusControl()
{
    Document->RemoveTabStop(this);
    delete widget_.data();
}

void TLinkFocusControl::SetActive(bool active)
{
    TSection* section = Run->Section;
    bool after = false;
    for (const auto& run : section->Fonts) {
        if (run.get() == Run)
            after = true;
        if (after && run->IsLink() && run->UrlTarget().ID == Run->UrlTarget().ID)
            run->Active = active;
    }
    if (active)
        Document->Host().KeepInView(section->YOfPosition(Run->Pos), true);
    Document->Host().Invalidate();
}

void TLinkFocusControl::Follow()
{
    Document->Host().FollowLinkFromKeyboard(Run->UrlTarget().URL, Run->UrlTarget().Target);
}

}  // namespace velmoran
