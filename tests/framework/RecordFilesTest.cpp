// Whole-record files and stream images of the common record.
#include "framework/RecordFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace velmoran;
namespace fs = std::filesystem;

namespace {

class RecordFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("velmoran-framework-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    static TCommonRecord Random(unsigned seed)
    {
        TCommonRecord r;
        std::mt19937 gen(seed);
        for (auto& b : r.Raw())
            b = static_cast<std::uint8_t>(gen());
        return r;
    }
    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path dir_;
};

}  // namespace

TEST_F(RecordFiles, FileRoundTripIsByteExact)
{
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const TCommonRecord original = Random(seed);
        ASSERT_TRUE(SaveRecordToFile(original, Path("a.vda")));
        EXPECT_EQ(fs::file_size(Path("a.vda")), 6784u);
        TCommonRecord loaded;
        ASSERT_TRUE(LoadRecordFromFile(loaded, Path("a.vda")));
        EXPECT_EQ(loaded, original);
    }
}

TEST_F(RecordFiles, LongerFileLoadsItsFirstRecord)
{
    const TCommonRecord original = Random(7);
    std::string bytes(reinterpret_cast<const char*>(original.Data()), 6784);
    bytes += std::string(216, '\x55');
    WriteBytes(Path("long.vda"), bytes);
    TCommonRecord loaded;
    ASSERT_TRUE(LoadRecordFromFile(loaded, Path("long.vda")));
    EXPECT_EQ(loaded, original);
}

TEST_F(RecordFiles, ShortOrMissingFileChangesNothing)
{
    const TCommonRecord before = Random(3);
    TCommonRecord r = before;
    WriteBytes(Path("short.vda"), std::string(100, '\x01'));
    EXPECT_FALSE(LoadRecordFromFile(r, Path("short.vda")));
    EXPECT_FALSE(LoadRecordFromFile(r, Path("missing.vda")));
    WriteBytes(Path("almost.vda"), std::string(6783, '\x01'));
    EXPECT_FALSE(LoadRecordFromFile(r, Path("almost.vda")));
    EXPECT_FALSE(LoadRecordFromFile(r, dir_.string()));  // a folder
    EXPECT_EQ(r, before);
}

TEST_F(RecordFiles, ReadOnlyFileLoads)
{
    const TCommonRecord original = Random(11);
    ASSERT_TRUE(SaveRecordToFile(original, Path("ro.vda")));
    fs::permissions(Path("ro.vda"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TCommonRecord loaded;
    EXPECT_TRUE(LoadRecordFromFile(loaded, Path("ro.vda")));
    EXPECT_EQ(loaded, original);
}

TEST_F(RecordFiles, FailedSaveReportsAndKeepsTheOldFile)
{
    const TCommonRecord original = Random(5);
    const SaveResult bad = SaveRecordToFile(original, Path("no/such/folder/a.vda"));
    EXPECT_FALSE(bad);
    EXPECT_FALSE(bad.Message.empty());

    ASSERT_TRUE(SaveRecordToFile(original, Path("keep.vda")));
    fs::create_directory(Path("keep.vda.dir"));
    // A save over a folder fails; the file saved before is untouched.
    EXPECT_FALSE(SaveRecordToFile(Random(6), Path("keep.vda.dir")));
    TCommonRecord loaded;
    ASSERT_TRUE(LoadRecordFromFile(loaded, Path("keep.vda")));
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
