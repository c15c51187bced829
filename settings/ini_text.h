// Reading one value of an INI file's text, and editing it without touching
// anything else in it: the file is the user's too, and may hold notes, other
// programs' keys and bytes in any encoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pellux {

// `text` with `key` in `section` set to `value`, every other byte as it was.
//
// Lines end in LF, CR LF or a lone CR; a UTF-8 byte order mark at the start
// is kept and is not part of the first line. A line whose first non-blank
// character is '[' starts a section, named by what stands before the first
// ']', blanks around it left out; one whose first non-blank character is ';'
// is a comment. A line of a section with an '=' is a key, named by what
// stands before the first '=', blanks around it left out. Names are compared
// byte for byte.
//
// Where the section holds the key, only its last occurrence changes (that is
// the one a reader takes), and of that line only the value: blanks around
// it and a comment after it (from a ';' outside quotes) stay. Where the
// section has no such key, a line `key=value` follows the section's first
// heading. Where there is no such section, it is added at the end with the
// key. New lines end in the text's own line break, the first one found in
// it; LF in text without one.
std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// The value of the last `key` in any `section` (the one WithIniValue
// changes), without its quotes; nothing when no such section holds the key.
std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

}  // namespace pellux
