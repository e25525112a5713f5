// The lock of files saved together as colleagues meet it: readable by all of them whatever their
// umask, judged by how long it stays unchanged where it cannot be read or names another computer
// (whose clock is not ours, and whose name may be ours), kept fresh by its holder, said where an
// entry that is no lock stands in its place, and never saved without where its note fails, where
// another takes it over before the note is there, or where a lock no program holds cannot be
// removed; where flock tells nothing, a lock without a note is watched as another computer's; a
// live holder's flock keeps its lock whatever its note says; a note cut short by a program killed
// while it wrote it is taken over at once; a note this computer left before it was started again
// is left when its own time is two minutes old.
#include "platform/core/AtomicFile.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include "tests/support/InterruptedSaves.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <optional>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace velmoran;
using velmoran::testing::EntryNames;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// The pair of these tests and its lock.
struct LockedPair {
    const TempFolder& Dir;

    std::string Lock() const { return Dir / "anlage.vda.~lock"; }
    std::vector<SavedFile> Files() const { return {{Dir / "anlage.vdh", 3}, {Dir / "anlage.vda", 3}}; }
    SaveResult Save(const std::string& first, const std::string& second) const
    {
        return WriteFilesAtomically({{Dir / "anlage.vdh", first, 3}, {Dir / "anlage.vda", second, 3}});
    }
    std::string Text() const { return TempFolder::Read(Dir / "anlage.vdh") + TempFolder::Read(Dir / "anlage.vda"); }
    // A lock as another program leaves it.
    void PlantLock(const std::string& host, long long time, const std::string& rest = {}) const
    {
        TempFolder::Write(Lock(), "Velmoran\npid=4242\nhost=" + host + "\ntime=" + std::to_string(time) +
                                      "\nid=abc\n" + rest);
    }
    // The note a save of this process writes, as a save killed while it holds the lock leaves it.
    std::string NoteOfASave(FileSystemCalls calls) const
    {
        std::string note;
        calls.Rename = [&](const char* from, const char* to) {
            note = TempFolder::Read(Lock());
            return ::rename(from, to);
        };
        const ScopedFileSystemCalls seams(std::move(calls));
        EXPECT_TRUE(Save("ONE", "TWO"));
        return note;
    }
};

// The clock by which locks are watched, moving only while a lock is waited for and when a test
// lets minutes pass.
struct WatchClock {
    std::int64_t Now = 0;

    FileSystemCalls Calls(FileSystemCalls calls = {})
    {
        calls.Wait = [this](int milliseconds) { Now += milliseconds; };
        calls.Clock = [this] { return Now; };
        calls.Sync = velmoran::testing::NoSync;
        return calls;
    }
};

std::string ThisHost()
{
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

int CreateForWriting(const char* name)
{
    return ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

// flock as on a share where it does not reach the server.
int NoFlock(int, int)
{
    errno = ENOLCK;
    return -1;
}

// A folder without hard links (FAT sticks, many shares): the lock is made at its name.
int NoLink(const char*, const char*)
{
    errno = EPERM;
    return -1;
}

// The number of a process that has ended.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// The note a save of this process writes where there are no hard links, as a program of process
// `holder` writes it, and the length at which a note cut short names its holder (its process,
// computer and time lines are whole).
std::pair<std::string, std::size_t> NoteOfAnother(const LockedPair& pair, FileSystemCalls calls, pid_t holder)
{
    calls.Link = NoLink;
    const std::string own = pair.NoteOfASave(std::move(calls)), pid = "pid=" + std::to_string(::getpid()) + "\n";
    std::string note = own;
    note.replace(note.find(pid), pid.size(), "pid=" + std::to_string(holder) + "\n");
    return {note, note.find('\n', note.find("\ntime=") + 1) + 1};
}

// The lengths a note is cut to: nothing, and in the middle, at the end and after the end of each
// of its lines.
std::vector<std::size_t> CutsOf(const std::string& note)
{
    std::vector<std::size_t> cuts = {0};
    for (std::size_t start = 0, end; (end = note.find('\n', start)) != std::string::npos; start = end + 1)
        cuts.insert(cuts.end(), {(start + end) / 2, end, end + 1});
    return cuts;
}

void MakeThreeMinutesOld(const std::string& file)
{
    const struct timespec threeMinutesAgo[2] = {{std::time(nullptr) - 180, 0}, {std::time(nullptr) - 180, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), threeMinutesAgo, 0), 0);
}

}  // namespace

// A colleague whose umask is 077 once made locks no one else could read (a program killed before
// it made its lock readable left one so too), and a lock that could not be read counted as live
// for ever: every save and opening of the others waited and was refused until someone removed it
// by hand. A lock is now readable by all and names its holder from its first moment at its name;
// one that cannot be read is waited for while it changes, and the refusal names it and says when
// to try again; it is taken over when it has not changed for two minutes, by its own time (at the
// first look after a start) or while this program watched it.
TEST(SaveLock, ColleaguesCanReadEveryLockAndOneTheyCannotIsJudgedByItsAge)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    std::optional<mode_t> firstMode;
    std::string firstNote;
    {
        const mode_t umask = ::umask(077);
        const ScopeExit restore([umask] { ::umask(umask); });
        // The lock as the first who looks at it after each step finds it.
        const auto look = [&](int result) {
            struct stat info {};
            if (!firstMode && ::stat(pair.Lock().c_str(), &info) == 0) {
                firstMode = info.st_mode & 07777;
                firstNote = TempFolder::Read(pair.Lock());
            }
            return result;
        };
        const ScopedFileSystemCalls seams(
            {.Link = [&](const char* from, const char* to) { return look(::link(from, to)); },
             .Create = [&](const char* name) { return look(CreateForWriting(name)); },
             .Sync = velmoran::testing::NoSync});
        ASSERT_TRUE(pair.Save("ONE", "TWO"));
    }
    EXPECT_EQ(firstMode, std::optional<mode_t>(0644u));
    EXPECT_TRUE(firstNote.starts_with("Velmoran\npid=" + std::to_string(::getpid()) + "\n")) << firstNote;
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));

    WatchClock clock;
    pair.PlantLock("anderswo", std::time(nullptr));
    const ScopedFileSystemCalls unreadable(clock.Calls({.Open = [](const char* name, int flags) {
        if (std::string(name).ends_with(".~lock")) {
            errno = EACCES;
            return -1;
        }
        return ::open(name, flags);
    }}));
    const SaveResult refused = pair.Save("uno", "dos");
    EXPECT_FALSE(refused.Ok);
    EXPECT_NE(refused.Message.find("Sie wird laut der Sperrdatei " + Quoted(pair.Lock()) +
                                   " gerade an anderer Stelle gespeichert oder gelesen. Die Sperrdatei lässt sich "
                                   "nicht lesen und gilt erst als verlassen, wenn sie seit zwei Minuten nicht "
                                   "geändert wurde. Bitte versuchen Sie es in zwei Minuten noch einmal."),
              std::string::npos)
        << refused.Message;
    EXPECT_FALSE(RecoverInterruptedSave(pair.Files()).Ok);
    clock.Now += 120'000;
    const SaveResult taken = pair.Save("uno", "dos");
    EXPECT_TRUE(taken.Ok) << taken.Message;
    EXPECT_EQ(pair.Text(), "unodos");
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));

    // Left three minutes ago, met by a program started since: taken over at its first look.
    pair.PlantLock("anderswo", std::time(nullptr) - 180);
    MakeThreeMinutesOld(pair.Lock());
    const SaveResult old = pair.Save("UNO", "DOS");
    EXPECT_TRUE(old.Ok) << old.Message;
    EXPECT_EQ(pair.Text(), "UNODOS");
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));
}

// A lock of another computer was judged by the time its note gives: with the clocks of the two
// computers minutes apart, a live lock was taken over at once and the colleague's save failed; a
// time no clock has made the look overflow; and a computer of this one's name was asked about by
// process number and flock as if it were this one. Another computer's lock (also one of this name
// but another running system) is now taken over only when it has not changed for two minutes of
// watching it here; a holder that rewrites it is watched anew. A lock this system left is taken
// over at once, as before.
TEST(SaveLock, AnotherComputersLockIsJudgedByHowLongItStaysUnchangedHere)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    WatchClock clock;
    const ScopedFileSystemCalls seams(clock.Calls());
    ASSERT_TRUE(pair.Save("one", "two"));

    // An hour old by a clock that may be an hour behind ours; the refusal says when it may go.
    pair.PlantLock("rechner-im-keller", std::time(nullptr) - 3600);
    const SaveResult elsewhere = pair.Save("ONE", "TWO");
    EXPECT_TRUE(elsewhere.Message.ends_with("Bitte versuchen Sie es in zwei Minuten noch einmal.")) << elsewhere.Message;
    clock.Now += 100'000;
    pair.PlantLock("rechner-im-keller", std::time(nullptr) - 3600, "beat=1\n");
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    clock.Now += 100'000;
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    clock.Now += 20'000;
    EXPECT_TRUE(pair.Save("ONE", "TWO"));
    EXPECT_EQ(pair.Text(), "ONETWO");

    pair.PlantLock("rechner-im-keller", LLONG_MIN);
    EXPECT_FALSE(pair.Save("one", "two"));
    clock.Now += 120'000;
    EXPECT_TRUE(pair.Save("one", "two"));

    // This computer's name, this process's number, another system: neither is asked.
    TempFolder::Write(pair.Lock(), "Velmoran\npid=" + std::to_string(::getpid()) + "\nhost=" + ThisHost() +
                                       "\ntime=0\nid=abc\nsystem=0123456789abcdef-0123/42\n");
    const SaveResult namesake = pair.Save("ONE", "TWO");
    EXPECT_FALSE(namesake.Ok);
    EXPECT_NE(namesake.Message.find("auf dem Rechner " + Quoted(ThisHost())), std::string::npos) << namesake.Message;
    EXPECT_EQ(pair.Text(), "onetwo");
    fs::remove(pair.Lock());

    TempFolder::Write(pair.Lock(), pair.NoteOfASave(clock.Calls()));
    EXPECT_TRUE(pair.Save("one", "two"));
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));
}

// A program killed on this computer before it was started again (its new boot names another
// system) left a note no later program can ask about. Each program watched it anew, so a one-shot
// tool, and the program started again, was refused for good with "try again in two minutes",
// naming the user's own computer. Its holder would have rewritten it every half minute, and its
// time came from this computer's clock: such a note that counts beats and is two minutes old by its
// file system's clock is now left at the first look. One of a build that counted no beats never
// rewrote its note, and another computer's clock is never compared with ours: only watching tells.
TEST(SaveLock, ANoteFromBeforeARestartIsLeftWhenItsOwnTimeIsTwoMinutesOld)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    WatchClock clock;
    const ScopedFileSystemCalls seams(clock.Calls());
    ASSERT_TRUE(pair.Save("one", "two"));
    pair.PlantLock(ThisHost(), std::time(nullptr), "system=0123456789abcdef-0123/42\nbeat=7\n");
    const SaveResult fresh = pair.Save("ONE", "TWO");
    EXPECT_TRUE(fresh.Message.ends_with("Bitte versuchen Sie es in zwei Minuten noch einmal.")) << fresh.Message;
    MakeThreeMinutesOld(pair.Lock());
    EXPECT_TRUE(RecoverInterruptedSave(pair.Files()).Ok);
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));
    ASSERT_TRUE(pair.Save("ONE", "TWO"));

    const std::string otherSystem = "system=0123456789abcdef-0123/42\n";
    for (const auto& [host, rest] : {std::pair<std::string, std::string>{ThisHost(), otherSystem},
                                     {"rechner-im-keller", otherSystem + "beat=3\n"}}) {
        pair.PlantLock(host, std::time(nullptr), rest);
        MakeThreeMinutesOld(pair.Lock());
        EXPECT_FALSE(pair.Save("one", "two")) << host;
        fs::remove(pair.Lock());
    }
    EXPECT_EQ(pair.Text(), "ONETWO");
}

// A holder that lives holds its lock's flock, whatever its note says (a computer renamed, a note
// copied with its folder): the lock is not taken over beside it, neither at once nor after the two
// minutes that another computer's unchanged note would wait.
TEST(SaveLock, AHolderThatHoldsTheFlockLivesWhateverItsNoteSays)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    WatchClock clock;
    const ScopedFileSystemCalls seams(clock.Calls());
    ASSERT_TRUE(pair.Save("one", "two"));
    pair.PlantLock("rechner-im-keller", std::time(nullptr));
    const int holder = ::open(pair.Lock().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const ScopeExit letGo([holder] { ::close(holder); });
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    clock.Now += 120'000;
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    EXPECT_FALSE(RecoverInterruptedSave(pair.Files()).Ok);
    EXPECT_EQ(pair.Text(), "onetwo");
    EXPECT_NE(TempFolder::Read(pair.Lock()).find("host=rechner-im-keller\n"), std::string::npos);
    fs::remove(pair.Lock());
}

// A holder rewrites its note while it holds the lock (an opening that reads, a save of minutes on
// a slow share), so that those who watch it from another computer never find it unchanged; the
// note stays one, and goes with the lock.
TEST(SaveLock, AHolderRewritesItsNoteWhileItHoldsTheLock)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    const ScopedFileSystemCalls often({.Sync = velmoran::testing::NoSync, .RefreshMilliseconds = 1});
    {
        const RecoveredFiles opened = RecoverInterruptedSave(pair.Files());
        ASSERT_TRUE(opened.Lock);
        const std::string first = TempFolder::Read(pair.Lock());
        std::string now = first;
        for (int look = 0; look < 10'000 && now == first; ++look) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            now = TempFolder::Read(pair.Lock());
        }
        EXPECT_NE(now, first);
        EXPECT_TRUE(now.starts_with("Velmoran\npid=" + std::to_string(::getpid()) + "\n")) << now;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(pair.Lock())));
}

// A link, a folder or a pipe at the lock's name once switched the lock off for the pair without a
// word. The opening and the save now note it, naming it, what it is and what it means (said once
// by the caller); saves go ahead as they did before there were locks, and the entry stays.
TEST(SaveLock, AnEntryAtTheLocksNameThatIsNoLockIsSaid)
{
    const TempFolder elsewhere;
    const std::string target = elsewhere.WriteFile("fremd", "fremde Daten");
    for (const std::string kind : {"link", "folder", "pipe"}) {
        SCOPED_TRACE(kind);
        const TempFolder dir;
        const LockedPair pair{dir};
        ASSERT_TRUE(pair.Save("one", "two"));
        if (kind == "link")
            fs::create_symlink(target, pair.Lock());
        else if (kind == "folder")
            fs::create_directory(pair.Lock());
        else
            ASSERT_EQ(::mkfifo(pair.Lock().c_str(), 0644), 0);
        std::string note;
        {
            const RecoveredFiles opened = RecoverInterruptedSave(pair.Files());
            ASSERT_TRUE(opened.Ok) << opened.Message;
            EXPECT_EQ(opened.Message, "");
            note = opened.LockNote;
        }
        const std::string what = kind == "link" ? "eine symbolische Verknüpfung" : kind == "folder" ? "ein Ordner" : "eine Pipe";
        EXPECT_NE(note.find(Quoted(pair.Lock()) + " der Dateien " + Quoted(dir / "anlage.vdh") + " und " +
                            Quoted(dir / "anlage.vda") + " liegt " + what + ", keine Sperrdatei."),
                  std::string::npos)
            << note;
        const SaveResult saved = pair.Save("ONE", "TWO");
        EXPECT_TRUE(saved.Ok) << saved.Message;
        EXPECT_EQ(saved.LockNote, note);
        EXPECT_EQ(pair.Text(), "ONETWO");
        const fs::file_status entry = fs::symlink_status(pair.Lock());
        EXPECT_EQ(entry.type(), kind == "link"     ? fs::file_type::symlink
                                : kind == "folder" ? fs::file_type::directory
                                                   : fs::file_type::fifo);
    }
    EXPECT_EQ(TempFolder::Read(target), "fremde Daten");
}

// The lock's note cannot be written (here: the lock file made, under its own name or the one it is
// made under, opens for reading only; a full disk or a share gone does the same): the save is
// refused with that cause, the lock file goes again, and the files stay. An opening reads them
// without a lock.
TEST(SaveLock, ALockWhoseNoteCannotBeWrittenRefusesTheSave)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    const ScopedFileSystemCalls unwritable({.Create = [](const char* name) {
                                                if (std::string(name).find(".~lock") == std::string::npos)
                                                    return CreateForWriting(name);
                                                return ::open(name, O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                                            },
                                            .Sync = velmoran::testing::NoSync,
                                            .Wait = velmoran::testing::NoWait});
    const SaveResult refused = pair.Save("ONE", "TWO");
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.Message, "Die Datei " + Quoted(dir / "anlage.vda") +
                                   " konnte nicht gespeichert werden: " + FileErrorReason(EBADF, pair.Lock()));
    EXPECT_EQ(pair.Text(), "onetwo");
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));
    {
        const RecoveredFiles opened = RecoverInterruptedSave(pair.Files());
        EXPECT_TRUE(opened.Ok) << opened.Message;
        EXPECT_EQ(opened.Message, "");
    }
    EXPECT_EQ(EntryNames(dir.Folder()), (std::vector<std::string>{"anlage.vda", "anlage.vdh"}));
}

// Another program takes the lock over between its making and its note (it judged the empty file
// left by a program that died): the save does not go on under the lock file it no longer holds; it
// waits for the other's lock like any other, is refused, and leaves that lock alone. Only where
// there are no hard links is a lock made at its own name before its note is in it.
TEST(SaveLock, ALockTakenOverBeforeItsNoteIsWrittenIsNeverSavedWithout)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    const ScopedFileSystemCalls takenOver({.Link = NoLink,
                                           .Create = [&pair, done = false](const char* name) mutable {
                                               const int fd = CreateForWriting(name);
                                               if (fd >= 0 && !done && std::string(name).ends_with(".~lock")) {
                                                   done = true;
                                                   ::unlink(name);
                                                   pair.PlantLock("rechner-im-keller", std::time(nullptr));
                                               }
                                               return fd;
                                           },
                                           .Sync = velmoran::testing::NoSync,
                                           .Wait = velmoran::testing::NoWait});
    const SaveResult refused = pair.Save("ONE", "TWO");
    EXPECT_FALSE(refused.Ok);
    EXPECT_NE(refused.Message.find("auf dem Rechner „rechner-im-keller“"), std::string::npos) << refused.Message;
    EXPECT_EQ(pair.Text(), "onetwo");
    EXPECT_NE(TempFolder::Read(pair.Lock()).find("host=rechner-im-keller\n"), std::string::npos);
    fs::remove(pair.Lock());
}

// A lock no program holds that this user cannot remove (another user's, in a folder where only
// owners delete) was judged left, its removal failed, and the save went on without a lock: the
// saves of three colleagues mixed the pair. It now refuses every save, naming it and who may remove
// it, and an opening notes it. Any other failure to make the lock (a share that fails) refuses the
// save too; only a folder that takes no lock file lets a save go on, and the save notes that.
TEST(SaveLock, ASaveNeverGoesOnWithoutALockTheFolderCouldHold)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    TempFolder::Write(pair.Lock(), "garbage");
    {
        const ScopedFileSystemCalls othersLock({.Unlink = [](const char* name) {
                                                    errno = EPERM;
                                                    return std::string(name).ends_with(".~lock") ? -1 : ::unlink(name);
                                                },
                                                .Wait = velmoran::testing::NoWait});
        const std::string stuck = "Die Sperrdatei " + Quoted(pair.Lock()) + " hält kein Programm mehr, aber sie "
                                  "lässt sich nicht entfernen: Sie gehört einem anderen Benutzer, oder in ihrem Ordner "
                                  "darf nicht gelöscht werden.";
        const SaveResult refused = pair.Save("ONE", "TWO");
        EXPECT_EQ(refused.Message, "Die Datei " + Quoted(dir / "anlage.vda") + " konnte nicht gespeichert werden: " +
                                       stuck + " Bitte lassen Sie sie von jemandem entfernen, der sie löschen darf "
                                       "(ihrem Besitzer oder dem Verwalter des Ordners); bis dahin kann nicht "
                                       "gespeichert werden.");
        const RecoveredFiles opened = RecoverInterruptedSave(pair.Files());
        EXPECT_TRUE(opened.Ok);
        EXPECT_EQ(opened.LockNote, "Die Dateien " + Quoted(dir / "anlage.vdh") + " und " + Quoted(dir / "anlage.vda") +
                                       " wurden ohne Sperre gelesen. " + stuck +
                                       " Gespeichert werden können die Dateien erst, wenn sie jemand entfernt hat, der "
                                       "sie löschen darf (ihr Besitzer oder der Verwalter des Ordners).");
    }
    EXPECT_EQ(pair.Text(), "onetwo");
    fs::remove(pair.Lock());
    const auto failingLockFile = [](int error) {
        return FileSystemCalls{.Create = [error](const char* name) {
                                   errno = error;
                                   return std::string(name).find(".~lock") != std::string::npos ? -1
                                                                                                  : CreateForWriting(name);
                               },
                               .Sync = velmoran::testing::NoSync};
    };
    {
        const ScopedFileSystemCalls shareFails(failingLockFile(EIO));
        const SaveResult refused = pair.Save("ONE", "TWO");
        EXPECT_TRUE(refused.Message.ends_with(FileErrorReason(EIO, pair.Lock()))) << refused.Message;
    }
    EXPECT_EQ(pair.Text(), "onetwo");
    const ScopedFileSystemCalls noLockFiles(failingLockFile(EACCES));
    const SaveResult saved = pair.Save("ONE", "TWO");
    EXPECT_NE(saved.LockNote.find(" lässt sich keine Sperrdatei anlegen: "), std::string::npos) << saved.Message;
}

// Where flock does not reach the server, a lock without its note (its maker slow on a share
// between making it and writing the note) was taken over after a pause of 50 ms, and so was one
// whose note came between the look and the removal: two saves then mixed the pair. Such a lock is
// now watched as another computer's (two minutes unchanged here, or its own time two minutes old,
// also without hard links) and read again right before it goes. A process number no process has
// (0, -1, past pid_t) makes a note of this computer no note: it no longer locks its user out.
TEST(SaveLock, WhereFlockTellsNothingALockWithoutANoteIsWatched)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    WatchClock clock;
    bool noteComes = false;
    FileSystemCalls calls = clock.Calls({.Flock = NoFlock});
    calls.Clock = [&] {
        // The maker writes its note while the lock is judged.
        if (std::exchange(noteComes, false))
            pair.PlantLock("rechner-im-keller", std::time(nullptr));
        return clock.Now;
    };
    const ScopedFileSystemCalls share(calls);
    TempFolder::Write(pair.Lock(), "");
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    clock.Now += 120'000;
    noteComes = true;
    EXPECT_FALSE(pair.Save("ONE", "TWO"));
    EXPECT_NE(TempFolder::Read(pair.Lock()).find("host=rechner-im-keller\n"), std::string::npos);
    clock.Now += 120'000;
    EXPECT_TRUE(pair.Save("ONE", "TWO"));

    const std::string own = pair.NoteOfASave(calls), pid = "pid=" + std::to_string(::getpid()) + "\n";
    std::vector<std::string> notes = {"Velm"};
    for (const std::string number : {"0", "-1", "4294967297"})
        notes.push_back(std::string(own).replace(own.find(pid), pid.size(), "pid=" + number + "\n"));
    calls.Link = NoLink;
    const ScopedFileSystemCalls noLinks(calls);
    for (const std::string& note : notes) {
        SCOPED_TRACE(note);
        TempFolder::Write(pair.Lock(), note);
        MakeThreeMinutesOld(pair.Lock());
        const SaveResult taken = pair.Save("uno", "dos");
        EXPECT_TRUE(taken.Ok) << taken.Message;
    }
}

// Where a folder has no hard links the lock is made at its name and its note written after; a
// program killed while it wrote the note left it cut short, and such a note, naming no system, was
// taken for another computer's: every opening and save of the user's own file was refused for two
// minutes, naming the user's own computer as the holder, and one-shot tools for good. A note now
// counts only when its last line is whole, and one that names this computer and no system is
// judged as this computer's. Wherever the note was cut, the next opening and save take the lock
// over at once where flock tells that no program holds it; where flock tells nothing, at once when
// the note names the process that died, else after two minutes, as a lock that names no holder.
// A live process named so still holds the lock.
TEST(SaveLock, ANoteCutShortByAKilledProgramIsTakenOverAtOnce)
{
    const TempFolder dir;
    const LockedPair pair{dir};
    ASSERT_TRUE(pair.Save("one", "two"));
    WatchClock clock;
    FileSystemCalls calls = clock.Calls({.Link = NoLink});
    const auto [killed, named] = NoteOfAnother(pair, calls, EndedProcess());
    {
        const ScopedFileSystemCalls noLinks(calls);
        for (const std::size_t cut : CutsOf(killed)) {
            const std::string note = killed.substr(0, cut);
            TempFolder::Write(pair.Lock(), note);
            EXPECT_TRUE(RecoverInterruptedSave(pair.Files()).Ok) << note;
            TempFolder::Write(pair.Lock(), note);
            const SaveResult saved = pair.Save("ONE", "TWO");
            EXPECT_TRUE(saved.Ok) << note << saved.Message;
        }
    }
    calls.Flock = NoFlock;
    const ScopedFileSystemCalls share(calls);
    for (const std::size_t cut : CutsOf(killed)) {
        const std::string note = killed.substr(0, cut);
        const bool namesItsHolder = cut >= named && note.ends_with('\n');
        TempFolder::Write(pair.Lock(), note);
        const SaveResult saved = pair.Save("uno", "dos");
        EXPECT_EQ(saved.Ok, namesItsHolder) << note;
        if (!saved.Ok) {
            EXPECT_TRUE(saved.Message.ends_with(" gerade an anderer Stelle gespeichert oder gelesen. Ob das Programm "
                                                "dort noch läuft, lässt sich von hier nicht erfragen: Die Sperrdatei "
                                                "gilt erst als verlassen, wenn sie sich zwei Minuten lang nicht "
                                                "geändert hat. Bitte versuchen Sie es in zwei Minuten noch einmal."))
                << note << saved.Message;
            clock.Now += 120'000;
            EXPECT_TRUE(pair.Save("uno", "dos")) << note;
        }
    }
    const auto [living, livingNamed] = NoteOfAnother(pair, calls, ::getppid());
    TempFolder::Write(pair.Lock(), living.substr(0, livingNamed));
    const SaveResult refused = pair.Save("UNO", "DOS");
    EXPECT_TRUE(refused.Message.ends_with(" gerade in einem anderen Fenster oder von einem anderen Benutzer auf diesem "
                                          "Rechner gespeichert oder gelesen. Bitte versuchen Sie es gleich noch einmal."))
        << refused.Message;
    EXPECT_EQ(pair.Text(), "ONETWO");
    fs::remove(pair.Lock());
}

// A save killed between the two files left them mixed; the opening after it was killed while it
// noted its lock: the next opening takes that lock over at once and the pair back, old or new.
TEST(SaveLock, APairLeftMixedBeneathANoteCutShortIsTakenBack)
{
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    const TempFolder live;
    const LockedPair livePair{live};
    ASSERT_TRUE(livePair.Save("one", "two"));
    const auto [killed, named] = NoteOfAnother(livePair, {.Sync = velmoran::testing::NoSync}, EndedProcess());
    ASSERT_TRUE(livePair.Save("one", "two"));
    const auto steps = velmoran::testing::StepsOfSave(live, false, [&] { ASSERT_TRUE(livePair.Save("ONE", "TWO")); });
    bool mixed = false;
    for (const auto& [step, folder] : steps) {
        for (const std::size_t cut : {named - 1, named, killed.size() - 1}) {
            const auto copy = velmoran::testing::CopyOfFolder(folder->Folder());
            const LockedPair pair{*copy};
            mixed = mixed || pair.Text() == "ONEtwo";
            TempFolder::Write(pair.Lock(), killed.substr(0, cut));
            const RecoveredFiles opened = RecoverInterruptedSave(pair.Files());
            EXPECT_TRUE(opened.Ok) << step << ", " << cut << ": " << opened.Message;
            EXPECT_TRUE(pair.Text() == "onetwo" || pair.Text() == "ONETWO") << step << ", " << cut << ": " << pair.Text();
        }
    }
    EXPECT_TRUE(mixed);
}
