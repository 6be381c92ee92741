// The three blocks the two sides of a network game exchange: the fixed
// fleet, each shot or bomb, and chat texts. All integers are 32-bit
// little-endian, texts Windows-1251 bytes. The receiving side treats every
// block as untrusted: short, long and malformed blocks are ignored or bounded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TBattleField;
class TCommon;

namespace net {

inline constexpr uint32_t kFleetMessageType = 1;
inline constexpr uint32_t kShotMessageType = 2;
inline constexpr uint32_t kChatMessageType = 3;

// Layout of the fleet block: header, the 816-byte true plane, ten 16-byte
// ship slots, then the shape matrices (n x n, n = ship type + 2).
inline constexpr size_t kFleetPlaneOffset = 4;
inline constexpr size_t kFleetSlotsOffset = 820;
inline constexpr size_t kFleetSlotSize = 16;
inline constexpr size_t kFleetSlotBytes = 9;  // Type .. Sunk
inline constexpr size_t kFleetShapesOffset = 980;
inline constexpr size_t kShotMessageSize = 16;
// What line 1 of the chat can show of a received text; the rest is dropped.
inline constexpr size_t kChatShownLength = 255;

// The own fleet as the other side must see it: only the cell codes of the
// true plane travel (State and KnownFree 0 in every cell), the first nine
// bytes of each fleet slot and the slot's shape matrix.
std::vector<uint8_t> FleetMessage(const TBattleField& grid);
// A shot (code 1) or a bomb (2 X, 3 plus, 4 square) at (x, y) of the
// receiver's own grid.
std::vector<uint8_t> ShotMessage(int x, int y, int code);
// A chat text (Windows-1251), closed by a zero and three padding bytes.
std::vector<uint8_t> ChatMessage(const std::string& text);

}  // namespace net

// A block from the other player, handled on the receiving side: a fleet
// that follows the rules fills the enemy grid (one a game; a fleet that
// breaks them is refused and the player told), a shot or bomb strikes the
// own grid when it is the other side's turn, a chat text becomes the chat
// line. Blocks of unknown type or malformed ones change nothing.
void DXPlayMessage(TCommon& common, const std::string& senderName, const uint8_t* data, size_t size);
