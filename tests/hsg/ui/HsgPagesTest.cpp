// The six input pages of the design dialog on the example calculation: every shown text against
// the reference, the page texts from the string table, a look through every page that changes
// nothing, and the inputs that store into the edit copies (flow, process, precipitant, aeration,
// loads, a value confirmed by OK, the date field).
#include "ModuleDialogFixture.h"
#include "PageTexts.h"

#include "controls/DateEdit.h"
#include "hsg/ui/HsgPages.h"
#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"
#include "framework/CommonRecord.h"
#include "hsg/HsgCalculation.h"
#include "platform/core/DateTime.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

using namespace velmoran;
using velmoran::testing::AcidCapacityColumn;
using velmoran::testing::ClickControl;
using velmoran::testing::Control;
using velmoran::testing::EnterPage;
using velmoran::testing::Enter;
using velmoran::testing::ModuleDialogTest;
using velmoran::testing::Pick;
using velmoran::testing::Records;
using velmoran::testing::Shown;
using velmoran::testing::TextDifferences;

namespace {

class HsgPages : public ModuleDialogTest {
protected:
    TLoadCaseBlock EditBlock() { return Module().EditCommon().Block(0); }
};

}  // namespace

TEST_F(HsgPages, TheExampleShowsTheReferenceTexts)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        EXPECT_EQ(TextDifferences(dlg, velmoran::testing::kExampleTexts), "");
        EXPECT_EQ(AcidCapacityColumn(dlg), velmoran::testing::kExampleAcidCapacity);
        EnterPage(dlg, 1);
        EXPECT_TRUE(dlg.Pages().rbKonz->Checked());
        EXPECT_FALSE(dlg.Pages().rbFracht->Checked());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(HsgPages, TextsOfThePages)
{
    const char* groups[][2] = {{"lbBT11", " Angaben zur Dokumentation"}, {"lbBT12", " Eingabe- und Berechnungsoptionen"},
                               {"lbBT21", " Abwasserzufluss"},           {"lbBT22", " Konzentrationen"},
                               {"lbBT22a", " Frachten"},                 {"lbBT23", " Schwankungen"},
                               {"lbBT31", " Belebungsbecken allgemein"}, {"lbBT32", " Phosphorelimination"},
                               {"lbBT41", " Nitrifikation"},             {"lbBT42", " Denitrifikation"},
                               {"lbBT51", " Vorgaben"},                  {"lbBT61", " Belüftungssystem"}};
    for (const auto& [name, text] : groups)
        EXPECT_EQ(velmoran::testing::ReadControl(dlg, name), text);
    EXPECT_EQ(dlg.Pages().rbKonz->Caption(), "Konzentrationen");
    EXPECT_EQ(dlg.Pages().rbFracht->Caption(), "Frachten");
    EXPECT_EQ(dlg.Pages().edDatum->DialogTitle(), "Datum wählen");
    EXPECT_EQ(dlg.Pages().VarTSBB->Bezeichnung(), "Schlammtrockensubstanz TS<sub>BB</sub>");
    EXPECT_EQ(dlg.Pages().VarSNO3an->Bezeichnung(), "Nitrat-Ablaufkonzentration<br>S<sub>NO3,AN</sub> (Sollwert)");
    EXPECT_EQ(dlg.Pages().VarAlphaS->Bezeichnung(), dlg.Pages().VarAlpha->Bezeichnung());
    EXPECT_EQ(dlg.Pages().VarSFH->Hinweis(), "Richtwert: 1,25");
    EXPECT_EQ(velmoran::testing::ReadControl(dlg, "lbKSresult"), " Bilanz der Säurekapazität");
    EXPECT_EQ(velmoran::testing::ReadControl(dlg, "lbRes0501"), "Ergebnis:");

    // Every frame and every choice label prompts "Gewählt:".
    int frames = 0;
    for (const QWidget* child : dlg.findChildren<QWidget*>()) {
        if (const auto* frame = dynamic_cast<const TVarFrame*>(child)) {
            ++frames;
            EXPECT_EQ(frame->Prompt(), "Gewählt:") << frame->objectName().toStdString();
        }
    }
    EXPECT_EQ(frames, 18);
    for (const char* name : {"lcFM", "lcDV", "lcAT"})
        EXPECT_EQ(velmoran::testing::ReadControl(dlg, name), "Gewählt:");

    // Both inflow pages carry the same row labels.
    const auto rowLabels = [&](QWidget* sheet) {
        std::vector<std::string> texts;
        for (const QLabel* label : sheet->findChildren<QLabel*>())
            texts.push_back(label->text().toStdString());
        return texts;
    };
    std::vector<std::string> concentrations = rowLabels(dlg.Pages().tsKonz);
    std::vector<std::string> loads = rowLabels(dlg.Pages().tsFracht);
    EXPECT_NE(std::find(concentrations.begin(), concentrations.end(), "Abfiltrierbare Stoffe (0,45 µm)"),
              concentrations.end());
    concentrations.erase(concentrations.begin());  // the captions differ
    loads.erase(loads.begin());
    std::erase_if(concentrations, [](const std::string& t) { return t.find('/') != std::string::npos; });
    std::erase_if(loads, [](const std::string& t) { return t.find('/') != std::string::npos; });
    EXPECT_EQ(concentrations, loads);

    const auto* grid = dlg.Pages().KSGrid;
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->RowCount(), 8);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_FALSE(grid->Options() & goEditing);
    EXPECT_EQ(grid->Cells(0, 4), "Gewinn durch Denitrifikation");
    EXPECT_EQ(grid->Cells(2, 6), "mmol/l");
    EXPECT_EQ(grid->Cells(2, 7), "-");
    for (QComboBox* box : {dlg.Pages().cbxFM, dlg.Pages().cbxDV, dlg.Pages().cbxAT})
        EXPECT_FALSE(box->isEditable());
    EXPECT_EQ(dlg.Pages().cbxDV->itemText(3), "Intermittierende Denitrifikation");
}

TEST_F(HsgPages, ALookThroughEveryPageChangesNothing)
{
    LoadExample();
    const Records before(Module());
    runner.Expect([&](QWidget& window) {
        for (int page = 1; page <= 6; ++page) {
            EnterPage(dlg, page);
            // Tab through every edit of the page, the date field included.
            for (QLineEdit* edit : dlg.PageControl1->Pages(page - 1)->findChildren<QLineEdit*>()) {
                if (!edit->isVisibleTo(dlg.PageControl1->Pages(page - 1)))
                    continue;
                edit->setFocus(Qt::TabFocusReason);
                QTest::keyClick(edit, Qt::Key_Tab);
            }
        }
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_FALSE(dlg.Modified);
    EXPECT_TRUE(Records(Module()) == before);
}

TEST_F(HsgPages, FlowTypedOnTheInflowPage)
{
    LoadExample();
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 2);
        Enter(window, "edQD", "12000");
        EXPECT_EQ(EditBlock().Double(block::kQD), 12000);
        EXPECT_EQ(TextDifferences(dlg, {{4, "resTTS", "11,48"}, {4, "resVBB", " 9818"}, {6, "lbQLN", "  6716"}}), "");
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPages, ProcessChoices)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        EnterPage(dlg, 4);
        const THsgPageControls& c = dlg.Pages();
        const struct {
            std::uint8_t Code;
            bool Nitrate, Recirculation;
        } expected[] = {{0, false, false}, {1, true, true}, {3, true, false}, {5, true, false}};
        for (int item = 0; item < 4; ++item) {
            Pick(c.cbxDV, item);
            EXPECT_EQ(EditBlock().ByteAt(block::kProcess), expected[item].Code) << item;
            EXPECT_EQ(Module().EditCommon().Bits(common::kOptionB, common::kBitDN, 1), item > 0 ? 1u : 0u) << item;
            EXPECT_EQ(c.VarSNO3an->isVisibleTo(c.VarSNO3an->parentWidget()), expected[item].Nitrate) << item;
            EXPECT_EQ(c.VarSO2RF->isVisibleTo(c.VarSO2RF->parentWidget()), expected[item].Recirculation) << item;
            EXPECT_EQ(c.resRF->text() == "-", item != 1) << item;
        }
        // Picking a process replaces the whole byte.
        EditBlock().SetByte(block::kProcess, 0x81);
        Pick(c.cbxDV, 2);
        EXPECT_EQ(EditBlock().ByteAt(block::kProcess), 3);

        EnterPage(dlg, 3);
        Pick(c.cbxFM, 0);
        EXPECT_EQ(Module().EditCommon().ByteAt(common::kFT), 0);
        EXPECT_FALSE(c.VarBeta->isVisibleTo(c.VarBeta->parentWidget()));
        EXPECT_EQ(c.stPF->text(), "-");
        EXPECT_EQ(c.stFM->text(), "-");
        Pick(c.cbxFM, 3);
        EXPECT_EQ(Module().EditCommon().ByteAt(common::kFT), 3);
        EXPECT_TRUE(c.VarBeta->isVisibleTo(c.VarBeta->parentWidget()));
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

// The process box reads the low four bits of the process byte, as the nitrate fields do; a code
// it has no item for shows no item.
TEST_F(HsgPages, TheProcessBoxReadsTheLowBits)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        const THsgPageControls& c = dlg.Pages();
        EditBlock().SetByte(block::kProcess, 0x83);
        EnterPage(dlg, 4);
        EXPECT_EQ(c.cbxDV->currentIndex(), 2);
        EXPECT_TRUE(c.VarSNO3an->isVisibleTo(c.VarSNO3an->parentWidget()));
        EnterPage(dlg, 3);
        EditBlock().SetByte(block::kProcess, 0x07);
        EnterPage(dlg, 4);
        EXPECT_EQ(c.cbxDV->currentIndex(), -1);
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPages, NoDenitrificationAndNoPrecipitant)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        EnterPage(dlg, 4);
        Pick(dlg.Pages().cbxDV, 0);
        EnterPage(dlg, 3);
        Pick(dlg.Pages().cbxFM, 0);
        EXPECT_EQ(TextDifferences(dlg, {{3, "stPF", "-"},
                                        {4, "resTTS", " 8,26"},
                                        {4, "resVBB", " 5470"},
                                        {4, "resVDV", "    0"},
                                        {4, "resVD", "    0"},
                                        {4, "resRF", "-"},
                                        {5, "lbOVd", "    0"},
                                        {5, "lbOVh", "226,7"}}),
                  "");
        EnterPage(dlg, 6);
        EXPECT_EQ(AcidCapacityColumn(dlg), (std::vector<std::string>{" 8,00", " 1,05", "-1,01", "-4,85", " 0,00",
                                                                     " 0,00", " 4,92", "6,34"}));
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPages, SurfaceAeration)
{
    LoadExample();
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 6);
        const THsgPageControls& c = dlg.Pages();
        Pick(c.cbxAT, 1);
        EXPECT_EQ(Module().EditHsg().AT(), 1);
        EXPECT_EQ(c.pcAeration->ActivePageIndex(), c.tsSurfAer->PageIndex());
        EXPECT_FALSE(c.pnlQLN->isVisibleTo(c.pnlQLN->parentWidget()));
        EXPECT_EQ(c.KSGrid->Cells(1, 7), "-");
        velmoran::testing::SaveArtifact(window, "hsg", "page-6-surface-aeration");
        Enter(window, "VarAlphaS", "0,8");
        EXPECT_EQ(Module().EditHsg().Double(hsg::kAlpha), 0.8);
        Pick(c.cbxAT, 0);
        EXPECT_EQ(c.pcAeration->ActivePageIndex(), c.tsDiffAer->PageIndex());
        EXPECT_TRUE(c.pnlQLN->isVisibleTo(c.pnlQLN->parentWidget()));
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

// The units the page pictures would let pass cut by a few pixels are compared exactly: each such
// label is as wide as its text, and neither it nor any of its parents cuts it off.
TEST_F(HsgPages, UnitsStandWholeOnTheirPages)
{
    LoadExample();
    const QStringList units = {QStringLiteral("m³/h"), QStringLiteral("mol/mol"), QStringLiteral("kg/kWh")};
    QStringList seen;
    auto checkShownUnits = [&](QWidget& window) {
        for (QWidget* label : window.findChildren<QWidget*>()) {
            QString text;
            int textWidth = 0;
            if (auto* plain = qobject_cast<QLabel*>(label)) {
                text = plain->text();
                textWidth = plain->fontMetrics().horizontalAdvance(text);
            } else if (auto* html = dynamic_cast<THtmlLabel*>(label)) {
                // The width the caption needs, as a label sizing itself to it measures it.
                THtmlLabel probe;
                probe.SetFont(html->Font());
                probe.SetAutoSizeType(TAutoSizeType::asHorizontal);
                probe.SetAutoSizing(true);
                probe.SetHTMLText(html->HTMLText());
                text = QString::fromStdString(html->HTMLText());
                textWidth = probe.width();
            }
            if (!units.contains(text) || !label->isVisible())
                continue;
            seen.append(text);
            EXPECT_LE(textWidth, label->width()) << text.toStdString() << " in " << label->objectName().toStdString();
            EXPECT_EQ(label->visibleRegion().boundingRect(), label->rect())
                << text.toStdString() << " cut in " << label->parentWidget()->objectName().toStdString();
        }
    };
    runner.Expect([&](QWidget& window) {
        for (int page = 1; page <= 6; ++page) {
            EnterPage(dlg, page);
            QApplication::processEvents();
            checkShownUnits(window);
        }
        Pick(dlg.Pages().cbxAT, 1);
        QApplication::processEvents();
        checkShownUnits(window);
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    for (const QString& unit : units)
        EXPECT_TRUE(seen.contains(unit)) << unit.toStdString();
}

// A caption that just fits takes one line, a pixel less makes it wrap; line breaks add lines and
// tags take no room. Counting stops at the text's end: nothing after it is measured.
TEST_F(HsgPages, ACaptionWrapsOnceWhenTooWideAndCountsItsLineBreaks)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    const std::string text = "Tr<sub>o</sub>ckensubstanz im Belebungsbecken";
    const int needed = QFontMetrics(font).horizontalAdvance(QStringLiteral("Trockensubstanz im Belebungsbecken"));
    EXPECT_EQ(CaptionLines(font, text, needed + 4), 1);
    EXPECT_EQ(CaptionLines(font, text, needed + 3), 2);
    EXPECT_EQ(CaptionLines(font, "a<br>b<BR>c", 100), 3);
    EXPECT_EQ(CaptionLines(font, text + "<br>x", needed + 4), 2);
}

// The last of the aeration kinds, chosen and then shown again when the page is filled anew.
TEST_F(HsgPages, SurfaceAerationIsShownAgainOnReturn)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        EnterPage(dlg, 6);
        const THsgPageControls& c = dlg.Pages();
        Pick(c.cbxAT, 1);
        EnterPage(dlg, 5);
        EnterPage(dlg, 6);
        EXPECT_EQ(c.cbxAT->currentIndex(), 1);
        EXPECT_EQ(c.pcAeration->ActivePageIndex(), c.tsSurfAer->PageIndex());
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

// The balance of the acid capacity is a result: none of its cells takes typing.
TEST_F(HsgPages, TheAcidCapacityBalanceIsReadOnly)
{
    LoadExample();
    runner.Expect([&](QWidget&) {
        EnterPage(dlg, 6);
        const THsgPageControls& c = dlg.Pages();
        for (int row = 0; row < c.KSGrid->RowCount(); ++row)
            for (int col = 0; col < c.KSGrid->ColCount(); ++col)
                EXPECT_FALSE(c.KSGrid->IsCellEditable(col, row)) << col << "," << row;
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPages, InflowAsDailyLoads)
{
    LoadExample();
    runner.Expect([&](QWidget& window) {
        ClickControl(window, "rbFracht");
        EXPECT_EQ(EditBlock().Word(block::kFlags) & block::kFlagLoads, block::kFlagLoads);
        EXPECT_EQ(TextDifferences(dlg, velmoran::testing::kExampleLoadTexts), "");
        EXPECT_EQ(dlg.Pages().pcKF->ActivePageIndex(), dlg.Pages().tsFracht->PageIndex());
        velmoran::testing::SaveArtifact(window, "hsg", "page-2-loads");

        // A daily load gives the concentration at the refresh; the acid capacity entered here is
        // stored, not the concentration page's.
        Enter(window, "edBDBSBzb", "3000");
        EXPECT_EQ(EditBlock().Double(block::kBDBSBzb), 3000);
        EXPECT_EQ(EditBlock().Double(block::kCBSBzb), 300);
        Enter(window, "edKSzb", "9");
        EXPECT_EQ(EditBlock().Double(block::kSKSzb), 9);

        // The design agrees loads and concentrations and says "concentrations" afterwards.
        EnterPage(dlg, 3);
        EnterPage(dlg, 1);
        EXPECT_TRUE(dlg.Pages().rbKonz->Checked());
        EnterPage(dlg, 2);
        EXPECT_EQ(Shown(dlg, "edCBSBzb"), "300");

        // "Konzentrationen" keeps only the low seven bits of the flags word.
        EnterPage(dlg, 1);
        EditBlock().SetWord(block::kFlags, 0x0381);
        ClickControl(window, "rbKonz");
        EXPECT_EQ(EditBlock().Word(block::kFlags), 0x01);
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
}

TEST_F(HsgPages, AValueConfirmedByOkIsStored)
{
    LoadExample();
    TCommonRecord common = Module().CurrentCommon();
    THSGRecord hsgRecord = Module().CurrentHsg();
    common.Block(0).SetDouble(block::kT, 10);
    HsgCalculate(common, hsgRecord);
    runner.Expect([&](QWidget& window) {
        EnterPage(dlg, 3);
        QLineEdit* edit = dlg.Pages().VarT->Edit;
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, "10");
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 3}));
    EXPECT_TRUE(dlg.Modified);
    EXPECT_EQ(Module().CurrentCommon().Block(0).Double(block::kT), 10);
    EXPECT_TRUE(Module().CurrentCommon() == common);
    EXPECT_TRUE(Module().CurrentHsg() == hsgRecord);
}

TEST_F(HsgPages, TextFieldsStoreEveryChange)
{
    LoadExample();
    runner.Expect([&](QWidget& window) {
        velmoran::testing::TypeInto(window, "edBez", "Anlage Nord");
        EXPECT_EQ(Module().EditCommon().String(common::kProjekt), "Anlage Nord");
        QTest::keyClick(Control(window, "edBez"), Qt::Key_Backspace);
        EXPECT_EQ(Module().EditCommon().String(common::kProjekt), "Anlage Nor");
        // As many characters as the page shows.
        velmoran::testing::TypeInto(window, "edBearb", QString(300, QLatin1Char('x')));
        EXPECT_EQ(Module().EditCommon().String(common::kBearbeiter), std::string(80, 'x'));
        ClickControl(window, "BtnOK");
    });
    EXPECT_TRUE(dlg.Exec("EDIT", {.Mode = 1, .Page = 1}));
    EXPECT_EQ(Module().CurrentCommon().String(common::kProjekt), "Anlage Nor");
    EXPECT_TRUE(dlg.Modified);
}

TEST_F(HsgPages, TheDateField)
{
    const ScopedClock clock(EncodeDate(2026, 12, 7) + 0.25);
    // A new calculation has no date: the field shows today, and OK without a change keeps none.
    ASSERT_EQ(Module().CurrentCommon().Double(common::kDatum), NullDate);
    runner.Expect([&](QWidget& window) {
        EXPECT_EQ(Shown(window, "edDatum"), "07.12.2026");
        ClickControl(window, "BtnOK");
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), NullDate);
    EXPECT_FALSE(dlg.Modified);

    // A date with a time part survives a look and OK.
    LoadExample();
    const TDateTime withTime = EncodeDate(2026, 3, 14) + 0.75;
    Module().CurrentCommon().SetDouble(common::kDatum, withTime);
    runner.Expect([&](QWidget& window) {
        EXPECT_EQ(Shown(window, "edDatum"), "14.03.2026");
        ClickControl(window, "BtnOK");
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), withTime);
    EXPECT_FALSE(dlg.Modified);

    // A date picked from the calendar is stored.
    runner.Expect([&](QWidget& window) {
        auto* field = Control<TDateEdit>(window, "edDatum");
        field->setFocus(Qt::MouseFocusReason);
        field->PopupDropDown(false);
        ASSERT_TRUE(field->PopupVisible());
        QTest::keyClick(field, Qt::Key_Right);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(field->text(), "15.03.2026");
        EXPECT_EQ(Module().EditCommon().Double(common::kDatum), EncodeDate(2026, 3, 15));
        ClickControl(window, "BtnOK");
    });
    dlg.Exec("EDIT", {.Mode = 1, .Page = 1});
    EXPECT_EQ(Module().CurrentCommon().Double(common::kDatum), EncodeDate(2026, 3, 15));
    EXPECT_TRUE(dlg.Modified);
}
