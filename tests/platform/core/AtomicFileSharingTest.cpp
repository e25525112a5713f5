// Files saved together that two windows or two users share: a save holds a lock that openings and
// other saves respect, never writes over a change it has not seen, loses no kept copy to another
// program that removes its files, fits names as long as a folder takes, reads little of a large
// file it replaces, and leftovers planted beside a whole pair never lock its user out.
#include "platform/core/AtomicFile.h"
#include "platform/core/Text.h"

#include "tests/support/InterruptedSaves.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace velmoran;
using velmoran::testing::EntryNames;
using velmoran::testing::SaveLeftoversIn;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// The pair of these tests, as saved and as read back.
std::vector<SavedFile> SharedPair(const TempFolder& dir)
{
    return {{dir / "plant.vdh", 3}, {dir / "plant.vda", 3}};
}

std::string SharedPairText(const TempFolder& dir)
{
    return TempFolder::Read(dir / "plant.vdh") + TempFolder::Read(dir / "plant.vda");
}

SaveResult SaveSharedPair(const TempFolder& dir, const std::string& first, const std::string& second)
{
    return WriteFilesAtomically({{dir / "plant.vdh", first, 3}, {dir / "plant.vda", second, 3}});
}

// Runs `between` once, at the first rename of a save's new file onto its target: after every new
// file is written and the old ones are kept, before anything is replaced.
FileSystemCalls BetweenWritesAndRenames(std::function<void()> between)
{
    return {.Rename = [between, done = false](const char* from, const char* to) mutable {
                if (!done && std::string(from).find(".~tmp") != std::string::npos) {
                    done = true;
                    between();
                }
                return ::rename(from, to);
            },
            .Sync = velmoran::testing::NoSync,
            .Wait = velmoran::testing::NoWait};
}

// A lock file as a program on another computer leaves it, made at `time`.
void PlantForeignLock(const TempFolder& dir, std::time_t time)
{
    TempFolder::Write(dir / "plant.vda.~lock",
                      "Velmoran\npid=4242\nhost=rechner-im-keller\ntime=" + std::to_string(time) + "\nid=abc\n");
}

}  // namespace

// An opening (another window, a colleague) and a second save that come while a save has written
// its new files and kept the old ones: each waits, then refuses with a message naming the file and
// its lock, and the save completes untouched. A lock of another computer is waited for, and one
// that has not changed for two minutes of watching it from here is taken over.
TEST(AtomicFile, ASaveHoldsALockThatOpeningsAndOtherSavesRespect)
{
    const TempFolder dir;
    ASSERT_TRUE(SaveSharedPair(dir, "one", "two"));
    RecoveredFiles opened;
    SaveResult second;
    {
        const ScopedFileSystemCalls seams(BetweenWritesAndRenames([&] {
            opened = RecoverInterruptedSave(SharedPair(dir));
            second = SaveSharedPair(dir, "uno", "dos");
        }));
        const SaveResult first = SaveSharedPair(dir, "ONE", "TWO");
        EXPECT_TRUE(first.Ok) << first.Message;
    }
    EXPECT_EQ(SharedPairText(dir), "ONETWO");
    EXPECT_FALSE(SaveLeftoversIn(dir.Folder()));
    EXPECT_FALSE(opened.Ok);
    EXPECT_EQ(opened.Message, "Die Datei „" + dir / "plant.vda" +
                                  "“ kann gerade nicht geöffnet werden: Sie wird laut der Sperrdatei „" +
                                  dir / "plant.vda.~lock" +
                                  "“ gerade in einem anderen Fenster oder von einem anderen Benutzer auf diesem "
                                  "Rechner gespeichert oder gelesen. Bitte versuchen Sie es gleich noch einmal.");
    EXPECT_FALSE(second.Ok);
    EXPECT_NE(second.Message.find("„" + dir / "plant.vda" + "“ konnte nicht gespeichert werden: Sie wird laut"),
              std::string::npos)
        << second.Message;

    // The lock is gone with the save: the next opening and save go ahead.
    EXPECT_TRUE(RecoverInterruptedSave(SharedPair(dir)).Ok);
    EXPECT_TRUE(SaveSharedPair(dir, "uno", "dos"));

    std::int64_t clock = 0;
    const ScopedFileSystemCalls watched(
        {.Wait = [&clock](int milliseconds) { clock += milliseconds; }, .Clock = [&clock] { return clock; }});
    PlantForeignLock(dir, std::time(nullptr));
    const RecoveredFiles refused = RecoverInterruptedSave(SharedPair(dir));
    EXPECT_FALSE(refused.Ok);
    EXPECT_NE(refused.Message.find("auf dem Rechner „rechner-im-keller“"), std::string::npos) << refused.Message;
    EXPECT_FALSE(SaveSharedPair(dir, "ONE", "TWO"));
    EXPECT_EQ(SharedPairText(dir), "unodos");
    clock += 120'000;
    EXPECT_TRUE(SaveSharedPair(dir, "ONE", "TWO"));
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"plant.vda", "plant.vdh"}));
}

// The caller says what it last saw of the files: a file another changed since is not written
// over (and the message names it), a file gone since is no change to lose, and what the opening
// reports is what a later save compares with.
TEST(AtomicFile, ASaveOverAChangeItHasNotSeenIsRefused)
{
    const TempFolder dir;
    ASSERT_TRUE(SaveSharedPair(dir, "one", "two"));
    // What an opening saw; its lock goes with it.
    const std::vector<std::string> seen = RecoverInterruptedSave(SharedPair(dir)).Fingerprints;
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], BytesFingerprint("two"));
    const auto saveOver = [&] {
        return WriteFilesAtomically({{dir / "plant.vdh", "ONE", 3, seen[0]}, {dir / "plant.vda", "TWO", 3, seen[1]}});
    };
    TempFolder::Write(dir / "plant.vda", "dos");
    const SaveResult refused = saveOver();
    EXPECT_FALSE(refused.Ok);
    EXPECT_TRUE(refused.ChangedOnDisk);
    EXPECT_NE(refused.Message.find(Quoted(dir / "plant.vda") + " wurde geändert"), std::string::npos) << refused.Message;
    EXPECT_EQ(SharedPairText(dir), "onedos");
    EXPECT_FALSE(SaveLeftoversIn(dir.Folder()));

    TempFolder::Write(dir / "plant.vda", "two");
    fs::remove(dir / "plant.vdh");
    EXPECT_TRUE(saveOver());
    EXPECT_EQ(SharedPairText(dir), "ONETWO");
}

// A program that does not respect the lock removes the save's new last file (its marker) after
// the first file was replaced: the save takes the first file back from the copy it kept, says that
// another program removed its file (not that the folder takes none), and leaves the old pair,
// with hard links and without. A single file saved the same way says the same.
TEST(AtomicFile, ASaveWhoseFileAnotherRemovedKeepsTheOldPair)
{
    for (const bool hardLinks : {true, false}) {
        SCOPED_TRACE(hardLinks ? "hard links" : "no hard links");
        const TempFolder dir;
        ASSERT_TRUE(SaveSharedPair(dir, "one", "two"));
        const std::string removed = "Ein anderes Programm hat die neue Fassung entfernt, bevor sie an ihre Stelle kam.";
        const ScopedFileSystemCalls seams(
            {.Link = [hardLinks](const char* from, const char* to) {
                 if (hardLinks)
                     return ::link(from, to);
                 errno = EPERM;
                 return -1;
             },
             .Rename = [](const char* from, const char* to) {
                 const int result = ::rename(from, to);
                 if (std::string(to).ends_with("plant.vdh") && std::string(from).find(".~tmp") != std::string::npos)
                     for (const std::string& name : EntryNames(fs::path(to).parent_path().string() + "/"))
                         if (name.starts_with("plant.vda.~tmp"))
                             ::unlink((fs::path(to).parent_path() / name).c_str());
                 return result;
             },
             .Sync = velmoran::testing::NoSync});
        const SaveResult result = SaveSharedPair(dir, "ONE", "TWO");
        EXPECT_FALSE(result.Ok);
        EXPECT_EQ(result.Message, "Die Datei „" + dir / "plant.vda" + "“ konnte nicht gespeichert werden: " + removed);
        EXPECT_EQ(SharedPairText(dir), "onetwo");
        EXPECT_FALSE(SaveLeftoversIn(dir.Folder()));
    }

    const TempFolder dir;
    const ScopedFileSystemCalls seams({.Rename = [](const char* from, const char* to) {
        ::unlink(from);
        return ::rename(from, to);
    }});
    const SaveResult single = WriteFileAtomically(dir / "Velmoran.conf", "text");
    EXPECT_FALSE(single.Ok);
    EXPECT_NE(single.Message.find("Ein anderes Programm hat die neue Fassung entfernt"), std::string::npos)
        << single.Message;
}

// Names as long as the folder takes (237 to 255 bytes: the temporary's tag and token no longer fit
// behind them) save in place, alone and as a pair, and leave nothing behind; a pair of such names
// killed at every step of its save opens all old or all new.
TEST(AtomicFile, NamesAsLongAsTheFolderTakesSaveInPlace)
{
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    for (const std::size_t length : {237u, 246u, 255u}) {
        SCOPED_TRACE(length);
        const TempFolder dir;
        const std::string stem(length - 4, 'a');
        const std::string first = dir / (stem + ".vdh"), second = dir / (stem + ".vda");
        ASSERT_TRUE(WriteFileAtomically(first, "one"));
        const SaveResult alone = WriteFileAtomically(first, "uno");
        EXPECT_TRUE(alone.Ok) << alone.Message;
        ASSERT_TRUE(WriteFileAtomically(second, "two"));
        for (const std::string round : {"ONETWO", "unodos"}) {
            const SaveResult pair = WriteFilesAtomically({{first, round.substr(0, 3)}, {second, round.substr(3)}});
            EXPECT_TRUE(pair.Ok) << pair.Message;
            EXPECT_EQ(TempFolder::Read(first) + TempFolder::Read(second), round);
            EXPECT_EQ(EntryNames(dir.Folder()).size(), 2u);
        }
    }
    // Characters of more than one byte are never cut in the side names.
    const TempFolder live;
    std::string umlauts;
    for (int i = 0; i < 124; ++i)
        umlauts += "ä";
    const std::string first = live / (umlauts + ".vdh"), second = live / (umlauts + ".vda");
    ASSERT_TRUE(WriteFilesAtomically({{first, "one", 3}, {second, "two", 3}}));
    const auto steps = velmoran::testing::StepsOfSave(live, false, [&] {
        ASSERT_TRUE(WriteFilesAtomically({{first, "ONE", 3}, {second, "TWO", 3}}));
    });
    ASSERT_GE(steps.size(), 8u);
    for (const auto& [step, killed] : steps) {
        SCOPED_TRACE(step);
        {
            const RecoveredFiles recovered =
                RecoverInterruptedSave({{*killed / (umlauts + ".vdh"), 3}, {*killed / (umlauts + ".vda"), 3}});
            ASSERT_TRUE(recovered.Ok) << recovered.Message;
            const std::string read = TempFolder::Read(recovered.ReadFrom[0]) + TempFolder::Read(recovered.ReadFrom[1]);
            EXPECT_TRUE(read == "onetwo" || read == "ONETWO") << read;
        }
        EXPECT_FALSE(SaveLeftoversIn(killed->Folder()));
        for (const std::string& name : EntryNames(killed->Folder()))
            EXPECT_LE(name.size(), 255u);
    }
}

// Saving onto a large file (a save as over some other file of that name) reads of it only its
// ends to fingerprint it, whatever its size; the fingerprint of a file is the one of its bytes, and
// a change at the end of a large file changes it.
TEST(AtomicFile, TheFingerprintOfALargeFileReadsItsEndsOnly)
{
    const TempFolder dir;
    const std::string large = dir / "gross.vda";
    const int fd = ::open(large.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{64} << 20), 0);
    ::close(fd);
    static std::size_t readBytes;
    readBytes = 0;
    {
        const ScopedFileSystemCalls counted({.Read = [](int file, char* buffer, std::size_t size, off_t offset) {
            const ssize_t n = ::pread(file, buffer, size, offset);
            readBytes += n > 0 ? static_cast<std::size_t>(n) : 0;
            return n;
        }});
        const std::string before = FileFingerprint(large);
        EXPECT_LE(readBytes, std::size_t{256} << 10);
        ASSERT_TRUE(WriteFilesAtomically({{dir / "gross.vdh", "neu", 3}, {large, "neu", 3}}));
        EXPECT_LE(readBytes, std::size_t{512} << 10);
        EXPECT_NE(before, FileFingerprint(large));
    }
    std::string bytes(std::size_t{3} << 20, 'x');
    TempFolder::Write(large, bytes);
    EXPECT_EQ(FileFingerprint(large), BytesFingerprint(bytes));
    bytes.back() = 'y';
    EXPECT_NE(FileFingerprint(large), BytesFingerprint(bytes));
    EXPECT_EQ(FileFingerprint(dir / "gross.vdh"), BytesFingerprint("neu"));
}

// Leftovers a save of ours never makes, put beside a pair that is whole: an empty marker with a
// kept copy that is a link (into another folder) or a folder. The opening reads the pair as it is,
// leaves the link, its target and the folder alone, and says so once.
TEST(AtomicFile, PlantedLeftoversNeverLockOutAWholePair)
{
    const TempFolder elsewhere;
    const std::string foreign = elsewhere.WriteFile("fremd", "fremde Daten");
    for (const bool asLink : {true, false}) {
        SCOPED_TRACE(asLink ? "link" : "folder");
        const TempFolder dir;
        ASSERT_TRUE(SaveSharedPair(dir, "one", "two"));
        const std::string token = "abcdef" + FileFingerprint(dir / "plant.vda");
        const std::string kept = dir / ("plant.vdh.~old" + token);
        TempFolder::Write(dir / ("plant.vda.~tmp" + token), "");
        if (asLink)
            fs::create_symlink(foreign, kept);
        else
            fs::create_directory(kept);

        {
            const RecoveredFiles opened = RecoverInterruptedSave(SharedPair(dir));
            ASSERT_TRUE(opened.Ok) << opened.Message;
            EXPECT_EQ(opened.ReadFrom, (std::vector<std::string>{dir / "plant.vdh", dir / "plant.vda"}));
            EXPECT_EQ(opened.Message, "Neben den Dateien „" + dir / "plant.vdh" + "“ und „" + dir / "plant.vda" +
                                          "“ liegt „" + kept +
                                          "“, das keine Datei einer Speicherung ist; es wurde nicht verändert, und "
                                          "die Dateien wurden gelesen, wie sie sind.");
        }
        EXPECT_EQ(SharedPairText(dir), "onetwo");
        EXPECT_TRUE(asLink ? fs::is_symlink(kept) : fs::is_directory(fs::symlink_status(kept)));
        EXPECT_EQ(TempFolder::Read(foreign), "fremde Daten");
        const RecoveredFiles again = RecoverInterruptedSave(SharedPair(dir));
        EXPECT_TRUE(again.Ok);
        EXPECT_EQ(again.Message, "");
    }
}
