// The document's forms and controls, its tab order and its link runs with their focus controls:
// the lists the parser fills, the values kept for the history, and the order Tab walks.
#include "html/layout/LinkFocus.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace velmoran {

ThtmlForm* TSectionList::AddForm(const TAttributeList& attributes)
{
    FormList.push_back(std::make_unique<ThtmlForm>(this, attributes));
    return FormList.back().get();
}

void TSectionList::ClearFormAndPanelLists()
{
    CurrentForm = nullptr;
    const bool windows = std::any_of(FormControlList.begin(), FormControlList.end(),
                                     [](const TFormControlObj* c) { return c->FocusWidget() != nullptr; });
    // Every control goes: the lists they would leave one by one (a search each) are emptied first.
    FormControlList.clear();
    const auto isControl = [](const TTabStop* stop) { return dynamic_cast<const TFormControlObj*>(stop) != nullptr; };
    std::erase_if(TabOrderList, [&](const auto& entry) { return isControl(entry.second); });
    if (std::erase_if(tabStops_, isControl) > 0)
        ForgetTabStops();
    if (windows && QCoreApplication::instance()) {
        // Window controls made since the event loop last ran still wait for their polish request,
        // and Qt searches the whole queue for the events of each object deleted with some pending:
        // they get their requests in one pass instead.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    }
    FormList.clear();
    PanelList.clear();
}

void TSectionList::ForgetFormControl(TFormControlObj* control)
{
    FormControlList.erase(std::remove(FormControlList.begin(), FormControlList.end(), control), FormControlList.end());
    RemoveTabStop(control);
    if (!control->ID.empty())
        IDNameList.RemoveObject(control->ID, control);
}

std::vector<std::vector<std::string>> TSectionList::GetFormControlData()
{
    std::vector<std::vector<std::string>> data;
    for (const auto& form : FormList)
        data.push_back(form->GetFormSubmission());
    return data;
}

void TSectionList::SetFormControlData(const std::vector<std::vector<std::string>>& data)
{
    for (std::size_t i = 0; i < FormList.size() && i < data.size(); ++i)
        FormList[i]->SetFormData(data[i]);
}

// ---------------------------------------------------------------------------------------------
// Tab order

void TSectionList::RegisterTabStop(TTabStop* stop)
{
    tabStops_.push_back(stop);
    tabChainStale_ = true;
}

void TSectionList::AddTabStop(int tabIndex, TTabStop* stop)
{
    TabOrderList.emplace_back(TabOrderKey(tabIndex, static_cast<int>(TabOrderList.size())), stop);
    tabChainStale_ = true;
}

void TSectionList::RemoveTabStop(const TTabStop* stop)
{
    std::erase_if(TabOrderList, [stop](const auto& entry) { return entry.second == stop; });
    if (std::erase(tabStops_, stop) > 0)
        ForgetTabStops();
}

void TSectionList::ForgetTabStops()
{
    tabChain_.clear();
    madeTabStops_.clear();
    tabChainStale_ = true;
}

void TSectionList::ForgetAllTabStops()
{
    TabOrderList.clear();
    tabStops_.clear();
    ForgetTabStops();
}

void TSectionList::ApplyTabOrder()
{
    if (tabChainStale_)
        OrderTabStops();
}

void TSectionList::OrderTabStops()
{
    tabChainStale_ = false;
    for (const auto& form : FormList)
        form->SettleRadioTabStops();
    std::stable_sort(TabOrderList.begin(), TabOrderList.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (TTabStop* stop : tabStops_)
        stop->TabOrder = -1;
    tabChain_.clear();
    for (const auto& [key, stop] : TabOrderList)
        if (stop->TabOrder < 0) {
            stop->TabOrder = static_cast<int>(tabChain_.size());
            tabChain_.push_back(stop);
        }
    TabOrderList.clear();
    for (TTabStop* stop : tabStops_)
        if (stop->TabOrder < 0) {
            stop->TabOrder = static_cast<int>(tabChain_.size());
            tabChain_.push_back(stop);
        }
    LinkMadeWidgets();
    if (Host().DrawingSurface() && !tabChain_.empty()) {
        WatchTabKey();
        // Tab enters the document from elsewhere where the focus chain meets its widgets: its
        // first and last stops have theirs from the start.
        for (const bool forward : {true, false})
            if (TTabStop* entry = NextTabStop(nullptr, forward))
                entry->MakeFocusWidget();
    }
}

void TSectionList::LinkMadeWidgets()
{
    madeTabStops_.clear();
    std::vector<QWidget*> chain;
    for (TTabStop* stop : tabChain_)
        if (QWidget* w = stop->FocusWidget()) {
            madeTabStops_.insert(stop->TabOrder);
            chain.push_back(w);
        }
    if (chain.empty() || !chain.front()->parentWidget())
        return;
    // The other controls of the surface follow in their own order.
    for (QObject* child : chain.front()->parentWidget()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && (w->focusPolicy() & Qt::ClickFocus) && !TabStopOf(w))
            chain.push_back(w);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

TTabStop* TSectionList::NextTabStop(const TTabStop* from, bool forward)
{
    ApplyTabOrder();
    if (from && !InTabChain(from))
        return nullptr;
    const int count = static_cast<int>(tabChain_.size());
    const int step = forward ? 1 : -1;
    for (int i = (from ? from->TabOrder : (forward ? -1 : count)) + step; i >= 0 && i < count; i += step)
        if (TTabStop* stop = tabChain_[static_cast<std::size_t>(i)]; stop->TabReaches())
            return stop;
    return nullptr;
}

bool TSectionList::InTabChain(const TTabStop* stop) const
{
    return stop->TabOrder >= 0 && stop->TabOrder < static_cast<int>(tabChain_.size()) &&
           tabChain_[static_cast<std::size_t>(stop->TabOrder)] == stop;
}

void TSectionList::PlaceInTabChain(TTabStop* stop)
{
    ApplyTabOrder();
    QWidget* widget = stop->FocusWidget();
    if (!widget || !InTabChain(stop))
        return;
    const int place = stop->TabOrder;
    // Right after the nearest stop before it whose widget is made, else right before the nearest
    // one after it; a new widget stands at the end of the window's chain.
    const auto after = madeTabStops_.lower_bound(place);
    if (after != madeTabStops_.begin()) {
        QWidget::setTabOrder(tabChain_[static_cast<std::size_t>(*std::prev(after))]->FocusWidget(), widget);
    } else if (after != madeTabStops_.end() && *after != place) {
        QWidget* next = tabChain_[static_cast<std::size_t>(*after)]->FocusWidget();
        if (QWidget* before = next->previousInFocusChain(); before != widget)
            QWidget::setTabOrder(before, widget);
    }
    madeTabStops_.insert(place);
}

// ---------------------------------------------------------------------------------------------
// Link runs

void TSectionList::AddLinkRun(TFontObj* run)
{
    if (run->InLinkList)
        return;
    LinkList.push_back(run);
    run->InLinkList = true;
    if (IsCopy || MoreThan400Links || run->TabControl())
        return;
    // One focus control per link: the runs of a link are the last ones entered.
    for (auto it = LinkList.rbegin(); it != LinkList.rend(); ++it)
        if (*it != run && (*it)->UrlTarget().ID == run->UrlTarget().ID && (*it)->TabControl())
            return;
    run->LinkState().TabControl = std::make_unique<TLinkFocusControl>(this, run);
}

void TSectionList::RemoveLinkRun(TFontObj* run)
{
    if (!run->InLinkList)
        return;
    LinkList.erase(std::remove(LinkList.begin(), LinkList.end(), run), LinkList.end());
    run->InLinkList = false;
}

}  // namespace velmoran
