#pragma once

// Which file or folder a path names, as Windows resolves it: for
// Win32Files::sameFile and for telling program folders apart.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace temvik {

// The full path as Windows resolves it (".", "..", "/", repeated separators,
// trailing dots), every component that exists in its long form: the
// longest existing head is looked up, the names after it are kept as given.
// Empty when the path cannot be resolved.
[[nodiscard]] std::wstring longFullPath(const std::string& path);

// The volume and index of an existing file or folder, which every name of
// it shares; nothing where it cannot be opened or its file system gives no
// index.
[[nodiscard]] std::optional<std::array<DWORD, 3>> fileIdentity(const std::wstring& path);

}  // namespace temvik
