// What the tests of a user's own templates share: the folder the program is started from, plain
// pictures of one colour, the count of a colour's pixels on a screen grab or a PDF page, and the
// first page of a PDF as a picture kept among the artifacts.
#pragma once

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmoran::testing {

// The process's current folder for the life of the object: the program started from there.
class StartedIn {
public:
    explicit StartedIn(const std::string& folder) : saved_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~StartedIn() { std::filesystem::current_path(saved_); }
    StartedIn(const StartedIn&) = delete;
    StartedIn& operator=(const StartedIn&) = delete;

private:
    std::filesystem::path saved_;
};

// A 40 × 30 PNG of one colour.
inline void Picture(const std::string& file, QRgb colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
}

// The pixels of that colour (a PDF's pictures may come back a little off).
inline int Pixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40 &&
                std::abs(qBlue(p) - qBlue(colour)) < 40)
                ++n;
        }
    return n;
}

// A file among the artifacts of the template tests.
inline std::string TemplateArtifact(const std::string& name)
{
    const std::string dir = std::string(VELMORAN_ARTIFACTS) + "/templates";
    std::filesystem::create_directories(dir);
    return dir + "/" + name;
}

// The first page of a PDF as a picture, kept among the artifacts.
inline QImage PdfPage(const std::string& pdf, const std::string& name)
{
    const std::string out = TemplateArtifact(name);
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-f"),
                                                    QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                    QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                                    QString::fromStdString(pdf), QString::fromStdString(out)});
    return QImage(QString::fromStdString(out + ".png"));
}

}  // namespace velmoran::testing
