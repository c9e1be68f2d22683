#include "update/update_check.h"

#include "store/gbk.h"

namespace temvik {

using namespace update_ids;

namespace {

constexpr int kAttempts = 2;
constexpr std::string_view kTipsTitle = "tips";

}  // namespace

const WindowDesign& updateCheckDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "检查更新窗口",
      .title = "检查更新",
      .rect = {0, 0, 260, 120},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kChecking, "标签1", "checking", K::Label, {24, 20, 200, 20}, "正在检查更新……", ""},
              {kPleaseWait, "标签2", "pleaseWait", K::Label, {24, 48, 200, 20}, "请稍后", ""},
          },
  };
  return design;
}

UpdateCheck::UpdateCheck(Services& services, RetiredWindows& retired, std::string pageAddress)
    : ShortLivedWindow(services.ui, retired),
      services_(services),
      pageAddress_(std::move(pageAddress)) {}

UpdateCheck::~UpdateCheck() {
  *self_ = nullptr;
  waitForReads();
}

void UpdateCheck::waitForReads() {
  if (worker_.joinable()) worker_.join();
}

void UpdateCheck::startRead(std::function<void()> read) {
  // A read ends within its timeout, so the wait for the one before is short.
  waitForReads();
  worker_ = std::thread(std::move(read));
}

void UpdateCheck::open(Window& owner) {
  if (bringToFront()) return;
  owner_ = &owner;
  Window& w = create(updateCheckDesign(), &owner);
  w.show();
  const std::uint64_t check = ++check_;
  startRead([network = &services_.network, address = pageAddress_, poster = services_.ui.poster(),
             self = std::weak_ptr(self_), check]() mutable {
    std::optional<UpdateOffer> offer;
    for (int attempt = 0; attempt < kAttempts && !offer; ++attempt) {
      if (const auto page = network->get(address, kPageTimeout))
        offer = newerVersionOffered(gbkToUtf8(*page), kCurrentVersion);
    }
    poster.post([self, check, offer] {
      if (const auto alive = self.lock(); alive && *alive) (*alive)->checked(check, offer);
    });
  });
  services_.ui.runModal(w);
}

void UpdateCheck::checked(std::uint64_t check, const std::optional<UpdateOffer>& offer) {
  // A window closed by the user abandoned its check.
  if (check != check_ || !isOpen()) return;
  close();
  Prompts& prompts = services_.prompts;
  if (!offer) {
    prompts.message(owner_, "当前版本已经是最新版本！", "", MessageIcon::None, MessageButtons::Ok);
    return;
  }
  const auto answer =
      prompts.message(owner_, updateQuestion(kCurrentVersion, *offer), "是否下载最新版？",
                      MessageIcon::Question, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return;
  if (offer->method == kOpenPageMethod)
    services_.shell.open(offer->address);
  else if (offer->method == kDownloadMethod)
    download(offer->address);
}

void UpdateCheck::download(const std::string& address) {
  const auto name = downloadFileName(address);
  if (!name) {
    services_.prompts.message(owner_, "下载失败", kTipsTitle, MessageIcon::Error,
                              MessageButtons::Ok);
    return;
  }
  const std::string target = services_.files.programDirectory() + "\\" + *name;
  startRead([network = &services_.network, address, target, poster = services_.ui.poster(),
             self = std::weak_ptr(self_)]() mutable {
    auto bytes = network->get(address, kDownloadTimeout);
    poster.post([self, target, bytes = std::move(bytes)] {
      if (const auto alive = self.lock(); alive && *alive) (*alive)->downloaded(target, bytes);
    });
  });
}

void UpdateCheck::downloaded(const std::string& target, const std::optional<std::string>& bytes) {
  // Only a read that came through is written; a failed one is no new version.
  if (bytes && services_.files.writeAtomic(target, *bytes)) {
    services_.prompts.message(nullptr, "新版本已下载到：\r\n" + target, kTipsTitle,
                              MessageIcon::None, MessageButtons::Ok);
  } else {
    services_.prompts.message(nullptr, "下载失败", kTipsTitle, MessageIcon::Error,
                              MessageButtons::Ok);
  }
}

}  // namespace temvik
