// The design module's own record: 328 bytes, 41 little-endian doubles holding its inputs, some
// results and, from byte 184, the block of 18 model-parameter slots. `AT` is the one byte member;
// the other seven bytes of its slot are carried as stored.
#pragma once

#include "framework/RecordBytes.h"
#include "framework/RecordMembers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmoran {

namespace hsg {
constexpr std::size_t kSize = 328;
constexpr std::size_t kSO2zb = 8;
constexpr std::size_t kBDO2zb = 16;
constexpr std::size_t kSNH4ANSP = 24;
constexpr std::size_t kSH = 32;
constexpr std::size_t kSFH = 40;
constexpr std::size_t kMA = 48;
constexpr std::size_t kfOVa = 56;
constexpr std::size_t kSO2RF = 64;
constexpr std::size_t kEtaPBio = 80;
constexpr std::size_t kfDP = 88;
constexpr std::size_t kfBP = 96;
constexpr std::size_t kfKS = 104;
constexpr std::size_t kfTS = 112;
constexpr std::size_t kAT = 120;  // a byte: 0 diffused aeration, 1 surface aeration
constexpr std::size_t kAlpha = 128;
constexpr std::size_t kcss = 136;
constexpr std::size_t kSSARW = 144;
constexpr std::size_t kSSA100 = 152;
constexpr std::size_t kOP100 = 160;
constexpr std::size_t kOChRW = 168;
constexpr std::size_t kQLN = 176;
// The parameter block: 18 slots of 8 bytes, handed to the parameter dialog as a whole.
constexpr std::size_t kParameterBlock = 184;
constexpr std::size_t kParameterBlockSize = 144;
constexpr std::size_t kaTh = 184;
constexpr std::size_t kYh = 200;
constexpr std::size_t kBh = 208;
constexpr std::size_t kaTa = 216;
constexpr std::size_t kMUEaMax = 224;
constexpr std::size_t kYa = 232;
constexpr std::size_t kBa = 240;
constexpr std::size_t kkN = 248;
constexpr std::size_t kaTd = 256;
constexpr std::size_t kfOVs = 264;
constexpr std::size_t kfOVe = 272;
constexpr std::size_t kfOVd = 280;
constexpr std::size_t kfP = 288;
constexpr std::size_t kfI = 296;
constexpr std::size_t kfXNBM = 304;
constexpr std::size_t kfXNI = 312;
constexpr std::size_t kfXPBM = 320;
}  // namespace hsg

class THSGRecord {
public:
    static constexpr std::size_t kSize = hsg::kSize;
    using Bytes = std::array<std::uint8_t, kSize>;

    THSGRecord() { bytes_.fill(0); }

    Bytes& Raw() { return bytes_; }
    const Bytes& Raw() const { return bytes_; }
    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    void Clear() { bytes_.fill(0); }

    TMutableView View() { return {bytes_.data(), kSize}; }
    TConstView View() const { return {bytes_.data(), kSize}; }

    double Double(std::size_t offset) const { return View().Double(offset); }
    void SetDouble(std::size_t offset, double value) { View().SetDouble(offset, value); }

    // The aeration system: the first byte of its slot only.
    std::uint8_t AT() const { return bytes_[hsg::kAT]; }
    void SetAT(std::uint8_t value) { bytes_[hsg::kAT] = value; }

    std::span<std::uint8_t, hsg::kParameterBlockSize> ParameterBlock()
    {
        return std::span<std::uint8_t, hsg::kParameterBlockSize>(bytes_.data() + hsg::kParameterBlock,
                                                                  hsg::kParameterBlockSize);
    }
    std::span<const std::uint8_t, hsg::kParameterBlockSize> ParameterBlock() const
    {
        return std::span<const std::uint8_t, hsg::kParameterBlockSize>(bytes_.data() + hsg::kParameterBlock,
                                                                        hsg::kParameterBlockSize);
    }

    friend bool operator==(const THSGRecord&, const THSGRecord&) = default;

private:
    Bytes bytes_;
};

// Puts the built-in defaults into a record: the 17 model parameters, SNH4ANSP 5.0, SH 1.7 and
// SFH 1.25. Nothing else is touched.
void SetBuiltInDefaults(THSGRecord& record);

// Every named member of the record (reserved slots excluded), in offset order.
std::span<const MemberInfo> HsgRecordMembers();

}  // namespace velmoran
