// Saving one value into an INI settings file on POSIX systems: one line of
// the file changes, and the file is replaced whole, so that a crash or a
// full disk leaves either the old file or the new one, never a mix.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pellux {

// Shown the new file, complete and on disk under a name of its own, before it
// takes the old one's place; false keeps the old file.
using AcceptNewFile = std::function<bool(const std::string& path)>;

// Sets `key` in `section` of the file at `path` to `value` (WithIniValue),
// creating the file when there is none. A symbolic link is followed: the
// file it leads to is replaced and the link stays. The new file is written
// beside the old one, flushed to disk and renamed over it.
//
// The new file keeps the old one's owner, group and mode. Writing in place
// would keep them too, but a crash or a full disk would then leave half a
// file; so when they cannot be kept (only the superuser may give a file
// away), or the file has other names (hard links), nothing is saved.
//
// True when the file now holds the value; otherwise the file is as it was.
// A file that cannot be read is never replaced, nor one that is not
// writable, even where the directory would allow a rename.
bool SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value, const AcceptNewFile& accept);

}  // namespace pellux
