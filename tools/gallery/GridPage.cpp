// The gallery's "grid" page: the acid-capacity balance of the last input page filled as the page
// fills it, with the pH on yellow, and beside it a grid with a fixed row and column, a
// right-aligned column, a word-wrapped and an ellipsis cell, a selected range and an open editor.
#include "GalleryPages.h"

#include "controls/AlignedGrid.h"

namespace velmoran::gallery {

namespace {

constexpr int kPageWidth = 690;
constexpr int kPageHeight = 200;

void FillAcidCapacity(TAlignedGrid& grid)
{
    static const char* const titles[] = {
        "Säurekapazität im Zulauf",    "Gewinn durch Ammonifikation",  "Verlust durch org.N-Bildung",
        "Verlust durch Nitrifikation", "Gewinn durch Denitrifikation", "Verlust durch Fällung",
        "Säurekapazität im Ablauf",    "pH-Wert im Belebungsbecken",
    };
    static const char* const values[] = {" 8,00", " 1,05", "-0,88", "-5,09", " 1,85", "-0,22", " 4,70", "6,32"};
    for (int row = 0; row < 8; ++row) {
        grid.SetCells(0, row, titles[row]);
        grid.SetCells(1, row, values[row]);
        grid.SetCells(2, row, row < 7 ? "mmol/l" : "-");
    }
    // The remaining acid capacity is high enough, the pH is not.
    grid.BrushCell(1, 6)->SetColor(grid.Color());
    grid.BrushCell(1, 7)->SetColor(0x00FFFF);
}

class GridPage : public QWidget {
public:
    GridPage()
    {
        setWindowTitle(QStringLiteral("Tabelle"));
        resize(kPageWidth, kPageHeight);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        setPalette(palette);
        setAutoFillBackground(true);

        AddHeading(this, 10, 10, " Bilanz der Säurekapazität");
        auto* balance = new TAlignedGrid(this);
        balance->setObjectName(QStringLiteral("balance"));
        balance->SetColCount(3);
        balance->SetRowCount(8);
        balance->SetFixedCols(0);
        balance->SetFixedRows(0);
        balance->SetEditable(false);
        balance->SetDrawSelection(false);
        balance->SetScrollBars(TScrollStyle::None);
        balance->SetDefaultRowHeight(18);
        balance->SetColWidths(0, 180);
        balance->SetColWidths(1, 48);
        balance->SetColWidths(2, 52);
        balance->setGeometry(10, 34, 288, 8 * 19 + 4);
        FillAcidCapacity(*balance);

        AddHeading(this, 320, 10, "Ausrichtung, Umbruch, Auswahl, Editor");
        auto* demo = new TAlignedGrid(this);
        demo->setObjectName(QStringLiteral("demo"));
        demo->SetColCount(4);
        demo->SetRowCount(5);
        demo->SetScrollBars(TScrollStyle::None);
        demo->SetDefaultRowHeight(20);
        demo->SetColWidths(0, 34);
        demo->SetColWidths(1, 90);
        demo->SetColWidths(2, 70);
        demo->SetColWidths(3, 150);
        demo->SetRowHeights(1, 34);
        demo->SetOptions(demo->Options() | goEditing);
        demo->setGeometry(320, 34, 352, 4 * 21 + 34 + 6);
        const char* const header[] = {"Nr.", "Becken", "Volumen", "Bemerkung"};
        for (int col = 0; col < 4; ++col)
            demo->SetCells(col, 0, header[col]);
        demo->SetFixedAlignRow(0, aligned::agCenter);
        const char* const rows[][4] = {
            {"1", "Belebung", "1.250", "Zulauf aus der Vorklärung mit Rücklaufschlamm"},
            {"2", "Belebung", "1.250", "Intermittierende Denitrifikation mit Zwischenklärung"},
            {"3", "Nachklärung", "2.400", "rund"},
            {"4", "Speicher", "380", "-"},
        };
        for (int row = 1; row <= 4; ++row)
            for (int col = 0; col < 4; ++col)
                demo->SetCells(col, row, rows[row - 1][col]);
        demo->SetAlignCol(2, aligned::agRight);
        demo->SetWordwrapAt(TAlignedGrid::CellPlace(3, 1), aligned::ww_wordwrap);
        demo->SetWordwrapAt(TAlignedGrid::CellPlace(3, 2), aligned::ww_ellipsis);
        demo->SetSelection(TGridRect{1, 2, 2, 3});
        demo->ShowEditor();
        if (QWidget* editor = demo->InplaceEditor())
            editor->setObjectName(QStringLiteral("focused"));
    }
};

}  // namespace

std::unique_ptr<QWidget> MakeGridPage()
{
    return std::make_unique<GridPage>();
}

}  // namespace velmoran::gallery
