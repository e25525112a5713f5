// Reading the frame of a metafile: the header of either kind, its size, and every record's
// length checked against the bytes.
#include "html/base/image/Metafile.h"

#include "html/base/image/MetafileRecords.h"

#include <cmath>
#include <cstdlib>

namespace velmoran {

using namespace metafile;

namespace {

// The largest picture side a metafile may claim, in pixels at 96 ppi.
constexpr double kMaxSidePixels = 32768;

bool SizeOk(double himetric)
{
    return himetric > 0 && himetric * 96 / 2540 <= kMaxSidePixels;
}

// The old format's standard header at `at`: its size, then every record up to the end record.
// Gives the first window origin and extent its records set.
bool ReadWmfRecords(const TBytes& file, std::size_t at, std::size_t& recordsAt, bool& hasExtent, int& orgX,
                    int& orgY, int& extX, int& extY)
{
    if (!file.Has(at, 18))
        return false;
    const unsigned type = file.U16(at);
    if ((type != 1 && type != 2) || file.U16(at + 2) != 9)
        return false;
    recordsAt = at + 18;
    bool hasOrigin = false;
    hasExtent = false;
    std::size_t pos = recordsAt;
    while (pos < file.Size()) {
        if (!file.Has(pos, 6))
            return false;
        const std::uint64_t words = file.U32(pos);
        const unsigned function = file.U16(pos + 4);
        if (words < 3 || words * 2 > file.Size() - pos)
            return false;
        if (function == kWmfEof)
            return true;
        if (words >= 5 && function == kWmfSetWindowOrg && !hasOrigin) {
            orgY = file.S16(pos + 6);
            orgX = file.S16(pos + 8);
            hasOrigin = true;
        } else if (words >= 5 && function == kWmfSetWindowExt && !hasExtent) {
            extY = file.S16(pos + 6);
            extX = file.S16(pos + 8);
            hasExtent = extX != 0 && extY != 0;
        }
        pos += static_cast<std::size_t>(words) * 2;
    }
    // A file without the end record is whole when its last record ends with it.
    return pos == file.Size();
}

std::optional<TMetafile> ReadWmf(const TBytes& file)
{
    TMetafile m;
    m.Kind = TMetafileKind::Wmf;
    int orgX = 0, orgY = 0, extX = 0, extY = 0;
    bool hasExtent = false;
    m.PlaceableMapping = true;
    if (file.Has(0, 22) && file.U32(0) == kPlaceableKey) {
        const int left = file.S16(6), top = file.S16(8), right = file.S16(10), bottom = file.S16(12);
        const int inch = file.U16(14);
        if (inch == 0 || right == left || bottom == top)
            return std::nullopt;
        if (!ReadWmfRecords(file, 22, m.RecordsAt, hasExtent, orgX, orgY, extX, extY))
            return std::nullopt;
        m.WindowLeft = left;
        m.WindowTop = top;
        m.WindowWidth = right - left;
        m.WindowHeight = bottom - top;
        m.HimetricWidth = static_cast<int>(std::lround(std::abs(right - left) * 2540.0 / inch));
        m.HimetricHeight = static_cast<int>(std::lround(std::abs(bottom - top) * 2540.0 / inch));
    } else {
        if (!ReadWmfRecords(file, 0, m.RecordsAt, hasExtent, orgX, orgY, extX, extY) || !hasExtent)
            return std::nullopt;
        // Without the header the picture is the first window its records set, at 96 ppi.
        m.WindowLeft = orgX;
        m.WindowTop = orgY;
        m.WindowWidth = extX;
        m.WindowHeight = extY;
        m.HimetricWidth = static_cast<int>(std::lround(std::abs(extX) * 2540.0 / 96));
        m.HimetricHeight = static_cast<int>(std::lround(std::abs(extY) * 2540.0 / 96));
    }
    if (!SizeOk(m.HimetricWidth) || !SizeOk(m.HimetricHeight))
        return std::nullopt;
    m.FrameLeft = 0;
    m.FrameTop = 0;
    m.FrameWidth = m.WindowWidth;
    m.FrameHeight = m.WindowHeight;
    return m;
}

std::optional<TMetafile> ReadEmf(const TBytes& file)
{
    if (!file.Has(0, 88) || file.U32(0) != kEmfHeader || file.U32(40) != kEmfSignature)
        return std::nullopt;
    std::size_t pos = 0;
    bool ended = false;
    while (pos < file.Size()) {
        if (!file.Has(pos, 8))
            return std::nullopt;
        const std::uint32_t type = file.U32(pos);
        const std::uint32_t size = file.U32(pos + 4);
        if (size < 8 || size % 4 != 0 || size > file.Size() - pos)
            return std::nullopt;
        pos += size;
        if (type == kEmfEof) {
            ended = true;
            break;
        }
    }
    if (!ended && pos != file.Size())
        return std::nullopt;
    TMetafile m;
    m.Kind = TMetafileKind::Emf;
    m.RecordsAt = 0;
    const double deviceX = file.S32(72), deviceY = file.S32(76);
    const double mmX = file.S32(80), mmY = file.S32(84);
    if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0) {
        m.PixelsPerMmX = deviceX / mmX;
        m.PixelsPerMmY = deviceY / mmY;
    }
    const double frameLeft = file.S32(24), frameTop = file.S32(28);
    const double frameRight = file.S32(32), frameBottom = file.S32(36);
    if (frameRight > frameLeft && frameBottom > frameTop) {
        // The frame is in hundredths of a millimetre, the records' device in pixels.
        m.FrameLeft = frameLeft / 100 * m.PixelsPerMmX;
        m.FrameTop = frameTop / 100 * m.PixelsPerMmY;
        m.FrameWidth = (frameRight - frameLeft) / 100 * m.PixelsPerMmX;
        m.FrameHeight = (frameBottom - frameTop) / 100 * m.PixelsPerMmY;
        m.HimetricWidth = static_cast<int>(std::lround(frameRight - frameLeft));
        m.HimetricHeight = static_cast<int>(std::lround(frameBottom - frameTop));
    } else {
        // No frame: the bounds, inclusive, in device pixels.
        const double left = file.S32(8), top = file.S32(12), right = file.S32(16), bottom = file.S32(20);
        if (right < left || bottom < top)
            return std::nullopt;
        m.FrameLeft = left;
        m.FrameTop = top;
        m.FrameWidth = right - left + 1;
        m.FrameHeight = bottom - top + 1;
        m.HimetricWidth = static_cast<int>(std::lround(m.FrameWidth / m.PixelsPerMmX * 100));
        m.HimetricHeight = static_cast<int>(std::lround(m.FrameHeight / m.PixelsPerMmY * 100));
    }
    if (!SizeOk(m.HimetricWidth) || !SizeOk(m.HimetricHeight))
        return std::nullopt;
    return m;
}

}  // namespace

bool LooksLikeMetafile(const std::uint8_t* bytes, std::size_t size)
{
    const TBytes file(bytes, size);
    if (file.Has(0, 4) && file.U32(0) == kPlaceableKey)
        return true;
    if (file.Has(0, 44) && file.U32(0) == kEmfHeader && file.U32(40) == kEmfSignature)
        return true;
    return file.Has(0, 4) && (file.U16(0) == 1 || file.U16(0) == 2) && file.U16(2) == 9;
}

std::optional<TMetafile> ReadMetafile(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || !LooksLikeMetafile(bytes, size))
        return std::nullopt;
    const TBytes file(bytes, size);
    std::optional<TMetafile> m;
    try {
        m = file.Has(0, 4) && file.U32(0) == kEmfHeader ? ReadEmf(file) : ReadWmf(file);
    } catch (const TShortRecord&) {
        return std::nullopt;
    }
    if (m)
        m->Bytes.assign(bytes, bytes + size);
    return m;
}

}  // namespace velmoran
