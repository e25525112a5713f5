// The user's second road, "Was ist das?" in the input dialog: the Applications key and a right
// click in a text field open one context menu, never two. Where "Was ist das?" takes them only its
// menu opens; where it does not, only the field's own.
#include "tests/shell/CalculationFixture.h"

#include "help/WhatsThis.h"
#include "hsg/ui/HsgDlg.h"
#include "tests/support/ShownMenus.h"
#include "tests/support/DialogScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include <vector>

using namespace velmoran;

namespace {

using UserRoadTwo = velmoran::testing::CalculationFixture;

using velmoran::testing::CloseMenus;
using velmoran::testing::MenusShown;

// The Applications key in a field as the window system sends it: the menu event first, then the
// key's press and release, all to the dialog's window.
void AppKey(QLineEdit& field)
{
    field.setFocus();
    QWindow* window = field.window()->windowHandle();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(window, &menuEvent);
    QTest::keyPress(window, Qt::Key_Menu);
    QTest::keyRelease(window, Qt::Key_Menu);
    QApplication::processEvents();
}

void RightClick(QLineEdit& field)
{
    QWidget* top = field.window();
    QTest::mouseClick(top->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      field.mapTo(top, field.rect().center()));
    QApplication::processEvents();
}

// The float edit of the flow and the plain edit of the project's name, each with the key and the
// click: first with "Was ist das?" taking them, then with its OnPopup declining.
TEST_F(UserRoadTwo, OneContextMenuAtATimeInTheInputDialog)
{
    TMainForm& window = Form(Example());
    window.show();
    QApplication::setActiveWindow(&window);
    TWhatsThis& whatsThis = *window.WhatsThis;
    QMenu* ours = whatsThis.PopupMenu();
    const auto onlyOurs = [&] { return MenusShown() == std::vector<QMenu*>{ours}; };
    const auto onlyTheFields = [&] {
        const auto shown = MenusShown();
        return shown.size() == 1 && shown[0] != ours;
    };
    modals.Expect([&](QWidget& dialog) {
        QApplication::setActiveWindow(&dialog);
        THSGDlg& hsg = dynamic_cast<THSGDlg&>(dialog);
        auto* flow = velmoran::testing::Control<QLineEdit>(dialog, "edQD");
        ASSERT_NE(flow, nullptr);
        hsg.PageControl1->SetActivePageIndex(0);
        auto* name = velmoran::testing::Control<QLineEdit>(dialog, "edBez");
        ASSERT_NE(name, nullptr);
        const auto tryBoth = [&](int page, QLineEdit& field, const auto& expected) {
            SCOPED_TRACE(field.objectName().toStdString());
            hsg.PageControl1->SetActivePageIndex(page);
            QApplication::processEvents();
            AppKey(field);
            EXPECT_TRUE(expected());
            CloseMenus();
            RightClick(field);
            EXPECT_TRUE(expected());
            CloseMenus();
        };
        tryBoth(1, *flow, onlyOurs);
        tryBoth(0, *name, onlyOurs);
        whatsThis.OnPopup = [](TWhatsThis&, QObject*, int, int, int, bool& doPopup) { doPopup = false; };
        tryBoth(1, *flow, onlyTheFields);
        tryBoth(0, *name, onlyTheFields);
        whatsThis.OnPopup = nullptr;
    });
    form->RunEditDialog(1, 2);
    EXPECT_EQ(modals.Shown().size(), 1u);
}

}  // namespace
