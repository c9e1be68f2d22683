#pragma once

#include <string_view>

#include "store/plan_store.h"

namespace temvik {

// The program's own settings, in a file of their own beside the exe, GBK
// like the plan files. No plan operation (list rewrites, import, export,
// deleting the plan) touches it, and keys this version does not know are
// kept as they are. The file is kSettingsFile (store/plan_store.h).
inline constexpr std::string_view kSettingsSection = "设置";
inline constexpr std::string_view kStrictModeKey = "严格模式";
inline constexpr std::string_view kPowerNoticeKey = "关机提示秒数";
inline constexpr std::string_view kStayAwakeKey = "执行时不睡眠";
inline constexpr std::string_view kWakeForTimedKey = "唤醒执行同步";

// The notice before a forced shut down, restart or log off counts down this
// long unless the file says otherwise; 0 shows no notice.
inline constexpr int kDefaultPowerNoticeSeconds = 30;
inline constexpr int kMaxPowerNoticeSeconds = 600;

struct SettingsValues {
  bool strictMode = false;
  int powerNoticeSeconds = kDefaultPowerNoticeSeconds;
  bool stayAwake = false;
  bool wakeForTimed = false;
  friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

// Reads the values from the file's text: an absent file or key, or a value
// this version cannot read, gives the default.
[[nodiscard]] SettingsValues readSettings(const IniDocument& doc);

// The settings as the file holds them. A setter writes the one key at once
// and keeps the value only when the write succeeded (StoreError otherwise).
class Settings {
 public:
  explicit Settings(PlanStore& store) : store_(store) {}

  // Reads the file; throws StoreError when it exists and cannot be read,
  // and then keeps the defaults.
  void load();
  [[nodiscard]] const SettingsValues& values() const { return values_; }

  void setStrictMode(bool on);
  void setPowerNoticeSeconds(int seconds);  // held to 0..kMaxPowerNoticeSeconds
  void setStayAwake(bool on);
  void setWakeForTimed(bool on);

 private:
  void write(std::string_view key, std::string_view value);

  PlanStore& store_;
  SettingsValues values_;
};

}  // namespace temvik
