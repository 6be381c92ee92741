// config.opt: the 24 bytes of SettingsRecord as the whole file, and where
// the file lives.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "settings/settings_record.h"

// The directory of the running program, with its trailing '/'; empty when
// it cannot be found.
std::string ProgramDirectory();

// config.opt beside the program when its directory is writable (running
// from the build tree) and the program is not an installed one; otherwise in
// the user's configuration directory ($XDG_CONFIG_HOME or ~/.config, then
// salvora/), made when missing.
std::string SettingsPath(const std::string& appDir);

// The record as the file holds it: little-endian, no gaps.
std::array<uint8_t, 24> SettingsBytes(const SettingsRecord& rec);
SettingsRecord SettingsFromBytes(const std::array<uint8_t, 24>& bytes);

// Reads the first 24 bytes of the file into rec. False when the file is
// missing, cannot be opened, read or closed, or holds fewer than 24 bytes;
// rec is then left untouched and the caller takes the defaults and saves.
// Bytes after the first 24 are ignored. No field is checked.
bool LoadSettingsFile(const std::string& path, SettingsRecord& rec);

// Creates or truncates the file and writes the record as its only content.
// False when it cannot be created, written or closed; the file is then left
// as the failure left it.
bool SaveSettingsFile(const std::string& path, const SettingsRecord& rec);
