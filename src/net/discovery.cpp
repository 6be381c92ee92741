// The search for sessions: queries to every port a session may answer at,
// of one host or of the broadcast address of every interface, and the
// replies gathered while the window stays responsive.
#include "net/discovery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <chrono>
#include <cstdlib>

#include "net/wire.h"

namespace net {

namespace wire {

void EnsureEnet() {
  static const bool ready = [] {
    if (enet_initialize() != 0) return false;
    std::atexit(enet_deinitialize);
    return true;
  }();
  if (!ready) throw EDXPlayError("The network cannot be initialized");
}

std::vector<uint8_t> QueryBlock() {
  Writer w;
  w.Bytes(kQueryMagic, 4);
  w.Bytes(kApplicationGuid.data(), 16);
  return std::move(w.out);
}

bool IsQuery(const uint8_t* data, size_t size) {
  if (data == nullptr || size != kQuerySize) return false;
  Reader r{data, size};
  return r.Magic(kQueryMagic) && r.GuidField() == kApplicationGuid && r.ok;
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

bool AnswerLimit::Allow(const ENetAddress& from, uint64_t nowMs) {
  auto it = std::find_if(sources_.begin(), sources_.end(),
                         [&](const Source& s) { return s.host == from.host && s.port == from.port; });
  if (it == sources_.end()) {
    if (sources_.size() < kSources) {
      sources_.push_back(Source{from.host, from.port, nowMs, 0});
      it = sources_.end() - 1;
    } else {
      // A full table forgets the source heard from longest ago.
      it = std::min_element(sources_.begin(), sources_.end(),
                            [](const Source& a, const Source& b) { return a.since < b.since; });
      *it = Source{from.host, from.port, nowMs, 0};
    }
  }
  if (nowMs - it->since >= 1000) {
    it->since = nowMs;
    it->answered = 0;
  }
  if (it->answered >= kPerSecond) return false;
  ++it->answered;
  return true;
}

uint64_t NowMs() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

}  // namespace wire

namespace {

using Clock = std::chrono::steady_clock;

// One reply, or false when it is not a whole reply of this game.
bool ParseReply(const uint8_t* data, size_t size, SessionInfo& info) {
  wire::Reader r{data, size};
  if (!r.Magic(wire::kReplyMagic) || r.GuidField() != kApplicationGuid) return false;
  info.Instance = r.GuidField();
  info.Port = r.U16();
  const uint8_t playerCount = r.U8();
  info.MaxPlayers = r.U8();
  const uint16_t nameLength = r.U16();
  info.Name = r.Text(nameLength);
  for (int i = 0; i < playerCount && r.ok; ++i) {
    const uint8_t length = r.U8();
    info.Players.push_back(r.Text(length).substr(0, 12));
  }
  // The list shows a few dozen characters of a name; the rest is never
  // measured nor drawn.
  if (info.Name.size() > kListedNameLength) info.Name.resize(kListedNameLength);
  return r.ok;
}

}  // namespace

std::vector<uint16_t> SearchPorts() {
  std::vector<uint16_t> ports{kDiscoveryPort};
  for (int i = 0; i < kSessionPortCount; ++i) ports.push_back(static_cast<uint16_t>(kFirstSessionPort + i));
  return ports;
}

std::vector<std::string> BroadcastAddresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) == 0) {
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
      if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
      if (!(a->ifa_flags & IFF_UP) || !(a->ifa_flags & IFF_BROADCAST) || !a->ifa_broadaddr) continue;
      char text[INET_ADDRSTRLEN] = {};
      const auto* b = reinterpret_cast<const sockaddr_in*>(a->ifa_broadaddr);
      if (!inet_ntop(AF_INET, &b->sin_addr, text, sizeof text)) continue;
      if (std::find(out.begin(), out.end(), text) == out.end()) out.push_back(text);
    }
    freeifaddrs(list);
  }
  out.push_back("255.255.255.255");
  return out;
}

std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle,
                                  const std::vector<uint16_t>& ports) {
  wire::EnsureEnet();
  std::vector<ENetAddress> targets;
  const std::vector<std::string> hosts = address.empty() ? BroadcastAddresses() : std::vector<std::string>{address};
  for (const std::string& host : hosts) {
    ENetAddress a{};
    if (enet_address_set_host(&a, host.c_str()) != 0) {
      if (!address.empty()) throw EDXPlayError("Session list cannot be acquired");
      continue;
    }
    for (uint16_t port : ports) {
      a.port = port;
      targets.push_back(a);
    }
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

  const std::vector<uint8_t> query = wire::QueryBlock();
  // A destination without a route just fails; the others still go.
  auto sendAll = [&] {
    for (const ENetAddress& t : targets) wire::SendDatagram(socket, t, query);
  };
  sendAll();

  std::vector<SessionInfo> found;
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(std::max(timeoutMs, 0));
  const auto again = start + std::chrono::milliseconds(std::max(timeoutMs, 0) / 2);
  bool repeated = false;
  // One port of one host has its answer with the first reply; several ports
  // of one host answer within moments of each other.
  const bool single = !address.empty() && ports.size() == 1;
  const bool oneHost = !address.empty();
  constexpr auto kQuiet = std::chrono::milliseconds(250);
  auto lastNew = Clock::time_point{};
  auto finished = [&] {
    if (found.empty()) return false;
    return single || (oneHost && Clock::now() - lastNew >= kQuiet);
  };
  while (Clock::now() < deadline && !finished()) {
    if (!repeated && Clock::now() >= again) {
      sendAll();  // a lost datagram gets one more chance
      repeated = true;
    }
    enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
    enet_socket_wait(socket, &condition, 10);
    for (int i = 0; i < 64; ++i) {
      uint8_t buffer[2048];
      ENetAddress from{};
      const int got = wire::ReceiveDatagram(socket, from, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0) continue;
      SessionInfo info;
      if (!ParseReply(buffer, static_cast<size_t>(got), info)) continue;  // cut short or not ours
      char host[64] = {};
      if (enet_address_get_host_ip(&from, host, sizeof host) != 0) continue;
      info.Host = host;
      const bool known = std::any_of(found.begin(), found.end(),
                                     [&](const SessionInfo& f) { return f.Instance == info.Instance; });
      if (known || found.size() >= kMaxListedSessions) continue;
      found.push_back(std::move(info));
      lastNew = Clock::now();
    }
    if (idle && !finished()) idle();
  }
  enet_socket_destroy(socket);
  return found;
}

std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle) {
  return Discover(address, timeoutMs, idle, SearchPorts());
}

std::vector<SessionInfo> Discover(const std::string& address, int timeoutMs, const std::function<void()>& idle,
                                  uint16_t port) {
  return Discover(address, timeoutMs, idle, std::vector<uint16_t>{port});
}

}  // namespace net
