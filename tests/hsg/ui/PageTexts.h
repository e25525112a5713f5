// Using the design dialog's pages as a person does: typing into a named edit (or a value frame's
// edit) and leaving it, picking a list item, reading the text a control shows (the edit of a
// value frame, the chosen item of a list) and the acid-capacity grid's values; lists of expected
// texts by page, of which the example calculation's are the reference.
#pragma once

#include "controls/AlignedGrid.h"
#include "framework/ui/VarFrame.h"
#include "hsg/ui/HsgDlg.h"
#include "tests/support/DialogScript.h"

#include <QComboBox>
#include <QTest>

#include <string>
#include <vector>

namespace velmoran::testing {

struct ShownText {
    int Page;  // counted from 1
    const char* Control;
    const char* Text;
};

// Shows the page as the navigation does: fill, then results.
inline void EnterPage(THSGDlg& dlg, int page)
{
    dlg.PageControl1->SetActivePageIndex(page - 1);
    dlg.UpdateNavigation();
}

// Types the text into the edit (of a frame) in place of its old text and leaves it with Tab.
inline void Enter(QWidget& window, const std::string& name, const QString& text)
{
    QWidget* control = Control(window, name);
    if (auto* frame = dynamic_cast<TVarFrame*>(control))
        control = frame->Edit;
    auto* edit = dynamic_cast<QLineEdit*>(control);
    ASSERT_NE(edit, nullptr) << name;
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

// A pick from the list, as the user makes it.
inline void Pick(QComboBox* box, int item)
{
    box->setCurrentIndex(item);
    emit box->activated(item);
}

inline std::string Shown(QWidget& window, const std::string& name)
{
    QWidget* control = Control(window, name);
    if (auto* frame = dynamic_cast<TVarFrame*>(control))
        return frame->Edit->text().toStdString();
    if (auto* box = dynamic_cast<QComboBox*>(control))
        return box->currentText().toStdString();
    return ReadControl(window, name);
}

// Column 1 of the acid-capacity balance, rows 0 to 7.
inline std::vector<std::string> AcidCapacityColumn(THSGDlg& dlg)
{
    std::vector<std::string> column;
    for (int row = 0; row < kKSRows; ++row)
        column.push_back(dlg.Pages().KSGrid->Cells(1, row));
    return column;
}

// Every control whose text differs from the expected one, entering the pages in turn; empty when
// all agree.
inline std::string TextDifferences(THSGDlg& dlg, const std::vector<ShownText>& expected)
{
    std::string differences;
    int shown = 0;
    for (const ShownText& text : expected) {
        if (text.Page != shown)
            EnterPage(dlg, shown = text.Page);
        const std::string actual = Shown(dlg, text.Control);
        if (actual != text.Text)
            differences += std::string(text.Control) + ": \"" + actual + "\" statt \"" + text.Text + "\"\n";
    }
    return differences;
}

// The example calculation, inflow entered as concentrations.
inline const std::vector<ShownText> kExampleTexts = {
    {1, "edBez", "Kläranlage Musterstadt, Erweiterung der Belebung"},
    {1, "edBearb", "Ingenieurbüro Beispiel"},
    {1, "edDatum", "01.12.2026"},
    {2, "edQD", "10000"},
    {2, "edCBSBzb", "250"},
    {2, "edXTSzb", "200"},
    {2, "edCTKNzb", "50,0"},
    {2, "edSNH4zb", "35,0"},
    {2, "edSNO3zb", "0,0"},
    {2, "edCPzb", "8,0"},
    {2, "edSO2zb", "0,0"},
    {2, "edSKSzb", "8"},
    {2, "edSH", "1,7"},
    {3, "VarTSBB", "3,5"},
    {3, "VarT", "12"},
    {3, "cbxFM", "Dreiwertiges Eisen"},
    {3, "VarEtaPbio", "20"},
    {3, "VarBeta", "1,5"},
    {3, "stCPzb", " 8,00"},
    {3, "stXPBM", " 2,30"},
    {3, "stPF", " 3,70"},
    {3, "stSPO4an", " 2,00"},
    {3, "stFM", "154,4"},
    {4, "VarSFH", "1,25"},
    {4, "VarSNH4ansp", "5"},
    {4, "VarSorgNan", "2"},
    {4, "cbxDV", "Vorgeschaltete Denitrifikation"},
    {4, "VarSNO3an", "10"},
    {4, "VarSO2RF", "1"},
    {4, "resTTS", "11,48"},
    {4, "resVBB", " 8181"},
    {4, "resVDV", "   28"},
    {4, "resVN", " 5886"},
    {4, "resVD", " 2295"},
    {4, "resRF", "  264"},
    {4, "resXNBM", " 10,6"},
    {4, "resSNH4N", " 36,4"},
    {4, "resSNO3D", " 26,4"},
    {4, "resUESC", "2199,5"},
    {4, "resUESF", "294,9"},
    {4, "resUES", "2494,4"},
    {5, "VarCX", "2"},
    {5, "VarFC", "1,2"},
    {5, "VarFN", "1,8"},
    {5, "lbOVc", " 2752"},
    {5, "lbOVn", " 1673"},
    {5, "lbOVd", " -764"},
    {5, "lbOV", " 3660"},
    {5, "lbOVh", "208,3"},
    {5, "lbOCh", "247,7"},
    {6, "cbxAT", "Druckbelüftung"},
    {6, "VarHE", "5"},
    {6, "VarAlpha", "0,6"},
    {6, "VarSSA", "6"},
    {6, "VarSSA100", "5"},
    {6, "lbOCRW", " 412,8"},
    {6, "lbQLN", "  5597"},
};

inline const std::vector<std::string> kExampleAcidCapacity = {" 8,00", " 1,05", "-0,88", "-5,09",
                                                              " 1,85", "-0,22", " 4,70", "6,32"};

// The load page of the example after "Frachten" was chosen.
inline const std::vector<ShownText> kExampleLoadTexts = {
    {2, "edBDBSBzb", "2500"}, {2, "edBDXTSzb", "2000"}, {2, "edBDTKNzb", "500"}, {2, "edBDNH4zb", "350"},
    {2, "edBDNO3zb", "0"},    {2, "edBDPzb", "80"},     {2, "edBDO2zb", "0"},    {2, "edKSzb", "8"},
};

}  // namespace velmoran::testing
