// Locale-aware text comparison without a display: the collation the in-memory tables use for
// their key fields, built on ICU's collator. A locale is named by its Windows-style numeric id
// (1031 German, 1033 US English, ...); 1024 (and 0, 2048) stand for the user's default locale,
// which comes from the environment (LC_ALL, LC_COLLATE, LANG) unless a program or a test sets it.
#pragma once

#include "platform/core/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmoran {

// A locale id that names no collation we can build.
class ECollationError : public Exception {
public:
    ECollationError() : Exception("Invalid locale.") {}
};

class TextCollator {
public:
    static constexpr std::uint32_t kUserDefault = 1024;

    // Three-way comparison (-1, 0, 1) of UTF-16 texts under the locale; ignoring case compares
    // letters and accents but not case. Raises ECollationError for an id without a locale.
    static int Compare(std::u16string_view a, std::u16string_view b, std::uint32_t localeId, bool ignoreCase);
    // The same for 8-bit text in the ANSI code page (Windows-1252), as the records hold it.
    static int CompareAnsi(std::string_view a, std::string_view b, std::uint32_t localeId, bool ignoreCase);
    // The same for UTF-8 text.
    static int CompareUtf8(std::string_view a, std::string_view b, std::uint32_t localeId, bool ignoreCase);

    // The ICU locale name an id stands for ("de_DE"); empty when there is none.
    static std::string LocaleName(std::uint32_t localeId);
    static bool IsValidLocale(std::uint32_t localeId) { return !LocaleName(localeId).empty(); }

    // The locale that id 1024 stands for, as an ICU or POSIX name ("de_DE", "de_DE.UTF-8");
    // empty returns to the environment's.
    static void SetUserDefaultLocale(std::string_view name);
    static std::string UserDefaultLocale();
};

// Unicode case mapping of UTF-8 text (Ä <-> ä, not only A-Z), for texts the user compares
// without regard to case.
std::string UnicodeUpperCase(std::string_view utf8);
std::string UnicodeLowerCase(std::string_view utf8);

}  // namespace velmoran
