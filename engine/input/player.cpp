// The player module. A player's controls hold the addresses of the input module's state bytes, so
// an update is a few byte reads per control.
#include "engine/input/player.h"

#include "engine/core/error.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/input/input.h"

namespace {

constexpr const char* kPlayerMessages[] = {
    "Passed a NULL player",
    "Tried to remove a player never registered",
    "Trying to assign control that doesn't exist",
    " ",
    "Trying to assign a configuration out of limit in zr_play_setup",
};
constexpr int kPlayerNull = 0;
constexpr int kPlayerUnknown = 1;
constexpr int kPlayerNoControl = 2;
constexpr int kPlayerBadConfiguration = 4;

struct ZR_PLAYER {
  uint8_t enabled[ZR_PLAY_CONFIGURATIONS];
  const uint8_t* controls[ZR_PLAY_CONTROLS][ZR_INPUT_DEVICES][ZR_PLAY_CONFIGURATIONS];
  uint8_t* owner;
};

// Up, down, left, right, buttons 1 to 4 of each device.
constexpr int32_t kDefaults[ZR_PLAY_CONTROLS][ZR_INPUT_DEVICES] = {
    {200, 400, 500}, {208, 401, 501}, {203, 402, 502}, {205, 403, 503},
    {23, 404, 504},  {24, 405, 505},  {57, 406, 506},  {28, 407, 507},
};

int module = -1;
ZR_LIST* players = nullptr;
bool defaultsArmed = false;

void giveDefaults(ZR_PLAYER* player) {
  for (int control = 0; control < ZR_PLAY_CONTROLS; ++control) {
    for (int device = 0; device < ZR_INPUT_DEVICES; ++device) {
      const uint8_t* stateByte = zr_input_state_byte(kDefaults[control][device]);
      for (int configuration = 0; configuration < ZR_PLAY_CONFIGURATIONS; ++configuration) {
        player->controls[control][device][configuration] = stateByte;
      }
    }
  }
  player->enabled[0] = 1;
}

ZR_PLAYER* firstOf(const uint8_t* owner) {
  if (!players) return nullptr;
  for (ZR_LIST_NODE* node = players->first; node; node = node->next) {
    auto* player = static_cast<ZR_PLAYER*>(node->element);
    if (player->owner == owner) return player;
  }
  return nullptr;
}

void assign(ZR_PLAYER* player, int slot, const int32_t codes[ZR_PLAY_CONTROLS]) {
  for (int control = 0; control < ZR_PLAY_CONTROLS; ++control) {
    if (codes[control] == ZR_PLAY_KEEP) continue;
    int device = zr_input_device_of(codes[control]);
    if (device < 0) {
      zr_error_report(module, kPlayerNoControl);
      continue;
    }
    player->controls[control][device][slot] = zr_input_state_byte(codes[control]);
  }
}

uint8_t outputOf(const ZR_PLAYER* player, int control) {
  uint8_t output = 0;
  for (int slot = 0; slot < ZR_PLAY_CONFIGURATIONS && output == 0; ++slot) {
    if (!player->enabled[slot]) continue;
    for (int device = 0; device < ZR_INPUT_DEVICES; ++device) {
      const uint8_t* stateByte = player->controls[control][device][slot];
      if (stateByte) output |= *stateByte;
    }
  }
  return output;
}

}  // namespace

int zr_play_init(int32_t* report) {
  if (!report) return 0;
  if (players) zr_play_deinit();
  module = zr_error_add_module("Player", kPlayerMessages, report);
  if (!zr_list_create(&players)) return 0;
  defaultsArmed = true;
  return 1;
}

int zr_play_add(uint8_t* owner) {
  if (!owner) {
    zr_error_report(module, kPlayerNull);
    return 0;
  }
  if (!players) return 0;
  auto* player = static_cast<ZR_PLAYER*>(zr_mem_calloc(1, sizeof(ZR_PLAYER)));
  if (!player) return 0;
  player->owner = owner;
  if (defaultsArmed) giveDefaults(player);
  defaultsArmed = false;
  if (!zr_list_append(players, player)) {
    zr_mem_free(player);
    return 0;
  }
  return 1;
}

int zr_play_setup(uint8_t* owner, int configuration, const int32_t codes[ZR_PLAY_CONTROLS]) {
  if (configuration < 1 || configuration > ZR_PLAY_CONFIGURATIONS) {
    zr_error_report(module, kPlayerBadConfiguration);
    return 0;
  }
  if (!owner || !codes) {
    zr_error_report(module, kPlayerNull);
    return 0;
  }
  if (!players) return 0;
  int found = 0;
  for (ZR_LIST_NODE* node = players->first; node; node = node->next) {
    auto* player = static_cast<ZR_PLAYER*>(node->element);
    if (player->owner != owner) continue;
    player->enabled[configuration - 1] = 1;
    assign(player, configuration - 1, codes);
    found = 1;
  }
  return found;
}

void zr_play_update() {
  if (!players) return;
  for (ZR_LIST_NODE* node = players->first; node; node = node->next) {
    auto* player = static_cast<ZR_PLAYER*>(node->element);
    for (int control = 0; control < ZR_PLAY_CONTROLS; ++control) {
      player->owner[control] = outputOf(player, control);
    }
  }
}

int zr_play_remove(uint8_t* owner) {
  if (!owner) {
    zr_error_report(module, kPlayerNull);
    return 0;
  }
  int removed = 0;
  while (ZR_PLAYER* player = firstOf(owner)) {
    zr_list_remove(players, player);
    zr_mem_free(player);
    removed = 1;
  }
  if (!removed) zr_error_report(module, kPlayerUnknown);
  return removed;
}

void zr_play_deinit() {
  if (!players) return;
  while (void* player = zr_list_pop_front(players)) zr_mem_free(player);
  zr_list_destroy(players);
  players = nullptr;
  defaultsArmed = false;
}

int32_t zr_play_code(const uint8_t* owner, int configuration, int control, int device) {
  const ZR_PLAYER* player = firstOf(owner);
  if (!player || configuration < 1 || configuration > ZR_PLAY_CONFIGURATIONS || control < 0 ||
      control >= ZR_PLAY_CONTROLS || device < 0 || device >= ZR_INPUT_DEVICES) {
    return -1;
  }
  const uint8_t* stateByte = player->controls[control][device][configuration - 1];
  return stateByte ? zr_input_code_of(stateByte) : -1;
}

int zr_play_enabled(const uint8_t* owner, int configuration) {
  const ZR_PLAYER* player = firstOf(owner);
  if (!player || configuration < 1 || configuration > ZR_PLAY_CONFIGURATIONS) return 0;
  return player->enabled[configuration - 1];
}
