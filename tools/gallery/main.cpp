// gallery PAGE [--shot OUT.png] [--today YYYY-MM-DD]: shows a page of controls in a window; with
// --shot the page is rendered offscreen into a PNG and the program ends; --today fixes the day the
// date controls take for today.
#include "GalleryPages.h"

#include "platform/Application.h"
#include "platform/core/DateTime.h"
#include "platform/SystemParams.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

int main(int argc, char** argv)
{
    using namespace velmoran;
    std::string page, shot;
    std::optional<ScopedClock> today;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = argv[++i];
        } else if (std::strcmp(argv[i], "--today") == 0 && i + 1 < argc) {
            int year = 0, month = 0, day = 0;
            const auto date = std::sscanf(argv[++i], "%d-%d-%d", &year, &month, &day) == 3
                                  ? TryEncodeDate(year, month, day)
                                  : std::nullopt;
            if (!date) {
                std::cerr << "--today braucht JJJJ-MM-TT\n";
                return 2;
            }
            today.emplace(*date);
        } else
            page = argv[i];
    }
    if (!shot.empty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseDisplayPlatform();
    TApplication app(argc, argv);
    std::unique_ptr<QWidget> window = gallery::MakePage(page);
    if (!window) {
        std::cerr << "Aufruf: gallery SEITE [--shot AUSGABE.png] [--today JJJJ-MM-TT]; Seiten:";
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
