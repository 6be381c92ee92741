// Fuzzing the receiving side with a deterministic mutator: game blocks
// through the main window's handler between frames, greetings through a
// real session, queries and replies through the real search. After every
// input the invariants hold: no counter below zero, one shot of the other
// side at a time, a battle only with both fleets, an enemy fleet only one
// that follows the rules, a chat line no longer than the line shows.
// SALVORA_FUZZ_BLOCKS sets how many game blocks (default 2000); the
// greetings and datagrams scale with it.
#include <arpa/inet.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "effects/rocket.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "net/game_messages.h"
#include "net/session.h"
#include "sea/fleet_check.h"

namespace {

using Block = std::vector<uint8_t>;

size_t FuzzBlocks() {
  const char* v = std::getenv("SALVORA_FUZZ_BLOCKS");
  const long n = v ? std::strtol(v, nullptr, 10) : 0;
  return n > 0 ? static_cast<size_t>(n) : 2000;
}

// Mutations of a seed block: bytes flipped, set to values the game reads
// specially, runs copied, the block cut or lengthened, the type replaced.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : rng_(seed) {}
  uint32_t Next(uint32_t n) { return n ? rng_() % n : 0; }
  Block Mutate(Block b) {
    const int edits = 1 + static_cast<int>(Next(4));
    for (int e = 0; e < edits; ++e) {
      if (b.empty()) b.push_back(0);
      const size_t at = Next(static_cast<uint32_t>(b.size()));
      switch (Next(8)) {
        case 0: b[at] ^= static_cast<uint8_t>(1u << Next(8)); break;
        case 1: b[at] = static_cast<uint8_t>(Next(256)); break;
        case 2: {
          static constexpr uint8_t kSpecial[] = {0, 1, 2, 3, 4, 16, 17, 49, 50, 51, 52, 99, 100, 109, 139, 140, 255};
          b[at] = kSpecial[Next(sizeof kSpecial)];
          break;
        }
        case 3: b.resize(Next(static_cast<uint32_t>(b.size()) + 1)); break;
        case 4: b.resize(b.size() + Next(64), static_cast<uint8_t>(Next(256))); break;
        case 5: {
          const size_t from = Next(static_cast<uint32_t>(b.size())), n = Next(16);
          for (size_t i = 0; i < n && from + i < b.size() && at + i < b.size(); ++i) b[at + i] = b[from + i];
          break;
        }
        case 6:
          if (b.size() >= 4) b[0] = static_cast<uint8_t>(1 + Next(4)), b[1] = b[2] = b[3] = 0;
          break;
        default:
          // A length or a coordinate field set wide.
          if (b.size() >= 8) {
            const uint32_t v = Next(2) ? 0xFFFFFFFFu : Next(40);
            std::memcpy(b.data() + 4 + 4 * Next(3) % (b.size() - 7), &v, 4);
          }
          break;
      }
    }
    return b;
  }

 private:
  std::mt19937 rng_;
};

// The fleet the enemy grid holds, as a received one would look.
TFleetRecord EnemyFleet(const TBattleField& enemy) {
  TFleetRecord f;
  f.Cells = enemy.TrueCells;
  for (TSeaCell& c : f.Cells.Cells) c.State = c.KnownFree = 0;
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& s = enemy.Slot(k);
    TShipRecord& r = f.Ships[k - 1];
    r.Type = s.Type, r.Group = s.Group, r.Variant = s.Variant, r.Ordinal = s.Ordinal, r.Placed = s.Placed;
    r.X = s.X, r.Y = s.Y, r.Hits = s.Hits, r.Sunk = s.Sunk;
    std::memcpy(r.Shape, s.Shape, sizeof r.Shape);
  }
  return f;
}

TEST(NetFuzz, GameBlocksBetweenFramesKeepTheGameSound) {
  GameHarness g(77);
  g.SkipLogo();
  TMainForm& form = *g.form;
  TCommon& c = g.common();
  c.Settings.GameMode = 2;
  c.SessionRole = 2;  // the other side shoots first
  form.ConnectWizard = [&] {
    form.DXPlay.Create("fuzz", "me", net::SessionPorts{0, 1, 0, false});
    return WizardResult{true, 1, "fuzz", "me", "", 0};
  };

  // Seeds: fleets of a few layouts, shots and bombs at every kind of cell,
  // chat texts.
  std::vector<Block> seeds;
  for (uint32_t s = 1; s <= 4; ++s) {
    eng::RandomSource random(s);
    TBattleField grid(form.ImageList(), random, c);
    grid.Id = 2;
    grid.AutoPlace();
    grid.PlaceBonuses();
    grid.PlaceNavigators();
    seeds.push_back(net::FleetMessage(grid));
  }
  c.ResetTurnState();
  for (int code = 1; code <= 4; ++code) seeds.push_back(net::ShotMessage(8, 9, code));
  seeds.push_back(net::ChatMessage(W("привет")));
  seeds.push_back(net::ChatMessage(std::string(600, 'z')));

  Mutator mutate(20240607);
  const size_t blocks = FuzzBlocks();
  size_t adopted = 0, frames = 0, shotsHere = 0;
  auto check = [&](size_t i) {
    const TBattleField &own = form.OwnGrid(), &enemy = form.EnemyGrid();
    ASSERT_GE(c.AnimationsInFlight, 0) << "block " << i;
    ASSERT_GE(own.EffectCount, 0) << "block " << i;
    ASSERT_GE(enemy.EffectCount, 0) << "block " << i;
    ASSERT_LE(c.IncomingShots.size(), TCommon::kMaxIncomingShots);
    int incoming = 0;
    for (int k = 0; k < form.Sprites().Count(); ++k) {
      const auto* r = dynamic_cast<const TRocket*>(form.Sprites()[k]);
      if (r && r->Incoming && !r->IsDead()) ++incoming;
    }
    ASSERT_LE(incoming + own.BombCount, 1) << "one shot of the other side at a time, block " << i;
    ASSERT_LE(c.ChatLine.size(), 12 + 5 + net::kChatShownLength);
    ASSERT_TRUE(c.BattlePhase != 1 || (c.LocalFleetReady && c.RemoteFleetReceived)) << "block " << i;
    ASSERT_TRUE(!c.RemoteFleetReceived || enemy.UnshotCount < 272 || FleetFollowsRules(EnemyFleet(enemy)));
    ASSERT_TRUE(c.BattlePhase || c.StatusLine[1] != W("Атакуйте вашего противника!")) << "block " << i;
  };

  for (size_t i = 0; i < blocks; ++i) {
    // A game every few hundred blocks: placing first, then with the own
    // fleet sent, so blocks meet every phase.
    const size_t phase = i % 400;
    if (phase == 0) {
      // The next game starts once the last one's rockets and effects are
      // over (a new game in the middle of them is another matter).
      for (int f = 0; f < 400 && (form.Sprites().Count() > 0 || c.AnimationsInFlight > 0); ++f) g.Frames(1, 500);
      ASSERT_TRUE(c.StartNewGame());
      g.Frames(10, 100);
    }
    if (phase == 100) form.OwnGrid().AutoPlace();

    // Random bytes, a seed as it is, a shot at any cell, or a mutated seed.
    const Block& seed = seeds[mutate.Next(static_cast<uint32_t>(seeds.size()))];
    const uint32_t how = mutate.Next(10);
    Block b;
    if (how == 0) {
      b.resize(mutate.Next(40));
      for (uint8_t& v : b) v = static_cast<uint8_t>(mutate.Next(256));
    } else if (how == 1) {
      b = seed;
    } else if (how < 5) {
      b = net::ShotMessage(1 + static_cast<int>(mutate.Next(16)), 1 + static_cast<int>(mutate.Next(17)),
                           mutate.Next(8) ? 1 : 2 + static_cast<int>(mutate.Next(3)));
    } else {
      b = mutate.Mutate(seed);
    }
    const bool before = c.RemoteFleetReceived;
    DXPlayMessage(c, W("Петя"), b.data(), b.size());
    if (!before && c.RemoteFleetReceived) ++adopted;
    check(i);
    if (i % 4 == 0) {
      // The local side takes its turns too, so the battle goes on.
      if (c.BattlePhase == 1 && c.LocalTurn == 1)
        g.Click(353 + 16 * static_cast<int>(mutate.Next(16)) + 8, 108 + 16 * static_cast<int>(mutate.Next(17)) + 8);
      g.Frames(1, 200);
      ++frames;
      check(i);
    }
    if (HasFatalFailure()) return;
  }
  shotsHere = 272 - static_cast<size_t>(form.OwnGrid().UnshotCount);
  EXPECT_GT(adopted, 0u) << "some fleets were good enough to play on";
  RecordProperty("blocks", static_cast<int>(blocks));
  RecordProperty("frames", static_cast<int>(frames));
  RecordProperty("adopted", static_cast<int>(adopted));
  RecordProperty("shotsOnTheOwnGridInTheLastGame", static_cast<int>(shotsHere));
}

// Greetings of every shape at a real session: only this game's, of this
// version, let a player in; names are kept to 12 characters.
TEST(NetFuzz, GreetingsOnlyLetThisGameIn) {
  ASSERT_EQ(enet_initialize(), 0);
  net::TDXPlay creator;
  int added = 0;
  creator.OnAddPlayer = [&](const std::string& name) {
    ++added;
    EXPECT_LE(name.size(), 12u);
  };
  creator.Create("fuzz", "me", net::SessionPorts{0, 1, 0, false});
  Block hello = {'S', 'L', 'V', 'H', 1};
  hello.insert(hello.end(), net::kApplicationGuid.begin(), net::kApplicationGuid.end());
  hello.push_back(40);
  hello.resize(hello.size() + 40, 'n');

  Mutator mutate(99);
  const size_t tries = std::max<size_t>(FuzzBlocks() / 20, 50);
  ENetAddress to{};
  enet_address_set_host(&to, "127.0.0.1");
  to.port = creator.Port();
  size_t sent = 0, admitted = 0;
  std::vector<bool> valid;  // per greeting sent: whether it was a proper one
  while (sent < tries) {
    // Each greeting from a side of its own, as from another program.
    ENetHost* raw = enet_host_create(nullptr, 1, 1, 0, 0);
    ASSERT_NE(raw, nullptr);
    ENetPeer* peer = enet_host_connect(raw, &to, 1, 0);
    ASSERT_NE(peer, nullptr);
    bool connected = false, gone = false;
    const Block b = mutate.Next(4) == 0 ? hello : mutate.Mutate(hello);
    const bool proper = b.size() >= 22 && std::equal(hello.begin(), hello.begin() + 21, b.begin()) &&
                        b.size() >= 22u + b[21];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!gone && std::chrono::steady_clock::now() < deadline) {
      creator.Poll();
      ENetEvent ev;
      while (enet_host_service(raw, &ev, 1) > 0) {
        if (ev.type == ENET_EVENT_TYPE_CONNECT && !connected) {
          connected = true;
          enet_peer_send(peer, 0, enet_packet_create(b.data(), b.size(), ENET_PACKET_FLAG_RELIABLE));
        } else if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
          enet_packet_destroy(ev.packet);
          ++admitted;  // the creator greeted back: this one is in; it leaves again
          enet_peer_disconnect(peer, 3);
        } else if (ev.type == ENET_EVENT_TYPE_DISCONNECT) {
          gone = true;
        }
      }
    }
    enet_host_destroy(raw);
    ASSERT_TRUE(gone) << "greeting " << sent << " neither let in nor sent away";
    valid.push_back(proper);
    ++sent;
    // The one let in has left again before the next comes.
    const auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (creator.Players().size() > 1 && std::chrono::steady_clock::now() < settle) creator.Poll();
    ASSERT_EQ(creator.Players().size(), 1u);
  }
  const size_t proper = static_cast<size_t>(std::count(valid.begin(), valid.end(), true));
  EXPECT_EQ(admitted, proper);
  EXPECT_EQ(static_cast<size_t>(added), proper);
  EXPECT_GT(proper, 0u);
  EXPECT_LT(proper, sent);
  RecordProperty("greetings", static_cast<int>(sent));
}

// Datagrams of every shape: a session answers only whole queries, and the
// search lists only whole replies, with names cut to what the list shows.
TEST(NetFuzz, DiscoveryDatagramsAreAnsweredAndListedOnlyWhole) {
  net::TDXPlay session;
  session.Create(std::string(1000, 'S'), std::string(200, 'P'), net::SessionPorts{0, 1, 0, false});
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in me{};
  me.sin_family = AF_INET;
  me.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&me), sizeof me), 0);
  socklen_t len = sizeof me;
  getsockname(fd, reinterpret_cast<sockaddr*>(&me), &len);
  sockaddr_in to = me;
  to.sin_port = htons(session.Port());

  Block query = {'S', 'L', 'V', 'Q'};
  query.insert(query.end(), net::kApplicationGuid.begin(), net::kApplicationGuid.end());
  Mutator mutate(7);
  const size_t datagrams = std::max<size_t>(FuzzBlocks() / 2, 200);
  // Broken queries get no answer (and ENet, which sees them too, survives them).
  size_t answers = 0;
  for (size_t i = 0; i < datagrams; ++i) {
    Block b = mutate.Mutate(query);
    if (b == query) continue;
    sendto(fd, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (i % 16 == 0) session.Poll();
  }
  for (int i = 0; i < 20; ++i) {
    session.Poll();
    uint8_t buffer[2048];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) ++answers;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(answers, 0u);

  // The session's own reply, mutated, at the search; the whole one is
  // listed with its long names cut.
  sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  Block reply;
  for (int i = 0; i < 2000 && reply.empty(); ++i) {
    session.Poll();
    uint8_t buffer[2048];
    const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got > 0) reply.assign(buffer, buffer + got);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_FALSE(reply.empty());
  size_t sentReplies = 0;
  bool wholeSent = false;
  auto respond = [&] {
    uint8_t q[64];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    while (recvfrom(fd, q, sizeof q, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromLen) > 0) {
      for (int k = 0; k < 60 && sentReplies < datagrams; ++k, ++sentReplies) {
        Block b = mutate.Mutate(reply);
        sendto(fd, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
      }
      if (!wholeSent) sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
      wholeSent = true;
    }
  };
  const std::vector<net::SessionInfo> found =
      net::Discover("127.0.0.1", 1500, respond, std::vector<uint16_t>{ntohs(me.sin_port), ntohs(me.sin_port)});
  close(fd);
  ASSERT_TRUE(wholeSent);
  ASSERT_FALSE(found.empty());
  EXPECT_LE(found.size(), net::kMaxListedSessions);
  for (const net::SessionInfo& s : found) {
    EXPECT_LE(s.Name.size(), net::kListedNameLength);
    for (const std::string& p : s.Players) EXPECT_LE(p.size(), 12u);
  }
  const bool whole = std::any_of(found.begin(), found.end(), [&](const net::SessionInfo& s) {
    return s.Name == std::string(net::kListedNameLength, 'S') && s.Players == std::vector<std::string>{"PPPPPPPPPPPP"};
  });
  EXPECT_TRUE(whole);
  RecordProperty("datagrams", static_cast<int>(datagrams + sentReplies));
}

}  // namespace
