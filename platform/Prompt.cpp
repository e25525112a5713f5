// The default message boxes (Qt) and the scripted service for tests.
#include "platform/Prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

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
};

PromptService*& Installed()
{
    static PromptService* service = nullptr;
    return service;
}

}  // namespace

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
