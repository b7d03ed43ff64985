// The game's own sounds, read from a copy of the game folder's archive as the game reads them:
// every effect loads and plays through the mixer, and every level's music loads and is heard.
#include <gtest/gtest.h>

#include <set>

#include "engine/core/keyfile.h"
#include "sound_support.h"

namespace {

class GameSoundsTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    const std::string archive = ZR_GAME_DIR "/VELDRAN.DAT";
    if (!std::filesystem::exists(archive)) GTEST_SKIP() << "no game archive";
    std::filesystem::copy_file(archive, folder_.path / "VELDRAN.DAT");
    zr_io_deinit();
    std::snprintf(io_.archiveName, sizeof io_.archiveName, "VELDRAN.DAT");
    zr_io_init(&io_);
    if (!zr_io_exists("snd\\laser1.wav", ZR_IO_ARCHIVE)) GTEST_SKIP() << "no game sounds yet";
  }
};

TEST_F(GameSoundsTest, EveryEffectLoadsAndPlays) {
  ASSERT_EQ(Start(), 1);
  int effects = 0;
  for (int i = 0; i < zr_io_archive_entries(); ++i) {
    const std::string name = zr_io_archive_name(i);
    if (name.rfind("SND\\", 0) != 0 || name.find(".WAV") == std::string::npos) continue;
    ZR_SOUND* sound = zr_sound_load(name.c_str());
    ASSERT_NE(sound, nullptr) << name << " code " << zr_error_last_code();
    ASSERT_EQ(zr_sound_play(sound, 0), 1) << name;
    EXPECT_GT(peak(render16(8820)), 0) << name;
    zr_sound_stop(sound);
    render16(1000);
    zr_sound_free(sound);
    ++effects;
  }
  EXPECT_GE(effects, 10);
}

TEST_F(GameSoundsTest, EveryLevelsMusicLoadsAndIsHeard) {
  ASSERT_EQ(Start(), 1);
  std::set<std::string> songs;
  for (int level = 1; level <= 20; ++level) {
    char music[64] = "";
    const std::string file = "level\\level" + std::to_string(level) + ".txt";
    if (zr_io_get_string("Level", "Music", music, sizeof music, file.c_str())) songs.insert(music);
  }
  ASSERT_FALSE(songs.empty());
  for (const std::string& song : songs) {
    ZR_MUSIC* music = zr_music_load(song.c_str());
    ASSERT_NE(music, nullptr) << song;
    ASSERT_EQ(zr_music_play(music), 1) << song;
    std::vector<int16_t> out = render16(44100);
    EXPECT_GT(rms(out), 300) << song;
    EXPECT_LT(peak(out), 32767) << song << " clips at the default volume";
    zr_music_free(music);
  }
  EXPECT_TRUE(sound_boxes().empty());
}

}  // namespace
