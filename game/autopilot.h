// A player program: it reads the game's state every step of play and sets player 1's eight
// control bytes as a careful player would: it picks the nearest enemy or pod across the three
// lanes, jet-turns to its lane, lines up the laser's height, faces it at a firing distance and
// fires; it climbs or dives out of the way of enemy shots and of enemies it would ram, and it
// picks up a walker when one lies on its way. It uses nothing but the game's state, so a run
// is as repeatable as the game.
#pragma once
#include <cstdint>

// Forgets the target and the counts (a new game).
void ResetAutopilot();
// One step's controls, in the order up, down, left, right, buttons 1 to 4.
void AutopilotControls(uint8_t* controls);
// Hits the ship took since the reset, or, while it is invulnerable, the hits it would have
// taken: an enemy, pod or shot that comes to overlap it the way a hit needs, counted once per
// life (the hits of the explosion and the new arrival that would follow are not counted).
int AutopilotHits();
