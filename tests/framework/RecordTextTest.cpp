// "Name;Wert" lines into records: load-case addressing, comments, blanks, the member types and
// the errors that name the line.
#include "framework/RecordText.h"

#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <array>

using namespace velmoran;

namespace {

std::string ErrorOf(std::string_view text)
{
    TCommonRecord scratch;
    try {
        ApplyRecordText(text, scratch);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "";
}

}  // namespace

TEST(RecordText, LinesAddressMembersAndLoadCases)
{
    TCommonRecord r;
    ApplyRecordText("QD#2; 12,5 \r\n"
                    "// a comment; with a semicolon\n"
                    "no value here\n"
                    "Bearbeiter;  Müller \n"
                    "EC;1\n"
                    "DV#1;5\n"
                    "Flags#3;129\n",
                    r);
    EXPECT_EQ(r.Block(2).Double(block::kQD), 12.5);
    EXPECT_EQ(r.Block(0).Double(block::kQD), 0.0);
    EXPECT_EQ(r.String(common::kBearbeiter), "Müller");
    EXPECT_EQ(r.Block(0).ByteAt(block::kProcess), 0x80);
    EXPECT_EQ(r.Block(1).ByteAt(block::kProcess), 0x05);
    EXPECT_EQ(r.Block(3).Word(block::kFlags), 129);
}

TEST(RecordText, BadLinesAreReportedWithTheirNumber)
{
    EXPECT_EQ(ErrorOf("QD;1\nUnbekannt;1\n").substr(0, 9), "Zeile 2: ");
    for (const char* bad : {"QD;1.5x\n", "QD#4;1\n", "Projekt#1;x\n", "DV;16\n", "FT;-1\n", "Datum;31.02.2026\n"})
        EXPECT_NE(ErrorOf(bad), "") << bad;

    // A record without load cases, given its directory.
    constexpr std::array<MemberInfo, 2> members = {{{"AT", 8, MemberType::Byte, MemberArea::Record},
                                                    {"Alpha", 0, MemberType::Double, MemberArea::Record}}};
    std::array<std::uint8_t, 16> bytes{};
    ApplyRecordText("AT;1\nAlpha;0,7\n", TMutableView(bytes.data(), bytes.size()), members);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(TConstView(bytes.data(), bytes.size()).Double(0), 0.7);
    EXPECT_THROW(ApplyRecordText("QD;1\n", TMutableView(bytes.data(), bytes.size()), members), EConvertError);
    EXPECT_THROW(ApplyRecordText("AT#1;1\n", TMutableView(bytes.data(), bytes.size()), members), EConvertError);
}
