// Windows-1252 <-> UTF-8.
#include "platform/core/Cp1252.h"

#include "tests/support/AllocationCount.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmoran;

TEST(Cp1252, GermanTextRoundTrips)
{
    const std::string utf8 = "Übergangsbereich horiz./vertikal";
    const std::string bytes = Utf8ToCp1252(utf8);
    EXPECT_EQ(bytes.size(), utf8.size() - 1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xDC);
    EXPECT_EQ(Cp1252ToUtf8(bytes), utf8);
    EXPECT_EQ(Utf8ToCp1252("höchste"), std::string("h\xF6" "chste"));
}

TEST(Cp1252, EveryByteRoundTripsIncludingTheHighControls)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Cp1252ToUtf8("\x84\x93\x94"), "„“”");
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "Ÿ");
}

TEST(Cp1252, UnmappableAndBrokenInputBecomesQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp1252("a→b"), "a?b");
    EXPECT_EQ(Utf8ToCp1252("😀"), "?");
    EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");           // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");         // overlong encoding
    // What the code page holds, the question mark itself included.
    EXPECT_TRUE(InCp1252(U'?'));
    EXPECT_TRUE(InCp1252(U'€'));
    EXPECT_TRUE(InCp1252(U'ÿ'));
    EXPECT_FALSE(InCp1252(U'Ł'));
    EXPECT_FALSE(InCp1252(U'😀'));
}

// U+0080 is a control Windows-1252 lacks (its byte 0x80 is the euro sign), and a surrogate is no
// character at all: both become "?", never a byte that stands for another character. The UTF-8
// bytes of a surrogate are broken input, read as U+FFFD a byte at a time, never passed on as the
// surrogate; the characters on either side of the surrogates are characters as ever.
TEST(Cp1252, AControlItLacksAndASurrogateBecomeQuestionMarks)
{
    EXPECT_EQ(UnicodeToCp1252(0x80), '?');
    EXPECT_FALSE(InCp1252(0x80));
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");
    EXPECT_EQ(UnicodeToCp1252(0xD800), '?');
    for (const char* surrogate : {"\xED\xA0\x80", "\xED\xBF\xBF"}) {
        std::size_t pos = 0;
        EXPECT_EQ(DecodeUtf8(surrogate, pos), 0xFFFDu) << surrogate;
        EXPECT_EQ(pos, 1u);
        EXPECT_EQ(Utf8ToCp1252(surrogate), "???");
    }
    for (const char* character : {"\xED\x9F\xBF", "\xEE\x80\x80"}) {
        std::size_t pos = 0;
        EXPECT_NE(DecodeUtf8(character, pos), 0xFFFDu) << character;
        EXPECT_EQ(pos, 3u);
    }
}

// A text file from Windows is Windows-1252, one written here UTF-8: each is read as what it is.
TEST(Cp1252, TextFilesAreReadAsUtf8OrWindows1252)
{
    EXPECT_EQ(TextFileToUtf8("Kl\xE4ranlage \x80"), "Kläranlage €");
    EXPECT_EQ(TextFileToUtf8("Kläranlage €"), "Kläranlage €");
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBFProjekt;Kläranlage"), "Projekt;Kläranlage");
    EXPECT_EQ(TextFileToUtf8("Projekt;Klaeranlage"), "Projekt;Klaeranlage");
    // As many stray bytes as UTF-8 sequences: the file is Windows-1252, every byte a character.
    EXPECT_EQ(TextFileToUtf8("Kläranlage \xFC"), "KlÃ¤ranlage ü");
    EXPECT_EQ(TextFileToUtf8("\xEF\xBF\xBD"), "\xEF\xBF\xBD");
    EXPECT_EQ(TextFileToUtf8(""), "");
}

// One stray byte once made a UTF-8 file Windows-1252, every umlaut two characters; after a
// byte-order mark Windows text lost its umlauts to "?". A file with a mark, or more UTF-8
// sequences than stray bytes, is UTF-8, each stray byte its Windows-1252 character, and the
// caller learns the lines where they stood, each once.
TEST(Cp1252, StrayBytesInAUtf8FileAreReadAsWindowsCharacters)
{
    std::vector<std::size_t> stray;
    const auto note = [&stray](std::size_t line) { stray.push_back(line); };
    EXPECT_EQ(TextFileToUtf8("Kläranlage Süd\nM\xFCller", note), "Kläranlage Süd\nMüller");
    EXPECT_EQ(stray, std::vector<std::size_t>{2});
    stray.clear();
    EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBFKl\xE4ranlage \x80\xC3\nSüd\n\xFC", note), "Kläranlage €Ã\nSüd\nü");
    EXPECT_EQ(stray, (std::vector<std::size_t>{1, 3}));
    // A Windows file is no UTF-8 file: nothing stray in it.
    stray.clear();
    EXPECT_EQ(TextFileToUtf8("Stra\xDF" "e \xFC" "ber Br\xFC" "cke", note), "Straße über Brücke");
    EXPECT_TRUE(stray.empty());
}

// A text that was not mostly UTF-8 was read through a view of every line and a flag for each: a
// pure-ASCII file of short lines cost several times its size, a Windows-1252 byte followed by
// millions of line breaks twenty times, and the offset of every stray byte was kept besides. A text
// without bytes beyond ASCII is now UTF-8 at once, any other is decided and read line by line,
// and stray lines are told as they come: the text made is all a reading costs, whatever the shape.
TEST(Cp1252, ReadingATextCostsTheTextItMakes)
{
    constexpr std::size_t kSize = std::size_t{2} << 20;
    std::size_t strayLines = 0;
    // What reading the bytes holds at most beyond them, in times their size.
    const auto costOf = [&strayLines](const std::string& bytes) {
        strayLines = 0;
        const velmoran::testing::PeakAllocation peak;
        const std::string text = TextFileToUtf8(bytes, [&strayLines](std::size_t) { ++strayLines; });
        return static_cast<double>(peak.Bytes()) / static_cast<double>(bytes.size());
    };
    std::string ascii;
    while (ascii.size() < kSize)
        ascii += "QD;12\n";
    EXPECT_LE(costOf(ascii), 2.0);
    const std::string breaks = "Kl\xE4ranlage" + std::string(kSize, '\n');
    EXPECT_LE(costOf(breaks), 2.0);
    EXPECT_EQ(strayLines, 0u);
    // One UTF-8 line among a million Windows-1252 ones: every one of those is told.
    std::string mixed = "Projekt;Kläranlage Süd\n";
    std::size_t windowsLines = 0;
    for (; mixed.size() < kSize; ++windowsLines)
        mixed += "M\xFCller\n";
    EXPECT_LE(costOf(mixed), 2.0);
    EXPECT_EQ(strayLines, windowsLines);
}
