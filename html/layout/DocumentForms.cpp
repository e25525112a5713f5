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
                                     [](const TFormControlObj* c) { return c->GetWinControl() != nullptr; });
    // Every control goes: the lists they would leave one by one (a search each) are emptied first.
    FormControlList.clear();
    std::erase_if(TabOrderList, [](const auto& entry) { return dynamic_cast<TFormControlObj*>(entry.second) != nullptr; });
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

void TSectionList::AddTabStop(int tabIndex, TTabStop* stop)
{
    TabOrderList.emplace_back(TabOrderKey(tabIndex, static_cast<int>(TabOrderList.size())), stop);
}

void TSectionList::RemoveTabStop(const TTabStop* stop)
{
    std::erase_if(TabOrderList, [stop](const auto& entry) { return entry.second == stop; });
}

void TSectionList::ApplyTabOrder()
{
    if (TabOrderList.empty())
        return;
    std::stable_sort(TabOrderList.begin(), TabOrderList.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QWidget*> chain;
    int number = 0;
    for (const auto& [key, stop] : TabOrderList) {
        stop->TabOrder = number++;
        if (QWidget* w = stop->FocusWidget())
            chain.push_back(w);
    }
    TabOrderList.clear();
    if (chain.empty() || !chain.front()->parentWidget())
        return;
    // The other controls of the surface follow in their own order.
    for (QObject* child : chain.front()->parentWidget()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && (w->focusPolicy() & Qt::ClickFocus) &&
                                                     std::find(chain.begin(), chain.end(), w) == chain.end())
            chain.push_back(w);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
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
