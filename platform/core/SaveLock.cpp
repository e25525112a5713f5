// The save lock: a file created exclusively beside the files, naming its holder, with an flock
// where there are such; a lock whose holder is gone is taken over (see SaveLock.h for why).
#include "platform/core/SaveLock.h"

#include "platform/core/FileCalls.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velmoran {

namespace {

// A save of two small files takes milliseconds, an opening as long: a few seconds of waiting
// outlast any of them without keeping the user waiting on one that hangs.
constexpr int kPatiencePolls = 60;
constexpr int kPollMilliseconds = 50;
// A lock of another computer that has not changed for this long, watched from here, was left by a
// program that died: a live holder rewrites its note four times as often.
constexpr std::int64_t kStaleMilliseconds = 120'000;
constexpr std::size_t kNoteLimit = 1024;
constexpr std::size_t kIdLength = 12;
// The locks of others this process watches at most at once (each one a file name and a note).
constexpr std::size_t kWatchLimit = 64;
// Readable by every colleague who must judge the lock, whatever the umask: it holds nothing
// private (a process number, a computer's name, a time).
constexpr mode_t kLockMode = 0644;
// The random part of the name a lock file is made under ("NAME.~lock~" and these), before it
// takes its own name.
constexpr std::size_t kMakingLength = 8;

// The locks this process holds, for telling its own live locks from ones a copy of a folder or a
// reused process number brings, where the file system has no flock; and the locks of others it
// watches, each as it looked first and since when, to tell their age by our own clock.
std::mutex& HeldMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::set<std::string>& HeldIds()
{
    static std::set<std::string> ids;
    return ids;
}

struct Watch {
    std::string Look;
    std::int64_t Since = 0;
};

std::map<std::string, Watch>& Watches()
{
    static std::map<std::string, Watch> watches;
    return watches;
}

bool HeldHere(const std::string& id)
{
    const std::lock_guard guard(HeldMutex());
    return HeldIds().contains(id);
}

// Whether the lock file has looked the same (`look`) for kStaleMilliseconds of watching it from
// here; a lock that looks different is watched anew from now.
bool UnchangedForLong(const std::string& name, const std::string& look)
{
    const std::int64_t now = filecalls::Milliseconds();
    const std::lock_guard guard(HeldMutex());
    auto& watches = Watches();
    if (const auto found = watches.find(name); found != watches.end() && found->second.Look == look)
        return now - found->second.Since >= kStaleMilliseconds;
    if (!watches.contains(name) && watches.size() >= kWatchLimit)
        watches.erase(std::ranges::min_element(watches, {}, [](const auto& entry) { return entry.second.Since; }));
    watches[name] = {look, now};
    return false;
}

// Stops watching a lock: it is gone, or ours now.
void Forget(const std::string& name)
{
    const std::lock_guard guard(HeldMutex());
    Watches().erase(name);
}

// Stops watching the locks whose files are gone.
void ForgetGone()
{
    const std::lock_guard guard(HeldMutex());
    std::erase_if(Watches(), [](const auto& entry) {
        struct stat info {};
        return ::lstat(entry.first.c_str(), &info) != 0 && errno == ENOENT;
    });
}

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "?";
    return name;
}

// A short identifier the system keeps in a file: hexadecimal digits and dashes, at most 64 bytes
// and at least 16; empty when the file is missing, no regular file or holds anything else.
std::string SystemIdentifier(const char* fileName)
{
    const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {};
    char buffer[65];
    struct stat info {};
    const ssize_t n = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? ::read(fd, buffer, sizeof buffer) : -1;
    ::close(fd);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer))
        return {};
    std::string text(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const bool plain = std::ranges::all_of(text, [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '-';
    });
    return plain && text.size() >= 16 ? text : std::string();
}

// The running system, told apart from every other: the id of its boot (new at every start of a
// computer, so two computers of one name or one cloned from the other differ) and the space of
// its process numbers (a container on the same computer asks about other processes). Empty where
// either cannot be read: then a lock that names a system counts as this computer's only by its
// flock, and one that names none by the computer's name (see OfThisSystem).
const std::string& ThisSystem()
{
    static const std::string id = [] {
        const std::string boot = SystemIdentifier("/proc/sys/kernel/random/boot_id");
        char link[64] = {};
        const ssize_t n = ::readlink("/proc/self/ns/pid", link, sizeof link - 1);
        std::string space;
        for (ssize_t i = 0; i < n; ++i)
            if (link[i] >= '0' && link[i] <= '9')
                space += link[i];
        return boot.empty() || space.empty() ? std::string() : boot + "/" + space;
    }();
    return id;
}

long long Now()
{
    return static_cast<long long>(std::time(nullptr));
}

// What a lock file says of its holder. The time is for people and for earlier builds (which
// judged another computer's lock by it); this one never compares it with its own clock.
struct LockNote {
    long long Pid = 0;
    std::string Host;
    long long Time = 0;
    std::string Id;
    std::string System;
    long long Beat = 0;
    // The note counts its holder's beats: its holder rewrites it every half minute (builds
    // before that wrote no beat and held their locks only for the moments of a save).
    bool Beats = false;
};

std::string NoteText(const LockNote& note)
{
    return "Velmoran\npid=" + std::to_string(note.Pid) + "\nhost=" + note.Host + "\ntime=" +
           std::to_string(note.Time) + "\nid=" + note.Id + "\nsystem=" + note.System +
           "\nbeat=" + std::to_string(note.Beat) + "\n";
}

bool ParseNumber(std::string_view text, long long& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The note in a lock file's text; nothing for a text that is none (empty while its maker has not
// written it yet, or anything else). A note is whole only when its last line is: where there are
// no hard links the note is written into the lock at its name, and a maker killed on the way
// leaves a note cut short, whose last field may be a part of a number or a name ("pid=12" of
// "pid=1234", a system cut in two). Every note any build writes ends its lines. A process number
// no process has (0 and below ask the system about groups of processes or all of them, one past
// pid_t's range about another process) makes no note: such a lock would count as live for ever
// where flock is missing.
std::optional<LockNote> ParseNote(std::string_view text)
{
    if (!text.ends_with('\n'))
        return std::nullopt;
    LockNote note;
    bool pid = false, host = false, time = false;
    for (std::string_view rest = text; !rest.empty();) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "pid")
            pid = ParseNumber(value, note.Pid);
        else if (key == "host")
            host = !(note.Host = std::string(value)).empty();
        else if (key == "time")
            time = ParseNumber(value, note.Time);
        else if (key == "id")
            note.Id = std::string(value);
        else if (key == "system")
            note.System = std::string(value);
        else if (key == "beat")
            note.Beats = ParseNumber(value, note.Beat);
    }
    if (!pid || !host || !time || !text.starts_with("Velmoran\n") || note.Pid <= 0 ||
        note.Pid > std::numeric_limits<pid_t>::max())
        return std::nullopt;
    return note;
}

// Whether the note's holder runs on this system, where its flock and its process can be asked
// about. A note that names this computer but no system is taken for this computer's, as the
// builds that wrote no system took every note of this name: an earlier build's, one made where
// the system could not be read, or one whose maker was killed before it wrote that field (most
// often on this very computer). Judged as another's, it kept the user out of their own file for
// two minutes, naming their own computer as the holder.
bool OfThisSystem(const LockNote& note)
{
    if (note.Host != HostName())
        return false;
    return note.System.empty() || (!ThisSystem().empty() && note.System == ThisSystem());
}

class OpenFile {
public:
    explicit OpenFile(int fd = -1) : fd_(fd) {}
    ~OpenFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(OpenFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    OpenFile& operator=(OpenFile&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int Fd() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the name still stands for the open file.
bool NameStandsFor(const std::string& name, int fd)
{
    struct stat byName {}, open {};
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &open) == 0 && SameFile(byName, open);
}

// What the directory says of a file: for a lock whose note cannot be read, all there is to see of
// whether it changes.
std::string EntryLook(const struct stat& info)
{
    return "entry " + std::to_string(info.st_dev) + " " + std::to_string(info.st_ino) + " " +
           std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

// One look at a lock file that another made.
struct LockLook {
    enum class Verdict { Gone, Live, Stale, NoLock } State = Verdict::Live;
    std::optional<LockNote> Note;
    struct stat Info {};
    std::string Text;
    // Its note could not be read (no permission, a share that fails): judged by its entry alone.
    bool Unreadable = false;
    // Judged by how long it stays unchanged, watched from here.
    bool Watched = false;
    // Open only when stale and readable, with the flock taken where there are such, while it is
    // removed: no other can judge it stale meanwhile. A lock judged otherwise is let go at once: a
    // flock kept by the one who looks would make it look held to everyone.
    OpenFile File;
};

// The time of day on the lock's file system now, in milliseconds, read from a file made there a
// moment ago: the clock a lock's own time is compared with (a share's clock may not be ours).
using FolderTime = std::optional<std::int64_t>;

std::int64_t MillisecondsOf(const struct timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1000 + time.tv_nsec / 1'000'000;
}

LockLook Judge(const std::string& name, const LockLook* previous, FolderTime folderNow);

// How the lock file stands: `previous` is the look before, a pause ago.
LockLook LookAt(const std::string& name, const LockLook* previous, FolderTime folderNow)
{
    LockLook look = Judge(name, previous, folderNow);
    if (look.State != LockLook::Verdict::Stale)
        look.File = OpenFile();
    return look;
}

// Whether a lock file that cannot be asked about its holder was left: its own time is two minutes
// old by the clock of its file system (its holder would have rewritten it meanwhile), or it has
// looked the same (`look`) for two minutes while this program watched it.
bool OldOrUnchanged(const std::string& name, const struct stat& info, const std::string& look, FolderTime folderNow)
{
    const bool old = folderNow && *folderNow - MillisecondsOf(info.st_mtim) >= kStaleMilliseconds;
    const bool unchanged = UnchangedForLong(name, look);
    return old || unchanged;
}

// A lock file whose note cannot be read: another's, left when its entry has not changed for long,
// by its own time (its holder would have rewritten it meanwhile) or while this program watched it.
LockLook JudgeUnread(const std::string& name, FolderTime folderNow)
{
    LockLook look;
    look.Unreadable = true;
    look.Watched = true;
    if (::lstat(name.c_str(), &look.Info) != 0) {
        look.State = errno == ENOENT ? LockLook::Verdict::Gone : LockLook::Verdict::Live;
        return look;
    }
    if (!S_ISREG(look.Info.st_mode)) {
        look.State = LockLook::Verdict::NoLock;
        return look;
    }
    look.State = OldOrUnchanged(name, look.Info, EntryLook(look.Info), folderNow) ? LockLook::Verdict::Stale
                                                                                    : LockLook::Verdict::Live;
    return look;
}

LockLook Judge(const std::string& name, const LockLook* previous, FolderTime folderNow)
{
    LockLook look;
    look.File = OpenFile(filecalls::OpenToRead(name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (look.File.Fd() < 0) {
        // Gone since: take it again. A link is none of ours.
        if (errno == ENOENT || errno == ELOOP) {
            look.State = errno == ENOENT ? LockLook::Verdict::Gone : LockLook::Verdict::NoLock;
            return look;
        }
        return JudgeUnread(name, folderNow);
    }
    if (::fstat(look.File.Fd(), &look.Info) != 0 || !S_ISREG(look.Info.st_mode)) {
        look.State = LockLook::Verdict::NoLock;
        return look;
    }
    char buffer[kNoteLimit];
    const ssize_t n = ::pread(look.File.Fd(), buffer, sizeof buffer, 0);
    if (n < 0)
        return JudgeUnread(name, folderNow);
    look.Text.assign(buffer, static_cast<std::size_t>(n));
    look.Note = ParseNote(look.Text);
    const int locked = filecalls::Flock(look.File.Fd(), LOCK_EX | LOCK_NB);
    if (locked != 0 && errno == EWOULDBLOCK)
        return look;  // its holder lives
    const bool kernelLocks = locked == 0;
    using enum LockLook::Verdict;
    if (!look.Note && kernelLocks) {
        // Made a pause ago and still without its note, and no flock on it: its maker died between
        // the two steps (a live maker takes the flock before it writes, and waits for ours).
        const bool unchanged = previous && previous->State == Live && !previous->Note &&
                               SameFile(previous->Info, look.Info) && previous->Text == look.Text;
        look.State = unchanged ? Stale : Live;
        return look;
    }
    if (!look.Note) {
        // Where flock tells nothing, a maker slow on a share may still be about to write its note:
        // as for another computer's lock, only time tells.
        look.Watched = true;
        look.State = OldOrUnchanged(name, look.Info, "bare " + EntryLook(look.Info) + " " + look.Text, folderNow)
                         ? Stale
                         : Live;
        return look;
    }
    if (OfThisSystem(*look.Note)) {
        if (kernelLocks)
            look.State = Stale;  // its holder would hold the flock
        else if (look.Note->Pid == ::getpid())
            look.State = HeldHere(look.Note->Id) ? Live : Stale;
        else
            look.State = ::kill(static_cast<pid_t>(look.Note->Pid), 0) != 0 && errno == ESRCH ? Stale : Live;
        return look;
    }
    // Another system's holder cannot be asked. One of this computer's name is most often this
    // computer before it was started again (a new boot is another system) or a container on it:
    // its note got its time from the same clock as the file made here a moment ago, so, when its
    // holder counts its beats, a note two minutes old by that clock was left, and a program
    // started since takes it over at its first look (watching alone, a one-shot tool, and the
    // program started anew, were refused for good, naming the user's own computer). The clocks
    // of two computers are never compared: another's note is watched.
    look.Watched = true;
    const std::string seen = "note " + look.Text;
    const bool aged = look.Note->Beats && look.Note->Host == HostName();
    const bool left = aged ? OldOrUnchanged(name, look.Info, seen, folderNow) : UnchangedForLong(name, seen);
    look.State = left ? Stale : Live;
    return look;
}

// Whether the name still stands for the lock file judged stale, and it still says what it said
// then, read again right before it is removed: one another made meanwhile, or one whose maker
// wrote its note or whose holder rewrote it since the look, stays.
bool StillTheOneJudged(const std::string& name, const LockLook& look)
{
    if (look.File.Fd() >= 0) {
        char buffer[kNoteLimit];
        const ssize_t n = ::pread(look.File.Fd(), buffer, sizeof buffer, 0);
        return NameStandsFor(name, look.File.Fd()) && n >= 0 &&
               std::string_view(buffer, static_cast<std::size_t>(n)) == look.Text;
    }
    struct stat now {};
    return ::lstat(name.c_str(), &now) == 0 && EntryLook(now) == EntryLook(look.Info);
}

// Where the holder of a lock is, in German.
std::string HolderOf(const LockLook& look)
{
    if (!look.Note)
        return "an anderer Stelle";
    if (OfThisSystem(*look.Note))
        return "in einem anderen Fenster oder von einem anderen Benutzer auf diesem Rechner";
    return "auf dem Rechner " + Quoted(look.Note->Host);
}

// Makes a new lock file readable by all and writes the holder's note into it, the holder's flock
// taken first; 0 or the error of writing.
int WriteNote(int fd, const LockNote& note)
{
    // Waits when one who looks at the new lock holds the flock for that moment; the lock must not
    // go without it, or the next to look would take it for stale.
    while (filecalls::Flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    // The umask may have taken that from the creation.
    ::fchmod(fd, kLockMode);
    const int error = filecalls::WriteAll(fd, NoteText(note));
    filecalls::Sync(fd);
    return error;
}

// One attempt at making the lock file.
struct Making {
    // The lock file at its name, with the note: the lock is ours.
    OpenFile File;
    // EEXIST: another entry stands at the name. 0 without a file: made, but the name went to
    // another meanwhile; the next attempt looks at it. Else why none could be made.
    int Error = 0;
    // The note could not be written (Error says why); nothing made is left.
    bool NoteFailed = false;
};

// Made under a name of its own beside the lock, made readable, noted, then linked to the lock's
// name, which a link takes only while it is free: from its first moment there the lock can be read
// by every colleague and names its holder, and a program killed on the way leaves no lock that
// cannot be judged. Nothing where the folder cannot do so (no hard links: FAT, many shares).
// `folderNow` gets the time of the file system, read from the file made, also where it cannot be
// linked.
std::optional<Making> MakeBeside(const std::string& lockFile, const LockNote& note, FolderTime& folderNow)
{
    Making making;
    const std::string name = lockFile + "~" + filecalls::RandomText(kMakingLength);
    OpenFile file(filecalls::CreateExclusive(name, kLockMode));
    if (file.Fd() < 0) {
        if (errno == EEXIST)
            return making;  // a name another drew too: drawn anew
        return std::nullopt;
    }
    // The lock keeps only its own name.
    const ScopeExit removeName([&name] { filecalls::Unlink(name); });
    if ((making.Error = WriteNote(file.Fd(), note)) != 0) {
        making.NoteFailed = true;
        return making;
    }
    if (struct stat info {}; ::fstat(file.Fd(), &info) == 0)
        folderNow = MillisecondsOf(info.st_mtim);
    const int linked = filecalls::Link(name.c_str(), lockFile.c_str());
    const int error = errno;
    // A share may say a link failed that it made: the name tells.
    if (linked == 0 || NameStandsFor(lockFile, file.Fd())) {
        making.File = std::move(file);
        return making;
    }
    if (error == EEXIST) {
        making.Error = EEXIST;
        return making;
    }
    // ENOENT: the holder before removed the making as one left behind: made anew.
    if (error == ENOENT)
        return making;
    return std::nullopt;
}

// Made at the lock's name itself, then made readable and noted: where there are no hard links.
Making MakeInPlace(const std::string& lockFile, const LockNote& note)
{
    Making making;
    OpenFile file(filecalls::CreateExclusive(lockFile, kLockMode));
    if (file.Fd() < 0) {
        making.Error = errno;
        return making;
    }
    making.Error = WriteNote(file.Fd(), note);
    // Taken over as stale before the note was there (by a look a pause long): another holds the
    // name now, and is waited for.
    const bool ours = NameStandsFor(lockFile, file.Fd());
    if (making.Error != 0) {
        making.NoteFailed = true;
        if (ours)
            filecalls::Unlink(lockFile);
    } else if (ours) {
        making.File = std::move(file);
    }
    return making;
}

// Whether a folder entry is the making of the lock (named `lockName`) under a name of its own.
bool IsMakingOf(std::string_view entry, std::string_view lockName)
{
    if (entry.size() != lockName.size() + 1 + kMakingLength || !entry.starts_with(lockName) ||
        entry[lockName.size()] != '~')
        return false;
    return std::ranges::all_of(entry.substr(lockName.size() + 1),
                               [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes what programs killed while they made the lock left beside it. One still making it loses
// its making, and makes it anew.
void RemoveMakingsLeft(const std::string& lockFile)
{
    const auto [folder, lockName] = filecalls::SplitPath(lockFile);
    std::vector<std::string> left;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (IsMakingOf(entry->d_name, lockName))
                left.push_back(folder + entry->d_name);
        ::closedir(dir);
    }
    for (const std::string& name : left)
        filecalls::Unlink(name);
}

}  // namespace

// Rewrites the note of a held lock now and then, so that those who watch it from another computer
// see its holder live however long it holds it.
class SaveLock::Refresher {
public:
    Refresher(int fd, LockNote note, int milliseconds)
        : fd_(fd), note_(std::move(note)), interval_(milliseconds), thread_([this] { Run(); })
    {
    }
    ~Refresher()
    {
        {
            const std::lock_guard guard(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Refresher(const Refresher&) = delete;
    Refresher& operator=(const Refresher&) = delete;

private:
    void Run()
    {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(interval_), [this] { return stop_; }))
            Beat();
    }
    void Beat()
    {
        ++note_.Beat;
        note_.Time = Now();
        const std::string text = NoteText(note_);
        // Never longer than before but by a digit, and rewritten in place: one who reads meanwhile
        // reads a whole note, the one before or this one.
        if (::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()))
            (void)::ftruncate(fd_, static_cast<off_t>(text.size()));
    }

    int fd_;
    LockNote note_;
    int interval_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

SaveLock::Attempt SaveLock::Take(const std::string& lockFile)
{
    ForgetGone();
    std::optional<LockLook> last;
    bool hardLinks = true;
    // Read where a lock file is made beside the lock; where the folder has no hard links, only at
    // the first attempt: a time that has grown older since makes a lock look younger, never older.
    FolderTime folderNow;
    // Every pause is a poll of the patience; the attempts between pauses (a lock that went, one
    // taken over) are bounded too, against others that make and remove locks without end.
    for (int pauses = 0, attempts = 0; pauses < kPatiencePolls && attempts < kPatiencePolls * 20; ++attempts) {
        const LockNote note{::getpid(), HostName(), Now(), filecalls::RandomText(kIdLength), ThisSystem(), 0};
        std::optional<Making> tried = hardLinks ? MakeBeside(lockFile, note, folderNow) : std::nullopt;
        if (!tried) {
            hardLinks = false;
            tried = MakeInPlace(lockFile, note);
        }
        Making& making = *tried;
        if (making.File.Fd() >= 0) {
            Forget(lockFile);
            RemoveMakingsLeft(lockFile);
            std::unique_ptr<Refresher> refresher;
            try {
                refresher = std::make_unique<Refresher>(making.File.Fd(), note, filecalls::RefreshMilliseconds());
            } catch (const std::system_error&) {
                // No thread to be had: the lock holds all the same, only a save of minutes could
                // look left to another computer.
            }
            return {std::unique_ptr<SaveLock>(
                        new SaveLock(lockFile, making.File.Release(), note.Id, std::move(refresher))),
                    0, {}};
        }
        if (making.NoteFailed)
            return {nullptr, making.Error, {}, true};
        if (making.Error == 0)
            continue;
        if (making.Error != EEXIST)
            return {nullptr, making.Error, {}};
        LockLook look = LookAt(lockFile, last ? &*last : nullptr, folderNow);
        switch (look.State) {
        case LockLook::Verdict::Gone:
            continue;
        case LockLook::Verdict::NoLock:
            return {nullptr, EEXIST, {}};
        case LockLook::Verdict::Stale:
            // Removed only while the name still stands for the file judged, as it was judged: one
            // taken over by another meanwhile, or noted since, is looked at anew. One that cannot
            // be removed keeps every save out: no save goes on beside it without a lock.
            if (StillTheOneJudged(lockFile, look) && filecalls::Unlink(lockFile) != 0 && errno != ENOENT)
                return {nullptr, errno, {}, false, false, false, true};
            Forget(lockFile);
            continue;
        case LockLook::Verdict::Live:
            break;
        }
        last = std::move(look);
        filecalls::Pause(kPollMilliseconds);
        ++pauses;
    }
    const LockLook none;
    const LockLook& holder = last ? *last : none;
    return {nullptr, EAGAIN, HolderOf(holder), false, holder.Unreadable, holder.Watched};
}

SaveLock::SaveLock(std::string fileName, int fd, std::string id, std::unique_ptr<Refresher> refresher)
    : fileName_(std::move(fileName)), fd_(fd), id_(std::move(id)), refresher_(std::move(refresher))
{
    const std::lock_guard guard(HeldMutex());
    HeldIds().insert(id_);
}

SaveLock::~SaveLock()
{
    refresher_.reset();
    // The file goes while the flock is still held, so that no one takes it for stale before.
    if (StillOurs())
        filecalls::Unlink(fileName_);
    ::close(fd_);
    const std::lock_guard guard(HeldMutex());
    HeldIds().erase(id_);
}

bool SaveLock::StillOurs() const
{
    return NameStandsFor(fileName_, fd_);
}

std::string LockedReason(const SaveLock::Attempt& attempt, const std::string& lockFile)
{
    const std::string reason = "Sie wird laut der Sperrdatei " + Quoted(lockFile) + " gerade " + attempt.Holder +
                               " gespeichert oder gelesen. ";
    // A live holder on this computer lets go within moments, and one that died is found out at
    // once; a lock that cannot be read, or whose holder cannot be asked, is judged by its age alone.
    if (attempt.Unreadable)
        return reason + "Die Sperrdatei lässt sich nicht lesen und gilt erst als verlassen, wenn sie seit zwei "
                        "Minuten nicht geändert wurde. Bitte versuchen Sie es in zwei Minuten noch einmal.";
    if (attempt.Watched)
        return reason + "Ob das Programm dort noch läuft, lässt sich von hier nicht erfragen: Die Sperrdatei gilt "
                        "erst als verlassen, wenn sie sich zwei Minuten lang nicht geändert hat. Bitte versuchen "
                        "Sie es in zwei Minuten noch einmal.";
    return reason + "Bitte versuchen Sie es gleich noch einmal.";
}

}  // namespace velmoran
