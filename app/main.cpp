// Entry point of Velmoran. The only argument is a calculation file to open.
#include "platform/Application.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // The main window is not there yet: say so and end without error.
    std::printf("Velmoran %s: Das Hauptfenster ist noch nicht verfügbar.\n", VELMORAN_VERSION);
    if (argc > 1)
        std::printf("Berechnung: %s\n", argv[1]);
    return 0;
}
