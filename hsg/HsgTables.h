// The design module's own value tables: `dh` (one row: inputs and results of the module record)
// and `ph` (one row: its model parameters), and how they are filled from the module record.
#pragma once

#include "hsg/HsgRecord.h"
#include "memtable/MemTable.h"

namespace velmoran {

// Names the tables "dh" and "ph" and declares their fields; both stay closed.
void DeclareHsgTables(TzebMemTable& dh, TzebMemTable& ph);

// Fills the one row of each table from the module record (a row is appended when a table is
// empty): every field of the member of the same name, `AT` from its byte, `OP100` rounded to a
// whole number with halves to even. `EtaVD` and `fKLA` are not members and are not filled.
void FillHsgTables(TzebMemTable& dh, TzebMemTable& ph, const THSGRecord& record);

}  // namespace velmoran
