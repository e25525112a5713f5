// The gallery's "dates" page: the date field of the first input page with its calendar dropped
// down, and the date dialog as the input page titles it, drawn in beside it with a caption bar.
#include "GalleryPages.h"

#include "controls/DateEdit.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace velmoran::gallery {

namespace {

constexpr int kPageWidth = 520;
constexpr int kPageHeight = 230;
constexpr int kCaptionHeight = 18;

class DatesPage : public QWidget {
public:
    DatesPage()
    {
        setWindowTitle(QStringLiteral("Datum"));
        resize(kPageWidth, kPageHeight);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        setPalette(palette);
        setAutoFillBackground(true);

        AddHeading(this, 10, 10, "Datum des Projekts");
        edit_ = new TDateEdit(this);
        edit_->setObjectName(QStringLiteral("date"));
        edit_->setGeometry(10, 34, 120, 21);
        edit_->DefaultToday = true;
        edit_->SetDialogTitle("Datum wählen");
        edit_->SetGlyphKind(TGlyphKind::gkDropDown);
        edit_->SetNumGlyphs(1);
        edit_->SetYearDigits(TYearDigits::dyFour);
        edit_->SetDate(Date());

        AddHeading(this, 270, 10, "Datum wählen (Dialog)");
        dialog_ = new QLabel(this);
        dialog_->setObjectName(QStringLiteral("dialog"));
        dialog_->move(270, 34);
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow() && !settled_) {
            settled_ = true;
            edit_->setFocus();
            edit_->ButtonClick();
        }
    }

    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        if (dialog_->pixmap().isNull()) {
            dialog_->setPixmap(DialogPicture());
            dialog_->resize(dialog_->pixmap().size());
        }
    }

private:
    // The dialog as the date field opens it, under a caption bar of its title.
    static QPixmap DialogPicture()
    {
        std::unique_ptr<TSelectDateDlg> dialog(CreateDateDialog("Datum wählen"));
        dialog->SetDate(Date());
        // Laid out as on screen, but never shown there.
        dialog->setAttribute(Qt::WA_DontShowOnScreen);
        dialog->show();
        QApplication::processEvents();
        const QPixmap body = dialog->grab();
        dialog->hide();
        QPixmap picture(body.width() + 2, body.height() + kCaptionHeight + 1);
        picture.fill(Qt::black);
        QPainter painter(&picture);
        painter.fillRect(1, 1, body.width(), kCaptionHeight - 1, QColor(0, 0, 0x80));
        painter.setPen(Qt::white);
        QFont font = dialog->font();
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(5, 1, body.width() - 8, kCaptionHeight - 1), Qt::AlignVCenter | Qt::AlignLeft,
                         dialog->windowTitle());
        painter.drawPixmap(1, kCaptionHeight, body);
        return picture;
    }

    TDateEdit* edit_ = nullptr;
    QLabel* dialog_ = nullptr;
    bool settled_ = false;
};

}  // namespace

std::unique_ptr<QWidget> MakeDatesPage()
{
    return std::make_unique<DatesPage>();
}

}  // namespace velmoran::gallery
