#pragma once

#include "platform/prompts.h"

namespace temvik {

// The boxes of the tools.

// The program chosen for the end of a watch did not start; the path fills
// "{}". (The end of an item passes the same failure over without a word,
// since nobody may be there to answer.)
inline constexpr Message kProgramNotStarted{"无法运行程序：\n{}", "", MessageIcon::Warning,
                                            MessageButtons::Ok};

}  // namespace temvik
