// The collation of the in-memory tables: German and English orders, case, the numeric locale ids
// and the default locale, which every case sets explicitly instead of reading the machine's.
#include "platform/core/TextCollator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using velmoran::ECollationError;
using velmoran::UnicodeLowerCase;
using velmoran::UnicodeUpperCase;
using Collator = velmoran::TextCollator;

class TextCollator : public ::testing::Test {
protected:
    void SetUp() override { Collator::SetUserDefaultLocale("de_DE"); }
    void TearDown() override { Collator::SetUserDefaultLocale(""); }

    static std::vector<std::string> Sorted(std::vector<std::string> names, std::uint32_t id, bool ignoreCase = false)
    {
        std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
            return Collator::CompareUtf8(a, b, id, ignoreCase) < 0;
        });
        return names;
    }
};

TEST_F(TextCollator, GermanPutsUmlautsAmongTheirBaseLetters)
{
    const std::vector<std::string> expected = {"Aachen", "Ärzen", "Augsburg", "Oberhausen", "Öhringen",
                                               "Ottobrunn", "Zwickau"};
    std::vector<std::string> shuffled = {"Zwickau", "Öhringen", "Augsburg", "Ärzen", "Ottobrunn", "Aachen",
                                         "Oberhausen"};
    EXPECT_EQ(Sorted(shuffled, 1031), expected);
    // 1024 is the default locale, set to German here.
    EXPECT_EQ(Sorted(shuffled, 1024), expected);
    // By code points "Ä" and "Ö" would come after "Z".
    EXPECT_LT(std::string("Zwickau"), std::string("Ärzen"));
}

TEST_F(TextCollator, ThreeFormsAgree)
{
    EXPECT_EQ(Collator::CompareUtf8("Ärzen", "Augsburg", 1031, false), -1);
    EXPECT_EQ(Collator::Compare(u"Ärzen", u"Augsburg", 1031, false), -1);
    // Windows-1252: 0xC4 is "Ä".
    EXPECT_EQ(Collator::CompareAnsi("\xC4rzen", "Augsburg", 1031, false), -1);
    EXPECT_EQ(Collator::CompareAnsi("Augsburg", "\xC4rzen", 1031, false), 1);
    EXPECT_EQ(Collator::CompareAnsi("Ulm", "Ulm", 1033, false), 0);
    // Longer than the stack buffer of the 8-bit form.
    std::string longA(300, 'a'), longB(300, 'a');
    longB.back() = 'b';
    EXPECT_EQ(Collator::CompareAnsi(longA, longB, 1033, false), -1);
}

TEST_F(TextCollator, IgnoringCaseKeepsAccents)
{
    EXPECT_EQ(Collator::CompareUtf8("abc", "ABC", 1031, true), 0);
    EXPECT_NE(Collator::CompareUtf8("abc", "ABC", 1031, false), 0);
    EXPECT_NE(Collator::CompareUtf8("arzen", "ÄRZEN", 1031, true), 0);
    EXPECT_EQ(Collator::CompareUtf8("ärzen", "ÄRZEN", 1031, true), 0);
}

TEST_F(TextCollator, LocaleIdsMapToIcuLocales)
{
    EXPECT_EQ(Collator::LocaleName(1031), "de_DE");
    EXPECT_EQ(Collator::LocaleName(1033), "en_US");
    EXPECT_EQ(Collator::LocaleName(1024), "de_DE");
    Collator::SetUserDefaultLocale("sv_SE.UTF-8");
    EXPECT_EQ(Collator::LocaleName(1024), "sv_SE");
    // Swedish sorts "Ä" after "Z"; the cached collator of the default follows the change.
    EXPECT_EQ(Collator::CompareUtf8("Ärzen", "Zwickau", 1024, false), 1);
    EXPECT_EQ(Collator::CompareUtf8("Ärzen", "Zwickau", 1031, false), -1);
    EXPECT_EQ(Collator::CompareUtf8("Ärzen", "Zwickau", 1053, false), 1);
}

TEST_F(TextCollator, AnIdWithoutLocaleFails)
{
    EXPECT_FALSE(Collator::IsValidLocale(0x9999));
    try {
        Collator::CompareUtf8("a", "b", 0x9999, false);
        FAIL() << "no error";
    } catch (const ECollationError& e) {
        EXPECT_EQ(e.Message(), "Invalid locale.");
    }
}

TEST_F(TextCollator, UnicodeCaseMapsUmlautsToo)
{
    EXPECT_EQ(UnicodeUpperCase("ärzen straße"), "ÄRZEN STRASSE");
    EXPECT_EQ(UnicodeLowerCase("ÖHRINGEN"), "öhringen");
    EXPECT_EQ(UnicodeUpperCase(""), "");
}

}  // namespace
