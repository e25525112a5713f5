// The help router over a recording engine: one instance, the chained hook, which engine each
// command reaches per help type, file names and pop-up positions.
#include "help/HelpRouter.h"
#include "platform/AppServices.h"
#include "platform/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ScopeExit.h"
#include "tests/help/RecordingHelpEngine.h"

#include <QCursor>
#include <QWidget>

#include <gtest/gtest.h>

namespace velmoran {
namespace {

using testing::RecordingHelpEngine;

// The routing as the application calls it.
bool Ask(int command, std::int64_t data = 0)
{
    return AppServices::Instance().HelpCommand(command, data);
}

class Router : public ::testing::Test {
protected:
    void SetUp() override { SetApplicationHelpFile("/hilfe/Velmoran.hlp"); }
    void TearDown() override { SetApplicationHelpFile(""); }
    RecordingHelpEngine engine;
};

TEST_F(Router, OneInstanceAndTheChainedHook)
{
    bool previousAsked = false;
    auto& services = AppServices::Instance();
    services.OnHelp = [&](int, long long, bool&) {
        previousAsked = true;
        return false;
    };
    ScopeExit restore([&] { services.OnHelp = nullptr; });
    {
        THelpRouter router;
        EXPECT_EQ(THelpRouter::Instance(), &router);
        try {
            THelpRouter second;
            FAIL() << "a second router was made";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Multiple instances of THelpRouter are not allowed");
        }
        EXPECT_TRUE(Ask(HELP_CONTENTS));
        EXPECT_TRUE(previousAsked);  // the previous hook still sees every request first
        ASSERT_EQ(engine.Calls.size(), 1u);
    }
    // Gone: the previous hook is the application's again and a new router may be made.
    EXPECT_EQ(THelpRouter::Instance(), nullptr);
    previousAsked = false;
    engine.Calls.clear();
    bool callHelp = true;
    services.OnHelp(HELP_CONTENTS, 0, callHelp);
    EXPECT_TRUE(previousAsked);
    EXPECT_TRUE(engine.Calls.empty());
    THelpRouter again;
}

TEST_F(Router, WinHelpTypeSendsEveryCommandToTheClassicEngine)
{
    THelpRouter router;
    router.SetHelpfile("/hilfe/Modul.chm");
    for (int command : {1, 2, 3, 8, 11, 13, 15, 257, 261, 99}) {
        engine.Calls.clear();
        EXPECT_TRUE(Ask(command, 42)) << command;
        ASSERT_EQ(engine.Calls.size(), 1u) << command;
        EXPECT_EQ(engine.Last().Engine, "win");
        EXPECT_EQ(engine.Last().File, "/hilfe/Modul.hlp");
        EXPECT_EQ(engine.Last().Command, command);
        EXPECT_EQ(engine.Last().Data, 42);
    }
    engine.WinResult = false;
    EXPECT_FALSE(Ask(HELP_CONTEXT, 5));  // an engine failure is only a False result
}

TEST_F(Router, HtmlHelpTypeMapsTheCommands)
{
    THelpRouter router;
    router.SetHelpType(THelpType::htHTMLhelp);
    router.SetHelpfile("/hilfe/help.hlp");
    struct Case {
        int Command;
        std::int64_t Data;
        int HtmlCommand;
        std::string File;
        std::int64_t HtmlData;
    };
    const Case cases[] = {
        {HELP_CONTEXT, 7, HH_HELP_CONTEXT, "/hilfe/help.chm", 7},
        {HELP_CONTENTS, 0, HH_DISPLAY_TOC, "/hilfe/help.chm", 0},
        {HELP_FINDER, 0, HH_DISPLAY_TOC, "/hilfe/help.chm", 0},
        {HELP_TAB, 0, HH_DISPLAY_TOC, "/hilfe/help.chm", 0},
        {HELP_TAB, 3, HH_DISPLAY_INDEX, "/hilfe/help.chm", 0},
        {HELP_KEY, 1234, HH_DISPLAY_INDEX, "/hilfe/help.chm", 1234},
        {HELP_PARTIALKEY, 99, HH_DISPLAY_INDEX, "/hilfe/help.chm", 99},
        {HELP_QUIT, 5, HH_CLOSE_ALL, "", 0},
    };
    for (const Case& c : cases) {
        engine.Calls.clear();
        EXPECT_TRUE(Ask(c.Command, c.Data)) << c.Command;
        ASSERT_EQ(engine.Calls.size(), 1u) << c.Command;
        EXPECT_EQ(engine.Last().Engine, "html");
        EXPECT_EQ(engine.Last().Command, c.HtmlCommand) << c.Command;
        EXPECT_EQ(engine.Last().File, c.File) << c.Command;
        EXPECT_EQ(engine.Last().Data, c.HtmlData) << c.Command;
    }
    // No window shown: False, and the application does not try again.
    engine.HtmlShowsWindow = false;
    engine.Calls.clear();
    EXPECT_FALSE(Ask(HELP_CONTENTS));
    EXPECT_EQ(engine.Calls.size(), 1u);
    // An unknown command and the pop-up position make no call and answer False.
    engine.Calls.clear();
    EXPECT_FALSE(Ask(99, 1));
    EXPECT_FALSE(Ask(HELP_SETPOPUP_POS, 0));
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(Router, PopupPositionIsUsedOnceThenTheMouse)
{
    THelpRouter router;
    router.SetHelpType(THelpType::htHTMLhelp);
    // (-20, 30) packed as signed low and high words.
    const std::int64_t packed = (30u << 16) | static_cast<std::uint16_t>(-20);
    EXPECT_FALSE(Ask(HELP_SETPOPUP_POS, packed));
    EXPECT_EQ(router.PopupPosition(), QPoint(-20, 30));
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 300));
    ASSERT_EQ(engine.Calls.size(), 1u);
    const auto& popup = engine.Last();
    EXPECT_EQ(popup.Command, HH_DISPLAY_TEXT_POPUP);
    EXPECT_EQ(popup.File, "/hilfe/Velmoran.chm::/CSHelp.txt");
    ASSERT_TRUE(popup.HasPopup);
    EXPECT_EQ(popup.Popup.cbStruct, 52);
    EXPECT_EQ(popup.Popup.idString, 300);
    EXPECT_EQ(popup.Popup.pt, QPoint(-20, 30));
    EXPECT_EQ(popup.Popup.pszFont, "Liberation Sans, 8");
    EXPECT_EQ(popup.Popup.clrForeground, kNoColor);
    EXPECT_EQ(popup.Popup.rcMargins.left(), -1);
    EXPECT_EQ(router.PopupPosition(), QPoint());
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 301));
    EXPECT_EQ(engine.Last().Popup.pt, QCursor::pos());
    // A text pop-up has no file.
    EXPECT_TRUE(router.TextPopup(5, 6, "Text", 9));
    EXPECT_EQ(engine.Last().File, "");
    EXPECT_EQ(engine.Last().Popup.idString, 0);
    EXPECT_EQ(engine.Last().Popup.pszText, "Text");
    // An emptied pop-up topics name comes back as the default.
    router.SetCHMPopupTopics("");
    router.TextPopup(1, 1, "", 4);
    EXPECT_EQ(router.CHMPopupTopics(), "CSHelp.txt");
}

TEST_F(Router, MixedModeSplitsTheCommands)
{
    THelpRouter router;
    router.SetHelpType(THelpType::htMixedMode);
    EXPECT_TRUE(Ask(HELP_CONTEXT, 3));
    EXPECT_EQ(engine.Last().Engine, "html");
    EXPECT_EQ(engine.Last().File, "/hilfe/Velmoran.chm");
    EXPECT_TRUE(Ask(HELP_SETPOPUP_POS, 0x00100010));
    EXPECT_EQ(engine.Last().Engine, "win");
    EXPECT_EQ(engine.Last().Command, HELP_SETPOPUP_POS);
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 3));
    EXPECT_EQ(engine.Last().Engine, "win");
    EXPECT_EQ(engine.Last().File, "/hilfe/Velmoran.hlp");
    // Pop-up topics of their own: beside the help file unless they name a folder.
    router.SetCHMPopupTopics("pop.HLP");
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 3));
    EXPECT_EQ(engine.Last().File, "/hilfe/pop.hlp");
    router.SetCHMPopupTopics("/anderswo/pop.hlp");
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 3));
    EXPECT_EQ(engine.Last().File, "/anderswo/pop.hlp");
    EXPECT_TRUE(Ask(HELP_CONTENTS));
    EXPECT_EQ(engine.Last().File, "/hilfe/Velmoran.chm");
}

TEST_F(Router, MainShowTypeShowsPopupsAsTopics)
{
    THelpRouter router;
    router.SetShowType(TShowType::stMain);
    EXPECT_TRUE(Ask(HELP_SETPOPUP_POS, 0x00100010));  // becomes no request: True, no call
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 12));
    EXPECT_EQ(engine.Last().Command, HELP_CONTEXT);
    router.SetHelpType(THelpType::htHTMLhelp);
    EXPECT_TRUE(Ask(HELP_CONTEXTPOPUP, 12));
    EXPECT_EQ(engine.Last().Command, HH_HELP_CONTEXT);
    EXPECT_EQ(engine.Last().Data, 12);
}

TEST_F(Router, HooksThatClearCallHelpStopTheRequest)
{
    THelpRouter router;
    router.OnHelp = [](int, std::int64_t, bool& callHelp) {
        callHelp = false;
        return true;
    };
    EXPECT_TRUE(Ask(HELP_CONTENTS));
    EXPECT_TRUE(engine.Calls.empty());
    router.OnHelp = nullptr;
    EXPECT_TRUE(Ask(0));  // command 0: True, no call
    EXPECT_TRUE(engine.Calls.empty());
}

// The hook before the router may stop a request as well; its answer is the result.
TEST_F(Router, PreviousHookClearingCallHelpAnswers)
{
    auto& services = AppServices::Instance();
    services.OnHelp = [](int command, long long, bool& callHelp) {
        callHelp = false;
        return command == HELP_CONTENTS;
    };
    ScopeExit restore([&] { services.OnHelp = nullptr; });
    THelpRouter router;
    EXPECT_TRUE(Ask(HELP_CONTENTS));
    EXPECT_FALSE(Ask(HELP_CONTEXT, 1));
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(Router, WithoutHtmlHelpTheApplicationCallsTheClassicEngine)
{
    THelpRouter router;
    router.SetHelpType(THelpType::htHTMLhelp);
    engine.HtmlAvailable = false;
    // Never loaded: HELP_QUIT is swallowed.
    EXPECT_TRUE(Ask(HELP_QUIT));
    EXPECT_TRUE(engine.Calls.empty());
    bool callHelp = true;
    EXPECT_FALSE(router.Route(HELP_CONTEXT, 4, callHelp));
    EXPECT_TRUE(callHelp);  // left to the application
    // Through the application's entry the classic engine gets it with the application's file.
    EXPECT_TRUE(Ask(HELP_CONTEXT, 4));
    ASSERT_EQ(engine.Calls.size(), 1u);
    EXPECT_EQ(engine.Last().Engine, "win");
    EXPECT_EQ(engine.Last().File, "/hilfe/Velmoran.hlp");
    EXPECT_EQ(engine.Last().Data, 4);
    EXPECT_FALSE(router.TextPopup(1, 1, "x", 0));
}

TEST_F(Router, TheHelpFileOfTheFormThatOwnsTheRouter)
{
    QWidget form;
    auto* inner = new QWidget(&form);
    THelpRouter router(inner);
    EXPECT_EQ(router.CurrentHelpFile(), "/hilfe/Velmoran.hlp");
    form.setProperty("helpFile", QStringLiteral("/dialog/Eigen.hlp"));
    EXPECT_EQ(router.CurrentHelpFile(), "/dialog/Eigen.hlp");
    EXPECT_EQ(router.OwnerWindow(), &form);
    router.SetHelpfile("/router/R.hlp");
    EXPECT_EQ(router.CurrentHelpFile(), "/router/R.hlp");
    EXPECT_TRUE(Ask(HELP_CONTEXT, 1));
    EXPECT_EQ(engine.Last().Owner, &form);
}

}  // namespace
}  // namespace velmoran
