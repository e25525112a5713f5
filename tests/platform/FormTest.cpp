// The form base: the pre-destroy notice while the children are whole, the close question, the idle
// update (actions and registered handlers, no re-entry, not under a modal window), key presses
// nobody took, and the aligned children with their order and re-layout.
#include "platform/Form.h"

#include "platform/Action.h"
#include "platform/ThreadHooks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <memory>
#include <string>

using namespace velmoran;

namespace {

QWidget* destroyedWindow = nullptr;
int childrenAtPreDestroy = -1;

void CountChildren(THookProcType code, QWidget* wnd, std::uintptr_t, std::intptr_t)
{
    if (code != THookProcType::hpPreDestroy)
        return;
    destroyedWindow = wnd;
    childrenAtPreDestroy = static_cast<int>(wnd->findChildren<QWidget*>().size());
}

class Vetoing : public Form {
public:
    bool CloseQuery() override { return allow; }
    bool allow = false;
};

// Runs the event loop until the queue has been empty once, so the dispatcher's idle signal fires.
void RunUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

TEST(Form, PreDestroyArrivesWhileTheChildrenExist)
{
    int user = 0;
    InstallHookProc(&user, CountChildren, HookProcTypes(THookProcType::hpPreDestroy));
    auto form = std::make_unique<Form>();
    new QLineEdit(form.get());
    new QLineEdit(form.get());
    QWidget* expected = form.get();
    form.reset();
    UninstallHookProc(&user, CountChildren);
    EXPECT_EQ(destroyedWindow, expected);
    EXPECT_EQ(childrenAtPreDestroy, 2);
}

TEST(Form, CloseQueryFalseKeepsTheWindowOpen)
{
    Vetoing form;
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    form.allow = true;
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
}

TEST(Form, FormOfAnswersTheFormOrDialogAWidgetBelongsTo)
{
    Form form;
    QWidget inner(&form);
    QLineEdit edit(&inner);
    QDialog dialog;
    QLineEdit inDialog(&dialog);
    QWidget loose;
    QLineEdit inLoose(&loose);
    EXPECT_EQ(FormOf(&edit), &form);
    EXPECT_EQ(FormOf(&form), &form);
    EXPECT_EQ(FormOf(&inDialog), &dialog);
    EXPECT_EQ(FormOf(&inLoose), nullptr);
    EXPECT_EQ(FormOf(nullptr), nullptr);
}

TEST(Form, UpdateActionsUpdatesTheOwnActionsThenTheRegisteredHandlers)
{
    Form form;
    Action* own = new Action(&form);
    Action other;
    std::string log;
    own->OnUpdate = [&log](Action&) { log += "own;"; };
    other.OnUpdate = [&log](Action&) { log += "other;"; };
    QObject toolbar;
    form.RegisterIdleHandler(&toolbar, [&log] { log += "toolbar;"; });
    form.UpdateActions();
    EXPECT_EQ(log, "own;toolbar;");
}

TEST(Form, TheIdleUpdateRunsForVisibleFormsWithoutReentry)
{
    Form shown;
    Form hidden;
    int runs = 0;
    int depth = 0;
    int deepest = 0;
    Action* action = new Action(&shown);
    action->OnUpdate = [&](Action&) {
        ++runs;
        ++depth;
        deepest = std::max(deepest, depth);
        // A handler that processes events must not start the update again.
        QCoreApplication::processEvents();
        RunIdleUpdate();
        --depth;
    };
    int hiddenRuns = 0;
    (new Action(&hidden))->OnUpdate = [&hiddenRuns](Action&) { ++hiddenRuns; };
    shown.show();
    RunUntilIdle();
    EXPECT_GE(runs, 1);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(hiddenRuns, 0);

    runs = 0;
    RunIdleUpdate();
    EXPECT_EQ(runs, 1);
}

TEST(Form, TheIdleUpdateSkipsAFormBlockedByAModalWindow)
{
    Form form;
    int runs = 0;
    (new Action(&form))->OnUpdate = [&runs](Action&) { ++runs; };
    form.show();
    QDialog dialog(&form);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    RunIdleUpdate();
    EXPECT_EQ(runs, 0);
    dialog.hide();
    RunIdleUpdate();
    EXPECT_EQ(runs, 1);
}

TEST(Form, AKeyPressNoChildTookIsOfferedToTheHandlers)
{
    Form form;
    QObject first;
    QObject second;
    std::string log;
    form.RegisterDialogKeyHandler(&first, [&log](QKeyEvent& e) { log += "first;"; return e.key() == Qt::Key_A; });
    form.RegisterDialogKeyHandler(&second, [&log](QKeyEvent&) { log += "second;"; return true; });
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(&form, &a);
    EXPECT_EQ(log, "first;");
    EXPECT_TRUE(a.isAccepted());
    log.clear();
    form.UnregisterDialogKeyHandler(&second);
    QKeyEvent b(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QCoreApplication::sendEvent(&form, &b);
    EXPECT_EQ(log, "first;");
}

TEST(Form, AlignedChildrenLieInKindAndAddingOrder)
{
    Form form;
    form.resize(300, 200);
    QWidget top1(&form), top2(&form), bottom(&form), left(&form), right(&form), client(&form);
    top1.resize(10, 20);
    top2.resize(10, 15);
    bottom.resize(10, 25);
    left.resize(30, 10);
    right.resize(40, 10);
    // Added out of order: the kinds still come top, bottom, left, right, client.
    form.Layout().SetAlign(client, TAlign::alClient);
    form.Layout().SetAlign(left, TAlign::alLeft);
    form.Layout().SetAlign(top1, TAlign::alTop);
    form.Layout().SetAlign(bottom, TAlign::alBottom);
    form.Layout().SetAlign(top2, TAlign::alTop);
    form.Layout().SetAlign(right, TAlign::alRight);
    EXPECT_EQ(top1.geometry(), QRect(0, 0, 300, 20));
    EXPECT_EQ(top2.geometry(), QRect(0, 20, 300, 15));
    EXPECT_EQ(bottom.geometry(), QRect(0, 175, 300, 25));
    EXPECT_EQ(left.geometry(), QRect(0, 35, 30, 140));
    EXPECT_EQ(right.geometry(), QRect(260, 35, 40, 140));
    EXPECT_EQ(client.geometry(), QRect(30, 35, 230, 140));
}

TEST(Form, AlignedChildrenFollowTheFormAndEachOther)
{
    Form form;
    form.resize(300, 200);
    QWidget top(&form), client(&form);
    top.resize(10, 20);
    form.Layout().SetAlign(top, TAlign::alTop);
    form.Layout().SetAlign(client, TAlign::alClient);
    form.show();
    form.resize(400, 250);
    EXPECT_EQ(top.geometry(), QRect(0, 0, 400, 20));
    EXPECT_EQ(client.geometry(), QRect(0, 20, 400, 230));
    // A child whose thickness changes (a dock gaining a row) moves the others.
    top.resize(400, 50);
    EXPECT_EQ(client.geometry(), QRect(0, 50, 400, 200));
    top.hide();
    EXPECT_EQ(client.geometry(), QRect(0, 0, 400, 250));
}

// A form shrunk below the sum of its bars cuts their places, not their sizes: enlarged again,
// every bar has its own thickness back, and a bar that changed its own size meanwhile keeps that.
TEST(Form, AShrunkFormGivesItsAlignedChildrenTheirSizesBack)
{
    Form form;
    form.resize(300, 200);
    QWidget top(&form), bottom(&form), left(&form), client(&form);
    top.resize(10, 40);
    bottom.resize(10, 25);
    left.resize(50, 10);
    form.Layout().SetAlign(top, TAlign::alTop);
    form.Layout().SetAlign(bottom, TAlign::alBottom);
    form.Layout().SetAlign(left, TAlign::alLeft);
    form.Layout().SetAlign(client, TAlign::alClient);
    form.show();
    form.resize(30, 50);
    EXPECT_EQ(top.geometry(), QRect(0, 0, 30, 40));
    EXPECT_EQ(bottom.geometry(), QRect(0, 40, 30, 10));
    EXPECT_EQ(left.geometry().width(), 30);
    form.resize(30, 20);
    EXPECT_EQ(bottom.height(), 0);
    form.resize(400, 300);
    EXPECT_EQ(top.geometry(), QRect(0, 0, 400, 40));
    EXPECT_EQ(bottom.geometry(), QRect(0, 275, 400, 25));
    EXPECT_EQ(left.geometry(), QRect(0, 40, 50, 235));
    EXPECT_EQ(client.geometry(), QRect(50, 40, 350, 235));

    form.resize(400, 50);
    top.resize(400, 30);
    form.resize(400, 300);
    EXPECT_EQ(top.geometry(), QRect(0, 0, 400, 30));
    EXPECT_EQ(bottom.geometry(), QRect(0, 275, 400, 25));
}

TEST(Form, DroppedFilesReachOnDropFilesAsLocalPaths)
{
    Form form;
    form.SetAcceptDroppedFiles(true);
    EXPECT_TRUE(form.acceptDrops());
    std::vector<std::string> dropped;
    form.OnDropFiles = [&dropped](Form&, const std::vector<std::string>& files) { dropped = files; };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a.vda"), QUrl("https://example.org/b.vda"), QUrl::fromLocalFile("/tmp/c d.vdh")});
    form.show();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    EXPECT_EQ(dropped, (std::vector<std::string>{"/tmp/a.vda", "/tmp/c d.vdh"}));
}
