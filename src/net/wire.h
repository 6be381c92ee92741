// What the session and the search share on the wire: little-endian fields
// of the greetings and datagrams, the magic words, plain UDP sends and
// receives, and the limit on how often one source is answered. Internal to
// the network code.
#pragma once
#include <enet/enet.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "net/session.h"

namespace net::wire {

inline constexpr char kQueryMagic[4] = {'S', 'L', 'V', 'Q'};
inline constexpr char kReplyMagic[4] = {'S', 'L', 'V', 'R'};
inline constexpr char kHelloMagic[4] = {'S', 'L', 'V', 'H'};
inline constexpr size_t kQuerySize = 20;  // magic and the application GUID

// Starts the network library once per program; raises when it cannot.
void EnsureEnet();

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

// The query a search sends.
std::vector<uint8_t> QueryBlock();
// Whether a datagram is a query of this game (and nothing else).
bool IsQuery(const uint8_t* data, size_t size);

int ReceiveDatagram(ENetSocket socket, ENetAddress& from, uint8_t* buffer, size_t capacity);
void SendDatagram(ENetSocket socket, const ENetAddress& to, const std::vector<uint8_t>& block);

// A responder answers one source a few times a second at most, so a flood
// of queries (or of forged sources) costs little. The table of sources is
// bounded too.
class AnswerLimit {
 public:
  static constexpr int kPerSecond = 4;
  static constexpr size_t kSources = 32;
  // True when a query from this source may be answered at nowMs.
  bool Allow(const ENetAddress& from, uint64_t nowMs);

 private:
  struct Source {
    uint32_t host = 0;
    uint16_t port = 0;
    uint64_t since = 0;  // start of its one-second window
    int answered = 0;
  };
  std::vector<Source> sources_;
};

uint64_t NowMs();

}  // namespace net::wire
