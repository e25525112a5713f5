// The common calculation record: 6784 bytes holding a calculation's project header, four load
// cases, the clarifier and plant data and a model-parameter set. It is stored, copied and compared
// as raw bytes; members are read and written by their offsets, so every byte that no part of the
// program interprets (reserved members, fill, the bytes after a string's length) survives as read.
#pragma once

#include "framework/RecordBytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmoran {

// Offsets of the header and tail members, from the record start.
namespace common {
constexpr std::size_t kSize = 6784;
constexpr std::size_t kHeaderSize = 736;
constexpr std::size_t kBlockSize = 1328;
constexpr std::size_t kBlockCount = 4;
constexpr std::size_t kFirstBlock = 736;
constexpr std::size_t kTail = 6048;
constexpr std::size_t kParameterSet = 6504;

constexpr std::size_t kProjekt = 8;
constexpr std::size_t kBearbeiter = 264;
constexpr std::size_t kDatum = 520;
constexpr std::size_t kOptionA = 528;     // bit 1 BM
constexpr std::size_t kOptionB = 530;     // bits 0-3 RZ, bit 4 DN, bit 6 FS
constexpr std::size_t kGE = 531;
constexpr std::size_t kVE = 532;          // bit 0 VK, bit 1 MB, bit 2 AS, bit 5 NS
constexpr std::size_t kBDBSB = 536;
constexpr std::size_t kFT = 549;
constexpr std::size_t k_TSBB = 552;
constexpr std::size_t k_TSBA = 560;
constexpr std::size_t k_TTS = 568;
constexpr std::size_t k_SF = 584;
constexpr std::size_t kVBB = 632;
constexpr std::size_t k_VBB = 640;
constexpr std::size_t knKask = 648;
constexpr std::size_t kaFM = 656;
constexpr std::size_t kSSABB = 664;
constexpr std::size_t kHE = 672;
constexpr std::size_t kVMB = 680;
constexpr std::size_t kVAS = 696;

constexpr unsigned kBitBM = 1;
constexpr unsigned kShiftRZ = 0, kCountRZ = 4;
constexpr unsigned kBitDN = 4;
constexpr unsigned kBitFS = 6;

constexpr std::size_t kNT = 6048;
constexpr std::size_t kQM = 6056;
constexpr std::size_t kFlowDirectionRatio = 6224;  // classified into the STYP text
constexpr std::size_t kTSRS = 6192;
constexpr std::size_t kTSBS = 6200;
constexpr std::size_t kTSZN = 6176;
constexpr std::size_t kQk = 6240;
constexpr std::size_t kQRS = 6256;
constexpr std::size_t kRT = 6408;
}  // namespace common

// Offsets of the load-case members, from the start of a block.
namespace block {
constexpr std::size_t kBezeichn = 0;
constexpr std::size_t kText = 256;
constexpr std::size_t kFlags = 512;  // bit 0 Aktiv, bit 7 influent entered as daily loads
constexpr std::uint16_t kFlagAktiv = 1;
constexpr std::uint16_t kFlagLoads = 128;
constexpr std::size_t kQD = 520;
constexpr std::size_t kQT = 528;
constexpr std::size_t kCCSBzb = 544;
constexpr std::size_t kSCSBzb = 552;
constexpr std::size_t kXCSBzb = 560;
constexpr std::size_t kSCSBizb = 568;
constexpr std::size_t kXCSBizb = 576;
constexpr std::size_t kSCSBazb = 584;
constexpr std::size_t kXCSBazb = 592;
constexpr std::size_t kCBSBzb = 600;
constexpr std::size_t kSCSBdos = 616;
constexpr std::size_t kXTSzb = 624;
constexpr std::size_t kXTSizb = 632;
constexpr std::size_t kSNH4zb = 640;
constexpr std::size_t kSNO3zb = 648;
constexpr std::size_t kCTKNzb = 656;
constexpr std::size_t kCPzb = 664;
constexpr std::size_t kSKSzb = 672;
constexpr std::size_t kBDCCSBzb = 680;
constexpr std::size_t kBDSCSBzb = 688;
constexpr std::size_t kBDBSBzb = 736;
constexpr std::size_t kBDXTSzb = 752;
constexpr std::size_t kBDNH4zb = 768;
constexpr std::size_t kBDNO3zb = 776;
constexpr std::size_t kBDTKNzb = 784;
constexpr std::size_t kBDPzb = 792;
constexpr std::size_t kSNH4an = 800;
constexpr std::size_t kSNO3an = 816;
constexpr std::size_t k_SNO3an = 824;
constexpr std::size_t kSorgNan = 832;
constexpr std::size_t kSPO4an = 840;
constexpr std::size_t k_SPO4an = 848;
constexpr std::size_t kSKSan = 856;
constexpr std::size_t kSNH4n0 = 864;
constexpr std::size_t kSNH4n = 872;
constexpr std::size_t kSNO3d0 = 880;
constexpr std::size_t kSNO3dmax = 888;
constexpr std::size_t kSNO3d = 896;
constexpr std::size_t kSPO4an0 = 904;
constexpr std::size_t kXPF = 912;
constexpr std::size_t kTSBB = 920;
constexpr std::size_t kTSAB = 928;
constexpr std::size_t kT = 936;
constexpr std::size_t kTTS = 944;
constexpr std::size_t kTTSa = 952;
constexpr std::size_t kSF = 960;
constexpr std::size_t kMH = 968;
constexpr std::size_t kMX = 976;
constexpr std::size_t kMI = 984;
constexpr std::size_t kMP = 992;
constexpr std::size_t kMF = 1000;
constexpr std::size_t kXNBM = 1032;
constexpr std::size_t kXPBM = 1040;
constexpr std::size_t kXPBIOP = 1048;
constexpr std::size_t knDP = 1072;
constexpr std::size_t kBeta = 1080;
constexpr std::size_t kFM = 1088;
constexpr std::size_t kVdV = 1096;
constexpr std::size_t kVdVmax = 1104;
constexpr std::size_t kVD = 1112;
constexpr std::size_t kVN = 1128;
constexpr std::size_t kProcess = 1144;  // bits 0-3 DV, bit 7 EC, bits 6-7 RM
constexpr unsigned kShiftDV = 0, kCountDV = 4;
constexpr std::size_t kRF = 1152;
constexpr std::size_t k_RF = 1160;
constexpr std::size_t ktT = 1168;
constexpr std::size_t kfTempH = 1200;
constexpr std::size_t kfTempA = 1208;
constexpr std::size_t kfC = 1216;
constexpr std::size_t kfCcalc = 1224;
constexpr std::size_t kfN = 1232;
constexpr std::size_t kfNcalc = 1240;
constexpr std::size_t kcx = 1248;
constexpr std::size_t kcs = 1256;
constexpr std::size_t kpH = 1264;
constexpr std::size_t kOVcb = 1272;
constexpr std::size_t kOVn = 1280;
constexpr std::size_t kOVd = 1288;
constexpr std::size_t kOVcc = 1304;
constexpr std::size_t kOVh = 1312;
constexpr std::size_t kOCh = 1320;
}  // namespace block

// One load case of the common record: a writable or read-only view of its 1328 bytes inside the
// record, with accessors by offset from the block start.
using TLoadCaseBlock = TRecordView<std::uint8_t>;
using TConstLoadCaseBlock = TRecordView<const std::uint8_t>;

class TCommonRecord {
public:
    static constexpr std::size_t kSize = common::kSize;
    using Bytes = std::array<std::uint8_t, kSize>;

    // A new record is all zero bytes.
    TCommonRecord() { bytes_.fill(0); }

    Bytes& Raw() { return bytes_; }
    const Bytes& Raw() const { return bytes_; }
    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    void Clear() { bytes_.fill(0); }

    TMutableView View() { return {bytes_.data(), kSize}; }
    TConstView View() const { return {bytes_.data(), kSize}; }

    // Load case k (0 to 3).
    TLoadCaseBlock Block(std::size_t k) { return {bytes_.data() + common::kFirstBlock + common::kBlockSize * k, common::kBlockSize}; }
    TConstLoadCaseBlock Block(std::size_t k) const
    {
        return {bytes_.data() + common::kFirstBlock + common::kBlockSize * k, common::kBlockSize};
    }

    // Header and tail members by offset from the record start.
    double Double(std::size_t offset) const { return View().Double(offset); }
    std::uint8_t ByteAt(std::size_t offset) const { return bytes_[offset]; }
    std::string String(std::size_t offset) const { return View().String(offset); }
    unsigned Bits(std::size_t offset, unsigned shift, unsigned count) const { return View().Bits(offset, shift, count); }
    void SetDouble(std::size_t offset, double value) { View().SetDouble(offset, value); }
    void SetByte(std::size_t offset, std::uint8_t value) { bytes_[offset] = value; }
    void SetString(std::size_t offset, std::string_view utf8) { View().SetString(offset, utf8); }
    void SetBits(std::size_t offset, unsigned shift, unsigned count, unsigned value)
    {
        View().SetBits(offset, shift, count, value);
    }

    friend bool operator==(const TCommonRecord&, const TCommonRecord&) = default;

private:
    Bytes bytes_;
};

// The fixed names ("Bezeichn") and descriptions ("Text") of the four load cases, in UTF-8.
std::string_view LoadCaseName(std::size_t k);
std::string_view LoadCaseText(std::size_t k);

// Writes the fixed names and descriptions into the four blocks; only the length bytes and the
// characters change.
void SetLoadCaseNames(TCommonRecord& record);

}  // namespace velmoran
