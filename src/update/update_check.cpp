#include "update/update_check.h"

#include <string>
#include <thread>

#include "store/gbk.h"
#include "update/messages.h"

namespace temvik {

using namespace update_ids;

namespace {

constexpr int kAttempts = 2;

}  // namespace

const WindowDesign& updateCheckDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "检查更新窗口",
      .title = kUpdateCheckTitle,
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

std::string checkFailureText(const NetworkAnswer& answer) {
  switch (answer.failure.value_or(NetworkFailure::Interrupted)) {
    case NetworkFailure::BadAddress:
      return "检查更新失败：更新地址无效。";
    case NetworkFailure::NameNotFound:
      return "检查更新失败：找不到服务器。";
    case NetworkFailure::NoConnection:
      return "检查更新失败：无法连接服务器。";
    case NetworkFailure::TimedOut:
      return "检查更新失败：服务器响应超时。";
    case NetworkFailure::Status:
      return "检查更新失败：服务器返回错误（HTTP " + std::to_string(answer.status) + "）。";
    case NetworkFailure::TooLarge:
      return "检查更新失败：更新页面过大。";
    case NetworkFailure::Interrupted:
      break;
  }
  return "检查更新失败：连接中断。";
}

namespace {

// Up to two reads of the page. A read that brings the page decides; a
// failed one is tried once more, except one that timed out, which has had
// all its time already. When neither brings an update page, the last
// failure is told.
UpdateCheck::Outcome checkPage(Network& network, const std::string& address) {
  UpdateCheck::Outcome outcome;
  bool pageRead = false;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const NetworkAnswer answer =
        network.get(address, UpdateCheck::kPageTimeout, UpdateCheck::kPageLimit);
    if (!answer.ok()) {
      outcome.failure = checkFailureText(answer);
      if (answer.failure == NetworkFailure::TimedOut) break;
      continue;
    }
    const std::string page = gbkToUtf8(answer.body);
    if (!isUpdatePage(page)) {
      outcome.failure = std::string(kNoUpdatePageText);
      continue;
    }
    pageRead = true;
    outcome.offer = newerVersionOffered(page, kCurrentVersion);
    if (outcome.offer) break;
  }
  // A page that was read says whether there is a newer version, even when
  // the other read failed.
  if (pageRead) outcome.failure.clear();
  return outcome;
}

}  // namespace

UpdateCheck::UpdateCheck(Services& services, RetiredWindows& retired, std::string pageAddress)
    : ShortLivedWindow(services.ui, retired),
      services_(services),
      pageAddress_(std::move(pageAddress)) {}

UpdateCheck::~UpdateCheck() { *self_ = nullptr; }

void UpdateCheck::open(Window& owner) {
  if (bringToFront()) return;
  owner_ = &owner;
  Window& w = create(updateCheckDesign(), &owner);
  w.show();
  const std::uint64_t check = ++check_;
  ++*underway_;
  std::thread([network = services_.network, address = pageAddress_, poster = services_.ui.poster(),
               self = std::weak_ptr(self_), underway = underway_, check] {
    const Outcome outcome = checkPage(*network, address);
    poster.post([self, check, outcome] {
      if (const auto alive = self.lock(); alive && *alive) (*alive)->checked(check, outcome);
    });
    --*underway;
  }).detach();
  services_.ui.runModal(w);
}

void UpdateCheck::checked(std::uint64_t check, const Outcome& outcome) {
  // A window closed by the user abandoned its check.
  if (check != check_ || !isOpen()) return;
  close();
  Prompts& prompts = services_.prompts;
  if (!outcome.failure.empty()) {
    show(prompts, owner_, kCheckFailed, {outcome.failure});
    return;
  }
  const auto& offer = outcome.offer;
  if (!offer) {
    show(prompts, owner_, kUpToDate);
    return;
  }
  const auto answer =
      show(prompts, owner_, kAskDownload, {updateQuestion(kCurrentVersion, *offer)});
  if (answer != MessageAnswer::Yes) return;
  if (offer->method == kOpenPageMethod)
    services_.shell.open(offer->address);
  else if (offer->method == kDownloadMethod)
    download(offer->address);
}

void UpdateCheck::download(const std::string& address) {
  const auto name = downloadFileName(address);
  if (!name) {
    show(services_.prompts, owner_, kDownloadFailed);
    return;
  }
  const std::string target = services_.files.programDirectory() + "\\" + *name;
  ++*underway_;
  std::thread([network = services_.network, address, target, poster = services_.ui.poster(),
               self = std::weak_ptr(self_), underway = underway_] {
    auto answer = network->get(address, kDownloadTimeout, kDownloadLimit);
    poster.post([self, target, answer = std::move(answer)] {
      if (const auto alive = self.lock(); alive && *alive) (*alive)->downloaded(target, answer);
    });
    --*underway;
  }).detach();
}

void UpdateCheck::downloaded(const std::string& target, const NetworkAnswer& answer) {
  // The download is held whole in memory and written only when it came
  // through, by an atomic write (a scratch file renamed over the target,
  // removed when it fails): a read or a write that fails leaves no file. The
  // file is only stored, never run.
  if (answer.ok() && services_.files.writeAtomic(target, answer.body)) {
    show(services_.prompts, nullptr, kDownloaded, {target});
  } else {
    show(services_.prompts, nullptr, kDownloadFailed);
  }
}

}  // namespace temvik
