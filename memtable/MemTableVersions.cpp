// Versions and transactions: the update status of the current record, starting, committing and
// rolling back nested transactions over the versions that posts and deletes keep, and listing
// the store's records again in every index afterwards.
#include "memtable/MemTable.h"

#include <unordered_map>
#include <unordered_set>

namespace velmoran {

TUpdateStatus TzebCustomMemTable::UpdateStatus() const
{
    const TzebRecord* buffer = Active() ? AsRecord(ActiveBuffer()) : nullptr;
    return buffer ? static_cast<TUpdateStatus>(buffer->ChangeStatus) : TDataSet::UpdateStatus();
}

void TzebCustomMemTable::StartTransaction()
{
    CheckActive();
    if (!store_->EnableVersioning() || store_->VersioningMode() != mtvmAllSinceCheckPoint)
        throw EMemTableError("Transaktionen verlangen die Aufzeichnung mehrerer Versionen");
    store_->StartTransaction();
}

void TzebCustomMemTable::Commit()
{
    if (!Active() || store_->TransactionLevel() == 0)
        return;
    {
        TzebCommon::Guard guard(*store_);
        const int level = store_->TransactionLevel();
        for (int slot = 0; slot < store_->SlotCount(); ++slot) {
            TzebRecord* record = store_->RecordAt(slot);
            if (!record || record->TransactionLevel != level)
                continue;
            // The versions the transaction made of the record go, the chain being linked past
            // each; the version from before it stays, so that the old values and the rollback
            // of an enclosing transaction keep what they need. A record inserted in the
            // transaction keeps its first version, which says so.
            while (TzebRecord* previous = record->PreviousVersion) {
                if (previous->TransactionLevel != level)
                    break;
                if (!previous->PreviousVersion && previous->ChangeStatus == mtcsInserted) {
                    previous->TransactionLevel = level - 1;
                    break;
                }
                store_->DropPreviousVersion(record);
            }
            record->TransactionLevel = level - 1;
        }
        store_->EndTransaction();
        ReloadAllIndexes();
    }
    Refresh();
    RefreshOtherTables();
}

void TzebCustomMemTable::Rollback()
{
    if (!Active() || store_->TransactionLevel() == 0)
        return;
    if (State() == dsEdit || State() == dsInsert)
        Cancel();
    {
        TzebCommon::Guard guard(*store_);
        const int level = store_->TransactionLevel();
        bool changed = false;
        for (int slot = 0; slot < store_->SlotCount(); ++slot) {
            TzebRecord* record = store_->RecordAt(slot);
            while (record && record->TransactionLevel == level && record->ChangeStatus != mtcsUnmodified) {
                if (record->ChangeStatus == mtcsInserted) {
                    RemoveFromIndexes(record);
                    store_->ReleaseSlot(record);
                    store_->FreeRecord(record, true, true);
                    break;
                }
                if (!record->PreviousVersion)
                    break;
                // A delete undone no longer counts; otherwise the table would stay filtered.
                if (record->ChangeStatus == mtcsDeleted)
                    store_->DecrementDeletedCount();
                store_->RestorePreviousVersion(record);
            }
            if (record && record->ChangeStatus != mtcsUnmodified)
                changed = true;
        }
        store_->SetDataModified(changed);
        store_->EndTransaction();
        ReloadAllIndexes();
    }
    ClearBuffers();
    Refresh();
    RefreshOtherTables();
}

void TzebCustomMemTable::ReloadAllIndexes()
{
    ForEachOpenTable([](TzebCustomMemTable& table) { table.ReloadIndexes(); });
}

void TzebCustomMemTable::ReloadIndexes()
{
    TzebIndex& rowOrder = indexes_.RowOrder();
    std::unordered_set<const TzebRecord*> listed;
    for (int i = 0; i < rowOrder.Count(); ++i)
        listed.insert(rowOrder.At(i));
    std::unordered_map<std::int32_t, TzebRecord*> missing;
    std::vector<TzebRecord*> missingInOrder;
    for (int slot = 0; slot < store_->SlotCount(); ++slot) {
        TzebRecord* record = store_->RecordAt(slot);
        if (record && record->ChangeStatus != mtcsDeleted && !listed.contains(record)) {
            missing.emplace(record->UniqueNumber, record);
            missingInOrder.push_back(record);
        }
    }
    // A delete undone puts its record back beside a neighbour it had, the last delete first, so
    // that every record stands where it stood; a neighbour gone too leaves the other one.
    const auto placeOf = [&](std::int32_t unique) {
        for (int i = 0; i < rowOrder.Count(); ++i)
            if (rowOrder.At(i)->UniqueNumber == unique)
                return i;
        return -1;
    };
    for (auto place = deletedPlaces_.rbegin(); place != deletedPlaces_.rend(); ++place) {
        const auto found = missing.find(place->Record);
        if (found == missing.end())
            continue;
        int at = -1;
        if (const int before = place->Before >= 0 ? placeOf(place->Before) : -1; before >= 0)
            at = before + 1;
        else if (const int after = place->After >= 0 ? placeOf(place->After) : -1; after >= 0)
            at = after;
        else if (place->Before < 0)
            at = 0;
        rowOrder.InsertRecord(found->second, at);
        missing.erase(found);
    }
    for (TzebRecord* record : missingInOrder)
        if (missing.contains(record->UniqueNumber))
            rowOrder.InsertRecord(record, -1);
    if (store_->TransactionLevel() == 0)
        deletedPlaces_.clear();
    rowOrder.SetOrdered(true);
    for (int i = 1; i < indexes_.Count(); ++i) {
        auto& index = static_cast<TzebSortedIndex&>(indexes_[i]);
        index.SetOrdered(false);
        index.Rebuild();
    }
    if (cursor_ >= currentIndex_->Count())
        cursor_ = currentIndex_->Count() - 1;
}

}  // namespace velmoran
