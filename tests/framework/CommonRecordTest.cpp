// The common record's layout: member offsets, strings, bits, load-case texts, the member
// directory and the command keywords.
#include "framework/CommonRecord.h"
#include "framework/MemberFields.h"
#include "framework/ModuleCommand.h"
#include "framework/RecordMembers.h"
#include "memtable/MemTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

using namespace velmoran;

TEST(CommonRecord, MembersLieAtTheirOffsets)
{
    TCommonRecord r;
    r.Block(0).SetDouble(block::kQD, 10000.0);
    double qd = 0;
    std::memcpy(&qd, r.Data() + 1256, 8);  // the test host is little-endian
    EXPECT_EQ(qd, 10000.0);

    r.SetString(common::kProjekt, "Kläranlage");
    r.SetString(common::kBearbeiter, "Muster");
    EXPECT_EQ(r.Data()[8], 10);
    EXPECT_EQ(r.Data()[8 + 3], 0xE4);  // "ä" in Windows-1252
    EXPECT_EQ(r.Data()[264], 6);
    EXPECT_EQ(r.Data()[265], 'M');

    // Block 3 ends where the tail starts.
    const TLoadCaseBlock b3 = r.Block(3);
    EXPECT_EQ(b3.Data() - r.Data(), 736 + 3 * 1328);
    EXPECT_EQ(b3.Data() + b3.Size() - r.Data(), 6048);
    b3.SetDouble(block::kOCh, 1.5);
    EXPECT_EQ(r.Double(6040), 1.5);
}

TEST(CommonRecord, DoublesAreLittleEndianBitExact)
{
    TCommonRecord r;
    r.SetDouble(common::kBDBSB, -0.0);
    EXPECT_EQ(r.Data()[536 + 7], 0x80);
    r.SetDouble(common::kBDBSB, 1.0);  // 0x3FF0000000000000
    EXPECT_EQ(r.Data()[536 + 7], 0x3F);
    EXPECT_EQ(r.Data()[536 + 6], 0xF0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(r.Data()[536 + i], 0);
}

// The flags word of a load case as a file holds it, its high byte set: read whole and unsigned,
// in the record and in the table field it fills.
TEST(CommonRecord, WordsReadTheirHighByteUnsigned)
{
    TCommonRecord r;
    const TLoadCaseBlock b = r.Block(2);
    b.Data()[block::kFlags] = 0x81;
    b.Data()[block::kFlags + 1] = 0x80;
    EXPECT_EQ(b.Word(block::kFlags), 0x8081);

    TzebMemTable table;
    auto& flags = table.AddField<TWordField>("Flags");
    table.Open();
    table.Append();
    FillFieldFromMember(flags, b, *FindMember(CommonRecordMembers(), "Flags"));
    EXPECT_EQ(flags.AsInteger(), 32897);

    b.SetWord(block::kFlags, 0x1234);
    EXPECT_EQ(b.Data()[block::kFlags], 0x34);
    EXPECT_EQ(b.Data()[block::kFlags + 1], 0x12);
}

TEST(CommonRecord, StringsAreWindows1252AndKeepTheBytesAfterTheLength)
{
    TCommonRecord r;
    std::memset(r.Data() + 8, 'x', 256);
    r.SetString(common::kProjekt, "höchste");
    EXPECT_EQ(r.Data()[8], 7);
    EXPECT_EQ(r.Data()[10], 0xF6);
    EXPECT_EQ(r.Data()[8 + 8], 'x');  // first byte after the text
    EXPECT_EQ(r.Data()[8 + 255], 'x');
    EXPECT_EQ(r.String(common::kProjekt), "höchste");

    const std::string full(255, 'A');
    r.SetString(common::kBearbeiter, full + "BBB");  // cut to 255
    EXPECT_EQ(r.Data()[264], 255);
    EXPECT_EQ(r.String(common::kBearbeiter), full);
    EXPECT_EQ(r.Data()[520], 0) << "the cut text must not run into Datum";

    r.SetString(common::kProjekt, "");
    EXPECT_EQ(r.String(common::kProjekt), "");
    EXPECT_EQ(r.Data()[9], 'h') << "an empty text rewrites only the length byte";
}

TEST(CommonRecord, BitsChangeOnlyTheirOwnBits)
{
    TCommonRecord r;
    r.SetByte(common::kOptionB, 0xA0);  // reserved bits 5 and 7 set
    r.SetBits(common::kOptionB, common::kShiftRZ, common::kCountRZ, 2);
    r.SetBits(common::kOptionB, common::kBitDN, 1, 1);
    EXPECT_EQ(r.ByteAt(common::kOptionB), 0xB2);
    EXPECT_EQ(r.Bits(common::kOptionB, 0, 4), 2u);

    const TLoadCaseBlock b = r.Block(0);
    b.SetByte(block::kProcess, 0xC5);
    EXPECT_EQ(b.Bits(block::kProcess, block::kShiftDV, block::kCountDV), 5u);
    EXPECT_EQ(b.Bits(block::kProcess, 6, 2), 3u);
    b.SetBits(block::kProcess, block::kShiftDV, block::kCountDV, 1);
    EXPECT_EQ(b.ByteAt(block::kProcess), 0xC1);
}

TEST(CommonRecord, LoadCaseNamesAreTheFixedTexts)
{
    TCommonRecord r;
    r.Block(3).SetString(block::kBezeichn, "Irgendein sehr langer Name des Lastfalls");
    SetLoadCaseNames(r);
    EXPECT_EQ(r.Block(0).String(block::kBezeichn), "Bemessung");
    EXPECT_EQ(r.Block(2).String(block::kBezeichn), "höchste Temperatur");
    EXPECT_EQ(r.Block(3).String(block::kBezeichn), "Sonder- lastfall");
    EXPECT_EQ(r.Block(3).String(block::kText), "Sonderlastfall");
    EXPECT_EQ(r.Block(1).String(block::kText), "Nachweis der Nitrifikation bei tiefster Temperatur");
    EXPECT_EQ(r.Block(2).String(block::kText), "Ermittlung des Sauerstoffbedarfs bei höchster Temperatur");
    // The old, longer name's tail stays behind the new length byte.
    EXPECT_EQ(r.Block(3).Data()[1 + 16], 'a');
}

TEST(RecordMembers, DirectoryIsConsistentWithTheLayout)
{
    const auto members = CommonRecordMembers();
    std::map<std::string_view, int> names;
    // Byte-level occupancy per area, to find overlaps between whole members.
    std::map<std::pair<int, std::size_t>, std::string_view> owner;
    for (const MemberInfo& m : members) {
        EXPECT_EQ(names[m.Name]++, 0) << "duplicate " << m.Name;
        std::size_t size = 1;
        switch (m.Type) {
        case MemberType::Double:
        case MemberType::DateTime:
            size = 8;
            EXPECT_EQ(m.Offset % 8, 0u) << m.Name;
            break;
        case MemberType::Word: size = 2; break;
        case MemberType::ShortString: size = 256; break;
        case MemberType::Byte: size = 1; break;
        case MemberType::Bits:
            EXPECT_LE(m.BitShift + m.BitCount, 8) << m.Name;
            continue;  // bit members share their byte
        }
        const bool inBlock = m.Area == MemberArea::LoadCase;
        EXPECT_LE(m.Offset + size, inBlock ? common::kBlockSize : common::kSize) << m.Name;
        for (std::size_t i = 0; i < size; ++i) {
            auto [it, fresh] = owner.emplace(std::pair{inBlock ? 1 : 0, m.Offset + i}, m.Name);
            EXPECT_TRUE(fresh) << m.Name << " overlaps " << it->second;
        }
    }
    EXPECT_EQ(FindMember(members, "QD")->Offset, block::kQD);
    EXPECT_EQ(FindMember(members, "Projekt")->Offset, 8u);
    EXPECT_EQ(FindMember(members, "fCSB_oTS")->Offset, 6776u);
    EXPECT_EQ(FindMember(members, "vF")->Offset, 6496u);
    EXPECT_EQ(FindMember(members, "OCh")->Offset, 1320u);
    EXPECT_EQ(FindMember(members, "qd"), nullptr);
}

TEST(ModuleCommand, KeywordsMatchWithoutRegardToCase)
{
    EXPECT_EQ(ParseModuleCommand("calculate"), ModuleCommand::Calculate);
    EXPECT_EQ(ParseModuleCommand("ReadData"), ModuleCommand::ReadData);
    EXPECT_EQ(ParseModuleCommand("EditSpecial"), ModuleCommand::EditSpecial);
    EXPECT_EQ(ParseModuleCommand("CheckAll"), std::nullopt);
    EXPECT_EQ(ParseModuleCommand("READDATA "), std::nullopt);
    EXPECT_EQ(ModuleKeywords().size(), 11u);
}
