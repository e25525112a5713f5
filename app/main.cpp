// Entry point of Velmoran. The only argument is a calculation file to open.
#include "help/HelpViewerEngine.h"
#include "platform/Application.h"
#include "platform/SystemParams.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // Before any application object: popups need a platform that lets them be placed.
    velmoran::ChooseDisplayPlatform();
    // Help requests reach our own help window.
    velmoran::InstallHelpViewerEngine();
    // The main window is not there yet: say so and end without error.
    std::printf("Velmoran %s: Das Hauptfenster ist noch nicht verfügbar.\n", VELMORAN_VERSION);
    if (argc > 1)
        std::printf("Berechnung: %s\n", argv[1]);
    return 0;
}
