// htmlview PAGE.html [--shot OUT.png]: opens a page in the viewer in a window (a frameset document
// in the frame viewer); with --shot the page is rendered offscreen at 1000x800, the screenshot
// saved and the program ends. A submitted form prints its action, its method and its
// "name=value" lines on standard output; a file input's browse button opens a file dialog. Sound
// requests (BGSOUND) and embedded panels (OBJECT) are reported there too; a panel shows its name.
// In a frameset document Alt+Left and Alt+Right go back and forward (each step is reported).
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/SystemParams.h"
#include "platform/core/CodePage.h"
#include "platform/core/Stream.h"

#include <QFileDialog>
#include <QShortcut>
#include <QLabel>
#include <QVBoxLayout>
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

void ReportSound(const std::string& src, int loop, bool terminate)
{
    std::cout << "Klang: " << src << " (Wiederholungen " << loop << (terminate ? ", Ende" : "") << ")\n" << std::flush;
}

// Back or forward in the frame viewer, and where that led.
void Step(TFrameViewer& frames, bool back)
{
    if (back)
        frames.GoBack();
    else
        frames.GoFwd();
    std::cout << (back ? "Zurück" : "Vor") << ": " << frames.GetCurrentFile() << "\n" << std::flush;
}

// An embedded panel: reported, and labelled with its name so that it can be seen.
void ReportPanel(TPageViewer*, const std::string& name, const std::string& type,
                 const std::vector<std::string>& params, QWidget* panel)
{
    std::cout << "Panel: " << name << " (" << type << ")";
    for (const std::string& line : params)
        std::cout << " " << line;
    std::cout << "\n" << std::flush;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(new QLabel(QString::fromStdString(name), panel));
    if (auto* frame = qobject_cast<QFrame*>(panel))
        frame->setFrameShape(QFrame::Box);
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
    ChooseDisplayPlatform();
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
            TFrameViewer::TPassedEvents passed;
            passed.OnPanelCreate = ReportPanel;
            frames->SetPassedEvents(passed);
            frames->OnSoundRequest = [](TFrameViewer*, const std::string& src, int loop, bool terminate) {
                ReportSound(src, loop, terminate);
            };
            frames->SetHistoryMaxCount(20);
            TFrameViewer* shown = frames.get();
            auto* back = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), shown);
            back->setContext(Qt::WindowShortcut);
            QObject::connect(back, &QShortcut::activated, shown, [shown] { Step(*shown, true); });
            auto* forward = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), shown);
            forward->setContext(Qt::WindowShortcut);
            QObject::connect(forward, &QShortcut::activated, shown, [shown] { Step(*shown, false); });
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
            single->OnPanelCreate = ReportPanel;
            single->OnSoundRequest = [](TPageViewer*, const std::string& src, int loop, bool terminate) {
                ReportSound(src, loop, terminate);
            };
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
