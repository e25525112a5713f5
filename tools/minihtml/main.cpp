// minihtml CAPTION [--font Arial:8] [--width W] [--hit X,Y] [--png OUT.png]: runs the caption
// engine on one caption in the screen fonts and prints
//   width=... height=... anchors=... hit=HREF|- text=...
// (the plain text with "\r" per line break); --png writes the painted caption on button face.
#include "controls/ControlFont.h"
#include "controls/MiniHtml.h"
#include "platform/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

using namespace velmoran;

struct Options {
    std::string Caption;
    TFont Font{"Arial", 8};
    int Width = 10000;
    bool Hit = false;
    int X = 0;
    int Y = 0;
    std::string Png;
};

bool Parse(int argc, char** argv, Options& o)
{
    bool haveCaption = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == "--font" && more) {
            const std::string spec = argv[++i];
            const std::size_t colon = spec.rfind(':');
            o.Font.Name = spec.substr(0, colon);
            if (colon != std::string::npos)
                o.Font.Size = std::atoi(spec.c_str() + colon + 1);
        } else if (arg == "--width" && more) {
            o.Width = std::atoi(argv[++i]);
        } else if (arg == "--hit" && more) {
            o.Hit = std::sscanf(argv[++i], "%d,%d", &o.X, &o.Y) == 2;
            if (!o.Hit)
                return false;
        } else if (arg == "--png" && more) {
            o.Png = argv[++i];
        } else if (!haveCaption) {
            o.Caption = arg;
            haveCaption = true;
        } else {
            return false;
        }
    }
    return haveCaption;
}

void Prepare(Canvas& canvas, const Options& o)
{
    canvas.SetFont(o.Font.Logical());
    canvas.SetTextColor(o.Font.Color);
    canvas.SelectBrush(Brush{BrushStyle::Solid, SystemColor(COLOR_BTNFACE)});
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!Parse(argc, argv, o)) {
        std::cerr << "Aufruf: minihtml TEXT [--font Arial:8] [--width B] [--hit X,Y] [--png AUSGABE.png]\n";
        return 2;
    }
    QGuiApplication app(argc, argv);
    InstallQtScreenFonts();

    QtCanvas measuring;
    Prepare(measuring, o);
    TMiniHtmlInputs inputs;
    inputs.Text = o.Caption;
    inputs.Rect = {0, 0, o.Width, 100000};
    inputs.MeasureOnly = true;
    TMiniHtmlOutputs size;
    DrawMiniHtml(measuring, inputs, size);

    std::string hit = "-";
    if (o.Hit) {
        TMiniHtmlInputs test = inputs;
        test.MeasureOnly = false;
        test.AnchorTestOnly = true;
        test.X = o.X;
        test.Y = o.Y;
        TMiniHtmlOutputs found;
        if (DrawMiniHtml(measuring, test, found))
            hit = found.HrefUnderPoint;
    }
    std::string text;
    for (char c : size.PlainText)
        text += c == '\r' ? std::string("\\r") : std::string(1, c);
    std::cout << "width=" << size.Width << " height=" << size.Height << " anchors=" << size.AnchorCount
              << " hit=" << hit << " text=" << text << "\n";

    if (!o.Png.empty()) {
        QImage image(std::max(1, size.Width + 2), std::max(1, size.Height), QImage::Format_RGB32);
        image.fill(QColor(0xC0, 0xC0, 0xC0));
        {
            QPainter painter(&image);
            QtCanvas canvas(&painter);
            Prepare(canvas, o);
            TMiniHtmlInputs paint = inputs;
            paint.MeasureOnly = false;
            paint.Rect = {0, 0, image.width(), image.height()};
            TMiniHtmlOutputs painted;
            DrawMiniHtml(canvas, paint, painted);
        }
        if (!image.save(QString::fromStdString(o.Png))) {
            std::cerr << "Kann " << o.Png << " nicht schreiben.\n";
            return 1;
        }
    }
    return 0;
}
