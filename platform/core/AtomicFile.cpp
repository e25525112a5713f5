// Atomic file replacement by temporary file and rename; several files replaced as one, under
// their lock, with the previous files kept as hard links, or as copies where there are none, until
// every rename has succeeded; and the settling of what a save cut short left: taken back,
// completed or removed.
#include "platform/core/AtomicFile.h"

#include "platform/core/FileCalls.h"
#include "platform/core/SaveLock.h"
#include "platform/core/ScopeExit.h"
#include "platform/core/Sha256.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <span>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace velmoran {

namespace {

using filecalls::CreateExclusive;
using filecalls::Link;
using filecalls::Rename;
using filecalls::SplitPath;
using filecalls::Sync;
using filecalls::Unlink;

SaveResult Failure(const std::string& fileName, const std::string& reason)
{
    return {false, "Die Datei „" + fileName + "“ konnte nicht gespeichert werden: " + reason};
}


mode_t DefaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The tags of the names a save gives the files it makes beside a target, each followed by the
// save's token: the new contents while they are written (the last file's marks the save as
// unfinished until it is renamed onto its target), the previous file kept until the save is done,
// a copy of it while it is written, the note that the target did not exist before the save, the
// last file's marker once the save is being taken back, and, where the side names hold a hash of
// the files' names, the note of those names (the owner). The lock of files saved together has a
// name of its own beside the last file, without a token.
constexpr std::string_view kTemporaryTag = ".~tmp";
constexpr std::string_view kPreviousTag = ".~old";
constexpr std::string_view kCopyTag = ".~cpy";
constexpr std::string_view kAbsentTag = ".~new";
constexpr std::string_view kUndoTag = ".~undo";
constexpr std::string_view kOwnerTag = ".~own";
constexpr std::string_view kLockTag = ".~lock";
constexpr std::array<std::string_view, 6> kTags = {kTemporaryTag, kPreviousTag, kCopyTag,
                                                   kAbsentTag,    kUndoTag,     kOwnerTag};
// A token is random characters, for files saved together followed by the fingerprint of their last
// file as it was when the save began: its leftovers count only while that file is unchanged.
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kFingerprintLength = 8;
constexpr std::size_t kTokenLength = kRandomLength + kFingerprintLength;
// What the longest name a save gives beside a file adds to the file's name.
constexpr std::size_t kLongestSide = kUndoTag.size() + kTokenLength;
// A file up to this size is fingerprinted whole (so that the leftovers of saves made before
// larger files were told by their ends keep their fingerprints); of a larger one only its size and
// this many bytes at each end are read.
constexpr std::size_t kFingerprintWhole = std::size_t{1} << 20;
constexpr std::size_t kFingerprintEnds = std::size_t{64} << 10;

// Writes the bytes into the open file, flushes them to the disk and closes it. Returns 0 or the
// error.
int WriteAndClose(int fd, std::string_view bytes)
{
    int error = filecalls::WriteAll(fd, bytes);
    if (error == 0 && Sync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Up to `length` bytes of an open file from `offset` on, appended to `bytes`; false with errno
// when reading fails.
bool ReadRange(int fd, std::uint64_t offset, std::uint64_t length, std::string& bytes)
{
    char buffer[65536];
    while (length > 0) {
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof buffer));
        const ssize_t n = filecalls::ReadAt(fd, buffer, chunk, static_cast<off_t>(offset));
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::uint64_t>(n);
    }
    return true;
}

// The whole contents of a file; false with errno when it cannot be read.
bool ReadWhole(const std::string& fileName, std::string& bytes)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const ScopeExit close([fd] { ::close(fd); });
    return ReadRange(fd, 0, UINT64_MAX, bytes);
}

bool Exists(const std::string& fileName)
{
    struct stat info {};
    return ::lstat(fileName.c_str(), &info) == 0;
}

bool IsLink(const std::string& fileName)
{
    struct stat info {};
    return ::lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Whether a regular file (not a link to one) of at least that size stands under the name.
bool IsWhole(const std::string& fileName, std::size_t size)
{
    struct stat info {};
    return ::lstat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<std::size_t>(info.st_size) >= size;
}

// The fingerprint of no regular file.
std::string NoFingerprint()
{
    return std::string(kFingerprintLength, '-');
}

// FNV-1a of the contents, or, of a file larger than kFingerprintWhole, of its ends and its size.
std::string FingerprintOf(std::uint64_t size, std::string_view head, std::string_view tail)
{
    std::uint32_t hash = filecalls::Fnv1a(head);
    if (size > kFingerprintWhole)
        hash = filecalls::Fnv1a(std::to_string(size), filecalls::Fnv1a(tail, hash));
    return filecalls::HexText(hash);
}

// The hash that ends the side names of a file whose name is too long to keep whole: 128 bits of
// SHA-256 of the name, for which no one can find a second name; or, as earlier builds made them,
// 32 bits of FNV-1a, for which anyone can in a second. Leftovers of earlier builds are read only
// where no other entry beside the files has their side names (see NarrowNamesShared); the lock
// keeps the narrow name, so that earlier builds and this one still exclude each other (two names
// sharing a lock only wait for each other).
enum class StemHash { Wide, Narrow };

std::string WideHash(std::string_view name)
{
    constexpr std::size_t kWideBytes = 16;
    const Sha256Digest digest = Sha256(name);
    return filecalls::HexText(std::span(digest).first(kWideBytes));
}

// The name a file's side files (temporaries, kept copies, the lock) start with, folder included:
// the file's own, or, where that and the longest tag and token would pass what the folder takes
// for a name, the start of the name (whole characters) and a hash of all of it.
std::string SideStem(const std::string& path, StemHash kind = StemHash::Wide)
{
    const auto [folder, name] = SplitPath(path);
    const std::size_t limit = filecalls::NameLimit(folder);
    if (name.size() + kLongestSide <= limit)
        return path;
    const std::string hash = "~" + (kind == StemHash::Wide ? WideHash(name) : filecalls::HexText(filecalls::Fnv1a(name)));
    std::size_t cut = limit > kLongestSide + hash.size() ? limit - kLongestSide - hash.size() : 0;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return folder + name.substr(0, cut) + hash;
}

// Syncs a folder's entries to the disk, so that names given in it outlast a power loss before the
// next step relies on them. File systems that cannot are left as they are.
void SyncFolder(const std::string& fileName)
{
    const std::string folder = SplitPath(fileName).first;
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    Sync(fd);
    ::close(fd);
}

// The names one save of files together gives what it makes beside its targets, by its token.
class SaveNames {
public:
    SaveNames(const std::vector<SavedFile>& files, std::string token, StemHash kind = StemHash::Wide)
        : token_(std::move(token))
    {
        for (const SavedFile& file : files) {
            stems_.push_back(SideStem(file.FileName, kind));
            hashed_ = hashed_ || stems_.back() != file.FileName;
        }
    }
    std::size_t Last() const { return stems_.size() - 1; }
    std::string Of(std::size_t i, std::string_view tag) const { return stems_[i] + std::string(tag) + token_; }
    std::string Temporary(std::size_t i) const { return Of(i, kTemporaryTag); }
    std::string Kept(std::size_t i) const { return Of(i, kPreviousTag); }
    std::string Copy(std::size_t i) const { return Of(i, kCopyTag); }
    std::string Absent(std::size_t i) const { return Of(i, kAbsentTag); }
    std::string Marker() const { return Temporary(Last()); }
    std::string Undo() const { return Of(Last(), kUndoTag); }
    std::string Owner() const { return Of(Last(), kOwnerTag); }
    // Whether a side name holds a hash in place of its file's name.
    bool Hashed() const { return hashed_; }

    // Removes what the save made beside its targets. The marker goes first: without it nothing
    // left is taken for an unfinished save; the marker of a take-back goes last but the owner note,
    // when nothing is left for it to finish. Only regular files go: a save makes nothing else, and
    // a link or a folder under such a name is someone else's.
    void RemoveLeftovers() const
    {
        const auto remove = [](const std::string& name) {
            if (IsWhole(name, 0))
                Unlink(name);
        };
        remove(Marker());
        for (std::size_t i = 0; i < stems_.size(); ++i)
            for (const std::string_view tag : {kTemporaryTag, kPreviousTag, kCopyTag, kAbsentTag})
                remove(Of(i, tag));
        remove(Undo());
        remove(Owner());
    }

private:
    std::vector<std::string> stems_;
    std::string token_;
    bool hashed_ = false;
};

// What the owner note of a save holds: the names of its files (without their folder, which may be
// mounted elsewhere on another computer), one a line.
std::string OwnerText(const std::vector<SavedFile>& files)
{
    std::string text;
    for (const SavedFile& file : files)
        text += SplitPath(file.FileName).second + "\n";
    return text;
}

// The name of the lock of files saved together: beside the last of them, as earlier builds name it.
std::string LockName(const std::vector<SavedFile>& files)
{
    return SideStem(files.back().FileName, StemHash::Narrow) + std::string(kLockTag);
}

// A save of files together that left something beside the targets: its token, and the hash of
// its side names.
struct LeftoverSave {
    StemHash Kind = StemHash::Wide;
    std::string Token;
    auto operator<=>(const LeftoverSave&) const = default;
};

// The tokens of every save of files together that left something beside the targets, under the
// side names of this build and, for names too long to keep, of earlier builds.
std::set<LeftoverSave> LeftoverSaves(const std::vector<SavedFile>& files)
{
    std::set<LeftoverSave> saves;
    std::set<std::string> folders;
    for (const SavedFile& file : files)
        folders.insert(SplitPath(file.FileName).first);
    std::vector<std::tuple<StemHash, std::string, std::string>> stems;
    for (const SavedFile& file : files)
        for (const StemHash kind : {StemHash::Wide, StemHash::Narrow})
            if (const std::string stem = SideStem(file.FileName, kind);
                kind == StemHash::Wide || stem != SideStem(file.FileName)) {
                auto [stemFolder, stemName] = SplitPath(stem);
                stems.emplace_back(kind, std::move(stemFolder), std::move(stemName));
            }
    for (const std::string& folder : folders) {
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir)
            continue;
        const ScopeExit close([dir] { ::closedir(dir); });
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view entryName = entry->d_name;
            for (const auto& [kind, stemFolder, stem] : stems) {
                if (stemFolder != folder || !entryName.starts_with(stem))
                    continue;
                for (const std::string_view tag : kTags)
                    if (entryName.size() == stem.size() + tag.size() + kTokenLength &&
                        entryName.substr(stem.size()).starts_with(tag))
                        saves.insert({kind, std::string(entryName.substr(stem.size() + tag.size()))});
            }
        }
    }
    return saves;
}

std::string QuotedNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " und " : ", ") + Quoted(names[i]);
    return text;
}

std::vector<std::string> NamesOf(const std::vector<SavedFile>& files)
{
    std::vector<std::string> names;
    for (const SavedFile& file : files)
        names.push_back(file.FileName);
    return names;
}

// One save's leftovers, how the targets stand with them, and settling them.
class Leftovers {
public:
    // As the folder shows them.
    Leftovers(const std::vector<SavedFile>& files, const LeftoverSave& save)
        : files_(files), names_(files, save.Token, save.Kind), kind_(save.Kind)
    {
        const std::size_t last = names_.Last();
        undoing_ = Exists(names_.Undo());
        pending_ = IsWhole(names_.Marker(), 0);
        // A target whose new file is no longer beside it was replaced: the new files are all whole
        // before the first rename.
        for (std::size_t i = 0; i < last; ++i)
            if (!Exists(names_.Temporary(i)))
                replaced_.push_back(i);
        current_ = std::string_view(save.Token).substr(kRandomLength) == FileFingerprint(files[last].FileName);
    }
    // As the save itself knows them, that replaced the first `replaced` targets: whatever another
    // did beside them meanwhile.
    Leftovers(const std::vector<SavedFile>& files, const std::string& token, std::size_t replaced)
        : files_(files), names_(files, token), current_(true)
    {
        undoing_ = Exists(names_.Undo());
        pending_ = IsWhole(names_.Marker(), 0);
        for (std::size_t i = 0; i < replaced; ++i)
            replaced_.push_back(i);
    }

    // Whether the targets may hold a mix of old and new files: the last file is still the one the
    // save began with, and its new file never got in while others did, or a take-back is under way.
    bool Unfinished() const { return current_ && (undoing_ || (pending_ && !replaced_.empty())); }

    // Whether these are the leftovers of a save of these files, not of others whose side names
    // hash alike: files whose side names are their own names own whatever is there; where the side
    // names hold this build's hash, its owner note names the files. (Earlier builds wrote no owner
    // note: see NarrowNamesShared.)
    bool Owned() const
    {
        if (!names_.Hashed() || kind_ == StemHash::Narrow)
            return true;
        std::string owner;
        return IsWhole(names_.Owner(), 0) && ReadWhole(names_.Owner(), owner) && owner == OwnerText(files_);
    }

    // Every replaced target has its previous file whole, or did not exist before.
    bool CanTakeBack() const
    {
        return undoing_ || std::ranges::all_of(replaced_, [this](std::size_t i) {
                   return KeptIsWhole(i) || IsWhole(names_.Absent(i), 0);
               });
    }

    // Every new file not yet in place is whole.
    bool CanComplete() const
    {
        if (undoing_ || !IsWhole(names_.Marker(), files_[names_.Last()].WholeSize))
            return false;
        for (std::size_t i = 0; i < names_.Last(); ++i)
            if (!IsReplaced(i) && !IsWhole(names_.Temporary(i), files_[i].WholeSize))
                return false;
        return true;
    }

    // The kept copies of replaced targets that are no regular file: a link or a folder, which no
    // save makes. Leftovers with one are no save's, whatever else lies beside them.
    std::vector<std::string> ForeignKept() const
    {
        std::vector<std::string> foreign;
        for (const std::size_t i : replaced_)
            if (Exists(names_.Kept(i)) && !IsWhole(names_.Kept(i), 0))
                foreign.push_back(names_.Kept(i));
        return foreign;
    }

    // Puts the previous files back: the marker becomes the take-back's, so that a take-back cut
    // short is finished next time and never completed (where another removed the marker, the
    // take-back's is made anew); then each replaced target gets its kept file again, or goes when
    // it was new. A kept file is never dropped before it is back in place. Returns 0 or the error
    // of the first step that failed.
    int TakeBack() const
    {
        if (!undoing_) {
            if (Exists(names_.Marker())) {
                if (Rename(names_.Marker().c_str(), names_.Undo().c_str()) != 0)
                    return errno;
            } else if (const int fd = CreateExclusive(names_.Undo()); fd < 0 || WriteAndClose(fd, {}) != 0) {
                return errno;
            }
        }
        for (const std::size_t i : replaced_) {
            const std::string& target = files_[i].FileName;
            if (IsWhole(names_.Kept(i), 0)) {
                if (Rename(names_.Kept(i).c_str(), target.c_str()) != 0)
                    return errno;
            } else if (Exists(names_.Absent(i)) && Exists(target) && Unlink(target) != 0) {
                return errno;
            }
        }
        names_.RemoveLeftovers();
        return 0;
    }

    // Puts the new files not yet in place onto their targets in the order of the save, the last
    // one last. Returns 0 or the error of the first rename that failed.
    int Complete() const
    {
        for (std::size_t i = 0; i <= names_.Last(); ++i)
            if (!IsReplaced(i) && Rename(names_.Temporary(i).c_str(), files_[i].FileName.c_str()) != 0)
                return errno;
        names_.RemoveLeftovers();
        return 0;
    }

    // The files to read, where they stand, for a folder that cannot be changed: the previous files
    // from their kept copies, or else the new files from the save's; empty when neither is whole.
    std::vector<std::string> ReadInPlace() const
    {
        std::vector<std::string> readFrom = NamesOf(files_);
        if (std::ranges::all_of(replaced_, [this](std::size_t i) { return KeptIsWhole(i); })) {
            for (const std::size_t i : replaced_)
                readFrom[i] = names_.Kept(i);
            return readFrom;
        }
        if (!CanComplete())
            return {};
        for (std::size_t i = 0; i <= names_.Last(); ++i)
            if (!IsReplaced(i))
                readFrom[i] = names_.Temporary(i);
        return readFrom;
    }

    const SaveNames& Names() const { return names_; }

private:
    bool IsReplaced(std::size_t i) const { return std::ranges::find(replaced_, i) != replaced_.end(); }
    bool KeptIsWhole(std::size_t i) const { return IsWhole(names_.Kept(i), files_[i].WholeSize); }

    const std::vector<SavedFile>& files_;
    SaveNames names_;
    StemHash kind_ = StemHash::Wide;
    bool undoing_ = false, pending_ = false, current_ = false;
    std::vector<std::size_t> replaced_;
};

enum class SettleFor { Opening, Saving };

// Whether an entry beside the files other than they has one of their side names as earlier builds
// made them. Those names hold a hash for which a second name is found in a moment, and two names
// that end alike hash alike whatever their endings: leftovers under them may be that entry's and
// are left to it. Where no such entry is there, they can be of no file but these.
bool NarrowNamesShared(const std::vector<SavedFile>& files)
{
    std::set<std::string> stems, names, folders;
    for (const SavedFile& file : files) {
        stems.insert(SideStem(file.FileName, StemHash::Narrow));
        names.insert(file.FileName);
        folders.insert(SplitPath(file.FileName).first);
    }
    for (const std::string& folder : folders) {
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir)
            continue;
        const ScopeExit close([dir] { ::closedir(dir); });
        const std::size_t limit = filecalls::NameLimit(folder);
        while (const dirent* entry = ::readdir(dir)) {
            const std::string path = folder + entry->d_name;
            // Only a name too long to keep has a side name that is not its own.
            if (std::strlen(entry->d_name) + kLongestSide > limit && !names.contains(path) &&
                stems.contains(SideStem(path, StemHash::Narrow)))
                return true;
        }
    }
    return false;
}

// Whether every file is a whole regular file.
bool AllWhole(const std::vector<SavedFile>& files)
{
    return std::ranges::all_of(files, [](const SavedFile& file) { return IsWhole(file.FileName, file.WholeSize); });
}

// The note on entries beside the files that no save made and that were left alone.
std::string ForeignNote(const std::vector<std::string>& files, const std::vector<std::string>& foreign)
{
    const bool one = foreign.size() == 1;
    return "Neben den Dateien " + QuotedNames(files) + (one ? " liegt " : " liegen ") + QuotedNames(foreign) +
           (one ? ", das keine Datei einer Speicherung ist; es wurde"
                : ", die keine Dateien einer Speicherung sind; sie wurden") +
           " nicht verändert, und die Dateien wurden gelesen, wie sie sind.";
}

// The note on a save cut short that an earlier build left under side names another file shares,
// so that it may be that file's: left alone.
std::string SharedNote(const std::vector<std::string>& files, const std::vector<std::string>& markers)
{
    return "Neben den Dateien " + QuotedNames(files) + " liegt, was eine unterbrochene Speicherung einer früheren "
           "Programmversion zurückgelassen hat (" + QuotedNames(markers) +
           "), aber es kann auch zu einer anderen Datei gehören; es wurde nicht verändert, und die Dateien wurden "
           "gelesen, wie sie sind.";
}

// Settles what saves of the files left (see RecoverInterruptedSave). Before a save (`Saving`),
// leftovers that can neither be taken back nor completed are removed: the save replaces every
// file. `error` gets the error of a step that failed.
RecoveredFiles Settle(const std::vector<SavedFile>& files, SettleFor purpose, int& error)
{
    RecoveredFiles result{true, NamesOf(files), {}};
    std::vector<std::string> foreign, shared;
    // Looked for at the first leftovers of earlier builds: most folders have none.
    std::optional<bool> narrowShared;
    const auto leftToAnother = [&](const LeftoverSave& save) {
        if (save.Kind != StemHash::Narrow)
            return false;
        if (!narrowShared)
            narrowShared = NarrowNamesShared(files);
        return *narrowShared;
    };
    for (const LeftoverSave& save : LeftoverSaves(files)) {
        const Leftovers left(files, save);
        if (leftToAnother(save)) {
            if (left.Unfinished())
                shared.push_back(left.Names().Marker());
            continue;
        }
        if (!left.Unfinished()) {
            left.Names().RemoveLeftovers();
            continue;
        }
        // Nothing is taken back or completed from what no save of these files made (an owner note
        // missing or naming other files): only regular files of its names are there, and go.
        if (!left.Owned()) {
            left.Names().RemoveLeftovers();
            continue;
        }
        const bool takeBack = left.CanTakeBack();
        if (!takeBack && !left.CanComplete()) {
            // A kept copy that is a link or a folder beside a marker that is no whole new file:
            // nothing a save of ours leaves. Files that are whole are read as they are; only what
            // is a regular file of those names goes, so that this is said once.
            const std::vector<std::string> odd = left.ForeignKept();
            if (purpose == SettleFor::Saving || (!odd.empty() && AllWhole(files))) {
                left.Names().RemoveLeftovers();
                foreign.insert(foreign.end(), odd.begin(), odd.end());
                continue;
            }
            return {false, {},
                    "Die Dateien " + QuotedNames(result.ReadFrom) +
                        " gehören nicht zusammen: Eine Speicherung wurde unterbrochen, und was sie "
                        "zurückgelassen hat, ist unvollständig."};
        }
        const std::vector<std::string> inPlace = left.ReadInPlace();
        error = takeBack ? left.TakeBack() : left.Complete();
        if (error == 0)
            continue;
        // The folder cannot be changed (write-protected, a read-only share): the files are read
        // where they stand, and the user is told which.
        if (inPlace.empty() || !std::ranges::all_of(inPlace, Exists))
            return {false, {},
                    "Die Speicherung von " + QuotedNames(result.ReadFrom) +
                        " wurde unterbrochen und lässt sich in ihrem Ordner nicht bereinigen: " +
                        FileErrorReason(error, files.front().FileName)};
        return {true, inPlace,
                "Die Speicherung von " + QuotedNames(result.ReadFrom) +
                    " wurde unterbrochen und lässt sich in ihrem Ordner nicht bereinigen; gelesen wurden " +
                    QuotedNames(inPlace) + "."};
    }
    if (purpose == SettleFor::Saving)
        return result;
    if (!foreign.empty())
        result.Message = ForeignNote(result.ReadFrom, foreign);
    if (!shared.empty())
        result.Message += (result.Message.empty() ? "" : "\n") + SharedNote(result.ReadFrom, shared);
    return result;
}

// Keeps a second name for the target's present file, so that it can be put back: a hard link
// where the file system has them, else a copy, written whole under a name of its own first; or a
// note that the target did not exist. The target keeps its name all the time, so that no moment
// leaves it missing. Returns 0 or the error.
int KeepPrevious(const SaveNames& names, std::size_t i, const std::string& target)
{
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return errno;
        const int fd = CreateExclusive(names.Absent(i));
        return fd < 0 ? errno : WriteAndClose(fd, {});
    }
    if (!S_ISREG(info.st_mode))
        return 0;  // not a file: the rename over it fails, and nothing need come back
    const std::string kept = names.Kept(i);
    if (Link(target.c_str(), kept.c_str()) == 0)
        return 0;
    if (errno == EEXIST)
        return EEXIST;
    std::string bytes;
    if (!ReadWhole(target, bytes))
        return errno;
    const std::string copy = names.Copy(i);
    const int fd = CreateExclusive(copy);
    if (fd < 0)
        return errno;
    ::fchmod(fd, info.st_mode & 07777);
    int error = WriteAndClose(fd, bytes);
    if (error == 0 && Rename(copy.c_str(), kept.c_str()) != 0)
        error = errno;
    return error;
}

// Writes the owner note of a save whose side names hold a hash. Returns 0 or the error.
int WriteOwnerNote(const SaveNames& names, const std::vector<SavedFile>& files)
{
    const int fd = CreateExclusive(names.Owner());
    return fd < 0 ? errno : WriteAndClose(fd, OwnerText(files));
}

// Writes the bytes into a new file beside the target, with the target's permissions. The first
// file of a save draws the random part of the token (followed by `suffix`); the others use it.
// Returns 0 or the error; `temporary` is the file's name once it was made.
int WriteTemporary(const std::string& target, std::string_view bytes, const std::string& suffix,
                   std::string& token, std::string& temporary)
{
    const bool fresh = token.empty();
    const std::string stem = SideStem(target) + std::string(kTemporaryTag);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        if (fresh)
            token = filecalls::RandomText(kRandomLength) + suffix;
        fd = CreateExclusive(stem + token);
        if (fd < 0 && (errno != EEXIST || !fresh))
            return errno;
    }
    if (fd < 0)
        return errno;
    temporary = stem + token;
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
    ::fchmod(fd, mode);
    return WriteAndClose(fd, bytes);
}

// Why renaming a new file onto its target failed: a new file that another program removed
// meanwhile is no folder that takes no files.
std::string RenameFailureReason(int error, const std::string& temporary, const std::string& target)
{
    if (error == ENOENT && !Exists(temporary) && FolderExists(target))
        return "Ein anderes Programm hat die neue Fassung entfernt, bevor sie an ihre Stelle kam.";
    return FileErrorReason(error, target);
}

// Saves one file: a new file beside it, renamed onto it.
SaveResult WriteOneFile(const FileContents& file)
{
    const std::string target = ResolvedPath(file.FileName);
    // A name still a link after every step is a loop: the link is not replaced by a file.
    if (IsLink(target))
        return Failure(file.FileName, FileErrorReason(ELOOP, target));
    std::string token, temporary;
    const int error = WriteTemporary(target, file.Bytes, {}, token, temporary);
    if (error == 0 && Rename(temporary.c_str(), target.c_str()) == 0)
        return {true, {}};
    const int failure = error == 0 ? errno : error;
    if (!temporary.empty())
        Unlink(temporary);
    return Failure(file.FileName, error == 0 ? RenameFailureReason(failure, temporary, target)
                                              : FileErrorReason(failure, target));
}

// What an entry at the lock's name that is no lock file is, in German.
std::string EntryKind(const std::string& name)
{
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0)
        return "ein Eintrag";
    if (S_ISLNK(info.st_mode))
        return "eine symbolische Verknüpfung";
    if (S_ISDIR(info.st_mode))
        return "ein Ordner";
    if (S_ISFIFO(info.st_mode))
        return "eine Pipe";
    if (S_ISSOCK(info.st_mode))
        return "ein Socket";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return "eine Gerätedatei";
    return "ein Eintrag";
}

// The note on an entry at the lock's name that is no lock file: while it is there, no lock keeps
// two saves of the files apart, nor a save from an opening.
std::string ForeignLockNote(const std::vector<std::string>& files, const std::string& entry)
{
    return "An der Stelle der Sperrdatei " + Quoted(entry) + " der Dateien " + QuotedNames(files) + " liegt " +
           EntryKind(entry) +
           ", keine Sperrdatei. Solange dieser Eintrag dort liegt, werden die Dateien ohne Sperre geöffnet und "
           "gespeichert: Andere Fenster und Kollegen werden dabei nicht ferngehalten, und zwei Speicherungen zur "
           "selben Zeit können die Dateien vermischen. Der Eintrag wurde nicht verändert; bitte lassen Sie ihn von "
           "dem entfernen, der ihn angelegt hat.";
}

// Why a lock file that no program holds cannot be removed.
std::string StuckLockReason(int error, const std::string& lockFile)
{
    const std::string why = error == EACCES || error == EPERM
                                ? "Sie gehört einem anderen Benutzer, oder in ihrem Ordner darf nicht gelöscht werden."
                                : FileErrorReason(error, lockFile);
    return "Die Sperrdatei " + Quoted(lockFile) + " hält kein Programm mehr, aber sie lässt sich nicht entfernen: " +
           why;
}

// Whether a folder can hold no lock file (it takes no new files, or no file of that name): a save
// there goes on without one, and fails where it cannot write its files either. Any other failure
// (a full disk, a share gone, too many open files) refuses the save rather than let it go on
// unlocked.
bool HoldsNoLock(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case ENOTDIR:
    case EINVAL:
    case ENAMETOOLONG:
    case EOPNOTSUPP:
        return true;
    default:
        return false;
    }
}

// What taking the files' lock came to: the lock; or, where none is had, why the save or opening
// is refused, or the note that the files are read or saved without it (said once by the caller).
struct TakenLock {
    std::unique_ptr<SaveLock> Lock;
    std::string Refusal;
    std::string Note;
};

// The files' lock for a save or an opening. Refused while another holds it, and for a save where
// its note cannot be written (a full disk, a share gone: the save would fail the same way), where
// a lock no program holds cannot be removed (an opening reads, and notes that), or where the lock
// file cannot be made for any reason but one that keeps it out of the folder for good. There (a
// folder that takes no new files, a name another program put there as no lock), files are read
// without a lock, and a save goes on to fail with the reason of the file it cannot write, or saves
// as it did before there were locks and notes that it did.
TakenLock TakeLock(const std::vector<SavedFile>& files, SettleFor purpose)
{
    const std::string name = LockName(files);
    SaveLock::Attempt attempt = SaveLock::Take(name);
    TakenLock taken{std::move(attempt.Lock), {}, {}};
    const bool saving = purpose == SettleFor::Saving;
    if (taken.Lock)
        return taken;
    if (attempt.Error == EAGAIN)
        taken.Refusal = LockedReason(attempt, name);
    else if (attempt.NoteFailed)
        taken.Refusal = saving ? FileErrorReason(attempt.Error, name) : std::string();
    else if (attempt.Stuck && saving)
        taken.Refusal = StuckLockReason(attempt.Error, name) +
                        " Bitte lassen Sie sie von jemandem entfernen, der sie löschen darf (ihrem Besitzer oder dem "
                        "Verwalter des Ordners); bis dahin kann nicht gespeichert werden.";
    else if (attempt.Stuck)
        taken.Note = "Die Dateien " + QuotedNames(NamesOf(files)) + " wurden ohne Sperre gelesen. " +
                     StuckLockReason(attempt.Error, name) +
                     " Gespeichert werden können die Dateien erst, wenn sie jemand entfernt hat, der sie löschen "
                     "darf (ihr Besitzer oder der Verwalter des Ordners).";
    else if (attempt.Error == EEXIST)
        taken.Note = ForeignLockNote(NamesOf(files), name);
    else if (saving && HoldsNoLock(attempt.Error))
        taken.Note = "Neben den Dateien " + QuotedNames(NamesOf(files)) + " lässt sich keine Sperrdatei anlegen: " +
                     FileErrorReason(attempt.Error, name) +
                     " Die Dateien werden darum ohne Sperre gespeichert: Andere Fenster und Kollegen werden dabei "
                     "nicht ferngehalten.";
    else if (saving)
        taken.Refusal = FileErrorReason(attempt.Error, name);
    return taken;
}

// The message of a save that finds a file changed since the caller saw it.
std::string ChangedOnDiskMessage(const std::string& fileName)
{
    return "Die Datei " + Quoted(fileName) +
           " wurde geändert, seit sie geöffnet oder zuletzt gespeichert wurde (in einem anderen Fenster oder von "
           "einem anderen Benutzer).";
}

}  // namespace

bool FolderExists(const std::string& fileName)
{
    if (fileName.empty())
        return false;
    const auto slash = fileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : fileName.substr(0, slash);
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ResolvedPath(std::string path)
{
    for (int step = 0; step < 40; ++step) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0)
            return path;
        const std::string link(target, static_cast<std::size_t>(n));
        const auto slash = path.rfind('/');
        path = link.front() == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    return path;
}

SaveResult WriteFilesAtomically(const std::vector<FileContents>& files)
{
    if (files.size() < 2)
        return files.empty() ? SaveResult{true, {}} : WriteOneFile(files.front());
    std::vector<SavedFile> targets;
    for (const FileContents& file : files) {
        targets.push_back({ResolvedPath(file.FileName), file.WholeSize});
        if (IsLink(targets.back().FileName))
            return Failure(file.FileName, FileErrorReason(ELOOP, targets.back().FileName));
    }
    const std::size_t last = files.size() - 1;
    // No other save or opening of these files runs until this one is done: an opening would take
    // this save's files for the leftovers of one cut short, and a second save would mix its files
    // with these.
    const TakenLock lock = TakeLock(targets, SettleFor::Saving);
    if (!lock.Refusal.empty())
        return Failure(files[last].FileName, lock.Refusal);
    // What an earlier save of these names left is settled first: a save cut short now must find
    // the files all old or all new, and one that completes leaves nothing an opening could take
    // back over it.
    int error = 0;
    const RecoveredFiles settled = Settle(targets, SettleFor::Saving, error);
    if (settled.ReadFrom != NamesOf(targets))
        return Failure(files.front().FileName, FileErrorReason(error, targets.front().FileName));
    const std::string fingerprint = FileFingerprint(targets[last].FileName);
    // A change another window or user made since the caller saw the files is not written over
    // unasked; the last file, the one a user knows the files by, is named first.
    for (std::size_t i = files.size(); i-- > 0;) {
        const std::string now = i == last ? fingerprint : FileFingerprint(targets[i].FileName);
        if (!files[i].SeenAs.empty() && now != files[i].SeenAs && now != NoFingerprint())
            return {false, ChangedOnDiskMessage(files[i].FileName), true};
    }

    std::string token;
    std::vector<std::string> temporaries(files.size());
    std::size_t replaced = 0;
    // Until the last file is in place, a failure takes back what this save replaced, from the
    // kept copies it made (also where another removed its marker meanwhile), and removes the rest;
    // a take-back that fails half-way is finished by the next opening.
    const auto fail = [&](std::size_t i, const std::string& reason) {
        if (replaced > 0)
            Leftovers(targets, token, replaced).TakeBack();
        else if (!token.empty())
            SaveNames(targets, token).RemoveLeftovers();
        return Failure(files[i].FileName, reason);
    };
    for (std::size_t i = 0; i < files.size(); ++i)
        if (const int failure = WriteTemporary(targets[i].FileName, files[i].Bytes, fingerprint, token, temporaries[i]))
            return fail(i, FileErrorReason(failure, targets[i].FileName));
    const SaveNames names(targets, token);
    // Side names that hold a hash say whose they are before anything is replaced, so that an
    // opening takes back nothing that is not of these files.
    if (names.Hashed())
        if (const int failure = WriteOwnerNote(names, targets))
            return fail(last, FileErrorReason(failure, targets[last].FileName));
    // The last file needs no way back: when its rename fails, it was never replaced.
    for (std::size_t i = 0; i < last; ++i)
        if (const int failure = KeepPrevious(names, i, targets[i].FileName))
            return fail(i, FileErrorReason(failure, targets[i].FileName));
    for (std::size_t i = 0; i < last; ++i)
        SyncFolder(targets[i].FileName);
    for (; replaced < files.size(); ++replaced)
        if (Rename(temporaries[replaced].c_str(), targets[replaced].FileName.c_str()) != 0)
            return fail(replaced, RenameFailureReason(errno, temporaries[replaced], targets[replaced].FileName));
    names.RemoveLeftovers();
    return {true, {}, false, lock.Note};
}

RecoveredFiles RecoverInterruptedSave(const std::vector<SavedFile>& files)
{
    std::vector<SavedFile> targets;
    for (const SavedFile& file : files)
        targets.push_back({ResolvedPath(file.FileName), file.WholeSize});
    TakenLock lock;
    if (targets.size() >= 2 && !(lock = TakeLock(targets, SettleFor::Opening)).Refusal.empty())
        return {false, {},
                "Die Datei " + Quoted(targets.back().FileName) + " kann gerade nicht geöffnet werden: " + lock.Refusal};
    int error = 0;
    RecoveredFiles recovered = targets.size() < 2 ? RecoveredFiles{true, NamesOf(targets), {}}
                                                  : Settle(targets, SettleFor::Opening, error);
    if (!recovered.Ok)
        return recovered;
    recovered.LockNote = lock.Note;
    for (const SavedFile& file : targets)
        recovered.Fingerprints.push_back(FileFingerprint(file.FileName));
    recovered.Lock = std::move(lock.Lock);
    return recovered;
}

std::string BytesFingerprint(std::string_view bytes)
{
    if (bytes.size() <= kFingerprintWhole)
        return FingerprintOf(bytes.size(), bytes, {});
    return FingerprintOf(bytes.size(), bytes.substr(0, kFingerprintEnds), bytes.substr(bytes.size() - kFingerprintEnds));
}

std::string FileFingerprint(const std::string& fileName)
{
    if (!IsWhole(fileName, 0))
        return NoFingerprint();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return NoFingerprint();
    const ScopeExit close([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return NoFingerprint();
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::string head, tail;
    if (size <= kFingerprintWhole)
        return ReadRange(fd, 0, size, head) ? FingerprintOf(head.size(), head, {}) : NoFingerprint();
    if (!ReadRange(fd, 0, kFingerprintEnds, head) || !ReadRange(fd, size - kFingerprintEnds, kFingerprintEnds, tail))
        return NoFingerprint();
    return FingerprintOf(size, head, tail);
}

SaveResult WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& produce)
{
    TMemoryStream contents;
    try {
        produce(contents);
    } catch (const std::exception& e) {
        return Failure(fileName, e.what());
    }
    return WriteOneFile(
        {fileName, std::string_view(reinterpret_cast<const char*>(contents.Memory()),
                                    static_cast<std::size_t>(contents.Size()))});
}

SaveResult WriteFileAtomically(const std::string& fileName, std::string_view bytes)
{
    return WriteOneFile({fileName, bytes});
}

int WriteAccessError(const std::string& fileName)
{
    struct stat before {};
    const bool existed = ::stat(fileName.c_str(), &before) == 0;
    // No O_TRUNC: a file that is there keeps its contents.
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, DefaultMode());
    if (fd < 0)
        return errno;
    ::close(fd);
    if (!existed)
        ::unlink(fileName.c_str());
    return 0;
}

std::string FileErrorReason(int error, const std::string& fileName)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "Keine Berechtigung zum Schreiben an diesem Ort.";
    case ENOENT:
        // Also what a folder of the system (/proc) answers that is there but takes no files.
        return FolderExists(fileName) ? "In diesem Ordner können keine Dateien angelegt werden."
                                      : "Der Ordner existiert nicht.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case EISDIR:
        return "Der Name gehört zu einem Ordner.";
    case ENOTEMPTY:
        return "Der Name gehört zu einem Ordner, der nicht leer ist.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist nicht genug Platz.";
    case EFBIG:
    case EOVERFLOW:
        return "Die Datei ist für diesen Datenträger zu groß.";
    case ENAMETOOLONG:
        return "Der Name ist zu lang.";
    case ELOOP:
        return "Der Pfad enthält eine Schleife symbolischer Verknüpfungen.";
    case EINVAL:
        return "Der Name ist an diesem Ort nicht zulässig.";
    case EEXIST:
        return "Eine Datei dieses Namens ist bereits vorhanden.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade verwendet.";
    case EAGAIN:
    case ENOLCK:
        return "Die Datei ist gesperrt.";
    case EMFILE:
    case ENFILE:
        return "Es sind zu viele Dateien geöffnet.";
    case ENOMEM:
        return "Der Arbeitsspeicher reicht nicht aus.";
    case EMLINK:
        return "Der Ordner kann keine weiteren Einträge aufnehmen.";
    case EXDEV:
        return "Die Datei und ihr Ordner liegen auf verschiedenen Datenträgern.";
    case EOPNOTSUPP:
        return "Der Datenträger unterstützt diesen Vorgang nicht.";
    case ENXIO:
    case ENODEV:
        return "Das Gerät ist nicht verfügbar.";
    case EIO:
        return "Beim Zugriff auf den Datenträger ist ein Ein-/Ausgabefehler aufgetreten.";
    case EINTR:
    case ECANCELED:
        return "Der Vorgang wurde unterbrochen.";
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case ECONNRESET:
    case ECONNABORTED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ENOLINK:
        return "Die Verbindung zum Netzlaufwerk ist unterbrochen.";
    default:
        // No system text: it would be English.
        return "Das Betriebssystem hat den Vorgang abgelehnt (Fehlernummer " + std::to_string(error) + ").";
    }
}

}  // namespace velmoran
