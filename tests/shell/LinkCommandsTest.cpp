// The links of the result pages: the link commands with their arguments as written, the steps
// through the load cases, mail, web and local document links, and what is left to the viewer;
// the import of single values.
#include "tests/shell/CalculationFixture.h"

#include "hsg/ui/HsgDlg.h"
#include "html/viewer/PageViewer.h"
#include "controls/HtmlLabel.h"
#include "memtable/MemTable.h"
#include "platform/Shell.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/Text.h"
#include "shell/ImportValues.h"
#include "shell/LinkCommands.h"
#include "tests/shell/TestModule.h"
#include "tests/support/AllocationCount.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStackedWidget>
#include <QTest>

#include <filesystem>
#include <sys/stat.h>

using namespace velmoran;
using velmoran::testing::ExpandedPage;
using velmoran::testing::TempFolder;

namespace {

class LinkCommands : public velmoran::testing::CalculationFixture {
protected:
    bool Click(const std::string& url)
    {
        bool handled = false;
        form->HandleHotSpot(url, handled);
        return handled;
    }
    RecordingShell desktop;
    ScopedShell scopedShell{desktop};
};
class Import : public velmoran::testing::CalculationFixture {};

TEST_F(LinkCommands, KeywordAndArgumentAreSplitAtTheFirstBlank)
{
    TLinkCommand link = ParseLinkCommand("fileopen   /tmp/Mein Ordner/Anlage.vda ");
    ASSERT_TRUE(link.Command);
    EXPECT_EQ(*link.Command, LinkCommand::FileOpen);
    EXPECT_EQ(link.Argument, "/tmp/Mein Ordner/Anlage.vda");
    link = ParseLinkCommand("SETINDEX");
    EXPECT_EQ(link.Command, LinkCommand::SetIndex);
    EXPECT_EQ(link.Argument, "");
    EXPECT_FALSE(ParseLinkCommand("FOO 1").Command);
    // The keyword ends at the first blank.
    EXPECT_FALSE(ParseLinkCommand(" FILENEW").Command);
    EXPECT_FALSE(ParseLinkCommand("http://x/FILENEW").Command);
    EXPECT_EQ(LinkKeywords().size(), 11u);
}

// The file a link command names: a relative name as the page's viewer finds the names of its
// links (beside the page: once the data folder, which left a template's own files out of reach),
// with a "\" read as "/"; a full path as it stands, never put below the page's folder.
TEST_F(LinkCommands, LinkFileNamesLieBesideThePage)
{
    const auto besidePage = [](const std::string& name) { return "/home/u/Vorlagen/" + name; };
    EXPECT_EQ(LinkFileName("Werte.csv", besidePage), "/home/u/Vorlagen/Werte.csv");
    EXPECT_EQ(LinkFileName("Archiv\\2024\\Anlage.vda", besidePage), "/home/u/Vorlagen/Archiv/2024/Anlage.vda");
    EXPECT_EQ(LinkFileName("/tmp/Werte.csv", besidePage), "/tmp/Werte.csv");
    EXPECT_EQ(LinkFileName("\\tmp\\Werte.csv", besidePage), "/tmp/Werte.csv");
    EXPECT_EQ(LinkFileName("", besidePage), "");
}

TEST_F(LinkCommands, LoadCasesStepWithinZeroToThree)
{
    EXPECT_EQ(NextLoadCase(3, "+"), 3);
    EXPECT_EQ(NextLoadCase(0, "-"), 0);
    EXPECT_EQ(NextLoadCase(1, "+"), 2);
    EXPECT_EQ(NextLoadCase(1, "-"), 0);
    EXPECT_EQ(NextLoadCase(0, "7"), 3);
    EXPECT_EQ(NextLoadCase(2, "200"), 0);
    EXPECT_EQ(NextLoadCase(2, "x"), std::nullopt);
}

TEST_F(LinkCommands, FileLinksOpenOnlyPlainDocumentsBelowTheProgramFolder)
{
    std::filesystem::create_directories(program / "help");
    const std::string page = program.WriteFile("help/x.htm", "<p>x</p>");
    const std::string script = program.WriteFile("help/run.sh", "#!/bin/sh\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    program.WriteFile("help/start.desktop", "[Desktop Entry]\n");
    files.WriteFile("aussen.htm", "x");

    EXPECT_EQ(FileLinkTarget(program.Folder(), "FILE://help/x.htm"), std::filesystem::weakly_canonical(page).string());
    EXPECT_EQ(FileLinkTarget(program.Folder(), "file://help/run.sh"), std::nullopt);
    EXPECT_EQ(FileLinkTarget(program.Folder(), "file://help/start.desktop"), std::nullopt);
    EXPECT_EQ(FileLinkTarget(program.Folder(), "FILE://../etc/passwd"), std::nullopt);
    EXPECT_EQ(FileLinkTarget(program.Folder(), "FILE://help/fehlt.htm"), std::nullopt);
    EXPECT_EQ(FileLinkTarget(program.Folder(), "FILE://" + files / "aussen.htm"), std::nullopt);
}

TEST_F(LinkCommands, ClicksRunCommandsOrGoToTheDesktopOrAreLeftToTheViewer)
{
    Form(Example());
    int page = -1;
    modals.Expect([&](QWidget&) { page = Module().PageControl1->ActivePageIndex(); });
    EXPECT_TRUE(Click("editdlg 3"));
    EXPECT_EQ(page, 2);
    EXPECT_FALSE(form->ExecuteCommand("FOO"));
    EXPECT_THROW(form->ExecuteCommand("EDITDLG x"), EConvertError);

    EXPECT_TRUE(Click("mailto:info@example.org"));
    EXPECT_TRUE(Click("http://example.org/Seite"));
    std::filesystem::create_directories(program / "help");
    program.WriteFile("help/x.htm", "x");
    EXPECT_TRUE(Click("FILE://help/x.htm"));
    EXPECT_TRUE(Click("FILE://../etc/passwd"));
    ASSERT_EQ(desktop.Opened().size(), 3u);
    EXPECT_EQ(desktop.Opened()[0], "mailto:info@example.org");
    EXPECT_EQ(desktop.Opened()[1], "http://example.org/Seite");
    EXPECT_TRUE(desktop.Opened()[2].ends_with("/help/x.htm"));

    // Anchors, pages and everything else stay the viewer's; nothing is started.
    EXPECT_FALSE(Click("#oben"));
    EXPECT_FALSE(Click("seite2.htm"));
    EXPECT_FALSE(Click("notepad c:\\x"));
    EXPECT_EQ(desktop.Opened().size(), 3u);
}

// A page from someone else decides nothing by text that merely looks like a web or mail address:
// only the scheme counts, and only web and mail go to the desktop.
TEST_F(LinkCommands, OnlyWebAndMailSchemesReachTheDesktop)
{
    Form(Example());
    std::filesystem::create_directories(program / "help");
    program.WriteFile("help/start.desktop", "[Desktop Entry]\nExec=xterm\n");
    const std::vector<std::string> hostile = {
        "file://" + (program / "help/start.desktop") + "#http://",
        "file:///usr/share/applications/xterm.desktop#mailto:",
        "smb://host/x?mailto:",
        "javascript:alert(1)//http://",
        "vbscript:x//https://example.org",
        "ftp://example.org/http://x",
        "nfs://host/export/run.sh?MAILTO:x",
        "x-scheme-handler://open?url=http://example.org",
        "httpx://example.org",
        "mailtox:a@example.org",
        "data:text/html,<a href=http://x>",
        "C:\\Windows\\system32\\calc.exe http://x",
    };
    for (const std::string& url : hostile)
        EXPECT_TRUE(Click(url)) << url;  // taken, so the viewer does not follow it either
    EXPECT_TRUE(desktop.Opened().empty());

    EXPECT_EQ(LinkTargetOf("HTTPS://example.org/a"), LinkTarget::Desktop);
    EXPECT_EQ(LinkTargetOf("MailTo:info@example.org"), LinkTarget::Desktop);
    EXPECT_EQ(LinkTargetOf("seite2.htm?a=http://x"), LinkTarget::Viewer);
    EXPECT_EQ(LinkTargetOf("#http://"), LinkTarget::Viewer);
    EXPECT_TRUE(Click("https://example.org/Seite"));
    ASSERT_EQ(desktop.Opened().size(), 1u);
    EXPECT_EQ(desktop.Opened()[0], "https://example.org/Seite");
}

TEST_F(LinkCommands, FileOpenTakesThePathAsWritten)
{
    Form(Example());
    const std::filesystem::path folder = files / "Mein Ordner";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(Example(), folder / "Anlage.vda");
    std::filesystem::copy_file(files / "Beispiel.vdh", folder / "Anlage.vdh");
    EXPECT_TRUE(Click("FILEOPEN " + (folder / "Anlage.vda").string()));
    EXPECT_EQ(shell.FileId, (folder / "Anlage.vda").string());
    EXPECT_FALSE(form->pcResult->isHidden());
}

TEST_F(LinkCommands, SetIndexStepsThroughTheLoadCases)
{
    Form(Example());
    EXPECT_TRUE(Click("SETINDEX -"));
    EXPECT_EQ(form->LoadCase, 0);
    EXPECT_TRUE(Click("SETINDEX +"));
    EXPECT_EQ(form->LoadCase, 1);
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", Example(), 1));
    EXPECT_TRUE(Click("SETINDEX x"));
    EXPECT_EQ(form->LoadCase, 1);
    EXPECT_TRUE(Click("SETINDEX 200"));
    EXPECT_EQ(form->LoadCase, 0);
    EXPECT_EQ(Page(), ExpandedPage("Standard.vst", Example(), 0));

    EXPECT_TRUE(Click("SETMODE x"));
    EXPECT_EQ(shell.Modules.ModuleIndex, 0);
    EXPECT_TRUE(Click("FILEPRINT"));
}

// The same commands reached as the user reaches them: a link in the result frame clicked with the
// mouse, and an anchor of the messages page clicked with the mouse.
TEST_F(LinkCommands, ALinkAndAMessageAnchorClickedWithTheMouseRunTheirCommands)
{
    TMainForm& window = Form(Example());
    window.resize(800, 600);
    window.show();
    TPageViewer* frame = window.ResultFrame();
    ASSERT_NE(frame, nullptr);
    frame->LoadDocumentString("<body style=\"margin:0\"><a href=\"SETINDEX +\">Nächster Lastfall</a></body>");
    QApplication::processEvents();
    QWidget* surface = frame->PaintPanel();
    QTest::mouseMove(surface, QPoint(6, 6));
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    QApplication::processEvents();
    EXPECT_EQ(form->LoadCase, 1);

    int page = -1;
    QWidget* focused = nullptr;
    modals.Expect([&](QWidget& dialog) {
        page = Module().PageControl1->ActivePageIndex();
        focused = dialog.focusWidget();
    });
    window.pcResult->setCurrentWidget(window.tsMessage);
    window.MsgAll->SetHTMLText("<A HREF=\"edBearb\">Bearbeiter</A>");
    QApplication::processEvents();
    QTest::mouseClick(window.MsgAll, Qt::LeftButton, Qt::NoModifier, QPoint(3, 5));
    EXPECT_EQ(page, 0);
    ASSERT_NE(focused, nullptr);
    QWidget* named = Module().findChild<QWidget*>(QStringLiteral("edBearb"));
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(focused == named || named->isAncestorOf(focused));
}

TEST_F(LinkCommands, FileSaveWithoutANameIsTheSaveCommand)
{
    Form(Example());
    std::filesystem::remove(Example());
    auto& dialog = dynamic_cast<THSGDlg&>(Module());
    dialog.Module().SetModified(true);
    dialog.Modified = true;
    EXPECT_TRUE(Click("FILESAVE"));
    EXPECT_TRUE(std::filesystem::exists(Example()));
    EXPECT_FALSE(Module().Modified);
}

// A page may ask to save, but not over a file the user did not choose: any name but a
// calculation file is refused with the reason, another calculation's file is written only when
// the user agrees, and the calculation's own file and new names need no question.
TEST_F(LinkCommands, FileSaveWritesCalculationFilesOnlyAndAsksBeforeOverwriting)
{
    Form(Example());
    const std::string profile = files.WriteFile("bashrc", "alias ls='ls --color'\n");
    const std::string text = files.WriteFile("notiz.txt", "wichtig");
    for (const std::string& name : {profile, text, files / "ohne.vda.sh", files / ".vda"}) {
        EXPECT_TRUE(Click("FILESAVE " + name));
        EXPECT_FALSE(std::filesystem::exists(files / "ohne.vda"));
    }
    EXPECT_EQ(TempFolder::Read(profile), "alias ls='ls --color'\n");
    EXPECT_EQ(TempFolder::Read(text), "wichtig");
    ASSERT_EQ(prompts.Messages().size(), 4u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Eine Verknüpfung speichert nur in Velmoran-Dateien (*.vda): „" + profile +
                                              "“ wird nicht geschrieben.");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);

    const std::string other = files.WriteFile("fremd.vda", "alt");
    prompts.Answer(mrNo);
    EXPECT_TRUE(Click("FILESAVE " + other));
    ASSERT_EQ(prompts.Messages().size(), 5u);
    EXPECT_EQ(prompts.Messages()[4].Text,
              "Die Datei „" + other + "“ ist bereits vorhanden.\nSoll sie mit der aktuellen Berechnung überschrieben werden?");
    EXPECT_EQ(TempFolder::Read(other), "alt");
    EXPECT_FALSE(std::filesystem::exists(files / "fremd.vdh"));
    prompts.Answer(mrYes);
    EXPECT_TRUE(Click("FILESAVE " + other));
    EXPECT_EQ(std::filesystem::file_size(other), 6784u);
    ASSERT_EQ(prompts.Messages().size(), 7u);
    EXPECT_EQ(prompts.Messages()[6].Text, "Die Berechnung wurde in die Datei „" + other + "“ gespeichert.");

    // Only the partner is there: it would be overwritten too, so the user is asked about it.
    files.WriteFile("halb.vdh", "alt");
    prompts.Answer(mrNo);
    EXPECT_TRUE(Click("FILESAVE " + files / "halb.vda"));
    ASSERT_EQ(prompts.Messages().size(), 8u);
    EXPECT_TRUE(Contains(prompts.Messages()[7].Text, "„" + files / "halb.vdh" + "“ ist bereits vorhanden"));
    EXPECT_EQ(TempFolder::Read(files / "halb.vdh"), "alt");

    // A calculation name that leads to another file is that file's name.
    std::filesystem::create_symlink(profile, files / "verweis.vda");
    EXPECT_TRUE(Click("FILESAVE " + files / "verweis.vda"));
    ASSERT_EQ(prompts.Messages().size(), 9u);
    EXPECT_TRUE(Contains(prompts.Messages()[8].Text, "wird nicht geschrieben"));
    EXPECT_EQ(TempFolder::Read(profile), "alias ls='ls --color'\n");

    // The calculation's own file, also under another spelling, and a new name: no question; a link
    // saves without a dialog, so each save says where it wrote (once it said nothing).
    EXPECT_TRUE(Click("FILESAVE " + files / "./Beispiel.vda"));
    EXPECT_TRUE(Click("FILESAVE " + files / "neu.vda"));
    ASSERT_EQ(prompts.Messages().size(), 11u);
    EXPECT_EQ(prompts.Messages()[9].Text, "Die Berechnung wurde in die Datei „" + Example() + "“ gespeichert.");
    EXPECT_EQ(prompts.Messages()[9].Type, MsgDlgType::Information);
    EXPECT_EQ(prompts.Messages()[10].Text, "Die Berechnung wurde in die Datei „" + files / "neu.vda" + "“ gespeichert.");
    EXPECT_EQ(std::filesystem::file_size(files / "neu.vda"), 6784u);
}

// A save to another name is a copy: the window still names the calculation's own file, which
// holds what it held, so the changes stay marked and closing asks; a save to the own file, under
// any spelling, is the save and clears the mark.
TEST_F(LinkCommands, FileSaveToAnotherNameKeepsTheChangesMarked)
{
    TMainForm& window = Form(Example());
    auto& dialog = dynamic_cast<THSGDlg&>(Module());
    dialog.Module().EditCommon().Block(0).SetDouble(block::kQD, 12345);
    ASSERT_TRUE(dialog.Module().CommitEditCopies());
    const std::string onDisk = TempFolder::Read(Example());

    const std::string other = files / "Kopie.vda";
    EXPECT_TRUE(Click("FILESAVE " + other));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_TRUE(std::filesystem::exists(files / "Kopie.vdh"));
    EXPECT_TRUE(Module().Modified);
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_EQ(Caption(), "Velmoran - " + Example());
    EXPECT_EQ(TempFolder::Read(Example()), onDisk);
    prompts.Answer(mrCancel);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "Vorhandene Daten speichern ?");

    // Another copy over the first (the user agrees): still marked.
    prompts.Answer(mrYes);
    EXPECT_TRUE(Click("FILESAVE " + other));
    EXPECT_TRUE(Module().Modified);

    EXPECT_TRUE(Click("FILESAVE " + files / "./Beispiel.vda"));
    EXPECT_FALSE(Module().Modified);
    EXPECT_NE(TempFolder::Read(Example()), onDisk);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(prompts.Messages().size(), 5u);  // the question to overwrite, and where each save went
}

TEST(ImportLines, ValuesGoIntoTheFirstOfTheThreeTablesThatHasTheField)
{
    ScopedFormatSettings german(FormatSettings::German());
    TzebMemTable d, dl, dp, other;
    d.Name = "d";
    dl.Name = "dl";
    dp.Name = "dp";
    other.Name = "ph";
    d.AddField<TStringField>("Projekt", 80);
    dl.AddField<TFloatField>("QD");
    dp.AddField<TFloatField>("Yh");
    dp.AddField<TFloatField>("QD");
    other.AddField<TFloatField>("Yh");
    for (TzebMemTable* table : {&d, &dl, &dp, &other}) {
        table->Open();
        for (int row = 0; row < (table == &dl ? 3 : 1); ++row) {
            table->Append();
            table->Post();
        }
    }
    const std::vector<TDataSet*> tables = {&other, &dp, &dl, &d};

    ImportValueLines(tables, Cp1252ToUtf8("qd#1;12,5\r\n Yh ; 0,6\nohne Trenner\nUnbekannt;1\n"
                                          "Projekt;Kl\xE4ranlage S\xFC" "d\n"));
    dl.First();
    dl.Next();
    EXPECT_EQ(dl.FieldByName("QD").AsFloat(), 12.5);
    EXPECT_TRUE(dp.FieldByName("QD").IsNull());
    EXPECT_EQ(dp.FieldByName("Yh").AsFloat(), 0.6);
    EXPECT_TRUE(other.FieldByName("Yh").IsNull());
    EXPECT_EQ(d.FieldByName("Projekt").AsString(), "Kläranlage Süd");

    // Only lines that set a field count: lines whose names are no field (also one longer than
    // any value) import nothing, and the user is told so.
    EXPECT_EQ(ImportValueLines(tables, "Unbekannt;1\nOrt#1;2\n" + std::string(300, 'Q') + ";3\nQD#2;7\n"), 1u);
    EXPECT_EQ(ImportValueLines(tables, "Unbekannt;1\n" + std::string(300, 'Q') + ";3\nohne Trenner"), 0u);

    EXPECT_THROW(ImportValueLines(tables, "Yh;0,7\nx#a;1\nYh;0,8"), EConvertError);
    EXPECT_THROW(ImportValueLines(tables, "Yh;abc"), EConvertError);
    EXPECT_EQ(dp.FieldByName("Yh").AsFloat(), 0.7);
    EXPECT_EQ(dp.State(), dsBrowse);
}

// An import of a text mostly Windows-1252 with a line of UTF-8 once kept a view of every line,
// the offset of every stray byte and every stray line's number: a file of half a million short lines
// cost several times its size before a value was set. Now it costs the text read, and the message
// lists the first lines and counts the others.
TEST(ImportLines, AFileOfHalfAMillionGuessedLinesCostsTheTextItReads)
{
    std::string bytes = "Projekt;Kläranlage Süd\n";
    std::size_t guessed = 0;
    for (; bytes.size() < (std::size_t{1} << 20); ++guessed)
        bytes += "\xFC\n";
    ImportLog log;
    std::size_t cost = 0;
    {
        const velmoran::testing::PeakAllocation peak;
        const std::string text = ImportFileText(bytes, log);
        cost = peak.Bytes();
    }
    EXPECT_LE(cost, 2 * bytes.size());
    EXPECT_EQ(log.Message(), "Der Import hat nicht alles übernommen, wie es dort stand:\nZeilen 2, 3, 4, 5, 6, 7, 8, 9, "
                             "10, 11 und " + std::to_string(guessed - 10) +
                             " weitere: Zeichen, die kein UTF-8 sind, wurden als Windows-1252 gelesen.");
}

// A file of a name no field has on every line: each name is said as not taken, the first ten
// listed and the others counted, at no more than the text read (each noted once cost a hundred
// bytes and more).
TEST(ImportLines, AFileOfUnknownNamesCostsTheTextItReads)
{
    TzebMemTable d;
    d.AddField<TFloatField>("QD");
    std::string text;
    int lines = 0;
    for (; text.size() < (std::size_t{1} << 20); ++lines)
        text += "N" + std::to_string(lines) + ";1\n";
    ImportLog log;
    const velmoran::testing::PeakAllocation peak;
    ImportValueLines({&d}, text, &log);
    EXPECT_LE(peak.Bytes(), text.size());
    EXPECT_TRUE(log.Message().ends_with("\nZeile 10: „N9“ ist kein Feld, in das sich Werte importieren lassen."
                                        "\nund " + std::to_string(lines - 10) + " weitere nicht übernommene Werte"))
        << Excerpt(log.Message(), 2000);
}

// A value of megabytes costs what its field keeps: it was copied, converted whole for a field of
// 255 characters and twice more for the log, up to five times the file. A text is cut to its field
// and said so; a number that long is no number and is refused as any text that is none. What the
// import holds beyond the file is the text read, once its size.
TEST(ImportLines, AValueOfMegabytesCostsWhatItsFieldKeeps)
{
    ScopedFormatSettings german(FormatSettings::German());
    TzebMemTable d;
    d.Name = "d";
    d.AddField<TStringField>("Projekt", 255);
    d.AddField<TFloatField>("QD");
    d.Open();
    d.Append();
    d.Post();
    constexpr std::size_t kSize = std::size_t{1} << 20;
    std::string error;
    const auto costOf = [&](const std::string& bytes, ImportLog& log) {
        const velmoran::testing::PeakAllocation peak;
        const std::string text = ImportFileText(bytes, log);
        try {
            ImportValueLines({&d}, text, &log);
        } catch (const EConvertError& refused) {
            error = refused.Message();
        }
        return static_cast<double>(peak.Bytes()) / static_cast<double>(bytes.size());
    };
    ImportLog textLog;
    EXPECT_LE(costOf("Projekt;" + std::string(kSize, 'x'), textLog), 2.0);
    EXPECT_EQ(d.FieldByName("Projekt").AsString(), std::string(255, 'x'));
    EXPECT_EQ(textLog.Message(), "Der Import hat nicht alles übernommen, wie es dort stand:\nZeile 1: Der Wert war "
                                 "länger als das Feld und wurde gekürzt.");
    ImportLog numberLog;
    EXPECT_LE(costOf("QD;1," + std::string(kSize, '0'), numberLog), 2.0);
    EXPECT_EQ(error, "Zeile 1: „1," + std::string(78, '0') + "…“ ist kein gültiger Gleitkommawert für das Feld „QD“.");
    EXPECT_TRUE(d.FieldByName("QD").IsNull());
}

// The record number's edges: a number as large as the table has records is no record of it (its
// value once went into the first record, over another's), and a mark that is no digit, also one
// that sorts below "0", is an error.
TEST(ImportLines, RecordNumbersAtTheirEdges)
{
    ScopedFormatSettings german(FormatSettings::German());
    TzebMemTable dl;
    dl.Name = "dl";
    dl.AddField<TFloatField>("QD");
    dl.Open();
    for (int row = 0; row < 3; ++row) {
        dl.Append();
        dl.Post();
    }
    const std::vector<TDataSet*> tables = {&dl};
    ImportLog log;
    ImportValueLines(tables, "QD#3;7\nQD#2;9\n", &log);
    std::vector<double> values;
    for (dl.First(); !dl.Eof(); dl.Next())
        values.push_back(dl.FieldByName("QD").IsNull() ? -1 : dl.FieldByName("QD").AsFloat());
    EXPECT_EQ(values, (std::vector<double>{-1, -1, 9}));
    EXPECT_EQ(log.Message(), "Der Import hat nicht jeden Wert übernommen.\nÜbernommen: QD#2 (Zeile 2).\nNicht "
                             "übernommen:\nZeile 1: „QD#3“ nennt einen Satz, den es nicht gibt: Es gibt die Sätze 0 bis 2.");
    for (const char* line : {"QD#-;1", "QD# ;1", "QD#/;1", "QD#;1", "QD#:;1"})
        EXPECT_THROW(ImportValueLines(tables, line), EConvertError) << line;
}

// A module whose tables have other names than d, dl and dp gets its values all the same, in the
// first three tables of the shell's dataset list. That list holds the module's tables last one
// first: of the module's t, a, b, c the import searches c, b, a, so a name c shares with a and
// t goes into c, and t, fourth in the list, takes none. (The import once searched the module's
// own first three, t, a, b.)
TEST_F(Import, AModuleWithOtherTableNamesFillsTheFirstThreeOfTheDataSetList)
{
    ScopedFormatSettings german(FormatSettings::German());
    Form();
    const std::string library = program / "Testmodul.so";
    std::filesystem::copy_file(VELMORAN_TEST_MODULE, library);
    ASSERT_TRUE(shell.Modules.RegisterModule(library));
    auto& module = static_cast<velmoran::testing::TTestModule&>(*shell.Modules.ModuleList().at(1)->Dialog);
    TzebMemTable a, b, c;
    for (TzebMemTable* table : {&a, &b, &c}) {
        table->Name = "x";
        table->AddField<TFloatField>("Q");
        table->AddField<TStringField>("Projekt", 40);
        table->Open();
        table->Append();
        table->Post();
        module.DataSets.push_back(table);
    }
    shell.Modules.SelectModule(1);

    form->ImportValues(files.WriteFile("werte.csv", Cp1252ToUtf8("Q;2,5\nProjekt;Kl\xE4ranlage Nord\nKennung ; K-7\n")));
    EXPECT_EQ(c.FieldByName("Q").AsFloat(), 2.5);
    EXPECT_EQ(c.FieldByName("Projekt").AsString(), "Kläranlage Nord");
    for (TzebMemTable* table : {&a, &b}) {
        EXPECT_TRUE(table->FieldByName("Q").IsNull());
        EXPECT_EQ(table->FieldByName("Projekt").AsString(), "");
    }
    EXPECT_EQ(module.Value("Projekt"), "");
    EXPECT_EQ(module.Value("Kennung"), "");
    // The window goes before the tables the module was lent.
    form.reset();
    module.DataSets.resize(1);
}

TEST_F(Import, AFailedLineKeepsTheLinesBeforeItAndTheyAreSaved)
{
    ScopedFormatSettings german(FormatSettings::German());
    TMainForm& window = Form(Example());
    const std::string csv = files.WriteFile("import.csv", "QD;12345\nCBSBzb;300\nx#a;1\n");
    EXPECT_THROW(window.ExecuteCommand("FILEIMPORT " + csv), EConvertError);
    EXPECT_TRUE(Contains(Page(), "12345") || Contains(Page(), "12.345"));
    EXPECT_TRUE(Contains(Page(), "300"));

    prompts.AnswerFile(files / "neu.vda");
    window.FileSaveAsExecute();
    window.OpenCalculationFile(files / "neu.vda");
    EXPECT_TRUE(Contains(Page(), "300"));
}

// A page's import reads only a regular file of sensible size: a device that never ends, a pipe
// that would block the window and a folder are refused at once with a German message, and
// nothing changes. Like the menu's import, the link asks the save question first.
TEST_F(Import, TheLinkReadsOnlyRegularFilesAndAsksFirst)
{
    TMainForm& window = Form(Example());
    const std::string pipe = files / "werte.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string page = Page();
    const auto refusal = [&window](const std::string& name) {
        try {
            window.ExecuteCommand("FILEIMPORT " + name);
        } catch (const EFOpenError& error) {
            return error.Message();
        }
        return std::string("(gelesen)");
    };
    EXPECT_EQ(refusal("/dev/zero"), "„/dev/zero“ ist keine gewöhnliche Datei (ein Gerät oder eine Pipe) und wird nicht gelesen.");
    EXPECT_EQ(refusal(pipe), "„" + pipe + "“ ist keine gewöhnliche Datei (ein Gerät oder eine Pipe) und wird nicht gelesen.");
    EXPECT_EQ(refusal(files.Folder()), "„" + files.Folder() + "“ ist ein Ordner und keine Datei.");
    EXPECT_EQ(Page(), page);
    EXPECT_FALSE(Module().Modified);
    // Opening such a name as a calculation is refused the same way.
    std::filesystem::create_symlink(pipe, files / "Rohr.vda");
    EXPECT_THROW(window.OpenCalculationFile(files / "Rohr.vda"), EFOpenError);
    EXPECT_EQ(shell.FileId, Example());
    EXPECT_TRUE(prompts.Messages().empty());

    // With changes not saved: Cancel keeps them and reads nothing; No imports.
    const std::string csv = files.WriteFile("import.csv", "QD;12345\n");
    auto& dialog = dynamic_cast<THSGDlg&>(Module());
    dialog.Module().SetModified(true);
    dialog.Modified = true;
    prompts.Answer(mrCancel);
    EXPECT_TRUE(window.ExecuteCommand("FILEIMPORT " + csv));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "Vorhandene Daten speichern ?");
    EXPECT_FALSE(Contains(Page(), "12345") || Contains(Page(), "12.345"));
    prompts.Answer(mrNo);
    EXPECT_TRUE(window.ExecuteCommand("FILEIMPORT " + csv));
    EXPECT_EQ(prompts.Messages().size(), 2u);
    EXPECT_TRUE(Contains(Page(), "12345") || Contains(Page(), "12.345"));
}

}  // namespace
