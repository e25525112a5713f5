// The desktop as a user meets it with files that cannot be written or read as they should: every
// write error names its cause in German, in saving, exporting and printing to PDF alike; a
// calculation whose module file is damaged or missing opens on the design's defaults with a note
// in the status line, and a file that cannot be read is the one the message names.
#include "tests/shell/CalculationFixture.h"

#include "hsg/ui/HsgDlg.h"
#include "platform/Printer.h"
#include "platform/core/AtomicFile.h"

#include <gtest/gtest.h>

#include <QStatusBar>

#include <cerrno>
#include <cstring>
#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

using UserRoadTwo = velmoran::testing::CalculationFixture;

using velmoran::testing::PdfPrinter;

std::string LastMessage(const ScriptedPromptService& prompts)
{
    return prompts.Messages().empty() ? std::string() : prompts.Messages().back().Text;
}

// A symbolic-link loop, a system folder that takes no files (/proc) and one that refuses them
// (/sys) are named with their cause in German, the same in save as, export and PDF; and no
// error a write can give reaches the user as the system's English text.
TEST_F(UserRoadTwo, EveryWriteErrorNamesItsCauseInGerman)
{
    const PdfPrinter pdf;
    TMainForm& window = Form(Example());
    fs::create_symlink(files / "schleife2.vda", files / "schleife.vda");
    fs::create_symlink(files / "schleife.vda", files / "schleife2.vda");
    fs::create_symlink(files / "ring2.html", files / "ring.html");
    fs::create_symlink(files / "ring.html", files / "ring2.html");
    const std::string loop = "Der Pfad enthält eine Schleife symbolischer Verknüpfungen.";

    prompts.AnswerFile(files / "schleife.vda");
    window.FileSaveAsExecute();
    EXPECT_EQ(LastMessage(prompts), "Die Datei „" + (files / "schleife.vda") + "“ konnte nicht gespeichert werden: " + loop);
    EXPECT_EQ(shell.FileId, Example());
    prompts.AnswerFile(files / "ring.html");
    window.FileExportExecute();
    EXPECT_EQ(LastMessage(prompts), "Die Datei „" + (files / "ring.html") + "“ konnte nicht gespeichert werden: " + loop);
    PrintDialogAnswer answer;
    answer.PdfFileName = files / "ring.html";
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    EXPECT_EQ(LastMessage(prompts), "Die Datei „" + (files / "ring.html") + "“ konnte nicht geschrieben werden: " + loop);
    EXPECT_TRUE(fs::is_symlink(files / "schleife.vda"));
    EXPECT_TRUE(fs::is_symlink(files / "ring.html"));

    // /proc is there but takes no new files: not a missing folder.
    const std::string inProc = "In diesem Ordner können keine Dateien angelegt werden.";
    answer.PdfFileName = "/proc/Bericht.pdf";
    prompts.AnswerPrint(answer);
    window.FilePrintExecute();
    EXPECT_EQ(LastMessage(prompts), "Die Datei „/proc/Bericht.pdf“ konnte nicht geschrieben werden: " + inProc);
    prompts.AnswerFile("/proc/Bericht.html");
    window.FileExportExecute();
    EXPECT_EQ(LastMessage(prompts), "Die Datei „/proc/Bericht.html“ konnte nicht gespeichert werden: " + inProc);

    // A calculation saved under /sys: the file of the pair that failed, and why.
    const std::size_t before = prompts.Messages().size();
    prompts.AnswerFile("/sys/Anlage.vda");
    window.FileSaveAsExecute();
    ASSERT_EQ(prompts.Messages().size(), before + 1);
    EXPECT_EQ(LastMessage(prompts),
              "Die Datei „/sys/Anlage.vdh“ konnte nicht gespeichert werden: Keine Berechtigung zum Schreiben an diesem Ort.");
    EXPECT_EQ(shell.FileId, Example());

    // Every error number has a German reason; those a write gives each have their own.
    for (int error = 1; error < 134; ++error) {
        const std::string reason = FileErrorReason(error, files / "x.vda");
        EXPECT_NE(reason, std::strerror(error)) << error;
        EXPECT_FALSE(reason.empty());
    }
    for (int error : {EACCES, EPERM, ENOENT, ENOTDIR, EISDIR, EROFS, ENOSPC, EDQUOT, EFBIG, ENAMETOOLONG, ELOOP,
                      EINVAL, EEXIST, EBUSY, ETXTBSY, EMFILE, ENFILE, ENOMEM, EIO, EXDEV, EOPNOTSUPP, EAGAIN,
                      EINTR, ESTALE, ETIMEDOUT, ENOTCONN, EMLINK, ENXIO})
        EXPECT_EQ(FileErrorReason(error).find("Fehlernummer"), std::string::npos) << error;
    EXPECT_EQ(FileErrorReason(ENOENT, files / "fehlt/x.vda"), "Der Ordner existiert nicht.");
}

// A module file cut short or missing opens the calculation on the design's defaults and says so
// in the status line; a module file that cannot be read at all is the file the message names,
// and a damaged calculation file is named as such.
TEST_F(UserRoadTwo, ADamagedModuleFileIsNamedAndOpensOnTheDefaults)
{
    TMainForm& window = Form();
    auto& dialog = dynamic_cast<THSGDlg&>(Module());
    const auto status = [&window] { return window.StatusBar->currentMessage().toStdString(); };
    const std::string defaults = "Für die Werte der Bemessung gelten die Standardwerte, und die Ergebnisse stehen bis "
                                 "zur nächsten Berechnung als „#“: ";

    const std::string shortPair = files / "Kurz.vda";
    fs::copy_file(Example(), shortPair);
    files.WriteFile("Kurz.vdh", "0123456789");
    window.OpenCalculationFile(shortPair);
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(shell.FileId, shortPair);
    EXPECT_EQ(status(), defaults + "Die Datei „" + (files / "Kurz.vdh") + "“ ist unvollständig.");
    EXPECT_EQ(dialog.Module().CurrentHsg(), dialog.Module().DefaultHsg());

    window.OpenCalculationFile(Example());
    EXPECT_EQ(status(), "");
    EXPECT_NE(dialog.Module().CurrentHsg(), dialog.Module().DefaultHsg());

    const std::string lonely = files / "Ohne.vda";
    fs::copy_file(Example(), lonely);
    window.OpenCalculationFile(lonely);
    EXPECT_EQ(shell.FileId, lonely);
    EXPECT_EQ(status(), defaults + "Die Datei „" + (files / "Ohne.vdh") + "“ fehlt.");
    EXPECT_EQ(dialog.Module().CurrentHsg(), dialog.Module().DefaultHsg());

    // A module file that is a folder cannot be read: it is named, not the calculation file.
    const std::string blocked = files / "Gesperrt.vda";
    fs::copy_file(Example(), blocked);
    fs::create_directory(files / "Gesperrt.vdh");
    window.OpenCalculationFile(blocked);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text,
              "Die Datei „" + (files / "Gesperrt.vdh") + "“ konnte nicht gelesen werden: Der Name gehört zu einem Ordner.");
    // The calculation opened before stays.
    EXPECT_EQ(shell.FileId, lonely);

    // A calculation file cut short beside a whole module file is named as the calculation file,
    // also when the module file was the name opened.
    files.WriteFile("Halb.vda", std::string(100, '\x01'));
    fs::copy_file(files / "Beispiel.vdh", files / "Halb.vdh");
    window.OpenCalculationFile(files / "Halb.vdh");
    ASSERT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(prompts.Messages()[1].Text, "Die Datei „" + (files / "Halb.vda") +
                                              "“ konnte nicht gelesen werden: Die Datei ist unvollständig (100 von 6784 Bytes).");
}

}  // namespace
