#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_blocks.h"
#include "platform/prompts.h"
#include "platform/window.h"
#include "store/item_options.h"
#include "store/plan_store.h"

namespace temvik {

namespace prompt_ids {
enum PromptPointControl : ControlId {
  kMoveUpPoint = id_blocks::kPromptPoints + 1,  // 超级按钮2
  kMoveDownPoint,                               // 超级按钮3
  kPointList,                                   // 列表框1
  kAddPoint,                                    // 标签3
  kRemovePoint,                                 // 标签4
  kSavePoint,                                   // 超级按钮1
  kNameLabel,                                   // 标签5
  kPointName,                                   // 编辑框5
  kTimeGroup,                                   // 分组框1
  kPointHours,                                  // 编辑框1
  kHoursUnitLabel,                              // 标签6
  kPointMinutes,                                // 编辑框2
  kMinutesUnitLabel,                            // 标签7
  kPointSeconds,                                // 编辑框3
  kSecondsUnitLabel,                            // 标签8
  kSoundLabel,                                  // 标签9
  kPointSound,                                  // 编辑框4
  kChooseSound,                                 // 标签2
  kPlayLabel,                                   // 标签10
  kPointPlay,                                   // 编辑框6
  kPlayUnitLabel,                               // 标签11
  kPlayLimitNote,                               // 标签1
  kExplanation,                                 // 透明标签1
  kPointsOk,                                    // 标签17
};
}  // namespace prompt_ids

// Play seconds live in the three low decimal digits of a packed value.
inline constexpr long long kMaxPromptPlaySeconds = 999;
// The longest delay, 596 hours: with any play seconds the packed value
// still fits the 32 bits the plan file keeps.
inline constexpr long long kMaxPromptDelaySeconds = 596LL * 3600;

// A packed prompt value taken apart: the delay and the play seconds.
struct PromptTime {
  std::int64_t hours = 0;
  std::int64_t minutes = 0;
  std::int64_t seconds = 0;
  std::int64_t play = 0;
  friend bool operator==(const PromptTime&, const PromptTime&) = default;
};

// hours × 3600000 + minutes × 60000 + seconds × 1000 + play, summed exactly
// from the digits typed (a text that is no number counts as 0), truncated
// toward zero and held at the range of int64.
[[nodiscard]] std::int64_t packPromptValue(std::string_view hours, std::string_view minutes,
                                           std::string_view seconds, std::string_view play);
// Integer division and remainder, the inverse for play seconds below 1000.
[[nodiscard]] PromptTime unpackPromptValue(std::int64_t packed);

// Why the typed delay and play time cannot be packed so that they unpack
// to what was typed, or nothing when they can: each must be a number, the
// delay whole seconds of at most kMaxPromptDelaySeconds, the play time whole
// seconds from 0 to 999 (more would spill into the delay). A zero or
// negative delay is the editor's own check, made before this one.
[[nodiscard]] std::optional<std::string_view> promptFieldsProblem(std::string_view hours,
                                                                  std::string_view minutes,
                                                                  std::string_view seconds,
                                                                  std::string_view play);

// What the prompt-point window needs of the item editor it serves.
class PromptPointHost {
 public:
  virtual ~PromptPointHost() = default;
  // The prompt points of the item in the editor, in prompt order.
  virtual std::vector<PromptPoint>& promptPoints() = 0;
  // The selected row of the list the editor's item came from; -1 for none.
  [[nodiscard]] virtual int activeRow() const = 0;
  virtual void selectActiveRow(int row) = 0;
  // Saves the editor's item through the save of that list.
  virtual void saveItem() = 0;
};

// The window "设置提示点": the prompt points of the item in the editor, two
// list rows a point (name with the packed value, then the sound path). It is
// made once, hidden, and afterwards only shown and hidden, so the list and
// the fields keep what they hold between showings.
class PromptPointEditor final : public WindowEvents {
 public:
  PromptPointEditor(Ui& ui, Prompts& prompts, PromptPointHost& host);
  PromptPointEditor(const PromptPointEditor&) = delete;
  PromptPointEditor& operator=(const PromptPointEditor&) = delete;

  // Makes the window, hidden and translucent, owned by `owner`.
  void create(Window& owner);
  // Shows the window, in front.
  void open();
  [[nodiscard]] Window& window() { return *window_; }

  // The editor loaded an item: the list shows its points, nothing selected.
  void showPoints();
  // The editor was blanked: the list and the six fields are emptied.
  void clear();

  void onClick(ControlId id) override;
  void onRowSelected(ControlId id) override;
  bool onCloseRequested() override;

 private:
  struct Pair {
    int nameRow;
    int pathRow;
  };
  [[nodiscard]] std::optional<Pair> selectedPair() const;
  [[nodiscard]] std::int64_t fieldsValue() const;
  [[nodiscard]] PromptPoint fieldsPoint() const;
  void loadSelected();
  void add();
  void remove();
  void saveToList();
  void move(int offset);
  void chooseSound();
  void ok();
  // The fields match no point of the list.
  [[nodiscard]] bool fieldsUnsaved() const;
  // Asks before fields that were not saved are left behind; true when the
  // window may close.
  bool closeCheck();
  // Refuses fields that cannot make a prompt point, with the messages of
  // "+" in their order; true when they can.
  bool fieldsAcceptable();
  void writePoint(int nameRow, const PromptPoint& point);
  // Hands the list to the editor, which add and save write.
  void storePoints();

  Ui& ui_;
  Prompts& prompts_;
  PromptPointHost& host_;
  FileDialog soundDialog_;
  std::unique_ptr<Window> window_;
};

const WindowDesign& promptPointDesign();

}  // namespace temvik
