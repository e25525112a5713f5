// The recent-files list on a temporary ini file: adding, moving to the top, trimming, captions
// with accelerators and escaped ampersands, loading with gaps, saving that deletes stale values,
// clicks, and one list shown in two menus.
#include "tests/support/TempFolder.h"
#include "tests/toolbar/ItemRecorder.h"
#include "toolbar/TBarMRUList.h"

#include <gtest/gtest.h>

using namespace velmoran;
using velmoran::testing::ItemRecorder;
using velmoran::testing::TempFolder;

namespace {

std::vector<std::string> Captions(const TBarMRUList& list)
{
    std::vector<std::string> captions;
    for (TBarCustomItem* item : list.Container()->GetChildren())
        captions.push_back(item->Caption());
    return captions;
}

}  // namespace

TEST(MRUList, AddMovesToTheTopAndNamesDifferingInCaseAreTwoFiles)
{
    TBarMRUList list;
    list.AddFullPath = false;
    list.SetMaxItems(6);
    for (const char* name : {"/x/a.vda", "/x/b.vda", "/x/c.vda", "/x/Plant.vda"})
        list.Add(name);
    list.Add("/x/b.vda");
    EXPECT_EQ(list.Items().Texts(), (std::vector<std::string>{"/x/b.vda", "/x/Plant.vda", "/x/c.vda", "/x/a.vda"}));
    // The newest added again (saved right after opening) stays where it is, once.
    list.Add("/x/b.vda");
    EXPECT_EQ(list.Items().Texts(), (std::vector<std::string>{"/x/b.vda", "/x/Plant.vda", "/x/c.vda", "/x/a.vda"}));
    EXPECT_EQ(list.Container()->Count(), 4);
    list.Add("/x/plant.vda");
    EXPECT_EQ(list.Items().Count(), 5);
    EXPECT_EQ(list.Items().Get(0), "/x/plant.vda");
    EXPECT_EQ(list.Items().Get(2), "/x/Plant.vda");

    list.Add("/x/d.vda");
    list.Add("/x/e.vda");  // the seventh drops the oldest
    EXPECT_EQ(list.Items().Count(), 6);
    EXPECT_EQ(list.Items().Get(5), "/x/c.vda");
    EXPECT_EQ(list.Container()->Count(), 6);
}

TEST(MRUList, FullPathsAreCleanedButLinksKept)
{
    TempFolder folder;
    TBarMRUList list;
    list.Add(folder / "sub/../a.vda");
    EXPECT_EQ(list.Items().Get(0), folder / "a.vda");
    EXPECT_EQ(FileTitle("/x/Anlage.v2.vda"), "Anlage.v2");
}

TEST(MRUList, CaptionsNumberEscapeAndStopAccelerating)
{
    TBarMRUList list;
    list.AddFullPath = false;
    list.SetMaxItems(40);
    for (int i = 36; i >= 1; --i)
        list.Add("/p/Datei" + std::to_string(i) + ".vda");
    const std::vector<std::string> captions = Captions(list);
    EXPECT_EQ(captions[0], "&1 Datei1");
    EXPECT_EQ(captions[8], "&9 Datei9");
    EXPECT_EQ(captions[9], "&A Datei10");
    EXPECT_EQ(captions[34], "&Z Datei35");
    EXPECT_EQ(captions[35], "Datei36");

    TBarMRUList named;
    named.Add("/p/b&c.vda");
    named.Add("/p/Anlage.v2.vda");
    EXPECT_EQ(Captions(named), (std::vector<std::string>{"&1 Anlage.v2", "&2 b&&c"}));
    named.SetHidePathExtension(false);
    EXPECT_EQ(Captions(named), (std::vector<std::string>{"&1 /p/Anlage.v2.vda", "&2 /p/b&&c.vda"}));
}

TEST(MRUList, LoadClosesGapsAndSaveDeletesStaleValues)
{
    TempFolder folder;
    const std::string file = folder / "m.ini";
    {
        auto ini = RegIniFile::OfIniFile(file);
        ini->WriteString("Recent Files", "MRU1", "a");
        ini->WriteString("Recent Files", "MRU3", "b");
        ini->WriteString("Recent Files", "MRU6", "c");
        ini->WriteString("Recent Files", "MRU7", "beyond");
    }
    auto ini = RegIniFile::OfIniFile(file);
    TBarMRUList list;
    list.SetMaxItems(6);
    int changes = 0;
    list.OnChange = [&](TBarMRUList&) { ++changes; };
    list.LoadFromRegIni(*ini, "Recent Files");
    EXPECT_EQ(list.Items().Texts(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_GT(changes, 0);

    list.Items().Delete(2);
    list.SaveToRegIni(*ini, "Recent Files");
    ini->Sync();
    auto reread = RegIniFile::OfIniFile(file);
    EXPECT_EQ(reread->ReadString("Recent Files", "MRU1", {}), "a");
    EXPECT_EQ(reread->ReadString("Recent Files", "MRU2", {}), "b");
    for (const char* gone : {"MRU3", "MRU4", "MRU5", "MRU6"})
        EXPECT_FALSE(reread->ValueExists("Recent Files", gone)) << gone;
    EXPECT_TRUE(reread->ValueExists("Recent Files", "MRU7"));  // not the list's business
}

// Two windows, each with its list read at start: the one saving last took in nothing the other
// had saved. A merge keeps what is stored, with the files this list took since (added or clicked)
// on top, the newest first, and the list's length.
TEST(MRUList, AMergeKeepsWhatAnotherListSavedUnderItsOwnNewest)
{
    TempFolder folder;
    auto ini = RegIniFile::OfIniFile(folder / "m.ini");
    TBarMRUList list;
    list.AddFullPath = false;
    list.SetMaxItems(4);
    const auto store = [&](std::vector<const char*> names) {
        for (std::size_t n = 0; n < names.size(); ++n)
            ini->WriteString("Recent Files", "MRU" + std::to_string(n + 1), names[n]);
    };
    store({"/x/a", "/x/b"});
    list.LoadFromRegIni(*ini, "Recent Files");
    list.Add("/x/c");
    list.Container()->Items(2)->Click();  // "/x/b"
    store({"/x/e", "/x/d", "/x/a", "/x/b"});  // the other list, meanwhile
    list.MergeFromRegIni(*ini, "Recent Files");
    EXPECT_EQ(list.Items().Texts(), (std::vector<std::string>{"/x/b", "/x/c", "/x/e", "/x/d"}));
}

TEST(MRUList, AClickedEntryIsNewestBeforeOnClickRuns)
{
    TBarMRUList list;
    list.AddFullPath = false;
    for (const char* name : {"/x/c", "/x/b", "/x/a"})
        list.Add(name);
    std::string reported;
    list.OnClick = [&](TBarMRUList& sender, const std::string& fileName) {
        reported = fileName;
        EXPECT_EQ(sender.Items().Get(0), fileName);
    };
    list.Container()->Items(2)->Click();
    EXPECT_EQ(reported, "/x/c");
    EXPECT_EQ(list.Items().Texts(), (std::vector<std::string>{"/x/c", "/x/a", "/x/b"}));
    EXPECT_EQ(Captions(list)[0], "&1 c");
}

TEST(MRUList, OneListInTwoMenus)
{
    auto list = std::make_unique<TBarMRUList>();
    TBarSubmenuItem fileMenu, openDropdown;
    auto* inFile = new TBarMRUListItem;
    auto* inDropdown = new TBarMRUListItem;
    EXPECT_EQ(inFile->Caption(), "(MRU List)");
    fileMenu.Add(inFile);
    openDropdown.Add(inDropdown);
    inFile->SetMRUList(list.get());
    inDropdown->SetMRUList(list.get());
    EXPECT_EQ(inFile->GetSubitemsRoot(), list->Container());

    ItemRecorder fileNotes(fileMenu), dropdownNotes(openDropdown);
    list->Add("/x/a.vda");
    for (const ItemRecorder* notes : {&fileNotes, &dropdownNotes}) {
        bool inserted = false;
        for (const auto& note : notes->Notes)
            inserted = inserted || (note.Kind == ickInserted && note.Relayed);
        EXPECT_TRUE(inserted);
    }

    list.reset();
    EXPECT_EQ(inFile->MRUList(), nullptr);
    EXPECT_EQ(inFile->GetSubitemsRoot(), inFile);
}
