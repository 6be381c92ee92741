// The four sounds are built from noise, filters and oscillators rather than
// recordings: two explosions (a long heavy one in stereo, a short sharp one),
// a rising chime for a good bonus and a falling buzz for a bad one.
#include "assets/waves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace assets {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.85;  // of full scale: loud, with room before clipping

// A small fixed-seed generator for noise: the sounds must not depend on, nor
// disturb, the generator that decides the game.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  double Next() {  // uniform in -1..1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483648.0 - 1.0;
  }

 private:
  uint32_t state_;
};

// One pole low-pass; its cut-off may be moved while it runs.
class LowPass {
 public:
  void SetCutoff(double cutoff, double rate) { a_ = 1.0 - std::exp(-2.0 * kPi * cutoff / rate); }
  double Step(double x) {
    y_ += a_ * (x - y_);
    return y_;
  }

 private:
  double a_ = 1.0;
  double y_ = 0.0;
};

// exp(-t / tau) sampled at a fixed rate, by one multiplication a sample.
class Decay {
 public:
  Decay(double tau, double rate) : k_(std::exp(-1.0 / (tau * rate))) {}
  double Next() {
    const double v = v_;
    v_ *= k_;
    return v;
  }

 private:
  double k_;
  double v_ = 1.0;
};

using Channel = std::vector<double>;

int Frames(double seconds, int rate) { return static_cast<int>(seconds * rate); }

// Scales all channels together so the loudest sample reaches kPeak.
void Normalise(std::vector<Channel>& channels) {
  double peak = 0.0;
  for (const Channel& c : channels)
    for (double x : c) peak = std::max(peak, std::abs(x));
  if (peak <= 0.0) return;
  const double k = kPeak / peak;
  for (Channel& c : channels)
    for (double& x : c) x *= k;
}

// Raised-cosine fades at both ends, so the sound neither starts nor stops
// with a click.
void Fade(std::vector<Channel>& channels, int rate, double inSeconds, double outSeconds) {
  for (Channel& c : channels) {
    const int n = static_cast<int>(c.size());
    const int in = std::min(n, std::max(1, Frames(inSeconds, rate)));
    const int out = std::min(n, std::max(1, Frames(outSeconds, rate)));
    for (int i = 0; i < in; ++i) c[i] *= 0.5 - 0.5 * std::cos(kPi * i / in);
    for (int i = 0; i < out; ++i) c[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / out);
  }
}

eng::Wave Quantise(const std::string& name, int rate, int bits, const std::vector<Channel>& chans) {
  eng::Wave w;
  w.name = name;
  w.channels = static_cast<int>(chans.size());
  w.rate = rate;
  w.bits = bits;
  const size_t n = chans.front().size();
  w.data.reserve(n * chans.size() * (bits / 8));
  for (size_t i = 0; i < n; ++i) {
    for (const Channel& c : chans) {
      const double x = std::clamp(c[i], -1.0, 1.0);
      if (bits == 8) {
        w.data.push_back(static_cast<uint8_t>(std::lround(128.0 + x * 127.0)));
      } else {
        const auto s = static_cast<uint16_t>(static_cast<int16_t>(std::lround(x * 32767.0)));
        w.data.push_back(static_cast<uint8_t>(s & 0xff));
        w.data.push_back(static_cast<uint8_t>(s >> 8));
      }
    }
  }
  return w;
}

// The shape shared by both explosions.
struct Blast {
  double seconds;
  double attack;                      // seconds to full loudness
  double crackDecay, rumbleDecay;     // the two decays of the noise
  double crackShare;                  // how much of the noise is the quick part
  double cutoffLow, cutoffHigh;       // the filter closes from high to low
  double cutoffDecay;
  double thumpLow, thumpHigh;         // the thump's pitch falls from high to low
  double thumpPitchDecay, thumpDecay, thumpLevel;
  double snap;                        // unfiltered noise right at the start
  double wobble;                      // depth of the slow rumbling swell
};

// side 0 or 1 picks the channel's own noise and swell, for a slightly
// different left and right.
Channel BlastChannel(const Blast& b, int rate, int side, Noise& shared) {
  const int n = Frames(b.seconds, rate);
  Noise own(0x5eed0000u + 977u * static_cast<uint32_t>(side));
  LowPass lp1, lp2;
  Decay cutoffFall(b.cutoffDecay, rate), crack(b.crackDecay, rate), rumble(b.rumbleDecay, rate),
      snap(0.012, rate), pitchFall(b.thumpPitchDecay, rate), thump(b.thumpDecay, rate);
  Channel c(n);
  double thumpPhase = 0.0;
  double swell = 1.0;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double attack = std::min(1.0, t / b.attack);
    const double raw = 0.8 * shared.Next() + 0.2 * own.Next();
    const double cutoff = b.cutoffLow + (b.cutoffHigh - b.cutoffLow) * cutoffFall.Next();
    if (i % 8 == 0) {  // the filter and the swell move slowly: retune every 8 samples
      lp1.SetCutoff(cutoff, rate);
      lp2.SetCutoff(cutoff, rate);
      swell = 1.0 + b.wobble * std::sin(2 * kPi * (4.1 + 0.7 * side) * t + side) +
              0.6 * b.wobble * std::sin(2 * kPi * 7.3 * t + 2.0 * side);
    }
    const double filtered = lp2.Step(lp1.Step(raw));
    const double env = b.crackShare * crack.Next() + (1.0 - b.crackShare) * rumble.Next();
    // Filtering removes most of the noise's level; the factor brings it back.
    double x = 3.0 * filtered * env * swell * attack;
    x += b.snap * raw * snap.Next() * attack;
    const double thumpFreq = b.thumpLow + (b.thumpHigh - b.thumpLow) * pitchFall.Next();
    thumpPhase += 2 * kPi * thumpFreq / rate;
    x += b.thumpLevel * std::sin(thumpPhase) * thump.Next() * attack;
    c[i] = x;
  }
  return c;
}

eng::Wave Explode() {
  constexpr int rate = 11025;
  const Blast heavy{1.3,  0.004, 0.09, 0.5,  0.5,  180.0, 2400.0, 0.12,
                    38.0, 110.0, 0.08, 0.25, 0.9,  0.25,  0.3};
  // Both channels share most of their noise; the right one hears it a
  // fraction of a millisecond later, which widens the blast a little.
  Noise left(0xb1a57001u), right(0xb1a57001u);
  std::vector<Channel> chans{BlastChannel(heavy, rate, 0, left), BlastChannel(heavy, rate, 1, right)};
  constexpr int delay = 3;
  Channel& r = chans[1];
  std::rotate(r.rbegin(), r.rbegin() + delay, r.rend());
  std::fill(r.begin(), r.begin() + delay, 0.0);
  Normalise(chans);
  Fade(chans, rate, 0.002, 0.08);
  return Quantise("explode", rate, 8, chans);
}

eng::Wave Explode2() {
  constexpr int rate = 11025;
  const Blast sharp{0.75, 0.0015, 0.05, 0.2,  0.75, 350.0, 4000.0, 0.05,
                    55.0, 160.0,  0.04, 0.12, 0.7,  0.5,   0.15};
  Noise noise(0xb1a57002u);
  std::vector<Channel> chans{BlastChannel(sharp, rate, 0, noise)};
  Normalise(chans);
  Fade(chans, rate, 0.001, 0.06);
  return Quantise("explode2", rate, 8, chans);
}

// Four quick notes up a major chord, each with a few harmonics, ringing on
// under the next.
eng::Wave GetBonus() {
  constexpr int rate = 44100;
  const int n = Frames(1.0, rate);
  const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
  const double harmonics[] = {1.0, 0.45, 0.2, 0.08};
  std::vector<Channel> chans{Channel(n, 0.0)};
  Channel& c = chans[0];
  for (int k = 0; k < 4; ++k) {
    const int start = Frames(0.07 * k, rate);
    const double decay = k == 3 ? 0.3 : 0.16;
    // The note's sine advances by rotating a unit vector; its harmonics
    // follow from the Chebyshev recurrence, so no sine is computed per sample.
    const double w = 2 * kPi * notes[k] / rate;
    const double cw = std::cos(w), sw = std::sin(w);
    double cs = 1.0, sn = 0.0;
    Decay fall(decay, rate);
    for (int i = start; i < n; ++i) {
      const double t = static_cast<double>(i - start) / rate;
      const double env = std::min(1.0, t / 0.004) * fall.Next();
      double prev = 0.0, cur = sn, sum = 0.0;
      for (double h : harmonics) {
        sum += h * cur;
        const double next = 2.0 * cs * cur - prev;
        prev = cur;
        cur = next;
      }
      c[i] += sum * env;
      const double ncs = cs * cw - sn * sw;
      sn = sn * cw + cs * sw;
      cs = ncs;
    }
  }
  Normalise(chans);
  Fade(chans, rate, 0.002, 0.08);
  return Quantise("getbonus", rate, 16, chans);
}

// Band-limited step correction for the oscillators' jumps (polyBLEP).
double Blep(double phase, double dt) {
  if (phase < dt) {
    const double x = phase / dt;
    return x + x - x * x - 1.0;
  }
  if (phase > 1.0 - dt) {
    const double x = (phase - 1.0) / dt;
    return x * x + x + x + 1.0;
  }
  return 0.0;
}

// A saw and square buzz sliding down two octaves, with a sour wobble.
eng::Wave GetBadBonus() {
  constexpr int rate = 44100;
  constexpr double seconds = 0.8;
  const int n = Frames(seconds, rate);
  std::vector<Channel> chans{Channel(n)};
  Channel& c = chans[0];
  LowPass soften;
  soften.SetCutoff(3500.0, rate);
  // The pitch falls by the same ratio every sample: two octaves in all.
  const double glide = std::pow(0.25, 1.0 / n);
  double base = 440.0;
  double phase = 0.0;
  double vibrato = 1.0;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    if (i % 8 == 0) vibrato = 1.0 + 0.03 * std::sin(2 * kPi * 9.0 * t);
    const double freq = base * vibrato;
    base *= glide;
    const double dt = freq / rate;
    const double saw = 2.0 * phase - 1.0 - Blep(phase, dt);
    double half = phase + 0.5;
    if (half >= 1.0) half -= 1.0;
    const double square = (phase < 0.5 ? 1.0 : -1.0) + Blep(phase, dt) - Blep(half, dt);
    const double env = std::min(1.0, t / 0.008) * (1.0 - 0.45 * t / seconds);
    c[i] = soften.Step(0.55 * saw + 0.45 * square) * env;
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
  }
  Normalise(chans);
  Fade(chans, rate, 0.004, 0.12);
  return Quantise("getbadbonus", rate, 8, chans);
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xff));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

void BuildWaves(eng::WaveList& list) {
  list.Add(Explode());
  list.Add(Explode2());
  list.Add(GetBonus());
  list.Add(GetBadBonus());
}

void WriteWav(const eng::Wave& wave, const std::string& path) {
  const uint32_t dataSize = static_cast<uint32_t>(wave.data.size());
  const bool pad = dataSize % 2 != 0;  // chunks are word aligned
  const uint16_t blockAlign = static_cast<uint16_t>(wave.channels * (wave.bits / 8));
  std::vector<uint8_t> out;
  out.reserve(44 + dataSize + 1);
  PutTag(out, "RIFF");
  PutU32(out, 36 + dataSize + (pad ? 1 : 0));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, static_cast<uint16_t>(wave.channels));
  PutU32(out, static_cast<uint32_t>(wave.rate));
  PutU32(out, static_cast<uint32_t>(wave.rate) * blockAlign);
  PutU16(out, blockAlign);
  PutU16(out, static_cast<uint16_t>(wave.bits));
  PutTag(out, "data");
  PutU32(out, dataSize);
  out.insert(out.end(), wave.data.begin(), wave.data.end());
  if (pad) out.push_back(0);

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) throw std::runtime_error("Cannot write '" + path + "'");
}

}  // namespace assets
