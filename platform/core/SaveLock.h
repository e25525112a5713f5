// The lock of files saved together: one save at a time changes them, and no opening settles or
// reads them while a save runs, whether the other party is a second window, another instance of
// the program or a colleague on a share.
//
// Why a lock file: the files live on whatever the user has (local disks, FAT sticks, SMB and NFS
// shares), and the one step all of these do atomically for every client is creating a file that
// must not exist yet (O_EXCL). Hard links (missing on FAT and many shares) and file modes (ignored
// there) cannot serve. Kernel locks alone cannot either: fcntl locks belong to a process, so a
// second window of the same process would not see them, and whether flock reaches the server
// depends on the mount. So the lock is a file beside the pair, created exclusively, that names its
// holder (process, computer, time). The holder also holds an flock on it where the file system
// has them: on the same computer the kernel drops that the moment the holder dies, which tells a
// lock left by a killed program apart from a live one without trusting process numbers (which
// are reused). Where flock is missing, the process number decides on the same computer; a lock
// of another computer is left by a dead program only when it is older than any save takes.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

namespace velmoran {

class SaveLock {
public:
    // What taking the lock came to: the lock, or the error: EAGAIN when another holds it beyond
    // the brief wait (Holder says where, in German), else why no lock file could be made there.
    struct Attempt {
        std::unique_ptr<SaveLock> Lock;
        int Error = 0;
        std::string Holder;
    };
    // Takes the lock named `lockFile`, waiting briefly while another holds it; a lock left by a
    // program that died is taken over.
    static Attempt Take(const std::string& lockFile);

    // Gives the lock up: its file goes (unless another took it over meanwhile).
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

private:
    SaveLock(std::string fileName, int fd, std::string id);
    bool StillOurs() const;

    std::string fileName_;
    int fd_ = -1;
    std::string id_;
};

// Why a file cannot be saved or opened now, in German, for the holder a lock attempt named.
std::string LockedReason(const std::string& holder);

}  // namespace velmoran
