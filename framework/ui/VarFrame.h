// The input frames of the module dialogs' pages: one float edit with an HTML caption above it, a
// prompt left of it and an HTML unit right of it (TVarFrame2); TVarFrame3 adds an HTML hint line
// under the caption. The design module places dozens of them on its pages.
#pragma once

#include "controls/HtmlLabel.h"
#include "framework/ui/EditFloat.h"

#include <QLabel>
#include <QWidget>

#include <string>
#include <string_view>

namespace velmoran {

// A caption's HTML as a field's name in a message: line breaks become blanks, a subscript is
// written after "_" ("TS<sub>BB</sub>" is "TS_BB"), other tags go.
std::string PlainFieldName(std::string_view html);

// What both frames share; the dialog treats any frame as one control whose edit takes the focus.
class TVarFrame : public QWidget {
public:
    THtmlLabel* FBezeichnung;
    THtmlLabel* FHinweis = nullptr;
    TEditFloat* Edit;
    QLabel* FPrompt;
    THtmlLabel* FEinheit;

    // The labels' whole HTML texts: reading returns them, writing replaces them.
    std::string Bezeichnung() const { return FBezeichnung->HTMLText(); }
    // Also names the edit's field in its messages.
    void SetBezeichnung(const std::string& text);
    std::string Prompt() const { return FPrompt->text().toStdString(); }
    void SetPrompt(const std::string& text) { FPrompt->setText(QString::fromStdString(text)); }
    std::string Einheit() const { return FEinheit->HTMLText(); }
    void SetEinheit(const std::string& text) { FEinheit->SetHTMLText(text); }
    // The edit's value; writing goes through the edit's SetValue.
    double Value() const { return Edit->Value(); }
    void SetValue(double value) { Edit->SetValue(value); }

protected:
    // Lays the parts out with the edit row at editTop; withHint adds the hint line.
    TVarFrame(QWidget* parent, int height, int editTop, bool withHint);
};

class TVarFrame2 : public TVarFrame {
public:
    explicit TVarFrame2(QWidget* parent = nullptr);
};

class TVarFrame3 : public TVarFrame {
public:
    explicit TVarFrame3(QWidget* parent = nullptr);
    std::string Hinweis() const { return FHinweis->HTMLText(); }
    void SetHinweis(const std::string& text) { FHinweis->SetHTMLText(text); }
};

}  // namespace velmoran
