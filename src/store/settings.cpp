#include "store/settings.h"

#include <algorithm>
#include <string>

#include "store/text.h"

namespace temvik {
namespace {

bool flagOr(const IniDocument& doc, std::string_view key, bool fallback) {
  const auto v = doc.get(kSettingsSection, key);
  if (!v) return fallback;
  if (*v == kTrue) return true;
  if (*v == kFalse) return false;
  return fallback;
}

}  // namespace

SettingsValues readSettings(const IniDocument& doc) {
  SettingsValues v;
  v.strictMode = flagOr(doc, kStrictModeKey, v.strictMode);
  v.stayAwake = flagOr(doc, kStayAwakeKey, v.stayAwake);
  v.wakeForTimed = flagOr(doc, kWakeForTimedKey, v.wakeForTimed);
  if (const auto seconds = doc.get(kSettingsSection, kPowerNoticeKey);
      seconds && !seconds->empty() && isTypedNumber(*seconds)) {
    const double n = numberValue(*seconds);
    if (n >= 0 && n <= kMaxPowerNoticeSeconds && n == static_cast<int>(n))
      v.powerNoticeSeconds = static_cast<int>(n);
  }
  return v;
}

void Settings::load() {
  values_ = SettingsValues{};
  values_ = readSettings(store_.load(kSettingsFile));
}

void Settings::write(std::string_view key, std::string_view value) {
  store_.write(kSettingsFile, kSettingsSection, key, value);
}

void Settings::setStrictMode(bool on) {
  write(kStrictModeKey, flagText(on));
  values_.strictMode = on;
}

void Settings::setPowerNoticeSeconds(int seconds) {
  seconds = std::clamp(seconds, 0, kMaxPowerNoticeSeconds);
  write(kPowerNoticeKey, std::to_string(seconds));
  values_.powerNoticeSeconds = seconds;
}

void Settings::setStayAwake(bool on) {
  write(kStayAwakeKey, flagText(on));
  values_.stayAwake = on;
}

void Settings::setWakeForTimed(bool on) {
  write(kWakeForTimedKey, flagText(on));
  values_.wakeForTimed = on;
}

}  // namespace temvik
