// Layout and filling of the design module's tables.
#include "hsg/HsgTables.h"

#include "framework/DataModul.h"
#include "framework/MemberFields.h"

namespace velmoran {

void DeclareHsgTables(TzebMemTable& dh, TzebMemTable& ph)
{
    dh.Name = "dh";
    ph.Name = "ph";
    DeclareFields(dh, "SFH SH SO2zb SNH4ANSP MA fOVa SO2RF EtaVD EtaPBio fKS fTS fBP fDP AT:I css SSA100 Alpha "
                      "OP100:W OChRW QLN");
    DeclareFields(ph, "aTh Yh Bh aTa MUEaMax Ya Ba kN aTd fOVs fOVe fOVd fP fI fXNBM fXNI fXPBM fKLA");
}

void FillHsgTables(TzebMemTable& dh, TzebMemTable& ph, const THSGRecord& record)
{
    for (TzebMemTable* table : {&dh, &ph}) {
        EditSingleRow(*table);
        FillFieldsFromMembers(*table, record.View(), HsgRecordMembers(), {MemberArea::Record});
        table->Post();
    }
}

}  // namespace velmoran
