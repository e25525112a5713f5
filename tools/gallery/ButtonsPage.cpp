// The gallery page "buttons": the speed button in its looks (up, pressed, exclusive, disabled
// with its engraved glyph, flat under the mouse, flat and grey away from it, with a drop-down
// menu's arrow, and a caption cut to "..."), a combo edit with its drop-down button and its
// popup open, and a borderless text list box of long paths scrolled to the right.
//
// The hover and the open popup need an active window: they are set up when the page is first
// activated.
#include "GalleryPages.h"

#include "controls/ComboEdit.h"
#include "controls/DrawUtils.h"
#include "controls/HtmlLabel.h"
#include "controls/SpeedButton.h"
#include "controls/TextListBox.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace velmoran::gallery {

namespace {

constexpr int kPageWidth = 580;
constexpr int kPageHeight = 250;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 44;

// A green arrow to the right, outlined in black, on magenta (the transparent colour).
QImage ArrowGlyph()
{
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(QColor(255, 0, 255));
    QPainter painter(&glyph);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 160, 0));
    const QPoint arrow[] = {{2, 5}, {8, 5}, {8, 1}, {14, 7}, {8, 13}, {8, 9}, {2, 9}};
    painter.drawPolygon(arrow, 7);
    return glyph;
}

// A sheet with blue lines.
QImage PageGlyph()
{
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(QColor(255, 0, 255));
    QPainter painter(&glyph);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 9, 13);
    painter.setPen(QColor(0, 0, 160));
    for (int y = 4; y <= 11; y += 2)
        painter.drawLine(5, y, 10, y);
    return glyph;
}

void AddHeading(QWidget* page, int x, int y, const std::string& text)
{
    auto* label = new THtmlLabel(page);
    label->setGeometry(x, y, 260, 17);
    TFont bold;
    bold.Bold = true;
    label->SetFont(bold);
    label->SetHTMLText(text);
}

// The drop-down of the combo edit: a list of dates; a click on one takes it.
class DatePopup : public TPopupWindow {
public:
    explicit DatePopup(TCustomComboEdit* editor) : TPopupWindow(editor), list_(new TTextListBox(this))
    {
        resize(150, 80);
        list_->setGeometry(1, 1, 148, 78);
        list_->SetBorderStyle(TBorderStyle::bsNone);
        list_->Items() = std::vector<std::string>{"17.03.2002", "18.03.2002", "19.03.2002", "20.03.2002",
                                                  "21.03.2002"};
        list_->OnClick = [this](QWidget*) { CloseUp(true); };
    }
    QVariant GetValue() const override
    {
        const int index = list_->ItemIndex();
        return index < 0 ? QVariant() : QVariant(QString::fromStdString(list_->Items()[index]));
    }
    void SetValue(const QVariant& value) override
    {
        const std::vector<std::string> lines = list_->Items().Lines();
        const auto found = std::find(lines.begin(), lines.end(), value.toString().toStdString());
        list_->SetItemIndex(found == lines.end() ? -1 : static_cast<int>(found - lines.begin()));
    }

private:
    TTextListBox* list_;
};

class ButtonsPage : public QWidget {
public:
    ButtonsPage()
    {
        setWindowTitle(QStringLiteral("Schaltflächen"));
        resize(kPageWidth, kPageHeight);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        setPalette(palette);
        setAutoFillBackground(true);
        AddButtons();
        AddComboEdit();
        AddList();
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow() && !settled_) {
            settled_ = true;
            Settle();
        }
    }

private:
    TExSpeedButton* AddButton(int column, const char* name, const std::string& caption, const QImage& glyph)
    {
        auto* button = new TExSpeedButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(10 + column * (kButtonWidth + 6), 34, kButtonWidth, kButtonHeight);
        button->SetCaption(caption);
        button->SetGlyph(glyph);
        return button;
    }

    void AddButtons()
    {
        AddHeading(this, 10, 10, "Schnellschalter");
        AddButton(0, "up", "Oben", ArrowGlyph());
        down_ = AddButton(1, "down", "Gedrückt", ArrowGlyph());
        TExSpeedButton* exclusive = AddButton(2, "exclusive", "Exklusiv", ArrowGlyph());
        exclusive->SetGroupIndex(1);
        exclusive->SetDown(true);
        AddButton(3, "disabled", "Gesperrt", ArrowGlyph())->setEnabled(false);
        flat_ = AddButton(4, "flat", "Flach", ArrowGlyph());
        flat_->SetFlat(true);
        AddButton(5, "inactive", "Grau", ArrowGlyph())->SetFlat(true);
        TExSpeedButton* menu = AddButton(6, "menu", "Menü", PageGlyph());
        menu_.addAction(QStringLiteral("Öffnen"));
        menu_.addAction(QStringLiteral("Speichern"));
        menu->SetDropDownMenu(&menu_);
        AddButton(7, "cut", "Belebungsbecken", PageGlyph());
    }

    void AddComboEdit()
    {
        AddHeading(this, 10, 100, "Eingabe mit Auswahl");
        edit_ = new TCustomComboEdit(this);
        edit_->setObjectName(QStringLiteral("combo"));
        edit_->setGeometry(10, 124, 150, 21);
        edit_->SetEditMask("!99/99/9999;1; ");
        edit_->SetText("18.03.2002");
        edit_->SetGlyphKind(TGlyphKind::gkDropDown);
        edit_->SetPopup(new DatePopup(edit_));
    }

    void AddList()
    {
        AddHeading(this, 300, 100, "Zuletzt bearbeitet");
        list_ = new TTextListBox(this);
        list_->setObjectName(QStringLiteral("recent"));
        list_->setGeometry(300, 124, 260, 80);
        list_->SetBorderStyle(TBorderStyle::bsNone);
        TFont small;
        small.Size = 7;
        list_->SetFont(small);
        list_->Items() = std::vector<std::string>{
            "/home/ingenieur/Berechnungen/Kläranlage Nord/Ausbau 2024/Bemessung.vda",
            "/home/ingenieur/Berechnungen/Kläranlage Süd/Bestand.vda",
            "/home/ingenieur/Berechnungen/Gemeinde Oberau/Variante mit Vorklärung und Faulung.vda",
            "/home/ingenieur/Beispiel.vda"};
    }

    // With the window active: the mouse on the flat button, the pressed one held down, the
    // popup open and the list at its right end.
    void Settle()
    {
        {
            ScopedForegroundTask foreground(true);
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), flat_->mapToGlobal(QPointF(5, 5)));
            QApplication::sendEvent(flat_, &enter);
        }
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), down_->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(down_, &press);
        edit_->setFocus();
        edit_->ButtonClick();
        list_->horizontalScrollBar()->setValue(list_->horizontalScrollBar()->maximum());
    }

    TExSpeedButton* down_ = nullptr;
    TExSpeedButton* flat_ = nullptr;
    TCustomComboEdit* edit_ = nullptr;
    TTextListBox* list_ = nullptr;
    QMenu menu_;
    bool settled_ = false;
};

}  // namespace

std::unique_ptr<QWidget> MakeButtonsPage()
{
    return std::make_unique<ButtonsPage>();
}

}  // namespace velmoran::gallery
