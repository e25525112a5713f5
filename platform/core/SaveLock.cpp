// The save lock: a file created exclusively beside the files, naming its holder, with an flock
// where there are such; a lock whose holder is gone is taken over (see SaveLock.h for why).
#include "platform/core/SaveLock.h"

#include "platform/core/FileCalls.h"
#include "platform/core/Text.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmoran {

namespace {

// A save of two small files takes milliseconds, an opening as long: a few seconds of waiting
// outlast any of them without keeping the user waiting on one that hangs.
constexpr int kPatiencePolls = 60;
constexpr int kPollMilliseconds = 50;
// Longer than any save holds its lock, also on a slow share: a lock of another computer this old
// was left by a program that died (its computer cannot be asked).
constexpr long long kStaleSeconds = 120;
constexpr std::size_t kNoteLimit = 1024;
constexpr std::size_t kIdLength = 12;

// The locks this process holds, for telling its own live locks from ones a copy of a folder or a
// reused process number brings, where the file system has no flock.
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

bool HeldHere(const std::string& id)
{
    const std::lock_guard guard(HeldMutex());
    return HeldIds().contains(id);
}

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "?";
    return name;
}

long long Now()
{
    return static_cast<long long>(std::time(nullptr));
}

// What a lock file says of its holder.
struct LockNote {
    long long Pid = 0;
    std::string Host;
    long long Time = 0;
    std::string Id;
};

std::string NoteText(const LockNote& note)
{
    return "Velmoran\npid=" + std::to_string(note.Pid) + "\nhost=" + note.Host + "\ntime=" +
           std::to_string(note.Time) + "\nid=" + note.Id + "\n";
}

bool ParseNumber(std::string_view text, long long& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The note in a lock file's text; nothing for a text that is none (empty while its maker has not
// written it yet, or anything else).
std::optional<LockNote> ParseNote(std::string_view text)
{
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
    }
    if (!pid || !host || !time || !text.starts_with("Velmoran\n"))
        return std::nullopt;
    return note;
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

// One look at a lock file that another made.
struct LockLook {
    enum class Verdict { Gone, Live, Stale, NoLock } State = Verdict::Live;
    std::optional<LockNote> Note;
    struct stat Info {};
    std::string Text;
    // Open only when stale, with the flock taken where there are such, while it is removed: no
    // other can judge it stale meanwhile. A lock judged otherwise is let go at once: a flock kept
    // by the one who looks would make it look held to everyone.
    OpenFile File;
};

LockLook Judge(const std::string& name, const LockLook* previous);

// How the lock file stands: `previous` is the look before, a pause ago.
LockLook LookAt(const std::string& name, const LockLook* previous)
{
    LockLook look = Judge(name, previous);
    if (look.State != LockLook::Verdict::Stale)
        look.File = OpenFile();
    return look;
}

LockLook Judge(const std::string& name, const LockLook* previous)
{
    LockLook look;
    look.File = OpenFile(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (look.File.Fd() < 0) {
        // Gone since: take it again. A link is none of ours. One that cannot be read is
        // another's, and waited for.
        look.State = errno == ENOENT ? LockLook::Verdict::Gone
                     : errno == ELOOP ? LockLook::Verdict::NoLock
                                      : LockLook::Verdict::Live;
        return look;
    }
    if (::fstat(look.File.Fd(), &look.Info) != 0 || !S_ISREG(look.Info.st_mode)) {
        look.State = LockLook::Verdict::NoLock;
        return look;
    }
    char buffer[kNoteLimit];
    const ssize_t n = ::pread(look.File.Fd(), buffer, sizeof buffer, 0);
    look.Text.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    look.Note = ParseNote(look.Text);
    const int locked = ::flock(look.File.Fd(), LOCK_EX | LOCK_NB);
    if (locked != 0 && errno == EWOULDBLOCK)
        return look;  // its holder lives
    const bool kernelLocks = locked == 0;
    using enum LockLook::Verdict;
    if (!look.Note) {
        // Made a pause ago and still without its note: its maker died between the two steps.
        const bool unchanged = previous && previous->State == Live && !previous->Note &&
                               SameFile(previous->Info, look.Info) && previous->Text == look.Text;
        look.State = unchanged ? Stale : Live;
        return look;
    }
    if (look.Note->Host == HostName()) {
        if (kernelLocks)
            look.State = Stale;  // its holder would hold the flock
        else if (look.Note->Pid == ::getpid())
            look.State = HeldHere(look.Note->Id) ? Live : Stale;
        else
            look.State = ::kill(static_cast<pid_t>(look.Note->Pid), 0) != 0 && errno == ESRCH ? Stale : Live;
        return look;
    }
    look.State = std::llabs(Now() - look.Note->Time) > kStaleSeconds ? Stale : Live;
    return look;
}

// Where the holder of a lock is, in German.
std::string HolderOf(const LockLook& look)
{
    if (!look.Note)
        return "an anderer Stelle";
    if (look.Note->Host == HostName())
        return "in einem anderen Fenster oder von einem anderen Benutzer auf diesem Rechner";
    return "auf dem Rechner " + Quoted(look.Note->Host);
}

}  // namespace

SaveLock::Attempt SaveLock::Take(const std::string& lockFile)
{
    std::optional<LockLook> last;
    // Every pause is a poll of the patience; the attempts between pauses (a lock that went, one
    // taken over) are bounded too, against others that make and remove locks without end.
    for (int pauses = 0, attempts = 0; pauses < kPatiencePolls && attempts < kPatiencePolls * 20; ++attempts) {
        OpenFile made(filecalls::CreateExclusive(lockFile));
        if (made.Fd() >= 0) {
            // Waits when one who looks at the new lock holds the flock for that moment; the
            // lock must not go without it, or the next to look would take it for stale.
            while (::flock(made.Fd(), LOCK_EX) != 0 && errno == EINTR) {
            }
            // Readable for the colleagues who look at it, whatever mode the creation gave.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(made.Fd(), 0666 & ~mask);
            const LockNote note{::getpid(), HostName(), Now(), filecalls::RandomText(kIdLength)};
            const int error = filecalls::WriteAll(made.Fd(), NoteText(note));
            filecalls::Sync(made.Fd());
            // Taken over as stale before the note was there (by a look a pause long): another
            // holds the name now, and is waited for.
            const bool ours = NameStandsFor(lockFile, made.Fd());
            if (error == 0 && ours)
                return {std::unique_ptr<SaveLock>(new SaveLock(lockFile, made.Release(), note.Id)), 0, {}};
            if (error != 0) {
                if (ours)
                    filecalls::Unlink(lockFile);
                return {nullptr, error, {}};
            }
            continue;
        }
        if (errno != EEXIST)
            return {nullptr, errno, {}};
        LockLook look = LookAt(lockFile, last ? &*last : nullptr);
        switch (look.State) {
        case LockLook::Verdict::Gone:
            continue;
        case LockLook::Verdict::NoLock:
            return {nullptr, EEXIST, {}};
        case LockLook::Verdict::Stale:
            // Removed only while the name still stands for the file judged: one taken over by
            // another meanwhile stays.
            if (NameStandsFor(lockFile, look.File.Fd()) && filecalls::Unlink(lockFile) != 0 && errno != ENOENT)
                return {nullptr, errno, {}};
            continue;
        case LockLook::Verdict::Live:
            break;
        }
        last = std::move(look);
        filecalls::Pause(kPollMilliseconds);
        ++pauses;
    }
    return {nullptr, EAGAIN, last ? HolderOf(*last) : HolderOf(LockLook())};
}

SaveLock::SaveLock(std::string fileName, int fd, std::string id)
    : fileName_(std::move(fileName)), fd_(fd), id_(std::move(id))
{
    const std::lock_guard guard(HeldMutex());
    HeldIds().insert(id_);
}

SaveLock::~SaveLock()
{
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

std::string LockedReason(const std::string& holder)
{
    return "Sie wird gerade " + holder + " gespeichert oder gelesen. Bitte versuchen Sie es gleich noch einmal.";
}

}  // namespace velmoran
