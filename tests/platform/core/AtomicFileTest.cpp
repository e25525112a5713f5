// Saving never leaves a half-written file, and a save cut short is taken back or completed when
// the files are next opened.
#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

TEST(AtomicFile, SavingThroughASymbolicLinkKeepsTheLink)
{
    // The link and the file it names in another folder, reached over a second, relative link.
    const TempFolder dir;
    fs::create_directories(dir / "data");
    const std::string target = dir / "data/plant.vda";
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    ::chmod(target.c_str(), 0600);
    fs::create_symlink("data/plant.vda", dir / "inner.vda");
    fs::create_symlink(dir / "inner.vda", dir / "plant.vda");
    ASSERT_TRUE(WriteFileAtomically(dir / "plant.vda", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "plant.vda"));
    EXPECT_TRUE(fs::is_symlink(dir / "inner.vda"));
    EXPECT_EQ(ReadFileBytes(target), "new");
    struct stat info {};
    ::stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(EntryCount(dir), 3u);  // no temporary file in either folder
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);

    // A link to a file that does not exist yet creates it.
    fs::create_symlink("data/new.vdh", dir / "new.vdh");
    ASSERT_TRUE(WriteFileAtomically(dir / "new.vdh", "made"));
    EXPECT_TRUE(fs::is_symlink(dir / "new.vdh"));
    EXPECT_EQ(ReadFileBytes(dir / "data/new.vdh"), "made");
}

TEST(AtomicFile, FilesSavedTogetherAllChangeOrNone)
{
    const TempFolder dir;
    const std::string first = dir / "plant.vdh", second = dir / "plant.vda";
    ASSERT_TRUE(WriteFilesAtomically({{first, "one"}, {second, "two"}}));
    EXPECT_EQ(ReadFileBytes(first), "one");
    EXPECT_EQ(ReadFileBytes(second), "two");

    // The second file cannot be replaced (a folder stands in its place): the first gets its old
    // contents back, and a first file that did not exist before goes again.
    fs::remove(second);
    fs::create_directories(second + "/inside");
    const SaveResult result = WriteFilesAtomically({{first, "ONE"}, {second, "TWO"}});
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Message.find("plant.vda"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(first), "one");
    EXPECT_TRUE(fs::is_directory(second + "/inside"));
    EXPECT_EQ(EntryCount(dir), 2u);
    const std::string fresh = dir / "fresh.vdh";
    EXPECT_FALSE(WriteFilesAtomically({{fresh, "x"}, {second, "y"}}).Ok);
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(EntryCount(dir), 2u);
}

namespace {
// A file system without hard links, as FAT sticks and many network shares are.
int NoHardLinks(const char*, const char*)
{
    errno = EPERM;
    return -1;
}
}  // namespace

TEST(AtomicFile, PairsAreSavedWhereThereAreNoHardLinks)
{
    const ScopedFileSystemCalls fat({.Link = NoHardLinks, .Rename = {}});
    const TempFolder dir;
    const std::string first = dir / "plant.vdh", second = dir / "plant.vda";
    ASSERT_TRUE(WriteFilesAtomically({{first, "one"}, {second, "two"}}));
    const SaveResult again = WriteFilesAtomically({{first, "ONE"}, {second, "TWO"}});
    EXPECT_TRUE(again.Ok) << again.Message;
    EXPECT_EQ(ReadFileBytes(first), "ONE");
    EXPECT_EQ(ReadFileBytes(second), "TWO");
    EXPECT_EQ(EntryCount(dir), 2u);  // the old files and the temporaries are gone
}

TEST(AtomicFile, WithoutHardLinksAFailureBringsTheOldPairBack)
{
    const TempFolder dir;
    const std::string first = dir / "plant.vdh", second = dir / "plant.vda";
    ASSERT_TRUE(WriteFilesAtomically({{first, "one"}, {second, "two"}}));
    // Each rename of a new file onto one target fails in turn: the other file, already replaced
    // or not, holds its old bytes again, and nothing is left beside them.
    for (const std::string& failing : {first, second}) {
        static std::string refused;
        refused = failing;
        const ScopedFileSystemCalls fat({.Link = NoHardLinks, .Rename = [](const char* from, const char* to) {
                                             if (refused == to && std::string(from).find(".~tmp") != std::string::npos) {
                                                 errno = EIO;
                                                 return -1;
                                             }
                                             return ::rename(from, to);
                                         }});
        const SaveResult result = WriteFilesAtomically({{first, "ONE"}, {second, "TWO"}});
        EXPECT_FALSE(result.Ok) << failing;
        EXPECT_NE(result.Message.find(fs::path(failing).filename().string()), std::string::npos);
        EXPECT_EQ(ReadFileBytes(first), "one") << failing;
        EXPECT_EQ(ReadFileBytes(second), "two") << failing;
        EXPECT_EQ(EntryCount(dir), 2u) << failing;
    }
}

TEST(AtomicFile, MissingFolderIsReported)
{
    const SaveResult result = WriteFileAtomically("/nonexistent-velmoran-folder/x.vda", "bytes");
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Message.empty());
}

// The look before a writer that cannot say why it failed: a file that is there keeps its
// contents, one that was not there is not left behind, and a failure carries a German reason.
TEST(AtomicFile, WriteAccessIsTriedWithoutChangingAnything)
{
    const TempFolder dir;
    const std::string kept = dir / "Bericht.pdf";
    ASSERT_TRUE(WriteFileAtomically(kept, "alt"));
    EXPECT_EQ(WriteAccessError(kept), 0);
    EXPECT_EQ(ReadFileBytes(kept), "alt");
    EXPECT_EQ(WriteAccessError(dir / "neu.pdf"), 0);
    EXPECT_EQ(EntryCount(dir), 1u);

    EXPECT_EQ(WriteAccessError(dir / "fehlt/neu.pdf"), ENOENT);
    EXPECT_EQ(WriteAccessError(kept + "/neu.pdf"), ENOTDIR);
    EXPECT_EQ(WriteAccessError(dir.Folder()), EISDIR);
    EXPECT_EQ(FileErrorReason(ENOTDIR), "Ein Teil des Pfades ist kein Ordner.");
    EXPECT_EQ(FileErrorReason(EACCES), "Keine Berechtigung zum Schreiben an diesem Ort.");
    EXPECT_EQ(EntryCount(dir), 1u);
}

namespace {
// The folder as a kill would leave it: a copy of every file in it, taken at each step of a save.
class Snapshots {
public:
    explicit Snapshots(const TempFolder& dir) : dir_(dir) {}
    void Take()
    {
        auto copy = std::make_unique<TempFolder>();
        for (const auto& entry : fs::directory_iterator(dir_.Folder()))
            fs::copy_file(entry.path(), copy->Folder() + entry.path().filename().string());
        taken_.push_back(std::move(copy));
    }
    const std::vector<std::unique_ptr<TempFolder>>& Taken() const { return taken_; }

private:
    const TempFolder& dir_;
    std::vector<std::unique_ptr<TempFolder>> taken_;
};
Snapshots* steps = nullptr;
bool hardLinks = true;

int LinkWithSnapshots(const char* from, const char* to)
{
    steps->Take();
    if (!hardLinks) {
        errno = EPERM;
        return -1;
    }
    const int result = ::link(from, to);
    steps->Take();
    return result;
}

int RenameWithSnapshots(const char* from, const char* to)
{
    steps->Take();
    const int result = ::rename(from, to);
    steps->Take();
    return result;
}

bool KeptCopyLeft(const std::string& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".~old") != std::string::npos)
            return true;
    return false;
}
}  // namespace

// A save killed at any step, with or without hard links, leaves a pair that, once the opening has
// taken back what the save left, is all old or all new, never a new first file beside an old
// second one; and nothing of the save stays beside them.
TEST(AtomicFile, AnInterruptedSaveIsTakenBackOrCompletedOnOpening)
{
    for (const bool withLinks : {true, false}) {
        const TempFolder dir;
        const std::string first = dir / "plant.vdh", second = dir / "plant.vda";
        ASSERT_TRUE(WriteFilesAtomically({{first, "one"}, {second, "two"}}));
        Snapshots snapshots(dir);
        steps = &snapshots;
        hardLinks = withLinks;
        {
            const ScopedFileSystemCalls seams({.Link = LinkWithSnapshots, .Rename = RenameWithSnapshots});
            ASSERT_TRUE(WriteFilesAtomically({{first, "ONE"}, {second, "TWO"}}));
        }
        steps = nullptr;
        ASSERT_GE(snapshots.Taken().size(), 4u);
        bool mixSeen = false;
        for (const auto& snapshot : snapshots.Taken()) {
            const std::string h = *snapshot / "plant.vdh", a = *snapshot / "plant.vda";
            ASSERT_TRUE(fs::exists(h)) << "the first file is never missing";
            mixSeen = mixSeen || (TempFolder::Read(h) == "ONE" && TempFolder::Read(a) == "two");
            RecoverInterruptedSave({h, a});
            const std::string pair = TempFolder::Read(h) + TempFolder::Read(a);
            EXPECT_TRUE(pair == "onetwo" || pair == "ONETWO") << pair << " with links: " << withLinks;
            EXPECT_FALSE(KeptCopyLeft(snapshot->Folder()));
            // The next save of the pair goes as always.
            ASSERT_TRUE(WriteFilesAtomically({{h, "eins"}, {a, "zwei"}}));
            EXPECT_EQ(TempFolder::Read(h) + TempFolder::Read(a), "einszwei");
        }
        EXPECT_TRUE(mixSeen) << "a step between the two renames was taken";
    }
}

// An aside copy whose file is missing (left by an earlier program without its marker) is taken
// back too; the kept copies of a save that finished are only removed.
TEST(AtomicFile, OpeningTakesBackAnAsideCopyWhoseFileIsMissing)
{
    const TempFolder dir;
    const std::string first = dir / "plant.vdh", second = dir / "plant.vda";
    TempFolder::Write(first + ".~oldAbC123", "one");
    TempFolder::Write(second, "two");
    RecoverInterruptedSave({first, second});
    EXPECT_EQ(TempFolder::Read(first), "one");
    TempFolder::Write(first + ".~oldXyZ789", "older");
    RecoverInterruptedSave({first, second});
    EXPECT_EQ(TempFolder::Read(first), "one");
    EXPECT_EQ(EntryCount(dir), 2u);
}
