// The session over ENet: one reliable channel between the creator and the
// joiner, greetings first, then the game's blocks. A created session
// answers discovery queries on its own port (they are not ENet's and are
// taken before ENet sees them) and, when it could take it, on the
// discovery port too.
#include "net/session.h"

#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include "net/wire.h"

namespace net {

const Guid kApplicationGuid = {0xC0, 0x25, 0xEC, 0x3D, 0x48, 0x5F, 0xD8, 0x11,
                               0xB5, 0x1D, 0xA0, 0x56, 0x4C, 0xC1, 0x00, 0x00};

namespace {

using wire::Reader;
using wire::Writer;

constexpr size_t kMaxSessionName = 1024;  // keeps a discovery reply inside one datagram
constexpr size_t kMaxPeers = 8;           // room to refuse newcomers politely
constexpr int kCloseWaitMs = 100;         // for the other side to confirm the goodbye
constexpr int kSendAwayWaitMs = 1000;     // for a refused side to confirm, before its place is freed
constexpr size_t kNameLength = 12;        // player names are kept to 12 characters

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> Hello(const std::string& playerName) {
  Writer w;
  w.out.reserve(22 + std::min<size_t>(playerName.size(), 255));
  w.Bytes(wire::kHelloMagic, 4);
  w.U8(kProtocolVersion);
  w.Bytes(kApplicationGuid.data(), 16);
  w.Name8(playerName);
  return std::move(w.out);
}

// The name in a greeting of this game and protocol version, cut to 12
// characters; false for anything else.
bool ParseHello(const std::vector<uint8_t>& block, std::string& name) {
  Reader r{block.data(), block.size()};
  if (!r.Magic(wire::kHelloMagic)) return false;
  if (r.U8() != kProtocolVersion) return false;
  if (r.GuidField() != kApplicationGuid) return false;
  const uint8_t length = r.U8();
  name = r.Text(length).substr(0, kNameLength);
  return r.ok;
}

void Send(ENetHost* host, ENetPeer* peer, const uint8_t* data, size_t size) {
  ENetPacket* packet = enet_packet_create(data, size, ENET_PACKET_FLAG_RELIABLE);
  if (!packet) return;
  if (enet_peer_send(peer, 0, packet) < 0) enet_packet_destroy(packet);
  enet_host_flush(host);
}

std::vector<uint8_t> TakePacket(ENetPacket* packet) {
  std::vector<uint8_t> data(packet->data, packet->data + packet->dataLength);
  enet_packet_destroy(packet);
  return data;
}

// Tells the peers goodbye and waits a moment for them to confirm; a
// silent side does not hold the program up for longer.
void SayGoodbye(ENetHost* host, const std::vector<ENetPeer*>& peers, uint32_t code) {
  for (ENetPeer* peer : peers) enet_peer_disconnect(peer, code);
  enet_host_flush(host);
  size_t outstanding = peers.size();
  const auto deadline = Clock::now() + std::chrono::milliseconds(kCloseWaitMs);
  while (outstanding > 0 && Clock::now() < deadline) {
    ENetEvent ev;
    const int r = enet_host_service(host, &ev, 10);
    if (r < 0) break;
    if (r == 0) continue;
    if (ev.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(ev.packet);
    if (ev.type == ENET_EVENT_TYPE_DISCONNECT && std::find(peers.begin(), peers.end(), ev.peer) != peers.end())
      --outstanding;
  }
}

Guid RandomGuid() {
  std::random_device device;
  Guid g{};
  for (uint8_t& b : g) b = static_cast<uint8_t>(device());
  return g;
}

}  // namespace

struct TDXPlay::Impl {
  explicit Impl(TDXPlay& owner) : self(owner) {}

  struct Pending {
    ENetPeer* peer;
    uint64_t since;  // when it connected
  };

  TDXPlay& self;
  ENetHost* host = nullptr;
  ENetPeer* remote = nullptr;    // the other player, once greeted
  std::vector<Pending> pending;  // creator: connected, greeting not yet in
  std::vector<Pending> leaving;  // creator: sent away, the goodbye not yet confirmed
  // Creator: places held by a connection that has not come through yet, by
  // the connection's number, and since when.
  struct Opening {
    ENetPeer* peer;
    uint32_t connectID;
    uint64_t since;
  };
  std::vector<Opening> opening;
  ENetSocket discovery = ENET_SOCKET_NULL;
  uint16_t discoveryPort = 0;
  wire::AnswerLimit answerLimit;
  int helloWaitMs = 3000;
  bool opened = false;
  bool isHost = false;
  std::vector<TDXPlayPlayer> players;
  std::string sessionName;
  uint16_t port = 0;
  Guid instance{};
  uint64_t generation = 0;  // moves on at every Close

  // ENet's intercept hook has no room for a pointer of ours: the created
  // hosts are found by address.
  static std::vector<std::pair<ENetHost*, Impl*>>& Hosts() {
    static std::vector<std::pair<ENetHost*, Impl*>> hosts;
    return hosts;
  }
  static int ENET_CALLBACK Intercept(ENetHost* h, ENetEvent*) {
    if (!wire::IsQuery(h->receivedData, h->receivedDataLength)) return 0;  // ENet's own, or noise for it
    for (auto& [known, impl] : Hosts())
      if (known == h) impl->Answer(h->socket, h->receivedAddress);
    return 1;
  }

  void Forget(ENetPeer* peer) {
    std::erase_if(pending, [peer](const Pending& p) { return p.peer == peer; });
    std::erase_if(leaving, [peer](const Pending& p) { return p.peer == peer; });
  }

  // Refuses a side with the reason; if it never confirms, its place is
  // freed after a moment anyway.
  void SendAway(ENetPeer* peer, uint32_t code) {
    Forget(peer);
    enet_peer_disconnect(peer, code);
    leaving.push_back(Pending{peer, wire::NowMs()});
  }
  bool IsPending(ENetPeer* peer) const {
    return std::any_of(pending.begin(), pending.end(), [peer](const Pending& p) { return p.peer == peer; });
  }

  void RemoveRemotePlayer() {
    remote = nullptr;
    std::erase_if(players, [](const TDXPlayPlayer& p) { return p.Remote == 1; });
  }

  std::vector<uint8_t> Reply() const {
    Writer w;
    w.Bytes(wire::kReplyMagic, 4);
    w.Bytes(kApplicationGuid.data(), 16);
    w.Bytes(instance.data(), 16);
    w.U16(port);
    w.U8(static_cast<uint8_t>(players.size()));
    w.U8(kMaxPlayers);
    w.U16(static_cast<uint16_t>(sessionName.size()));
    w.Bytes(sessionName.data(), sessionName.size());
    for (const TDXPlayPlayer& p : players) w.Name8(p.Name);
    return std::move(w.out);
  }

  void Answer(ENetSocket socket, const ENetAddress& from) {
    if (!opened || !answerLimit.Allow(from, wire::NowMs())) return;
    wire::SendDatagram(socket, from, Reply());
  }

  // The queries that reach the discovery port.
  void AnswerDiscovery() {
    if (discovery == ENET_SOCKET_NULL) return;
    for (int i = 0; i < 16; ++i) {
      uint8_t buffer[512];
      ENetAddress from{};
      const int got = wire::ReceiveDatagram(discovery, from, buffer, sizeof buffer);
      if (got == 0) return;
      if (got < 0) continue;  // an oversized or failed datagram: on to the next
      if (wire::IsQuery(buffer, static_cast<size_t>(got))) Answer(discovery, from);
    }
  }

  // Sides that connected but never greeted are sent away, and those sent
  // away that never confirmed lose their place, so no side holds a place
  // for long without playing.
  void DropSilentPeers() {
    const uint64_t now = wire::NowMs();
    auto due = [now](const Pending& p, int waitMs) { return now - p.since >= static_cast<uint64_t>(waitMs); };
    for (const Pending& p : pending)
      if (due(p, helloWaitMs)) enet_peer_disconnect_now(p.peer, kLeaveWrongGame);
    std::erase_if(pending, [&](const Pending& p) { return due(p, helloWaitMs); });
    for (const Pending& p : leaving)
      if (due(p, kSendAwayWaitMs)) enet_peer_reset(p.peer);
    std::erase_if(leaving, [&](const Pending& p) { return due(p, kSendAwayWaitMs); });
    // A connection that never comes through (its other end gone, or never
    // meaning to finish) loses its place after the same wait.
    for (size_t i = 0; i < host->peerCount; ++i) {
      ENetPeer* peer = &host->peers[i];
      const bool handshake = peer->state == ENET_PEER_STATE_CONNECTING ||
                             peer->state == ENET_PEER_STATE_ACKNOWLEDGING_CONNECT ||
                             peer->state == ENET_PEER_STATE_CONNECTION_PENDING ||
                             peer->state == ENET_PEER_STATE_CONNECTION_SUCCEEDED;
      auto it = std::find_if(opening.begin(), opening.end(), [peer](const Opening& o) { return o.peer == peer; });
      if (!handshake) {
        if (it != opening.end()) opening.erase(it);
      } else if (it == opening.end() || it->connectID != peer->connectID) {
        if (it != opening.end()) opening.erase(it);
        opening.push_back(Opening{peer, peer->connectID, now});
      } else if (now - it->since >= static_cast<uint64_t>(helloWaitMs)) {
        enet_peer_reset(peer);
        opening.erase(it);
      }
    }
  }

  // The creator's side of a greeting.
  void Greeted(ENetPeer* peer, const std::vector<uint8_t>& block) {
    Forget(peer);
    std::string name;
    if (!ParseHello(block, name)) {
      SendAway(peer, kLeaveWrongGame);
      return;
    }
    if (remote) {
      SendAway(peer, kLeaveFull);
      return;
    }
    remote = peer;
    players.push_back(TDXPlayPlayer{name, 1});
    const std::vector<uint8_t> hello = Hello(players.front().Name);
    Send(host, peer, hello.data(), hello.size());
    if (self.OnAddPlayer) self.OnAddPlayer(name);
  }

  void Handle(ENetEvent& ev) {
    switch (ev.type) {
      case ENET_EVENT_TYPE_CONNECT:
        if (!isHost) break;
        if (remote)
          SendAway(ev.peer, kLeaveFull);
        else
          pending.push_back(Pending{ev.peer, wire::NowMs()});
        break;
      case ENET_EVENT_TYPE_RECEIVE: {
        const std::vector<uint8_t> block = TakePacket(ev.packet);
        if (ev.peer == remote) {
          if (block.size() <= 3) break;  // not a game block
          const std::string sender = players.size() > 1 ? players[1].Name : std::string();
          if (self.OnMessage) self.OnMessage(sender, block.data(), block.size());
        } else if (isHost && IsPending(ev.peer)) {
          Greeted(ev.peer, block);
        }
        break;
      }
      case ENET_EVENT_TYPE_DISCONNECT:
        if (ev.peer != remote) {
          Forget(ev.peer);
          break;
        }
        {
          const std::string name = players.size() > 1 ? players[1].Name : std::string();
          RemoveRemotePlayer();
          const uint64_t before = generation;
          if (ev.data == kLeavePlayerLeft) {
            if (self.OnPlayerLeft) self.OnPlayerLeft(name);
            // A joiner has nobody left to play with; a creator waits for the next.
            if (generation == before && !isHost) self.Close();
          } else {
            // Timed out, or gone without a goodbye.
            if (self.OnSessionLost) self.OnSessionLost();
            if (generation == before) self.Close();
          }
        }
        break;
      case ENET_EVENT_TYPE_NONE: break;
    }
  }
};

TDXPlay::TDXPlay() : impl_(std::make_unique<Impl>(*this)) {}

TDXPlay::~TDXPlay() { Close(); }

void TDXPlay::Create(const std::string& sessionName, const std::string& playerName, SessionPorts ports) {
  Close();
  wire::EnsureEnet();
  Impl& s = *impl_;
  const std::string name = sessionName.substr(0, kMaxSessionName);
  const int count = ports.First == 0 ? 1 : std::max(ports.Count, 1);
  for (int i = 0; i < count && !s.host; ++i) {
    const int candidate = ports.First + i;
    if (candidate > 65535) break;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = static_cast<uint16_t>(candidate);
    s.host = enet_host_create(&address, kMaxPeers, 1, 0, 0);
  }
  if (!s.host) throw EDXPlayError("Session " + name + " cannot be opened");
  s.port = s.host->address.port;
  s.host->intercept = &Impl::Intercept;
  Impl::Hosts().emplace_back(s.host, &s);

  if (ports.AnswerDiscovery) {
    // A busy discovery port only means this session is found at its own port.
    s.discovery = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (s.discovery != ENET_SOCKET_NULL) {
      ENetAddress address{};
      address.host = ENET_HOST_ANY;
      address.port = ports.Discovery;
      ENetAddress bound{};
      if (enet_socket_bind(s.discovery, &address) < 0 ||
          enet_socket_set_option(s.discovery, ENET_SOCKOPT_NONBLOCK, 1) < 0 ||
          enet_socket_get_address(s.discovery, &bound) < 0) {
        enet_socket_destroy(s.discovery);
        s.discovery = ENET_SOCKET_NULL;
      } else {
        s.discoveryPort = bound.port;
      }
    }
  }

  s.helloWaitMs = std::max(ports.HelloWaitMs, 0);
  s.instance = RandomGuid();
  s.sessionName = name;
  s.players = {TDXPlayPlayer{playerName, 0}};
  s.isHost = true;
  s.opened = true;
}

bool TDXPlay::Join(const std::string& host, uint16_t port, const std::string& playerName,
                   const std::string& sessionName, const std::function<void()>& idle, int timeoutMs,
                   const std::function<bool()>& cancelled) {
  Close();
  wire::EnsureEnet();
  Impl& s = *impl_;
  const std::string shown = sessionName.empty() ? host + ":" + std::to_string(port) : sessionName;
  ENetPeer* peer = nullptr;
  bool connected = false;
  // A join that goes no further leaves politely: the creator frees the
  // place at once instead of waiting for a time-out.
  auto leave = [&](uint32_t code) {
    if (connected) SayGoodbye(s.host, {peer}, code);
    Close();
  };
  auto fail = [&](uint32_t code) {
    leave(code);
    throw EDXPlayError("Session " + shown + " cannot be opened");
  };

  s.host = enet_host_create(nullptr, 1, 1, 0, 0);
  if (!s.host) fail(kLeavePlayerLeft);
  ENetAddress address{};
  if (enet_address_set_host(&address, host.c_str()) != 0) fail(kLeavePlayerLeft);
  address.port = port;
  peer = enet_host_connect(s.host, &address, 1, 0);
  if (!peer) fail(kLeavePlayerLeft);

  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::string creator;
  bool greeted = false;
  while (!greeted) {
    if (cancelled && cancelled()) {
      leave(kLeavePlayerLeft);
      return false;
    }
    if (Clock::now() >= deadline) fail(kLeavePlayerLeft);
    ENetEvent ev;
    const int r = enet_host_service(s.host, &ev, 10);
    if (r < 0) fail(kLeavePlayerLeft);
    if (r > 0) {
      if (ev.type == ENET_EVENT_TYPE_CONNECT) {
        connected = true;
        const std::vector<uint8_t> hello = Hello(playerName);
        Send(s.host, peer, hello.data(), hello.size());
      } else if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
        const std::vector<uint8_t> block = TakePacket(ev.packet);
        if (!ParseHello(block, creator)) fail(kLeaveWrongGame);
        greeted = true;
      } else if (ev.type == ENET_EVENT_TYPE_DISCONNECT) {
        connected = false;
        fail(kLeavePlayerLeft);  // refused: full, or not this game
      }
    }
    if (!greeted && idle) idle();
  }

  s.remote = peer;
  s.sessionName = sessionName;
  s.port = port;
  s.players = {TDXPlayPlayer{playerName, 0}, TDXPlayPlayer{creator, 1}};
  s.isHost = false;
  s.opened = true;
  return true;
}

void TDXPlay::Close() {
  Impl& s = *impl_;
  ++s.generation;
  s.opened = false;
  if (s.host) {
    std::vector<ENetPeer*> told;
    for (const Impl::Pending& p : s.pending) told.push_back(p.peer);
    if (s.remote) told.push_back(s.remote);
    SayGoodbye(s.host, told, kLeavePlayerLeft);
    std::erase_if(Impl::Hosts(), [&](const auto& h) { return h.first == s.host; });
    enet_host_destroy(s.host);
    s.host = nullptr;
  }
  if (s.discovery != ENET_SOCKET_NULL) {
    enet_socket_destroy(s.discovery);
    s.discovery = ENET_SOCKET_NULL;
  }
  s.discoveryPort = 0;
  s.remote = nullptr;
  s.pending.clear();
  s.leaving.clear();
  s.opening.clear();
  s.players.clear();
  s.sessionName.clear();
  s.port = 0;
  s.isHost = false;
}

void TDXPlay::Poll() {
  Impl& s = *impl_;
  if (!s.host || !s.opened) return;  // a join under way services its own events
  const uint64_t generation = s.generation;
  s.AnswerDiscovery();
  s.DropSilentPeers();
  ENetEvent ev;
  // A handler may close the session (or open another): the pass ends there.
  while (s.host && s.generation == generation && enet_host_service(s.host, &ev, 0) > 0) s.Handle(ev);
}

void TDXPlay::SendMessage(const uint8_t* data, size_t size) {
  Impl& s = *impl_;
  if (!s.opened) return;
  if (size < 4 || data == nullptr) throw EDXPlayError("The message form is illegal");
  if (!s.remote) return;  // nobody to send to yet, or any more
  Send(s.host, s.remote, data, size);
}

bool TDXPlay::Opened() const { return impl_->opened; }
bool TDXPlay::IsHost() const { return impl_->isHost; }
const std::vector<TDXPlayPlayer>& TDXPlay::Players() const { return impl_->players; }
const std::string& TDXPlay::SessionName() const { return impl_->sessionName; }
uint16_t TDXPlay::Port() const { return impl_->port; }
uint16_t TDXPlay::DiscoveryPort() const { return impl_->discoveryPort; }

}  // namespace net
