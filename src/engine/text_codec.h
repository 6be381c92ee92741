// The game keeps its texts as Windows-1251 bytes (as stored and sent); the
// screen and the keyboard speak UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace eng {

// Characters Windows-1251 cannot hold are dropped.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace eng

// A UTF-8 literal of the game's source as the Windows-1251 bytes the game keeps.
inline std::string W(std::string_view utf8) { return eng::Utf8ToCp1251(utf8); }
