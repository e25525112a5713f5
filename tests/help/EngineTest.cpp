// Our help engine on the test help set (tests/data/help) and on the shipped one: the index format,
// topics in the help window with its history, keywords and the index page, the links a help page
// may follow, text pop-ups, and the failures with their messages.
#include "help/HelpIndex.h"
#include "help/HelpViewerEngine.h"
#include "help/HelpWindow.h"
#include "html/viewer/PageViewer.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Stream.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace velmoran {
namespace {

const std::string kHelpSet = VELMORAN_TEST_DATA "/help/";
const std::string kDemo = kHelpSet + "Demo.hlp";

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class Engine : public ::testing::Test {
protected:
    std::string Shown() { return engine.Window()->Viewer()->GetCurrentFile(); }
    ScriptedPromptService prompts;
    THelpViewerEngine engine;
};

TEST_F(Engine, IndexSectionsCommentsAndBadLines)
{
    const auto index = LoadHelpIndex(kDemo);
    ASSERT_TRUE(index);
    EXPECT_EQ(index->Title, "Testhilfe Zul\xC3\xA4ufe");  // Windows-1252 read as UTF-8
    EXPECT_EQ(index->Contents, "start.htm");
    EXPECT_EQ(index->Popups, "popups.txt");
    ASSERT_EQ(index->Map.size(), 5u);  // "kaputt=" and the line without "=" are skipped
    EXPECT_EQ(index->Map.at(100), "zulauf.htm");  // the comment is gone
    EXPECT_EQ(index->Map.at(200), "ablauf.htm#mengen");
    ASSERT_EQ(index->Keywords.size(), 5u);
    EXPECT_EQ(index->Keywords[0].first, "Zul\xC3\xA4ufe");
    EXPECT_FALSE(LoadHelpIndex(kHelpSet + "Fehlt.hlp"));
    EXPECT_EQ(TopicFolderOf("/a/X.chm"), "/a/X");
    EXPECT_EQ(TopicPath("/a/X", "sub\\t.htm#m"), "/a/X/sub/t.htm#m");
}

TEST_F(Engine, PopupFileBlocks)
{
    const auto topics = ParsePopupTopics("vorher\r\n.topic 1\r\nEins\r\n.TOPIC 2\r\nZwei\r\nZeilen\r\n.topic x\r\nWeg\r\n");
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics.at(1), "Eins");
    EXPECT_EQ(topics.at(2), "Zwei\nZeilen");
}

TEST_F(Engine, ContextsShowTopicsAndBackReturns)
{
    EXPECT_EQ(engine.Window(), nullptr);
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXT, 100));
    THelpWindow* window = engine.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Testhilfe Zul\xC3\xA4ufe"));
    EXPECT_EQ(window->Viewer()->HistoryMaxCount(), 50);
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/zulauf.htm"));
    EXPECT_FALSE(window->BackButton()->isEnabled());

    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXT, 200));
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/ablauf.htm"));
    EXPECT_GT(window->Viewer()->VScrollBarPosition(), 0);  // at the anchor
    EXPECT_TRUE(window->BackButton()->isEnabled());
    window->BackButton()->click();
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/zulauf.htm"));
    EXPECT_FALSE(window->BackButton()->isEnabled());

    // One window for the program.
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTENTS, 0));
    EXPECT_EQ(engine.Window(), window);
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/start.htm"));
    EXPECT_TRUE(prompts.Messages().empty());
    // HELP_QUIT closes it.
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_QUIT, 0));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Engine, FailuresSayWhyAndChangeNothing)
{
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXT, 100));
    const std::string before = Shown();
    const auto history = engine.Window()->Viewer()->History().size();

    EXPECT_FALSE(engine.winHelp(nullptr, kDemo, HELP_CONTEXT, 999));
    EXPECT_FALSE(engine.winHelp(nullptr, kDemo, HELP_CONTEXT, 400));
    const std::string missing = kHelpSet + "Fehlt.hlp";
    EXPECT_FALSE(engine.winHelp(nullptr, missing, HELP_CONTEXT, 100));
    EXPECT_FALSE(engine.winHelp(nullptr, missing, HELP_CONTENTS, 0));
    ASSERT_EQ(prompts.Messages().size(), 4u);
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Zur Kontextnummer 999 gibt es in \xE2\x80\x9E" + kDemo + "\xE2\x80\x9C kein Hilfethema.");
    EXPECT_EQ(prompts.Messages()[1].Text, "Das Hilfethema \xE2\x80\x9E" "fehlt.htm\xE2\x80\x9C wurde nicht gefunden.");
    EXPECT_EQ(prompts.Messages()[2].Text, "Die Hilfedatei \xE2\x80\x9E" + missing + "\xE2\x80\x9C wurde nicht gefunden.");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    // A missing topic of another help file leaves the window with its own.
    EXPECT_FALSE(engine.winHelp(nullptr, kHelpSet + "Demo.chm", HELP_CONTEXT, 400));
    EXPECT_EQ(prompts.Messages().size(), 5u);
    EXPECT_EQ(engine.Window()->HelpFile(), kDemo);
    EXPECT_EQ(engine.Window()->windowTitle(), QString::fromUtf8("Testhilfe Zul\xC3\xA4ufe"));
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(engine.Window()->Viewer()->History().size(), history);
    EXPECT_FALSE(engine.winHelp(nullptr, kDemo, 12345, 0));  // an unknown command
}

TEST_F(Engine, KeywordsAndTheIndexPage)
{
    const std::string lower = "zulauf";
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_KEY, KeywordData(lower.c_str())));
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/zulauf.htm"));
    // "Ablauf" begins two keywords with two topics: the index.
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_PARTIALKEY, KeywordData("Ablauf")));
    const std::string index = Shown();
    EXPECT_FALSE(EndsWith(index, ".htm"));
    const std::string& page = engine.Window()->Viewer()->DocumentSource();
    EXPECT_NE(page.find("<a href=\"ablauf.htm#mengen\">Ablaufwerte</a>"), std::string::npos);
    EXPECT_NE(page.find("Zul\xE4ufe</a>"), std::string::npos);  // the page is Windows-1252
    EXPECT_LT(page.find(">Ablauf<"), page.find(">Zulauf<"));
    EXPECT_LT(page.find(">Zulauf<"), page.find(">Zul\xE4ufe<"));  // German order
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_KEY, KeywordData("nichts")));
    EXPECT_EQ(Shown(), index);
    // From the index a keyword link opens its topic, and "Zurück" returns to the index.
    engine.Window()->Viewer()->FollowLinkFromKeyboard("belebung.htm", "");
    QApplication::processEvents();
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/belebung.htm"));
    engine.Window()->Back();
    EXPECT_EQ(Shown(), index);
    EXPECT_NE(engine.Window()->Viewer()->DocumentSource().find("Ablaufwerte"), std::string::npos);
    // HELP_TAB: contents for 0, else the index.
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_TAB, 0));
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/start.htm"));
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_TAB, 1));
    EXPECT_EQ(Shown(), index);
    engine.Window()->IndexButton()->click();
    EXPECT_EQ(Shown(), index);
    engine.Window()->ContentsButton()->click();
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/start.htm"));
    EXPECT_TRUE(prompts.Messages().empty());
}

// The index page sorts without regard to case, so keywords that differ only in case are equal
// there: they keep the order of the help file, in which its author placed the topics. A sort
// that swapped equals, or one that weighed case, would reorder the topics of one keyword.
TEST_F(Engine, IndexKeywordsDifferingOnlyInCaseKeepTheirFileOrder)
{
    const THelpIndex index = ParseHelpIndex("[KEYWORDS]\r\nzulauf=z1.htm\r\nAblauf=a1.htm\r\nZULAUF=z2.htm\r\n"
                                            "Zulauf=z3.htm\r\nablauf=a2.htm\r\nABLAUF=a3.htm\r\nzulauf=z4.htm\r\n");
    ASSERT_EQ(index.Keywords.size(), 7u);
    const std::string page = IndexPageSource(index);
    std::vector<std::string> links;
    for (auto at = page.find("<a href=\""); at != std::string::npos; at = page.find("<a href=\"", at + 1))
        links.push_back(page.substr(at, page.find("<br>", at) - at));
    EXPECT_EQ(links, (std::vector<std::string>{
                         "<a href=\"a1.htm\">Ablauf</a>", "<a href=\"a2.htm\">ablauf</a>", "<a href=\"a3.htm\">ABLAUF</a>",
                         "<a href=\"z1.htm\">zulauf</a>", "<a href=\"z2.htm\">ZULAUF</a>", "<a href=\"z3.htm\">Zulauf</a>",
                         "<a href=\"z4.htm\">zulauf</a>"}));
}

TEST_F(Engine, HelpPagesFollowOnlyTopicsOfTheirFolder)
{
    ASSERT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTENTS, 0));
    THelpWindow& window = *engine.Window();
    TPageViewer& viewer = *window.Viewer();
    const std::string start = Shown();
    for (const char* link : {"../aussen.htm", "http://example.com/seite.htm", "programm.sh", "file:///etc/passwd.htm"}) {
        bool handled = false;
        viewer.OnHotSpotClick(&viewer, link, handled);
        EXPECT_TRUE(handled) << link;
        viewer.FollowLinkFromKeyboard(link, "");
        QApplication::processEvents();
        EXPECT_EQ(Shown(), start) << link;
    }
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_TRUE(window.ViewerMayFollow("#unten"));
    EXPECT_TRUE(window.ViewerMayFollow("zulauf.htm#x"));
    viewer.FollowLinkFromKeyboard("#unten", "");
    QApplication::processEvents();
    EXPECT_EQ(Shown(), start);
    EXPECT_GT(viewer.VScrollBarPosition(), 0);
    // A topic the folder lacks: a message instead of a failure in the viewer.
    viewer.FollowLinkFromKeyboard("fehlt.htm", "");
    QApplication::processEvents();
    EXPECT_EQ(Shown(), start);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Das Hilfethema \xE2\x80\x9E" "fehlt.htm\xE2\x80\x9C wurde nicht gefunden.");
    viewer.FollowLinkFromKeyboard("zulauf.htm", "");
    QApplication::processEvents();
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/zulauf.htm"));
}

TEST_F(Engine, TextPopups)
{
    // (-20, 30) packed as signed words; the stored point serves one pop-up.
    const std::int64_t packed = (30u << 16) | static_cast<std::uint16_t>(-20);
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_SETPOPUP_POS, packed));
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXTPOPUP, 100));
    EXPECT_EQ(engine.LastPopupText(), "T\xC3\xA4gliche Zulaufmenge bei Trockenwetter.");
    EXPECT_EQ(engine.LastPopupPoint(), QPoint(-20, 30));
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXTPOPUP, 200));
    EXPECT_EQ(engine.LastPopupText(), "Ablaufmenge\nin zwei Zeilen.");
    EXPECT_EQ(engine.LastPopupPoint(), QCursor::pos());
    for (int context : {0, 999}) {
        EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXTPOPUP, context));
        EXPECT_STREQ(engine.LastPopupText().c_str(), kNoHelpText);
    }
    EXPECT_EQ(engine.Window(), nullptr);  // pop-ups need no help window
    // The HTML engine: a topic of "X.chm::/CSHelp.txt" in X/, or a text.
    THHPopup popup;
    popup.idString = 7;
    popup.pt = QPoint(40, 50);
    EXPECT_NE(engine.htmlHelp(nullptr, kHelpSet + "Demo.chm::/CSHelp.txt", HH_DISPLAY_TEXT_POPUP, 0, &popup), nullptr);
    EXPECT_EQ(engine.LastPopupText(), "Hinweis sieben aus der HTML-Hilfe.");
    EXPECT_EQ(engine.LastPopupPoint(), QPoint(40, 50));
    popup.pszText = "Ein Text";
    EXPECT_NE(engine.htmlHelp(nullptr, "", HH_DISPLAY_TEXT_POPUP, 0, &popup), nullptr);
    EXPECT_EQ(engine.LastPopupText(), "Ein Text");
    EXPECT_TRUE(prompts.Messages().empty());
    popup.pszText.clear();
    EXPECT_EQ(engine.htmlHelp(nullptr, kHelpSet + "Fehlt.chm::/CSHelp.txt", HH_DISPLAY_TEXT_POPUP, 0, &popup), nullptr);
    EXPECT_EQ(prompts.Messages().size(), 1u);
}

TEST_F(Engine, HtmlCommandsAndHelpOnHelp)
{
    const std::string chm = kHelpSet + "Demo.chm";
    EXPECT_NE(engine.htmlHelp(nullptr, chm, HH_HELP_CONTEXT, 300, nullptr), nullptr);
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/belebung.htm"));
    EXPECT_NE(engine.htmlHelp(nullptr, chm, HH_DISPLAY_TOC, 0, nullptr), nullptr);
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/start.htm"));
    EXPECT_NE(engine.htmlHelp(nullptr, chm, HH_DISPLAY_INDEX, KeywordData("Belebung"), nullptr), nullptr);
    EXPECT_TRUE(EndsWith(Shown(), "/help/Demo/belebung.htm"));
    EXPECT_EQ(engine.htmlHelp(nullptr, chm, HH_HELP_CONTEXT, 999, nullptr), nullptr);
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_HELPONHELP, 0));
    EXPECT_TRUE(EndsWith(Shown(), "/help/hilfe-benutzen.htm"));
    engine.htmlHelp(nullptr, {}, HH_CLOSE_ALL, 0, nullptr);
    EXPECT_FALSE(engine.Window()->isVisible());
}

TEST_F(Engine, TheShippedHelpSet)
{
    const std::string shipped = VELMORAN_DATA_DIR "/help/VelmoranHSG.hlp";
    const auto index = LoadHelpIndex(shipped);
    ASSERT_TRUE(index);
    EXPECT_FALSE(index->Map.empty());  // a topic per control and command
    for (const auto& [context, topic] : index->Map)
        EXPECT_TRUE(std::filesystem::exists(TopicPath(TopicFolderOf(shipped), topic))) << context;
    for (const auto& [keyword, topic] : index->Keywords)
        EXPECT_TRUE(std::filesystem::exists(TopicPath(TopicFolderOf(shipped), topic.substr(0, topic.find('#')))))
            << keyword;
    ASSERT_TRUE(engine.winHelp(nullptr, shipped, HELP_CONTENTS, 0));
    EXPECT_TRUE(EndsWith(Shown(), "/VelmoranHSG/inhalt.htm"));
    EXPECT_EQ(engine.Window()->windowTitle(), QString::fromUtf8("Velmoran \xE2\x80\x93 Bemessung nach HSG"));
    EXPECT_TRUE(engine.winHelp(nullptr, shipped, HELP_CONTEXTPOPUP, 0));
    EXPECT_STREQ(engine.LastPopupText().c_str(), kNoHelpText);
    ASSERT_TRUE(engine.winHelp(nullptr, shipped, HELP_HELPONHELP, 0));
    EXPECT_TRUE(EndsWith(Shown(), "/help/hilfe-benutzen.htm"));
    EXPECT_TRUE(prompts.Messages().empty());
}

// A symbolic link in the help folder leads nowhere outside it: a topic that is a link to a file
// outside, or lies in a linked folder outside, is refused as a topic named outside is, while a
// link that stays inside is followed.
TEST_F(Engine, TopicsStayInTheHelpFolderThroughLinks)
{
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "help/Fremd");
    std::filesystem::create_directories(folder / "draussen");
    folder.WriteFile("geheim.htm", "<p>geheim</p>");
    folder.WriteFile("draussen/privat.htm", "<p>privat</p>");
    folder.WriteFile("help/oben.htm", "<p>oben</p>");
    folder.WriteFile("help/Fremd/start.htm", "<p>start</p>");
    std::filesystem::create_symlink("../../geheim.htm", folder / "help/Fremd/verweis.htm");
    std::filesystem::create_symlink(folder / "draussen", folder / "help/Fremd/ordner");
    std::filesystem::create_symlink("../oben.htm", folder / "help/Fremd/innen.htm");
    const std::string file = folder.WriteFile("help/Fremd.hlp", "[MAP]\n100=start.htm\n101=verweis.htm\n"
                                                                "102=ordner/privat.htm\n103=innen.htm\n");
    EXPECT_EQ(TopicPath(folder / "help/Fremd", "verweis.htm"), "");
    EXPECT_EQ(TopicPath(folder / "help/Fremd", "ordner\\privat.htm#m"), "");
    EXPECT_EQ(TopicPath(folder / "help/Fremd", "innen.htm"), folder / "help/Fremd/innen.htm");

    ASSERT_TRUE(engine.winHelp(nullptr, file, HELP_CONTEXT, 100));
    const std::string start = Shown();
    for (int context : {101, 102}) {
        EXPECT_FALSE(engine.winHelp(nullptr, file, HELP_CONTEXT, context)) << context;
        EXPECT_EQ(Shown(), start) << context;
    }
    EXPECT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(engine.winHelp(nullptr, file, HELP_CONTEXT, 103));
}

// A help file from elsewhere may name any path and any number: its topics stay inside the help
// file's folder, and a number beyond 32 bits is not cut down to another topic's.
TEST_F(Engine, TopicsStayInTheHelpFolderAndNumbersInRange)
{
    testing::TempFolder folder;
    std::filesystem::create_directories(folder / "help/Fremd");
    folder.WriteFile("geheim.htm", "<p>geheim</p>");
    folder.WriteFile("geheim.txt", ".topic 1\nGeheim\n");
    folder.WriteFile("help/oben.htm", "<p>oben</p>");
    folder.WriteFile("help/Fremd/start.htm", "<p>start</p>");
    const std::string file = folder.WriteFile("help/Fremd.hlp",
                                              "[OPTIONS]\nPopups=..\\..\\geheim.txt\n[MAP]\n100=start.htm\n"
                                              "101=../../geheim.htm\n102=..\\..\\geheim.htm\n"
                                              "103=/../../geheim.htm\n104=../oben.htm\n105=x/../../../geheim.htm\n");
    EXPECT_EQ(TopicPath("/a/X", "../../etc/passwd"), "");
    EXPECT_EQ(TopicPath("X", "../../etc/passwd"), "");
    EXPECT_EQ(TopicPath("./X", "../x/../../y.htm"), "");
    EXPECT_EQ(TopicPath("./X", "t.htm"), "./X/t.htm");
    EXPECT_EQ(TopicPath("X", "../t.htm"), "X/../t.htm");
    EXPECT_EQ(TopicPath("/a/X", "../oben.htm#m"), "/a/X/../oben.htm#m");

    ASSERT_TRUE(engine.winHelp(nullptr, file, HELP_CONTEXT, 100));
    const std::string start = Shown();
    for (int context : {101, 102, 103, 105}) {
        EXPECT_FALSE(engine.winHelp(nullptr, file, HELP_CONTEXT, context)) << context;
        EXPECT_EQ(Shown(), start) << context;
    }
    EXPECT_EQ(prompts.Messages().size(), 4u);
    ASSERT_TRUE(engine.winHelp(nullptr, file, HELP_CONTEXT, 104));
    EXPECT_TRUE(EndsWith(Shown(), "/help/oben.htm"));

    const std::int64_t wrapped = (std::int64_t{1} << 32) + 100;
    EXPECT_FALSE(engine.winHelp(nullptr, file, HELP_CONTEXT, wrapped));
    EXPECT_EQ(engine.htmlHelp(nullptr, file, HH_HELP_CONTEXT, wrapped, nullptr), nullptr);
    EXPECT_TRUE(EndsWith(Shown(), "/help/oben.htm"));
    ASSERT_EQ(prompts.Messages().size(), 6u);
    EXPECT_EQ(prompts.Messages()[4].Text,
              "Zur Kontextnummer 4294967396 gibt es in \xE2\x80\x9E" + file + "\xE2\x80\x9C kein Hilfethema.");
    // Pop-ups: the number out of range has none, and the pop-up file outside is not read.
    EXPECT_TRUE(engine.winHelp(nullptr, kDemo, HELP_CONTEXTPOPUP, (std::int64_t{1} << 32) + 100));
    EXPECT_STREQ(engine.LastPopupText().c_str(), kNoHelpText);
    EXPECT_FALSE(engine.winHelp(nullptr, file, HELP_CONTEXTPOPUP, 1));
    EXPECT_NE(engine.LastPopupText(), "Geheim");
}

// Makes a file that is there but cannot be read: one without permissions, or for root, who reads
// those, one longer than any document is read (sparse, so it takes no room).
bool MakeUnreadableFile(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    fs::remove(path);
    if (::geteuid() != 0) {
        std::ofstream(path) << "<p>Geheim</p>";
        fs::permissions(path, fs::perms::none);
        return true;
    }
    std::ofstream(path) << "<p>Zu lang</p>";
    fs::resize_file(path, kDocumentLimit + 1);
    return true;
}

// Opens a named pipe for writing whenever a reader waits at it, so that a reader ends instead of
// hanging the test; counts how often.
class WriterForWaitingReaders {
public:
    explicit WriterForWaitingReaders(std::string pipe)
        : thread_([this, pipe = std::move(pipe)] {
              while (!done_) {
                  if (const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                      ++served_;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          })
    {
    }
    ~WriterForWaitingReaders()
    {
        done_ = true;
        thread_.join();
    }
    int Served() const { return served_; }

private:
    std::atomic<bool> done_ = false;
    std::atomic<int> served_ = 0;
    std::thread thread_;
};

TEST_F(Engine, AnUnreadableHelpFile)
{
    testing::TempFolder folder;
    // A folder where the file should be cannot be read as a help file.
    std::filesystem::create_directories(folder / "Ordner.hlp");
    EXPECT_FALSE(engine.winHelp(nullptr, folder / "Ordner.hlp", HELP_CONTENTS, 0));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(engine.Window(), nullptr);
    // Nor a named pipe: the call does not open it to wait for a writer.
    ASSERT_EQ(::mkfifo((folder / "Rohr.hlp").c_str(), 0600), 0);
    {
        WriterForWaitingReaders writer(folder / "Rohr.hlp");
        EXPECT_FALSE(engine.winHelp(nullptr, folder / "Rohr.hlp", HELP_CONTENTS, 0));
        EXPECT_EQ(writer.Served(), 0);
    }
    ASSERT_EQ(prompts.Messages().size(), 2u);

    // A topic file that is there but cannot be read: the call answers false and says why.
    std::filesystem::copy(kHelpSet, folder.Folder(), std::filesystem::copy_options::recursive);
    if (!MakeUnreadableFile(folder / "Demo/zulauf.htm"))
        GTEST_SKIP() << "no file that cannot be read";
    EXPECT_FALSE(engine.winHelp(nullptr, folder / "Demo.hlp", HELP_CONTEXT, 100));
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages()[2].Text, "Das Hilfethema \xE2\x80\x9Ezulauf.htm\xE2\x80\x9C konnte nicht gelesen werden.");
}

// A keyword asked of a help file that is not there fails with the file's message and opens no
// window; "Zurück" to a topic whose file has gone since names that topic, not the one shown.
TEST_F(Engine, MissingFilesOnTheWayToAndBackFromATopic)
{
    const std::string missing = kHelpSet + "Fehlt.hlp";
    EXPECT_FALSE(engine.winHelp(nullptr, missing, HELP_KEY, KeywordData("Zulauf")));
    EXPECT_FALSE(engine.winHelp(nullptr, missing, HELP_PARTIALKEY, KeywordData("Zu")));
    EXPECT_EQ(engine.Window(), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "Die Hilfedatei \xE2\x80\x9E" + missing + "\xE2\x80\x9C wurde nicht gefunden.");

    testing::TempFolder folder;
    std::filesystem::copy(kHelpSet, folder.Folder(), std::filesystem::copy_options::recursive);
    const std::string copy = folder / "Demo.hlp";
    ASSERT_TRUE(engine.winHelp(nullptr, copy, HELP_CONTEXT, 100));
    ASSERT_TRUE(engine.winHelp(nullptr, copy, HELP_CONTEXT, 200));
    std::filesystem::remove(folder / "Demo/zulauf.htm");
    engine.Window()->Back();
    ASSERT_EQ(prompts.Messages().size(), 3u);
    const std::string& said = prompts.Messages()[2].Text;
    EXPECT_NE(said.find("zulauf.htm"), std::string::npos) << said;
    EXPECT_EQ(said.find("ablauf.htm"), std::string::npos) << said;
    EXPECT_EQ(prompts.Messages()[2].Type, MsgDlgType::Error);
}

}  // namespace
}  // namespace velmoran
