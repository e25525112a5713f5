// The start dialog; see DlgIntro.h.
#include "framework/ui/DlgIntro.h"

#include "platform/QtCanvas.h"
#include "platform/Screen.h"
#include "platform/StringTable.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

namespace velmoran {

namespace {

constexpr int kBottomHeight = 41;

}  // namespace

TDlgIntro::TDlgIntro(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DlgIntro"));
    setWindowTitle(QStringLiteral("Velmoran"));
    TFont dialogFont;
    setFont(QtFontEngine::MakeQFont(dialogFont.Logical()));

    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    QFont bold = QtFontEngine::MakeQFont(dialogFont.Logical());
    bold.setBold(true);
    bold.setPixelSize(9);
    pnlTop->setFont(bold);
    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName(QStringLiteral("pnlBottom"));

    LblGreetings = new QLabel(pnlTop);
    LblGreetings->setObjectName(QStringLiteral("LblGreetings"));
    LblGreetings->setGeometry(12, 8, 280, 16);
    rbNew = new QRadioButton(QStringLiteral("Erstellen einer &neuen Berechnung"), pnlTop);
    rbNew->setObjectName(QStringLiteral("rbNew"));
    rbNew->setGeometry(20, 30, 280, 17);
    rbOpen = new QRadioButton(QStringLiteral("Öffnen einer &vorhandenen Berechnung"), pnlTop);
    rbOpen->setObjectName(QStringLiteral("rbOpen"));
    rbOpen->setGeometry(20, 50, 280, 17);
    rbRecent = new QRadioButton(QStringLiteral("Öffnen einer der &zuletzt bearbeiteten Dateien:"), pnlTop);
    rbRecent->setObjectName(QStringLiteral("rbRecent"));
    rbRecent->setGeometry(20, 70, 280, 17);
    lbxRecent = new TTextListBox(pnlTop);
    lbxRecent->setObjectName(QStringLiteral("lbxRecent"));
    lbxRecent->SetBorderStyle(TBorderStyle::bsNone);
    TFont listFont;
    listFont.Height = 9;
    lbxRecent->SetFont(listFont);
    lbxRecent->SetItemHeight(13);
    lbxRecent->setGeometry(20, 92, 277, 100);
    lbxRecent->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    BtnOK = new QPushButton(QStringLiteral("OK"), pnlBottom);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Abbruch"), pnlBottom);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));

    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(rbNew, &QRadioButton::clicked, this, [this] { rbNewClick(); });
    connect(rbOpen, &QRadioButton::clicked, this, [this] { rbOpenClick(); });
    connect(rbRecent, &QRadioButton::clicked, this, [this] { rbRecentClick(); });
    lbxRecent->OnClick = [this](QWidget*) { lbxRecentClick(); };
    FormCreate();
}

void TDlgIntro::FormCreate()
{
    const int dpi = ScreenPixelsPerInch();
    resize(dpi * 320 / 96, dpi * 247 / 96);
    pnlTop->setGeometry(0, 0, width(), height() - kBottomHeight);
    pnlBottom->setGeometry(0, height() - kBottomHeight, width(), kBottomHeight);
    BtnOK->setGeometry(width() - 166, 8, 75, 25);
    BtnCancel->setGeometry(width() - 83, 8, 75, 25);
    // The run-time captions, in this order: the two radio buttons lose their stored accelerators.
    rbNew->setText(QString::fromStdString(LoadStr(sIntroNew)));
    rbOpen->setText(QString::fromStdString(LoadStr(sIntroOpen)));
    BtnOK->setText(QString::fromStdString(LoadStr(sIntroOK)));
    BtnCancel->setText(QString::fromStdString(LoadStr(sIntroCancel)));
    LblGreetings->setText(QString::fromStdString(LoadStr(sIntroGreetings)));
    Choice = 0;
    rbNew->setChecked(true);
    rbRecent->setEnabled(false);
    lbxRecent->setEnabled(false);
}

void TDlgIntro::showEvent(QShowEvent* event)
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner)
        area = owner->geometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
    QDialog::showEvent(event);
}

void TDlgIntro::SetRecentFiles(const std::vector<std::string>* files)
{
    if (!files)
        return;
    recentFiles_ = *files;
    // A path too long for the list loses its middle: the drive or first folders and the file name
    // stay in sight, and the list needs no horizontal scrolling. The whole path is the line's tip.
    const QFontMetrics metrics(lbxRecent->font());
    const int room = lbxRecent->width() - metrics.horizontalAdvance(QLatin1Char('x')) - 6;
    std::vector<std::string> shown;
    for (const std::string& file : recentFiles_)
        shown.push_back(
            metrics.elidedText(QString::fromStdString(file), Qt::ElideMiddle, room).toStdString());
    lbxRecent->Items() = shown;
    for (int i = 0; i < lbxRecent->count(); ++i)
        lbxRecent->item(i)->setToolTip(QString::fromStdString(recentFiles_[i]));
    const bool any = !recentFiles_.empty();
    lbxRecent->setEnabled(any);
    rbRecent->setEnabled(any);
}

void TDlgIntro::rbNewClick()
{
    FileName.clear();
    Choice = 0;
}

void TDlgIntro::rbOpenClick()
{
    FileName.clear();
    Choice = 1;
}

void TDlgIntro::rbRecentClick() { lbxRecent->setEnabled(rbRecent->isChecked()); }

void TDlgIntro::lbxRecentClick()
{
    const int index = lbxRecent->ItemIndex();
    if (index < 0)
        return;
    rbRecent->setChecked(true);
    FileName = index < static_cast<int>(recentFiles_.size()) ? recentFiles_[index] : std::string();
    Choice = 2;
}

}  // namespace velmoran
