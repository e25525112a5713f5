// Link targets and the document's name list; see IDObjects.h.
#include "html/base/IDObjects.h"

#include "html/base/WideText.h"

namespace velmoran {

bool TIDNameList::Less::operator()(const std::string& a, const std::string& b) const
{
    return LowerCase(a) < LowerCase(b);
}

void TIDNameList::AddObject(const std::string& name, TIDObject* object)
{
    entries_.erase(name);
    Entry e;
    e.Object = object;
    entries_.emplace(name, std::move(e));
}

void TIDNameList::RemoveObject(const std::string& name, const TIDObject* object)
{
    const auto it = entries_.find(name);
    if (it != entries_.end() && it->second.Object == object)
        entries_.erase(it);
}

void TIDNameList::AddChPosObject(const std::string& name, int pos)
{
    auto obj = std::make_unique<TChPosObj>(OwnerList, pos);
    entries_.erase(name);
    Entry e;
    e.Object = obj.get();
    e.Owned = std::move(obj);
    entries_.emplace(name, std::move(e));
}

TIDObject* TIDNameList::Find(const std::string& name) const
{
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.Object;
}

}  // namespace velmoran
