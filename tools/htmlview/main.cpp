// htmlview PAGE.html [--shot OUT.png]: opens a page in the viewer in a window; with --shot the
// page is rendered offscreen at 1000x800, the screenshot saved and the program ends.
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"

#include <QImage>
#include <QPainter>

#include <cstdlib>
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
    if (page.empty()) {
        std::cerr << "Aufruf: htmlview SEITE.html [--shot AUSGABE.png]\n";
        return 2;
    }
    if (!shot.empty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    TPageViewer viewer;
    viewer.resize(1000, 800);
    viewer.setWindowTitle(QString::fromStdString(page));
    try {
        viewer.LoadDocumentFile(page);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (!viewer.DocumentTitle().empty())
        viewer.setWindowTitle(QString::fromStdU16String(viewer.DocumentTitle()));
    if (!shot.empty()) {
        viewer.show();
        QApplication::processEvents();
        const QImage image = viewer.grab().toImage();
        if (!image.save(QString::fromStdString(shot))) {
            std::cerr << "Kann " << shot << " nicht schreiben.\n";
            return 1;
        }
        return 0;
    }
    viewer.show();
    return app.exec();
}
