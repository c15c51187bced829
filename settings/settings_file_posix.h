// Saving one value into an INI settings file on POSIX systems: one line of
// the file changes, and the file is replaced whole, so that a crash or a
// full disk leaves either the old file or the new one, never a mix.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pellux {

// Sets `key` in `section` of the file at `path` to `value` (WithIniValue),
// creating the file when there is none. A symbolic link is followed: the
// file it leads to is replaced and the link stays. The new file is written
// beside the old one and flushed to disk; `accept` sees it there, and false
// from it keeps the old file; otherwise it is renamed over the old one.
//
// The new file keeps the old one's owner, group and mode (writing in place
// would too, but could leave half a file): when they cannot be kept (only
// the superuser may give a file away), or the file has other names (hard
// links), nothing is saved; nor is a file that cannot be read, or is not
// writable, even where the directory would allow a rename.
// True when the file now holds the value; otherwise the file is as it was.
bool SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value,
                  const std::function<bool(const std::string& new_path)>& accept);

}  // namespace pellux
