#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace temvik {

// Why a content text cannot name an item's section, or nothing when it can.
// The text is the message shown to the user.
[[nodiscard]] std::optional<std::string> contentProblem(std::string_view content);

}  // namespace temvik
