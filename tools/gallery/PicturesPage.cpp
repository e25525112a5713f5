// The gallery page "pictures": caption pictures of the three kinds the decoders of bitmaps do
// not read, from the hand-made files of tests/data/image: an icon (the largest, deepest picture
// of the file, with its transparency over the grey page), an old-format metafile with and
// without the placeable header, and an enhanced metafile, each at its own size and stretched.
#include "GalleryPages.h"

#include "controls/HtmlLabel.h"

#include <QPalette>

namespace velmoran::gallery {

namespace {

std::string Picture(const char* file, const char* size = "")
{
    return std::string("<IMG SRC=\"FILE://") + VELMORAN_TEST_DATA + "/image/" + file + "\"" + size + ">";
}

void AddPictureLabel(QWidget* page, const char* name, int x, int y, int width, const std::string& text)
{
    auto* label = new THtmlLabel(page);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->resize(width, 17);
    label->SetAutoSizing(true);
    label->SetHTMLText(text);
}

}  // namespace

std::unique_ptr<QWidget> MakePicturesPage()
{
    auto page = std::make_unique<QWidget>();
    page->setWindowTitle(QStringLiteral("Bilder"));
    page->resize(780, 400);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    page->setPalette(palette);
    page->setAutoFillBackground(true);
    QWidget* p = page.get();

    AddHeading(p, 10, 10, "Symbol (ICO)");
    AddPictureLabel(p, "ico", 10, 34, 120, Picture("symbol.ico") + "<BR>32 × 32");
    AddPictureLabel(p, "icoGross", 10, 110, 120, Picture("symbol.ico", " WIDTH=\"64\" HEIGHT=\"64\"") + "<BR>vergrößert");

    AddHeading(p, 150, 10, "Metafile (WMF)");
    AddPictureLabel(p, "wmf", 150, 34, 210, Picture("zeichnung.wmf") + "<BR>mit Kopf für die Größe");
    AddPictureLabel(p, "wmfOhneKopf", 150, 180, 210, Picture("fenster.wmf", " WIDTH=\"150\" HEIGHT=\"75\"") + "<BR>ohne Kopf, verkleinert");

    AddHeading(p, 390, 10, "Erweitertes Metafile (EMF)");
    AddPictureLabel(p, "emf", 390, 34, 380, Picture("zeichnung.emf") + "<BR>200 × 100");
    AddPictureLabel(p, "emfGross", 390, 180, 380, Picture("zeichnung.emf", " WIDTH=\"300\" HEIGHT=\"150\"") + "<BR>gestreckt");
    return page;
}

}  // namespace velmoran::gallery
