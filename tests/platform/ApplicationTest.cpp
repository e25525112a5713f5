// Exceptions raised inside event handlers reach the user as a message and the program goes on.
#include "platform/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/Prompt.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <QTimer>

using namespace velmoran;

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw EZeroDivide();
        return QObject::event(e);
    }
};

}  // namespace

TEST(Application, ExceptionInAnEventIsShownAndTheLoopGoesOn)
{
    TApplication& app = velmoran::testing::App();
    ScriptedPromptService prompts;
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QTimer::singleShot(20, &app, &QCoreApplication::quit);
    app.exec();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Gleitkommadivision durch Null");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    EXPECT_TRUE(later);
}

TEST(Application, RunGuardedAndScriptedAnswers)
{
    ScriptedPromptService prompts;
    EXPECT_FALSE(RunGuarded([] { throw EConvertError::InvalidInteger("x"); }));
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw EAbort(); }));  // ends the work without a message
    prompts.Answer(mrNo);
    EXPECT_EQ(Prompts().MessageDlg("Speichern?", MsgDlgType::Confirmation, mbYes | mbNo | mbCancel), mrNo);
    EXPECT_EQ(Prompts().MessageDlg("Weiter?", MsgDlgType::Confirmation, mbYes | mbNo), mrYes);
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages()[0].Text, "'x' ist kein gültiger Integerwert");
}
