// mainshot: pictures of the main window, its folder dialog and its info box, taken offscreen with
// the program's own folder and templates and a home folder of its own (no user settings are read
// or written).
//
//   mainshot [folder]   writes mainwindow.png, folders.png, about.png and result.png (the
//                       window opened on a copy of the example calculation), result-480.png,
//                       result-800.png and result-1280.png (that window at those widths), one
//                       menu-<title>.png per menu of the menu bar (opened, composed over the
//                       window), print.png (the print dialog with its PDF field) and start.png
//                       (the start dialog with long recent paths) (default: build/artifacts/mainshot)
#include "controls/HtmlLabel.h"
#include "framework/ui/DlgIntro.h"
#include "platform/Prompt.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarPopupWindow.h"
#include "toolbar/TBarToolbar.h"
#include "platform/Application.h"
#include "shell/AboutBox.h"
#include "shell/DlgPath.h"
#include "shell/Folders.h"
#include "shell/MainForm.h"
#include "shell/ShellState.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace velmoran;

bool Save(const QImage& image, const std::filesystem::path& file)
{
    return image.save(QString::fromStdString(file.string()));
}

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The window with the open menus painted over it at their places.
QImage WithPopups(QWidget& window)
{
    QImage image = window.grab().toImage();
    QPainter painter(&image);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (dynamic_cast<TBarPopupWindow*>(widget) && widget->isVisible())
            painter.drawPixmap(window.mapFromGlobal(widget->pos()), widget->grab());
    return image;
}

// Opens each menu of the menu bar by its accelerator and takes its picture.
bool ShootMenus(TMainForm& form, const std::filesystem::path& out)
{
    bool ok = true;
    TBarToolbar& bar = *form.Bars().MenuBar;
    TBarCustomItem& menus = *form.Bars().MainMenu;
    for (int i = 0; i < menus.Count(); ++i) {
        const std::string caption = menus.Items(i)->Caption();
        const auto amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size())
            continue;
        std::string name;
        for (char c : caption)
            if (c != '&')
                name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bar.OpenByKeyboard(static_cast<char32_t>(std::tolower(static_cast<unsigned char>(caption[amp + 1]))),
                           false);
        RunFor(300);  // the menu slides open
        ok = Save(WithPopups(form), out / ("menu-" + name + ".png")) && ok;
        for (int k = 0; k < 2; ++k) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &form, &escape);
            RunFor(50);
        }
    }
    return ok;
}

// The print dialog as printing shows it without a printer: its picture, then Cancel.
bool ShootPrintDialog(const std::string& pdfFile, const std::filesystem::path& file)
{
    bool ok = false;
    QTimer::singleShot(200, [&] {
        for (QWidget* dialog : QApplication::topLevelWidgets())
            if (dialog->isVisible() && dialog->windowTitle() == QStringLiteral("Drucken")) {
                ok = Save(dialog->grab().toImage(), file);
                dialog->close();
            }
    });
    PrintDialogOptions options;
    options.PdfFileName = pdfFile;
    RunPrintDialog(options);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace velmoran;
    QTemporaryDir home;
    ::setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication app(argc, argv);

    const std::filesystem::path out = argc > 1 ? argv[1] : VELMORAN_ARTIFACTS "/mainshot";
    std::filesystem::create_directories(out);

    TFolders folders;
    folders.SetProgramFolder(VELMORAN_PROGRAM_DIR);
    folders.SetDataPath(home.path().toStdString() + "/Dokumente/Velmoran");
    folders.SetTemplatePath(home.path().toStdString() + "/Vorlagen");
    SeedTemplateFolder(folders.ProgramFolder, folders.TemplatePath);
    TShellState shell(folders, "de");

    bool ok = true;
    {
        TMainForm form(shell, {});
        form.StartPending = false;
        form.show();
        QCoreApplication::processEvents();
        ok = form.grab().save(QString::fromStdString((out / "mainwindow.png").string())) && ok;

        TDlgPath paths(shell.Folders, &form);
        paths.show();
        QCoreApplication::processEvents();
        ok = paths.grab().save(QString::fromStdString((out / "folders.png").string())) && ok;

        TAboutBox about(&form);
        about.lbModules->SetHTMLText(ModuleListText(shell.Modules.ModuleList()));
        about.show();
        QCoreApplication::processEvents();
        ok = about.grab().save(QString::fromStdString((out / "about.png").string())) && ok;
    }
    {
        const std::filesystem::path example = home.path().toStdString() + "/Beispiel.vda";
        for (const char* file : {"Beispiel.vda", "Beispiel.vdh"})
            std::filesystem::copy_file(std::filesystem::path(VELMORAN_DATA_DIR) / "examples" / file,
                                       example.parent_path() / file);
        // A shell of its own: the templates go into the viewer of the window that selects the module.
        TShellState resultShell(folders, "de");
        TMainForm form(resultShell, example.string());
        form.show();
        QCoreApplication::processEvents();
        ok = form.grab().save(QString::fromStdString((out / "result.png").string())) && ok;
        ok = ShootMenus(form, out) && ok;
        for (int width : {480, 800, 1280}) {
            form.resize(width, 600);
            QCoreApplication::processEvents();
            ok = Save(form.grab().toImage(), out / ("result-" + std::to_string(width) + ".png")) && ok;
        }
        ok = ShootPrintDialog(form.PrintFileName(), out / "print.png") && ok;

        const std::vector<std::string> recent = {
            home.path().toStdString() + "/Dokumente/Velmoran/Abwasserverband Oberes Tal/Kläranlage Nord/"
                                        "Ausbau zweite Stufe/Bemessung Winterfall QD20000.vda",
            example.string()};
        TDlgIntro start(&form);
        start.SetRecentFiles(&recent);
        start.show();
        QCoreApplication::processEvents();
        ok = Save(start.grab().toImage(), out / "start.png") && ok;
    }
    std::printf("%s: %s\n", ok ? "geschrieben" : "Fehler", out.string().c_str());
    return ok ? 0 : 1;
}
