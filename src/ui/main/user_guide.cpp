#include "ui/main/user_guide.h"

#include <string>

namespace temvik {

namespace {

constexpr std::string_view kTitle = "使用说明";

}  // namespace

void openUserGuide(Services& services, const Window& owner) {
  const std::string folder = services.files.programDirectory();
  const std::string path = folder + "\\" + std::string(kUserGuideFile);
  if (!services.files.exists(path)) {
    inform(services.prompts, &owner,
           "找不到使用说明文件“" + std::string(kUserGuideFile) + "”。它应在程序所在的文件夹中：\n" +
               folder + "\n\n也可以在程序的下载页面上阅读使用说明。",
           kTitle);
    return;
  }
  if (!services.shell.open(path))
    inform(services.prompts, &owner,
           "无法打开使用说明文件：\n" + path + "\n\n请在该文件夹中双击此文件，或用浏览器打开它。",
           kTitle);
}

}  // namespace temvik
