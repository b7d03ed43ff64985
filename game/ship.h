// The player's ship: thrust and reversal, climbing and descending, jet turns between the three
// lanes, firing, the landscape loop, hits and the respawn at the level's start.
#pragma once
#include <cstdint>

// The ship's part of the game step: its controls (when steerable) and its motion, up to the
// placing of its shadow.
void ShipStep(const uint8_t* controls);
void FireLaser();
void ShipHit();
void RespawnShip();
// Clears the ship's explosion, jet turn and transition (new games and level starts).
void ResetShipState();
