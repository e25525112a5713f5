// Editing the aligned grid in place: the editor only on editable cells, OnBeforeEdit once per
// cell, the edit events after the key handling that caused them, a rejected validation returning
// to the cell, Escape restoring the text before validating, going on to the next editable cell,
// the multi-line keys and the editor taking the cell's alignment.
#include "tests/controls/AlignedGridSupport.h"

#include <gtest/gtest.h>


using namespace velmoran;
using namespace velmoran::aligned;
using velmoran::testing::FormWithNext;
using velmoran::testing::Settle;
using velmoran::testing::TestAlignedGrid;

namespace {

// An editing grid that logs its edit events as "event col,row".
class EditingGrid : public TestAlignedGrid {
public:
    EditingGrid()
    {
        SetOptions(Options() | goEditing);
        show();
        SetCells(1, 1, "alt");
        auto log = [this](const char* name) {
            return [this, name](TAlignedGrid&, int col, int row) {
                events.push_back(std::string(name) + " " + std::to_string(col) + "," + std::to_string(row) +
                                 (inKey ? " (in key)" : ""));
            };
        };
        OnBeforeEdit = log("before");
        OnAfterEdit = log("after");
        OnCancelEdit = log("cancel");
        OnValidateEdit = [this](TAlignedGrid&, int col, int row, bool& result) {
            events.push_back("validate " + std::to_string(col) + "," + std::to_string(row));
            result = accept;
        };
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        inKey = true;
        EditorMode() ? EditorKey(key, modifiers) : Key(key, modifiers);
        inKey = false;
    }
    std::vector<std::string> events;
    bool inKey = false;
    bool accept = true;
};

using Events = std::vector<std::string>;

}  // namespace

TEST(AlignedGridEdit, BeforeEditOncePerCellAfterTheKeyHandling)
{
    EditingGrid grid;
    grid.Press(Qt::Key_F2);
    EXPECT_TRUE(grid.events.empty());  // not inside the key handling
    Settle();
    grid.Press(Qt::Key_X);
    grid.ShowEditor();
    Settle();
    EXPECT_EQ(grid.events, (Events{"before 1,1"}));
    EXPECT_EQ(grid.Cells(1, 1), "x");
    grid.Press(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid.events, (Events{"before 1,1", "validate 1,1", "after 1,1"}));
    EXPECT_FALSE(grid.EditorMode());
}

// An OnBeforeEdit that is still on its way when the editor has moved on to another cell is
// dropped: the cell left is validated and ended, and only the cell the editor is on is told.
TEST(AlignedGridEdit, BeforeEditOfACellTheEditorHasLeftIsDropped)
{
    EditingGrid grid;
    grid.Press(Qt::Key_F2);
    grid.HideEditor();
    grid.MoveCurrent(2, 2);
    grid.ShowEditor();
    Settle();
    EXPECT_EQ(grid.events, (Events{"validate 1,1", "after 1,1", "before 2,2"}));
}

TEST(AlignedGridEdit, ARejectedValidationReturnsToTheCellAndKeepsEditing)
{
    EditingGrid grid;
    grid.accept = false;
    grid.Press(Qt::Key_F2);
    grid.Press(Qt::Key_Y);
    grid.Press(Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 2);
    Settle();
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 1));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor()->Text(), "y");
    EXPECT_EQ(grid.events, (Events{"before 1,1", "validate 1,1"}));

    grid.accept = true;
    grid.Press(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid.events, (Events{"before 1,1", "validate 1,1", "validate 1,1", "after 1,1"}));
    EXPECT_EQ(grid.Cells(1, 1), "y");
}

TEST(AlignedGridEdit, EscapeRestoresTheTextCancelsAndThenValidates)
{
    EditingGrid grid;
    grid.Press(Qt::Key_Z);
    EXPECT_EQ(grid.Cells(1, 1), "z");
    grid.Press(Qt::Key_Escape);
    EXPECT_EQ(grid.Cells(1, 1), "alt");
    Settle();
    EXPECT_EQ(grid.events, (Events{"before 1,1", "cancel 1,1", "validate 1,1", "after 1,1"}));
    // Cancelling from code does the same.
    grid.events.clear();
    grid.Press(Qt::Key_Q);
    grid.CancelEdit();
    Settle();
    EXPECT_EQ(grid.Cells(1, 1), "alt");
    EXPECT_EQ(grid.events, (Events{"before 1,1", "cancel 1,1", "validate 1,1", "after 1,1"}));
}

TEST(AlignedGridEdit, TheEditorOpensOnlyOnEditableCells)
{
    EditingGrid grid;
    grid.SetEditable(false);
    grid.Press(Qt::Key_F2);
    grid.Press(Qt::Key_A);
    grid.ShowEditor();
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "alt");
    grid.SetEditCell(2, 2, true);
    grid.MoveCurrent(2, 2);
    grid.ShowEditor();
    EXPECT_TRUE(grid.EditorMode());
    grid.HideEditor();
    // The internal switch opens every cell.
    grid.MoveCurrent(1, 1);
    grid.EditEverything = true;
    grid.ShowEditor();
    EXPECT_TRUE(grid.EditorMode());
}

TEST(AlignedGridEdit, EnterGoesOnToTheNextEditableCell)
{
    EditingGrid grid;
    grid.AutoEditNextCell = true;
    grid.SetEditCell(2, 1, false);
    grid.Press(Qt::Key_F2);
    grid.Press(Qt::Key_Return);
    Settle();
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(3, 1));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.events, (Events{"before 1,1", "validate 1,1", "after 1,1", "before 3,1"}));
    // Past the last cell lc_newcolrow adds a row.
    grid.HideEditor();
    grid.MoveCurrent(4, 3);
    Settle();
    grid.ShowEditor();
    Settle();
    grid.Press(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 4));
}

TEST(AlignedGridEdit, MultiLineKeysStayInTheEditor)
{
    EditingGrid grid;
    grid.EditMultiline = true;
    grid.Press(Qt::Key_F2);
    grid.InplaceEditor()->moveCursor(QTextCursor::End);
    grid.Press(Qt::Key_Return);
    grid.Press(Qt::Key_N);
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End})
        grid.Press(key);
    Settle();
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 1));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "alt\nn");
    grid.Press(Qt::Key_Return, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.events, (Events{"before 1,1", "validate 1,1", "after 1,1"}));
}

// Escape undoes and ends only a single-line edit; a multi-line editor keeps it and its text.
TEST(AlignedGridEdit, EscapeStaysInAMultiLineEditor)
{
    EditingGrid grid;
    grid.EditMultiline = true;
    grid.Press(Qt::Key_F2);
    grid.InplaceEditor()->moveCursor(QTextCursor::End);
    grid.Press(Qt::Key_N);
    grid.Press(Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "altn");
    EXPECT_EQ(grid.events, Events{"before 1,1"});
}

TEST(AlignedGridEdit, TheEditorTakesTheCellsAlignmentAndColours)
{
    EditingGrid grid;
    grid.SetAlignCol(1, agRight);
    grid.BrushCell(1, 1)->SetColor(0x00FFFF);
    grid.ShowEditor();
    auto* editor = grid.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Alignment(), agRight);
    EXPECT_EQ(editor->document()->defaultTextOption().alignment(), Qt::AlignRight);
    EXPECT_EQ(editor->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(std::pair(editor->EditCol, editor->EditRow), std::pair(1, 1));
    EXPECT_EQ(editor->StartText, "alt");
    // Without SelectEditText the text is not selected.
    grid.HideEditor();
    grid.SelectEditText = false;
    grid.MoveCurrent(2, 1);
    grid.ShowEditor();
    EXPECT_FALSE(editor->textCursor().hasSelection());
    EXPECT_EQ(editor->document()->defaultTextOption().alignment(), Qt::AlignLeft);
    // A centred column centres the editor's text.
    grid.HideEditor();
    grid.SetAlignCol(2, agCenter);
    grid.ShowEditor();
    EXPECT_EQ(editor->Alignment(), agCenter);
    EXPECT_EQ(editor->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
}

TEST(AlignedGridEdit, LeavingTheGridEndsTheEditAndAFailureTakesTheFocusBack)
{
    auto* grid = new EditingGrid;
    FormWithNext form(grid);
    QLineEdit* other = form.Next;
    grid->accept = false;
    grid->ShowEditor();
    ASSERT_TRUE(grid->InplaceEditor()->hasFocus());
    other->setFocus();
    Settle();
    EXPECT_EQ(grid->events, (Events{"before 1,1", "validate 1,1"}));
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_FALSE(other->hasFocus());
}
