// helpdemo: shows the help window with the shipped help of the design module and a small form
// whose fields carry help contexts of the test help set, with F1, Shift+F1 and the "Was ist das?"
// menu at work.
//
//   helpdemo                 the help window and the form on screen
//   helpdemo --shot DIR      renders offscreen into DIR: help-inhalt.png (the contents),
//                            help-benutzen.png (using help), form-f1.png (F1 on the first field),
//                            form-menu.png (right click on the third field)
//   helpdemo --route         prints, per help type and show type, the engine calls the router makes
//                            for the commands 1, 2, 3, 8, 11, 13, 15 and 257
#include "help/HelpPopup.h"
#include "help/HelpRouter.h"
#include "help/HelpViewerEngine.h"
#include "help/HelpWindow.h"
#include "help/WhatsThis.h"
#include "platform/AppServices.h"
#include "platform/Application.h"
#include "platform/SystemParams.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace velmoran;

namespace {

const std::string kShippedHelp = VELMORAN_DATA_DIR "/help/VelmoranHSG.hlp";
const std::string kTestHelp = VELMORAN_TEST_DATA "/help/Demo.hlp";

// The demonstration form: fields with help context 100, behind a label's buddy 200, and in a
// panel with 300; its own help file is the test help set.
struct DemoForm {
    QWidget window;
    QLineEdit* first;
    QLineEdit* second;
    QLineEdit* third;

    DemoForm()
    {
        window.setObjectName("DemoForm");
        window.setWindowTitle(QString::fromUtf8("Hilfe-Vorf\xC3\xBChrung"));
        window.setProperty("helpFile", QString::fromStdString(kTestHelp));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Zulauf bei Trockenwetter:"), &window));
        first = new QLineEdit(QStringLiteral("1200"), &window);
        first->setProperty("helpContext", 100);
        layout->addWidget(first);
        auto* label = new QLabel(QStringLiteral("&Ablaufmenge:"), &window);
        second = new QLineEdit(QStringLiteral("1150"), &window);
        second->setProperty("helpContext", 200);
        label->setBuddy(second);
        layout->addWidget(label);
        layout->addWidget(second);
        auto* panel = new QFrame(&window);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setProperty("helpContext", 300);
        auto* inner = new QVBoxLayout(panel);
        inner->addWidget(new QLabel(QStringLiteral("Beckenvolumen:"), panel));
        third = new QLineEdit(QStringLiteral("4800"), panel);
        inner->addWidget(third);
        layout->addWidget(panel);
        auto* contents = new QPushButton(QStringLiteral("Inhalt der Hilfe"), &window);
        QObject::connect(contents, &QPushButton::clicked,
                         [] { AppServices::Instance().HelpCommand(HELP_CONTENTS, 0); });
        layout->addWidget(contents);
        window.setGeometry(60, 60, 320, 260);
    }
};

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The form with the pop-up windows over it, as they would be on screen.
QImage Composite(QWidget& form, QWidget* popup)
{
    QRect area = form.frameGeometry();
    if (popup)
        area = area.united(popup->geometry());
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    painter.drawPixmap(form.geometry().topLeft() - area.topLeft(), form.grab());
    if (popup)
        painter.drawPixmap(popup->geometry().topLeft() - area.topLeft(), popup->grab());
    return image;
}

QWidget* VisiblePopup()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && (widget == THelpPopup::Shown() || qobject_cast<QMenu*>(widget)))
            return widget;
    return nullptr;
}

bool Save(const QImage& image, const QString& file)
{
    if (!image.save(file)) {
        std::fprintf(stderr, "helpdemo: %s kann nicht geschrieben werden\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

int Shots(const QString& folder, THelpViewerEngine& engine, TWhatsThis& whatsThis)
{
    QDir().mkpath(folder);
    bool ok = engine.winHelp(nullptr, kShippedHelp, HELP_CONTENTS, 0);
    THelpWindow* window = engine.Window();
    if (!ok || !window)
        return 1;
    window->resize(720, 600);
    Settle();
    ok = Save(window->grab().toImage(), folder + "/help-inhalt.png");
    ok = engine.winHelp(nullptr, kShippedHelp, HELP_HELPONHELP, 0) && ok;
    Settle();
    ok = Save(window->grab().toImage(), folder + "/help-benutzen.png") && ok;
    window->close();

    DemoForm form;
    form.window.show();
    QApplication::setActiveWindow(&form.window);
    form.first->setFocus();
    Settle();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(form.first, &f1);
    Settle();
    ok = Save(Composite(form.window, VisiblePopup()), folder + "/form-f1.png") && ok;
    if (THelpPopup* popup = THelpPopup::Shown())
        popup->close();
    Settle();

    const QPoint at = form.third->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(form.third->mapToGlobal(at)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form.third, &press);
    Settle();
    ok = Save(Composite(form.window, VisiblePopup()), folder + "/form-menu.png") && ok;
    whatsThis.PopupMenu()->close();
    return ok ? 0 : 1;
}

// An engine that prints each call.
class PrintingEngine : public HelpEngine {
public:
    int Calls = 0;

    bool winHelp(QWidget*, const std::string& file, int command, std::int64_t data) override
    {
        ++Calls;
        if (command == HELP_KEY || command == HELP_PARTIALKEY)
            std::printf("WinHelp(%s, %d, \"%s\")", file.c_str(), command, KeywordOf(data));
        else
            std::printf("WinHelp(%s, %d, %lld)", file.c_str(), command, static_cast<long long>(data));
        return true;
    }
    bool htmlHelpAvailable() override { return true; }
    QWidget* htmlHelp(QWidget*, const std::string& file, int command, std::int64_t data, const THHPopup* popup) override
    {
        ++Calls;
        std::printf("HtmlHelp(%s, %d, ", file.empty() ? "-" : file.c_str(), command);
        if (popup)
            std::printf("Pop-up %d bei %d,%d)", popup->idString, popup->pt.x(), popup->pt.y());
        else if (command == HH_DISPLAY_INDEX && data != 0)
            std::printf("\"%s\")", KeywordOf(data));
        else
            std::printf("%lld)", static_cast<long long>(data));
        return &window_;
    }

private:
    QWidget window_;
};

int Route(THelpRouter& router)
{
    PrintingEngine printing;
    HelpEngine* previous = SetHelpEngine(&printing);
    const char* helpTypes[] = {"htWinhelp", "htHTMLhelp", "htMixedMode"};
    const char* showTypes[] = {"stDefault", "stMain", "stPopup"};
    static const char keyword[] = "Zulauf";
    router.SetHelpfile("/programm/help/VelmoranHSG.hlp");
    for (int help = 0; help < 3; ++help) {
        for (int show = 0; show < 3; ++show) {
            router.SetHelpType(static_cast<THelpType>(help));
            router.SetShowType(static_cast<TShowType>(show));
            std::printf("%s, %s:\n", helpTypes[help], showTypes[show]);
            for (int command : {1, 2, 3, 8, 11, 13, 15, 257}) {
                std::int64_t data = command == 13 ? ((40 << 16) | 30) : command == 257 ? KeywordData(keyword) : 100;
                if (command == 15)
                    data = 0;
                std::printf("  %3d -> ", command);
                printing.Calls = 0;
                bool callHelp = true;
                const bool result = router.Route(command, data, callHelp);
                if (printing.Calls == 0)
                    std::printf("kein Aufruf");
                std::printf(" = %s%s\n", result ? "True" : "False", callHelp ? ", CallHelp bleibt gesetzt" : "");
            }
        }
    }
    SetHelpEngine(previous);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    ChooseDisplayPlatform();
    TApplication app(argc, argv);
    THelpViewerEngine engine;
    SetHelpEngine(&engine);
    SetApplicationHelpFile(kShippedHelp);
    THelpRouter router;
    TWhatsThis whatsThis;
    whatsThis.setObjectName("WhatsThis");
    whatsThis.Options = {wtMenuRightClick, wtNoContextHelp, wtNoContextMenu, wtInheritFormContext, wtUseTag,
                         wtUseAppKey};
    whatsThis.SetPopupCaption("Was ist das?");
    whatsThis.Loaded();

    if (argc >= 2 && std::strcmp(argv[1], "--route") == 0)
        return Route(router);
    if (argc >= 3 && std::strcmp(argv[1], "--shot") == 0)
        return Shots(QString::fromLocal8Bit(argv[2]), engine, whatsThis);
    if (argc >= 2) {
        std::fprintf(stderr, "Aufruf: helpdemo [--shot ORDNER | --route]\n");
        return 2;
    }
    DemoForm form;
    form.window.show();
    if (engine.winHelp(nullptr, kShippedHelp, HELP_CONTENTS, 0))
        engine.Window()->setGeometry(420, 40, 720, 640);
    const int result = app.exec();
    SetHelpEngine(nullptr);
    return result;
}
