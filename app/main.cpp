// Entry point of Velmoran. The only argument is a calculation file to open.
#include "help/HelpViewerEngine.h"
#include "platform/Application.h"
#include "platform/SystemParams.h"
#include "shell/DlgPath.h"
#include "shell/Folders.h"
#include "shell/Language.h"
#include "shell/MainForm.h"
#include "shell/ShellState.h"

#include <QCoreApplication>

#include <string>

int main(int argc, char** argv)
{
    using namespace velmoran;

    // Before any application object: popups need a platform that lets them be placed.
    ChooseDisplayPlatform();
    TApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORAN_VERSION));
    // Help requests reach our own help window.
    InstallHelpViewerEngine();

    int result = 0;
    {
        TShellState shell(InitFolders(), SystemLanguageCode());
        SeedTemplateFolder(shell.Folders.ProgramFolder, shell.Folders.TemplatePath);

        {
            TMainForm mainForm(shell, argc > 1 ? std::string(argv[1]) : std::string());
            // Made once and kept; the window frees it.
            mainForm.SetPathDialog(new TDlgPath(shell.Folders, &mainForm));
            mainForm.show();
            result = application.exec();
        }
        SaveFolders(shell.Folders);
    }
    return result;
}
