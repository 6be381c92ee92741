// The two-player session: one side creates it and waits, the other joins
// it; afterwards both exchange the game's blocks, reliably and in order.
// Everything happens in the caller's thread: Poll, called from the main
// loop and from modal loops, delivers the events through the callbacks.
// Sessions on the local network are found by a small UDP query
// (net/discovery.h), which every created session answers.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/discovery.h"

namespace net {

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
// (one port, for tests); so does a discovery port of 0. Queries are answered
// on the session's own port always, and on the discovery port too when it is
// free and AnswerDiscovery is set.
struct SessionPorts {
  uint16_t First = kFirstSessionPort;
  int Count = kSessionPortCount;
  uint16_t Discovery = kDiscoveryPort;
  bool AnswerDiscovery = true;
  // A connected side that has not greeted within this time is sent away,
  // so silent peers cannot hold the places a player needs.
  int HelloWaitMs = 3000;
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
  // returns true with both players listed. idle runs between waits (keeping
  // a window responsive); when cancelled() says so, the join ends at once
  // and returns false. The whole join gives up after timeoutMs. Raises
  // EDXPlayError "Session %s cannot be opened" (with sessionName, or
  // host:port when it is empty) when refused, unreachable or not this game.
  // A join that does not complete says goodbye, so the creator does not
  // wait for a time-out.
  bool Join(const std::string& host, uint16_t port, const std::string& playerName,
            const std::string& sessionName = {}, const std::function<void()>& idle = {}, int timeoutMs = 5000,
            const std::function<bool()>& cancelled = {});
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
  // The other player closed the session on purpose. A joiner's session is
  // closed after it (nobody is left to play with); a creator's stays open
  // for the next player.
  std::function<void(const std::string& name)> OnPlayerLeft;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace net
