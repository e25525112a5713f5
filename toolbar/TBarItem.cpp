// The item tree: structure, notification, properties and the action link; see TBarItem.h.
#include "toolbar/TBarItem.h"

#include "platform/AppServices.h"
#include "toolbar/TBarCommon.h"
#include "toolbar/TBarPostedClicks.h"

#include <QKeyEvent>

#include <algorithm>
#include <exception>

namespace velmoran {

namespace {

constexpr int kMaxRelayDepth = 11;

const char* kIndexError = "Toolbar item index out of range";
const char* kAlreadyInserted = "Toolbar item already inserted";
const char* kBadContainer = "Toolbar item cannot be inserted into container of type %s";

TBarItemOptions WithoutLoneToolbarSize(TBarItemOptions options)
{
    return (options & tboToolbarStyle) ? options : static_cast<TBarItemOptions>(options & ~tboToolbarSize);
}

// Sends ickBeginUpdate now and its ickEndUpdate when the scope ends, on every path: views count
// the pairs and lay out again only when the count returns to zero. While an exception is already
// on its way, one raised by the End handler is dropped so that the first one reaches the caller.
class UpdateScope {
public:
    explicit UpdateScope(TBarCustomItem& item) : item_(item), uncaught_(std::uncaught_exceptions())
    {
        item_.NotifyChange(ickBeginUpdate, -1, nullptr);
    }
    ~UpdateScope() noexcept(false)
    {
        if (std::uncaught_exceptions() == uncaught_) {
            item_.NotifyChange(ickEndUpdate, -1, nullptr);
            return;
        }
        try {
            item_.NotifyChange(ickEndUpdate, -1, nullptr);
        } catch (...) {
        }
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TBarCustomItem& item_;
    int uncaught_;
};

}  // namespace

// The action's values as the item last took them: a property follows the action only while it
// still holds what the action gave it.
struct TBarCustomItem::ActionValues {
    std::string Caption;
    bool Checked = false;
    bool Enabled = true;
    int HelpContext = 0;
    std::string Hint;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;
    bool Visible = true;

    static ActionValues Of(const Action& action)
    {
        return {action.Caption(), action.Checked(), action.Enabled(), action.HelpContext(),
                action.Hint(), action.ImageIndex(), action.ShortCut(), action.Visible()};
    }
};

TBarCustomItem::TBarCustomItem(QObject* owner) : Component(owner)
{
    posted_clicks::AddUser();
}

TBarCustomItem::~TBarCustomItem()
{
    // Whoever links to this item lets go, and it leaves the one it links to, while it is whole.
    SendRemovalNotices();
    posted_clicks::Cancel(this);
    while (Count() > 0)
        delete (*children_)[Count() - 1];
    if (parent_)
        parent_->Remove(this);
    if (action_) {
        action_->UnRegisterChanges(actionLink_.get());
        action_->UnRegisterRemoval(actionLink_.get());
    }
    children_.reset();
    handlers_.reset();
    posted_clicks::RemoveUser();
}

void TBarCustomItem::Loaded()
{
    Component::Loaded();
    if (action_)
        CopyFromAction(true);
}

// --- the tree ---------------------------------------------------------------------------------

void TBarCustomItem::CheckIndex(int index, int limit) const
{
    if (index < 0 || index > limit)
        throw ETBItemError(kIndexError);
}

TBarCustomItem* TBarCustomItem::Items(int index) const
{
    CheckIndex(index, Count() - 1);
    return (*children_)[index];
}

int TBarCustomItem::IndexOf(const TBarCustomItem* item) const
{
    if (!children_)
        return -1;
    const auto found = std::find(children_->begin(), children_->end(), item);
    return found == children_->end() ? -1 : static_cast<int>(found - children_->begin());
}

void TBarCustomItem::Insert(int index, TBarCustomItem* item)
{
    if (item->parent_)
        throw ETBItemError(kAlreadyInserted);
    CheckIndex(index, Count());
    if (!children_)
        children_ = std::make_unique<std::vector<TBarCustomItem*>>();
    children_->insert(children_->begin() + index, item);
    item->parent_ = this;
    const UpdateScope update(*this);
    NotifyChange(ickInserted, index, item);
    item->UpdateEffectiveOptions();
}

void TBarCustomItem::Delete(int index)
{
    TBarCustomItem* child = Items(index);
    NotifyChange(ickDeleting, index, child);
    child->parent_ = nullptr;
    children_->erase(children_->begin() + IndexOf(child));
}

void TBarCustomItem::Remove(TBarCustomItem* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
}

void TBarCustomItem::Move(int current, int target)
{
    if (current == target)
        return;
    // Both indexes are checked before anything changes or is told.
    CheckIndex(current, Count() - 1);
    CheckIndex(target, Count() - 1);
    TBarCustomItem* item = (*children_)[current];
    const UpdateScope update(*this);
    Delete(current);
    Insert(target, item);
}

TBarCustomItem* TBarCustomItem::ItemContainerOf(QObject* component)
{
    if (auto* item = dynamic_cast<TBarCustomItem*>(component))
        return item;
    if (auto* container = dynamic_cast<ITBItemContainer*>(component))
        return container->GetItems();
    return nullptr;
}

std::vector<TBarCustomItem*> TBarCustomItem::GetChildren() const
{
    return children_ ? *children_ : std::vector<TBarCustomItem*>{};
}

void TBarCustomItem::SetChildOrder(TBarCustomItem* child, int order)
{
    const int index = IndexOf(child);
    if (index >= 0)
        Move(index, order);
}

QObject* TBarCustomItem::GetParentComponent() const
{
    return parent_ ? static_cast<QObject*>(parent_) : hostComponent_;
}

void TBarCustomItem::SetParentComponent(QObject* parent)
{
    if (parent_)
        parent_->Remove(this);
    TBarCustomItem* container = ItemContainerOf(parent);
    if (container == nullptr) {
        std::string message = kBadContainer;
        const std::string className = parent ? parent->metaObject()->className() : "nil";
        message.replace(message.find("%s"), 2, className);
        throw ETBItemError(message);
    }
    container->Add(this);
}

void TBarCustomItem::SetName(const std::string& name)
{
    if (Name() == name)
        return;
    setObjectName(QString::fromStdString(name));
    if (parent_)
        parent_->NotifyChange(ickNewName, -1, this);
}

// --- change notification ----------------------------------------------------------------------

void TBarCustomItem::AddChangeHandler(const void* identity, TBarItemChangeHandler handler)
{
    if (!handlers_)
        handlers_ = std::make_unique<std::vector<HandlerRecord>>();
    for (HandlerRecord& record : *handlers_)
        if (record.Identity == identity) {
            ++record.Count;
            return;
        }
    handlers_->push_back({identity, std::make_shared<TBarItemChangeHandler>(std::move(handler)), 1});
}

void TBarCustomItem::RemoveChangeHandler(const void* identity)
{
    if (!handlers_)
        return;
    const auto found = std::find_if(handlers_->begin(), handlers_->end(),
                                    [&](const HandlerRecord& record) { return record.Identity == identity; });
    if (found == handlers_->end() || --found->Count > 0)
        return;
    handlers_->erase(found);
    if (handlers_->empty())
        handlers_.reset();
}

void TBarCustomItem::NotifyChange(TBarItemChangeKind kind, int index, TBarCustomItem* item)
{
    NotifyFrom(this, 0, kind, index, item);
}

void TBarCustomItem::RelayStep(TBarCustomItem* source, int depth, TBarItemChangeKind kind, int index,
                               TBarCustomItem* item)
{
    if (depth < kMaxRelayDepth && HasStyle(istInlineSubitems) && parent_)
        parent_->NotifyFrom(source != this ? source : this, depth + 1, kind, index, item);
}

void TBarCustomItem::NotifyFrom(TBarCustomItem* source, int depth, TBarItemChangeKind kind, int index,
                                TBarCustomItem* item)
{
    RelayStep(source, depth, kind, index, item);
    if (linkedBy_) {
        const std::vector<TBarCustomItem*> linkers = *linkedBy_;
        for (TBarCustomItem* linker : linkers)
            if (linker != parent_)
                linker->RelayStep(source, depth, kind, index, item);
    }
    CallHandlers(source, kind, index, item);
}

void TBarCustomItem::CallHandlers(TBarCustomItem* source, TBarItemChangeKind kind, int index, TBarCustomItem* item)
{
    // Every handler registered when the pass reaches it is called once, in list order: one that a
    // handler registers during the pass is called in it too, and a handler may remove itself or
    // others without one being skipped or called twice. The list is read again after each call.
    std::vector<const void*> called;
    while (handlers_) {
        const auto next = std::find_if(handlers_->begin(), handlers_->end(), [&](const HandlerRecord& record) {
            return std::find(called.begin(), called.end(), record.Identity) == called.end();
        });
        if (next == handlers_->end())
            return;
        called.push_back(next->Identity);
        const std::shared_ptr<TBarItemChangeHandler> handler = next->Handler;
        (*handler)(source, source != this, kind, index, item);
    }
}

void TBarCustomItem::Change(bool needResize)
{
    if (parent_)
        parent_->NotifyChange(needResize ? ickRelayout : ickRepaint, -1, this);
}

// --- properties -------------------------------------------------------------------------------

void TBarCustomItem::SetCaption(const std::string& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    Change(true);
}

void TBarCustomItem::SetChecked(bool checked)
{
    if (checked_ == checked)
        return;
    checked_ = checked;
    Change(false);
    if (checked_)
        UncheckGroupSiblings();
}

void TBarCustomItem::SetDisplayMode(TBarItemDisplayMode mode)
{
    if (displayMode_ == mode)
        return;
    displayMode_ = mode;
    Change(true);
}

void TBarCustomItem::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Invalidate();
}

void TBarCustomItem::SetGroupIndex(int index)
{
    if (groupIndex_ == index)
        return;
    groupIndex_ = index;
    if (checked_)
        UncheckGroupSiblings();
}

void TBarCustomItem::UncheckGroupSiblings()
{
    if (groupIndex_ == 0 || !parent_)
        return;
    for (TBarCustomItem* sibling : parent_->GetChildren())
        if (sibling != this && sibling->groupIndex_ == groupIndex_)
            sibling->SetChecked(false);
}

void TBarCustomItem::SetImageIndex(int index)
{
    if (imageIndex_ == index)
        return;
    const bool gainsOrLoses = (imageIndex_ == -1) != (index == -1);
    imageIndex_ = index;
    Change(gainsOrLoses);
}

void TBarCustomItem::SetRadioItem(bool value)
{
    if (radioItem_ == value)
        return;
    radioItem_ = value;
    Change(false);
}

void TBarCustomItem::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    Change(true);
}

void TBarCustomItem::SetOptions(TBarItemOptions options)
{
    options = WithoutLoneToolbarSize(options);
    if (options_ == options)
        return;
    options_ = options;
    UpdateEffectiveOptions();
}

void TBarCustomItem::SetMaskOptions(TBarItemOptions options)
{
    if (maskOptions_ == options)
        return;
    maskOptions_ = options;
    UpdateEffectiveOptions();
}

void TBarCustomItem::SetInheritOptions(bool inherit)
{
    if (inheritOptions_ == inherit)
        return;
    inheritOptions_ = inherit;
    UpdateEffectiveOptions();
}

void TBarCustomItem::UpdateEffectiveOptions()
{
    const TBarItemOptions inherited =
        inheritOptions_ && parent_ ? static_cast<TBarItemOptions>(parent_->effectiveOptions_ & ~tboDefault) : 0;
    const TBarItemOptions options = WithoutLoneToolbarSize((inherited & ~maskOptions_) | options_);
    if (options == effectiveOptions_)
        return;
    const TBarItemOptions old = effectiveOptions_;
    effectiveOptions_ = options;
    if ((old ^ options) & kLayoutOptions)
        Change(true);
    for (TBarCustomItem* child : GetChildren())
        if (child->inheritOptions_)
            child->UpdateEffectiveOptions();
}

void TBarCustomItem::SetLinkSubitems(TBarCustomItem* target)
{
    if (target == this)
        target = nullptr;
    if (linkSubitems_ == target)
        return;
    if (linkSubitems_) {
        RemoveFromList(linkSubitems_->linkedBy_, this);
        if (linkSubitems_->linkSubitems_ != this)
            RemoveFreeNotification(linkSubitems_);
    }
    linkSubitems_ = target;
    if (target) {
        AddToList(target->linkedBy_, this, true);
        FreeNotification(target);
    }
    NotifyChange(ickLinkChanged, -1, nullptr);
}

void TBarCustomItem::Notification(Component* component, TOperation operation)
{
    if (operation != TOperation::opRemove)
        return;
    if (linkedBy_) {
        std::erase_if(*linkedBy_, [&](TBarCustomItem* linker) { return static_cast<Component*>(linker) == component; });
        if (linkedBy_->empty())
            linkedBy_.reset();
    }
    if (static_cast<Component*>(linkSubitems_) == component) {
        linkSubitems_ = nullptr;
        if (!IsDestroying())
            NotifyChange(ickLinkChanged, -1, nullptr);
    }
}

// --- image lists ------------------------------------------------------------------------------

void TBarCustomItem::SetImages(ImageList* images)
{
    if (!imagesLink_)
        imagesLink_ = std::make_unique<QObject>();
    if (images_ == images)
        return;
    Change(SetImageList(images_, imagesLink_.get(), images, true));
}

void TBarCustomItem::SetSubMenuImages(ImageList* images)
{
    if (!subMenuImagesLink_)
        subMenuImagesLink_ = std::make_unique<QObject>();
    if (subMenuImages_ == images)
        return;
    SetImageList(subMenuImages_, subMenuImagesLink_.get(), images, false);
    NotifyChange(ickSubmenuImages, -1, nullptr);
}

// Swaps the list, moves the link and answers whether the picture size changed.
bool TBarCustomItem::SetImageList(QPointer<ImageList>& field, QObject* link, ImageList* list, bool forImages)
{
    const int oldWidth = field ? field->Width() : -1;
    const int oldHeight = field ? field->Height() : -1;
    if (field) {
        field->UnRegisterChanges(link);
        QObject::disconnect(field, nullptr, link, nullptr);
    }
    field = list;
    if (!list)
        return true;
    list->RegisterChanges(link, [this, forImages] { ImageListChanged(forImages); });
    QObject::connect(list, &QObject::destroyed, link, [this, forImages] {
        // A removed list counts as a change of size.
        if (forImages) {
            lastImageWidth_ = lastImageHeight_ = -1;
            Change(true);
        } else {
            NotifyChange(ickSubmenuImages, -1, nullptr);
        }
    });
    if (forImages) {
        lastImageWidth_ = list->Width();
        lastImageHeight_ = list->Height();
    }
    return list->Width() != oldWidth || list->Height() != oldHeight;
}

void TBarCustomItem::ImageListChanged(bool forImages)
{
    if (!forImages) {
        NotifyChange(ickSubmenuImages, -1, nullptr);
        return;
    }
    const bool resized = images_->Width() != lastImageWidth_ || images_->Height() != lastImageHeight_;
    lastImageWidth_ = images_->Width();
    lastImageHeight_ = images_->Height();
    Change(resized);
}

// --- the action link --------------------------------------------------------------------------

void TBarCustomItem::SetAction(Action* action)
{
    if (action_ == action)
        return;
    if (action_) {
        action_->UnRegisterChanges(actionLink_.get());
        action_->UnRegisterRemoval(actionLink_.get());
    }
    action_ = action;
    if (!action) {
        actionLink_.reset();
        actionValues_.reset();
        return;
    }
    if (!actionLink_)
        actionLink_ = std::make_unique<QObject>();
    action->RegisterChanges(actionLink_.get(), [this] { ActionChanged(); });
    action->RegisterRemoval(actionLink_.get(), [this] { ActionRemoved(); });
    CopyFromAction(IsLoading());
}

void TBarCustomItem::ActionRemoved()
{
    // Called from the action's destructor: the link object stays until the item goes.
    action_ = nullptr;
    actionValues_.reset();
}

void TBarCustomItem::CopyFromAction(bool defaultsOnly)
{
    const ActionValues values = ActionValues::Of(*action_);
    if (!defaultsOnly || caption_.empty())
        SetCaption(values.Caption);
    if (!defaultsOnly || !checked_)
        SetChecked(values.Checked);
    if (!defaultsOnly || enabled_)
        SetEnabled(values.Enabled);
    if (!defaultsOnly || helpContext_ == 0)
        helpContext_ = values.HelpContext;
    if (!defaultsOnly || hint_.empty())
        hint_ = values.Hint;
    if (!defaultsOnly || imageIndex_ == -1)
        SetImageIndex(values.ImageIndex);
    if (!defaultsOnly || shortCut_ == 0)
        shortCut_ = values.ShortCut;
    if (!defaultsOnly || visible_)
        SetVisible(values.Visible);
    actionValues_ = std::make_unique<ActionValues>(values);
}

void TBarCustomItem::ActionChanged()
{
    const ActionValues now = ActionValues::Of(*action_);
    const ActionValues before = actionValues_ ? *actionValues_ : now;
    // A property the item changed on its own no longer follows the action.
    if (caption_ == before.Caption)
        SetCaption(now.Caption);
    if (checked_ == before.Checked)
        SetChecked(now.Checked);
    if (enabled_ == before.Enabled)
        SetEnabled(now.Enabled);
    if (helpContext_ == before.HelpContext)
        helpContext_ = now.HelpContext;
    if (hint_ == before.Hint)
        hint_ = now.Hint;
    if (imageIndex_ == before.ImageIndex)
        SetImageIndex(now.ImageIndex);
    if (shortCut_ == before.ShortCut)
        shortCut_ = now.ShortCut;
    if (visible_ == before.Visible)
        SetVisible(now.Visible);
    actionValues_ = std::make_unique<ActionValues>(now);
}

// --- commands ---------------------------------------------------------------------------------

void TBarCustomItem::Click()
{
    if (!enabled_)
        return;
    if (autoCheck_)
        SetChecked(!checked_);
    if (OnClick && action_)
        OnClick(*this);
    else if (action_)
        action_->Execute();
    else if (OnClick)
        OnClick(*this);
}

void TBarCustomItem::InitiateAction()
{
    if (action_)
        action_->Update();
}

void TBarCustomItem::DoPopup(TBarCustomItem* sender, bool fromLink)
{
    if (OnPopup)
        OnPopup(*sender, fromLink);
    if (!HasStyle(istSplitButton))
        Click();
}

void TBarCustomItem::PostClick()
{
    posted_clicks::Post(this);
}

namespace {

constexpr int kMaxLinkHops = 25;
constexpr int kMaxRestarts = 25;

struct ShortCutHit {
    TBarCustomItem* Item = nullptr;
    // The child of the start item on whose path the item lies.
    TBarCustomItem* Via = nullptr;
};

// Depth first over the shown children; a LinkSubitems hop counts one level, and more than
// kMaxLinkHops of them end the search without a result (a cycle of links ends there too).
TBarCustomItem* FindBelow(TBarCustomItem* item, TShortCut shortCut, int hops, bool& tooDeep)
{
    TBarCustomItem* root = item->GetSubitemsRoot();
    if (root != item && ++hops > kMaxLinkHops) {
        tooDeep = true;
        return nullptr;
    }
    for (int i = 0; i < root->Count() && !tooDeep; ++i) {
        TBarCustomItem* child = root->Items(i);
        if (child->ShortCut() == shortCut)
            return child;
        if (TBarCustomItem* found = FindBelow(child, shortCut, hops, tooDeep))
            return found;
    }
    return nullptr;
}

ShortCutHit FindItemByShortCut(TBarCustomItem* start, TShortCut shortCut)
{
    bool tooDeep = false;
    TBarCustomItem* root = start->GetSubitemsRoot();
    for (int i = 0; i < root->Count(); ++i) {
        TBarCustomItem* child = root->Items(i);
        if (child->ShortCut() == shortCut)
            return {child, child};
        if (TBarCustomItem* found = FindBelow(child, shortCut, root != start ? 1 : 0, tooDeep))
            return {found, child};
        if (tooDeep)
            return {};
    }
    return {};
}

}  // namespace

bool TBarCustomItem::IsShortCut(const QKeyEvent& event)
{
    const TShortCut shortCut = ShortCutFromKeyEvent(event);
    return shortCut != 0 && IsShortCut(shortCut);
}

bool TBarCustomItem::IsShortCut(TShortCut shortCut)
{
    if (shortCut == 0)
        return false;
    // A popup handler that rebuilds its submenu every time makes the item vanish at every level;
    // the walk restarts from the top a bounded number of times, then gives up.
    for (int restart = 0; restart <= kMaxRestarts; ++restart) {
        const ShortCutHit hit = FindItemByShortCut(this, shortCut);
        if (!hit.Item)
            return false;
        // Popup handlers may free items on the way: guarded pointers tell a freed item from a
        // new one made at the same address.
        const QPointer<TBarCustomItem> target = hit.Item;
        QPointer<TBarCustomItem> level = this;
        bool vanished = false;
        while (true) {
            if (!level->Enabled())
                return false;
            TBarCustomItem* root = level->GetSubitemsRoot();
            for (TBarCustomItem* child : root->GetChildren())
                child->InitiateAction();
            if (!level->HasStyle(istInlineSubitems)) {
                if (root != level)
                    root->DoPopup(level, true);
                if (level)
                    level->DoPopup(level, false);
            }
            const ShortCutHit again = target && level ? FindItemByShortCut(level, shortCut) : ShortCutHit{};
            if (!target || again.Item != target) {
                vanished = true;
                break;
            }
            if (again.Via == target)
                break;
            level = again.Via;
        }
        if (vanished)
            continue;
        if (!target->Enabled())
            return false;
        target->Click();
        return true;
    }
    return false;
}

std::string TBarCustomItem::GetShortCutText() const
{
    const std::size_t tab = caption_.find('\t');
    if (tab != std::string::npos)
        return caption_.substr(tab + 1);
    return ShortCutToText(shortCut_);
}

// --- the item classes -------------------------------------------------------------------------

TBarSubmenuItem::TBarSubmenuItem(QObject* owner) : TBarCustomItem(owner)
{
    SetStyle(istOpensPopup | istSubmenuKind);
}

void TBarSubmenuItem::SetDropdownCombo(bool value)
{
    if (DropdownCombo() == value)
        return;
    SetStyle(value ? istSplitButton : 0, value ? 0 : istSplitButton);
    Change(true);
}

TBarSeparatorItem::TBarSeparatorItem(QObject* owner) : TBarCustomItem(owner)
{
    SetStyle(istSeparator | istPassClicks, istSelectable | istRepaintOnSelect | istRepaintOnHot);
}

void TBarSeparatorItem::SetBlank(bool blank)
{
    if (blank_ == blank)
        return;
    blank_ = blank;
    Change(false);
}

TBarControlItem::TBarControlItem(QObject* owner) : TBarCustomItem(owner)
{
    SetStyle(istPassClicks, istSelectable);
}

TBarControlItem::~TBarControlItem()
{
    if (!KeepControl && control_)
        delete control_.data();
}

void TBarControlItem::SetControl(QObject* control)
{
    if (control_ == control)
        return;
    control_ = control;
    Change(true);
}

TBarCustomItem* ProcessDoneAction(const TBarDoneActionData& action, bool returnClickedItemOnly)
{
    switch (action.DoneAction) {
    case TBarDoneActionData::tbdaClickItem:
        if (action.Sound && NeedToPlaySound("MenuCommand"))
            PlayMenuSound("MenuCommand");
        if (!returnClickedItemOnly)
            action.ClickItem->PostClick();
        return action.ClickItem;
    case TBarDoneActionData::tbdaHelpContext:
        AppServices::Instance().HelpContext(action.ContextID);
        return nullptr;
    default:
        // Opening the system menu belongs to the window manager.
        return nullptr;
    }
}

}  // namespace velmoran
