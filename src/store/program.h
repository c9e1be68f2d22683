#pragma once

#include <string_view>

namespace temvik {

// The program's name and version, as its windows and its update check show
// them (the version resource in app/temvik.rc says the same).
inline constexpr std::string_view kProgramName = "Temvik";
inline constexpr std::string_view kProgramVersion = "1.0";
inline constexpr std::string_view kProgramTitle = "Temvikv1.0";

}  // namespace temvik
