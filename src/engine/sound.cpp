// The sound device over SDL_mixer: one mixing channel, so a new sound cuts
// the one still playing. Waves are converted to the device format once and
// kept; the gain is applied to a copy that the channel plays.
#include "engine/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace eng {

namespace {

constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;
constexpr int kChannel = 0;         // the single play buffer
constexpr int kChunkFrames = 1024;  // about 23 ms of latency
constexpr int kQuietest = -10000;   // hundredths of a decibel

int BytesPerSample(const Wave& wave) { return wave.bits / 8; }

bool Convertible(const Wave& wave) {
  return (wave.bits == 8 || wave.bits == 16) && (wave.channels == 1 || wave.channels == 2) &&
         wave.rate > 0;
}

// Sample c of frame f as a signed 16-bit value.
int SampleAt(const Wave& wave, size_t frame, int channel) {
  const size_t frameBytes = static_cast<size_t>(wave.channels) * BytesPerSample(wave);
  const size_t at = frame * frameBytes + static_cast<size_t>(channel) * BytesPerSample(wave);
  if (wave.bits == 8) return (static_cast<int>(wave.data[at]) - 128) * 256;
  const uint16_t raw = static_cast<uint16_t>(wave.data[at] | (wave.data[at + 1] << 8));
  return static_cast<int16_t>(raw);
}

int16_t Clamp16(long v) { return static_cast<int16_t>(std::clamp(v, -32768L, 32767L)); }

}  // namespace

double Wave::Seconds() const {
  const int frameBytes = channels * (bits / 8);
  if (frameBytes <= 0 || rate <= 0) return 0.0;
  return static_cast<double>(data.size() / frameBytes) / rate;
}

const Wave& WaveList::Find(const std::string& name) const {
  for (const Wave& w : waves_)
    if (w.name == name) return w;
  throw WaveNotFound("Wave '" + name + "' not found");
}

// A converted wave and what it was converted from, so that a wave replaced
// at the same address is converted again rather than played stale.
struct CachedWave {
  std::string name;
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<uint8_t> source;
  std::vector<int16_t> samples;

  bool Matches(const Wave& w) const {
    return w.channels == channels && w.rate == rate && w.bits == bits && w.name == name &&
           w.data == source;
  }
};

struct SoundDevice::Impl {
  std::unordered_map<const Wave*, CachedWave> cache;
  std::vector<int16_t> playing;  // the chunk's memory; lives until the next Play
  Mix_Chunk* chunk = nullptr;

  // Stops the channel first: the mixer may read the chunk until it halts.
  void ReleaseChunk() {
    if (chunk != nullptr) {
      Mix_HaltChannel(kChannel);
      Mix_FreeChunk(chunk);  // a quick-loaded chunk does not own its samples
      chunk = nullptr;
    }
  }
};

SoundDevice::SoundDevice() : impl_(std::make_unique<Impl>()) {}

SoundDevice::~SoundDevice() { Finalize(); }

bool SoundDevice::Initialize() {
  if (initialized_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // No format changes allowed: SDL converts for the hardware, so the raw
  // chunks we hand the mixer are always 44100 Hz, 16-bit, stereo.
  if (Mix_OpenAudioDevice(kDeviceRate, AUDIO_S16SYS, kDeviceChannels, kChunkFrames, nullptr, 0) !=
      0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  if (Mix_AllocateChannels(1) != 1) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_Volume(kChannel, MIX_MAX_VOLUME);
  initialized_ = true;
  return true;
}

void SoundDevice::Finalize() {
  if (!initialized_) return;
  impl_->ReleaseChunk();
  impl_->playing.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  initialized_ = false;
}

double SoundDevice::Gain(int volume) {
  const int v = std::clamp(volume, kQuietest, 0);
  return std::pow(10.0, v / 2000.0);
}

std::vector<int16_t> SoundDevice::ToDeviceFormat(const Wave& wave) {
  std::vector<int16_t> out;
  if (!Convertible(wave)) return out;
  const size_t frameBytes = static_cast<size_t>(wave.channels) * BytesPerSample(wave);
  const size_t inFrames = wave.data.size() / frameBytes;  // a trailing partial frame is dropped
  if (inFrames == 0) return out;

  const auto sample = [&](size_t frame, int side) {
    return SampleAt(wave, frame, wave.channels == 2 ? side : 0);
  };
  if (wave.rate == kDeviceRate) {
    out.reserve(inFrames * kDeviceChannels);
    for (size_t f = 0; f < inFrames; ++f) {
      out.push_back(static_cast<int16_t>(sample(f, 0)));
      out.push_back(static_cast<int16_t>(sample(f, 1)));
    }
    return out;
  }

  // Linear interpolation between neighbouring input frames; the last frame
  // is held rather than blended with silence.
  const size_t outFrames =
      (static_cast<uint64_t>(inFrames) * kDeviceRate + static_cast<uint64_t>(wave.rate) / 2) /
      static_cast<uint64_t>(wave.rate);
  out.reserve(outFrames * kDeviceChannels);
  const double step = static_cast<double>(wave.rate) / kDeviceRate;
  for (size_t j = 0; j < outFrames; ++j) {
    const double pos = j * step;
    size_t i = static_cast<size_t>(pos);
    if (i >= inFrames) i = inFrames - 1;
    const size_t next = std::min(i + 1, inFrames - 1);
    const double frac = std::min(pos - static_cast<double>(i), 1.0);
    for (int side = 0; side < kDeviceChannels; ++side) {
      const double a = sample(i, side);
      const double b = sample(next, side);
      out.push_back(Clamp16(std::lround(a + (b - a) * frac)));
    }
  }
  return out;
}

const std::vector<int16_t>& SoundDevice::PlayBuffer() const { return impl_->playing; }

void SoundDevice::Play(const Wave& wave, int volume) {
  if (!initialized_) return;

  CachedWave& cached = impl_->cache[&wave];
  if (!cached.Matches(wave)) {
    cached.name = wave.name;
    cached.channels = wave.channels;
    cached.rate = wave.rate;
    cached.bits = wave.bits;
    cached.source = wave.data;
    cached.samples = ToDeviceFormat(wave);
  }

  // A new sound cuts the one playing; only then may its memory be reused.
  impl_->ReleaseChunk();
  impl_->playing.clear();
  if (cached.samples.empty()) return;

  // Scaling the samples ourselves keeps quiet volumes exact, where the
  // mixer's own volume has only 128 steps.
  const double gain = Gain(volume);
  if (gain >= 1.0) {
    impl_->playing = cached.samples;
  } else {
    impl_->playing.resize(cached.samples.size());
    std::transform(cached.samples.begin(), cached.samples.end(), impl_->playing.begin(),
                   [gain](int16_t s) { return Clamp16(std::lround(s * gain)); });
  }

  impl_->chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(impl_->playing.data()),
                                   static_cast<Uint32>(impl_->playing.size() * sizeof(int16_t)));
  if (impl_->chunk == nullptr) {
    impl_->playing.clear();
    return;
  }
  if (Mix_PlayChannel(kChannel, impl_->chunk, 0) < 0) {
    impl_->ReleaseChunk();
    impl_->playing.clear();
  }
}

}  // namespace eng
