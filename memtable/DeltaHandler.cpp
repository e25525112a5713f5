// Resolving the changes of a table with versioning record by record.
#include "memtable/DeltaHandler.h"

#include "memtable/MemTable.h"
#include "platform/core/ScopeExit.h"

namespace velmoran {

namespace {

// What a record needs, from its status and that of its oldest version: a record inserted and
// deleted since the clean state needs nothing.
std::uint8_t EffectiveStatus(const TzebRecord& record, const TzebRecord& oldest)
{
    if (record.ChangeStatus == mtcsDeleted)
        return oldest.ChangeStatus == mtcsInserted ? mtcsUnmodified : mtcsDeleted;
    if (oldest.ChangeStatus == mtcsInserted)
        return mtcsInserted;
    return record.ChangeStatus;
}

}  // namespace

TzebCustomDeltaHandler::~TzebCustomDeltaHandler()
{
    NotifyDestruction();
}

void TzebCustomDeltaHandler::SetDataSet(TzebCustomMemTable* table)
{
    table_ = table;
    if (table_)
        FreeNotification(table_);
}

void TzebCustomDeltaHandler::Notification(TComponent* removed)
{
    if (removed == table_)
        table_ = nullptr;
}

TVariant TzebCustomDeltaHandler::ValueIn(const TzebRecord* record, const TField& field)
{
    TVariant value = record ? table_->RecordValue(record, field) : TVariant::Null();
    if (OnGetValue)
        OnGetValue(*this, field, value);
    return value;
}

TVariant TzebCustomDeltaHandler::Value(const TField& field)
{
    return ValueIn(record_, field);
}

TVariant TzebCustomDeltaHandler::OriginalValue(const TField& field)
{
    return ValueIn(original_, field);
}

void TzebCustomDeltaHandler::Resolve()
{
    if (!table_)
        throw EMemTableError("Die Änderungsaufzeichnung gehört zu keiner Tabelle");
    TzebCustomMemTable& table = *table_;
    {
        const ScopedValue<bool> noRefresh(table.AttachedAutoRefresh, false);
        TzebCommon& store = table.Store();
        TzebCommon::Guard guard(store);
        const ScopeExit forget([this] { record_ = original_ = nullptr; });
        for (int slot = 0; slot < store.SlotCount(); ++slot) {
            const TzebRecord* record = store.RecordAt(slot);
            if (!record)
                continue;
            const TzebRecord* oldest = record;
            while (oldest->PreviousVersion)
                oldest = oldest->PreviousVersion;
            record_ = record;
            original_ = oldest;
            BeforeRecord();
            const std::uint8_t status = EffectiveStatus(*record, *oldest);
            for (bool retry = true; retry;) {
                retry = false;
                switch (status) {
                case mtcsInserted: InsertRecord(retry); break;
                case mtcsDeleted: DeleteRecord(retry); break;
                case mtcsModified: ModifyRecord(retry); break;
                default: UnmodifiedRecord(retry); break;
                }
            }
            AfterRecord();
        }
    }
    table.RefreshOtherTables();
}

// ---- the table's side ----

void TzebCustomMemTable::SetDeltaHandler(TzebCustomDeltaHandler* handler)
{
    deltaHandler_ = handler;
    if (handler) {
        FreeNotification(handler);
        handler->SetDataSet(this);
    }
}

}  // namespace velmoran
