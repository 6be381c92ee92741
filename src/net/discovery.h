// Finding sessions of this game: a small UDP query, answered by every
// created session on its own port and by the first one on the discovery
// port too.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace net {

using Guid = std::array<uint8_t, 16>;

// A session as a discovery reply describes it.
struct SessionInfo {
  std::string Name;  // cut to what the session list can show
  std::string Host;  // the address the reply came from
  uint16_t Port = 0;
  Guid Instance{};
  int MaxPlayers = 0;
  std::vector<std::string> Players;  // names cut to 12 characters
};

// How much of a session name a search keeps, and how many sessions.
inline constexpr size_t kListedNameLength = 64;
inline constexpr size_t kMaxListedSessions = 100;

// The ports a search asks at: the discovery port, then every session port.
std::vector<uint16_t> SearchPorts();
// Where a search of the local network goes: the broadcast address of every
// IPv4 interface that has one, then 255.255.255.255, so a machine without a
// default route (or with one through another interface) still finds the LAN.
std::vector<std::string> BroadcastAddresses();

// Asks for sessions of this game at the given ports: of one address (a name
// or an IPv4 address), or of the local network when address is empty.
// Gathers replies for timeoutMs, running idle between waits; a query to one
// port of one address ends with its reply, one to several ports of one
// address once the replies have stopped coming. Malformed replies are
// skipped; a session answering twice is listed once.
std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle,
                                  const std::vector<uint16_t>& ports);
std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle = {});
std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle,
                                  uint16_t port);

}  // namespace net
