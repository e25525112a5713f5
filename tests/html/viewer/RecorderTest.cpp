// Tests of the preview's page recorder: which pages a recording keeps, the page event, a system
// without a printer, the white sheet and the font of the first page, a failed recording, and the
// unit of the measures.
#include "tests/support/TestApp.h"

#include "html/viewer/MetaFilePrinter.h"
#include "html/viewer/PrinterJob.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace velmoran {
namespace {

// A small sheet at 100 dpi whose printable area starts 10 pixels in.
PrinterMeasures Sheet()
{
    PrinterMeasures m;
    m.PhysicalWidth = 200;
    m.PhysicalHeight = 300;
    m.OffsetX = 10;
    m.OffsetY = 10;
    m.PageWidth = 180;
    m.PageHeight = 280;
    m.DpiX = 100;
    m.DpiY = 100;
    return m;
}

class Recorder : public ::testing::Test {
protected:
    Recorder()
    {
        testing::App();
        recorder.ReferenceDevice = [] { return std::optional<PrinterMeasures>(Sheet()); };
    }
    // Something drawn on the current page.
    void Draw() { recorder.Canvas().Rectangle(20, 20, 60, 60); }
    QImage Replayed(int page) const
    {
        QImage image(200, 300, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        recorder.Page(page).Replay(painter, image.rect());
        return image;
    }

    TMetaFilePrinter recorder;
};

TEST_F(Recorder, KeepsThePagesDrawnAndDropsTheOneOpenedLast)
{
    // The viewer's run opens a page after every page but the last; a page opened after the last
    // drawn one and never used goes.
    recorder.BeginDoc();
    EXPECT_TRUE(recorder.Printing());
    Draw();
    recorder.NewPage();
    Draw();
    recorder.NewPage();
    recorder.EndDoc();
    EXPECT_FALSE(recorder.Printing());
    EXPECT_EQ(recorder.PageCount(), 2);

    // A recording that never fetched a canvas keeps nothing.
    recorder.BeginDoc();
    recorder.EndDoc();
    EXPECT_EQ(recorder.PageCount(), 0);
}

TEST_F(Recorder, ASecondRecordingDiscardsTheFirst)
{
    recorder.BeginDoc();
    Draw();
    recorder.NewPage();
    Draw();
    recorder.EndDoc();
    ASSERT_EQ(recorder.PageCount(), 2);
    recorder.BeginDoc();
    EXPECT_EQ(recorder.PageCount(), 1);
    Draw();
    recorder.EndDoc();
    EXPECT_EQ(recorder.PageCount(), 1);
}

TEST_F(Recorder, TellsEachNewPageWithThePageCount)
{
    std::vector<int> told;
    recorder.OnPageEvent = [&](TMetaFilePrinter& sender, int page, bool& stop) {
        EXPECT_EQ(&sender, &recorder);
        told.push_back(page);
        stop = true;  // not read: the recording goes on
    };
    recorder.BeginDoc();
    Draw();
    recorder.NewPage();
    Draw();
    recorder.EndDoc();
    EXPECT_EQ(told, (std::vector<int>{1, 2}));
    EXPECT_EQ(recorder.PageCount(), 2);
}

TEST_F(Recorder, WithoutAPrinterNothingChanges)
{
    recorder.BeginDoc();
    Draw();
    recorder.EndDoc();
    ASSERT_EQ(recorder.PageCount(), 1);
    recorder.ReferenceDevice = [] { return std::optional<PrinterMeasures>(); };
    try {
        recorder.BeginDoc();
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Kein Drucker verfügbar");
    }
    EXPECT_FALSE(recorder.Printing());
    EXPECT_EQ(recorder.PageCount(), 1);
    EXPECT_EQ(recorder.Device().DpiX, 100);
}

TEST_F(Recorder, PagesAreWhiteSheetsInPrinterPixelsAndTheFirstHasArial10)
{
    recorder.BeginDoc();
    QtCanvas& first = recorder.Canvas();
    EXPECT_EQ(first.Font().Face, "Arial");
    EXPECT_EQ(first.Font().Height, -13);
    EXPECT_EQ(first.GetBrush().Style, BrushStyle::Null);
    EXPECT_EQ(first.GetDeviceCaps(LOGPIXELSX), 100);
    EXPECT_EQ(first.GetDeviceCaps(PHYSICALOFFSETX), 10);
    first.SelectBrush(Brush{BrushStyle::Solid, 0});
    first.Rectangle(20, 20, 60, 60);
    recorder.NewPage();
    recorder.Canvas();
    recorder.EndDoc();
    ASSERT_EQ(recorder.PageCount(), 2);
    EXPECT_EQ(recorder.PageWidth(), 180);
    EXPECT_EQ(recorder.PageHeight(), 280);

    const QImage page1 = Replayed(0);
    EXPECT_EQ(page1.pixel(40, 40), qRgb(0, 0, 0));        // the rectangle, at 30..70 on the sheet
    EXPECT_EQ(page1.pixel(100, 150), qRgb(255, 255, 255)); // the white sheet
    EXPECT_EQ(Replayed(1).pixel(40, 40), qRgb(255, 255, 255));
}

TEST_F(Recorder, AFailedRecordingKeepsNoPagesAndTheCanvasNeedsARecording)
{
    EXPECT_THROW(recorder.Canvas(), EPrinter);
    recorder.BeginDoc();
    Draw();
    recorder.NewPage();
    Draw();
    recorder.Abort();
    EXPECT_FALSE(recorder.Printing());
    EXPECT_EQ(recorder.PageCount(), 0);
    EXPECT_THROW(recorder.Canvas(), EPrinter);
}

// The unit of the measures comes with its factor: inches count 1.0 from the start (a factor of 0
// before the first choice would make every measure 0), centimetres 2.54; a recording keeps them.
TEST_F(Recorder, TheUnitGivesItsConversionFactor)
{
    EXPECT_EQ(recorder.Units(), TUnits::unInches);
    EXPECT_DOUBLE_EQ(recorder.ConversionFactor(), 1.0);
    recorder.SetUnits(TUnits::unCentimeters);
    recorder.BeginDoc();
    Draw();
    recorder.EndDoc();
    EXPECT_EQ(recorder.Units(), TUnits::unCentimeters);
    EXPECT_DOUBLE_EQ(recorder.ConversionFactor(), 2.54);
    recorder.SetUnits(TUnits::unInches);
    EXPECT_DOUBLE_EQ(recorder.ConversionFactor(), 1.0);
}

}  // namespace
}  // namespace velmoran
