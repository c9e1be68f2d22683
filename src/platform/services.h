#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/crypto.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/prompts.h"
#include "platform/system.h"
#include "platform/window.h"

namespace temvik {

// Everything the program's behaviour reaches the outside world through.
// The Win32 backend provides the real ones; the headless backend fakes them.
// The network is shared: a read abandoned on a worker thread may go on after
// everything else here is gone.
struct Services {
  Ui& ui;
  Clock& clock;
  Files& files;
  Prompts& prompts;
  Shell& shell;
  Processes& processes;
  Power& power;
  Sound& sound;
  std::shared_ptr<Network> network;
  Crypto& crypto;
  Desktop& desktop;
  AutoStart& autoStart;
};

}  // namespace temvik
