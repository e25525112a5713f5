// The lock of files saved together: one save at a time changes them, and no opening settles or
// reads them while a save runs, whether the other party is a second window, another instance of
// the program or a colleague on a share.
//
// Why a lock file: the files live on whatever the user has (local disks, FAT sticks, SMB and NFS
// shares), and the one step all of these do atomically for every client is creating a file that
// must not exist yet (O_EXCL). Kernel locks alone cannot serve: fcntl locks belong to a process,
// so a second window of the same process would not see them, and whether flock reaches the server
// depends on the mount. So the lock is a file beside the pair, taken exclusively, that names its
// holder (process, computer, time). Where the file system has hard links, the file is made under a
// name of its own, made readable by all (whatever the umask) and noted, and then linked to the
// lock's name, which a link takes only while it is free: the lock is never seen unreadable or
// without its note. Elsewhere (FAT, many shares, where modes mean nothing) it is created at its
// name. The holder also holds an flock on it where the file system has them: on the same computer
// the kernel drops that the moment the holder dies, which tells a lock left by a killed program
// apart from a live one without trusting process numbers (which are reused). Where flock is
// missing, the process number decides on the same computer, and a lock that names no holder yet
// (its maker may be slow on a share) is judged like another computer's.
//
// Another computer cannot be asked, and its clock may be minutes away from ours: its lock counts as
// left by a program that died when it has not changed for two minutes of watching it from here, by
// a clock of ours. A holder rewrites its note every half minute while it lives, so a long save on a
// slow share keeps its lock. A lock that cannot be read (made by another user under an earlier
// build) counts as left also when its own time is two minutes old by the clock of its file system,
// read from the file made a moment ago beside it; so does one whose note names this computer and
// another system and counts its holder's beats (this computer before it was started again, whose
// new boot makes it another system; its note's time came from the same clock): a program started
// two minutes after its holder died is let in at its first look, where watching alone never lets in
// a one-shot tool. Computers are told apart by more than their names (two may share one): the note
// also names the running system (its boot and its process numbers). A note that names this computer
// but no system (an earlier build's) is judged as this computer's. Where the lock is made at its
// name, a program killed while it wrote the note leaves one cut short: a note counts only when its
// last line is whole, so that such a lock names no holder, or names its maker's computer by whole
// lines; one made here is never taken for another computer's.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

namespace velmoran {

class SaveLock {
public:
    // What taking the lock came to: the lock, or why there is none (Error): EAGAIN when another
    // holds it beyond the brief wait (Holder says where, in German); EEXIST when the name is taken
    // by an entry that is no lock file (a link, a folder, a pipe), so that no lock can be had
    // there; with Stuck, the error of removing a lock file judged left behind; else the error of
    // making the lock file there, or, with NoteFailed, of writing its note into the file made
    // (which is gone again).
    struct Attempt {
        std::unique_ptr<SaveLock> Lock;
        int Error = 0;
        std::string Holder;
        bool NoteFailed = false;
        // The holder's note could not be read: the lock is judged by its age alone.
        bool Unreadable = false;
        // The lock is judged by how long it stays unchanged (another computer's, or one that
        // names no holder where flock tells nothing): left only after two minutes of that.
        bool Watched = false;
        // No program holds the lock file, but it cannot be removed (another user's in a folder
        // where only owners delete, a folder that cannot be changed).
        bool Stuck = false;
    };
    // Takes the lock named `lockFile`, waiting briefly while another holds it; a lock left by a
    // program that died is taken over.
    static Attempt Take(const std::string& lockFile);

    // Gives the lock up: its file goes (unless another took it over meanwhile).
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

private:
    class Refresher;
    SaveLock(std::string fileName, int fd, std::string id, std::unique_ptr<Refresher> refresher);
    bool StillOurs() const;

    std::string fileName_;
    int fd_ = -1;
    std::string id_;
    std::unique_ptr<Refresher> refresher_;
};

// Why a file cannot be saved or opened now, in German, for a lock attempt that found another
// holding it: where, the lock file that says so (which the user may have to remove when no program
// holds it), and when to try again.
std::string LockedReason(const SaveLock::Attempt& attempt, const std::string& lockFile);

}  // namespace velmoran
