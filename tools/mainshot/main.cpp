// mainshot: pictures of the main window, its folder dialog and its info box, taken offscreen with
// the program's own folder and templates and a home folder of its own (no user settings are read
// or written).
//
//   mainshot [folder]   writes mainwindow.png (and mainwindow-480.png, -800 and -1280, the
//                       window at those widths), folders.png, about.png and result.png (the
//                       window opened on a copy of the example calculation) (default:
//                       build/artifacts/mainshot)
#include "controls/HtmlLabel.h"
#include "platform/Application.h"
#include "shell/AboutBox.h"
#include "shell/DlgPath.h"
#include "shell/Folders.h"
#include "shell/MainForm.h"
#include "shell/ShellState.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
        // The toolbars at a narrow, a middle and a wide window.
        for (const int width : {480, 800, 1280}) {
            form.resize(width, form.height());
            QCoreApplication::processEvents();
            const std::string name = "mainwindow-" + std::to_string(width) + ".png";
            ok = form.grab().save(QString::fromStdString((out / name).string())) && ok;
        }

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
    }
    std::printf("%s: %s\n", ok ? "geschrieben" : "Fehler", out.string().c_str());
    return ok ? 0 : 1;
}
