// Settings lines as the earlier builds wrote them through Qt's INI form: the keys' escapes, and
// the values that held nothing those builds could use (lists, typed forms), which must not be
// taken for text. The values Qt itself writes and reads are compared with Qt in RegIniTest.
#include "platform/core/LegacySettings.h"

#include <gtest/gtest.h>

using namespace velmoran;

TEST(LegacySettings, KeysWithGroupsAndEscapes)
{
    EXPECT_EQ(UnescapeLegacyKey("Orvelan\\Velmoran\\Recent%20Files\\File1"), "Orvelan/Velmoran/Recent Files/File1");
    EXPECT_EQ(UnescapeLegacyKey("Gr%FC%DFe%U20ac"), "Gr\xC3\xBC\xC3\x9F" "e\xE2\x82\xAC");
    // A "%" without its digits stays.
    EXPECT_EQ(UnescapeLegacyKey("50%"), "50%");
    EXPECT_EQ(UnescapeLegacyKey("%zz%U12"), "%zz%U12");
    // A character beyond the 16-bit range stood as its surrogate pair; a low half of DFFF is the
    // last of its range (U+1F3FF, the darkest skin tone modifier, F0 9F 8F BF in UTF-8), and a
    // low half standing alone becomes U+FFFD.
    EXPECT_EQ(UnescapeLegacyKey("Ton%UD83C%UDFFF"), "Ton\xF0\x9F\x8F\xBF");
    EXPECT_EQ(UnescapeLegacyKey("%UD800%UDC00"), "\xF0\x90\x80\x80");
    EXPECT_EQ(UnescapeLegacyKey("a%UDFFFb"), "a\xEF\xBF\xBD" "b");
}

TEST(LegacySettings, ValuesAsTheEarlierBuildsReadThem)
{
    const auto text = [](std::string_view raw) {
        const auto value = DecodeLegacyValue(raw);
        return value && !value->Bytes ? value->Data : std::string("<keiner>");
    };
    EXPECT_EQ(text("C:\\\\Daten\\\\"), "C:\\Daten\\");
    EXPECT_EQ(text("\"a, b; c=d\""), "a, b; c=d");
    EXPECT_EQ(text("\"  Rand  \""), "  Rand  ");
    EXPECT_EQ(text("  frei  "), "frei");
    EXPECT_EQ(text("a\\x20"), "a ");  // an escaped blank at the end stays
    EXPECT_EQ(text("@@Klammeraffe"), "@Klammeraffe");
    EXPECT_EQ(text("@String(abc)"), "abc");
    EXPECT_EQ(text(""), "");
    // Lists, empty and typed values held nothing the program could read as text.
    for (const char* none : {"a, b", "\"a\",", "@Invalid()", "@Variant(\\0\\0\\0\\x7f)", "@Rect(1 2 3 4)"})
        EXPECT_FALSE(DecodeLegacyValue(none)) << none;
    const auto bytes = DecodeLegacyValue("@ByteArray(\\n\\0*\\xff)");
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->Bytes);
    EXPECT_EQ(bytes->Data, std::string("\n\0*\xFF", 4));
}
