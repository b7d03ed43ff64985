#include "game/enemies.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/core/random.h"
#include "engine/sound/sound.h"
#include "game/game_state.h"
#include "game/ship.h"
#include "game/shots.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"

namespace {

constexpr LayoutEntry E(int slot, int laneNumber, int dx, int dy) {
  return LayoutEntry{0, int8_t(slot), int8_t(laneNumber), int16_t(dx), int16_t(dy), 0, 0, 0, 0, 0};
}
constexpr LayoutEntry P(int slot, int laneNumber, int dx, int dy) {
  return LayoutEntry{1, int8_t(slot), int8_t(laneNumber), int16_t(dx), int16_t(dy), 0, 0, 0, 0, 0};
}

// clang-format off
constexpr LayoutEntry kLevel1[] = {
    E(1, 1, 300, 40),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).kind(2),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(9, 3, 0, 90),
    E(10, 3, 600, 30),
    E(14, 3, 700, 50).kind(2).dir1(),
    E(15, 3, -700, 125).dir1()};
constexpr LayoutEntry kLevel2[] = {
    E(1, 1, 300, 40),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    P(0, 1, 400, 70),
    E(5, 2, 500, 100).kind(2),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(9, 3, 0, 90),
    E(10, 3, 600, 30),
    E(14, 3, 700, 50).kind(2).dir1(),
    E(15, 3, -700, 125).dir1()};
constexpr LayoutEntry kLevel3[] = {
    E(1, 1, 300, 40),
    E(2, 1, -300, 25).dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).type(133, 'm').dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90),
    E(10, 3, 600, 30),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1()};
constexpr LayoutEntry kLevel4[] = {
    E(1, 1, 300, 40),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110).type(136, 'l'),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90),
    E(10, 3, 600, 30),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel5[] = {
    E(1, 1, 300, 40),
    E(2, 1, -300, 25).type(134, 'n').dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    P(0, 1, 400, 70),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('i').kind(5).sled().dir1(),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90),
    E(10, 3, 600, 30),
    E(14, 3, 700, 50).type(136, 'l').kind(5).dir1(),
    E(15, 3, -700, 125).row('i').sled().dir1(),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel6[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('i').kind(5).sled().dir1(),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(5).dir1(),
    E(15, 3, -700, 125).row('i').sled().dir1(),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel7[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(3).dir1(),
    E(15, 3, -700, 125).row('h').tank().dir1(),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel8[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90).type(134, 'n'),
    E(10, 3, 600, 30).type(134, 'n'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(134, 'n').kind(2).dir1(),
    E(15, 3, -700, 125).type(134, 'n').dir1(),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel9[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    P(0, 1, 400, 70),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('i').kind(5).sled().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(5).dir1(),
    E(15, 3, -700, 125).row('i').sled().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel10[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('i').kind(5).sled().dir1(),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(5).dir1(),
    E(15, 3, -700, 125).row('i').sled().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel11[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110).type(136, 'l'),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel12[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    P(0, 1, 400, 70),
    E(5, 2, -500, 110).type(135, 'o').kind(4),
    E(6, 2, -500, 310).type(135, 'o').kind(4),
    E(7, 2, -500, -110).type(135, 'o').kind(4),
    E(8, 2, -500, -410).type(135, 'o').kind(4),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel13[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel14[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(3).dir1(),
    E(15, 3, -700, 125).row('h').tank().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel15[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110).type(136, 'l'),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(134, 'n'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel16[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(135, 'o').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel17[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    P(0, 1, 400, 70),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(2).dir1(),
    E(15, 3, -700, 125).dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel18[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(3, 1, -250, 150).type(134, 'n'),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120).type(133, 'm'),
    P(0, 1, 400, 70),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110),
    E(13, 2, 100, 0).row('i').kind(5).sled().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(5).dir1(),
    E(15, 3, -700, 125).row('i').sled().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel19[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110).type(136, 'l'),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(3).dir1(),
    E(15, 3, -700, 125).row('h').tank().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};
constexpr LayoutEntry kLevel20[] = {
    E(1, 1, 300, 40).type(137, 'g'),
    E(2, 1, -300, 25).dir1(),
    E(4, 1, 600, 50).dir1(),
    E(11, 1, -500, 120),
    E(5, 2, 500, 100).type(136, 'l').kind(2),
    E(6, 2, 750, 150).dir1(),
    E(7, 2, 500, 70).type(133, 'm'),
    E(8, 2, 0, 90),
    E(12, 2, -500, 110).type(136, 'l'),
    E(13, 2, 100, 0).row('h').kind(3).tank().dir1(),
    E(16, 2, -500, 110).type(135, 'o').kind(4),
    P(1, 2, -650, 70),
    P(4, 2, 0, 70),
    P(5, 2, 200, 100),
    E(9, 3, 0, 90).type(137, 'g'),
    E(10, 3, 600, 30).type(137, 'g'),
    E(17, 3, -500, 110).type(138, 'j').kind(4),
    E(14, 3, 700, 50).type(136, 'l').kind(3).dir1(),
    E(15, 3, -700, 125).row('h').tank().dir1(),
    P(2, 3, -710, 70),
    P(3, 3, 710, 70)};

// clang-format on

constexpr std::array<std::span<const LayoutEntry>, LEVEL_COUNT> kLayouts = {
    kLevel1,  kLevel2,  kLevel3,  kLevel4,  kLevel5,  kLevel6,  kLevel7,
    kLevel8,  kLevel9,  kLevel10, kLevel11, kLevel12, kLevel13, kLevel14,
    kLevel15, kLevel16, kLevel17, kLevel18, kLevel19, kLevel20};

constexpr uint8_t DEFAULT_ROW = 'b';
constexpr int UFO_SHADOW = ENEMY_COUNT + POD_COUNT;
constexpr double X_HIGH = 2310.0, X_HIGH_PUT = 2309.0;
constexpr double X_LOW = 600.0, X_LOW_PUT = 601.0;
constexpr double Y_HIGH = 180.0, Y_HIGH_PUT = 179.0;
constexpr double FLYER_CLEARANCE = 20.0;
constexpr double CRAWLER_CLEARANCE = 2.0;
constexpr double DRIFT = 0.1;
constexpr int DRIFT_FLIP_STEPS = 100;
constexpr int POD_FLIP_STEPS = 80;
constexpr int16_t WANDER_STEPS = 400;
constexpr double SHADOW_OFFSET = 5.0;
constexpr double UFO_SPEED = 2.0;
constexpr double UFO_CLIMB = 0.5;
constexpr int UFO_PHASES = 300;
constexpr double UFO_START_X = 256.0;
constexpr double UFO_HEIGHT = 90.0;
constexpr double UFO_TURN_LOW = 300.0;
constexpr double UFO_TURN_MARGIN = 500.0;
constexpr double POD_OPEN_RANGE = 180.0;
constexpr double POD_FIRE_RANGE = 210.0;
constexpr int POD_OPEN_COOLDOWN = 40;
constexpr double WALKER_SPEED = 0.2;
constexpr double DEMO_WALKER_SPEED = 0.1;
constexpr int DEMO_WALKER_FLIP = 300;

int createHidden(int type) {
  return create_object(type, HIDDEN, HIDDEN, HIDDEN);
}

double laneZ(int laneNumber) {
  return startZ - (laneNumber - 1) * LANE_DEPTH;
}

// A random course of -2..2 (or the given range) as the C library's rand() % n - offset.
double randomCourse(int n, int offset) {
  return double(zr_rand() % n - offset);
}

void shadowOnGround(int shadow, double x, double z) {
  PlaceObject(shadow, x, GroundHeight(x, z) + 1.0, z - SHADOW_OFFSET);
}

void faceShip(int object) {
  SetFacing(object, shipX < objects[object].x ? 0 : 1);
}

bool inShipLane(int laneNumber) {
  return laneNumber == lane;
}

void limitX(EnemySlot& e, double& x) {
  if (x >= X_HIGH) {
    x = X_HIGH_PUT;
    e.counter = 0;
  } else if (x <= X_LOW) {
    x = X_LOW_PUT;
    e.counter = 0;
  }
}

void limitAltitude(EnemySlot& e, double x, double& y, double z) {
  const double floor = GroundHeight(x, z) + FLYER_CLEARANCE;
  if (y >= Y_HIGH) {
    y = Y_HIGH_PUT;
    e.counter = 0;
  } else if (y <= floor) {
    y = floor;
    e.counter = 0;
  }
}

void drift(EnemySlot& e, double& x, double& y, int flipSteps) {
  const double d = e.direction == 1 ? DRIFT : -DRIFT;
  x += d;
  y += d;
  if (++e.counter >= flipSteps) {
    e.counter = 0;
    e.direction = e.direction ? 0 : 1;
  }
}

void newCourse(EnemySlot& e, double vx, double vy) {
  e.counter = WANDER_STEPS;
  e.velocityX = vx;
  e.velocityY = vy;
}

int16_t chaseSteps() {
  return int16_t(std::max(30, 150 - 10 * level));
}

void moveFlyer(EnemySlot& e, double& x, double& y, double z, int courseX, int offsetX) {
  if (e.counter == 0) {
    const double vx = randomCourse(courseX, offsetX);
    const double vy = randomCourse(4, 2);
    newCourse(e, vx, vy);
  } else {
    --e.counter;
  }
  limitAltitude(e, x, y, z);
  x += e.velocityX;
  y += e.velocityY;
}

void moveChaser(EnemySlot& e, double& x, double& y, double z) {
  faceShip(e.object);
  if (!inShipLane(e.lane)) {
    moveFlyer(e, x, y, z, 4, 1);
    return;
  }
  if (e.counter == 0) {
    e.counter = chaseSteps();
    e.velocityX = shipX < x ? -3.0 : 3.0;
    e.velocityY = shipY < y ? -1.0 : 1.0;
  } else {
    --e.counter;
  }
  limitAltitude(e, x, y, z);
  x += e.velocityX;
  y += e.velocityY;
}

void moveGroundChaser(EnemySlot& e, double& x, double& y, double z) {
  faceShip(e.object);
  if (e.counter == 0) {
    if (inShipLane(e.lane)) {
      e.counter = chaseSteps();
      e.velocityX = shipX < x ? -2.0 : 2.0;
    } else {
      newCourse(e, randomCourse(5, 2), 0.0);
      SetFacing(e.object, e.velocityX >= 0.0 ? 1 : 0);
    }
    e.velocityY = 0.0;
  } else {
    --e.counter;
  }
  y = GroundHeight(x, z) + CRAWLER_CLEARANCE;
  x += e.velocityX;
}

void moveCrawler(EnemySlot& e, double& x, double& y, double z) {
  faceShip(e.object);
  if (e.counter == 0) {
    newCourse(e, randomCourse(5, 2), 0.0);
  } else {
    --e.counter;
  }
  y = GroundHeight(x, z) + CRAWLER_CLEARANCE;
  x += e.velocityX;
}

void moveEnemy(EnemySlot& e) {
  const WorldObject& o = objects[e.object];
  double x = o.x, y = o.y;
  const double z = o.z;
  switch (e.kind) {
    case 2:
      moveFlyer(e, x, y, z, 5, 2);
      break;
    case 3:
      moveCrawler(e, x, y, z);
      break;
    case 4:
      moveChaser(e, x, y, z);
      break;
    case 5:
      moveGroundChaser(e, x, y, z);
      break;
    default:
      drift(e, x, y, DRIFT_FLIP_STEPS);
      break;
  }
  limitX(e, x);
  PlaceObject(e.object, x, y, z);
}

// An explosion that has played out leaves the slot free and its shadow on the ground.
void finishExplosion(EnemySlot& e) {
  if (!AnimationFinished(e.object)) return;
  const WorldObject& o = objects[e.object];
  shadowOnGround(e.shadow, o.x, o.z);
  HideObject(e.object);
  e.state = SLOT_FREE;
}

// The ship flew into an enemy or a pod.
void rammed(EnemySlot& e) {
  PlaySound(sounds.expl1);
  AddScore(50, 65000);
  ++enemiesDestroyed;
  const WorldObject& o = objects[e.object];
  SetAnimation(e.object, anim.explode1, 1);
  PlaceObject(e.object, o.x, o.y - 25.0, o.z);
  objects[e.object].size_v = 110;
  objects[e.object].size_h = 110;
  e.state = SLOT_EXPLODING;
  ShipHit();
}

bool canFire(const EnemySlot& e) {
  return e.state == SLOT_ALIVE && transitionTimer == 0.0 && graceCounter == 0 &&
         inShipLane(e.lane) && e.fireCooldown == 0;
}

void ufoAppears() {
  ufoAppeared = 1;
  const int o = ufo.object;
  objects[o].sprite = TYPE_UFO;
  complete_object(o);
  SetAnimation(o, anim.ufoa, -1);
  const double z = lane == 1 ? startZ : laneZ(lane);
  PlaceObject(o, UFO_START_X, startY + UFO_HEIGHT, z);
  ufo.state = SLOT_ALIVE;
  ufo.direction = 1;
  ufo.lane = lane;
  shadowOnGround(ufo.shadow, UFO_START_X, z);
}

void ufoFlies() {
  if (ufo.fireCooldown >= 1) --ufo.fireCooldown;
  const WorldObject& o = objects[ufo.object];
  double x = o.x, y = o.y;
  const double climb = ufo.phase < UFO_PHASES / 2 ? UFO_CLIMB : -UFO_CLIMB;
  ufo.phase = (ufo.phase + 1) % UFO_PHASES;
  if (ufo.direction == 1) {
    x += UFO_SPEED;
    if (x > world_columns * cell_size - UFO_TURN_MARGIN) ufo.direction = 0;
  } else {
    x -= UFO_SPEED;
    if (x < UFO_TURN_LOW) ufo.direction = 1;
  }
  y += climb;
  PlaceObject(ufo.object, x, y, o.z);
  shadowOnGround(ufo.shadow, x, o.z);

  if (transitionTimer != 0.0 || graceCounter != 0) return;
  const double dx = std::fabs(shipX - x), dy = std::fabs(shipY + 15.0 - y);
  if (inShipLane(ufo.lane) && dx < 350.0 && dy < 350.0) {
    StartLoopSound(sounds.ufo3, ufoSoundOn);
  } else {
    StopLoopSound(sounds.ufo3, ufoSoundOn);
  }
  if (inShipLane(ufo.lane) && ufo.fireCooldown == 0 && dx < 250.0 && dy < 250.0) UfoFire();
}

void moveWalker(Walker& w) {
  const WorldObject& o = objects[w.object];
  double x = o.x;
  if (InGameplayDemo()) {
    if (++w.counter >= DEMO_WALKER_FLIP) {
      w.counter = 0;
      w.direction = w.direction ? 0 : 1;
    }
    x += w.direction ? DEMO_WALKER_SPEED : -DEMO_WALKER_SPEED;
  } else {
    if (w.counter == 0) {
      w.counter = WANDER_STEPS;
      const int v = zr_rand() % 5 - 2;
      w.velocityX = v > 0 ? WALKER_SPEED : v < 0 ? -WALKER_SPEED : 0.0;
    } else {
      --w.counter;
    }
    if (x >= X_HIGH) {
      x = X_HIGH_PUT;
      w.counter = 0;
    } else if (x <= X_LOW) {
      x = X_LOW_PUT;
      w.counter = 0;
    }
  }
  x += w.velocityX;
  PlaceObject(w.object, x, GroundHeight(x, o.z) + 1.0, o.z);
}

}  // namespace

std::span<const LayoutEntry> LevelLayout(int levelNumber) {
  if (levelNumber < 1 || levelNumber > LEVEL_COUNT) return {};
  return kLayouts[size_t(levelNumber - 1)];
}

bool CreatePools() {
  shipObject = 0;
  for (int i = 1; objects != nullptr && i <= last_object; ++i) {
    if (objects[i].sprite == TYPE_START) {
      shipObject = i;
      break;
    }
  }
  if (shipObject == 0) return false;
  startX = shipX = objects[shipObject].x;
  startY = shipY = objects[shipObject].y;
  startZ = shipZ = objects[shipObject].z;

  for (Laser& l : lasers) l = Laser{int16_t(createHidden(TYPE_LASER)), SLOT_FREE, 0};
  for (EnemyShot& s : enemyShots)
    s = EnemyShot{int16_t(createHidden(TYPE_ENEMY_SHOT)), SLOT_FREE, 0.0, 0.0};
  for (EnemySlot& e : enemies) {
    e = EnemySlot{};
    e.object = int16_t(createHidden(TYPE_ENEMY));
    e.code = DEFAULT_ROW;
  }
  ufo = Ufo{};
  ufo.object = int16_t(createHidden(TYPE_UFO));
  for (EnemySlot& p : pods) {
    p = EnemySlot{};
    p.object = int16_t(createHidden(TYPE_POD));
    p.code = DEFAULT_ROW;
  }
  for (Walker& w : walkers) {
    w = Walker{};
    w.object = int16_t(createHidden(TYPE_WALKER));
  }
  for (int16_t& s : shadows) s = int16_t(createHidden(TYPE_SHADOW));
  for (int i = 0; i < ENEMY_COUNT; ++i) enemies[size_t(i)].shadow = shadows[size_t(i)];
  for (int i = 0; i < POD_COUNT; ++i) pods[size_t(i)].shadow = shadows[size_t(ENEMY_COUNT + i)];
  ufo.shadow = shadows[UFO_SHADOW];
  shipShadowObject = createHidden(TYPE_SHIP_SHADOW);
  cockpitObjects[0] = int16_t(createHidden(TYPE_COCKPIT_GLASS));
  cockpitObjects[1] = int16_t(createHidden(TYPE_COCKPIT_PLATE));
  return true;
}

void CreateLevelEnemies() {
  enemiesTotal = 0;
  podCount = 0;
  for (const LayoutEntry& entry : LevelLayout(level)) {
    EnemySlot& e = entry.pod ? pods[size_t(entry.slot)] : enemies[size_t(entry.slot)];
    const int o = e.object;
    if (entry.typeCode != 0) {
      objects[o].sprite = entry.typeCode;
      complete_object(o);
    }
    if (entry.code != 0) e.code = uint8_t(entry.code);
    if (entry.loop == 1) SetAnimation(o, anim.tank, -1);
    if (entry.loop == 2) SetAnimation(o, anim.sleda, -1);
    const double x = startX + entry.dx, y = startY + entry.dy, z = laneZ(entry.lane);
    PlaceObject(o, x, y, z);
    e.state = SLOT_ALIVE;
    e.direction = entry.direction;
    e.lane = entry.lane;
    PlaceObject(e.shadow, x, y, z - SHADOW_OFFSET);
    if (entry.moveKind != 0) e.kind = entry.moveKind;
    e.open = 0;
    ++enemiesTotal;
    if (entry.pod) ++podCount;
  }
  for (EnemySlot& e : enemies) {
    if (e.kind == 3 || e.kind == 4 || e.kind == 5) continue;
    if (level >= 3 && e.lane == 3) e.kind = 2;
    if (level >= 5 && e.lane == 2) e.kind = 2;
  }
}

void PlaceWalkers() {
  struct Placement {
    double dx;
    int laneNumber;
    int16_t direction;
  };
  constexpr Placement kWalkers[] = {
      {-200.0, 1, 1}, {300.0, 1, 0}, {280.0, 2, 0}, {-500.0, 3, 0}, {500.0, 3, 0}};
  for (int i = 0; i < 5; ++i) {
    Walker& w = walkers[size_t(i + 1)];
    PlaceObject(w.object, startX + kWalkers[i].dx, startY, laneZ(kWalkers[i].laneNumber));
    w.state = SLOT_ALIVE;
    w.lane = kWalkers[i].laneNumber;
    w.direction = kWalkers[i].direction;
  }
}

void UpdateEnemies() {
  for (EnemySlot& e : enemies) {
    if (e.state == SLOT_EXPLODING) {
      finishExplosion(e);
      continue;
    }
    if (e.state != SLOT_ALIVE) continue;
    if (e.fireCooldown > 0) --e.fireCooldown;
    moveEnemy(e);
    shadowOnGround(e.shadow, objects[e.object].x, objects[e.object].z);
    if (inShipLane(e.lane) && ShipHitTest(shipObject, e.object)) {
      rammed(e);
      return;
    }
    if (e.kind != 4 && canFire(e)) EnemyFire(e);
  }
}

void UpdateUfo() {
  if (level >= 2 && ufoClock >= 2000.0 - 100.0 * level && !ufoAppeared) ufoAppears();
  if (ufo.state == SLOT_ALIVE) {
    ufoFlies();
  } else if (ufo.state == SLOT_EXPLODING && AnimationFinished(ufo.object)) {
    const WorldObject& o = objects[ufo.object];
    shadowOnGround(ufo.shadow, o.x, o.z);
    HideObject(ufo.object);
    ufo.state = SLOT_FREE;
    StopLoopSound(sounds.ufo3, ufoSoundOn);
    ufoClock = 0.0;
    ufoAppeared = 0;
  }
}

void UpdatePods() {
  for (EnemySlot& p : pods) {
    if (p.state == SLOT_EXPLODING) {
      finishExplosion(p);
      continue;
    }
    if (p.state != SLOT_ALIVE) continue;
    if (p.fireCooldown > 0) --p.fireCooldown;
    const WorldObject& o = objects[p.object];
    double x = o.x, y = o.y;
    drift(p, x, y, POD_FLIP_STEPS);
    PlaceObject(p.object, x, y, o.z);
    shadowOnGround(p.shadow, x, o.z);
    if (!inShipLane(p.lane)) continue;
    if (ShipHitTest(shipObject, p.object)) {
      rammed(p);
      continue;
    }
    // Opening and closing are decided in the ship's lane only; elsewhere a pod keeps its state.
    const double dx = std::fabs(shipX - x), dy = std::fabs(shipY - y);
    if (!p.open) {
      faceShip(p.object);
      if (dx < POD_OPEN_RANGE && dy < POD_OPEN_RANGE) {
        p.open = 1;
        p.fireCooldown = POD_OPEN_COOLDOWN;
        SetAnimation(p.object, anim.popa, -1);
      }
    } else if (dx > POD_OPEN_RANGE) {
      p.open = 0;
      SetAnimation(p.object, anim.popc, -1);
    }
    if (p.open && canFire(p) && dx < POD_FIRE_RANGE && dy < POD_FIRE_RANGE) PodFire(p);
  }
}

void UpdateWalkers() {
  for (Walker& w : walkers) {
    if (w.state != SLOT_ALIVE) continue;
    moveWalker(w);
    if (LaserHitTest(shipObject, w.object)) {
      PlaySound(sounds.menu);
      AddScore(75, 65000);
      HideObject(w.object);
      w.state = SLOT_FREE;
    }
  }
}
