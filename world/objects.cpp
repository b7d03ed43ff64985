#include "world/objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "world/level_def.h"
#include "world/world_error.h"

namespace {

bool moving_cell_reported = false;  // a wrong moving cell is reported once per level

// Truncates towards zero, keeping values that no world can reach (and NaN) far outside it.
int32_t cell_index(double v) {
  if (!(v > -1e6)) return -1000000;
  if (v > 1e6) return 1000000;
  return static_cast<int32_t>(v);
}

int16_t to_int16(double v) {
  if (!(v > -32768.0)) return -32768;
  if (v > 32767.0) return 32767;
  return static_cast<int16_t>(v);
}

bool inside_world(int32_t column, int32_t row) {
  return row >= 0 && row < world_rows && column >= 0 && column < world_columns;
}

CellObjects& cell_list(int32_t column, int32_t row) {
  return tiles_obj[static_cast<size_t>(row) * world_columns + column];
}

int listed_cells(int width) {
  return width / cell_size + 2;
}

void remove_from_lists(int object) {
  const WorldObject& o = objects[object];
  int n = listed_cells(o.placed_width);
  for (int i = 0; i < n; ++i) {
    int32_t column = o.first_column + i;
    if (!inside_world(column, o.row)) continue;
    CellObjects& list = cell_list(column, o.row);
    for (int k = 0; k < list.count; ++k) {
      if (list.ids[k] != object) continue;
      std::memmove(&list.ids[k], &list.ids[k + 1], (list.count - k - 1) * sizeof(int16_t));
      --list.count;
      break;
    }
  }
}

void show_frame(AnimatedBitmap& a) {
  int frame = a.frames[a.current_frame];
  if (a.kind == 0) {
    Bitmap& target = bitmap_index[a.target];
    const Bitmap& source = bitmap_index[frame];
    target.offset = source.offset;
    target.has_transparent = source.has_transparent;
    target.blend_table = source.blend_table;
    target.hash_flag = source.hash_flag;
  } else {
    SpriteBitmap& target = sprite_bitmap_index[a.target];
    const SpriteBitmap& source = sprite_bitmap_index[frame];
    target.height = source.height;
    target.width = source.width;
    target.pixels = source.pixels;
    target.blend_table = source.blend_table;
  }
}

void count_repeat(AnimatedBitmap& a) {
  if (a.repeats > 0) --a.repeats;
  if (a.owner_object != -1) Object_EStuff[a.owner_object].repeats_left = a.repeats;
}

void set_face_heights(int16_t* heights, double height) {
  int16_t h = to_int16(height);
  for (int i = 0; i < 4; ++i) heights[i] = h;
}

double face_height(double x, double z, bool up) {
  int32_t row = cell_index(z / cell_size);
  int32_t column = cell_index(x / cell_size);
  if (!inside_world(column, row)) return 0.0;
  const Cell& c = world[static_cast<size_t>(row) * world_columns + column];
  if (c.tile == 0) return 0.0;
  const int16_t* h = up ? c.up_face_heights : c.down_face_heights;
  double fx = cell_index(x) % cell_size;
  double fz = cell_index(z) % cell_size;
  if (h[0] == h[1] && h[1] == h[2]) return h[0];
  if (h[0] == h[1]) return h[0] + (h[2] - h[0]) * fx / cell_size;
  return h[1] + (h[0] - h[1]) * fz / cell_size;
}

}  // namespace

int create_object(int sprite, double x, double y, double z) {
  if (last_object + 1 > MAX_CREATED_OBJECT) world_fatal(0, "I cant create more objects\n\n");
  int index = ++last_object;
  WorldObject& o = objects[index];
  o = WorldObject{};
  o.sprite = static_cast<int16_t>(sprite);
  complete_object(index);
  o.first_column = OBJECT_NOT_LISTED;
  o.mirror_h = 0;
  o.mirror_v = 0;
  o.tint = 0;
  o.brightness = 15;
  o.placed_width = o.size_h;
  Object_EStuff[index].private_sprite_bitmap = -1;
  move_object(index, x, y, z);
  return index;
}

void complete_object(int object) {
  WorldObject& o = objects[object];
  if (o.sprite < 0 || o.sprite > MAX_SPRITE_NUMBER || !sprites[o.sprite].defined)
    world_fatal(0, "Sprite is NOT defined!!! -> %i", o.sprite);
  const Sprite& s = sprites[o.sprite];
  o.sprite_bitmap = s.sprite_bitmap;
  o.size_v = s.size_v;
  o.size_h = s.size_h;
  o.blend_table = s.blend_table;
  std::memcpy(o.values, s.values, sizeof o.values);
}

void move_object(int object, double x, double y, double z) {
  WorldObject& o = objects[object];
  // Taken out of the cells it was put in, whatever its width is now.
  if (o.first_column != OBJECT_NOT_LISTED) remove_from_lists(object);
  o.x = x;
  o.y = y;
  o.z = z;
  o.placed_width = o.size_h;
  int n = listed_cells(o.size_h);
  int32_t h = (o.size_h + 1) / 2;
  int32_t row = cell_index(z / cell_size);
  int32_t first = cell_index((x - h) / cell_size);
  o.row = to_int16(row);
  o.first_column = to_int16(first);
  for (int i = 0; i < n; ++i) {
    int32_t column = first + i;
    if (!inside_world(column, row)) continue;
    CellObjects& list = cell_list(column, row);
    if (list.count < CELL_OBJECTS_MAX) list.ids[list.count++] = static_cast<int16_t>(object);
  }
}

void relink_objects(int first) {
  size_t cells = static_cast<size_t>(world_columns) * world_rows;
  for (size_t i = 0; i < cells; ++i) tiles_obj[i].count = 0;
  for (int i = std::max(first, 0); i <= last_object; ++i) {
    WorldObject& o = objects[i];
    o.placed_width = o.size_h;
    o.first_column = OBJECT_NOT_LISTED;
    move_object(i, o.x, o.y, o.z);
  }
}

void asign_animation_to_object(int object, int animation, int repeats, int first_frame) {
  if (object < 0 || object >= MAX_OBJECTS)
    world_fatal(0, "Wrong object number ( asign_animation_to_object ) -> %i", object);
  if (animation < 0 || animation >= num_animated_bitmaps ||
      animated_bitmap_index[animation].kind != 1)
    world_fatal(0, "Wrong sprite animation number ( asign_animation_to_object ) -> %i", animation);
  ObjectEStuff& e = Object_EStuff[object];
  if (e.private_sprite_bitmap == -1) {
    if (num_sprite_bitmaps + 1 >= MAX_SPRITE_BITMAPS)
      world_fatal(0, "Too many Sprite Bitmaps! ( asign_animation_to_object )");
    if (num_animated_bitmaps + 1 >= MAX_ANIMATED_BITMAPS)
      world_fatal(0, "Too many animated Bitmaps! ( asign_animation_to_object )");
    e.private_sprite_bitmap = static_cast<int16_t>(num_sprite_bitmaps++);
    e.private_animation = static_cast<int16_t>(num_animated_bitmaps++);
  }
  e.repeats_left = static_cast<int16_t>(repeats);

  const AnimatedBitmap& shared = animated_bitmap_index[animation];
  int frame = std::clamp(first_frame, 0, shared.frame_count - 1);
  AnimatedBitmap& a = animated_bitmap_index[e.private_animation];
  if (&a != &shared) a = shared;
  a.kind = 1;
  a.current_frame = static_cast<uint8_t>(frame);
  a.target = e.private_sprite_bitmap;
  a.countdown = a.delays[frame];
  a.active = 1;
  a.backwards = 0;
  a.repeats = static_cast<int16_t>(repeats);
  a.owner_object = static_cast<int16_t>(object);

  SpriteBitmap& s = sprite_bitmap_index[e.private_sprite_bitmap];
  const SpriteBitmap& picture = sprite_bitmap_index[a.frames[frame]];
  s.height = picture.height;
  s.width = picture.width;
  s.pixels = picture.pixels;
  s.blend_table = picture.blend_table;
  s.owns_pixels = 0;
  s.animation = e.private_animation;
  objects[object].sprite_bitmap = e.private_sprite_bitmap;
}

void tick_animated_bitmaps(double dt) {
  for (int i = 0; i < num_animated_bitmaps; ++i) {
    AnimatedBitmap& a = animated_bitmap_index[i];
    if (!a.active) continue;
    a.countdown -= dt;
    if (a.countdown >= 0) continue;
    int next;
    if (!a.backwards) {
      next = a.current_frame + 1;
      if (next >= a.frame_count) {
        if (a.ping_pong) {
          a.backwards = 1;
          next = std::max(a.frame_count - 2, 0);
        } else {
          count_repeat(a);
          next = a.repeats == 0 ? a.frame_count - 1 : 0;
        }
      }
    } else {
      next = a.current_frame - 1;
      if (next < 0) {
        a.backwards = 0;
        count_repeat(a);
        // A one-frame animation has no frame 1 to turn to.
        next = a.repeats != 0 ? std::min(1, a.frame_count - 1) : 0;
      }
    }
    a.current_frame = static_cast<uint8_t>(next);
    a.countdown = a.delays[next] - a.countdown;
    show_frame(a);
  }
}

void tick_moving_cells(double dt) {
  for (int i = 0; i < num_mov_cells; ++i) {
    MovingCell& m = mov_cell_index[i];
    if (!inside_world(m.x, m.z)) continue;
    Cell& c = world[static_cast<size_t>(m.z) * world_columns + m.x];
    if (m.timer_b != TIMER_NOT_STARTED) {
      m.timer_b -= dt;
      if (m.timer_b < 0) {
        m.timer_b = TIMER_NOT_STARTED;
        m.current_frame = static_cast<uint8_t>((m.current_frame + 1) % m.frame_count);
      }
      continue;
    }
    if (m.timer_a == TIMER_NOT_STARTED) {
      m.timer_a = m.mode == 2 ? m.down_face : m.up_face;
      set_face_heights(c.up_face_heights, m.up_face);
      set_face_heights(c.down_face_heights, m.down_face);
      continue;
    }
    double target = m.heights[m.current_frame];
    double step = m.speeds[m.current_frame] * dt * 0.1;
    bool arrived;
    if (m.timer_a < target) {
      m.timer_a += step;
      arrived = m.timer_a >= target;
    } else {
      m.timer_a -= step;
      arrived = m.timer_a <= target;
    }
    if (arrived) {
      m.timer_a = target;
      m.timer_b = m.delays[m.current_frame];
    }
    c.tile = m.tile;
    int span = m.up_face - m.down_face;
    if (m.mode == 0 || m.mode == 1) set_face_heights(c.up_face_heights, m.timer_a);
    if (m.mode == 0 || m.mode == 2) set_face_heights(c.down_face_heights, m.timer_a - span);
    if (span < 0 && !moving_cell_reported) {
      moving_cell_reported = true;  // once per level, not on every step
      world_error("The height of a moving cell is wrong!");
    }
  }
}

void reset_object_reports() {
  moving_cell_reported = false;
}

void tick_animated_objects(double dt) {
  for (int i = 0; i < num_ani_objects; ++i) {
    AnimatedObject& a = Ani_Objects_Index[i];
    if (a.wait != 0.0 && a.wait != TIMER_NOT_STARTED) {
      a.wait -= dt;
      if (a.wait < 0) a.wait = 0.0;
      continue;
    }
    const WorldObject& o = objects[a.object];
    a.leg_left -= dt;
    int leg = a.current_frame;
    if (a.leg_left > 0) {
      move_object(a.object, o.x + a.step_x[leg] * dt, o.y + a.step_y[leg] * dt,
                  o.z + a.step_z[leg] * dt);
      continue;
    }
    a.wait = a.delays[leg];
    a.current_frame = static_cast<uint8_t>((leg + 1) % a.frame_count);
    int point = a.current_frame;
    a.leg_left = a.leg_time[point];
    move_object(a.object, a.xs[point], a.ys[point], a.zs[point]);
  }
}

double up_face_height(double x, double z) {
  return face_height(x, z, true);
}
double down_face_height(double x, double z) {
  return face_height(x, z, false);
}
