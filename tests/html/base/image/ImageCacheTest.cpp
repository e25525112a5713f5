// The image cache: how long pictures nobody uses any more stay, and what keeps them.
#include "html/base/image/ImageCache.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

std::unique_ptr<TBitmapItem> Picture(int w = 2, int h = 3)
{
    return std::make_unique<TBitmapItem>(std::make_unique<TBitmapImage>(QImage(w, h, QImage::Format_RGB32)), nullptr, 0);
}

}  // namespace

TEST(ImageCache, UnusedImageSurvivesFourLoadsAndGoesWithTheFifth)
{
    TStringBitmapList cache;
    cache.AddObject("b.gif", Picture());
    cache.DecUsage("b.gif");  // the document that loaded it is gone
    for (int load = 1; load <= 4; ++load) {
        cache.BumpAndCheck();
        ASSERT_EQ(cache.Count(), 1) << "after load " << load;
    }
    cache.BumpAndCheck();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(ImageCache, GetImageResetsTheAgeAndHeldImagesStay)
{
    TStringBitmapList cache;
    cache.AddObject("z.png", Picture(5, 7));
    cache.AddObject("a.png", Picture());
    ASSERT_EQ(cache.Strings(0), "a.png");  // sorted
    EXPECT_EQ(cache.AddObject("a.png", Picture()), 0);  // present: old entry kept
    EXPECT_EQ(cache.Count(), 2);
    cache.DecUsage("a.png");
    cache.DecUsage("z.png");
    for (int i = 0; i < 4; ++i)
        cache.BumpAndCheck();
    const int z = cache.IndexOf("z.png");
    TImageObject* image = cache.GetImage(z);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 5);
    cache.BumpAndCheck();  // a.png is freed, z.png is held again
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Strings(0), "z.png");
    cache.DecUsage("z.png");
    cache.SetCacheCount(0);  // bumped once since GetImage: freed
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.MaxCache, 0);
}

TEST(ImageCache, SetCacheCountZeroKeepsEntriesNeverBumped)
{
    TStringBitmapList cache;
    cache.AddObject("x", Picture());
    cache.DecUsage("x");
    cache.SetCacheCount(0);
    EXPECT_EQ(cache.Count(), 1);
    cache.BumpAndCheck();
    EXPECT_EQ(cache.Count(), 0);
}

// A document's holds may outlive the cache (a viewer drops its own cache before its document):
// giving them back then must not reach into the freed cache.
TEST(ImageCache, HoldsOutlivingTheirCacheGiveNothingBack)
{
    auto cache = std::make_unique<TStringBitmapList>();
    cache->AddObject("a.png", Picture());
    TImageCacheHolds holds;
    holds.Note(*cache, "a.png");
    cache.reset();
    holds.ReleaseAll();
    EXPECT_EQ(holds.Count(), 0);
}
