// The text list box; see TextListBox.h.
#include "controls/TextListBox.h"

#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/CodePage.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace velmoran {

namespace {

// Rows as wide as the widest line (so that the text is never cut) and ItemHeight high.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(TTextListBox& box) : QStyledItemDelegate(&box), box_(box) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {box_.HorizontalExtent(), box_.ItemHeight()};
    }

private:
    TTextListBox& box_;
};

// The width of a text with its tabs advancing to the next multiple of the tab stop.
int TabbedWidth(const Canvas& canvas, std::u16string_view text, int tabStop)
{
    int x = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = text.find(u'\t', start);
        x += canvas.TextExtent(text.substr(start, tab == std::u16string_view::npos ? tab : tab - start)).cx;
        if (tab == std::u16string_view::npos)
            return x;
        x = (x / tabStop + 1) * tabStop;
        start = tab + 1;
    }
}

}  // namespace

// --- TListBoxStrings ---

TListBoxStrings& TListBoxStrings::operator=(const std::vector<std::string>& lines)
{
    box_.clear();
    for (const std::string& line : lines)
        Add(line);
    return *this;
}

TListBoxStrings& TListBoxStrings::operator=(const TListBoxStrings& other)
{
    if (&other != this)
        *this = other.Lines();
    return *this;
}

int TListBoxStrings::Count() const
{
    return box_.count();
}

std::string TListBoxStrings::operator[](int index) const
{
    const QListWidgetItem* item = box_.item(index);
    return item ? item->text().toStdString() : std::string();
}

int TListBoxStrings::Add(const std::string& line)
{
    box_.addItem(QString::fromStdString(line));
    return Count() - 1;
}

void TListBoxStrings::Insert(int index, const std::string& line)
{
    box_.insertItem(index, QString::fromStdString(line));
}

void TListBoxStrings::Delete(int index)
{
    delete box_.takeItem(index);
}

void TListBoxStrings::Clear()
{
    box_.clear();
}

std::vector<std::string> TListBoxStrings::Lines() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < Count(); ++i)
        lines.push_back((*this)[i]);
    return lines;
}

// --- TTextListBox ---

TTextListBox::TTextListBox(QWidget* parent) : QListWidget(parent), items_(*this)
{
    setItemDelegate(new RowDelegate(*this));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFont(QtFontEngine::MakeQFont(font_.Logical()));
    // The classic colours, the same on every machine.
    QPalette colors = palette();
    const auto set = [&colors](QPalette::ColorRole role, int index) {
        colors.setColor(role, QColor::fromRgb(ColorToQRgb(SystemColor(index))));
    };
    set(QPalette::Base, COLOR_WINDOW);
    set(QPalette::Text, COLOR_WINDOWTEXT);
    set(QPalette::Highlight, COLOR_HIGHLIGHT);
    set(QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT);
    setPalette(colors);
    QAbstractItemModel* rows = model();
    connect(rows, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int i = first; i <= last; ++i)
            maxWidth_ = std::max(maxWidth_, ItemWidth(i));
        SetExtent();
    });
    connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        for (int i = first; i <= last && !widestGoing_; ++i)
            widestGoing_ = ItemWidth(i) >= maxWidth_;
        if (widestGoing_)
            ScrollToLeft();
    });
    connect(rows, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (widestGoing_)
            Recount();
        widestGoing_ = false;
    });
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        maxWidth_ = 0;
        SetExtent();
        ScrollToLeft();
    });
    connect(rows, &QAbstractItemModel::dataChanged, this, [this] { Recount(); });
}

TTextListBox::~TTextListBox()
{
    // The model is cleared while the widget's children (the scroll bars) are already going.
    disconnect(model(), nullptr, this, nullptr);
}

int TTextListBox::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void TTextListBox::SetItemIndex(int index)
{
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
    } else {
        setCurrentRow(index);
    }
}

void TTextListBox::SetItemHeight(int height)
{
    if (height == itemHeight_ || height < 1)
        return;
    itemHeight_ = height;
    doItemsLayout();
}

void TTextListBox::SetTabWidth(int width)
{
    if (width == tabWidth_)
        return;
    tabWidth_ = width;
    Recount();
}

void TTextListBox::SetBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    setFrameShape(style == TBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TTextListBox::SetFont(const TFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    setFont(QtFontEngine::MakeQFont(font_.Logical()));  // the font change recounts
}

int TTextListBox::ItemWidth(int index) const
{
    const QListWidgetItem* row = item(index);
    if (!row)
        return 0;
    const std::u16string text = Utf8ToWide(row->text().toStdString() + "x");
    MeasuringCanvas canvas;
    canvas.SetFont(font_.Logical());
    if (tabWidth_ < 1)
        return canvas.TextExtent(text).cx;
    const int tabStop = static_cast<int>(std::lround(canvas.TextExtent(u"0").cx * tabWidth_ * 0.25));
    return TabbedWidth(canvas, text, std::max(1, tabStop)) & 0xFFFF;
}

void TTextListBox::SetExtent()
{
    updateGeometries();
    doItemsLayout();
}

void TTextListBox::Recount()
{
    maxWidth_ = 0;
    for (int i = 0; i < count(); ++i)
        maxWidth_ = std::max(maxWidth_, ItemWidth(i));
    SetExtent();
}

void TTextListBox::ScrollToLeft()
{
    horizontalScrollBar()->setValue(0);
}

void TTextListBox::updateGeometries()
{
    QListWidget::updateGeometries();
    const int viewportWidth = viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, maxWidth_ - viewportWidth));
    horizontalScrollBar()->setPageStep(viewportWidth);
}

template <typename Handling>
void TTextListBox::ClickOnChange(Handling&& handling, bool always)
{
    const int before = ItemIndex();
    handling();
    if ((always || ItemIndex() != before) && OnClick)
        OnClick(this);
}

void TTextListBox::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    // Qt makes the first line current on Tab, which would be taken for the user's choice. With
    // no line selected the list keeps none current: the first key down or Home then selects the
    // first line, and the focus is shown on it meanwhile (paintEvent).
    if (ItemIndex() < 0 && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void TTextListBox::keyPressEvent(QKeyEvent* event)
{
    ClickOnChange([&] { QListWidget::keyPressEvent(event); }, false);
}

void TTextListBox::mousePressEvent(QMouseEvent* event)
{
    const bool onLine = event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
    ClickOnChange([&] { QListWidget::mousePressEvent(event); }, onLine);
}

void TTextListBox::mouseMoveEvent(QMouseEvent* event)
{
    ClickOnChange([&] { QListWidget::mouseMoveEvent(event); }, false);
}

void TTextListBox::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (!hasFocus() || currentIndex().isValid() || count() == 0)
        return;
    QStylePainter painter(viewport());
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    // Styles draw a focus frame only for a focus the keyboard moved, which this one always is.
    focus.state |= QStyle::State_KeyboardFocusChange;
    focus.rect = visualItemRect(item(0));
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

void TTextListBox::changeEvent(QEvent* event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Recount();
}

}  // namespace velmoran
