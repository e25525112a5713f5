// The reference plant of the design tests ("Scenario A") as a pair of records: 10000 m³/d at
// 12 °C, upstream denitrification, iron(III) precipitation, diffused aeration.
#pragma once

#include "framework/CommonRecord.h"
#include "framework/RecordText.h"
#include "hsg/HsgRecord.h"

namespace velmoran::testing {

struct Plant {
    TCommonRecord common;
    THSGRecord hsg;

    TLoadCaseBlock B() { return common.Block(0); }
    double b(std::size_t offset) const { return common.Block(0).Double(offset); }
    double h(std::size_t offset) const { return hsg.Double(offset); }
};

inline Plant ScenarioA()
{
    Plant p;
    ApplyRecordText("Flags;1\nQD;10000\nCBSBzb;250\nXTSzb;200\nCTKNzb;50\nSNH4zb;35\nSNO3zb;0\nCPzb;8\nSKSzb;8\n"
                    "T;12\nTSBB;3,5\nSorgNan;2\nSNO3an;10\nDV;1\nBeta;1,5\ncx;2\nfC;1,2\nfN;1,8\nFT;1\nHE;5\nBDBSB;0",
                    p.common);
    SetBuiltInDefaults(p.hsg);
    ApplyRecordText("SO2zb;0\nSO2RF;1\nEtaPBio;20\nAlpha;0,6\nSSARW;6\nSSA100;5\nAT;0", p.hsg.View(),
                    HsgRecordMembers());
    return p;
}

}  // namespace velmoran::testing
