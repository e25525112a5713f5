// Tests of where the viewer finds the files a document names: the pictures and style sheets of a
// document without a file of its own in the server root, "/" names below the server root, the
// reference of a document as a file of this machine, and the linked style sheets it reads: from
// wherever they lie, as pictures are, with the pictures a sheet names beside it.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"
#include "html/viewer/PageViewer.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <string>

namespace velmoran {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 192, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kOrange = qRgb(255, 128, 0);
const QRgb kCyan = qRgb(0, 255, 255);

void Picture(const std::string& file, QRgb colour)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
}

class DocumentNames : public ::testing::Test {
protected:
    DocumentNames()
    {
        testing::App();
        viewer.emplace();
        viewer->SetBorderStyle(THTMLBorderStyle::htNone);
        viewer->resize(500, 300);
    }
    // How many pixels of the viewer show the colour.
    int Shown(QRgb colour)
    {
        const QImage shot = viewer->grab().toImage();
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if ((shot.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                    ++n;
        return n;
    }

    TempFolder root, page, outside;
    std::optional<TPageViewer> viewer;  // made once the application is
};

// A document loaded from a text without a name (an expanded template) finds its pictures and
// style sheet in the server root, "/" names below it too; named by a file elsewhere, its relative
// names lie beside that file while "/" names stay below the root, and the name itself is not put
// below the root. The viewer once looked in the folder the program was started from.
TEST_F(DocumentNames, ADocumentWithoutAFileFindsItsNamesInTheServerRoot)
{
    fs::create_directories(root / "unten");
    Picture(root / "a.png", kRed);
    Picture(root / "unten/b.png", kBlue);
    root.WriteFile("s.css", "p.farbe { background-color: #00C000 }");
    const std::string source =
        "<link rel=stylesheet href=s.css><p><img src=\"a.png\"> <img src=\"/unten/b.png\"></p><p class=farbe>x</p>";
    viewer->SetServerRoot(root.Folder());
    viewer->LoadDocumentString(source);
    EXPECT_EQ(Shown(kRed), 600);
    EXPECT_EQ(Shown(kBlue), 600);
    EXPECT_GT(Shown(kGreen), 0);

    Picture(page / "a.png", kYellow);
    viewer->LoadDocumentString(source, page / "seite.htm");
    EXPECT_EQ(viewer->GetCurrentFile(), page / "seite.htm");
    EXPECT_EQ(Shown(kYellow), 600);
    EXPECT_EQ(Shown(kRed), 0);
    EXPECT_EQ(Shown(kBlue), 600);
    EXPECT_EQ(Shown(kGreen), 0);  // no sheet beside the page
}

// A linked style sheet is read as a picture is, wherever it lies: beside the page, in a folder
// beside the page's ("../Gemeinsam/"), by a file URL, through a link, at the root; the pictures
// it names lie beside the sheet, not beside the page. A pipe or a folder in its place gives no
// rules and stops nothing. Sheets from outside the page's folder and the root were once dropped
// without a word while pictures from there were shown.
TEST_F(DocumentNames, LinkedStyleSheetsAreReadWhereverTheyLieAsPicturesAre)
{
    fs::create_directories(page / "Vorlagen/css");
    fs::create_directories(page / "Gemeinsam");
    page.WriteFile("Vorlagen/css/neben.css", ".a { background-color: #00C000 }\ntd.t { background-image: url(kachel.png) }");
    Picture(page / "Vorlagen/css/kachel.png", kYellow);
    Picture(page / "Vorlagen/kachel.png", kOrange);
    page.WriteFile("Gemeinsam/geschwister.css", ".e { background-color: #00FFFF }");
    const std::string far = outside.WriteFile("fern.css", ".b { background-color: #FF0000 }");
    fs::create_symlink(outside / "verweis.css", page / "Vorlagen/verweis.css");
    outside.WriteFile("verweis.css", ".c { background-color: #0000FF }");
    root.WriteFile("gemeinsam.css", ".d { background-color: #FF00FF }");
    ASSERT_EQ(::mkfifo((page / "Vorlagen/rohr.css").c_str(), 0644), 0);
    fs::create_directories(page / "Vorlagen/ordner.css");
    viewer->SetServerRoot(root.Folder());
    viewer->LoadDocumentString(
        "<link rel=stylesheet href=\"css/neben.css\"><link rel=stylesheet href=\"file://" + far +
            "\"><link rel=stylesheet href=\"verweis.css\"><link rel=stylesheet href=\"/gemeinsam.css\">"
            "<link rel=stylesheet href=\"../Gemeinsam/geschwister.css\"><link rel=stylesheet href=\"rohr.css\">"
            "<link rel=stylesheet href=\"ordner.css\"><p class=a>a</p><p class=b>b</p><p class=c>c</p>"
            "<p class=d>d</p><table><tr><td class=t width=90 height=30>&nbsp;</td></tr></table><p class=e>e</p>",
        page / "Vorlagen/seite.htm");
    EXPECT_GT(Shown(kGreen), 0);
    EXPECT_GT(Shown(kYellow), 0);
    EXPECT_GT(Shown(kCyan), 0);
    EXPECT_EQ(Shown(kOrange), 0);
    EXPECT_GT(Shown(kRed), 0);
    EXPECT_GT(Shown(kBlue), 0);
    EXPECT_GT(Shown(kMagenta), 0);
}

// A picture shown on a page of its own (a link to it, a frame whose source it is) is found where it
// lies, whatever the server root: the page once named it by its path, which the root then took
// for a name below itself, and a broken-picture mark showed. Names with "%", a blank or an umlaut
// are found as they are on disk.
TEST_F(DocumentNames, APictureOnItsOwnPageIsFoundWhateverTheServerRoot)
{
    Picture(page / "rot.png", kRed);
    Picture(page / "100%41 Bild\xC3\xA4.png", kBlue);
    Picture(root / "rot.png", kOrange);
    viewer->SetServerRoot(root.Folder());
    viewer->LoadImageFile(page / "rot.png");
    EXPECT_EQ(Shown(kRed), 600);
    EXPECT_EQ(Shown(kOrange), 0);
    viewer->LoadImageFile(page / "100%41 Bild\xC3\xA4.png");
    EXPECT_EQ(Shown(kBlue), 600);
}

// A file's name is a path, not an address: the "%" of a folder "100%41" stays a "%" (the viewer
// read "%41" as the escape of "A" and looked for the page's pictures in "100A"), and a link that
// writes the "%" as "%25" leads to the file of that name (its escapes were read a second time).
TEST_F(DocumentNames, APercentSignInAFilesNameStaysASign)
{
    fs::create_directories(page / "100%41");
    fs::create_directories(page / "100A");
    Picture(page / "100%41/a.png", kRed);
    Picture(page / "100A/a.png", kOrange);
    const std::string source = "<p><img src=\"a.png\"></p>";
    const std::string percent = page.WriteFile("100%41/seite.htm", source);
    page.WriteFile("100A/seite.htm", source);
    viewer->LoadDocumentString(source, percent);
    EXPECT_EQ(viewer->GetCurrentFile(), percent);
    EXPECT_EQ(Shown(kRed), 600);

    viewer->LoadDocumentString("<a href=\"100%2541/seite.htm\">weiter</a>", page / "start.htm");
    viewer->FollowLinkFromKeyboard("100%2541/seite.htm", "");
    QApplication::processEvents();
    EXPECT_EQ(viewer->GetCurrentFile(), percent);
    EXPECT_EQ(Shown(kRed), 600);
    EXPECT_EQ(Shown(kOrange), 0);
}

}  // namespace
}  // namespace velmoran
