#include "settings/settings_record.h"

#include <algorithm>

namespace {

constexpr size_t kNameBytes = 12;

}  // namespace

std::string SettingsRecord::PlayerName() const {
  // The length byte comes from the file as it was; the name never reaches
  // past the 12 bytes that hold it.
  const size_t length = std::min<size_t>(NameLength, kNameBytes);
  return std::string(reinterpret_cast<const char*>(NameChars.data()), length);
}

void SettingsRecord::SetPlayerName(const std::string& cp1251) {
  const size_t length = std::min(cp1251.size(), kNameBytes);
  // The unused bytes are cleared, so a file holds no trace of a longer
  // name given before.
  NameChars.fill(0);
  std::copy_n(reinterpret_cast<const uint8_t*>(cp1251.data()), length, NameChars.begin());
  NameLength = static_cast<uint8_t>(length);
}
