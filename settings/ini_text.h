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
// is kept. A line whose first non-blank character is '[' starts a section,
// named by what stands before the first ']'; one that starts with ';' is a
// comment; a line of a section with an '=' is a key, named by what stands
// before it. Names lose the blanks around them and compare byte for byte.
//
// Of the key's last line in the section (the one a reader takes) only the
// value changes: blanks around it and a comment after it (from a ';' outside
// quotes) stay. A missing key follows the section's first heading; a missing
// section is added at the end. New lines end in the text's first line break,
// or LF.
std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// The value of the last `key` in any `section` (the one WithIniValue
// changes), without its quotes; nothing when no such section holds the key.
std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

}  // namespace pellux
