// The main window as a new user meets it, second round: a new calculation keeps the date its
// dialog showed, a window shrunk to almost nothing gives its bars back when enlarged, and what Qt
// words by itself (sizes, file types) is German whatever the system's language.
#include "tests/shell/CalculationFixture.h"

#include "framework/CommonRecord.h"
#include "hsg/ui/HsgDlg.h"
#include "platform/FileDialogColumns.h"
#include "platform/core/DateTime.h"
#include "platform/core/NumberFormat.h"
#include "tests/hsg/ui/PageTexts.h"
#include "tests/support/DialogScript.h"
#include "toolbar/TBarDock.h"

#include <gtest/gtest.h>

#include <QFileSystemModel>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <string>

using namespace velmoran;
using velmoran::testing::Dialog;

namespace {

using UserRoadTwo = velmoran::testing::CalculationFixture;

// Ctrl+N, then OK: the date field shows today for the new calculation's empty date, and today is
// what the record keeps and the page prints, never 30.12.1899. (Flow, nitrogen and phosphorus
// are what a new calculation needs at least.)
TEST_F(UserRoadTwo, ANewCalculationKeepsTheDateItsDialogShowed)
{
    TMainForm& window = Form();
    window.show();
    const std::string today = FormatDateTime("dd.mm.yyyy", Date());
    ASSERT_EQ(Dialog(Module()).Module().DefaultCommon().Double(common::kDatum), 0.0);
    std::string shown;
    modals.Expect([&](QWidget& dialog) {
        shown = velmoran::testing::ReadControl(dialog, "edDatum");
        velmoran::testing::EnterPage(Dialog(Module()), 2);
        velmoran::testing::Enter(dialog, "edQD", "12000");
        velmoran::testing::Enter(dialog, "edCTKNzb", "50");
        velmoran::testing::Enter(dialog, "edCPzb", "8");
        velmoran::testing::EnterPage(Dialog(Module()), 6);
        velmoran::testing::ClickControl(dialog, "BtnOK");
    });
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(modals.Shown().size(), 1u);
    EXPECT_EQ(shown, today);
    ASSERT_TRUE(window.CalculationLoaded);
    EXPECT_EQ(Dialog(Module()).Module().CurrentCommon().Double(common::kDatum), Date());
    EXPECT_NE(Page().find(today), std::string::npos);
    EXPECT_EQ(Page().find("1899"), std::string::npos);

    // A calculation without a date (a file of before) opened on its first page and left with OK,
    // nothing else changed: it keeps the date shown.
    Dialog(Module()).Module().CurrentCommon().SetDouble(common::kDatum, 0);
    modals.Expect([&](QWidget& dialog) {
        shown = velmoran::testing::ReadControl(dialog, "edDatum");
        velmoran::testing::ClickControl(dialog, "BtnOK");
    });
    EXPECT_TRUE(window.ExecuteCommand("EDITDLG 1"));
    EXPECT_EQ(shown, today);
    EXPECT_EQ(Dialog(Module()).Module().CurrentCommon().Double(common::kDatum), Date());
    EXPECT_NE(Page().find(today), std::string::npos);
}

// A window made tiny and then large again shows its menu and tool docks, its page and its status bar as
// before: the bars keep their own heights while the window is too small for them.
TEST_F(UserRoadTwo, AShrunkWindowGivesItsBarsBack)
{
    TMainForm& window = Form(Example());
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
    const int menu = window.MenuDock->height();
    const int tools = window.ToolDock->height();
    const int status = window.StatusBar->height();
    ASSERT_GT(menu, 0);
    ASSERT_GT(tools, 0);
    ASSERT_GT(status, 0);

    window.resize(200, 150);
    QApplication::processEvents();
    window.resize(200, tools / 2);
    QApplication::processEvents();
    window.resize(800, 600);
    QApplication::processEvents();
    const int height = window.height();
    const int top = menu + tools;
    EXPECT_EQ(window.MenuDock->height(), menu);
    EXPECT_EQ(window.ToolDock->height(), tools);
    EXPECT_EQ(window.StatusBar->geometry(), QRect(0, height - status, window.width(), status));
    EXPECT_TRUE(window.StatusBar->isVisible());
    EXPECT_EQ(window.pcResult->geometry(), QRect(0, top, window.width(), height - top - status));
}

// Under another system language (the tests run under LANG=C or C.UTF-8) Qt's own words for sizes,
// file types and dates are German, in the file dialog's columns too, while the program's own
// numbers and dates keep their formats.
TEST_F(UserRoadTwo, QtsWordsForSizesAndTypesAreGerman)
{
    EXPECT_EQ(QLocale().formattedDataSize(328).toStdString(), "328 Bytes");
    EXPECT_EQ(QLocale().formattedDataSize(3 * 1024 * 1024).toStdString(), "3,00 MiB");
    const QMimeDatabase types;
    EXPECT_EQ(types.mimeTypeForName(QStringLiteral("application/pdf")).comment().toStdString(), "PDF-Dokument");
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 7), QLocale::ShortFormat).toStdString(), "07.12.26");

    // The file dialog's list as the dialog shows it: its model behind the program's columns.
    velmoran::testing::TempFolder folder;
    folder.WriteFile("Bild.tga", std::string(328, 'x'));
    QFileSystemModel model;
    FileDialogColumns columns;
    columns.setSourceModel(&model);
    const QModelIndex root = columns.mapFromSource(model.setRootPath(QString::fromStdString(folder.Folder())));
    for (int wait = 0; wait < 500 && columns.rowCount(root) == 0; ++wait)
        QTest::qWait(10);
    ASSERT_EQ(columns.rowCount(root), 1);
    const auto shown = [&](int column) { return columns.index(0, column, root).data().toString().toStdString(); };
    EXPECT_EQ(shown(0), "Bild.tga");
    EXPECT_EQ(shown(FileDialogColumns::kSizeColumn), "328 Bytes");
    EXPECT_EQ(shown(2), "TGA-Bild");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d$"))
                    .match(QString::fromStdString(shown(FileDialogColumns::kDateColumn)))
                    .hasMatch())
        << shown(FileDialogColumns::kDateColumn);

    EXPECT_EQ(FormatFloat("#,##0.0", 12345.5), "12.345,5");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", EncodeDate(2026, 12, 7)), "07.12.2026");
}

}  // namespace
