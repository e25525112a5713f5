// The info window and the program's icon.
#include "shell/AboutBox.h"

#include "controls/HtmlLabel.h"
#include "shell/Modules.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmoran {

namespace {

QPixmap IconPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // The basin's wall, the water and the bridge of the scraper.
    painter.setPen(QPen(QColor(90, 90, 90), s / 16));
    painter.setBrush(QColor(64, 128, 176));
    painter.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    painter.setPen(QPen(QColor(150, 200, 230), s / 24));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(s * 0.25, s * 0.25, s * 0.5, s * 0.5));
    painter.setPen(QPen(QColor(230, 230, 230), s / 10));
    painter.drawLine(QPointF(s * 0.5, s * 0.5), QPointF(s * 0.86, s * 0.3));
    painter.setBrush(QColor(230, 230, 230));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.09, s * 0.09);
    return picture;
}

}  // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(IconPicture(size));
    return icon;
}

std::string ModuleListText(const std::vector<std::unique_ptr<TModuleDescriptor>>& modules)
{
    std::string text;
    for (const auto& module : modules)
        text += module->Caption + ", " + module->Version + "<br>";
    if (text.size() > 255) {
        text.resize(255);
        // A character of several bytes cut in two would show as garbage: its part goes, while a
        // whole one at the end stays.
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        std::size_t start = text.size();
        while (start > 0 && (byte(start - 1) & 0xC0) == 0x80)
            --start;
        if (start > 0 && byte(start - 1) >= 0xC0) {
            const std::size_t lead = start - 1;
            const std::size_t length = byte(lead) >= 0xF0 ? 4 : byte(lead) >= 0xE0 ? 3 : 2;
            if (text.size() - lead < length)
                text.resize(lead);
        } else {
            text.resize(start);
        }
    }
    return text;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(IconPicture(48));
    auto* productName = new QLabel(QStringLiteral("Velmoran"), this);
    productName->setObjectName(QStringLiteral("ProductName"));
    QFont font = productName->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    productName->setFont(font);
    auto* description = new QLabel(QStringLiteral("Bemessung von Belebungsanlagen"), this);
    auto* modulesCaption = new QLabel(QStringLiteral("Installierte Module:"), this);

    lbModules = new THtmlLabel(this);
    lbModules->setObjectName(QStringLiteral("lbModules"));
    lbModules->SetTransparent(true);
    lbModules->setMinimumSize(260, 48);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(productName);
    texts->addWidget(description);
    texts->addSpacing(8);
    texts->addWidget(modulesCaption);
    texts->addWidget(lbModules);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

}  // namespace velmoran
