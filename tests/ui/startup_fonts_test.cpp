// Start-up loads the five fonts named in DATA\TEXTS.TXT from the game's archive into their slots,
// and the menus' animated title font (TitleFont) into a sixth; shut-down frees them with
// everything else.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/app_state.h"
#include "app/startup.h"
#include "engine/platform/clock.h"
#include "engine/platform/messages.h"

namespace fs = std::filesystem;

TEST(StartUpFonts, TheSixSlotsFillAtStartUpAndEmptyAtShutDown) {
  const fs::path archive = fs::path(ZR_GAME_DIR) / "VELDRAN.DAT";
  if (!fs::exists(archive)) GTEST_SKIP() << "no game archive";
  const fs::path old = fs::current_path();
  char pattern[] = "/tmp/zrfontstart.XXXXXX";
  const fs::path dir = ::mkdtemp(pattern);
  fs::create_symlink(archive, dir / "VELDRAN.DAT");
  fs::current_path(dir);

  StartOptions options;
  options.headless = true;
  options.virtualClock = true;
  testing::internal::CaptureStderr();
  ASSERT_EQ(StartUp(options), 1) << StartUpError();
  const ZR_FONT* slots[] = {&mainFont,     &mapFont,   &mapTitleFont,
                            &mapTransFont, &shipsFont, &titleFont};
  for (const ZR_FONT* font : slots) {
    ASSERT_NE(font->name, nullptr);
    EXPECT_NE(font->characters['a'], nullptr);
  }
  EXPECT_EQ(mainFont.height, 10);
  EXPECT_EQ(mapFont.height, 52);
  EXPECT_EQ(mapTitleFont.height, 27);
  EXPECT_EQ(mapTransFont.height, 52);
  EXPECT_EQ(shipsFont.height, 7);
  EXPECT_EQ(titleFont.height, 20);
  EXPECT_EQ(titleFont.characters['A']->count, 8);  // loaded as an animated font
  ShutDown();
  testing::internal::GetCapturedStderr();
  for (const ZR_FONT* font : slots) EXPECT_EQ(font->name, nullptr);
  EXPECT_EQ(LastShutDown().memoryBlocks, 0);
  EXPECT_EQ(LastShutDown().filesOpen, 0);
  zr_clock_use_virtual(false);
  zr_clear_messages();
  ResetAppState();
  fs::current_path(old);
  fs::remove_all(dir);
}
