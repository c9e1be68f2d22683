#pragma once

// Resource ids shared by the program's .rc files and the code that loads them.
// Plain #defines: the resource compiler reads this file too.

#define TEMVIK_APP_ICON 1
// The end tune, a standard MIDI file kept as RCDATA.
#define TEMVIK_END_TUNE 2
