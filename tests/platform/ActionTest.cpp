// The action: links hear of real changes only (also of its image list's), a link that is gone
// drops out, Execute runs only an enabled action's handler; hints split at the bar.
#include "platform/Action.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>

using namespace velmoran;

TEST(Action, LinksHearOfRealChangesWhileTheyLive)
{
    Action action;
    auto link = std::make_unique<QObject>();
    int told = 0;
    action.RegisterChanges(link.get(), [&] { ++told; });
    action.SetCaption("&Weiter");
    action.SetCaption("&Weiter");
    action.SetEnabled(false);
    action.SetChecked(true);
    action.SetHint("Nächste Seite|Zeigt die nächste Eingabeseite");
    action.SetVisible(false);
    action.SetImageIndex(2);
    action.SetImageIndex(2);
    EXPECT_EQ(told, 6);

    // The image list's own changes reach the links through the action.
    ImageList images(16, 16);
    action.SetImages(&images);
    EXPECT_EQ(told, 7);
    images.Add(QImage(16, 16, QImage::Format_ARGB32));
    EXPECT_EQ(told, 8);

    // A link that is gone is no longer told; a second registration replaces the first.
    link.reset();
    action.SetCaption("Zurück");
    EXPECT_EQ(told, 8);
    QObject other;
    action.RegisterChanges(&other, [&] { told += 10; });
    action.RegisterChanges(&other, [&] { told += 100; });
    action.SetCaption("Weiter");
    EXPECT_EQ(told, 108);
    action.UnRegisterChanges(&other);
    action.SetCaption("Ende");
    EXPECT_EQ(told, 108);
}

TEST(Action, ExecuteRunsTheHandlerOfAnEnabledAction)
{
    Action action;
    EXPECT_FALSE(action.Execute());  // no handler
    int runs = 0;
    action.OnExecute = [&](Action& sender) {
        EXPECT_EQ(&sender, &action);
        ++runs;
    };
    EXPECT_TRUE(action.Execute());
    action.SetEnabled(false);
    EXPECT_FALSE(action.Execute());
    EXPECT_EQ(runs, 1);
}

TEST(Action, HintSplitsIntoShortAndLongPart)
{
    EXPECT_EQ(ShortHint("Öffnen|Öffnet eine Berechnung"), "Öffnen");
    EXPECT_EQ(LongHint("Öffnen|Öffnet eine Berechnung"), "Öffnet eine Berechnung");
    EXPECT_EQ(ShortHint("Drucken"), "Drucken");
    EXPECT_EQ(LongHint("Drucken"), "Drucken");
    EXPECT_EQ(ShortHint("|nur lang"), "");
    EXPECT_EQ(LongHint("kurz|"), "");
}
