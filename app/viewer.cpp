#include "app/viewer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/display/snapshot.h"
#include "engine/platform/clock.h"
#include "engine/platform/messages.h"
#include "world/background.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"
#include "world/renderer.h"
#include "world/transparency.h"
#include "world/world_error.h"

namespace {

constexpr int LEVEL_KEY_SIZE = 256;
constexpr int START_SPRITE = 100;        // the ship's object marks the level's start
constexpr double CAMERA_HEIGHT = 150.0;  // the game's camera: above and behind the ship
constexpr double CAMERA_BEHIND = 280.0;
constexpr double STEP_TIME = 0.9;     // animation time per 10 ms game step
constexpr double CAMERA_SPEED = 2.0;  // world units per step while a key is held
constexpr uint32_t STEP_MS = 10;
constexpr int MAX_STEPS_PER_FRAME = 20;

struct ViewerFrame {
  ZR_BITMAP own{};  // used when the display has no frame buffer (headless)
  ZR_BITMAP* bitmap = nullptr;
  uint8_t* pixels = nullptr;  // what the engine was last set up for
  int16_t width = 0, height = 0;
};

// Points the world engine at the frame buffer and sets the view and the renderer up for its size.
void fit_engine_to_frame(ViewerFrame& frame) {
  ZR_BITMAP* b = frame.bitmap;
  if (b->pixels == frame.pixels && b->width == frame.width && b->height == frame.height) return;
  set_frame_target(b->pixels, b->width - 1, b->height - 1);
  set_view(b->height - 1, b->width - 1);
  init_engine();
  set_level_drawing_parameters();
  frame.pixels = b->pixels;
  frame.width = b->width;
  frame.height = b->height;
}

bool open_frame(ViewerFrame& frame) {
  ZR_BITMAP* display = zr_dsp_frame_buffer();
  if (display != nullptr && display->pixels != nullptr && display->width > 0 &&
      display->height > 0) {
    frame.bitmap = display;
    return true;
  }
  const ZR_RECT rect{0, 0, ZR_DSP_BASE_WIDTH, ZR_DSP_BASE_HEIGHT};
  if (!zr_bitmap_create(&frame.own, &rect)) return false;
  std::memset(frame.own.pixels, 0, size_t(frame.own.width) * frame.own.height);
  frame.bitmap = &frame.own;
  return true;
}

// The palette of the game's pictures, when start-up has not set one (headless runs).
void ensure_palette() {
  if (zr_pal_is_set()) return;
  char name[LEVEL_KEY_SIZE];
  if (!zr_io_get_string("Application", "PALFile", name, sizeof name, "DATA\\TEXTS.TXT")) return;
  uint8_t* palette = zr_pal_load(name);
  if (palette == nullptr) return;
  zr_pal_set(palette);
  zr_pal_free(palette);
}

// Where the game puts the camera at a level start: behind and above the start object.
void start_camera(double& x, double& y, double& z) {
  x = world_columns * cell_size / 2.0;
  z = world_rows * cell_size;
  for (int i = 1; objects != nullptr && i <= last_object && i < MAX_OBJECTS; ++i) {
    if (objects[i].sprite == START_SPRITE) {
      x = objects[i].x;
      z = objects[i].z;
      break;
    }
  }
  y = CAMERA_HEIGHT;
  z += CAMERA_BEHIND;
}

void draw_frame(ViewerFrame& frame, double x, double y, double z, bool overlay) {
  fit_engine_to_frame(frame);
  if (background_scaled_exists) {
    draw_background(x, y);
  } else {
    std::memset(frame.bitmap->pixels, 0, size_t(frame.bitmap->width) * frame.bitmap->height);
  }
  draw_world(x, y, z, overlay);
}

void tick_world() {
  tick_animated_bitmaps(STEP_TIME);
  tick_moving_cells(STEP_TIME);
  tick_animated_objects(STEP_TIME);
}

void fly(double& x, double& y, double& z) {
  if (zr_key_is_down(VK_LEFT)) x -= CAMERA_SPEED;
  if (zr_key_is_down(VK_RIGHT)) x += CAMERA_SPEED;
  if (zr_key_is_down(VK_UP)) z -= CAMERA_SPEED;
  if (zr_key_is_down(VK_DOWN)) z += CAMERA_SPEED;
  if (zr_key_is_down(VK_PRIOR)) y += CAMERA_SPEED;
  if (zr_key_is_down(VK_NEXT)) y -= CAMERA_SPEED;
}

// The window loop: fixed 10 ms steps for the animations and the camera, one frame per pass.
void run_window(ViewerFrame& frame, double x, double y, double z) {
  bool overlay = false;
  bool running = true;
  uint32_t last = zr_get_tick_count();
  while (running) {
    ZR_MSG msg;
    while (zr_peek_message(&msg, PM_REMOVE)) {
      if (msg.message == WM_CLOSE || msg.message == WM_QUIT || msg.message == WM_DESTROY) {
        running = false;
      } else if (msg.message == WM_KEYDOWN) {
        if (msg.wParam == VK_ESCAPE) running = false;
        if (msg.wParam == 'O') overlay = !overlay;
        if (msg.wParam == VK_F9) zr_snapshot();
      }
    }
    const uint32_t now = zr_get_tick_count();
    uint32_t steps = (now - last) / STEP_MS;
    last += steps * STEP_MS;
    if (steps > MAX_STEPS_PER_FRAME) steps = MAX_STEPS_PER_FRAME;
    for (uint32_t i = 0; i < steps; ++i) {
      tick_world();
      fly(x, y, z);
    }
    camera_x = x;
    camera_y = y;
    camera_z = z;
    draw_frame(frame, x, y, z, overlay);
    if (zr_dsp_is_started()) {
      zr_dsp_copy(frame.bitmap, 0);
      zr_dsp_flip();
    }
    if (steps == 0) zr_sleep_ms(2);
  }
}

void release_level(ViewerFrame& frame) {
  free_engine();
  free_transparency_tables();
  free_level();
  if (frame.bitmap == &frame.own) zr_bitmap_free(&frame.own);
  set_frame_target(nullptr, -1, -1);
}

// A file named on the command line is the user's choice: one outside the game's folder is taken
// as a full path, and its folder is allowed besides the game's.
std::string CommandLineName(const std::string& name) {
  if (name.empty() || zr_io_name_confined(name.c_str())) return name;
  std::filesystem::path path = std::filesystem::absolute(name).lexically_normal();
  zr_io_allow_folder(path.parent_path().c_str());
  return path.string();
}

}  // namespace

int RunLevelViewer(const ViewerOptions& options) {
  char definition[LEVEL_KEY_SIZE];
  char map[LEVEL_KEY_SIZE];
  const std::string levelFile = CommandLineName(options.levelFile);
  const std::string shotPath = CommandLineName(options.shotPath);
  const char* level = levelFile.c_str();
  if (!zr_io_get_string("Level", "Level_def", definition, sizeof definition, level)) {
    std::fprintf(stderr, "zrsentry: Sorry, I can't find key %s in %s\n", "Level_def", level);
    return 1;
  }
  if (!zr_io_get_string("Level", "Level_map", map, sizeof map, level)) {
    std::fprintf(stderr, "zrsentry: Sorry, I can't find key %s in %s\n", "Level_map", level);
    return 1;
  }
  if (options.headless) world_set_pauses(false);
  if (Load_Level(definition, map, 1) != 0) {
    world_error("Error opening the level file : %s", definition);
    return 1;
  }
  load_transparency_tables("data\\transp.tab");

  ViewerFrame frame;
  if (!open_frame(frame)) {
    std::fprintf(stderr, "zrsentry: no memory for the frame buffer\n");
    free_transparency_tables();
    free_level();
    return 1;
  }
  double x, y, z;
  start_camera(x, y, z);
  if (options.hasCamera) {
    x = options.cameraX;
    y = options.cameraY;
    z = options.cameraZ;
  }
  camera_x = x;
  camera_y = y;
  camera_z = z;

  int status = 0;
  if (options.headless) {
    ensure_palette();
    draw_frame(frame, x, y, z, false);
    if (!shotPath.empty() && !zr_bitmap_save_pcx(frame.bitmap, shotPath.c_str(), nullptr)) {
      std::fprintf(stderr, "zrsentry: cannot write %s\n", shotPath.c_str());
      status = 1;
    }
  } else {
    run_window(frame, x, y, z);
  }
  release_level(frame);
  return status;
}
