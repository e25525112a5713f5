// htmlview PAGE.html [--shot OUT.png]: opens a page in the viewer in a window (a frameset document
// in the frame viewer); with --shot the page is rendered offscreen at 1000x800, the screenshot
// saved and the program ends. A submitted form prints its action, its method and its
// "name=value" lines on standard output; a file input's browse button opens a file dialog.
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/core/CodePage.h"
#include "platform/core/Stream.h"

#include <QFileDialog>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace {

using namespace velmoran;

// Prints a submission; its lines are in the page's code page.
void PrintSubmission(TPageViewer* viewer, const std::string& action, const std::string& method,
                     const std::vector<std::string>& results)
{
    const int codePage = viewer->Document().CodePage();
    std::cout << "Formular abgeschickt: Aktion \"" << action << "\", Methode \"" << method << "\"\n";
    for (const std::string& line : results)
        std::cout << "  " << WideToUtf8(MultibyteToWide(codePage, line)) << "\n";
    std::cout.flush();
}

void BrowseFile(TPageViewer* viewer, std::string& fileName)
{
    const QString chosen = QFileDialog::getOpenFileName(viewer, QStringLiteral("Datei wählen"),
                                                        QString::fromStdString(fileName), QString(), nullptr,
                                                        QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty())
        fileName = chosen.toStdString();
}

}  // namespace

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
    bool frameset = false;
    try {
        frameset = IsFramesetDocument(ReadFileBytes(page));
    } catch (const std::exception&) {
        // a missing file is reported by the load below
    }
    std::unique_ptr<QWidget> window;
    try {
        if (frameset) {
            auto frames = std::make_unique<TFrameViewer>();
            frames->resize(1000, 800);
            frames->SetOnFormSubmit([](TPageViewer* sender, const std::string& action, const std::string&,
                                       const std::string&, const std::string& method,
                                       const std::vector<std::string>& results) {
                PrintSubmission(sender, action, method, results);
            });
            frames->SetOnFileBrowse([](TPageViewer* sender, TFormControlObj*, std::string& file) { BrowseFile(sender, file); });
            frames->LoadFromFile(page);
            frames->setWindowTitle(QString::fromStdU16String(frames->DocumentTitle()));
            window = std::move(frames);
        } else {
            auto single = std::make_unique<TPageViewer>();
            single->resize(1000, 800);
            single->SetOnFormSubmit([](TPageViewer* sender, const std::string& action, const std::string&,
                                       const std::string&, const std::string& method,
                                       const std::vector<std::string>& results) {
                PrintSubmission(sender, action, method, results);
            });
            single->SetOnFileBrowse([](TPageViewer* sender, TFormControlObj*, std::string& file) { BrowseFile(sender, file); });
            single->LoadDocumentFile(page);
            single->setWindowTitle(QString::fromStdU16String(single->DocumentTitle()));
            window = std::move(single);
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    QWidget& viewer = *window;
    if (viewer.windowTitle().isEmpty())
        viewer.setWindowTitle(QString::fromStdString(page));
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
