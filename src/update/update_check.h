#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "update/update_page.h"

namespace temvik {

namespace update_ids {
enum UpdateCheckControl : ControlId {
  kChecking = id_blocks::kUpdateCheck + 1,  // 标签1
  kPleaseWait,                              // 标签2
};
}  // namespace update_ids

// Where the program learns of newer versions.
inline constexpr std::string_view kUpdatePageAddress = "https://temvik.cn/update.html";

// "检查更新": reads the update page off the UI thread while a small modal
// window says so, then offers a newer version: opens its page in the browser
// or downloads it into the program's folder, also off the UI thread. A check
// that cannot read an update page says why.
//
// The UI thread never waits for a read: each runs on a detached thread that
// owns what it uses (the shared network, its texts, a Poster) and hands its
// result back through a post that finds this object through a weak pointer.
// Closing the window abandons the check (its result is dropped); reopening
// starts a new one at once; destroying the object, as leaving the program
// does, drops every result still to come.
class UpdateCheck final : public ShortLivedWindow {
 public:
  UpdateCheck(Services& services, RetiredWindows& retired,
              std::string pageAddress = std::string(kUpdatePageAddress));
  ~UpdateCheck() override;

  // Opens the window over `owner` and starts the check; while one runs, its
  // window comes to the front instead.
  void open(Window& owner);
  // Reads started whose answer is not posted yet.
  [[nodiscard]] int readsUnderway() const { return *underway_; }

  // How long one read of the page, and of a download, may take in all.
  static constexpr std::chrono::milliseconds kPageTimeout{10000};
  static constexpr std::chrono::milliseconds kDownloadTimeout{300000};
  // The longest page, and download, read; a longer one fails.
  static constexpr std::size_t kPageLimit = 1 << 20;
  static constexpr std::size_t kDownloadLimit = std::size_t{256} << 20;

  // What a check came to: a newer version, none, or why it could not tell.
  struct Outcome {
    std::optional<UpdateOffer> offer;
    std::string failure;  // the message of a check that read no update page
  };

 private:
  void checked(std::uint64_t check, const Outcome& outcome);
  void download(const std::string& address);
  void downloaded(const std::string& target, const NetworkAnswer& answer);

  Services& services_;
  std::string pageAddress_;
  Window* owner_ = nullptr;
  std::uint64_t check_ = 0;  // the check whose answer the open window waits for
  // Shared with the reads, each of which counts itself out once it posted.
  std::shared_ptr<std::atomic<int>> underway_ = std::make_shared<std::atomic<int>>(0);
  // Posted answers find the check gone when it was destroyed before them.
  std::shared_ptr<UpdateCheck*> self_ = std::make_shared<UpdateCheck*>(this);
};

// The message of a read of the update page that failed.
[[nodiscard]] std::string checkFailureText(const NetworkAnswer& answer);
inline constexpr std::string_view kNoUpdatePageText = "检查更新失败：页面中没有版本信息。";

const WindowDesign& updateCheckDesign();

}  // namespace temvik
