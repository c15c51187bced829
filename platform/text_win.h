// Conversions between the program's narrow text (the ANSI code page, as the
// sockets and kernel name calls return it) and the wide text of the window
// APIs.
#pragma once

#include <string>
#include <string_view>

namespace pellux {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace pellux
