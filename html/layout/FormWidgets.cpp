// The window controls of form controls and the focus controls of links: made on the viewer's
// drawing surface (only when the document has one) when a paint places them or Tab goes to them,
// mirroring the object's value both ways, and reporting focus, clicks, keys and the mouse to the
// object. Radio buttons do not keep their group exclusive themselves: the object does. A text
// area's rows (for printing and hard wrapping) are the rows its memo lays out.
// Only the controls in view are shown: every show or move of a control on a visible surface walks
// the shown controls beside it, so a page of thousands, all shown, would cost their square.
#include "html/layout/FormControls.h"

#include "html/layout/LinkFocus.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"
#include "platform/PasswordStyle.h"
#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/CodePage.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace velmoran {

namespace {

constexpr int kParkedX = -4000;

// The tab stop a widget is the focus widget of.
class TTabStopTag : public QObject {
public:
    TTabStopTag(QWidget* widget, TTabStop* stop) : QObject(widget), Stop(stop) {}
    TTabStop* const Stop;
};

// Watches the Tab key for the whole application: whether it is down, and, before Tab or Shift+Tab
// moves the focus, the stop of a document it goes to is made ready: Qt passes hidden widgets by,
// controls out of view are hidden, and most controls have no widget until they are needed.
class TTabTracker : public QObject {
public:
    using QObject::QObject;
    bool Down = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (tab && !key->isAutoRepeat())
                Down = event->type() == QEvent::KeyPress;
            if (tab && event->type() == QEvent::KeyPress && watched == QApplication::focusWidget() &&
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                ShowNextTabStop(QApplication::focusWidget(),
                                key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // From a stop, the next one of its document's tab order. Leaving a document or from elsewhere,
    // the focus chain is walked as Qt will: where it meets another document's widgets first, Tab
    // enters that document at its first (last) stop. A document's widgets stand together in the
    // chain in its tab order, its first and last stops' among them.
    static void ShowNextTabStop(QWidget* from, bool forward)
    {
        const TTabStop* stop = TabStopOf(from);
        TSectionList* own = stop ? stop->StopDocument() : nullptr;
        if (own) {
            if (TTabStop* next = own->NextTabStop(stop, forward)) {
                next->ShowForTab();
                return;
            }
        }
        QWidget* window = from->window();
        bool left = false;  // past the widgets of the own document: coming to them again, Tab wraps
        for (QWidget* w = Step(from, forward); w && w != from; w = Step(w, forward)) {
            if (w->window() != window)
                continue;
            const TTabStop* other = TabStopOf(w);
            if (!other) {
                left = true;
                if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible())
                    return;
            } else if (other->StopDocument() != own || left) {
                if (TTabStop* first = other->StopDocument()->NextTabStop(nullptr, forward)) {
                    first->ShowForTab();
                    return;
                }
            }
        }
    }
    static QWidget* Step(QWidget* w, bool forward) { return forward ? w->nextInFocusChain() : w->previousInFocusChain(); }
};

TTabTracker* TabTracker()
{
    static QPointer<TTabTracker> tracker;
    if (!tracker && qApp) {
        tracker = new TTabTracker(qApp);
        qApp->installEventFilter(tracker);
    }
    return tracker;
}

// Reports a control's focus, keys and mouse to its object.
class TControlEvents : public QObject {
public:
    TControlEvents(TFormControlObj* control, QWidget* widget) : QObject(widget), control_(control) {}
    TFormControlObj* Control() const { return control_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!control_->FocusWidget())  // the window control is going
            return QObject::eventFilter(watched, event);
        switch (event->type()) {
        case QEvent::FocusIn:
            control_->ControlEntered();
            break;
        case QEvent::FocusOut:
            control_->ControlExited();
            break;
        case QEvent::KeyPress:
            if (control_->ControlKey(static_cast<QKeyEvent*>(event)->key()))
                return true;
            break;
        case QEvent::MouseMove:
            if (auto* w = qobject_cast<QWidget*>(watched); w && control_->FocusWidget()) {
                QWidget* surface = control_->FocusWidget()->parentWidget();
                const QPoint p = w->mapTo(surface ? surface : w, static_cast<QMouseEvent*>(event)->position().toPoint());
                control_->ControlMouseMove(p.x(), p.y());
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TFormControlObj* control_;
};

// A radio button whose state only its object sets.
class TFormRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override {}
};

QString ToQ(const std::u16string& s) { return QString::fromStdU16String(s); }

// A text area's window control, whose first shown block can be read.
class TFormMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    using QPlainTextEdit::firstVisibleBlock;
};

// A hidden widget takes the size it was given only when it is shown. A text area's memo and its
// view take theirs now, as showing them would, so that the memo lays its text out as it shows it.
void TakePendingSize(QWidget* widget)
{
    if (!widget->testAttribute(Qt::WA_PendingResizeEvent))
        return;
    QResizeEvent event(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &event);
    widget->setAttribute(Qt::WA_PendingResizeEvent, false);
}

// Unchecking a button makes Qt look for the checked button among its siblings: without a group,
// every button on the drawing surface, which holds every control of the page. A group of its own
// (not exclusive, so that it keeps nothing exclusive) answers at once. It is made for the first
// uncheck only, so that a page of many buttons does not pay a group for each.
void GiveOwnGroup(QAbstractButton* button)
{
    if (button->group())
        return;
    auto* group = new QButtonGroup(button);
    group->setExclusive(false);
    group->addButton(button);
}

}  // namespace

bool TabKeyDown()
{
    const TTabTracker* tracker = TabTracker();
    return tracker && tracker->Down;
}

void WatchTabKey()
{
    TabTracker();
}

void TagTabStop(QWidget* widget, TTabStop* stop)
{
    new TTabStopTag(widget, stop);
}

TTabStop* TabStopOf(const QWidget* widget)
{
    // The parts of a control (a list's viewport, a combo's edit) stand for the control. The tag
    // has no meta-object of its own, so findChild would take any child for it.
    for (int level = 0; widget && level < 3; ++level, widget = widget->parentWidget())
        for (QObject* child : widget->children())
            if (const auto* tag = dynamic_cast<const TTabStopTag*>(child))
                return tag->Stop;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// The shared part

QWidget* TFormControlObj::GetWinControl()
{
    return EnsureWindowControl();
}

QWidget* TFormControlObj::EnsureWindowControl()
{
    QWidget* surface = Document->Host().DrawingSurface();
    if (!surface || widget_)
        return widget_;
    QWidget* w = MakeWidget(surface);
    if (!w)
        return nullptr;
    widget_ = w;
    TagTabStop(w, this);
    w->hide();
    w->setFont(QtFontEngine::MakeQFont(Font.Logical()));
    w->setEnabled(!Disabled);
    w->setGeometry(kParkedX, 0, std::max(width_, 1), std::max(height_, 1));
    if (!Title.empty())
        w->setToolTip(QString::fromStdString(Title));
    auto* events = new TControlEvents(this, w);
    w->installEventFilter(events);
    w->setMouseTracking(true);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        area->viewport()->installEventFilter(events);
        area->viewport()->setMouseTracking(true);
    }
    if (BkColor != NoColor && (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                               qobject_cast<QComboBox*>(w))) {
        const ColorRef c = ColorToRGB(BkColor);
        QPalette palette = w->palette();
        palette.setColor(QPalette::Base, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        palette.setColor(QPalette::Button, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
        w->setPalette(palette);
    }
    SyncWidget();
    Document->PlaceInTabChain(this);
    return w;
}

void TFormControlObj::SyncWidget()
{
    if (!widget_ || syncing_)
        return;
    syncing_ = true;
    ShowValue();
    syncing_ = false;
}

void TFormControlObj::ShowAt(int x, int y)
{
    ShownInPaint = true;
    if (!EnsureWindowControl() || !widget_->parentWidget())
        return;
    if (widget_->pos() != QPoint(x, y))
        widget_->move(x, y);
    if (widget_->isHidden())
        widget_->show();
}

void TFormControlObj::Park()
{
    if (!widget_ || !widget_->parentWidget())
        return;
    if (widget_->x() != kParkedX)
        widget_->move(kParkedX, 0);
    if (widget_->isHidden())
        widget_->show();
}

void TFormControlObj::LeaveView()
{
    if (!widget_ || widget_->isHidden())
        return;
    // Hiding the control with the focus would hand the focus on: it stays, off-screen.
    const QWidget* focus = widget_->window()->focusWidget();
    if (focus && (focus == widget_ || widget_->isAncestorOf(focus)))
        Park();
    else
        widget_->hide();
}

void TFormControlObj::ShowForTab()
{
    if (EnsureWindowControl() && widget_->isHidden() && widget_->parentWidget() && widget_->parentWidget()->isVisible())
        Park();
}

void TFormControlObj::TakeFocus()
{
    if (!EnsureWindowControl())
        return;
    // A hidden widget would take the focus only once a paint showed it.
    if (widget_->isHidden())
        Park();
    widget_->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------------------------
// The kinds

QWidget* TEditFormControlObj::MakeWidget(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    if (Password) {
        edit->setStyle(PasswordStyle());
        edit->setEchoMode(QLineEdit::Password);
    }
    if (MaxLength > 0)
        edit->setMaxLength(MaxLength);
    edit->setReadOnly(ReadOnly);
    edit->setFrame(!BorderByCss);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString& text) {
        if (!syncing_ && widget_)
            Text = text.toStdU16String();
    });
    return edit;
}

void TEditFormControlObj::ShowValue()
{
    auto* edit = static_cast<QLineEdit*>(widget_.data());
    if (edit->text() != ToQ(Text))
        edit->setText(ToQ(Text));
    edit->setCursorPosition(0);
}

QWidget* TButtonFormControlObj::MakeWidget(QWidget* parent)
{
    auto* button = new QPushButton(ToQ(Caption), parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        ControlClicked();
        AfterEvent([this] { Press(); });  // after the click handler, which may have freed the button
    });
    return button;
}

QWidget* TCheckBoxFormControlObj::MakeWidget(QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::toggled, box, [this](bool on) {
        if (!syncing_ && widget_)
            Checked = on;
    });
    QObject::connect(box, &QCheckBox::clicked, box, [this] { ControlClicked(); });
    return box;
}

void TCheckFormControlObj::ShowValue()
{
    auto* button = static_cast<QAbstractButton*>(widget_.data());
    if (button->isChecked() != Checked) {
        if (!Checked)
            GiveOwnGroup(button);
        button->setChecked(Checked);
    }
}

QWidget* TRadioButtonFormControlObj::MakeWidget(QWidget* parent)
{
    auto* radio = new TFormRadioButton(parent);
    radio->setAutoExclusive(false);
    QObject::connect(radio, &QRadioButton::clicked, radio, [this] { Click(); });
    return radio;
}

void TRadioButtonFormControlObj::ShowValue()
{
    TCheckFormControlObj::ShowValue();
    widget_->setFocusPolicy(TabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TRadioButtonFormControlObj::SetTabStop(bool on)
{
    TabStop = on;
    if (widget_)
        widget_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

QWidget* TImageFormControlObj::MakeWidget(QWidget* parent)
{
    // Only for the focus: the picture is the section's image.
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [this] { ImageClick(0, 0); });
    return button;
}

QWidget* TListBoxFormControlObj::MakeWidget(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(Multiple ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    if (BorderByCss)
        list->setFrameShape(QFrame::NoFrame);
    for (int i = 0; i < Options.Count(); ++i)
        list->addItem(ToQ(Options.Item(i).Text));
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [this, list] {
        if (syncing_ || !widget_)
            return;
        for (int i = 0; i < list->count() && i < static_cast<int>(Selection.size()); ++i)
            Selection[static_cast<std::size_t>(i)] = list->item(i)->isSelected();
    });
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int row) {
        if (!syncing_ && widget_)
            ItemIndex = row;
    });
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list, [this](int row) {
        if (widget_)
            TopRow = row;
    });
    return list;
}

void TListBoxFormControlObj::ShowValue()
{
    auto* list = static_cast<QListWidget*>(widget_.data());
    // The selection goes over as runs of selected rows in one step: row by row, each row asked the
    // selection model to search the rows selected before it.
    QItemSelection selection;
    const int count = list->count();
    auto selected = [&](int i) { return i < static_cast<int>(Selection.size()) && Selection[static_cast<std::size_t>(i)]; };
    for (int i = 0; i < count; ++i) {
        if (!selected(i))
            continue;
        const int first = i;
        while (i + 1 < count && selected(i + 1))
            ++i;
        selection.select(list->model()->index(first, 0), list->model()->index(i, 0));
    }
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (ItemIndex >= 0)
        list->setCurrentRow(ItemIndex, QItemSelectionModel::NoUpdate);
    if (TopRow == 0)
        list->scrollToTop();
}

QWidget* TComboFormControlObj::MakeWidget(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    for (int i = 0; i < Options.Count(); ++i)
        combo->addItem(ToQ(Options.Item(i).Text));
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this](int index) {
        if (!syncing_ && widget_)
            SetItemIndex(index);
    });
    return combo;
}

void TComboFormControlObj::ShowValue()
{
    static_cast<QComboBox*>(widget_.data())->setCurrentIndex(ItemIndex);
}

QWidget* TTextAreaFormControlObj::MakeWidget(QWidget* parent)
{
    auto* memo = new TFormMemo(parent);
    memo->setReadOnly(ReadOnly);
    memo->document()->setDocumentMargin(1);
    if (BorderByCss)
        memo->setFrameShape(QFrame::NoFrame);
    memo->setLineWrapMode(Wrap == Off ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Wrap == Off ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [this, memo] {
        if (syncing_ || !widget_)
            return;
        syncing_ = true;
        SetText(memo->toPlainText().toStdU16String());
        syncing_ = false;
    });
    return memo;
}

void TTextAreaFormControlObj::ShowValue()
{
    auto* memo = static_cast<QPlainTextEdit*>(widget_.data());
    std::u16string plain;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (!(Text[i] == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n'))
            plain += Text[i];
    if (memo->toPlainText() != ToQ(plain)) {
        memo->setPlainText(ToQ(plain));
        memo->moveCursor(QTextCursor::Start);
    }
}

std::vector<std::u16string> TTextAreaFormControlObj::Lines() const
{
    std::vector<std::u16string> lines;
    std::u16string_view rest = Text;
    for (;;) {
        const auto end = rest.find(u"\r\n");
        lines.emplace_back(rest.substr(0, end));
        if (end == std::u16string_view::npos)
            return lines;
        rest.remove_prefix(end + 2);
    }
}

bool TTextAreaFormControlObj::MemoRows(std::vector<std::u16string>& rows, std::size_t& firstShown) const
{
    auto* memo = dynamic_cast<TFormMemo*>(widget_.data());
    if (!memo)
        return false;
    TakePendingSize(memo);
    TakePendingSize(memo->viewport());
    // The row of the top block that is shown first, counted before the blocks below are laid out.
    const QTextBlock top = memo->firstVisibleBlock();
    const int topLine = std::max(0, memo->verticalScrollBar()->value() - top.firstLineNumber());
    QAbstractTextDocumentLayout* layout = memo->document()->documentLayout();
    rows.clear();
    firstShown = 0;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);  // lays the block out when it is not yet
        const QString text = block.text();
        const QTextLayout* lines = block.layout();
        const int count = lines ? lines->lineCount() : 0;
        if (block == top)
            firstShown = rows.size() + static_cast<std::size_t>(std::min(topLine, std::max(0, count - 1)));
        if (count == 0)
            rows.push_back(text.toStdU16String());
        for (int i = 0; i < count; ++i) {
            const QTextLine line = lines->lineAt(i);
            std::u16string row = text.mid(line.textStart(), line.textLength()).toStdU16String();
            // The blank a line was wrapped at does not belong to the row.
            while (i + 1 < count && !row.empty() && row.back() == u' ')
                row.pop_back();
            rows.push_back(std::move(row));
        }
    }
    return true;
}

std::vector<std::u16string> TTextAreaFormControlObj::ShownLines()
{
    if (Wrap != Hard)
        return Lines();
    EnsureWindowControl();
    std::vector<std::u16string> rows;
    std::size_t firstShown = 0;
    return MemoRows(rows, firstShown) ? rows : Lines();
}

}  // namespace velmoran
