// One recorded page of the print preview: a QPicture that reports the printer's resolution and
// printable page size, so that whatever is drawn on it is measured and placed in printer pixels
// exactly as on the printer. The recording is relative to the printable area; replaying puts it
// at its place on the whole sheet (the printable area starts at the printer's physical offsets).
// A finished page can be packed: its commands repeat the same pens, brushes, fonts and mappings
// over and over, and compressed they take a tenth of the room; the replay unpacks them.
#pragma once

#include "platform/Printer.h"

#include <QByteArray>
#include <QPicture>

class QPainter;
class QRect;

namespace velmoran {

class MetafilePage : public QPicture {
public:
    explicit MetafilePage(const PrinterMeasures& measures);

    const PrinterMeasures& Measures() const { return measures_; }
    // Compresses the finished recording (no painter may be active on the page any more); from then
    // on only Replay shows the page.
    void Pack();
    // The bytes the page holds: the packed commands' buffer, or the recording.
    qsizetype Bytes() const;
    // Replays the page with the whole sheet scaled into sheet (in the painter's coordinates).
    // A page of a printer with no size draws nothing.
    void Replay(QPainter& painter, const QRect& sheet) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    PrinterMeasures measures_;
    QByteArray packed_;
};

}  // namespace velmoran
