// What the scripts of dialog tests do inside a ScriptedModalRunner: find a named control, type
// into it, click it, read its text, and save a window as a picture for a person to look at
// (build/artifacts/<suite>/<name>.png). Header-only, so that the artifacts folder is the one the
// including test program was built with.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <string>

namespace velmoran::testing {

// The window's control of that name (the window itself when it has the name); fails the test
// and returns null when there is none or it is of another kind.
template <typename T = QWidget>
T* Control(QWidget& window, const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    QWidget* found = window.objectName() == wanted ? &window : window.findChild<QWidget*>(wanted);
    T* control = dynamic_cast<T*>(found);
    if (!control)
        ADD_FAILURE() << "kein Steuerelement \"" << name << "\" der erwarteten Art";
    return control;
}

// Gives the control the focus (as a click would) and types the text into it key by key; an
// edit's old text is selected first, so that the typing replaces it.
inline void TypeInto(QWidget& window, const std::string& name, const QString& text)
{
    if (QWidget* control = Control(window, name)) {
        control->setFocus(Qt::MouseFocusReason);
        if (auto* edit = dynamic_cast<QLineEdit*>(control))
            edit->selectAll();
        QTest::keyClicks(control, text);
    }
}

// A left click in the middle of the control.
inline void ClickControl(QWidget& window, const std::string& name)
{
    if (QWidget* control = Control(window, name))
        QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
}

// The text an edit, a label or a button shows.
inline std::string ReadControl(QWidget& window, const std::string& name)
{
    QWidget* control = Control(window, name);
    if (auto* edit = dynamic_cast<QLineEdit*>(control))
        return edit->text().toStdString();
    if (auto* label = dynamic_cast<QLabel*>(control))
        return label->text().toStdString();
    if (auto* button = dynamic_cast<QAbstractButton*>(control))
        return button->text().toStdString();
    return {};
}

// A picture saved as <artifacts>/<suite>/<name>.png.
inline void SaveImage(const QImage& picture, const std::string& suite, const std::string& name)
{
    const QString folder = QStringLiteral(VELMORAN_ARTIFACTS "/") + QString::fromStdString(suite);
    QDir().mkpath(folder);
    EXPECT_TRUE(picture.save(folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png")));
}

// The widget as painted, saved as <artifacts>/<suite>/<name>.png; returns the picture.
inline QImage SaveArtifact(QWidget& widget, const std::string& suite, const std::string& name)
{
    QApplication::processEvents();
    const QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    SaveImage(shot, suite, name);
    return shot;
}

}  // namespace velmoran::testing
