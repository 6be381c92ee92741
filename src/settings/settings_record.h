// The 24 bytes of config.opt, exactly as they lie in the file.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#pragma pack(push, 1)
struct SettingsRecord {
  uint8_t FullScreen = 1;  // 1 full screen, 0 a 640 x 480 window
  uint8_t Difficulty = 1;  // 0 very easy .. 3 hard
  uint8_t NameLength = 8;  // characters used of NameChars
  std::array<uint8_t, 12> NameChars{0xC8, 0xE3, 0xF0, 0xEE, 0xEA, 0x20, 0x4E, 0x31};  // "Игрок N1", Windows-1251
  uint8_t Padding1 = 0;
  int32_t Volume = -500;  // hundredths of a decibel, -5000 .. 0
  uint8_t GameMode = 1;   // 1 against the computer, 2 against a remote player
  std::array<uint8_t, 3> Padding2{};

  // The player's name, never longer than the 12 bytes that hold it, even
  // when a file claims a longer one.
  std::string PlayerName() const;
  void SetPlayerName(const std::string& cp1251);  // cut to 12
  // The level the computer plays. A file may hold any byte; one past hard
  // plays as hard, the strongest level there is, and the byte stays as stored.
  uint8_t PlayedLevel() const { return Difficulty > 3 ? 3 : Difficulty; }
};
#pragma pack(pop)

static_assert(sizeof(SettingsRecord) == 24, "config.opt is 24 bytes");
