// The folder browser of the prompt service: the scripted service records and answers from its
// queue; the program's browser is Qt's own directory dialog, placed where the caller says.
#include "platform/Prompt.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>

using namespace velmoran;

TEST(BrowseFolder, ScriptedServiceRecordsAndAnswersFromItsQueue)
{
    ScriptedPromptService prompts;
    BrowseFolderOptions options;
    options.NoNewFolderButton = true;
    prompts.AnswerFolder("/daten");
    prompts.AnswerFolder(std::nullopt);
    EXPECT_EQ(Prompts().BrowseFolder("Titel", "/start", options), std::optional<std::string>("/daten"));
    EXPECT_EQ(Prompts().BrowseFolder("", "/", {}), std::nullopt);
    EXPECT_EQ(Prompts().BrowseFolder("", "/", {}), std::nullopt);
    ASSERT_EQ(prompts.FolderRequests().size(), 3u);
    EXPECT_EQ(prompts.FolderRequests()[0].Title, "Titel");
    EXPECT_EQ(prompts.FolderRequests()[0].StartFolder, "/start");
    EXPECT_TRUE(prompts.FolderRequests()[0].Options.NoNewFolderButton);
}

TEST(BrowseFolder, TheProgramsBrowserIsQtsDirectoryDialog)
{
    velmoran::testing::App();
    velmoran::testing::TempFolder start;
    QDir(QString::fromStdString(start.Folder())).mkdir(QStringLiteral("Vorlagen"));
    BrowseFolderOptions options;
    options.NoNewFolderButton = true;
    TSize sizeSeen;
    options.Place = [&](TSize dialog, const TRect&) {
        sizeSeen = dialog;
        return std::optional<TPoint>(TPoint{17, 23});
    };
    struct Seen {
        bool NotNative = false;
        QFileDialog::FileMode Mode = QFileDialog::AnyFile;
        bool DirsOnly = false;
        bool ReadOnly = false;
        QString Title;
        QString AcceptText;
        QString Folder;
        QPoint Place;
    } seen;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        // Placed once shown.
        if (dialog->pos() != QPoint(17, 23) && ++ticks < 100)
            return;
        seen = {dialog->testOption(QFileDialog::DontUseNativeDialog), dialog->fileMode(),
                dialog->testOption(QFileDialog::ShowDirsOnly), dialog->testOption(QFileDialog::ReadOnly),
                dialog->windowTitle(), dialog->labelText(QFileDialog::Accept),
                QDir(dialog->directory()).absolutePath(), dialog->pos()};
        dialog->setDirectory(dialog->directory().absoluteFilePath(QStringLiteral("Vorlagen")));
        static_cast<QDialog*>(dialog)->accept();
    });
    timer.start();
    const std::optional<std::string> chosen = Prompts().BrowseFolder("Vorlagen wählen", start.Folder(), options);
    timer.stop();
    EXPECT_TRUE(seen.NotNative);
    EXPECT_EQ(seen.Mode, QFileDialog::Directory);
    EXPECT_TRUE(seen.DirsOnly);
    EXPECT_TRUE(seen.ReadOnly);
    EXPECT_EQ(seen.Title, QStringLiteral("Vorlagen wählen"));
    EXPECT_EQ(seen.AcceptText, QStringLiteral("Auswählen"));
    EXPECT_EQ(seen.Folder, QDir(QString::fromStdString(start.Folder())).absolutePath());
    EXPECT_EQ(seen.Place, QPoint(17, 23));
    EXPECT_GT(sizeSeen.cx, 0);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(QDir(QString::fromStdString(*chosen)).absolutePath(),
              QDir(QString::fromStdString(start / "Vorlagen")).absolutePath());

    // Cancelled: nothing.
    QTimer::singleShot(50, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(Prompts().BrowseFolder("", start.Folder(), {}), std::nullopt);
}
