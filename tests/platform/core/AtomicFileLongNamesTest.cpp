// Names too long for their side files to keep them whole: the side names end in a hash of the
// name that no one can find a second name for, a save says whose its leftovers are, and the
// leftovers of earlier builds (whose hash anyone could match) are taken only where no other file
// has their side names.
#include "platform/core/AtomicFile.h"
#include "platform/core/FileCalls.h"
#include "platform/core/Sha256.h"

#include "tests/support/InterruptedSaves.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

using namespace velmoran;
using velmoran::testing::CopyOfFolder;
using velmoran::testing::EntryNames;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLongName = 240;

// Two names of one start and length whose side names earlier builds ended alike: 32 bits of
// FNV-1a, for which two names are found among a few hundred thousand (these were, by counting
// through endings in base 36).
std::pair<std::string, std::string> NamesEarlierBuildsHashedAlike()
{
    const std::string start(kLongName - 14, 'n');
    return {start + "0000001pfs.vda", start + "000000ivja.vda"};
}

std::string Companion(const std::string& name)
{
    return name.substr(0, name.size() - 4) + ".vdh";
}

// The side names of a long name in a folder that takes 255 bytes: as this build makes them, and as
// earlier builds did.
std::string WideStem(const std::string& name)
{
    const Sha256Digest digest = Sha256(name);
    return name.substr(0, 255 - 20 - 33) + "~" + filecalls::HexText(std::span(digest).first(16));
}

std::string NarrowStem(const std::string& name)
{
    return name.substr(0, 255 - 20 - 9) + "~" + filecalls::HexText(filecalls::Fnv1a(name));
}

using Stem = std::function<std::string(const std::string&)>;

// Gives each leftover of a save (named by `from`, the stem of its file) the stem `to` gives that
// file instead; the owner note goes when `dropOwner` (earlier builds wrote none).
void MoveLeftovers(const TempFolder& dir, const std::vector<std::string>& files, const Stem& from, const Stem& to,
                   bool dropOwner)
{
    for (const std::string& entry : EntryNames(dir.Folder()))
        for (const std::string& file : files)
            if (entry.starts_with(from(file) + ".~")) {
                const std::string rest = entry.substr(from(file).size());
                if (dropOwner && rest.starts_with(".~own"))
                    fs::remove(dir / entry);
                else
                    fs::rename(dir / entry, dir / (to(file) + rest));
            }
}

}  // namespace

// Two long names whose side names earlier builds hashed alike (found in a moment) shared their
// leftovers: opening one, whose last file held what the other's did before its save, put the
// other's killed save into it. Now the side names of the two differ; a save's owner note keeps an
// opening from taking what another pair's save left under its side names; and what earlier builds
// left is taken back where no other file has its side names, and else left alone and said.
TEST(AtomicFile, LongNamesNeverShareLeftovers)
{
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    const auto [first, second] = NamesEarlierBuildsHashedAlike();
    ASSERT_EQ(NarrowStem(first), NarrowStem(second));
    const TempFolder dir;
    const auto pairIn = [](const TempFolder& in, const std::string& name) {
        return std::vector<SavedFile>{{in / Companion(name), 3}, {in / name, 3}};
    };
    const auto save = [](const std::vector<SavedFile>& pair, const std::string& a, const std::string& b) {
        return WriteFilesAtomically({{pair[0].FileName, a, 3}, {pair[1].FileName, b, 3}});
    };
    const auto opened = [](const std::vector<SavedFile>& pair) {
        const RecoveredFiles read = RecoverInterruptedSave(pair);
        EXPECT_TRUE(read.Ok) << read.Message;
        return read.Ok ? TempFolder::Read(read.ReadFrom[0]) + TempFolder::Read(read.ReadFrom[1]) : std::string();
    };
    ASSERT_TRUE(save(pairIn(dir, first), "one", "dos"));
    ASSERT_TRUE(save(pairIn(dir, second), "uno", "dos"));
    // The second pair's save killed with its first file replaced and its last not.
    std::unique_ptr<TempFolder> killed;
    for (auto& [step, folder] : velmoran::testing::StepsOfSave(dir, true, [&] {
             ASSERT_TRUE(save(pairIn(dir, second), "UNO", "DOS"));
         }))
        if (!killed && TempFolder::Read(*folder / Companion(second)) == "UNO" &&
            TempFolder::Read(*folder / second) == "dos")
            killed = std::move(folder);
    ASSERT_TRUE(killed);

    const std::vector<std::string> secondFiles = {Companion(second), second};
    const auto remainsFor = [&](const Stem& stem, bool dropOwner) {
        auto copy = CopyOfFolder(killed->Folder());
        MoveLeftovers(*copy, secondFiles, WideStem, stem, dropOwner);
        return copy;
    };
    // As this build left it; as if the first pair's side names were the second's; as earlier
    // builds left it.
    for (const std::string leftBy : {"this build", "a second name", "an earlier build"}) {
        SCOPED_TRACE(leftBy);
        const std::unique_ptr<TempFolder> folder =
            leftBy == std::string("this build") ? CopyOfFolder(killed->Folder())
            : leftBy == std::string("a second name")
                ? remainsFor([&](const std::string& file) { return WideStem(file == second ? first : Companion(first)); },
                             false)
                : remainsFor(NarrowStem, true);
        EXPECT_EQ(opened(pairIn(*folder, first)), "onedos");
        EXPECT_EQ(TempFolder::Read(*folder / first), "dos");
        if (leftBy == std::string("this build")) {
            EXPECT_EQ(opened(pairIn(*folder, second)), "unodos");
            EXPECT_EQ(EntryNames(folder->Folder()).size(), 4u);
        }
    }

    // What an earlier build left where the other pair shares its side names: whose it is cannot be
    // told, so the opening of either says so and changes nothing; without the other pair, it is
    // taken back.
    const auto earlier = remainsFor(NarrowStem, true);
    for (const std::string& name : {second, first}) {
        const RecoveredFiles read = RecoverInterruptedSave(pairIn(*earlier, name));
        ASSERT_TRUE(read.Ok);
        EXPECT_NE(read.Message.find("Programmversion zurückgelassen hat („" + *earlier / (NarrowStem(second) + ".~tmp")),
                  std::string::npos)
            << read.Message;
    }
    fs::remove(*earlier / first);
    fs::remove(*earlier / Companion(first));
    EXPECT_EQ(opened(pairIn(*earlier, second)), "unodos");
    EXPECT_EQ(EntryNames(earlier->Folder()).size(), 2u);
}
