// The text pop-up of our help engine; see HelpPopup.h.
#include "help/HelpPopup.h"

#include "platform/QtCanvas.h"
#include "platform/SystemColors.h"
#include "platform/core/Text.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmoran {

namespace {

constexpr const char* kDefaultFace = "Liberation Sans";
constexpr int kDefaultPoints = 8;

QFont PopupFont(const QString& face, int points)
{
    QFont font(face);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    font.setKerning(false);
    return font;
}

int WholePixels(qreal width)
{
    return static_cast<int>(std::ceil(width));
}

}  // namespace

QPointer<THelpPopup> THelpPopup::shown_;

QStringList BreakIntoLines(const QString& text, const QFontMetricsF& metrics, qreal maxWidth)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || metrics.horizontalAdvance(longer) <= maxWidth) {
                line = longer;
                continue;
            }
            lines.append(line);
            line = word;
        }
        lines.append(line);
    }
    return lines;
}

QFont THelpPopup::DefaultFont()
{
    return PopupFont(QString::fromLatin1(kDefaultFace), kDefaultPoints);
}

QFont THelpPopup::FontOf(const std::string& description)
{
    const auto comma = description.find(',');
    if (comma == std::string::npos)
        return DefaultFont();
    const std::string face = Trim(description.substr(0, comma));
    const int points = std::atoi(description.c_str() + comma + 1);
    if (face.empty() || points <= 0)
        return DefaultFont();
    return PopupFont(QString::fromStdString(face), points);
}

THelpPopup::THelpPopup(const QString& text, const QFont& font) : QWidget(nullptr, Qt::Popup), font_(font)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(font_);
    const QFontMetricsF metrics(font_);
    lines_ = BreakIntoLines(text, metrics, kMaxTextWidth);
    qreal widest = 0;
    for (const QString& line : lines_)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int height = WholePixels(metrics.height()) * static_cast<int>(lines_.size());
    setFixedSize(WholePixels(widest) + 2 * kHorizontalMargin, height + 2 * kVerticalMargin);
}

QRect THelpPopup::TextRect() const
{
    return rect().adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

THelpPopup* THelpPopup::ShowText(const std::string& text, QPoint at, const QFont& font)
{
    if (shown_)
        shown_->close();
    auto* popup = new THelpPopup(QString::fromStdString(text), font);
    // Kept on the screen that holds the point.
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - popup->width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - popup->height())));
    }
    popup->move(at);
    popup->show();
    shown_ = popup;
    return popup;
}

THelpPopup* THelpPopup::Shown()
{
    return shown_ && shown_->isVisible() ? shown_.data() : nullptr;
}

void THelpPopup::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(SystemColor(COLOR_INFOBK)));
    painter.setPen(ToQColor(SystemColor(COLOR_WINDOWFRAME)));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // Each line as it was measured: drawn whole, never wrapped again.
    painter.setFont(font_);
    painter.setPen(ToQColor(SystemColor(COLOR_INFOTEXT)));
    const QFontMetricsF metrics(font_);
    const int lineHeight = WholePixels(metrics.height());
    const QRect text = TextRect();
    int top = text.top();
    for (const QString& line : lines_) {
        painter.drawText(QPointF(text.left(), top + metrics.ascent()), line);
        top += lineHeight;
    }
}

void THelpPopup::mousePressEvent(QMouseEvent* /*event*/)
{
    close();
}

void THelpPopup::keyPressEvent(QKeyEvent* /*event*/)
{
    close();
}

}  // namespace velmoran
