// Sound: the named wave collection and the single play buffer. A device
// that cannot open leaves the game silent; play requests are then harmless.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace eng {

struct Wave {
  std::string name;
  int channels = 1;
  int rate = 11025;           // samples per second
  int bits = 8;               // 8 (unsigned) or 16 (signed little-endian)
  std::vector<uint8_t> data;  // interleaved PCM frames
  double Seconds() const;
};

class WaveNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WaveList {
 public:
  Wave& Add(Wave w) { return waves_.emplace_back(std::move(w)); }
  int Count() const { return static_cast<int>(waves_.size()); }
  const Wave& operator[](int i) const { return waves_[i]; }
  // Throws WaveNotFound with "Wave '%s' not found" for an unknown name.
  const Wave& Find(const std::string& name) const;

 private:
  std::vector<Wave> waves_;
};

class SoundDevice {
 public:
  SoundDevice();
  ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Opens the audio output; false (and silence) when there is none.
  bool Initialize();
  bool Initialized() const { return initialized_; }
  void Finalize();

  // Plays the wave once through the single buffer, cutting off the sound
  // still playing; volume in hundredths of a decibel (-10000..0).
  void Play(const Wave& wave, int volume);
  // The linear gain of a volume in hundredths of a decibel.
  static double Gain(int volume);
  // Converts a wave to the device format (44100 Hz, 16 bits, 2 channels,
  // interleaved). 8-bit unsigned or 16-bit signed, mono or stereo, any rate;
  // anything else, or a wave without a whole frame, gives no samples.
  static std::vector<int16_t> ToDeviceFormat(const Wave& wave);
  // The samples the channel was last given, gain applied; empty while the
  // device is silent. Lets tests see what would be heard.
  const std::vector<int16_t>& PlayBuffer() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool initialized_ = false;
};

}  // namespace eng
