// The design module's record, its calculation files and its data commands.
#include "hsg/HsgModule.h"

#include "Scenario.h"
#include "tests/framework/RecordHelpers.h"
#include "tests/support/InterruptedSaves.h"
#include "tests/support/ExampleCopy.h"
#include "framework/RecordFiles.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <unistd.h>

using namespace velmoran;
using velmoran::testing::Bytes;
using velmoran::testing::RandomRecord;
using velmoran::testing::TempFolder;

TEST(HsgRecord, LayoutAndDefaults)
{
    THSGRecord r;
    for (std::size_t i = 121; i < 128; ++i)
        r.Raw()[i] = static_cast<std::uint8_t>(i);
    r.SetAT(1);
    EXPECT_EQ(r.Raw()[120], 1);
    for (std::size_t i = 121; i < 128; ++i)
        EXPECT_EQ(r.Raw()[i], i) << "the rest of the AT slot is carried as stored";

    EXPECT_EQ(r.ParameterBlock().data() - r.Data(), 184);
    EXPECT_EQ(r.ParameterBlock().size(), 144u);

    THSGRecord d;
    SetBuiltInDefaults(d);
    const double params[18] = {1.072, 0, 0.75, 0.17, 1.103, 0.52, 0.15, 0.05, 1.0,
                               1.09,  0.56, 0.2, 0.75, 0.6, 0.2, 0.12, 0.01, 0.03};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(d.Double(184 + 8 * i), params[i]) << "parameter slot " << i;
    EXPECT_EQ(d.Double(hsg::kSNH4ANSP), 5.0);
    EXPECT_EQ(d.Double(hsg::kSH), 1.7);
    EXPECT_EQ(d.Double(hsg::kSFH), 1.25);
    EXPECT_EQ(d.AT(), 0);
    EXPECT_EQ(d.Double(hsg::kAlpha), 0.0);

    std::set<std::size_t> offsets;
    for (const MemberInfo& m : HsgRecordMembers()) {
        EXPECT_TRUE(offsets.insert(m.Offset).second) << m.Name;
        EXPECT_EQ(m.Offset % 8, 0u) << m.Name;
        EXPECT_LT(m.Offset, 328u);
    }
    EXPECT_EQ(offsets.size(), 38u) << "41 slots less the three reserved ones";
}

TEST(CalculationFiles, Pairing)
{
    struct Case {
        const char* name;
        CalculationFiles files;
    };
    const Case cases[] = {
        {"plant.vdh", {"plant.vda", "plant.vdh"}},
        {"plant.vda", {"plant.vda", "plant.vdh"}},
        {"plant.VDH", {"plant.VDH", "plant.vdh"}},
        {"plant", {"plant.vda", "plant.vdh"}},
        {"/x/a.b/plant.vda", {"/x/a.b/plant.vda", "/x/a.b/plant.vdh"}},
        {"/x/a.b/plant", {"/x/a.b/plant.vda", "/x/a.b/plant.vdh"}},
        {"plant.tar.vdh", {"plant.tar.vda", "plant.tar.vdh"}},
        {"/data/tmp.vds", {"/data/tmp.vds", "/data/tmp.vdh"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PairCalculationFiles(c.name), c.files) << c.name;
}

class HsgModuleFiles : public ::testing::Test {
protected:
    TempFolder tmp;
    THsgModule module;
};

TEST_F(HsgModuleFiles, InitDataWithoutDefaultsFiles)
{
    module.SetModuleTemplateFolder(tmp.Folder());
    module.CurrentHsg() = RandomRecord<THSGRecord>(1);
    module.SetModified(true);
    EXPECT_TRUE(module.Exec("InitData", {.Text = "ignored"}));
    EXPECT_FALSE(module.Modified());

    THSGRecord expected;
    SetBuiltInDefaults(expected);
    EXPECT_EQ(module.DefaultHsg(), expected);
    EXPECT_EQ(module.CurrentHsg(), expected);
    const TConstLoadCaseBlock b0 = module.CurrentCommon().Block(0);
    EXPECT_EQ(b0.Word(block::kFlags), 1);
    EXPECT_EQ(b0.Double(block::kQD), 0.0);
    EXPECT_EQ(module.CurrentCommon().Block(3).String(block::kBezeichn), "Sonder- lastfall");
}

TEST_F(HsgModuleFiles, InitDataReadsWholeDefaultsFilesOnly)
{
    module.SetModuleTemplateFolder(tmp.Folder());
    THSGRecord hsgDefaults = RandomRecord<THSGRecord>(2);
    // Parameters the design takes: one it refuses on its own keeps its built-in value.
    for (std::size_t offset = hsg::kaTh; offset < hsg::kSize; offset += sizeof(double))
        hsgDefaults.SetDouble(offset, 0.5 + static_cast<double>(offset) / 1000.0);
    TCommonRecord commonDefaults = RandomRecord<TCommonRecord>(3);
    TempFolder::Write(tmp / "hsg.vdt", Bytes(hsgDefaults));
    TempFolder::Write(tmp / "common.vdt", Bytes(commonDefaults));

    module.Exec("INITDATA");
    EXPECT_EQ(module.DefaultHsg(), hsgDefaults) << "all 41 members come from the file";
    EXPECT_EQ(module.CurrentHsg(), hsgDefaults);
    EXPECT_EQ(module.DefaultCommon(), commonDefaults);
    SetLoadCaseNames(commonDefaults);
    EXPECT_EQ(module.CurrentCommon(), commonDefaults);
    EXPECT_EQ(TempFolder::Read(tmp / "hsg.vdt"), Bytes(hsgDefaults)) << "the file is left unchanged";

    // A truncated defaults file is not half-read: the built-in defaults stay.
    TempFolder::Write(tmp / "hsg.vdt", Bytes(hsgDefaults).substr(0, 100));
    module.Exec("INITDATA");
    THSGRecord builtIn;
    SetBuiltInDefaults(builtIn);
    EXPECT_EQ(module.CurrentHsg(), builtIn);
}

TEST_F(HsgModuleFiles, SaveThenReadGivesEqualRecords)
{
    module.CurrentCommon() = RandomRecord<TCommonRecord>(4);
    module.CurrentHsg() = RandomRecord<THSGRecord>(5);
    SetLoadCaseNames(module.CurrentCommon());
    module.SetModified(true);
    ASSERT_TRUE(module.Exec("SaveData", {.Text = tmp / "plant.vda"}));
    EXPECT_FALSE(module.Modified());
    EXPECT_EQ(std::filesystem::file_size(tmp / "plant.vda"), 6784u);
    EXPECT_EQ(std::filesystem::file_size(tmp / "plant.vdh"), 328u);

    for (const char* name : {"plant.vda", "plant.vdh", "plant"}) {
        THsgModule fresh;
        fresh.Exec("INITDATA");
        fresh.SetModified(true);
        ASSERT_TRUE(fresh.Exec("ReadData", {.Text = tmp / name})) << name;
        EXPECT_FALSE(fresh.Modified());
        EXPECT_EQ(fresh.CurrentCommon(), module.CurrentCommon()) << name;
        EXPECT_EQ(fresh.CurrentHsg(), module.CurrentHsg()) << name;
    }
}

TEST_F(HsgModuleFiles, SaveWithoutExtensionWritesBothFiles)
{
    module.Exec("INITDATA");
    module.CurrentCommon().Block(0).SetDouble(block::kQD, 1234);
    ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = tmp / "plant"}));
    EXPECT_TRUE(std::filesystem::exists(tmp / "plant.vda"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "plant.vdh"));
    TCommonRecord back;
    ASSERT_TRUE(LoadRecordFromFile(back, tmp / "plant.vda"));
    EXPECT_EQ(back.Block(0).Double(block::kQD), 1234);
}

TEST_F(HsgModuleFiles, FailedSaveKeepsModified)
{
    module.Exec("INITDATA");
    module.SetModified(true);
    EXPECT_FALSE(module.Exec("SAVEDATA", {.Text = tmp / "missing/plant.vda"}));
    EXPECT_TRUE(module.Modified());
    const SaveResult result = module.WriteCalculationFile(tmp / "missing/plant.vda");
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Message.empty());
}

TEST_F(HsgModuleFiles, PairThatCannotBeCompletedStaysTheOldPair)
{
    // A folder stands where the ".vda" goes: the ".vdh" keeps its old bytes instead of a new
    // ".vdh" lying beside a calculation it does not belong to.
    module.Exec("INITDATA");
    ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = tmp / "plant.vda"}));
    const std::string oldHsg = TempFolder::Read(tmp / "plant.vdh");
    std::filesystem::remove(tmp / "plant.vda");
    std::filesystem::create_directories(tmp / "plant.vda/inside");
    module.CurrentHsg() = RandomRecord<THSGRecord>(7);
    module.SetModified(true);
    const SaveResult result = module.WriteCalculationFile(tmp / "plant.vda");
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Message.find("konnte nicht gespeichert werden"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(tmp / "plant.vdh"), oldHsg);
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "plant.vda/inside"));
    EXPECT_TRUE(module.Modified());
}

// A calculation opened through a symbolic link (a shortcut in the data folder) is one pair in the
// folder the link points to: saving writes both files there, and reading reads both from there.
TEST_F(HsgModuleFiles, APairReachedThroughALinkIsSavedWhereItLives)
{
    std::filesystem::create_directories(tmp / "echt");
    std::filesystem::create_directories(tmp / "verweise");
    module.Exec("INITDATA");
    ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = tmp / "echt/anlage.vda"}));
    std::filesystem::create_symlink("../echt/anlage.vda", tmp / "verweise/kurz.vda");
    EXPECT_EQ(ResolvedCalculationFiles(tmp / "verweise/kurz.vda"),
              (CalculationFiles{tmp / "verweise/../echt/anlage.vda", tmp / "verweise/../echt/anlage.vdh"}));

    module.CurrentCommon() = RandomRecord<TCommonRecord>(11);
    module.CurrentHsg() = RandomRecord<THSGRecord>(12);
    SetLoadCaseNames(module.CurrentCommon());
    ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = tmp / "verweise/kurz.vda"}));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "verweise/kurz.vda"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "verweise/kurz.vdh"));
    EXPECT_EQ(TempFolder::Read(tmp / "echt/anlage.vda"), Bytes(module.CurrentCommon()));
    EXPECT_EQ(TempFolder::Read(tmp / "echt/anlage.vdh"), Bytes(module.CurrentHsg()));

    THsgModule fresh;
    fresh.Exec("INITDATA");
    ASSERT_TRUE(fresh.Exec("ReadData", {.Text = tmp / "verweise/kurz.vda"}));
    EXPECT_EQ(fresh.CurrentHsg(), module.CurrentHsg());
    EXPECT_EQ(fresh.CurrentCommon(), module.CurrentCommon());
}

TEST_F(HsgModuleFiles, FailedReadsChangeNothing)
{
    module.Exec("INITDATA");
    const TCommonRecord common = module.CurrentCommon();
    const THSGRecord hsgRecord = module.CurrentHsg();
    module.SetModified(true);

    // Common file missing; common file of 100 bytes.
    EXPECT_FALSE(module.Exec("READDATA", {.Text = tmp / "none.vda"}));
    TempFolder::Write(tmp / "short.vda", std::string(100, '\x02'));
    EXPECT_FALSE(module.Exec("READDATA", {.Text = tmp / "short.vda"}));
    // A whole common file but a module file that is a folder: neither record changes, and the
    // message names the module file.
    TempFolder::Write(tmp / "half.vda", Bytes(RandomRecord<TCommonRecord>(6)));
    std::filesystem::create_directory(tmp / "half.vdh");
    std::vector<std::string> messages;
    EXPECT_FALSE(module.Exec("READDATA", {.Text = tmp / "half.vdh", .List = &messages}));
    EXPECT_EQ(messages, std::vector<std::string>{"Die Datei „" + (tmp / "half.vdh") +
                                                 "“ konnte nicht gelesen werden: Der Name gehört zu einem Ordner."});

    EXPECT_EQ(module.CurrentCommon(), common);
    EXPECT_EQ(module.CurrentHsg(), hsgRecord);
    EXPECT_TRUE(module.Modified());

    // A short module file is no half record: the module record keeps what it held, and a note
    // says so.
    std::filesystem::remove(tmp / "half.vdh");
    TempFolder::Write(tmp / "half.vdh", std::string(100, '\x03'));
    messages.clear();
    EXPECT_TRUE(module.Exec("READDATA", {.Text = tmp / "half.vdh", .List = &messages}));
    EXPECT_EQ(module.CurrentHsg(), hsgRecord);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("ist unvollständig"), std::string::npos);
}

TEST_F(HsgModuleFiles, MissingModuleFileAndLongFilesAreAccepted)
{
    module.Exec("INITDATA");
    const THSGRecord hsgRecord = module.CurrentHsg();
    TCommonRecord common = RandomRecord<TCommonRecord>(7);
    TempFolder::Write(tmp / "only.vda", Bytes(common) + std::string(216, 'x'));
    std::filesystem::permissions(tmp / "only.vda", std::filesystem::perms::owner_read);
    ASSERT_TRUE(module.Exec("READDATA", {.Text = tmp / "only.vda"}));
    SetLoadCaseNames(common);
    EXPECT_EQ(module.CurrentCommon(), common);
    EXPECT_EQ(module.CurrentHsg(), hsgRecord) << "no .vdh: the module record keeps what it held";

    const THSGRecord longer = RandomRecord<THSGRecord>(8);
    TempFolder::Write(tmp / "only.vdh", Bytes(longer) + "tail");
    ASSERT_TRUE(module.Exec("READDATA", {.Text = tmp / "only.vda"}));
    EXPECT_EQ(module.CurrentHsg(), longer);
}

TEST(HsgModuleCommands, StreamsCarryTheCommonRecordOnly)
{
    THsgModule module;
    module.CurrentCommon() = RandomRecord<TCommonRecord>(9);
    TMemoryStream stream;
    EXPECT_TRUE(module.Exec("PushData", {.Stream = &stream}));
    EXPECT_EQ(stream.Size(), 6784);

    THsgModule other;
    other.SetModified(true);
    EXPECT_TRUE(other.Exec("PopData", {.Stream = &stream}));
    EXPECT_EQ(other.CurrentCommon(), module.CurrentCommon());
    EXPECT_TRUE(other.Modified()) << "stream commands leave Modified alone";

    TMemoryStream shortStream(std::string(10, 'x'));
    const TCommonRecord before = other.CurrentCommon();
    EXPECT_FALSE(other.Exec("PopData", {.Stream = &shortStream}));
    EXPECT_EQ(other.CurrentCommon(), before);
    EXPECT_FALSE(other.Exec("PopData"));
}

TEST(HsgModuleCommands, CommandsOutsideTheModuleAnswerFalse)
{
    THsgModule module;
    module.Exec("INITDATA");
    const TCommonRecord common = module.CurrentCommon();
    for (const char* command : {"EDITSPECIAL", "CheckAll", "", "INIT", "EDIT", "EditParams"})
        EXPECT_FALSE(module.Exec(command)) << command;
    std::vector<std::string> topics = {"a", "b;c"};
    EXPECT_FALSE(module.Exec("CHECKTOPICS", {.List = &topics}));
    EXPECT_TRUE(topics.empty());
    EXPECT_TRUE(module.Exec("SetToData"));
    EXPECT_EQ(module.CurrentCommon(), common);
}

TEST(HsgModuleCommands, CalculateWorksOnTheEditCopies)
{
    THsgModule module;
    auto plant = velmoran::testing::ScenarioA();
    module.CurrentCommon() = plant.common;
    module.CurrentHsg() = plant.hsg;
    module.TakeEditCopies();
    EXPECT_TRUE(module.Exec("calculate"));
    EXPECT_EQ(module.CurrentCommon(), plant.common);
    EXPECT_EQ(module.CurrentHsg(), plant.hsg);
    EXPECT_NE(module.EditCommon().Block(0).Double(block::kTTS), 0.0);
}

TEST_F(HsgModuleFiles, CalculateRightAfterAReadWorksOnTheRecordsRead)
{
    // No dialog has edited anything yet: the edit copies are the records just read.
    const std::string file = velmoran::testing::CopyOfExample(tmp);
    ASSERT_TRUE(module.Exec("ReadData", {.Text = file}));
    const TCommonRecord read = module.CurrentCommon();
    EXPECT_NO_THROW(module.Exec("Calculate"));
    EXPECT_EQ(module.CurrentCommon(), read);
    EXPECT_EQ(module.EditCommon().Block(0).Double(block::kQD), read.Block(0).Double(block::kQD));
    EXPECT_NE(module.EditCommon().Block(0).Double(block::kTTS), 0.0);
}

TEST(HsgModuleCommands, CommitOnOkFollowsTheBytes)
{
    THsgModule module;
    auto plant = velmoran::testing::ScenarioA();
    module.CurrentCommon() = plant.common;
    module.CurrentHsg() = plant.hsg;

    // An edit: the results are computed and committed.
    module.TakeEditCopies();
    module.EditCommon().Block(0).SetDouble(block::kQD, 12000);
    EXPECT_TRUE(module.CommitEditCopies());
    EXPECT_TRUE(module.Modified());
    EXPECT_EQ(module.CurrentCommon().Block(0).Double(block::kQD), 12000);
    EXPECT_GT(module.CurrentCommon().Double(common::kVBB), 0.0);

    // A change of the module record alone counts too.
    module.TakeEditCopies();
    module.EditHsg().SetDouble(hsg::kSFH, 1.5);
    EXPECT_TRUE(module.CommitEditCopies());

    // OK without any difference keeps the flag of the changes before: they are still unsaved.
    module.TakeEditCopies();
    EXPECT_FALSE(module.CommitEditCopies());
    EXPECT_TRUE(module.Modified());
    module.SetModified(false);

    // A result page calculated the edit copies: committed results equal the stored ones, so a
    // calculated record stays unmodified.
    module.TakeEditCopies();
    module.Exec("CALCULATE");
    EXPECT_FALSE(module.CommitEditCopies());
}

namespace {
// The records a module reads from the pair in the folder, with the notes of the reading; a read
// that fails gives the records of INITDATA.
struct Opened {
    bool Read = false;
    THSGRecord Hsg;
    TCommonRecord Common;
    std::vector<std::string> Notes;
};
Opened OpenPair(const std::string& file)
{
    THsgModule reader;
    reader.Exec("INITDATA");
    Opened opened;
    opened.Read = reader.Exec("READDATA", {.Text = file, .List = &opened.Notes});
    opened.Hsg = reader.CurrentHsg();
    opened.Common = reader.CurrentCommon();
    return opened;
}
}  // namespace

// A save of a calculation killed at each of its steps, with hard links and without: the opening
// reads the pair as saved before or as saved now, never the new ".vdh" beside the old ".vda"; a
// save that completes afterwards without an opening (save as onto it, a FILESAVE link, hsgcalc)
// is what the next opening reads; and where the folder cannot be changed, the opening reads a whole
// pair where it stands and says which files it read.
TEST_F(HsgModuleFiles, ASaveKilledAtAnyStepOpensAsBeforeOrAsSaved)
{
    const ScopedFileSystemCalls fast({.Sync = velmoran::testing::NoSync, .Wait = velmoran::testing::NoWait});
    for (const bool hardLinks : {true, false}) {
        const TempFolder live;
        const std::string plant = live / "plant.vda";
        module.Exec("INITDATA");
        ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = plant}));
        const THSGRecord before = module.CurrentHsg();
        const TCommonRecord beforeCommon = module.CurrentCommon();
        module.CurrentHsg() = RandomRecord<THSGRecord>(21);
        module.CurrentCommon() = RandomRecord<TCommonRecord>(22);
        SetLoadCaseNames(module.CurrentCommon());
        const auto steps = velmoran::testing::StepsOfSave(live, hardLinks, [&] {
            ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = plant}));
        });
        const THSGRecord saved = module.CurrentHsg();
        const auto asBeforeOrAsSaved = [&](const Opened& opened) {
            return opened.Read && ((opened.Hsg == before && opened.Common == beforeCommon) ||
                                   (opened.Hsg == saved && opened.Common == module.CurrentCommon()));
        };
        bool readInPlace = false;
        for (const auto& [step, killed] : steps) {
            SCOPED_TRACE(step + (hardLinks ? ", hard links" : ", no hard links"));
            const auto later = velmoran::testing::CopyOfFolder(killed->Folder());
            THsgModule other;
            other.Exec("INITDATA");
            other.CurrentHsg() = RandomRecord<THSGRecord>(23);
            ASSERT_TRUE(other.WriteCalculationFile(*later / "plant.vda"));
            EXPECT_EQ(OpenPair(*later / "plant.vda").Hsg, other.CurrentHsg());

            {
                const ScopedFileSystemCalls locked(velmoran::testing::ReadOnlyFolder());
                const Opened inPlace = OpenPair(*killed / "plant.vdh");
                EXPECT_TRUE(asBeforeOrAsSaved(inPlace));
                readInPlace = readInPlace || !inPlace.Notes.empty();
                for (const std::string& note : inPlace.Notes)
                    EXPECT_NE(note.find("gelesen wurden „" + *killed / "plant.vdh"), std::string::npos) << note;
            }
            const Opened opened = OpenPair(*killed / "plant.vda");
            EXPECT_TRUE(asBeforeOrAsSaved(opened));
            EXPECT_TRUE(opened.Notes.empty());
            EXPECT_FALSE(velmoran::testing::SaveLeftoversIn(killed->Folder()));
        }
        EXPECT_TRUE(readInPlace) << "a step between the two renames was taken";
    }
}

// Where an interrupted save left nothing whole to make the pair one again, the opening refuses
// with a message naming both files, rather than read a ".vdh" that belongs to another ".vda".
TEST_F(HsgModuleFiles, APairThatCannotBeMadeOneIsNotOpened)
{
    module.Exec("INITDATA");
    const std::string plant = tmp / "plant.vda";
    ASSERT_TRUE(module.Exec("SAVEDATA", {.Text = plant}));
    // As a save killed between its renames leaves it, with the kept ".vdh" and the new ".vda" cut
    // short by hand.
    const std::string token = "abcdef--------";
    TempFolder::Write(tmp / ("plant.vdh.~old" + token), "");
    TempFolder::Write(tmp / ("plant.vda.~tmp" + token), std::string(100, '\0'));
    std::filesystem::remove(tmp / "plant.vda");  // the first save of the pair: "--------" above
    std::vector<std::string> messages;
    EXPECT_FALSE(module.Exec("READDATA", {.Text = plant, .List = &messages}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("„" + (tmp / "plant.vdh") + "“ und „" + plant + "“ gehören nicht zusammen"), std::string::npos)
        << messages[0];
}
