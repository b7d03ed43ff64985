// Everything in a level besides the ship: the pools of objects made at every level start, the
// layout of each level's enemies, and the step of the enemy slots, the UFO, the pop pods and the
// walkers.
#pragma once
#include <cstdint>
#include <span>

// One object of a level's layout.
struct LayoutEntry {
  int8_t pod;   // 1: a pop pod slot, 0: an enemy slot
  int8_t slot;  // index into its pool
  int8_t lane;  // 1..3
  int16_t dx, dy;
  int16_t typeCode;  // 0: keep the pool's type
  char code;         // 0: keep the default row 'b'
  int8_t moveKind;
  int8_t loop;  // 0 none, 1 spr_tank, 2 spr_sleda (started looped)
  int8_t direction;

  constexpr LayoutEntry type(int t, char c) const {
    LayoutEntry e = *this;
    e.typeCode = int16_t(t);
    e.code = c;
    return e;
  }
  constexpr LayoutEntry row(char c) const {
    LayoutEntry e = *this;
    e.code = c;
    return e;
  }
  constexpr LayoutEntry kind(int k) const {
    LayoutEntry e = *this;
    e.moveKind = int8_t(k);
    return e;
  }
  constexpr LayoutEntry tank() const {
    LayoutEntry e = *this;
    e.loop = 1;
    return e;
  }
  constexpr LayoutEntry sled() const {
    LayoutEntry e = *this;
    e.loop = 2;
    return e;
  }
  constexpr LayoutEntry dir1() const {
    LayoutEntry e = *this;
    e.direction = 1;
    return e;
  }
};

constexpr int LEVEL_COUNT = 20;
// The layout of a level (1..20); empty outside.
std::span<const LayoutEntry> LevelLayout(int levelNumber);

// Creates every pool's objects, hidden and inactive, and finds the start object (type 100);
// false when the level has none.
bool CreatePools();
// The level's enemies and pods by the layout table, then the promotion by level.
void CreateLevelEnemies();
// The five walkers of every level.
void PlaceWalkers();

// Each returns after its pool's step; UpdateEnemies stops at a collision with the ship.
void UpdateEnemies();
void UpdateUfo();
void UpdatePods();
void UpdateWalkers();
