// The settings as the earlier builds wrote them, through Qt's INI form, read as that form reads
// them. A key path "A/B/C" stood in the section "[A]" as the name "B\C"; a character of a section
// or name outside A-Z, a-z, 0-9, "_", "-", "." as "%XX" or "%UXXXX" (UTF-16). A value is text
// with C escapes ("\\", "\"", "\n", "\x41", "\101"; an unknown escape drops its character), in
// quotes where it holds ",", ";" or "=" or blanks at its ends, ";" outside quotes starting a
// comment; a leading "@" doubled, raw bytes as "@ByteArray(...)" with every byte above 0x7E as
// "\xHH". Unquoted "," makes a list, which these settings never held.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// A section or name as a key path in UTF-8: "Recent%20Files\File1" -> "Recent Files/File1".
std::string UnescapeLegacyKey(std::string_view key);

struct LegacyValue {
    // Raw bytes ("@ByteArray(...)"); otherwise text in UTF-8.
    bool Bytes = false;
    std::string Data;
};

// A value's text after "=" as the earlier builds read it; nothing for a value that held nothing
// they could use (a list, "@Invalid()", "@Variant(...)" and the other typed forms).
std::optional<LegacyValue> DecodeLegacyValue(std::string_view raw);

}  // namespace velmoran
