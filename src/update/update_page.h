#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/program.h"

namespace temvik {

// This program's version, as the update page compares it.
inline constexpr std::string_view kCurrentVersion = kProgramVersion;

// The text between the first `start` and the first `end` after it. Without
// `start` there is nothing; without `end` everything after `start`.
[[nodiscard]] std::string_view extractBetween(std::string_view text, std::string_view start,
                                              std::string_view end);

// What the update page offers, its texts as published.
struct UpdateOffer {
  std::string latest;   // 最新版=
  std::string address;  // 下载地址=
  std::string method;   // 下载方式=: "打开网页" or "下载文件"
  std::string notes;    // 更新说明=, through withoutParagraphTags
  friend bool operator==(const UpdateOffer&, const UpdateOffer&) = default;
};

inline constexpr std::string_view kOpenPageMethod = "打开网页";
inline constexpr std::string_view kDownloadMethod = "下载文件";

// `text` without "<p>" and "</p>": also those that appear once tags inside
// them are gone ("<<p>p>" gives ""), so the result holds neither. Linear.
[[nodiscard]] std::string withoutParagraphTags(std::string_view text);

// Whether a page (UTF-8 text) is an update page at all: it has the body's
// start marker and, in the body, the latest version's key and its end.
[[nodiscard]] bool isUpdatePage(std::string_view page);

// The offer of an update page (UTF-8 text) when its latest version is newer
// than `current`; a page without the markers or a version offers nothing.
[[nodiscard]] std::optional<UpdateOffer> newerVersionOffered(std::string_view page,
                                                             std::string_view current);

// The question that asks whether to get the offered version.
[[nodiscard]] std::string updateQuestion(std::string_view current, const UpdateOffer& offer);

// The name a downloaded file is stored under in the program's folder: the
// text after the last "/" of the address. Nothing when that is no plain
// Windows file name of this folder (empty, a path, a device, characters a
// name cannot hold) or names one of the program's own files.
[[nodiscard]] std::optional<std::string> downloadFileName(std::string_view address);

}  // namespace temvik
