// The gallery page "edits": the folder settings as the program's dialog "Verzeichnisse" lays them
// out (two folder fields with "..." buttons that open the folder browser), typed edits with prefix
// and suffix, a flat underline, a soft border, a grey EmptyText and the error colours, an edit
// with a flat etched button, and the toolbars' flat etched combo boxes: a drop-down list showing
// "Standard.vst", a hot one, and the simple module list without a button.
#include "GalleryPages.h"

#include "controls/EnhCombo.h"
#include "controls/EnhEditBtn.h"
#include "controls/FolderDialog.h"
#include "platform/QtCanvas.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStandardPaths>

namespace velmoran::gallery {

namespace {

constexpr int kPageWidth = 780;
constexpr int kPageHeight = 560;
constexpr int kEditHeight = 21;

TFont BoldFont()
{
    TFont font;
    font.Bold = true;
    return font;
}

QLabel* AddHeading(QWidget* page, int x, int y, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), page);
    label->setFont(QtFontEngine::MakeQFont(BoldFont().Logical()));
    label->move(x, y);
    label->adjustSize();
    return label;
}

std::string DefaultFolder(QStandardPaths::StandardLocation location)
{
    QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty())
        base = QDir::homePath();
    return QDir::cleanPath(base + QStringLiteral("/Velmoran")).toStdString();
}

// One folder field of the dialog: a label above, the folder, a "..." button that opens the
// browser at the field's folder and shows the folder picked.
TEnhEditBtn* AddFolderField(QWidget* box, int y, const char* caption, const std::string& folder,
                            TFolderDialog* browser, const char* name)
{
    auto* edit = new TEnhEditBtn(box);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(12, y, 336, kEditHeight);
    edit->SetButtonWidth(16);
    edit->SetButtonCaption("...");
    edit->SetLabelPosition(TLabelPosition::lpTopLeft);
    edit->SetLabelMargin(2);
    edit->SetLabelCaption(caption);
    edit->SetText(folder);
    edit->OnClickBtn = [edit, browser](QWidget*) {
        browser->SetDirectory(edit->Text());
        if (browser->Execute())
            edit->SetText(browser->Directory());
    };
    return edit;
}

void AddFolderSettings(QWidget* page)
{
    AddHeading(page, 10, 10, "Verzeichnisse");
    auto* box = new QFrame(page);
    box->setFrameStyle(QFrame::Panel | QFrame::Raised);
    box->setGeometry(10, 30, 360, 150);
    auto* dataBrowser = new TFolderDialog(box);
    auto* templateBrowser = new TFolderDialog(box);
    templateBrowser->SetTitle("Verzeichnis für Bildschirm- und Druckvorlagen");
    templateBrowser->SetOptions(fdoNewDialogStyle | fdoNoNewFolderButton);
    AddFolderField(box, 28, "Berechnungsdaten", DefaultFolder(QStandardPaths::DocumentsLocation), dataBrowser,
                   "dataPath");
    AddFolderField(box, 78, "Bildschirm- und Druckvorlagen", DefaultFolder(QStandardPaths::GenericDataLocation),
                   templateBrowser, "templatePath");
    auto* ok = new QPushButton(QStringLiteral("OK"), box);
    ok->setGeometry(192, 116, 75, 25);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), box);
    cancel->setGeometry(273, 116, 75, 25);
}

TEnhEdit* AddTypedEdit(QWidget* page, int y, const char* caption)
{
    auto* edit = new TEnhEdit(page);
    edit->setGeometry(560, y, 200, kEditHeight);
    edit->SetLabelPosition(TLabelPosition::lpLeftCenter);
    edit->SetLabelTransparent(true);
    edit->SetLabelCaption(caption);
    return edit;
}

void AddTypedEdits(QWidget* page)
{
    AddHeading(page, 400, 10, "Eingabefelder");
    int y = 34;
    const int step = 30;

    TEnhEdit* flow = AddTypedEdit(page, y, "Zufluss");
    flow->SetEditType(TEnhEditType::etFloat);
    flow->SetPrecision(1);
    flow->SetPrefix("Q = ");
    flow->SetSuffix(" m³/d");
    flow->SetEditAlign(TEditAlign::eaRight);
    flow->SetFloatValue(4520);

    TEnhEdit* cost = AddTypedEdit(page, y += step, "Kosten");
    cost->SetEditType(TEnhEditType::etMoney);
    cost->SetPrecision(2);
    cost->SetSuffix(" €");
    cost->SetEditAlign(TEditAlign::eaRight);
    cost->SetFloatValue(1234567.5);

    TEnhEdit* line = AddTypedEdit(page, y += step, "Flach, Linie");
    line->setObjectName(QStringLiteral("flatLine"));
    line->SetEditType(TEnhEditType::etNumeric);
    line->SetFlat(true);
    line->SetText("42");

    TEnhEdit* soft = AddTypedEdit(page, y += step, "Weicher Rahmen");
    soft->setObjectName(QStringLiteral("softBorder"));
    soft->SetFlat(true);
    soft->SetSoftBorder(true);
    soft->SetFlatLineColor(SystemColor(COLOR_BTNSHADOW));
    soft->SetText("Kläranlage Nord");

    TEnhEdit* empty = AddTypedEdit(page, y += step, "Projekt");
    empty->setObjectName(QStringLiteral("emptyText"));
    empty->SetEmptyText("Projektname eingeben");

    TEnhEdit* wrong = AddTypedEdit(page, y += step, "Fehler");
    wrong->setObjectName(QStringLiteral("error"));
    wrong->SetEditType(TEnhEditType::etNumeric);
    wrong->SetSigned(true);
    wrong->SetShowError(true);
    wrong->OnValueValidate = [](QWidget*, const std::string& value, bool& valid) {
        valid = !value.empty() && value.front() != '-';
    };
    wrong->SetText("-5");

    TEnhEdit* upper = AddTypedEdit(page, y += step, "Großschrift");
    upper->SetEditType(TEnhEditType::etUppercase);
    upper->SetText("BELEBUNGSBECKEN");

    TEnhEdit* disabled = AddTypedEdit(page, y += step, "Gesperrt");
    disabled->SetText("nicht änderbar");
    disabled->setEnabled(false);

    auto* button = new TEnhEditBtn(page);
    button->setGeometry(560, y += step, 200, kEditHeight);
    button->SetLabelPosition(TLabelPosition::lpLeftCenter);
    button->SetLabelTransparent(true);
    button->SetLabelCaption("Flach, Knopf");
    button->SetFlat(true);
    button->SetEtched(true);
    button->SetButtonWidth(18);
    button->SetButtonCaption("...");
    button->SetText("Standard.vpt");
}

TEnhComboBox* AddCombo(QWidget* page, int y, TComboBoxStyle style, const std::vector<std::string>& items, int index)
{
    auto* combo = new TEnhComboBox(page);
    combo->setGeometry(130, y, 220, kEditHeight);
    combo->SetStyle(style);
    combo->SetFlat(true);
    combo->SetEtched(true);
    combo->SetButtonWidth(18);
    combo->SetItems(items);
    combo->SetItemIndex(index);
    return combo;
}

void AddComboLabel(QWidget* page, int y, const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), page);
    label->setFont(QtFontEngine::MakeQFont(TFont().Logical()));
    label->move(10, y + 4);
    label->adjustSize();
}

void AddCombos(QWidget* page)
{
    AddHeading(page, 10, 210, "Auswahllisten");
    int y = 236;
    AddComboLabel(page, y, "Bildschirmvorlage");
    TEnhComboBox* screen =
        AddCombo(page, y, TComboBoxStyle::csDropDownList, {"Ausführlich.vst", "Kurz.vst", "Standard.vst"}, 2);
    screen->setObjectName(QStringLiteral("screenTemplates"));

    AddComboLabel(page, y += 30, "Druckvorlage (heiß)");
    TEnhComboBox* print = AddCombo(page, y, TComboBoxStyle::csDropDownList, {"Kurz.vpt", "Standard.vpt"}, 1);
    print->setObjectName(QStringLiteral("hotCombo"));
    // As if the mouse stood on it.
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), print->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(print, &enter);

    AddComboLabel(page, y += 30, "Modul");
    TEnhComboBox* modules = AddCombo(page, y, TComboBoxStyle::csSimple, {"Bemessung nach HSG"}, 0);
    modules->setObjectName(QStringLiteral("modules"));

    AddComboLabel(page, y += 30, "Zoom");
    AddCombo(page, y, TComboBoxStyle::csDropDownList,
             {"Ganze Seite", "Seitenbreite", "Individuell", " 25 % ", " 50 %", " 75 %", "100 %", "125 %", "150 %",
              "200 %", "300 %", "400 %"},
             6);

    AddComboLabel(page, y += 30, "Modul, hoch");
    TEnhComboBox* tall = AddCombo(page, y, TComboBoxStyle::csSimple,
                                  {"Bemessung nach HSG", "Nachklärbecken", "Belüftung"}, 0);
    tall->resize(220, 80);
}

}  // namespace

std::unique_ptr<QWidget> MakeEditsPage()
{
    auto page = std::make_unique<QWidget>();
    page->setWindowTitle(QStringLiteral("Eingabefelder"));
    page->resize(kPageWidth, kPageHeight);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    page->setPalette(palette);
    page->setAutoFillBackground(true);
    page->setFont(QtFontEngine::MakeQFont(TFont().Logical()));
    AddFolderSettings(page.get());
    AddTypedEdits(page.get());
    AddCombos(page.get());
    return page;
}

}  // namespace velmoran::gallery
