// Whole-record files and stream images of the common record.
#include "framework/RecordFiles.h"

#include "tests/framework/RecordHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

class RecordFiles : public ::testing::Test {
protected:
    static TCommonRecord Random(unsigned seed) { return velmoran::testing::RandomRecord<TCommonRecord>(seed); }
    TempFolder tmp;
};

}  // namespace

TEST_F(RecordFiles, FileRoundTripIsByteExact)
{
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const TCommonRecord original = Random(seed);
        ASSERT_TRUE(SaveRecordToFile(original, tmp / "a.vda"));
        EXPECT_EQ(fs::file_size(tmp / "a.vda"), 6784u);
        TCommonRecord loaded;
        ASSERT_TRUE(LoadRecordFromFile(loaded, tmp / "a.vda"));
        EXPECT_EQ(loaded, original);
    }
}

TEST_F(RecordFiles, LongerFileLoadsItsFirstRecord)
{
    const TCommonRecord original = Random(7);
    TempFolder::Write(tmp / "long.vda", velmoran::testing::Bytes(original) + std::string(216, '\x55'));
    TCommonRecord loaded;
    ASSERT_TRUE(LoadRecordFromFile(loaded, tmp / "long.vda"));
    EXPECT_EQ(loaded, original);
}

TEST_F(RecordFiles, ShortOrMissingFileChangesNothing)
{
    const TCommonRecord before = Random(3);
    TCommonRecord r = before;
    TempFolder::Write(tmp / "short.vda", std::string(100, '\x01'));
    EXPECT_FALSE(LoadRecordFromFile(r, tmp / "short.vda"));
    EXPECT_FALSE(LoadRecordFromFile(r, tmp / "missing.vda"));
    TempFolder::Write(tmp / "almost.vda", std::string(6783, '\x01'));
    EXPECT_FALSE(LoadRecordFromFile(r, tmp / "almost.vda"));
    EXPECT_FALSE(LoadRecordFromFile(r, tmp.Folder()));  // a folder
    EXPECT_EQ(r, before);
}

TEST_F(RecordFiles, ReadOnlyFileLoads)
{
    const TCommonRecord original = Random(11);
    ASSERT_TRUE(SaveRecordToFile(original, tmp / "ro.vda"));
    fs::permissions(tmp / "ro.vda", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TCommonRecord loaded;
    EXPECT_TRUE(LoadRecordFromFile(loaded, tmp / "ro.vda"));
    EXPECT_EQ(loaded, original);
}

TEST_F(RecordFiles, FailedSaveReportsAndKeepsTheOldFile)
{
    const TCommonRecord original = Random(5);
    const SaveResult bad = SaveRecordToFile(original, tmp / "no/such/folder/a.vda");
    EXPECT_FALSE(bad);
    EXPECT_FALSE(bad.Message.empty());

    ASSERT_TRUE(SaveRecordToFile(original, tmp / "keep.vda"));
    fs::create_directory(tmp / "keep.vda.dir");
    // A save over a folder fails; the file saved before is untouched.
    EXPECT_FALSE(SaveRecordToFile(Random(6), tmp / "keep.vda.dir"));
    TCommonRecord loaded;
    ASSERT_TRUE(LoadRecordFromFile(loaded, tmp / "keep.vda"));
    EXPECT_EQ(loaded, original);
}

TEST(RecordStreams, StreamImageStartsAtPositionZero)
{
    TCommonRecord original;
    for (std::size_t i = 0; i < TCommonRecord::kSize; ++i)
        original.Raw()[i] = static_cast<std::uint8_t>(i * 7);

    TMemoryStream stream(std::string(7000, '\xAA'));
    stream.SetPosition(123);
    SaveRecordToStream(original, stream);
    EXPECT_EQ(stream.Size(), 7000) << "a write never shortens a longer stream";
    EXPECT_EQ(static_cast<unsigned char>(stream.View()[6784]), 0xAA);

    stream.SetPosition(500);
    TCommonRecord loaded;
    ASSERT_TRUE(LoadRecordFromStream(loaded, stream));
    EXPECT_EQ(loaded, original);

    TMemoryStream shortStream(std::string(6000, '\x01'));
    EXPECT_FALSE(LoadRecordFromStream(loaded, shortStream));
    EXPECT_EQ(loaded, original);
}
