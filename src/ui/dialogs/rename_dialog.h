#pragma once

#include <functional>
#include <string>

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace rename_ids {
enum RenameControl : ControlId {
  kNameLabel = id_blocks::kRename + 1,  // 透明标签1
  kNameText,                            // 编辑框1
  kRenameOk,                            // 超级按钮1
};
}  // namespace rename_ids

// The two parts of a plan: the sequential items and the timed ones.
enum class PlanPart { Sequential, Timed };

// What the rename dialog renames through.
class RenameHost {
 public:
  virtual ~RenameHost() = default;
  [[nodiscard]] virtual std::string partName(PlanPart part) const = 0;
  // Stores and shows the new name; a failure throws and keeps the dialog open.
  virtual void renamePart(PlanPart part, const std::string& name) = 0;
  // Runs an action of the dialog as the main window runs its own events:
  // a file that fails is reported once.
  virtual void guardedByHost(const std::function<void()>& action) = 0;
};

// "更名": a new name for one part of the plan, non-modal over the main
// window. Its target is the part it was opened for until it closes.
class RenameDialog final : public ShortLivedWindow {
 public:
  RenameDialog(Services& services, RetiredWindows& retired, RenameHost& host)
      : ShortLivedWindow(services.ui, retired), services_(services), host_(host) {}

  // Opens the dialog for `part` over `owner`, or moves an open one there.
  void open(Window& owner, PlanPart part);
  [[nodiscard]] PlanPart target() const { return target_; }

  void onClick(ControlId id) override;
  void onClosed() override;

 private:
  Services& services_;
  RenameHost& host_;
  PlanPart target_ = PlanPart::Sequential;
};

const WindowDesign& renameDesign();

}  // namespace temvik
