// The numbers of the design module's dialog texts in the program's string table
// (resources/StringTable.inc): page titles, group captions, labels, frame descriptions, the items
// of the choice lists and the rows of the acid-capacity balance. Read them with LoadStr.
#pragma once

#include "platform/StringTable.h"

namespace velmoran {

enum HsgStringId : int {
    // Page titles, pages 1 to 6.
    sHsgPageTitle1 = 2001,
    // Group captions, in page order: 11, 12, 21, 22, 22a, 23, 31, 32, 41, 42, 51, 61.
    sHsgGroup11 = 2011,
    sHsgGroup12, sHsgGroup21, sHsgGroup22, sHsgGroup22a, sHsgGroup23,
    sHsgGroup31, sHsgGroup32, sHsgGroup41, sHsgGroup42, sHsgGroup51, sHsgGroup61,
    // Page 1.
    sHsgProjBez = 2031,
    sHsgBearb, sHsgDatum, sHsgKonz, sHsgFracht, sHsgDateDialogTitle,
    // Page 2: the flow, the eight rows of both inflow pages, the fluctuation factor.
    sHsgQD = 2041,
    sHsgInflowRow1, sHsgInflowRow2, sHsgInflowRow3, sHsgInflowRow4,
    sHsgInflowRow5, sHsgInflowRow6, sHsgInflowRow7, sHsgInflowRow8,
    sHsgSH,
    // Frame descriptions.
    sHsgVarTSBB = 2061,
    sHsgVarT, sHsgVarEtaPbio, sHsgVarBeta, sHsgVarSFH, sHsgVarSNH4ansp, sHsgVarSorgNan,
    sHsgVarSNO3an, sHsgVarSO2RF, sHsgVarCX, sHsgVarFC, sHsgVarFN, sHsgVarHE, sHsgVarAlpha,
    sHsgVarSSA, sHsgVarSSA100,
    // The prompt of the frames and choice labels, other labels and hints.
    sHsgChosen = 2081,
    sHsgFM, sHsgDeniVerf, sHsgResult, sHsgBelArt, sHsgKSresult, sHsgSFHHint,
    // Navigation hints.
    sHsgHintCancel = 2091,
    sHsgHintPrevious, sHsgHintNext, sHsgHintOK,
    // Items of the choice lists.
    sHsgFM0 = 2101,
    sHsgFM1, sHsgFM2, sHsgFM3,
    sHsgDV0 = 2111,
    sHsgDV1, sHsgDV2, sHsgDV3,
    sHsgAT0 = 2121,
    sHsgAT1,
    // The acid-capacity balance: eight row titles and the unit of rows 0 to 6.
    sHsgKSRow0 = 2131,
    sHsgKSRow1, sHsgKSRow2, sHsgKSRow3, sHsgKSRow4, sHsgKSRow5, sHsgKSRow6, sHsgKSRow7,
    sHsgKSUnit,
};

}  // namespace velmoran
