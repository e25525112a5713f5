// The aligned grid's properties, effective cell values, drawing, hints and mouse; the editing,
// the row and column work and the stored form have files of their own.
#include "controls/AlignedGrid.h"

#include "platform/CanvasText.h"
#include "platform/HintPlacement.h"
#include "platform/QtCanvas.h"
#include "platform/core/CodePage.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace velmoran {

using namespace aligned;

namespace {
// The room a cell's text keeps from each edge of the cell.
constexpr int kCellTextMargin = 2;
}  // namespace

TAlignedGrid::TAlignedGrid(QWidget* parent) : TStringGrid(parent), store_([this] { PropertiesChanged(); })
{
    InitProperties();
}

TAlignedGrid::~TAlignedGrid()
{
    // The editor calls back into the grid (losing the focus ends an edit): it goes first.
    DestroyEditor();
}

void TAlignedGrid::InitProperties()
{
    fixedBrush_.SetColor(FixedColor());
    // The fixed-cell brush and FixedColor are one colour.
    fixedBrush_.OnChange = [this] { TCustomGrid::SetFixedColor(fixedBrush_.Color()); };
    fixedFont_ = TMyFont::From(Font(), SystemColor(COLOR_BTNTEXT));
    fixedFont_.OnChange = [this] { PropertiesChanged(); };
    gridBrush_.OnChange = [this] { SetColor(gridBrush_.Color()); };
    gridFont_.OnChange = [this] {
        fontColor_ = gridFont_.Color();
        SetFont(gridFont_.ToLogicalFont());
        InvalidateGrid();
    };
    OnCompareCol = [](TAlignedGrid& grid, int col, int row1, int row2) {
        const std::string& first = grid.Cells(col, row1);
        const std::string& second = grid.Cells(col, row2);
        return second < first ? rel_greater : second == first ? rel_equal : rel_smaller;
    };
    OnCompareRow = [](TAlignedGrid& grid, int row, int col1, int col2) {
        const std::string& first = grid.Cells(col1, row);
        const std::string& second = grid.Cells(col2, row);
        return second < first ? rel_greater : second == first ? rel_equal : rel_smaller;
    };
}

// --- published properties ---

void TAlignedGrid::SetFixedColor(ColorRef color)
{
    TCustomGrid::SetFixedColor(color);
    fixedBrush_.SetColor(color);
}

void TAlignedGrid::SetAutoAdjustLastCol(bool value)
{
    autoAdjustLastCol_ = value;
    AdjustLastCol();
}

void TAlignedGrid::SetGridLineWidth(int width)
{
    TCustomGrid::SetGridLineWidth(width);
    AdjustLastCol();
}

void TAlignedGrid::SetRedrawWhileScroll(bool value)
{
    SetOptions(value ? Options() | goThumbTracking : Options() & ~goThumbTracking);
}

void TAlignedGrid::AdjustLastCol()
{
    if (!autoAdjustLastCol_ || ColCount() == 0)
        return;
    int width = viewport()->width();
    for (int c = 0; c < ColCount() - 1; ++c)
        width -= ColWidths(c);
    if (Options() & goVertLine)
        width -= ColCount() * GridLineWidth();
    if (width > 0)
        SetColWidths(ColCount() - 1, width);
}

// --- places ---

std::uint8_t TAlignedGrid::ByteAt(const TPropPlace& place, std::uint8_t TCellProperties::*member, std::uint8_t none) const
{
    const TCellProperties* record = store_.Find(place);
    return record ? record->*member : none;
}

void TAlignedGrid::SetByteAt(const TPropPlace& place, std::uint8_t TCellProperties::*member, std::uint8_t value)
{
    if (TCellProperties* record = store_.Obtain(place)) {
        record->*member = value;
        InvalidateGrid();
    }
}

TMyAlign TAlignedGrid::AlignAt(const TPropPlace& place) const
{
    return static_cast<TMyAlign>(ByteAt(place, &TCellProperties::Align, agDefault));
}

void TAlignedGrid::SetAlignAt(const TPropPlace& place, TMyAlign alignment)
{
    SetByteAt(place, &TCellProperties::Align, alignment);
}

T_Wordwrap TAlignedGrid::WordwrapAt(const TPropPlace& place) const
{
    return static_cast<T_Wordwrap>(ByteAt(place, &TCellProperties::Wordwrap, ww_default));
}

void TAlignedGrid::SetWordwrapAt(const TPropPlace& place, T_Wordwrap wordwrap)
{
    SetByteAt(place, &TCellProperties::Wordwrap, wordwrap);
}

bool TAlignedGrid::EditAt(const TPropPlace& place) const
{
    return ByteAt(place, &TCellProperties::Editable, 0) == 2;
}

void TAlignedGrid::SetEditAt(const TPropPlace& place, bool editable)
{
    SetByteAt(place, &TCellProperties::Editable, editable ? 2 : 1);
}

TMyBrush* TAlignedGrid::BrushAt(const TPropPlace& place, bool create)
{
    TCellProperties* record = create ? store_.Obtain(place) : store_.Find(place);
    if (record && !record->Brush() && create) {
        TMyBrush copy;
        copy.SetColor(Color());
        record->SetBrush(&copy);
        record->Brush()->SetSet(0);
    }
    if (record && record->Brush())
        return record->Brush();
    const bool fixed = place.Kind == TPropKind::FixedCol || place.Kind == TPropKind::FixedRow ||
                       (place.Kind == TPropKind::Cell && IsFixed(place.Index, place.Row));
    if (fixed)
        return &fixedBrush_;
    gridBrush_.OnChange = nullptr;
    gridBrush_.SetColor(Color());
    gridBrush_.OnChange = [this] { SetColor(gridBrush_.Color()); };
    return &gridBrush_;
}

void TAlignedGrid::SetBrushAt(const TPropPlace& place, const TMyBrush* brush)
{
    if (TCellProperties* record = store_.Obtain(place)) {
        record->SetBrush(brush);
        InvalidateGrid();
    }
}

TMyFont* TAlignedGrid::FontAt(const TPropPlace& place, bool create)
{
    TCellProperties* record = create ? store_.Obtain(place) : store_.Find(place);
    if (record && !record->Font() && create) {
        const TMyFont copy = GridFont();
        record->SetFont(&copy);
        record->Font()->SetSet(0);
    }
    if (record && record->Font())
        return record->Font();
    const bool fixed = place.Kind == TPropKind::FixedCol || place.Kind == TPropKind::FixedRow ||
                       (place.Kind == TPropKind::Cell && IsFixed(place.Index, place.Row));
    if (fixed)
        return &fixedFont_;
    auto handler = std::move(gridFont_.OnChange);
    gridFont_ = GridFont();
    gridFont_.OnChange = std::move(handler);
    return &gridFont_;
}

void TAlignedGrid::SetFontAt(const TPropPlace& place, const TMyFont* font)
{
    if (TCellProperties* record = store_.Obtain(place)) {
        record->SetFont(font);
        InvalidateGrid();
    }
}

ColorRef TAlignedGrid::ColorAt(const TPropPlace& place)
{
    return BrushAt(place, false)->Color();
}

ColorRef TAlignedGrid::SelectedColorAt(const TPropPlace& place) const
{
    const TCellProperties* record = store_.Find(place);
    return record && record->SelectedBrush() ? record->SelectedBrush()->Color() : selectedCellColor_;
}

void TAlignedGrid::SetSelectedColorAt(const TPropPlace& place, ColorRef color)
{
    TCellProperties* record = store_.Obtain(place);
    if (!record)
        return;
    TMyBrush brush;
    brush.SetColor(color);
    record->SetSelectedBrush(&brush);
    InvalidateGrid();
}

// --- effective values ---

std::array<const TCellProperties*, 3> TAlignedGrid::Chain(int col, int row) const
{
    const bool fixed = IsFixed(col, row);
    return {store_.Find(CellPlace(col, row)), store_.Find(fixed ? FixedColPlace(col) : ColPlace(col)),
            store_.Find(fixed ? FixedRowPlace(row) : RowPlace(row))};
}

TMyFont TAlignedGrid::GridFont() const
{
    return TMyFont::From(Font(), fontColor_);
}

TMyAlign TAlignedGrid::EffectiveAlign(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->Align != agDefault)
            return static_cast<TMyAlign>(record->Align);
    return alignment_ == agDefault ? agLeft : alignment_;
}

T_Wordwrap TAlignedGrid::EffectiveWordwrap(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->Wordwrap != ww_default)
            return static_cast<T_Wordwrap>(record->Wordwrap);
    return wordwrap_ == ww_default ? ww_none : wordwrap_;
}

TMyFont TAlignedGrid::EffectiveFont(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->Font()) {
            TMyFont font;
            font.Assign(*record->Font());
            return font;
        }
    if (IsFixed(col, row)) {
        TMyFont font;
        font.Assign(fixedFont_);
        return font;
    }
    return GridFont();
}

TMyBrush TAlignedGrid::EffectiveBrush(int col, int row) const
{
    TMyBrush brush;
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->Brush()) {
            brush.Assign(*record->Brush());
            return brush;
        }
    if (IsFixed(col, row))
        brush.Assign(fixedBrush_);
    else
        brush.SetColor(Color());
    return brush;
}

bool TAlignedGrid::IsCellEditable(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->Editable != 0)
            return record->Editable == 2;
    return editable_;
}

ColorRef TAlignedGrid::EffectiveSelectedColor(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->SelectedBrush())
            return record->SelectedBrush()->Color();
    return selectedCellColor_;
}

ColorRef TAlignedGrid::EffectiveSelectedFontColor(int col, int row) const
{
    for (const TCellProperties* record : Chain(col, row))
        if (record && record->SelectedFont())
            return record->SelectedFont()->Color();
    return selectedFontColor_;
}

// --- drawing ---

void TAlignedGrid::DrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state)
{
    TRect textRect = rect;
    PrepareCellCanvas(canvas, col, row, rect, state, textRect);
    if (DefaultDrawing())
        DrawCellText(canvas, col, row, textRect, state);
    if (OnDrawCell)
        OnDrawCell(*this, canvas, col, row, rect, state);
}

void TAlignedGrid::PrepareCellCanvas(Canvas& canvas, int col, int row, const TRect& rect, unsigned state, TRect& textRect)
{
    const TMyFont font = EffectiveFont(col, row);
    const TMyBrush brush = EffectiveBrush(col, row);
    ColorRef brushColor = brush.Color();
    ColorRef fontColor = font.Color();
    // The base leaves the focused cell out of the selected state unless the grid draws focus
    // selected or selects rows.
    if (drawSelection_ && (state & gdSelected)) {
        brushColor = EffectiveSelectedColor(col, row);
        fontColor = EffectiveSelectedFontColor(col, row);
    }
    canvas.SetFont(font.ToLogicalFont());
    canvas.SetTextColor(fontColor);
    canvas.SelectBrush(brush.ToBrush(brushColor));
    if (!DefaultDrawing())
        return;
    canvas.FillRect(rect);
    // Where no grid line is drawn the text may use the line's room too.
    const bool fixed = state & gdFixed;
    if (!(Options() & (fixed ? goFixedVertLine : goVertLine)))
        textRect.Bottom += GridLineWidth();
    if (!(Options() & (fixed ? goFixedHorzLine : goHorzLine)))
        textRect.Right += GridLineWidth();
    canvas.SetBkMode(BkMode::Transparent);
}

bool TAlignedGrid::TextFits(int col, int row, std::string_view text) const
{
    QtCanvas canvas;
    canvas.SetFont(EffectiveFont(col, row).ToLogicalFont());
    return canvas.TextExtent(Utf8ToWide(text)).cx <= ColWidths(col) - 2 * kCellTextMargin;
}

void TAlignedGrid::DrawCellText(Canvas& canvas, int col, int row, const TRect& rect, unsigned)
{
    TMyAlign alignment = EffectiveAlign(col, row);
    T_Wordwrap wordwrap = EffectiveWordwrap(col, row);
    if (OnAlignCell)
        OnAlignCell(*this, col, row, alignment, wordwrap);
    TRect r{rect.Left + kCellTextMargin, rect.Top + kCellTextMargin, rect.Right - kCellTextMargin,
            rect.Bottom - kCellTextMargin};
    unsigned flags = DT_NOPREFIX;
    flags |= alignment == agRight ? DT_RIGHT : alignment == agCenter ? DT_CENTER : DT_LEFT;
    if (wordwrap == ww_wordwrap)
        flags |= DT_WORDBREAK;
    else if (wordwrap == ww_ellipsis)
        flags |= DT_END_ELLIPSIS;
    DrawText(canvas, Utf8ToWide(Cells(col, row)), r, flags);
}

// --- hints and mouse ---

bool TAlignedGrid::CellHint(int col, int row, std::string& hint, THintInfo& info)
{
    hint = HintCell(col, row);
    const TRect rect = CellRect(col, row);
    info.CellRect = rect;
    info.Position = viewport()->mapToGlobal(QPoint(rect.Left, rect.Bottom + 6));
    bool canShow = true;
    if (OnShowHintCell)
        OnShowHintCell(*this, col, row, hint, canShow, info);
    return canShow && !hint.empty();
}

bool TAlignedGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && ShowCellHints) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint p = viewport()->mapFromGlobal(help->globalPos());
        const TGridCoord cell = MouseToCell(p.x(), p.y());
        std::string hint;
        THintInfo info;
        if (cell.X >= 0 && CellHint(cell.X, cell.Y, hint, info)) {
            hintCell_ = cell;
            ShowHintAt(info.Position, QString::fromStdString(hint), viewport());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return TStringGrid::viewportEvent(event);
}

void TAlignedGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TGridCoord cell = MouseToCell(p.x(), p.y());
    if (event->button() == Qt::LeftButton && cell.X >= 0) {
        if (cell.X < FixedCols() && cell.Y >= FixedRows() && OnFixedRowClick)
            OnFixedRowClick(*this, cell.Y);
        else if (cell.Y < FixedRows() && cell.X >= FixedCols() && OnFixedColClick)
            OnFixedColClick(*this, cell.X);
    }
    TStringGrid::mousePressEvent(event);
}

void TAlignedGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const TGridCoord cell = MouseToCell(p.x(), p.y());
    if (hintCell_.X >= 0 && cell != hintCell_) {
        QToolTip::hideText();
        hintCell_ = {-1, -1};
    }
    TStringGrid::mouseMoveEvent(event);
}

void TAlignedGrid::mouseReleaseEvent(QMouseEvent* event)
{
    TStringGrid::mouseReleaseEvent(event);
    AdjustLastCol();
}

void TAlignedGrid::resizeEvent(QResizeEvent* event)
{
    TStringGrid::resizeEvent(event);
    AdjustLastCol();
}

void TAlignedGrid::ColWidthsChanged()
{
    if (OnColWidthsChanged)
        OnColWidthsChanged(*this);
}

void TAlignedGrid::RowHeightsChanged()
{
    if (OnRowHeightsChanged)
        OnRowHeightsChanged(*this);
}

}  // namespace velmoran
