// Embedded panels of OBJECT (and PANEL) elements: a window control the viewer's owner fills,
// placed in the text like an image. The document owns the object; the object frees its control.
// On screen a paint moves the control to its place; in print the owner draws it, or a framed
// box with the object's name stands for it.
#pragma once

#include "html/base/Attributes.h"
#include "html/layout/SectionBase.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TSectionList;

class TPanelObj : public TFloatingObj {
public:
    static constexpr int kDefaultWidth = 30;
    static constexpr int kDefaultHeight = 20;

    // From the element's attributes (NAME, TYPE, WIDTH, HEIGHT, ALIGN, HSPACE, VSPACE).
    TPanelObj(TSectionList* document, int position, const TAttributeList& attributes);
    // Hands the control to the owner's destroy event, then frees it.
    ~TPanelObj() override;

    // Asks the owner for the control, once the PARAM lines are known (no control without a
    // drawing surface or in a print copy).
    void CreatePanel();
    void DrawLogic(TSectionList* document, Canvas& canvas, const TFontObj* font, int availWidth,
                   int availHeight) override;
    void Draw(Canvas& canvas, int x, int y, const TFontObj* font) override;
    // The print copy's panel: the same size and fields, no control of its own.
    std::unique_ptr<TPanelObj> CreateCopy(TSectionList* document) const;
    // Shown by the layout: off-screen until a paint places it.
    void Park();
    void Hide();

    std::string Name;
    std::string Type;
    std::vector<std::string> AttributeLines;  // the element's attributes as NAME=VALUE
    std::vector<std::string> Params;          // the PARAM lines NAME=VALUE
    QPointer<QWidget> Panel;                  // the control (owned; null when there is none)
    QPointer<QWidget> PrintSource;            // in a print copy: the screen document's control
    bool Shown = false;                       // placed by the running paint
    TSectionList* Doc = nullptr;

private:
    TPanelObj() = default;
};

}  // namespace velmoran
