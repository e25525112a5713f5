// The default message boxes and folder browser (Qt).
#include "platform/Prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QTimer>

namespace velmoran {

namespace {

class ScreenPromptService : public PromptService {
public:
    int MessageDlg(const std::string& text, MsgDlgType type, unsigned buttons) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(QStringLiteral("Velmoran"));
        box.setText(QString::fromStdString(text));
        switch (type) {
        case MsgDlgType::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgDlgType::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgDlgType::Information: box.setIcon(QMessageBox::Information); break;
        case MsgDlgType::Confirmation: box.setIcon(QMessageBox::Question); break;
        case MsgDlgType::Custom: break;
        }
        struct Choice {
            MsgDlgButton Button;
            const char* Caption;
            QMessageBox::ButtonRole Role;
            int Result;
        };
        static const Choice kChoices[] = {
            {mbYes, "&Ja", QMessageBox::YesRole, mrYes},
            {mbNo, "&Nein", QMessageBox::NoRole, mrNo},
            {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
            {mbCancel, "Abbrechen", QMessageBox::RejectRole, mrCancel},
            {mbAbort, "&Abbrechen", QMessageBox::RejectRole, mrAbort},
            {mbRetry, "&Wiederholen", QMessageBox::AcceptRole, mrRetry},
            {mbIgnore, "&Ignorieren", QMessageBox::AcceptRole, mrIgnore},
        };
        std::vector<std::pair<QAbstractButton*, int>> made;
        for (const Choice& choice : kChoices)
            if (buttons & choice.Button)
                made.emplace_back(box.addButton(QString::fromUtf8(choice.Caption), choice.Role), choice.Result);
        if (made.empty())
            made.emplace_back(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole), mrOk);
        box.exec();
        for (const auto& [button, result] : made)
            if (box.clickedButton() == button)
                return result;
        return (buttons & mbCancel) ? mrCancel : mrNone;
    }

    // Qt's own folder browser rather than the desktop's, so that it looks the same everywhere and
    // can be placed.
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startFolder,
                                            const BrowseFolderOptions& options) override
    {
        QWidget* owner = QApplication::activeWindow();
        QFileDialog dialog(owner, QString::fromStdString(title.empty() ? "Verzeichnis auswählen" : title),
                           QString::fromStdString(startFolder));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
        dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Verzeichnis:"));
        dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Auswählen"));
        dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
        QFileDialog::Options flags = QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly;
        if (options.NoNewFolderButton)
            flags |= QFileDialog::ReadOnly;
        dialog.setOptions(flags);
        if (options.Place) {
            QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
            // Once shown, when the dialog has its size.
            QTimer::singleShot(0, &dialog, [&dialog, &options, screen] {
                const QRect area = screen ? screen->geometry() : QRect();
                const QSize size = dialog.frameGeometry().size();
                const auto place = options.Place(TSize{size.width(), size.height()},
                                                 TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
                if (place)
                    dialog.move(place->X, place->Y);
            });
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }
};

PromptService*& Installed()
{
    static PromptService* service = nullptr;
    return service;
}

}  // namespace

std::optional<std::string> PromptService::BrowseFolder(const std::string&, const std::string&,
                                                       const BrowseFolderOptions&)
{
    return std::nullopt;
}

PromptService& Prompts()
{
    static ScreenPromptService screen;
    PromptService* service = Installed();
    return service ? *service : screen;
}

PromptService* SetPromptService(PromptService* service)
{
    PromptService* previous = Installed();
    Installed() = service;
    return previous;
}

}  // namespace velmoran
