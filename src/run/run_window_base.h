#pragma once

#include "platform/short_lived_window.h"

namespace temvik {

class RunController;

// A window of a run: opened afresh each time, translucent, and able to
// reach the run it belongs to.
class RunWindowBase : public ShortLivedWindow {
 public:
  explicit RunWindowBase(RunController& run);

 protected:
  // Creates the native window with the translucent look.
  Window& create(const WindowDesign& design, Window* owner);
  RunController& run_;
};

}  // namespace temvik
