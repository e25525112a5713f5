// Data sources: registration with the dataset, passing its data changes on to the links, and
// the check that no chain of master sources runs in a circle.
#include "memtable/DataSource.h"

#include "memtable/DataSet.h"

#include <algorithm>
#include <unordered_set>

namespace velmoran {

namespace {

const char* const kSelfReference = "Eine Master/Detail-Beziehung einer Datenmenge auf sich selbst ist nicht zulässig";

}  // namespace

bool LeadsTo(const TDataSet* start, const TDataSet* target)
{
    std::unordered_set<const TDataSet*> seen;
    for (const TDataSet* dataSet = start; dataSet && seen.insert(dataSet).second;) {
        if (dataSet == target)
            return true;
        const TDataSource* source = dataSet->GetDataSource();
        dataSet = source ? source->DataSet() : nullptr;
    }
    return false;
}

TDataSource::TDataSource(TDataSet* dataSet)
{
    SetDataSet(dataSet);
}

TDataSource::~TDataSource()
{
    if (dataSet_)
        dataSet_->RemoveDataSource(this);
    // A link told of the end drops its reference and never calls back.
    std::vector<TDataLink*> links = std::move(links_);
    for (TDataLink* link : links)
        link->SourceDestroyed();
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    for (const TDataLink* link : links_)
        if (dataSet && link->DetailDataSet() && LeadsTo(dataSet, link->DetailDataSet()))
            throw EDatabaseError(kSelfReference);
    if (dataSet_)
        dataSet_->RemoveDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddDataSource(this);
    NotifyLinks(dcSourceChange);
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    NotifyLinks(dcSourceChange);
}

void TDataSource::AddLink(TDataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link)
{
    std::erase(links_, link);
}

void TDataSource::DataEvent(TDataChange change)
{
    if (enabled_)
        NotifyLinks(change);
}

void TDataSource::DataSetDestroyed()
{
    dataSet_ = nullptr;
    NotifyLinks(dcSourceChange);
}

void TDataSource::NotifyLinks(TDataChange change)
{
    // A link may leave the list while it is told (a detail that drops its master).
    std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->DataEvent(change);
}

}  // namespace velmoran
