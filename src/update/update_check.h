#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "update/update_page.h"

namespace temvik {

namespace update_ids {
enum UpdateCheckControl : ControlId {
  kChecking = 2901,  // 标签1
  kPleaseWait,       // 标签2
};
}  // namespace update_ids

// Where the program learns of newer versions.
inline constexpr std::string_view kUpdatePageAddress = "https://temvik.cn/update.html";

// "检查更新": reads the update page off the UI thread while a small modal
// window says so, then offers a newer version: opens its page in the browser
// or downloads it into the program's folder, also off the UI thread. The
// window's close box abandons the check.
class UpdateCheck final : public ShortLivedWindow {
 public:
  UpdateCheck(Services& services, RetiredWindows& retired,
              std::string pageAddress = std::string(kUpdatePageAddress));
  ~UpdateCheck() override;

  // Opens the window over `owner` and starts the check; while one runs, its
  // window comes to the front instead.
  void open(Window& owner);
  // Waits until the reads under way have ended (their results are posted).
  void waitForReads();

  // How long one read of the page, and of a download, may take.
  static constexpr std::chrono::milliseconds kPageTimeout{10000};
  static constexpr std::chrono::milliseconds kDownloadTimeout{300000};

 private:
  void checked(std::uint64_t check, const std::optional<UpdateOffer>& offer);
  void download(const std::string& address);
  void downloaded(const std::string& target, const std::optional<std::string>& bytes);
  // Runs `read` on a worker thread of its own, after the last one ended.
  void startRead(std::function<void()> read);

  Services& services_;
  std::string pageAddress_;
  Window* owner_ = nullptr;
  std::uint64_t check_ = 0;  // the check whose answer the open window waits for
  std::thread worker_;
  // Posted answers find the check gone when it was destroyed before them.
  std::shared_ptr<UpdateCheck*> self_ = std::make_shared<UpdateCheck*>(this);
};

const WindowDesign& updateCheckDesign();

}  // namespace temvik
