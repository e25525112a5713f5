// The modal runner: the scripted runner shows each window, runs its script and ends it, and fails
// the test (instead of blocking) for a window without a script or a script without a window; the
// program's runner returns from a plain window once it is closed or destroyed.
#include "platform/ModalRunner.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace velmoran;

namespace {

// A dialog with a name field and an OK button that accepts.
class NameDialog : public QDialog {
public:
    NameDialog()
    {
        setWindowTitle(QStringLiteral("Projektname"));
        name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("edName"));
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("BtnOK"));
        ok->move(0, 30);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    void showEvent(QShowEvent* event) override
    {
        ++shows;
        QDialog::showEvent(event);
    }
    QLineEdit* name;
    int shows = 0;
};

}  // namespace

TEST(ModalRunner, ScriptTypesAndClicksOkThroughTheDialog)
{
    velmoran::testing::App();
    ScriptedModalRunner runner;
    NameDialog dialog;
    runner.Expect([](QWidget& window) {
        auto* name = window.findChild<QLineEdit*>(QStringLiteral("edName"));
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, QStringLiteral("Anlage Nord 2"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("BtnOK")), Qt::LeftButton);
    });
    EXPECT_EQ(Modals().Run(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.shows, 1);  // the show handling ran
    EXPECT_EQ(dialog.name->text(), QStringLiteral("Anlage Nord 2"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(runner.Shown(), std::vector<std::string>{"Projektname"});
}

TEST(ModalRunner, DialogLeftOpenEndsWithTheAnswerSet)
{
    velmoran::testing::App();
    ScriptedModalRunner runner;
    NameDialog dialog;
    runner.Expect([](QWidget&) {});
    runner.Expect([](QWidget&) {}, QDialog::Accepted);
    EXPECT_EQ(Modals().Run(dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Modals().Run(dialog), QDialog::Accepted);
}

TEST(ModalRunner, WindowWithoutScriptAndScriptWithoutWindowFail)
{
    velmoran::testing::App();
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalRunner runner;
            NameDialog dialog;
            EXPECT_EQ(Modals().Run(dialog), QDialog::Rejected);
            EXPECT_FALSE(dialog.isVisible());
        },
        "Fenster ohne Skript: \"Projektname\"");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalRunner runner;
            runner.Expect([](QWidget&) {});
        },
        "1 Skript(e) ohne Fenster");
}

TEST(ModalRunner, PlainWindowReturnsWhenClosedOrDeleted)
{
    velmoran::testing::App();
    ScriptedModalRunner runner;
    QWidget kept;
    kept.setWindowTitle(QStringLiteral("Vorschau"));
    bool ran = false;
    runner.Expect([&](QWidget& window) {
        ran = window.isVisible();
        window.close();
    });
    Modals().Run(kept);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(kept.isVisible());

    // Left open: the runner closes it.
    runner.Expect([](QWidget&) {});
    Modals().Run(kept);
    EXPECT_FALSE(kept.isVisible());

    // Deleted by its script.
    QPointer<QWidget> doomed = new QWidget;
    runner.Expect([](QWidget& window) { delete &window; });
    Modals().Run(*doomed);
    EXPECT_TRUE(doomed.isNull());
}

TEST(ModalRunner, ProgramRunnerEndsItsLoopWhenTheWindowClosesOrGoes)
{
    velmoran::testing::App();
    ASSERT_EQ(SetModalRunner(nullptr), nullptr);  // the program's runner is in use
    QWidget window;
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
        window.close();
    });
    Modals().Run(window);
    EXPECT_FALSE(window.isVisible());

    auto* doomed = new QWidget;
    QTimer::singleShot(0, doomed, [doomed] { doomed->deleteLater(); });
    Modals().Run(*doomed);  // returns: the loop ended with the window
}
