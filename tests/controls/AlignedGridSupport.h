// A small aligned grid for the tests: 5 x 4 cells of 50 x 20 pixels with one fixed row and
// column, no frame or scroll bars, the test font's "Arial" at 16 pixels (8 pixels a character),
// with the protected drawing and key handling opened up.
#pragma once

#include "controls/AlignedGrid.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"
#include "tests/support/TestApp.h"

#include <QCoreApplication>
#include <QApplication>
#include <QTest>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <string>
#include <vector>

namespace velmoran::testing {

class TestAlignedGrid : public TAlignedGrid {
public:
    TestAlignedGrid()
    {
        App();
        setFrameStyle(QFrame::NoFrame);
        SetScrollBars(TScrollStyle::None);
        SetColCount(5);
        SetRowCount(4);
        SetDefaultColWidth(50);
        SetDefaultRowHeight(20);
        LogicalFont font;
        font.Face = "Arial";
        font.Height = -16;
        SetFont(font);
        SetColor(0xFFFFFF);
        resize(300, 120);
    }
    using TAlignedGrid::DrawCell;

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(this, key, modifiers); }
    // A key as typed into the open editor.
    void EditorKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(InplaceEditor(), key, modifiers);
    }
};

// A form with the grid and an edit after it in the focus chain, active and the grid focused.
struct FormWithNext {
    explicit FormWithNext(QWidget* grid) : Grid(grid)
    {
        auto* layout = new QVBoxLayout(&Form);
        Next = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(Next);
        Form.show();
        Form.activateWindow();
        QApplication::setActiveWindow(&Form);
        grid->setFocus();
        QApplication::processEvents();
    }
    QWidget Form;
    QWidget* Grid;
    QLineEdit* Next;
};

// Runs the posted calls (the edit events).
inline void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace velmoran::testing
