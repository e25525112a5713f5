// What the tests of the typed edits share: German number settings, a window with a dialog to put
// edits on (shown and active, so that focus and keys work offscreen), and typing helpers that go
// through the edit's real key handling.
#pragma once

#include "ControlsTestSupport.h"

#include "platform/core/FormatSettings.h"

#include <QDialog>
#include <QKeyEvent>

#include <memory>
#include <string_view>

namespace velmoran::testing {

class EditsTest : public ControlsTest {
protected:
    EditsTest() : german_(FormatSettings::German())
    {
        dialog_ = std::make_unique<QDialog>();
        dialog_->resize(400, 300);
    }

    // Shows the dialog and makes it the active window.
    void Show()
    {
        dialog_->show();
        dialog_->activateWindow();
        QApplication::setActiveWindow(dialog_.get());
        QApplication::processEvents();
    }

    // A key press with its text (Enter and Backspace get theirs).
    static void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      QString text = QString())
    {
        if (text.isEmpty() && (key == Qt::Key_Return || key == Qt::Key_Enter))
            text = QStringLiteral("\r");
        if (text.isEmpty() && key == Qt::Key_Backspace)
            text = QStringLiteral("\b");
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(widget, &event);
    }

    // Types the characters one at a time.
    static void TypeText(QWidget* widget, std::u16string_view keys)
    {
        for (const char16_t ch : keys) {
            const QChar c(ch);
            const int key = c.isLetter() ? c.toUpper().unicode() : c.unicode();
            Press(widget, key, Qt::NoModifier, QString(c));
        }
    }

    ScopedFormatSettings german_;
    std::unique_ptr<QDialog> dialog_;
};

// The fixtures by control, so that each control's tests share one name.
class EnhEdit : public EditsTest {};
class EnhEditBtn : public EditsTest {};
class FolderDialog : public EditsTest {};
class EnhCombo : public EditsTest {};

}  // namespace velmoran::testing
