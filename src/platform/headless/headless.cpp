// Headless: the fakes wired together.

#include "platform/headless/headless.h"

namespace temvik::headless {

Headless::Headless() {
  shell.journal = &journal;
  processes.journal = &journal;
  power.journal = &journal;
  sound.journal = &journal;
}

}  // namespace temvik::headless
