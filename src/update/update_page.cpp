#include "update/update_page.h"

#include <algorithm>
#include <array>

#include "run/duration.h"
#include "store/text.h"

namespace temvik {

namespace {

constexpr std::string_view kBodyStart = "////开始";
constexpr std::string_view kBodyEnd = "////结束";
constexpr std::string_view kParagraphEnd = "</p>";

constexpr std::string_view kVersionKey = "最新版=";

bool endsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The name as Windows compares device names: ASCII letters in upper case.
std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The names Windows keeps for devices, in any folder and with any extension:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, and COM or LPT followed by one digit,
// the superscript ones (¹ ² ³) included.
bool isDeviceName(std::string_view name) {
  std::string stem = upperAscii(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static constexpr std::array<std::string_view, 6> kFixed = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kFixed.begin(), kFixed.end(), stem) != kFixed.end()) return true;
  if (!stem.starts_with("COM") && !stem.starts_with("LPT")) return false;
  const std::string_view digit = std::string_view(stem).substr(3);
  if (digit.size() == 1) return digit[0] >= '0' && digit[0] <= '9';
  return digit == "¹" || digit == "²" || digit == "³";
}

}  // namespace

std::string_view extractBetween(std::string_view text, std::string_view start,
                                std::string_view end) {
  const std::size_t from = text.find(start);
  if (from == std::string_view::npos) return {};
  const std::string_view rest = text.substr(from + start.size());
  return rest.substr(0, rest.find(end));
}

std::string withoutParagraphTags(std::string_view text) {
  // The output is a stack: whenever its top is a tag, the tag goes, so a
  // tag that a removal closes up is seen as soon as its last character is.
  // Each character is pushed once and popped at most once. No tag overlaps
  // itself or the other, so this is what removing them over and over
  // until none is left gives, whatever the order.
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    out.push_back(c);
    if (c != '>') continue;
    for (std::string_view tag : {std::string_view("<p>"), kParagraphEnd}) {
      if (endsWith(out, tag)) {
        out.resize(out.size() - tag.size());
        break;
      }
    }
  }
  return out;
}

bool isUpdatePage(std::string_view page) {
  if (page.find(kBodyStart) == std::string_view::npos) return false;
  const std::string_view body = extractBetween(page, kBodyStart, kBodyEnd);
  const std::size_t key = body.find(kVersionKey);
  return key != std::string_view::npos &&
         body.find(kParagraphEnd, key + kVersionKey.size()) != std::string_view::npos;
}

std::optional<UpdateOffer> newerVersionOffered(std::string_view page, std::string_view current) {
  const std::string_view body = extractBetween(page, kBodyStart, kBodyEnd);
  const std::string_view latest = extractBetween(body, kVersionKey, kParagraphEnd);
  if (!(numberValue(latest) - numberValue(current) > kTolerance)) return std::nullopt;
  return UpdateOffer{std::string(latest),
                     std::string(extractBetween(body, "下载地址=", kParagraphEnd)),
                     std::string(extractBetween(body, "下载方式=", kParagraphEnd)),
                     withoutParagraphTags(extractBetween(body, "更新说明=", "更新说明结束</p>"))};
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
