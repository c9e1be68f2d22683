#include "platform/win32/wide.h"

#include <windows.h>

namespace temvik {

std::wstring toUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), length);
  return out;
}

std::string toUtf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

std::wstring truncatedUtf16(std::wstring_view text, std::size_t maxUnits) {
  if (text.size() <= maxUnits) return std::wstring(text);
  std::size_t length = maxUnits;
  if (length > 0 && IS_HIGH_SURROGATE(text[length - 1])) --length;
  return std::wstring(text.substr(0, length));
}

std::wstring toDialogFilter(std::string_view filter) {
  if (filter.empty()) return {};
  std::wstring out = toUtf16(filter);
  for (auto& c : out)
    if (c == L'|') c = L'\0';
  // One NUL ends the last pattern, the second ends the list (c_str() adds a
  // third, which does no harm).
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::wstring firstFilterExtension(std::string_view filter) {
  const auto bar = filter.find('|');
  if (bar == std::string_view::npos) return {};
  auto pattern = filter.substr(bar + 1);
  pattern = pattern.substr(0, pattern.find_first_of("|;"));
  const auto dot = pattern.rfind('.');
  if (dot == std::string_view::npos) return {};
  const auto ext = pattern.substr(dot + 1);
  if (ext.empty() || ext.find_first_of("*?") != std::string_view::npos) return {};
  return toUtf16(ext);
}

}  // namespace temvik
