// Saving never leaves a half-written file.
#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace velmoran;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {
std::size_t EntryCount(const TempFolder& dir)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Folder()), fs::directory_iterator()));
}
}  // namespace

TEST(AtomicFile, ReplacesContentsAndKeepsPermissions)
{
    const TempFolder dir;
    const std::string file = dir / "plant.vda";
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(file, "new contents"));
    EXPECT_EQ(ReadFileBytes(file), "new contents");
    struct stat info {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(EntryCount(dir), 1u);  // no temporary file left behind
}

TEST(AtomicFile, FailingProducerLeavesTheOldFile)
{
    const TempFolder dir;
    const std::string file = dir / "plant.vda";
    ASSERT_TRUE(WriteFileAtomically(file, "precious"));
    const SaveResult result = WriteFileAtomically(file, [](TStream& out) {
        out.WriteString("half");
        throw EWriteError();
    });
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Message.find("konnte nicht gespeichert werden"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), "precious");
    EXPECT_EQ(EntryCount(dir), 1u);
}

TEST(AtomicFile, FailingRenameLeavesTheOldFileAndNoTemporary)
{
    const TempFolder dir;
    // The target is a non-empty folder: the rename over it must fail.
    const std::string target = dir / "occupied";
    fs::create_directories(target + "/inside");
    const SaveResult result = WriteFileAtomically(target, "bytes");
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(fs::is_directory(target + "/inside"));
    EXPECT_EQ(EntryCount(dir), 1u);
}

TEST(AtomicFile, MissingFolderIsReported)
{
    const SaveResult result = WriteFileAtomically("/nonexistent-velmoran-folder/x.vda", "bytes");
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Message.empty());
}
