// The controls of the design module's six input pages, by the names the dialog's code and the
// tests use, and the routine that creates them with their texts and places them on the pages.
// What the controls do (filling, storing, live results) is the module dialog's business.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <string>

namespace velmoran {

class TAlignedGrid;
class TDateEdit;
class TEditFloat;
class THtmlLabel;
class THtmlRadioButton;
class TPageControl;
class TTabSheet;
class TVarFrame;
class TVarFrame3;

struct THsgPageControls {
    // Page 1.
    QLineEdit* edBez = nullptr;
    QLineEdit* edBearb = nullptr;
    TDateEdit* edDatum = nullptr;
    THtmlRadioButton* rbKonz = nullptr;
    THtmlRadioButton* rbFracht = nullptr;
    // Page 2: the concentration edits and the load edits in row order (BOD, solids, TKN,
    // ammonium, nitrate, phosphorus, oxygen, acid capacity).
    QFrame* MsgBoxZB = nullptr;
    QLabel* MsgZB = nullptr;
    TEditFloat* edQD = nullptr;
    TPageControl* pcKF = nullptr;
    TTabSheet* tsKonz = nullptr;
    TTabSheet* tsFracht = nullptr;
    std::array<TEditFloat*, 8> Konz{};
    std::array<TEditFloat*, 8> Fracht{};
    TEditFloat* edSH = nullptr;
    // Page 3.
    QFrame* MsgBoxV1 = nullptr;
    QLabel* MsgV1 = nullptr;
    TVarFrame* VarTSBB = nullptr;
    TVarFrame* VarT = nullptr;
    QComboBox* cbxFM = nullptr;
    TVarFrame* VarEtaPbio = nullptr;
    TVarFrame* VarBeta = nullptr;
    QLabel* stCPzb = nullptr;
    QLabel* stXPBM = nullptr;
    QLabel* stSPO4an = nullptr;
    QLabel* stPF = nullptr;
    QLabel* stFM = nullptr;
    // Page 4.
    QFrame* MsgBoxV2 = nullptr;
    QLabel* MsgV2 = nullptr;
    TVarFrame3* VarSFH = nullptr;
    TVarFrame* VarSNH4ansp = nullptr;
    TVarFrame* VarSorgNan = nullptr;
    QComboBox* cbxDV = nullptr;
    TVarFrame* VarSNO3an = nullptr;
    TVarFrame* VarSO2RF = nullptr;
    QLabel* resTTS = nullptr;
    QLabel* resVBB = nullptr;
    QLabel* resVDV = nullptr;
    QLabel* resVN = nullptr;
    QLabel* resVD = nullptr;
    QLabel* resRF = nullptr;
    QLabel* resXNBM = nullptr;
    QLabel* resSNH4N = nullptr;
    QLabel* resSNO3D = nullptr;
    QLabel* resUESC = nullptr;
    QLabel* resUESF = nullptr;
    QLabel* resUES = nullptr;
    // Page 5.
    TVarFrame* VarCX = nullptr;
    TVarFrame* VarFC = nullptr;
    TVarFrame* VarFN = nullptr;
    QLabel* lbOVc = nullptr;
    QLabel* lbOVn = nullptr;
    QLabel* lbOVd = nullptr;
    QLabel* lbOV = nullptr;
    QLabel* lbOVh = nullptr;
    QLabel* lbOCh = nullptr;
    // Page 6.
    QFrame* MsgBoxKS = nullptr;
    QLabel* MsgKS = nullptr;
    QComboBox* cbxAT = nullptr;
    TPageControl* pcAeration = nullptr;
    TTabSheet* tsDiffAer = nullptr;
    TTabSheet* tsSurfAer = nullptr;
    TVarFrame* VarHE = nullptr;
    TVarFrame* VarAlpha = nullptr;
    TVarFrame* VarSSA = nullptr;
    TVarFrame* VarSSA100 = nullptr;
    TVarFrame* VarAlphaS = nullptr;
    TVarFrame* VarOP100 = nullptr;
    QLabel* lbOCRW = nullptr;
    QFrame* pnlQLN = nullptr;
    QLabel* lbQLN = nullptr;
    TAlignedGrid* KSGrid = nullptr;
};

// Creates the controls of the six pages below their title bands (each page's second layout item
// is the place for its body) and sets their texts from the string table.
void BuildHsgPages(TPageControl& pages, THsgPageControls& controls);

// The number of lines an HTML caption takes in `width` pixels: its line breaks, and a line that
// is too wide wraps once more.
int CaptionLines(const QFont& font, const std::string& html, int width);

// The number of rows of the acid-capacity balance and the row of its effluent value and of the pH.
constexpr int kKSRows = 8;
constexpr int kKSRowEffluent = 6;
constexpr int kKSRowPh = 7;

}  // namespace velmoran
