// dockdemo: a 900 x 500 form with top, bottom, left and right docks holding coloured test bars, for
// looking at the dock layout. After every step it prints each bar's dock, its wanted row and
// position (DockRow, DockPos) and where the arrangement put it.
//   dockdemo                 shows the form
//   dockdemo --shot DIR      writes DIR/docks.png (900 wide) and DIR/docks-400.png (400 wide)
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Form.h"
#include "platform/SystemColors.h"
#include "toolbar/TBarDockableWindow.h"

#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

// A bar with a fixed-size coloured face and its name on it; a chevron bar can be shrunk down to
// its minimum length.
class ColourBar : public TBarCustomDockableWindow {
public:
    ColourBar(const std::string& name, QPoint size, ColorRef colour) : base_(size), colour_(colour)
    {
        setObjectName(QString::fromStdString(name));
    }

    QPoint ArrangeControls(bool, TDockType, bool, TBarDock* dock) override { return ShrunkClientSize(base_, dock); }
    QPoint GetBaseSize() override { return base_; }
    TBarShrinkMode GetShrinkMode() const override { return shrinkMode_; }
    void GetMinShrinkSize(int& minimum) override
    {
        if (shrinkMode_ == TBarShrinkMode::tbsmChevron)
            minimum = minimum_;
    }
    void SetChevron(int minimum)
    {
        shrinkMode_ = TBarShrinkMode::tbsmChevron;
        minimum_ = minimum;
    }

protected:
    void PaintClient(Canvas& canvas) override
    {
        canvas.FillRect({0, 0, ClientWidth(), ClientHeight()}, colour_);
        LogicalFont font;
        font.Face = "Arial";
        font.Height = -11;
        canvas.SetFont(font);
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextColor(0x000000);
        const std::u16string name = objectName().toStdU16String();
        canvas.TextOut(4, 3, name);
    }

private:
    QPoint base_;
    ColorRef colour_;
    TBarShrinkMode shrinkMode_ = TBarShrinkMode::tbsmNone;
    int minimum_ = 0;
};

// The white working area the docks surround.
class WorkArea : public QWidget {
public:
    explicit WorkArea(QWidget* parent) : QWidget(parent)
    {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }
};

struct Demo {
    Form form;
    std::vector<ColourBar*> bars;

    ColourBar* Add(TBarDock* dock, const std::string& name, QPoint size, ColorRef colour, int row, int pos,
                   TBarDragHandleStyle handle)
    {
        auto* bar = new ColourBar(name, size, colour);
        bar->SetDragHandleStyle(handle);
        bar->SetDockRow(row);
        bar->SetDockPos(pos);
        bar->SetParent(dock);
        bars.push_back(bar);
        return bar;
    }
};

const char* DockName(const TBarDock* dock)
{
    if (!dock)
        return "-";
    switch (dock->Position()) {
    case TBarDockPosition::dpTop: return "oben";
    case TBarDockPosition::dpBottom: return "unten";
    case TBarDockPosition::dpLeft: return "links";
    default: return "rechts";
    }
}

void Print(const Demo& demo, const char* step)
{
    std::printf("%s\n", step);
    for (const ColourBar* bar : demo.bars) {
        const QRect g = bar->geometry();
        // Padded as characters, not bytes: the names have umlauts.
        const std::string name = bar->objectName().leftJustified(9).toStdString();
        std::printf("  %s %-6s DockRow %d DockPos %4d -> Zeile %d Position %4d  (%d,%d %dx%d)\n",
                    name.c_str(), DockName(bar->CurrentDock()), bar->DockRow(),
                    bar->DockPos(), bar->EffectiveDockRow, bar->EffectiveDockPos, g.x(), g.y(), g.width(), g.height());
    }
}

bool Shot(Demo& demo, const QString& file)
{
    QCoreApplication::processEvents();
    if (!demo.form.grab().save(file)) {
        std::fprintf(stderr, "dockdemo: %s kann nicht geschrieben werden\n", file.toStdString().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    QString shotDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--shot" && i + 1 < argc) {
            shotDir = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr, "Aufruf: dockdemo [--shot ORDNER]\n");
            return 2;
        }
    }

    Demo demo;
    demo.form.setWindowTitle("dockdemo");
    demo.form.resize(900, 500);
    auto* top = new TBarDock(&demo.form, TBarDockPosition::dpTop);
    top->SetBoundLines(blTop | blBottom);
    auto* bottom = new TBarDock(&demo.form, TBarDockPosition::dpBottom);
    auto* left = new TBarDock(&demo.form, TBarDockPosition::dpLeft);
    auto* right = new TBarDock(&demo.form, TBarDockPosition::dpRight);
    demo.form.Layout().SetAlign(*new WorkArea(&demo.form), TAlign::alClient);

    demo.Add(top, "Menü", {140, 18}, RGBRef(0xFF, 0xE0, 0xE0), 0, 0, TBarDragHandleStyle::dhNone)->SetFullSize(true);
    demo.Add(top, "Datei", {200, 22}, RGBRef(0xC0, 0xFF, 0xC0), 1, 0, TBarDragHandleStyle::dhSingle);
    demo.Add(top, "Ansicht", {200, 22}, RGBRef(0xC0, 0xE0, 0xFF), 1, 500, TBarDragHandleStyle::dhDouble);
    demo.Add(top, "Suche", {150, 22}, RGBRef(0xFF, 0xFF, 0xC0), 2, 0, TBarDragHandleStyle::dhSingle)->SetStretch(true);
    demo.Add(top, "Extras", {180, 22}, RGBRef(0xFF, 0xC0, 0xFF), 2, 600, TBarDragHandleStyle::dhSingle)->SetCloseButtonWhenDocked(true);
    demo.Add(bottom, "Status", {250, 18}, RGBRef(0xD0, 0xD0, 0xD0), 0, 0, TBarDragHandleStyle::dhNone);
    demo.Add(bottom, "Zoom", {200, 18}, RGBRef(0xFF, 0xE0, 0xA0), 0, 300, TBarDragHandleStyle::dhSingle);
    demo.Add(bottom, "Seiten", {220, 18}, RGBRef(0xC0, 0xE0, 0xC0), 0, 640, TBarDragHandleStyle::dhDouble)->SetChevron(90);
    demo.Add(left, "Werkzeug", {58, 150}, RGBRef(0xFF, 0xFF, 0x80), 0, 0, TBarDragHandleStyle::dhSingle);
    demo.Add(right, "Farben", {58, 120}, RGBRef(0xFF, 0xC0, 0xC0), 0, 0, TBarDragHandleStyle::dhDouble);
    demo.Add(right, "Ebenen", {58, 100}, RGBRef(0xC0, 0xFF, 0xFF), 1, 0, TBarDragHandleStyle::dhSingle);

    demo.form.show();
    QCoreApplication::processEvents();
    Print(demo, "900 x 500:");
    if (shotDir.isEmpty())
        return app.exec();

    QDir().mkpath(shotDir);
    if (!Shot(demo, QDir(shotDir).filePath("docks.png")))
        return 1;
    demo.form.resize(400, 500);
    QCoreApplication::processEvents();
    Print(demo, "400 x 500:");
    if (!Shot(demo, QDir(shotDir).filePath("docks-400.png")))
        return 1;
    return 0;
}
