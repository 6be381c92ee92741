// The two-player session: one side creates it and waits, the other joins
// it; afterwards both exchange the game's blocks, reliably and in order.
// Everything happens in the caller's thread: Poll, called from the main
// loop and from modal loops, delivers the events through the callbacks.
// Sessions on the local network are found by a small UDP query.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace net {

using Guid = std::array<uint8_t, 16>;

// {3DEC25C0-5F48-11D8-B51D-A0564CC10000} as it lies in memory.
extern const Guid kApplicationGuid;
inline constexpr uint16_t kFirstSessionPort = 47700;
inline constexpr int kSessionPortCount = 10;  // 47700..47709
inline constexpr uint16_t kDiscoveryPort = 47699;
inline constexpr uint8_t kProtocolVersion = 1;
inline constexpr int kMaxPlayers = 2;

// Why a side was disconnected.
inline constexpr uint32_t kLeaveFull = 1;       // the session already has its two players
inline constexpr uint32_t kLeaveWrongGame = 2;  // another game or protocol version
inline constexpr uint32_t kLeavePlayerLeft = 3;

class EDXPlayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TDXPlayPlayer {
  std::string Name;  // Windows-1251
  uint8_t Remote = 0;  // 1 for the player of the other computer
};

// Where a created session listens. A first port of 0 lets the system choose
// (one port, for tests); so does a discovery port of 0.
struct SessionPorts {
  uint16_t First = kFirstSessionPort;
  int Count = kSessionPortCount;
  uint16_t Discovery = kDiscoveryPort;
  bool AnswerDiscovery = true;
};

// A session as a discovery reply describes it.
struct SessionInfo {
  std::string Name;
  std::string Host;  // the address the reply came from
  uint16_t Port = 0;
  Guid Instance{};
  int MaxPlayers = 0;
  std::vector<std::string> Players;
};

class TDXPlay {
 public:
  TDXPlay();
  ~TDXPlay();
  TDXPlay(const TDXPlay&) = delete;
  TDXPlay& operator=(const TDXPlay&) = delete;

  // Creates a session and waits for the other player. Raises EDXPlayError
  // "Session %s cannot be opened" when no port of the range is free.
  void Create(const std::string& sessionName, const std::string& playerName, SessionPorts ports = {});
  // Joins the session at host:port: connects, exchanges the greetings and
  // returns with both players listed. idle runs between waits (keeping a
  // window responsive); the whole join gives up after timeoutMs. Raises
  // EDXPlayError "Session %s cannot be opened" (with sessionName, or
  // host:port when it is empty) when refused, unreachable or not this game.
  void Join(const std::string& host, uint16_t port, const std::string& playerName,
            const std::string& sessionName = {}, const std::function<void()>& idle = {}, int timeoutMs = 5000);
  // Leaves the session, telling the other side; harmless when nothing is open.
  void Close();
  // Services the connection without blocking and raises the events.
  void Poll();
  // Sends one game block to the other player, reliably and in order.
  // Nothing while no session is open; fewer than 4 bytes raise
  // "The message form is illegal".
  void SendMessage(const uint8_t* data, size_t size);
  void SendMessage(const std::vector<uint8_t>& block) { SendMessage(block.data(), block.size()); }

  bool Opened() const;
  bool IsHost() const;
  // The local player first.
  const std::vector<TDXPlayPlayer>& Players() const;
  const std::string& SessionName() const;
  uint16_t Port() const;           // the session's port; 0 when none is open
  uint16_t DiscoveryPort() const;  // 0 when discovery queries are not answered

  // Creator: the joiner's greeting has arrived.
  std::function<void(const std::string& name)> OnAddPlayer;
  // A game block from the other player (more than 3 bytes).
  std::function<void(const std::string& senderName, const uint8_t* data, size_t size)> OnMessage;
  // The other side timed out or vanished; the session is closed after it.
  std::function<void()> OnSessionLost;
  // The other player closed the session on purpose.
  std::function<void(const std::string& name)> OnPlayerLeft;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Asks for sessions of this game: at one address (a name or an IPv4
// address), or by broadcast on the local network when address is empty.
// Gathers replies for timeoutMs (a query to one address ends with its
// reply), running idle between waits. Malformed replies are skipped.
std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle = {},
                                  uint16_t port = kDiscoveryPort);

}  // namespace net
