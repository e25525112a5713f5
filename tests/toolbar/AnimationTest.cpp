// The popup animation on an injected clock and cursor: only a popup opened by the mouse slides in,
// the steps follow the clock, the cursor entering the popup ends it with the full image, and the
// end is told once from the event loop.
#include "tests/toolbar/MenuFixture.h"
#include "toolbar/TBarAnimation.h"

namespace velmoran::testing {
namespace {

class Animation : public MenuFixture {
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        SystemParamsOverride().MenuAnimation = true;
        SystemParamsOverride().MenuFade = false;
        TBarPopupAnimation::Clock() = [this] { return now; };
        TBarPopupAnimation::CursorPos() = [this] { return cursor; };
        TBarPopupAnimation::Ended() = [this](TBarPopupWindow&) { ++ended; };
    }
    void TearDown() override
    {
        TBarPopupAnimation::Instance().End();
        MenuFixture::TearDown();
        TBarPopupAnimation::Clock() = [] { return 0LL; };
        TBarPopupAnimation::CursorPos() = [] { return QPoint(-1, -1); };
        TBarPopupAnimation::Ended() = nullptr;
    }
    long long now = 1000;
    QPoint cursor{-1, -1};
    int ended = 0;
};

TEST_F(Animation, OnlyAPopupOpenedByTheMouseAnimates)
{
    TBarPopupAnimation& animation = TBarPopupAnimation::Instance();
    AltKey('d');
    ASSERT_NE(Child(BarView()), nullptr);
    EXPECT_FALSE(animation.IsAnimating());
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    Click(bar, GlobalCentre(BarView(), file));
    TBarView* popup = Child(BarView());
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(animation.IsAnimating());
    EXPECT_EQ(animation.Window(), popup->Window());
    EXPECT_TRUE(popup->Window()->isVisible());
    // The mode goes on while it runs.
    Mouse(QEvent::MouseMove, bar, GlobalCentre(*popup, open));
    EXPECT_EQ(SelectedCaption(popup), "Öffnen...");
}

TEST_F(Animation, TheSlideFollowsTheClockAndEndsWithTheFullImage)
{
    EXPECT_EQ(SlideOffset(QSize(80, 100), 4, 128), QPoint(0, -50));
    EXPECT_EQ(SlideOffset(QSize(80, 100), 8, 128), QPoint(0, 50));
    EXPECT_EQ(SlideOffset(QSize(80, 100), 2, 0), QPoint(-80, 0));
    TBarPopupAnimation& animation = TBarPopupAnimation::Instance();
    Click(bar, GlobalCentre(BarView(), file));
    auto* window = static_cast<TBarPopupWindow*>(Child(BarView())->Window());
    ASSERT_TRUE(animation.IsAnimating());
    ASSERT_EQ(window->SlideDirection & 4, 4);
    const int height = window->height();
    EXPECT_EQ(animation.Offset(), QPoint(0, -height));
    // Less than 10 ms: no step.
    now += 5;
    animation.Step();
    EXPECT_EQ(animation.CurrentStep(), 0);
    now += 70;  // 75 ms of 150
    animation.Step();
    EXPECT_EQ(animation.CurrentStep(), 127);
    EXPECT_EQ(animation.Offset(), SlideOffset(window->size(), 4, 127));
    EXPECT_EQ(window->mask().boundingRect(), window->rect().translated(animation.Offset()));
    // The cursor comes into the popup: the animation ends at once.
    cursor = window->mapToGlobal(QPoint(5, 5));
    now += 10;
    animation.Step();
    EXPECT_FALSE(animation.IsAnimating());
    EXPECT_TRUE(window->mask().isEmpty());
    EXPECT_EQ(ended, 0);
    Settle();
    EXPECT_EQ(ended, 1);
}

TEST_F(Animation, TheDurationEndsItAndFadeUsesTheOpacity)
{
    TBarPopupAnimation& animation = TBarPopupAnimation::Instance();
    SystemParamsOverride().MenuFade = true;
    Click(bar, GlobalCentre(BarView(), file));
    QWidget* window = Child(BarView())->Window();
    ASSERT_TRUE(animation.IsAnimating());
    EXPECT_EQ(animation.CurrentStep(), 40);
    now += 100;
    animation.Step();
    EXPECT_EQ(animation.CurrentStep(), 100 * 255 / 175 + 40);
    now += 100;
    animation.Step();
    EXPECT_FALSE(animation.IsAnimating());
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 1.0);
    Settle();
    EXPECT_EQ(ended, 1);
}

}  // namespace
}  // namespace velmoran::testing
