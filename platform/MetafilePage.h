// One recorded page of the print preview: a QPicture that reports the printer's resolution and
// printable page size, so that whatever is drawn on it is measured and placed in printer pixels
// exactly as on the printer. The recording is relative to the printable area; replaying puts it
// at its place on the whole sheet (the printable area starts at the printer's physical offsets).
#pragma once

#include "platform/Printer.h"

#include <QPicture>

class QPainter;
class QRect;

namespace velmoran {

class MetafilePage : public QPicture {
public:
    explicit MetafilePage(const PrinterMeasures& measures);

    const PrinterMeasures& Measures() const { return measures_; }
    // Replays the page with the whole sheet scaled into sheet (in the painter's coordinates).
    // A page of a printer with no size draws nothing.
    void Replay(QPainter& painter, const QRect& sheet) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    PrinterMeasures measures_;
};

}  // namespace velmoran
