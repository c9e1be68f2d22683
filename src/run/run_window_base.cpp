#include "run/run_window_base.h"

#include "run/run_controller.h"

namespace temvik {

RunWindowBase::RunWindowBase(RunController& run)
    : ShortLivedWindow(run.services().ui, run.retired()), run_(run) {}

Window& RunWindowBase::create(const WindowDesign& design, Window* owner) {
  Window& w = ShortLivedWindow::create(design, owner);
  w.setLayered(kLayeredAlpha);
  return w;
}

}  // namespace temvik
