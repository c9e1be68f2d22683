#include "update/update_page.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "run/duration.h"
#include "store/text.h"

namespace temvik {

namespace {

constexpr std::string_view kBodyStart = "////开始";
constexpr std::string_view kBodyEnd = "////结束";
constexpr std::string_view kParagraphEnd = "</p>";

std::string withoutTags(std::string_view text) {
  std::string out(text);
  for (std::string_view tag : {std::string_view("<p>"), kParagraphEnd}) {
    for (std::size_t at = out.find(tag); at != std::string::npos; at = out.find(tag, at))
      out.erase(at, tag.size());
  }
  return out;
}

// The names Windows keeps for devices, in any folder and with any extension.
bool isDeviceName(std::string_view name) {
  const std::string_view stem = name.substr(0, name.find('.'));
  std::string upper(stem);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  while (!upper.empty() && upper.back() == ' ') upper.pop_back();
  static constexpr std::array<std::string_view, 4> kFixed = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kFixed.begin(), kFixed.end(), upper) != kFixed.end()) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '0' && upper[3] <= '9';
}

}  // namespace

std::string_view extractBetween(std::string_view text, std::string_view start,
                                std::string_view end) {
  const std::size_t from = text.find(start);
  if (from == std::string_view::npos) return {};
  const std::string_view rest = text.substr(from + start.size());
  return rest.substr(0, rest.find(end));
}

std::optional<UpdateOffer> newerVersionOffered(std::string_view page, std::string_view current) {
  const std::string_view body = extractBetween(page, kBodyStart, kBodyEnd);
  const std::string_view latest = extractBetween(body, "最新版=", kParagraphEnd);
  if (!(numberValue(latest) - numberValue(current) > kTolerance)) return std::nullopt;
  return UpdateOffer{std::string(latest),
                     std::string(extractBetween(body, "下载地址=", kParagraphEnd)),
                     std::string(extractBetween(body, "下载方式=", kParagraphEnd)),
                     withoutTags(extractBetween(body, "更新说明=", "更新说明结束</p>"))};
}

std::string updateQuestion(std::string_view current, const UpdateOffer& offer) {
  return "当前版本：" + std::string(current) + "\r\n最新版本：" + offer.latest +
         "\r\n更新内容：\r\n" + offer.notes;
}

std::optional<std::string> downloadFileName(std::string_view address) {
  const std::size_t slash = address.rfind('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view name = address.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos)
      return std::nullopt;
  }
  // Windows drops trailing dots and blanks, so the file would not be the named one.
  if (name.back() == '.' || name.back() == ' ' || isDeviceName(name)) return std::nullopt;
  // The plan files are INI files in this folder: a download never replaces one.
  if (name.size() >= 4 && equalsIgnoreCase(name.substr(name.size() - 4), ".ini"))
    return std::nullopt;
  return std::string(name);
}

}  // namespace temvik
