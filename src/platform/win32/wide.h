#pragma once

// The one place where UTF-8 text (everything in memory) meets UTF-16 (every
// Win32 W function).

#include <cstddef>
#include <string>
#include <string_view>

namespace temvik {

// Invalid UTF-8 sequences become U+FFFD.
[[nodiscard]] std::wstring toUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
[[nodiscard]] std::string toUtf8(std::wstring_view utf16);
// The first `maxUnits` UTF-16 units of `text`, one fewer when the cut would
// split a surrogate pair: fixed-size Win32 buffers never end in half a character.
[[nodiscard]] std::wstring truncatedUtf16(std::wstring_view text, std::size_t maxUnits);

// "描述|*.ext|描述|*.ext" as the common file dialogs want it: pairs separated
// by NULs and ended by two NULs. An empty filter gives an empty string.
[[nodiscard]] std::wstring toDialogFilter(std::string_view filter);
// The extension of the filter's first pattern ("ini" for "…|*.ini|…"), or
// empty when that pattern has none or is a wildcard ("*.*").
[[nodiscard]] std::wstring firstFilterExtension(std::string_view filter);

}  // namespace temvik
