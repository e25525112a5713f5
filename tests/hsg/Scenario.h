// The reference plant of the design tests ("Scenario A") as a pair of records.
#pragma once

#include "framework/CommonRecord.h"
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
    const TLoadCaseBlock b = p.common.Block(0);
    b.SetWord(block::kFlags, block::kFlagAktiv);
    b.SetDouble(block::kQD, 10000);
    b.SetDouble(block::kCBSBzb, 250);
    b.SetDouble(block::kXTSzb, 200);
    b.SetDouble(block::kCTKNzb, 50);
    b.SetDouble(block::kSNH4zb, 35);
    b.SetDouble(block::kSNO3zb, 0);
    b.SetDouble(block::kCPzb, 8);
    b.SetDouble(block::kSKSzb, 8);
    b.SetDouble(block::kT, 12);
    b.SetDouble(block::kTSBB, 3.5);
    b.SetDouble(block::kSorgNan, 2);
    b.SetDouble(block::kSNO3an, 10);
    b.SetBits(block::kProcess, block::kShiftDV, block::kCountDV, 1);
    b.SetDouble(block::kBeta, 1.5);
    b.SetDouble(block::kcx, 2);
    b.SetDouble(block::kfC, 1.2);
    b.SetDouble(block::kfN, 1.8);
    p.common.SetByte(common::kFT, 1);
    p.common.SetDouble(common::kHE, 5);
    p.common.SetDouble(common::kBDBSB, 0);

    SetBuiltInDefaults(p.hsg);
    p.hsg.SetDouble(hsg::kSO2zb, 0);
    p.hsg.SetDouble(hsg::kSO2RF, 1);
    p.hsg.SetDouble(hsg::kEtaPBio, 20);
    p.hsg.SetDouble(hsg::kAlpha, 0.6);
    p.hsg.SetDouble(hsg::kSSARW, 6);
    p.hsg.SetDouble(hsg::kSSA100, 5);
    p.hsg.SetAT(0);
    return p;
}

}  // namespace velmoran::testing
