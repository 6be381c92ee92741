// The sound device's conversions and play buffer, and the four built-in
// waves with their WAVE file export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "assets/waves.h"
#include "engine/sound.h"

namespace {

using eng::SoundDevice;
using eng::Wave;

Wave MakeWave(int channels, int rate, int bits, std::vector<uint8_t> data) {
  Wave w;
  w.name = "test";
  w.channels = channels;
  w.rate = rate;
  w.bits = bits;
  w.data = std::move(data);
  return w;
}

// Sample i of a wave as -1..1.
double SampleOf(const Wave& w, size_t i) {
  if (w.bits == 8) return (w.data[i] - 128) / 128.0;
  return static_cast<int16_t>(w.data[2 * i] | (w.data[2 * i + 1] << 8)) / 32768.0;
}

size_t SampleCount(const Wave& w) { return w.data.size() / (w.bits / 8); }

double PeakOf(const Wave& w, size_t from, size_t to) {
  double peak = 0.0;
  for (size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(SampleOf(w, i)));
  return peak;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

std::string Tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

}  // namespace

TEST(SoundWaveList, FindsByNameAndNamesTheMissingWave) {
  eng::WaveList list;
  list.Add(MakeWave(1, 11025, 8, {1, 2}));
  list.Add(MakeWave(1, 11025, 8, {3}));
  Wave named = MakeWave(2, 44100, 16, {});
  named.name = "boom";
  list.Add(named);
  EXPECT_EQ(&list.Find("boom"), &list[2]);
  EXPECT_EQ(&list.Find("test"), &list[0]);
  try {
    list.Find("splash");
    FAIL() << "no exception";
  } catch (const eng::WaveNotFound& e) {
    EXPECT_STREQ(e.what(), "Wave 'splash' not found");
  }
}

TEST(SoundWaveList, SecondsCountWholeFrames) {
  EXPECT_DOUBLE_EQ(MakeWave(2, 11025, 8, std::vector<uint8_t>(22050)).Seconds(), 1.0);
  EXPECT_DOUBLE_EQ(MakeWave(1, 44100, 16, std::vector<uint8_t>(44100)).Seconds(), 0.5);
}

TEST(SoundGain, EndPointsAndClamping) {
  EXPECT_DOUBLE_EQ(SoundDevice::Gain(0), 1.0);
  EXPECT_NEAR(SoundDevice::Gain(-2000), 0.1, 1e-12);
  EXPECT_NEAR(SoundDevice::Gain(-600), 0.501187, 1e-6);
  EXPECT_NEAR(SoundDevice::Gain(-10000), 1e-5, 1e-12);
  EXPECT_DOUBLE_EQ(SoundDevice::Gain(500), 1.0);
  EXPECT_DOUBLE_EQ(SoundDevice::Gain(-20000), SoundDevice::Gain(-10000));
}

TEST(SoundConversion, EightBitMonoBecomesStereoAtFourTimesTheFrames) {
  const Wave quiet = MakeWave(1, 11025, 8, std::vector<uint8_t>(1000, 128));
  const auto out = SoundDevice::ToDeviceFormat(quiet);
  ASSERT_EQ(out.size() % 2, 0u);
  EXPECT_NEAR(static_cast<double>(out.size() / 2), 4000.0, 1.0);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));

  const auto loud = SoundDevice::ToDeviceFormat(MakeWave(1, 11025, 8, std::vector<uint8_t>(50, 255)));
  ASSERT_FALSE(loud.empty());
  for (int16_t s : loud) EXPECT_NEAR(s, 32512, 1);
  const auto low = SoundDevice::ToDeviceFormat(MakeWave(1, 22050, 8, std::vector<uint8_t>(50, 0)));
  EXPECT_NEAR(static_cast<double>(low.size() / 2), 100.0, 1.0);
  for (int16_t s : low) EXPECT_EQ(s, -32768);
}

TEST(SoundConversion, StereoChannelsStayApart) {
  // Left always 255, right always 0, at 8 bits; then the same in 16 bits.
  std::vector<uint8_t> lr8;
  for (int i = 0; i < 100; ++i) lr8.insert(lr8.end(), {255, 0});
  const auto out8 = SoundDevice::ToDeviceFormat(MakeWave(2, 11025, 8, lr8));
  ASSERT_GE(out8.size(), 2u);
  for (size_t i = 0; i < out8.size(); i += 2) {
    EXPECT_EQ(out8[i], 32512);
    EXPECT_EQ(out8[i + 1], -32768);
  }
  std::vector<uint8_t> lr16;
  for (int i = 0; i < 100; ++i) lr16.insert(lr16.end(), {0x34, 0x12, 0x00, 0xf0});  // 0x1234, -4096
  const auto out16 = SoundDevice::ToDeviceFormat(MakeWave(2, 44100, 16, lr16));
  ASSERT_EQ(out16.size(), 200u);
  for (size_t i = 0; i < out16.size(); i += 2) {
    EXPECT_EQ(out16[i], 0x1234);
    EXPECT_EQ(out16[i + 1], -4096);
  }
}

TEST(SoundConversion, InterpolatesBetweenFramesAndCopiesTheDeviceRate) {
  // 16-bit mono at 22050 Hz: 0 then 1000; every second output frame lies between.
  const auto out = SoundDevice::ToDeviceFormat(MakeWave(1, 22050, 16, {0x00, 0x00, 0xe8, 0x03}));
  ASSERT_EQ(out.size(), 8u);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 500);
  EXPECT_EQ(out[3], 500);
  EXPECT_EQ(out[4], 1000);
  EXPECT_EQ(out[6], 1000);  // the last frame is held, not faded to silence

  const auto same = SoundDevice::ToDeviceFormat(MakeWave(1, 44100, 16, {0x01, 0x80, 0xff, 0x7f}));
  EXPECT_EQ(same, (std::vector<int16_t>{-32767, -32767, 32767, 32767}));
}

TEST(SoundConversion, UnplayableWavesGiveNothing) {
  EXPECT_TRUE(SoundDevice::ToDeviceFormat(MakeWave(1, 11025, 8, {})).empty());
  EXPECT_TRUE(SoundDevice::ToDeviceFormat(MakeWave(2, 11025, 16, {1, 2, 3})).empty());  // no whole frame
  EXPECT_TRUE(SoundDevice::ToDeviceFormat(MakeWave(3, 11025, 8, {1, 2, 3})).empty());
  EXPECT_TRUE(SoundDevice::ToDeviceFormat(MakeWave(1, 11025, 12, {1, 2, 3})).empty());
  EXPECT_TRUE(SoundDevice::ToDeviceFormat(MakeWave(1, 0, 8, {1, 2, 3})).empty());
  // A trailing half frame is dropped, the whole one kept.
  EXPECT_EQ(SoundDevice::ToDeviceFormat(MakeWave(1, 44100, 16, {0x10, 0x00, 0x20})).size(), 2u);
}

TEST(WaveSynthesis, FourWavesInTheirFormats) {
  eng::WaveList list;
  assets::BuildWaves(list);
  ASSERT_EQ(list.Count(), 4);
  struct Format {
    const char* name;
    int channels, rate, bits;
  };
  const Format table[] = {
      {"explode", 2, 11025, 8}, {"explode2", 1, 11025, 8}, {"getbonus", 1, 44100, 16}, {"getbadbonus", 1, 44100, 8}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(table[i].name);
    const Wave& w = list[i];
    EXPECT_EQ(w.name, table[i].name);
    EXPECT_EQ(w.channels, table[i].channels);
    EXPECT_EQ(w.rate, table[i].rate);
    EXPECT_EQ(w.bits, table[i].bits);
    EXPECT_EQ(w.data.size() % (w.channels * w.bits / 8), 0u);
    EXPECT_GT(w.Seconds(), 0.2);
    EXPECT_LT(w.Seconds(), 1.5);
  }
  EXPECT_LT(list[1].Seconds(), list[0].Seconds());  // the second blast is the shorter
}

TEST(WaveSynthesis, LoudUnclippedAndSilentAtBothEnds) {
  eng::WaveList list;
  assets::BuildWaves(list);
  for (int i = 0; i < list.Count(); ++i) {
    const Wave& w = list[i];
    SCOPED_TRACE(w.name);
    const size_t n = SampleCount(w);
    const double peak = PeakOf(w, 0, n);
    EXPECT_GT(peak, 0.5);
    EXPECT_LT(peak, 0.99);  // no sample at the limits
    const size_t edge = static_cast<size_t>(w.rate / 1000) * w.channels;  // one millisecond
    EXPECT_LT(PeakOf(w, 0, w.channels), 0.02);
    EXPECT_LT(PeakOf(w, n - w.channels, n), 0.02);
    EXPECT_LT(PeakOf(w, n - edge, n), 0.1 * peak);
  }
}

TEST(WaveSynthesis, SameEveryStartAndStereoNotMono) {
  eng::WaveList a, b;
  assets::BuildWaves(a);
  assets::BuildWaves(b);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i].data, b[i].data) << a[i].name;
  const Wave& explode = a.Find("explode");
  size_t differ = 0;
  for (size_t i = 0; i + 1 < explode.data.size(); i += 2) differ += explode.data[i] != explode.data[i + 1];
  EXPECT_GT(differ, explode.data.size() / 8);
}

TEST(WaveFile, HeaderMatchesTheWave) {
  eng::WaveList list;
  assets::BuildWaves(list);
  const auto dir = std::filesystem::temp_directory_path();
  Wave odd = MakeWave(1, 8000, 8, {1, 2, 3});
  odd.name = "odd";
  std::vector<const Wave*> waves{&list.Find("explode"), &list.Find("getbonus"), &odd};
  for (const Wave* w : waves) {
    SCOPED_TRACE(w->name);
    const auto path = dir / ("salvora_sound_test_" + w->name + ".wav");
    assets::WriteWav(*w, path.string());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    ASSERT_GE(b.size(), 44u);
    const uint32_t size = static_cast<uint32_t>(w->data.size());
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), b.size() - 8);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(U32(b, 16), 16u);
    EXPECT_EQ(U16(b, 20), 1);
    EXPECT_EQ(U16(b, 22), w->channels);
    EXPECT_EQ(U32(b, 24), static_cast<uint32_t>(w->rate));
    EXPECT_EQ(U32(b, 28), static_cast<uint32_t>(w->rate * w->channels * w->bits / 8));
    EXPECT_EQ(U16(b, 32), w->channels * w->bits / 8);
    EXPECT_EQ(U16(b, 34), w->bits);
    EXPECT_EQ(Tag(b, 36), "data");
    EXPECT_EQ(U32(b, 40), size);
    EXPECT_EQ(b.size(), 44u + size + size % 2);
    EXPECT_TRUE(std::equal(w->data.begin(), w->data.end(), b.begin() + 44));
  }
  EXPECT_THROW(assets::WriteWav(odd, (dir / "no_such_dir_salvora" / "x.wav").string()), std::runtime_error);
}

TEST(SoundDevice, SilentWhenNeverInitialized) {
  eng::WaveList list;
  assets::BuildWaves(list);
  SoundDevice device;
  EXPECT_FALSE(device.Initialized());
  EXPECT_NO_THROW(device.Play(list[0], 0));
  EXPECT_TRUE(device.PlayBuffer().empty());
  device.Finalize();  // harmless too
}

TEST(SoundDevice, FailedInitializeLeavesItSilent) {
  setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
  eng::WaveList list;
  assets::BuildWaves(list);
  {
    SoundDevice device;
    const bool opened = device.Initialize();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (opened) GTEST_SKIP() << "audio was already opened elsewhere in this process";
    EXPECT_FALSE(device.Initialized());
    EXPECT_NO_THROW(device.Play(list[1], -500));
    EXPECT_TRUE(device.PlayBuffer().empty());
  }
  // A later attempt with a working driver still succeeds.
  SoundDevice device;
  EXPECT_TRUE(device.Initialize());
}

TEST(SoundDevice, PlaysConvertedWaveWithGainAndCutsThePreviousOne) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  eng::WaveList list;
  assets::BuildWaves(list);
  SoundDevice device;
  ASSERT_TRUE(device.Initialize());
  EXPECT_TRUE(device.Initialized());
  EXPECT_TRUE(device.Initialize());  // a second call keeps the open device

  const Wave& explode = list.Find("explode");
  const auto full = SoundDevice::ToDeviceFormat(explode);
  EXPECT_NO_THROW(device.Play(explode, 0));
  EXPECT_EQ(device.PlayBuffer(), full);

  // -2000 is a tenth of the amplitude, sample by sample.
  device.Play(explode, -2000);
  ASSERT_EQ(device.PlayBuffer().size(), full.size());
  for (size_t i = 0; i < full.size(); i += 97) EXPECT_NEAR(device.PlayBuffer()[i], full[i] * 0.1, 0.51);

  // A new sound replaces the one playing.
  const Wave& bonus = list.Find("getbonus");
  device.Play(bonus, 0);
  EXPECT_EQ(device.PlayBuffer(), SoundDevice::ToDeviceFormat(bonus));

  // The quietest volume still plays, far below full.
  device.Play(bonus, -10000);
  const auto& quiet = device.PlayBuffer();
  EXPECT_LE(*std::max_element(quiet.begin(), quiet.end()), 1);

  device.Finalize();
  EXPECT_FALSE(device.Initialized());
  EXPECT_TRUE(device.PlayBuffer().empty());
  EXPECT_NO_THROW(device.Play(bonus, 0));
  EXPECT_TRUE(device.PlayBuffer().empty());
}

TEST(SoundDevice, ChangedWaveAtTheSameAddressIsConvertedAgain) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SoundDevice device;
  ASSERT_TRUE(device.Initialize());
  Wave w = MakeWave(1, 44100, 16, {0x10, 0x00, 0x20, 0x00});
  device.Play(w, 0);
  EXPECT_EQ(device.PlayBuffer(), (std::vector<int16_t>{16, 16, 32, 32}));
  device.Play(w, 0);
  EXPECT_EQ(device.PlayBuffer(), (std::vector<int16_t>{16, 16, 32, 32}));
  w.data = {0x05, 0x00};
  device.Play(w, 0);
  EXPECT_EQ(device.PlayBuffer(), (std::vector<int16_t>{5, 5}));
  w.rate = 22050;
  device.Play(w, 0);
  EXPECT_EQ(device.PlayBuffer().size(), 4u);
  // Nothing to play leaves the channel silent rather than replaying the old.
  w.data.clear();
  device.Play(w, 0);
  EXPECT_TRUE(device.PlayBuffer().empty());
}
