// The program's German string table: every text that code sets at run time (captions of the
// start dialog, the module dialog's OK caption, ...) is looked up here by its number, so that the
// texts live in one place (resources/StringTable.inc) instead of in the forms.
#pragma once

#include <string>

namespace velmoran {

// The numbers of the texts, grouped by the window that shows them.
enum StringId : int {
    sIntroNew = 1001,
    sIntroOpen = 1002,
    sIntroOK = 1003,
    sIntroCancel = 1004,
    sIntroGreetings = 1005,
    sDlgOK = 1101,
    sNoMessages = 1102,
    sChevronHint = 3001,
    sCalendarPrevMonth = 61258,
    sCalendarPrevYear = 61259,
    sCalendarNextMonth = 61260,
    sCalendarNextYear = 61261,
    sPrnCancel = 65188,
    sPrnCaption = 65189,
    sPrnFormatting = 65190,
    sPrnPage = 65191,
    sPreviewCustom = 65200,
    sPreviewZoomHint = 65201,
    sPreviewCaption = 65216,
    sPreviewClose = 65217,
    sPreviewCloseHint = 65218,
    sPreviewPrint = 65219,
    sPreviewPrintHint = 65220,
    sPreviewFitPageHint = 65221,
    sPreviewOnePageHint = 65222,
    sPreviewTwoPagesHint = 65223,
    sPreviewFitWidthHint = 65224,
    sPreviewPanHint = 65225,
    sPreviewNext = 65226,
    sPreviewNextHint = 65227,
    sPreviewBack = 65228,
    sPreviewBackHint = 65229,
    sPreviewFitPage = 65230,
    sPreviewFitWidth = 65231,
};

// The text of that number; empty for a number the table does not hold.
std::string LoadStr(int id);

}  // namespace velmoran
