// The print-preview window: it records the printed pages of one viewer, with their headers and
// footers, into a page recorder of its own through the print-progress window and shows one or two
// of them at a chosen zoom: a zoom list with fit page and fit width, a zoom tool (left click
// enlarges, right click reduces about the point clicked) and a hand tool that drags the pages,
// page navigation, and printing through the print-progress window again.
//
// The caller owns the window and runs it modally through Modals(); the window owns its recorder.
// While it is shown, the hints of its toolbar do not reach the main window's status line.
#pragma once

#include "platform/ChangeLinks.h"
#include "platform/Form.h"
#include "platform/Printer.h"

#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class QScrollArea;

namespace velmoran {

class Action;
class TBarDock;
class TBarToolbar;
class TEnhComboBox;
class TMetaFilePrinter;
class TPageViewer;

// The entries of the zoom list.
enum TPreviewZoomEntry { zeFitPage = 0, zeFitWidth = 1, zeCustom = 2, zeFirstPercent = 3 };
constexpr int kPreviewZoomEntries = 12;

// The zoom of an entry of the zoom list: fit page and fit width fill the client area but 20
// pixels with the sheet (a sheet or a resolution of 0 gives 1.0), the custom entry the zoom last
// in use, the others their percentage. ppi is the window's pixels per inch.
double PreviewZoomFactor(int entry, double customZoom, QSize client, const PrinterMeasures& sheet, int ppi);
// The sheet's size on the screen at a zoom (0 for a printer without resolution).
QSize PreviewPageSize(double zoom, const PrinterMeasures& sheet, int ppi);

class TPreviewForm : public Form {
public:
    // Makes the window and records the viewer's pages into its recorder through the
    // print-progress window; abort is true when the recording was cancelled (the pages recorded
    // so far are kept). Errors of the recording reach the caller; no window is left then.
    static std::unique_ptr<TPreviewForm> CreateWithViewer(QWidget* owner, TPageViewer& viewer, bool& abort);
    ~TPreviewForm() override;

    TMetaFilePrinter& Recorder() const { return *recorder_; }
    int CurrentPage() const { return currentPage_; }
    // The zoom in use; the zoom the custom entry stands for.
    double Zoom() const { return zoom_; }
    double CustomZoom() const { return customZoom_; }
    bool TwoPages() const { return twoPages_; }
    bool ZoomTool() const { return !panTool_; }

    // Asked before a print from the window starts, with the printer it goes to (a PDF printer's
    // file set): false stops the print (the asker said why). Unset, every print starts.
    std::function<bool(const Printer& printer)> OnPrintTarget;

    // Shows page index (0-based) and, in two-page mode, the one after it.
    void ShowPage(int index);
    // The layout of the pages in the scroll box at the zoom of the list's entry.
    void ScrollBox1Resize();

    // The parts, named as the form names them.
    TBarDock* Dock = nullptr;
    TBarToolbar* ToolBar = nullptr;
    TEnhComboBox* cbxZoom = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ContainPanel = nullptr;
    QWidget* PagePanel = nullptr;
    QWidget* PagePanel2 = nullptr;
    QWidget* PB1 = nullptr;
    QWidget* PB2 = nullptr;

    Action* PreviewClose = nullptr;
    Action* PreviewPrint = nullptr;
    Action* PreviewBack = nullptr;
    Action* PreviewNext = nullptr;
    Action* PreviewFitPage = nullptr;
    Action* PreviewFitWidth = nullptr;
    Action* PreviewZoom = nullptr;
    Action* PreviewPan = nullptr;
    Action* PreviewOnePage = nullptr;
    Action* PreviewTwoPages = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TPreviewForm(QWidget* owner, TPageViewer& viewer);
    void CreateActions();
    void CreateParts();
    void CreateToolBar();
    // What the page boxes are shown: the page (0-based) of each box, -1 for none.
    int PageOfBox(const QWidget* box) const;
    void PaintBox(QWidget& box);
    void MouseDown(QWidget& box, Qt::MouseButton button, QPoint at);
    void MouseMove(QPoint at);
    void MouseUp();
    void ZoomAt(QWidget& box, Qt::MouseButton button, QPoint at);
    void UpdateNavigation();
    void SelectZoom(int entry);
    void SetPanTool(bool pan);
    void SetTwoPages(bool two);
    void PrintExecute();
    void RestoreHints();
    bool HasSheet() const;
    QSize ClientSize() const;

    TPageViewer& viewer_;
    std::unique_ptr<TMetaFilePrinter> recorder_;
    int currentPage_ = 0;
    double zoom_ = 1.0;
    double customZoom_ = 1.0;
    bool twoPages_ = false;
    bool panTool_ = false;
    bool dragging_ = false;
    QPoint dragStart_;
    bool layingOut_ = false;
    std::optional<ChangeLinks> savedHints_;
};

}  // namespace velmoran
