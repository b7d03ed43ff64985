// The program with sound: headless runs are silent and quiet unless SDL's disk driver is asked
// for; with it, the device opens, menu.wav loads and is freed, and [Sound] is written back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "app/app_support.h"
#include "sound_support.h"

namespace {

struct GameRun {
  int status = -1;
  std::string out;
};

GameRun RunGame(const std::string& env) {
  GameRun run;
  std::string command =
      env + " " ZR_GAME_DIR "/zrsentry --headless --virtual-clock --frames 30 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, got);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(SoundProgramTest, HeadlessIsSilentWithoutWarnings) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  GameRun run = RunGame("env -u SDL_AUDIODRIVER");
  EXPECT_EQ(run.status, 0) << run.out;
  // (The missing archive of this small game folder is reported there, nothing about sound.)
  const std::string warnings = dir.Read("Warning.txt");
  EXPECT_EQ(warnings.find("Terminating"), std::string::npos) << warnings;
  EXPECT_EQ(warnings.find("Sound"), std::string::npos) << warnings;
  EXPECT_EQ(dir.Read("zrsentry.ini").find("[Sound]"), std::string::npos);
}

TEST(SoundProgramTest, DiskDriverOpensTheDeviceAndKeepsTheSettings) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  WaveSpec menu;
  menu.samples = sine16(2205, 1, 0.05, 9000);
  write_bytes(dir.path() + "/snd/menu.wav", wave_bytes(menu));
  write_bytes(dir.path() + "/zrsentry.ini", "[Sound]\r\nDigitalMusic=0\r\nMusicVolume=120\r\n");
  GameRun run = RunGame("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=out.raw");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(" 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << run.out;
  const std::string warnings = dir.Read("Warning.txt");
  EXPECT_EQ(warnings.find("Terminating"), std::string::npos) << warnings;
  EXPECT_EQ(warnings.find("Sound"), std::string::npos) << warnings;
  const std::string ini = dir.Read("zrsentry.ini");
  for (const char* line : {"DigitalMusic=0", "SoundEffects=1", "MusicVolume=100", "SoundVolume=80",
                           "Interpolation=4"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in " << ini;
  }
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/out.raw"));
}

}  // namespace
