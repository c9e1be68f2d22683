#pragma once

// Resource ids shared by the program's .rc file and the code that loads them.
// Plain #defines: the resource compiler reads this file too.

#define TEMVIK_APP_ICON 1
