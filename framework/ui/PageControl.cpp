// The module dialogs' page stack; see PageControl.h.
#include "framework/ui/PageControl.h"

namespace velmoran {

TTabSheet::TTabSheet(TPageControl& owner) : owner_(owner) {}

void TTabSheet::SetPageEnabled(bool enabled)
{
    enabled_ = enabled;
    setEnabled(enabled);
}

int TTabSheet::PageIndex() const { return owner_.indexOf(const_cast<TTabSheet*>(this)); }

TPageControl::TPageControl(QWidget* parent) : QStackedWidget(parent) {}

TTabSheet* TPageControl::AddPage(const std::string& caption)
{
    auto* page = new TTabSheet(*this);
    page->SetCaption(caption);
    addWidget(page);
    return page;
}

TTabSheet* TPageControl::Pages(int index) const { return dynamic_cast<TTabSheet*>(widget(index)); }

}  // namespace velmoran
