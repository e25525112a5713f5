// The recent-files list: file names newest first, saved in one section of a registry-ini object
// and shown as numbered menu items. The items live in a hidden container; a TBarMRUListItem in any
// menu shows the container's items in its place, so one list can appear in several menus.
// File names compare exactly, as the Linux file system does.
#pragma once

#include "platform/RegIni.h"
#include "toolbar/TBarItem.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TBarMRUList;

// The entries, kept in step with the container's menu items.
class TBarMRUListStrings {
public:
    explicit TBarMRUListStrings(TBarMRUList& list) : list_(list) {}

    int Count() const { return static_cast<int>(texts_.size()); }
    const std::string& Get(int index) const { return texts_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Texts() const { return texts_; }
    void Put(int index, const std::string& text);
    void Insert(int index, const std::string& text);
    void Delete(int index);
    void Move(int current, int target);
    void Clear();
    int IndexOf(const std::string& text) const;
    void Assign(const std::vector<std::string>& texts);

private:
    void Changed();

    TBarMRUList& list_;
    std::vector<std::string> texts_;
};

class TBarMRUList : public Component {
public:
    explicit TBarMRUList(QObject* owner = nullptr);
    ~TBarMRUList() override;

    void Add(const std::string& fileName);
    void LoadFromRegIni(const RegIniFile& ini, const std::string& section);
    void SaveToRegIni(RegIniFile& ini, const std::string& section) const;
    // Takes in what another list (another window of the program) saved in the section since this
    // one loaded, so that a save after it loses nothing of either: the entries stored there, with
    // the files this list took since its load (added or clicked) on top, the newest first.
    void MergeFromRegIni(const RegIniFile& ini, const std::string& section);

    bool AddFullPath = true;
    bool HidePathExtension() const { return hidePathExtension_; }
    void SetHidePathExtension(bool hide);
    int MaxItems() const { return maxItems_; }
    void SetMaxItems(int maxItems);
    std::string Prefix = "MRU";
    TBarMRUListStrings& Items() { return *items_; }
    const TBarMRUListStrings& Items() const { return *items_; }
    TBarCustomItem* Container() const { return container_.get(); }

    std::function<void(TBarMRUList& sender)> OnChange;
    std::function<void(TBarMRUList& sender, const std::string& fileName)> OnClick;

    // Numbers and names the menu items; trims the list to MaxItems.
    virtual void SetItemCaptions();
    // A menu item for a new entry.
    virtual std::unique_ptr<TBarCustomItem> CreateMenuItem();

private:
    friend class TBarMRUListStrings;
    void ItemClicked(TBarCustomItem& item);
    // Notes that the file became the newest entry by this list's own doing.
    void NoteTaken(const std::string& fileName);
    std::vector<std::string> StoredEntries(const RegIniFile& ini, const std::string& section) const;

    std::unique_ptr<TBarCustomItem> container_;
    std::unique_ptr<TBarMRUListStrings> items_;
    bool hidePathExtension_ = true;
    int maxItems_ = 4;
    // The files this list made its newest entry since it loaded, the oldest first, each once.
    std::vector<std::string> taken_;
};

// The place in a menu where the list's entries are shown.
class TBarMRUListItem : public TBarCustomItem {
public:
    explicit TBarMRUListItem(QObject* owner = nullptr);
    TBarMRUList* MRUList() const { return mruList_; }
    void SetMRUList(TBarMRUList* list);

protected:
    void Notification(Component* component, TOperation operation) override;

private:
    TBarMRUList* mruList_ = nullptr;
};

// The full path of a file name: cleaned, absolute, links not resolved.
std::string FullFileName(const std::string& fileName);
// The name without folder and last extension ("Anlage.v2.vda" gives "Anlage.v2").
std::string FileTitle(const std::string& fileName);

}  // namespace velmoran
