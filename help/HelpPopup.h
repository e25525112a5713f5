// The text pop-up of our help engine: a small framed window at a point that shows a plain text,
// broken into lines between words with the very font it paints with, so that the lines measured
// are the lines shown and every line fits. A click or a key closes it; one pop-up shows at a time.
#pragma once

#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <string>

class QFontMetricsF;

namespace velmoran {

// The lines of a text no wider than maxWidth: "\n" starts a line, others break at blanks only; a
// word wider than maxWidth stands alone on its line, whole.
QStringList BreakIntoLines(const QString& text, const QFontMetricsF& metrics, qreal maxWidth);

class THelpPopup : public QWidget {
public:
    // The pop-up's default font: "Liberation Sans", 8 points at 96 pixels per inch, no kerning.
    static QFont DefaultFont();
    // A font from "Face, points" (the HTML engine's form); the default for an empty or bad text.
    static QFont FontOf(const std::string& description);

    // Shows the text with its top left at `at` (moved onto the screen), closing the one shown.
    static THelpPopup* ShowText(const std::string& text, QPoint at, const QFont& font = DefaultFont());
    // The pop-up shown now, if any.
    static THelpPopup* Shown();

    THelpPopup(const QString& text, const QFont& font);

    const QStringList& Lines() const { return lines_; }
    // The font the lines were measured with and are painted with.
    const QFont& TextFont() const { return font_; }
    // Where the text lies inside the window.
    QRect TextRect() const;

    // The widest a text line may be.
    static constexpr int kMaxTextWidth = 300;
    static constexpr int kHorizontalMargin = 8;
    static constexpr int kVerticalMargin = 6;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFont font_;
    QStringList lines_;
    static QPointer<THelpPopup> shown_;
};

}  // namespace velmoran
