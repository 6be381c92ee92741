// The session over ENet: one reliable channel between the creator and the
// joiner, greetings first, then the game's blocks; a plain UDP socket
// answers discovery queries while a created session is open.
#include "net/session.h"

#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

namespace net {

const Guid kApplicationGuid = {0xC0, 0x25, 0xEC, 0x3D, 0x48, 0x5F, 0xD8, 0x11,
                               0xB5, 0x1D, 0xA0, 0x56, 0x4C, 0xC1, 0x00, 0x00};

namespace {

constexpr char kQueryMagic[4] = {'S', 'L', 'V', 'Q'};
constexpr char kReplyMagic[4] = {'S', 'L', 'V', 'R'};
constexpr char kHelloMagic[4] = {'S', 'L', 'V', 'H'};
constexpr size_t kMaxSessionName = 1024;  // keeps a discovery reply inside one datagram
constexpr size_t kMaxPeers = 4;           // room to refuse newcomers politely
constexpr int kCloseWaitMs = 100;         // for the other side to confirm the goodbye

using Clock = std::chrono::steady_clock;

void EnsureEnet() {
  static const bool ready = [] {
    if (enet_initialize() != 0) return false;
    std::atexit(enet_deinitialize);
    return true;
  }();
  if (!ready) throw EDXPlayError("The network cannot be initialized");
}

// Appends little-endian fields to a block.
struct Writer {
  std::vector<uint8_t> out;
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  void U8(uint8_t v) { out.push_back(v); }
  void U16(uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  // A text with a one-byte length, cut to what the length can say.
  void Name8(const std::string& s) {
    const size_t n = std::min<size_t>(s.size(), 255);
    U8(static_cast<uint8_t>(n));
    Bytes(s.data(), n);
  }
};

// Reads fields of an untrusted block; any read past its end marks it bad
// and yields zeros.
struct Reader {
  const uint8_t* p;
  size_t size;
  size_t at = 0;
  bool ok = true;
  bool Has(size_t n) {
    if (ok && size - at >= n) return true;
    ok = false;
    return false;
  }
  bool Magic(const char (&m)[4]) {
    if (!Has(4)) return false;
    ok = std::memcmp(p + at, m, 4) == 0;
    at += 4;
    return ok;
  }
  uint8_t U8() { return Has(1) ? p[at++] : 0; }
  uint16_t U16() {
    if (!Has(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(p[at] | p[at + 1] << 8);
    at += 2;
    return v;
  }
  Guid GuidField() {
    Guid g{};
    if (Has(16)) {
      std::memcpy(g.data(), p + at, 16);
      at += 16;
    }
    return g;
  }
  std::string Text(size_t n) {
    if (!Has(n)) return {};
    std::string s(reinterpret_cast<const char*>(p + at), n);
    at += n;
    return s;
  }
};

std::vector<uint8_t> Hello(const std::string& playerName) {
  Writer w;
  w.Bytes(kHelloMagic, 4);
  w.U8(kProtocolVersion);
  w.Bytes(kApplicationGuid.data(), 16);
  w.Name8(playerName);
  return std::move(w.out);
}

// The name in a greeting of this game and protocol version; false for
// anything else.
bool ParseHello(const std::vector<uint8_t>& block, std::string& name) {
  Reader r{block.data(), block.size()};
  if (!r.Magic(kHelloMagic)) return false;
  if (r.U8() != kProtocolVersion) return false;
  if (r.GuidField() != kApplicationGuid) return false;
  const uint8_t length = r.U8();
  name = r.Text(length);
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

int ReceiveDatagram(ENetSocket socket, ENetAddress& from, uint8_t* buffer, size_t capacity) {
  ENetBuffer b;
  b.data = buffer;
  b.dataLength = capacity;
  return enet_socket_receive(socket, &from, &b, 1);
}

void SendDatagram(ENetSocket socket, const ENetAddress& to, const std::vector<uint8_t>& block) {
  ENetBuffer b;
  b.data = const_cast<uint8_t*>(block.data());
  b.dataLength = block.size();
  enet_socket_send(socket, &to, &b, 1);
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

  TDXPlay& self;
  ENetHost* host = nullptr;
  ENetPeer* remote = nullptr;        // the other player, once greeted
  std::vector<ENetPeer*> pending;    // creator: connected, greeting not yet in
  ENetSocket discovery = ENET_SOCKET_NULL;
  uint16_t discoveryPort = 0;
  bool opened = false;
  bool isHost = false;
  std::vector<TDXPlayPlayer> players;
  std::string sessionName;
  uint16_t port = 0;
  Guid instance{};
  uint64_t generation = 0;  // moves on at every Close

  void Forget(ENetPeer* peer) { std::erase(pending, peer); }

  void RemoveRemotePlayer() {
    remote = nullptr;
    std::erase_if(players, [](const TDXPlayPlayer& p) { return p.Remote == 1; });
  }

  void AnswerDiscovery() {
    if (discovery == ENET_SOCKET_NULL) return;
    for (int i = 0; i < 16; ++i) {
      uint8_t buffer[512];
      ENetAddress from{};
      const int got = ReceiveDatagram(discovery, from, buffer, sizeof buffer);
      if (got == 0) return;
      if (got < 0) continue;  // an oversized or failed datagram: on to the next
      Reader r{buffer, static_cast<size_t>(got)};
      if (!r.Magic(kQueryMagic) || r.GuidField() != kApplicationGuid || !r.ok) continue;
      Writer w;
      w.Bytes(kReplyMagic, 4);
      w.Bytes(kApplicationGuid.data(), 16);
      w.Bytes(instance.data(), 16);
      w.U16(port);
      w.U8(static_cast<uint8_t>(players.size()));
      w.U8(kMaxPlayers);
      w.U16(static_cast<uint16_t>(sessionName.size()));
      w.Bytes(sessionName.data(), sessionName.size());
      for (const TDXPlayPlayer& p : players) w.Name8(p.Name);
      SendDatagram(discovery, from, w.out);
    }
  }

  // The creator's side of a greeting.
  void Greeted(ENetPeer* peer, const std::vector<uint8_t>& block) {
    Forget(peer);
    std::string name;
    if (!ParseHello(block, name)) {
      enet_peer_disconnect(peer, kLeaveWrongGame);
      return;
    }
    if (remote) {
      enet_peer_disconnect(peer, kLeaveFull);
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
          enet_peer_disconnect(ev.peer, kLeaveFull);
        else
          pending.push_back(ev.peer);
        break;
      case ENET_EVENT_TYPE_RECEIVE: {
        const std::vector<uint8_t> block = TakePacket(ev.packet);
        if (ev.peer == remote) {
          if (block.size() <= 3) break;  // not a game block
          const std::string sender = players.size() > 1 ? players[1].Name : std::string();
          if (self.OnMessage) self.OnMessage(sender, block.data(), block.size());
        } else if (isHost && std::find(pending.begin(), pending.end(), ev.peer) != pending.end()) {
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
          if (ev.data == kLeavePlayerLeft) {
            if (self.OnPlayerLeft) self.OnPlayerLeft(name);
          } else {
            // Timed out, or gone without a goodbye.
            const uint64_t before = generation;
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
  EnsureEnet();
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

  if (ports.AnswerDiscovery) {
    // A busy discovery port only means this session is not found by a search.
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

  s.instance = RandomGuid();
  s.sessionName = name;
  s.players = {TDXPlayPlayer{playerName, 0}};
  s.isHost = true;
  s.opened = true;
}

void TDXPlay::Join(const std::string& host, uint16_t port, const std::string& playerName,
                   const std::string& sessionName, const std::function<void()>& idle, int timeoutMs) {
  Close();
  EnsureEnet();
  Impl& s = *impl_;
  const std::string shown = sessionName.empty() ? host + ":" + std::to_string(port) : sessionName;
  auto fail = [&] {
    Close();
    throw EDXPlayError("Session " + shown + " cannot be opened");
  };

  s.host = enet_host_create(nullptr, 1, 1, 0, 0);
  if (!s.host) fail();
  ENetAddress address{};
  if (enet_address_set_host(&address, host.c_str()) != 0) fail();
  address.port = port;
  ENetPeer* peer = enet_host_connect(s.host, &address, 1, 0);
  if (!peer) fail();

  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::string creator;
  bool greeted = false;
  while (!greeted) {
    if (Clock::now() >= deadline) fail();
    ENetEvent ev;
    const int r = enet_host_service(s.host, &ev, 10);
    if (r < 0) fail();
    if (r > 0) {
      if (ev.type == ENET_EVENT_TYPE_CONNECT) {
        const std::vector<uint8_t> hello = Hello(playerName);
        Send(s.host, peer, hello.data(), hello.size());
      } else if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
        const std::vector<uint8_t> block = TakePacket(ev.packet);
        if (!ParseHello(block, creator)) {
          enet_peer_disconnect(peer, kLeaveWrongGame);
          enet_host_flush(s.host);
          fail();
        }
        greeted = true;
      } else if (ev.type == ENET_EVENT_TYPE_DISCONNECT) {
        fail();  // refused: full, or not this game
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
}

void TDXPlay::Close() {
  Impl& s = *impl_;
  ++s.generation;
  s.opened = false;
  if (s.host) {
    std::vector<ENetPeer*> told = s.pending;
    if (s.remote) told.push_back(s.remote);
    for (ENetPeer* peer : told) enet_peer_disconnect(peer, kLeavePlayerLeft);
    enet_host_flush(s.host);
    // A short wait for the goodbyes to be confirmed; a silent side does not
    // hold the program up for longer.
    size_t outstanding = told.size();
    const auto deadline = Clock::now() + std::chrono::milliseconds(kCloseWaitMs);
    while (outstanding > 0 && Clock::now() < deadline) {
      ENetEvent ev;
      const int r = enet_host_service(s.host, &ev, 10);
      if (r < 0) break;
      if (r == 0) continue;
      if (ev.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(ev.packet);
      if (ev.type == ENET_EVENT_TYPE_DISCONNECT && std::find(told.begin(), told.end(), ev.peer) != told.end())
        --outstanding;
    }
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

std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle,
                                  uint16_t port) {
  EnsureEnet();
  ENetAddress target{};
  target.port = port;
  if (address.empty()) {
    target.host = ENET_HOST_BROADCAST;
  } else if (enet_address_set_host(&target, address.c_str()) != 0) {
    throw EDXPlayError("Session list cannot be acquired");
  }
  ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
  if (socket == ENET_SOCKET_NULL) throw EDXPlayError("Session list cannot be acquired");
  ENetAddress any{};
  any.host = ENET_HOST_ANY;
  any.port = 0;
  if (enet_socket_bind(socket, &any) < 0 || enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1) < 0 ||
      enet_socket_set_option(socket, ENET_SOCKOPT_BROADCAST, 1) < 0) {
    enet_socket_destroy(socket);
    throw EDXPlayError("Session list cannot be acquired");
  }

  Writer query;
  query.Bytes(kQueryMagic, 4);
  query.Bytes(kApplicationGuid.data(), 16);
  SendDatagram(socket, target, query.out);

  std::vector<SessionInfo> found;
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(std::max(timeoutMs, 0));
  const auto again = start + std::chrono::milliseconds(std::max(timeoutMs, 0) / 2);
  bool repeated = false;
  // Only one program on a machine holds the discovery port, so a query to
  // one address has its answer with the first reply.
  const bool single = !address.empty();
  while (Clock::now() < deadline && !(single && !found.empty())) {
    if (!repeated && Clock::now() >= again) {
      SendDatagram(socket, target, query.out);  // a lost datagram gets one more chance
      repeated = true;
    }
    enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
    enet_socket_wait(socket, &condition, 10);
    for (int i = 0; i < 64; ++i) {
      uint8_t buffer[2048];
      ENetAddress from{};
      const int got = ReceiveDatagram(socket, from, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0) continue;
      Reader r{buffer, static_cast<size_t>(got)};
      SessionInfo info;
      if (!r.Magic(kReplyMagic) || r.GuidField() != kApplicationGuid) continue;
      info.Instance = r.GuidField();
      info.Port = r.U16();
      const uint8_t playerCount = r.U8();
      info.MaxPlayers = r.U8();
      const uint16_t nameLength = r.U16();
      info.Name = r.Text(nameLength);
      for (int i = 0; i < playerCount && r.ok; ++i) {
        const uint8_t length = r.U8();
        info.Players.push_back(r.Text(length));
      }
      if (!r.ok) continue;  // cut short: not a reply to trust
      char host[64] = {};
      if (enet_address_get_host_ip(&from, host, sizeof host) != 0) continue;
      info.Host = host;
      const bool known = std::any_of(found.begin(), found.end(),
                                     [&](const SessionInfo& f) { return f.Instance == info.Instance; });
      if (!known) found.push_back(std::move(info));
    }
    if (idle && !(single && !found.empty())) idle();
  }
  enet_socket_destroy(socket);
  return found;
}

}  // namespace net
