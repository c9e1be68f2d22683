#include "ui/main/user_guide.h"

#include <string>

#include "ui/main/messages.h"

namespace temvik {

void openUserGuide(Services& services, const Window& owner) {
  const std::string folder = services.files.programDirectory();
  const std::string path = folder + "\\" + std::string(kUserGuideFile);
  if (!services.files.exists(path)) {
    show(services.prompts, &owner, kUserGuideMissing, {kUserGuideFile, folder});
    return;
  }
  if (!services.shell.open(path)) show(services.prompts, &owner, kUserGuideNotOpened, {path});
}

}  // namespace temvik
