#include "store/store_error.h"

namespace temvik {

namespace {

// "系统提示：拒绝访问（错误代码 5）\n\n", or nothing when the system gave no
// reason. The code's bracket closes the sentence in place of its full stop.
std::string systemReason(const FileFailure& failure) {
  if (failure.code == 0 || failure.text.empty()) return {};
  std::string_view text = failure.text;
  for (const std::string_view stop : {"。", "."})
    if (text.ends_with(stop)) text.remove_suffix(stop.size());
  return "系统提示：" + std::string(text) + "（错误代码 " + std::to_string(failure.code) + "）\n\n";
}

std::string writeFailureText(const std::string& path, const FileFailure& failure,
                             std::string_view outcome) {
  const std::string reason = systemReason(failure);
  return "无法写入文件：\n" + path + "\n\n" +
         (reason.empty() ? "请检查该文件是否被其他程序占用、是否只读，以及磁盘是否已满。"
                         : reason) +
         std::string(outcome);
}

}  // namespace

StoreError::StoreError(Kind kind, std::string path, FileFailure failure)
    : std::runtime_error((kind == Kind::Read ? "cannot read " : "cannot write ") + path),
      kind_(kind),
      path_(std::move(path)),
      failure_(std::move(failure)) {}

std::string storeErrorText(const StoreError& error) {
  const std::string reason = systemReason(error.failure());
  if (error.kind() == StoreError::Kind::Read)
    return "无法读取文件：\n" + error.path() + "\n\n" +
           (reason.empty() ? "请检查该文件是否被其他程序占用。" : reason) +
           "为保护文件内容，程序不会改写此文件，本次操作已停止。";
  // A failed export changed nothing of the plan: it says what did not happen.
  return writeFailureText(
      error.path(), error.failure(),
      error.kind() == StoreError::Kind::Export ? "计划没有导出。" : "刚才的更改没有保存。");
}

std::string historyExportFailureText(const std::string& path, const FileFailure& failure) {
  return writeFailureText(path, failure, "执行记录没有导出。");
}

std::string historyReadFailureText(const FileFailure& failure) {
  const std::string reason = systemReason(failure);
  return "无法读取执行记录。\n\n" + (reason.empty() ? "请检查该文件是否被其他程序占用。"
                                                    : reason.substr(0, reason.size() - 2));
}

std::string historyWriteFailureText(const FileFailure& failure) {
  std::string reason = systemReason(failure);
  while (reason.ends_with('\n')) reason.pop_back();
  return "无法写入执行记录。\n\n" +
         (reason.empty() ? "请检查该文件是否被其他程序占用、是否只读，以及磁盘是否已满。" : reason);
}

void reportStoreError(Prompts& prompts, const Window* owner, const StoreError& error) {
  show(prompts, owner, kStoreError, {storeErrorText(error)});
}

}  // namespace temvik
