// Saves cut short at every step, for the tests of saving files together: the folder copied before
// and after each change the atomic writer makes in it (through its file-system seam), as a kill at
// that moment would leave it; a file system without hard links; a folder that cannot be changed.
#pragma once

#include "platform/core/AtomicFile.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace velmoran::testing {

// A copy of the folder as it stood at one step of a save; Step says which ("before link
// plant.vdh -> plant.vdh.~old…").
struct SaveStep {
    std::string Step;
    std::unique_ptr<TempFolder> Folder;
};

// The names of the entries of a folder, sorted.
inline std::vector<std::string> EntryNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Flushing to the disk left out: the kills of these tests never lose what the disk cache holds,
// and a busy disk would make them slow.
inline int NoSync(int)
{
    return 0;
}

// No pause while a lock is held: the folders of these tests stand still, so a second look at a
// lock comes as well at once.
inline void NoWait(int) {}

// Copies every entry of a folder (links as links) into a fresh one.
inline std::unique_ptr<TempFolder> CopyOfFolder(const std::string& folder)
{
    auto copy = std::make_unique<TempFolder>();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::filesystem::copy(entry.path(), copy->Folder() + entry.path().filename().string(),
                              std::filesystem::copy_options::copy_symlinks |
                                  std::filesystem::copy_options::recursive);
    return copy;
}

// While it lives, every save's changes in `folder` are recorded step by step; without hard links
// the link call fails as it does on FAT sticks and many shares.
class SaveSteps {
public:
    SaveSteps(const TempFolder& folder, bool hardLinks)
        : folder_(folder),
          seams_({.Link = [this, hardLinks](const char* from, const char* to) {
                      return Step("link", from, to, [&] {
                          if (hardLinks)
                              return ::link(from, to);
                          errno = EPERM;
                          return -1;
                      });
                  },
                  .Rename = [this](const char* from, const char* to) {
                      return Step("rename", from, to, [&] { return ::rename(from, to); });
                  },
                  .Create = [this](const char* name) {
                      return Step("create", name, nullptr, [&] {
                          return ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
                      });
                  },
                  .Unlink = [this](const char* name) {
                      return Step("unlink", name, nullptr, [&] { return ::unlink(name); });
                  },
                  .Sync = NoSync,
                  .Wait = NoWait})
    {
    }

    std::vector<SaveStep> Release() { return std::move(taken_); }

private:
    int Step(const char* call, const char* from, const char* to, const std::function<int()>& run)
    {
        std::string step = std::string(call) + " " + std::filesystem::path(from).filename().string();
        if (to)
            step += " -> " + std::filesystem::path(to).filename().string();
        Take("before " + step);
        const int result = run();
        const int error = errno;
        Take("after " + step);
        errno = error;
        return result;
    }

    // A copy of the folder, unless it stands as at the step before (a rename is followed by the
    // next call at once; a file made is written before the next).
    void Take(std::string step)
    {
        if (!taken_.empty() && SameEntries(taken_.back().Folder->Folder(), folder_.Folder()))
            return;
        taken_.push_back({std::move(step), CopyOfFolder(folder_.Folder())});
    }

    static bool SameEntries(const std::string& a, const std::string& b)
    {
        const std::vector<std::string> names = EntryNames(a);
        if (names != EntryNames(b))
            return false;
        return std::all_of(names.begin(), names.end(), [&](const std::string& name) {
            return TempFolder::Read(a + name) == TempFolder::Read(b + name);
        });
    }

    const TempFolder& folder_;
    std::vector<SaveStep> taken_;
    ScopedFileSystemCalls seams_;
};

// The folder at every step of the save `save` runs in it (with the seams in place only meanwhile).
inline std::vector<SaveStep> StepsOfSave(const TempFolder& folder, bool hardLinks, const std::function<void()>& save)
{
    SaveSteps steps(folder, hardLinks);
    save();
    return steps.Release();
}

// A folder that cannot be changed (write-protected, a read-only share): every change fails.
inline FileSystemCalls ReadOnlyFolder()
{
    const auto refuse = [](auto...) {
        errno = EROFS;
        return -1;
    };
    return {.Link = refuse, .Rename = refuse, .Create = refuse, .Unlink = refuse, .Sync = NoSync, .Wait = NoWait};
}

// Whether anything a save makes beside its files ("name.~…") is in the folder.
inline bool SaveLeftoversIn(const std::string& folder)
{
    for (const std::string& name : EntryNames(folder))
        if (name.find(".~") != std::string::npos)
            return true;
    return false;
}

}  // namespace velmoran::testing
