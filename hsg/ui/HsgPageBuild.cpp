// The controls of the design module's six input pages: creation, texts and places. Every text of
// the pages comes from the string table; the captions and units of the results and the units of
// the inputs are the module's own. Inputs stand in the left column of a page, results in the
// right one; everything fits the dialog's 640 by 490 pixels.
#include "hsg/ui/HsgPages.h"

#include "controls/AlignedGrid.h"
#include "controls/DateEdit.h"
#include "controls/HtmlRadioButton.h"
#include "framework/ui/DisplayClasses.h"
#include "framework/ui/EditFloat.h"
#include "framework/ui/PageControl.h"
#include "framework/ui/VarFrame.h"
#include "hsg/ui/HsgTexts.h"
#include "platform/Cp1252Input.h"
#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "platform/WheelToFocus.h"
#include "platform/core/Text.h"

#include <QBoxLayout>
#include <QFontMetrics>

#include <string>

namespace velmoran {

int CaptionLines(const QFont& font, const std::string& html, int width)
{
    std::string plain;
    bool inTag = false;
    int lines = 1;
    int longest = 0;
    const QFontMetrics metrics(font);
    auto endLine = [&] {
        longest = std::max(longest, metrics.horizontalAdvance(QString::fromStdString(plain)));
        lines += longest > width - 4 ? 1 : 0;
        longest = 0;
        plain.clear();
    };
    const std::string lower = LowerCase(html);
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            if (lower.compare(i, 4, "<br>") == 0) {
                endLine();
                ++lines;
            }
            inTag = true;
        } else if (html[i] == '>') {
            inTag = false;
        } else if (!inTag) {
            plain += html[i];
        }
    }
    endLine();
    return lines;
}

namespace {

constexpr int kLeft = 8;
constexpr int kColumnWidth = 300;
constexpr int kRight = 330;
constexpr int kGroupHeight = 18;
constexpr int kRowHeight = 21;
constexpr int kLineHeight = 17;
constexpr ColorRef kGroupBack = RGBRef(208, 216, 240);
constexpr ColorRef kNavy = RGBRef(0, 0, 128);

QString Text(int id) { return QString::fromStdString(LoadStr(id)); }

void SetColours(QWidget& widget, ColorRef text, ColorRef back = kNoColor)
{
    QPalette colours = widget.palette();
    colours.setColor(QPalette::WindowText, QColor::fromRgb(ColorToQRgb(text)));
    if (back != kNoColor) {
        colours.setColor(QPalette::Window, QColor::fromRgb(ColorToQRgb(back)));
        widget.setAutoFillBackground(true);
    }
    widget.setPalette(colours);
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    return label;
}

// A group caption: one blank before the text, bold navy on a light band across the column.
QLabel* NewGroupCaption(QWidget* parent, const char* name, int id, int x, int y, int width = kColumnWidth)
{
    QLabel* caption = NewLabel(parent, name, QStringLiteral(" ") + Text(id), QRect(x, y, width, kGroupHeight));
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    SetColours(*caption, kNavy, kGroupBack);
    return caption;
}

// A number input of the pages: text that is no number is refused where it was typed, naming
// the field, never stored as the missing 0.
void RefuseNoNumber(TEditFloat& edit, const std::string& fieldName)
{
    edit.CheckOnExit = true;
    if (!fieldName.empty())
        edit.FieldName = fieldName;
}

TEditFloat* NewEdit(QWidget* parent, const char* name, const QRect& place, const std::string& fieldName)
{
    auto* edit = new TEditFloat(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(place);
    RefuseNoNumber(*edit, fieldName);
    return edit;
}


// Places a value frame and its parts: the caption gets as many lines as its text needs, the hint
// line and the edit row follow below it. Returns the frame's bottom.
int PlaceFrame(TVarFrame& frame, int x, int y, int width = kColumnWidth)
{
    const int captionHeight = kLineHeight * CaptionLines(frame.font(), frame.Bezeichnung(), width);
    int top = captionHeight;
    frame.FBezeichnung->setGeometry(0, 0, width, captionHeight);
    if (frame.FHinweis) {
        frame.FHinweis->setGeometry(0, top, width, kLineHeight);
        top += kLineHeight;
    }
    top += 1;
    frame.Edit->move(frame.Edit->x(), top);
    frame.FPrompt->move(frame.FPrompt->x(), top);
    frame.FEinheit->move(frame.FEinheit->x(), top - 1);
    frame.setGeometry(x, y, width, top + 19);
    return y + top + 19 + 2;
}

template <typename Frame>
Frame* NewFrame(QWidget* parent, const char* name, const std::string& caption, const char* unit)
{
    auto* frame = new Frame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->SetBezeichnung(caption);
    RefuseNoNumber(*frame->Edit, {});
    frame->SetPrompt(LoadStr(sHsgChosen));
    frame->SetEinheit(unit);
    return frame;
}

// A frame at (x, y) in the column; `y` moves below it.
TVarFrame* AddFrame(QWidget* parent, const char* name, int captionId, const char* unit, int x, int& y,
                    int width = kColumnWidth)
{
    TVarFrame* frame = NewFrame<TVarFrame2>(parent, name, LoadStr(captionId), unit);
    y = PlaceFrame(*frame, x, y, width);
    return frame;
}

// A drop-down list of fixed items with its "Gewählt:" label, in the edit row of a frame.
QComboBox* AddChoice(QWidget* parent, const char* name, const char* labelName, int firstItem, int itemCount, int x,
                     int y)
{
    auto* chosen = new TLabelChoice(parent);
    chosen->setObjectName(QString::fromLatin1(labelName));
    chosen->setText(Text(sHsgChosen));
    chosen->setGeometry(x + 2, y + 2, 58, kLineHeight);
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    for (int item = 0; item < itemCount; ++item)
        box->addItem(Text(firstItem + item));
    box->setGeometry(x + 62, y, 220, 21);
    // The wheel that scrolls past the box changes no choice.
    KeepWheelToFocus(*box);
    return box;
}

// A result row: caption, value (right-aligned) and unit. Returns the value label.
QLabel* AddResult(QWidget* parent, const char* name, const char* caption, const char* unit, int x, int& y,
                  int captionWidth = 190)
{
    NewLabel(parent, "", QString::fromUtf8(caption), QRect(x + 4, y, captionWidth, kRowHeight - 2));
    QLabel* value = NewLabel(parent, name, QStringLiteral("-"), QRect(x + 4 + captionWidth, y, 56, kRowHeight - 2));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NewLabel(parent, "", QString::fromUtf8(unit), QRect(x + 66 + captionWidth, y, 40, kRowHeight - 2));
    y += kRowHeight;
    return value;
}

// A message panel with its message label; the module never has messages, so both stay hidden.
QFrame* AddMessagePanel(QWidget* parent, const char* name, const char* viewName, QLabel*& view, const QRect& place)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Box);
    panel->setGeometry(place);
    view = NewLabel(panel, viewName, {}, QRect(4, 4, place.width() - 8, place.height() - 8));
    panel->hide();
    return panel;
}

QLabel* AddResultHeading(QWidget* parent, const char* name, int y)
{
    QLabel* heading = NewLabel(parent, name, Text(sHsgResult), QRect(kRight, y, kColumnWidth, kGroupHeight));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    SetColours(*heading, RGBRef(128, 0, 0));
    return heading;
}

// The body of a page: the area below its title band.
QWidget* PageBody(TPageControl& pages, int index)
{
    TTabSheet* page = pages.Pages(index);
    auto* body = new QWidget(page);
    body->setObjectName(QStringLiteral("pnlPage%1").arg(index + 1));
    static_cast<QBoxLayout*>(page->layout())->addWidget(body, 1);
    return body;
}

TTabSheet* AddSheet(TPageControl& pages, const char* name)
{
    TTabSheet* sheet = pages.AddPage();
    sheet->setObjectName(QString::fromLatin1(name));
    return sheet;
}

void BuildGeneralPage(QWidget* body, THsgPageControls& c)
{
    NewGroupCaption(body, "lbBT11", sHsgGroup11, kLeft, 8, 624);
    NewLabel(body, "lbProjBez", Text(sHsgProjBez), QRect(kLeft + 4, 34, 150, kLineHeight));
    NewLabel(body, "lbBearb", Text(sHsgBearb), QRect(kLeft + 4, 62, 150, kLineHeight));
    NewLabel(body, "lbDatum", Text(sHsgDatum), QRect(kLeft + 4, 90, 150, kLineHeight));
    c.edBez = new QLineEdit(body);
    c.edBez->setObjectName(QStringLiteral("edBez"));
    c.edBez->setGeometry(170, 32, 454, 21);
    c.edBearb = new QLineEdit(body);
    c.edBearb->setObjectName(QStringLiteral("edBearb"));
    c.edBearb->setGeometry(170, 60, 454, 21);
    // Saved in Windows-1252: the fields take nothing the file could not hold.
    KeepToCp1252(*c.edBez);
    KeepToCp1252(*c.edBearb);
    c.edDatum = new TDateEdit(body);
    c.edDatum->setObjectName(QStringLiteral("edDatum"));
    c.edDatum->DefaultToday = true;
    // Text that is no date is refused where it was typed, never swapped for today in silence.
    c.edDatum->CheckOnExit = true;
    c.edDatum->SetDialogTitle(LoadStr(sHsgDateDialogTitle));
    c.edDatum->SetYearDigits(TYearDigits::dyFour);
    c.edDatum->SetCalendarStyle(TCalendarStyle::csPopup);
    c.edDatum->SetGlyphKind(TGlyphKind::gkDropDown);
    c.edDatum->SetNumGlyphs(1);
    c.edDatum->setGeometry(170, 88, 110, 21);

    NewGroupCaption(body, "lbBT12", sHsgGroup12, kLeft, 128, 624);
    auto radio = [&](const char* name, int id, int y) {
        auto* button = new THtmlRadioButton(body);
        button->setObjectName(QString::fromLatin1(name));
        button->SetCaption(LoadStr(id));
        button->SetGroupIndex(1);
        const QColor page = body->palette().color(QPalette::Window);
        button->SetColor(RGBRef(page.red(), page.green(), page.blue()));
        button->setGeometry(kLeft + 4, y, 240, 20);
        return button;
    };
    c.rbKonz = radio("rbKonz", sHsgKonz, 154);
    c.rbFracht = radio("rbFracht", sHsgFracht, 178);
}

// One inflow page: its caption and the eight rows with the edits of `names`.
void BuildInflowSheet(QWidget* sheet, const char* captionName, int captionId, const char* const (&names)[8],
                      const char* const (&units)[8], std::array<TEditFloat*, 8>& edits)
{
    NewGroupCaption(sheet, captionName, captionId, 0, 0, 624);
    for (int row = 0; row < 8; ++row) {
        const int y = 24 + row * kRowHeight;
        NewLabel(sheet, "", Text(sHsgInflowRow1 + row), QRect(4, y + 2, 280, kLineHeight));
        edits[row] = NewEdit(sheet, names[row], QRect(292, y, 70, 19),
                             LoadStr(sHsgInflowRow1 + row) + " (" + LoadStr(captionId) + ")");
        NewLabel(sheet, "", QString::fromUtf8(units[row]), QRect(368, y + 2, 60, kLineHeight));
    }
}

void BuildInflowPage(QWidget* body, THsgPageControls& c)
{
    NewGroupCaption(body, "lbBT21", sHsgGroup21, kLeft, 8, 624);
    NewLabel(body, "lbQD", Text(sHsgQD), QRect(kLeft + 4, 34, 280, kLineHeight));
    c.edQD = NewEdit(body, "edQD", QRect(kLeft + 292, 32, 70, 19), LoadStr(sHsgGroup21) + " " + LoadStr(sHsgQD));
    NewLabel(body, "", QStringLiteral("m³/d"), QRect(kLeft + 368, 34, 60, kLineHeight));

    c.pcKF = new TPageControl(body);
    c.pcKF->setObjectName(QStringLiteral("pcKF"));
    c.pcKF->setGeometry(kLeft, 64, 624, 24 + 8 * kRowHeight + 4);
    c.tsKonz = AddSheet(*c.pcKF, "tsKonz");
    c.tsFracht = AddSheet(*c.pcKF, "tsFracht");
    BuildInflowSheet(c.tsKonz, "lbBT22", sHsgGroup22,
                     {"edCBSBzb", "edXTSzb", "edCTKNzb", "edSNH4zb", "edSNO3zb", "edCPzb", "edSO2zb", "edSKSzb"},
                     {"mg/l", "mg/l", "mg/l", "mg/l", "mg/l", "mg/l", "mg/l", "mmol/l"}, c.Konz);
    BuildInflowSheet(c.tsFracht, "lbBT22a", sHsgGroup22a,
                     {"edBDBSBzb", "edBDXTSzb", "edBDTKNzb", "edBDNH4zb", "edBDNO3zb", "edBDPzb", "edBDO2zb", "edKSzb"},
                     {"kg/d", "kg/d", "kg/d", "kg/d", "kg/d", "kg/d", "kg/d", "mmol/l"}, c.Fracht);

    const int y = 64 + 24 + 8 * kRowHeight + 12;
    NewGroupCaption(body, "lbBT23", sHsgGroup23, kLeft, y, 624);
    NewLabel(body, "lbSH", Text(sHsgSH), QRect(kLeft + 4, y + 26, 280, kLineHeight));
    c.edSH = NewEdit(body, "edSH", QRect(kLeft + 292, y + 24, 70, 19), LoadStr(sHsgSH));
    NewLabel(body, "", QStringLiteral("-"), QRect(kLeft + 368, y + 26, 60, kLineHeight));
    c.MsgBoxZB = AddMessagePanel(body, "MsgBoxZB", "MsgZB", c.MsgZB, QRect(kLeft, 380, 624, 48));
}

void BuildPhosphorusPage(QWidget* body, THsgPageControls& c)
{
    NewGroupCaption(body, "lbBT31", sHsgGroup31, kLeft, 8);
    int y = 30;
    c.VarTSBB = AddFrame(body, "VarTSBB", sHsgVarTSBB, "kg/m³", kLeft, y);
    c.VarT = AddFrame(body, "VarT", sHsgVarT, "°C", kLeft, y);
    y += 8;
    NewGroupCaption(body, "lbBT32", sHsgGroup32, kLeft, y);
    NewLabel(body, "lbFM", Text(sHsgFM), QRect(kLeft, y + 22, kColumnWidth, kLineHeight));
    c.cbxFM = AddChoice(body, "cbxFM", "lcFM", sHsgFM0, 4, kLeft, y + 40);
    y += 66;
    c.VarEtaPbio = AddFrame(body, "VarEtaPbio", sHsgVarEtaPbio, "%", kLeft, y);
    c.VarBeta = AddFrame(body, "VarBeta", sHsgVarBeta, "mol/mol", kLeft, y);

    AddResultHeading(body, "lbRes0301", 8);
    y = 30;
    c.stCPzb = AddResult(body, "stCPzb", "Phosphor im Zulauf", "mg/l", kRight, y);
    c.stXPBM = AddResult(body, "stXPBM", "In der Biomasse gebunden", "mg/l", kRight, y);
    c.stPF = AddResult(body, "stPF", "Durch Fällung zu entfernen", "mg/l", kRight, y);
    c.stSPO4an = AddResult(body, "stSPO4an", "Phosphat im Ablauf", "mg/l", kRight, y);
    c.stFM = AddResult(body, "stFM", "Fällmittelbedarf (Metall)", "kg/d", kRight, y);
    c.MsgBoxV1 = AddMessagePanel(body, "MsgBoxV1", "MsgV1", c.MsgV1, QRect(kRight, 380, kColumnWidth, 48));
}

// The nitrogen page's captions are the longest: its inputs take a wider column, its results a
// narrower one.
void BuildNitrogenPage(QWidget* body, THsgPageControls& c)
{
    constexpr int kWide = 360;
    constexpr int kResults = kLeft + kWide + 8;
    constexpr int kCaption = 150;
    NewGroupCaption(body, "lbBT41", sHsgGroup41, kLeft, 8, kWide);
    int y = 30;
    c.VarSFH = NewFrame<TVarFrame3>(body, "VarSFH", LoadStr(sHsgVarSFH), "-");
    c.VarSFH->SetHinweis(LoadStr(sHsgSFHHint));
    y = PlaceFrame(*c.VarSFH, kLeft, y, kWide);
    c.VarSNH4ansp = AddFrame(body, "VarSNH4ansp", sHsgVarSNH4ansp, "mg/l", kLeft, y, kWide);
    c.VarSorgNan = AddFrame(body, "VarSorgNan", sHsgVarSorgNan, "mg/l", kLeft, y, kWide);
    y += 4;
    NewGroupCaption(body, "lbBT42", sHsgGroup42, kLeft, y, kWide);
    NewLabel(body, "lbDeniVerf", Text(sHsgDeniVerf), QRect(kLeft, y + 20, kWide, kLineHeight));
    c.cbxDV = AddChoice(body, "cbxDV", "lcDV", sHsgDV0, 4, kLeft, y + 37);
    y += 61;
    c.VarSNO3an = AddFrame(body, "VarSNO3an", sHsgVarSNO3an, "mg/l", kLeft, y, kWide);
    c.VarSO2RF = AddFrame(body, "VarSO2RF", sHsgVarSO2RF, "mg/l", kLeft, y, kWide);

    AddResultHeading(body, "lbRes0401", 8)->move(kResults, 8);
    y = 30;
    c.resTTS = AddResult(body, "resTTS", "Schlammalter", "d", kResults, y, kCaption);
    c.resVBB = AddResult(body, "resVBB", "Beckenvolumen", "m³", kResults, y, kCaption);
    c.resVDV = AddResult(body, "resVDV", "Denitrifikationsanteil", "%", kResults, y, kCaption);
    c.resVN = AddResult(body, "resVN", "Nitrifikationsvolumen", "m³", kResults, y, kCaption);
    c.resVD = AddResult(body, "resVD", "Denitrifikationsvolumen", "m³", kResults, y, kCaption);
    c.resRF = AddResult(body, "resRF", "Interne Rückführung", "%", kResults, y, kCaption);
    c.resXNBM = AddResult(body, "resXNBM", "N in der Biomasse", "mg/l", kResults, y, kCaption);
    c.resSNH4N = AddResult(body, "resSNH4N", "Zu nitrifizierender N", "mg/l", kResults, y, kCaption);
    c.resSNO3D = AddResult(body, "resSNO3D", "Zu denitrifizierender N", "mg/l", kResults, y, kCaption);
    c.resUESC = AddResult(body, "resUESC", "Schlamm aus C-Abbau", "kg/d", kResults, y, kCaption);
    c.resUESF = AddResult(body, "resUESF", "Schlamm aus Fällung", "kg/d", kResults, y, kCaption);
    c.resUES = AddResult(body, "resUES", "Überschussschlamm", "kg/d", kResults, y, kCaption);
    c.MsgBoxV2 = AddMessagePanel(body, "MsgBoxV2", "MsgV2", c.MsgV2, QRect(kResults, 380, 624 - kResults, 48));
}

void BuildOxygenPage(QWidget* body, THsgPageControls& c)
{
    NewGroupCaption(body, "lbBT51", sHsgGroup51, kLeft, 8);
    int y = 30;
    c.VarCX = AddFrame(body, "VarCX", sHsgVarCX, "mg/l", kLeft, y);
    c.VarFC = AddFrame(body, "VarFC", sHsgVarFC, "-", kLeft, y);
    c.VarFN = AddFrame(body, "VarFN", sHsgVarFN, "-", kLeft, y);

    AddResultHeading(body, "lbRes0501", 8);
    y = 30;
    c.lbOVc = AddResult(body, "lbOVc", "Sauerstoffverbrauch C-Abbau", "kg/d", kRight, y);
    c.lbOVn = AddResult(body, "lbOVn", "Sauerstoffverbrauch Nitrifikation", "kg/d", kRight, y);
    c.lbOVd = AddResult(body, "lbOVd", "Gutschrift Denitrifikation", "kg/d", kRight, y);
    c.lbOV = AddResult(body, "lbOV", "Sauerstoffverbrauch gesamt", "kg/d", kRight, y);
    c.lbOVh = AddResult(body, "lbOVh", "Maßgebender Stundenbedarf", "kg/h", kRight, y);
    c.lbOCh = AddResult(body, "lbOCh", "Erforderliche Sauerstoffzufuhr", "kg/h", kRight, y);
}

void BuildAcidCapacityGrid(QWidget* body, THsgPageControls& c, int y)
{
    auto* grid = new TAlignedGrid(body);
    c.KSGrid = grid;
    grid->setObjectName(QStringLiteral("KSGrid"));
    grid->SetColCount(3);
    grid->SetRowCount(kKSRows);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetOptions(grid->Options() & ~GridOptions(goEditing | goRangeSelect));
    grid->SetEditable(false);
    // Results only: a paste or a cut through the clipboard keys changes none of its cells.
    grid->RespectEditability = true;
    grid->SetDrawSelection(false);
    grid->SetScrollBars(TScrollStyle::None);
    grid->SetDefaultRowHeight(19);
    grid->SetColWidths(0, 188);
    grid->SetColWidths(1, 52);
    grid->SetColWidths(2, 52);
    grid->SetAlignCol(1, TAlignedGrid::TMyAlign::agRight);
    for (int row = 0; row < kKSRows; ++row) {
        grid->SetCells(0, row, LoadStr(sHsgKSRow0 + row));
        grid->SetCells(2, row, row == kKSRowPh ? std::string("-") : LoadStr(sHsgKSUnit));
    }
    // The cells, a grid line after each, and the frame: no empty band right or below.
    const int frame = 2 * grid->frameWidth();
    grid->setGeometry(kRight - 16, y, 188 + 52 + 52 + 3 + frame, kKSRows * 20 + frame);
}

void BuildAerationPage(QWidget* body, THsgPageControls& c)
{
    NewGroupCaption(body, "lbBT61", sHsgGroup61, kLeft, 8);
    NewLabel(body, "lbBelArt", Text(sHsgBelArt), QRect(kLeft, 28, kColumnWidth, kLineHeight));
    c.cbxAT = AddChoice(body, "cbxAT", "lcAT", sHsgAT0, 2, kLeft, 45);

    c.pcAeration = new TPageControl(body);
    c.pcAeration->setObjectName(QStringLiteral("pcAeration"));
    c.tsDiffAer = AddSheet(*c.pcAeration, "tsDiffAer");
    c.tsSurfAer = AddSheet(*c.pcAeration, "tsSurfAer");
    int y = 0;
    c.VarHE = AddFrame(c.tsDiffAer, "VarHE", sHsgVarHE, "m", 0, y);
    c.VarAlpha = AddFrame(c.tsDiffAer, "VarAlpha", sHsgVarAlpha, "-", 0, y);
    c.VarSSA = AddFrame(c.tsDiffAer, "VarSSA", sHsgVarSSA, "%/m", 0, y);
    c.VarSSA100 = AddFrame(c.tsDiffAer, "VarSSA100", sHsgVarSSA100, "%/m", 0, y);
    int surface = 0;
    c.VarAlphaS = AddFrame(c.tsSurfAer, "VarAlphaS", sHsgVarAlpha, "-", 0, surface);
    // The oxygen yield of surface aerators has no description among the module's texts: ours.
    c.VarOP100 = NewFrame<TVarFrame2>(c.tsSurfAer, "VarOP100", "Sauerstoffertrag in Reinwasser", "kg/kWh");
    PlaceFrame(*c.VarOP100, 0, surface);
    c.pcAeration->setGeometry(kLeft, 74, kColumnWidth, y);

    y += 74 + 8;
    QLabel* heading = AddResultHeading(body, "lbRes0601", y);
    heading->move(kLeft, y);
    y += 22;
    c.lbOCRW = AddResult(body, "lbOCRW", "Sauerstoffzufuhr in Reinwasser", "kg/h", kLeft, y);
    c.pnlQLN = new QFrame(body);
    c.pnlQLN->setObjectName(QStringLiteral("pnlQLN"));
    c.pnlQLN->setGeometry(kLeft, y, kColumnWidth + 20, kRowHeight);
    int inPanel = 0;
    c.lbQLN = AddResult(c.pnlQLN, "lbQLN", "Luftvolumenstrom", "m³/h", 0, inPanel);

    QLabel* title = NewLabel(body, "lbKSresult", Text(sHsgKSresult), QRect(kRight - 16, 8, 300, kGroupHeight));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    SetColours(*title, kNavy, kGroupBack);
    BuildAcidCapacityGrid(body, c, 30);
    c.MsgBoxKS = AddMessagePanel(body, "MsgBoxKS", "MsgKS", c.MsgKS, QRect(kRight, 380, kColumnWidth, 48));
}

}  // namespace

void BuildHsgPages(TPageControl& pages, THsgPageControls& controls)
{
    BuildGeneralPage(PageBody(pages, 0), controls);
    BuildInflowPage(PageBody(pages, 1), controls);
    BuildPhosphorusPage(PageBody(pages, 2), controls);
    BuildNitrogenPage(PageBody(pages, 3), controls);
    BuildOxygenPage(PageBody(pages, 4), controls);
    BuildAerationPage(PageBody(pages, 5), controls);
}

}  // namespace velmoran
