// The life of the world after a level has loaded: objects and their cell lists, private
// animations, the per-step animation ticks and the heights of cells' faces.
#pragma once

constexpr int MAX_CREATED_OBJECT = 997;  // create_object refuses index 998 and above

int create_object(int sprite, double x, double y, double z);
void complete_object(int object);
void move_object(int object, double x, double y, double z);
void relink_objects(int first);
void asign_animation_to_object(int object, int animation, int repeats, int first_frame);

void tick_animated_bitmaps(double dt);
void tick_moving_cells(double dt);
void tick_animated_objects(double dt);
// Lets the ticks report their level's faults again (a level is loading).
void reset_object_reports();

// Height of the up or down face of the cell under (x, z); 0 outside the world or on an empty cell.
double up_face_height(double x, double z);
double down_face_height(double x, double z);
