#pragma once

#include <string_view>

#include "platform/services.h"

namespace temvik {

// The user guide comes with the program as one HTML file in its folder.
inline constexpr std::string_view kUserGuideFile = "使用说明.html";

// Opens the guide beside the program with the system's default operation
// (the browser). When the file is missing, or the system cannot open it, a
// box says where it should be and what else to do; nothing is opened then.
void openUserGuide(Services& services, const Window& owner);

}  // namespace temvik
