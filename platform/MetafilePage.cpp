// The recorded page of the print preview; see MetafilePage.h.
#include "platform/MetafilePage.h"

#include <QPainter>
#include <QRect>

namespace velmoran {

MetafilePage::MetafilePage(const PrinterMeasures& measures) : measures_(measures) {}

int MetafilePage::metric(PaintDeviceMetric metric) const
{
    const PrinterMeasures& m = measures_;
    // Millimetres of a length in device pixels at a resolution (0 for a device with none).
    auto mm = [](int pixels, int dpi) { return dpi > 0 ? static_cast<int>(pixels * 25.4 / dpi) : 0; };
    switch (metric) {
    case PdmWidth: return m.PageWidth;
    case PdmHeight: return m.PageHeight;
    case PdmWidthMM: return mm(m.PageWidth, m.DpiX);
    case PdmHeightMM: return mm(m.PageHeight, m.DpiY);
    case PdmDpiX:
    case PdmPhysicalDpiX: return m.DpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return m.DpiY;
    case PdmNumColors: return 16777216;
    case PdmDepth: return 24;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPicture::metric(metric);
    }
}

void MetafilePage::Replay(QPainter& painter, const QRect& sheet) const
{
    const PrinterMeasures& m = measures_;
    if (m.PhysicalWidth <= 0 || m.PhysicalHeight <= 0 || sheet.isEmpty())
        return;
    painter.save();
    painter.translate(sheet.topLeft());
    painter.scale(static_cast<double>(sheet.width()) / m.PhysicalWidth,
                  static_cast<double>(sheet.height()) / m.PhysicalHeight);
    // The recording starts at the printable area's corner.
    painter.translate(m.OffsetX, m.OffsetY);
    if (packed_.isEmpty()) {
        painter.drawPicture(0, 0, *this);
    } else {
        const QByteArray commands = qUncompress(packed_);
        QPicture unpacked;
        unpacked.setData(commands.constData(), static_cast<uint>(commands.size()));
        painter.drawPicture(0, 0, unpacked);
    }
    painter.restore();
}

void MetafilePage::Pack()
{
    if (!packed_.isEmpty() || isNull())
        return;
    packed_ = qCompress(reinterpret_cast<const uchar*>(data()), static_cast<qsizetype>(size()));
    // The compressor's buffer is as large as the recording; only the packed bytes stay.
    packed_.squeeze();
    // The recording goes; the page keeps only its packed commands.
    QPicture::operator=(QPicture());
}

qsizetype MetafilePage::Bytes() const
{
    return packed_.isEmpty() ? static_cast<qsizetype>(size()) : packed_.capacity();
}

}  // namespace velmoran
