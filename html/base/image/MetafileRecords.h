// Inside the metafile reader and player: the record numbers of both formats and a view of bytes
// whose every read is checked (a read past the end yields 0 through Has's callers, or raises
// TShortRecord from the checked accessors of a record).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace velmoran::metafile {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfHeader = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmfEof = 14;

// Old-format record functions.
enum : unsigned {
    kWmfEof = 0x0000,
    kWmfSaveDC = 0x001E,
    kWmfSetBkMode = 0x0102,
    kWmfSetMapMode = 0x0103,
    kWmfSetPolyFillMode = 0x0106,
    kWmfRestoreDC = 0x0127,
    kWmfSetTextAlign = 0x012E,
    kWmfSelectObject = 0x012D,
    kWmfDeleteObject = 0x01F0,
    kWmfSetBkColor = 0x0201,
    kWmfSetTextColor = 0x0209,
    kWmfSetWindowOrg = 0x020B,
    kWmfSetWindowExt = 0x020C,
    kWmfSetViewportOrg = 0x020D,
    kWmfSetViewportExt = 0x020E,
    kWmfLineTo = 0x0213,
    kWmfMoveTo = 0x0214,
    kWmfEllipse = 0x0418,
    kWmfRectangle = 0x041B,
    kWmfTextOut = 0x0521,
    kWmfPolygon = 0x0324,
    kWmfPolyline = 0x0325,
    kWmfPolyPolygon = 0x0538,
    kWmfRoundRect = 0x061C,
    kWmfArc = 0x0817,
    kWmfDibBitBlt = 0x0940,
    kWmfExtTextOut = 0x0A32,
    kWmfDibStretchBlt = 0x0B41,
    kWmfStretchDib = 0x0F43,
    // Records that make an object: each takes a place in the object table.
    kWmfCreatePalette = 0x00F7,
    kWmfCreatePatternBrush = 0x01F9,
    kWmfDibCreatePatternBrush = 0x0142,
    kWmfCreatePenIndirect = 0x02FA,
    kWmfCreateFontIndirect = 0x02FB,
    kWmfCreateBrushIndirect = 0x02FC,
    kWmfCreateRegion = 0x06FF,
};

// Enhanced-format record types.
enum : std::uint32_t {
    kEmrPolygon = 3,
    kEmrPolyline = 4,
    kEmrPolyPolygon = 8,
    kEmrSetWindowExtEx = 9,
    kEmrSetWindowOrgEx = 10,
    kEmrSetViewportExtEx = 11,
    kEmrSetViewportOrgEx = 12,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetPolyFillMode = 19,
    kEmrSetTextAlign = 22,
    kEmrSetTextColor = 24,
    kEmrSetBkColor = 25,
    kEmrMoveToEx = 27,
    kEmrSaveDC = 33,
    kEmrRestoreDC = 34,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrEllipse = 42,
    kEmrRectangle = 43,
    kEmrRoundRect = 44,
    kEmrArc = 45,
    kEmrLineTo = 54,
    kEmrStretchDiBits = 81,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutW = 84,
    kEmrPolygon16 = 86,
    kEmrPolyline16 = 87,
    kEmrPolyPolygon16 = 91,
    kEmrExtCreatePen = 95,
};

// A record (or a file) read past its end.
struct TShortRecord : std::runtime_error {
    TShortRecord() : std::runtime_error("short record") {}
};

class TBytes {
public:
    TBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Size() const { return size_; }
    const std::uint8_t* Data() const { return data_; }
    bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
    // The checked reads: TShortRecord when the bytes are not there.
    std::uint8_t U8(std::size_t at) const { return Need(at, 1)[0]; }
    std::uint16_t U16(std::size_t at) const
    {
        const std::uint8_t* p = Need(at, 2);
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    std::int16_t S16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
    std::uint32_t U32(std::size_t at) const
    {
        const std::uint8_t* p = Need(at, 4);
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    std::int32_t S32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    // The part of the bytes from `at`, `count` long.
    TBytes Part(std::size_t at, std::size_t count) const { return TBytes(Need(at, count), count); }
    const std::uint8_t* Need(std::size_t at, std::size_t count) const
    {
        if (!Has(at, count))
            throw TShortRecord();
        return data_ + at;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace velmoran::metafile
