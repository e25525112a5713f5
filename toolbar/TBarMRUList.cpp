// The recent-files list; see TBarMRUList.h.
#include "toolbar/TBarMRUList.h"

#include "toolbar/TBarCommon.h"

#include <QDir>
#include <QFileInfo>

namespace velmoran {

std::string FullFileName(const std::string& fileName)
{
    return QDir::cleanPath(QFileInfo(QString::fromStdString(fileName)).absoluteFilePath()).toStdString();
}

std::string FileTitle(const std::string& fileName)
{
    return QFileInfo(QString::fromStdString(fileName)).completeBaseName().toStdString();
}

// --- the entries ------------------------------------------------------------------------------

void TBarMRUListStrings::Changed()
{
    list_.SetItemCaptions();
    if (list_.OnChange && !list_.IsLoading())
        list_.OnChange(list_);
}

void TBarMRUListStrings::Put(int index, const std::string& text)
{
    texts_.at(static_cast<std::size_t>(index)) = text;
    Changed();
}

void TBarMRUListStrings::Insert(int index, const std::string& text)
{
    std::unique_ptr<TBarCustomItem> item = list_.CreateMenuItem();
    TBarCustomItem* menuItem = item.get();
    menuItem->OnClick = [this](TBarCustomItem& sender) { list_.ItemClicked(sender); };
    list_.Container()->Insert(index, item.release());
    texts_.insert(texts_.begin() + index, text);
    Changed();
}

void TBarMRUListStrings::Delete(int index)
{
    delete list_.Container()->Items(index);
    texts_.erase(texts_.begin() + index);
    Changed();
}

void TBarMRUListStrings::Move(int current, int target)
{
    if (current == target)
        return;
    list_.Container()->Move(current, target);
    std::string text = std::move(texts_.at(static_cast<std::size_t>(current)));
    texts_.erase(texts_.begin() + current);
    texts_.insert(texts_.begin() + target, std::move(text));
    Changed();
}

void TBarMRUListStrings::Clear()
{
    for (int index = Count() - 1; index >= 0; --index)
        Delete(index);
}

int TBarMRUListStrings::IndexOf(const std::string& text) const
{
    // Exact: two names that differ in letter case are two files here.
    const auto found = std::find(texts_.begin(), texts_.end(), text);
    return found == texts_.end() ? -1 : static_cast<int>(found - texts_.begin());
}

void TBarMRUListStrings::Assign(const std::vector<std::string>& texts)
{
    Clear();
    for (const std::string& text : texts)
        Insert(Count(), text);
}

// --- the list ---------------------------------------------------------------------------------

TBarMRUList::TBarMRUList(QObject* owner)
    : Component(owner), container_(std::make_unique<TBarCustomItem>()), items_(std::make_unique<TBarMRUListStrings>(*this))
{
}

TBarMRUList::~TBarMRUList()
{
    SendRemovalNotices();
    container_.reset();
}

void TBarMRUList::Add(const std::string& fileName)
{
    const std::string name = AddFullPath ? FullFileName(fileName) : fileName;
    NoteTaken(name);
    const int index = items_->IndexOf(name);
    if (index < 0) {
        items_->Insert(0, name);
        return;
    }
    if (index > 0)
        items_->Move(index, 0);
    items_->Put(0, name);
}

std::vector<std::string> TBarMRUList::StoredEntries(const RegIniFile& ini, const std::string& section) const
{
    std::vector<std::string> entries;
    for (int n = 1; n <= maxItems_; ++n) {
        std::string value = ini.ReadString(section, Prefix + std::to_string(n), {});
        if (!value.empty())
            entries.push_back(std::move(value));
    }
    return entries;
}

void TBarMRUList::LoadFromRegIni(const RegIniFile& ini, const std::string& section)
{
    taken_.clear();
    items_->Clear();
    for (const std::string& entry : StoredEntries(ini, section))
        items_->Insert(items_->Count(), entry);
}

void TBarMRUList::MergeFromRegIni(const RegIniFile& ini, const std::string& section)
{
    std::vector<std::string> merged = StoredEntries(ini, section);
    for (const std::string& name : taken_) {
        std::erase(merged, name);
        merged.insert(merged.begin(), name);
    }
    if (merged != items_->Texts())
        items_->Assign(merged);
}

void TBarMRUList::NoteTaken(const std::string& fileName)
{
    std::erase(taken_, fileName);
    taken_.push_back(fileName);
}

void TBarMRUList::SaveToRegIni(RegIniFile& ini, const std::string& section) const
{
    for (int n = 1; n <= maxItems_; ++n) {
        const std::string name = Prefix + std::to_string(n);
        if (n <= items_->Count())
            ini.WriteString(section, name, items_->Get(n - 1));
        else
            ini.DeleteKey(section, name);
    }
}

void TBarMRUList::SetHidePathExtension(bool hide)
{
    if (hidePathExtension_ == hide)
        return;
    hidePathExtension_ = hide;
    SetItemCaptions();
}

void TBarMRUList::SetMaxItems(int maxItems)
{
    maxItems_ = maxItems;
    SetItemCaptions();
}

std::unique_ptr<TBarCustomItem> TBarMRUList::CreateMenuItem()
{
    return std::make_unique<TBarCustomItem>(container_.get());
}

void TBarMRUList::SetItemCaptions()
{
    while (items_->Count() > std::max(maxItems_, 0))
        items_->Delete(items_->Count() - 1);
    for (int i = 0; i < container_->Count(); ++i) {
        std::string shown = items_->Get(i);
        if (hidePathExtension_) {
            const std::string title = FileTitle(shown);
            if (!title.empty())
                shown = title;
        }
        shown = EscapeAmpersands(shown);
        std::string accel;
        if (i < 9)
            accel = std::string(1, static_cast<char>('1' + i));
        else if (i < 35)
            accel = std::string(1, static_cast<char>('A' + (i - 9)));
        container_->Items(i)->SetCaption(accel.empty() ? shown : "&" + accel + " " + shown);
    }
}

void TBarMRUList::ItemClicked(TBarCustomItem& item)
{
    const int index = container_->IndexOf(&item);
    if (index < 0)
        return;
    // The clicked file becomes the newest before the handler opens it.
    if (index > 0)
        items_->Move(index, 0);
    NoteTaken(items_->Get(0));
    if (OnClick)
        OnClick(*this, items_->Get(0));
}

// --- the menu item ----------------------------------------------------------------------------

TBarMRUListItem::TBarMRUListItem(QObject* owner) : TBarCustomItem(owner)
{
    SetStyle(istInlineSubitems);
    SetCaption("(MRU List)");
}

void TBarMRUListItem::SetMRUList(TBarMRUList* list)
{
    if (mruList_ == list)
        return;
    if (mruList_)
        RemoveFreeNotification(mruList_);
    mruList_ = list;
    FreeNotification(list);
    SetLinkSubitems(list ? list->Container() : nullptr);
}

void TBarMRUListItem::Notification(Component* component, TOperation operation)
{
    TBarCustomItem::Notification(component, operation);
    if (operation == TOperation::opRemove && component == mruList_)
        mruList_ = nullptr;
}

}  // namespace velmoran
