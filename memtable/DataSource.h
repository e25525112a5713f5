// The data source between a dataset and the links that follow it: a detail table's master link
// listens through a source to the master's data changes (after scroll, post, cancel, refresh,
// open and close). A source passes them on only while it is enabled; switching it, or giving
// it another dataset, tells the links too.
#pragma once

#include "memtable/Component.h"

#include <cstdint>
#include <vector>

namespace velmoran {

class TDataSet;

// What happened to a dataset; dcSourceChange comes from the source itself.
enum class TDataChange : std::uint8_t {
    dcScroll, dcPost, dcCancel, dcRefresh, dcOpen, dcClose, dcDataSetChange, dcSourceChange
};
using enum TDataChange;

// A listener of a data source.
class TDataLink {
public:
    virtual ~TDataLink() = default;
    virtual void DataEvent(TDataChange change) = 0;
    // The source is being destroyed: forget it without calling it.
    virtual void SourceDestroyed() = 0;
    // The dataset that follows the source, when the link belongs to one (for the cycle check).
    virtual TDataSet* DetailDataSet() const { return nullptr; }
};

class TDataSource : public TComponent {
public:
    explicit TDataSource(TDataSet* dataSet = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    // Fails with "Selfreferencing master/detail relations not allowed." when the dataset leads
    // back, through its own master sources, to a dataset that follows this source.
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

    // Called by the dataset.
    void DataEvent(TDataChange change);
    void DataSetDestroyed();

private:
    void NotifyLinks(TDataChange change);

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};

// True when `target` is `start` or is reached from it by following master sources.
bool LeadsTo(const TDataSet* start, const TDataSet* target);

}  // namespace velmoran
