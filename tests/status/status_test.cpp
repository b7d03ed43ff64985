// The status display: the score's format, blip positions on the lane maps, when the scanner and
// the cockpit show, which messages a frame draws, and the whole frame drawn with small fonts of
// one colour each (panel 21, scanner 20, blips 22, text 23) over the tiny test level.
#include "game/status.h"

#include <cstring>
#include <vector>

#include "engine/display/display.h"
#include "engine/ui/font.h"
#include "game/game_support.h"

namespace {

using namespace gtest_game;

constexpr uint8_t SCANNER_COLOUR = 20, PANEL_COLOUR = 21, BLIP_COLOUR = 22, TEXT_COLOUR = 23;

std::vector<int>& drawnMessages() {
  static std::vector<int> list;
  return list;
}

void recordMessage(int n) {
  drawnMessages().push_back(n);
}

const char* creditsText = nullptr;
const char* credits() {
  return creditsText;
}

class Status : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(zr_dsp_init(), 1);
    frame_ = zr_dsp_frame_buffer();
    // The scanner picture: a frame of the colour around a see-through middle (128 stays clear).
    writeFont("scan", "a", SCANNER_COLOUR, [](int, int y) { return y == 0 || y == 7; });
    writeFont("panel", "a", PANEL_COLOUR);
    writeFont("ships", "abcdef", BLIP_COLOUR);
    writeFont("text", "0123456", TEXT_COLOUR);
    ASSERT_EQ(zr_font_load(&map_, "scan.fnt", ZR_FONT_TRIM), 1);
    ASSERT_EQ(zr_font_load(&mapTitle_, "panel.fnt", ZR_FONT_TRIM), 1);
    ASSERT_EQ(zr_font_load(&ships_, "ships.fnt", ZR_FONT_TRIM), 1);
    ASSERT_EQ(zr_font_load(&main_, "text.fnt", ZR_FONT_TRIM), 1);
    SetStatusFonts(&main_, &map_, &mapTitle_, nullptr, &ships_);
    drawnMessages().clear();
    creditsText = nullptr;
    statusHooks = StatusHooks{recordMessage, credits};
    backgroundOn = 0;
  }
  void TearDown() override {
    statusHooks = {};
    SetStatusFonts(nullptr, nullptr, nullptr, nullptr, nullptr);
    for (ZR_FONT* f : {&map_, &mapTitle_, &ships_, &main_}) zr_font_free(f);
    StopGame();
    free_engine();
    zr_dsp_free();
    zr_bitmap_scratch_free();
    GameTest::TearDown();
  }

  // A font of 8 x 8 glyphs in the colour where `drawn` says so (solid squares by default), the
  // rest of each cell the fonts' clear colour.
  template <typename Drawn = bool (*)(int, int)>
  static void writeFont(
      const std::string& name, const std::string& characters, uint8_t colour,
      Drawn drawn = [](int, int) { return true; }) {
    const int w = 8 * int(characters.size());
    std::vector<uint8_t> pcx = zrtest::pcx_header(0, 0, w - 1, 7, w);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < w; ++x) {
        pcx.push_back(0xC1);  // every pixel a run of one
        pcx.push_back(drawn(x % 8, y) ? colour : ZR_FONT_BACKGROUND);
      }
    }
    pcx.push_back(12);
    for (int i = 0; i < 768; ++i) pcx.push_back(uint8_t(i));
    write_bytes(name + ".pcx", pcx);
    write_text(name + ".fnt",
               "[Font Properties]\r\nName=" + name + "\r\nWidth=8\r\nHeight=8\r\nNbFiles=1\r\n" +
                   "Palette=\r\n[File001]\r\nName=" + name + ".pcx\r\nType=1\r\nNbLines=1\r\n" +
                   "Line001=" + characters + "\r\n");
  }

  int count(uint8_t value, int x0 = 0, int y0 = 0, int w = -1, int h = -1) const {
    if (w < 0) w = frame_->width;
    if (h < 0) h = frame_->height;
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += frame_->pixels[size_t(y) * frame_->width + x] == value;
    return n;
  }

  // A frame drawn over a filled buffer, the messages it drew recorded.
  void draw() {
    std::memset(frame_->pixels, 0xAB, size_t(frame_->width) * frame_->height);
    drawnMessages().clear();
    DrawGameFrame();
  }

  ZR_BITMAP* frame_ = nullptr;
  ZR_FONT map_{}, mapTitle_{}, ships_{}, main_{};
};

TEST_F(Status, ScoreHasSixDigits) {
  const std::pair<uint16_t, const char*> cases[] = {
      {0, "000000"}, {7, "000007"}, {12345, "012345"}, {65535, "065535"}};
  for (const auto& [value, text] : cases) {
    char out[8];
    FormatScore(value, out, sizeof out);
    EXPECT_STREQ(out, text) << value;
  }
}

TEST_F(Status, BlipPositionsFillTheLaneMapsAndTruncateTowardsZero) {
  start(1);  // the rectangles adapted to the 320 x 200 frame
  struct Case {
    int lane;
    double x, y;
    int column, row;
  } const cases[] = {
      {1, 500.0, 191.0, 7, 175},        // the map's top-left corner
      {1, 2410.0, 0.0, 97, 191},        // the whole range: 90 columns, 16 rows
      {2, 1455.0, 95.5, 157, 183},      // the middle of lane 2
      {3, 500.0, 191.0, 217, 175},      // lane 3's corner
      {1, 521.0, 179.0, 7, 176},        // 0.99 of a column, 1.005 rows: both truncated
      {1, 490.0, 200.0, 7, 175},        // just outside: -0.47 and -0.75 truncate to 0, not -1
      {1, 400.0, 250.0, 3, 171},        // further out: -4.7 and -4.9 truncate to -4
      {2, 2409.0, 1.0, 112 + 89, 190},  // 89.95 and 15.9 truncate down
  };
  for (const Case& c : cases) {
    int column = 0, row = 0;
    ASSERT_TRUE(BlipPosition(c.lane, c.x, c.y, &column, &row));
    EXPECT_EQ(column, c.column) << c.lane << " " << c.x;
    EXPECT_EQ(row, c.row) << c.lane << " " << c.y;
  }
  int column = 0, row = 0;
  EXPECT_FALSE(BlipPosition(0, 500.0, 0.0, &column, &row));
  EXPECT_FALSE(BlipPosition(4, 500.0, 0.0, &column, &row));
}

TEST_F(Status, ScannerShowsWithMapsOnOrInADemoButNotAtALevelEndOrGameOver) {
  start(1);
  struct Case {
    int hide, demo, ending, over;
    bool shown;
  } const cases[] = {
      {0, 0, 0, 0, true},  {1, 0, 0, 0, false},  // Maps stored 0 hides it in play
      {1, 1, 0, 0, true},                        // but a gameplay demo shows it
      {0, 0, 1, 0, false}, {1, 1, 1, 0, false},  // never during a level end
      {0, 0, 0, 1, false}, {0, 1, 0, 1, false},  // nor when the game is over
  };
  for (const Case& c : cases) {
    hideMaps = c.hide;
    attractPlaying = c.demo;
    levelEnding = c.ending;
    gameOver = c.over;
    EXPECT_EQ(ScannerShown(), c.shown) << c.hide << c.demo << c.ending << c.over;
    draw();
    EXPECT_EQ(count(SCANNER_COLOUR) > 0, c.shown);
    EXPECT_EQ(count(BLIP_COLOUR) > 0, c.shown);
    const double depth = c.shown ? -152.0 : 100.0;
    EXPECT_DOUBLE_EQ(objects[cockpitObjects[0]].z, camera_z + depth);
    EXPECT_DOUBLE_EQ(objects[cockpitObjects[0]].y, camera_y - 129.0);
    EXPECT_DOUBLE_EQ(objects[cockpitObjects[1]].x, camera_x + 1.0);
    EXPECT_DOUBLE_EQ(objects[cockpitObjects[1]].z, camera_z + depth);
  }
}

TEST_F(Status, MessagesFollowTheirThresholds) {
  start(1);
  struct Case {
    const char* what;
    int appearing, over, bonus, grace, ending, lvl;
    double extraLife;
    std::vector<int> messages;
  } const cases[] = {
      {"arriving", 1, 0, 0, 2, 0, 1, 0.0, {10}},
      {"arrived", 1, 0, 0, 1, 0, 1, 0.0, {}},
      {"flying", 0, 0, 0, 290, 0, 1, 0.0, {}},
      {"game over", 1, 1, 0, 6, 0, 1, 0.0, {2}},
      {"game over, last steps", 1, 1, 0, 5, 0, 1, 0.0, {}},
      {"final bonus, first part", 1, 1, 1, 790, 0, 20, 0.0, {12, 13}},
      {"final bonus, at 301", 1, 1, 1, 301, 0, 20, 0.0, {12, 13}},
      {"final bonus, at 300", 1, 1, 1, 300, 0, 20, 0.0, {}},
      {"final bonus, at 299", 1, 1, 1, 299, 0, 20, 0.0, {2, 11}},
      {"final bonus, at 6", 1, 1, 1, 6, 0, 20, 0.0, {2, 11}},
      {"final bonus, at 5", 1, 1, 1, 5, 0, 20, 0.0, {}},
      {"level end", 0, 0, 0, 0, 1, 4, 0.0, {17, 15}},
      {"level 19 ends", 0, 0, 0, 0, 1, 19, 0.0, {17, 16}},
      {"extra life", 0, 0, 0, 290, 0, 1, 1.0, {14}},
      {"extra life while arriving", 1, 0, 0, 290, 0, 1, 100.0, {10, 14}},
  };
  for (const Case& c : cases) {
    shipAppearing = c.appearing;
    gameOver = c.over;
    finalBonusGiven = c.bonus;
    graceCounter = c.grace;
    levelEnding = c.ending;
    level = c.lvl;
    extraLifeTimer = c.extraLife;
    int numbers[8];
    const int n = StatusMessages(numbers);
    EXPECT_EQ(std::vector<int>(numbers, numbers + n), c.messages) << c.what;
    // The frame draws the lives first, then the same messages.
    draw();
    std::vector<int> expected = {18};
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(drawnMessages(), expected) << c.what;
  }
}

TEST_F(Status, ADemoShowsTheCreditsLineAndNoMessagesButTheLives) {
  start(1);
  attractPlaying = 1;
  shipAppearing = 1;
  graceCounter = 100;
  extraLifeTimer = 50.0;
  draw();
  EXPECT_EQ(drawnMessages(), std::vector<int>{18});
  EXPECT_EQ(count(TEXT_COLOUR, 65, 50, 200, 30), 0) << "no credits line due";
  creditsText = "1234";
  draw();
  EXPECT_GT(count(TEXT_COLOUR, 65, 50, 200, 30), 0);
}

TEST_F(Status, PanelScoreAndLaneNumberInTheirRectangles) {
  start(1);
  hideMaps = 0;
  draw();
  // The panel picture stretched over the top 27 rows, the score over it in its box.
  EXPECT_EQ(count(PANEL_COLOUR, 0, 0, 320, 27) + count(TEXT_COLOUR, 5, 6, 50, 10), 320 * 27);
  EXPECT_GT(count(TEXT_COLOUR, 5, 6, 50, 10), 0);
  EXPECT_EQ(count(PANEL_COLOUR, 0, 27, 320, 173), 0);
  // The scanner picture over its rectangle, the blips in the lane maps seen through it, the lane
  // number in its box.
  EXPECT_EQ(count(SCANNER_COLOUR, 0, 149, 320, 6), 320 * 6);
  EXPECT_EQ(count(SCANNER_COLOUR, 0, 160, 320, 30), 0);
  EXPECT_GT(count(BLIP_COLOUR, 7, 175, 97, 23), 0) << "lane 1";
  EXPECT_GT(count(BLIP_COLOUR, 112, 175, 97, 23), 0) << "lane 2";
  EXPECT_GT(count(BLIP_COLOUR, 217, 175, 97, 23), 0) << "lane 3";
  EXPECT_EQ(count(BLIP_COLOUR, 0, 0, 320, 175), 0);
  EXPECT_EQ(count(TEXT_COLOUR, 156, 163, 8, 8), 64);
  paused = 1;
  draw();
  EXPECT_EQ(drawnMessages().front(), 9);
}

TEST_F(Status, NothingButTheWorldWithoutALevel) {
  // Before any game: nothing is drawn, no message, no hook.
  draw();
  EXPECT_EQ(count(0xAB), frame_->width * frame_->height);
  EXPECT_TRUE(drawnMessages().empty());
  // After StopGame (the name entry after a game): the same.
  start(1);
  StopGame();
  paused = 1;
  creditsText = "1";
  attractPlaying = 1;
  draw();
  EXPECT_EQ(count(0xAB), frame_->width * frame_->height);
  EXPECT_TRUE(drawnMessages().empty());
}

TEST_F(Status, RectanglesFollowTheFrameAndTheClearUsesItsCurrentSize) {
  zr_dsp_set_screen_size(1280, 1024);
  zr_dsp_resize(frame_, nullptr, 320, 200);
  ASSERT_EQ(frame_->width, 640);
  NewGame();
  ASSERT_EQ(exit_status([] { StartLevel("level\\level1.txt", 639, 399); }), -1);
  EXPECT_EQ(LaneMap(2).x, 224);
  EXPECT_EQ(LaneMap(2).y, 350);
  EXPECT_EQ(LaneMap(2).w, 180);
  EXPECT_EQ(LaneMap(2).h, 32);
  hideMaps = 0;
  draw();
  EXPECT_EQ(count(0xAB), 0);
  EXPECT_EQ(count(SCANNER_COLOUR, 0, 298, 640, 12), 640 * 12);
  EXPECT_EQ(count(TEXT_COLOUR, 312, 326, 16, 16), 256) << "the lane number at twice its size";

  // Leaving high resolution after the level started: everything follows the smaller frame.
  zr_dsp_resize(frame_, nullptr, -320, -200);
  ASSERT_EQ(frame_->width, 320);
  EXPECT_EQ(LaneMap(2).x, 112);
  EXPECT_EQ(LaneMap(2).h, 16);
  draw();
  EXPECT_EQ(count(0xAB), 0);
  EXPECT_EQ(count(PANEL_COLOUR, 0, 0, 320, 27) + count(TEXT_COLOUR, 5, 6, 50, 10), 320 * 27);

  // The next level starts the blips at their base size, adapted to the frame as it is then.
  zr_dsp_resize(frame_, nullptr, 320, 200);
  level = 2;
  ASSERT_EQ(exit_status([] { StartLevel("level\\level2.txt", 639, 399); }), -1);
  EXPECT_EQ(LaneMap(1).x, 14);
  draw();
  EXPECT_EQ(count(0xAB), 0);
}

}  // namespace
