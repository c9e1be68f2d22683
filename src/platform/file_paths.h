#pragma once

#include <string>
#include <string_view>

namespace temvik {

// The full path Windows makes of `path` (UTF-8), spelled out without the
// file system: "/" becomes "\", repeated separators are one, "." goes and
// ".." takes the component before it (never the root: a drive "C:", a
// share "\\server\share"), the last component loses its trailing dots and
// blanks and the others a single trailing dot, and the "\\?\" and "\\.\"
// prefixes of a drive or share are dropped. A relative path, and one that
// starts with a separator or names only a drive, is taken from
// `currentDirectory`, a full path. Letter case is kept; short names are not
// resolved (that needs the disk).
[[nodiscard]] std::string fullPathOf(std::string_view path, std::string_view currentDirectory);

// `path` with backslashes for slashes and without a "\\?\" or "\\.\" before
// a drive or a share ("\\?\UNC\server\share" is "\\server\share"): the
// same file under the name the system's own path rules start from.
[[nodiscard]] std::string withoutDevicePrefix(std::string_view path);

// fullPathOf with ASCII letters in lower case: two paths with the same key
// name the same file, as far as the text can tell.
[[nodiscard]] std::string pathKey(std::string_view path, std::string_view currentDirectory);

}  // namespace temvik
