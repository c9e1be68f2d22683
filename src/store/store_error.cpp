#include "store/store_error.h"

namespace temvik {

StoreError::StoreError(Kind kind, std::string path)
    : std::runtime_error((kind == Kind::Read ? "cannot read " : "cannot write ") + path),
      kind_(kind),
      path_(std::move(path)) {}

std::string storeErrorText(const StoreError& error) {
  if (error.kind() == StoreError::Kind::Read)
    return "无法读取文件：\n" + error.path() + "\n\n请检查该文件是否被其他程序占用。" +
           "为保护文件内容，程序不会改写此文件，本次操作已停止。";
  // A failed export changed nothing of the plan: it says what did not happen.
  const std::string_view outcome =
      error.kind() == StoreError::Kind::Export ? "计划没有导出。" : "刚才的更改没有保存。";
  return "无法写入文件：\n" + error.path() +
         "\n\n请检查该文件是否被其他程序占用、是否只读，以及磁盘是否已满。" + std::string(outcome);
}

void reportStoreError(Prompts& prompts, const Window* owner, const StoreError& error) {
  show(prompts, owner, kStoreError, {storeErrorText(error)});
}

}  // namespace temvik
