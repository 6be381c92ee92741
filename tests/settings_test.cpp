// config.opt: the exact bytes, short and long files, the player's name,
// failed saves and where the file lives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_record.h"

namespace {

const std::vector<uint8_t> kDefaultBytes = {0x01, 0x01, 0x08, 0xC8, 0xE3, 0xF0, 0xEE, 0xEA, 0x20, 0x4E, 0x31, 0x00,
                                            0x00, 0x00, 0x00, 0x00, 0x0C, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00};

class TempDir {
 public:
  TempDir() {
    char name[] = "/tmp/salvora_settings_XXXXXX";
    path_ = mkdtemp(name);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& leaf) const { return path_ + "/" + leaf; }

 private:
  std::string path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// What the interface does at start-up: a file that cannot be read gives the
// defaults, written back at once.
SettingsRecord StartUp(const std::string& path) {
  SettingsRecord rec;
  rec.Difficulty = 3;  // something the defaults must overwrite
  if (!LoadSettingsFile(path, rec)) {
    rec = SettingsRecord{};
    SaveSettingsFile(path, rec);
  }
  return rec;
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

TEST(SettingsFile, FreshDirectoryGetsExactlyTheDefaultRecord) {
  TempDir dir;
  const SettingsRecord rec = StartUp(dir / "config.opt");
  EXPECT_EQ(ReadBytes(dir / "config.opt"), kDefaultBytes);
  EXPECT_EQ(rec.Difficulty, 1);
  EXPECT_EQ(int32_t{rec.Volume}, -500);
  EXPECT_EQ(rec.PlayerName(), "\xC8\xE3\xF0\xEE\xEA N1");
}

TEST(SettingsFile, ShortOrUnreadableFilesGiveTheDefaults) {
  TempDir dir;
  WriteBytes(dir / "config.opt", std::vector<uint8_t>(10, 0x03));
  SettingsRecord rec;
  rec.GameMode = 2;
  EXPECT_FALSE(LoadSettingsFile(dir / "config.opt", rec));
  EXPECT_EQ(rec.GameMode, 2) << "a failed load leaves the record to the caller";
  StartUp(dir / "config.opt");
  EXPECT_EQ(ReadBytes(dir / "config.opt"), kDefaultBytes) << "the 10-byte file is replaced";

  // 23 bytes are still one short.
  std::vector<uint8_t> almost = kDefaultBytes;
  almost.pop_back();
  WriteBytes(dir / "short.opt", almost);
  EXPECT_FALSE(LoadSettingsFile(dir / "short.opt", rec));

  // A directory in the file's place opens but cannot be read.
  ASSERT_EQ(mkdir((dir / "config.dir").c_str(), 0755), 0);
  EXPECT_FALSE(LoadSettingsFile(dir / "config.dir", rec));
  EXPECT_FALSE(LoadSettingsFile(dir / "missing.opt", rec));
}

TEST(SettingsFile, LongerFileIsReadAsItsFirstRecordAndTruncatedOnSave) {
  TempDir dir;
  // Windowed, difficulty 7 (out of range, kept), name "Ab" with leftovers,
  // volume -2500, remote play, odd padding bytes.
  std::vector<uint8_t> bytes = {0x00, 0x07, 0x02, 'A',  'b',  'x',  'y',  0x00, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x5A, 0x3C, 0xF6, 0xFF, 0xFF, 0x02, 0x11, 0x22, 0x33};
  std::vector<uint8_t> file = bytes;
  file.insert(file.end(), {9, 9, 9, 9, 9, 9});
  WriteBytes(dir / "config.opt", file);

  SettingsRecord rec;
  ASSERT_TRUE(LoadSettingsFile(dir / "config.opt", rec));
  EXPECT_EQ(rec.FullScreen, 0);
  EXPECT_EQ(rec.Difficulty, 7);
  EXPECT_EQ(rec.PlayerName(), "Ab");
  EXPECT_EQ(int32_t{rec.Volume}, -2500);
  EXPECT_EQ(rec.GameMode, 2);
  EXPECT_EQ(ReadBytes(dir / "config.opt").size(), 30u) << "reading changes nothing";

  ASSERT_TRUE(SaveSettingsFile(dir / "config.opt", rec));
  EXPECT_EQ(ReadBytes(dir / "config.opt"), bytes) << "every byte as held, padding included, and no more";
}

TEST(SettingsFile, TwelveCharacterNameHasNoTerminator) {
  TempDir dir;
  SettingsRecord rec;
  rec.SetPlayerName("Abcdefghijklmn");  // 14: cut to 12
  EXPECT_EQ(rec.NameLength, 12);
  EXPECT_EQ(rec.PlayerName(), "Abcdefghijkl");
  ASSERT_TRUE(SaveSettingsFile(dir / "config.opt", rec));
  const std::vector<uint8_t> b = ReadBytes(dir / "config.opt");
  ASSERT_EQ(b.size(), 24u);
  EXPECT_EQ(b[2], 12);
  EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 15), "Abcdefghijkl");
  EXPECT_EQ(b[15], 0) << "the byte after the name is the padding, not a terminator";
  EXPECT_EQ(b[16], 0x0C) << "the volume follows where it always does";

  // A shorter name afterwards leaves no trace of the longer one.
  rec.SetPlayerName("Bo");
  EXPECT_EQ(rec.NameLength, 2);
  EXPECT_EQ(rec.PlayerName(), "Bo");
  EXPECT_EQ(rec.NameChars[2], 0);
  rec.SetPlayerName("");
  EXPECT_EQ(rec.PlayerName(), "");
}

TEST(SettingsFile, OverlongNameLengthShowsOnlyTheNameBytesAndIsKept) {
  TempDir dir;
  std::vector<uint8_t> bytes = kDefaultBytes;
  bytes[2] = 200;
  bytes[15] = 'Z';  // the padding must not leak into the name
  WriteBytes(dir / "config.opt", bytes);
  SettingsRecord rec;
  ASSERT_TRUE(LoadSettingsFile(dir / "config.opt", rec));
  EXPECT_EQ(rec.NameLength, 200);
  EXPECT_EQ(rec.PlayerName(), std::string("\xC8\xE3\xF0\xEE\xEA N1\0\0\0\0", 12));
  ASSERT_TRUE(SaveSettingsFile(dir / "config.opt", rec));
  EXPECT_EQ(ReadBytes(dir / "config.opt"), bytes);
}

TEST(SettingsFile, SaveWhereNoFileCanBeMadeFails) {
  TempDir dir;
  WriteBytes(dir / "plain", {1, 2, 3});
  // A path under a regular file fails even for root.
  EXPECT_FALSE(SaveSettingsFile(dir / "plain/config.opt", SettingsRecord{}));
  EXPECT_FALSE(SaveSettingsFile(dir / "no_such_dir/config.opt", SettingsRecord{}));
  EXPECT_EQ(ReadBytes(dir / "plain"), (std::vector<uint8_t>{1, 2, 3}));
  if (geteuid() != 0) {
    ASSERT_EQ(mkdir((dir / "locked").c_str(), 0555), 0);
    EXPECT_FALSE(SaveSettingsFile(dir / "locked/config.opt", SettingsRecord{}));
  }
}

TEST(SettingsPath, ProgramDirectoryWhenWritableElseTheConfigDirectory) {
  TempDir dir;
  ASSERT_EQ(mkdir((dir / "app").c_str(), 0755), 0);
  EXPECT_EQ(SettingsPath(dir / "app/"), dir / "app/config.opt");
  EXPECT_EQ(SettingsPath(dir / "app"), dir / "app/config.opt") << "a missing trailing slash is added";

  // An application directory that is not one (or not writable) sends the
  // file to $XDG_CONFIG_HOME/salvora, made on the way.
  WriteBytes(dir / "notadir", {0});
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "xdg").c_str());
    EXPECT_EQ(SettingsPath(dir / "notadir/"), dir / "xdg/salvora/config.opt");
    struct stat st {};
    EXPECT_EQ(stat((dir / "xdg/salvora").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(SaveSettingsFile(SettingsPath(""), SettingsRecord{})) << "the chosen place can be written";
  }
  // Without XDG_CONFIG_HOME (or with a relative one): ~/.config/salvora.
  {
    ScopedEnv home("HOME", (dir / "home").c_str());
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(SettingsPath(dir / "missing/"), dir / "home/.config/salvora/config.opt");
  }
  {
    ScopedEnv home("HOME", (dir / "home2").c_str());
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(SettingsPath(""), dir / "home2/.config/salvora/config.opt");
  }
  if (geteuid() != 0) {
    ASSERT_EQ(mkdir((dir / "readonly").c_str(), 0555), 0);
    ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "xdg").c_str());
    EXPECT_EQ(SettingsPath(dir / "readonly/"), dir / "xdg/salvora/config.opt");
  }
}

TEST(SettingsPath, ProgramDirectoryHoldsTheRunningProgram) {
  const std::string dir = ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(dir.front(), '/');
  // One of its entries is this very program, whatever it is called.
  bool found = false;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (std::filesystem::equivalent(entry.path(), "/proc/self/exe")) found = true;
  EXPECT_TRUE(found) << dir;
}
