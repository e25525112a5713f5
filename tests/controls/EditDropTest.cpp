// Edit drag and drop with synthetic drag events and a drag runner in place of Qt's drag loop:
// the first line of a dropped text at the drop point, a drop into the own selection, moving
// and copying within one edit, drags to elsewhere and cancelled ones, file lists reported as
// copies, and rich text only while the switch is on.
#include "EnhEditTestSupport.h"

#include "controls/EnhEdit.h"
#include "platform/RecordingCanvas.h"
#include "platform/core/ScopeExit.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

using namespace velmoran;

namespace {

// A drag over the widget ending in a drop at the point; the effect the drop took.
Qt::DropAction DragOnto(QWidget* widget, const QMimeData* data, QPoint at,
                        Qt::KeyboardModifiers keys = Qt::NoModifier,
                        Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction)
{
    QDragEnterEvent enter(at, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(at, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(widget, &move);
    if (!move.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(at, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

std::unique_ptr<QMimeData> Text(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

// A target that keeps what it was handed.
class Recorder : public TAEDropTarget {
public:
    using TAEDropTarget::TAEDropTarget;
    void DropText(TPoint, const std::string& text) override { Texts.push_back(text); }
    void DropRTF(TPoint, const std::string& text) override { RichTexts.push_back(text); }
    void DropFiles(TPoint, const std::vector<std::string>& files) override { Files = files; }
    std::vector<std::string> Texts, RichTexts, Files;
};

// An edit that is drop target and drag source, focused in a shown dialog.
class EditDrop : public velmoran::testing::EditsTest {
protected:
    EditDrop()
    {
        edit_ = new TEnhEdit(dialog_.get());
        edit_->resize(200, 21);
        edit_->SetOleDropTarget(true);
        edit_->SetOleDropSource(true);
        edit_->SetText("abcXYZdef");
        Show();
        edit_->setFocus();
        QApplication::processEvents();
    }

    // Presses in the selection and moves: the edit starts its drag, which the runner drops
    // onto the edit at the character position (or anywhere else with -1) and ends with effect.
    void DragSelection(int start, int length, int dropAt, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        edit_->setSelection(start, length);
        const QPoint inside = edit_->CharPoint(start) + QPoint(2, -3);
        ScopedDragRunner runner([&](QWidget* source, std::unique_ptr<QMimeData> data, Qt::DropActions allowed) {
            EXPECT_EQ(source, edit_);
            EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction);
            ++drags_;
            if (dropAt < 0)
                return runnerEffect_;
            return DragOnto(edit_, data.get(), edit_->CharPoint(dropAt) + QPoint(0, -3), keys);
        });
        Mouse(edit_, QEvent::MouseButtonPress, inside.x(), inside.y());
        Mouse(edit_, QEvent::MouseMove, inside.x() + 8, inside.y(), true);
        Mouse(edit_, QEvent::MouseButtonRelease, inside.x() + 8, inside.y());
    }

    TEnhEdit* edit_;
    int drags_ = 0;
    Qt::DropAction runnerEffect_ = Qt::IgnoreAction;
};

}  // namespace

TEST_F(EditDrop, FirstLineGoesInAtTheDropPoint)
{
    auto* edit = new TEnhEdit(dialog_.get());
    edit->resize(200, 21);
    edit->SetText("abcdef");
    // Not a drop target yet: the line edit's own dropping is closed.
    EXPECT_FALSE(edit->acceptDrops());
    edit->SetOleDropTarget(true);
    EXPECT_TRUE(edit->acceptDrops());
    Show();
    const auto data = Text(QStringLiteral("line1\r\nline2"));
    QDragMoveEvent over(edit->CharPoint(3), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(edit->CharPoint(3), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QApplication::sendEvent(edit, &over);
    EXPECT_EQ(edit->DropCaret(), 3);
    // The drop caret: a bar one pixel wide, a line high, standing on the character's foot.
    {
        RecordingCanvas canvas(engine_, 200, 21);
        edit->PaintOverlay(canvas);
        const QPoint foot = edit->CharPoint(3);
        const int top = foot.y() - edit->fontMetrics().height();
        const std::string bar = "FillRect " + std::to_string(foot.x()) + "," + std::to_string(top) + "," +
                                std::to_string(foot.x() + 1) + "," + std::to_string(foot.y()) + " #000000";
        const std::vector<std::string> calls = canvas.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), bar), calls.end()) << canvas.Text();
    }
    EXPECT_EQ(DragOnto(edit, data.get(), edit->CharPoint(3)), Qt::MoveAction);
    EXPECT_EQ(edit->Text(), "abcline1def");
    EXPECT_EQ(edit->cursorPosition(), 8);
    EXPECT_EQ(edit->DropCaret(), -1);
    EXPECT_TRUE(edit->Modified());
    // Ctrl copies.
    EXPECT_EQ(DragOnto(edit, data.get(), edit->CharPoint(0), Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(edit->Text(), "line1abcline1def");
    edit->SetOleDropTarget(false);
    EXPECT_FALSE(edit->acceptDrops());
}

TEST_F(EditDrop, MovingRightWithinTheEditRemovesTheSourceOnce)
{
    DragSelection(0, 3, 6);
    EXPECT_EQ(drags_, 1);
    EXPECT_EQ(edit_->Text(), "XYZabcdef");
}

TEST_F(EditDrop, MovingLeftAndCopying)
{
    DragSelection(6, 3, 0);
    EXPECT_EQ(edit_->Text(), "defabcXYZ");
    edit_->SetText("abcXYZdef");
    DragSelection(0, 3, 6, Qt::ControlModifier);
    EXPECT_EQ(edit_->Text(), "abcXYZabcdef");
}

TEST_F(EditDrop, DropIntoTheOwnSelectionDoesNothing)
{
    DragSelection(3, 3, 4);
    EXPECT_EQ(drags_, 1);
    EXPECT_EQ(edit_->Text(), "abcXYZdef");
}

// Dropped at its own selection's end or start, a moved selection stays where it was, once; copied
// to either, it stands twice.
TEST_F(EditDrop, DropAtTheOwnSelectionsEdgesKeepsTheText)
{
    DragSelection(3, 3, 6);
    EXPECT_EQ(edit_->Text(), "abcXYZdef");
    edit_->SetText("abcXYZdef");
    DragSelection(3, 3, 3);
    EXPECT_EQ(edit_->Text(), "abcXYZdef");
    edit_->SetText("abcXYZdef");
    DragSelection(3, 3, 6, Qt::ControlModifier);
    EXPECT_EQ(edit_->Text(), "abcXYZXYZdef");
    edit_->SetText("abcXYZdef");
    DragSelection(3, 3, 3, Qt::ControlModifier);
    EXPECT_EQ(edit_->Text(), "abcXYZXYZdef");
    EXPECT_EQ(drags_, 4);
}

TEST_F(EditDrop, ToElsewhereMovesOrCopiesOrIsCancelled)
{
    runnerEffect_ = Qt::IgnoreAction;
    DragSelection(0, 3, -1);
    EXPECT_EQ(edit_->Text(), "abcXYZdef");
    EXPECT_EQ(edit_->selectedText(), QStringLiteral("abc"));
    runnerEffect_ = Qt::CopyAction;
    DragSelection(0, 3, -1);
    EXPECT_EQ(edit_->Text(), "abcXYZdef");
    runnerEffect_ = Qt::MoveAction;
    DragSelection(0, 3, -1);
    EXPECT_EQ(edit_->Text(), "XYZdef");
    // A press in the selection without a move only places the caret.
    edit_->setSelection(0, 3);
    const QPoint inside = edit_->CharPoint(1);
    Mouse(edit_, QEvent::MouseButtonPress, inside.x(), inside.y() - 3);
    EXPECT_TRUE(edit_->hasSelectedText());
    Mouse(edit_, QEvent::MouseButtonRelease, inside.x(), inside.y() - 3);
    EXPECT_FALSE(edit_->hasSelectedText());
    EXPECT_EQ(edit_->cursorPosition(), 1);
    EXPECT_EQ(drags_, 3);
    // A press on the character just after the selection is outside it: the caret goes there.
    edit_->setSelection(0, 3);
    const QPoint after = edit_->CharPoint(3) + QPoint(2, -3);
    Mouse(edit_, QEvent::MouseButtonPress, after.x(), after.y());
    EXPECT_FALSE(edit_->hasSelectedText());
    Mouse(edit_, QEvent::MouseButtonRelease, after.x(), after.y());
    EXPECT_EQ(edit_->cursorPosition(), 3);
}

TEST_F(EditDrop, FileListsAreCopiesAndRichTextNeedsTheSwitch)
{
    QWidget target;
    auto* recorder = new Recorder(&target);
    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.vda")), QUrl(QStringLiteral("https://orvelan.de/")),
                    QUrl::fromLocalFile(QStringLiteral("/tmp/b.vdh"))});
    // A move would tell the file manager to remove the files: a file list is always a copy.
    EXPECT_EQ(DragOnto(&target, files.get(), {5, 5}), Qt::CopyAction);
    EXPECT_EQ(recorder->Files, (std::vector<std::string>{"/tmp/a.vda", "/tmp/b.vdh"}));
    EXPECT_TRUE(recorder->Texts.empty());
    files->setText(QStringLiteral("/tmp/a.vda"));
    EXPECT_EQ(DragOnto(&target, files.get(), {5, 5}), Qt::CopyAction);
    EXPECT_EQ(recorder->Texts, (std::vector<std::string>{"/tmp/a.vda"}));
    // Addresses that are no files make no file list.
    auto web = std::make_unique<QMimeData>();
    web->setUrls({QUrl(QStringLiteral("https://orvelan.de/"))});
    EXPECT_EQ(DragOnto(&target, web.get(), {5, 5}), Qt::IgnoreAction);

    auto rich = std::make_unique<QMimeData>();
    rich->setData(QString::fromLatin1(kRichTextMime), QByteArray("{\\rtf1 abc}"));
    EXPECT_EQ(DragOnto(&target, rich.get(), {5, 5}), Qt::IgnoreAction);
    SetRichTextDragEnabled(true);
    const ScopeExit off([] { SetRichTextDragEnabled(false); });
    rich->setText(QStringLiteral("abc"));
    EXPECT_EQ(DragOnto(&target, rich.get(), {5, 5}), Qt::MoveAction);
    EXPECT_EQ(recorder->RichTexts, (std::vector<std::string>{"{\\rtf1 abc}"}));
    EXPECT_EQ(recorder->Texts.size(), 1u);
}

TEST_F(EditDrop, SourceOffersRichTextOnlyWithTheSwitch)
{
    TSourceDataObject data("abc", "{\\rtf1 abc}");
    EXPECT_EQ(data.formats(), QStringList{QString::fromLatin1(kTextMime)});
    EXPECT_EQ(data.text(), QStringLiteral("abc"));
    EXPECT_TRUE(data.data(QString::fromLatin1(kRichTextMime)).isEmpty());
    SetRichTextDragEnabled(true);
    const ScopeExit off([] { SetRichTextDragEnabled(false); });
    EXPECT_TRUE(data.hasFormat(QString::fromLatin1(kRichTextMime)));
    EXPECT_EQ(data.data(QString::fromLatin1(kRichTextMime)), QByteArray("{\\rtf1 abc}"));
    // Without rich text there is none to offer.
    TSourceDataObject plain("abc", "");
    EXPECT_FALSE(plain.hasFormat(QString::fromLatin1(kRichTextMime)));
    // A drag nobody takes is cancelled.
    ScopedDragRunner runner([](QWidget*, std::unique_ptr<QMimeData>, Qt::DropActions) { return Qt::IgnoreAction; });
    Qt::DropAction effect = Qt::MoveAction;
    EXPECT_EQ(StartTextDrag(nullptr, "abc", "", Qt::CopyAction, effect), TDragResult::Cancel);
    EXPECT_EQ(effect, Qt::IgnoreAction);
}
