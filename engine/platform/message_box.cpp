#include "engine/platform/message_box.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/platform/platform_internal.h"
#include "engine/platform/video.h"

namespace {

constexpr uint32_t MB_TYPEMASK = 0x0F;
constexpr uint32_t MB_ICONMASK = 0xF0;
constexpr uint32_t MB_DEFMASK = 0xF00;
constexpr uint32_t MB_ABORTRETRYIGNORE = 0x02;
constexpr uint32_t MB_YESNOCANCEL = 0x03;
constexpr uint32_t MB_RETRYCANCEL = 0x05;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;

ZR_MESSAGE_BOX_STEP stepBefore = nullptr;
ZR_MESSAGE_BOX_STEP stepAfter = nullptr;
ZR_MESSAGE_BOX_HOOK hook = nullptr;
std::string logFolder;  // "" or ending in '/'

struct Button {
  int id;
  const char* label;
};

std::vector<Button> buttonsOf(uint32_t type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
      return {{IDOK, "OK"}};
  }
}

// The default button: the first, or the one MB_DEFBUTTON2 / MB_DEFBUTTON3 names.
int defaultAnswer(uint32_t type) {
  std::vector<Button> buttons = buttonsOf(type);
  size_t index = (type & MB_DEFMASK) >> 8;
  return buttons[index < buttons.size() ? index : 0].id;
}

// Escape answers Cancel or No where the box has one.
int escapeAnswer(const std::vector<Button>& buttons) {
  for (const Button& button : buttons) {
    if (button.id == IDCANCEL) return IDCANCEL;
  }
  for (const Button& button : buttons) {
    if (button.id == IDNO) return IDNO;
  }
  return buttons.size() == 1 ? buttons[0].id : 0;
}

uint32_t iconFlags(uint32_t type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
      return SDL_MESSAGEBOX_WARNING;
    default:
      return SDL_MESSAGEBOX_INFORMATION;
  }
}

// Headless: the box becomes a line in Warning.txt (the player's folder) and on standard error.
int logBox(const char* text, const char* caption, uint32_t type) {
  std::string logPath = logFolder + "Warning.txt";
  if (FILE* log = std::fopen(logPath.c_str(), "a")) {
    std::fprintf(log, "%s: %s\n", caption, text);
    std::fclose(log);
  }
  std::fprintf(stderr, "%s: %s\n", caption, text);
  return defaultAnswer(type);
}

int showBox(const char* text, const char* caption, uint32_t type) {
  std::vector<Button> buttons = buttonsOf(type);
  int defaultId = defaultAnswer(type);
  int escapeId = escapeAnswer(buttons);
  std::vector<SDL_MessageBoxButtonData> data;
  for (const Button& button : buttons) {
    uint32_t flags = 0;
    if (button.id == defaultId) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (button.id == escapeId) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(SDL_MessageBoxButtonData{flags, button.id, button.label});
  }
  SDL_MessageBoxData box = {};
  box.flags = iconFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = zr_sdl_window();
  box.title = caption;
  box.message = text;
  box.numbuttons = int(data.size());
  box.buttons = data.data();
  int answer = 0;
  if (SDL_ShowMessageBox(&box, &answer) != 0) return logBox(text, caption, type);
  // Closing the box from its frame counts as Escape.
  return answer >= 0 ? answer : (escapeId ? escapeId : defaultId);
}

}  // namespace

int zr_message_box(const char* text, const char* caption, uint32_t type) {
  type |= MB_SYSTEMMODAL;
  if (!text) text = "";
  if (stepBefore) stepBefore();
  int answer;
  if (hook) {
    answer = hook(text, caption, type);
  } else {
    const char* title = caption ? caption : "Error";
    bool windowed = zr_platform_is_started() && !zr_platform_is_headless();
    answer = windowed ? showBox(text, title, type) : logBox(text, title, type);
  }
  if (stepAfter) stepAfter();
  return answer;
}

void zr_message_box_set_steps(ZR_MESSAGE_BOX_STEP before, ZR_MESSAGE_BOX_STEP after) {
  stepBefore = before;
  stepAfter = after;
}

void zr_message_box_set_hook(ZR_MESSAGE_BOX_HOOK newHook) {
  hook = newHook;
}

void zr_message_box_set_log_folder(const char* folder) {
  logFolder = folder != nullptr ? folder : "";
  if (!logFolder.empty() && logFolder.back() != '/') logFolder += '/';
}
