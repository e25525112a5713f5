// Saving never leaves a half-written file, and a save cut short is taken back or completed when
// the files are next opened.
#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"

#include "tests/support/InterruptedSaves.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
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
// The pair a recovery gives to read, as one text.
std::string PairRead(const RecoveredFiles& recovered)
{
    return recovered.ReadFrom.size() == 2 ? TempFolder::Read(recovered.ReadFrom[0]) + TempFolder::Read(recovered.ReadFrom[1])
                                          : std::string("(nichts)");
}

std::vector<SavedFile> Pair(const TempFolder& dir)
{
    return {{dir / "plant.vdh", 3}, {dir / "plant.vda", 3}};
}

std::vector<std::string> PairNames(const TempFolder& dir)
{
    return {dir / "plant.vdh", dir / "plant.vda"};
}

// Replaces every kept previous file in the folder by what `put` makes under its name.
bool ReplaceKeptFiles(const TempFolder& dir, const std::function<void(const std::string&)>& put)
{
    bool any = false;
    for (const std::string& name : velmoran::testing::EntryNames(dir.Folder()))
        if (name.find(".~old") != std::string::npos) {
            fs::remove(dir / name);
            put(dir / name);
            any = true;
        }
    return any;
}
}  // namespace

// A save of a pair killed at every step, with and without hard links, and with the first file
// there before or new: the opening finds the pair all old or all new, never a mix, and leaves
// nothing beside it. What could go wrong, each checked on its own copy of the killed folder:
// (a) a later save that completes without an opening first, and a pair written by other means
// since, must not get the killed save's older copy put over it; (b) a kept copy is never shorter
// than the file it keeps, whatever the step (a copy without hard links included); (c) in a folder
// that cannot be changed the opening reads a whole pair where it stands and says so, or refuses;
// (d) a kept copy that is a link or a folder is never put in the file's place.
TEST(AtomicFile, ASaveKilledAtAnyStepOpensAllOldOrAllNew)
{
    using velmoran::testing::CopyOfFolder;
    using velmoran::testing::SaveLeftoversIn;
    const TempFolder elsewhere;
    const std::string foreign = elsewhere.WriteFile("foreign", "xyz");
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    // Without a first file there is nothing to link or copy: one run covers both file systems.
    for (const auto& [hardLinks, firstThere] : {std::pair{true, true}, std::pair{false, true}, std::pair{true, false}}) {
        const TempFolder live;
        const std::string oldPair = firstThere ? "onetwo" : "two";
        if (firstThere)
            TempFolder::Write(live / "plant.vdh", "one");
        TempFolder::Write(live / "plant.vda", "two");
        const auto steps = velmoran::testing::StepsOfSave(live, hardLinks, [&] {
            ASSERT_TRUE(WriteFilesAtomically({{live / "plant.vdh", "ONE", 3}, {live / "plant.vda", "TWO", 3}}));
        });
        ASSERT_GE(steps.size(), 8u);
        bool refusalSeen = false;
        for (const auto& [step, killed] : steps) {
            SCOPED_TRACE(step + (hardLinks ? ", hard links" : ", no hard links") +
                         (firstThere ? "" : ", .vdh new"));
            const std::vector<std::string> entries = velmoran::testing::EntryNames(killed->Folder());
            const bool keptThere = std::ranges::any_of(entries, [](const std::string& name) {
                return name.find(".~old") != std::string::npos;
            });
            for (const std::string& name : entries)
                EXPECT_TRUE(name.find(".~old") == std::string::npos || TempFolder::Read(*killed / name) == "one")
                    << "(b) " << name;

            // (a) A save that completes leaves nothing an opening would take back.
            const auto saved = CopyOfFolder(killed->Folder());
            ASSERT_TRUE(WriteFilesAtomically({{*saved / "plant.vdh", "uno", 3}, {*saved / "plant.vda", "dos", 3}}));
            EXPECT_FALSE(SaveLeftoversIn(saved->Folder()));
            EXPECT_EQ(PairRead(RecoverInterruptedSave(Pair(*saved))), "unodos");
            if (SaveLeftoversIn(killed->Folder())) {
                // (a) The last file written since by another program makes the save's
                // leftovers stale: the first file stays as it stands.
                const auto written = CopyOfFolder(killed->Folder());
                const std::string firstNow = TempFolder::Read(*written / "plant.vdh");
                TempFolder::Write(*written / "plant.vda", "dos");
                EXPECT_EQ(PairRead(RecoverInterruptedSave(Pair(*written))), firstNow + "dos");

                // Kept copies and new files all cut short (by another program): where no pair
                // can be made, the opening says so, naming the files.
                const auto broken = CopyOfFolder(killed->Folder());
                for (const std::string& name : entries)
                    if (name.find(".~") != std::string::npos)
                        TempFolder::Write(*broken / name, "");
                const RecoveredFiles refused = RecoverInterruptedSave(Pair(*broken));
                if (!refused.Ok) {
                    refusalSeen = true;
                    EXPECT_NE(refused.Message.find(*broken / "plant.vdh"), std::string::npos);
                    EXPECT_NE(refused.Message.find(*broken / "plant.vda"), std::string::npos);
                } else {
                    EXPECT_TRUE(PairRead(refused) == oldPair || PairRead(refused) == "ONETWO") << PairRead(refused);
                }
            }
            // (d) Kept copies that are a link into another folder, or a folder.
            for (const bool asLink : {true, false}) {
                if (!keptThere)
                    break;
                const auto odd = CopyOfFolder(killed->Folder());
                ReplaceKeptFiles(*odd, [&](const std::string& name) {
                    if (asLink)
                        fs::create_symlink(foreign, name);
                    else
                        fs::create_directory(name);
                });
                const RecoveredFiles recoveredOdd = RecoverInterruptedSave(Pair(*odd));
                EXPECT_TRUE(PairRead(recoveredOdd) == oldPair || PairRead(recoveredOdd) == "ONETWO")
                    << "(d) " << PairRead(recoveredOdd);
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(*odd / "plant.vdh")));
                EXPECT_EQ(TempFolder::Read(foreign), "xyz");
            }

            // (c) Nothing in the folder can be changed: a whole pair is read where it stands.
            {
                const ScopedFileSystemCalls locked(velmoran::testing::ReadOnlyFolder());
                const RecoveredFiles inPlace = RecoverInterruptedSave(Pair(*killed));
                ASSERT_TRUE(inPlace.Ok) << inPlace.Message;
                EXPECT_TRUE(PairRead(inPlace) == oldPair || PairRead(inPlace) == "ONETWO") << PairRead(inPlace);
                EXPECT_EQ(inPlace.Message.empty(), inPlace.ReadFrom == PairNames(*killed));
            }
            EXPECT_EQ(velmoran::testing::EntryNames(killed->Folder()), entries);

            // The opening itself, last, on the folder as the kill left it; once read, nothing
            // is left, its lock included.
            {
                const RecoveredFiles recovered = RecoverInterruptedSave(Pair(*killed));
                ASSERT_TRUE(recovered.Ok) << recovered.Message;
                EXPECT_TRUE(PairRead(recovered) == oldPair || PairRead(recovered) == "ONETWO") << PairRead(recovered);
                EXPECT_EQ(recovered.ReadFrom, PairNames(*killed));
            }
            EXPECT_FALSE(SaveLeftoversIn(killed->Folder()));
        }
        EXPECT_EQ(refusalSeen, firstThere) << "a step between the two renames was taken";
    }
}

// An opening killed at each of its own steps, on a save killed at each of its steps: the next
// opening finishes the work (a take-back is never completed over half of it, leftovers removed
// are never taken for an unfinished save), so the pair is again all old or all new.
TEST(AtomicFile, AnOpeningKilledAtAnyStepIsFinishedNextTime)
{
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    for (const bool hardLinks : {true, false}) {
        const TempFolder live;
        TempFolder::Write(live / "plant.vdh", "one");
        TempFolder::Write(live / "plant.vda", "two");
        const auto steps = velmoran::testing::StepsOfSave(live, hardLinks, [&] {
            ASSERT_TRUE(WriteFilesAtomically({{live / "plant.vdh", "ONE", 3}, {live / "plant.vda", "TWO", 3}}));
        });
        bool takeBackCut = false;
        for (const auto& [step, killed] : steps) {
            std::string uncut;
            const auto opening = velmoran::testing::StepsOfSave(*killed, true, [&] {
                uncut = PairRead(RecoverInterruptedSave(Pair(*killed)));
            });
            takeBackCut = takeBackCut || (uncut == "onetwo" && opening.size() >= 3);
            for (const auto& [cutAt, cut] : opening) {
                EXPECT_EQ(PairRead(RecoverInterruptedSave(Pair(*cut))), uncut) << step << ", opening: " << cutAt;
                EXPECT_FALSE(velmoran::testing::SaveLeftoversIn(cut->Folder())) << step << ", opening: " << cutAt;
            }
        }
        EXPECT_TRUE(takeBackCut);
    }
}
