#pragma once

#include <string>
#include <string_view>

namespace temvik {

// Conversions between UTF-8 and the GBK code page (Windows code page 936),
// the encoding of every plan file. They give the same results as the
// Windows conversions MultiByteToWideChar / WideCharToMultiByte with code
// page 936 and no flags.

// Characters the code page lacks become their best-fit replacement
// (² -> "2") or "?"; a character outside the Basic Multilingual Plane
// becomes "??" and a malformed UTF-8 sequence "?". `lossless`, when given,
// tells whether every character was encoded exactly.
[[nodiscard]] std::string utf8ToGbk(std::string_view utf8, bool* lossless = nullptr);

// Bytes that form no character become "?": a lead byte with an invalid
// trail byte (both bytes are used up, except a trail NUL which stays) or
// a lead byte at the end of the text.
[[nodiscard]] std::string gbkToUtf8(std::string_view gbk);

// True when utf8ToGbk encodes every character of the text exactly.
[[nodiscard]] bool gbkCanEncode(std::string_view utf8);

}  // namespace temvik
