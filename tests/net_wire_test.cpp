// The transport as another program sees it, byte by byte: a raw ENet side
// and plain UDP sockets talk to real sessions. The GUID, the ports, the
// greeting, the goodbye codes, the refusals, the discovery reply, several
// sessions on one host, silent peers and the answer limit.
#include <arpa/inet.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "net/connect_wizard.h"
#include "net/session.h"
#include "net/wire.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kGuidBytes = {0xC0, 0x25, 0xEC, 0x3D, 0x48, 0x5F, 0xD8, 0x11, 0xB5, 0x1D, 0xA0, 0x56, 0x4C, 0xC1, 0x00, 0x00};

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Hello(uint8_t version, const Bytes& guid, const std::string& name) {
  return Cat({{'S', 'L', 'V', 'H', version}, guid, {static_cast<uint8_t>(name.size())}, Bytes(name.begin(), name.end())});
}

// A side speaking ENet directly, as another program would.
struct RawPeer {
  ENetHost* host = nullptr;
  ENetPeer* peer = nullptr;
  bool connected = false, disconnected = false;
  uint32_t goodbye = 0;  // the disconnect data it was sent away with
  std::vector<Bytes> received;

  RawPeer() { host = enet_host_create(nullptr, 1, 1, 0, 0); }
  ~RawPeer() {
    if (host) enet_host_destroy(host);
  }
  void Connect(uint16_t port) {
    ENetAddress a{};
    enet_address_set_host(&a, "127.0.0.1");
    a.port = port;
    peer = enet_host_connect(host, &a, 1, 0);
  }
  void Send(const Bytes& b) {
    enet_peer_send(peer, 0, enet_packet_create(b.data(), b.size(), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(host);
  }
  void Service() {
    ENetEvent ev;
    while (enet_host_service(host, &ev, 0) > 0) {
      if (ev.type == ENET_EVENT_TYPE_CONNECT) connected = true;
      if (ev.type == ENET_EVENT_TYPE_DISCONNECT) {
        disconnected = true;
        goodbye = ev.data;
      }
      if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
        received.emplace_back(ev.packet->data, ev.packet->data + ev.packet->dataLength);
        enet_packet_destroy(ev.packet);
      }
    }
  }
};

// Services everything until done() holds; false after a few seconds.
bool Until(const std::function<bool()>& done, const std::function<void()>& step) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    step();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

net::SessionPorts FreePorts(int helloWaitMs = 3000) { return net::SessionPorts{0, 1, 0, false, helloWaitMs}; }

class NetWire : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(enet_initialize(), 0); }
};

TEST_F(NetWire, ConstantsGreetingAndGoodbyesAreTheTransportsOwn) {
  EXPECT_EQ(Bytes(net::kApplicationGuid.begin(), net::kApplicationGuid.end()), kGuidBytes);
  EXPECT_EQ(net::kDiscoveryPort, 47699);
  EXPECT_EQ(net::SearchPorts(), (std::vector<uint16_t>{47699, 47700, 47701, 47702, 47703, 47704, 47705, 47706, 47707,
                                                       47708, 47709}));

  net::TDXPlay creator;
  std::vector<std::string> added, left;
  creator.OnAddPlayer = [&](const std::string& n) { added.push_back(n); };
  creator.OnPlayerLeft = [&](const std::string& n) { left.push_back(n); };
  creator.Create("Sea", "Masha", FreePorts());
  auto step = [&](std::initializer_list<RawPeer*> peers) {
    return [&creator, peers] {
      creator.Poll();
      for (RawPeer* p : peers) p->Service();
    };
  };

  // Another program's version, another GUID: 2.
  RawPeer oldVersion, otherGame;
  for (RawPeer* p : {&oldVersion, &otherGame}) p->Connect(creator.Port());
  ASSERT_TRUE(Until([&] { return oldVersion.connected && otherGame.connected; }, step({&oldVersion, &otherGame})));
  Bytes wrongGuid = kGuidBytes;
  wrongGuid[15] = 1;
  oldVersion.Send(Hello(2, kGuidBytes, "old"));
  otherGame.Send(Hello(1, wrongGuid, "other"));
  ASSERT_TRUE(Until([&] { return oldVersion.disconnected && otherGame.disconnected; }, step({&oldVersion, &otherGame})));
  EXPECT_EQ(oldVersion.goodbye, 2u);
  EXPECT_EQ(otherGame.goodbye, 2u);
  EXPECT_TRUE(added.empty());

  // The greeting both ways; a third player after it: 1.
  RawPeer joiner;
  joiner.Connect(creator.Port());
  ASSERT_TRUE(Until([&] { return joiner.connected; }, step({&joiner})));
  joiner.Send(Hello(1, kGuidBytes, "Petya"));
  ASSERT_TRUE(Until([&] { return !joiner.received.empty(); }, step({&joiner})));
  EXPECT_EQ(joiner.received[0], Cat({{'S', 'L', 'V', 'H', 1}, kGuidBytes, {5, 'M', 'a', 's', 'h', 'a'}}));
  EXPECT_EQ(added, std::vector<std::string>{"Petya"});
  RawPeer third;
  third.Connect(creator.Port());
  ASSERT_TRUE(Until([&] { return third.disconnected; }, step({&third})));
  EXPECT_EQ(third.goodbye, 1u);
  ASSERT_EQ(creator.Players().size(), 2u);

  // The joiner's block arrives whole; its goodbye of 3 is a player who left.
  joiner.Send(Bytes{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  enet_peer_disconnect(joiner.peer, 3);
  enet_host_flush(joiner.host);
  ASSERT_TRUE(Until([&] { return !left.empty(); }, step({&joiner})));
  EXPECT_EQ(left, std::vector<std::string>{"Petya"});
  EXPECT_TRUE(creator.Opened()) << "the creator waits for the next player";

  RawPeer next;
  next.Connect(creator.Port());
  ASSERT_TRUE(Until([&] { return next.connected; }, step({&next})));
  next.Send(Hello(1, kGuidBytes, "Next"));
  ASSERT_TRUE(Until([&] { return added.size() == 2; }, step({&next})));
  creator.Close();
  ASSERT_TRUE(Until([&] { return next.disconnected; }, step({&next})));
  EXPECT_EQ(next.goodbye, 3u);
}

// A creator that connects but never greets: the joiner gives up and says
// goodbye with 3 instead of leaving the place taken until a time-out; a
// join cancelled meanwhile does the same.
TEST_F(NetWire, AJoinThatDoesNotCompleteSaysGoodbye) {
  ENetAddress any{};
  any.host = ENET_HOST_ANY;
  any.port = 0;
  ENetHost* silent = enet_host_create(&any, 4, 1, 0, 0);
  ASSERT_NE(silent, nullptr);
  std::vector<uint32_t> goodbyes;
  std::vector<Bytes> greetings;
  auto serviceSilent = [&] {
    ENetEvent ev;
    while (enet_host_service(silent, &ev, 0) > 0) {
      if (ev.type == ENET_EVENT_TYPE_DISCONNECT) goodbyes.push_back(ev.data);
      if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
        greetings.emplace_back(ev.packet->data, ev.packet->data + ev.packet->dataLength);
        enet_packet_destroy(ev.packet);
      }
    }
  };

  net::TDXPlay joiner;
  EXPECT_THROW(joiner.Join("127.0.0.1", silent->address.port, "Petya", "Sea", serviceSilent, 400),
               net::EDXPlayError);
  ASSERT_EQ(greetings.size(), 1u);
  EXPECT_EQ(greetings[0], Hello(1, kGuidBytes, "Petya"));
  int polls = 0;
  EXPECT_FALSE(joiner.Join("127.0.0.1", silent->address.port, "Petya", "Sea", serviceSilent, 5000,
                           [&] { return greetings.size() == 2 && ++polls > 3; }));
  EXPECT_FALSE(joiner.Opened());
  ASSERT_TRUE(Until([&] { return goodbyes.size() == 2; }, serviceSilent));
  EXPECT_EQ(goodbyes, (std::vector<uint32_t>{3, 3}));
  enet_host_destroy(silent);
}

// Sides that connect and never greet take every place; they are sent away
// after the wait, and the player who greets gets in.
TEST_F(NetWire, SilentPeersAreSentAwaySoThePlayerGetsIn) {
  net::TDXPlay creator;
  creator.Create("Sea", "Masha", FreePorts(300));
  std::vector<std::unique_ptr<RawPeer>> silent;
  for (int i = 0; i < 12; ++i) {
    silent.push_back(std::make_unique<RawPeer>());
    silent.back()->Connect(creator.Port());
  }
  auto serviceAll = [&] {
    creator.Poll();
    for (auto& p : silent) p->Service();
  };
  ASSERT_TRUE(Until([&] { return silent[0]->connected; }, serviceAll));
  net::TDXPlay joiner;
  ASSERT_TRUE(joiner.Join("127.0.0.1", creator.Port(), "Petya", "Sea", serviceAll));
  ASSERT_EQ(creator.Players().size(), 2u);
  EXPECT_EQ(creator.Players()[1].Name, "Petya");
  // Those that got a place meanwhile go the same way.
  ASSERT_TRUE(Until(
      [&] {
        return std::all_of(silent.begin(), silent.end(), [](auto& p) { return !p->connected || p->disconnected; });
      },
      serviceAll));
  for (auto& p : silent) {
    if (p->connected) {
      EXPECT_EQ(p->goodbye, 2u);
    }
  }
}

// Three sessions on one host: each answers at its own port, a typed
// host:port asks that one alone, and the third is joinable. The reply is
// the transport's, byte by byte.
TEST_F(NetWire, SeveralSessionsOnOneHostAreFoundAndJoined) {
  net::TDXPlay sessions[3];
  std::vector<uint16_t> ports;
  for (int i = 0; i < 3; ++i) {
    sessions[i].Create("Sea" + std::to_string(i + 1), "Host" + std::to_string(i + 1), FreePorts());
    ports.push_back(sessions[i].Port());
  }
  auto poll = [&] {
    for (auto& s : sessions) s.Poll();
  };
  std::vector<net::SessionInfo> found = net::Discover("127.0.0.1", 2000, poll, ports);
  ASSERT_EQ(found.size(), 3u);
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(found[i].Name, "Sea" + std::to_string(i + 1));
    EXPECT_EQ(found[i].Port, ports[i]);
    EXPECT_EQ(found[i].Players, std::vector<std::string>{"Host" + std::to_string(i + 1)});
  }
  const std::vector<net::SessionInfo> typed =
      DiscoverSessions("127.0.0.1:" + std::to_string(ports[1]), 2000, poll);
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_EQ(typed[0].Name, "Sea2");

  net::TDXPlay joiner;
  ASSERT_TRUE(joiner.Join(found[2].Host, found[2].Port, "Petya", found[2].Name, poll));
  EXPECT_EQ(joiner.Players()[1].Name, "Host3");

  // The raw reply of the third, now with two players.
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(ports[2]);
  const Bytes query = Cat({{'S', 'L', 'V', 'Q'}, kGuidBytes});
  sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  uint8_t buffer[512];
  ssize_t got = -1;
  ASSERT_TRUE(Until(
      [&] { return got > 0; },
      [&] {
        poll();
        got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      }));
  const Bytes reply(buffer, buffer + got);
  ASSERT_EQ(reply.size(), 4u + 16 + 16 + 2 + 1 + 1 + 2 + 4 + 6 + 6);
  EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 20), Cat({{'S', 'L', 'V', 'R'}, kGuidBytes}));
  EXPECT_EQ(Bytes(reply.begin() + 20, reply.begin() + 36), Bytes(found[2].Instance.begin(), found[2].Instance.end()));
  EXPECT_EQ(Bytes(reply.begin() + 36, reply.end()),
            (Bytes{static_cast<uint8_t>(ports[2]), static_cast<uint8_t>(ports[2] >> 8), 2, 2, 4, 0, 'S', 'e', 'a',
                   '3', 5, 'H', 'o', 's', 't', '3', 5, 'P', 'e', 't', 'y', 'a'}));

  // A flood of queries from one source gets a few answers, not one each.
  for (int i = 0; i < 40; ++i) sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  int answers = 0;
  for (int i = 0; i < 50; ++i) {
    poll();
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) ++answers;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  close(fd);
  EXPECT_GE(answers, 1);
  EXPECT_LE(answers, 2 * net::wire::AnswerLimit::kPerSecond);
}

}  // namespace
