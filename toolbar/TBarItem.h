// The tree of menu and toolbar items. Menus, the menu bar and the toolbars are views of one tree:
// an item owns its children, carries the command data (caption, shortcut, picture, check state,
// action) and tells every view that registered a change handler what changed, so that views never
// poll. Items are made in code (no form designer): a parent deletes its children, last first.
#pragma once

#include "platform/Action.h"
#include "platform/Component.h"
#include "platform/ImageList.h"
#include "platform/ShortCut.h"
#include "platform/core/Exceptions.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;

namespace velmoran {

class TBarCustomItem;
class TBarItemViewer;
class TBarView;

class ETBItemError : public Exception {
public:
    using Exception::Exception;
};

enum TBarItemOption : std::uint16_t {
    tboDefault = 1 << 0,
    tboDropdownArrow = 1 << 1,
    tboImageAboveCaption = 1 << 2,
    tboLongHintInMenuOnly = 1 << 3,
    tboNoAutoHint = 1 << 4,
    tboNoRotation = 1 << 5,
    tboSameWidth = 1 << 6,
    tboShowHint = 1 << 7,
    tboToolbarStyle = 1 << 8,
    tboToolbarSize = 1 << 9,
};
using TBarItemOptions = std::uint16_t;
// The options a view lays out by.
constexpr TBarItemOptions kLayoutOptions = 0x367;

enum TBarItemStyleBit : std::uint16_t {
    istOpensPopup = 1 << 0,
    istSelectable = 1 << 1,
    istSeparator = 1 << 2,
    istInlineSubitems = 1 << 3,
    istPassClicks = 1 << 4,
    istSplitButton = 1 << 5,
    istNoHoverOpen = 1 << 6,
    istSubmenuKind = 1 << 7,
    istSeparatorNoBreak = 1 << 8,
    istAlignRight = 1 << 9,
    istSkipOnFirstSelect = 1 << 10,
    istRepaintOnSelect = 1 << 11,
    istRepaintOnHot = 1 << 12,
};
using TBarItemStyle = std::uint16_t;

enum class TBarItemDisplayMode : std::uint8_t { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

enum TBarItemChangeKind : std::uint8_t {
    ickInserted,
    ickDeleting,
    ickLinkChanged,
    ickBeginUpdate,
    ickEndUpdate,
    ickRepaint,
    ickRelayout,
    ickRebuildViewers,
    ickNewName,
    ickSubmenuImages,
};

// A view's change handler: (Sender, Relayed, Kind, Index, Item).
using TBarItemChangeHandler =
    std::function<void(TBarCustomItem* sender, bool relayed, TBarItemChangeKind kind, int index, TBarCustomItem* item)>;

// What a toolbar offers the tree: its root item.
class ITBItemContainer {
public:
    virtual ~ITBItemContainer() = default;
    virtual TBarCustomItem* GetItems() = 0;
};

class TBarCustomItem : public Component {
public:
    explicit TBarCustomItem(QObject* owner = nullptr);
    ~TBarCustomItem() override;

    // Ends loading: an action's values fill the properties still at their defaults.
    void Loaded() override;

    // --- the tree ---
    int Count() const { return children_ ? static_cast<int>(children_->size()) : 0; }
    TBarCustomItem* Items(int index) const;
    int IndexOf(const TBarCustomItem* item) const;
    void Insert(int index, TBarCustomItem* item);
    void Add(TBarCustomItem* item) { Insert(Count(), item); }
    void Delete(int index);
    void Remove(TBarCustomItem* item);
    void Move(int current, int target);
    TBarCustomItem* Parent() const { return parent_; }
    TBarCustomItem* GetSubitemsRoot() { return linkSubitems_ ? linkSubitems_ : this; }
    static TBarCustomItem* ItemContainerOf(QObject* component);
    QObject* HostComponent() const { return hostComponent_; }
    void SetHostComponent(QObject* host) { hostComponent_ = host; }
    // The streaming hooks: children in index order, reordering, the parent component.
    std::vector<TBarCustomItem*> GetChildren() const;
    void SetChildOrder(TBarCustomItem* child, int order);
    QObject* GetParentComponent() const;
    void SetParentComponent(QObject* parent);

    // The component name (the object name); the parent's views hear of a change.
    std::string Name() const { return objectName().toStdString(); }
    void SetName(const std::string& name);

    // --- change notification ---
    // Counted by identity: each Add needs its Remove.
    void AddChangeHandler(const void* identity, TBarItemChangeHandler handler);
    void RemoveChangeHandler(const void* identity);
    void NotifyChange(TBarItemChangeKind kind, int index, TBarCustomItem* item);
    // ickRelayout (needResize) or ickRepaint to the parent.
    virtual void Change(bool needResize);
    virtual void Invalidate() { Change(false); }
    const std::vector<TBarCustomItem*>* LinkedBy() const { return linkedBy_.get(); }

    // --- properties ---
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TBarItemDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TBarItemDisplayMode mode);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);
    ImageList* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(ImageList* images);
    TBarItemStyle ItemStyle() const { return itemStyle_; }
    bool HasStyle(TBarItemStyle bits) const { return (itemStyle_ & bits) == bits; }
    TBarItemOptions Options() const { return options_; }
    void SetOptions(TBarItemOptions options);
    TBarItemOptions MaskOptions() const { return maskOptions_; }
    void SetMaskOptions(TBarItemOptions options);
    bool InheritOptions() const { return inheritOptions_; }
    void SetInheritOptions(bool inherit);
    TBarItemOptions EffectiveOptions() const { return effectiveOptions_; }
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    TBarCustomItem* LinkSubitems() const { return linkSubitems_; }
    void SetLinkSubitems(TBarCustomItem* target);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    Action* GetAction() const { return action_; }
    void SetAction(Action* action);

    std::function<void(TBarCustomItem& sender)> OnClick;
    std::function<void(TBarCustomItem& sender, bool fromLink)> OnPopup;
    std::function<void(TBarCustomItem& sender, TBarItemViewer* viewer, bool selecting)> OnSelect;

    // --- views ---
    // The face of this item in a view (TBarItemViewer; separators and the chevron have their own).
    virtual std::unique_ptr<TBarItemViewer> CreateViewer(TBarView& view, int groupLevel);
    // The toolbar view whose hidden items this item's popup shows (the chevron's), else nullptr.
    virtual TBarView* GetChevronParentView() { return nullptr; }

    // --- commands ---
    virtual void Click();
    virtual void InitiateAction();
    virtual void DoPopup(TBarCustomItem* sender, bool fromLink);
    // Queues Click to run from the event loop.
    void PostClick();
    // Finds the item with this shortcut below this one, opens its way there and clicks it.
    bool IsShortCut(TShortCut shortCut);
    bool IsShortCut(const QKeyEvent& event);
    // The text after the caption's tab, else the shortcut's text.
    std::string GetShortCutText() const;

protected:
    void Notification(Component* component, TOperation operation) override;
    void SetStyle(TBarItemStyle add, TBarItemStyle remove = 0) { itemStyle_ = (itemStyle_ | add) & ~remove; }

private:
    struct HandlerRecord {
        const void* Identity;
        std::shared_ptr<TBarItemChangeHandler> Handler;
        int Count;
    };
    struct ActionValues;

    void NotifyFrom(TBarCustomItem* source, int depth, TBarItemChangeKind kind, int index, TBarCustomItem* item);
    void RelayStep(TBarCustomItem* source, int depth, TBarItemChangeKind kind, int index, TBarCustomItem* item);
    void CallHandlers(TBarCustomItem* source, TBarItemChangeKind kind, int index, TBarCustomItem* item);
    void CheckIndex(int index, int limit) const;
    void UpdateEffectiveOptions();
    void UncheckGroupSiblings();
    bool SetImageList(QPointer<ImageList>& field, QObject* link, ImageList* list, bool forImages);
    void ImageListChanged(bool forImages);
    void ActionChanged();
    void CopyFromAction(bool defaultsOnly);
    void ActionRemoved();

    QPointer<Action> action_;
    std::unique_ptr<ActionValues> actionValues_;
    std::unique_ptr<QObject> actionLink_;
    bool autoCheck_ = false;
    std::string caption_;
    bool checked_ = false;
    TBarItemDisplayMode displayMode_ = TBarItemDisplayMode::nbdmDefault;
    bool enabled_ = true;
    TBarItemOptions effectiveOptions_ = 0;
    int groupIndex_ = 0;
    int helpContext_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    QPointer<ImageList> images_;
    QPointer<ImageList> subMenuImages_;
    std::unique_ptr<QObject> imagesLink_;
    std::unique_ptr<QObject> subMenuImagesLink_;
    int lastImageWidth_ = -1;
    int lastImageHeight_ = -1;
    std::unique_ptr<std::vector<TBarCustomItem*>> children_;
    TBarItemStyle itemStyle_ = istSelectable | istRepaintOnSelect | istRepaintOnHot;
    std::unique_ptr<std::vector<TBarCustomItem*>> linkedBy_;
    TBarItemOptions maskOptions_ = 0;
    TBarItemOptions options_ = 0;
    bool inheritOptions_ = true;
    std::unique_ptr<std::vector<HandlerRecord>> handlers_;
    TBarCustomItem* parent_ = nullptr;
    QObject* hostComponent_ = nullptr;
    bool radioItem_ = false;
    TShortCut shortCut_ = 0;
    TBarCustomItem* linkSubitems_ = nullptr;
    bool visible_ = true;
};

class TBarRootItem : public TBarCustomItem {
public:
    using TBarCustomItem::TBarCustomItem;
};

class TBarItem : public TBarCustomItem {
public:
    using TBarCustomItem::TBarCustomItem;
};

class TBarSubmenuItem : public TBarCustomItem {
public:
    explicit TBarSubmenuItem(QObject* owner = nullptr);
    bool DropdownCombo() const { return HasStyle(istSplitButton); }
    void SetDropdownCombo(bool value);
};

class TBarSeparatorItem : public TBarCustomItem {
public:
    explicit TBarSeparatorItem(QObject* owner = nullptr);
    std::unique_ptr<TBarItemViewer> CreateViewer(TBarView& view, int groupLevel) override;
    bool Blank() const { return blank_; }
    void SetBlank(bool blank);

private:
    bool blank_ = false;
};

// Shows a widget in a toolbar; the widget is freed with the item unless KeepControl is set.
class TBarControlItem : public TBarCustomItem {
public:
    explicit TBarControlItem(QObject* owner = nullptr);
    ~TBarControlItem() override;
    QObject* Control() const { return control_; }
    void SetControl(QObject* control);
    bool KeepControl = false;

private:
    QPointer<QObject> control_;
};

// What a finished menu loop decided.
struct TBarDoneActionData {
    enum Kind : std::uint8_t { tbdaNone, tbdaCancel, tbdaClickItem, tbdaOpenSystemMenu, tbdaHelpContext };
    Kind DoneAction = tbdaNone;
    TBarCustomItem* ClickItem = nullptr;
    bool Sound = false;
    int Key = 0;
    int ContextID = 0;
};
// Carries out the decision; answers the clicked item for kind 2, else nullptr.
TBarCustomItem* ProcessDoneAction(const TBarDoneActionData& action, bool returnClickedItemOnly);

}  // namespace velmoran
