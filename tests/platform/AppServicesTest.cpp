// The shared application services: the hint with its change links, the last input position, the
// counted beep and the help entry with its hook.
#include "platform/AppServices.h"
#include "platform/core/ScopeExit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

using namespace velmoran;

TEST(AppServices, HintTellsItsLinksOfRealChanges)
{
    AppServices& services = AppServices::Instance();
    QObject link;
    int told = 0;
    services.RegisterHintChanges(&link, [&] { ++told; });
    services.SetHint("Öffnet eine Berechnung");
    services.SetHint("Öffnet eine Berechnung");
    services.SetHint({});
    EXPECT_EQ(told, 2);
}

TEST(AppServices, MessagePointFollowsInput)
{
    QWidget widget;
    widget.setGeometry(100, 50, 200, 100);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 6), QPointF(105, 56), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    AppServices::Instance();
    QCoreApplication::sendEvent(&widget, &move);
    EXPECT_EQ(AppServices::Instance().GetMessagePoint(), QPoint(105, 56));
}

TEST(AppServices, BeepGoesThroughTheHook)
{
    AppServices& services = AppServices::Instance();
    int beeps = 0;
    services.BeepHook = [&] { ++beeps; };
    ScopeExit restore([&] { services.BeepHook = nullptr; });
    services.Beep();
    services.Beep();
    EXPECT_EQ(beeps, 2);
}

TEST(AppServices, HelpAsksTheHookThenTheEngine)
{
    AppServices& services = AppServices::Instance();
    ScopeExit restore([&] {
        services.OnHelp = nullptr;
        services.HelpEngine = nullptr;
    });
    // No engine yet: the call answers false.
    EXPECT_FALSE(services.HelpContext(42));

    std::vector<long long> engine;
    services.HelpEngine = [&](const std::string&, int command, long long data) {
        engine.push_back(command * 1000 + data);
        return true;
    };
    bool stop = false;
    services.OnHelp = [&](int, long long, bool& callHelp) {
        callHelp = !stop;
        return stop;
    };
    EXPECT_TRUE(services.HelpContext(42));
    stop = true;
    EXPECT_TRUE(services.HelpCommand(HELP_CONTEXTPOPUP, 7));
    EXPECT_EQ(engine, std::vector<long long>{1042});
}
