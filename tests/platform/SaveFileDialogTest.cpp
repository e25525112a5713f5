// The save dialog on screen: a name the caller refuses is said while the dialog stays open, before
// any question about replacing a file of that name; a caller that asks itself is asked for once.
#include "platform/Prompt.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

using namespace velmoran;

namespace {

// What a user did in the shown save dialog and what it answered.
struct SaveDialogRun {
    std::optional<std::string> Chosen;
    bool StayedOpenAfterRefusal = false;
    // The name field after the refusal: focused with its whole text selected, so that what the
    // user types next replaces the refused name.
    bool NameReadyAfterRefusal = false;
    int QuestionsAsked = 0;
};

// Runs the save dialog on screen and types each name in turn, pressing "Speichern" after each;
// a question about replacing a file is counted and answered "Ja".
SaveDialogRun RunSaveDialog(const FileDialogOptions& options, const std::vector<std::string>& names)
{
    SaveDialogRun run;
    std::size_t next = 0;
    int waited = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        // A dialog still open a second after the last name has refused it: cancelled, so that the
        // test fails rather than waits.
        if (next >= names.size()) {
            if (++waited > 100)
                dialog->reject();
            return;
        }
        const std::string name = names[next++];
        // Outside the timer's call: a question opened by the press runs a loop of its own.
        QTimer::singleShot(0, dialog, [&run, dialog, name, last = next == names.size()] {
            QTimer::singleShot(50, dialog, [&run] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++run.QuestionsAsked;
                    if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                        yes->click();
                }
            });
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit)
                return;
            edit->setText(QString::fromStdString(name));
            edit->deselect();
            dialog->setFocus();
            static_cast<QDialog*>(dialog)->accept();
            if (!last) {
                run.StayedOpenAfterRefusal = dialog->isVisible();
                run.NameReadyAfterRefusal = edit->hasFocus() && edit->selectedText() == edit->text();
            }
        });
    });
    timer.start();
    run.Chosen = RunSaveFileDialog(options);
    return run;
}

}  // namespace

// Export onto a calculation's module file asked "Soll sie überschrieben werden?" first and refused
// only after the user had said "Ja"; the PDF chooser of the print dialog asked what the print asks
// again.
TEST(SaveFileDialog, ARefusedNameIsSaidFirstAndACallerThatAsksIsAskedOnce)
{
    velmoran::testing::App();
    const velmoran::testing::TempFolder folder;
    const std::string calculation = folder.WriteFile("Anlage.vdh", "Berechnung");
    const std::string report = folder.WriteFile("Bericht.html", "alt");
    ScriptedPromptService prompts;
    FileDialogOptions options;
    options.InitialDir = folder.Folder();
    options.Refusal = [](const std::string& name) -> std::optional<std::string> {
        if (name.ends_with(".vdh"))
            return "„" + name + "“ abgelehnt";
        return std::nullopt;
    };

    SaveDialogRun refused = RunSaveDialog(options, {"Anlage.vdh", "Neu.html"});
    EXPECT_EQ(refused.QuestionsAsked, 0) << "the refusal comes before any question";
    EXPECT_TRUE(refused.StayedOpenAfterRefusal);
    EXPECT_TRUE(refused.NameReadyAfterRefusal);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].Text, "„" + calculation + "“ abgelehnt");
    EXPECT_EQ(prompts.Messages()[0].Type, MsgDlgType::Error);
    EXPECT_EQ(refused.Chosen, folder / "Neu.html");

    // A file that is there: the dialog asks, unless its caller asks itself.
    EXPECT_EQ(RunSaveDialog(options, {"Bericht.html"}).QuestionsAsked, 1);
    options.ConfirmOverwrite = false;
    const SaveDialogRun unasked = RunSaveDialog(options, {"Bericht.html"});
    EXPECT_EQ(unasked.QuestionsAsked, 0);
    EXPECT_EQ(unasked.Chosen, report);
    EXPECT_EQ(prompts.Messages().size(), 1u);
}
