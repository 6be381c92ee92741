// Two-player sessions over loopback in one process: creating and joining,
// blocks both ways, refusing a third player, leaving, and finding a
// session by a discovery query. Ports are chosen by the system, so tests
// running side by side never collide.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

#include "engine/text_codec.h"
#include "net/session.h"

namespace {

net::SessionPorts FreePorts() { return net::SessionPorts{0, 1, 0, true}; }

// Polls the sessions until done() holds; false after a few seconds.
bool PumpUntil(const std::function<bool()>& done, std::initializer_list<net::TDXPlay*> sessions) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    for (net::TDXPlay* s : sessions) s->Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The player list as "name/remote" entries, local player first.
std::vector<std::string> List(const net::TDXPlay& s) {
  std::vector<std::string> out;
  for (const net::TDXPlayPlayer& p : s.Players()) out.push_back(p.Name + "/" + std::to_string(p.Remote));
  return out;
}

struct Received {
  std::string sender;
  std::vector<uint8_t> data;
};

class NetSession : public ::testing::Test {
 protected:
  NetSession() {
    creator.OnAddPlayer = [this](const std::string& name) { added.push_back(name); };
    creator.OnPlayerLeft = [this](const std::string& name) { creatorSawLeave.push_back(name); };
    creator.OnSessionLost = [this] { ++lost; };
    joiner.OnSessionLost = [this] { ++lost; };
    creator.OnMessage = [this](const std::string& from, const uint8_t* d, size_t n) {
      atCreator.push_back({from, std::vector<uint8_t>(d, d + n)});
    };
    joiner.OnMessage = [this](const std::string& from, const uint8_t* d, size_t n) {
      atJoiner.push_back({from, std::vector<uint8_t>(d, d + n)});
    };
  }

  void CreateAndJoin() {
    creator.Create(W("Морской бой"), W("Маша"), FreePorts());
    ASSERT_NE(creator.Port(), 0);
    joiner.Join("127.0.0.1", creator.Port(), W("Петя"), "", [this] { creator.Poll(); });
    ASSERT_TRUE(PumpUntil([this] { return !added.empty(); }, {&creator, &joiner}));
  }

  net::TDXPlay creator, joiner;
  std::vector<std::string> added, creatorSawLeave;
  std::vector<Received> atCreator, atJoiner;
  int lost = 0;
};

TEST_F(NetSession, CreatorSeesTheJoinerAndBothListTwoPlayers) {
  CreateAndJoin();
  EXPECT_EQ(added, std::vector<std::string>{W("Петя")});
  EXPECT_EQ(List(creator), (std::vector<std::string>{W("Маша/0"), W("Петя/1")}));
  EXPECT_EQ(List(joiner), (std::vector<std::string>{W("Петя/0"), W("Маша/1")}));
  EXPECT_TRUE(creator.IsHost());
  EXPECT_FALSE(joiner.IsHost());
  EXPECT_TRUE(joiner.Opened());
}

TEST_F(NetSession, BlocksTravelBothWaysInOrder) {
  const uint8_t three[3] = {3, 0, 0};
  EXPECT_NO_THROW(creator.SendMessage(three, 3));  // nothing open: nothing happens
  CreateAndJoin();
  EXPECT_THROW(creator.SendMessage(three, 3), net::EDXPlayError);
  // Blocks of every size a game sends, each carrying its number.
  std::vector<std::vector<uint8_t>> blocks;
  for (int i = 0; i < 30; ++i) {
    std::vector<uint8_t> b(4 + (i * 97) % 1147, static_cast<uint8_t>(i));
    b[0] = static_cast<uint8_t>(i);
    blocks.push_back(b);
  }
  for (const auto& b : blocks) {
    creator.SendMessage(b);
    joiner.SendMessage(b);
  }
  ASSERT_TRUE(PumpUntil([this, &blocks] { return atCreator.size() >= blocks.size() && atJoiner.size() >= blocks.size(); },
                        {&creator, &joiner}));
  ASSERT_EQ(atCreator.size(), blocks.size());
  ASSERT_EQ(atJoiner.size(), blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(atCreator[i].data, blocks[i]) << i;
    EXPECT_EQ(atCreator[i].sender, W("Петя"));
    EXPECT_EQ(atJoiner[i].data, blocks[i]) << i;
    EXPECT_EQ(atJoiner[i].sender, W("Маша"));
  }
}

TEST_F(NetSession, AThirdPlayerIsRefused) {
  CreateAndJoin();
  net::TDXPlay third;
  EXPECT_THROW(third.Join("127.0.0.1", creator.Port(), "third", "", [this] { creator.Poll(); }, 3000),
               net::EDXPlayError);
  EXPECT_FALSE(third.Opened());
  EXPECT_EQ(added.size(), 1u);
  ASSERT_EQ(creator.Players().size(), 2u);
  EXPECT_EQ(creator.Players()[1].Name, W("Петя"));
  // The first two still talk.
  const std::vector<uint8_t> block = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  joiner.SendMessage(block);
  ASSERT_TRUE(PumpUntil([this] { return !atCreator.empty(); }, {&creator, &joiner}));
  EXPECT_EQ(atCreator[0].data, block);
}

TEST_F(NetSession, AJoinerThatLeavesFreesThePlace) {
  CreateAndJoin();
  joiner.Close();
  ASSERT_TRUE(PumpUntil([this] { return !creatorSawLeave.empty(); }, {&creator}));
  EXPECT_EQ(creatorSawLeave, std::vector<std::string>{W("Петя")});
  EXPECT_EQ(lost, 0);
  EXPECT_TRUE(creator.Opened());
  EXPECT_EQ(creator.Players().size(), 1u);

  net::TDXPlay next;
  next.Join("127.0.0.1", creator.Port(), "next", "", [this] { creator.Poll(); });
  ASSERT_TRUE(PumpUntil([this] { return added.size() == 2; }, {&creator, &next}));
  EXPECT_EQ(added[1], "next");
  EXPECT_EQ(creator.Players().size(), 2u);
}

TEST_F(NetSession, DiscoveryFindsTheCreatedSession) {
  creator.Create(W("Морской бой"), W("Маша"), FreePorts());
  ASSERT_NE(creator.DiscoveryPort(), 0);
  const std::vector<net::SessionInfo> found =
      net::Discover("127.0.0.1", 3000, [this] { creator.Poll(); }, creator.DiscoveryPort());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Name, W("Морской бой"));
  EXPECT_EQ(found[0].Host, "127.0.0.1");
  EXPECT_EQ(found[0].Port, creator.Port());
  EXPECT_EQ(found[0].MaxPlayers, 2);
  EXPECT_EQ(found[0].Players, std::vector<std::string>{W("Маша")});
}

// A responder that answers the query with a reply cut short, then with a
// whole one: only the whole one is listed.
TEST_F(NetSession, DiscoverySkipsRepliesCutShort) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);

  std::vector<uint8_t> reply = {'S', 'L', 'V', 'R'};
  reply.insert(reply.end(), net::kApplicationGuid.begin(), net::kApplicationGuid.end());
  for (int i = 0; i < 16; ++i) reply.push_back(static_cast<uint8_t>(0xA0 + i));  // instance
  const uint8_t tail[] = {0x34, 0x12, 2, 2, 3, 0, 'S', 'e', 'a', 3, 'A', 'n', 'n', 3, 'B', 'o', 'b'};
  reply.insert(reply.end(), std::begin(tail), std::end(tail));
  std::vector<uint8_t> cut(reply.begin(), reply.end() - 2);  // the last name runs past the end
  std::vector<uint8_t> otherGame = reply;
  otherGame[4] ^= 0xFF;

  bool answered = false;
  auto respond = [&] {
    if (answered) return;
    uint8_t query[64];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t got = recvfrom(fd, query, sizeof query, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (got != 20 || std::memcmp(query, "SLVQ", 4) != 0) return;
    for (const auto* r : {&cut, &otherGame, &reply})
      sendto(fd, r->data(), r->size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
    answered = true;
  };
  const std::vector<net::SessionInfo> found = net::Discover("127.0.0.1", 3000, respond, ntohs(addr.sin_port));
  close(fd);
  ASSERT_TRUE(answered);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Name, "Sea");
  EXPECT_EQ(found[0].Port, 0x1234);
  EXPECT_EQ(found[0].Players, (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_EQ(found[0].Instance[0], 0xA0);
}

}  // namespace
