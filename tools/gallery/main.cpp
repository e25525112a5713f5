// gallery PAGE [--shot OUT.png]: shows a page of controls in a window; with --shot the page is
// rendered offscreen into a PNG and the program ends.
#include "GalleryPages.h"

#include "platform/Application.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    using namespace velmoran;
    std::string page, shot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc)
            shot = argv[++i];
        else
            page = argv[i];
    }
    if (!shot.empty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    std::unique_ptr<QWidget> window = gallery::MakePage(page);
    if (!window) {
        std::cerr << "Aufruf: gallery SEITE [--shot AUSGABE.png]; Seiten:";
        for (const std::string& name : gallery::PageNames())
            std::cerr << " " << name;
        std::cerr << "\n";
        return 2;
    }
    if (!shot.empty()) {
        const QImage image = gallery::TakeShot(*window);
        const QString file = QString::fromStdString(shot);
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!image.save(file)) {
            std::cerr << "Kann " << shot << " nicht schreiben.\n";
            return 1;
        }
        return 0;
    }
    window->show();
    return app.exec();
}
