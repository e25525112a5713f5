// The print-preview window; see PreviewForm.h.
#include "html/preview/PreviewForm.h"

#include "controls/EnhCombo.h"
#include "platform/Cursors.h"
#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/PrnStatusForm.h"
#include "platform/Action.h"
#include "platform/AppServices.h"
#include "platform/Canvas.h"
#include "platform/Prompt.h"
#include "platform/QtCanvas.h"
#include "platform/StringTable.h"
#include "platform/SystemColors.h"
#include "platform/core/ScopeExit.h"
#include "toolbar/TBarDock.h"
#include "toolbar/TBarItem.h"
#include "toolbar/TBarToolbar.h"
#include "toolbar/ToolbarImages.h"

#include "resources/cursors/ZoomCursor.xpm"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace velmoran {

namespace {

// The window is not scaled: its inches are the 96 pixels of every canvas.
constexpr int kFormPixelsPerInch = kPixelsPerInch;
// The zoom tool grows and shrinks by this factor, up to these limits.
constexpr double kZoomStep = 1.5;
constexpr double kZoomMax = 20.0;
constexpr double kZoomMin = 0.1;
constexpr int kPageGap = 20;

const char* const kPercentTexts[] = {" 25 % ", " 50 %", " 75 %", "100 %", "125 %", "150 %", "200 %", "300 %", "400 %"};
constexpr double kPercentZooms[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

const QCursor& ZoomCursor()
{
    static const QCursor cursor(QPixmap(ZoomCursor_xpm), 7, 7);
    return cursor;
}

// How many sheets fit into length pixels (but the gap) at ppi, for a sheet of pixels at dpi.
double FitZoom(int length, int ppi, int sheetPixels, int dpi)
{
    if (sheetPixels <= 0 || dpi <= 0 || ppi <= 0)
        return 1.0;
    const double zoom = (length - kPageGap) / static_cast<double>(ppi) / (static_cast<double>(sheetPixels) / dpi);
    // A window too small for any page still shows one.
    return std::max(zoom, kZoomMin);
}

int ScreenLength(double zoom, int ppi, int sheetPixels, int dpi)
{
    return dpi > 0 ? static_cast<int>(std::lround(ppi * zoom * sheetPixels / dpi)) : 0;
}

std::string Text(int id)
{
    return LoadStr(id);
}

}  // namespace

double PreviewZoomFactor(int entry, double customZoom, QSize client, const PrinterMeasures& sheet, int ppi)
{
    switch (entry) {
    case zeFitPage: return FitZoom(client.height(), ppi, sheet.PhysicalHeight, sheet.DpiY);
    case zeFitWidth: return FitZoom(client.width(), ppi, sheet.PhysicalWidth, sheet.DpiX);
    case zeCustom: return customZoom;
    default:
        if (entry >= zeFirstPercent && entry < kPreviewZoomEntries)
            return kPercentZooms[entry - zeFirstPercent];
        return 1.0;
    }
}

QSize PreviewPageSize(double zoom, const PrinterMeasures& sheet, int ppi)
{
    return {ScreenLength(zoom, ppi, sheet.PhysicalWidth, sheet.DpiX),
            ScreenLength(zoom, ppi, sheet.PhysicalHeight, sheet.DpiY)};
}

// --- making the window ---------------------------------------------------------------------------

std::unique_ptr<TPreviewForm> TPreviewForm::CreateWithViewer(QWidget* owner, TPageViewer& viewer, bool& abort)
{
    std::unique_ptr<TPreviewForm> form(new TPreviewForm(owner, viewer));
    // Over the window the user sees: the preview is not shown yet.
    TPrnStatusForm progress(owner);
    progress.DoPreview(viewer, *form->recorder_, abort);
    return form;
}

TPreviewForm::TPreviewForm(QWidget* owner, TPageViewer& viewer)
    : Form(owner), viewer_(viewer), recorder_(std::make_unique<TMetaFilePrinter>())
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QString::fromStdString(Text(sPreviewCaption)));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setWindowState(Qt::WindowMaximized);
    resize(800, 600);
    CreateActions();
    CreateParts();
    CreateToolBar();
    SelectZoom(zeFitPage);
    SetPanTool(false);
    SetTwoPages(false);
    PreviewFitPage->SetChecked(true);
}

TPreviewForm::~TPreviewForm()
{
    RestoreHints();
}

void TPreviewForm::CreateActions()
{
    auto make = [this](const char* name, const std::string& caption, const std::string& hint, ToolbarImage image,
                       std::function<void()> run) {
        auto* action = new Action(this);
        action->setObjectName(QString::fromLatin1(name));
        action->SetCaption(caption);
        action->SetHint(hint);
        action->SetImages(&ToolbarImages());
        action->SetImageIndex(ImageIndexOf(image));
        action->OnExecute = [run = std::move(run)](Action&) { run(); };
        return action;
    };
    PreviewClose = make("PreviewClose", Text(sPreviewClose), Text(sPreviewCloseHint), ToolbarImage::PreviewClose,
                        [this] { close(); });
    PreviewPrint = make("PreviewPrint", Text(sPreviewPrint), Text(sPreviewPrintHint), ToolbarImage::Print,
                        [this] { PrintExecute(); });
    PreviewBack = make("PreviewBack", Text(sPreviewBack), Text(sPreviewBackHint), ToolbarImage::Previous,
                       [this] { ShowPage(currentPage_ - 1); });
    PreviewNext = make("PreviewNext", Text(sPreviewNext), Text(sPreviewNextHint), ToolbarImage::Next,
                       [this] { ShowPage(currentPage_ + 1); });
    PreviewFitPage = make("PreviewFitPage", "", Text(sPreviewFitPageHint), ToolbarImage::FitPage, [this] {
        PreviewFitPage->SetChecked(true);
        PreviewFitWidth->SetChecked(false);
        SelectZoom(zeFitPage);
    });
    // Checks itself and clears Fit page as that one does: else both would stay down after a switch.
    PreviewFitWidth = make("PreviewFitWidth", "", Text(sPreviewFitWidthHint), ToolbarImage::FitWidth, [this] {
        PreviewFitWidth->SetChecked(true);
        PreviewFitPage->SetChecked(false);
        SelectZoom(zeFitWidth);
    });
    PreviewZoom = make("PreviewZoom", "", Text(sPreviewZoomHint), ToolbarImage::ZoomTool, [this] { SetPanTool(false); });
    PreviewPan = make("PreviewPan", "", Text(sPreviewPanHint), ToolbarImage::HandTool, [this] { SetPanTool(true); });
    PreviewOnePage = make("PreviewOnePage", "&1", Text(sPreviewOnePageHint), ToolbarImage::OnePage,
                          [this] { SetTwoPages(false); });
    PreviewTwoPages = make("PreviewTwoPages", "&2", Text(sPreviewTwoPagesHint), ToolbarImage::TwoPages,
                           [this] { SetTwoPages(true); });
}

void TPreviewForm::CreateParts()
{
    Dock = new TBarDock(this, TBarDockPosition::dpTop);
    Dock->setObjectName(QStringLiteral("Dock"));
    SetAlign(*Dock, TAlign::alTop);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    SetAlign(*ScrollBox1, TAlign::alClient);

    ContainPanel = new QWidget;
    ContainPanel->setObjectName(QStringLiteral("ContainPanel"));
    ContainPanel->setAutoFillBackground(true);
    QPalette shadow = ContainPanel->palette();
    shadow.setColor(QPalette::Window, ToQColor(SystemColor(COLOR_BTNSHADOW)));
    ContainPanel->setPalette(shadow);
    ScrollBox1->setWidget(ContainPanel);

    auto page = [this](const char* panelName, const char* boxName, QWidget*& box) {
        auto* panel = new QWidget(ContainPanel);
        panel->setObjectName(QString::fromLatin1(panelName));
        panel->setAutoFillBackground(true);
        QPalette white = panel->palette();
        white.setColor(QPalette::Window, Qt::white);
        panel->setPalette(white);
        box = new QWidget(panel);
        box->setObjectName(QString::fromLatin1(boxName));
        // The right button is the page's own: the zoom tool zooms out with it, the hand drags.
        box->setContextMenuPolicy(Qt::PreventContextMenu);
        box->installEventFilter(this);
        return panel;
    };
    PagePanel = page("PagePanel", "PB1", PB1);
    PagePanel2 = page("PagePanel2", "PB2", PB2);
    ScrollBox1->viewport()->installEventFilter(this);
}

void TPreviewForm::CreateToolBar()
{
    ToolBar = new TBarToolbar(Dock);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    // Floated by the user, it has no close button: nothing in the preview would show it again.
    ToolBar->SetCloseButton(false);
    ToolBar->setWindowTitle(QString::fromStdString(Text(sPreviewCaption)));
    ToolBar->Items().SetCaption(Text(sPreviewCaption));
    ToolBar->SetImages(&ToolbarImages());
    TBarCustomItem& items = ToolBar->Items();
    auto add = [&items](Action* action) {
        auto* item = new TBarItem(nullptr);
        items.Add(item);
        item->SetAction(action);
    };
    auto separator = [&items] { items.Add(new TBarSeparatorItem(nullptr)); };

    cbxZoom = new TEnhComboBox;
    cbxZoom->setObjectName(QStringLiteral("cbxZoom"));
    cbxZoom->SetStyle(TComboBoxStyle::csDropDownList);
    std::vector<std::string> entries{Text(sPreviewFitPage), Text(sPreviewFitWidth), Text(sPreviewCustom)};
    entries.insert(entries.end(), std::begin(kPercentTexts), std::end(kPercentTexts));
    cbxZoom->SetItems(entries);
    cbxZoom->resize(110, cbxZoom->sizeHint().height());
    cbxZoom->OnChange = [this](QObject*) { ScrollBox1Resize(); };

    add(PreviewBack);
    add(PreviewNext);
    separator();
    auto* zoomItem = new TBarControlItem(nullptr);
    items.Add(zoomItem);
    zoomItem->SetControl(cbxZoom);
    cbxZoom->setParent(ToolBar);
    cbxZoom->show();
    add(PreviewFitPage);
    add(PreviewFitWidth);
    separator();
    add(PreviewZoom);
    add(PreviewPan);
    separator();
    add(PreviewOnePage);
    add(PreviewTwoPages);
    separator();
    add(PreviewPrint);
    add(PreviewClose);
}

// --- showing and closing -------------------------------------------------------------------------

void TPreviewForm::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    // Shown for the first time (not restored from an icon): the first page, and the hints kept here.
    if (!savedHints_) {
        savedHints_ = AppServices::Instance().ReplaceHintLinks({});
        ShowPage(0);
    }
    ScrollBox1Resize();
}

void TPreviewForm::closeEvent(QCloseEvent* event)
{
    Form::closeEvent(event);
    if (event->isAccepted())
        RestoreHints();
}

void TPreviewForm::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the preview as "Schliessen" does (a list that is open takes it first).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    Form::keyPressEvent(event);
}

void TPreviewForm::RestoreHints()
{
    if (savedHints_)
        AppServices::Instance().ReplaceHintLinks(*std::exchange(savedHints_, std::nullopt));
}

// --- layout ----------------------------------------------------------------------------------------

bool TPreviewForm::HasSheet() const
{
    const QSize page = PreviewPageSize(1.0, recorder_->Device(), kFormPixelsPerInch);
    return !page.isEmpty();
}

QSize TPreviewForm::ClientSize() const
{
    // The box without its scroll bars, so that showing them does not change the zoom.
    return ScrollBox1->contentsRect().size();
}

void TPreviewForm::SelectZoom(int entry)
{
    cbxZoom->SetItemIndex(entry);
    ScrollBox1Resize();
}

void TPreviewForm::ScrollBox1Resize()
{
    if (layingOut_)
        return;
    const ScopedValue<bool> running(layingOut_, true);
    if (cbxZoom->ItemIndex() < 0)
        cbxZoom->SetItemIndex(zeFitPage);
    const QSize client = ClientSize();
    const PrinterMeasures& sheet = recorder_->Device();
    zoom_ = PreviewZoomFactor(cbxZoom->ItemIndex(), customZoom_, client, sheet, kFormPixelsPerInch);
    const QSize page = PreviewPageSize(zoom_, sheet, kFormPixelsPerInch);
    PagePanel->resize(page);
    PagePanel2->resize(page);
    PB1->resize(page);
    PB2->resize(page);
    PagePanel2->setVisible(twoPages_);

    const int contentWidth = page.width() + kPageGap + (twoPages_ ? page.width() + kPageGap : 0);
    const int contentHeight = page.height() + kPageGap;
    const int containWidth = std::max(contentWidth, client.width() - 1);
    const int containHeight = std::max(contentHeight, client.height() - 1);
    ContainPanel->resize(containWidth, containHeight);
    const int top = containHeight > page.height() + kPageGap ? containHeight / 2 - page.height() / 2 : 10;
    const int left = contentWidth < containWidth ? containWidth / 2 - (contentWidth - kPageGap) / 2 : 10;
    PagePanel->move(left, top);
    PagePanel2->move(left + page.width() + kPageGap, top);

    // Both pages count in two-page mode: the second must be reachable.
    const bool fits = contentWidth <= client.width() && contentHeight <= client.height();
    const Qt::ScrollBarPolicy bars = fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn;
    ScrollBox1->setHorizontalScrollBarPolicy(bars);
    ScrollBox1->setVerticalScrollBarPolicy(bars);
    customZoom_ = zoom_;
}

// --- pages -----------------------------------------------------------------------------------------

void TPreviewForm::ShowPage(int index)
{
    currentPage_ = std::clamp(index, 0, std::max(0, recorder_->PageCount() - 1));
    PB1->update();
    PB2->update();
    UpdateNavigation();
}

void TPreviewForm::UpdateNavigation()
{
    // Nothing to page through on a sheet of no size.
    const bool sheet = HasSheet();
    PreviewNext->SetEnabled(sheet && recorder_->PageCount() > currentPage_ + 1);
    PreviewBack->SetEnabled(sheet && currentPage_ >= 1);
}

int TPreviewForm::PageOfBox(const QWidget* box) const
{
    const int page = box == PB1 ? currentPage_ : (twoPages_ ? currentPage_ + 1 : -1);
    return page >= 0 && page < recorder_->PageCount() ? page : -1;
}

void TPreviewForm::PaintBox(QWidget& box)
{
    const int page = PageOfBox(&box);
    if (page < 0 || !HasSheet())
        return;
    QPainter painter(&box);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    recorder_->Page(page).Replay(painter, box.rect());
}

void TPreviewForm::SetTwoPages(bool two)
{
    twoPages_ = two;
    PreviewOnePage->SetChecked(!two);
    PreviewTwoPages->SetChecked(two);
    if (two)
        cbxZoom->SetItemIndex(zeFitPage);
    ScrollBox1Resize();
    ShowPage(currentPage_);
}

// --- tools -----------------------------------------------------------------------------------------

void TPreviewForm::SetPanTool(bool pan)
{
    panTool_ = pan;
    dragging_ = false;
    PreviewZoom->SetChecked(!pan);
    PreviewPan->SetChecked(pan);
    const QCursor& cursor = pan ? ViewerCursor(TViewerCursor::Hand) : ZoomCursor();
    PB1->setCursor(cursor);
    PB2->setCursor(cursor);
}

void TPreviewForm::MouseDown(QWidget& box, Qt::MouseButton button, QPoint at)
{
    if (!panTool_) {
        ZoomAt(box, button, at);
        return;
    }
    // Any button takes the page: the hand has no other use for the right or the middle one.
    dragStart_ = at;
    dragging_ = true;
    box.setCursor(ViewerCursor(TViewerCursor::Pan));
}

void TPreviewForm::MouseMove(QPoint at)
{
    if (!dragging_)
        return;
    // The boxes move with the bars, so the point under the mouse stays the start.
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    h->setValue(h->value() + dragStart_.x() - at.x());
    v->setValue(v->value() + dragStart_.y() - at.y());
}

void TPreviewForm::MouseUp()
{
    if (!dragging_)
        return;
    dragging_ = false;
    PB1->setCursor(ViewerCursor(TViewerCursor::Hand));
    PB2->setCursor(ViewerCursor(TViewerCursor::Hand));
}

void TPreviewForm::ZoomAt(QWidget& box, Qt::MouseButton button, QPoint at)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    // The second page's points lie one page and the gap to the right of the first's.
    const int boxLeft = &box == PB2 ? box.width() + kPageGap : 0;
    const double relX = static_cast<double>(at.x() + boxLeft) / box.width();
    const double relY = static_cast<double>(at.y()) / box.height();
    double zoom = zoom_;
    if (button == Qt::LeftButton && zoom < kZoomMax)
        zoom *= kZoomStep;
    else if (button == Qt::RightButton && zoom > kZoomMin)
        zoom /= kZoomStep;
    customZoom_ = zoom;
    cbxZoom->SetItemIndex(zeCustom);
    PreviewFitPage->SetChecked(false);
    PreviewFitWidth->SetChecked(false);
    ScrollBox1Resize();
    const QSize page = PB1->size();
    ScrollBox1->horizontalScrollBar()->setValue(static_cast<int>(std::lround(page.width() * relX)) -
                                                ScrollBox1->width() / 2);
    ScrollBox1->verticalScrollBar()->setValue(static_cast<int>(std::lround(page.height() * relY)) -
                                              ScrollBox1->height() / 2);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBox1->viewport()) {
        if (event->type() == QEvent::Resize)
            ScrollBox1Resize();
        return Form::eventFilter(watched, event);
    }
    auto* box = qobject_cast<QWidget*>(watched);
    if (box != PB1 && box != PB2)
        return Form::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        PaintBox(*box);
        return true;
    case QEvent::MouseButtonPress:
    // The second press of a quick double click is a press as well: two quick clicks of the zoom
    // tool zoom twice.
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseDown(*box, mouse->button(), mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        MouseUp();
        return true;
    default:
        return Form::eventFilter(watched, event);
    }
}

// --- printing ----------------------------------------------------------------------------------------

void TPreviewForm::PrintExecute()
{
    const int pages = recorder_->PageCount();
    Printer& printer = SelectedPrinter();
    PrintDialogOptions options;
    options.MinPage = 1;
    options.MaxPage = std::max(1, pages);
    options.FromPage = 1;
    options.ToPage = std::max(1, pages);
    options.PageNumbersSelectable = true;
    if (printer.IsPdf())
        options.PdfFileName = printer.OutputFileName();
    const std::optional<PrintDialogAnswer> answer = Prompts().PrintDialog(options);
    if (!answer)
        return;
    if (const std::optional<std::string> refusal = PageRangeRefusal(*answer)) {
        Prompts().ShowError(*refusal + " Es wurde nichts gedruckt.");
        return;
    }
    if (printer.IsPdf())
        printer.SetOutputFileName(ChosenPdfFileName(options, *answer));
    if (OnPrintTarget && !OnPrintTarget(printer))
        return;
    try {
        TPrnStatusForm progress(this);
        bool abort = false;
        if (answer->AllPages)
            progress.DoPrint(viewer_, 1, pages, abort);
        else
            progress.DoPrint(viewer_, answer->FromPage, answer->ToPage, abort);
    } catch (const std::exception& error) {
        Prompts().ShowError(error.what());
    }
}

}  // namespace velmoran
