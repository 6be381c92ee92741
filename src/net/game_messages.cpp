// Building the game's blocks and handling the ones that arrive.
#include "net/game_messages.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "sea/fleet_check.h"
#include "ui/common.h"

namespace net {
namespace {

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

}  // namespace

std::vector<uint8_t> FleetMessage(const TBattleField& grid) {
  size_t shapes = 0;
  for (int k = 1; k <= kFleetSize; ++k) {
    const int n = grid.Slot(k).ShapeSize();
    shapes += static_cast<size_t>(n * n);
  }
  std::vector<uint8_t> out(kFleetShapesOffset + shapes, 0);
  PutU32(out, 0, kFleetMessageType);

  // Only what lies in each cell travels; nothing of what was shot or known.
  TCellPlane plane = grid.TrueCells;
  for (TSeaCell& c : plane.Cells) {
    c.State = cell::Closed;
    c.KnownFree = 0;
  }
  std::memcpy(out.data() + kFleetPlaneOffset, plane.Bytes(), TCellPlane::kByteSize);

  size_t shapeAt = kFleetShapesOffset;
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& ship = grid.Slot(k);
    uint8_t* slot = out.data() + kFleetSlotsOffset + kFleetSlotSize * (k - 1);
    slot[0] = ship.Type;
    slot[1] = ship.Group;
    slot[2] = ship.Variant;
    slot[3] = ship.Ordinal;
    slot[4] = ship.Placed;
    slot[5] = static_cast<uint8_t>(ship.X);
    slot[6] = static_cast<uint8_t>(ship.Y);
    slot[7] = ship.Hits;
    slot[8] = ship.Sunk;
    const int n = ship.ShapeSize();
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) out[shapeAt++] = ship.Shape[r][c];
  }
  return out;
}

std::vector<uint8_t> ShotMessage(int x, int y, int code) {
  std::vector<uint8_t> out(kShotMessageSize, 0);
  PutU32(out, 0, kShotMessageType);
  PutU32(out, 4, static_cast<uint32_t>(x));
  PutU32(out, 8, static_cast<uint32_t>(y));
  PutU32(out, 12, static_cast<uint32_t>(code));
  return out;
}

std::vector<uint8_t> ChatMessage(const std::string& text) {
  const size_t length = text.size();
  std::vector<uint8_t> out(length + 12, 0);
  PutU32(out, 0, kChatMessageType);
  PutU32(out, 4, static_cast<uint32_t>(length));
  std::memcpy(out.data() + 8, text.data(), length);
  // The closing zero and the three padding bytes are already 0.
  return out;
}

namespace {

// The opponent's fleet, read whole and held to the rules before anything
// of it is used; then it becomes this game's or waits for the next.
void ReceiveFleet(TCommon& common, const uint8_t* data, size_t size) {
  // The slots give the length of the shape part, so they are read (and
  // checked) before anything of the block is used.
  if (size < kFleetShapesOffset) {
    common.RefuseRemoteFleet();
    return;
  }
  size_t need = kFleetShapesOffset;
  for (int k = 0; k < kFleetSize; ++k) {
    const uint8_t type = data[kFleetSlotsOffset + kFleetSlotSize * k];
    if (type < 1 || type > kMaxShipType) {
      common.RefuseRemoteFleet();  // no such ship
      return;
    }
    const size_t n = type + 2u;
    need += n * n;
  }
  if (size < need) {
    common.RefuseRemoteFleet();  // cut short: nothing past the block is read
    return;
  }

  TFleetRecord fleet;
  std::memcpy(fleet.Cells.Bytes(), data + kFleetPlaneOffset, TCellPlane::kByteSize);
  // The cells arrive closed; a sender that left anything opened or known
  // free does not show it here.
  for (TSeaCell& c : fleet.Cells.Cells) {
    c.State = cell::Closed;
    c.KnownFree = 0;
  }
  size_t shapeAt = kFleetShapesOffset;
  for (int k = 0; k < kFleetSize; ++k) {
    const uint8_t* slot = data + kFleetSlotsOffset + kFleetSlotSize * k;
    TShipRecord& ship = fleet.Ships[k];
    ship.Type = slot[0];
    ship.Group = slot[1];
    ship.Variant = slot[2];
    ship.Ordinal = slot[3];
    ship.Placed = slot[4];
    ship.X = static_cast<int8_t>(slot[5]);
    ship.Y = static_cast<int8_t>(slot[6]);
    ship.Hits = slot[7];
    ship.Sunk = slot[8];
    const int n = ship.ShapeSize();
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) ship.Shape[r][c] = data[shapeAt++];
  }
  if (!FleetFollowsRules(fleet)) {
    common.RefuseRemoteFleet();
    return;
  }
  common.OfferRemoteFleet(fleet);
}

// A shot or a bomb of the other side at the own grid, resolved in turn.
void ReceiveShot(TCommon& common, const uint8_t* data, size_t size) {
  if (size < kShotMessageSize) return;
  const int32_t x = GetI32(data + 4);
  const int32_t y = GetI32(data + 8);
  const uint8_t code = data[12];  // only the lowest byte counts
  if (!TCellPlane::Contains(x, y) || code < 1 || code > 4) return;  // no such cell or weapon
  common.QueueIncomingShot(TIncomingShot{TCellPoint{x, y}, code});
}

void ReceiveChat(TCommon& common, const std::string& senderName, const uint8_t* data, size_t size) {
  if (size < 8) return;  // no length field
  const int32_t length = GetI32(data + 4);
  if (length <= 0) {
    common.ChatLine.clear();
    return;
  }
  // A length beyond the block reads only what the block holds, and no more
  // than the chat line can show.
  size_t count = std::min({static_cast<size_t>(length), size - 8, kChatShownLength});
  const uint8_t* text = data + 8;
  // The line is text: it ends at the first zero byte.
  count = static_cast<size_t>(std::find(text, text + count, uint8_t{0}) - text);
  common.ShowChatLine(senderName + ">    " + std::string(reinterpret_cast<const char*>(text), count), true);
}

}  // namespace
}  // namespace net

void DXPlayMessage(TCommon& common, const std::string& senderName, const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4) return;
  switch (net::GetU32(data)) {
    case net::kFleetMessageType: net::ReceiveFleet(common, data, size); break;
    case net::kShotMessageType: net::ReceiveShot(common, data, size); break;
    case net::kChatMessageType: net::ReceiveChat(common, senderName, data, size); break;
    default: break;  // not a block of this game
  }
}
