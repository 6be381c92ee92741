// The settings as TCommon keeps them: read once at start, written after
// every change; a failure falls back to the defaults and tells the player.
#include "engine/text_codec.h"
#include "settings/settings_file.h"
#include "ui/common.h"

void TCommon::LoadSettings() {
  if (!LoadSettingsFile(services_.settingsPath, Settings)) {
    Settings = SettingsRecord{};
    SaveSettings();
  }
}

void TCommon::SaveSettings() {
  if (!SaveSettingsFile(services_.settingsPath, Settings)) {
    Settings = SettingsRecord{};
    services_.host.ShowMessage(W("Ошибка при сохранении настроек!"));
  }
}
