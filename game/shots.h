// The ship's lasers, the enemies' shots, the three box tests that decide every hit, and firing.
#pragma once

// (laser, enemy or UFO), and (ship, walker).
bool LaserHitTest(int a, int b);
// (ship, enemy, pod or enemy shot); false while the ship is invulnerable.
bool ShipHitTest(int a, int b);
// (pod, laser).
bool PodHitTest(int a, int b);

void UpdateLasers();
void UpdateEnemyShots();

struct EnemySlot;
struct Ufo;
// Each checks its own range; the caller has checked the other conditions.
void EnemyFire(EnemySlot& enemy);
void UfoFire();
void PodFire(EnemySlot& pod);

// Velocity of a shot of speed 2 aimed along (l, dy); straight along -x when both are 0.
void AimShot(double l, double dy, double& velocityX, double& velocityY);
