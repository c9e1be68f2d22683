#include "ui/dialogs/prompt_point_editor.h"

#include <array>

#include "run/duration.h"
#include "store/messages.h"
#include "store/text.h"
#include "ui/dialogs/messages.h"

namespace temvik {

using namespace prompt_ids;

namespace {

constexpr std::string_view kSoundFilter = "MP3文件|*.mp3|WAV文件|*.wav|MID文件|*.mid";
constexpr std::string_view kExplanationText =
    "    提示点的提示时间指的是该提示点在上一个提示点运行后过了多少时间才运行。"
    "持续播放时间指提示音文件从头播放多少秒，若在播放时，到了下一个提示音的提示时间，"
    "则该提示点的提示音播放停止，开始播放下一个提示点的提示音。";
constexpr std::int64_t kMsPerHour = 3600000;
constexpr std::int64_t kMsPerMinute = 60000;
constexpr std::int64_t kMsPerSecond = 1000;

constexpr std::array<ControlId, 6> kFields = {kPointName,    kPointHours, kPointMinutes,
                                              kPointSeconds, kPointSound, kPointPlay};

}  // namespace

std::int64_t packPromptValue(std::string_view hours, std::string_view minutes,
                             std::string_view seconds, std::string_view play) {
  const std::array<ScaledTerm, 4> terms = {
      {{hours, kMsPerHour}, {minutes, kMsPerMinute}, {seconds, kMsPerSecond}, {play, 1}}};
  return scaledSum(terms).whole;
}

PromptTime unpackPromptValue(std::int64_t packed) {
  PromptTime t;
  t.hours = packed / kMsPerHour;
  const std::int64_t r1 = packed % kMsPerHour;
  t.minutes = r1 / kMsPerMinute;
  const std::int64_t r2 = r1 % kMsPerMinute;
  t.seconds = r2 / kMsPerSecond;
  t.play = r2 % kMsPerSecond;
  return t;
}

std::optional<std::string_view> promptFieldsProblem(std::string_view hours,
                                                    std::string_view minutes,
                                                    std::string_view seconds,
                                                    std::string_view play) {
  if (!isTypedNumber(hours)) return "“时”只能填数字。";
  if (!isTypedNumber(minutes)) return "“分”只能填数字。";
  if (!isTypedNumber(seconds)) return "“秒”只能填数字。";
  if (!isTypedNumber(play)) return "“持续播放时间”只能填数字。";
  const double p = numberValue(play);
  if (p < -kTolerance || p >= static_cast<double>(kMaxPromptPlaySeconds + 1))
    return "持续播放时间只能是0到999秒。";
  const std::array<ScaledTerm, 3> delayTerms = {{{hours, 3600}, {minutes, 60}, {seconds, 1}}};
  const ScaledSum delay = scaledSum(delayTerms);
  if (delay.whole > kMaxPromptDelaySeconds ||
      (delay.whole == kMaxPromptDelaySeconds && delay.hasFraction))
    return "提示时间不能超过596小时。";
  if (delay.hasFraction) return "提示时间必须是整秒。";
  const std::array<ScaledTerm, 1> playTerms = {{{play, 1}}};
  if (scaledSum(playTerms).hasFraction) return "持续播放时间必须是整秒。";
  return std::nullopt;
}

const WindowDesign& promptPointDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "设置提示点窗口",
      .title = "设置提示点",
      .rect = {0, 0, 442, 383},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kMoveUpPoint, "超级按钮2", "moveUp", K::Button, {8, 60, 40, 26}, "上移", ""},
              {kMoveDownPoint, "超级按钮3", "moveDown", K::Button, {8, 94, 40, 26}, "下移", ""},
              {kPointList, "列表框1", "points", K::ListBox, {52, 8, 146, 230}, "", ""},
              labelButton({kAddPoint, "标签3", "add", K::Label, {204, 66, 16, 18}, "+", ""}),
              labelButton({kRemovePoint, "标签4", "remove", K::Label, {204, 100, 16, 18}, "—", ""}),
              {kSavePoint,
               "超级按钮1",
               "saveToList",
               K::Button,
               {226, 8, 96, 26},
               "保存到列表",
               "将正在编辑的内容保存到左边的提示音列表正在选中的提示音项目中覆盖正在选中的项目"},
              {kNameLabel, "标签5", "nameLabel", K::Label, {226, 45, 64, 18}, "提示点名:", ""},
              {kPointName, "编辑框5", "name", K::Edit, {292, 42, 134, 22}, "", ""},
              {kTimeGroup, "分组框1", "timeGroup", K::GroupBox, {226, 70, 200, 52}, "提示时间", ""},
              {kPointHours, "编辑框1", "hours", K::Edit, {234, 90, 40, 22}, "", ""},
              {kHoursUnitLabel, "标签6", "hoursUnit", K::Label, {276, 93, 16, 18}, "时", ""},
              {kPointMinutes, "编辑框2", "minutes", K::Edit, {296, 90, 40, 22}, "", ""},
              {kMinutesUnitLabel, "标签7", "minutesUnit", K::Label, {338, 93, 16, 18}, "分", ""},
              {kPointSeconds, "编辑框3", "seconds", K::Edit, {358, 90, 40, 22}, "", ""},
              {kSecondsUnitLabel, "标签8", "secondsUnit", K::Label, {400, 93, 16, 18}, "秒", ""},
              {kSoundLabel, "标签9", "soundLabel", K::Label, {226, 135, 60, 18}, "提示音：", ""},
              {kPointSound, "编辑框4", "sound", K::Edit, {288, 132, 138, 22}, "", ""},
              labelButton({kChooseSound,
                           "标签2",
                           "chooseSound",
                           K::Label,
                           {346, 160, 80, 18},
                           "选择提示音",
                           ""}),
              {kPlayLabel,
               "标签10",
               "playLabel",
               K::Label,
               {226, 191, 92, 18},
               "持续播放时间：",
               ""},
              {kPointPlay, "编辑框6", "play", K::Edit, {320, 188, 40, 22}, "", ""},
              {kPlayUnitLabel, "标签11", "playUnit", K::Label, {364, 191, 16, 18}, "秒", ""},
              {kPlayLimitNote,
               "标签1",
               "playLimit",
               K::Label,
               {300, 216, 126, 18},
               "（最多只播放10秒）",
               ""},
              {kExplanation,
               "透明标签1",
               "explanation",
               K::Label,
               {8, 246, 418, 68},
               kExplanationText,
               ""},
              labelButton({kPointsOk, "标签17", "ok", K::Label, {378, 320, 48, 20}, "确定", ""}),
          },
      // Enter takes the points into the item; Esc leaves as the close box does.
      .defaultControl = kPointsOk,
      .cancelControl = kPlayLimitNote,
  };
  return design;
}

PromptPointEditor::PromptPointEditor(Ui& ui, Prompts& prompts, PromptPointHost& host)
    : ui_(ui),
      prompts_(prompts),
      host_(host),
      soundDialog_(FileDialog::Kind::Open, std::string(kSoundFilter)) {}

void PromptPointEditor::create(Window& owner) {
  window_ = ui_.createWindow(promptPointDesign(), *this, &owner);
  window_->setLayered(kLayeredAlpha);
}

void PromptPointEditor::open() {
  window_->show();
  window_->activate();
}

void PromptPointEditor::showPoints() {
  Window& w = *window_;
  w.listClear(kPointList);
  for (const PromptPoint& p : host_.promptPoints()) {
    w.listAdd(kPointList, p.name, p.packed);
    w.listAdd(kPointList, p.sound, 0);
  }
}

void PromptPointEditor::clear() {
  window_->listClear(kPointList);
  for (ControlId id : kFields) window_->setText(id, "");
}

void PromptPointEditor::onClick(ControlId id) {
  switch (id) {
    case kAddPoint:
      add();
      break;
    case kRemovePoint:
      remove();
      break;
    case kSavePoint:
      saveToList();
      break;
    case kMoveUpPoint:
      move(-1);
      break;
    case kMoveDownPoint:
      move(1);
      break;
    case kChooseSound:
      chooseSound();
      break;
    case kPointsOk:
      ok();
      break;
    case kPlayLimitNote:
      if (closeCheck()) window_->hide();
      break;
    default:
      break;
  }
}

void PromptPointEditor::onRowSelected(ControlId id) {
  if (id == kPointList) loadSelected();
}

bool PromptPointEditor::onCloseRequested() {
  // The window lives as long as the program: closing only hides it.
  if (closeCheck()) window_->hide();
  return false;
}

std::optional<PromptPointEditor::Pair> PromptPointEditor::selectedPair() const {
  const int s = window_->listSelection(kPointList);
  if (s < 0) return std::nullopt;
  const int name = s % 2 == 0 ? s : s - 1;
  return Pair{name, name + 1};
}

std::int64_t PromptPointEditor::fieldsValue() const {
  const Window& w = *window_;
  return packPromptValue(w.text(kPointHours), w.text(kPointMinutes), w.text(kPointSeconds),
                         w.text(kPointPlay));
}

PromptPoint PromptPointEditor::fieldsPoint() const {
  return {window_->text(kPointName), fieldsValue(), window_->text(kPointSound)};
}

void PromptPointEditor::loadSelected() {
  const auto pair = selectedPair();
  if (!pair) return;
  Window& w = *window_;
  w.setText(kPointName, w.listText(kPointList, pair->nameRow));
  w.setText(kPointSound, w.listText(kPointList, pair->pathRow));
  const PromptTime t = unpackPromptValue(w.listData(kPointList, pair->nameRow));
  w.setText(kPointHours, std::to_string(t.hours));
  w.setText(kPointMinutes, std::to_string(t.minutes));
  w.setText(kPointSeconds, std::to_string(t.seconds));
  w.setText(kPointPlay, std::to_string(t.play));
}

void PromptPointEditor::add() {
  Window& w = *window_;
  if (w.listCount(kPointList) >= 2 * kMaxPromptPoints) {
    show(prompts_, window_.get(), kTooManyPoints);
    return;
  }
  if (!fieldsAcceptable()) return;
  const PromptPoint point = fieldsPoint();
  w.listAdd(kPointList, point.name, point.packed);
  w.listAdd(kPointList, point.sound, 0);
  for (ControlId id : kFields) w.setText(id, "");
  storePoints();
}

void PromptPointEditor::remove() {
  const auto pair = selectedPair();
  if (!pair) return;
  window_->listRemove(kPointList, pair->pathRow);
  window_->listRemove(kPointList, pair->nameRow);
  storePoints();
}

void PromptPointEditor::saveToList() {
  const auto pair = selectedPair();
  if (!pair) return;
  if (!fieldsAcceptable()) return;
  writePoint(pair->nameRow, fieldsPoint());
  storePoints();
}

void PromptPointEditor::move(int offset) {
  Window& w = *window_;
  const int s = w.listSelection(kPointList);
  if (s < 0) {
    show(prompts_, window_.get(), offset < 0 ? kNoPointToMoveUp : kNoPointToMoveDown);
    return;
  }
  const int rows = w.listCount(kPointList);
  if (offset < 0 && s <= 1) {
    show(prompts_, window_.get(), kPointAtTop);
    return;
  }
  if (offset > 0 && s >= rows - 2) {
    show(prompts_, window_.get(), kPointAtBottom);
    return;
  }
  // The moving point takes what the fields hold, so edits not yet saved
  // travel with it.
  if (!fieldsAcceptable()) return;
  const int p = s % 2 == 0 ? s : s - 1;
  const int q = p + 2 * offset;
  const PromptPoint neighbour{w.listText(kPointList, q), w.listData(kPointList, q),
                              w.listText(kPointList, q + 1)};
  writePoint(q, fieldsPoint());
  writePoint(p, neighbour);
  w.listSelect(kPointList, s + 2 * offset);
  storePoints();
}

void PromptPointEditor::chooseSound() {
  // The path follows the dialog's file name, which a cancel leaves as it was.
  soundDialog_.run(prompts_, window_.get());
  window_->setText(kPointSound, soundDialog_.fileName());
}

void PromptPointEditor::ok() {
  const int row = host_.activeRow();
  if (!closeCheck()) return;
  window_->hide();
  host_.selectActiveRow(row);
  host_.saveItem();
}

bool PromptPointEditor::fieldsUnsaved() const {
  const Window& w = *window_;
  const PromptPoint fields = fieldsPoint();
  const int points = w.listCount(kPointList) / 2;
  for (int k = 0; k < points; ++k) {
    if (w.listText(kPointList, 2 * k) == fields.name &&
        w.listData(kPointList, 2 * k) == fields.packed &&
        w.listText(kPointList, 2 * k + 1) == fields.sound)
      return false;
  }
  return true;
}

bool PromptPointEditor::closeCheck() {
  bool anyTyped = false;
  for (ControlId id : kFields) anyTyped = anyTyped || !window_->text(id).empty();
  if (!anyTyped || !fieldsUnsaved()) return true;
  return show(prompts_, window_.get(), kAskDropPointFields) == MessageAnswer::Yes;
}

bool PromptPointEditor::fieldsAcceptable() {
  const Window& w = *window_;
  const std::string hours = w.text(kPointHours);
  const std::string minutes = w.text(kPointMinutes);
  const std::string seconds = w.text(kPointSeconds);
  const std::string play = w.text(kPointPlay);
  // A zero delay would end the chain of points at this one.
  if (isBlankOrZero(hours) && isBlankOrZero(minutes) && isBlankOrZero(seconds)) {
    show(prompts_, window_.get(), kNoPointDelay);
    return false;
  }
  if (isNegativeNumber(hours)) {
    show(prompts_, window_.get(), kNegativePointHours);
    return false;
  }
  if (isNegativeNumber(minutes)) {
    show(prompts_, window_.get(), kNegativePointMinutes);
    return false;
  }
  if (isNegativeNumber(seconds)) {
    show(prompts_, window_.get(), kNegativePointSeconds);
    return false;
  }
  if (w.text(kPointSound).empty()) {
    show(prompts_, window_.get(), kNoPointSound);
    return false;
  }
  if (play.empty() || play == " " || play == "  ") {
    show(prompts_, window_.get(), kNoPointPlayTime);
    return false;
  }
  if (const auto problem = promptFieldsProblem(hours, minutes, seconds, play)) {
    show(prompts_, window_.get(), kInputRefused, {*problem});
    return false;
  }
  return true;
}

void PromptPointEditor::writePoint(int nameRow, const PromptPoint& point) {
  Window& w = *window_;
  w.listSetText(kPointList, nameRow, point.name);
  w.listSetData(kPointList, nameRow, point.packed);
  w.listSetText(kPointList, nameRow + 1, point.sound);
}

void PromptPointEditor::storePoints() {
  const Window& w = *window_;
  std::vector<PromptPoint>& points = host_.promptPoints();
  points.clear();
  const int rows = w.listCount(kPointList);
  for (int r = 0; r + 1 < rows; r += 2)
    points.push_back(
        {w.listText(kPointList, r), w.listData(kPointList, r), w.listText(kPointList, r + 1)});
}

}  // namespace temvik
