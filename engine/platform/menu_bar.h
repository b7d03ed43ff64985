// The main window's menu bar, drawn with Dear ImGui over the top of the window. The window module
// describes it as a list of items (texts in UTF-8, "&" before a mnemonic letter, "\t" before a
// shortcut's name); choosing an item posts WM_COMMAND with its identifier.
#pragma once
#include <cstdint>

enum ZR_MENU_KIND : uint8_t {
  ZR_MENU_ITEM_COMMAND = 0,
  ZR_MENU_ITEM_SEPARATOR = 1,
  ZR_MENU_ITEM_SUBMENU = 2,  // the items up to the matching ZR_MENU_ITEM_END are inside it
  ZR_MENU_ITEM_END = 3,
};

struct ZR_MENU_ITEM {
  ZR_MENU_KIND kind;
  uint32_t id;
  bool checked;
  bool enabled;
  char text[96];
};

// How the bar shows: always above the picture (window mode), only when the player reaches for it
// (full screen: the mouse at the top edge, or Alt), or never.
enum ZR_MENU_SHOW { ZR_MENU_HIDDEN = 0, ZR_MENU_ALWAYS = 1, ZR_MENU_ON_DEMAND = 2 };

// Replaces the bar's items (copied). count 0 removes the bar.
void zr_menu_bar_set(const ZR_MENU_ITEM* items, int count);
void zr_menu_bar_set_show(ZR_MENU_SHOW show);
ZR_MENU_SHOW zr_menu_bar_show();
// True while the bar is drawn (always, or reached for in full screen).
bool zr_menu_bar_visible();
// The bar's height in the renderer's pixels while it takes room above the picture, else 0.
int zr_menu_bar_reserved_height();
// The bar's height in pixels (as last drawn, or ImGui's default before).
int zr_menu_bar_height();
// The items as last set (for tests).
int zr_menu_bar_items(const ZR_MENU_ITEM** items);
// Opens the top-level menu at that position for the next drawn frame (tests, screenshots).
void zr_menu_bar_open(int position);
