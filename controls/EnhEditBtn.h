// TEnhEditBtn: the typed edit with a small push button at its right edge (the folder fields'
// "..." button). A press on the button, or F4, fires OnClickBtn. The button is a holder widget
// (enhedit::TEditButton) around a speed button drawn by our own code (TEnhSpeedButton), flat
// with a raised or etched edge, or raised and sunken while down.
#pragma once

#include "controls/EnhEdit.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

namespace velmoran {

class Canvas;

class TEnhSpeedButton : public QAbstractButton {
public:
    explicit TEnhSpeedButton(QWidget* parent = nullptr);

    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    bool Etched() const { return etched_; }
    void SetEtched(bool on);
    // The hot state of the edit it serves.
    bool Focused() const { return focused_; }
    void SetFocused(bool on);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);

    void PaintTo(Canvas& canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool flat_ = false;
    bool etched_ = false;
    bool focused_ = false;
    QImage glyph_;
    TFont font_;
};

namespace enhedit {

// The holder of the edit's button: as wide as its button, which fills it. A press on the button
// fires OnClick (with the holder as sender) and then gives FocusControl the focus.
class TEditButton : public QWidget {
public:
    explicit TEditButton(QWidget* parent = nullptr);

    TEnhSpeedButton* Button() const { return button_; }
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int width);
    QWidget* FocusControl = nullptr;
    TNotifyEvent OnClick;
    // Keeps the holder as wide as its button and the button filling it; done whenever the
    // holder's bounds are set.
    void Fit();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Pressed();

    TEnhSpeedButton* button_;
    int buttonWidth_ = 16;
};

}  // namespace enhedit

class TEnhEditBtn : public TEnhEdit {
public:
    explicit TEnhEditBtn(QWidget* parent = nullptr);

    int ButtonWidth() const;
    void SetButtonWidth(int width);
    std::string ButtonHint() const;
    void SetButtonHint(const std::string& hint);
    std::string ButtonCaption() const;
    void SetButtonCaption(const std::string& caption);
    QImage Glyph() const;
    void SetGlyph(const QImage& glyph);
    // False blocks cut and paste.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool on) { editorEnabled_ = on; }
    void SetFlat(bool on) override;
    bool Etched() const;
    void SetEtched(bool on);
    // Kept for the forms; the edit with button draws no focus frame.
    bool FocusBorder() const { return focusBorder_; }
    void SetFocusBorder(bool on) { focusBorder_ = on; }
    enhedit::TEditButton* EditButton() const { return button_; }

    // The least height: the font's height and a quarter of the smaller of it and the
    // application font's.
    int MinimumEditHeight() const;

    // Fires OnClickBtn; from the button the sender is its holder, from F4 the edit.
    virtual void ClickBtn(QWidget* sender);
    TNotifyEvent OnClickBtn;

protected:
    bool ClipboardEditAllowed() const override { return editorEnabled_ && !isReadOnly(); }
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Relayout();

    enhedit::TEditButton* button_;
    bool editorEnabled_ = true;
    bool focusBorder_ = false;
};

}  // namespace velmoran
