// dockdemo: a 900 x 500 form with top, bottom, left and right docks holding coloured test bars, for
// looking at the dock layout, floating and dragging. After every step it prints each bar's dock,
// its wanted row and position (DockRow, DockPos) and where the arrangement put it.
//   dockdemo                 shows the form: bars drag between the docks by their handles, float,
//                            size by their floating borders and dock again by a double-click
//   dockdemo --shot DIR      writes DIR/docks.png (900 wide), DIR/docks-400.png (400 wide),
//                            DIR/floating.png (one bar floating) and DIR/dragged.png (after a
//                            scripted drag from the top dock into the left dock)
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Form.h"
#include "platform/SystemColors.h"
#include "toolbar/TBarDockableWindow.h"
#include "toolbar/TBarDragMode.h"
#include "toolbar/TBarFloatingWindow.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <optional>
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

    // Floating, the bar keeps the size it was given by sizing.
    QPoint ArrangeControls(bool, TDockType, bool floating, TBarDock* dock) override
    {
        if (floating && floatingSize_)
            return *floatingSize_;
        // A long bar stands upright in a left or right dock.
        QPoint size = base_;
        if (dock && dock->Vertical() != (size.y() > size.x()))
            size = QPoint(size.y(), size.x());
        return ShrunkClientSize(size, dock);
    }
    void SizingApply() override { sizing_ = true; }
    void SizingEnd() override { sizing_ = false; }
    QPoint GetBaseSize() override { return ArrangeControls(false, DockTypeOf(CurrentDock(), Floating()), Floating(), CurrentDock()); }
    TBarShrinkMode GetShrinkMode() const override { return shrinkMode_; }
    void GetMinShrinkSize(int& minimum) override
    {
        if (shrinkMode_ == TBarShrinkMode::tbsmChevron)
            minimum = minimum_;
    }
    void GetMinMaxSize(int& minClientWidth, int& minClientHeight, int&, int&) override
    {
        minClientWidth = 24;
        minClientHeight = 16;
    }
    void SetChevron(int minimum)
    {
        shrinkMode_ = TBarShrinkMode::tbsmChevron;
        minimum_ = minimum;
    }

protected:
    void PaintClient(Canvas& canvas) override
    {
        canvas.FillRect({0, 0, width(), height()}, colour_);
        LogicalFont font;
        font.Face = "Arial";
        font.Height = -11;
        canvas.SetFont(font);
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextColor(0x000000);
        const std::u16string name = objectName().toStdU16String();
        if (width() >= height())
            canvas.TextOut(4, 3, name);
        else
            canvas.TextOut(4, 3, name.substr(0, 1));
    }

private:
    QPoint base_;
    void resizeEvent(QResizeEvent* event) override
    {
        TBarCustomDockableWindow::resizeEvent(event);
        if (sizing_)
            floatingSize_ = QPoint(width(), height());
    }

    ColorRef colour_;
    std::optional<QPoint> floatingSize_;
    bool sizing_ = false;
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
        if (bar->Floating()) {
            const QRect f = bar->FloatParent()->geometry();
            std::printf("  %s frei   am Bildschirm (%d,%d %dx%d)\n", bar->objectName().leftJustified(9).toStdString().c_str(),
                        f.x(), f.y(), f.width(), f.height());
            continue;
        }
        // Padded as characters, not bytes: the names have umlauts.
        const std::string name = bar->objectName().leftJustified(9).toStdString();
        std::printf("  %s %-6s DockRow %d DockPos %4d -> Zeile %d Position %4d  (%d,%d %dx%d)\n",
                    name.c_str(), DockName(bar->CurrentDock()), bar->DockRow(),
                    bar->DockPos(), bar->EffectiveDockRow, bar->EffectiveDockPos, g.x(), g.y(), g.width(), g.height());
    }
}

// The form with its floating windows drawn where they lie over it.
bool Shot(Demo& demo, const QString& file)
{
    QCoreApplication::processEvents();
    QPixmap picture = demo.form.grab();
    {
        QPainter painter(&picture);
        for (ColourBar* bar : demo.bars)
            if (bar->Floating() && bar->FloatParent()->isVisible())
                painter.drawPixmap(bar->FloatParent()->pos() - demo.form.pos(), bar->FloatParent()->grab());
    }
    if (!picture.save(file)) {
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

    // One bar floating over the form's white area.
    demo.form.resize(900, 500);
    QCoreApplication::processEvents();
    ColourBar* floating = demo.bars[6];
    floating->SetFloatingPosition(demo.form.pos() + QPoint(420, 220));
    floating->SetFloating(true);
    QCoreApplication::processEvents();
    Print(demo, "Zoom frei:");
    if (!Shot(demo, QDir(shotDir).filePath("floating.png")))
        return 1;

    // A scripted drag: press on the handle of "Datei" in the top dock, move over the left dock in
    // three steps, release there.
    ColourBar* dragged = demo.bars[1];
    const QPoint handle(4, 10);
    QMouseEvent press(QEvent::MouseButtonPress, handle, dragged->mapToGlobal(handle), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dragged, &press);
    const QPoint start = dragged->mapToGlobal(handle);
    const QPoint drop = left->mapToGlobal(QPoint(20, 250));
    for (int step = 1; step <= 3; ++step) {
        const QPoint at = start + (drop - start) * step / 3;
        QMouseEvent move(QEvent::MouseMove, demo.form.mapFromGlobal(at), at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&demo.form, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, demo.form.mapFromGlobal(drop), drop, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&demo.form, &release);
    QCoreApplication::processEvents();
    std::printf("Datei gezogen bis (%d,%d) im Formular: links, Zeile %d\n", demo.form.mapFromGlobal(drop).x(),
                demo.form.mapFromGlobal(drop).y(), dragged->DockRow());
    Print(demo, "nach dem Ziehen:");
    if (!Shot(demo, QDir(shotDir).filePath("dragged.png")))
        return 1;
    return 0;
}
