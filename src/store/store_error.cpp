#include "store/store_error.h"

namespace temvik {

StoreError::StoreError(Kind kind, std::string path)
    : std::runtime_error((kind == Kind::Read ? "cannot read " : "cannot write ") + path),
      kind_(kind),
      path_(std::move(path)) {}

std::string storeErrorText(const StoreError& error) {
  if (error.kind() == StoreError::Kind::Read)
    return "无法读取文件：\n" + error.path() +
           "\n\n请检查该文件是否被其他程序占用。读不出的文件不会被改写，操作已停止。";
  return "无法写入文件：\n" + error.path() +
         "\n\n请检查该文件是否被其他程序占用、是否只读，以及磁盘是否已满。刚才的更改没有保存。";
}

void reportStoreError(Prompts& prompts, const Window* owner, const StoreError& error) {
  prompts.message(owner, storeErrorText(error), kStoreErrorTitle, MessageIcon::Error,
                  MessageButtons::Ok);
}

}  // namespace temvik
