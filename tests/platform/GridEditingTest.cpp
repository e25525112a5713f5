// The grid base's editing half: what opens the in-place editor and what does not, the editor's
// text going into the cell as it is typed, Escape restoring the cell, the editor over its cell as
// the grid scrolls, and which keys a single-line and a multi-line editor hand to the grid.
#include "platform/Grid.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

using namespace velmoran;

namespace {

// 6 x 10 cells of 40 x 20 pixels, one line pixel, viewport 200 x 100, editing on.
class EditGrid : public TStringGrid {
public:
    EditGrid()
    {
        velmoran::testing::App();
        SetScrollBars(TScrollStyle::None);
        setFrameStyle(QFrame::NoFrame);
        SetColCount(6);
        SetRowCount(10);
        SetDefaultColWidth(40);
        SetDefaultRowHeight(20);
        SetOptions(Options() | goEditing);
        resize(200, 100);
        show();
        SetCells(1, 1, "alt");
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(this, key, modifiers); }
    void EditorKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(InplaceEditor(), key, modifiers);
    }
    void DoubleClick(int x, int y)
    {
        QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(x, y), QPointF(x, y), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        mouseDoubleClickEvent(&event);
    }
    QRect EditorRect() const { return InplaceEditor()->geometry(); }
};

}  // namespace

TEST(GridEditingOpen, ByF2EnterDoubleClickOrATypedCharacter)
{
    {
        EditGrid grid;
        grid.Key(Qt::Key_F2);
        ASSERT_TRUE(grid.EditorMode());
        EXPECT_EQ(grid.InplaceEditor()->Text(), "alt");
        EXPECT_EQ(grid.EditorRect(), QRect(41, 21, 40, 20));
        grid.Key(Qt::Key_Return);
        EXPECT_FALSE(grid.EditorMode());
        grid.Key(Qt::Key_Return);
        EXPECT_TRUE(grid.EditorMode());
    }
    {
        EditGrid grid;
        grid.DoubleClick(50, 25);
        EXPECT_TRUE(grid.EditorMode());
    }
    {
        // The character replaces the cell's text and goes on into the cell as typed.
        EditGrid grid;
        grid.Key(Qt::Key_7);
        ASSERT_TRUE(grid.EditorMode());
        EXPECT_EQ(grid.Cells(1, 1), "7");
        grid.EditorKey(Qt::Key_5);
        EXPECT_EQ(grid.Cells(1, 1), "75");
    }
    {
        // Control characters and shortcuts open nothing.
        EditGrid grid;
        grid.Key(Qt::Key_Backspace);
        grid.Key(Qt::Key_C, Qt::ControlModifier);
        EXPECT_FALSE(grid.EditorMode());
    }
}

TEST(GridEditingOpen, NeverWithoutEditingOrWithRowSelect)
{
    EditGrid grid;
    grid.SetOptions(grid.Options() & ~goEditing);
    grid.Key(Qt::Key_F2);
    grid.ShowEditor();
    EXPECT_FALSE(grid.EditorMode());
    grid.SetOptions(grid.Options() | goEditing | goRowSelect);
    grid.ShowEditor();
    EXPECT_FALSE(grid.EditorMode());
}

TEST(GridEditingText, EscapeRestoresTheCellAndMovingClosesTheEditor)
{
    EditGrid grid;
    grid.Key(Qt::Key_X);
    EXPECT_EQ(grid.Cells(1, 1), "x");
    grid.EditorKey(Qt::Key_Escape);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "alt");

    grid.Key(Qt::Key_F2);
    grid.EditorKey(Qt::Key_Down);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Row(), 2);
    grid.SetOptions(grid.Options() | goAlwaysShowEditor);
    grid.Key(Qt::Key_Down);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.EditorRect(), QRect(41, 63, 40, 20));
}

TEST(GridEditingPlace, FollowsTheCellWhenTheGridScrolls)
{
    EditGrid grid;
    grid.MoveCurrent(2, 3);
    grid.ShowEditor();
    EXPECT_EQ(grid.EditorRect(), QRect(82, 63, 40, 20));
    grid.SetTopRow(2);
    EXPECT_EQ(grid.EditorRect(), QRect(82, 42, 40, 20));
    grid.SetLeftCol(2);
    EXPECT_EQ(grid.EditorRect(), QRect(41, 42, 40, 20));
    // Scrolled out of sight, the editor stays open out of sight too.
    grid.SetLeftCol(3);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_LT(grid.EditorRect().right(), 0);
    grid.SetColWidths(0, 60);
    grid.SetLeftCol(2);
    EXPECT_EQ(grid.EditorRect(), QRect(61, 42, 40, 20));
}

TEST(GridEditingKeys, ASingleLineEditorHandsOnTheMovesAMultiLineOneKeepsThem)
{
    EditGrid grid;
    grid.ShowEditor();
    TInplaceEdit& editor = *grid.InplaceEditor();
    EXPECT_EQ(editor.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(editor.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(editor.frameShape(), QFrame::NoFrame);
    // Pasted line breaks become blanks in a single line.
    QApplication::clipboard()->setText(QStringLiteral("eins\r\nzwei\n"));
    editor.selectAll();
    editor.paste();
    EXPECT_EQ(grid.Cells(1, 1), "eins zwei ");
    grid.EditorKey(Qt::Key_Escape);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "alt");

    grid.ShowEditor();
    editor.SetMultiline(true);
    editor.moveCursor(QTextCursor::End);
    grid.EditorKey(Qt::Key_Return);
    grid.EditorKey(Qt::Key_B);
    grid.EditorKey(Qt::Key_Up);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Cells(1, 1), "alt\nb");
    grid.EditorKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(grid.EditorMode());
}
