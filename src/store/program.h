#pragma once

#include <string_view>

#include "temvik_version.h"

namespace temvik {

// The program's name and version, as its windows and its update check show
// them. The version is CMake's project version (cmake/version.cmake), which
// the version resource and the manifest carry too.
inline constexpr std::string_view kProgramName = "Temvik";
inline constexpr std::string_view kProgramVersion = TEMVIK_VERSION;
inline constexpr std::string_view kProgramTitle = "Temvikv" TEMVIK_VERSION;

}  // namespace temvik
