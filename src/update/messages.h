#pragma once

#include <string_view>

#include "platform/prompts.h"

namespace temvik {

// The boxes of the update check.

// The title of the check's window, and of the box that tells why it failed.
inline constexpr std::string_view kUpdateCheckTitle = "检查更新";
inline constexpr std::string_view kTipsTitle = "tips";

// The check failed: checkFailureText, or kNoUpdatePageText.
inline constexpr Message kCheckFailed{"{}", kUpdateCheckTitle, MessageIcon::Error,
                                      MessageButtons::Ok};
inline constexpr Message kUpToDate{"当前版本已经是最新版本！", "", MessageIcon::None,
                                   MessageButtons::Ok};
// A newer version is offered: updateQuestion.
inline constexpr Message kAskDownload{"{}", "是否下载最新版？", MessageIcon::Question,
                                      MessageButtons::YesNo};
// The download came through; the path it was written to.
inline constexpr Message kDownloaded{"新版本已下载到：\r\n{}", kTipsTitle, MessageIcon::None,
                                     MessageButtons::Ok};
inline constexpr Message kDownloadFailed{"下载失败", kTipsTitle, MessageIcon::Error,
                                         MessageButtons::Ok};

}  // namespace temvik
