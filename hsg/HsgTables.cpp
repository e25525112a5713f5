// Layout and filling of the design module's tables.
#include "hsg/HsgTables.h"

#include "framework/DataModul.h"
#include "framework/MemberFields.h"

namespace velmoran {

void DeclareHsgTables(TzebMemTable& dh, TzebMemTable& ph)
{
    dh.Name = "dh";
    ph.Name = "ph";
    // The oxygen yield of a surface aerator (1,4 kg/kWh) is no whole number: a word field once
    // rounded it to 1, and the page divided the oxygen supply by that for the power demand.
    DeclareFields(dh, "SFH SH SO2zb SNH4ANSP MA fOVa SO2RF EtaVD EtaPBio fKS fTS fBP fDP AT:I css SSA100 Alpha "
                      "OP100 OChRW QLN");
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
