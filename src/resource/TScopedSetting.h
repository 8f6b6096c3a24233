#pragma once
// A setting changed for the length of a scope and put back however the scope
// ends.

template <typename T>
class TScopedSetting {
public:
  TScopedSetting(T& setting, T value) : Setting(setting), Kept(setting) { setting = value; }
  ~TScopedSetting() { Setting = Kept; }
  TScopedSetting(const TScopedSetting&) = delete;
  TScopedSetting& operator=(const TScopedSetting&) = delete;

private:
  T& Setting;
  T Kept;
};
